// The host window at a 100 x 30 terminal, as a person meets it: the key line names what Enter
// presses there and offers F1 only where help answers, the window stays in its place while a
// dialog is up, a scrolled list keeps its right frame, and a character a numeric field refuses
// says why on the status line.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "apps/orvdlg/HostWindow.h"
#include "apps/orvdlg/ModelSession.h"
#include "components/Registration.h"
#include "platform/drivers/terminal/TermUi.h"
#include "platform/win/Afx.h"
#include "platform/win/Inspect.h"
#include "platform/win/Utf8.h"

namespace {

using orv::term::KeyCode;

// Draws the screen at each input request, then plays the next step.
class Screen : public orv::win::Driver {
public:
    using Step = std::function<void(Screen&)>;
    explicit Screen(std::vector<Step> steps) : canvas(100, 30), steps_(std::move(steps)) {}
    bool WaitForInput(HWND) override {
        if (next_ >= steps_.size()) return false;
        ui.Render(canvas);
        steps_[next_++](*this);
        return true;
    }
    // What the terminal driver does with a refusal.
    void InputRefused(std::size_t index) override { ui.SetStatus(orv::win::InputRefusals()[index].reason); }
    void Key(KeyCode code, wchar_t ch = 0) {
        orv::term::Key k;
        k.code = code;
        k.ch = ch;
        ui.HandleKey(k);
    }
    std::wstring Row(int y) const { return canvas.Row(y); }
    std::wstring KeyLine() const { return canvas.Row(canvas.Height() - 1); }
    // The first cell of `text` on the screen; {-1, -1} when it is not shown.
    std::pair<int, int> Find(const std::wstring& text) const {
        for (int y = 0; y < canvas.Height(); ++y)
            if (const auto x = canvas.Row(y).find(text); x != std::wstring::npos) return {int(x), y};
        return {-1, -1};
    }
    std::size_t Played() const { return next_; }

    orv::term::TermUi ui;
    orv::term::Canvas canvas;

private:
    std::vector<Step> steps_;
    std::size_t next_ = 0;
};

TEST(TermHostWindow, KeysFrameAndPlaceAsAPersonExpects) {
    orv::win::ResetKernel();
    RegisterOrvComponents();
    orvdlg::ModelSession session;
    session.LoadSample();
    orvdlg::HostWindow window(session, "bracket.json");
    std::pair<int, int> title;
    Screen screen({
        [&](Screen& s) {
            title = s.Find(L"orvdlg - bracket.json");
            ASSERT_GE(title.first, 0);
            // Enter opens the selected objects; the host window answers no help.
            EXPECT_NE(s.KeyLine().find(L"Enter Modify..."), std::wstring::npos) << orv::WideToUtf8(s.KeyLine());
            EXPECT_EQ(s.KeyLine().find(L"F1"), std::wstring::npos);
            // The status line wraps rather than losing the end of a long message.
            EXPECT_NE(s.Find(L"load\".").first, -1);
            // The object list has more rows than it shows: its right frame is whole on every row.
            const auto header = s.Find(L"Description");
            const int right = int(s.Row(header.second - 1).find(L'\u2510'));
            ASSERT_GT(right, header.first);
            for (int y = header.second; s.Row(y)[std::size_t(right)] != L'\u2518'; ++y)
                ASSERT_EQ(s.Row(y)[std::size_t(right)], L'\u2502') << "row " << y << ": " << orv::WideToUtf8(s.Row(y));
            EXPECT_NE(s.Find(L"v\u2502").first, -1);  // the scroll mark inside the frame
            s.Key(KeyCode::Enter);
        },
        [&](Screen& s) {
            ASSERT_NE(s.Find(L"Modifying 1 Applied Temperature Object").first, -1);
            EXPECT_EQ(s.Find(L"orvdlg - bracket.json"), title);  // the host window stays put
            EXPECT_NE(s.KeyLine().find(L"Enter OK"), std::wstring::npos) << orv::WideToUtf8(s.KeyLine());
            EXPECT_NE(s.KeyLine().find(L"F1 help"), std::wstring::npos);
            s.Key(KeyCode::Char, L'x');
        },
        [&](Screen& s) {
            EXPECT_NE(s.KeyLine().find(L"Unacceptable character \"x\": you can only type a number here."),
                      std::wstring::npos)
                << orv::WideToUtf8(s.KeyLine());
            s.Key(KeyCode::Escape);
        },
        [&](Screen& s) {
            EXPECT_NE(s.Find(L"Nothing modified.").first, -1);
            s.Key(KeyCode::Escape);
        },
    });
    orv::win::DriverScope scope(&screen);
    window.DoModal();
    EXPECT_EQ(screen.Played(), 4u);
}

TEST(TermHostWindow, AMessageBoxNamesItsDefaultButton) {
    orv::win::ResetKernel();
    Screen screen({[](Screen& s) {
        EXPECT_NE(s.KeyLine().find(L"Enter No"), std::wstring::npos) << orv::WideToUtf8(s.KeyLine());
        EXPECT_EQ(s.KeyLine().find(L"F1"), std::wstring::npos);
        s.Key(KeyCode::Escape);
    }});
    orv::win::DriverScope scope(&screen);
    EXPECT_EQ(AfxMessageBox(L"Replace it?", MB_YESNOCANCEL | MB_DEFBUTTON2 | MB_ICONQUESTION), IDCANCEL);
    EXPECT_EQ(screen.Played(), 1u);
}

}  // namespace
