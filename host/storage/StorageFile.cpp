#include "host/storage/StorageFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/win/Utf8.h"

namespace FeInterface {
namespace {

// Header: magic, format version, item count, file size, reserved word, CRC-32 of the
// header's first 28 bytes followed by the item table. Table entry: code, CRC-32 of the
// item's bytes, offset, size. All little-endian.
constexpr uint8_t kMagic[8] = {'O', 'R', 'V', 'S', 'T', 'O', 'R', 0x1A};
constexpr uint32_t kFormatVersion = 1;
constexpr std::size_t kHeaderBytes = 32;
constexpr std::size_t kEntryBytes = 24;

uint32_t Get32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint64_t Get64(const uint8_t* p) { return uint64_t(Get32(p)) | uint64_t(Get32(p + 4)) << 32; }
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}
void Put64(std::vector<uint8_t>& out, uint64_t v) {
    Put32(out, uint32_t(v));
    Put32(out, uint32_t(v >> 32));
}
void Set32(std::vector<uint8_t>& out, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + std::size_t(i)] = uint8_t(v >> (8 * i));
}

std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

// CRC of the header's first 28 bytes and the table, which follow each other in the file.
uint32_t HeaderCrc(const uint8_t* file, std::size_t tableBytes) {
    uint32_t crc = Crc32(std::span(file, 28));
    return Crc32(std::span(file + kHeaderBytes, tableBytes), crc);
}

std::wstring Num(uint64_t v) { return std::to_wstring(v); }

std::wstring SystemError(int error) { return orv::Utf8ToWide(std::strerror(error)); }

std::wstring ItemLabel(std::size_t index, std::size_t count, uint32_t code) {
    return L"item " + Num(index + 1) + L" of " + Num(count) + L" (code " + Num(code) + L")";
}

bool WriteAll(int fd, const uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

// Removes temporary files "name.~PID-N" left beside the target by saves whose process has
// died (killed during a save); those of live processes are left alone.
void RemoveStaleTemporaries(const std::filesystem::path& folder, const std::string& name) {
    std::error_code ec;
    const std::string prefix = name + ".~";
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string file = entry.path().filename().string();
        if (file.size() <= prefix.size() || file.compare(0, prefix.size(), prefix) != 0) continue;
        const std::size_t dash = file.find('-', prefix.size());
        if (dash == std::string::npos || dash == prefix.size()) continue;
        long pid = 0;
        bool digits = true;
        for (std::size_t i = prefix.size(); i < dash && digits; ++i) {
            digits = file[i] >= '0' && file[i] <= '9' && pid < 100000000;
            pid = pid * 10 + (file[i] - '0');
        }
        if (!digits || pid <= 0 || pid == long(::getpid())) continue;
        if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH) std::filesystem::remove(entry.path(), ec);
    }
}

}  // namespace

