#include "host/model/ModelFile.h"

#include <cmath>
#include <cstdio>
#include <cerrno>
#include <fstream>
#include <limits>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "host/model/RecordLayout.h"
#include "platform/win/Utf8.h"

namespace OrvDbRecord {

namespace {

using Json = nlohmann::ordered_json;
constexpr int kFormatVersion = 1;
constexpr const char* kFormatName = "orv-model";

// A problem at a place in the document; the place is a path such as "scenarios[0].objects[3]".
struct FileProblem : std::runtime_error {
    FileProblem(const std::string& path, const std::string& problem)
        : std::runtime_error(path.empty() ? problem : path + ": " + problem) {}
};

// ---------------------------------------------------------------------------------------------
// Reading

class Node {
public:
    Node(const Json& json, std::string path) : json_(json), path_(std::move(path)) {}

    const Json& json() const { return json_; }
    const std::string& path() const { return path_; }
    [[noreturn]] void Fail(const std::string& problem) const { throw FileProblem(path_, problem); }

    std::string TypeName() const {
        switch (json_.type()) {
        case Json::value_t::null: return "null";
        case Json::value_t::object: return "an object";
        case Json::value_t::array: return "an array";
        case Json::value_t::string: return "a string";
        case Json::value_t::boolean: return "a boolean";
        case Json::value_t::binary: return "binary data";
        case Json::value_t::discarded: return "nothing";
        default: return "a number";
        }
    }

    // Object members.
    void ExpectObject(std::initializer_list<const char*> allowed) const {
        if (!json_.is_object())
            Fail("expected an object, got " + TypeName());
        for (const auto& [key, value] : json_.items()) {
            bool known = false;
            for (const char* k : allowed)
                known = known || key == k;
            if (!known)
                Fail("unknown key \"" + key + "\"");
        }
    }
    bool Has(const char* key) const { return json_.contains(key); }
    Node operator[](const char* key) const {
        auto it = json_.find(key);
        if (it == json_.end())
            Fail(std::string("missing \"") + key + "\"");
        return Node(*it, Child(key));
    }
    std::optional<Node> Optional(const char* key) const {
        auto it = json_.find(key);
        if (it == json_.end())
            return std::nullopt;
        return Node(*it, Child(key));
    }

    // Array elements.
    std::vector<Node> Elements() const {
        if (!json_.is_array())
            Fail("expected an array, got " + TypeName());
        std::vector<Node> out;
        for (std::size_t i = 0; i < json_.size(); ++i)
            out.emplace_back(json_[i], path_ + "[" + std::to_string(i) + "]");
        return out;
    }

    // Scalars.
    std::int64_t Integer(std::int64_t min, std::int64_t max) const {
        std::int64_t v = 0;
        if (json_.is_number_unsigned()) {
            std::uint64_t u = json_.get<std::uint64_t>();
            if (u > std::uint64_t(std::numeric_limits<std::int64_t>::max()))
                Fail(std::to_string(u) + " is out of range (" + std::to_string(min) + " to " + std::to_string(max) + ")");
            v = std::int64_t(u);
        } else if (json_.is_number_integer()) {
            v = json_.get<std::int64_t>();
        } else if (json_.is_number_float()) {
            Fail("expected an integer, got " + json_.dump());
        } else {
            Fail("expected an integer, got " + TypeName());
        }
        if (v < min || v > max)
            Fail(std::to_string(v) + " is out of range (" + std::to_string(min) + " to " + std::to_string(max) + ")");
        return v;
    }
    std::uint32_t U32() const { return std::uint32_t(Integer(0, 0xFFFFFFFFll)); }
    std::int32_t I32() const { return std::int32_t(Integer(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max())); }
    std::uint32_t Id() const { return std::uint32_t(Integer(1, 0xFFFFFFFFll)); }
    double Number() const {
        if (!json_.is_number())
            Fail("expected a number, got " + TypeName());
        return json_.get<double>();
    }
    bool Bool() const {
        if (!json_.is_boolean())
            Fail("expected true or false, got " + TypeName());
        return json_.get<bool>();
    }
    std::string String() const {
        if (!json_.is_string())
            Fail("expected a string, got " + TypeName());
        return json_.get<std::string>();
    }
    std::array<double, 3> Vector3() const {
        std::vector<Node> e = Elements();
        if (e.size() != 3)
            Fail("expected 3 numbers, got " + std::to_string(e.size()));
        return {e[0].Number(), e[1].Number(), e[2].Number()};
    }

private:
    std::string Child(const char* key) const { return path_.empty() ? std::string(key) : path_ + "." + key; }

