#pragma once
// The applied temperature dialogs on nodes (type code 29), surfaces (40) and parts (112). They
// share template 3050: the temperature, the stiffness and, while varying with time, a load
// curve with its scale and activation time.

#include "dialogs/objectdialogs/FeaObjectDialogBase.h"
#include "dialogs/resources/ScalarLoads.h"

namespace DataModelDialogs {

class AppliedTemperatureBaseDlg : public FeaObjectDialogBase {
public:
    static constexpr UINT IDD = IDD_APPLIED_TEMPERATURE;

    static constexpr UINT IDC_TEMPERATURE = IDC_APPLIED_TEMPERATURE;
    static constexpr UINT IDC_STIFFNESS = IDC_APPLIED_STIFFNESS;
    static constexpr UINT IDC_VARIES_WITH_TIME = IDC_APPLIED_VARIES_WITH_TIME;
    static constexpr UINT IDC_LOAD_CURVE = IDC_APPLIED_LOAD_CURVE;
    static constexpr UINT IDC_LOAD_CURVE_SPIN = IDC_APPLIED_LOAD_CURVE_SPIN;
    static constexpr UINT IDC_SCALE = IDC_APPLIED_SCALE;
    static constexpr UINT IDC_TIMES_SCALE = IDC_APPLIED_TIMES_SCALE;

protected:
    AppliedTemperatureBaseDlg(CWnd* parent, std::uint32_t typeCode);
    // Under Riks the load curve row is hidden and the rows below it close up.
    BOOL OnInitDialog() override;
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

}  // namespace DataModelDialogs