uint32_t Crc32(std::span<const uint8_t> data, uint32_t crc) {
    static const std::array<uint32_t, 256> table = MakeCrcTable();
    crc = ~crc;
    for (const uint8_t b : data) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

// ---- Reader

bool StorageReader::Fail(const std::wstring& message) {
    error_ = path_.filename().wstring() + L": " + message;
    bytes_.clear();
    items_.clear();
    open_ = false;
    return false;
}

void StorageReader::Close() {
    open_ = false;
    bytes_.clear();
    bytes_.shrink_to_fit();
    items_.clear();
}

bool StorageReader::Open(const std::filesystem::path& path) {
    Close();
    path_ = path;
    error_.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Fail(L"cannot open: " + SystemError(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Fail(L"is not a regular file");
    }
    const uint64_t fileSize = uint64_t(st.st_size);
    if (fileSize > kMaxStorageFileBytes) {
        ::close(fd);
        return Fail(L"is " + Num(fileSize) + L" bytes long, more than a storage file may have (" +
                    Num(kMaxStorageFileBytes) + L")");
    }
    // The allocation is the real file size, never a size read from the file.
    bytes_.resize(std::size_t(fileSize));
    std::size_t got = 0;
    while (got < bytes_.size()) {
        const ssize_t n = ::read(fd, bytes_.data() + got, bytes_.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += std::size_t(n);
    }
    ::close(fd);
    if (got != bytes_.size()) return Fail(L"read error after " + Num(got) + L" bytes");

    const uint8_t* p = bytes_.data();
    if (fileSize < kHeaderBytes) {
        if (fileSize >= sizeof kMagic && std::memcmp(p, kMagic, sizeof kMagic) != 0)
            return Fail(L"is not a storage file");
        return Fail(L"is " + Num(fileSize) + L" bytes long, shorter than the " + Num(kHeaderBytes) +
                    L"-byte header (truncated)");
    }
    if (std::memcmp(p, kMagic, sizeof kMagic) != 0) return Fail(L"is not a storage file");
    const uint32_t version = Get32(p + 8);
    if (version != kFormatVersion)
        return Fail(L"has storage format version " + Num(version) + L"; this program reads version " +
                    Num(kFormatVersion));
    const uint32_t count = Get32(p + 12);
    const uint64_t declaredSize = Get64(p + 16);
    if (count > kMaxStorageItems)
        return Fail(L"claims " + Num(count) + L" items, more than " + Num(kMaxStorageItems) + L" (damaged file)");
    const std::size_t tableBytes = std::size_t(count) * kEntryBytes;
    if (declaredSize != fileSize)
        return Fail(L"header gives a size of " + Num(declaredSize) + L" bytes but the file has " + Num(fileSize) +
                    (fileSize < declaredSize ? L" (truncated)" : L" (extended or damaged)"));
    if (kHeaderBytes + tableBytes > fileSize)
        return Fail(L"item table of " + Num(count) + L" entries does not fit in the file (truncated or damaged)");
    if (HeaderCrc(p, tableBytes) != Get32(p + 28))
        return Fail(L"checksum of the header and item table does not match (damaged file)");

    std::size_t expected = kHeaderBytes + tableBytes;
    for (std::size_t i = 0; i < count; ++i) {
        const uint8_t* e = p + kHeaderBytes + i * kEntryBytes;
        const uint32_t code = Get32(e);
        const uint32_t crc = Get32(e + 4);
        const uint64_t offset = Get64(e + 8);
        const uint64_t size = Get64(e + 16);
        if (offset != expected)
            return Fail(ItemLabel(i, count, code) + L" starts at byte " + Num(offset) + L", expected " + Num(expected));
        if (size > fileSize - offset) return Fail(ItemLabel(i, count, code) + L" extends beyond the end of the file");
        for (const Item& seen : items_)
            if (ItemNumber(seen.code) == ItemNumber(code))
                return Fail(L"item number " + Num(ItemNumber(code)) + L" appears twice (damaged file)");
        if (Crc32(std::span(p + offset, std::size_t(size))) != crc)
            return Fail(L"checksum of " + ItemLabel(i, count, code) + L" does not match (damaged file)");
        items_.push_back(Item{code, std::size_t(offset), std::size_t(size)});
        expected = std::size_t(offset + size);
    }
    if (expected != fileSize) return Fail(Num(fileSize - expected) + L" stray bytes after the last item (damaged file)");
    open_ = true;
    return true;
}

bool StorageReader::FindItem(uint32_t number, uint32_t* version, std::span<const uint8_t>* data) const {
    for (const Item& item : items_) {
        if (ItemNumber(item.code) != number) continue;
        if (version) *version = ItemVersion(item.code);
        if (data) *data = std::span(bytes_.data() + item.offset, item.size);
        return true;
    }
    return false;
}

bool StorageReader::ReadItem(uint32_t number, uint32_t version, std::vector<uint8_t>* data) {
    uint32_t found = 0;
    std::span<const uint8_t> bytes;
    if (!open_) {
        error_ = L"no storage file is open";
        return false;
    }
    if (!FindItem(number, &found, &bytes)) {
        error_ = path_.filename().wstring() + L": item " + Num(number) + L" is missing";
        return false;
    }
    if (found != version) {
        error_ = path_.filename().wstring() + L": item " + Num(number) + L" has version " + Num(found) +
                 L", expected " + Num(version);
        return false;
    }
    if (data) data->assign(bytes.begin(), bytes.end());
    return true;
}

// ---- Writer

StorageWriter::~StorageWriter() { Abandon(); }

bool StorageWriter::Fail(const std::wstring& message) {
    error_ = path_.filename().wstring() + L": " + message;
    return false;
}

void StorageWriter::Abandon() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(tempPath_.c_str());
        fd_ = -1;
    }
    items_.clear();
}

bool StorageWriter::Open(const std::filesystem::path& path) {
    Abandon();
    error_.clear();
    path_ = path;
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    RemoveStaleTemporaries(folder, path.filename().string());
    // "name.~PID-N": beside the target so that the rename stays within one file system.
    tempPath_ = folder / (path.filename().string() + ".~" + std::to_string(::getpid()) + "-" +
                          std::to_string(counter.fetch_add(1)));
    fd_ = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0) return Fail(L"cannot create a file in " + folder.wstring() + L": " + SystemError(errno));
    return true;
}

