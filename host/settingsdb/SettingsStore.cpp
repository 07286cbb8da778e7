#include "host/settingsdb/SettingsStore.h"

#include <sqlite3.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <cwchar>

#include "host/settingsdb/Marlo.h"
#include "platform/win/Utf8.h"

namespace orv::settingsdb {
namespace {

using namespace MarloStatus;

// "ORSD" in the file header marks our databases; user_version is the schema version.
constexpr int kApplicationId = 0x4F525344;
constexpr int kSchemaVersion = 1;
constexpr int kBusyTimeoutMs = 5000;
constexpr std::size_t kMaxKeyChars = kMarloKeyBufferChars - 1;

const char* const kSchema =
    "BEGIN;"
    "CREATE TABLE setting(fold TEXT NOT NULL PRIMARY KEY, key TEXT NOT NULL,"
    " kind INTEGER NOT NULL, value) WITHOUT ROWID;"
    "PRAGMA application_id = 1330795332;"
    "PRAGMA user_version = 1;"
    "COMMIT;";
static_assert(kApplicationId == 1330795332);

wchar_t FoldChar(wchar_t c) {
    if (c >= L'A' && c <= L'Z') return wchar_t(c + 32);
    if (c < 0xC0) return c;
    if (c <= 0xDE && c != 0xD7) return wchar_t(c + 32);           // Latin-1 capitals
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return wchar_t(c + 32);  // Greek
    if (c >= 0x410 && c <= 0x42F) return wchar_t(c + 32);         // Cyrillic
    if (c >= 0x400 && c <= 0x40F) return wchar_t(c + 80);
    return c;
}

// Length of the key in a key buffer, or a negative status.
int KeyLength(const wchar_t* key) {
    if (!key) return kNullArgument;
    const std::size_t n = wcsnlen(key, kMarloKeyBufferChars);
    if (n == 0 || n > kMaxKeyChars) return kBadKey;
    return int(n);
}

// Copies text (UTF-8 from the database) into a key buffer, cut to 100 characters.
void StoreKey(wchar_t* keyBuffer, const unsigned char* utf8, int bytes) {
    std::wstring key = orv::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(utf8), std::size_t(bytes)));
    if (key.size() > kMaxKeyChars) key.resize(kMaxKeyChars);
    std::wmemcpy(keyBuffer, key.data(), key.size());
    keyBuffer[key.size()] = L'\0';
}

// Doubles that SQLite cannot keep exactly as REAL (NaN becomes NULL, -0.0 may lose its
// sign) are stored as 8 little-endian bytes.
bool NeedsBlob(double value) { return std::isnan(value) || (value == 0.0 && std::signbit(value)); }

struct ResetOnExit {
    sqlite3_stmt* stmt;
    ~ResetOnExit() {
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
    }
};

}  // namespace

std::wstring FoldKey(std::wstring_view key) {
    std::wstring folded(key);
    for (auto& c : folded) c = FoldChar(c);
    return folded;
}

struct SettingsStore::Value {
    Kind kind;
    int32_t integer = 0;
    double real = 0.0;
    std::string text;
};

int16_t SettingsStore::StatusOf(int result) const {
    switch (result & 0xFF) {
    case SQLITE_OK:
    case SQLITE_DONE:
    case SQLITE_ROW: return kOk;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return kBusy;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT: return kNotADatabase;
    case SQLITE_READONLY: return kReadOnly;
    case SQLITE_CANTOPEN: return kCannotOpen;
    case SQLITE_NOMEM: return kNoMemory;
    default: return kIoError;
    }
}

