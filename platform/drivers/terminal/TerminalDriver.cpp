#include "platform/drivers/terminal/TerminalDriver.h"

#ifndef NCURSES_WIDECHAR
#define NCURSES_WIDECHAR 1
#endif
#include <curses.h>

#include <langinfo.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <thread>

#include "platform/drivers/terminal/TermUi.h"
#include "platform/win/Inspect.h"
#include "platform/win/Input.h"
#include "platform/win/Utf8.h"
#include "platform/win/WinMessages.h"

namespace orv::term {

bool TerminalSize(int fd, int& columns, int& rows) {
    if (!::isatty(fd)) return false;
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) != 0) return false;
    columns = size.ws_col;
    rows = size.ws_row;
    return true;
}

namespace {

using Clock = std::chrono::steady_clock;

// Key codes of our own for sequences that terminals send for modified keys.
enum : int {
    kKeyCtrlPageUp = KEY_MAX + 1,
    kKeyCtrlPageDown,
    kKeyAltUp,
    kKeyAltDown,
    kKeyCtrlTab,
    kKeyCtrlUp,
    kKeyCtrlDown,
    kKeyPasteStart,
    kKeyPasteEnd,
};

bool Utf8Codeset() {
    const char* codeset = ::nl_langinfo(CODESET);
    return codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

// The screen that the signal handlers give back; one driver has the terminal at a time.
SCREEN* g_screen = nullptr;

extern "C" void RestoreOnSignal(int signal) {
    if (g_screen) endwin();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

Key FromFunctionKey(wint_t code) {
    Key k;
    switch (int(code)) {
    case KEY_BTAB: k.code = KeyCode::Tab; k.shift = true; break;
    case KEY_UP: k.code = KeyCode::Up; break;
    case KEY_DOWN: k.code = KeyCode::Down; break;
    case KEY_LEFT: k.code = KeyCode::Left; break;
    case KEY_RIGHT: k.code = KeyCode::Right; break;
    case KEY_SR: k.code = KeyCode::Up; k.shift = true; break;
    case KEY_SF: k.code = KeyCode::Down; k.shift = true; break;
    case KEY_SLEFT: k.code = KeyCode::Left; k.shift = true; break;
    case KEY_SRIGHT: k.code = KeyCode::Right; k.shift = true; break;
    case KEY_HOME: case KEY_FIND: k.code = KeyCode::Home; break;
    case KEY_END: case KEY_SELECT: case KEY_LL: k.code = KeyCode::End; break;
    case KEY_SHOME: k.code = KeyCode::Home; k.shift = true; break;
    case KEY_SEND: k.code = KeyCode::End; k.shift = true; break;
    case KEY_PPAGE: k.code = KeyCode::PageUp; break;
    case KEY_NPAGE: k.code = KeyCode::PageDown; break;
    case KEY_DC: k.code = KeyCode::Delete; break;
    case KEY_BACKSPACE: k.code = KeyCode::Backspace; break;
    case KEY_ENTER: k.code = KeyCode::Enter; break;
    case KEY_RESIZE: k.code = KeyCode::Resize; break;
    case kKeyCtrlPageUp: k.code = KeyCode::PageUp; k.control = true; break;
    case kKeyCtrlPageDown: k.code = KeyCode::PageDown; k.control = true; break;
    case kKeyAltUp: k.code = KeyCode::Up; k.alt = true; break;
    case kKeyAltDown: k.code = KeyCode::Down; k.alt = true; break;
    case kKeyCtrlTab: k.code = KeyCode::Tab; k.control = true; break;
    case kKeyCtrlUp: k.code = KeyCode::Up; k.control = true; break;
    case kKeyCtrlDown: k.code = KeyCode::Down; k.control = true; break;
    default:
        if (int(code) == KEY_F(1)) k.code = KeyCode::F1;
        else if (int(code) == KEY_F(2)) k.code = KeyCode::F2;
        else if (int(code) == KEY_F(4)) k.code = KeyCode::F4;
        break;
    }
    return k;
}

Key FromChar(wint_t ch) {
    Key k;
    switch (ch) {
    case 9: k.code = KeyCode::Tab; return k;
    case 13: case 10: k.code = KeyCode::Enter; return k;
    case 27: k.code = KeyCode::Escape; return k;
    case 8: case 127: k.code = KeyCode::Backspace; return k;
    default: break;
    }
    k.code = KeyCode::Char;
    k.ch = wchar_t(ch);
    k.control = ch < 32;
    return k;
}

}  // namespace

struct TerminalDriver::Impl {
    TerminalDriverOptions options;
    SCREEN* screen = nullptr;
    FILE* in = nullptr;
    FILE* out = nullptr;
    std::string savedLocale;
    bool utf8 = true;
    bool colors = false;
    bool dirty = true;
    bool gone = false;
    TermUi ui;
    Canvas canvas;
    Clock::time_point lastClock;
    void (*savedTerm)(int) = SIG_DFL;
    void (*savedHup)(int) = SIG_DFL;

    bool Interactive() const { return options.inner == nullptr; }

    std::map<int, int> keyAliases;  // curses' key code -> ours, for sequences both name
    wint_t Alias(wint_t code) const {
        const auto it = keyAliases.find(int(code));
        return it == keyAliases.end() ? code : wint_t(it->second);
    }

    // One key: ESC followed at once by a character or key is that key with Alt, as terminals
    // send Alt. None after `timeoutMs` without a key.
    Key ReadKey(int timeoutMs) {
        wtimeout(stdscr, timeoutMs);
        wint_t ch = 0;
        const int r = wget_wch(stdscr, &ch);
        if (r == ERR) return {};
        if (r == KEY_CODE_YES) ch = Alias(ch);
        if (r == KEY_CODE_YES && int(ch) == kKeyPasteStart) return ReadPaste();
        if (r == KEY_CODE_YES) return FromFunctionKey(ch);
        if (ch != 27) return FromChar(ch);
        wtimeout(stdscr, 15);
        wint_t next = 0;
        const int r2 = wget_wch(stdscr, &next);
        if (r2 == ERR) return FromChar(27);
        // Esc and then a control character (Enter, Tab, Backspace) are two keys: Alt means
        // nothing to those in a dialog, and a person's Escape, Enter typed quickly stays two.
        if (r2 != KEY_CODE_YES && next < 32) {
            unget_wch(wchar_t(next));
            return FromChar(27);
        }
        Key k = r2 == KEY_CODE_YES ? FromFunctionKey(Alias(next)) : FromChar(next);
        if (k.code == KeyCode::Escape) return k;
        k.alt = true;
        if (k.code == KeyCode::Char) k.control = false;
        return k;
    }

    // The text of a bracketed paste, up to its end marker (or a pause, should the marker be lost).
    Key ReadPaste() {
        Key k;
        k.code = KeyCode::Paste;
        for (;;) {
            wtimeout(stdscr, 200);
            wint_t ch = 0;
            const int r = wget_wch(stdscr, &ch);
            if (r == ERR || (r == KEY_CODE_YES && int(ch) == kKeyPasteEnd)) break;
            if (r == KEY_CODE_YES) {
                if (int(ch) == KEY_ENTER) k.text += L'\r';
                continue;
            }
            if (ch == L'\t' || ch == L'\r' || ch == L'\n' || ch >= 32) k.text += wchar_t(ch);
        }
        return k;
    }

    // Draws; a fault while drawing is reported on the status line rather than leaving the
    // terminal in curses mode behind an exception.
    void Draw() {
        try {
            DrawScreen();
        } catch (const std::exception& e) {
            ui.SetStatus(L"The screen could not be drawn: " + orv::Utf8ToWide(e.what()));
            dirty = false;
        }
    }

    void DrawScreen() {
        if (!screen) return;
        int rows = 0, cols = 0;
        getmaxyx(stdscr, rows, cols);
        canvas.Resize(cols, rows);
        const CursorPlace cursor = ui.Render(canvas);
        werase(stdscr);
        for (int y = 0; y < canvas.Height(); ++y) {
            for (int x = 0; x < canvas.Width(); ++x) {
                const Cell& c = canvas.At(x, y);
                if (c.wideTail) continue;
                attr_t a = A_NORMAL;
                if (c.attr & kAttrBold) a |= A_BOLD;
                if (c.attr & kAttrUnderline) a |= A_UNDERLINE;
                if (c.attr & kAttrReverse) a |= A_REVERSE;
                if (c.attr & kAttrDim) a |= A_DIM;
                const short pair = colors && AttrColor(c.attr) >= 0 ? short(AttrColor(c.attr) + 1) : 0;
                if (!utf8 && c.ch > 127) {
                    chtype line = '?';
                    switch (c.ch) {
                    case L'\u2500': line = ACS_HLINE; break;
                    case L'\u2502': line = ACS_VLINE; break;
                    case L'\u250C': line = ACS_ULCORNER; break;
                    case L'\u2510': line = ACS_URCORNER; break;
                    case L'\u2514': line = ACS_LLCORNER; break;
                    case L'\u2518': line = ACS_LRCORNER; break;
                    case L'\u251C': line = ACS_LTEE; break;
                    case L'\u2524': line = ACS_RTEE; break;
                    case L'\u252C': line = ACS_TTEE; break;
                    case L'\u2534': line = ACS_BTEE; break;
                    case L'\u253C': line = ACS_PLUS; break;
                    case L'\u00B7': line = ACS_BULLET; break;
                    default:
                        if (c.ch >= 0x2800 && c.ch <= 0x28FF) line = '*';  // a plotted line's dots
                        break;
                    }
                    mvwaddch(stdscr, y, x, line | a | COLOR_PAIR(pair));
                    continue;
                }
                wchar_t text[2] = {c.ch, 0};
                cchar_t cc;
                setcchar(&cc, text, a, pair, nullptr);
                mvwadd_wch(stdscr, y, x, &cc);
            }
        }
        if (cursor.visible) {
            curs_set(1);
            wmove(stdscr, cursor.y, cursor.x);
        } else {
            curs_set(0);
            wmove(stdscr, canvas.Height() - 1, 0);
        }
        wnoutrefresh(stdscr);
        doupdate();
        dirty = false;
    }

    void AdvanceRealClock() {
        const Clock::time_point now = Clock::now();
        const auto delta = std::chrono::duration_cast<std::chrono::milliseconds>(now - lastClock).count();
        if (delta <= 0) return;
        // Whole milliseconds are taken off, so that the fractions add up instead of being lost.
        // After a stall (a suspended process) the kernel catches up by at most a second, so that
        // repeating timers do not fire thousands of times at once.
        if (delta > 1000) {
            lastClock = now;
            orv::win::input::AdvanceClock(1000);
            return;
        }
        lastClock += std::chrono::milliseconds(delta);
        orv::win::input::AdvanceClock(UINT(delta));
    }

    // Waits up to `ms` for input on the terminal; false when it is gone. `hangup` says that it
    // hung up, with perhaps some last input still to read.
    bool WaitReadable(int ms, bool& hangup) {
        pollfd p{options.inputFd, POLLIN, 0};
        const int r = ::poll(&p, 1, ms);
        hangup = r > 0 && (p.revents & (POLLHUP | POLLERR));
        if (r > 0 && (p.revents & POLLNVAL)) return false;
        return !(hangup && !(p.revents & POLLIN));
    }

    void DefineKeys() {
        struct Sequence {
            const char* text;
            int code;
        };
        static const Sequence kSequences[] = {
            {"\033[5;5~", kKeyCtrlPageUp}, {"\033[6;5~", kKeyCtrlPageDown}, {"\033[1;3A", kKeyAltUp},
            {"\033[1;3B", kKeyAltDown},    {"\033[Z", KEY_BTAB},            {"\033[1~", KEY_HOME},
            {"\033[4~", KEY_END},          {"\033[H", KEY_HOME},            {"\033[F", KEY_END},
            {"\033OH", KEY_HOME},          {"\033OF", KEY_END},             {"\033[7~", KEY_HOME},
            {"\033[8~", KEY_END},          {"\033OP", KEY_F(1)},            {"\033OS", KEY_F(4)},
            {"\033[11~", KEY_F(1)},        {"\033[14~", KEY_F(4)},
            {"\033OQ", KEY_F(2)},          {"\033[12~", KEY_F(2)},          {"\033[3~", KEY_DC},
            {"\033[1;2A", KEY_SR},         {"\033[1;2B", KEY_SF},           {"\033[1;2D", KEY_SLEFT},
            {"\033[1;2C", KEY_SRIGHT},     {"\033[1;2H", KEY_SHOME},        {"\033[1;2F", KEY_SEND},
            {"\033[27;5;9~", kKeyCtrlTab}, {"\033[1;5A", kKeyCtrlUp},      {"\033[1;5B", kKeyCtrlDown},
            {"\033[200~", kKeyPasteStart}, {"\033[201~", kKeyPasteEnd},
        };
        // A sequence the terminal description already names (kUP5, kDN5, kDN3, kNXT5, kPRV5
        // under xterm-256color and tmux-256color) comes as curses' own extended key code: that
        // code is read as ours.
        keyAliases.clear();
        for (const auto& s : kSequences) {
            const int existing = key_defined(s.text);
            if (existing == 0) define_key(s.text, s.code);
            else if (existing > 0 && existing != s.code) keyAliases[existing] = s.code;
        }
    }
};

TerminalDriver::TerminalDriver(TerminalDriverOptions options) : impl_(std::make_unique<Impl>()) {
    impl_->options = options;
    impl_->lastClock = Clock::now();
}

TerminalDriver::~TerminalDriver() { Stop(); }

bool TerminalDriver::Started() const { return impl_->screen != nullptr; }

bool TerminalDriver::Start(std::string& error) {
    Impl& m = *impl_;
    if (m.screen) return true;
    if (g_screen) {
        error = "Another terminal front end has the terminal.";
        return false;
    }
    if (!::isatty(m.options.inputFd)) {
        error = "The input is not a terminal.";
        return false;
    }
    if (!::isatty(m.options.outputFd)) {
        error = "The output is not a terminal.";
        return false;
    }
    const char* term = std::getenv("TERM");
    if (!term || !*term || std::strcmp(term, "dumb") == 0) {
        error = "The terminal's kind is unknown (TERM is not set or is \"dumb\").";
        return false;
    }
    int cols = 0, rows = 0;
    if (!TerminalSize(m.options.outputFd, cols, rows)) {
        error = "The terminal's size cannot be read.";
        return false;
    }
    if (cols < kMinColumns || rows < kMinRows) {
        error = TooSmallMessage(cols, rows);
        return false;
    }
    // Wide characters need a UTF-8 character type; the numeric and message locales stay as they are.
    const char* current = std::setlocale(LC_CTYPE, nullptr);
    m.savedLocale = current ? current : "C";
    if (!Utf8Codeset()) std::setlocale(LC_CTYPE, "");
    if (!Utf8Codeset()) std::setlocale(LC_CTYPE, "C.UTF-8");
    m.utf8 = Utf8Codeset();
    if (!m.utf8) std::setlocale(LC_CTYPE, m.savedLocale.c_str());

    const int inFd = ::dup(m.options.inputFd), outFd = ::dup(m.options.outputFd);
    m.in = inFd >= 0 ? ::fdopen(inFd, "r") : nullptr;
    m.out = outFd >= 0 ? ::fdopen(outFd, "w") : nullptr;
    if (!m.in || !m.out) {
        if (m.in) std::fclose(m.in); else if (inFd >= 0) ::close(inFd);
        if (m.out) std::fclose(m.out); else if (outFd >= 0) ::close(outFd);
        m.in = m.out = nullptr;
        std::setlocale(LC_CTYPE, m.savedLocale.c_str());
        error = "The terminal cannot be opened.";
        return false;
    }
    set_escdelay(25);
    m.screen = newterm(nullptr, m.out, m.in);
    if (!m.screen) {
        std::fclose(m.in);
        std::fclose(m.out);
        m.in = m.out = nullptr;
        std::setlocale(LC_CTYPE, m.savedLocale.c_str());
        error = std::string("The terminal of kind \"") + term + "\" is not known to curses.";
        return false;
    }
    set_term(m.screen);
    g_screen = m.screen;
    raw();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    meta(stdscr, TRUE);
    m.DefineKeys();
    // The eight colours over the terminal's own background, where it has colours.
    m.colors = has_colors() && start_color() == OK;
    if (m.colors) {
        const bool ownBackground = use_default_colors() == OK;
        for (short color = 0; color < 8; ++color) init_pair(short(color + 1), color, ownBackground ? -1 : COLOR_BLACK);
    }
    m.ui.SetColors(m.colors);
    // Pasted text arrives marked, so that its line breaks are not taken for Enter.
    std::fputs("\033[?2004h", m.out);
    std::fflush(m.out);
    // A signal that ends the process gives the terminal back first; one that is ignored (nohup)
    // stays ignored.
    m.savedTerm = std::signal(SIGTERM, RestoreOnSignal);
    if (m.savedTerm == SIG_IGN) std::signal(SIGTERM, SIG_IGN);
    m.savedHup = std::signal(SIGHUP, RestoreOnSignal);
    if (m.savedHup == SIG_IGN) std::signal(SIGHUP, SIG_IGN);
    m.lastClock = Clock::now();
    m.gone = false;
    m.dirty = true;
    m.Draw();
    return true;
}

void TerminalDriver::Stop() {
    Impl& m = *impl_;
    if (!m.screen) return;
    curs_set(1);
    std::fputs("\033[?2004l", m.out);
    std::fflush(m.out);
    endwin();
    delscreen(m.screen);
    m.screen = nullptr;
    g_screen = nullptr;
    std::signal(SIGTERM, m.savedTerm);
    std::signal(SIGHUP, m.savedHup);
    std::fclose(m.in);
    std::fclose(m.out);
    m.in = m.out = nullptr;
    std::setlocale(LC_CTYPE, m.savedLocale.c_str());
}

void TerminalDriver::Redraw() {
    impl_->dirty = true;
    impl_->Draw();
}

bool TerminalDriver::WaitForInput(HWND modal) {
    Impl& m = *impl_;
    if (!m.Interactive()) {
        if (m.screen) {
            m.Draw();
            const Clock::time_point until = Clock::now() + std::chrono::milliseconds(std::max(0, m.options.slowMilliseconds));
            while (Clock::now() < until) {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
                const Key k = m.ReadKey(int(std::clamp<long long>(left, 1, 20)));
                if (k.code == KeyCode::Resize) m.Draw();
            }
            // A help pop-up of the run shows until its next input.
            if (!m.ui.HelpText().empty()) {
                m.ui.ShowHelp(L"");
                m.dirty = true;
            }
        }
        const bool more = m.options.inner->WaitForInput(modal);
        if (m.screen) m.Draw();
        return more;
    }
    if (!m.screen || m.gone) return false;
    if (m.dirty) m.Draw();
    // Keys already read by curses first, then the terminal itself for up to 50 ms.
    Key key = m.ReadKey(0);
    if (key.code == KeyCode::None) {
        bool hangup = false;
        if (!m.WaitReadable(50, hangup)) {
            m.gone = true;
            return false;
        }
        key = m.ReadKey(0);
        if (key.code == KeyCode::None && hangup) {
            m.gone = true;
            return false;
        }
    }
    // While the terminal is too small nothing of the dialogs shows, so keys other than a resize
    // are not given to them.
    int rows = 0, cols = 0;
    getmaxyx(stdscr, rows, cols);
    if ((cols < kMinColumns || rows < kMinRows) && key.code != KeyCode::Resize && key.code != KeyCode::None) {
        beep();
        key = Key{};
    }
    if (key.code != KeyCode::None) {
        m.ui.HandleKey(key);
        if (m.ui.TakeBeep()) beep();
        m.dirty = true;
    }
    m.AdvanceRealClock();
    // The modal window may have ended: the next loop draws what is left.
    if (m.dirty && orv::win::Inspect(modal).hwnd) m.Draw();
    return true;
}

void TerminalDriver::WindowCreated(HWND hwnd) {
    (void)hwnd;
    impl_->dirty = true;
}

void TerminalDriver::WindowDestroyed(HWND hwnd) {
    impl_->ui.Forget(hwnd);
    impl_->dirty = true;
}

void TerminalDriver::WindowChanged(HWND hwnd, orv::win::WindowChange what) {
    if (what == orv::win::WindowChange::Redraw || what == orv::win::WindowChange::Rect) impl_->ui.Invalidate(hwnd);
    impl_->dirty = true;
}

void TerminalDriver::ModalLoopEntered(HWND hwnd) {
    (void)hwnd;
    impl_->dirty = true;
}

void TerminalDriver::ModalLoopLeft(HWND hwnd, INT_PTR result) {
    (void)hwnd;
    (void)result;
    impl_->dirty = true;
}

void TerminalDriver::Beeped(UINT type) {
    if (impl_->options.inner) impl_->options.inner->Beeped(type);
    if (impl_->Interactive() && impl_->screen) beep();
}

void TerminalDriver::InputRefused(std::size_t index) {
    if (impl_->options.inner) impl_->options.inner->InputRefused(index);
    const auto& refusals = orv::win::InputRefusals();
    if (index >= refusals.size()) return;
    impl_->ui.SetStatus(refusals[index].reason);
    impl_->dirty = true;
}

void TerminalDriver::HelpRequested(std::size_t index) {
    if (impl_->options.inner) impl_->options.inner->HelpRequested(index);
    const auto& requests = orv::win::HelpRequests();
    if (index >= requests.size()) return;
    impl_->ui.ShowHelp(orv::win::HelpRequestText(requests[index]));
    impl_->dirty = true;
}

void TerminalDriver::ShellExecuted(std::size_t index) {
    if (impl_->options.inner) impl_->options.inner->ShellExecuted(index);
    const auto& records = orv::win::ShellExecutes();
    if (index < records.size() && impl_->Interactive())
        impl_->ui.SetStatus(L"Opened " + records[index].file + L" (" +
                            (records[index].operation.empty() ? std::wstring(L"open") : records[index].operation) + L")");
    impl_->dirty = true;
}

void TerminalDriver::ProcedureFailed(HWND hwnd, UINT message, const std::wstring& what) {
    if (impl_->options.inner) impl_->options.inner->ProcedureFailed(hwnd, message, what);
    if (impl_->screen) {
        impl_->ui.SetStatus(what);
        impl_->dirty = true;
    } else if (impl_->Interactive()) {
        std::wcerr << L"orvdlg: " << what << L"\n";
    }
}

}  // namespace orv::term
