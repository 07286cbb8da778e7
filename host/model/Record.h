#pragma once
// Fixed-layout records as byte arrays with typed little-endian accessors by offset.
//
// Every accessor checks that the whole field lies inside the record and throws
// RecordRangeError otherwise; nothing is ever read or written outside the record.
// Flags are 32-bit words holding -1 for true and 0 for false; texts are zero-terminated
// UTF-8 inside a field of fixed size.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace OrvDbRecord {

// A field that does not fit in the record: "offset 800 beyond the 788-byte record".
class RecordRangeError : public std::out_of_range {
public:
    RecordRangeError(std::size_t offset, std::size_t width, std::size_t recordSize);
    std::size_t Offset() const { return offset_; }
    std::size_t Width() const { return width_; }
    std::size_t RecordSize() const { return recordSize_; }

private:
    std::size_t offset_;
    std::size_t width_;
    std::size_t recordSize_;
};

// The message RecordRangeError carries, for callers that check before they access.
std::string DescribeRangeProblem(std::size_t offset, std::size_t width, std::size_t recordSize);

// True when width bytes at offset lie inside a record of recordSize bytes (overflow-safe).
constexpr bool FieldFits(std::size_t offset, std::size_t width, std::size_t recordSize) {
    return offset <= recordSize && width <= recordSize - offset;
}

// Typed access to a byte range owned elsewhere.
class ConstRecordView {
public:
    explicit ConstRecordView(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t size() const { return bytes_.size(); }
    const std::uint8_t* data() const { return bytes_.data(); }
    bool Fits(std::size_t offset, std::size_t width) const { return FieldFits(offset, width, bytes_.size()); }

    double GetF64(std::size_t offset) const;
    std::int32_t GetI32(std::size_t offset) const;
    std::uint32_t GetU32(std::size_t offset) const;
    // Any non-zero word counts as true.
    bool GetFlag(std::size_t offset) const;
    // The text up to the first zero byte, or the whole field when it holds none.
    std::string GetText(std::size_t offset, std::size_t fieldSize) const;
    std::vector<std::uint8_t> GetBytes(std::size_t offset, std::size_t count) const;

protected:
    void Check(std::size_t offset, std::size_t width) const;

private:
    std::span<const std::uint8_t> bytes_;
};

class RecordView : public ConstRecordView {
public:
    explicit RecordView(std::span<std::uint8_t> bytes) : ConstRecordView(bytes), mutable_(bytes) {}

    void SetF64(std::size_t offset, double value);
    void SetI32(std::size_t offset, std::int32_t value);
    void SetU32(std::size_t offset, std::uint32_t value);
    // Stores -1 for true, 0 for false.
    void SetFlag(std::size_t offset, bool value);
    // Stores at most fieldSize - 1 bytes, never cutting a UTF-8 character, and zero-fills the
    // rest of the field, so the text is always terminated.
    void SetText(std::size_t offset, std::size_t fieldSize, std::string_view utf8);
    void SetBytes(std::size_t offset, std::span<const std::uint8_t> bytes);
    void Fill(std::size_t offset, std::size_t count, std::uint8_t value);

private:
    std::span<std::uint8_t> mutable_;
};

// A record of exactly N bytes; trivially copyable, no padding, sizeof == N.
template <std::size_t N>
struct FixedRecord {
    static constexpr std::size_t kSize = N;
    std::array<std::uint8_t, N> bytes{};

    static constexpr std::size_t size() { return N; }
    std::uint8_t* data() { return bytes.data(); }
    const std::uint8_t* data() const { return bytes.data(); }
    ConstRecordView View() const { return ConstRecordView(std::span<const std::uint8_t>(bytes)); }
    RecordView View() { return RecordView(std::span<std::uint8_t>(bytes)); }
    bool Fits(std::size_t offset, std::size_t width) const { return FieldFits(offset, width, N); }

