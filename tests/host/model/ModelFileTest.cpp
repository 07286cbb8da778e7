#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

#include "host/model/ModelFile.h"

using namespace OrvDbRecord;

namespace {

std::filesystem::path TempDir() {
    const char* env = std::getenv("ORV_TEST_TMP");
    std::filesystem::path dir = env ? env : std::filesystem::temp_directory_path();
    dir /= "model_file_test";
    std::filesystem::create_directories(dir);
    return dir;
}

std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A minimal valid model with one scenario; `objects` is spliced into the scenario.
std::string MinimalModel(const std::string& scenarioExtra) {
    return R"({"format": "orv-model", "version": 1, "scenarios": [{"id": 1, "modelUnitSystem": {"type": 1},
      "parts": [{"id": 1, "name": "P", "elementType": 5}], "nodes": [{"id": 1, "xyz": [0, 0, 0]}],
      "surfaces": [{"id": 1, "part": 1, "nodes": [1]}])" +
           scenarioExtra + "}]}";
}

std::string ObjectWithRecord(const std::string& record) {
    return R"(, "objects": [{"id": 7, "typeCode": 35, "geometry": {"kind": "surface", "id": 1}, "record": )" + record + "}]";
}

TEST(ModelFileTest, SampleSavesLoadsAndSavesToTheSameBytes) {
    std::unique_ptr<DbModel> model = LoadSampleModel();
    std::filesystem::path a = TempDir() / "a.json", b = TempDir() / "b.json";
    std::string error;
    ASSERT_TRUE(SaveModelFile(*model, a, &error)) << error;
    ModelLoadResult loaded = LoadModelFile(a);
    ASSERT_TRUE(loaded) << loaded.error;
    EXPECT_EQ(loaded.model->GetFirstScenario()->GetModelPath(), std::filesystem::absolute(a).wstring());
    ASSERT_TRUE(SaveModelFile(*loaded.model, b, &error)) << error;
    EXPECT_EQ(ReadFile(a), ReadFile(b));
    EXPECT_EQ(ReadFile(a), std::string(GetSampleModelJson()));
    EXPECT_EQ(loaded.model->GetPath(), std::filesystem::absolute(b).wstring());
    EXPECT_FALSE(std::filesystem::exists(a.string() + ".tmp"));
}

TEST(ModelFileTest, BytesOutsideKnownFieldsAndUnusualValuesSurviveExactly) {
    std::unique_ptr<DbModel> model = LoadSampleModel();
    DbDesignScenario* s = model->GetFirstScenario();
    DbFeaObject* force = s->FindFeaObject(1);
    ASSERT_NE(force, nullptr);
    RURIVO_LOADS_V1_ENTRY r;
    force->InitFemStruct(r);
    r.SetF64(272, std::numeric_limits<double>::quiet_NaN());
    r.SetF64(280, -0.0);
    r.SetF64(288, std::numeric_limits<double>::infinity());
    r.SetF64(296, 0.1 + 0.2);  // needs all 17 digits
    r.SetF64(400, 5e-324);  // a subnormal in the unnamed part of the block
    r.SetI32(312, 7);                   // a flag word that is neither -1 nor 0
    r.bytes[524] = 0x01;
    r.bytes[787] = 0xFF;
    // A description with bytes after its terminator cannot be a plain text field.
    r.SetText(12, 256, "abc");
    r.bytes[100] = 0x42;
    force->InitOnFemStruct(r);
    DbInitialFluidVolume* volume = s->GetInitialFluidVolumes().Find(1);
    RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY v;
    volume->InitFemStruct(v);
    v.bytes[500] = 0x5A;
    v.SetText(4, 256, "\xFF\xFE not UTF-8");
    volume->InitOnFemStruct(v);

    std::string first = FormatModelJson(*model);
    ModelLoadResult back = ParseModelJson(first);
    ASSERT_TRUE(back) << back.error;
    EXPECT_EQ(back.model->GetFirstScenario()->FindFeaObject(1)->GetRecord(), force->GetRecord());
    EXPECT_EQ(back.model->GetFirstScenario()->GetInitialFluidVolumes().Find(1)->GetRecord(), volume->GetRecord());
    EXPECT_EQ(FormatModelJson(*back.model), first);
    EXPECT_TRUE(std::signbit(back.model->GetFirstScenario()->FindFeaObject(1)->GetRecord().GetF64(280)));
}

