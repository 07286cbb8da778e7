#pragma once
// File version information, read from a binary's resources without loading it, in the
// framework's shapes (GetFileVersionInfo, VerQueryValue) and as plain data.

#include <string>

#include "platform/res/ResourceData.h"
#include "platform/win/WinTypes.h"

struct VS_FIXEDFILEINFO {
    DWORD dwSignature = 0xFEEF04BD;
    DWORD dwStrucVersion = 0x00010000;
    DWORD dwFileVersionMS = 0;
    DWORD dwFileVersionLS = 0;
    DWORD dwProductVersionMS = 0;
    DWORD dwProductVersionLS = 0;
    DWORD dwFileFlagsMask = 0;
    DWORD dwFileFlags = 0;
    DWORD dwFileOS = 0;
    DWORD dwFileType = 0;
    DWORD dwFileSubtype = 0;
    DWORD dwFileDateMS = 0;
    DWORD dwFileDateLS = 0;
};

// The size of the version block of `file`; 0 when it has none or cannot be read. `handle`, if
// given, is set to 0.
DWORD GetFileVersionInfoSize(LPCTSTR file, DWORD* handle);
// Copies the version block of `file` into `data` (at least `size` bytes, from
// GetFileVersionInfoSize); FALSE when it has none or `size` is too small.
BOOL GetFileVersionInfo(LPCTSTR file, DWORD handle, DWORD size, LPVOID data);
// Queries a version block: "\\" gives the VS_FIXEDFILEINFO, "\\VarFileInfo\\Translation" the
// language and code page pairs (WORD pairs), "\\StringFileInfo\\040904b0\\FileVersion" a
// string (`length` in characters, terminator included). Pointers point into `block`.
BOOL VerQueryValue(LPCVOID block, LPCTSTR subBlock, LPVOID* buffer, UINT* length);

namespace orv::res {
// The version information in the resources of `file`, read without loading the file; false
// when the file cannot be read or has no version information.
bool ReadFileVersionInfo(const std::wstring& file, VersionInfo& out);
}  // namespace orv::res
