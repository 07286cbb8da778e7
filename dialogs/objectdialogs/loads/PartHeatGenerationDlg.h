#pragma once
// The part heat generation dialog (type code 176, template 3052): the internal heat
// generation, an optional temperature-dependent curve and, for analysis types 4 and 21, a
// load curve.

#include "dialogs/objectdialogs/FeaObjectDialogBase.h"

namespace DataModelDialogs {

class PartHeatGenerationDlg : public FeaObjectDialogBase {
public:
    static constexpr UINT IDD = 3052;
    static constexpr std::uint32_t kTypeCode = 176;

    static constexpr UINT IDC_HEAT_GENERATION = 1089;
    static constexpr UINT IDC_TEMPERATURE_DEPENDENT = 1091;
    static constexpr UINT IDC_TEMPERATURE_CURVE = 1092;
    static constexpr UINT IDC_TEMPERATURE_CURVE_BUTTON = 1094;
    static constexpr UINT IDC_TEMPERATURE_CURVE_SPIN = 1095;
    static constexpr UINT IDC_LOAD_CURVE = 1097;
    static constexpr UINT IDC_LOAD_CURVE_BUTTON = 1098;
    static constexpr UINT IDC_LOAD_CURVE_SPIN = 1099;

    static constexpr std::size_t kHeatGenerationOffset = 272;
    static constexpr std::size_t kTemperatureCurveOffset = 280;
    static constexpr std::size_t kLoadCurveOffset = 284;
    static constexpr std::size_t kTemperatureDependentOffset = 288;

    explicit PartHeatGenerationDlg(CWnd* parent = nullptr);

    // A new object whose default load curve is 0 starts with load curve 1.
    void InitEditedEntry() override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

private:
    void ExchangeCurveNumber(CDataExchange* dx, UINT id, std::size_t offset);
    void EnableTemperatureCurve();
    void OnTemperatureDependent();

    CSpinButtonCtrl temperatureCurveSpin_;
    CSpinButtonCtrl loadCurveSpin_;
    std::uint8_t temperatureDependent_ = 0;
    std::uint8_t loadCurveAllowed_ = 0;
};

}  // namespace DataModelDialogs
