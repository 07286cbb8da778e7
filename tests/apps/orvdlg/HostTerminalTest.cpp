// The host window at a terminal: `orvdlg --ui terminal` in a tmux pseudo-terminal shows the
// sample model, opens a dialog on Enter and exits on Escape. Built only with the terminal front
// end; skipped without tmux.

#include <gtest/gtest.h>

#ifdef ORV_HAVE_TERMINAL

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace {

std::string Capture(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}

class TmuxSession {
public:
    explicit TmuxSession(const std::string& command)
        : tmux_("tmux -L orvdlg-host-" + std::to_string(getpid()) + " ") {
        std::system((tmux_ + "new-session -d -s host -x 120 -y 40 " + Quote(command)).c_str());
    }
    ~TmuxSession() { std::system((tmux_ + "kill-server 2>/dev/null").c_str()); }
    std::string Screen() { return Capture(tmux_ + "capture-pane -p -t host 2>/dev/null"); }
    void Keys(const std::string& keys) { std::system((tmux_ + "send-keys -t host " + keys).c_str()); }
    // Waits (polling, up to 60 s on a loaded machine) until the screen shows the text.
    bool WaitFor(const std::string& text) {
        for (int i = 0; i < 1200; ++i) {
            if (Screen().find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

private:
    static std::string Quote(const std::string& text) { return "'" + text + "'"; }
    std::string tmux_;
};

TEST(HostTerminal, ThePersonOpensADialogAndExits) {
    if (std::system("command -v tmux >/dev/null 2>&1") != 0) GTEST_SKIP() << "tmux is not installed";
    const std::string orvdlg = std::string(ORV_BINARY_DIR) + "/bin/orvdlg";
    if (!std::filesystem::exists(orvdlg)) GTEST_SKIP() << "orvdlg is not built";
    TmuxSession tmux("env -u DISPLAY -u WAYLAND_DISPLAY " + orvdlg + " --ui terminal; echo EXIT=$?; sleep 120");
    ASSERT_TRUE(tmux.WaitFor("orvdlg - bracket.json")) << tmux.Screen();
    EXPECT_NE(std::string::npos, tmux.Screen().find("28 objects in design scenario 1")) << tmux.Screen();
    // Modify... on the first row: the applied temperature of a node.
    tmux.Keys("Enter");
    ASSERT_TRUE(tmux.WaitFor("Modifying 1 Applied Temperature Object")) << tmux.Screen();
    tmux.Keys("Escape");
    ASSERT_TRUE(tmux.WaitFor("Nothing modified.")) << tmux.Screen();
    tmux.Keys("Escape");
    ASSERT_TRUE(tmux.WaitFor("EXIT=0")) << tmux.Screen();
}

}  // namespace

#endif