bool StorageWriter::WriteItem(uint32_t code, std::span<const uint8_t> data) {
    if (fd_ < 0) return Fail(L"the storage file is not open for writing");
    if (data.size() > kMaxStorageFileBytes) return Fail(L"item " + Num(code) + L" is too large");
    for (Item& item : items_) {
        if (ItemNumber(item.code) == ItemNumber(code)) {
            item.code = code;
            item.data.assign(data.begin(), data.end());
            return true;
        }
    }
    if (items_.size() == kMaxStorageItems) return Fail(L"too many items");
    items_.push_back(Item{code, std::vector<uint8_t>(data.begin(), data.end())});
    return true;
}

bool StorageWriter::Commit() {
    if (fd_ < 0) return Fail(L"the storage file is not open for writing");
    const std::size_t tableBytes = items_.size() * kEntryBytes;
    uint64_t total = kHeaderBytes + tableBytes;
    for (const Item& item : items_) total += item.data.size();
    if (total > kMaxStorageFileBytes) {
        Abandon();
        return Fail(L"the items add up to more than a storage file may hold");
    }

    std::vector<uint8_t> image;
    image.reserve(std::size_t(total));
    image.insert(image.end(), std::begin(kMagic), std::end(kMagic));
    Put32(image, kFormatVersion);
    Put32(image, uint32_t(items_.size()));
    Put64(image, total);
    Put32(image, 0);
    Put32(image, 0);  // header checksum, set below
    uint64_t offset = kHeaderBytes + tableBytes;
    for (const Item& item : items_) {
        Put32(image, item.code);
        Put32(image, Crc32(item.data));
        Put64(image, offset);
        Put64(image, item.data.size());
        offset += item.data.size();
    }
    Set32(image, 28, HeaderCrc(image.data(), tableBytes));
    for (const Item& item : items_) image.insert(image.end(), item.data.begin(), item.data.end());

    // Keep the permissions of the file being replaced.
    struct stat st {};
    if (::stat(path_.c_str(), &st) == 0) ::fchmod(fd_, st.st_mode & 07777);

    const bool written = WriteAll(fd_, image.data(), image.size()) && ::fsync(fd_) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    items_.clear();
    if (!written || !closed) {
        ::unlink(tempPath_.c_str());
        return Fail(L"cannot write: " + SystemError(written ? errno : writeError));
    }
    if (::rename(tempPath_.c_str(), path_.c_str()) != 0) {
        const int renameError = errno;
        ::unlink(tempPath_.c_str());
        return Fail(L"cannot replace the file: " + SystemError(renameError));
    }
    // The rename itself is durable once the folder is synced.
    const std::filesystem::path folder = path_.has_parent_path() ? path_.parent_path() : std::filesystem::path(".");
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

}  // namespace FeInterface
