#include "apps/orvdlg/CurveCommands.h"

#include <ostream>
#include <string>
#include <vector>

#include "apps/orvdlg/HostCommands.h"
#include "components/Registration.h"
#include "components/curveeditor/CurveEditorDialog.h"
#include "dialogs/curves/EditLoadCurve.h"
#include "dialogs/resources/Curves.h"
#include "host/model/DbDesignScenario.h"
#include "platform/drivers/scripted/UiCommands.h"
#include "platform/res/DialogTemplate.h"
#include "platform/win/Input.h"
#include "platform/win/Inspect.h"
#include "platform/win/Utf8.h"

namespace orvdlg {
namespace {

using orv::script::Args;
using orv::script::Call;
using orv::script::Where;
using Editor = orv::components::CurveEditorDialog;
namespace input = orv::win::input;

std::wstring W(const std::string& text) { return orv::Utf8ToWide(text); }
std::string U8(const std::wstring& text) { return orv::WideToUtf8(text); }

void Require(bool done, Args& args, const std::string& what) {
    if (done) return;
    const std::string reason = U8(input::LastInputError());
    args.Fail("cannot " + what + (reason.empty() ? "" : ": " + reason));
}

// The editor's table in the active window; a script error when the window is no curve editor.
HWND EditorTable(Args& args) {
    HWND window = orv::script::UiCommands::ActiveWindow(args);
    HWND table = orv::win::FindControl(window, Editor::IDC_POINTS);
    if (!table || orv::win::Inspect(table).className != L"SysListView32")
        args.Fail("the active window is not the curve editor");
    return table;
}

HWND EditorControl(Args& args, int id) { return orv::win::FindControl(orv::script::UiCommands::ActiveWindow(args), id); }

// A 1-based row of the table.
int Row(Args& args, HWND table) {
    const int rows = int(orv::win::Inspect(table).items.size());
    if (rows == 0) args.Fail("the curve table has no points");
    return int(args.Integer("a row number", 1, rows)) - 1;
}

void TypePoint(Args& args, const std::string& x, const std::string& y) {
    Require(input::ReplaceText(EditorControl(args, Editor::IDC_X), W(x)), args, "type into X");
    Require(input::ReplaceText(EditorControl(args, Editor::IDC_Y), W(y)), args, "type into Y");
}

// "curve insert ROW X Y" and "curve replace ROW X Y": select the row, type the point, click
// the button that puts it there.
void PointAtRow(Call& call, int button, const std::string& buttonName) {
    Args& args = call.Arguments();
    HWND list = EditorTable(args);
    const int row = Row(args, list);
    const std::string x = args.Any("the X value").text, y = args.Any("the Y value").text;
    args.End();
    Require(input::SelectItem(list, row), args, "select row " + std::to_string(row + 1));
    TypePoint(args, x, y);
    Require(input::Click(EditorControl(args, button)), args, "click " + buttonName);
}

UINT TitleOfKind(std::uint32_t kind) {
    switch (kind) {
        case 3: return IDS_CURVE_TITLE_TEMPERATURE_COEFFICIENT;
        case 4: return IDS_CURVE_TITLE_HEAT_GENERATION;
        case 5: return IDS_CURVE_TITLE_AMBIENT_TEMPERATURE;
        default: return IDS_CURVE_TITLE_MULTIPLIER;
    }
}

}  // namespace

// A load dialog's curve row, as the load dialogs have it.
class CurveTestDialog : public CDialog {
public:
    static constexpr int IDC_CURVE_LABEL = 1001;
    static constexpr int IDC_CURVE = 1002;
    static constexpr int IDC_CURVE_BUTTON = 1003;

