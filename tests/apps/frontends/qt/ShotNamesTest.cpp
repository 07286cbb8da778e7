// Picture names of `orvdlg shot`: a `# shot: NAME` comment on a `show` line names its picture;
// malformed and repeated names are refused with their line before anything runs.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "apps/orvdlg/Orvdlg.h"
#include "apps/orvdlg/Shot.h"

namespace {

TEST(ShotNames, ShowLinesCarryTheirPictureNames) {
    struct Case {
        std::string script;
        std::map<int, std::string> shows;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"show\n", {{1, ""}}},
        {"dialog sample\n  show  # shot: sample-dialog\nclick Cancel\n", {{2, "sample-dialog"}}},
        {"show #shot:a.b_c-1\r\nshow # a plain comment\nshow # shot:   spaced   \n",
         {{1, "a.b_c-1"}, {2, ""}, {3, "spaced"}}},
        // Only a bare `show` takes pictures; a quoted word or other commands do not.
        {"print \"show # shot: x\"\n\"show\" # shot: y\nshow\n", {{3, ""}}},
        // A byte order mark does not shift the lines.
        {"\xEF\xBB\xBFshow # shot: first\n", {{1, "first"}}},
    };
    for (const Case& c : cases) {
        std::map<int, std::string> shows;
        std::string error;
        EXPECT_TRUE(orvdlg::ShowLines(c.script, shows, error)) << c.script << ": " << error;
        EXPECT_EQ(shows, c.shows) << c.script;
    }
}

TEST(ShotNames, MalformedOrRepeatedNamesAreRefusedWithTheirLine) {
    struct Case {
        std::string script;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"show # shot:\n", "line 1: a picture name takes letters, digits, '.', '-' and '_', not ''"},
        {"\nshow # shot: ../up\n", "line 2: a picture name takes letters, digits, '.', '-' and '_', not '../up'"},
        {"show # shot: two words\n", "line 1: a picture name takes letters, digits, '.', '-' and '_', not 'two words'"},
        {"show # shot: .hidden\n", "line 1: a picture name takes letters, digits, '.', '-' and '_', not '.hidden'"},
        {"show # shot: a\nshow\nshow # shot: a\n", "line 3: the picture name 'a' is taken by line 1"},
    };
    for (const Case& c : cases) {
        std::map<int, std::string> shows;
        std::string error;
        EXPECT_FALSE(orvdlg::ShowLines(c.script, shows, error)) << c.script;
        EXPECT_EQ(error, c.error);
    }
}

TEST(ShotNames, ShotWritesNamedPicturesAndRefusesABadNameBeforeRunning) {
    const char* base = std::getenv("ORV_TEST_TMP");
    const auto dir = std::filesystem::path(base ? base : "/tmp") / ("shot_names-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    auto run = [&](const std::string& text, std::string& out, std::string& err) {
        const auto script = dir / "script.dlgs";
        std::ofstream(script) << text;
        const std::string script_s = script.string(), pictures = (dir / "pictures").string();
        const char* argv[] = {"orvdlg", "shot", script_s.c_str(), pictures.c_str()};
        std::ostringstream o, e;
        const int status = orvdlg::Main(4, argv, "", o, e);
        out = o.str();
        err = e.str();
        return status;
    };
    std::string out, err;
    ASSERT_EQ(run("dialog sample\nshow # shot: named\nclick Cancel\ndialog sample\nshow\nclick Cancel\n", out, err), 0)
        << err;
    EXPECT_TRUE(std::filesystem::exists(dir / "pictures" / "named.png"));
    EXPECT_TRUE(std::filesystem::exists(dir / "pictures" / "005-Sample.png"));
    std::filesystem::remove_all(dir / "pictures");
    EXPECT_EQ(run("dialog sample\nshow # shot: a b\nclick Cancel\n", out, err), 2);
    EXPECT_NE(err.find("script.dlgs: line 2: a picture name takes"), std::string::npos) << err;
    // Nothing ran: no dialog result was printed and no picture taken.
    EXPECT_EQ(out.find("sample dialog"), std::string::npos) << out;
    EXPECT_FALSE(std::filesystem::exists(dir / "pictures" / "002-Sample.png"));
}

}  // namespace
