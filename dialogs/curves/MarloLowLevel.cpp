#include "dialogs/curves/MarloLowLevel.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <new>
#include <system_error>

#include "host/appcore/AppCore.h"
#include "host/settingsdb/ConnectionBlocks.h"
#include "host/settingsdb/Marlo.h"

namespace Marlo {
namespace fs = std::filesystem;

namespace {

// Serialises registration itself; the block's own lock guards the list.
std::mutex& RegistrationLock() {
    static std::mutex lock;
    return lock;
}

// Registers this module for as long as it is loaded.
struct ModuleRegistration {
    ModuleRegistration() { ConnectionRegistry::Register(); }
    ~ModuleRegistration() { ConnectionRegistry::Unregister(); }
};
const ModuleRegistration moduleRegistration;

std::wstring ToWide(const fs::path& path) { return path.wstring(); }

// Swaps the letter case of every letter; equal to the input when it has none.
std::wstring SwapCase(const std::wstring& text) {
    std::wstring out = text;
    for (wchar_t& c : out) c = std::iswupper(wint_t(c)) ? wchar_t(std::towlower(wint_t(c))) : wchar_t(std::towupper(wint_t(c)));
    return out;
}

// Whether the file system holding `existing` (an existing path) ignores case: the same
// name with its case swapped names the same file.
bool IgnoresCase(const fs::path& existing) {
    std::error_code ec;
    for (fs::path p = existing; !p.empty() && p != p.root_path(); p = p.parent_path()) {
        const std::wstring name = p.filename().wstring();
        const std::wstring swapped = SwapCase(name);
        if (swapped == name) continue;
        const fs::path other = p.parent_path() / swapped;
        if (!fs::exists(other, ec)) return false;
        return fs::equivalent(p, other, ec);
    }
    return false;
}

// Splits a database path into the folder (with its separator) and the file name without
// extension, as the library's open functions take them.
void SplitDatabasePath(const std::wstring& path, std::wstring& folder, std::wstring& name) {
    const std::size_t slash = path.find_last_of(L'/');
    folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
    name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos && dot != 0) name.erase(dot);
}

}  // namespace

// ---- ConnectionRegistry ----

std::string ConnectionRegistry::VariableName() {
    char name[64];
    std::snprintf(name, sizeof name, "MarloConnectionOpen_%lu", static_cast<unsigned long>(::getpid()));
    return name;
}

ConnectionRegistry::Block* ConnectionRegistry::Find() {
    const char* value = std::getenv(VariableName().c_str());
    if (!value || !*value) return nullptr;
    char* end = nullptr;
    const unsigned long long address = std::strtoull(value, &end, 16);
    if (!end || *end != '\0' || address == 0) return nullptr;
    // Only a block this process created is ever dereferenced.
    Block* block = reinterpret_cast<Block*>(static_cast<std::uintptr_t>(address));
    return orv::settingsdb::IsConnectionBlock(block) ? block : nullptr;
}

void ConnectionRegistry::Register() {
    std::lock_guard<std::mutex> guard(RegistrationLock());
    if (Block* block = Find()) {
        std::lock_guard<std::mutex> lock(block->lock);
        ++block->users;
        return;
    }
    Block* block = new Block;
    block->users = 1;
    orv::settingsdb::RememberConnectionBlock(block);
    char value[32];
    std::snprintf(value, sizeof value, "%#llx",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(block)));
    ::setenv(VariableName().c_str(), value, 1);
}

void ConnectionRegistry::Unregister() {
    std::lock_guard<std::mutex> guard(RegistrationLock());
    Block* block = Find();
    if (!block) return;
    {
        std::lock_guard<std::mutex> lock(block->lock);
        if (--block->users != 0) return;
        // Connections still open at the last unload are closed with it.
        for (ConnectionRecord* r = block->head; r;) {
            ConnectionRecord* next = r->next;
            MARLO_Close(static_cast<std::int16_t>(r->handle));
            delete r;
            r = next;
        }
        block->head = nullptr;
    }
    ::unsetenv(VariableName().c_str());
    orv::settingsdb::ForgetConnectionBlock(block);
    delete block;
}

