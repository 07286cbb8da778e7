// Load curve records: key layouts of the six families, reading and writing a curve, the
// point count guards, units, and the editor's type library versions.

#include <sqlite3.h>

#include <filesystem>

#include "components/interfaces/ICurveEditor.h"
#include "dialogs/curves/CurveEditContext.h"
#include "host/model/UnitSystem.h"
#include "host/settingsdb/Marlo.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/RecordInfo.h"
#include "tests/dialogs/curves/CurveTestSupport.h"

namespace {

namespace fs = std::filesystem;

struct KeyCase {
    std::uint32_t category, kind;
    const wchar_t *curveCount, *pointCount, *name, *type, *x, *y;
    std::int32_t defaultType;
    const wchar_t *xAxis, *yAxis;
};

// Curve 7, point 3, second id 12.
const KeyCase kKeyCases[] = {
    {0, 0, L"", L"LinearStress.Global.LoadCurve(7).Count",
     L"LinearStress.Global.LoadCurve(7).Name$LinearStress.Global.LoadCurve(7).Description$", L"",
     L"LinearStress.Global.LoadCurve(7).Point(3).Time", L"LinearStress.Global.LoadCurve(7).Point(3).Value", 0, L"Time",
     L"Multiplier"},
    {2, 0, L"Heat.Global.LoadCurve.Count", L"Heat.Global.LoadCurve(7).Point.Count", L"Heat.Global.LoadCurve(7).Name",
     L"Heat.Global.LoadCurve(7).Type", L"Heat.Global.LoadCurve(7).Point(3).Time", L"Heat.Global.LoadCurve(7).Point(3).Value",
     0, L"Time", L"Multiplier"},
    {3, 1, L"", L"Fluid.Egroup(12).Fan(7).Fancurve.Count", L"Fluid.Egroup(12).Fan(7).Fancurve.Description",
     L"Fluid.Egroup(12).Fan(7).Fancurve.Type", L"Fluid.Egroup(12).Fan(7).Fancurve.Point(3).Flowrate",
     L"Fluid.Egroup(12).Fan(7).Fancurve.Point(3).Pressure", 1, L"Flow Rate", L"Pressure"},
    {3, 2, L"", L"Fluid.Egroup(12).Fan(7).Fancurve.Count", L"Fluid.Egroup(12).Fan(7).Fancurve.Description",
     L"Fluid.Egroup(12).Fan(7).Fancurve.Type", L"Fluid.Egroup(12).Fan(7).Fancurve.Point(3).Velocity",
     L"Fluid.Egroup(12).Fan(7).Fancurve.Point(3).Pressure", 2, L"Velocity", L"Pressure"},
    {2, 3, L"", L"Heat.ConvectionCurve(7).Counter", L"Heat.ConvectionCurve(7).Description", L"",
     L"Heat.ConvectionCurve(7).TempDependent(3).Temperature", L"Heat.ConvectionCurve(7).TempDependent(3).Value", 0,
     L"Temperature", L"Coefficient"},
    {2, 4, L"", L"Heat.HeatGenerationCurve(7).Counter", L"Heat.HeatGenerationCurve(7).Description", L"",
     L"Heat.HeatGenerationCurve(7).TempDependent(3).Temperature", L"Heat.HeatGenerationCurve(7).TempDependent(3).Value",
     0, L"Temperature", L"Heat Generation"},
    {0, 5, L"Heat.Global.LoadCurve.Count", L"Heat.Global.LoadCurve(7).Point.Count", L"Heat.Global.LoadCurve(7).Name",
     L"Heat.Global.LoadCurve(7).Type", L"Heat.Global.LoadCurve(7).Point(3).Time", L"Heat.Global.LoadCurve(7).Point(3).Value",
     0, L"Time", L"Temp. Adjustment"},
    {4, 9, L"", L"Electro.Global.LoadCurve(7).Count",
     L"Electro.Global.LoadCurve(7).Name$Electro.Global.LoadCurve(7).Description$", L"",
     L"Electro.Global.LoadCurve(7).Point(3).Time", L"Electro.Global.LoadCurve(7).Point(3).Value", 0, L"Time",
     L"Multiplier"},
    {9, 0, L"", L"Global.LoadCurve(7).Count", L"Global.LoadCurve(7).Name$Global.LoadCurve(7).Description$", L"",
     L"Global.LoadCurve(7).Point(3).Time", L"Global.LoadCurve(7).Point(3).Value", 0, L"Time", L"Multiplier"},
};

TEST(CurveTypes, KeysAxisNamesAndUnitsOfEachFamily) {
    CurveEditContext context(nullptr);
    for (const KeyCase& c : kKeyCases) {
        SCOPED_TRACE(testing::Message() << "category " << c.category << " kind " << c.kind);
        context.SelectCurveType(c.category, c.kind);
        const _MarloCurveType& t = *context.CurveType();
        EXPECT_EQ(std::wstring(t.CurveCountKey(12).GetString()), c.curveCount);
        EXPECT_EQ(std::wstring(t.PointCountKey(7, 12).GetString()), c.pointCount);
        EXPECT_EQ(std::wstring(t.NameKey(7, 12).GetString()), c.name);
        EXPECT_EQ(std::wstring(t.TypeKey(7, 12).GetString()), c.type);
        EXPECT_EQ(std::wstring(t.XKey(7, 3, 12).GetString()), c.x);
        EXPECT_EQ(std::wstring(t.YKey(7, 3, 12).GetString()), c.y);
        EXPECT_EQ(t.DefaultType(7, 12), c.defaultType);
        EXPECT_EQ(std::wstring(t.XAxisName().GetString()), c.xAxis);
        EXPECT_EQ(std::wstring(t.YAxisName().GetString()), c.yAxis);
    }
}

TEST(CurveTypes, UnitsAndKinds) {
    const struct {
        std::uint32_t kind, storedKind, xUnit, yUnit;
    } cases[] = {{0, 0, 3, 0}, {1, 1, 64, 24}, {2, 2, 10, 24}, {3, 3, 35, 66}, {4, 4, 35, 71}, {5, 5, 3, 0}, {6, 0, 3, 0}};
    CurveEditContext context(nullptr);
    for (const auto& c : cases) {
        context.SelectCurveType(1, c.kind);
        EXPECT_EQ(context.CurveType()->Kind(), c.storedKind) << c.kind;
        EXPECT_EQ(context.CurveType()->XUnit(), c.xUnit) << c.kind;
        EXPECT_EQ(context.CurveType()->YUnit(), c.yUnit) << c.kind;
    }
}

class CurveStore : public ::testing::Test {
protected:
    void SetUp() override {
        dir = curvetest::ScratchFolder("store");
        path = (dir / "model.json").wstring();
    }
    // A context on the database of scenario 1, curve type selected.
    std::unique_ptr<CurveEditContext> Open(std::uint32_t category, std::uint32_t kind,
                                           const OrvDbRecord::DisplayUnitSystem* units = nullptr) {
        auto context = std::make_unique<CurveEditContext>(units);
        context->SelectCurveType(category, kind);
        EXPECT_TRUE(context->OpenDatabase(path.c_str(), 1)) << context->Status();
        return context;
    }
    Marlo::MarloGeneralAccess Raw() {
        Marlo::MarloGeneralAccess raw(false, nullptr, false, false);
        EXPECT_TRUE(raw.Open(path.c_str(), 1, false));
        return raw;
    }
    fs::path dir;
    std::wstring path;
};

TEST_F(CurveStore, ANewCurveIsEmptyWithTheDefaultType) {
    auto context = Open(3, 1);
    EXPECT_TRUE(context->ReadCurve(4, 2));
    EXPECT_TRUE(context->IsNew());
    EXPECT_EQ(context->PointCount(), 0u);
    EXPECT_EQ(context->Type(), 1);
    EXPECT_EQ(context->CurveId(), 4);
    EXPECT_EQ(context->SecondId(), 2);
}

TEST_F(CurveStore, WritesAndReadsBackTheSameCurve) {
    {
        auto context = Open(0, 0);
        context->ReadCurve(3, 0);
        context->SetName(L"Ramp");
        context->SetPoints({{0, 0}, {1, 0.5}, {2.5, 1}});
        ASSERT_TRUE(context->WriteCurve(0, 0)) << context->Status();
    }
    auto context = Open(0, 0);
    ASSERT_TRUE(context->ReadCurve(3, 0));
    EXPECT_FALSE(context->IsNew());
    EXPECT_EQ(std::wstring(context->Name().GetString()), L"Ramp");
    const auto points = context->GetPoints();
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[1].x, 1);
    EXPECT_EQ(points[1].y, 0.5);
    EXPECT_EQ(points[2].x, 2.5);
}