    const Json& json_;
    std::string path_;
};

const char* const kQuantityKeys[UnitSys::kQuantityCount] = {"force",   "length",  "time",       "temperature", "energy",
                                                             "voltage", "current", "resistance", "mass"};

UnitSystem ReadUnitSystem(const Node& node) {
    node.ExpectObject({"type", "allowInconsistentUnits", "units"});
    Node typeNode = node["type"];
    std::uint32_t type;
    if (typeNode.json().is_string()) {
        if (typeNode.String() != "none")
            typeNode.Fail("expected a unit system type (0 to 6) or \"none\"");
        type = UnitSystem::kTypeNone;
    } else {
        type = typeNode.U32();
        if (!UnitSystem::IsValidType(type) || type == UnitSystem::kTypeNone)
            typeNode.Fail(std::to_string(type) + " is not a unit system type (0 to 6)");
    }
    bool allow = false;
    if (auto a = node.Optional("allowInconsistentUnits"))
        allow = a->Bool();
    UnitSystem system(type == UnitSystem::kTypeNone ? UnitSystem::kTypeCustom : type, allow);
    bool custom = type == UnitSystem::kTypeCustom || type == UnitSystem::kTypeNone;
    if (auto units = node.Optional("units")) {
        if (!custom)
            units->Fail("only a custom unit system (type 4) or one of no type lists its units");
        units->ExpectObject({"force", "length", "time", "temperature", "energy", "voltage", "current", "resistance", "mass"});
        for (int q = 0; q < UnitSys::kQuantityCount; ++q) {
            auto quantity = UnitSys::Quantity(q);
            Node unit = (*units)[kQuantityKeys[q]];
            int count = UnitSystem::UnitCount(quantity);
            std::int64_t index = unit.Integer(0, count - 1);
            if (!system.SetUnit(quantity, int(index)))
                unit.Fail(std::to_string(index) + " is not a consistent " + kQuantityKeys[q] +
                          " unit for these units (allow inconsistent units to use it)");
        }
    } else if (custom) {
        node.Fail("missing \"units\" (a custom unit system lists its units)");
    }
    if (type == UnitSystem::kTypeNone)
        system.SetUnitSystemType(UnitSystem::kTypeNone);
    else if (system.GetUnitSystemType() != type)
        node.Fail("the units do not make a unit system of type " + std::to_string(type));
    return system;
}

StorageMapItem::Kind ReadGeometryKind(const Node& node) {
    std::string name = node.String();
    if (name == "node") return StorageMapItem::Kind::Node;
    if (name == "edge") return StorageMapItem::Kind::Edge;
    if (name == "surface") return StorageMapItem::Kind::Surface;
    if (name == "part") return StorageMapItem::Kind::Part;
    node.Fail("unknown geometry kind \"" + name + "\" (node, edge, surface or part)");
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Fills a record from its JSON form: named typed fields and raw byte runs over a zero record.
// Bytes below headerSize belong to the object and may not be given.
void ReadRecord(const Node& node, RecordView record, std::size_t headerSize) {
    node.ExpectObject({"fields", "raw"});
    std::vector<std::uint32_t> owner(record.size(), 0);  // 0 free, else 1 + index of the claim
    std::vector<std::string> claims;
    auto claim = [&](const Node& at, std::size_t offset, std::size_t width) {
        if (!record.Fits(offset, width))
            at.Fail(DescribeRangeProblem(offset, width, record.size()));
        if (offset < headerSize)
            at.Fail("bytes 0 to " + std::to_string(headerSize - 1) +
                    " are the record header, written from the object itself");
        for (std::size_t i = offset; i < offset + width; ++i)
            if (owner[i])
                at.Fail("overlaps " + claims[owner[i] - 1]);
        claims.push_back("the field at offset " + std::to_string(offset));
        for (std::size_t i = offset; i < offset + width; ++i)
            owner[i] = std::uint32_t(claims.size());
    };
    record.Fill(0, record.size(), 0);
    if (auto fields = node.Optional("fields")) {
        for (const Node& field : fields->Elements()) {
            field.ExpectObject({"offset", "type", "name", "size", "value"});
            std::size_t offset = std::size_t(field["offset"].Integer(0, std::numeric_limits<std::int32_t>::max()));
            Node typeNode = field["type"];
            std::optional<FieldType> type = ParseFieldType(typeNode.String());
            if (!type)
                typeNode.Fail("unknown field type \"" + typeNode.String() + "\" (f64, i32, u32, flag or text)");
            if (auto name = field.Optional("name"))
                name->String();
            std::size_t width = FieldTypeWidth(*type);
            if (*type == FieldType::Text)
                width = std::size_t(field["size"].Integer(1, std::numeric_limits<std::int32_t>::max()));
            else if (field.Has("size"))
                field["size"].Fail("only text fields have a size");
            claim(field, offset, width);
            Node value = field["value"];
            switch (*type) {
            case FieldType::F64: record.SetF64(offset, value.Number()); break;
            case FieldType::I32: record.SetI32(offset, value.I32()); break;
            case FieldType::U32: record.SetU32(offset, value.U32()); break;
            case FieldType::Flag: record.SetFlag(offset, value.Bool()); break;
            case FieldType::Text: {
                std::string text = value.String();
                if (text.find('\0') != std::string::npos)
                    value.Fail("a text field cannot hold a zero character");
                if (text.size() > width - 1)
                    value.Fail("text of " + std::to_string(text.size()) + " bytes does not fit the " + std::to_string(width) +
                               "-byte field (at most " + std::to_string(width - 1) + ")");
                record.SetText(offset, width, text);
                break;
            }
            }
        }
    }
    if (auto raw = node.Optional("raw")) {
        for (const Node& run : raw->Elements()) {
            run.ExpectObject({"offset", "hex"});
            std::size_t offset = std::size_t(run["offset"].Integer(0, std::numeric_limits<std::int32_t>::max()));
            Node hexNode = run["hex"];
            std::string hex = hexNode.String();
            if (hex.size() % 2 != 0)
                hexNode.Fail("odd number of hex digits");
            std::vector<std::uint8_t> bytes(hex.size() / 2);
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                int hi = HexDigit(hex[2 * i]), lo = HexDigit(hex[2 * i + 1]);
                if (hi < 0 || lo < 0)
                    hexNode.Fail("'" + hex.substr(2 * i + (hi < 0 ? 0 : 1), 1) + "' at position " +
                                 std::to_string(2 * i + (hi < 0 ? 1 : 2)) + " is not a hex digit");
                bytes[i] = std::uint8_t(hi * 16 + lo);
            }
            claim(run, offset, bytes.size());
            record.SetBytes(offset, bytes);
        }
    }
}

void ReadScenario(const Node& node, DbDesignScenario& s) {
    node.ExpectObject({"id", "name", "analysisType", "analysisCategory", "riks", "modelUnitSystem", "displayUnitSystem",
                       "globalCoordinateSystem", "coordinateSystems", "parts", "nodes", "surfaces", "edges", "groups",
                       "objects", "contactPairs", "functions", "massSpecies", "initialFluidVolumes"});
    if (auto n = node.Optional("name"))
        s.SetName(n->String());
    if (auto n = node.Optional("analysisType"))
        s.SetAnalysisType(n->U32());
    if (auto n = node.Optional("analysisCategory"))
        s.SetAnalysisCategory(n->U32());
    if (auto n = node.Optional("riks"))
        s.SetRiksAnalysis(n->Bool());
    s.SetModelUnitSystem(ReadUnitSystem(node["modelUnitSystem"]));
    if (auto n = node.Optional("displayUnitSystem"))
        s.SetCurrentDisplayUnitSystem(ReadUnitSystem(*n));
    else
        s.UseModelUnitSystemForDisplay();

    auto addChecked = [](const Node& at, auto&& add) {
        try {
            add();
        } catch (const std::invalid_argument& e) {
            at.Fail(e.what());
        }
    };

    if (auto list = node.Optional("coordinateSystems"))
        for (const Node& c : list->Elements()) {
            c.ExpectObject({"id", "type", "name", "a", "b", "c"});
            std::uint32_t type = c["type"].U32();
            if (type > 3)
                c["type"].Fail(std::to_string(type) + " is not a coordinate system type (0 to 3)");
            std::string name = c.Has("name") ? c["name"].String() : std::string();
            auto cs = std::make_unique<DbCoordinateSystem>(c["id"].Id(), type, name, c["a"].Vector3(), c["b"].Vector3(),
                                                           c["c"].Vector3());
            addChecked(c, [&] { s.AddCoordinateSystem(std::move(cs)); });
        }
    if (auto g = node.Optional("globalCoordinateSystem")) {
        std::uint32_t id = g->U32();
        if (!s.SetGlobalCoordinateSystem(id))
            g->Fail("no coordinate system has id " + std::to_string(id));
        if (id != 0 && s.GetGlobalCoordinateSystem()->CoordinateSystemType() != DbCoordinateSystem::kGlobal)
            g->Fail("coordinate system " + std::to_string(id) + " is not of type 0 (global)");
    }
    if (auto list = node.Optional("parts"))
        for (const Node& p : list->Elements()) {
            p.ExpectObject({"id", "name", "elementType"});
            auto part = std::make_unique<DbPart>(p["id"].Id(), p.Has("name") ? p["name"].String() : std::string(),
                                                 p["elementType"].I32());
            addChecked(p, [&] { s.AddPart(std::move(part)); });
        }
    if (auto list = node.Optional("nodes"))
        for (const Node& n : list->Elements()) {
            n.ExpectObject({"id", "xyz"});
            auto dbNode = std::make_unique<DbNode>(n["id"].Id(), n["xyz"].Vector3());
            addChecked(n, [&] { s.AddNode(std::move(dbNode)); });
        }
    auto readFace = [&](const Node& f, std::uint32_t& id, std::uint32_t& part, std::vector<std::uint32_t>& nodes) {
        f.ExpectObject({"id", "part", "nodes"});
        id = f["id"].Id();
        Node partNode = f["part"];
        part = partNode.Id();
        if (!s.FindPart(part))
            partNode.Fail("no part has id " + std::to_string(part));
        for (const Node& n : f["nodes"].Elements()) {
            std::uint32_t nodeId = n.Id();
            if (!s.FindNode(nodeId))
                n.Fail("no node has id " + std::to_string(nodeId));
            nodes.push_back(nodeId);
        }
    };
    if (auto list = node.Optional("surfaces"))
        for (const Node& f : list->Elements()) {
            std::uint32_t id, part;
            std::vector<std::uint32_t> nodes;
            readFace(f, id, part, nodes);
            addChecked(f, [&] { s.AddSurface(std::make_unique<DbPartSurface>(id, part, std::move(nodes))); });
        }
    if (auto list = node.Optional("edges"))
        for (const Node& f : list->Elements()) {
            std::uint32_t id, part;
            std::vector<std::uint32_t> nodes;
            readFace(f, id, part, nodes);
            addChecked(f, [&] { s.AddEdge(std::make_unique<DbPartEdge>(id, part, std::move(nodes))); });
        }
    if (auto list = node.Optional("groups"))
        for (const Node& g : list->Elements()) {
            g.ExpectObject({"id", "name", "loadCurve"});
            auto group = std::make_unique<FeaObjectGroup>(g["id"].Id(), g.Has("name") ? g["name"].String() : std::string(),
                                                          g.Has("loadCurve") ? g["loadCurve"].I32() : 0);
            addChecked(g, [&] { s.AddGroup(std::move(group)); });
        }
    if (auto list = node.Optional("massSpecies"))
        for (const Node& m : list->Elements()) {
            m.ExpectObject({"id", "name", "diffusivity"});
            std::int32_t id = std::int32_t(m["id"].Integer(1, std::numeric_limits<std::int32_t>::max()));
            std::string name = m["name"].String();
            if (name.size() > MassSpeciesRecord::kNameSize - 1)
                m["name"].Fail("name of " + std::to_string(name.size()) + " bytes is longer than 255");
            double diffusivity = m["diffusivity"].Number();
            addChecked(m, [&] { s.GetMassSpecies().Add(id, name, diffusivity); });
        }
    if (auto list = node.Optional("objects"))
        for (const Node& o : list->Elements()) {
            o.ExpectObject({"id", "typeCode", "type", "geometry", "group", "record"});
            std::uint32_t id = o["id"].Id();
            Node typeNode = o["typeCode"];
            std::uint32_t typeCode = typeNode.U32();
            if (!FindFeaType(typeCode))
                typeNode.Fail(std::to_string(typeCode) + " is not a load or boundary condition type code");
            if (auto t = o.Optional("type"))
                t->String();
            auto object = std::make_unique<DbFeaObject>(typeCode, id);
            if (auto g = o.Optional("geometry")) {
                g->ExpectObject({"kind", "id"});
                StorageMapItem::Kind kind = ReadGeometryKind((*g)["kind"]);
                std::uint32_t gid = (*g)["id"].Id();
                if (!s.FindGeometry(kind, gid))
                    (*g)["id"].Fail(std::string("no ") + StorageKindName(kind) + " has id " + std::to_string(gid));
                object->SetGeometry(kind, gid);
            } else {
                object->SetGeometry(object->GetGeometryKind(), 0);
            }
            RURIVO_LOADS_V1_ENTRY entry;
            ReadRecord(o["record"], entry.View(), RURIVO_LOADS_V1_ENTRY::kDescriptionOffset);
            object->InitOnFemStruct(entry);
            DbFeaObject* added = nullptr;
            addChecked(o, [&] { added = &s.AddFeaObject(std::move(object)); });
            if (auto g = o.Optional("group")) {
                std::uint32_t gid = g->Id();
                FeaObjectGroup* group = s.FindGroup(gid);
                if (!group)
                    g->Fail("no group has id " + std::to_string(gid));
                group->AddFeaObject(added);
            }
        }
    if (auto list = node.Optional("contactPairs"))
        for (const Node& c : list->Elements()) {
            c.ExpectObject({"id", "name", "sides", "contactType", "dataType", "global", "direction", "toleranceAngle",
                            "useFriction", "friction", "thermalResistanceType", "totalThermalResistance",
                            "unitThermalResistance", "bondingToleranceKind", "bondingToleranceMeshSizeFraction",
                            "bondingToleranceAbsolute"});
            auto pair = std::make_unique<DbContactPair>(c["id"].Id());
            if (c.Has("name"))
                pair->SetName(c["name"].String());
            Node sides = c["sides"];
            sides.ExpectObject({"kind", "first", "second"});
            StorageMapItem::Kind kind = ReadGeometryKind(sides["kind"]);
            if (kind != StorageMapItem::Kind::Surface && kind != StorageMapItem::Kind::Part)
                sides["kind"].Fail("contact sides are surfaces or parts");
            std::uint32_t first = sides["first"].Id(), second = sides["second"].Id();
            if (!s.FindGeometry(kind, first))
                sides["first"].Fail(std::string("no ") + StorageKindName(kind) + " has id " + std::to_string(first));
            if (!s.FindGeometry(kind, second))
                sides["second"].Fail(std::string("no ") + StorageKindName(kind) + " has id " + std::to_string(second));
            pair->SetSides(kind, first, second);
            if (c.Has("contactType")) pair->ContactType(c["contactType"].I32());
            if (c.Has("dataType")) pair->DataType(c["dataType"].I32());
            if (c.Has("global")) pair->SetGlobal(c["global"].Bool());
            if (c.Has("direction")) {
                std::uint32_t d = c["direction"].U32();
                if (d > 2)
                    c["direction"].Fail(std::to_string(d) + " is not a surface contact direction (0 to 2)");
                pair->SurfaceContactDirection(d);
            }
            if (c.Has("toleranceAngle")) pair->SurfaceContactDirectionToleranceAngle(c["toleranceAngle"].Number());
            if (c.Has("useFriction")) pair->UseFriction(c["useFriction"].Bool());
            if (c.Has("friction")) pair->Friction(c["friction"].Number());
            if (c.Has("thermalResistanceType")) {
                std::uint32_t t = c["thermalResistanceType"].U32();
                if (t > 1)
                    c["thermalResistanceType"].Fail(std::to_string(t) + " is not a thermal resistance type (0 or 1)");
                pair->ThermalResistance(t);
            }
            if (c.Has("totalThermalResistance")) pair->TotalThermalResistance(c["totalThermalResistance"].Number());
            if (c.Has("unitThermalResistance")) pair->UnitThermalResistance(c["unitThermalResistance"].Number());
            if (c.Has("bondingToleranceKind")) {
                std::uint32_t k = c["bondingToleranceKind"].U32();
                if (k > 1)
                    c["bondingToleranceKind"].Fail(std::to_string(k) + " is not a bonding tolerance kind (0 or 1)");
                pair->BondingContactToleranceKind(k);
            }
            if (c.Has("bondingToleranceMeshSizeFraction"))
                pair->BondingContactToleranceMeshSizeFraction(c["bondingToleranceMeshSizeFraction"].Number());
            if (c.Has("bondingToleranceAbsolute")) pair->BondingContactToleranceAbsolute(c["bondingToleranceAbsolute"].Number());
            addChecked(c, [&] { s.AddContactPair(std::move(pair)); });
        }
    if (auto functions = node.Optional("functions")) {
        functions->ExpectObject({"nextFreeId", "items"});
        if (auto items = functions->Optional("items"))
            for (const Node& f : items->Elements()) {
                f.ExpectObject({"id", "description", "expression", "coordinateSystemType", "unitSystem"});
                auto shape = std::make_unique<DbShape>(&s, f["id"].Id(), 0);
                if (f.Has("description"))
                    shape->SetDescription(f["description"].String());
                std::uint32_t type = f["coordinateSystemType"].U32();
                if (type > 3)
                    f["coordinateSystemType"].Fail(std::to_string(type) + " is not a coordinate system type (0 to 3)");
                UnitSystem system = f.Has("unitSystem") ? ReadUnitSystem(f["unitSystem"]) : s.GetModelUnitSystem();
                shape->SetShape(f["expression"].String(), type, system);
                addChecked(f, [&] { s.AddShape(std::move(shape)); });
            }
        if (auto next = functions->Optional("nextFreeId")) {
            std::uint32_t id = next->Id();
            if (id < s.GetShapes().NextFreeId())
                next->Fail(std::to_string(id) + " is below an id in use (at least " +
                           std::to_string(s.GetShapes().NextFreeId()) + ")");
            s.SetNextFreeShapeId(id);
        }
    }
    if (auto list = node.Optional("initialFluidVolumes"))
        for (const Node& v : list->Elements()) {
            v.ExpectObject({"id", "record"});
            auto volume = std::make_unique<DbInitialFluidVolume>(v["id"].Id());
            RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY entry;
            ReadRecord(v["record"], entry.View(), RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY::kDescriptionOffset);
            volume->InitOnFemStruct(entry);
            addChecked(v, [&] { s.AddInitialFluidVolume(std::move(volume)); });
        }
}

std::unique_ptr<DbModel> ReadModel(const Json& root) {
    Node node(root, "");
    if (!root.is_object())
        node.Fail("expected a model object, got " + node.TypeName());
    node.ExpectObject({"format", "version", "name", "scenarios"});
    Node format = node["format"];
    if (format.String() != kFormatName)
        format.Fail(std::string("expected \"") + kFormatName + "\"");
    Node version = node["version"];
    std::int64_t v = version.Integer(1, std::numeric_limits<std::int32_t>::max());
    if (v != kFormatVersion)
        version.Fail("version " + std::to_string(v) + " is not supported (this program reads version " +
                     std::to_string(kFormatVersion) + ")");
    auto model = std::make_unique<DbModel>();
    if (auto name = node.Optional("name"))
        model->SetName(name->String());
    Node scenarios = node["scenarios"];
    for (const Node& sNode : scenarios.Elements()) {
        if (!sNode.json().is_object())
            sNode.Fail("expected an object, got " + sNode.TypeName());
        auto scenario = std::make_unique<DbDesignScenario>(sNode["id"].Id());
        if (model->GetScenario(scenario->Id()))
            sNode["id"].Fail("design scenario id " + std::to_string(scenario->Id()) + " is already in use");
        DbDesignScenario& s = model->AddScenario(std::move(scenario));
        ReadScenario(sNode, s);
    }
    return model;
}

// ---------------------------------------------------------------------------------------------
// Writing

Json WriteUnitSystem(const UnitSys::UnitSystem& system) {
    Json j = Json::object();
    std::uint32_t type = system.GetUnitSystemType();
    if (type == UnitSystem::kTypeNone)
        j["type"] = "none";
    else
        j["type"] = type;
    if (system.AllowInconsistentUnits())
        j["allowInconsistentUnits"] = true;
    if (type == UnitSystem::kTypeCustom || type == UnitSystem::kTypeNone) {
        Json units = Json::object();
        for (int q = 0; q < UnitSys::kQuantityCount; ++q)
            units[kQuantityKeys[q]] = system.GetUnit(UnitSys::Quantity(q));
        j["units"] = units;
    }
    return j;
}

Json Vec(const std::array<double, 3>& v) { return Json::array({v[0], v[1], v[2]}); }

bool IsValidUtf8(std::string_view text) { return orv::WideToUtf8(orv::Utf8ToWide(text)) == text; }

// Named typed fields where the layout is known and the bytes read back exactly; the other
// non-zero bytes as hex runs. Bytes below headerSize are the object's own and left out.
Json WriteRecord(ConstRecordView record, std::span<const FieldInfo> fields, std::size_t headerSize) {
    std::vector<bool> covered(record.size(), false);
    for (std::size_t i = 0; i < headerSize && i < record.size(); ++i)
        covered[i] = true;
    Json list = Json::array();
    for (const FieldInfo& f : fields) {
        if (f.offset < headerSize || !record.Fits(f.offset, f.size))
            continue;
        Json field = Json::object();
        field["offset"] = f.offset;
        field["name"] = std::string(f.name);
        switch (f.type) {
        case FieldType::F64: {
            double v = record.GetF64(f.offset);
            if (!std::isfinite(v))
                continue;  // kept exactly by the raw runs
            field["type"] = "f64";
            field["value"] = v;
            break;
        }
        case FieldType::I32:
            field["type"] = "i32";
            field["value"] = record.GetI32(f.offset);
            break;
        case FieldType::U32:
            field["type"] = "u32";
            field["value"] = record.GetU32(f.offset);
            break;
        case FieldType::Flag: {
            std::int32_t v = record.GetI32(f.offset);
            if (v == 0 || v == -1) {
                field["type"] = "flag";
                field["value"] = v == -1;
            } else {
                field["type"] = "i32";
                field["value"] = v;
            }
            break;
        }
        case FieldType::Text: {
            std::string text = record.GetText(f.offset, f.size);
            bool exact = text.size() < f.size && IsValidUtf8(text);
            for (std::size_t i = f.offset + text.size(); exact && i < f.offset + f.size; ++i)
                exact = record.data()[i] == 0;
            if (!exact)
                continue;
            field["type"] = "text";
            field["size"] = f.size;
            field["value"] = text;
            break;
        }
        }
        for (std::size_t i = 0; i < f.size; ++i)
            covered[f.offset + i] = true;
        // Keep the member order offset, type, name, size, value.
        Json ordered = Json::object();
        for (const char* key : {"offset", "type", "name", "size", "value"})
            if (field.contains(key))
                ordered[key] = field[key];
        list.push_back(ordered);
    }
    Json raw = Json::array();
    const std::uint8_t* bytes = record.data();
    for (std::size_t i = 0; i < record.size();) {
        if (covered[i] || bytes[i] == 0) {
            ++i;
            continue;
        }
        std::size_t start = i;
        std::string hex;
        while (i < record.size() && !covered[i] && bytes[i] != 0) {
            char b[3];
            std::snprintf(b, sizeof b, "%02x", bytes[i]);
            hex += b;
            ++i;
        }
        raw.push_back(Json{{"offset", start}, {"hex", hex}});
    }
    Json j = Json::object();
    j["fields"] = list;
    if (!raw.empty())
        j["raw"] = raw;
    return j;
}

std::string GeometryKindText(StorageMapItem::Kind kind) { return StorageKindName(kind); }

Json WriteScenario(const DbDesignScenario& s) {
    Json j = Json::object();
    j["id"] = s.Id();
    j["name"] = s.GetName();
    j["analysisType"] = s.GetAnalysisType();
    j["analysisCategory"] = s.GetAnalysisCategory();
    j["riks"] = s.IsRiksAnalysis();
    j["modelUnitSystem"] = WriteUnitSystem(s.GetModelUnitSystem());
    j["displayUnitSystem"] = WriteUnitSystem(s.GetCurrentDisplayUnitSystem().GetUnitSystem());
    j["globalCoordinateSystem"] = s.GetGlobalCoordinateSystem() ? s.GetGlobalCoordinateSystem()->Id() : 0u;
    Json list = Json::array();
    for (const auto& [id, c] : s.GetCoordinateSystems())
        list.push_back(Json{{"id", id}, {"type", c->CoordinateSystemType()}, {"name", c->GetName()},
                            {"a", Vec(c->PointA_CV())}, {"b", Vec(c->PointB_CV())}, {"c", Vec(c->PointC_CV())}});
    j["coordinateSystems"] = list;
    list = Json::array();
    for (const auto& [id, p] : s.GetParts())
        list.push_back(Json{{"id", id}, {"name", p->GetName()}, {"elementType", p->GetElementType()}});
    j["parts"] = list;
    list = Json::array();
    for (const auto& [id, n] : s.GetNodes())
        list.push_back(Json{{"id", id}, {"xyz", Vec(n->GetCoordinatesAsArray())}});
    j["nodes"] = list;
    auto faces = [](const auto& map) {
        Json out = Json::array();
        for (const auto& [id, f] : map)
            out.push_back(Json{{"id", id}, {"part", f->GetPartId()}, {"nodes", f->GetNodeIds()}});
        return out;
    };
    j["surfaces"] = faces(s.GetSurfaces());
    j["edges"] = faces(s.GetEdges());
    list = Json::array();
    for (const auto& g : s.GetGroups())
        list.push_back(Json{{"id", g->Id()}, {"name", g->GetName()}, {"loadCurve", g->GetLoadCurve()}});
    j["groups"] = list;
    list = Json::array();
    for (const auto& m : s.GetMassSpecies())
        list.push_back(Json{{"id", m.GetId()}, {"name", m.GetName()}, {"diffusivity", m.GetDiffusivity()}});
    j["massSpecies"] = list;
    list = Json::array();
    for (const auto& [id, o] : s.GetFeaObjects()) {
        Json obj = Json::object();
        obj["id"] = id;
        obj["typeCode"] = o->GetTypeCode();
        if (const FeaTypeInfo* info = o->GetTypeInfo())
            obj["type"] = std::string(info->name);
        if (o->GetGeometryId() != 0)
            obj["geometry"] = Json{{"kind", GeometryKindText(o->GetGeometryKind())}, {"id", o->GetGeometryId()}};
        if (o->GetGroup())
            obj["group"] = o->GetGroup()->Id();
        const FeaTypeInfo* info = o->GetTypeInfo();
        obj["record"] = WriteRecord(o->GetRecord().View(), info ? info->fields : std::span<const FieldInfo>(),
                                    RURIVO_LOADS_V1_ENTRY::kDescriptionOffset);
        list.push_back(obj);
    }
    j["objects"] = list;
    list = Json::array();
    for (const auto& [id, c] : s.GetContactPairs()) {
        Json pair = Json::object();
        pair["id"] = id;
        pair["name"] = c->GetName();
        pair["sides"] = Json{{"kind", GeometryKindText(c->GetSideKind())}, {"first", c->GetFirstId()}, {"second", c->GetSecondId()}};
        pair["contactType"] = c->ContactType();
        pair["dataType"] = c->DataType();
        pair["global"] = c->IsGlobal();
        pair["direction"] = std::uint32_t(c->SurfaceContactDirection());
        pair["toleranceAngle"] = c->SurfaceContactDirectionToleranceAngle();
        pair["useFriction"] = c->UseFriction();
        pair["friction"] = c->Friction();
        pair["thermalResistanceType"] = std::uint32_t(c->ThermalResistance());
        pair["totalThermalResistance"] = c->TotalThermalResistance();
        pair["unitThermalResistance"] = c->UnitThermalResistance();
        pair["bondingToleranceKind"] = std::uint32_t(c->BondingContactToleranceKind());
        pair["bondingToleranceMeshSizeFraction"] = c->BondingContactToleranceMeshSizeFraction();
        pair["bondingToleranceAbsolute"] = c->BondingContactToleranceAbsolute();
        list.push_back(pair);
    }
    j["contactPairs"] = list;
    Json items = Json::array();
    for (const auto& [id, f] : s.GetShapes())
        items.push_back(Json{{"id", id}, {"description", f->GetDescription()}, {"expression", f->GetExpression()},
                             {"coordinateSystemType", f->GetCoordinateSystemType()},
                             {"unitSystem", WriteUnitSystem(f->GetExpressionUnitSystem())}});
    j["functions"] = Json{{"nextFreeId", s.GetShapes().NextFreeId()}, {"items", items}};
    list = Json::array();
    for (const auto& [id, v] : s.GetInitialFluidVolumes())
        list.push_back(Json{{"id", id},
                            {"record", WriteRecord(v->GetRecord().View(), InitialFluidVolumeFields(),
                                                   RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY::kDescriptionOffset)}});
    j["initialFluidVolumes"] = list;
    return j;
}

// Pretty printing: containers of scalars (and small vectors inside them) go on one line when
// short, everything else one member per line, indented by two spaces.
bool IsFlat(const Json& j, int depth = 0) {
    if (!j.is_structured())
        return true;
    if (depth > 1)
        return false;
    for (const auto& item : j)
        if (!IsFlat(item, depth + 1))
            return false;
    return true;
}

std::string DumpInline(const Json& j) {
    if (!j.is_structured())
        return j.dump(-1, ' ', false, Json::error_handler_t::replace);
    std::string out(1, j.is_object() ? '{' : '[');
    bool first = true;
    for (auto it = j.begin(); it != j.end(); ++it) {
        out += first ? "" : ", ";
        first = false;
        if (j.is_object())
            out += Json(it.key()).dump(-1, ' ', false, Json::error_handler_t::replace) + ": ";
        out += DumpInline(*it);
    }
    return out + (j.is_object() ? '}' : ']');
}

void DumpPretty(const Json& j, int indent, std::string& out) {
    if (!j.is_structured() || j.empty() || IsFlat(j)) {
        std::string line = DumpInline(j);
        if (!j.is_structured() || line.size() + std::size_t(indent) <= 120) {
            out += line;
            return;
        }
    }
    std::string pad(std::size_t(indent + 2), ' ');
    out += j.is_object() ? "{\n" : "[\n";
    bool first = true;
    for (auto it = j.begin(); it != j.end(); ++it) {
        out += first ? "" : ",\n";
        first = false;
        out += pad;
        if (j.is_object())
            out += Json(it.key()).dump(-1, ' ', false, Json::error_handler_t::replace) + ": ";
        DumpPretty(*it, indent + 2, out);
    }
    out += "\n" + std::string(std::size_t(indent), ' ') + (j.is_object() ? '}' : ']');
}

// Finds a key given twice in one object, which the document parser would resolve by keeping
// the last value silently; the path names the object ("scenarios[0].objects[2]").
class DuplicateKeyFinder : public nlohmann::json_sax<Json> {
public:
    std::string problem;