std::uint32_t ConnectionRegistry::Users() {
    Block* block = Find();
    if (!block) return 0;
    std::lock_guard<std::mutex> lock(block->lock);
    return block->users;
}

std::size_t ConnectionRegistry::RecordCount() {
    Block* block = Find();
    if (!block) return 0;
    std::lock_guard<std::mutex> lock(block->lock);
    std::size_t n = 0;
    for (ConnectionRecord* r = block->head; r; r = r->next) ++n;
    return n;
}

std::wstring ConnectionRegistry::CanonicalKey(const std::wstring& path) {
    std::error_code ec;
    fs::path absolute = fs::absolute(fs::path(path), ec);
    if (ec) absolute = fs::path(path);
    fs::path canonical = fs::weakly_canonical(absolute, ec);
    if (ec) canonical = absolute.lexically_normal();
    // The longest existing part decides whether the file system ignores case.
    fs::path existing = canonical;
    while (!existing.empty() && !fs::exists(existing, ec) && existing != existing.root_path())
        existing = existing.parent_path();
    std::wstring key = ToWide(canonical);
    if (!existing.empty() && IgnoresCase(existing)) {
        for (wchar_t& c : key) c = wchar_t(std::towlower(wint_t(c)));
    }
    return key;
}

// ---- MarloLowLevel ----

MarloLowLevel::MarloLowLevel(bool throwOnError, ConnectionRecord* connection)
    : throwOnError_(throwOnError), connection_(connection) {
    AddReference();
}

MarloLowLevel::MarloLowLevel(const MarloLowLevel& other)
    : throwOnError_(other.throwOnError_), status_(other.status_), connection_(other.connection_) {
    AddReference();
}

MarloLowLevel& MarloLowLevel::operator=(const MarloLowLevel& other) {
    if (this == &other) return *this;
    throwOnError_ = false;  // releasing our own connection never throws
    Close();
    throwOnError_ = other.throwOnError_;
    status_ = other.status_;
    connection_ = other.connection_;
    AddReference();
    return *this;
}

MarloLowLevel::~MarloLowLevel() {
    throwOnError_ = false;
    Close();
}

void MarloLowLevel::AddReference() {
    if (!connection_) return;
    ConnectionRegistry::Block* block = ConnectionRegistry::Find();
    if (!block) return;
    std::lock_guard<std::mutex> lock(block->lock);
    ++connection_->references;
}

bool MarloLowLevel::SetStatus(std::int32_t status) {
    status_ = status;
    if (status != 0 && throwOnError_) throw Exception(status);
    return status == 0;
}

bool MarloLowLevel::Open(const wchar_t* path, std::int32_t scenarioId, bool readOnly) {
    if (!path) return SetStatus(kStatusNullArgument);
    if (connection_) return SetStatus(kStatusAlreadyOpen);

    std::wstring databasePath = path;
    if (scenarioId != 0) {
        wchar_t folder[kOrvMaxPath] = {};
        std::int32_t result = 0;
        if (OrvGetDesignScenarioDotModFolderNameW(path, scenarioId, folder, 1, &result) == 0)
            return SetStatus(kStatusNoScenarioFolder);
        databasePath = folder;
    }

    ConnectionRegistry::Block* block = ConnectionRegistry::Find();
    if (!block) return SetStatus(kStatusNoMemory);
    const std::wstring key = ConnectionRegistry::CanonicalKey(databasePath);
    std::int32_t status = 0;
    {
        std::lock_guard<std::mutex> lock(block->lock);
        for (ConnectionRecord* r = block->head; r; r = r->next) {
            if (r->key == key) {
                ++r->references;
                connection_ = r;
                break;
            }
        }
        if (!connection_) {
            ConnectionRecord* record = new (std::nothrow) ConnectionRecord;
            if (!record) {
                status = kStatusNoMemory;
            } else {
                std::wstring folder, name;
                SplitDatabasePath(key, folder, name);
                const std::int16_t handle =
                    readOnly ? MARLO_OpenReadW(folder.c_str(), name.c_str()) : MARLO_OpenW(folder.c_str(), name.c_str());
                if (handle < 0) {
                    delete record;
                    status = handle;
                } else {
                    record->handle = handle;
                    record->references = 1;
                    record->path = databasePath;
                    record->key = key;
                    record->next = block->head;
                    block->head = record;
                    connection_ = record;
                }
            }
        }
    }
    return SetStatus(status);
}

