// The Qt front end under Qt's offscreen platform: pictures of dialogs played by scripts, the
// widgets kept in step with the kernel, and the demo host's front-end commands.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "apps/orvdlg/Orvdlg.h"
#include "apps/orvdlg/ScriptSession.h"
#include "apps/orvdlg/Shot.h"
#include "platform/drivers/qt/QtDriver.h"
#include "platform/win/Inspect.h"
#include "platform/win/WinApi.h"

namespace {

std::filesystem::path ScratchDir(const std::string& name) {
    const char* base = std::getenv("ORV_TEST_TMP");
    std::filesystem::path dir = std::filesystem::path(base ? base : "/tmp") / "qt_frontend" / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

std::string WriteScript(const std::filesystem::path& dir, const std::string& text) {
    const auto path = dir / "script.dlgs";
    std::ofstream(path) << text;
    return path.string();
}

int RunMain(const std::vector<std::string>& args, std::string& out, std::string& err) {
    std::vector<const char*> argv{"orvdlg"};
    for (const auto& a : args) argv.push_back(a.c_str());
    std::ostringstream o, e;
    const int status = orvdlg::Main(static_cast<int>(argv.size()), argv.data(), "", o, e);
    out = o.str();
    err = e.str();
    return status;
}

struct Seen {
    RECT windowRect{};
    std::string file;
    int visibleChildren = 0;
    int widgetChildren = 0;
};

// Plays `script` through the Qt driver and takes a picture at each `show`, remembering the
// kernel's window rectangle at that moment.
int PlayWithPictures(const std::string& script, const std::filesystem::path& dir, std::vector<Seen>& seen) {
    orv::qt::EnsureApplication(true);
    std::ostringstream out;
    orvdlg::ScriptSession session(out);
    std::unique_ptr<orv::qt::QtDriver> driver;
    orv::qt::QtDriverOptions options;
    options.inner = &session.ScriptDriver();
    int last = 0;
    options.afterInput = [&](HWND) {
        const int line = session.Runner().CurrentLine();
        if (line == last) return;
        last = line;
        const HWND active = orv::win::ActiveModalWindow();
        const auto view = orv::win::Inspect(active);
        if (view.text.empty()) return;
        Seen s;
        s.windowRect = view.windowRect;
        s.file = (dir / ("line" + std::to_string(line) + ".png")).string();
        for (HWND child : orv::win::ChildWindows(active))
            if (orv::win::Inspect(child).reallyVisible) ++s.visibleChildren;
        std::string error;
        if (!driver->SaveWindowImage(active, s.file, error)) s.file = "failed: " + error;
        seen.push_back(s);
    };
    driver = std::make_unique<orv::qt::QtDriver>(std::move(options));
    session.SetFrontEnd(driver.get());
    return session.RunText("script.dlgs", script);
}

TEST(QtShots, PictureOfTheSampleDialogHasItsSizeAndIsNotBlank) {
    const auto dir = ScratchDir("sample");
    std::vector<Seen> seen;
    ASSERT_EQ(PlayWithPictures("dialog sample\nshow\nclick Cancel\n", dir, seen), 0);
    ASSERT_FALSE(seen.empty());
    const Seen& s = seen.front();
    int width = 0, height = 0, colours = 0;
    ASSERT_TRUE(orv::qt::ReadImageSummary(s.file, width, height, colours)) << s.file;
    EXPECT_EQ(width, s.windowRect.right - s.windowRect.left);
    EXPECT_EQ(height, s.windowRect.bottom - s.windowRect.top);
    EXPECT_GT(width, 50);
    EXPECT_GT(height, 50);
    // Frame, caption, face, text and control edges: far more than a flat fill.
    EXPECT_GT(colours, 8);
    EXPECT_GT(s.visibleChildren, 0);
}

TEST(QtShots, ShotCommandWritesOnePictureForEveryShow) {
    const auto dir = ScratchDir("command");
    const std::string script = WriteScript(dir, "dialog sample\nshow\ntype 1001 \"3\"\nshow\nclick Cancel\nshow\nclick Yes\n");
    std::string out, err;
    const auto pictures = dir / "pictures";
    ASSERT_EQ(RunMain({"shot", script, pictures.string()}, out, err), 0) << err << out;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(pictures)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    // The dialog before and after typing, then the message box that asks about the change.
    ASSERT_EQ(names.size(), 3u) << out;
    EXPECT_EQ(names[0], "002-Sample.png");
    EXPECT_EQ(names[1], "004-Sample.png");
    EXPECT_EQ(names[2], "006-orvdlg.png");
    int width = 0, height = 0, colours = 0;
    EXPECT_TRUE(orv::qt::ReadImageSummary((pictures / names[0]).string(), width, height, colours));
    EXPECT_NE(out.find("picture: "), std::string::npos);
}

TEST(QtShots, RunThroughQtGivesTheSameResultAsHeadless) {
    const auto dir = ScratchDir("same");
    const std::string script = WriteScript(dir, "dialog sample\nshow\nclick Cancel\n");
    std::string qtOut, qtErr, out, err;
    const int qtStatus = RunMain({"run", "--driver", "qt", script}, qtOut, qtErr);
    const int status = RunMain({"run", script}, out, err);
    EXPECT_EQ(qtStatus, status);
    EXPECT_EQ(qtOut, out);
    // Slowed down for watching: the same again.
    std::string slowOut, slowErr;
    EXPECT_EQ(RunMain({"run", "--driver", "qt", "--slow", "1", script}, slowOut, slowErr), status);
    EXPECT_EQ(slowOut, out);
}

TEST(QtShots, FailingScriptKeepsItsStatusThroughQt) {
    const auto dir = ScratchDir("failing");
    const std::string script = WriteScript(dir, "dialog sample\nexpect text 1001 \"Beam\"\nclick Cancel\n");
    std::string qtOut, qtErr, out, err;
    const int qtStatus = RunMain({"run", "--driver", "qt", script}, qtOut, qtErr);
    EXPECT_EQ(qtStatus, RunMain({"run", script}, out, err));
    EXPECT_EQ(qtStatus, 1);
    EXPECT_EQ(qtOut, out);
}

TEST(QtShots, BadCommandLinesAreRefusedWithAReason) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"shot", "only-a-script"}, "'shot' takes a script file and an output folder"},
        {{"run", "--driver", "tk", "x.dlgs"}, "unknown driver 'tk'"},
        {{"run", "--driver"}, "'--driver' needs a value"},
        {{"run", "--slow", "-5", "x.dlgs"}, "'--slow' takes milliseconds"},
        {{"run", "--slow", "10ms", "x.dlgs"}, "'--slow' takes milliseconds"},
        {{"run", "--colour", "red", "x.dlgs"}, "unknown option '--colour'"},
        {{"run", "--driver", "qt"}, "takes one script file after its options"},
        {{"run", "--driver", "qt", "a.dlgs", "b.dlgs"}, "takes one script file"},
        {{"shot", "/nonexistent/x.dlgs", "/tmp/x"}, "cannot read '/nonexistent/x.dlgs'"},
    };
    for (const auto& c : cases) {
        std::string out, err;
        EXPECT_EQ(RunMain(c.args, out, err), 2) << c.message;
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
    }
}

TEST(QtShots, PictureNamesCarryStepAndTitle) {
    EXPECT_EQ(orvdlg::ShotFileName(2, "Sample dialog"), "002-Sample-dialog.png");
    EXPECT_EQ(orvdlg::ShotFileName(12, "  Loads: force / 1 "), "012-Loads-force-1.png");
    EXPECT_EQ(orvdlg::ShotFileName(1234, ""), "1234.png");
    EXPECT_EQ(orvdlg::ShotFileName(7, "a/../b"), "007-a-b.png");
    EXPECT_EQ(orvdlg::ShotFileName(3, "Kräfte"), "003-Kräfte.png");
}

}  // namespace
