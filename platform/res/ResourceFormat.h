#pragma once
// The serialized form of a resource module: what the resource compiler writes and the resource
// module parses. Header-only, so that the compiler can use it without the platform library.
//
// A blob is a header followed by entries; every number is little-endian:
//   header:  magic "ORVRSRC1" (8 bytes), u32 total size (a multiple of 8, header included),
//            u32 entry count, u32 checksum (FNV-1a of the bytes after the header up to the end
//            of the last entry), u32 format version
//   entry:   u32 type, text key ("#123" for a numeric id, the upper-case name otherwise),
//            u32 language, u32 payload size, payload
//   text:    u32 byte count, UTF-8 bytes
// The blobs of a binary lie in the ELF section kSectionName, so that a file's resources (its
// version above all) can be read without loading the file.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace orv::res::format {

inline constexpr char kMagic[8] = {'O', 'R', 'V', 'R', 'S', 'R', 'C', '1'};
inline constexpr std::uint32_t kFormatVersion = 1;
inline constexpr std::size_t kHeaderSize = 24;
inline constexpr const char* kSectionName = "orv_resources";
// Exported by a satellite: the blob, for modules loaded as libraries.
inline constexpr const char* kEntrySymbol = "orv_resource_data";

// Entry types; the numbers of the framework's resource types where one exists.
enum EntryType : std::uint32_t {
    kBitmap = 2,
    kDialog = 5,
    kString = 6,
    kIconGroup = 14,
    kVersion = 16,
};

inline std::uint32_t Checksum(const unsigned char* data, std::size_t size) {
    std::uint32_t h = 2166136261u;
    for (std::size_t i = 0; i < size; ++i) {
        h ^= data[i];
        h *= 16777619u;
    }
    return h;
}

class Writer {
public:
    void U8(std::uint8_t v) { bytes_.push_back(v); }
    void U16(std::uint16_t v) {
        U8(std::uint8_t(v));
        U8(std::uint8_t(v >> 8));
    }
    void U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) U8(std::uint8_t(v >> (8 * i)));
    }
    void I32(std::int32_t v) { U32(std::uint32_t(v)); }
    void Text(std::string_view utf8) {
        U32(std::uint32_t(utf8.size()));
        bytes_.insert(bytes_.end(), utf8.begin(), utf8.end());
    }
    void Bytes(const std::vector<unsigned char>& b) { bytes_.insert(bytes_.end(), b.begin(), b.end()); }
    std::size_t Size() const { return bytes_.size(); }
    void PatchU32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes_[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
    }
    std::vector<unsigned char>& bytes() { return bytes_; }

private:
    std::vector<unsigned char> bytes_;
};

// Bounds-checked reading: after the first overrun every read yields zero and ok() is false.
class Reader {
public:
    Reader(const unsigned char* data, std::size_t size) : p_(data), end_(data + size) {}
    bool ok() const { return ok_; }
    std::size_t Remaining() const { return std::size_t(end_ - p_); }
    const unsigned char* Position() const { return p_; }
    std::uint8_t U8() { return Need(1) ? *p_++ : 0; }
    std::uint16_t U16() {
        if (!Need(2)) return 0;
        std::uint16_t v = std::uint16_t(p_[0] | (p_[1] << 8));
        p_ += 2;
        return v;
    }
    std::uint32_t U32() {
        if (!Need(4)) return 0;
        std::uint32_t v = std::uint32_t(p_[0]) | (std::uint32_t(p_[1]) << 8) | (std::uint32_t(p_[2]) << 16) |
                          (std::uint32_t(p_[3]) << 24);
        p_ += 4;
        return v;
    }
    std::int32_t I32() { return std::int32_t(U32()); }
    std::string Text() {
        std::uint32_t n = U32();
        if (!Need(n)) return {};
        std::string s(reinterpret_cast<const char*>(p_), n);
        p_ += n;
        return s;
    }
    bool Skip(std::size_t n) {
        if (!Need(n)) return false;
        p_ += n;
        return true;
    }

private:
    bool Need(std::size_t n) {
        if (!ok_ || Remaining() < n) {
            ok_ = false;
            p_ = end_;
            return false;
        }
        return true;
    }
    const unsigned char* p_;
    const unsigned char* end_;
    bool ok_ = true;
};

}  // namespace orv::res::format
