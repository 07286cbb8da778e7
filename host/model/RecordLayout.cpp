#include "host/model/RecordLayout.h"

#include <cmath>
#include <cstdio>

namespace OrvDbRecord {

std::string_view FieldTypeName(FieldType type) {
    switch (type) {
    case FieldType::F64: return "f64";
    case FieldType::I32: return "i32";
    case FieldType::U32: return "u32";
    case FieldType::Flag: return "flag";
    case FieldType::Text: return "text";
    }
    return "?";
}

std::optional<FieldType> ParseFieldType(std::string_view name) {
    for (FieldType t : {FieldType::F64, FieldType::I32, FieldType::U32, FieldType::Flag, FieldType::Text})
        if (FieldTypeName(t) == name)
            return t;
    return std::nullopt;
}

std::size_t FieldTypeWidth(FieldType type) {
    switch (type) {
    case FieldType::F64: return 8;
    case FieldType::Text: return 0;
    default: return 4;
    }
}

std::string_view GeometryKindName(GeometryKind kind) {
    switch (kind) {
    case GeometryKind::Node: return "node";
    case GeometryKind::Edge: return "edge";
    case GeometryKind::Surface: return "surface";
    case GeometryKind::Part: return "part";
    case GeometryKind::Beam: return "beam";
    }
    return "?";
}

namespace {

constexpr FieldInfo F(std::size_t offset, std::string_view name) { return {offset, FieldType::F64, name, 8}; }
constexpr FieldInfo I(std::size_t offset, std::string_view name) { return {offset, FieldType::I32, name, 4}; }
constexpr FieldInfo U(std::size_t offset, std::string_view name) { return {offset, FieldType::U32, name, 4}; }
constexpr FieldInfo B(std::size_t offset, std::string_view name) { return {offset, FieldType::Flag, name, 4}; }
constexpr FieldInfo kDescription{12, FieldType::Text, "description", 256};

constexpr FieldInfo kHeader[] = {U(0, "typeCode"), U(4, "objectId"), U(8, "geometryId")};

constexpr FieldInfo kSurfaceForce[] = {
    kDescription, F(272, "magnitude"), F(280, "directionX"), F(288, "directionY"), F(296, "directionZ"),
    I(304, "loadCurve"), I(308, "reserved308"), B(312, "followsMovingSurface")};
constexpr FieldInfo kSurfaceMoment[] = {
    kDescription, F(272, "magnitude"), F(280, "directionX"), F(288, "directionY"), F(296, "directionZ"),
    I(304, "loadCurve"), F(312, "centerX"), F(320, "centerY"), F(328, "centerZ"), I(336, "centerMode"),
    I(340, "directionKind")};
constexpr FieldInfo kBeamDistributed[] = {
    kDescription, F(272, "iMagnitude"), F(280, "iRatio"), F(288, "jRatio"), F(296, "jMagnitude"),
    F(304, "iDirectionX"), F(312, "iDirectionY"), F(320, "iDirectionZ"),
    F(328, "jDirectionX"), F(336, "jDirectionY"), F(344, "jDirectionZ"),
    F(352, "multiplier"), I(360, "loadCurve"), B(364, "followsDisplacement")};
constexpr FieldInfo kBeamPreload[] = {kDescription, F(272, "axialForce")};
constexpr FieldInfo kRemoteLoad[] = {
    kDescription, F(272, "remoteX"), F(280, "remoteY"), F(288, "remoteZ"), B(296, "useRigidLinks"),
    I(300, "centroidMode"), F(304, "centroidX"), F(312, "centroidY"), F(320, "centroidZ"),
    I(328, "coordinateSystem"), F(332, "forceMagnitude"), F(340, "forceDirectionX"), F(348, "forceDirectionY"),
    F(356, "forceDirectionZ"), F(364, "momentMagnitude"), F(372, "momentDirectionX"), F(380, "momentDirectionY"),
    F(388, "momentDirectionZ"), I(396, "loadCurve")};
constexpr FieldInfo kPrescribedDisplacement[] = {
    kDescription, B(272, "rotation"), I(276, "directionKind"), F(280, "directionX"), F(288, "directionY"),
    F(296, "directionZ"), F(304, "magnitude"), I(312, "activeRange"), I(316, "loadCurve")};
constexpr FieldInfo kInitialVelocity[] = {
    kDescription, F(272, "translationalX"), F(280, "translationalY"), F(288, "translationalZ"),
    F(296, "rotationalX"), F(304, "rotationalY"), F(312, "rotationalZ"),
    F(320, "centerX"), F(328, "centerY"), F(336, "centerZ")};
constexpr FieldInfo kPrescribedVelocity[] = {
    kDescription, F(272, "velocityX"), F(280, "velocityY"), F(288, "velocityZ"),
    B(296, "prescribedX"), B(300, "prescribedY"), B(304, "prescribedZ"), I(308, "loadCurve")};
constexpr FieldInfo kAppliedTemperature[] = {
    kDescription, F(272, "temperature"), F(280, "stiffness"), F(288, "scale"), F(296, "activationTime"),
    I(304, "loadCurve"), B(308, "variesWithTime")};
constexpr FieldInfo kMagnitudeOnly[] = {kDescription, F(272, "magnitude")};
constexpr FieldInfo kHeatGeneration[] = {
    kDescription, F(272, "heatGeneration"), I(280, "temperatureCurve"), I(284, "loadCurve"),
    B(288, "temperatureDependent")};
constexpr FieldInfo kInitialConcentration[] = {kDescription, I(272, "species"), F(280, "value")};
constexpr FieldInfo kSpeciesLoad[] = {kDescription, I(272, "species"), I(276, "loadCurve"), F(280, "value")};
constexpr FieldInfo kHydrostaticPressure[] = {
    kDescription, F(272, "density"), F(280, "multiplier"), F(288, "pointX"), F(296, "pointY"), F(304, "pointZ"),
    F(312, "normalX"), F(320, "normalY"), F(328, "normalZ"), I(336, "loadCurve"), I(344, "pressureType")};
constexpr FieldInfo kFluidTraction[] = {
    kDescription, F(272, "density"), F(280, "multiplier"), F(288, "pointX"), F(296, "pointY"), F(304, "pointZ"),
    F(312, "normalX"), F(320, "normalY"), F(328, "normalZ"), I(336, "loadCurve"), I(340, "side"),
    B(348, "followsDisplacement"), I(352, "pressureType")};
constexpr FieldInfo kWallRoughness[] = {kDescription, F(272, "roughnessHeight"), F(280, "roughnessConstant")};
constexpr FieldInfo kTurbulence[] = {
    kDescription, I(272, "surfaceCondition"), I(276, "parameterType"), F(280, "intensity"), F(288, "scaleFactor"),
    F(296, "kineticEnergy"), F(304, "dissipationRate")};
constexpr FieldInfo kConvection[] = {
    kDescription, F(272, "coefficient"), F(280, "ambientTemperature"), I(288, "coefficientCurve"),
    I(292, "coefficientLoadCurve"), I(296, "ambientLoadCurve"), B(300, "temperatureDependent"),
    B(304, "bothSides"), F(312, "ambientLoadCurveMagnitude")};
constexpr FieldInfo kRadiation[] = {
    kDescription, F(272, "function"), F(280, "ambientTemperature"), I(288, "functionLoadCurve"),
    I(292, "ambientLoadCurve"), B(296, "bothSides"), F(300, "ambientLoadCurveMagnitude")};
constexpr FieldInfo kShapedLoad[] = {
    kDescription, B(272, "normalToSurface"), F(324, "tractionR"), F(332, "tractionS"), F(340, "tractionT"),
    I(348, "coordinateSystem"), I(352, "loadCurve"), I(356, "function")};

using G = GeometryKind;
constexpr FeaTypeInfo kTypes[] = {
    {26, "Nodal Prescribed Velocity", G::Node, kPrescribedVelocity},
    {29, "Applied Temperature", G::Node, kAppliedTemperature},
    {35, "Surface Force", G::Surface, kSurfaceForce},
    {36, "Surface Prescribed Velocity", G::Surface, kPrescribedVelocity},
    {40, "Applied Temperature", G::Surface, kAppliedTemperature},
    {49, "Edge Prescribed Velocity", G::Edge, kPrescribedVelocity},
    {53, "Beam Distributed Load", G::Beam, kBeamDistributed},
    {55, "Surface Variable Load", G::Surface, kShapedLoad},
    {64, "Surface Radiation", G::Surface, kRadiation},
    {65, "Surface Convection", G::Surface, kConvection},
    {82, "Surface Hydrostatic Pressure", G::Surface, kHydrostaticPressure},
    {84, "Surface Fluid Traction", G::Surface, kFluidTraction},
    {111, "Temperature", G::Part, kMagnitudeOnly},
    {112, "Applied Temperature", G::Part, kAppliedTemperature},
    {122, "Surface Remote Load", G::Surface, kRemoteLoad},
    {126, "Surface Moment", G::Surface, kSurfaceMoment},
    {170, "Beam Preload", G::Beam, kBeamPreload},
    {171, "Surface Wall Roughness", G::Surface, kWallRoughness},
    {172, "Surface Prescribed Turbulence Condition", G::Surface, kTurbulence},
    {173, "Current Density", G::Part, kMagnitudeOnly},
    {174, "Charge Density", G::Part, kMagnitudeOnly},
    {175, "Initial Velocity", G::Part, kInitialVelocity},
    {176, "Heat Generation", G::Part, kHeatGeneration},
    {177, "Prescribed Displacement", G::Part, kPrescribedDisplacement},
    {178, "Part Wall Roughness", G::Part, kWallRoughness},
    {181, "Initial Concentration", G::Surface, kInitialConcentration},
    {182, "Initial Concentration", G::Node, kInitialConcentration},
    {183, "Applied Concentration", G::Part, kSpeciesLoad},
    {184, "Applied Concentration", G::Surface, kSpeciesLoad},
    {185, "Applied Concentration", G::Node, kSpeciesLoad},
    {186, "Mass Generation", G::Part, kSpeciesLoad},
    {187, "Mass Flux", G::Surface, kSpeciesLoad},
    {188, "Mass Source", G::Node, kSpeciesLoad},
};

constexpr FieldInfo kInitialFluidVolume[] = {
    {4, FieldType::Text, "description", 256}, U(260, "regionShape"), U(264, "fluidOption"), U(268, "flagWord"),
    F(272, "pointAX"), F(280, "pointAY"), F(288, "pointAZ"), F(296, "pointBX"), F(304, "pointBY"), F(312, "pointBZ"),
    F(320, "pointCX"), F(328, "pointCY"), F(336, "pointCZ"), F(344, "pointDX"), F(352, "pointDY"), F(360, "pointDZ"),
    F(368, "pointA2X"), F(376, "pointA2Y"), F(384, "pointA2Z"), F(392, "pointB2X"), F(400, "pointB2Y"), F(408, "pointB2Z"),
    F(416, "pointC2X"), F(424, "pointC2Y"), F(432, "pointC2Z"), F(440, "pointD2X"), F(448, "pointD2Y"), F(456, "pointD2Z")};

std::string JsonQuote(std::string_view text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += char(c);
            }
        }
    }
    return out + "\"";
}

}  // namespace

