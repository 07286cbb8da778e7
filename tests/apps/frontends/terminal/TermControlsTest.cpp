// Controls the sample dialog does not have, on a dialog of our own: tabs, a spin button beside
// its buddy, a list view with columns, scrolling and multiple selection, a multi-line edit and
// a window painted from its display list.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/factory/DataModelDialogs.h"
#include "dialogs/factory/DialogRegistry.h"
#include "host/model/DbDesignScenario.h"
#include "host/model/DbModel.h"
#include "host/model/ModelFile.h"
#include "platform/drivers/terminal/TermUi.h"
#include "platform/res/DialogTemplate.h"
#include "platform/win/Afx.h"
#include "platform/win/Gdi.h"
#include "platform/win/Inspect.h"
#include "platform/win/Utf8.h"
#include "platform/win/WinApi.h"
#include "tests/support/TermPerson.h"

namespace {

using orv::term::Key;
using orv::term::KeyCode;

using orvtest::MakeKey;
using Person = orvtest::TermPerson;

constexpr int kTabs = 2001, kCount = 2002, kSpin = 2003, kSurfaces = 2004, kNote = 2005, kPlot = 2006;

orv::res::DialogItemTemplate Item(const wchar_t* cls, const wchar_t* text, int id, DWORD style, int x, int y, int cx,
                                  int cy) {
    orv::res::DialogItemTemplate item;
    item.className = cls;
    item.text = text;
    item.id = UINT(id);
    item.style = WS_CHILD | WS_VISIBLE | style;
    item.x = x, item.y = y, item.cx = cx, item.cy = cy;
    return item;
}

LRESULT PlotProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        CPaintDC dc(CWnd::FromHandle(hwnd));
        // A plot draws its formula; a pop-up of the same class draws its own text.
        const std::wstring text = GetWindowTextString(hwnd);
        if (text.empty()) dc.TextOut(4, 2, L"f(r) = 2r", 9);
        else dc.TextOut(4, 2, text.c_str(), int(text.size()));
        dc.MoveTo(0, 20);
        dc.LineTo(100, 40);
        // A point's mark, as a view marks a picked point: smaller than a cell each way but
        // straddling cell edges.
        if (text.empty()) dc.Rectangle(40, 48, 47, 55);
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

const orv::res::DialogTemplate& Template() {
    static const orv::res::DialogTemplate t = [] {
        WNDCLASS wc;
        wc.lpfnWndProc = PlotProc;
        wc.lpszClassName = L"TermTestPlot";
        RegisterClass(&wc);
        orv::res::DialogTemplate d;
        d.caption = L"Surfaces";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 320;
        d.cy = 170;
        d.items = {
            Item(L"SysTabControl32", L"", kTabs, WS_TABSTOP, 7, 7, 200, 24),
            Item(L"Edit", L"", kCount, ES_LEFT | WS_BORDER | WS_TABSTOP, 7, 40, 40, 14),
            Item(L"msctls_updown32", L"", kSpin, UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 47, 40,
                 10, 14),
            Item(L"SysListView32", L"", kSurfaces, LVS_REPORT | WS_BORDER | WS_TABSTOP, 7, 62, 200, 60),
            Item(L"Edit", L"", kNote, ES_MULTILINE | ES_WANTRETURN | WS_BORDER | WS_TABSTOP, 214, 7, 99, 40),
            Item(L"TermTestPlot", L"", kPlot, 0, 214, 62, 99, 60),
            Item(L"Button", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 263, 149, 50, 14),
        };
        return d;
    }();
    return t;
}

class SurfacesDialog : public CDialog {
public:
    SurfacesDialog() { InitModalIndirect(&Template()); }
    BOOL OnInitDialog() override {
        for (const wchar_t* name : {L"&General", L"&Advanced"}) {
            TCITEM tab;
            tab.mask = TCIF_TEXT;
            tab.pszText = const_cast<LPWSTR>(name);
            SendDlgItemMessage(kTabs, TCM_INSERTITEM, WPARAM(SendDlgItemMessage(kTabs, TCM_GETITEMCOUNT)), LPARAM(&tab));
        }
        int column = 0;
        for (const wchar_t* name : {L"Name", L"Film coefficient"}) {
            LVCOLUMN c;
            c.mask = LVCF_TEXT;
            c.pszText = const_cast<LPWSTR>(name);
            SendDlgItemMessage(kSurfaces, LVM_INSERTCOLUMN, WPARAM(column++), LPARAM(&c));
        }
        for (int i = 0; i < 12; ++i) {
            std::wstring name = L"Surface " + std::to_wstring(i + 1);
            std::wstring value = std::to_wstring(10 * (i + 1));
            LVITEM item;
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.pszText = name.data();
            SendDlgItemMessage(kSurfaces, LVM_INSERTITEM, 0, LPARAM(&item));
            item.iSubItem = 1;
            item.pszText = value.data();
            SendDlgItemMessage(kSurfaces, LVM_SETITEMTEXT, WPARAM(i), LPARAM(&item));
        }
        SendDlgItemMessage(kSpin, UDM_SETRANGE32, 0, 100);
        SendDlgItemMessage(kSpin, UDM_SETPOS32, 0, 5);
        SetDlgItemText(kNote, L"Faces on the inner wall of the housing, cooled by oil");
        return CDialog::OnInitDialog();
    }
};

class TermControlsTest : public testing::Test {
protected:
    void SetUp() override { orv::win::ResetKernel(); }
    void TearDown() override { orv::win::ResetKernel(); }
};

TEST_F(TermControlsTest, TabsSwitchWithCtrlPageDownAndUp) {
    Person person({
        [](Person& p) {
            EXPECT_TRUE(p.Shows(L"[General] Advanced ")) << p.Text();
            p.Press(KeyCode::PageDown, false, true);
        },
        [](Person& p) {
            EXPECT_TRUE(p.Shows(L" General [Advanced]")) << p.Text();
            EXPECT_EQ(orv::win::Inspect(p.Control(kTabs)).selection, 1);
            p.Press(KeyCode::PageUp, false, true);
        },
        [](Person& p) {
            EXPECT_EQ(orv::win::Inspect(p.Control(kTabs)).selection, 0);
            p.Press(KeyCode::Escape);
        },
    });
    orv::win::DriverScope scope(&person);
    SurfacesDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(person.Done(), 3u);
}

TEST_F(TermControlsTest, UpAndDownInABuddyEditTurnItsSpinButton) {
    Person person({
        [](Person& p) {
            ::SetFocus(p.Control(kCount));
            p.Press(KeyCode::Up);
            p.Press(KeyCode::Up);
        },
        [](Person& p) {
            EXPECT_EQ(orv::win::Inspect(p.Control(kCount)).text, L"7") << p.Text();
            const auto edit = p.Find(L"[7");
            ASSERT_GE(edit.first, 0) << p.Text();
            // The spin button beside the edit's closing bracket.
            const std::wstring row = p.screen.Row(edit.second);
            EXPECT_EQ(row.find(L"]^v"), row.find(L']', std::size_t(edit.first))) << p.Text();
            p.Press(KeyCode::Down);
        },
        [](Person& p) {
            EXPECT_TRUE(p.Shows(L"[6")) << p.Text();
            p.Press(KeyCode::Escape);
        },
    });
    orv::win::DriverScope scope(&person);
    SurfacesDialog dialog;
    dialog.DoModal();
    EXPECT_EQ(person.Done(), 3u);
}

TEST_F(TermControlsTest, AListViewShowsColumnsScrollsAndSelectsSeveralItems) {
    Person person({
        [](Person& p) {
            SCOPED_TRACE(p.Text());
            EXPECT_TRUE(p.Shows(L"Name"));
            EXPECT_TRUE(p.Shows(L"\u2502Film coefficient"));
            EXPECT_TRUE(p.Shows(L"Surface 1 "));
            EXPECT_FALSE(p.Shows(L"Surface 12"));
            ::SetFocus(p.Control(kSurfaces));
            p.Press(KeyCode::End);
        },
        [](Person& p) {
            // Scrolled to the last row, with a mark that more rows lie above.
            EXPECT_TRUE(p.Shows(L"Surface 12")) << p.Text();
            EXPECT_FALSE(p.Shows(L"Surface 1 "));
            EXPECT_TRUE(p.Shows(L"Up/Down choose  Ctrl+Up/Down move  Space add/remove"));
            p.Press(KeyCode::Home);
            p.Press(KeyCode::Down, false, true);
            p.Press(KeyCode::Down, false, true);
        },
        [](Person& p) {
            const auto third = p.Find(L"Surface 3 ");
            ASSERT_GE(third.first, 0) << p.Text();
            EXPECT_EQ(p.screen.At(third.first - 1, third.second).ch, L'>');
            EXPECT_FALSE(p.screen.At(third.first, third.second).attr & orv::term::kAttrReverse);
            p.Type(L" ");
        },
        [](Person& p) {
            const auto v = orv::win::Inspect(p.Control(kSurfaces));
            EXPECT_TRUE(v.items[0].selected);
            EXPECT_TRUE(v.items[2].selected);
            EXPECT_FALSE(v.items[1].selected);
            const auto third = p.Find(L"Surface 3 ");
            EXPECT_TRUE(p.screen.At(third.first, third.second).attr & orv::term::kAttrReverse);
            // Space again removes it; a plain arrow selects one item as the kernel does.
            p.Type(L" ");
            p.Press(KeyCode::Down);
        },
        [](Person& p) {
            const auto v = orv::win::Inspect(p.Control(kSurfaces));
            int selected = 0;
            for (const auto& item : v.items) selected += item.selected ? 1 : 0;
            EXPECT_EQ(selected, 1);
            EXPECT_TRUE(v.items[1].selected || v.items[3].selected);
            p.Press(KeyCode::Escape);
        },
    });
    orv::win::DriverScope scope(&person);
    SurfacesDialog dialog;
    dialog.DoModal();
    EXPECT_EQ(person.Done(), 5u);
}

TEST_F(TermControlsTest, MultiLineEditsWrapAndPaintedWindowsShowTheirText) {
    Person person({
        [](Person& p) {
            SCOPED_TRACE(p.Text());
            EXPECT_TRUE(p.Shows(L"[Faces on the inner"));
            EXPECT_TRUE(p.Shows(L"[wall of the housing,"));
            EXPECT_TRUE(p.Shows(L"f(r) = 2r"));
            // The painted window gets a frame as a placeholder.
            const auto text = p.Find(L"f(r) = 2r");
            EXPECT_EQ(p.screen.At(text.first - 1, text.second).ch, L'\u2502');
            // The point's mark is a point, not a frame of two cells square.
            const orv::term::CellRect plot = p.ui.DrawnCells(p.Control(kPlot));
            ASSERT_GT(plot.w, 2);
            for (int y = plot.y + 1; y < plot.Bottom(); ++y)
                for (int x = plot.x + 1; x < plot.Right(); ++x)
                    EXPECT_EQ(std::wstring(L"\u250C\u2510\u2514\u2518").find(p.screen.At(x, y).ch), std::wstring::npos)
                        << "a corner at " << x << ", " << y;
            ::SetFocus(p.Control(kNote));
            p.Press(KeyCode::End);
        },
        [](Person& p) {
            EXPECT_TRUE(p.cursor.visible);
            const auto last = p.Find(L"oil");
            EXPECT_EQ(p.cursor.y, last.second) << p.Text();
            p.Press(KeyCode::Escape);
        },
    });
    orv::win::DriverScope scope(&person);
    SurfacesDialog dialog;
    dialog.DoModal();
    EXPECT_EQ(person.Done(), 2u);
}

TEST_F(TermControlsTest, APopUpPaintedOverTheDialogShowsItsTextInsideItsFrame) {
    HWND popup = nullptr;
    Person person({
        [&](Person& p) {
            RECT dialog{};
            GetWindowRect(orv::win::ActiveModalWindow(), &dialog);
            popup = CreateWindowEx(0, L"TermTestPlot", L"Oil flow", WS_POPUP | WS_BORDER | WS_VISIBLE, dialog.left + 60,
                                   dialog.top + 60, 180, 60, orv::win::ActiveModalWindow(), nullptr, nullptr, nullptr);
            ASSERT_NE(popup, nullptr);
            (void)p;
        },
        [&](Person& p) {
            SCOPED_TRACE(p.Text());
            // The text once, inside the frame (a caption-less window has no title row), bright.
            const auto text = p.Find(L"Oil flow");
            ASSERT_GE(text.first, 0);
            EXPECT_EQ(p.screen.Row(text.second).find(L"Oil flow", std::size_t(text.first) + 1), std::wstring::npos);
            EXPECT_EQ(p.screen.At(text.first - 1, text.second).ch, L'\u2502');
            EXPECT_EQ(p.screen.At(text.first, text.second - 1).ch, L'\u2500');
            EXPECT_FALSE(p.screen.At(text.first, text.second).attr & orv::term::kAttrDim);
            DestroyWindow(popup);
        },
        [](Person& p) {
            EXPECT_FALSE(p.Shows(L"Oil flow")) << p.Text();
            p.Press(KeyCode::Escape);
        },
    });
    orv::win::DriverScope scope(&person);
    SurfacesDialog dialog;
    dialog.DoModal();
    EXPECT_EQ(person.Done(), 3u);
}

}  // namespace

