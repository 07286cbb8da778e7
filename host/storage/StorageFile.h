#pragma once
// Storage files of the FE interface library: a container of numbered, versioned byte items.
// An item code is version * 100000 + item number; a file holds at most one version of each
// item number. The format is described in docs/storage-files.md.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace FeInterface {

constexpr uint32_t kItemVersionFactor = 100000;
constexpr uint32_t MakeItemCode(uint32_t version, uint32_t number) { return version * kItemVersionFactor + number; }
constexpr uint32_t ItemVersion(uint32_t code) { return code / kItemVersionFactor; }
constexpr uint32_t ItemNumber(uint32_t code) { return code % kItemVersionFactor; }

// Limits that keep a damaged file from asking for absurd amounts of memory.
constexpr uint64_t kMaxStorageFileBytes = uint64_t(1) << 30;
constexpr uint32_t kMaxStorageItems = 65536;

// Reads a whole storage file and checks it (header, table, every size against the file,
// checksums) before any item is handed out.
class StorageReader {
public:
    // False with Error() set when the file cannot be read or is damaged; the reader is then
    // empty.
    bool Open(const std::filesystem::path& path);
    void Close();
    bool IsOpen() const { return open_; }

    std::size_t ItemCount() const { return items_.size(); }
    uint32_t ItemCodeAt(std::size_t index) const { return items_.at(index).code; }

    // The item of that number, whatever its version; false when the file has none.
    bool FindItem(uint32_t number, uint32_t* version, std::span<const uint8_t>* data) const;
    // The item of that number and version; false with Error() set when it is missing or has
    // another version.
    bool ReadItem(uint32_t number, uint32_t version, std::vector<uint8_t>* data);

    // What went wrong last, e.g. "lib.cclib: item 2 of 2 extends beyond the end of the file".
    const std::wstring& Error() const { return error_; }

private:
    struct Item {
        uint32_t code;
        std::size_t offset;
        std::size_t size;
    };
    bool Fail(const std::wstring& message);

    bool open_ = false;
    std::filesystem::path path_;
    std::vector<uint8_t> bytes_;
    std::vector<Item> items_;
    std::wstring error_;
};

// Collects items and writes them to a new file beside the target, which Commit renames into
// place: a crash at any moment leaves either the old file or the complete new one.
class StorageWriter {
public:
    StorageWriter() = default;
    StorageWriter(const StorageWriter&) = delete;
    StorageWriter& operator=(const StorageWriter&) = delete;
    // An uncommitted writer removes its temporary file.
    ~StorageWriter();

    // Creates the temporary file; false with Error() when the folder cannot take it.
    bool Open(const std::filesystem::path& path);
    // Adds an item, replacing one of the same item number.
    bool WriteItem(uint32_t code, std::span<const uint8_t> data);
    // Writes, syncs and renames into place; false with Error() (the old file stays).
    bool Commit();
    void Abandon();
    bool IsOpen() const { return fd_ >= 0; }
    const std::wstring& Error() const { return error_; }

private:
    struct Item {
        uint32_t code;
        std::vector<uint8_t> data;
    };
    bool Fail(const std::wstring& message);

    int fd_ = -1;
    std::filesystem::path path_;
    std::filesystem::path tempPath_;
    std::vector<Item> items_;
    std::wstring error_;
};

// CRC-32 (IEEE 802.3, as in zip and PNG), continued from crc.
uint32_t Crc32(std::span<const uint8_t> data, uint32_t crc = 0);

}  // namespace FeInterface
