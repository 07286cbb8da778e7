#include "host/settingsdb/Marlo.h"

#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "host/settingsdb/SettingsStore.h"
#include "platform/win/Utf8.h"

namespace {

using orv::settingsdb::SettingsStore;
using namespace MarloStatus;

constexpr std::size_t kMaxHandles = 32767;
constexpr std::size_t kMaxPathChars = 4096;

// Handle h is slot h - 1; a closed handle's slot is reused by the next open.
struct HandleTable {
    std::mutex mutex;
    std::vector<std::shared_ptr<SettingsStore>> slots;
};

HandleTable& Table() {
    static HandleTable table;
    return table;
}

std::shared_ptr<SettingsStore> Find(int16_t handle) {
    HandleTable& t = Table();
    std::lock_guard lock(t.mutex);
    if (handle < 1 || std::size_t(handle) > t.slots.size()) return nullptr;
    return t.slots[std::size_t(handle) - 1];
}

int16_t OpenDatabase(const wchar_t* folder, const wchar_t* name, bool readOnly) {
    if (!folder || !name) return kNullArgument;
    try {
        std::wstring path(folder);
        const std::wstring file(name);
        if (file.empty() || path.size() + file.size() > kMaxPathChars) return kBadPath;
        if (!path.empty() && path.back() != L'/') path += L'/';
        path += file;
        path += L".sdb";

        std::unique_ptr<SettingsStore> store;
        if (const int16_t status = SettingsStore::Open(orv::WideToUtf8(path), readOnly, &store); status != kOk)
            return status;

        HandleTable& t = Table();
        std::lock_guard lock(t.mutex);
        std::size_t slot = 0;
        while (slot < t.slots.size() && t.slots[slot]) ++slot;
        if (slot == kMaxHandles) return kTooManyOpen;
        if (slot == t.slots.size()) t.slots.emplace_back();
        t.slots[slot] = std::move(store);
        return int16_t(slot + 1);
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }
}

// Runs op on the store of handle under its lock; no exception leaves the library.
template <class Result, class Op>
Result WithStore(int16_t handle, Op op) {
    const std::shared_ptr<SettingsStore> store = Find(handle);
    if (!store) return kBadHandle;
    try {
        std::lock_guard lock(store->Mutex());
        return op(*store);
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }
}

}  // namespace

extern "C" {

int16_t MARLO_OpenW(const wchar_t* folder, const wchar_t* name) { return OpenDatabase(folder, name, false); }

int16_t MARLO_OpenReadW(const wchar_t* folder, const wchar_t* name) { return OpenDatabase(folder, name, true); }

int16_t MARLO_Close(int16_t handle) {
    std::shared_ptr<SettingsStore> store;
    {
        HandleTable& t = Table();
        std::lock_guard lock(t.mutex);
        if (handle < 1 || std::size_t(handle) > t.slots.size() || !t.slots[std::size_t(handle) - 1])
            return kBadHandle;
        store = std::move(t.slots[std::size_t(handle) - 1]);
    }
    // The connection closes when the last operation still running on it has finished.
    std::lock_guard lock(store->Mutex());
    return kOk;
}

int16_t MARLO_ModelIntegerW(int16_t handle, int16_t operation, wchar_t* key, int32_t* value) {
    return WithStore<int16_t>(handle, [&](SettingsStore& s) -> int16_t {
        if (!key || !value) return kNullArgument;
        if (operation == kMarloRead) return s.ReadInteger(key, value);
        if (operation == kMarloWrite) return s.WriteInteger(key, *value);
        return kBadOperation;
    });
}

int16_t MARLO_ModelDoubleW(int16_t handle, int16_t operation, wchar_t* key, double* value) {
    return WithStore<int16_t>(handle, [&](SettingsStore& s) -> int16_t {
        if (!key || !value) return kNullArgument;
        if (operation == kMarloRead) return s.ReadDouble(key, value);
        if (operation == kMarloWrite) return s.WriteDouble(key, *value);
        return kBadOperation;
    });
}

int16_t MARLO_ModelStringW(int16_t handle, int16_t operation, wchar_t* key, wchar_t* value, int32_t length) {
    return WithStore<int16_t>(handle, [&](SettingsStore& s) -> int16_t {
        if (!key || !value) return kNullArgument;
        if (operation == kMarloRead) return s.ReadString(key, value, length);
        if (operation == kMarloWrite) return s.WriteString(key, value, length);
        return kBadOperation;
    });
}

int32_t MARLO_ModelUtilityW(int16_t handle, int16_t operation, const wchar_t* key) {
    return WithStore<int32_t>(handle, [&](SettingsStore& s) -> int32_t {
        if (!key) return kNullArgument;
        return s.Utility(operation, key);
    });
}

int16_t MARLO_Transaction(int16_t handle, int16_t operation) {
    return WithStore<int16_t>(handle, [&](SettingsStore& s) { return s.Transaction(operation); });
}

const wchar_t* MARLO_StatusTextW(int32_t status) {
    switch (status) {
    case kOk: return L"success";
    case kBadHandle: return L"the settings database is not open";
    case kNullArgument: return L"a required argument is missing";
    case kBadKey: return L"the key is empty or longer than 100 characters";
    case kBadOperation: return L"unknown operation";
    case kBadLength: return L"the string length is outside 1 to 4096";
    case kWrongType: return L"the key holds a value of another type";
    case kReadOnly: return L"the settings database is open for reading only";
    case kCannotOpen: return L"the settings database file cannot be opened";
    case kNotADatabase: return L"the file is not a settings database or is damaged";
    case kIoError: return L"reading or writing the settings database failed";
    case kTooManyOpen: return L"too many settings databases are open";
    case kBusy: return L"the settings database is locked by another process";
    case kTruncated: return L"the value is longer than the buffer";
    case kBadPath: return L"the settings database name is empty or too long";
    case kNoMemory: return L"out of memory";
    case kNoTransaction: return L"no transaction is running, or one is already running";
    default: return L"unknown status";
    }
}

}  // extern "C"