std::span<const FeaTypeInfo> AllFeaTypes() { return kTypes; }

const FeaTypeInfo* FindFeaType(std::uint32_t typeCode) {
    for (const FeaTypeInfo& t : kTypes)
        if (t.typeCode == typeCode)
            return &t;
    return nullptr;
}

std::span<const FieldInfo> InitialFluidVolumeFields() { return kInitialFluidVolume; }

std::span<const FieldInfo> FieldsOfType(std::uint32_t typeCode) {
    if (typeCode == kInitialFluidVolumeTypeCode) return InitialFluidVolumeFields();
    const FeaTypeInfo* info = FindFeaType(typeCode);
    return info ? info->fields : std::span<const FieldInfo>();
}

const FieldInfo* FindField(std::span<const FieldInfo> fields, std::string_view name) {
    for (const FieldInfo& field : fields)
        if (field.name == name) return &field;
    return nullptr;
}
std::span<const FieldInfo> LoadHeaderFields() { return kHeader; }

std::string FormatFieldValue(ConstRecordView record, std::size_t offset, FieldType type, std::size_t textSize) {
    char buf[64];
    switch (type) {
    case FieldType::F64:
        std::snprintf(buf, sizeof buf, "%.17g", record.GetF64(offset));
        return buf;
    case FieldType::I32: return std::to_string(record.GetI32(offset));
    case FieldType::U32: return std::to_string(record.GetU32(offset));
    case FieldType::Flag: {
        std::int32_t v = record.GetI32(offset);
        return v == -1 ? "true" : v == 0 ? "false" : std::to_string(v);
    }
    case FieldType::Text: return JsonQuote(record.GetText(offset, textSize));
    }
    return {};
}