TEST(ModelFileTest, UnitSystemsOfEveryTypeRoundTrip) {
    std::unique_ptr<DbModel> model = LoadSampleModel();
    DbDesignScenario* s = model->GetFirstScenario();
    for (std::uint32_t type : {0u, 1u, 2u, 3u, 5u, 6u}) {
        s->SetModelUnitSystem(UnitSystem(type));
        ModelLoadResult back = ParseModelJson(FormatModelJson(*model));
        ASSERT_TRUE(back) << back.error;
        EXPECT_EQ(back.model->GetFirstScenario()->GetModelUnitSystem(), s->GetModelUnitSystem()) << type;
    }
    UnitSystem custom(UnitSystem::kTypeCustom, true);
    custom.SetLengthUnit(UnitSystem::kMillimeter);
    custom.SetMassUnit(UnitSystem::kPoundMass);
    s->SetCurrentDisplayUnitSystem(custom);
    ModelLoadResult back = ParseModelJson(FormatModelJson(*model));
    ASSERT_TRUE(back) << back.error;
    EXPECT_EQ(back.model->GetFirstScenario()->GetCurrentDisplayUnitSystem().GetUnitSystem(), custom);
}

struct BadFileCase {
    const char* name;
    std::string text;
    const char* expected;  // the whole message after "test.json: "
};

