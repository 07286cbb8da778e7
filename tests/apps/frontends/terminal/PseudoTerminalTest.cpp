// The terminal front end in a real pseudo-terminal: orv_term_probe runs inside a detached tmux
// session, keys are sent as a person types them, and the screen is read back. Every wait polls
// the screen until the expected text shows, with a generous time-out.

#include <gtest/gtest.h>

#include <unistd.h>

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/apps/frontends/terminal/TmuxSession.h"

namespace {

TEST(PseudoTerminal, ATerminalOf70By20GetsTheMessageAndStatus2) {
    REQUIRE_TMUX();
    Session s("small", 70, 20, "sample");
    ASSERT_TRUE(s.Started());
    std::string screen;
    // The line wraps after the probe's name.
    ASSERT_TRUE(s.WaitForAll({"exit status 2", "The terminal is 70 x 20; the dialogs need at least 80"}, &screen));
    EXPECT_EQ(screen.find("Sample"), std::string::npos);
}

TEST(PseudoTerminal, AResizeRedrawsAndTooSmallAScreenTakesNoKeys) {
    REQUIRE_TMUX();
    Session s("resize", 120, 40, "sample");
    ASSERT_TRUE(s.Started());
    ASSERT_TRUE(s.WaitFor(" Sample "));
    s.Resize(70, 22);
    ASSERT_TRUE(s.WaitFor("The terminal is 70 x 22; the dialogs need at least 80 x 24."));
    // Escape on the message reaches nothing: the dialog is back, unchanged, after growing.
    s.Keys("Escape");
    s.Resize(110, 35);
    ASSERT_TRUE(s.WaitFor(" Sample "));
    s.Type("Post");
    ASSERT_TRUE(s.WaitFor("[Post"));
    s.Keys("Enter");
    ASSERT_TRUE(s.WaitFor("exit status 0"));
    EXPECT_NE(s.Result().find("result 1\n"), std::string::npos) << s.Result();
    EXPECT_NE(s.Result().find("name \"Post\""), std::string::npos) << s.Result();
}

TEST(PseudoTerminal, PastedLinesStayInTheFieldInsteadOfPressingOK) {
    REQUIRE_TMUX();
    Session s("paste", 120, 40, "sample");
    ASSERT_TRUE(s.Started());
    ASSERT_TRUE(s.WaitFor("[Bracket"));
    // Unmarked, the line break would be Enter and close the dialog before the X.
    s.Paste("Gusset\nplate\n");
    ASSERT_TRUE(s.WaitFor("[Gusset "));
    s.Type("X");
    ASSERT_TRUE(s.WaitFor("[GussetX "));
    s.Keys("Enter");
    ASSERT_TRUE(s.WaitFor("exit status 0"));
    EXPECT_NE(s.Result().find("name \"GussetX\""), std::string::npos) << s.Result();
}

TEST(PseudoTerminal, ATerminalThatGoesAwayEndsTheDialogWithoutAnAnswer) {
    REQUIRE_TMUX();
    // The shell and the probe ignore the hang-up, so the probe sees its input end.
    Session s("hangup", 120, 40, "sample", "", "trap '' HUP; ");
    ASSERT_TRUE(s.Started());
    ASSERT_TRUE(s.WaitFor(" Sample "));
    s.Kill();
    const fs::path status = s.Dir() / "status.txt";
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::string text;
    while (std::chrono::steady_clock::now() < until) {
        std::ifstream in(status);
        if (std::getline(in, text) && !text.empty()) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(text, "3");
    EXPECT_NE(s.Result().find("result -2\n"), std::string::npos) << s.Result();
}

// At 80 x 24, the terminal most people have.
TEST(PseudoTerminal, TabToAFieldTypeAndPressEnter) {
    REQUIRE_TMUX();
    Session s("type", 80, 24, "sample");
    ASSERT_TRUE(s.Started());
    std::string screen;
    ASSERT_TRUE(s.WaitForAll({"[Bracket", " Sample ", "(*) Global"}, &screen));
    EXPECT_EQ(screen.find('&'), std::string::npos);
    s.Keys("Tab");
    s.Type("250");
    ASSERT_TRUE(s.WaitFor("[250"));
    s.Keys("Enter");
    ASSERT_TRUE(s.WaitFor("exit status 0"));
    EXPECT_NE(s.Result().find("result 1\n"), std::string::npos) << s.Result();
    EXPECT_NE(s.Result().find("magnitude 250,"), std::string::npos) << s.Result();
}

TEST(PseudoTerminal, SpaceTogglesACheckBoxAndUtf8TextArrives) {
    REQUIRE_TMUX();
    Session s("check", 120, 40, "sample");
    ASSERT_TRUE(s.Started());
    ASSERT_TRUE(s.WaitFor("[ ] Varies with time"));
    s.Type("Träger µ");
    ASSERT_TRUE(s.WaitFor("[Träger µ"));
    s.Keys("Tab Tab Space");
    ASSERT_TRUE(s.WaitFor("[x] Varies with time"));
    s.Keys("Enter");
    ASSERT_TRUE(s.WaitFor("exit status 0"));
    const std::string result = s.Result();
    EXPECT_NE(result.find("name \"Träger µ\""), std::string::npos) << result;
    EXPECT_NE(result.find("varies with time on"), std::string::npos) << result;
}

TEST(PseudoTerminal, EscapeOnAChangedDialogAsksAndAltYAnswers) {
    REQUIRE_TMUX();
    Session s("escape", 120, 40, "sample");
    ASSERT_TRUE(s.Started());
    ASSERT_TRUE(s.WaitFor("[Bracket"));
    s.Type("X");
    ASSERT_TRUE(s.WaitFor("[X"));
    s.Keys("Escape");
    std::string screen;
    ASSERT_TRUE(s.WaitForAll({"Discard the changes?", "Question", "Yes"}, &screen));
    // Alt+Y arrives as Esc followed by y.
    s.Keys("M-y");
    ASSERT_TRUE(s.WaitFor("exit status 0"));
    EXPECT_NE(s.Result().find("result 2\n"), std::string::npos) << s.Result();
    EXPECT_NE(s.Result().find("name \"Bracket\""), std::string::npos) << s.Result();
}

TEST(PseudoTerminal, AMessageBoxIsAnsweredWithTabAndEnter) {
    REQUIRE_TMUX();
    Session s("message", 120, 40, "message");
    ASSERT_TRUE(s.Started());
    std::string screen;
    ASSERT_TRUE(s.WaitForAll(
        {"Their present values are replaced.", "Apply the load to the 3 selected surfaces?", "Cancel"}, &screen));
    s.Keys("Tab Enter");
    ASSERT_TRUE(s.WaitFor("exit status 0"));
    EXPECT_NE(s.Result().find("result 7\n"), std::string::npos) << s.Result();
}

TEST(PseudoTerminal, TheComboListOpensWithF4AndTheTimerClearsTheStatus) {
    REQUIRE_TMUX();
    Session s("combo", 120, 40, "sample");
    ASSERT_TRUE(s.Started());
    ASSERT_TRUE(s.WaitFor("Lengths in mm"));
    s.Keys("M-u F4 Down");
    ASSERT_TRUE(s.WaitFor(" cm "));
    s.Keys("Enter");
    ASSERT_TRUE(s.WaitFor("Lengths in cm"));
    // Reset shows a status for two seconds of the kernel clock, which follows real time.
    s.Keys("M-r");
    ASSERT_TRUE(s.WaitFor("Values reset."));
    std::string screen;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    do {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        screen = s.Screen();
    } while (screen.find("Values reset.") != std::string::npos && std::chrono::steady_clock::now() < until);
    EXPECT_EQ(screen.find("Values reset."), std::string::npos) << screen;
    // Enter on a combo box opens its list; from the next control it presses OK.
    s.Keys("Tab Enter");
    ASSERT_TRUE(s.WaitFor("exit status 0"));
    EXPECT_NE(s.Result().find("units mm"), std::string::npos) << s.Result();
}

TEST(PseudoTerminal, AScriptPlaysWhileTheScreenShowsItsDialog) {
    REQUIRE_TMUX();
    const fs::path dir = Scratch("script-source");
    const fs::path script = dir / "part-temperature.dlgs";
    std::ofstream(script) << "model sample\nopen 111 create on 2\n  type 1031 \"300\"\n  click OK\nprint \"done\"\n";
    Session s("script", 120, 40, "--slow 700 run " + Quote(script.string()));
    ASSERT_TRUE(s.Started());
    // The dialog shows with the typed value before OK; the script's output goes to the result.
    ASSERT_TRUE(s.WaitFor("[300"));
    ASSERT_TRUE(s.WaitFor("exit status 0"));
    const std::string result = s.Result();
    EXPECT_NE(result.find("open 111 create: 0 (OK), created object"), std::string::npos) << result;
    EXPECT_NE(result.find("done\n"), std::string::npos) << result;
    EXPECT_NE(result.find("status 0\n"), std::string::npos) << result;
    std::error_code ec;
    fs::remove_all(dir, ec);
}

TEST(PseudoTerminal, TheHostWindowOpensARealDialogWithItsHelpAndTakesTheEdit) {
    REQUIRE_TMUX();
    Session s("host", 120, 40, "--ui terminal", ORV_ORVDLG);
    ASSERT_TRUE(s.Started());
    ASSERT_TRUE(s.WaitFor("Heat Generation"));
    // Down through the object list until the heat generation row is the current one.
    // Each Down waits for the screen to follow it, so that a slow machine never skips the row.
    std::string screen = s.Screen();
    for (int i = 0; i < 40 && screen.find(">Heat Generation") == std::string::npos; ++i) {
        const std::string before = screen;
        s.Keys("Down");
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while ((screen = s.Screen()) == before && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    ASSERT_NE(screen.find(">Heat Generation"), std::string::npos) << screen;
    s.Keys("Enter");
    ASSERT_TRUE(s.WaitFor("Heat Generation Object", &screen));
    // F1 over the focused field shows the dialog's help text until the next key.
    s.Keys("F1");
    ASSERT_TRUE(s.WaitForAll({"(any key closes)", " Help "}, &screen));
    s.Keys("Escape");
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (s.Screen().find("(any key closes)") != std::string::npos && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
    s.Type("7");
    ASSERT_TRUE(s.WaitFor("[7 "));
    s.Keys("Enter");
    ASSERT_TRUE(s.WaitFor("modified."));
    // Exit asks before the change is lost; No leaves without saving.
    s.Keys("Escape");
    ASSERT_TRUE(s.WaitFor("Save changes", &screen));
    s.Keys("M-n");
    ASSERT_TRUE(s.WaitFor("exit status 0", &screen));
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every scenario script of the test suite, played through the terminal front end (the screen
// showing the run) in one pseudo-terminal, gives the headless run's output and exit status.
TEST(PseudoTerminal, EveryScenarioGivesTheHeadlessResultThroughTheTerminal) {
    REQUIRE_TMUX();
    const fs::path source = fs::path(ORV_SOURCE_DIR) / "tests" / "scenarios";
    const fs::path work = Scratch("scenarios");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(source))
        if (entry.path().extension() == ".dlgs") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    ASSERT_FALSE(names.empty());
    // Each run in a copy of the folder with a registry and user data of its own, in English
    // unless the script names a locale, as the scenario tests run.
    auto prepare = [&](const std::string& name, const std::string& kind, std::string& environment) {
        const fs::path dir = work / (name + "-" + kind);
        fs::create_directories(dir);
        for (const auto& entry : fs::directory_iterator(source)) {
            const std::string file = entry.path().filename().string();
            if (file == "CMakeLists.txt" || entry.path().extension() == ".cmake" || !entry.is_regular_file()) continue;
            fs::copy_file(entry.path(), dir / file, fs::copy_options::overwrite_existing);
        }
        std::string locale = "C";
        std::smatch match;
        const std::string script = ReadFile(source / (name + ".dlgs"));
        const std::regex line("^# *locale: *([^ \n]+)");
        if (std::regex_search(script, match, line)) locale = match[1];
        environment = "env -u ORVEN_LOCALE_OVERRIDE ORV_REGISTRY_DIR=" + Quote((dir / ".registry").string()) +
                      " ORV_USER_DATA_DIR=" + Quote((dir / ".userdata").string()) + " LC_ALL=" + Quote(locale);
        return dir;
    };
    std::string all;
    for (const auto& name : names) {
        std::string environment;
        const fs::path headless = prepare(name, "headless", environment);
        const std::string command = "cd " + Quote(headless.string()) + " && " + environment + " " +
                                    std::string(ORV_ORVDLG) + " run " + Quote(name + ".dlgs") + " > out.txt 2>/dev/null";
        const int status = std::system(command.c_str());
        std::ofstream(headless / "status.txt") << WEXITSTATUS(status) << "\n";
        const fs::path terminal = prepare(name, "terminal", environment);
        all += "cd " + Quote(terminal.string()) + " && " + environment + " " + ORV_TERM_PROBE + " --result out.txt run " +
               Quote(name + ".dlgs") + " 2>/dev/null; echo $? > status.txt\n";
    }
    std::ofstream(work / "all.sh") << all;
    Session s("scenario-runs", 120, 40, Quote((work / "all.sh").string()), "sh");
    ASSERT_TRUE(s.Started());
    ASSERT_TRUE(s.WaitFor("exit status 0", nullptr, 120));
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        const std::string headless = ReadFile(work / (name + "-headless") / "out.txt");
        std::string terminal = ReadFile(work / (name + "-terminal") / "out.txt");
        // The probe adds the run's status as a last line.
        const auto last = terminal.rfind("status ");
        ASSERT_NE(last, std::string::npos) << terminal;
        terminal.resize(last);
        EXPECT_EQ(terminal, headless);
        EXPECT_EQ(ReadFile(work / (name + "-terminal") / "status.txt"), ReadFile(work / (name + "-headless") / "status.txt"));
    }
    std::error_code ec;
    fs::remove_all(work, ec);
}

}  // namespace

// Terminal descriptions that name the modified keys (kDN3 for Alt+Down, kUP5, kNXT5 ...) make
// curses report them as its own extended codes: they still do what the keys do.
TEST(PseudoTerminal, ModifiedKeysWorkUnderTheTerminalKindsThatNameThem) {
    REQUIRE_TMUX();
    for (const std::string term : {"tmux-256color", "xterm-256color"}) {
        SCOPED_TRACE(term);
        Session s("keys-" + term, 120, 40, "sample", "", "TERM=" + term + " ");
        ASSERT_TRUE(s.Started());
        ASSERT_TRUE(s.WaitFor("Lengths in mm"));
        s.Keys("M-u M-Down");  // Alt+Down opens the combo's list
        ASSERT_TRUE(s.WaitFor(" cm "));
        s.Keys("Down Enter");
        ASSERT_TRUE(s.WaitFor("Lengths in cm"));
        s.Keys("Tab Enter");
        ASSERT_TRUE(s.WaitFor("exit status 0"));
        EXPECT_NE(s.Result().find("units cm"), std::string::npos) << s.Result();
    }
}
