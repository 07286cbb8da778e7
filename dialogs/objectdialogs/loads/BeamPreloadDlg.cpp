#include "dialogs/objectdialogs/loads/BeamPreloadDlg.h"

#include "dialogs/factory/DialogRegistry.h"

namespace DataModelDialogs {
namespace {

const DialogDeclaration kBeamPreload{
    .fields = {Double(IDC_PRELOAD_AXIAL_FORCE, "axialForce").NonZero(IDS_VECTOR_ZERO_AXIAL_FORCE)},
};

}  // namespace

BeamPreloadDlg::BeamPreloadDlg(CWnd* parent) : FeaObjectDialogBase(kBeamPreload, parent, kTypeCode) {}

ORV_REGISTER_FEA_DIALOG(BeamPreloadDlg::kTypeCode, BeamPreloadDlg);

}  // namespace DataModelDialogs
