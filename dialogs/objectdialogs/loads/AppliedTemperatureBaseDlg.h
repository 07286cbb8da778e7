#pragma once
// The applied temperature dialogs on nodes (type code 29), surfaces (40) and parts (112). They
// share template 3050: the temperature, the stiffness and, while varying with time, a load
// curve with its scale and activation time.

#include "dialogs/objectdialogs/FeaObjectDialogBase.h"

namespace DataModelDialogs {

class AppliedTemperatureBaseDlg : public FeaObjectDialogBase {
public:
    static constexpr UINT IDD = 3050;

    static constexpr UINT IDC_TEMPERATURE = 1043;
    static constexpr UINT IDC_STIFFNESS = 1046;
    static constexpr UINT IDC_VARIES_WITH_TIME = 1049;
    static constexpr UINT IDC_LOAD_CURVE = 1050;
    static constexpr UINT IDC_LOAD_CURVE_LABEL = 1051;
    static constexpr UINT IDC_SCALE_LABEL = 1052;
    static constexpr UINT IDC_SCALE = 1053;
    static constexpr UINT IDC_ACTIVATION_TIME = 1054;
    static constexpr UINT IDC_LOAD_CURVE_SPIN = 1056;
    static constexpr UINT IDC_CURVE = 1057;
    static constexpr UINT IDC_ACTIVATION_TIME_UNIT = 1058;
    static constexpr UINT IDC_ACTIVATION_TIME_LABEL = 1059;
    static constexpr UINT IDC_SCALE_UNIT = 1715;
    static constexpr UINT IDC_PLUS = 1722;
    static constexpr UINT IDC_TIMES_SCALE = 1723;

    static constexpr std::size_t kTemperatureOffset = 272;
    static constexpr std::size_t kStiffnessOffset = 280;
    static constexpr std::size_t kScaleOffset = 288;
    static constexpr std::size_t kActivationTimeOffset = 296;
    static constexpr std::size_t kLoadCurveOffset = 304;
    static constexpr std::size_t kVariesWithTimeOffset = 308;

    // Whether the time controls are in use: the box is checked and the analysis type allows
    // time variation (4 or 21).
    bool VariesWithTime() const { return variesWithTime_; }
    bool TimeVariationAllowed() const { return timeVariationAllowed_; }

protected:
    AppliedTemperatureBaseDlg(CWnd* parent, std::uint32_t typeCode);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

private:
    void ExchangeCurveNumber(CDataExchange* dx, UINT id, std::size_t offset);
    void TakeVariesWithTime();
    void EnableTimeControls();
    void ArrangeForRiks();
    void OnVariesWithTime();

    CSpinButtonCtrl loadCurveSpin_;
    std::uint8_t variesWithTime_ = 0;
    std::uint8_t timeVariationAllowed_ = 0;
    bool riks_ = false;
};

class NodalAppliedTemperatureDlg : public AppliedTemperatureBaseDlg {
public:
    static constexpr std::uint32_t kTypeCode = 29;
    explicit NodalAppliedTemperatureDlg(CWnd* parent = nullptr) : AppliedTemperatureBaseDlg(parent, kTypeCode) {}
};

class SurfaceAppliedTemperatureDlg : public AppliedTemperatureBaseDlg {
public:
    static constexpr std::uint32_t kTypeCode = 40;
    explicit SurfaceAppliedTemperatureDlg(CWnd* parent = nullptr) : AppliedTemperatureBaseDlg(parent, kTypeCode) {}
};

class PartAppliedTemperatureDlg : public AppliedTemperatureBaseDlg {
public:
    static constexpr std::uint32_t kTypeCode = 112;
    explicit PartAppliedTemperatureDlg(CWnd* parent = nullptr) : AppliedTemperatureBaseDlg(parent, kTypeCode) {}
};

// Turns the listed edits into expression edits owned by the dialog's context block.
void MakeScalarCalcEdits(FeaObjectPropertiesImplDlg& dialog, std::initializer_list<UINT> ids);

}  // namespace DataModelDialogs
