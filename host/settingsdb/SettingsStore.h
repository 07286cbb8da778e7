#pragma once
// One open settings database: a SQLite connection and its prepared statements. Used by the
// MARLO_* functions; not thread-safe by itself (the caller holds Mutex()).

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace orv::settingsdb {

// Key folding used for matching: ASCII, Latin-1, basic Greek and Cyrillic letters are
// compared without regard to case. Fixed here (not taken from the C locale) because the
// folded key is stored in the file.
std::wstring FoldKey(std::wstring_view key);

class SettingsStore {
public:
    // Opens or creates the file; returns a MarloStatus code.
    static int16_t Open(const std::string& pathUtf8, bool readOnly, std::unique_ptr<SettingsStore>* store);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    std::mutex& Mutex() { return mutex_; }
    bool ReadOnly() const { return readOnly_; }

    int16_t ReadInteger(wchar_t* keyBuffer, int32_t* value);
    int16_t ReadDouble(wchar_t* keyBuffer, double* value);
    int16_t ReadString(wchar_t* keyBuffer, wchar_t* value, int32_t length);
    int16_t WriteInteger(const wchar_t* keyBuffer, int32_t value);
    int16_t WriteDouble(const wchar_t* keyBuffer, double value);
    int16_t WriteString(const wchar_t* keyBuffer, const wchar_t* value, int32_t length);
    int32_t Utility(int16_t operation, const wchar_t* keyBuffer);
    int16_t Transaction(int16_t operation);

private:
    enum class Kind { Integer = 1, Double = 2, String = 3 };
    struct Value;

    SettingsStore() = default;
    int16_t Prepare();
    int16_t CreateSchema();
    int16_t Lookup(wchar_t* keyBuffer, bool* exact);
    int16_t Upsert(const wchar_t* keyBuffer, const Value& value);
    int16_t StatusOf(int sqliteResult) const;

    sqlite3* db_ = nullptr;
    sqlite3_stmt* seek_ = nullptr;
    sqlite3_stmt* upsert_ = nullptr;
    sqlite3_stmt* exists_ = nullptr;
    sqlite3_stmt* remove_ = nullptr;
    sqlite3_stmt* removeRange_ = nullptr;
    bool readOnly_ = false;
    std::mutex mutex_;
};

}  // namespace orv::settingsdb
