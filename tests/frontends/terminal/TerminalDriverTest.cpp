// The terminal driver without a terminal: Start refuses with its reason and leaves nothing
// changed; an inner driver is still asked for input.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>

#include <clocale>
#include <string>

#include "platform/drivers/terminal/TerminalDriver.h"
#include "platform/win/Inspect.h"
#include "platform/win/WinApi.h"

namespace {

struct Pipe {
    int fds[2] = {-1, -1};
    Pipe() { EXPECT_EQ(::pipe(fds), 0); }
    ~Pipe() {
        ::close(fds[0]);
        ::close(fds[1]);
    }
};

TEST(TerminalDriver, StartRefusesWhatIsNotATerminalAndSaysWhich) {
    Pipe in, out;
    const std::string locale = std::setlocale(LC_CTYPE, nullptr);
    struct Case {
        int input, output;
        const char* error;
    } cases[] = {
        {in.fds[0], out.fds[1], "The input is not a terminal."},
        {-1, out.fds[1], "The input is not a terminal."},
    };
    for (const auto& c : cases) {
        orv::term::TerminalDriverOptions options;
        options.inputFd = c.input;
        options.outputFd = c.output;
        orv::term::TerminalDriver driver(options);
        std::string error;
        EXPECT_FALSE(driver.Start(error));
        EXPECT_EQ(error, c.error);
        EXPECT_FALSE(driver.Started());
        // Not started: no input, and stopping does nothing.
        EXPECT_FALSE(driver.WaitForInput(nullptr));
        driver.Stop();
    }
    EXPECT_EQ(std::setlocale(LC_CTYPE, nullptr), locale);
    int columns = 0, rows = 0;
    EXPECT_FALSE(orv::term::TerminalSize(in.fds[0], columns, rows));
}

// A pseudo-terminal of the given size; the driver reads the slave side.
struct PseudoTerminal {
    int master = -1, slave = -1;
    PseudoTerminal(int columns, int rows) {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return;
        slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
        winsize size{};
        size.ws_col = static_cast<unsigned short>(columns);
        size.ws_row = static_cast<unsigned short>(rows);
        ::ioctl(slave, TIOCSWINSZ, &size);
    }
    ~PseudoTerminal() {
        if (slave >= 0) ::close(slave);
        if (master >= 0) ::close(master);
    }
};

TEST(TerminalDriver, StartRefusesAPipeForOutputASmallTerminalAndAnUnknownKind) {
    PseudoTerminal small(70, 20), large(120, 40);
    ASSERT_GE(small.slave, 0);
    ASSERT_GE(large.slave, 0);
    Pipe out;
    const char* term = std::getenv("TERM");
    const std::string savedTerm = term ? term : "";
    ::setenv("TERM", "xterm", 1);
    struct Case {
        int input, output;
        const char* termValue;
        const char* error;
    } cases[] = {
        {large.slave, out.fds[1], "xterm", "The output is not a terminal."},
        {small.slave, small.slave, "xterm", "The terminal is 70 x 20; the dialogs need at least 80 x 24."},
        {large.slave, large.slave, "", "The terminal's kind is unknown (TERM is not set or is \"dumb\")."},
        {large.slave, large.slave, "dumb", "The terminal's kind is unknown (TERM is not set or is \"dumb\")."},
    };
    for (const auto& c : cases) {
        ::setenv("TERM", c.termValue, 1);
        orv::term::TerminalDriverOptions options;
        options.inputFd = c.input;
        options.outputFd = c.output;
        orv::term::TerminalDriver driver(options);
        std::string error;
        EXPECT_FALSE(driver.Start(error)) << c.error;
        EXPECT_EQ(error, c.error);
        EXPECT_FALSE(driver.Started());
    }
    // A kind that curses does not know: curses keeps a little memory of the failed attempt for
    // the rest of the process, so the attempt runs in a child that ends without a leak check.
    ::setenv("TERM", "no-such-terminal-kind", 1);
    EXPECT_EXIT(
        {
            orv::term::TerminalDriverOptions options;
            options.inputFd = options.outputFd = large.slave;
            orv::term::TerminalDriver driver(options);
            std::string error;
            const bool refused = !driver.Start(error) &&
                                 error == "The terminal of kind \"no-such-terminal-kind\" is not known to curses.";
            std::_Exit(refused ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    int columns = 0, rows = 0;
    EXPECT_TRUE(orv::term::TerminalSize(small.slave, columns, rows));
    EXPECT_EQ(columns, 70);
    EXPECT_EQ(rows, 20);
    if (term) ::setenv("TERM", savedTerm.c_str(), 1);
    else ::unsetenv("TERM");
}

// An inner driver that gives no input but counts the requests and the records passed on.
class Counting : public orv::win::Driver {
public:
    bool WaitForInput(HWND) override {
        ++waits;
        return false;
    }
    void Beeped(UINT) override { ++beeps; }
    int waits = 0, beeps = 0;
};

TEST(TerminalDriver, WithoutATerminalAnInnerDriverStillGivesTheInput) {
    orv::win::ResetKernel();
    Counting inner;
    orv::term::TerminalDriverOptions options;
    options.inner = &inner;
    options.slowMilliseconds = 5000;  // no pause without a screen
    orv::term::TerminalDriver driver(options);
    orv::win::DriverScope scope(&driver);
    EXPECT_EQ(MessageBox(nullptr, L"Go on?", L"Question", MB_YESNO), orv::win::kModalNoInput);
    EXPECT_EQ(inner.waits, 1);
    MessageBeep(0);
    EXPECT_EQ(inner.beeps, 1);
    orv::win::ResetKernel();
}

}  // namespace
