#pragma once
// The registry: keys and typed values under HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE and
// HKEY_CLASSES_ROOT, with the framework's functions and error codes.
//
// Storage: one text file per hive in the registry folder: $ORV_REGISTRY_DIR when set, else
// $XDG_CONFIG_HOME/orven, else ~/.config/orven; the files are HKEY_CURRENT_USER.reg,
// HKEY_LOCAL_MACHINE.reg and HKEY_CLASSES_ROOT.reg (format in RegistryFile.h). Every change is
// written at once to a new file that is then renamed into place, under a lock file, after
// re-reading the hive if another process changed it; every read first re-reads a file that
// changed on disk, so other processes' writes are seen. Keys created with
// REG_OPTION_VOLATILE live in this process's memory only.
//
// Key names are compared without regard to case and keep the case they were created with.
// Subkeys enumerate in name order (without regard to case), values in creation order.
// A hive file that cannot be parsed is never overwritten: operations on that hive fail with
// ERROR_BADDB, and orv::registry::HiveProblem tells what is wrong and where.

#include <string>

#include "platform/registry/WinError.h"

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using REGSAM = DWORD;

// Macros, as the framework has them, so that they hold their values during static
// initialisation too.
#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(ULONG_PTR(0x80000000)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(ULONG_PTR(0x80000001)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(ULONG_PTR(0x80000002)))

// Access rights.
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM KEY_CREATE_LINK = 0x0020;
inline constexpr REGSAM KEY_WOW64_64KEY = 0x0100;
inline constexpr REGSAM KEY_WOW64_32KEY = 0x0200;
inline constexpr REGSAM DELETE = 0x00010000;
inline constexpr REGSAM READ_CONTROL = 0x00020000;
inline constexpr REGSAM KEY_READ = 0x00020019;
inline constexpr REGSAM KEY_EXECUTE = KEY_READ;
inline constexpr REGSAM KEY_WRITE = 0x00020006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0x000F003F;

// Value types.
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_DWORD_LITTLE_ENDIAN = 4;
inline constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
inline constexpr DWORD REG_MULTI_SZ = 7;
inline constexpr DWORD REG_QWORD = 11;

// Options and dispositions of RegCreateKeyEx.
inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0x0;
inline constexpr DWORD REG_OPTION_VOLATILE = 0x1;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Defined with the window kernel's types (platform/win/DataExchange.h); include that to read
// the times RegEnumKeyEx and RegQueryInfoKey give.
struct FILETIME;
using PFILETIME = FILETIME*;

