#pragma once

namespace DataModelDialogs {

// The library's own version, as its version resource states it ("1.0.0.0").
const char* LibraryVersionText();

}  // namespace DataModelDialogs
