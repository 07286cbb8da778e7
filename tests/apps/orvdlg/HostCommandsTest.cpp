#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <sstream>

#include "apps/orvdlg/HostCommands.h"
#include "host/model/DbModel.h"

namespace {

using orvdlg::FieldValue;
using orvdlg::HostCommands;
using orv::script::Token;

FieldValue F64(double v) {
    FieldValue f;
    f.type = FieldValue::Type::F64;
    f.f64 = v;
    return f;
}
FieldValue Word(FieldValue::Type type, std::uint32_t bits) {
    FieldValue f;
    f.type = type;
    f.bits = bits;
    return f;
}
FieldValue Text(std::string text) {
    FieldValue f;
    f.type = FieldValue::Type::Text;
    f.text = std::move(text);
    return f;
}
Token Bare(std::string text) { return Token{std::move(text), false, 1}; }
Token Quoted(std::string text) { return Token{std::move(text), true, 1}; }

enum class Outcome { Holds, Fails, BadValue };

struct FieldCase {
    const char* name;
    FieldValue actual;
    Token expected;
    Outcome outcome;
    const char* got = "";  // what a failure reports
};

TEST(HostCommands, FieldComparisonsFollowTheirTypesRules) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const FieldCase cases[] = {
        {"f64 exact", F64(500), Bare("500"), Outcome::Holds},
        {"f64 exact differs in the last bit", F64(0.1 + 0.2), Bare("0.3"), Outcome::Fails, "0.30000000000000004"},
        {"f64 tolerant within 1e-12", F64(0.1 + 0.2), Bare("~0.3"), Outcome::Holds},
        {"f64 tolerant outside 1e-12", F64(1.000000000002), Bare("~1"), Outcome::Fails, "1.000000000002"},
        {"f64 tolerant zero is exact", F64(1e-300), Bare("~0"), Outcome::Fails, "1e-300"},
        {"f64 negative", F64(-2.5e-3), Bare("-2.5e-3"), Outcome::Holds},
        {"f64 nan holds for nan", F64(nan), Bare("nan"), Outcome::Holds},
        {"f64 nan fails for a number", F64(1), Bare("nan"), Outcome::Fails, "1"},
        {"f64 a number never equals nan", F64(nan), Bare("0"), Outcome::Fails, "nan"},
        {"f64 quoted value", F64(1), Quoted("1"), Outcome::BadValue},
        {"f64 word", F64(1), Bare("one"), Outcome::BadValue},
        {"f64 tilde alone", F64(1), Bare("~"), Outcome::BadValue},
        {"i32 negative", Word(FieldValue::Type::I32, 0xFFFFFFFFu), Bare("-1"), Outcome::Holds},
        {"i32 minimum", Word(FieldValue::Type::I32, 0x80000000u), Bare("-2147483648"), Outcome::Holds},
        {"i32 hex pattern", Word(FieldValue::Type::I32, 0xAAAAAAAAu), Bare("0xAAAAAAAA"), Outcome::Holds},
        {"i32 differs", Word(FieldValue::Type::I32, 7), Bare("8"), Outcome::Fails, "7"},
        {"i32 reports signed", Word(FieldValue::Type::I32, 0xFFFFFFFEu), Bare("1"), Outcome::Fails, "-2"},
        {"i32 above range", Word(FieldValue::Type::I32, 0), Bare("2147483648"), Outcome::BadValue},
        {"i32 below range", Word(FieldValue::Type::I32, 0), Bare("-2147483649"), Outcome::BadValue},
        {"u32 maximum", Word(FieldValue::Type::U32, 0xFFFFFFFFu), Bare("4294967295"), Outcome::Holds},
        {"u32 sentinel in hex", Word(FieldValue::Type::U32, 0xFFFFFC19u), Bare("0xFFFFFC19"), Outcome::Holds},
        {"u32 negative", Word(FieldValue::Type::U32, 0xFFFFFFFFu), Bare("-1"), Outcome::BadValue},
        {"u32 above range", Word(FieldValue::Type::U32, 0), Bare("4294967296"), Outcome::BadValue},
        {"flag true as -1", Word(FieldValue::Type::Flag, 0xFFFFFFFFu), Bare("-1"), Outcome::Holds},
        {"flag true as word", Word(FieldValue::Type::Flag, 0xFFFFFFFFu), Bare("true"), Outcome::Holds},
        {"flag false", Word(FieldValue::Type::Flag, 0), Bare("false"), Outcome::Holds},
        {"flag one is not true", Word(FieldValue::Type::Flag, 1), Bare("true"), Outcome::Fails, "1"},
        {"flag true is not false", Word(FieldValue::Type::Flag, 0xFFFFFFFFu), Bare("0"), Outcome::Fails, "-1 (true)"},
        {"flag other value", Word(FieldValue::Type::Flag, 0), Bare("1"), Outcome::BadValue},
        {"text equal", Text("Clamp pressure"), Quoted("Clamp pressure"), Outcome::Holds},
        {"text empty", Text(""), Quoted(""), Outcome::Holds},
        {"text differs", Text("a\"b"), Quoted("ab"), Outcome::Fails, "\"a\\\"b\""},
        {"text unquoted", Text("a"), Bare("a"), Outcome::BadValue},
    };
    for (const auto& c : cases) {
        if (c.outcome == Outcome::BadValue) {
            EXPECT_THROW(HostCommands::CompareField(c.actual, c.expected), orv::script::ScriptError) << c.name;
            continue;
        }
        const auto got = HostCommands::CompareField(c.actual, c.expected);
        if (c.outcome == Outcome::Holds) {
            EXPECT_FALSE(got) << c.name << ": got " << got.value_or("");
        } else {
            ASSERT_TRUE(got) << c.name;
            EXPECT_EQ(c.got, *got) << c.name;
        }
    }
}