bool MarloLowLevel::Close() {
    if (!connection_) return SetStatus(0);
    std::int32_t status = 0;
    ConnectionRegistry::Block* block = ConnectionRegistry::Find();
    if (block) {
        std::lock_guard<std::mutex> lock(block->lock);
        for (ConnectionRecord** link = &block->head; *link; link = &(*link)->next) {
            if (*link != connection_) continue;
            if (--connection_->references == 0) {
                status = MARLO_Close(static_cast<std::int16_t>(connection_->handle));
                *link = connection_->next;
                delete connection_;
            }
            break;
        }
    }
    connection_ = nullptr;
    return SetStatus(status);
}

bool MarloLowLevel::ModelInteger(std::int16_t operation, wchar_t* key, std::int32_t* value) {
    if (!connection_) return SetStatus(kStatusNotOpen);
    if (!key || !value) return SetStatus(kStatusNullArgument);
    return SetStatus(MARLO_ModelIntegerW(static_cast<std::int16_t>(connection_->handle), operation, key, value));
}

bool MarloLowLevel::ModelDouble(std::int16_t operation, wchar_t* key, double* value) {
    if (!connection_) return SetStatus(kStatusNotOpen);
    if (!key || !value) return SetStatus(kStatusNullArgument);
    return SetStatus(MARLO_ModelDoubleW(static_cast<std::int16_t>(connection_->handle), operation, key, value));
}

bool MarloLowLevel::ModelString(std::int16_t operation, wchar_t* key, wchar_t* value, std::int32_t length) {
    if (!connection_) return SetStatus(kStatusNotOpen);
    if (!key || !value) return SetStatus(kStatusNullArgument);
    if (length < 0) return SetStatus(kStatusNegativeLength);
    return SetStatus(
        MARLO_ModelStringW(static_cast<std::int16_t>(connection_->handle), operation, key, value, length));
}

std::int32_t MarloLowLevel::ModelUtility(std::int16_t operation, const wchar_t* key) {
    if (!connection_) {
        SetStatus(kStatusNotOpen);
        return kStatusNotOpen;
    }
    if (!key) {
        SetStatus(kStatusNullArgument);
        return kStatusNullArgument;
    }
    const std::int32_t result = MARLO_ModelUtilityW(static_cast<std::int16_t>(connection_->handle), operation, key);
    SetStatus(result < 0 ? result : 0);
    return result;
}

bool MarloLowLevel::Transaction(std::int16_t operation) {
    if (!connection_) return SetStatus(kStatusNotOpen);
    return SetStatus(MARLO_Transaction(static_cast<std::int16_t>(connection_->handle), operation));
}

void MarloLowLevel::AbandonTransaction() noexcept {
    if (connection_) MARLO_Transaction(static_cast<std::int16_t>(connection_->handle), kMarloTransactionRollback);
}

TransactionScope::TransactionScope(MarloLowLevel& access, bool write)
    : access_(access), running_(access.Transaction(write ? kMarloTransactionBegin : kMarloTransactionBeginRead)) {}

TransactionScope::~TransactionScope() {
    if (running_) access_.AbandonTransaction();
}

bool TransactionScope::Commit() {
    if (!running_) return false;
    running_ = false;
    return access_.Transaction(kMarloTransactionCommit);
}

}  // namespace Marlo

namespace Marlo {

std::wstring StatusText(std::int32_t status) {
    switch (status) {
        case kStatusOk: return L"success";
        case kStatusAlreadyOpen: return L"a connection is already open";
        case kStatusNotOpen: return L"no connection is open";
        case kStatusNullArgument: return L"a required argument is missing";
        case kStatusNegativeLength: return L"a negative string length";
        case kStatusNoMemory: return L"no memory for a new connection";
        case kStatusKeyTooLong: return L"a key longer than 100 characters";
        case kStatusCountTooLarge: return L"a stored point count beyond the limit";
        case kStatusNoScenarioFolder: return L"the design scenario folder could not be determined";
        default: return MARLO_StatusTextW(status);
    }
}

}  // namespace Marlo