// F2 lists the fields left blank because the objects edited together disagree, with their values.
TEST_F(TermControlsTest, F2ListsTheDifferingValuesOfTheDialogsFields) {
    Person person({
        [](Person& p) { p.Press(KeyCode::F2); },
        [](Person& p) {
            EXPECT_TRUE(p.Shows(L"No field here stands for objects with differing values.")) << p.Text();
            orv::win::SetMixedValues(p.Control(kCount), {{L"5", {1, 2}}, {L"7", {3}}});
            p.Press(KeyCode::Tab);
        },
        [](Person& p) {
            EXPECT_TRUE(p.Shows(L"F2 values")) << p.Text();
            p.Press(KeyCode::F2);
        },
        [](Person& p) {
            EXPECT_TRUE(p.Shows(L" Differing values ")) << p.Text();
            EXPECT_TRUE(p.Shows(L"Control 2002: 2 different values: 5 (2 objects: 1, 2)")) << p.Text();
            p.Press(KeyCode::Escape);
            p.Press(KeyCode::Escape);
        },
    });
    orv::win::DriverScope scope(&person);
    SurfacesDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(person.Done(), 4u);
}

// The factory's dialog for a type, set up to create one object in the scenario; null when none.
DataModelDialogs::AFeaObjectPropertiesDialog* CreateModeDialog(int typeCode, OrvDbRecord::DbDesignScenario* scenario) {
    auto* face = dynamic_cast<DataModelDialogs::AFeaObjectPropertiesDialog*>(
        DataModelDialogs::GetDataModelDialogFactory()->GetFeaObjectPropertiesDialog(typeCode, nullptr, 0));
    if (!face) return nullptr;
    face->Reset();
    DataModelDialogs::FeaObjectEditParameters parameters;
    parameters.designScenario = scenario;
    parameters.objectCount = 1;
    face->SetEditParameters(parameters);
    face->SetMode(0);
    return face;
}

