// The settings database access layer: status codes, the shared connection registry, typed
// reads and writes, key macros and the limits.

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

#include "dialogs/curves/MarloGeneralAccess.h"
#include "dialogs/curves/MarloLowLevel.h"
#include "host/settingsdb/Marlo.h"
#include "tests/dialogs/curves/CurveTestSupport.h"

namespace {

using namespace Marlo;
namespace fs = std::filesystem;

::testing::Environment* const kEnvironment = ::testing::AddGlobalTestEnvironment(new curvetest::CurveEnvironment);

std::wstring W(const fs::path& p) { return p.wstring(); }

TEST(ConnectionRegistry, IsPublishedInTheProcessEnvironment) {
    const std::string name = ConnectionRegistry::VariableName();
    EXPECT_EQ(name, "MarloConnectionOpen_" + std::to_string(::getpid()));
    const char* value = std::getenv(name.c_str());
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(std::string(value).rfind("0x", 0), 0u) << value;
    ASSERT_NE(ConnectionRegistry::Find(), nullptr);
    EXPECT_GE(ConnectionRegistry::Users(), 1u);

    // Another module registering joins the same block; unregistering leaves it in place.
    const std::uint32_t users = ConnectionRegistry::Users();
    ConnectionRegistry::Register();
    EXPECT_EQ(ConnectionRegistry::Users(), users + 1);
    ConnectionRegistry::Unregister();
    EXPECT_EQ(ConnectionRegistry::Users(), users);
    EXPECT_NE(std::getenv(name.c_str()), nullptr);
}

// The variable is input: an address this process did not create as a block is never used.
TEST(ConnectionRegistry, AForgedAddressInTheVariableIsIgnored) {
    const std::string name = ConnectionRegistry::VariableName();
    const std::string real = std::getenv(name.c_str());
    ConnectionRegistry::Block* block = ConnectionRegistry::Find();
    ASSERT_NE(block, nullptr);
    char forged[32];
    std::snprintf(forged, sizeof forged, "%#llx", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(block) + 8));
    for (const char* value : {static_cast<const char*>(forged), "0x10", "0xdeadbeef0"}) {
        ::setenv(name.c_str(), value, 1);
        EXPECT_EQ(ConnectionRegistry::Find(), nullptr) << value;
        EXPECT_EQ(ConnectionRegistry::Users(), 0u) << value;
    }
    ::setenv(name.c_str(), real.c_str(), 1);
    EXPECT_EQ(ConnectionRegistry::Find(), block);
}

TEST(ConnectionRegistry, TwoSpellingsOfOnePathShareOneConnection) {
    const fs::path dir = curvetest::ScratchFolder("db");
    fs::create_directories(dir / "sub");
    fs::create_directory_symlink(dir, dir / "link");
    const std::size_t before = ConnectionRegistry::RecordCount();

    MarloLowLevel a, b, c;
    ASSERT_TRUE(a.Open(W(dir / "settings.sdb").c_str(), 0, false)) << a.Status();
    ASSERT_TRUE(b.Open(W(dir / "sub" / ".." / "." / "settings.sdb").c_str(), 0, false)) << b.Status();
    ASSERT_TRUE(c.Open(W(dir / "link" / "settings.sdb").c_str(), 0, false)) << c.Status();
    EXPECT_EQ(a.Connection(), b.Connection());
    EXPECT_EQ(a.Connection(), c.Connection());
    EXPECT_EQ(a.Connection()->references, 3u);
    EXPECT_EQ(ConnectionRegistry::RecordCount(), before + 1);
    EXPECT_EQ(a.Connection()->path, W(dir / "settings.sdb"));

    EXPECT_TRUE(b.Close());
    EXPECT_EQ(a.Connection()->references, 2u);
    c.Close();
    a.Close();
    EXPECT_EQ(ConnectionRegistry::RecordCount(), before);
}

TEST(ConnectionRegistry, ThreadsOpeningOneDatabaseShareOneRecord) {
    const fs::path dir = curvetest::ScratchFolder("threads");
    const std::wstring path = W(dir / "shared.sdb");
    const std::size_t before = ConnectionRegistry::RecordCount();
    MarloLowLevel keeper;
    ASSERT_TRUE(keeper.Open(path.c_str(), 0, false));
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 50; ++i) {
                MarloLowLevel db;
                if (!db.Open(path.c_str(), 0, false) || db.Connection() != keeper.Connection()) ++failures;
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(keeper.Connection()->references, 1u);
    EXPECT_EQ(ConnectionRegistry::RecordCount(), before + 1);
}