    void Zero() { bytes.fill(0); }
    double GetF64(std::size_t offset) const { return View().GetF64(offset); }
    std::int32_t GetI32(std::size_t offset) const { return View().GetI32(offset); }
    std::uint32_t GetU32(std::size_t offset) const { return View().GetU32(offset); }
    bool GetFlag(std::size_t offset) const { return View().GetFlag(offset); }
    std::string GetText(std::size_t offset, std::size_t fieldSize) const { return View().GetText(offset, fieldSize); }
    std::vector<std::uint8_t> GetBytes(std::size_t offset, std::size_t count) const { return View().GetBytes(offset, count); }
    void SetF64(std::size_t offset, double value) { View().SetF64(offset, value); }
    void SetI32(std::size_t offset, std::int32_t value) { View().SetI32(offset, value); }
    void SetU32(std::size_t offset, std::uint32_t value) { View().SetU32(offset, value); }
    void SetFlag(std::size_t offset, bool value) { View().SetFlag(offset, value); }
    void SetText(std::size_t offset, std::size_t fieldSize, std::string_view utf8) { View().SetText(offset, fieldSize, utf8); }
    void SetBytes(std::size_t offset, std::span<const std::uint8_t> data) { View().SetBytes(offset, data); }

    friend bool operator==(const FixedRecord&, const FixedRecord&) = default;
};

// One mass species of a scenario: bytes 0-3 its storage id (the value species loads hold in
// their species field), 4-7 reserved, 8 the default diffusivity in model units, 16 the name
// (256 bytes, zero-terminated UTF-8).
struct MassSpeciesRecord : FixedRecord<272> {
    static constexpr std::size_t kIdOffset = 0;
    static constexpr std::size_t kDiffusivityOffset = 8;
    static constexpr std::size_t kNameOffset = 16;
    static constexpr std::size_t kNameSize = 256;

    std::int32_t GetId() const { return GetI32(kIdOffset); }
    void SetId(std::int32_t id) { SetI32(kIdOffset, id); }
    double GetDiffusivity() const { return GetF64(kDiffusivityOffset); }
    void SetDiffusivity(double value) { SetF64(kDiffusivityOffset, value); }
    std::string GetName() const { return GetText(kNameOffset, kNameSize); }
    void SetName(std::string_view utf8) { SetText(kNameOffset, kNameSize, utf8); }
};
static_assert(sizeof(MassSpeciesRecord) == 272);

}  // namespace OrvDbRecord

// The records of the FE interface library exchanged with the dialogs.
// RURIVO_LOADS_V1_ENTRY: header 0-11 (type code, object id, geometry id, each u32), description
// 12-267, load data block 268-523 laid out per type code, remainder 524-787.
struct RURIVO_LOADS_V1_ENTRY : OrvDbRecord::FixedRecord<788> {
    static constexpr std::size_t kTypeCodeOffset = 0;
    static constexpr std::size_t kObjectIdOffset = 4;
    static constexpr std::size_t kGeometryIdOffset = 8;
    static constexpr std::size_t kDescriptionOffset = 12;
    static constexpr std::size_t kDescriptionSize = 256;
    static constexpr std::size_t kLoadDataOffset = 268;
    static constexpr std::size_t kLoadDataSize = 256;
    static constexpr std::size_t kRemainderOffset = 524;
};
static_assert(sizeof(RURIVO_LOADS_V1_ENTRY) == 788);

// RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY: header 0-3 (object id), description 4-259, region shape
// 260, fluid option 264, flag word 268, eight points of three doubles 272-463, remainder 464-527.
struct RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY : OrvDbRecord::FixedRecord<528> {
    static constexpr std::size_t kObjectIdOffset = 0;
    static constexpr std::size_t kDescriptionOffset = 4;
    static constexpr std::size_t kDescriptionSize = 256;
    static constexpr std::size_t kRegionShapeOffset = 260;
    static constexpr std::size_t kFluidOptionOffset = 264;
    static constexpr std::size_t kFlagWordOffset = 268;
    static constexpr std::size_t kPointsOffset = 272;
    static constexpr std::size_t kPointCount = 8;
    static constexpr std::size_t kRemainderOffset = 464;
};
static_assert(sizeof(RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY) == 528);

using MassSpeciesRecord = OrvDbRecord::MassSpeciesRecord;