int16_t SettingsStore::Open(const std::string& pathUtf8, bool readOnly, std::unique_ptr<SettingsStore>* store) {
    std::unique_ptr<SettingsStore> s(new SettingsStore);
    s->readOnly_ = readOnly;
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) |
                      SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE;
    int rc = sqlite3_open_v2(pathUtf8.c_str(), &s->db_, flags, nullptr);
    if (rc != SQLITE_OK) return s->StatusOf(rc) == kIoError ? kCannotOpen : s->StatusOf(rc);
    sqlite3_busy_timeout(s->db_, kBusyTimeoutMs);

    // Reading the header pragmas also tells a damaged or foreign file apart.
    auto pragmaInt = [&](const char* sql, int* out) {
        sqlite3_stmt* stmt = nullptr;
        int r = sqlite3_prepare_v2(s->db_, sql, -1, &stmt, nullptr);
        if (r == SQLITE_OK) {
            r = sqlite3_step(stmt);
            if (r == SQLITE_ROW) {
                *out = sqlite3_column_int(stmt, 0);
                r = SQLITE_OK;
            }
        }
        sqlite3_finalize(stmt);
        return r;
    };
    int appId = 0, version = 0, tables = 0;
    if ((rc = pragmaInt("PRAGMA application_id", &appId)) != SQLITE_OK) return s->StatusOf(rc);
    if ((rc = pragmaInt("PRAGMA user_version", &version)) != SQLITE_OK) return s->StatusOf(rc);
    if ((rc = pragmaInt("SELECT count(*) FROM sqlite_schema", &tables)) != SQLITE_OK) return s->StatusOf(rc);
    const bool fresh = appId == 0 && version == 0 && tables == 0;
    if (!fresh && (appId != kApplicationId || version != kSchemaVersion)) return kNotADatabase;
    if (fresh && readOnly) return kNotADatabase;

    if (!readOnly) {
        // WAL with a sync of the log at every commit: a commit that returned is durable.
        char* message = nullptr;
        rc = sqlite3_exec(s->db_, "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;", nullptr, nullptr, &message);
        sqlite3_free(message);
        if (rc != SQLITE_OK) return s->StatusOf(rc);
        if (fresh) {
            rc = sqlite3_exec(s->db_, kSchema, nullptr, nullptr, &message);
            sqlite3_free(message);
            if (rc != SQLITE_OK) {
                sqlite3_exec(s->db_, "ROLLBACK", nullptr, nullptr, nullptr);
                return s->StatusOf(rc);
            }
        }
    }
    if (const int16_t status = s->Prepare(); status != kOk) return status;
    *store = std::move(s);
    return kOk;
}

int16_t SettingsStore::Prepare() {
    struct {
        sqlite3_stmt** stmt;
        const char* sql;
    } const statements[] = {
        {&seek_, "SELECT fold, key, kind, value FROM setting WHERE fold >= ?1 ORDER BY fold LIMIT 1"},
        {&upsert_,
         "INSERT INTO setting(fold, key, kind, value) VALUES(?1, ?2, ?3, ?4)"
         " ON CONFLICT(fold) DO UPDATE SET kind = excluded.kind, value = excluded.value"},
        {&exists_, "SELECT 1 FROM setting WHERE fold = ?1"},
        {&remove_, "DELETE FROM setting WHERE fold = ?1"},
        {&removeRange_, "DELETE FROM setting WHERE fold >= ?1 AND fold < ?2"},
    };
    for (const auto& s : statements) {
        const int rc = sqlite3_prepare_v3(db_, s.sql, -1, SQLITE_PREPARE_PERSISTENT, s.stmt, nullptr);
        if (rc != SQLITE_OK) return StatusOf(rc) == kIoError ? kNotADatabase : StatusOf(rc);
    }
    return kOk;
}

SettingsStore::~SettingsStore() {
    for (sqlite3_stmt* stmt : {seek_, upsert_, exists_, remove_, removeRange_}) sqlite3_finalize(stmt);
    sqlite3_close_v2(db_);
}

// Steps seek_ onto the first key at or after the buffer's key and writes that key (or an
// empty text at the end) into the buffer. *exact tells whether it is the requested key;
// then seek_ stays on its row for the caller, who resets it.
int16_t SettingsStore::Lookup(wchar_t* keyBuffer, bool* exact) {
    *exact = false;
    const int length = KeyLength(keyBuffer);
    if (length < 0) return int16_t(length);
    const std::string fold = orv::WideToUtf8(FoldKey(std::wstring_view(keyBuffer, std::size_t(length))));
    sqlite3_bind_text(seek_, 1, fold.data(), int(fold.size()), SQLITE_STATIC);
    const int rc = sqlite3_step(seek_);
    if (rc == SQLITE_DONE) {
        keyBuffer[0] = L'\0';
        return kOk;
    }
    if (rc != SQLITE_ROW) return StatusOf(rc);
    const auto* rowFold = sqlite3_column_text(seek_, 0);
    const int rowFoldBytes = sqlite3_column_bytes(seek_, 0);
    *exact = std::size_t(rowFoldBytes) == fold.size() && std::memcmp(rowFold, fold.data(), fold.size()) == 0;
    StoreKey(keyBuffer, sqlite3_column_text(seek_, 1), sqlite3_column_bytes(seek_, 1));
    return kOk;
}

