#pragma once
// Settings database library: a durable, ordered key/value store per design scenario.
//
// One database file "<folder><name>.sdb" (SQLite, WAL journal, full synchronisation) per
// (folder, name). Keys are at most 100 wide characters, compared without regard to case;
// each key holds one typed value (32-bit integer, double or string of at most 4095
// characters). Every write that returns 0 is on disk when it returns.
//
// Results are 16-bit signed statuses (ModelUtility: 32-bit); 0 or positive is success, a
// negative value is one of the MarloStatus codes below.

#include <cstdint>

namespace MarloStatus {
constexpr int16_t kOk = 0;
constexpr int16_t kBadHandle = -1;      // the handle is not that of an open database
constexpr int16_t kNullArgument = -2;   // folder, name, key or value pointer is null
constexpr int16_t kBadKey = -3;         // empty key, or no terminator within 101 characters
constexpr int16_t kBadOperation = -4;   // unknown operation code
constexpr int16_t kBadLength = -5;      // string length outside 1..4096
constexpr int16_t kWrongType = -6;      // the key holds a value of another type
constexpr int16_t kReadOnly = -7;       // write on a database opened for reading
constexpr int16_t kCannotOpen = -8;     // the file cannot be opened or created
constexpr int16_t kNotADatabase = -9;   // the file is not a settings database, or is damaged
constexpr int16_t kIoError = -10;       // reading or writing the file failed
constexpr int16_t kTooManyOpen = -11;   // all 32767 handles are in use
constexpr int16_t kBusy = -12;          // another process kept the database locked too long
constexpr int16_t kTruncated = -13;     // the value buffer was too short; it holds a prefix
constexpr int16_t kBadPath = -14;       // empty name, or a path too long
constexpr int16_t kNoMemory = -15;
constexpr int16_t kNoTransaction = -16;  // commit or rollback without a transaction, or a second begin
}  // namespace MarloStatus

// Operation codes of the Model* functions.
constexpr int16_t kMarloRead = 0;
constexpr int16_t kMarloWrite = 1;
// Operation codes of MARLO_ModelUtilityW.
constexpr int16_t kMarloUtilityExists = 0;        // result 1 when the key exists, else 0
constexpr int16_t kMarloUtilityRemove = 1;        // result 1 when the key was removed, else 0
constexpr int16_t kMarloUtilityRemovePrefix = 2;  // removes every key starting with it; count
// Operation codes of MARLO_Transaction.
constexpr int16_t kMarloTransactionBegin = 0;     // a write transaction (takes the write lock now)
constexpr int16_t kMarloTransactionCommit = 1;    // makes every write since the begin durable at once
constexpr int16_t kMarloTransactionRollback = 2;  // discards every write since the begin
constexpr int16_t kMarloTransactionBeginRead = 3; // a read transaction: one consistent view

constexpr int kMarloKeyBufferChars = 101;    // key buffer size, terminator included
constexpr int kMarloStringBufferChars = 4096;

extern "C" {

// Opens (creating it when missing) the database of folder + name for reading and writing;
// folder is a directory with or without its trailing separator. Result: a handle (1..32767)
// or a negative status.
int16_t MARLO_OpenW(const wchar_t* folder, const wchar_t* name);
// Opens an existing database for reading only; writes through the handle give kReadOnly.
int16_t MARLO_OpenReadW(const wchar_t* folder, const wchar_t* name);
int16_t MARLO_Close(int16_t handle);

// Read (operation 0): looks the key up. When it exists, the key buffer receives the key as
// stored (same text, perhaps other letter case) and the value is read. When it does not,
// the key buffer receives the next key in order (empty at the end of the store), the value
// is left untouched and the result is still 0. A caller tells the two apart by comparing
// the buffer with its key. Write (operation 1): stores the value under the key.
// The key buffer holds kMarloKeyBufferChars characters.
int16_t MARLO_ModelIntegerW(int16_t handle, int16_t operation, wchar_t* key, int32_t* value);
// Reading a key that holds an integer gives its value as a double.
int16_t MARLO_ModelDoubleW(int16_t handle, int16_t operation, wchar_t* key, double* value);
// length: size of value in characters, terminator included (1..4096). A write stores the
// text up to its terminator or length - 1 characters, whichever comes first.
int16_t MARLO_ModelStringW(int16_t handle, int16_t operation, wchar_t* key, wchar_t* value, int32_t length);
// Key utilities (kMarloUtility*); the key is not written back.
int32_t MARLO_ModelUtilityW(int16_t handle, int16_t operation, const wchar_t* key);

// Transactions (kMarloTransaction*): between a begin and its commit every write through the
// handle is held back and becomes durable in one step at the commit, or not at all (a
// rollback, a failed commit, a crash, a close). A failed commit rolls back. Transactions do
// not nest: a second begin gives kNoTransaction and leaves the first one running.
int16_t MARLO_Transaction(int16_t handle, int16_t operation);

// A short English description of a status, for messages ("unknown status" for others).
const wchar_t* MARLO_StatusTextW(int32_t status);

}  // extern "C"