// At 80 x 24 a dialog taller than the terminal follows the focus: it starts at its top with
// "v" in its last visible row's corners, and Shift+Tab to its last button brings the buttons into
// view, "^" where its top is cut. The key line names no Space for an edit, where it is a character.
TEST_F(TermControlsTest, At80By24ADialogTallerThanTheTerminalFollowsTheFocus) {
    auto model = OrvDbRecord::LoadSampleModel();
    ASSERT_TRUE(model);
    OrvDbRecord::DbDesignScenario* scenario = model->GetFirstScenario();
    scenario->SetAnalysisType(4);
    auto* face = CreateModeDialog(29, scenario);
    ASSERT_TRUE(face);
    const int last = 22;  // the last row above the key line
    auto edges = [](const std::wstring& row) {
        const auto first = row.find_first_not_of(L' ');
        return first == std::wstring::npos ? std::wstring() : std::wstring{row[first], row.back()};
    };
    Person person(
        {[&](Person& p) {
             EXPECT_TRUE(p.Shows(L" Creating 1 Applied Temperature Object ")) << p.Text();
             EXPECT_TRUE(p.Shows(L"Temperature:")) << p.Text();
             EXPECT_FALSE(p.Shows(L"Cancel")) << p.Text();
             EXPECT_EQ(edges(p.screen.Row(last)), L"vv") << p.Text();
             const std::wstring keys = p.screen.Row(23);
             EXPECT_NE(keys.find(L"Esc cancel"), std::wstring::npos) << p.Text();
             EXPECT_EQ(keys.find(L"Space"), std::wstring::npos) << p.Text();
             p.Press(KeyCode::Tab, true);
         },
         [&](Person& p) {
             EXPECT_TRUE(p.Shows(L"Cancel  >")) << p.Text();
             EXPECT_TRUE(p.Shows(L"<<   OK    >>")) << p.Text();
             EXPECT_FALSE(p.Shows(L"Creating 1 Applied Temperature Object")) << p.Text();
             EXPECT_EQ(edges(p.screen.Row(0)), L"^^") << p.Text();
             EXPECT_NE(p.screen.Row(23).find(L"Space press"), std::wstring::npos) << p.Text();
             p.Press(KeyCode::Escape);
         }},
        80, 24);
    orv::win::DriverScope scope(&person);
    face->ShowDialog(0);
    EXPECT_EQ(person.Done(), 2u);
}

