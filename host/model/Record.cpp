#include "host/model/Record.h"

#include <bit>
#include <cstring>

#include "platform/win/Utf8.h"

namespace OrvDbRecord {

std::string DescribeRangeProblem(std::size_t offset, std::size_t width, std::size_t recordSize) {
    std::string size = std::to_string(recordSize) + "-byte record";
    if (offset >= recordSize && width > 0)
        return "offset " + std::to_string(offset) + " beyond the " + size;
    return std::to_string(width) + "-byte field at offset " + std::to_string(offset) + " runs past the end of the " + size;
}

RecordRangeError::RecordRangeError(std::size_t offset, std::size_t width, std::size_t recordSize)
    : std::out_of_range(DescribeRangeProblem(offset, width, recordSize)), offset_(offset), width_(width), recordSize_(recordSize) {}

namespace {

static_assert(std::endian::native == std::endian::little || std::endian::native == std::endian::big);

template <class T>
T LoadLittle(const std::uint8_t* p) {
    std::uint8_t tmp[sizeof(T)];
    for (std::size_t i = 0; i < sizeof(T); ++i)
        tmp[i] = p[std::endian::native == std::endian::little ? i : sizeof(T) - 1 - i];
    T value;
    std::memcpy(&value, tmp, sizeof(T));
    return value;
}

template <class T>
void StoreLittle(std::uint8_t* p, T value) {
    std::uint8_t tmp[sizeof(T)];
    std::memcpy(tmp, &value, sizeof(T));
    for (std::size_t i = 0; i < sizeof(T); ++i)
        p[std::endian::native == std::endian::little ? i : sizeof(T) - 1 - i] = tmp[i];
}

}  // namespace

void ConstRecordView::Check(std::size_t offset, std::size_t width) const {
    if (!FieldFits(offset, width, bytes_.size()))
        throw RecordRangeError(offset, width, bytes_.size());
}

double ConstRecordView::GetF64(std::size_t offset) const {
    Check(offset, 8);
    return LoadLittle<double>(bytes_.data() + offset);
}

std::int32_t ConstRecordView::GetI32(std::size_t offset) const {
    Check(offset, 4);
    return LoadLittle<std::int32_t>(bytes_.data() + offset);
}

std::uint32_t ConstRecordView::GetU32(std::size_t offset) const {
    Check(offset, 4);
    return LoadLittle<std::uint32_t>(bytes_.data() + offset);
}

bool ConstRecordView::GetFlag(std::size_t offset) const { return GetU32(offset) != 0; }

std::string ConstRecordView::GetText(std::size_t offset, std::size_t fieldSize) const {
    Check(offset, fieldSize);
    const char* begin = reinterpret_cast<const char*>(bytes_.data() + offset);
    std::size_t length = 0;
    while (length < fieldSize && begin[length] != '\0')
        ++length;
    return std::string(begin, length);
}

std::vector<std::uint8_t> ConstRecordView::GetBytes(std::size_t offset, std::size_t count) const {
    Check(offset, count);
    return std::vector<std::uint8_t>(bytes_.begin() + std::ptrdiff_t(offset), bytes_.begin() + std::ptrdiff_t(offset + count));
}

void RecordView::SetF64(std::size_t offset, double value) {
    Check(offset, 8);
    StoreLittle(mutable_.data() + offset, value);
}

void RecordView::SetI32(std::size_t offset, std::int32_t value) {
    Check(offset, 4);
    StoreLittle(mutable_.data() + offset, value);
}

void RecordView::SetU32(std::size_t offset, std::uint32_t value) {
    Check(offset, 4);
    StoreLittle(mutable_.data() + offset, value);
}

void RecordView::SetFlag(std::size_t offset, bool value) { SetI32(offset, value ? -1 : 0); }

void RecordView::SetText(std::size_t offset, std::size_t fieldSize, std::string_view utf8) {
    Check(offset, fieldSize);
    if (fieldSize == 0)
        return;
    // A zero byte inside the text ends it, as it would for any reader of the field.
    utf8 = utf8.substr(0, utf8.find('\0'));
    std::size_t length = orv::Utf8PrefixLength(utf8, fieldSize - 1);
    std::uint8_t* p = mutable_.data() + offset;
    std::memcpy(p, utf8.data(), length);
    std::memset(p + length, 0, fieldSize - length);
}

void RecordView::SetBytes(std::size_t offset, std::span<const std::uint8_t> data) {
    Check(offset, data.size());
    if (!data.empty())
        std::memmove(mutable_.data() + offset, data.data(), data.size());
}

void RecordView::Fill(std::size_t offset, std::size_t count, std::uint8_t value) {
    Check(offset, count);
    if (count)
        std::memset(mutable_.data() + offset, value, count);
}

}  // namespace OrvDbRecord
