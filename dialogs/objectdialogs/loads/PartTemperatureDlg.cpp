#include "dialogs/objectdialogs/loads/PartTemperatureDlg.h"

#include "dialogs/factory/DialogRegistry.h"

namespace DataModelDialogs {
namespace {

const DialogDeclaration kPartTemperature{.fields = {Double(IDC_PART_TEMPERATURE_VALUE, "magnitude").Range(-1e300, 1e300)}};
const DialogDeclaration kPartCharge{.fields = {Double(IDC_PART_CHARGE_VALUE, "magnitude").Range(-1e300, 1e300)}};
const DialogDeclaration kPartCurrent{.fields = {Double(IDC_PART_CURRENT_VALUE, "magnitude").Range(-1e300, 1e300)}};

}  // namespace

PartTemperatureDlg::PartTemperatureDlg(CWnd* parent) : FeaObjectDialogBase(kPartTemperature, parent, kTypeCode) {}
PartChargeDlg::PartChargeDlg(CWnd* parent) : FeaObjectDialogBase(kPartCharge, parent, kTypeCode) {}
PartCurrentDlg::PartCurrentDlg(CWnd* parent) : FeaObjectDialogBase(kPartCurrent, parent, kTypeCode) {}

ORV_REGISTER_FEA_DIALOG(PartTemperatureDlg::kTypeCode, PartTemperatureDlg);
ORV_REGISTER_FEA_DIALOG(PartChargeDlg::kTypeCode, PartChargeDlg);
ORV_REGISTER_FEA_DIALOG(PartCurrentDlg::kTypeCode, PartCurrentDlg);

}  // namespace DataModelDialogs