    bool null() override { return Value(); }
    bool boolean(bool) override { return Value(); }
    bool number_integer(number_integer_t) override { return Value(); }
    bool number_unsigned(number_unsigned_t) override { return Value(); }
    bool number_float(number_float_t, const string_t&) override { return Value(); }
    bool string(string_t&) override { return Value(); }
    bool binary(binary_t&) override { return Value(); }
    bool start_object(std::size_t) override {
        Enter();
        frames_.push_back(Frame{true, {}, 0, {}});
        return true;
    }
    bool key(string_t& key) override {
        Frame& f = frames_.back();
        if (!f.keys.insert(key).second) {
            problem = (Path().empty() ? std::string() : Path() + ": ") + "duplicate key \"" + key + "\"";
            return false;
        }
        f.current = key;
        return true;
    }
    bool end_object() override { return Leave(); }
    bool start_array(std::size_t) override {
        Enter();
        frames_.push_back(Frame{false, {}, 0, {}});
        return true;
    }
    bool end_array() override { return Leave(); }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }

private:
    struct Frame {
        bool object;
        std::set<std::string> keys;
        std::size_t index;
        std::string current;
    };
    // The path of the container being read: its parents' keys and indices.
    std::string Path() const {
        std::string path;
        for (std::size_t i = 0; i + 1 < frames_.size(); ++i) {
            const Frame& f = frames_[i];
            if (f.object)
                path += (path.empty() ? "" : ".") + f.current;
            else
                path += "[" + std::to_string(f.index - 1) + "]";
        }
        return path;
    }
    void Enter() {
        if (!frames_.empty() && !frames_.back().object)
            ++frames_.back().index;
    }
    bool Value() {
        Enter();
        return true;
    }
    bool Leave() {
        frames_.pop_back();
        return true;
    }
    std::vector<Frame> frames_;
};

std::string ParseErrorText(const std::exception& e) {
    std::string what = e.what();
    auto at = what.find("parse error at ");
    if (at != std::string::npos)
        return what.substr(at + 15);
    auto bracket = what.find("] ");
    return bracket != std::string::npos ? what.substr(bracket + 2) : what;
}

}  // namespace