// Runs a script with the host commands only.
struct HostRun {
    std::ostringstream out;
    HostCommands host;
    orv::script::ScriptRunner runner{out};
    int status = -1;

    explicit HostRun(const std::string& script) {
        runner.AddLayer(host);
        runner.Load("host.dlgs", script);
        status = runner.Run();
    }
};

std::filesystem::path TempDir() {
    const char* base = std::getenv("ORV_TEST_TMP");
    std::filesystem::path dir = std::filesystem::path(base ? base : "/tmp") / "orvdlg-host-tests";
    std::filesystem::create_directories(dir);
    return dir;
}

TEST(HostCommands, LoadTheSampleAndReadItsRecords) {
    HostRun run(
        "model sample\n"
        "expect field 1 0 u32 35\n"
        "expect field 1 4 u32 1\n"
        "expect field 1 12 text \"Clamp pressure\"\n"
        "expect field 1 272 f64 500\n"
        "expect field 1 272 f64 ~500\n"
        "dump 1\n");
    EXPECT_EQ(0, run.status) << run.out.str();
    const std::string out = run.out.str();
    EXPECT_NE(std::string::npos, out.find("object 1, type 35 Surface Force:\n")) << out;
    EXPECT_NE(std::string::npos, out.find("272 f64 magnitude = 500\n")) << out;
    EXPECT_TRUE(out.ends_with("5 passed, 0 failed\n")) << out;
}

TEST(HostCommands, AnalysisAndDisplayUnitsChangeTheCurrentScenario) {
    HostRun run("model sample\nscenario 1\nanalysis 21 category 3 riks on\ndisplay-units model\n");
    ASSERT_EQ(0, run.status) << run.out.str();
    auto& scenario = run.host.Session().Scenario();
    EXPECT_EQ(21u, scenario.GetAnalysisType());
    EXPECT_EQ(3u, scenario.GetAnalysisCategory());
    EXPECT_TRUE(scenario.IsRiksAnalysis());
    EXPECT_TRUE(scenario.GetCurrentDisplayUnitSystem().IsModelUnitSystem());

    HostRun again("model sample\nanalysis 4 riks off\ndisplay-units 0\n");
    ASSERT_EQ(0, again.status) << again.out.str();
    auto& second = again.host.Session().Scenario();
    EXPECT_EQ(4u, second.GetAnalysisType());
    EXPECT_FALSE(second.IsRiksAnalysis());
    EXPECT_EQ(0u, second.GetCurrentDisplayUnitSystem().GetUnitSystem().GetUnitSystemType());
}

TEST(HostCommands, SaveAndLoadAgainKeepsTheRecords) {
    const std::string path = (TempDir() / "saved.json").string();
    HostRun save("model sample\nsave \"" + path + "\"\n");
    ASSERT_EQ(0, save.status) << save.out.str();
    HostRun load("model \"" + path + "\"\nexpect field 1 272 f64 500\nexpect field 1 12 text \"Clamp pressure\"\n");
    EXPECT_EQ(0, load.status) << load.out.str();
}

struct HostErrorCase {
    const char* name;
    const char* script;
    int status;
    const char* message;  // the line before the count
};

TEST(HostCommands, FailuresNameTheLineAndTheProblem) {
    const HostErrorCase cases[] = {
        {"no model", "scenario 1\n", 2, "host.dlgs:1: no model is loaded (use 'model sample' or 'model \"PATH\"')"},
        {"unknown scenario", "model sample\nscenario 99\n", 2, "host.dlgs:2: the model has no scenario 99 (it has 1"},
        {"missing file", "model \"/nonexistent/m.json\"\n", 2, "host.dlgs:1: "},
        {"model needs sample or a path", "model bracket\n", 2,
         "host.dlgs:1: expected sample or a quoted path after 'model', got 'bracket'"},
        {"offset beyond the record", "model sample\nexpect field 1 800 f64 0\n", 2,
         "host.dlgs:2: offset 800 beyond the 788-byte record"},
        {"field straddling the end", "model sample\nexpect field 1 784 f64 0\n", 2, "host.dlgs:2: "},
        {"unknown object", "model sample\nexpect field 999 0 u32 0\n", 2, "host.dlgs:2: scenario 1 has no object 999"},
        {"unknown type", "model sample\nexpect field 1 0 f32 0\n", 2,
         "host.dlgs:2: unknown field type 'f32' (f64, i32, u32, flag or text)"},
        {"no new object yet", "model sample\nexpect field new 0 u32 0\n", 2, "host.dlgs:2: no object has been created"},
        {"no edited record", "model sample\ndump edited\n", 2, "host.dlgs:2: no open dialog edits a record"},
        {"wrong value fails", "model sample\nexpect field 1 272 f64 400\n", 1,
         "host.dlgs:2: expected field 272 f64 of object 1 400, got 500"},
        {"category out of range", "model sample\nanalysis 2 category 6\n", 2,
         "host.dlgs:2: an analysis category 6 is out of range (0 to 5)"},
        {"riks needs on or off", "model sample\nanalysis 2 riks yes\n", 2, "host.dlgs:2: expected on or off"},
        {"unknown unit system", "model sample\ndisplay-units furlongs\n", 2,
         "host.dlgs:2: unknown unit system type 'furlongs' (known: "},
    };
    for (const auto& c : cases) {
        HostRun run(c.script);
        EXPECT_EQ(c.status, run.status) << c.name << ": " << run.out.str();
        EXPECT_EQ(0u, run.out.str().find(c.message)) << c.name << ": " << run.out.str();
    }
}

}  // namespace
