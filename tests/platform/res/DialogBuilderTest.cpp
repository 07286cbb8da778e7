#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "platform/res/DialogBuilder.h"
#include "platform/win/Afx.h"
#include "platform/win/Driver.h"
#include "platform/win/Input.h"
#include "platform/win/Inspect.h"
#include "support/StepDriver.h"

namespace {

using orv::res::DialogBuilder;
using orv::res::DialogTemplate;

TEST(DialogBuilder, ADialogHasTheModalStyleAndTheShellFontUnlessChanged) {
    const DialogTemplate plain = DialogBuilder(L"Plain", 120, 60).Build();
    EXPECT_EQ(L"Plain", plain.caption);
    EXPECT_EQ(DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT), plain.style);
    EXPECT_EQ(0, plain.x);
    EXPECT_EQ(0, plain.y);
    EXPECT_EQ(120, plain.cx);
    EXPECT_EQ(60, plain.cy);
    EXPECT_EQ(L"MS Shell Dlg", plain.fontName);
    EXPECT_EQ(8, plain.fontPointSize);
    EXPECT_EQ(400, plain.fontWeight);
    EXPECT_FALSE(plain.fontItalic);
    EXPECT_TRUE(plain.items.empty());

    const DialogTemplate changed = DialogBuilder(L"Changed", 10, 20)
                                       .Id(77)
                                       .Style(WS_CHILD | DS_CONTROL)
                                       .ExStyle(WS_EX_TOOLWINDOW)
                                       .Position(3, 4)
                                       .Font(L"Tahoma", 9, 700, true)
                                       .Build();
    EXPECT_EQ(77u, changed.id);
    EXPECT_EQ(DWORD(WS_CHILD | DS_CONTROL), changed.style);
    EXPECT_EQ(DWORD(WS_EX_TOOLWINDOW), changed.exStyle);
    EXPECT_EQ(3, changed.x);
    EXPECT_EQ(4, changed.y);
    EXPECT_EQ(L"Tahoma", changed.fontName);
    EXPECT_EQ(9, changed.fontPointSize);
    EXPECT_EQ(700, changed.fontWeight);
    EXPECT_TRUE(changed.fontItalic);
}

TEST(DialogBuilder, ControlsKeepTheirOrderAndGetChildAndVisibleStyles) {
    const DialogTemplate t = DialogBuilder(L"Controls", 200, 100)
                                 .Label(L"&Name:", IDC_STATIC, 1, 2, 3, 4)
                                 .Edit(10, 5, 6, 7, 8)
                                 .Button(L"&Go", 11, 9, 10, 11, 12)
                                 .DefaultButton(L"OK", IDOK, 13, 14, 15, 16)
                                 .Control(L"SysListView32", L"", 12, LVS_REPORT, 17, 18, 19, 20, WS_EX_CLIENTEDGE)
                                 .Hidden()
                                 .Label(L"", 13, 21, 22, 23, 24, SS_RIGHT | SS_NOPREFIX)
                                 .Build();
    const struct {
        const wchar_t* className;
        const wchar_t* text;
        UINT id;
        DWORD style;
        DWORD exStyle;
        int x, y, cx, cy;
    } expected[] = {
        {L"Static", L"&Name:", 0xFFFFFFFF, WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 1, 2, 3, 4},
        {L"Edit", L"", 10, WS_CHILD | WS_VISIBLE | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, 5, 6, 7, 8},
        {L"Button", L"&Go", 11, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | WS_TABSTOP, 0, 9, 10, 11, 12},
        {L"Button", L"OK", IDOK, WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 13, 14, 15, 16},
        {L"SysListView32", L"", 12, WS_CHILD | LVS_REPORT, WS_EX_CLIENTEDGE, 17, 18, 19, 20},
        {L"Static", L"", 13, WS_CHILD | WS_VISIBLE | SS_RIGHT | SS_NOPREFIX, 0, 21, 22, 23, 24},
    };
    ASSERT_EQ(std::size(expected), t.items.size());
    for (std::size_t i = 0; i < t.items.size(); ++i) {
        const auto& item = t.items[i];
        EXPECT_EQ(expected[i].className, item.className) << i;
        EXPECT_EQ(expected[i].text, item.text) << i;
        EXPECT_EQ(expected[i].id, item.id) << i;
        EXPECT_EQ(expected[i].style, item.style) << i;
        EXPECT_EQ(expected[i].exStyle, item.exStyle) << i;
        EXPECT_EQ(expected[i].x, item.x) << i;
        EXPECT_EQ(expected[i].y, item.y) << i;
        EXPECT_EQ(expected[i].cx, item.cx) << i;
        EXPECT_EQ(expected[i].cy, item.cy) << i;
    }
    // Hidden on an empty builder changes nothing.
    EXPECT_TRUE(DialogBuilder(L"Empty", 1, 1).Hidden().Build().items.empty());
}

using orvtest::StepDriver;

class NameDialog : public CDialog {
public:
    explicit NameDialog(const DialogTemplate& t) { InitModalIndirect(&t); }
    CString name = L"first";
    void DoDataExchange(CDataExchange* dx) override { DDX_Text(dx, 10, name); }
};

TEST(DialogBuilder, ABuiltTemplateRunsAsADialog) {
    orv::win::ResetKernel();
    const DialogTemplate t = DialogBuilder(L"Name", 160, 60)
                                 .Label(L"&Name:", IDC_STATIC, 7, 9, 30, 8)
                                 .Edit(10, 40, 7, 100, 14)
                                 .Label(L"later", 11, 7, 25, 30, 8)
                                 .Hidden()
                                 .DefaultButton(L"OK", IDOK, 50, 40, 50, 14)
                                 .Button(L"Cancel", IDCANCEL, 104, 40, 50, 14)
                                 .Build();
    NameDialog dialog(t);
    StepDriver driver;
    driver.steps.push_back([] {
        const HWND modal = orv::win::ActiveModalWindow();
        const auto view = orv::win::Inspect(modal);
        EXPECT_EQ(L"Name", view.text);
        EXPECT_EQ(L"first", orv::win::Inspect(orv::win::FindControl(modal, 10)).text);
        EXPECT_FALSE(orv::win::Inspect(orv::win::FindControl(modal, 11)).visible);
        EXPECT_TRUE(orv::win::Inspect(orv::win::FindControl(modal, IDOK)).isDefaultButton);
        // The label's mnemonic reaches the edit after it.
        ASSERT_TRUE(orv::win::input::PressKey('N', {false, false, true}));
        EXPECT_TRUE(orv::win::Inspect(orv::win::FindControl(modal, 10)).focused);
        ASSERT_TRUE(orv::win::input::ReplaceText(orv::win::FindControl(modal, 10), L"second"));
        ASSERT_TRUE(orv::win::input::PressKey(VK_RETURN));
    });
    orv::win::DriverScope scope(&driver);
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(CString(L"second"), dialog.name);
}

}  // namespace
