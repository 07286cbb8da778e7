#pragma once
// The driver: what the kernel asks of a front end. Every entry has a do-nothing default, so the
// base class itself is the null driver that unit tests run on. One driver is active per process;
// a front end overrides only what it shows or feeds.

#include <string>

#include "platform/win/WinTypes.h"

namespace orv::win {

// What changed about a window, for WindowChanged.
enum class WindowChange {
    Text,
    Style,      // style or extended style, including enabled (WS_DISABLED) and visible
    Enabled,
    Visible,
    Rect,
    Focus,      // the window gained or lost the focus
    State,      // control state: check, items, selection, range, tabs, columns
    Redraw,     // invalidated or its display list changed
    Alpha,      // layered-window alpha
};

class Driver {
public:
    virtual ~Driver() = default;

    // The modal loop of `modal` has no posted message left. Feed input through Input.h (or
    // advance the clock) and return true, or return false when there is no more input: the
    // loop then ends `modal` at once with kModalNoInput and records an error (ModalError()).
    // The null driver has no input.
    virtual bool WaitForInput(HWND modal) {
        (void)modal;
        return false;
    }

    // Notifications, so that a front end can mirror the kernel's state.
    virtual void WindowCreated(HWND hwnd) { (void)hwnd; }
    virtual void WindowDestroyed(HWND hwnd) { (void)hwnd; }
    virtual void WindowChanged(HWND hwnd, WindowChange what) {
        (void)hwnd;
        (void)what;
    }
    // A modal loop started (a dialog or message box became the active window) or ended.
    virtual void ModalLoopEntered(HWND hwnd) { (void)hwnd; }
    virtual void ModalLoopLeft(HWND hwnd, INT_PTR result) {
        (void)hwnd;
        (void)result;
    }
    // Recorded side effects (also kept by the kernel: see Inspect.h).
    virtual void Beeped(UINT type) { (void)type; }
    virtual void HelpRequested(std::size_t index) { (void)index; }  // index into HelpRequests()
    virtual void InputRefused(std::size_t index) { (void)index; }   // index into InputRefusals()
    virtual void ShellExecuted(std::size_t index) { (void)index; }  // index into ShellExecutes()
    // A window procedure threw; the kernel caught it and keeps the window alive.
    virtual void ProcedureFailed(HWND hwnd, UINT message, const std::wstring& what) {
        (void)hwnd;
        (void)message;
        (void)what;
    }
};

// The result a modal loop ends with when the driver runs out of input. Distinct from every
// IDOK..IDHELP answer and from -1 (a dialog that could not be created).
inline constexpr INT_PTR kModalNoInput = -2;

// The active driver; the null driver when none is set. Never null.
Driver& ActiveDriver();
// Makes `driver` active (not owned; null: the null driver). Returns the previous one.
Driver* SetDriver(Driver* driver);

// Sets a driver for a scope and puts the previous one back.
class DriverScope {
public:
    explicit DriverScope(Driver* driver) : previous_(SetDriver(driver)) {}
    ~DriverScope() { SetDriver(previous_); }
    DriverScope(const DriverScope&) = delete;
    DriverScope& operator=(const DriverScope&) = delete;

private:
    Driver* previous_;
};

// Why the last modal loop that ended with kModalNoInput ended, e.g.
// "no more input while the dialog \"Open\" (#32770) waits for input"; empty when none failed.
const std::wstring& ModalError();
void ClearModalError();

}  // namespace orv::win