TEST_F(CurveStore, ANameKeyAbsentButDescriptionPresent) {
    {
        auto raw = Raw();
        raw.WriteInteger(L"LinearStress.Global.LoadCurve(2).Count", 1);
        raw.WriteString(L"LinearStress.Global.LoadCurve(2).Description", L"  From the old format ");
    }
    auto context = Open(0, 0);
    ASSERT_TRUE(context->ReadCurve(2, 0));
    EXPECT_EQ(std::wstring(context->Name().GetString()), L"From the old format");
    ASSERT_TRUE(context->WriteCurve(0, 0));
    auto raw = Raw();
    std::wstring name, description;
    EXPECT_TRUE(raw.ReadString(L"LinearStress.Global.LoadCurve(2).Name", &name));
    EXPECT_TRUE(raw.ReadString(L"LinearStress.Global.LoadCurve(2).Description", &description));
    EXPECT_EQ(name, L"From the old format");
    EXPECT_EQ(description, L"From the old format");
}

TEST_F(CurveStore, WritingThreePointsOverFiveRemovesPointsFourAndFive) {
    {
        auto context = Open(0, 0);
        context->ReadCurve(1, 0);
        context->SetPoints({{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}});
        ASSERT_TRUE(context->WriteCurve(0, 0));
    }
    {
        auto context = Open(0, 0);
        context->ReadCurve(1, 0);
        context->SetPoints({{10, 1}, {20, 2}, {30, 3}});
        ASSERT_TRUE(context->WriteCurve(0, 0));
    }
    auto raw = Raw();
    std::int32_t count = 0;
    double value = 0;
    EXPECT_TRUE(raw.ReadInteger(L"LinearStress.Global.LoadCurve(1).Count", &count));
    EXPECT_EQ(count, 3);
    EXPECT_TRUE(raw.ReadDouble(L"LinearStress.Global.LoadCurve(1).Point(3).Time", &value));
    EXPECT_EQ(value, 30);
    for (const wchar_t* gone : {L"LinearStress.Global.LoadCurve(1).Point(4).Time", L"LinearStress.Global.LoadCurve(1).Point(4).Value",
                                L"LinearStress.Global.LoadCurve(1).Point(5).Time", L"LinearStress.Global.LoadCurve(1).Point(5).Value"})
        EXPECT_FALSE(raw.ReadDouble(gone, &value)) << gone;
}

