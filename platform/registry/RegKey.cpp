#include <cstring>
#include <vector>

#include "platform/registry/Registry.h"

CRegKey& CRegKey::operator=(CRegKey&& other) noexcept {
    if (this != &other) {
        Close();
        m_hKey = other.Detach();
    }
    return *this;
}

LSTATUS CRegKey::Open(HKEY parent, LPCWSTR subKey, REGSAM access) {
    HKEY key = nullptr;
    const LSTATUS status = RegOpenKeyEx(parent, subKey, 0, access, &key);
    if (status == ERROR_SUCCESS) Attach(key);
    return status;
}

LSTATUS CRegKey::Create(HKEY parent, LPCWSTR subKey, LPWSTR keyClass, DWORD options, REGSAM access, void* security,
                        DWORD* disposition) {
    HKEY key = nullptr;
    const LSTATUS status = RegCreateKeyEx(parent, subKey, 0, keyClass, options, access, security, &key, disposition);
    if (status == ERROR_SUCCESS) Attach(key);
    return status;
}

LSTATUS CRegKey::Close() {
    if (!m_hKey) return ERROR_SUCCESS;
    const LSTATUS status = RegCloseKey(m_hKey);
    m_hKey = nullptr;
    return status;
}

void CRegKey::Attach(HKEY key) {
    Close();
    m_hKey = key;
}

HKEY CRegKey::Detach() {
    HKEY key = m_hKey;
    m_hKey = nullptr;
    return key;
}

LSTATUS CRegKey::QueryValue(LPCWSTR name, DWORD* type, void* data, ULONG* bytes) {
    return RegQueryValueEx(m_hKey, name, nullptr, type, static_cast<BYTE*>(data), bytes);
}

LSTATUS CRegKey::QueryDWORDValue(LPCWSTR name, DWORD& value) {
    DWORD type = 0, size = sizeof(DWORD), v = 0;
    const LSTATUS status = QueryValue(name, &type, &v, &size);
    if (status != ERROR_SUCCESS) return status;
    if (type != REG_DWORD || size != sizeof(DWORD)) return ERROR_INVALID_PARAMETER;
    value = v;
    return ERROR_SUCCESS;
}

LSTATUS CRegKey::QueryQWORDValue(LPCWSTR name, ULONGLONG& value) {
    DWORD type = 0, size = sizeof(ULONGLONG);
    ULONGLONG v = 0;
    const LSTATUS status = QueryValue(name, &type, &v, &size);
    if (status != ERROR_SUCCESS) return status;
    if (type != REG_QWORD || size != sizeof(ULONGLONG)) return ERROR_INVALID_PARAMETER;
    value = v;
    return ERROR_SUCCESS;
}

LSTATUS CRegKey::QueryStringValue(LPCWSTR name, LPWSTR value, ULONG* chars) {
    if (!chars) return ERROR_INVALID_PARAMETER;
    DWORD type = 0, size = 0;
    LSTATUS status = QueryValue(name, &type, nullptr, &size);
    if (status != ERROR_SUCCESS) return status;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_DATA;
    const ULONG needed = size / sizeof(wchar_t);
    if (!value || *chars < needed) {
        *chars = needed;
        return value ? ERROR_MORE_DATA : ERROR_SUCCESS;
    }
    size = *chars * sizeof(wchar_t);
    status = QueryValue(name, &type, value, &size);
    if (status == ERROR_SUCCESS) *chars = size / sizeof(wchar_t);
    return status;
}

LSTATUS CRegKey::QueryStringValue(LPCWSTR name, std::wstring& value) {
    ULONG chars = 0;
    LSTATUS status = QueryStringValue(name, nullptr, &chars);
    if (status != ERROR_SUCCESS) return status;
    std::vector<wchar_t> buffer(chars + 1, 0);
    chars = ULONG(buffer.size());
    status = QueryStringValue(name, buffer.data(), &chars);
    if (status != ERROR_SUCCESS) return status;
    value.assign(buffer.data());
    return ERROR_SUCCESS;
}

LSTATUS CRegKey::QueryBinaryValue(LPCWSTR name, void* value, ULONG* bytes) {
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS status = QueryValue(name, &type, nullptr, &size);
    if (status != ERROR_SUCCESS) return status;
    if (type != REG_BINARY) return ERROR_INVALID_PARAMETER;
    return QueryValue(name, &type, value, bytes);
}

LSTATUS CRegKey::SetValue(LPCWSTR name, DWORD type, const void* data, ULONG bytes) {
    return RegSetValueEx(m_hKey, name, 0, type, static_cast<const BYTE*>(data), bytes);
}

LSTATUS CRegKey::SetDWORDValue(LPCWSTR name, DWORD value) { return SetValue(name, REG_DWORD, &value, sizeof value); }

LSTATUS CRegKey::SetQWORDValue(LPCWSTR name, ULONGLONG value) { return SetValue(name, REG_QWORD, &value, sizeof value); }

LSTATUS CRegKey::SetStringValue(LPCWSTR name, LPCWSTR value, DWORD type) {
    if (!value) return ERROR_INVALID_PARAMETER;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_PARAMETER;
    return SetValue(name, type, value, ULONG((std::wcslen(value) + 1) * sizeof(wchar_t)));
}

LSTATUS CRegKey::SetBinaryValue(LPCWSTR name, const void* value, ULONG bytes) {
    return SetValue(name, REG_BINARY, value, bytes);
}

LSTATUS CRegKey::DeleteValue(LPCWSTR name) { return RegDeleteValue(m_hKey, name); }

LSTATUS CRegKey::DeleteSubKey(LPCWSTR subKey) { return RegDeleteKey(m_hKey, subKey); }

LSTATUS CRegKey::RecurseDeleteKey(LPCWSTR subKey) {
    if (!subKey || !*subKey) return ERROR_INVALID_PARAMETER;
    return RegDeleteTree(m_hKey, subKey);
}

LSTATUS CRegKey::EnumKey(DWORD index, LPWSTR name, DWORD* chars, FILETIME* lastWriteTime) {
    return RegEnumKeyEx(m_hKey, index, name, chars, nullptr, nullptr, nullptr, lastWriteTime);
}