bool ReadField(ConstRecordView record, std::size_t offset, FieldType type, FieldValue& value, std::string* error,
               std::size_t textSize) {
    std::size_t width = FieldTypeWidth(type);
    if (type == FieldType::Text)
        width = textSize ? textSize : (offset < record.size() ? record.size() - offset : 1);
    if (!record.Fits(offset, width)) {
        if (error)
            *error = DescribeRangeProblem(offset, width, record.size());
        return false;
    }
    value = FieldValue{};
    value.type = type;
    switch (type) {
    case FieldType::F64: value.f64 = record.GetF64(offset); break;
    case FieldType::I32:
    case FieldType::Flag: value.integer = record.GetI32(offset); break;
    case FieldType::U32: value.integer = record.GetU32(offset); break;
    case FieldType::Text: value.text = record.GetText(offset, width); break;
    }
    return true;
}

std::string FormatRecordDump(ConstRecordView record, std::span<const FieldInfo> fields) {
    std::string out;
    std::vector<bool> covered(record.size(), false);
    for (const FieldInfo& f : fields) {
        if (!record.Fits(f.offset, f.size))
            continue;
        for (std::size_t i = 0; i < f.size; ++i)
            covered[f.offset + i] = true;
        out += std::to_string(f.offset) + " " + std::string(FieldTypeName(f.type)) + " " + std::string(f.name) + " = " +
               FormatFieldValue(record, f.offset, f.type, f.size) + "\n";
    }
    const std::uint8_t* bytes = record.data();
    for (std::size_t i = 0; i < record.size();) {
        if (covered[i] || bytes[i] == 0) {
            ++i;
            continue;
        }
        std::size_t start = i;
        std::string hex;
        while (i < record.size() && !covered[i] && bytes[i] != 0) {
            char b[4];
            std::snprintf(b, sizeof b, "%s%02x", hex.empty() ? "" : " ", bytes[i]);
            hex += b;
            ++i;
        }
        out += std::to_string(start) + " bytes = " + hex + "\n";
    }
    return out;
}

std::string FormatLoadRecordDump(const RURIVO_LOADS_V1_ENTRY& record) {
    std::uint32_t typeCode = record.GetU32(RURIVO_LOADS_V1_ENTRY::kTypeCodeOffset);
    std::vector<FieldInfo> fields(kHeader, kHeader + 3);
    if (const FeaTypeInfo* info = FindFeaType(typeCode))
        fields.insert(fields.end(), info->fields.begin(), info->fields.end());
    else
        fields.push_back(kDescription);
    return FormatRecordDump(record.View(), fields);
}

std::string FormatInitialFluidVolumeDump(const RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY& record) {
    std::vector<FieldInfo> fields{U(0, "objectId")};
    fields.insert(fields.end(), std::begin(kInitialFluidVolume), std::end(kInitialFluidVolume));
    return FormatRecordDump(record.View(), fields);
}

}  // namespace OrvDbRecord
