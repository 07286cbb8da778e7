#include "platform/drivers/scripted/ScriptRunner.h"

#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

namespace orv::script {
namespace {

std::string Written(const Token& token) { return token.quoted ? Quote(token.text) : token.text; }

}  // namespace

// ---- Args ----

Args::Args(const ScriptLine& line, std::size_t first, std::string commandName)
    : line_(&line), first_(first), next_(first), command_(std::move(commandName)) {}

std::string Args::Context() const {
    std::string text = command_;
    for (std::size_t i = first_; i < next_ && i < line_->tokens.size(); ++i)
        text += ' ' + Written(line_->tokens[i]);
    return "'" + text + "'";
}

void Args::Fail(const std::string& message) const { throw ScriptError(message); }

const Token& Args::Peek() const {
    static const Token kNone;
    return AtEnd() ? kNone : line_->tokens[next_];
}

bool Args::TakeWord(std::string_view word) {
    if (AtEnd() || Peek().quoted || Peek().text != word) return false;
    ++next_;
    return true;
}

const Token& Args::Any(std::string_view what) {
    if (AtEnd()) Fail("expected " + std::string(what) + " after " + Context());
    return line_->tokens[next_++];
}

std::string Args::String(std::string_view what) {
    if (AtEnd()) Fail("expected " + std::string(what) + " after " + Context());
    const Token& token = Peek();
    if (!token.quoted)
        Fail("expected " + std::string(what) + " (a quoted string) after " + Context() + ", got '" +
             token.text + "'");
    ++next_;
    return token.text;
}

std::string Args::Word(std::string_view what) {
    if (AtEnd()) Fail("expected " + std::string(what) + " after " + Context());
    const Token& token = Peek();
    if (token.quoted)
        Fail("expected " + std::string(what) + " after " + Context() + ", got the string " +
             Quote(token.text));
    ++next_;
    return token.text;
}

std::int64_t Args::Integer(std::string_view what, std::int64_t min, std::int64_t max) {
    if (AtEnd()) Fail("expected " + std::string(what) + " after " + Context());
    const Token& token = Peek();
    const auto value = token.quoted ? std::nullopt : ParseInteger(token.text);
    if (!value)
        Fail("expected " + std::string(what) + " (a number) after " + Context() + ", got " +
             Written(token));
    if (*value < min || *value > max)
        Fail(std::string(what) + " " + token.text + " is out of range (" + std::to_string(min) +
             " to " + std::to_string(max) + ")");
    ++next_;
    return *value;
}

std::vector<std::string> Args::Strings(std::string_view what, std::size_t min) {
    std::vector<std::string> values;
    while (!AtEnd()) values.push_back(String(what));
    if (values.size() < min) Fail("expected " + std::string(what) + " after " + Context());
    return values;
}

void Args::End() {
    if (!AtEnd()) Fail("unexpected " + Written(Peek()) + " after " + Context());
}

// ---- Call ----

std::ostream& Call::Out() { return runner_.Out(); }
void Call::Pass() { runner_.CountPass(); }
void Call::Fail(const std::string& expected, const std::string& got) {
    throw ExpectationFailed(expected, got);
}

// ---- CommandTable ----

void CommandTable::Add(Command command) {
    if (command.name.empty() || !command.run) throw std::logic_error("a command needs a name and a body");
    const std::string name = command.name;
    if (!commands_.emplace(name, std::move(command)).second)
        throw std::logic_error("command '" + name + "' is defined twice");
}

const Command* CommandTable::Find(const ScriptLine& line, std::size_t& firstArgument,
                                  std::string& error) const {
    error.clear();
    if (line.tokens.empty()) return nullptr;
    const Token& head = line.tokens[0];
    if (head.quoted) {
        error = "expected a command, got the string " + Quote(head.text);
        return nullptr;
    }
    if (line.tokens.size() > 1 && !line.tokens[1].quoted) {
        const auto it = commands_.find(head.text + " " + line.tokens[1].text);
        if (it != commands_.end()) {
            firstArgument = 2;
            return &it->second;
        }
    }
    if (const auto it = commands_.find(head.text); it != commands_.end()) {
        firstArgument = 1;
        return &it->second;
    }
    // A family word ("expect") with an unknown or missing form.
    std::string forms;
    const std::string prefix = head.text + " ";
    for (auto it = commands_.lower_bound(prefix); it != commands_.end() && it->first.starts_with(prefix); ++it)
        forms += (forms.empty() ? "" : ", ") + it->first.substr(prefix.size());
    if (!forms.empty()) {
        if (line.tokens.size() < 2)
            error = "'" + head.text + "' needs one of: " + forms;
        else
            error = "unknown form '" + head.text + " " + Written(line.tokens[1]) + "' (known: " + forms + ")";
    } else {
        error = "unknown command '" + head.text + "'";
    }
    return nullptr;
}

std::vector<const Command*> CommandTable::All() const {
    std::vector<const Command*> all;
    for (const auto& [name, command] : commands_) all.push_back(&command);
    return all;
}

// ---- ScriptRunner ----

ScriptRunner::ScriptRunner(std::ostream& out) : out_(out) {}

void ScriptRunner::AddLayer(CommandLayer& layer) { layer.AddCommands(table_); }

std::string ScriptRunner::Prefix(int line) const {
    return line > 0 ? name_ + ":" + std::to_string(line) + ": " : name_ + ": ";
}

void ScriptRunner::ReportError(int line, const std::string& message) {
    if (stopped_) return;
    out_ << Prefix(line) << message << '\n';
    stopped_ = true;
    exit_ = kExitScriptError;
}

void ScriptRunner::ReportFailure(int line, const std::string& message) {
    if (stopped_) return;
    out_ << Prefix(line) << message << '\n';
    ++failed_;
    stopped_ = true;
    exit_ = kExitExpectationFailed;
}

bool ScriptRunner::Load(std::string name, std::string_view text) {
    name_ = std::move(name);
    lines_.clear();
    cursor_ = 0;
    if (auto error = SplitScript(text, lines_)) {
        lines_.clear();
        ReportError(error->line, error->message + " (column " + std::to_string(error->column) + ")");
        return false;
    }
    // Every command name is checked before anything runs, so that a typo near the end does not
    // cost a run.
    for (const ScriptLine& line : lines_) {
        if (line.tokens.empty()) continue;
        std::size_t first = 0;
        std::string error;
        if (!table_.Find(line, first, error)) {
            ReportError(line.number, error);
            lines_.clear();
            return false;
        }
    }
    return true;
}

bool ScriptRunner::LoadFile(const std::string& path) {
    name_ = path;
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        ReportError(0, "cannot open the script: it is a folder");
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ReportError(0, "cannot open the script");
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        ReportError(0, "cannot read the script");
        return false;
    }
    return Load(path, text.str());
}

