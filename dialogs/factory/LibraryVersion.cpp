#include "dialogs/factory/LibraryVersion.h"

namespace DataModelDialogs {

const char* LibraryVersionText() { return "1.0.0"; }

}  // namespace DataModelDialogs
