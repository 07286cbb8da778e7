#pragma once
// The localised help file beside the library ("Help/LANG/FILE") and opening it at a context.

#include "platform/win/CString.h"
#include "platform/win/WinTypes.h"

namespace DataModelDialogs {

inline constexpr wchar_t kHelpFileName[] = L"OrvenHelp_1_0.chm";
inline constexpr DWORD_PTR kLibraryHelpContext = 1065;

// The help file of the language forced by ORVEN_LOCALE_OVERRIDE, else of the user's locale,
// its neutral sublanguage or 1033, whichever exists first; empty when none does.
CString FindHelpFile(HMODULE module, const CString& fileName);
// The same below a given library folder (ending with its separator).
CString FindHelpFileIn(const CString& libraryFolder, const CString& fileName);

// Opens the library's help file at kLibraryHelpContext, owned by the desktop window; does
// nothing when there is no help file. Returns whether help was asked for.
bool ShowLibraryHelp();
// The same for a library in the given folder.
bool ShowLibraryHelpIn(const CString& libraryFolder);

}  // namespace DataModelDialogs
