// DbShape: the rewriting of a function's text between unit systems, storing it back, the
// compatibility rule and the model file.

#include <filesystem>

#include <gtest/gtest.h>

#include "host/model/DbShape.h"
#include "host/model/ModelFile.h"

using namespace OrvDbRecord;

namespace {

const std::string kLength[3] = {"*2", "*3", "*4"};

UnitSystem Standard(std::uint32_t type) { return UnitSystem(type); }

}  // namespace

TEST(DbShapeTextTest, OnlyWholeVariablesAreReplaced) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"r", "(r*2)"},
        {"R+S+T", "(R*2)+(S*3)+(T*4)"},
        {"SQRT(r)", "SQRT((r*2))"},
        {"ARCTAN(s)+COS(t)-ABS(r)", "ARCTAN((s*3))+COS((t*4))-ABS((r*2))"},
        {"sqr(rst)", "sqr(rst)"},
        {"rs+r_1+r2+_r", "rs+r_1+r2+_r"},
        {"1e5*r", "1e5*(r*2)"},
        {"1E+5*t-2.5e-3*s", "1E+5*(t*4)-2.5e-3*(s*3)"},
        {"2,5E3*t", "2,5E3*(t*4)"},
        {".5*r", ".5*(r*2)"},
        {"3e*r", "3e*(r*2)"},  // not a number exponent: the "e" stays a name, untouched
        {"r^2^s", "(r*2)^2^(s*3)"},
        {"-r", "-(r*2)"},
        {"PI()*r", "PI()*(r*2)"},
        {"r\xE2\x88\x92" "1", "(r*2)\xE2\x88\x92" "1"},  // U+2212 MINUS SIGN after r
        {"\xC3\xA9r", "\xC3\xA9(r*2)"},                   // bytes of other letters are not names
        {"r\tt\r\ns", "(r*2)\t(t*4)\r\n(s*3)"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(SubstituteRstVariables(c.in, kLength), c.out) << c.in;
    const std::string onlyR[3] = {"*2", "", ""};
    EXPECT_EQ(SubstituteRstVariables("r*s*t", onlyR), "(r*2)*s*t");
}

TEST(DbShapeTextTest, ShownInTheWrittenSystemAsWritten) {
    DbShape shape(nullptr, 1, 1);
    shape.SetShape("100*(1 - (r/2)^2)", 1, Standard(UnitSystem::kTypeSI));
    EXPECT_EQ(shape.GetShape(Standard(UnitSystem::kTypeSI), RSTVariableUnitsInfo(1, 24)), "100*(1 - (r/2)^2)");
    EXPECT_EQ(shape.GetExpression(), "100*(1 - (r/2)^2)");
    EXPECT_EQ(shape.GetCoordinateSystemType(), 1u);
}

TEST(DbShapeTextTest, LengthsAndValueAreConvertedAnglesAreNot) {
    struct Case {
        std::uint32_t type;
        const char* expected;  // "r+s+t" written in SI, shown in mm-t-s (mm, N)
    };
    const Case cases[] = {
        {0, "1e-06*((r*0.001)+(s*0.001)+(t*0.001))"},
        {2, "1e-06*((r*0.001)+(s*0.001)+(t*0.001))"},
        {1, "1e-06*((r*0.001)+s+(t*0.001))"},
        {3, "1e-06*((r*0.001)+s+t)"},
    };
    for (const Case& c : cases) {
        DbShape shape(nullptr, 1, 1);
        shape.SetShape("r+s+t", c.type, Standard(UnitSystem::kTypeSI));
        EXPECT_EQ(shape.GetShape(Standard(UnitSystem::kTypeMmTonneSecond), RSTVariableUnitsInfo(c.type, 24)), c.expected)
            << c.type;
    }
    // Metres to inches and psi to pascals, with the shortest factors that read back exactly.
    DbShape shape(nullptr, 1, 1);
    shape.SetShape("r", 0, Standard(UnitSystem::kTypeInchPoundSecond));
    const std::string si = shape.GetShape(Standard(UnitSystem::kTypeSI), RSTVariableUnitsInfo(0, 24));
    EXPECT_EQ(si.find("(r*39.37007874015748)"), si.find('(') + 1) << si;
    EXPECT_EQ(si.rfind("6894.757293168", 0), 0u) << si;
}

TEST(DbShapeTextTest, ValueUnitsWithAnOffsetAndUnknownCodes) {
    DbShape shape(nullptr, 1, 1);
    shape.SetShape("r", 0, Standard(UnitSystem::kTypeSI));
    // A temperature reading from degC to degF: scale and offset.
    EXPECT_EQ(shape.GetShape(Standard(UnitSystem::kTypeInchPoundSecond), RSTVariableUnitsInfo(0, 35)),
              "1.8*((r*0.0254))+32");
    // An unknown value code converts the variables only.
    EXPECT_EQ(shape.GetShape(Standard(UnitSystem::kTypeMmTonneSecond), RSTVariableUnitsInfo(0, 9999)), "(r*0.001)");
    // A dimensionless value: the variables only.
    EXPECT_EQ(shape.GetShape(Standard(UnitSystem::kTypeMmTonneSecond), RSTVariableUnitsInfo(0, 0)), "(r*0.001)");
}