int16_t SettingsStore::ReadInteger(wchar_t* keyBuffer, int32_t* value) {
    if (!value) return kNullArgument;
    ResetOnExit reset{seek_};
    bool exact = false;
    if (const int16_t status = Lookup(keyBuffer, &exact); status != kOk || !exact) return status;
    if (Kind(sqlite3_column_int(seek_, 2)) != Kind::Integer) return kWrongType;
    if (sqlite3_column_type(seek_, 3) != SQLITE_INTEGER) return kNotADatabase;
    const sqlite3_int64 v = sqlite3_column_int64(seek_, 3);
    if (v < INT32_MIN || v > INT32_MAX) return kNotADatabase;
    *value = int32_t(v);
    return kOk;
}

int16_t SettingsStore::ReadDouble(wchar_t* keyBuffer, double* value) {
    if (!value) return kNullArgument;
    ResetOnExit reset{seek_};
    bool exact = false;
    if (const int16_t status = Lookup(keyBuffer, &exact); status != kOk || !exact) return status;
    const Kind kind = Kind(sqlite3_column_int(seek_, 2));
    const int type = sqlite3_column_type(seek_, 3);
    if (kind == Kind::Integer && type == SQLITE_INTEGER) {
        *value = double(sqlite3_column_int64(seek_, 3));
        return kOk;
    }
    if (kind != Kind::Double) return kWrongType;
    if (type == SQLITE_FLOAT) {
        *value = sqlite3_column_double(seek_, 3);
        return kOk;
    }
    if (type == SQLITE_BLOB && sqlite3_column_bytes(seek_, 3) == 8) {
        const auto* bytes = static_cast<const unsigned char*>(sqlite3_column_blob(seek_, 3));
        uint64_t bits = 0;
        for (int i = 7; i >= 0; --i) bits = (bits << 8) | bytes[i];
        *value = std::bit_cast<double>(bits);
        return kOk;
    }
    return kNotADatabase;
}

int16_t SettingsStore::ReadString(wchar_t* keyBuffer, wchar_t* value, int32_t length) {
    if (!value) return kNullArgument;
    if (length < 1 || length > kMarloStringBufferChars) return kBadLength;
    ResetOnExit reset{seek_};
    bool exact = false;
    if (const int16_t status = Lookup(keyBuffer, &exact); status != kOk || !exact) return status;
    if (Kind(sqlite3_column_int(seek_, 2)) != Kind::String) return kWrongType;
    if (sqlite3_column_type(seek_, 3) != SQLITE_TEXT) return kNotADatabase;
    const std::wstring text = orv::Utf8ToWide(std::string_view(
        reinterpret_cast<const char*>(sqlite3_column_text(seek_, 3)), std::size_t(sqlite3_column_bytes(seek_, 3))));
    const std::size_t room = std::size_t(length) - 1;
    const std::size_t n = text.size() < room ? text.size() : room;
    std::wmemcpy(value, text.data(), n);
    value[n] = L'\0';
    return n < text.size() ? kTruncated : kOk;
}

int16_t SettingsStore::Upsert(const wchar_t* keyBuffer, const Value& value) {
    if (readOnly_) return kReadOnly;
    const int length = KeyLength(keyBuffer);
    if (length < 0) return int16_t(length);
    const std::wstring_view key(keyBuffer, std::size_t(length));
    const std::string fold = orv::WideToUtf8(FoldKey(key));
    const std::string spelling = orv::WideToUtf8(key);
    ResetOnExit reset{upsert_};
    sqlite3_bind_text(upsert_, 1, fold.data(), int(fold.size()), SQLITE_STATIC);
    sqlite3_bind_text(upsert_, 2, spelling.data(), int(spelling.size()), SQLITE_STATIC);
    sqlite3_bind_int(upsert_, 3, int(value.kind));
    unsigned char bytes[8];
    switch (value.kind) {
    case Kind::Integer: sqlite3_bind_int(upsert_, 4, value.integer); break;
    case Kind::Double:
        if (NeedsBlob(value.real)) {
            uint64_t bits = std::bit_cast<uint64_t>(value.real);
            for (auto& b : bytes) {
                b = static_cast<unsigned char>(bits & 0xFF);
                bits >>= 8;
            }
            sqlite3_bind_blob(upsert_, 4, bytes, sizeof bytes, SQLITE_STATIC);
        } else {
            sqlite3_bind_double(upsert_, 4, value.real);
        }
        break;
    case Kind::String: sqlite3_bind_text(upsert_, 4, value.text.data(), int(value.text.size()), SQLITE_STATIC); break;
    }
    return StatusOf(sqlite3_step(upsert_));
}

