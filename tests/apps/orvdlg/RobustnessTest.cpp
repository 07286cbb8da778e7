#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <sstream>

#include "apps/orvdlg/ScriptSession.h"
#include "platform/win/Inspect.h"
#include "platform/win/WinApi.h"

namespace {

// Scripts made of random pieces of the language: every one ends with a status of 0, 1 or 2,
// the count as its last line, and no window left open.
TEST(ScriptRobustness, RandomScriptsNeverCrashOrLeaveWindows) {
    const char* const pieces[] = {
        "dialog sample", "dialog", "dialog other", "model sample", "model \"nope.json\"", "scenario 1", "scenario x",
        "analysis 2", "analysis 2 riks", "display-units model", "display-units 9", "dump 1", "dump new",
        "expect field 1 272 f64 500", "expect field 1 788 u32 0", "expect field edited 0 u32 0", "click OK",
        "click Cancel", "click Yes", "click No", "click \"&Reset\"", "click 1003", "click 1005", "type 1002 \"abc\"",
        "type 1001 \"\"", "type 1002 \"1\"", "paste 1001 \"p\"", "key Enter", "key Escape", "key Tab", "key \"x\"",
        "key 1001 Home", "select 1009 1", "select 1009 \"m\"", "select 1011 -1", "focus 1011", "close", "wait 5000",
        "show", "expect title \"Sample\"", "expect message contains \"number\"", "expect beep", "expect window \"Sample\"",
        "expect selected 1009 none", "expect items 1009 \"mm\"", "expect focus 1001", "expect checked 1003",
        "\"quoted\"", "type 1001 \"unterminated", "# comment", "", "   ", "key \"\\q\"", "expect", "wait -3",
        "click 0x3E9", "select", "type \"N\" \"x\"",
    };
    std::mt19937 random(20261208);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 12);
    const std::regex last(R"((^|\n)\d+ passed, \d+ failed\n$)");
    int statuses[3] = {0, 0, 0};
    for (int round = 0; round < 300; ++round) {
        std::string script;
        const int lines = length(random);
        for (int i = 0; i < lines; ++i) script += std::string(pieces[pick(random)]) + "\n";
        std::ostringstream out;
        int status = -1;
        {
            orvdlg::ScriptSession session(out);
            status = session.RunText("r.dlgs", script);
        }
        ASSERT_TRUE(status >= 0 && status <= 2) << script;
        ++statuses[status];
        ASSERT_TRUE(std::regex_search(out.str(), last)) << script << "\n--\n" << out.str();
        ASSERT_TRUE(orv::win::TopLevelWindows().empty()) << script << "\n--\n" << out.str();
    }
    // The pieces reach every outcome.
    EXPECT_GT(statuses[0], 0);
    EXPECT_GT(statuses[1], 0);
    EXPECT_GT(statuses[2], 0);
}

}  // namespace