TEST(ConnectionRegistry, PathsDifferingOnlyInCaseAreTwoDatabasesOnACaseSensitiveFileSystem) {
    const fs::path dir = curvetest::ScratchFolder("case");
    MarloGeneralAccess lower, upper;
    ASSERT_TRUE(lower.Open(W(dir / "curves.sdb").c_str(), 0, false));
    ASSERT_TRUE(upper.Open(W(dir / "CURVES.sdb").c_str(), 0, false));
    if (fs::equivalent(dir / "curves.sdb", dir / "CURVES.sdb")) GTEST_SKIP() << "the file system ignores case";
    EXPECT_NE(lower.Connection(), upper.Connection());
    ASSERT_TRUE(lower.WriteInteger(L"Global.Value", 1));
    ASSERT_TRUE(upper.WriteInteger(L"Global.Value", 2));
    std::int32_t value = 0;
    EXPECT_TRUE(lower.ReadInteger(L"Global.Value", &value));
    EXPECT_EQ(value, 1);
    EXPECT_TRUE(upper.ReadInteger(L"Global.Value", &value));
    EXPECT_EQ(value, 2);
}

TEST(MarloLowLevel, StatusCodes) {
    const fs::path dir = curvetest::ScratchFolder("status");
    MarloLowLevel db;
    EXPECT_FALSE(db.Open(nullptr, 0, false));
    EXPECT_EQ(db.Status(), kStatusNullArgument);
    wchar_t key[kKeyBufferChars] = L"Global.X";
    std::int32_t value = 0;
    EXPECT_FALSE(db.ModelInteger(0, key, &value));
    EXPECT_EQ(db.Status(), kStatusNotOpen);
    EXPECT_TRUE(db.Close());  // closing a closed object stores 0
    EXPECT_EQ(db.Status(), 0);

    ASSERT_TRUE(db.Open(W(dir / "s.sdb").c_str(), 0, false));
    EXPECT_FALSE(db.Open(W(dir / "s.sdb").c_str(), 0, false));
    EXPECT_EQ(db.Status(), kStatusAlreadyOpen);
    EXPECT_FALSE(db.ModelInteger(0, nullptr, &value));
    EXPECT_EQ(db.Status(), kStatusNullArgument);
    wchar_t text[8] = L"";
    EXPECT_FALSE(db.ModelString(0, key, text, -1));
    EXPECT_EQ(db.Status(), kStatusNegativeLength);
    // Library statuses arrive unchanged.
    EXPECT_FALSE(db.ModelString(0, key, text, 0));
    EXPECT_EQ(db.Status(), MarloStatus::kBadLength);
    // ModelUtility returns the library's result and stores 0 for a non-negative one.
    EXPECT_EQ(db.ModelUtility(kMarloUtilityRemove, L"Global.Missing"), 0);
    EXPECT_EQ(db.Status(), 0);
}

TEST(MarloLowLevel, ThrowsTheStatusWhenAsked) {
    MarloLowLevel db(true);
    try {
        db.Open(nullptr, 0, false);
        FAIL() << "no exception";
    } catch (const MarloLowLevel::Exception& e) {
        EXPECT_EQ(e.Status(), kStatusNullArgument);
    }
    EXPECT_EQ(db.Status(), kStatusNullArgument);
}

TEST(MarloLowLevel, ReadOnlyConnectionsRefuseWrites) {
    const fs::path dir = curvetest::ScratchFolder("ro");
    { MarloGeneralAccess create; ASSERT_TRUE(create.Open(W(dir / "r.sdb").c_str(), 0, false)); }
    MarloGeneralAccess db;
    ASSERT_TRUE(db.Open(W(dir / "r.sdb").c_str(), 0, true));
    EXPECT_FALSE(db.WriteInteger(L"Global.X", 1));
    EXPECT_EQ(db.Status(), MarloStatus::kReadOnly);
}

TEST(MarloLowLevel, OpensTheDatabaseOfADesignScenario) {
    const fs::path dir = curvetest::ScratchFolder("scenario");
    MarloGeneralAccess db;
    ASSERT_TRUE(db.Open(W(dir / "bracket.json").c_str(), 3, false)) << db.Status();
    EXPECT_EQ(db.Connection()->path, W(dir / "bracket.mod" / "3"));
    ASSERT_TRUE(db.WriteInteger(L"Global.X", 5));
    EXPECT_TRUE(fs::exists(dir / "bracket.mod" / "3.sdb"));

    MarloLowLevel bad;
    EXPECT_FALSE(bad.Open(L"", 3, false));
    EXPECT_EQ(bad.Status(), kStatusNoScenarioFolder);
    EXPECT_FALSE(bad.IsOpen());
}