const ScriptLine* ScriptRunner::NextCommandLine() {
    while (cursor_ < lines_.size()) {
        const ScriptLine& line = lines_[cursor_++];
        if (!line.tokens.empty()) return &line;
    }
    return nullptr;
}

void ScriptRunner::Perform(const ScriptLine& line, bool modal) {
    currentLine_ = line.number;
    std::size_t first = 0;
    std::string error;
    const Command* command = table_.Find(line, first, error);
    if (!command) {
        ReportError(line.number, error);
        return;
    }
    std::string written;
    for (const Token& token : line.tokens) written += (written.empty() ? "" : " ") + Written(token);
    const std::optional<std::string> title = probe_ ? probe_->ActiveWindowTitle() : std::nullopt;
    if (command->where == Where::Window && !title) {
        ReportError(line.number, "no window is open for '" + written + "'");
        return;
    }
    if (command->where == Where::Host && modal) {
        ReportError(line.number, "'" + written + "' is a host command, but window '" +
                                     title.value_or("") + "' is still open");
        return;
    }
    if (!modal) hostLine_ = line.number;
    try {
        Call call(*this, line, Args(line, first, command->name));
        command->run(call);
    } catch (const ExpectationFailed& failure) {
        ReportFailure(line.number, failure.what());
    } catch (const ScriptError& failure) {
        ReportError(line.number, failure.what());
    } catch (const std::exception& failure) {
        ReportError(line.number, std::string("internal error: ") + failure.what());
    }
}

bool ScriptRunner::NextInput() {
    if (stopped_) return false;
    const ScriptLine* line = NextCommandLine();
    if (!line) {
        const std::string title = probe_ ? probe_->ActiveWindowTitle().value_or("") : std::string();
        const int last = lines_.empty() ? 0 : lines_.back().number;
        ReportError(last, "script ended while window '" + title + "' is open" +
                              (hostLine_ > 0 ? " (opened by line " + std::to_string(hostLine_) + ")" : ""));
        return false;
    }
    Perform(*line, true);
    return !stopped_;
}

int ScriptRunner::Run() {
    while (!stopped_) {
        const ScriptLine* line = NextCommandLine();
        if (!line) break;
        Perform(*line, false);
        if (afterHostLine_ && !stopped_) afterHostLine_(line->number);
    }
    if (!stopped_ && probe_) {
        if (const auto title = probe_->ActiveWindowTitle()) {
            const int last = lines_.empty() ? 0 : lines_.back().number;
            ReportError(last, "script ended while window '" + *title + "' is open");
        }
    }
    out_ << passed_ << " passed, " << failed_ << " failed" << '\n';
    out_.flush();
    return exit_;
}

}  // namespace orv::script
