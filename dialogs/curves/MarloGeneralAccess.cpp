#include "dialogs/curves/MarloGeneralAccess.h"

#include <cwchar>
#include <map>
#include <mutex>

#include "host/settingsdb/Marlo.h"

namespace Marlo {
namespace {

struct MacroTable {
    std::mutex lock;
    std::map<std::wstring, MarloGeneralAccess::KeyMacro> macros;
};

// The analysis category of the stored analysis type; -1 when it has none.
int CategoryOfAnalysisType(std::int32_t type) {
    switch (type) {
        case 1: return 0;
        case 2: return 2;
        case 4: return 4;
        case 5: return 1;
        case 6: return 3;
        default: return -1;
    }
}

std::wstring AnalysisMacro(MarloGeneralAccess& access) {
    MarloGeneralAccess reader(false, access.Connection(), true, false);
    std::int32_t type = 0;
    if (!reader.ReadInteger(L"Global.AnalysisType.Specified", &type)) return L"";
    return AnalysisPrefix(CategoryOfAnalysisType(type));
}

MacroTable& Macros() {
    static MacroTable* table = [] {
        auto* t = new MacroTable;
        t->macros[L"ANALYSIS"] = AnalysisMacro;
        t->macros[L"ANALYSIS_GLOBAL"] = [](MarloGeneralAccess& access) { return AnalysisMacro(access) + L"Global."; };
        return t;
    }();
    return *table;
}

std::wstring Trim(const std::wstring& text) {
    const std::size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return L"";
    const std::size_t last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

std::wstring AnalysisPrefix(std::int64_t index) {
    static const wchar_t* const kPrefixes[] = {L"LinearStress.", L"Duravel.", L"Heat.", L"Fluid.", L"Electro.", L"Mass."};
    if (index < 0 || index > 5) return L"";
    return kPrefixes[index];
}

MarloGeneralAccess::MarloGeneralAccess(bool throwOnError, ConnectionRecord* connection, bool trimStrings,
                                       bool expandKeys)
    : MarloLowLevel(throwOnError, connection), trimStrings_(trimStrings), expandKeys_(expandKeys) {}

void MarloGeneralAccess::RegisterKeyMacro(const std::wstring& name, KeyMacro macro) {
    MacroTable& table = Macros();
    std::lock_guard<std::mutex> guard(table.lock);
    table.macros[name] = std::move(macro);
}

void MarloGeneralAccess::UnregisterKeyMacro(const std::wstring& name) {
    MacroTable& table = Macros();
    std::lock_guard<std::mutex> guard(table.lock);
    table.macros.erase(name);
}

std::wstring MarloGeneralAccess::ExpandKey(const std::wstring& key) {
    std::wstring text = key;
    std::size_t pos = 0;
    while ((pos = text.find(L"%(", pos)) != std::wstring::npos) {
        if (pos > 0 && text[pos - 1] == L'%') {  // "%%(" is an escaped, literal "%("
            pos += 2;
            continue;
        }
        const std::size_t close = text.find(L')', pos + 2);
        if (close == std::wstring::npos) break;
        const std::wstring name = text.substr(pos + 2, close - pos - 2);
        KeyMacro macro;
        {
            MacroTable& table = Macros();
            std::lock_guard<std::mutex> guard(table.lock);
            auto it = table.macros.find(name);
            if (it != table.macros.end()) macro = it->second;
        }
        if (!macro) {
            pos = close + 1;
            continue;
        }
        const std::wstring replacement = macro(*this);
        text.replace(pos, close + 1 - pos, replacement);
        pos += replacement.size();
    }
    // Printf-style formatting without arguments: only "%%" changes.
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == L'%' && i + 1 < text.size() && text[i + 1] == L'%') ++i;
    }
    return out;
}

bool MarloGeneralAccess::PrepareKey(const std::wstring& key, wchar_t (&buffer)[kKeyBufferChars], std::wstring& sent) {
    sent = expandKeys_ ? ExpandKey(key) : key;
    if (sent.size() > std::size_t(kMaxKeyChars)) return SetStatus(kStatusKeyTooLong);
    std::wmemset(buffer, 0, kKeyBufferChars);
    std::wmemcpy(buffer, sent.data(), sent.size());
    return true;
}

template <class Call>
bool MarloGeneralAccess::Read(const std::wstring& key, Call call) {
    const bool ownThrow = ThrowOnError();
    SetThrowOnError(true);
    try {
        wchar_t buffer[kKeyBufferChars];
        std::wstring sent;
        PrepareKey(key, buffer, sent);
        call(buffer);
        SetThrowOnError(ownThrow);
        // Found only when the database matched the key itself, not the next one in order.
        return std::wcscmp(buffer, sent.c_str()) == 0 || wcsncasecmp(buffer, sent.c_str(), kKeyBufferChars) == 0;
    } catch (const Exception&) {
        SetThrowOnError(ownThrow);
        if (ownThrow) throw;
        return false;
    }
}

bool MarloGeneralAccess::ReadInteger(const std::wstring& key, std::int32_t* value) {
    if (!value) return SetStatus(kStatusNullArgument);
    return Read(key, [&](wchar_t* buffer) { ModelInteger(kMarloRead, buffer, value); });
}

bool MarloGeneralAccess::ReadDouble(const std::wstring& key, double* value) {
    if (!value) return SetStatus(kStatusNullArgument);
    return Read(key, [&](wchar_t* buffer) { ModelDouble(kMarloRead, buffer, value); });
}

bool MarloGeneralAccess::ReadString(const std::wstring& key, std::wstring* value) {
    if (!value) return SetStatus(kStatusNullArgument);
    std::wstring text;
    const bool found = Read(key, [&](wchar_t* buffer) {
        std::wstring out(kStringBufferChars, L'\0');
        ModelString(kMarloRead, buffer, out.data(), kStringBufferChars);
        out.resize(std::wcslen(out.c_str()));
        text = std::move(out);
    });
    if (found) *value = trimStrings_ ? Trim(text) : text;
    return found;
}

bool MarloGeneralAccess::WriteInteger(const std::wstring& key, std::int32_t value) {
    wchar_t buffer[kKeyBufferChars];
    std::wstring sent;
    if (!PrepareKey(key, buffer, sent)) return false;
    return ModelInteger(kMarloWrite, buffer, &value);
}

bool MarloGeneralAccess::WriteDouble(const std::wstring& key, double value) {
    wchar_t buffer[kKeyBufferChars];
    std::wstring sent;
    if (!PrepareKey(key, buffer, sent)) return false;
    return ModelDouble(kMarloWrite, buffer, &value);
}

bool MarloGeneralAccess::WriteString(const std::wstring& key, const std::wstring& value) {
    wchar_t buffer[kKeyBufferChars];
    std::wstring sent;
    if (!PrepareKey(key, buffer, sent)) return false;
    std::wstring copy(kStringBufferChars, L'\0');
    const std::size_t n = std::min(value.size(), std::size_t(kMaxStringChars));
    std::wmemcpy(copy.data(), value.data(), n);
    const std::int32_t length = std::int32_t(std::min(value.size() + 1, std::size_t(kStringBufferChars)));
    return ModelString(kMarloWrite, buffer, copy.data(), length);
}

std::int32_t MarloGeneralAccess::RemoveKey(const std::wstring& key) {
    wchar_t buffer[kKeyBufferChars];
    std::wstring sent;
    if (!PrepareKey(key, buffer, sent)) return Status();
    return ModelUtility(kMarloUtilityRemove, buffer);
}

}  // namespace Marlo
