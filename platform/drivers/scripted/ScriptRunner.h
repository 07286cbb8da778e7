#pragma once
// The reader of a scenario script and its layered command tables.
//
// One ScriptRunner takes the lines in order. Run() reads at the host level; while a modal
// window is open the scripted driver calls NextInput(), which performs the next command on
// the active window. Commands come from layers (UI commands, host commands, ...); each layer
// adds its own entries to the table and never changes another layer's. The core knows nothing
// about windows: a WindowProbe tells it whether a window is open and what it is called.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drivers/scripted/ScriptLexer.h"

namespace orv::script {

// Exit status of a run.
enum ExitCode : int {
    kExitPassed = 0,
    kExitExpectationFailed = 1,
    kExitScriptError = 2,
};

// Thrown by a command for a script error (syntax of its arguments, unknown control, no such
// window); the runner reports it as "FILE:LINE: message" and stops with exit status 2.
class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Thrown by an expectation that does not hold; reported as "FILE:LINE: expected E, got G",
// stopping with exit status 1.
class ExpectationFailed : public std::runtime_error {
public:
    ExpectationFailed(const std::string& expected, const std::string& got)
        : std::runtime_error("expected " + expected + ", got " + got) {}
};

// Where a command may run.
enum class Where {
    Window,    // on the active window; a script error when none is open
    Host,      // at the host level; a script error while a modal window is open
    Anywhere,  // both
};

// The arguments of one command, read left to right. Every accessor names what it expects
// so that a missing or wrong argument gives "expected WHAT after 'click'".
class Args {
public:
    Args(const ScriptLine& line, std::size_t first, std::string commandName);

    bool AtEnd() const { return next_ >= line_->tokens.size(); }
    std::size_t Remaining() const { return line_->tokens.size() - next_; }
    const Token& Peek() const;
    // True (and consumed) when the next token is the unquoted word `word`.
    bool TakeWord(std::string_view word);
    // The next token, quoted or not.
    const Token& Any(std::string_view what);
    // The next token, which must be quoted.
    std::string String(std::string_view what);
    // The next token, which must be an unquoted word.
    std::string Word(std::string_view what);
    // The next token as an integer in [min, max] (decimal or 0x-hexadecimal).
    std::int64_t Integer(std::string_view what, std::int64_t min = INT64_MIN, std::int64_t max = INT64_MAX);
    // The remaining tokens, which must all be quoted strings (at least `min` of them).
    std::vector<std::string> Strings(std::string_view what, std::size_t min = 0);
    // Fails when tokens are left over.
    void End();

    [[noreturn]] void Fail(const std::string& message) const;  // throws ScriptError
    const std::string& CommandName() const { return command_; }

private:
    std::string Context() const;  // "'click OK'" up to the token being read
    const ScriptLine* line_;
    std::size_t first_;
    std::size_t next_;
    std::string command_;
};

class ScriptRunner;

// One command being performed.
class Call {
public:
    Call(ScriptRunner& runner, const ScriptLine& line, Args args)
        : runner_(runner), line_(line), args_(std::move(args)) {}
    ScriptRunner& Runner() { return runner_; }
    const ScriptLine& Line() const { return line_; }
    Args& Arguments() { return args_; }
    std::ostream& Out();
    // An expectation that held: counts one passed.
    void Pass();
    // An expectation that did not hold: throws ExpectationFailed.
    [[noreturn]] void Fail(const std::string& expected, const std::string& got);
    [[noreturn]] void Error(const std::string& message) { args_.Fail(message); }

private:
    ScriptRunner& runner_;
    const ScriptLine& line_;
    Args args_;
};

struct Command {
    // One word ("click") or a family word and a form ("expect title").
    std::string name;
    Where where = Where::Window;
    // How it is written, for messages and --help: "click CTL".
    std::string usage;
    std::function<void(Call&)> run;
};

class CommandTable {
public:
    // Adds a command; a name given twice is a programming error (std::logic_error).
    void Add(Command command);
    // The command a line starts with, and the index of its first argument; null when the line
    // names no command (error tells why: unknown command or unknown form of a family).
    const Command* Find(const ScriptLine& line, std::size_t& firstArgument, std::string& error) const;
    std::vector<const Command*> All() const;

private:
    std::map<std::string, Command, std::less<>> commands_;
};

// A set of commands that belong together (UI, host, framework, ...).
class CommandLayer {
public:
    virtual ~CommandLayer() = default;
    virtual void AddCommands(CommandTable& table) = 0;
};

// What the runner needs to know about windows.
class WindowProbe {
public:
    virtual ~WindowProbe() = default;
    // The title of the active window, nullopt when no window is open.
    virtual std::optional<std::string> ActiveWindowTitle() = 0;
};

class ScriptRunner {
public:
    explicit ScriptRunner(std::ostream& out);
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // Adds a layer's commands; layers are kept alive by the caller.
    void AddLayer(CommandLayer& layer);
    CommandTable& Table() { return table_; }
    void SetWindowProbe(WindowProbe* probe) { probe_ = probe; }

    // Loads a script; false (with the error reported and the run stopped) when it has a syntax
    // error or names an unknown command anywhere: nothing runs then.
    bool Load(std::string name, std::string_view text);
    // Loads the file at `path`; a missing file is a script error.
    bool LoadFile(const std::string& path);

    // Reads every line at the host level, prints "N passed, N failed" and returns the exit
    // status.
    int Run();

    // Called by the driver while a modal window waits for input: performs the next command on
    // it. False when there is no more input for the window (the script ended, a host command
    // came, or the run has stopped); the window's modal loop then fails.
    bool NextInput();

    // Stops the run with a script error or a failure at `line` (0: no line).
    void ReportError(int line, const std::string& message);
    void ReportFailure(int line, const std::string& message);

    bool Stopped() const { return stopped_; }
    int ExitStatus() const { return exit_; }
    int Passed() const { return passed_; }
    int Failed() const { return failed_; }
    std::ostream& Out() { return out_; }
    const std::string& ScriptName() const { return name_; }
    // The line being performed (0 before the first).
    int CurrentLine() const { return currentLine_; }

    void CountPass() { ++passed_; }
    // Called after each line performed at the host level (a modeless window may be open), with
    // its number; the picture taker uses it.
    void SetAfterHostLine(std::function<void(int line)> hook) { afterHostLine_ = std::move(hook); }

private:
    const ScriptLine* NextCommandLine();
    // Performs one line; `modal` while a modal window waits for it.
    void Perform(const ScriptLine& line, bool modal);
    std::string Prefix(int line) const;

    std::ostream& out_;
    CommandTable table_;
    WindowProbe* probe_ = nullptr;
    std::string name_ = "script";
    std::vector<ScriptLine> lines_;
    std::size_t cursor_ = 0;
    int currentLine_ = 0;
    int hostLine_ = 0;  // the host-level line being performed (it opened any modal window)
    std::function<void(int line)> afterHostLine_;
    int passed_ = 0;
    int failed_ = 0;
    bool stopped_ = false;
    int exit_ = kExitPassed;
};

}  // namespace orv::script
