// The primitives popup driven as a person: it opens beside its button, clicking a name chooses
// it, Escape or losing the focus closes it without a choice.

#include <deque>
#include <functional>

#include "RstTestSupport.h"
#include "dialogs/controls/ResourceModule.h"
#include "dialogs/resources/VariableLoads.h"
#include "dialogs/variableloads/ShapePrimitivesDlg.h"
#include "dialogs/variableloads/VariableLoadFunctions.h"

using namespace DataModelDialogs;

namespace {

class Steps : public orv::win::Driver {
public:
    std::deque<std::function<void(HWND)>> steps;
    bool WaitForInput(HWND modal) override {
        if (steps.empty()) return false;
        auto step = std::move(steps.front());
        steps.pop_front();
        step(modal);
        return true;
    }
};

HWND List(HWND popup) { return orv::win::FindControl(popup, IDC_SHAPE_PRIMITIVES_LIST); }

INT_PTR RunPopup(ShapePrimitivesDlg& popup, Steps& steps) {
    orv::win::DriverScope scope(&steps);
    ResourceModuleScope resources;
    return popup.DoModal();
}

}  // namespace

TEST(ShapePrimitivesDlgTest, OpensBesideTheButtonAndAClickChooses) {
    ShapePrimitivesDlg popup;
    popup.SetAnchor(RECT{100, 200, 180, 223});
    Steps steps;
    orv::win::WindowView shown, list;
    steps.steps.push_back([&](HWND modal) {
        shown = orv::win::Inspect(modal);
        list = orv::win::Inspect(List(modal));
        ASSERT_TRUE(orv::win::input::SelectItemByText(List(modal), L"ARCTAN")) << orv::win::input::LastInputError();
    });
    EXPECT_EQ(RunPopup(popup, steps), IDOK);
    EXPECT_EQ(popup.GetChoice(), L"ARCTAN");
    EXPECT_EQ(shown.windowRect.left, 180);
    EXPECT_EQ(shown.windowRect.top, 200);
    EXPECT_NE(shown.style & WS_CAPTION, WS_CAPTION);  // a thin border, no title bar
    ASSERT_EQ(list.items.size(), kShapePrimitives.size());
    for (std::size_t i = 0; i < kShapePrimitives.size(); ++i) EXPECT_EQ(list.items[i].text, kShapePrimitives[i]);
    EXPECT_TRUE(list.focused);
    // The choice goes into the expression in place of the selection.
    int caret = 0;
    EXPECT_EQ(InsertPrimitive(L"2*x", 2, 3, popup.GetChoice().str(), &caret), L"2*ARCTAN()");
    EXPECT_EQ(caret, 9);
}

TEST(ShapePrimitivesDlgTest, EscapeAndLosingTheFocusChooseNothing) {
    ShapePrimitivesDlg popup;
    Steps escape;
    escape.steps.push_back([](HWND) { ASSERT_TRUE(orv::win::input::PressKey(VK_ESCAPE)); });
    EXPECT_EQ(RunPopup(popup, escape), IDCANCEL);
    EXPECT_TRUE(popup.GetChoice().IsEmpty());

    // Run again on the same object: a choice, then a run that loses the focus.
    Steps choose;
    choose.steps.push_back([](HWND modal) { ASSERT_TRUE(orv::win::input::SelectItem(List(modal), 0)); });
    EXPECT_EQ(RunPopup(popup, choose), IDOK);
    EXPECT_EQ(popup.GetChoice(), L"ABS");

    Steps away;
    away.steps.push_back([](HWND modal) {
        // The focus leaves the list (as when another window is activated).
        SendMessage(List(modal), WM_KILLFOCUS, 0, 0);
    });
    EXPECT_EQ(RunPopup(popup, away), IDCANCEL);
    EXPECT_TRUE(popup.GetChoice().IsEmpty());
}
