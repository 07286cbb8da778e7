#pragma once
// Typed reads and writes by key over a settings database connection, with key macros
// ("%(ANALYSIS)Global.LoadCurve.Count") and optional trimming of the strings read.

#include <functional>
#include <string>

#include "dialogs/curves/MarloLowLevel.h"

namespace Marlo {

// The analysis prefix of category 0 to 5 ("LinearStress.", "Duravel.", "Heat.", "Fluid.",
// "Electro.", "Mass."); empty for any other index.
std::wstring AnalysisPrefix(std::int64_t index);

class MarloGeneralAccess : public virtual MarloLowLevel {
public:
    // A macro's text for the access object that expands it.
    using KeyMacro = std::function<std::wstring(MarloGeneralAccess& access)>;

    MarloGeneralAccess(bool throwOnError = false, ConnectionRecord* connection = nullptr, bool trimStrings = true,
                       bool expandKeys = true);

    // Found: true. A key the database does not hold: false, without an exception; a database
    // error: an exception when throwOnError is set, else false. A string output is left as it
    // was when nothing is found.
    bool ReadInteger(const std::wstring& key, std::int32_t* value);
    bool ReadDouble(const std::wstring& key, double* value);
    bool ReadString(const std::wstring& key, std::wstring* value);
    // Strings are stored up to kMaxStringChars characters.
    bool WriteInteger(const std::wstring& key, std::int32_t value);
    bool WriteDouble(const std::wstring& key, double value);
    bool WriteString(const std::wstring& key, const std::wstring& value);
    // 1 when the key was removed, 0 when it did not exist, a negative status on error.
    std::int32_t RemoveKey(const std::wstring& key);

    // Replaces each "%(NAME)" of a registered macro by its text ("%%(" escapes one), then
    // turns "%%" into "%".
    std::wstring ExpandKey(const std::wstring& key);

    bool TrimStrings() const { return trimStrings_; }
    void SetTrimStrings(bool on) { trimStrings_ = on; }
    bool ExpandKeys() const { return expandKeys_; }
    void SetExpandKeys(bool on) { expandKeys_ = on; }

    // The process-wide macro table; ANALYSIS and ANALYSIS_GLOBAL are registered from the start.
    static void RegisterKeyMacro(const std::wstring& name, KeyMacro macro);
    static void UnregisterKeyMacro(const std::wstring& name);

private:
    // The key as sent: expanded when expandKeys is set. False (status kStatusKeyTooLong or
    // kStatusNullArgument) when it does not fit the key buffer.
    bool PrepareKey(const std::wstring& key, wchar_t (&buffer)[kKeyBufferChars], std::wstring& sent);
    template <class Call>
    bool Read(const std::wstring& key, Call call);

    bool trimStrings_;
    bool expandKeys_;
};

}  // namespace Marlo
