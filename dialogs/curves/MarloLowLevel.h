#pragma once
// Access to the design scenario's settings database: MarloLowLevel owns one shared connection
// and wraps the MARLO_* calls with status codes and, on request, exceptions.
//
// Connections are shared by every user in the process through the ConnectionRegistry, so that
// opening one database twice (under any spelling of its path) yields one database handle.

#include <cstdint>
#include <mutex>
#include <string>

namespace Marlo {

// Status codes of the access layer; 0 is success, other negative values come from the
// settings database library unchanged.
inline constexpr std::int32_t kStatusOk = 0;
inline constexpr std::int32_t kStatusAlreadyOpen = -1000;
inline constexpr std::int32_t kStatusNotOpen = -1001;
inline constexpr std::int32_t kStatusNullArgument = -1002;
inline constexpr std::int32_t kStatusNegativeLength = -1003;
inline constexpr std::int32_t kStatusNoMemory = -1004;
// A key longer than kMaxKeyChars: refused instead of being cut to another key.
inline constexpr std::int32_t kStatusKeyTooLong = -1005;
// A stored point count beyond kMaxCurvePoints (a damaged database).
inline constexpr std::int32_t kStatusCountTooLarge = -1006;
inline constexpr std::int32_t kStatusNoScenarioFolder = -103;

inline constexpr int kKeyBufferChars = 101;  // keys of at most 100 characters
inline constexpr int kMaxKeyChars = kKeyBufferChars - 1;
inline constexpr int kStringBufferChars = 4096;  // strings of at most 4095 characters
inline constexpr int kMaxStringChars = kStringBufferChars - 1;

// One open database, shared by the access objects that use it.
struct ConnectionRecord {
    std::int32_t handle = 0;      // the library's handle (16 bits, sign-extended)
    std::uint32_t references = 0;
    std::wstring path;            // the path given to Open
    std::wstring key;             // the canonical path that identifies the database
    ConnectionRecord* next = nullptr;
};

// The process-wide list of open connections. Its block is published in the environment
// variable "MarloConnectionOpen_<pid>" (the block's address, "0x..."), so every module of
// the process that registers itself finds the same list. An address there is used only when
// it is a block this process created (kept by the host library), else it counts as none. Modules register when loaded and
// unregister when unloaded; the last one out frees the block and removes the variable.
class ConnectionRegistry {
public:
    struct Block {
        std::mutex lock;                      // guards the list and every reference count
        ConnectionRecord* head = nullptr;
        std::uint32_t users = 0;              // changed under the lock
    };

    static void Register();
    static void Unregister();
    // The block published for this process, null when no module registered.
    static Block* Find();
    // The environment variable's name for this process.
    static std::string VariableName();
    // Users count of the block (0 when there is none).
    static std::uint32_t Users();
    // The number of records in the list.
    static std::size_t RecordCount();

    // The identity of a database path: symbolic links and "." / ".." resolved; folded to lower
    // case only when the file system holding it ignores case.
    static std::wstring CanonicalKey(const std::wstring& path);
};

class MarloLowLevel;

// Runs a transaction for the scope's lifetime: rolled back at its end unless Commit succeeded,
// so that an error or an exception halfway leaves the database as it was.
class TransactionScope {
public:
    TransactionScope(MarloLowLevel& access, bool write);
    ~TransactionScope();
    TransactionScope(const TransactionScope&) = delete;
    TransactionScope& operator=(const TransactionScope&) = delete;
    bool Started() const { return running_; }
    bool Commit();

private:
    MarloLowLevel& access_;
    bool running_;
};

class MarloLowLevel {
public:
    class Exception {
    public:
        explicit Exception(std::int32_t status) : status_(status) {}
        std::int32_t Status() const { return status_; }

    private:
        std::int32_t status_;
    };

    // connection: a record to share (a reference is added), or null for a closed object.
    explicit MarloLowLevel(bool throwOnError = false, ConnectionRecord* connection = nullptr);
    MarloLowLevel(const MarloLowLevel& other);
    MarloLowLevel& operator=(const MarloLowLevel& other);
    virtual ~MarloLowLevel();

    // Opens the database of `path` (scenarioId 0) or of design scenario `scenarioId` of the
    // model at `path`, sharing an open connection to the same database.
    bool Open(const wchar_t* path, std::int32_t scenarioId, bool readOnly);
    // Releases the connection; the last user closes the database. A closed object stores 0.
    bool Close();

    // key: a writable buffer of kKeyBufferChars characters; after a read it holds the key the
    // database matched.
    bool ModelInteger(std::int16_t operation, wchar_t* key, std::int32_t* value);
    bool ModelDouble(std::int16_t operation, wchar_t* key, double* value);
    // length: characters of value, terminator included.
    bool ModelString(std::int16_t operation, wchar_t* key, wchar_t* value, std::int32_t length);
    // Stores 0 for a non-negative result; returns the library's result unchanged.
    std::int32_t ModelUtility(std::int16_t operation, const wchar_t* key);

    // Begins, commits or rolls back a transaction on the connection (kMarloTransaction*). It
    // covers every write through the connection, whoever shares it, until it ends.
    bool Transaction(std::int16_t operation);
    // Rolls back a running transaction; keeps the status and never throws (for cleanup).
    void AbandonTransaction() noexcept;

    bool IsOpen() const { return connection_ != nullptr; }
    std::int32_t Status() const { return status_; }
    bool ThrowOnError() const { return throwOnError_; }
    void SetThrowOnError(bool on) { throwOnError_ = on; }
    ConnectionRecord* Connection() const { return connection_; }

protected:
    // Stores the status; throws it when it is an error and throwOnError is set.
    bool SetStatus(std::int32_t status);

private:
    void AddReference();

    bool throwOnError_;
    std::int32_t status_ = 0;
    ConnectionRecord* connection_;
};

}  // namespace Marlo

namespace Marlo {
// A short English text for a status of this layer or of the settings database library.
std::wstring StatusText(std::int32_t status);
}  // namespace Marlo