TEST_F(CurveStore, AcceptingNoPointsStoresACountOfZeroAndRemovesEveryPoint) {
    {
        auto context = Open(0, 0);
        context->ReadCurve(1, 0);
        context->SetPoints({{1, 1}, {2, 2}});
        ASSERT_TRUE(context->WriteCurve(0, 0));
    }
    auto context = Open(0, 0);
    context->ReadCurve(1, 0);
    context->SetPoints({});
    ASSERT_TRUE(context->WriteCurve(0, 0));
    auto raw = Raw();
    std::int32_t count = -1;
    double value = 0;
    EXPECT_TRUE(raw.ReadInteger(L"LinearStress.Global.LoadCurve(1).Count", &count));
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(raw.ReadDouble(L"LinearStress.Global.LoadCurve(1).Point(1).Time", &value));
    EXPECT_FALSE(raw.ReadDouble(L"LinearStress.Global.LoadCurve(1).Point(2).Value", &value));
}

TEST_F(CurveStore, ANewHeatCurveIncrementsTheCurveCountAndAnExistingOneDoesNot) {
    auto raw = Raw();
    raw.WriteInteger(L"Heat.Global.LoadCurve.Count", 4);
    {
        auto context = Open(2, 0);
        context->ReadCurve(5, 0);
        EXPECT_TRUE(context->IsNew());
        context->SetPoints({{0, 1}});
        ASSERT_TRUE(context->WriteCurve(0, 0));
    }
    std::int32_t curves = 0, type = -1;
    EXPECT_TRUE(raw.ReadInteger(L"Heat.Global.LoadCurve.Count", &curves));
    EXPECT_EQ(curves, 5);
    EXPECT_TRUE(raw.ReadInteger(L"Heat.Global.LoadCurve(5).Type", &type));
    EXPECT_EQ(type, 0);
    {
        auto context = Open(2, 0);
        context->ReadCurve(5, 0);
        EXPECT_FALSE(context->IsNew());
        context->SetPoints({{0, 1}, {1, 2}});
        ASSERT_TRUE(context->WriteCurve(0, 0));
    }
    EXPECT_TRUE(raw.ReadInteger(L"Heat.Global.LoadCurve.Count", &curves));
    EXPECT_EQ(curves, 5);
}

