#pragma once
// The part load dialogs that carry one magnitude: part temperature (type code 111), part
// charge density (174) and part current density (173). Each binds its edit to the magnitude
// at offset 272, shown in the unit of its label, within -1e300 to 1e300.

#include "dialogs/objectdialogs/FeaObjectDialogBase.h"

namespace DataModelDialogs {

// One magnitude edit over record field 272.
class PartMagnitudeDlg : public FeaObjectDialogBase {
public:
    static constexpr std::size_t kMagnitudeOffset = 272;
    static constexpr double kMinimum = -1e300;
    static constexpr double kMaximum = 1e300;

protected:
    PartMagnitudeDlg(UINT templateId, CWnd* parent, std::uint32_t typeCode, UINT magnitudeId)
        : FeaObjectDialogBase(templateId, parent, typeCode), magnitudeId_(magnitudeId) {}
    void DoDataExchange(CDataExchange* dx) override;

private:
    UINT magnitudeId_;
};

class PartTemperatureDlg : public PartMagnitudeDlg {
public:
    static constexpr UINT IDD = 3047;
    static constexpr std::uint32_t kTypeCode = 111;
    static constexpr UINT IDC_TEMPERATURE = 1031;
    explicit PartTemperatureDlg(CWnd* parent = nullptr) : PartMagnitudeDlg(IDD, parent, kTypeCode, IDC_TEMPERATURE) {}
};

class PartChargeDlg : public PartMagnitudeDlg {
public:
    static constexpr UINT IDD = 3048;
    static constexpr std::uint32_t kTypeCode = 174;
    static constexpr UINT IDC_CHARGE_DENSITY = 1034;
    explicit PartChargeDlg(CWnd* parent = nullptr) : PartMagnitudeDlg(IDD, parent, kTypeCode, IDC_CHARGE_DENSITY) {}
};

class PartCurrentDlg : public PartMagnitudeDlg {
public:
    static constexpr UINT IDD = 3049;
    static constexpr std::uint32_t kTypeCode = 173;
    static constexpr UINT IDC_CURRENT_DENSITY = 1039;
    explicit PartCurrentDlg(CWnd* parent = nullptr) : PartMagnitudeDlg(IDD, parent, kTypeCode, IDC_CURRENT_DENSITY) {}
};

}  // namespace DataModelDialogs