TEST(MarloLowLevel, CopiesShareTheConnection) {
    const fs::path dir = curvetest::ScratchFolder("copy");
    MarloLowLevel original;
    ASSERT_TRUE(original.Open(W(dir / "c.sdb").c_str(), 0, false));
    {
        MarloLowLevel copy(original);
        EXPECT_EQ(copy.Connection(), original.Connection());
        EXPECT_EQ(original.Connection()->references, 2u);
        MarloLowLevel assigned;
        assigned = copy;
        EXPECT_EQ(original.Connection()->references, 3u);
    }
    EXPECT_EQ(original.Connection()->references, 1u);
    MarloGeneralAccess shared(false, original.Connection());
    EXPECT_TRUE(shared.WriteInteger(L"Global.X", 7));
    EXPECT_EQ(original.Connection()->references, 2u);
}

class GeneralAccess : public ::testing::Test {
protected:
    void SetUp() override {
        dir = curvetest::ScratchFolder("access");
        ASSERT_TRUE(db.Open(W(dir / "a.sdb").c_str(), 0, false)) << db.Status();
    }
    fs::path dir;
    MarloGeneralAccess db;
};

TEST_F(GeneralAccess, TypedValuesRoundTrip) {
    ASSERT_TRUE(db.WriteInteger(L"Global.Int", -42));
    ASSERT_TRUE(db.WriteDouble(L"Global.Double", 0.1));
    ASSERT_TRUE(db.WriteString(L"Global.Text", L"  padded  "));
    std::int32_t i = 0;
    double d = 0;
    std::wstring s;
    EXPECT_TRUE(db.ReadInteger(L"global.int", &i));  // keys ignore case
    EXPECT_EQ(i, -42);
    EXPECT_TRUE(db.ReadDouble(L"Global.Double", &d));
    EXPECT_EQ(d, 0.1);
    EXPECT_TRUE(db.ReadString(L"Global.Text", &s));
    EXPECT_EQ(s, L"padded");
    db.SetTrimStrings(false);
    EXPECT_TRUE(db.ReadString(L"Global.Text", &s));
    EXPECT_EQ(s, L"  padded  ");
}

TEST_F(GeneralAccess, AMissingKeyReadsFalseWithoutAnExceptionEvenWhenThrowing) {
    ASSERT_TRUE(db.WriteInteger(L"Global.B", 1));
    db.SetThrowOnError(true);
    std::int32_t value = 99;
    std::wstring text = L"untouched";
    EXPECT_FALSE(db.ReadInteger(L"Global.A", &value));  // the store matched Global.B
    EXPECT_FALSE(db.ReadString(L"Global.A", &text));
    EXPECT_EQ(text, L"untouched");
    EXPECT_TRUE(db.ThrowOnError());
}

TEST_F(GeneralAccess, ADatabaseErrorThrowsOnlyWhenTheObjectAsksForIt) {
    ASSERT_TRUE(db.WriteString(L"Global.Text", L"abc"));
    std::int32_t value = 0;
    EXPECT_FALSE(db.ReadInteger(L"Global.Text", &value));  // holds a string
    EXPECT_EQ(db.Status(), MarloStatus::kWrongType);
    db.SetThrowOnError(true);
    EXPECT_THROW(db.ReadInteger(L"Global.Text", &value), MarloLowLevel::Exception);
    EXPECT_TRUE(db.ThrowOnError());
}

TEST_F(GeneralAccess, StringsAreStoredUpTo4095Characters) {
    const std::wstring long5000(5000, L'x');
    ASSERT_TRUE(db.WriteString(L"Global.Long", long5000));
    std::wstring back;
    ASSERT_TRUE(db.ReadString(L"Global.Long", &back));
    EXPECT_EQ(back, std::wstring(4095, L'x'));
    const std::wstring exact(4095, L'y');
    ASSERT_TRUE(db.WriteString(L"Global.Exact", exact));
    ASSERT_TRUE(db.ReadString(L"Global.Exact", &back));
    EXPECT_EQ(back, exact);
}

