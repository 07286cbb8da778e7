#include "platform/registry/Registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "platform/registry/RegistryFile.h"
#include "platform/win/DataExchange.h"  // FILETIME
#include "platform/win/Utf8.h"

namespace orv::registry {

bool HasVolatile(const RegKeyNode& key);

namespace {

constexpr int kHiveCount = 3;
const char* const kHiveNames[kHiveCount] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"};

// 100 ns intervals between 1601-01-01 and 1970-01-01.
constexpr ULONGLONG kUnixEpochInFileTime = 116444736000000000ull;

ULONGLONG FileTimeOf(const timespec& t) {
    return kUnixEpochInFileTime + ULONGLONG(t.tv_sec) * 10000000ull + ULONGLONG(t.tv_nsec) / 100;
}

ULONGLONG Now() {
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::system_clock::now().time_since_epoch())
                        .count();
    return kUnixEpochInFileTime + ULONGLONG(ns) / 100;
}

// What identifies one version of a hive file on disk.
struct FileStamp {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    long sec = 0;
    long nsec = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const std::string& path, timespec* mtime = nullptr) {
    FileStamp s;
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return s;
    s.exists = true;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.size = st.st_size;
    s.sec = long(st.st_mtim.tv_sec);
    s.nsec = long(st.st_mtim.tv_nsec);
    if (mtime) *mtime = st.st_mtim;
    return s;
}

struct Hive {
    RegKeyNode root;
    std::string path;
    FileStamp stamp;
    std::string text;  // the file's text as last read or written
    bool loaded = false;
    std::wstring problem;
};

struct Handle {
    int hive = 0;
    std::vector<std::wstring> path;
    REGSAM access = 0;
};

struct State {
    std::recursive_mutex lock;
    Hive hives[kHiveCount];
    std::map<ULONG_PTR, Handle> handles;
    ULONG_PTR next = 0x100;
};

State& TheState() {
    static State state;
    return state;
}

int HiveIndex(HKEY key) {
    const ULONG_PTR v = reinterpret_cast<ULONG_PTR>(key);
    if (v >= 0x80000000 && v < 0x80000000 + kHiveCount) return int(v - 0x80000000);
    return -1;
}

std::string FolderFromEnvironment() {
    if (const char* dir = std::getenv("ORV_REGISTRY_DIR"); dir && *dir) return dir;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') return std::string(xdg) + "/orven";
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.config/orven";
    return {};
}

std::string PathOf(int hive) {
    const std::string folder = FolderFromEnvironment();
    if (folder.empty()) return {};
    return folder + "/" + kHiveNames[hive] + ".reg";
}

void SetWriteTimes(RegKeyNode& key, ULONGLONG t) {
    key.lastWrite = t;
    for (auto& [folded, child] : key.subkeys) SetWriteTimes(*child, t);
}

// Moves the volatile subtrees of from into to, creating the keys on their way as volatile.
void GraftVolatile(RegKeyNode& from, RegKeyNode& to) {
    for (auto& [folded, child] : from.subkeys) {
        if (child->isVolatile) {
            to.subkeys[folded] = std::move(child);
        } else {
            RegKeyNode* target = to.Child(child->name);
            if (!target && !HasVolatile(*child)) continue;
            if (!target) target = &to.AddChild(child->name, true);
            GraftVolatile(*child, *target);
        }
    }
}

bool ReadFile(const std::string& path, std::string& text) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buf[65536];
    while (true) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        text.append(buf, std::size_t(n));
    }
    ::close(fd);
    return true;
}

