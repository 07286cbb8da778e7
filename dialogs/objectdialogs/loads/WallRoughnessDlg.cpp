#include "dialogs/objectdialogs/loads/WallRoughnessDlg.h"

#include "dialogs/factory/DialogRegistry.h"

namespace DataModelDialogs {
namespace {

const DialogDeclaration kWallRoughness{
    .fields =
        {
            Double(IDC_ROUGHNESS_HEIGHT, "roughnessHeight").Range(0, 1e300),
            Double(IDC_ROUGHNESS_CONSTANT, "roughnessConstant").Range(0, 1.0),
        },
};

}  // namespace

DefaultWallRoughnessDlg::DefaultWallRoughnessDlg(CWnd* parent) : FeaObjectDialogBase(kWallRoughness, parent, kTypeCode) {}

SurfacePrescribedWallRoughnessDlg::SurfacePrescribedWallRoughnessDlg(CWnd* parent)
    : FeaObjectDialogBase(kWallRoughness, parent, kTypeCode) {}

ORV_REGISTER_FEA_DIALOG(DefaultWallRoughnessDlg::kTypeCode, DefaultWallRoughnessDlg);
ORV_REGISTER_FEA_DIALOG(SurfacePrescribedWallRoughnessDlg::kTypeCode, SurfacePrescribedWallRoughnessDlg);

}  // namespace DataModelDialogs