ModelLoadResult ParseModelJson(std::string_view text, std::string_view sourceName) {
    ModelLoadResult result;
    std::string prefix = std::string(sourceName) + ": ";
    Json root;
    try {
        root = Json::parse(text.begin(), text.end());
    } catch (const Json::parse_error& e) {
        result.error = prefix + ParseErrorText(e);
        return result;
    } catch (const Json::exception& e) {  // a number beyond the range of a double ("1e999")
        result.error = prefix + ParseErrorText(e);
        return result;
    }
    DuplicateKeyFinder duplicates;
    Json::sax_parse(text.begin(), text.end(), &duplicates);
    if (!duplicates.problem.empty()) {
        result.error = prefix + duplicates.problem;
        return result;
    }
    try {
        result.model = ReadModel(root);
    } catch (const FileProblem& e) {
        result.error = prefix + e.what();
    } catch (const RecordRangeError& e) {
        result.error = prefix + e.what();
    } catch (const Json::exception& e) {
        result.error = prefix + ParseErrorText(e);
    }
    return result;
}

ModelLoadResult LoadModelFile(const std::filesystem::path& file) {
    ModelLoadResult result;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        result.error = file.string() + ": cannot open the file (" + std::error_code(errno, std::generic_category()).message() + ")";
        return result;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        result.error = file.string() + ": cannot read the file";
        return result;
    }
    result = ParseModelJson(text.str(), file.string());
    if (result.model) {
        std::error_code ec;
        std::filesystem::path absolute = std::filesystem::absolute(file, ec);
        result.model->SetPath((ec ? file : absolute).wstring());
    }
    return result;
}

