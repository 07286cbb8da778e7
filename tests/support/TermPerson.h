#pragma once
// A person at a terminal, for tests of the terminal front end without a terminal: at each input
// request the screen is drawn from the kernel's state, then the next step looks at it and
// presses keys, given as the terminal would read them.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/drivers/terminal/TermCanvas.h"
#include "platform/drivers/terminal/TermUi.h"
#include "platform/win/Driver.h"
#include "platform/win/Inspect.h"

namespace orvtest {

// A key as the terminal reads it.
inline orv::term::Key MakeKey(orv::term::KeyCode code, wchar_t ch = 0, bool shift = false, bool control = false,
                              bool alt = false) {
    orv::term::Key k;
    k.code = code;
    k.ch = ch;
    k.shift = shift;
    k.control = control;
    k.alt = alt;
    return k;
}

class TermPerson : public orv::win::Driver {
public:
    using Step = std::function<void(TermPerson&)>;
    explicit TermPerson(std::vector<Step> steps, int width = 100, int height = 30)
        : screen(width, height), steps_(std::move(steps)) {}

    bool WaitForInput(HWND) override {
        if (next_ >= steps_.size()) return false;
        Draw();
        steps_[next_++](*this);
        return true;
    }
    void HelpRequested(std::size_t index) override { ui.ShowHelp(orv::win::HelpRequests()[index].popupText); }

    void Draw() { cursor = ui.Render(screen); }
    void Press(orv::term::KeyCode code, bool shift = false, bool control = false, bool alt = false) {
        ui.HandleKey(MakeKey(code, 0, shift, control, alt));
    }
    void Type(const std::wstring& text) {
        for (wchar_t ch : text) ui.HandleKey(MakeKey(orv::term::KeyCode::Char, ch));
    }
    void Alt(wchar_t ch) { ui.HandleKey(MakeKey(orv::term::KeyCode::Char, ch, false, false, true)); }

    // Where `text` is on the screen; x -1 when it is not.
    std::pair<int, int> Find(const std::wstring& text) const {
        for (int y = 0; y < screen.Height(); ++y)
            if (const auto at = screen.Row(y).find(text); at != std::wstring::npos) return {int(at), y};
        return {-1, -1};
    }
    bool Shows(const std::wstring& text) const { return Find(text).first >= 0; }
    std::string Text() const { return screen.Utf8(); }
    std::size_t Done() const { return next_; }
    // A control of the active modal window.
    HWND Control(int id) const { return orv::win::FindControl(orv::win::ActiveModalWindow(), id); }

    orv::term::TermUi ui;
    orv::term::Canvas screen;
    orv::term::CursorPlace cursor;

private:
    std::vector<Step> steps_;
    std::size_t next_ = 0;
};

}  // namespace orvtest
