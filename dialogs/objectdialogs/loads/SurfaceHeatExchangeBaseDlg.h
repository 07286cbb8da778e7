#pragma once
// The surface heat exchange load dialogs: surface convection (type code 65, template 3173) and
// surface radiation (type code 64, template 3193). Both exchange heat with an ambient
// temperature that may vary with a load curve: the temperature plus the load curve magnitude
// times the load curve.

#include "dialogs/objectdialogs/FeaObjectDialogBase.h"
#include "dialogs/resources/SurfaceHeatLoads.h"

namespace DataModelDialogs {

class SurfaceHeatExchangeBaseDlg : public FeaObjectDialogBase {
public:
    // A new load starts with a load curve magnitude of one display unit of temperature
    // difference (conversion string "t"), however the display and model units differ.
    void InitEditedEntry() override;

protected:
    using FeaObjectDialogBase::FeaObjectDialogBase;
};

class SurfaceConvectionDlg : public SurfaceHeatExchangeBaseDlg {
public:
    static constexpr std::uint32_t kTypeCode = 65;
    static constexpr UINT IDD = IDD_SURFACE_CONVECTION;

    explicit SurfaceConvectionDlg(CWnd* parent = nullptr);

protected:
    // The focus starts on the coefficient with its text selected.
    BOOL OnInitDialog() override;

private:
    // "Calculate...": the film coefficient calculator, started from this dialog's ambient
    // temperature and coefficient; OK puts its result into the coefficient ("%g").
    void OnCalculate();
    // "Read from Library...": a library entry's coefficient into the coefficient ("%g").
    void OnReadFromLibrary();
};

class SurfaceRadiationDlg : public SurfaceHeatExchangeBaseDlg {
public:
    static constexpr std::uint32_t kTypeCode = 64;
    static constexpr UINT IDD = IDD_SURFACE_RADIATION;

    explicit SurfaceRadiationDlg(CWnd* parent = nullptr);
};

}  // namespace DataModelDialogs
