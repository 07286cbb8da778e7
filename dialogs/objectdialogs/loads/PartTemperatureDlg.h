#pragma once
// The part load dialogs that carry one magnitude: part temperature (type code 111), part
// charge density (174) and part current density (173). Each binds its edit to the magnitude,
// shown in the unit of its label, within -1e300 to 1e300.

#include "dialogs/objectdialogs/FeaObjectDialogBase.h"
#include "dialogs/resources/PartLoads.h"

namespace DataModelDialogs {

class PartTemperatureDlg : public FeaObjectDialogBase {
public:
    static constexpr std::uint32_t kTypeCode = 111;
    static constexpr UINT IDC_TEMPERATURE = IDC_PART_TEMPERATURE_VALUE;
    explicit PartTemperatureDlg(CWnd* parent = nullptr);
};

class PartChargeDlg : public FeaObjectDialogBase {
public:
    static constexpr std::uint32_t kTypeCode = 174;
    static constexpr UINT IDC_CHARGE_DENSITY = IDC_PART_CHARGE_VALUE;
    explicit PartChargeDlg(CWnd* parent = nullptr);
};

class PartCurrentDlg : public FeaObjectDialogBase {
public:
    static constexpr std::uint32_t kTypeCode = 173;
    static constexpr UINT IDC_CURRENT_DENSITY = IDC_PART_CURRENT_VALUE;
    explicit PartCurrentDlg(CWnd* parent = nullptr);
};

}  // namespace DataModelDialogs
