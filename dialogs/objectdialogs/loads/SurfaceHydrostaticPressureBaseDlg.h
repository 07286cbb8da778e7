#pragma once
// The surface hydrostatic pressure (type code 82, template 3165) and surface fluid traction
// (84, template 3166) dialogs over one base: a point on the fluid surface and its normal (both
// pickable in the view), the fluid density, how the pressure acts, and a load curve. The fluid
// traction adds a multiplier, the side of plate elements and "Follows Displacement". Both
// records name their fields alike, so one declaration serves the two layouts.
//
// For the element types of class 1 (ElementTypes.h) the X fields of the point and of the
// normal are left out: blank, disabled and never written.

#include "dialogs/objectdialogs/FeaObjectDialogBase.h"
#include "dialogs/resources/FluidLoads.h"

namespace DataModelDialogs {

class SurfaceHydrostaticPressureBaseDlg : public FeaObjectDialogBase {
public:
    SurfaceHydrostaticPressureBaseDlg(const DialogDeclaration& declaration, CWnd* parent, std::uint32_t typeCode);

    // Whether the dialog has the multiplier row.
    virtual bool HasMultiplier() const { return true; }
    // Whether the X fields of the point and the normal are left out (class-1 element types).
    virtual bool SkipsFirstComponent() const;

protected:
    // Fills the pressure type combo (and the side combo where the template has one).
    void PrepareControls() override;
};

class SurfaceHydrostaticPressureDlg : public SurfaceHydrostaticPressureBaseDlg {
public:
    static constexpr std::uint32_t kTypeCode = 82;
    explicit SurfaceHydrostaticPressureDlg(CWnd* parent = nullptr);
    bool HasMultiplier() const override { return false; }
};

class SurfaceFluidTractionDlg : public SurfaceHydrostaticPressureBaseDlg {
public:
    static constexpr std::uint32_t kTypeCode = 84;
    explicit SurfaceFluidTractionDlg(CWnd* parent = nullptr);

protected:
    // The side only for element type 23, "Follows Displacement" only for analysis types 2 and
    // 20: otherwise each is cleared, disabled and not written.
    BOOL OnInitDialog() override;
    // A new object on element types without pressure types gets pressure type 0.
    void InitEditedEntry() override;
};

}  // namespace DataModelDialogs