// Every dialog the library serves, drawn at 100 x 30 with all its rows in use: each push button
// shows whole, never covered by a label that runs on past its own rectangle.
TEST_F(TermControlsTest, EveryServedDialogShowsItsButtonsWhole) {
    auto model = OrvDbRecord::LoadSampleModel();
    ASSERT_TRUE(model);
    OrvDbRecord::DbDesignScenario* scenario = model->GetFirstScenario();
    scenario->SetAnalysisType(4);
    int shown = 0;
    for (const auto& row : DataModelDialogs::kServedFeaDialogs) {
        if (row.modeless) continue;
        auto* face = CreateModeDialog(row.typeCode, scenario);
        if (!face) continue;
        Person person({[&](Person& p) {
            ++shown;
            for (HWND child : orv::win::ChildWindows(orv::win::ActiveModalWindow())) {
                const auto v = orv::win::Inspect(child);
                const DWORD type = v.style & BS_TYPEMASK;
                if (!orv::win::IsWindowClass(v, L"Button") || !v.reallyVisible ||
                    (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON))
                    continue;
                std::wstring caption = v.text;
                std::erase(caption, L'&');
                int whole = 0;
                for (int y = 0; y < p.screen.Height(); ++y) {
                    const std::wstring line = p.screen.Row(y);
                    for (auto at = line.find(caption); at != std::wstring::npos; at = line.find(caption, at + 1)) {
                        const auto end = line.find_first_not_of(L' ', at + caption.size());
                        if (end != std::wstring::npos && line[end] == L'>') ++whole;
                    }
                }
                EXPECT_GE(whole, 1) << row.className << ": \"" << orv::WideToUtf8(caption) << "\"\n" << p.Text();
            }
            p.Press(KeyCode::Escape);
        }});
        orv::win::DriverScope scope(&person);
        face->ShowDialog(0);
    }
    EXPECT_GE(shown, 15);
}