TEST_F(CurveStore, PointCountsOfADamagedDatabase) {
    auto raw = Raw();
    raw.WriteInteger(L"LinearStress.Global.LoadCurve(1).Count", -5);
    raw.WriteInteger(L"LinearStress.Global.LoadCurve(2).Count", 0x7FFFFFFF);
    raw.WriteInteger(L"LinearStress.Global.LoadCurve(3).Count", kMaxCurvePoints + 1);
    auto context = Open(0, 0);
    EXPECT_TRUE(context->ReadCurve(1, 0));  // a negative count is no points
    EXPECT_TRUE(context->IsNew());
    EXPECT_EQ(context->PointCount(), 0u);

    for (std::int32_t id : {2, 3}) {
        EXPECT_FALSE(context->ReadCurve(id, 0)) << id;
        EXPECT_EQ(context->Status(), Marlo::kStatusCountTooLarge);
        EXPECT_EQ(context->PointCount(), 0u);
        // Writing over it is refused before anything changes.
        context->SetName(L"Overwritten");
        EXPECT_FALSE(context->WriteCurve(0, 0));
        EXPECT_EQ(context->Status(), Marlo::kStatusCountTooLarge);
    }
    std::wstring name;
    EXPECT_FALSE(raw.ReadString(L"LinearStress.Global.LoadCurve(2).Name", &name));
}

// A curve is written whole or not at all: a write that fails at its third point (a trigger
// stands in for a full disk) leaves the old five points, count and name; a count the reader
// would refuse is refused before anything is stored.
TEST_F(CurveStore, AWriteThatFailsHalfwayOrIsTooLongLeavesTheOldCurve) {
    const std::vector<CurvePoint> old{{1, 10}, {2, 20}, {3, 30}, {4, 40}, {5, 50}};
    auto context = Open(0, 0);
    context->ReadCurve(1, 0);
    context->SetName(L"Old");
    context->SetPoints(old);
    ASSERT_TRUE(context->WriteCurve(0, 0)) << context->Status();
    fs::path file;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.path().extension() == ".sdb") file = entry.path();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.string().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TRIGGER fail BEFORE INSERT ON setting WHEN NEW.fold LIKE '%point(3).value' "
                           "BEGIN SELECT RAISE(ABORT, 'disk full'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    context->SetName(L"New");
    context->SetPoints({{7, 70}, {8, 80}, {9, 90}});
    EXPECT_FALSE(context->WriteCurve(0, 0));
    EXPECT_EQ(context->Status(), MarloStatus::kIoError);
    context->SetPoints(std::vector<CurvePoint>(std::size_t(kMaxCurvePoints) + 1));
    EXPECT_FALSE(context->WriteCurve(0, 0));
    EXPECT_EQ(context->Status(), Marlo::kStatusCountTooLarge);

    ASSERT_TRUE(context->ReadCurve(1, 0));
    EXPECT_EQ(std::wstring(context->Name().GetString()), L"Old");
    const auto points = context->GetPoints();
    ASSERT_EQ(points.size(), old.size());
    for (std::size_t i = 0; i < old.size(); ++i) EXPECT_EQ(points[i].y, old[i].y) << i;
}