class ModelFileErrorTest : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(ModelFileErrorTest, BadFilesNameThePlaceAndTheProblem) {
    ModelLoadResult result = ParseModelJson(GetParam().text, "test.json");
    EXPECT_FALSE(result);
    EXPECT_EQ(result.error, std::string("test.json: ") + GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ModelFileErrorTest,
    ::testing::Values(
        BadFileCase{"syntax", "{\n  \"format\": \"orv-model\",\n  \"version\": 1,\n}",
                    "line 4, column 1: syntax error while parsing object key - unexpected '}'; expected string literal"},
        BadFileCase{"not_object", "[1, 2]", "expected a model object, got an array"},
        BadFileCase{"wrong_format", R"({"format": "other", "version": 1, "scenarios": []})", "format: expected \"orv-model\""},
        BadFileCase{"future_version", R"({"format": "orv-model", "version": 2, "scenarios": []})",
                    "version: version 2 is not supported (this program reads version 1)"},
        BadFileCase{"unknown_top_key", R"({"format": "orv-model", "version": 1, "scenarios": [], "extra": 1})",
                    "unknown key \"extra\""},
        BadFileCase{"missing_units", R"({"format": "orv-model", "version": 1, "scenarios": [{"id": 1}]})",
                    "scenarios[0]: missing \"modelUnitSystem\""},
        BadFileCase{"bad_unit_type", R"({"format": "orv-model", "version": 1, "scenarios": [{"id": 1, "modelUnitSystem": {"type": 9}}]})",
                    "scenarios[0].modelUnitSystem.type: 9 is not a unit system type (0 to 6)"},
        BadFileCase{"custom_without_units", R"({"format": "orv-model", "version": 1, "scenarios": [{"id": 1, "modelUnitSystem": {"type": 4}}]})",
                    "scenarios[0].modelUnitSystem: missing \"units\" (a custom unit system lists its units)"},
        BadFileCase{"typo_key", MinimalModel(R"(, "objets": [])"), "scenarios[0]: unknown key \"objets\""},
        BadFileCase{"offset_beyond", MinimalModel(ObjectWithRecord(R"({"fields": [{"offset": 800, "type": "f64", "value": 1}]})")),
                    "scenarios[0].objects[0].record.fields[0]: offset 800 beyond the 788-byte record"},
        BadFileCase{"field_runs_past", MinimalModel(ObjectWithRecord(R"({"fields": [{"offset": 784, "type": "f64", "value": 1}]})")),
                    "scenarios[0].objects[0].record.fields[0]: 8-byte field at offset 784 runs past the end of the 788-byte record"},
        BadFileCase{"header", MinimalModel(ObjectWithRecord(R"({"fields": [{"offset": 4, "type": "u32", "value": 1}]})")),
                    "scenarios[0].objects[0].record.fields[0]: bytes 0 to 11 are the record header, written from the object itself"},
        BadFileCase{"overlap", MinimalModel(ObjectWithRecord(R"({"fields": [{"offset": 272, "type": "f64", "value": 1}, {"offset": 276, "type": "i32", "value": 1}]})")),
                    "scenarios[0].objects[0].record.fields[1]: overlaps the field at offset 272"},
        BadFileCase{"raw_overlap", MinimalModel(ObjectWithRecord(R"({"fields": [{"offset": 272, "type": "f64", "value": 1}], "raw": [{"offset": 270, "hex": "0102"}, {"offset": 278, "hex": "01"}]})")),
                    "scenarios[0].objects[0].record.raw[1]: overlaps the field at offset 272"},
        BadFileCase{"bad_hex", MinimalModel(ObjectWithRecord(R"({"raw": [{"offset": 600, "hex": "01g2"}]})")),
                    "scenarios[0].objects[0].record.raw[0].hex: 'g' at position 3 is not a hex digit"},
        BadFileCase{"odd_hex", MinimalModel(ObjectWithRecord(R"({"raw": [{"offset": 600, "hex": "012"}]})")),
                    "scenarios[0].objects[0].record.raw[0].hex: odd number of hex digits"},
        BadFileCase{"i32_range", MinimalModel(ObjectWithRecord(R"({"fields": [{"offset": 304, "type": "i32", "value": 3000000000}]})")),
                    "scenarios[0].objects[0].record.fields[0].value: 3000000000 is out of range (-2147483648 to 2147483647)"},
        BadFileCase{"flag_number", MinimalModel(ObjectWithRecord(R"({"fields": [{"offset": 312, "type": "flag", "value": 1}]})")),
                    "scenarios[0].objects[0].record.fields[0].value: expected true or false, got a number"},
        BadFileCase{"unknown_field_type", MinimalModel(ObjectWithRecord(R"({"fields": [{"offset": 312, "type": "f32", "value": 1}]})")),
                    "scenarios[0].objects[0].record.fields[0].type: unknown field type \"f32\" (f64, i32, u32, flag or text)"},
        BadFileCase{"long_text", MinimalModel(ObjectWithRecord(R"({"fields": [{"offset": 12, "type": "text", "size": 4, "value": "abcd"}]})")),
                    "scenarios[0].objects[0].record.fields[0].value: text of 4 bytes does not fit the 4-byte field (at most 3)"},
        BadFileCase{"float_offset", MinimalModel(ObjectWithRecord(R"({"fields": [{"offset": 272.5, "type": "f64", "value": 1}]})")),
                    "scenarios[0].objects[0].record.fields[0].offset: expected an integer, got 272.5"},
        BadFileCase{"unknown_type_code", MinimalModel(R"(, "objects": [{"id": 1, "typeCode": 27, "record": {}}])"),
                    "scenarios[0].objects[0].typeCode: 27 is not a load or boundary condition type code"},
        BadFileCase{"missing_geometry", MinimalModel(R"(, "objects": [{"id": 1, "typeCode": 35, "geometry": {"kind": "surface", "id": 9}, "record": {}}])"),
                    "scenarios[0].objects[0].geometry.id: no surface has id 9"},
        BadFileCase{"duplicate_id", MinimalModel(R"(, "objects": [{"id": 1, "typeCode": 35, "record": {}}, {"id": 1, "typeCode": 35, "record": {}}])"),
                    "scenarios[0].objects[1]: FEA object id 1 is already in use"},
        BadFileCase{"surface_unknown_node", R"({"format": "orv-model", "version": 1, "scenarios": [{"id": 1, "modelUnitSystem": {"type": 1},
            "parts": [{"id": 1, "elementType": 5}], "surfaces": [{"id": 1, "part": 1, "nodes": [4]}]}]})",
                    "scenarios[0].surfaces[0].nodes[0]: no node has id 4"},
        BadFileCase{"global_not_type0", MinimalModel(R"(, "coordinateSystems": [{"id": 2, "type": 1, "a": [0,0,0], "b": [0,0,1], "c": [1,0,0]}], "globalCoordinateSystem": 2)"),
                    "scenarios[0].globalCoordinateSystem: coordinate system 2 is not of type 0 (global)"},
        BadFileCase{"vector_size", MinimalModel(R"(, "coordinateSystems": [{"id": 2, "type": 1, "a": [0,0], "b": [0,0,1], "c": [1,0,0]}])"),
                    "scenarios[0].coordinateSystems[0].a: expected 3 numbers, got 2"},
        BadFileCase{"next_free_id", MinimalModel(R"(, "functions": {"nextFreeId": 2, "items": [{"id": 5, "expression": "r", "coordinateSystemType": 0}]})"),
                    "scenarios[0].functions.nextFreeId: 2 is below an id in use (at least 6)"},
        BadFileCase{"duplicate_key", MinimalModel(R"(, "objects": [{"id": 1, "typeCode": 35, "record": {}, "id": 2}])"),
                    "scenarios[0].objects[0]: duplicate key \"id\""},
        BadFileCase{"duplicate_top_key", R"({"format": "orv-model", "format": "orv-model", "version": 1, "scenarios": []})",
                    "duplicate key \"format\""},
        BadFileCase{"species_zero_id", MinimalModel(R"(, "massSpecies": [{"id": 0, "name": "x", "diffusivity": 1}])"),
                    "scenarios[0].massSpecies[0].id: 0 is out of range (1 to 2147483647)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ModelFileTest, MissingFileIsReportedWithItsName) {
    ModelLoadResult result = LoadModelFile(TempDir() / "does-not-exist.json");
    EXPECT_FALSE(result);
    EXPECT_NE(result.error.find("does-not-exist.json: cannot open the file"), std::string::npos) << result.error;
}