    explicit CurveTestDialog(HostCommands& host) : host_(host) {
        t_.caption = L"Load Curve";
        t_.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
        t_.cx = 190;
        t_.cy = 50;
        t_.fontName = L"MS Shell Dlg";
        t_.fontPointSize = 8;
        t_.items = {Item(L"Static", L"Load &curve:", IDC_CURVE_LABEL, SS_LEFT, 7, 9, 44, 8),
                    Item(L"Edit", L"1", IDC_CURVE, ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 52, 7, 50, 14),
                    Item(L"Button", L"Cur&ve...", IDC_CURVE_BUTTON, BS_PUSHBUTTON | WS_TABSTOP, 108, 7, 50, 14),
                    Item(L"Button", L"Close", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 133, 29, 50, 14)};
        InitModalIndirect(&t_);
        HandleCommand(IDC_CURVE_BUTTON, [this] {
            OrvDbRecord::DbDesignScenario& scenario = host_.Session().Scenario();
            DataModelDialogs::EditLoadCurve(*this, IDC_CURVE, kind_, TitleOfKind(kind_), IDS_CURVE_ID_ZERO_MESSAGE,
                                            &scenario);
        });
    }
    void SetKind(std::uint32_t kind) { kind_ = kind; }

private:
    static orv::res::DialogItemTemplate Item(const wchar_t* cls, const wchar_t* text, int id, DWORD style, int x,
                                             int y, int cx, int cy) {
        orv::res::DialogItemTemplate item;
        item.className = cls;
        item.text = text;
        item.id = UINT(id);
        item.style = WS_CHILD | WS_VISIBLE | style;
        item.x = x, item.y = y, item.cx = cx, item.cy = cy;
        return item;
    }
    HostCommands& host_;
    orv::res::DialogTemplate t_;
    std::uint32_t kind_ = 0;
};

CurveCommands::CurveCommands(HostCommands& host) : host_(host) { RegisterOrvComponents(); }
CurveCommands::~CurveCommands() = default;

void CurveCommands::AddCommands(orv::script::CommandTable& table) {
    table.Add({"curve-dialog", Where::Host, "curve-dialog KIND", [this](Call& call) {
                   Args& args = call.Arguments();
                   const auto kind = std::uint32_t(args.Integer("a curve kind (0, 3, 4 or 5)", 0, 5));
                   args.End();
                   if (!host_.Session().HasModel()) args.Fail("no model is loaded (model sample | model \"PATH\")");
                   if (host_.Session().Scenario().GetModelPath().empty())
                       args.Fail("the model has no file for its settings database: save it and load it again");
                   if (!dialog_) dialog_ = std::make_unique<CurveTestDialog>(host_);
                   dialog_->SetKind(kind);
                   const INT_PTR result = dialog_->DoModal();
                   if (call.Runner().Stopped()) return;
                   if (result == -1) call.Error("the load curve dialog could not be created");
                   call.Out() << "load curve dialog closed\n";
               }});
    table.Add({"curve add", Where::Window, "curve add X Y", [](Call& call) {
                   Args& args = call.Arguments();
                   EditorTable(args);
                   const std::string x = args.Any("the X value").text, y = args.Any("the Y value").text;
                   args.End();
                   TypePoint(args, x, y);
                   Require(input::Click(EditorControl(args, Editor::IDC_ADD)), args, "click Add");
               }});
    table.Add({"curve insert", Where::Window, "curve insert ROW X Y",
               [](Call& call) { PointAtRow(call, Editor::IDC_INSERT, "Insert"); }});
    table.Add({"curve replace", Where::Window, "curve replace ROW X Y",
               [](Call& call) { PointAtRow(call, Editor::IDC_REPLACE, "Replace"); }});
    table.Add({"curve delete", Where::Window, "curve delete ROW", [](Call& call) {
                   Args& args = call.Arguments();
                   HWND list = EditorTable(args);
                   const int row = Row(args, list);
                   args.End();
                   Require(input::SelectItem(list, row), args, "select row " + std::to_string(row + 1));
                   Require(input::Click(EditorControl(args, Editor::IDC_DELETE)), args, "click Delete");
               }});
    table.Add({"curve sort", Where::Window, "curve sort", [](Call& call) {
                   Args& args = call.Arguments();
                   EditorTable(args);
                   args.End();
                   Require(input::Click(EditorControl(args, Editor::IDC_SORT)), args, "click Sort");
               }});
    table.Add({"expect curve", Where::Window, "expect curve \"X Y\"...", [](Call& call) {
                   Args& args = call.Arguments();
                   HWND list = EditorTable(args);
                   const std::vector<std::string> expected = args.Strings("the points as \"X Y\"");
                   args.End();
                   std::vector<std::string> shown;
                   for (const auto& item : orv::win::Inspect(list).items)
                       shown.push_back(U8(item.text) + " " + (item.subItems.empty() ? "" : U8(item.subItems[0])));
                   auto join = [](const std::vector<std::string>& points) {
                       if (points.empty()) return std::string("no points");
                       std::string text;
                       for (const std::string& p : points) text += (text.empty() ? "\"" : " \"") + p + "\"";
                       return text;
                   };
                   if (shown != expected) call.Fail(join(expected), join(shown));
                   call.Pass();
               }});
}

}  // namespace orvdlg