// What the curve editor component hands back is copied out of only when it is a vector of
// as many point records as it says.
TEST(CurvePointArrays, OnlyAVectorOfPointRecordsOfTheGivenLengthIsAccepted) {
    CurveEditContext context(nullptr);
    context.SetPoints({{1, 2}, {3, 4}});
    EXPECT_EQ(CurveEditContext::CheckPointArray(context.PointArray(), 2), S_OK);
    EXPECT_EQ(CurveEditContext::CheckPointArray(context.PointArray(), 3), E_INVALIDARG);
    EXPECT_EQ(CurveEditContext::CheckPointArray(nullptr, 0), DISP_E_BADVARTYPE);
    SAFEARRAY* doubles = SafeArrayCreateVector(VT_R8, 0, 4);
    EXPECT_EQ(CurveEditContext::CheckPointArray(doubles, 4), DISP_E_BADVARTYPE);
    SafeArrayDestroy(doubles);
    CComPtr<IRecordInfo> info;
    ASSERT_EQ(SafeArrayGetRecordInfo(context.PointArray(), &info), S_OK);
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {1, 0}};
    SAFEARRAY* matrix = SafeArrayCreateEx(VT_RECORD, 2, bounds, info.p);
    ASSERT_NE(matrix, nullptr);
    EXPECT_EQ(CurveEditContext::CheckPointArray(matrix, 2), E_INVALIDARG);
    SafeArrayDestroy(matrix);
}

TEST_F(CurveStore, MissingPointKeysReadAsZero) {
    auto raw = Raw();
    raw.WriteInteger(L"LinearStress.Global.LoadCurve(1).Count", 2);
    raw.WriteDouble(L"LinearStress.Global.LoadCurve(1).Point(2).Time", 4);
    auto context = Open(0, 0);
    ASSERT_TRUE(context->ReadCurve(1, 0));
    const auto points = context->GetPoints();
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].x, 0);
    EXPECT_EQ(points[0].y, 0);
    EXPECT_EQ(points[1].x, 4);
}

TEST_F(CurveStore, TimesAreShownInDisplayUnitsAndStoredInModelUnits) {
    const OrvDbRecord::UnitSystem si(1, false), millis(3, false);
    const OrvDbRecord::DisplayUnitSystem display(si, millis);
    {
        auto context = Open(0, 0, &display);
        context->ReadCurve(1, 0);
        EXPECT_EQ(std::wstring(context->XAxisLabel().GetString()), L"Time (ms)");
        EXPECT_EQ(std::wstring(context->YAxisLabel().GetString()), L"Multiplier");
        context->SetPoints({{1500, 1}});  // 1500 ms
        ASSERT_TRUE(context->WriteCurve(0, 0));
    }
    auto raw = Raw();
    double stored = 0;
    EXPECT_TRUE(raw.ReadDouble(L"LinearStress.Global.LoadCurve(1).Point(1).Time", &stored));
    EXPECT_DOUBLE_EQ(stored, 1.5);
    auto context = Open(0, 0, &display);
    context->ReadCurve(1, 0);
    ASSERT_EQ(context->PointCount(), 1u);
    EXPECT_DOUBLE_EQ(context->GetPoints()[0].x, 1500);
}