// Opens subKey (null or empty: the key itself again) below key. ERROR_FILE_NOT_FOUND when it
// does not exist.
LSTATUS RegOpenKeyEx(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
// Opens or creates subKey and the keys on its way. disposition (may be null) tells which.
// A non-volatile key cannot be created below a volatile one (ERROR_CHILD_MUST_BE_VOLATILE).
LSTATUS RegCreateKeyEx(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options, REGSAM access,
                       void* security, PHKEY result, DWORD* disposition);
LSTATUS RegCloseKey(HKEY key);
// name null or empty: the default value. data null: only *size (bytes) and *type are set.
// A buffer too small gives ERROR_MORE_DATA with the size needed in *size. REG_SZ and
// REG_EXPAND_SZ data always end with a NUL character.
LSTATUS RegQueryValueEx(HKEY key, LPCWSTR name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);
// Text types are stored with a terminating NUL (added when the data lacks one); their size
// must be a whole number of characters. REG_DWORD needs 4 bytes, REG_QWORD 8.
LSTATUS RegSetValueEx(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LSTATUS RegDeleteValue(HKEY key, LPCWSTR name);
// Deletes subKey, which must have no subkeys (ERROR_ACCESS_DENIED otherwise).
LSTATUS RegDeleteKey(HKEY key, LPCWSTR subKey);
// Deletes subKey (null: the key's contents) with everything below it.
LSTATUS RegDeleteTree(HKEY key, LPCWSTR subKey);
// *nameLength: capacity in characters including the terminator on entry, the name's length
// without it on return. ERROR_NO_MORE_ITEMS past the last subkey.
LSTATUS RegEnumKeyEx(HKEY key, DWORD index, LPWSTR name, DWORD* nameLength, DWORD* reserved, LPWSTR keyClass,
                     DWORD* classLength, PFILETIME lastWriteTime);
LSTATUS RegEnumValue(HKEY key, DWORD index, LPWSTR name, DWORD* nameLength, DWORD* reserved, DWORD* type, BYTE* data,
                     DWORD* size);
LSTATUS RegQueryInfoKey(HKEY key, LPWSTR keyClass, DWORD* classLength, DWORD* reserved, DWORD* subKeys,
                        DWORD* maxSubKeyLength, DWORD* maxClassLength, DWORD* values, DWORD* maxValueNameLength,
                        DWORD* maxValueLength, DWORD* securityDescriptor, PFILETIME lastWriteTime);
// Changes are written as they are made: nothing to flush.
LSTATUS RegFlushKey(HKEY key);

inline LSTATUS RegOpenKeyExW(HKEY k, LPCWSTR s, DWORD o, REGSAM a, PHKEY r) { return RegOpenKeyEx(k, s, o, a, r); }
inline LSTATUS RegCreateKeyExW(HKEY k, LPCWSTR s, DWORD r, LPWSTR c, DWORD o, REGSAM a, void* sec, PHKEY res,
                               DWORD* d) {
    return RegCreateKeyEx(k, s, r, c, o, a, sec, res, d);
}
inline LSTATUS RegQueryValueExW(HKEY k, LPCWSTR n, DWORD* r, DWORD* t, BYTE* d, DWORD* s) {
    return RegQueryValueEx(k, n, r, t, d, s);
}
inline LSTATUS RegSetValueExW(HKEY k, LPCWSTR n, DWORD r, DWORD t, const BYTE* d, DWORD s) {
    return RegSetValueEx(k, n, r, t, d, s);
}
inline LSTATUS RegDeleteValueW(HKEY k, LPCWSTR n) { return RegDeleteValue(k, n); }
inline LSTATUS RegDeleteKeyW(HKEY k, LPCWSTR s) { return RegDeleteKey(k, s); }
inline LSTATUS RegEnumKeyExW(HKEY k, DWORD i, LPWSTR n, DWORD* nl, DWORD* r, LPWSTR c, DWORD* cl, PFILETIME t) {
    return RegEnumKeyEx(k, i, n, nl, r, c, cl, t);
}
inline LSTATUS RegEnumValueW(HKEY k, DWORD i, LPWSTR n, DWORD* nl, DWORD* r, DWORD* t, BYTE* d, DWORD* s) {
    return RegEnumValue(k, i, n, nl, r, t, d, s);
}

namespace orv::registry {

// The folder the hive files are in (see above); empty when neither variable nor home is set.
std::string StorageFolder();
// The file of a predefined root key; empty for other keys.
std::string HiveFilePath(HKEY root);
// Why the hive's file cannot be read ("HKEY_CURRENT_USER.reg line 12: expected '='"), or
// empty when it can.
std::wstring HiveProblem(HKEY root);

}  // namespace orv::registry

// A key handle that closes itself, with typed value access, after the framework's class.
class CRegKey {
public:
    HKEY m_hKey = nullptr;

    CRegKey() = default;
    explicit CRegKey(HKEY key) : m_hKey(key) {}
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    CRegKey(CRegKey&& other) noexcept : m_hKey(other.Detach()) {}
    CRegKey& operator=(CRegKey&& other) noexcept;
    ~CRegKey() { Close(); }

    operator HKEY() const { return m_hKey; }

    LSTATUS Open(HKEY parent, LPCWSTR subKey, REGSAM access = KEY_READ | KEY_WRITE);
    LSTATUS Create(HKEY parent, LPCWSTR subKey, LPWSTR keyClass = nullptr, DWORD options = REG_OPTION_NON_VOLATILE,
                   REGSAM access = KEY_READ | KEY_WRITE, void* security = nullptr, DWORD* disposition = nullptr);
    LSTATUS Close();
    void Attach(HKEY key);
    HKEY Detach();

    LSTATUS QueryDWORDValue(LPCWSTR name, DWORD& value);
    LSTATUS QueryQWORDValue(LPCWSTR name, ULONGLONG& value);
    // *chars: capacity in characters including the terminator; on return the characters
    // stored including it (or needed, with ERROR_MORE_DATA).
    LSTATUS QueryStringValue(LPCWSTR name, LPWSTR value, ULONG* chars);
    LSTATUS QueryBinaryValue(LPCWSTR name, void* value, ULONG* bytes);
    LSTATUS QueryValue(LPCWSTR name, DWORD* type, void* data, ULONG* bytes);
    // Convenience: the whole text value, or an error.
    LSTATUS QueryStringValue(LPCWSTR name, std::wstring& value);
    LSTATUS SetDWORDValue(LPCWSTR name, DWORD value);
    LSTATUS SetQWORDValue(LPCWSTR name, ULONGLONG value);
    LSTATUS SetStringValue(LPCWSTR name, LPCWSTR value, DWORD type = REG_SZ);
    LSTATUS SetBinaryValue(LPCWSTR name, const void* value, ULONG bytes);
    LSTATUS SetValue(LPCWSTR name, DWORD type, const void* data, ULONG bytes);
    LSTATUS DeleteValue(LPCWSTR name);
    LSTATUS DeleteSubKey(LPCWSTR subKey);
    LSTATUS RecurseDeleteKey(LPCWSTR subKey);
    // *chars as for RegEnumKeyEx.
    LSTATUS EnumKey(DWORD index, LPWSTR name, DWORD* chars, FILETIME* lastWriteTime = nullptr);
};
