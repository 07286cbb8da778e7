#include <gtest/gtest.h>

#include <sstream>

#include "platform/drivers/scripted/ScriptRunner.h"

namespace {

using namespace orv::script;

// A stand-in for the window kernel: `open` at the host level runs a "modal loop" that asks the
// runner for input until `end` closes the window or the input runs out.
class FakeWindows : public CommandLayer, public WindowProbe {
public:
    std::vector<std::string> stack;  // open windows, innermost last
    std::vector<std::string> log;

    std::optional<std::string> ActiveWindowTitle() override {
        if (stack.empty()) return std::nullopt;
        return stack.back();
    }

    void Modal(ScriptRunner& runner, const std::string& title) {
        stack.push_back(title);
        const std::size_t depth = stack.size();
        while (stack.size() == depth) {
            if (!runner.NextInput()) {
                log.push_back("no more input for " + title);
                stack.pop_back();
                break;
            }
        }
    }

    void AddCommands(CommandTable& table) override {
        table.Add({"open", Where::Host, "open \"T\"", [this](Call& call) {
                       const std::string title = call.Arguments().String("a title");
                       call.Arguments().End();
                       Modal(call.Runner(), title);
                       log.push_back("closed " + title);
                   }});
        table.Add({"nest", Where::Window, "nest \"T\"", [this](Call& call) {
                       const std::string title = call.Arguments().String("a title");
                       Modal(call.Runner(), title);
                   }});
        table.Add({"end", Where::Window, "end", [this](Call& call) {
                       call.Arguments().End();
                       stack.pop_back();
                   }});
        table.Add({"note", Where::Anywhere, "note WORD", [this](Call& call) {
                       log.push_back("note " + call.Arguments().Word("a word"));
                       call.Arguments().End();
                   }});
        table.Add({"count", Where::Anywhere, "count N", [](Call& call) {
                       call.Arguments().Integer("a count", 0, 10);
                   }});
        table.Add({"expect title", Where::Window, "expect title \"T\"", [this](Call& call) {
                       const std::string expected = call.Arguments().String("a title");
                       call.Arguments().End();
                       if (stack.back() != expected) call.Fail("title " + Quote(expected), Quote(stack.back()));
                       call.Pass();
                   }});
        table.Add({"expect nothing", Where::Anywhere, "expect nothing", [](Call& call) { call.Pass(); }});
        table.Add({"crash", Where::Anywhere, "crash", [](Call&) { throw std::runtime_error("boom"); }});
    }
};

struct ScriptRun {
    std::ostringstream out;
    FakeWindows windows;
    ScriptRunner runner{out};
    int status = -1;

