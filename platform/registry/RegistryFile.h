#pragma once
// The registry's tree of keys and values and its text file format.
//
// Format (UTF-8, one item per line; blank lines and lines starting with ';' are ignored):
//
//   ORV-REGISTRY 1
//   [Software\ORVEN, Inc.\ORVEN Software\ORVEN\Surface Convection Calculator]
//   "Last used"=hex:00,01,ff
//   "Count"=dword:0000002a
//   "Big"=qword:000000010000002a
//   "Path"="C:\\Data\\x.cclib"
//   "Template"=expand:"%HOME%\\x"
//   @="the default value"
//   "Other"=hex(7):41,00,00,00,00,00,00,00
//
// The first line names the format and its version. A section "[path]" names a key by its path
// below the hive's root ("[]" is the root itself); every key is listed, also those without
// values. In paths, '%', '[', ']' and control characters are written as "%XX" (hexadecimal
// code). Value names and texts are quoted, with \\, \", \n, \r, \t and \xHH (other control
// characters) as escapes; "@" is the default value. REG_SZ and REG_EXPAND_SZ are written as
// text when their data is one NUL-terminated text, REG_DWORD and REG_QWORD as hexadecimal
// numbers, REG_BINARY as "hex:" bytes, anything else as "hex(type):" bytes.

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/WinTypes.h"

namespace orv::registry {

struct RegValue {
    std::wstring name;
    DWORD type = 0;
    std::vector<BYTE> data;
};

struct RegKeyNode {
    std::wstring name;  // as created
    bool isVolatile = false;
    ULONGLONG lastWrite = 0;  // 100 ns units since 1601, as the framework counts
    std::vector<RegValue> values;
    std::map<std::wstring, std::unique_ptr<RegKeyNode>> subkeys;  // by folded name

    RegKeyNode* Child(std::wstring_view name) const;
    // The existing child or a new one with that name.
    RegKeyNode& AddChild(std::wstring_view name, bool isVolatile);
    RegValue* Value(std::wstring_view name);
};

// Key names compare without regard to case: the folded (upper-case) form.
std::wstring FoldKeyName(std::wstring_view name);

// Reads a hive file's text into root (which is cleared first). On failure returns false and
// error says where: "line 12: expected '='".
bool ParseHive(std::string_view text, RegKeyNode& root, std::wstring& error);
// The file text of a hive; volatile keys are left out.
std::string WriteHive(const RegKeyNode& root);

// Text values as stored: the characters followed by one NUL character.
std::vector<BYTE> TextValueData(std::wstring_view text);

}  // namespace orv::registry
