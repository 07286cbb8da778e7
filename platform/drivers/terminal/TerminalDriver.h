#pragma once
// The terminal front end: the kernel's window stack drawn with curses in a terminal of at least
// 80 x 24, and a person's keys turned into the kernel's input events (Input.h), the same events
// scripts send. The kernel stays authoritative; the screen is drawn afresh from its state.
//
// This header has no curses types, so that callers need not build against curses.

#include <memory>
#include <string>

#include "platform/win/Driver.h"
#include "platform/win/WinTypes.h"

namespace orv::term {

struct TerminalDriverOptions {
    orv::win::Driver* inner = nullptr;   // with an inner driver (scripted) the screen only shows the run
    int slowMilliseconds = 0;            // with an inner driver: pause before each input
    int inputFd = 0, outputFd = 1;       // the terminal
};

class TerminalDriver : public orv::win::Driver {
public:
    explicit TerminalDriver(TerminalDriverOptions options);
    ~TerminalDriver() override;           // restores the terminal
    TerminalDriver(const TerminalDriver&) = delete;
    TerminalDriver& operator=(const TerminalDriver&) = delete;

    // Takes the terminal (curses screen). False with a clear reason when it is not a terminal or
    // is smaller than 80 x 24 ("The terminal is 70 x 20; the dialogs need at least 80 x 24.").
    bool Start(std::string& error);
    // Gives the terminal back as it was; also done by the destructor. Does nothing when not started.
    void Stop();
    bool Started() const;

    // Draws, then reads keys until one becomes an input event or about 50 ms have passed; the
    // kernel clock follows real time meanwhile, so timers and fades run. False when the terminal
    // went away (end of input) or was never started. With an inner driver: draws, waits
    // slowMilliseconds, then asks the inner driver.
    bool WaitForInput(HWND modal) override;
    void WindowCreated(HWND hwnd) override;
    void WindowDestroyed(HWND hwnd) override;
    void WindowChanged(HWND hwnd, orv::win::WindowChange what) override;
    void ModalLoopEntered(HWND hwnd) override;
    void ModalLoopLeft(HWND hwnd, INT_PTR result) override;
    void Beeped(UINT type) override;
    void HelpRequested(std::size_t index) override;
    void InputRefused(std::size_t index) override;
    void ShellExecuted(std::size_t index) override;
    void ProcedureFailed(HWND hwnd, UINT message, const std::wstring& what) override;

    // Draws the screen now (when started).
    void Redraw();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The terminal's size in columns and rows; false when `fd` is not a terminal.
bool TerminalSize(int fd, int& columns, int& rows);

}  // namespace orv::term