    explicit ScriptRun(const std::string& script) {
        runner.AddLayer(windows);
        runner.SetWindowProbe(&windows);
        if (runner.Load("t.dlgs", script)) {
            status = runner.Run();
        } else {
            status = runner.Run();  // prints the counts after the load error
        }
    }
};

struct RunCase {
    const char* name;
    const char* script;
    int status;
    const char* output;
};

TEST(ScriptRunner, RunsLinesInOrderAndReportsLikeTheContractSays) {
    const RunCase cases[] = {
        {"empty script", "", 0, "0 passed, 0 failed\n"},
        {"host lines only", "note a\n\n# c\nnote b\n", 0, "0 passed, 0 failed\n"},
        {"window takes the lines while open", "open \"A\"\nexpect title \"A\"\nend\nexpect nothing\n", 0,
         "2 passed, 0 failed\n"},
        {"nested window takes the lines as soon as it opens",
         "open \"A\"\nnest \"B\"\nexpect title \"B\"\nend\nexpect title \"A\"\nend\n", 0, "2 passed, 0 failed\n"},
        {"failed expectation stops the run", "open \"A\"\nexpect title \"B\"\nend\nnote never\n", 1,
         "t.dlgs:2: expected title \"B\", got \"A\"\n0 passed, 1 failed\n"},
        {"ui command without a window", "expect nothing\nend\n", 2,
         "t.dlgs:2: no window is open for 'end'\n1 passed, 0 failed\n"},
        {"host command while a window is open", "open \"A\"\nopen \"B\"\n", 2,
         "t.dlgs:2: 'open \"B\"' is a host command, but window 'A' is still open\n0 passed, 0 failed\n"},
        {"script ends while a window is open", "note x\nopen \"Sample\"\n\n", 2,
         "t.dlgs:3: script ended while window 'Sample' is open (opened by line 2)\n0 passed, 0 failed\n"},
        {"unknown command is found before anything runs", "expect nothing\nclick OK\n", 2,
         "t.dlgs:2: unknown command 'click'\n0 passed, 0 failed\n"},
        {"unknown form of a family", "expect colour 3\n", 2,
         "t.dlgs:1: unknown form 'expect colour' (known: nothing, title)\n0 passed, 0 failed\n"},
        {"family word alone", "expect\n", 2, "t.dlgs:1: 'expect' needs one of: nothing, title\n0 passed, 0 failed\n"},
        {"quoted command", "\"open\"\n", 2, "t.dlgs:1: expected a command, got the string \"open\"\n0 passed, 0 failed\n"},
        {"syntax error is found before anything runs", "expect nothing\nopen \"A\n", 2,
         "t.dlgs:2: unterminated string (column 6)\n0 passed, 0 failed\n"},
        {"missing argument", "open\n", 2, "t.dlgs:1: expected a title after 'open'\n0 passed, 0 failed\n"},
        {"word where a string is needed", "open A\n", 2,
         "t.dlgs:1: expected a title (a quoted string) after 'open', got 'A'\n0 passed, 0 failed\n"},
        {"string where a word is needed", "note \"x\"\n", 2,
         "t.dlgs:1: expected a word after 'note', got the string \"x\"\n0 passed, 0 failed\n"},
        {"extra argument", "note a b\n", 2, "t.dlgs:1: unexpected b after 'note a'\n0 passed, 0 failed\n"},
        {"number out of range", "count 11\n", 2, "t.dlgs:1: a count 11 is out of range (0 to 10)\n0 passed, 0 failed\n"},
        {"not a number", "count 1x\n", 2, "t.dlgs:1: expected a count (a number) after 'count', got 1x\n0 passed, 0 failed\n"},
        {"exception in a command is a script error, not a crash", "crash\n", 2,
         "t.dlgs:1: internal error: boom\n0 passed, 0 failed\n"},
    };
    for (const auto& c : cases) {
        ScriptRun run(c.script);
        EXPECT_EQ(c.status, run.status) << c.name;
        EXPECT_EQ(c.output, run.out.str()) << c.name;
    }
}

TEST(ScriptRunner, AStoppedRunGivesNoMoreInputToEveryOpenWindow) {
    ScriptRun run("open \"A\"\nnest \"B\"\nexpect title \"X\"\nend\nend\n");
    EXPECT_EQ(1, run.status);
    const std::vector<std::string> expected = {"no more input for B", "no more input for A", "closed A"};
    EXPECT_EQ(expected, run.windows.log);
    EXPECT_TRUE(run.windows.stack.empty());
}

TEST(ScriptRunner, TheLastLinePrintedIsTheCount) {
    ScriptRun run("open \"A\"\nexpect title \"A\"\nexpect title \"A\"\n");
    EXPECT_EQ(2, run.status);
    const std::string out = run.out.str();
    EXPECT_TRUE(out.ends_with("\n2 passed, 0 failed\n")) << out;
}

TEST(ScriptRunner, AMissingFileIsAScriptError) {
    std::ostringstream out;
    ScriptRunner runner(out);
    EXPECT_FALSE(runner.LoadFile("/nonexistent/x.dlgs"));
    EXPECT_EQ(2, runner.Run());
    EXPECT_EQ("/nonexistent/x.dlgs: cannot open the script\n0 passed, 0 failed\n", out.str());

    std::ostringstream folderOut;
    ScriptRunner folder(folderOut);
    EXPECT_FALSE(folder.LoadFile("/"));
    EXPECT_EQ(2, folder.Run());
    EXPECT_EQ("/: cannot open the script: it is a folder\n0 passed, 0 failed\n", folderOut.str());
}

TEST(ScriptRunner, TwoLayersCannotDefineTheSameCommand) {
    std::ostringstream out;
    ScriptRunner runner(out);
    FakeWindows a, b;
    runner.AddLayer(a);
    EXPECT_THROW(runner.AddLayer(b), std::logic_error);
}

TEST(ScriptRunner, ALaterLayerAddsFormsToAnExistingFamily) {
    struct Extra : CommandLayer {
        void AddCommands(CommandTable& table) override {
            table.Add({"expect field", Where::Anywhere, "expect field", [](Call& call) { call.Pass(); }});
        }
    } extra;
    std::ostringstream out;
    FakeWindows windows;
    ScriptRunner runner(out);
    runner.AddLayer(windows);
    runner.AddLayer(extra);
    runner.SetWindowProbe(&windows);
    ASSERT_TRUE(runner.Load("t", "expect field\nexpect nothing\n"));
    EXPECT_EQ(0, runner.Run());
    EXPECT_EQ("2 passed, 0 failed\n", out.str());
}

}  // namespace
