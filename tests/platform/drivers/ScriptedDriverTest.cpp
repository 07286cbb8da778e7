#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "platform/drivers/scripted/ScriptRunner.h"
#include "platform/drivers/scripted/ScriptedDriver.h"
#include "platform/drivers/scripted/UiCommands.h"
#include "platform/win/Afx.h"
#include "platform/win/Inspect.h"

namespace {

using orv::script::Call;
using orv::script::CommandLayer;
using orv::script::CommandTable;
using orv::script::Where;

constexpr int kThrow = 1101, kAsk = 1102, kNested = 1103;

orv::res::DialogItemTemplate Button(const wchar_t* text, int id, int x) {
    orv::res::DialogItemTemplate item;
    item.className = L"Button";
    item.text = text;
    item.id = UINT(id);
    item.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (id == IDOK ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    item.x = x;
    item.y = 10;
    item.cx = 40;
    item.cy = 14;
    return item;
}

orv::res::DialogTemplate Template(const wchar_t* caption) {
    orv::res::DialogTemplate t;
    t.caption = caption;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    t.cx = 260;
    t.cy = 40;
    t.items = {Button(L"OK", IDOK, 5), Button(L"Cancel", IDCANCEL, 50), Button(L"Throw", kThrow, 95),
               Button(L"Ask", kAsk, 140), Button(L"Nested", kNested, 185)};
    return t;
}

// A dialog whose buttons throw, ask a question and open a second dialog.
class TestDialog : public CDialog {
public:
    explicit TestDialog(const wchar_t* caption, std::vector<std::string>& log) : template_(Template(caption)), log_(log) {
        InitModalIndirect(&template_);
        HandleCommand(kThrow, BN_CLICKED, [] { throw std::runtime_error("handler failed"); });
        HandleCommand(kAsk, BN_CLICKED, [this] {
            const int answer = AfxMessageBox(L"Really?", MB_YESNO);
            log_.push_back("answer " + std::to_string(answer));
        });
        HandleCommand(kNested, BN_CLICKED, [this] {
            TestDialog inner(L"Inner", log_);
            log_.push_back("inner ended " + std::to_string(inner.DoModal()));
        });
    }

private:
    orv::res::DialogTemplate template_;
    std::vector<std::string>& log_;
};

class OpenCommand : public CommandLayer {
public:
    std::vector<std::string> log;
    void AddCommands(CommandTable& table) override {
        table.Add({"open", Where::Host, "open", [this](Call&) {
                       TestDialog dialog(L"Outer", log);
                       log.push_back("outer ended " + std::to_string(dialog.DoModal()));
                   }});
    }
};

struct DriverRun {
    std::ostringstream out;
    orv::script::ScriptRunner runner{out};
    orv::script::UiCommands ui;
    OpenCommand open;
    orv::script::ScriptedDriver driver{runner};
    int status = -1;

    explicit DriverRun(const std::string& script) {
        orv::win::ResetKernel();
        runner.AddLayer(ui);
        runner.AddLayer(open);
        runner.SetWindowProbe(&ui);
        orv::win::DriverScope scope(&driver);
        runner.Load("d.dlgs", script);
        status = runner.Run();
    }
    ~DriverRun() { orv::win::ResetKernel(); }
};

TEST(ScriptedDriver, ModalLoopsTakeTheLinesInOrder) {
    DriverRun run(
        "open\n"
        "expect title \"Outer\"\n"
        "click \"Ask\"\n"
        "expect message \"Really?\"\n"
        "click No\n"
        "click \"Nested\"\n"
        "expect title \"Inner\"\n"
        "click \"Ask\"\n"
        "click Yes\n"
        "click OK\n"
        "expect title \"Outer\"\n"
        "click Cancel\n"
        "expect window \"Nothing\"\n");
    EXPECT_EQ(1, run.status) << run.out.str();  // the last line fails on purpose: no window left
    const std::vector<std::string> expected = {"answer " + std::to_string(IDNO), "answer " + std::to_string(IDYES),
                                               "inner ended 1", "outer ended 2"};
    EXPECT_EQ(expected, run.open.log);
    EXPECT_EQ("d.dlgs:13: expected window \"Nothing\", got no window open\n4 passed, 1 failed\n", run.out.str());
}

TEST(ScriptedDriver, TheEndOfTheScriptEndsEveryOpenWindow) {
    DriverRun run("open\nclick \"Nested\"\nclick \"Ask\"\n");
    EXPECT_EQ(2, run.status);
    EXPECT_EQ("d.dlgs:3: script ended while window 'Application' is open (opened by line 1)\n0 passed, 0 failed\n",
              run.out.str());
    const std::vector<std::string> expected = {"answer " + std::to_string(orv::win::kModalNoInput),
                                               "inner ended " + std::to_string(orv::win::kModalNoInput),
                                               "outer ended " + std::to_string(orv::win::kModalNoInput)};
    EXPECT_EQ(expected, run.open.log);
    EXPECT_TRUE(orv::win::TopLevelWindows().empty());
}

TEST(ScriptedDriver, AnExceptionInAHandlerStopsTheRun) {
    DriverRun run("open\nclick \"Throw\"\nclick OK\n");
    EXPECT_EQ(2, run.status);
    EXPECT_EQ(0u, run.out.str().find("d.dlgs:2: a window procedure failed on message ")) << run.out.str();
    EXPECT_NE(std::string::npos, run.out.str().find("handler failed")) << run.out.str();
    EXPECT_TRUE(orv::win::TopLevelWindows().empty());
}

TEST(ScriptedDriver, AHostCommandInsideAModalLoopEndsIt) {
    DriverRun run("open\nclick \"Nested\"\nopen\n");
    EXPECT_EQ(2, run.status);
    EXPECT_EQ("d.dlgs:3: 'open' is a host command, but window 'Inner' is still open\n0 passed, 0 failed\n",
              run.out.str());
    EXPECT_TRUE(orv::win::TopLevelWindows().empty());
}

}  // namespace
