#pragma once
// The prescribed velocity dialogs (nodal 26, surface 36, edge 49; templates 3170 to 3172):
// X, Y and Z rows, each prescribed or not, and a load curve for the analyses that take one.
// The edge dialog has no coordinate system row.

#include "dialogs/objectdialogs/FeaObjectDialogBase.h"
#include "dialogs/resources/VectorLoads.h"

namespace DataModelDialogs {

class PrescribedVelocityBaseDlg : public FeaObjectDialogBase {
public:
    PrescribedVelocityBaseDlg(CWnd* parent, std::uint32_t typeCode);

protected:
    // The coordinate system label; without a load curve row the description closes up.
    BOOL OnInitDialog() override;
};

class NodalPrescribedVelocityDlg : public PrescribedVelocityBaseDlg {
public:
    static constexpr std::uint32_t kTypeCode = 26;
    explicit NodalPrescribedVelocityDlg(CWnd* parent = nullptr) : PrescribedVelocityBaseDlg(parent, kTypeCode) {}
};

class SurfacePrescribedVelocityDlg : public PrescribedVelocityBaseDlg {
public:
    static constexpr std::uint32_t kTypeCode = 36;
    explicit SurfacePrescribedVelocityDlg(CWnd* parent = nullptr) : PrescribedVelocityBaseDlg(parent, kTypeCode) {}
};

class EdgePrescribedVelocityDlg : public PrescribedVelocityBaseDlg {
public:
    static constexpr std::uint32_t kTypeCode = 49;
    explicit EdgePrescribedVelocityDlg(CWnd* parent = nullptr) : PrescribedVelocityBaseDlg(parent, kTypeCode) {}

protected:
    // The coordinate system row is hidden and the rows below close up.
    BOOL OnInitDialog() override;
};

}  // namespace DataModelDialogs
