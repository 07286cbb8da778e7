// The interactive host's command line: which front end shows the host window, and the clear
// refusals when none can.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "apps/orvdlg/Interactive.h"
#include "apps/orvdlg/Orvdlg.h"

namespace {

using orvdlg::FrontEnd;
using orvdlg::UiEnvironment;

struct Invocation {
    int status = -1;
    std::string out, err;
};

Invocation Invoke(std::vector<const char*> args, const UiEnvironment& environment, std::string_view tour = "") {
    args.insert(args.begin(), "orvdlg");
    std::ostringstream out, err;
    Invocation result;
    result.status = orvdlg::Main(int(args.size()), args.data(), tour, out, err, environment);
    result.out = out.str();
    result.err = err.str();
    return result;
}

UiEnvironment Env(bool display, bool terminal, bool haveQt, bool haveTerminal) {
    UiEnvironment environment;
    environment.display = display;
    environment.terminal = terminal;
    environment.haveQt = haveQt;
    environment.haveTerminal = haveTerminal;
    return environment;
}

TEST(InteractiveFrontEnd, ChoiceFollowsTheRequestTheBuildAndTheEnvironment) {
    const struct {
        const char* name;
        std::string requested;
        UiEnvironment environment;
        std::optional<FrontEnd> expected;
        const char* reason;  // part of the error when nothing is chosen
    } cases[] = {
        {"display and Qt: Qt", "", Env(true, true, true, true), FrontEnd::Qt, ""},
        {"display without Qt: the terminal", "", Env(true, true, false, true), FrontEnd::Terminal, ""},
        {"no display: the terminal", "", Env(false, true, true, true), FrontEnd::Terminal, ""},
        {"nothing usable", "", Env(false, false, true, true), std::nullopt, "no front end can show the host window"},
        {"nothing built", "", Env(true, true, false, false), std::nullopt, "this build has no terminal front end"},
        {"qt asked, not built", "qt", Env(true, true, false, true), std::nullopt, "this build has no Qt front end"},
        {"terminal asked, not built", "terminal", Env(true, true, true, false), std::nullopt,
         "this build has no terminal front end"},
        {"terminal asked, no terminal", "terminal", Env(true, false, true, true), std::nullopt,
         "standard input and output are not a terminal"},
        {"terminal asked beside a display", "terminal", Env(true, true, true, true), FrontEnd::Terminal, ""},
        {"qt asked at a terminal", "qt", Env(true, true, true, true), FrontEnd::Qt, ""},
        {"unknown", "curses", Env(true, true, true, true), std::nullopt, "unknown front end 'curses' (qt, terminal)"},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto chosen = orvdlg::ChooseFrontEnd(c.requested, c.environment, error);
        EXPECT_EQ(c.expected, chosen) << c.name;
        if (!c.expected) {
            EXPECT_NE(std::string::npos, error.find(c.reason)) << c.name << ": " << error;
        }
    }
}

TEST(InteractiveFrontEnd, WithoutArgumentsTheHostOpensOnlyForAPersonAtATerminal) {
    EXPECT_TRUE(orvdlg::OpensHostByDefault(Env(false, true, false, true)));
    EXPECT_TRUE(orvdlg::OpensHostByDefault(Env(true, true, true, false)));
    EXPECT_FALSE(orvdlg::OpensHostByDefault(Env(true, false, true, true)));   // output to a pipe: CI, scripts
    EXPECT_FALSE(orvdlg::OpensHostByDefault(Env(false, true, true, false)));  // nothing can show it
    // Without a person the tour runs, as it always did.
    const auto tour = Invoke({}, Env(true, false, true, true), "print \"tour\"\n");
    EXPECT_EQ(0, tour.status) << tour.err;
    EXPECT_NE(std::string::npos, tour.out.find("tour")) << tour.out;
    const auto explicitTour = Invoke({"tour"}, Env(true, true, true, true), "print \"tour\"\n");
    EXPECT_EQ(0, explicitTour.status) << explicitTour.err;
    EXPECT_NE(std::string::npos, explicitTour.out.find("tour")) << explicitTour.out;
}

TEST(InteractiveFrontEnd, RefusalsSayWhyAndExitWithStatusTwo) {
    const UiEnvironment batch = Env(false, false, false, false);
    const struct {
        std::vector<const char*> args;
        UiEnvironment environment;
        const char* message;
    } cases[] = {
        {{"--ui", "terminal"}, Env(false, false, true, true), "orvdlg: standard input and output are not a terminal\n"},
        {{"--ui", "terminal"}, batch, "orvdlg: this build has no terminal front end"},
        {{"--ui", "qt"}, batch, "orvdlg: this build has no Qt front end"},
        {{"--ui", "qt"}, Env(false, false, true, false), "orvdlg: no display is reachable for the Qt front end"},
        {{"--ui"}, batch, "orvdlg: '--ui' needs a front end (qt, terminal)\n"},
        {{"open"}, batch, "orvdlg: 'open' takes a model file\n"},
        {{"open", "--ui", "qt"}, batch, "orvdlg: 'open' takes a model file\n"},
        {{"open", "a.json", "b.json"}, batch, "orvdlg: unexpected argument 'b.json'\n"},
        {{"open", "/nonexistent/model.json", "--ui", "terminal"}, batch, "orvdlg: /nonexistent/model.json"},
        {{"run", "--driver", "terminal", "--slow", "x", "s.dlgs"}, batch,
         "orvdlg: '--slow' takes milliseconds from 0 to 60000, not 'x'\n"},
        {{"run", "--driver", "terminal"}, batch, "orvdlg: 'run' takes one script file after its options\n"},
        {{"run", "--driver", "terminal", "a.dlgs", "b.dlgs"}, batch,
         "orvdlg: 'run' takes one script file after its options\n"},
    };
    for (const auto& c : cases) {
        const auto run = Invoke(c.args, c.environment);
        std::string line;
        for (const char* a : c.args) line += std::string(a) + " ";
        EXPECT_EQ(2, run.status) << line;
        EXPECT_EQ(0u, run.err.find(c.message)) << line << "\n" << run.err;
    }
}

TEST(InteractiveFrontEnd, AModelWithoutADesignScenarioIsRefusedBeforeAnyWindow) {
    const char* base = std::getenv("ORV_TEST_TMP");
    const std::filesystem::path dir = std::filesystem::path(base ? base : "/tmp") / "interactive";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "empty.json").string();
    std::ofstream(path) << "{\"format\": \"orv-model\", \"version\": 1, \"name\": \"empty\", \"scenarios\": []}\n";
    const auto run = Invoke({"open", path.c_str(), "--ui", "terminal"}, Env(false, true, false, true));
    EXPECT_EQ(2, run.status);
    EXPECT_EQ("orvdlg: the model has no design scenario\n", run.err);
    EXPECT_EQ("", run.out);
}

