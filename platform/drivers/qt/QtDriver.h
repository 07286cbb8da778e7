#pragma once
// The Qt front end: every kernel window shown as a Qt widget at its rectangle, kept in step
// with the kernel through the driver notifications, and a person's input turned into the
// kernel's input events (Input.h). The kernel stays authoritative: the widgets hold no state
// of their own that the kernel does not give back at the next sync.
//
// This header has no Qt types, so that callers need not build against Qt.

#include <functional>
#include <memory>
#include <string>

#include "platform/win/Driver.h"
#include "platform/win/WinTypes.h"

namespace orv::qt {

struct QtDriverOptions {
    // A driver to take input from (the scripted driver): the widgets only show the run. Null:
    // input comes from a person through the widgets, with modal loops nested in Qt's loop.
    orv::win::Driver* inner = nullptr;
    // With an inner driver: milliseconds to wait (showing the windows) before each input.
    int slowMilliseconds = 0;
    // Called after each input the inner driver gave, with the window that waited for it.
    std::function<void(HWND modal)> afterInput;
};

// Creates the Qt application object when there is none yet. With `offscreen`, or when no
// display is reachable, Qt's offscreen platform is used (no display needed).
void EnsureApplication(bool offscreen);

class QtDriver : public orv::win::Driver {
public:
    explicit QtDriver(QtDriverOptions options);
    ~QtDriver() override;
    QtDriver(const QtDriver&) = delete;
    QtDriver& operator=(const QtDriver&) = delete;

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

    // Brings every widget in step with the kernel now.
    void Sync();
    // Writes a PNG of the top-level window `hwnd` as shown: frame, caption and client area,
    // exactly the kernel's window rectangle in size. False with `error` set on failure.
    bool SaveWindowImage(HWND hwnd, const std::string& path, std::string& error);
    // Writes a PNG of every visible top-level window at its place, lowest first, over the
    // smallest rectangle that holds them all (windows that stand beside each other).
    bool SaveScreenImage(const std::string& path, std::string& error);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Size and number of distinct colours of a PNG file; false when it cannot be read.
bool ReadImageSummary(const std::string& path, int& width, int& height, int& colours);

}  // namespace orv::qt