// Brings the hive up to date with its file (another process may have replaced it).
void Refresh(int index) {
    Hive& h = TheState().hives[index];
    const std::string path = PathOf(index);
    timespec mtime{};
    const FileStamp stamp = StampOf(path, &mtime);
    std::string text;
    bool haveText = false;
    if (h.loaded && path == h.path && stamp == h.stamp) {
        // A file changed in place within the clock's resolution keeps its stamp: while the
        // stamp is recent, compare the text too.
        const ULONGLONG age = Now() - std::min(Now(), FileTimeOf(mtime));
        if (!stamp.exists || age > 2 * 10000000ull) return;
        if (!ReadFile(path, text) || text == h.text) return;
        haveText = true;
    }
    RegKeyNode fresh;
    std::wstring problem;
    if (stamp.exists) {
        if (!haveText && !ReadFile(path, text)) {
            problem = Utf8ToWide(std::string(kHiveNames[index]) + ".reg: cannot be read: " + std::strerror(errno));
        } else {
            std::wstring error;
            if (!ParseHive(text, fresh, error)) {
                problem = Utf8ToWide(std::string(kHiveNames[index]) + ".reg ") + error;
                fresh = RegKeyNode();
            }
        }
        SetWriteTimes(fresh, FileTimeOf(mtime));
    }
    GraftVolatile(h.root, fresh);
    h.root = std::move(fresh);
    h.text = std::move(text);
    h.path = path;
    h.stamp = stamp;
    h.loaded = true;
    h.problem = problem;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += std::size_t(n);
    }
    return true;
}

bool MakeFolders(const std::string& folder) {
    std::string partial;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = folder.find('/', pos + 1);
        partial = folder.substr(0, pos);
        if (partial.empty()) continue;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}

