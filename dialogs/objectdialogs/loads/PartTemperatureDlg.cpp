#include "dialogs/objectdialogs/loads/PartTemperatureDlg.h"

namespace DataModelDialogs {

void PartMagnitudeDlg::DoDataExchange(CDataExchange* dx) {
    ExchangeDouble(dx, magnitudeId_, Edited(), kMagnitudeOffset);
    ValidateRange(dx, magnitudeId_, GetEditedEntry().GetF64(kMagnitudeOffset), kMinimum, kMaximum);
    FeaObjectDialogBase::DoDataExchange(dx);
}

// FIXME: join the factory's type-code table (111, 174, 173) through its registration.

}  // namespace DataModelDialogs