TEST_F(CurveStore, FanCurvesLiveUnderTheirElementGroup) {
    {
        auto context = Open(3, 2);
        context->ReadCurve(4, 2);
        EXPECT_EQ(context->Type(), 2);
        context->SetName(L"Fan A");
        context->SetPoints({{1, 10}, {2, 5}});
        ASSERT_TRUE(context->WriteCurve(0, 0));  // the ids of the read
    }
    auto raw = Raw();
    double value = 0;
    std::int32_t type = 0;
    std::wstring name;
    EXPECT_TRUE(raw.ReadDouble(L"Fluid.Egroup(2).Fan(4).Fancurve.Point(2).Velocity", &value));
    EXPECT_EQ(value, 2);
    EXPECT_TRUE(raw.ReadDouble(L"Fluid.Egroup(2).Fan(4).Fancurve.Point(1).Pressure", &value));
    EXPECT_EQ(value, 10);
    EXPECT_TRUE(raw.ReadInteger(L"Fluid.Egroup(2).Fan(4).Fancurve.Type", &type));
    EXPECT_EQ(type, 2);
    EXPECT_TRUE(raw.ReadString(L"Fluid.Egroup(2).Fan(4).Fancurve.Description", &name));
    EXPECT_EQ(name, L"Fan A");
}

TEST_F(CurveStore, AStoredTypeReplacesTheDefault) {
    auto raw = Raw();
    raw.WriteInteger(L"Heat.Global.LoadCurve(3).Point.Count", 1);
    raw.WriteInteger(L"Heat.Global.LoadCurve(3).Type", 7);
    auto context = Open(2, 0);
    ASSERT_TRUE(context->ReadCurve(3, 0));
    EXPECT_EQ(context->Type(), 7);
}

TEST_F(CurveStore, WithoutACurveTypeOrAConnectionNothingHappens) {
    CurveEditContext context(nullptr);
    EXPECT_FALSE(context.ReadCurve(1, 0));
    EXPECT_EQ(context.Status(), Marlo::kStatusNullArgument);
    context.SelectCurveType(0, 0);
    EXPECT_TRUE(context.ReadCurve(1, 0));  // nothing open: reads find nothing, a new curve
    EXPECT_TRUE(context.IsNew());
    EXPECT_FALSE(context.WriteCurve(1, 0));
    EXPECT_EQ(context.Status(), Marlo::kStatusNotOpen);
}

TEST(TypeLibVersions, TheHighestVersionReadsHexadecimally) {
    const GUID lib = orv::com::GuidLiteral(L"{6B0D8A52-3C1E-4F7A-9D2B-5E8C1A0F4B63}");
    WORD major = 0, minor = 0;
    EXPECT_FALSE(FindHighestTypeLibVersion(lib, &major, &minor));
    orv::com::RegisterTypeLib(lib, 9, 0, L"nine");
    orv::com::RegisterTypeLib(lib, 10, 0, L"ten");  // registered as "a.0"
    orv::com::RegisterTypeLib(lib, 9, 12, L"nine point twelve");
    ASSERT_TRUE(FindHighestTypeLibVersion(lib, &major, &minor));
    EXPECT_EQ(major, 10);
    EXPECT_EQ(minor, 0);
    orv::com::UnregisterTypeLib(lib, 10, 0);
    ASSERT_TRUE(FindHighestTypeLibVersion(lib, &major, &minor));
    EXPECT_EQ(major, 9);
    EXPECT_EQ(minor, 12);
    orv::com::UnregisterTypeLib(lib, 9, 0);
    orv::com::UnregisterTypeLib(lib, 9, 12);
}

TEST(TypeLibVersions, ThePointArrayUsesTheEditorsTypeLibrary) {
    CurveEditContext context(nullptr);
    SAFEARRAY* points = context.PointArray();
    ASSERT_NE(points, nullptr);
    VARTYPE vt = VT_EMPTY;
    EXPECT_EQ(SafeArrayGetVartype(points, &vt), S_OK);
    EXPECT_EQ(vt, VT_RECORD);
    EXPECT_EQ(SafeArrayGetElemsize(points), 16u);
    LONG lower = -1;
    EXPECT_EQ(SafeArrayGetLBound(points, 1, &lower), S_OK);
    EXPECT_EQ(lower, 0);
}

TEST(TypeLibVersions, WithoutTheTypeLibraryTheContextCannotBeMade) {
    orv::com::UnregisterTypeLib(LIBID_CurveEditorLib, kCurveEditorLibMajor, kCurveEditorLibMinor);
    EXPECT_THROW(CurveEditContext(nullptr), _com_error);
    RegisterOrvComponents();
    EXPECT_NO_THROW(CurveEditContext(nullptr));
}

}  // namespace