TEST(InteractiveFrontEnd, AScriptThroughTheTerminalNeedsATerminal) {
    // Under the test runner standard input and output are no terminal: either the build has
    // no terminal front end, or the front end refuses to start; both say so.
    if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) GTEST_SKIP() << "run at a terminal: the front end would start";
    const auto run = Invoke({"run", "--driver", "terminal", ORV_SOURCE_DIR "/tests/scenarios/sample.dlgs"},
                            orvdlg::CurrentUiEnvironment());
    EXPECT_EQ(2, run.status);
    EXPECT_EQ(0u, run.err.find("orvdlg: ")) << run.err;
    EXPECT_EQ("", run.out);
    const auto fromInput = Invoke({"run", "--driver", "terminal", "-"}, orvdlg::CurrentUiEnvironment());
    EXPECT_EQ(2, fromInput.status);
    EXPECT_EQ(0u, fromInput.err.find("orvdlg: ")) << fromInput.err;
}

TEST(InteractiveFrontEnd, HelpNamesTheInteractiveCommands) {
    const auto help = Invoke({"--help"}, Env(false, false, false, false));
    EXPECT_EQ(0, help.status);
    for (const char* text : {"orvdlg open PATH", "--ui qt|terminal", "orvdlg tour", "--driver qt|terminal"})
        EXPECT_NE(std::string::npos, help.out.find(text)) << text << "\n" << help.out;
}

}  // namespace
