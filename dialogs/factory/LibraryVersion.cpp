#include "dialogs/factory/LibraryVersion.h"

#include "dialogs/resources/Version.h"

namespace DataModelDialogs {

const char* LibraryVersionText() { return ORV_LIBRARY_VERSION_TEXT; }

}  // namespace DataModelDialogs
