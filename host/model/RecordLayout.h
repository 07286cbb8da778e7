#pragma once
// The known fields of the load records, per FEA object type code, and of the initial fluid
// volume record. Used to give prototypes their defaults, to name fields in model files and
// to print record dumps.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "host/model/Record.h"

namespace OrvDbRecord {

enum class FieldType {
    F64,   // 64-bit IEEE double
    I32,   // 32-bit signed integer
    U32,   // 32-bit unsigned integer or flag word addressed by bit masks
    Flag,  // 32-bit boolean: -1 true, 0 false
    Text,  // zero-terminated UTF-8 in a field of fixed size
};

// "f64", "i32", "u32", "flag", "text".
std::string_view FieldTypeName(FieldType type);
std::optional<FieldType> ParseFieldType(std::string_view name);
// Width in bytes of a field of the type; Text fields give their own size.
std::size_t FieldTypeWidth(FieldType type);

struct FieldInfo {
    std::size_t offset;
    FieldType type;
    std::string_view name;
    std::size_t size;  // bytes the field covers (8 or 4, or the text field's size)
};

// What an FEA object of a type code is applied to.
enum class GeometryKind { Node, Edge, Surface, Part, Beam };
std::string_view GeometryKindName(GeometryKind kind);

struct FeaTypeInfo {
    std::uint32_t typeCode;
    std::string_view name;        // "Surface Force"
    GeometryKind geometry;
    std::span<const FieldInfo> fields;  // ascending offsets, description first
};

// The 33 load and boundary condition type codes served by the dialogs, ascending.
std::span<const FeaTypeInfo> AllFeaTypes();
// Null for a type code that is not a load or boundary condition type (120 included).
const FeaTypeInfo* FindFeaType(std::uint32_t typeCode);

// Fields of the initial fluid volume record (type code 120).
std::span<const FieldInfo> InitialFluidVolumeFields();
inline constexpr std::uint32_t kInitialFluidVolumeTypeCode = 120;

// The fields of the record of a type code: a load type's, the initial fluid volume's (120),
// or none.
std::span<const FieldInfo> FieldsOfType(std::uint32_t typeCode);
// The field of that name among `fields`, or null.
const FieldInfo* FindField(std::span<const FieldInfo> fields, std::string_view name);

// Fields of the header of a load record (type code, object id, geometry id).
std::span<const FieldInfo> LoadHeaderFields();

// One line per known field, "272 f64 magnitude = 100", in offset order, then one line per run
// of non-zero bytes outside the known fields, "524 bytes = 01 02 ...".
std::string FormatRecordDump(ConstRecordView record, std::span<const FieldInfo> fields);
std::string FormatLoadRecordDump(const RURIVO_LOADS_V1_ENTRY& record);
std::string FormatInitialFluidVolumeDump(const RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY& record);

// One field as read for scripts: f64 in f64; i32, u32 and flag words in integer (a flag is
// true when integer is -1); text in text.
struct FieldValue {
    FieldType type = FieldType::F64;
    double f64 = 0.0;
    std::int64_t integer = 0;
    std::string text;
};
// Reads the field; a field that does not fit the record gives false with the reason in error
// ("offset 800 beyond the 788-byte record"). A text is read up to its terminator within
// textSize bytes, or to the end of the record when textSize is 0.
bool ReadField(ConstRecordView record, std::size_t offset, FieldType type, FieldValue& value, std::string* error = nullptr,
               std::size_t textSize = 0);

// The value of one field as text: doubles with 17 significant digits ("%.17g"), flags as
// "true"/"false" (other words as their number), texts quoted with JSON escapes.
std::string FormatFieldValue(ConstRecordView record, std::size_t offset, FieldType type, std::size_t textSize = 256);

}  // namespace OrvDbRecord