TEST(ModelFileTest, FailedSaveLeavesTheOldFileInPlace) {
    std::unique_ptr<DbModel> model = LoadSampleModel();
    std::filesystem::path dir = TempDir() / "no-such-folder";
    std::filesystem::remove_all(dir);
    std::string error;
    EXPECT_FALSE(SaveModelFile(*model, dir / "x.json", &error));
    EXPECT_NE(error.find("cannot create"), std::string::npos) << error;

    std::filesystem::path target = TempDir() / "kept.json";
    { std::ofstream(target) << "old"; }
    std::filesystem::path asDir = TempDir() / "a-directory.json";
    std::filesystem::create_directories(asDir / "inside");
    EXPECT_FALSE(SaveModelFile(*model, asDir, &error));  // a directory cannot be replaced by a file
    EXPECT_TRUE(std::filesystem::is_directory(asDir));
    EXPECT_EQ(ReadFile(target), "old");
    for (const auto& entry : std::filesystem::directory_iterator(TempDir()))
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST(ModelFileTest, RecordFieldsMayBeGivenInAnyOrderWithoutNames) {
    std::string text = MinimalModel(ObjectWithRecord(
        R"({"fields": [{"offset": 304, "type": "i32", "value": 4}, {"offset": 272, "type": "f64", "value": 2}], "raw": [{"offset": 700, "hex": "ff"}]})"));
    ModelLoadResult result = ParseModelJson(text);
    ASSERT_TRUE(result) << result.error;
    const RURIVO_LOADS_V1_ENTRY& r = result.model->GetFirstScenario()->FindFeaObject(7)->GetRecord();
    EXPECT_EQ(r.GetF64(272), 2.0);
    EXPECT_EQ(r.GetI32(304), 4);
    EXPECT_EQ(r.bytes[700], 0xFF);
    EXPECT_EQ(r.GetU32(0), 35u);
    EXPECT_EQ(r.GetU32(4), 7u);
    EXPECT_EQ(r.GetU32(8), 1u);
    // Fields not given are zero, not the prototype's defaults: the file holds the whole record.
    EXPECT_EQ(r.GetF64(280), 0.0);
}

}  // namespace

namespace {

TEST(ModelFileTest, DamagedSampleTextIsRefusedWithAMessageNeverACrash) {
    std::string text(GetSampleModelJson());
    for (std::size_t cut = 0; cut + 1 < text.size(); cut += 37) {
        ModelLoadResult r = ParseModelJson(text.substr(0, cut), "cut");
        EXPECT_FALSE(r) << cut;
        EXPECT_EQ(r.error.rfind("cut: ", 0), 0u) << r.error;
    }
    // A number beyond the range of a double is refused, not thrown through the caller.
    ModelLoadResult huge = ParseModelJson("{\"version\": 1.5e309}", "huge");
    EXPECT_FALSE(huge);
    EXPECT_NE(huge.error.find("huge: number overflow"), std::string::npos) << huge.error;
    // Replace single characters with ones that keep the JSON well-formed but change meaning.
    std::size_t refused = 0, accepted = 0;
    for (std::size_t i = 0; i < text.size(); i += 11) {
        char c = text[i];
        if (c < '0' || c > '9')
            continue;
        std::string damaged = text;
        damaged[i] = c == '9' ? '0' : char(c + 1);
        ModelLoadResult r = ParseModelJson(damaged, "digit");
        if (r) {
            ++accepted;
            // Whatever was accepted saves and reloads to the same text.
            std::string once = FormatModelJson(*r.model);
            ModelLoadResult again = ParseModelJson(once);
            ASSERT_TRUE(again) << again.error;
            EXPECT_EQ(FormatModelJson(*again.model), once);
        } else {
            ++refused;
            EXPECT_FALSE(r.error.empty());
        }
    }
    EXPECT_GT(accepted + refused, 100u);
}

}  // namespace