std::string FormatModelJson(const DbModel& model) {
    Json root = Json::object();
    root["format"] = kFormatName;
    root["version"] = kFormatVersion;
    root["name"] = model.GetName();
    Json scenarios = Json::array();
    for (const auto& [id, s] : model.GetScenarios())
        scenarios.push_back(WriteScenario(*s));
    root["scenarios"] = scenarios;
    std::string out;
    DumpPretty(root, 0, out);
    return out + "\n";
}

bool SaveModelFile(DbModel& model, const std::filesystem::path& file, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error)
            *error = file.string() + ": " + why;
        return false;
    };
    std::string text = FormatModelJson(model);
    std::filesystem::path temp = file;
    temp += ".tmp" + std::to_string(::getpid());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return fail("cannot create " + temp.string() + " (" + std::error_code(errno, std::generic_category()).message() + ")");
    const char* p = text.data();
    std::size_t left = text.size();
    bool ok = true;
    while (ok && left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok) {
            p += n;
            left -= std::size_t(n);
        }
    }
    // The new file is on disk before it replaces the old one.
    ok = ok && ::fsync(fd) == 0;
    int writeErrno = errno;
    ok = (::close(fd) == 0) && ok;
    if (!ok) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return fail("cannot write " + temp.string() + " (" + std::error_code(writeErrno, std::generic_category()).message() + ")");
    }
    std::error_code ec;
    std::filesystem::rename(temp, file, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return fail("cannot replace the file (" + ec.message() + ")");
    }
    std::filesystem::path absolute = std::filesystem::absolute(file, ec);
    model.SetPath((ec ? file : absolute).wstring());
    return true;
}

}  // namespace OrvDbRecord