// Writes the hive to a new file and renames it into place.
bool Save(int index) {
    Hive& h = TheState().hives[index];
    if (h.path.empty()) return false;
    std::string text = WriteHive(h.root);
    const std::string tmp = h.path + ".tmp." + std::to_string(::getpid());
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !ok || ::rename(tmp.c_str(), h.path.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    const std::string folder = h.path.substr(0, h.path.rfind('/'));
    if (const int dir = ::open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    h.stamp = StampOf(h.path);
    h.text = std::move(text);
    return true;
}

// An exclusive lock on the hive among processes, held while it is read, changed and written.
class FileLock {
public:
    explicit FileLock(int index) {
        const std::string folder = FolderFromEnvironment();
        if (folder.empty() || !MakeFolders(folder)) return;
        fd_ = ::open((folder + "/." + kHiveNames[index] + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ >= 0) {
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~FileLock() {
        if (fd_ >= 0) ::close(fd_);  // closing releases the lock
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_ = -1;
};

struct Change {
    LONG status = ERROR_SUCCESS;
    bool persistent = false;
};

// Runs change on the up-to-date hive and writes the hive when a persistent part changed.
// A change that can only touch volatile keys (mayPersist false) takes no lock among
// processes, so that in-memory keys never create files.
LONG Modify(int index, bool mayPersist, const std::function<Change(RegKeyNode& root)>& change) {
    std::optional<FileLock> lock;
    if (mayPersist) lock.emplace(index);
    Refresh(index);
    Hive& h = TheState().hives[index];
    if (!h.problem.empty()) return ERROR_BADDB;
    const Change c = change(h.root);
    if (c.status != ERROR_SUCCESS || !c.persistent) return c.status;
    if (!lock || !Save(index)) {
        // Forget the change so that memory matches the file again.
        h.loaded = false;
        Refresh(index);
        return ERROR_CANTWRITE;
    }
    return ERROR_SUCCESS;
}

RegKeyNode* Walk(RegKeyNode& root, const std::vector<std::wstring>& path) {
    RegKeyNode* key = &root;
    for (const auto& part : path) {
        key = key->Child(part);
        if (!key) return nullptr;
    }
    return key;
}

LONG SplitPath(LPCWSTR subKey, std::vector<std::wstring>& parts) {
    parts.clear();
    if (!subKey || !*subKey) return ERROR_SUCCESS;
    std::wstring_view s(subKey);
    if (s.front() == L'\\') return ERROR_BAD_PATHNAME;
    if (s.back() == L'\\') s.remove_suffix(1);
    std::size_t start = 0;
    while (true) {
        const std::size_t sep = s.find(L'\\', start);
        const std::wstring_view part = s.substr(start, sep == std::wstring_view::npos ? std::wstring_view::npos : sep - start);
        if (part.empty()) return ERROR_BAD_PATHNAME;
        if (part.size() > 255) return ERROR_INVALID_PARAMETER;
        parts.emplace_back(part);
        if (sep == std::wstring_view::npos) break;
        start = sep + 1;
    }
    return ERROR_SUCCESS;
}

// The hive and path a handle stands for.
LONG Resolve(HKEY key, Handle& out) {
    const int root = HiveIndex(key);
    if (root >= 0) {
        out = Handle{root, {}, KEY_ALL_ACCESS};
        return ERROR_SUCCESS;
    }
    auto& handles = TheState().handles;
    auto it = handles.find(reinterpret_cast<ULONG_PTR>(key));
    if (it == handles.end()) return ERROR_INVALID_HANDLE;
    out = it->second;
    return ERROR_SUCCESS;
}

// Resolves a handle for reading: the key's node, up to date.
LONG ReadKey(HKEY key, REGSAM needed, Handle& handle, RegKeyNode*& node) {
    LONG status = Resolve(key, handle);
    if (status != ERROR_SUCCESS) return status;
    if ((handle.access & needed) != needed) return ERROR_ACCESS_DENIED;
    Refresh(handle.hive);
    Hive& h = TheState().hives[handle.hive];
    if (!h.problem.empty()) return ERROR_BADDB;
    node = Walk(h.root, handle.path);
    return node ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

// Whether a change to the key a handle stands for may reach the file: false only for a
// volatile key.
bool MayPersist(const Handle& handle, const std::vector<std::wstring>& extra = {}) {
    Refresh(handle.hive);
    RegKeyNode* node = Walk(TheState().hives[handle.hive].root, handle.path);
    for (const auto& part : extra) {
        if (!node) break;
        node = node->Child(part);
    }
    return !node || !node->isVolatile;
}

HKEY NewHandle(Handle handle) {
    auto& s = TheState();
    const ULONG_PTR id = s.next;
    s.next += 4;
    s.handles[id] = std::move(handle);
    return reinterpret_cast<HKEY>(id);
}

LONG CopyName(const std::wstring& name, LPWSTR buffer, DWORD* length) {
    if (!buffer || !length) return ERROR_INVALID_PARAMETER;
    if (*length < name.size() + 1) return ERROR_MORE_DATA;
    std::memcpy(buffer, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
    *length = DWORD(name.size());
    return ERROR_SUCCESS;
}

LONG CopyData(const RegValue& v, DWORD* type, BYTE* data, DWORD* size) {
    if (type) *type = v.type;
    if (!data) {
        if (size) *size = DWORD(v.data.size());
        return ERROR_SUCCESS;
    }
    if (!size) return ERROR_INVALID_PARAMETER;
    if (*size < v.data.size()) {
        *size = DWORD(v.data.size());
        return ERROR_MORE_DATA;
    }
    if (!v.data.empty()) std::memcpy(data, v.data.data(), v.data.size());
    *size = DWORD(v.data.size());
    return ERROR_SUCCESS;
}

void SetFileTime(PFILETIME out, ULONGLONG t) {
    if (!out) return;
    out->dwLowDateTime = DWORD(t & 0xFFFFFFFF);
    out->dwHighDateTime = DWORD(t >> 32);
}

bool HasPersistent(const RegKeyNode& key) {
    if (!key.isVolatile) return true;
    for (const auto& [folded, child] : key.subkeys)
        if (HasPersistent(*child)) return true;
    return false;
}

}  // namespace

bool HasVolatile(const RegKeyNode& key) {
    if (key.isVolatile) return true;
    for (const auto& [folded, child] : key.subkeys)
        if (HasVolatile(*child)) return true;
    return false;
}

std::string StorageFolder() { return FolderFromEnvironment(); }

std::string HiveFilePath(HKEY root) {
    const int index = HiveIndex(root);
    return index < 0 ? std::string() : PathOf(index);
}

std::wstring HiveProblem(HKEY root) {
    const int index = HiveIndex(root);
    if (index < 0) return {};
    std::lock_guard guard(TheState().lock);
    Refresh(index);
    return TheState().hives[index].problem;
}

}  // namespace orv::registry

using namespace orv::registry;

LSTATUS RegOpenKeyEx(HKEY key, LPCWSTR subKey, DWORD, REGSAM access, PHKEY result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::lock_guard guard(TheState().lock);
    Handle handle;
    RegKeyNode* node = nullptr;
    LONG status = ReadKey(key, 0, handle, node);
    if (status != ERROR_SUCCESS) return status;
    std::vector<std::wstring> parts;
    status = SplitPath(subKey, parts);
    if (status != ERROR_SUCCESS) return status;
    for (const auto& part : parts) {
        node = node->Child(part);
        if (!node) return ERROR_FILE_NOT_FOUND;
    }
    handle.path.insert(handle.path.end(), parts.begin(), parts.end());
    handle.access = access;
    *result = NewHandle(std::move(handle));
    return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyEx(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD options, REGSAM access, void*, PHKEY result,
                       DWORD* disposition) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::lock_guard guard(TheState().lock);
    Handle handle;
    LONG status = Resolve(key, handle);
    if (status != ERROR_SUCCESS) return status;
    std::vector<std::wstring> parts;
    status = SplitPath(subKey, parts);
    if (status != ERROR_SUCCESS) return status;
    const bool makeVolatile = options & REG_OPTION_VOLATILE;
    bool created = false;
    status = Modify(handle.hive, !makeVolatile, [&](RegKeyNode& root) {
        Change c;
        RegKeyNode* node = Walk(root, handle.path);
        if (!node) {
            c.status = ERROR_KEY_DELETED;
            return c;
        }
        // Check the whole path first, so that a refusal creates nothing.
        RegKeyNode* probe = node;
        std::size_t existing = 0;
        for (; existing < parts.size(); ++existing) {
            RegKeyNode* next = probe->Child(parts[existing]);
            if (!next) break;
            probe = next;
        }
        if (existing < parts.size()) {
            if ((handle.access & KEY_CREATE_SUB_KEY) == 0) {
                c.status = ERROR_ACCESS_DENIED;
                return c;
            }
            if (probe->isVolatile && !makeVolatile) {
                c.status = ERROR_CHILD_MUST_BE_VOLATILE;
                return c;
            }
        }
        const ULONGLONG now = Now();
        for (std::size_t i = existing; i < parts.size(); ++i) {
            probe = &probe->AddChild(parts[i], makeVolatile);
            probe->lastWrite = now;
            created = true;
        }
        c.persistent = created && !makeVolatile;
        return c;
    });
    if (status != ERROR_SUCCESS) return status;
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    handle.path.insert(handle.path.end(), parts.begin(), parts.end());
    handle.access = access;
    *result = NewHandle(std::move(handle));
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
    if (HiveIndex(key) >= 0) return ERROR_SUCCESS;
    std::lock_guard guard(TheState().lock);
    return TheState().handles.erase(reinterpret_cast<ULONG_PTR>(key)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LSTATUS RegQueryValueEx(HKEY key, LPCWSTR name, DWORD*, DWORD* type, BYTE* data, DWORD* size) {
    std::lock_guard guard(TheState().lock);
    Handle handle;
    RegKeyNode* node = nullptr;
    const LONG status = ReadKey(key, KEY_QUERY_VALUE, handle, node);
    if (status != ERROR_SUCCESS) return status;
    const RegValue* v = node->Value(name ? name : L"");
    if (!v) return ERROR_FILE_NOT_FOUND;
    return CopyData(*v, type, data, size);
}

LSTATUS RegSetValueEx(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
    if (!data && size > 0) return ERROR_INVALID_PARAMETER;
    std::vector<BYTE> bytes(data, data + size);
    switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ: {
            if (size % sizeof(wchar_t) != 0) return ERROR_INVALID_PARAMETER;
            wchar_t last = 1;
            if (size >= sizeof(wchar_t)) std::memcpy(&last, data + size - sizeof(wchar_t), sizeof(wchar_t));
            if (last != 0) bytes.resize(bytes.size() + sizeof(wchar_t), 0);
            break;
        }
        case REG_DWORD:
        case REG_DWORD_BIG_ENDIAN:
            if (size != 4) return ERROR_INVALID_PARAMETER;
            break;
        case REG_QWORD:
            if (size != 8) return ERROR_INVALID_PARAMETER;
            break;
        default:
            break;
    }
    std::lock_guard guard(TheState().lock);
    Handle handle;
    LONG status = Resolve(key, handle);
    if (status != ERROR_SUCCESS) return status;
    if ((handle.access & KEY_SET_VALUE) == 0) return ERROR_ACCESS_DENIED;
    const std::wstring valueName = name ? name : L"";
    if (valueName.size() > 16383) return ERROR_INVALID_PARAMETER;
    return Modify(handle.hive, MayPersist(handle), [&](RegKeyNode& root) {
        Change c;
        RegKeyNode* node = Walk(root, handle.path);
        if (!node) {
            c.status = ERROR_KEY_DELETED;
            return c;
        }
        if (RegValue* v = node->Value(valueName)) {
            v->type = type;
            v->data = std::move(bytes);
        } else {
            node->values.push_back(RegValue{valueName, type, std::move(bytes)});
        }
        node->lastWrite = Now();
        c.persistent = !node->isVolatile;
        return c;
    });
}

LSTATUS RegDeleteValue(HKEY key, LPCWSTR name) {
    std::lock_guard guard(TheState().lock);
    Handle handle;
    LONG status = Resolve(key, handle);
    if (status != ERROR_SUCCESS) return status;
    if ((handle.access & KEY_SET_VALUE) == 0) return ERROR_ACCESS_DENIED;
    const std::wstring folded = FoldKeyName(name ? name : L"");
    return Modify(handle.hive, MayPersist(handle), [&](RegKeyNode& root) {
        Change c;
        RegKeyNode* node = Walk(root, handle.path);
        if (!node) {
            c.status = ERROR_KEY_DELETED;
            return c;
        }
        for (auto it = node->values.begin(); it != node->values.end(); ++it) {
            if (FoldKeyName(it->name) == folded) {
                node->values.erase(it);
                node->lastWrite = Now();
                c.persistent = !node->isVolatile;
                return c;
            }
        }
        c.status = ERROR_FILE_NOT_FOUND;
        return c;
    });
}

namespace {

LONG DeleteKey(HKEY key, LPCWSTR subKey, bool tree) {
    std::lock_guard guard(TheState().lock);
    Handle handle;
    LONG status = Resolve(key, handle);
    if (status != ERROR_SUCCESS) return status;
    std::vector<std::wstring> parts;
    status = SplitPath(subKey, parts);
    if (status != ERROR_SUCCESS) return status;
    std::vector<std::wstring> path = handle.path;
    path.insert(path.end(), parts.begin(), parts.end());
    const bool contentsOnly = tree && parts.empty();
    if (path.empty() && !contentsOnly) return ERROR_ACCESS_DENIED;  // a hive's root stays
    return Modify(handle.hive, MayPersist(handle, parts), [&](RegKeyNode& root) {
        Change c;
        RegKeyNode* node = Walk(root, path);
        if (!node) {
            c.status = Walk(root, handle.path) ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
            return c;
        }
        if (contentsOnly) {
            c.persistent = HasPersistent(*node) || !node->values.empty();
            node->values.clear();
            node->subkeys.clear();
            node->lastWrite = Now();
            return c;
        }
        if (!tree && !node->subkeys.empty()) {
            c.status = ERROR_ACCESS_DENIED;
            return c;
        }
        c.persistent = HasPersistent(*node);
        std::vector<std::wstring> parentPath(path.begin(), path.end() - 1);
        RegKeyNode* parent = Walk(root, parentPath);
        parent->subkeys.erase(FoldKeyName(path.back()));
        parent->lastWrite = Now();
        return c;
    });
}

}  // namespace

LSTATUS RegDeleteKey(HKEY key, LPCWSTR subKey) { return DeleteKey(key, subKey, false); }

LSTATUS RegDeleteTree(HKEY key, LPCWSTR subKey) { return DeleteKey(key, subKey, true); }

LSTATUS RegEnumKeyEx(HKEY key, DWORD index, LPWSTR name, DWORD* nameLength, DWORD*, LPWSTR keyClass,
                     DWORD* classLength, PFILETIME lastWriteTime) {
    std::lock_guard guard(TheState().lock);
    Handle handle;
    RegKeyNode* node = nullptr;
    const LONG status = ReadKey(key, KEY_ENUMERATE_SUB_KEYS, handle, node);
    if (status != ERROR_SUCCESS) return status;
    if (index >= node->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    auto it = node->subkeys.begin();
    std::advance(it, index);
    const RegKeyNode& child = *it->second;
    const LONG copied = CopyName(child.name, name, nameLength);
    if (copied != ERROR_SUCCESS) return copied;
    if (keyClass && classLength && *classLength > 0) keyClass[0] = 0;
    if (classLength) *classLength = 0;
    SetFileTime(lastWriteTime, child.lastWrite);
    return ERROR_SUCCESS;
}

LSTATUS RegEnumValue(HKEY key, DWORD index, LPWSTR name, DWORD* nameLength, DWORD*, DWORD* type, BYTE* data,
                     DWORD* size) {
    std::lock_guard guard(TheState().lock);
    Handle handle;
    RegKeyNode* node = nullptr;
    const LONG status = ReadKey(key, KEY_QUERY_VALUE, handle, node);
    if (status != ERROR_SUCCESS) return status;
    if (index >= node->values.size()) return ERROR_NO_MORE_ITEMS;
    const RegValue& v = node->values[index];
    const LONG copied = CopyName(v.name, name, nameLength);
    if (copied != ERROR_SUCCESS) return copied;
    return CopyData(v, type, data, size);
}

LSTATUS RegQueryInfoKey(HKEY key, LPWSTR keyClass, DWORD* classLength, DWORD*, DWORD* subKeys, DWORD* maxSubKeyLength,
                        DWORD* maxClassLength, DWORD* values, DWORD* maxValueNameLength, DWORD* maxValueLength,
                        DWORD* securityDescriptor, PFILETIME lastWriteTime) {
    std::lock_guard guard(TheState().lock);
    Handle handle;
    RegKeyNode* node = nullptr;
    const LONG status = ReadKey(key, KEY_QUERY_VALUE, handle, node);
    if (status != ERROR_SUCCESS) return status;
    if (keyClass && classLength && *classLength > 0) keyClass[0] = 0;
    if (classLength) *classLength = 0;
    DWORD maxKey = 0, maxName = 0, maxData = 0;
    for (const auto& [folded, child] : node->subkeys) maxKey = std::max<DWORD>(maxKey, DWORD(child->name.size()));
    for (const auto& v : node->values) {
        maxName = std::max<DWORD>(maxName, DWORD(v.name.size()));
        maxData = std::max<DWORD>(maxData, DWORD(v.data.size()));
    }
    if (subKeys) *subKeys = DWORD(node->subkeys.size());
    if (maxSubKeyLength) *maxSubKeyLength = maxKey;
    if (maxClassLength) *maxClassLength = 0;
    if (values) *values = DWORD(node->values.size());
    if (maxValueNameLength) *maxValueNameLength = maxName;
    if (maxValueLength) *maxValueLength = maxData;
    if (securityDescriptor) *securityDescriptor = 0;
    SetFileTime(lastWriteTime, node->lastWrite);
    return ERROR_SUCCESS;
}

LSTATUS RegFlushKey(HKEY key) {
    std::lock_guard guard(TheState().lock);
    Handle handle;
    return Resolve(key, handle);
}
