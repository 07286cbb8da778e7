#pragma once
// A detached tmux session of our own for the tests that drive the terminal front end in a real
// pseudo-terminal: orv_term_probe (or another program) runs in its pane, keys are sent as a
// person types them, and the screen is read back, polling until the expected text shows.

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

inline std::string Quote(const std::string& text) {
    std::string out = "'";
    for (char ch : text) {
        if (ch == '\'') out += "'\\''";
        else out += ch;
    }
    return out + "'";
}

inline std::string Output(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

inline bool HaveTmux() { return std::system("tmux -V >/dev/null 2>&1") == 0; }

inline fs::path Scratch(const std::string& name) {
    const char* root = std::getenv("ORV_TEST_TMP");
    fs::path dir = fs::path(root ? root : fs::temp_directory_path().string()) /
                   ("terminal-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// One tmux server of our own (its own socket and an empty configuration without a status
// line), holding one session whose pane runs the probe and then says how it ended.
class Session {
public:
    // Runs orv_term_probe with `arguments` (and its result file), or with `program` another
    // program, in the session's scratch folder.
    Session(const std::string& name, int columns, int rows, const std::string& arguments,
            const std::string& program = "", const std::string& shellPrefix = "")
        : dir_(Scratch(name)) {
        socket_ = (dir_ / "tmux.sock").string();
        const fs::path config = dir_ / "tmux.conf";
        std::ofstream(config) << "set -g status off\nset -g escape-time 10\n";
        result_ = (dir_ / "result.txt").string();
        const std::string run = program.empty()
                                    ? std::string(ORV_TERM_PROBE) + " --result " + Quote(result_) + " " + arguments
                                    : program + " " + arguments;
        const std::string shell = shellPrefix + "cd " + Quote(dir_.string()) + " && " + run +
                                  "; st=$?; echo $st > status.txt; echo \"exit status $st\"; exec sleep 600";
        const std::string command = Tmux() + " -f " + Quote(config.string()) + " new-session -d -s probe -x " +
                                    std::to_string(columns) + " -y " + std::to_string(rows) + " " +
                                    Quote("sh -c " + Quote(shell)) + " >/dev/null 2>&1";
        started_ = std::system(("LANG=C.UTF-8 " + command).c_str()) == 0;
    }
    ~Session() {
        std::system((Tmux() + " kill-server >/dev/null 2>&1").c_str());
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    bool Started() const { return started_; }
    std::string Screen() const { return Output(Tmux() + " capture-pane -p -t probe 2>/dev/null"); }
    // tmux key names: Tab, BTab, Enter, Escape, Space, Up, NPage, F1, M-y, ...
    void Keys(const std::string& keys) const { std::system((Tmux() + " send-keys -t probe " + keys).c_str()); }
    void Kill() const { std::system((Tmux() + " kill-server >/dev/null 2>&1").c_str()); }
    void Resize(int columns, int rows) const {
        std::system((Tmux() + " resize-window -t probe -x " + std::to_string(columns) + " -y " + std::to_string(rows) +
                     " >/dev/null 2>&1")
                        .c_str());
    }
    // Pastes as a terminal does for a program that asked for bracketed paste.
    void Paste(const std::string& text) const {
        std::system((Tmux() + " set-buffer -b clip " + Quote(text)).c_str());
        std::system((Tmux() + " paste-buffer -p -d -b clip -t probe").c_str());
    }
    void Type(const std::string& text) const {
        std::system((Tmux() + " send-keys -t probe -l " + Quote(text)).c_str());
    }
    // Polls the screen until it shows every one of `texts` and has stopped changing (a screen
    // caught halfway through a redraw can show the first text and not yet the rest); false
    // (with the last screen) after the time-out.
    bool WaitForAll(const std::vector<std::string>& texts, std::string* screen = nullptr, int seconds = 30) const {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        std::string last;
        auto showsAll = [&texts](const std::string& shown) {
            for (const std::string& text : texts)
                if (shown.find(text) == std::string::npos) return false;
            return true;
        };
        while (std::chrono::steady_clock::now() < until) {
            last = Screen();
            if (showsAll(last)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(60));
                const std::string again = Screen();
                if (again == last) {
                    if (screen) *screen = last;
                    return true;
                }
                continue;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
        if (screen) *screen = last;
        std::string wanted;
        for (const std::string& text : texts) wanted += (wanted.empty() ? "\"" : ", \"") + text + "\"";
        ADD_FAILURE() << "the screen never showed " << wanted << " and settled; it shows:\n" << last;
        return false;
    }
    bool WaitFor(const std::string& text, std::string* screen = nullptr, int seconds = 30) const {
        return WaitForAll({text}, screen, seconds);
    }
    std::string Result() const {
        std::ifstream in(result_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    fs::path Dir() const { return dir_; }

private:
    // A server of our own even when the tests run inside tmux.
    std::string Tmux() const { return "env -u TMUX tmux -u -S " + Quote(socket_); }

    fs::path dir_;
    std::string socket_;
    std::string result_;
    bool started_ = false;
};

#define REQUIRE_TMUX()                                                               \
    do {                                                                             \
        if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed (Debian: tmux)";      \
    } while (0)

}  // namespace
