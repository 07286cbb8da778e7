#include "dialogs/objectdialogs/loads/PartTemperatureDlg.h"

#include "dialogs/factory/DialogRegistry.h"

namespace DataModelDialogs {

void PartMagnitudeDlg::DoDataExchange(CDataExchange* dx) {
    ExchangeDouble(dx, magnitudeId_, Edited(), kMagnitudeOffset);
    ValidateRange(dx, magnitudeId_, GetEditedEntry().GetF64(kMagnitudeOffset), kMinimum, kMaximum);
    FeaObjectDialogBase::DoDataExchange(dx);
}

ORV_REGISTER_FEA_DIALOG(PartTemperatureDlg::kTypeCode, PartTemperatureDlg);
ORV_REGISTER_FEA_DIALOG(PartChargeDlg::kTypeCode, PartChargeDlg);
ORV_REGISTER_FEA_DIALOG(PartCurrentDlg::kTypeCode, PartCurrentDlg);

}  // namespace DataModelDialogs