TEST(DbShapeTextTest, StoringTheShownTextBackKeepsTheFirstWriting) {
    DbShape shape(nullptr, 1, 1);
    const UnitSystem si = Standard(UnitSystem::kTypeSI), ips = Standard(UnitSystem::kTypeInchPoundSecond);
    shape.SetShape("1000*(1-r/0.02)", 1, si);
    const std::string shown = shape.GetShape(ips, RSTVariableUnitsInfo(1, 24));
    ASSERT_NE(shown, "1000*(1-r/0.02)");
    // Shown and stored back any number of times: the text does not grow.
    for (int i = 0; i < 3; ++i) shape.SetShape(shape.GetShape(ips, RSTVariableUnitsInfo(1, 24)), 1, ips);
    EXPECT_EQ(shape.GetExpression(), "1000*(1-r/0.02)");
    EXPECT_EQ(shape.GetExpressionUnitSystem(), si);
    EXPECT_EQ(shape.GetShape(ips, RSTVariableUnitsInfo(1, 24)), shown);
    // Between types whose variables have the same units only the type changes.
    DbShape cartesian(nullptr, 2, 1);
    cartesian.SetShape("r*s", 0, si);
    cartesian.SetShape(cartesian.GetShape(ips, RSTVariableUnitsInfo(0, 24)), 2, ips);
    EXPECT_EQ(cartesian.GetExpression(), "r*s");
    EXPECT_EQ(cartesian.GetCoordinateSystemType(), 2u);
    // Cylindrical to spherical: t becomes an angle, so the shown text is stored as typed.
    shape.SetShape(shown, 3, ips);
    EXPECT_EQ(shape.GetExpression(), shown);
    EXPECT_EQ(shape.GetExpressionUnitSystem(), ips);
    EXPECT_EQ(shape.GetCoordinateSystemType(), 3u);
    // An edited text is stored as typed, in the system it was typed in.
    shape.SetShape("2*r", 3, si);
    EXPECT_EQ(shape.GetExpression(), "2*r");
    EXPECT_EQ(shape.GetExpressionUnitSystem(), si);
}

TEST(DbShapeTest, CompatibilityWithCoordinateSystemTypes) {
    // Rows: the function's type; columns: the asked type 0 to 3 and an unknown 7.
    const bool expected[5][5] = {
        {true, false, true, false, false},
        {false, true, false, false, false},
        {true, false, true, false, false},
        {false, false, false, true, false},
        {false, false, false, false, true},
    };
    const std::uint32_t types[5] = {0, 1, 2, 3, 7};
    for (int f = 0; f < 5; ++f) {
        DbShape shape(nullptr, 1, 1);
        shape.SetShape("r", types[f], Standard(UnitSystem::kTypeSI));
        for (int a = 0; a < 5; ++a)
            EXPECT_EQ(shape.IsCompatibleWithCoordinateSystemType(types[a]), expected[f][a]) << types[f] << " in " << types[a];
    }
    EXPECT_TRUE(DbShape::HaveSameVariableUnits(0, 2));
    EXPECT_FALSE(DbShape::HaveSameVariableUnits(1, 3));
    EXPECT_FALSE(DbShape::HaveSameVariableUnits(0, 1));
    EXPECT_TRUE(DbShape::HaveSameVariableUnits(3, 3));
}

TEST(DbShapeTest, TheModelFileKeepsTextTypeAndSystem) {
    auto model = LoadSampleModel();
    ASSERT_TRUE(model);
    DbDesignScenario* scenario = model->GetFirstScenario();
    DbShape& shape = scenario->CreateShape();
    shape.SetDescription("Written in inches");
    shape.SetShape("SQR(r)*COS(s)+t", 1, Standard(UnitSystem::kTypeInchPoundSecond));
    const std::uint32_t id = shape.Id();
    const char* root = std::getenv("ORV_TEST_TMP");
    const std::filesystem::path dir =
        (root && *root ? std::filesystem::path(root) : std::filesystem::temp_directory_path()) / "dbshape";
    std::filesystem::create_directories(dir);
    const std::filesystem::path file = dir / "shapes.json";
    std::string error;
    ASSERT_TRUE(SaveModelFile(*model, file.wstring(), &error)) << error;
    ModelLoadResult loaded = LoadModelFile(file.wstring());
    ASSERT_TRUE(loaded.model) << loaded.error;
    const DbShape* back = loaded.model->GetFirstScenario()->GetShapes().Find(id);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->GetDescription(), "Written in inches");
    EXPECT_EQ(back->GetExpression(), "SQR(r)*COS(s)+t");
    EXPECT_EQ(back->GetCoordinateSystemType(), 1u);
    EXPECT_EQ(back->GetExpressionUnitSystem(), Standard(UnitSystem::kTypeInchPoundSecond));
    EXPECT_EQ(back->GetShape(scenario->GetModelUnitSystem(), RSTVariableUnitsInfo(1, 24)),
              shape.GetShape(scenario->GetModelUnitSystem(), RSTVariableUnitsInfo(1, 24)));
}
