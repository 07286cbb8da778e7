#pragma once

namespace DataModelDialogs {

// The library's own version, as its version resource states it.
__attribute__((visibility("default"))) const char* LibraryVersionText();

}  // namespace DataModelDialogs