int16_t SettingsStore::WriteInteger(const wchar_t* keyBuffer, int32_t value) {
    return Upsert(keyBuffer, Value{Kind::Integer, value, 0.0, {}});
}

int16_t SettingsStore::WriteDouble(const wchar_t* keyBuffer, double value) {
    return Upsert(keyBuffer, Value{Kind::Double, 0, value, {}});
}

int16_t SettingsStore::WriteString(const wchar_t* keyBuffer, const wchar_t* value, int32_t length) {
    if (!value) return kNullArgument;
    if (length < 1 || length > kMarloStringBufferChars) return kBadLength;
    const std::size_t n = wcsnlen(value, std::size_t(length) - 1);
    return Upsert(keyBuffer, Value{Kind::String, 0, 0.0, orv::WideToUtf8(std::wstring_view(value, n))});
}

int32_t SettingsStore::Utility(int16_t operation, const wchar_t* keyBuffer) {
    const int length = KeyLength(keyBuffer);
    if (length < 0) return length;
    const std::string fold = orv::WideToUtf8(FoldKey(std::wstring_view(keyBuffer, std::size_t(length))));
    switch (operation) {
    case kMarloUtilityExists: {
        ResetOnExit reset{exists_};
        sqlite3_bind_text(exists_, 1, fold.data(), int(fold.size()), SQLITE_STATIC);
        const int rc = sqlite3_step(exists_);
        if (rc == SQLITE_ROW) return 1;
        return rc == SQLITE_DONE ? 0 : StatusOf(rc);
    }
    case kMarloUtilityRemove: {
        if (readOnly_) return kReadOnly;
        ResetOnExit reset{remove_};
        sqlite3_bind_text(remove_, 1, fold.data(), int(fold.size()), SQLITE_STATIC);
        const int rc = sqlite3_step(remove_);
        return rc == SQLITE_DONE ? sqlite3_changes(db_) : StatusOf(rc);
    }
    case kMarloUtilityRemovePrefix: {
        if (readOnly_) return kReadOnly;
        // Every UTF-8 text starting with the prefix sorts below prefix + 0xFF.
        const std::string end = fold + '\xFF';
        ResetOnExit reset{removeRange_};
        sqlite3_bind_text(removeRange_, 1, fold.data(), int(fold.size()), SQLITE_STATIC);
        sqlite3_bind_text(removeRange_, 2, end.data(), int(end.size()), SQLITE_STATIC);
        const int rc = sqlite3_step(removeRange_);
        return rc == SQLITE_DONE ? sqlite3_changes(db_) : StatusOf(rc);
    }
    default: return kBadOperation;
    }
}

int16_t SettingsStore::Transaction(int16_t operation) {
    const bool inTransaction = sqlite3_get_autocommit(db_) == 0;
    auto exec = [&](const char* sql) { return StatusOf(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr)); };
    switch (operation) {
    case kMarloTransactionBegin:
        if (readOnly_) return kReadOnly;
        [[fallthrough]];
    case kMarloTransactionBeginRead:
        if (inTransaction) return kNoTransaction;
        // A write transaction takes the write lock at once, so that it cannot fail halfway for
        // another writer that came in after its first read.
        return exec(operation == kMarloTransactionBegin ? "BEGIN IMMEDIATE" : "BEGIN DEFERRED");
    case kMarloTransactionCommit: {
        if (!inTransaction) return kNoTransaction;
        const int16_t status = exec("COMMIT");
        if (status != kOk && sqlite3_get_autocommit(db_) == 0) exec("ROLLBACK");
        return status;
    }
    case kMarloTransactionRollback:
        // SQLite may already have rolled back after an I/O error or a full disk.
        if (!inTransaction) return kNoTransaction;
        return exec("ROLLBACK");
    default: return kBadOperation;
    }
}

}  // namespace orv::settingsdb