TEST_F(GeneralAccess, KeysLongerThan100CharactersAreRefused) {
    const std::wstring key100 = L"Global." + std::wstring(93, L'k');
    ASSERT_EQ(key100.size(), 100u);
    EXPECT_TRUE(db.WriteInteger(key100, 1));
    std::int32_t value = 0;
    EXPECT_TRUE(db.ReadInteger(key100, &value));
    EXPECT_EQ(value, 1);

    const std::wstring key101 = key100 + L"k";
    EXPECT_FALSE(db.WriteInteger(key101, 2));
    EXPECT_EQ(db.Status(), kStatusKeyTooLong);
    EXPECT_FALSE(db.ReadInteger(key101, &value));
    EXPECT_EQ(db.RemoveKey(key101), kStatusKeyTooLong);
    // Nothing was written under the cut key either.
    EXPECT_TRUE(db.ReadInteger(key100, &value));
    EXPECT_EQ(value, 1);
}

TEST_F(GeneralAccess, RemoveKey) {
    ASSERT_TRUE(db.WriteDouble(L"Global.Gone", 1.5));
    EXPECT_EQ(db.RemoveKey(L"Global.Gone"), 1);
    double d = 0;
    EXPECT_FALSE(db.ReadDouble(L"Global.Gone", &d));
    EXPECT_EQ(db.RemoveKey(L"Global.Gone"), 0);
}

TEST_F(GeneralAccess, KeyMacros) {
    struct Case {
        const wchar_t* key;
        const wchar_t* expanded;
    };
    ASSERT_TRUE(db.WriteInteger(L"Global.AnalysisType.Specified", 2));
    const Case cases[] = {
        {L"%(ANALYSIS)Global.LoadCurve.Count", L"Heat.Global.LoadCurve.Count"},
        {L"%(ANALYSIS_GLOBAL)LoadCurve.Count", L"Heat.Global.LoadCurve.Count"},
        {L"%%(ANALYSIS)Global.X", L"%(ANALYSIS)Global.X"},
        {L"%(UNKNOWN)Global.X", L"%(UNKNOWN)Global.X"},
        {L"%(ANALYSIS", L"%(ANALYSIS"},
        {L"A%(ANALYSIS)B%(ANALYSIS)", L"AHeat.BHeat."},
        {L"100%% done", L"100% done"},
        {L"plain", L"plain"},
    };
    for (const Case& c : cases) EXPECT_EQ(db.ExpandKey(c.key), c.expanded) << c.key;

    // Writes go to the expanded key; an escaped macro reaches the store with one percent sign.
    ASSERT_TRUE(db.WriteInteger(L"%(ANALYSIS)Global.LoadCurve.Count", 4));
    ASSERT_TRUE(db.WriteInteger(L"%%(ANALYSIS)Global.X", 9));
    MarloGeneralAccess raw(false, db.Connection(), true, false);
    std::int32_t value = 0;
    EXPECT_TRUE(raw.ReadInteger(L"Heat.Global.LoadCurve.Count", &value));
    EXPECT_EQ(value, 4);
    EXPECT_TRUE(raw.ReadInteger(L"%(ANALYSIS)Global.X", &value));
    EXPECT_EQ(value, 9);
}

TEST_F(GeneralAccess, TheAnalysisMacroFollowsTheStoredAnalysisType) {
    const struct {
        std::int32_t type;
        const wchar_t* prefix;
    } cases[] = {{1, L"LinearStress."}, {2, L"Heat."}, {4, L"Electro."}, {5, L"Duravel."},
                 {6, L"Fluid."},        {3, L""},      {0, L""},         {-1, L""}};
    for (const auto& c : cases) {
        ASSERT_TRUE(db.WriteInteger(L"Global.AnalysisType.Specified", c.type));
        EXPECT_EQ(db.ExpandKey(L"%(ANALYSIS)"), c.prefix) << c.type;
    }
    EXPECT_EQ(db.RemoveKey(L"Global.AnalysisType.Specified"), 1);
    EXPECT_EQ(db.ExpandKey(L"%(ANALYSIS)X"), L"X");
}

TEST(AnalysisPrefix, ByCategory) {
    const wchar_t* expected[] = {L"LinearStress.", L"Duravel.", L"Heat.", L"Fluid.", L"Electro.", L"Mass."};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(AnalysisPrefix(i), expected[i]);
    EXPECT_EQ(AnalysisPrefix(-1), L"");
    EXPECT_EQ(AnalysisPrefix(6), L"");
}

}  // namespace
