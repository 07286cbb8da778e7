#include "platform/drivers/scripted/UiCommands.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwctype>
#include <ostream>

#include "platform/drivers/text/PictureCells.h"
#include "platform/drivers/text/TextSnapshot.h"
#include "platform/win/CString.h"
#include "platform/win/Input.h"
#include "platform/win/Inspect.h"
#include "platform/win/Utf8.h"
#include "platform/win/WinApi.h"

namespace orv::script {
namespace {

using orv::win::IsWindowClass;
using orv::win::WindowView;
namespace input = orv::win::input;

std::string U8(std::wstring_view text) { return orv::WideToUtf8(text); }
std::wstring W(std::string_view text) { return orv::Utf8ToWide(text); }

// The standard ids 1 to 9 by button name.
constexpr const char* kButtonNames[] = {"OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No", "Close", "Help"};

std::string WindowName(HWND window) { return "'" + U8(orv::win::Inspect(window).text) + "'"; }

// Every descendant of `window`, parents before their children, in z-order (tab order).
void Descendants(HWND window, std::vector<HWND>& out) {
    for (HWND child : orv::win::ChildWindows(window)) {
        out.push_back(child);
        Descendants(child, out);
    }
}

bool IsCombo(const WindowView& v) { return IsWindowClass(v, L"ComboBox") || IsWindowClass(v, L"ComboBoxEx32"); }

// What a person reads as the control's text: a drop-down list shows its selected item.
std::wstring ShownText(const WindowView& v) {
    if (IsCombo(v) && (v.style & 0x3) == 0x3 && v.text.empty() && v.selection >= 0 &&
        v.selection < int(v.items.size()))
        return v.items[std::size_t(v.selection)].text;
    return v.text;
}

// Fails the command with the kernel's reason when an input call was refused.
void Require(bool given, Args& args, const std::string& what) {
    if (given) return;
    std::string reason = U8(input::LastInputError());
    args.Fail("cannot " + what + (reason.empty() ? "" : ": " + reason));
}

struct KeySpec {
    UINT vk = 0;
    input::Modifiers modifiers;
};

std::string Lower(std::string text) {
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// "Enter", "Shift+Tab", "Ctrl+PageDown", ... (names compared without regard to case).
std::optional<KeySpec> ParseKey(const std::string& name) {
    static const std::pair<const char*, UINT> kKeys[] = {
        {"enter", VK_RETURN}, {"return", VK_RETURN}, {"escape", VK_ESCAPE}, {"esc", VK_ESCAPE},
        {"tab", VK_TAB}, {"f1", VK_F1}, {"f2", VK_F2}, {"f4", VK_F4}, {"pagedown", VK_NEXT},
        {"pageup", VK_PRIOR}, {"backspace", VK_BACK}, {"delete", VK_DELETE}, {"home", VK_HOME},
        {"end", VK_END}, {"left", VK_LEFT}, {"right", VK_RIGHT}, {"up", VK_UP}, {"down", VK_DOWN},
        {"space", VK_SPACE}, {"insert", VK_INSERT},
    };
    KeySpec spec;
    std::string rest = Lower(name);
    for (;;) {
        const auto plus = rest.find('+');
        if (plus == std::string::npos || plus + 1 == rest.size()) break;
        const std::string modifier = rest.substr(0, plus);
        if (modifier == "shift") spec.modifiers.shift = true;
        else if (modifier == "ctrl" || modifier == "control") spec.modifiers.control = true;
        else if (modifier == "alt") spec.modifiers.alt = true;
        else return std::nullopt;
        rest = rest.substr(plus + 1);
    }
    for (const auto& [keyName, vk] : kKeys) {
        if (rest == keyName) {
            spec.vk = vk;
            return spec;
        }
    }
    return std::nullopt;
}

bool IsGrid(HWND hwnd) { return IsWindowClass(orv::win::Inspect(hwnd), L"OrvPropertyGrid"); }

// The row of a property grid's item shown with that caption; a script error when none is.
const orv::win::GridRowView& GridItem(const WindowView& grid, const std::string& caption, Args& args,
                                      const std::string& name) {
    for (const auto& row : grid.gridRows)
        if (!row.category && U8(row.caption) == caption) return row;
    args.Fail("the property grid " + name + " shows no item " + Quote(caption));
}

std::string QuotedList(const std::vector<std::string>& items) {
    std::string text;
    for (const auto& item : items) text += (text.empty() ? "" : " ") + Quote(item);
    return items.empty() ? std::string("no items") : text;
}

// A number as `expect field` takes it: exact, "~X" within a relative 1e-12, or "nan".
bool NumberHolds(double actual, const std::string& expected, Args& args) {
    if (expected == "nan") return std::isnan(actual);
    const bool tolerant = expected.starts_with("~");
    const auto value = ParseReal(tolerant ? expected.substr(1) : expected);
    if (!value) args.Fail("expected a number (or ~number, or nan), got '" + expected + "'");
    return tolerant ? std::fabs(actual - *value) <= 1e-12 * std::max(std::fabs(actual), std::fabs(*value))
                    : actual == *value;
}

std::string Real(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

// The texts a window's painting drew, in order, joined by "\n".
std::string DrawnText(HWND hwnd) {
    const orv::win::DisplayList* list = orv::win::PaintWindow(hwnd);
    std::wstring text;
    bool first = true;
    if (list)
        for (const auto& op : list->ops) {
            if (op.kind != orv::win::DrawKind::Text) continue;
            text += (first ? L"" : L"\n") + op.text;
            first = false;
        }
    return U8(text);
}

}  // namespace

std::string UiCommands::Written(const Token& reference) {
    return reference.quoted ? Quote(reference.text) : reference.text;
}

HWND UiCommands::ActiveWindow(Args& args) {
    HWND window = orv::win::ActiveModalWindow();
    if (!window) args.Fail("no window is open");
    return window;
}

HWND UiCommands::ResolveControl(HWND window, const Token& reference) {
    if (reference.quoted) {
        const std::wstring caption = orv::text::StripMnemonics(W(reference.text));
        std::vector<HWND> all;
        Descendants(window, all);
        std::vector<HWND> matches, visible;
        for (HWND hwnd : all) {
            const WindowView v = orv::win::Inspect(hwnd);
            if (orv::text::StripMnemonics(v.text) != caption) continue;
            matches.push_back(hwnd);
            if (v.reallyVisible) visible.push_back(hwnd);
        }
        if (matches.size() == 1) return matches[0];
        if (visible.size() == 1) return visible[0];
        if (matches.empty())
            throw ScriptError("no control with the caption " + Quote(reference.text) + " in window " +
                              WindowName(window));
        std::string ids;
        for (HWND hwnd : visible.empty() ? matches : visible)
            ids += (ids.empty() ? "" : ", ") + std::to_string(orv::win::Inspect(hwnd).id);
        throw ScriptError("the caption " + Quote(reference.text) + " names several controls (ids " + ids +
                          ") in window " + WindowName(window) + "; use the id");
    }
    int id = -1;
    for (int i = 0; i < 9; ++i)
        if (reference.text == kButtonNames[i]) id = i + 1;
    if (id < 0) {
        const auto number = ParseInteger(reference.text);
        if (!number)
            throw ScriptError("unknown control '" + reference.text +
                              "' (a control id, a button name such as OK, or a quoted caption)");
        if (*number < 0 || *number > 0xFFFF) throw ScriptError("control id " + reference.text + " is out of range");
        id = int(*number);
    }
    HWND control = orv::win::FindControl(window, id);
    if (!control) throw ScriptError("no control " + reference.text + " in window " + WindowName(window));
    return control;
}

std::optional<std::string> UiCommands::ActiveWindowTitle() {
    HWND window = orv::win::ActiveModalWindow();
    if (!window) return std::nullopt;
    return U8(orv::win::Inspect(window).text);
}

std::string SnapshotOf(HWND window) {
    std::vector<HWND> handles;
    Descendants(window, handles);
    std::vector<WindowView> views;
    views.reserve(handles.size());
    for (HWND hwnd : handles) views.push_back(orv::win::Inspect(hwnd));
    // Copies: the next paint of a window replaces its list.
    std::vector<orv::win::DisplayList> copies;
    copies.reserve(handles.size());
    std::vector<const orv::win::DisplayList*> pictures;
    for (std::size_t i = 0; i < handles.size(); ++i) {
        const orv::win::DisplayList* list = orv::text::SelfPainted(handles[i], views[i]);
        copies.push_back(list ? *list : orv::win::DisplayList{});
        pictures.push_back(list ? &copies.back() : nullptr);
    }
    orv::text::CellSize cell;
    RECT units{0, 0, 4, 8};
    if (MapDialogRect(window, &units) && units.right > 0 && units.bottom > 0) {
        cell = {int(units.right), int(units.bottom)};
    } else {
        const LONG base = GetDialogBaseUnits();
        if (LOWORD(DWORD(base)) > 0 && HIWORD(DWORD(base)) > 0) cell = {LOWORD(DWORD(base)), HIWORD(DWORD(base))};
    }
    return orv::text::RenderSnapshot(orv::win::Inspect(window), views, cell, pictures);
}

void UiCommands::AddCommands(CommandTable& table) {
    // A control of the active window named by the next argument.
    auto control = [](Call& call, std::string& written) {
        Args& args = call.Arguments();
        HWND window = ActiveWindow(args);
        const Token& reference = args.Any("a control");
        written = Written(reference);
        return ResolveControl(window, reference);
    };

    table.Add({"type", Where::Window, "type CTL \"text\"", [control](Call& call) {
                   std::string name;
                   HWND hwnd = control(call, name);
                   const std::string text = call.Arguments().String("the text to type");
                   call.Arguments().End();
                   Require(input::ReplaceText(hwnd, W(text)), call.Arguments(), "type into " + name);
               }});
    table.Add({"paste", Where::Window, "paste CTL \"text\"", [control](Call& call) {
                   std::string name;
                   HWND hwnd = control(call, name);
                   const std::string text = call.Arguments().String("the text to paste");
                   call.Arguments().End();
                   Require(input::Focus(hwnd), call.Arguments(), "focus " + name);
                   HWND focus = GetFocus();
                   SendMessage(focus ? focus : hwnd, EM_SETSEL, 0, -1);
                   Require(input::Paste(W(text)), call.Arguments(), "paste into " + name);
               }});
    table.Add({"key", Where::Window, "key [CTL] NAME", [](Call& call) {
                   Args& args = call.Arguments();
                   HWND window = ActiveWindow(args);
                   std::string target = "the focused control";
                   if (args.Remaining() >= 2) {
                       const Token& reference = args.Any("a control");
                       target = Written(reference);
                       Require(input::Focus(ResolveControl(window, reference)), args, "focus " + target);
                   }
                   const Token& key = args.Any("a key name");
                   args.End();
                   if (key.quoted) {
                       const std::wstring ch = W(key.text);
                       if (ch.size() != 1) args.Fail("a quoted key is one character, got " + Quote(key.text));
                       Require(input::TypeChar(ch[0]), args, "type " + Quote(key.text) + " into " + target);
                       return;
                   }
                   const auto spec = ParseKey(key.text);
                   if (!spec)
                       args.Fail("unknown key '" + key.text +
                                 "' (Enter, Escape, Tab, Shift+Tab, F1, Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PageDown, "
                                 "Ctrl+PageUp, Backspace, Delete, Home, End, Left, Right, or one quoted character)");
                   Require(input::PressKey(spec->vk, spec->modifiers), args, "press " + key.text + " in " + target);
               }});
    table.Add({"click", Where::Window, "click CTL", [control](Call& call) {
                   std::string name;
                   HWND hwnd = control(call, name);
                   call.Arguments().End();
                   Require(input::Click(hwnd), call.Arguments(), "click " + name);
               }});
    table.Add({"select", Where::Window, "select CTL INDEX|\"TEXT\"|\"ITEM\" \"CHOICE\"", [control](Call& call) {
                   std::string name;
                   HWND hwnd = control(call, name);
                   Args& args = call.Arguments();
                   if (IsGrid(hwnd)) {
                       const std::string item = args.String("the caption of a property grid item");
                       const std::string choice = args.String("a choice of the item");
                       args.End();
                       Require(input::GridChoose(hwnd, W(item), W(choice)), args,
                               "select " + Quote(choice) + " for " + Quote(item) + " in " + name);
                   } else if (!args.AtEnd() && args.Peek().quoted) {
                       const std::string text = args.String("an item");
                       args.End();
                       Require(input::SelectItemByText(hwnd, W(text)), args, "select " + Quote(text) + " in " + name);
                   } else {
                       const auto index = args.Integer("an item index or a quoted item text", -1, INT32_MAX);
                       args.End();
                       Require(input::SelectItem(hwnd, int(index)), args,
                               "select item " + std::to_string(index) + " in " + name);
                   }
               }});
    table.Add({"focus", Where::Window, "focus CTL", [control](Call& call) {
                   std::string name;
                   HWND hwnd = control(call, name);
                   call.Arguments().End();
                   Require(input::Focus(hwnd), call.Arguments(), "focus " + name);
               }});
    table.Add({"close", Where::Window, "close", [](Call& call) {
                   HWND window = ActiveWindow(call.Arguments());
                   call.Arguments().End();
                   Require(input::CloseWindow(window), call.Arguments(), "close " + WindowName(window));
               }});
    table.Add({"wait", Where::Anywhere, "wait MS", [](Call& call) {
                   const auto ms = call.Arguments().Integer("a time in milliseconds", 0, UINT32_MAX);
                   call.Arguments().End();
                   input::AdvanceClock(UINT(ms));
               }});
    table.Add({"show", Where::Window, "show", [](Call& call) {
                   HWND window = ActiveWindow(call.Arguments());
                   call.Arguments().End();
                   call.Out() << SnapshotOf(window);
               }});

    // ---- expectations ----
    table.Add({"expect title", Where::Window, "expect title \"T\"", [](Call& call) {
                   HWND window = ActiveWindow(call.Arguments());
                   const std::string expected = call.Arguments().String("the title");
                   call.Arguments().End();
                   const std::string actual = U8(orv::win::Inspect(window).text);
                   if (actual != expected) call.Fail("title " + Quote(expected), Quote(actual));
                   call.Pass();
               }});
    table.Add({"expect text", Where::Window, "expect text CTL \"T\"", [control](Call& call) {
                   std::string name;
                   HWND hwnd = control(call, name);
                   const std::string expected = call.Arguments().String("the text");
                   call.Arguments().End();
                   const std::string actual = U8(ShownText(orv::win::Inspect(hwnd)));
                   if (actual != expected) call.Fail("text " + name + " " + Quote(expected), Quote(actual));
                   call.Pass();
               }});
    struct StateForm {
        const char* name;
        const char* opposite;
        bool (*holds)(const WindowView&);
    };
    static const StateForm kStates[] = {
        {"enabled", "disabled", [](const WindowView& v) { return v.enabled; }},
        {"disabled", "enabled", [](const WindowView& v) { return !v.enabled; }},
        {"visible", "hidden", [](const WindowView& v) { return v.reallyVisible; }},
        {"hidden", "visible", [](const WindowView& v) { return !v.reallyVisible; }},
        {"checked", "", [](const WindowView& v) { return v.check == BST_CHECKED; }},
        {"unchecked", "", [](const WindowView& v) { return v.check == BST_UNCHECKED; }},
        {"indeterminate", "", [](const WindowView& v) { return v.check == BST_INDETERMINATE; }},
    };
    for (const StateForm& form : kStates) {
        table.Add({std::string("expect ") + form.name, Where::Window, std::string("expect ") + form.name + " CTL",
                   [control, &form](Call& call) {
                       std::string name;
                       HWND hwnd = control(call, name);
                       call.Arguments().End();
                       const WindowView v = orv::win::Inspect(hwnd);
                       const bool isCheck = std::string_view(form.opposite).empty();
                       if (isCheck && v.check < 0)
                           call.Error(name + " is a " + U8(v.className) + ", not a check box or radio button");
                       if (!form.holds(v)) {
                           std::string got = form.opposite;
                           if (isCheck)
                               got = v.check == BST_CHECKED ? "checked"
                                     : v.check == BST_INDETERMINATE ? "indeterminate" : "unchecked";
                           call.Fail(std::string(form.name) + " " + name, got);
                       }
                       call.Pass();
                   }});
    }
    table.Add({"expect selected", Where::Window, "expect selected CTL INDEX|\"TEXT\"|none|\"ITEM\" \"CHOICE\"", [control](Call& call) {
                   std::string name;
                   HWND hwnd = control(call, name);
                   Args& args = call.Arguments();
                   const WindowView v = orv::win::Inspect(hwnd);
                   if (IsGrid(hwnd)) {
                       const std::string item = args.String("the caption of a property grid item");
                       const std::string choice = args.String("the choice shown");
                       args.End();
                       const std::string actual = U8(GridItem(v, item, args, name).value);
                       if (actual != choice) call.Fail("selected " + name + " " + Quote(item) + " " + Quote(choice), Quote(actual));
                       call.Pass();
                       return;
                   }
                   int selection = v.selection;
                   if (selection < 0)
                       for (std::size_t i = 0; i < v.items.size(); ++i)
                           if (v.items[i].selected) {
                               selection = int(i);
                               break;
                           }
                   const std::string actual =
                       selection < 0 ? "none"
                       : selection < int(v.items.size())
                           ? std::to_string(selection) + " " + Quote(U8(v.items[std::size_t(selection)].text))
                           : std::to_string(selection);
                   if (args.TakeWord("none")) {
                       args.End();
                       if (selection >= 0) call.Fail("selected " + name + " none", actual);
                   } else if (!args.AtEnd() && args.Peek().quoted) {
                       const std::string text = args.String("an item");
                       args.End();
                       if (selection < 0 || selection >= int(v.items.size()) ||
                           U8(v.items[std::size_t(selection)].text) != text)
                           call.Fail("selected " + name + " " + Quote(text), actual);
                   } else {
                       const auto index = args.Integer("an item index, a quoted item text or none", -1, INT32_MAX);
                       args.End();
                       if (selection != index) call.Fail("selected " + name + " " + std::to_string(index), actual);
                   }
                   call.Pass();
               }});
    table.Add({"expect items", Where::Window, "expect items CTL [\"ITEM\"] \"a\" \"b\" ...", [control](Call& call) {
                   std::string name;
                   HWND hwnd = control(call, name);
                   const WindowView v = orv::win::Inspect(hwnd);
                   std::string what = name;
                   std::vector<std::string> actual;
                   if (IsGrid(hwnd)) {
                       const std::string item = call.Arguments().String("the caption of a property grid item");
                       what += " " + Quote(item);
                       for (const auto& choice : GridItem(v, item, call.Arguments(), name).choices)
                           actual.push_back(U8(choice));
                   } else {
                       for (const auto& item : v.items) actual.push_back(U8(item.text));
                   }
                   const std::vector<std::string> expected = call.Arguments().Strings("an item text");
                   if (actual != expected) call.Fail("items " + what + " " + QuotedList(expected), QuotedList(actual));
                   call.Pass();
               }});
    for (const bool readOnly : {true, false}) {
        const std::string form = readOnly ? "readonly" : "editable";
        table.Add({"expect " + form, Where::Window, "expect " + form + " CTL \"ITEM\"", [control, readOnly, form](Call& call) {
                       std::string name;
                       HWND hwnd = control(call, name);
                       if (!IsGrid(hwnd)) call.Error(name + " is not a property grid");
                       const std::string item = call.Arguments().String("the caption of a property grid item");
                       call.Arguments().End();
                       const WindowView grid = orv::win::Inspect(hwnd);  // the row lives in it
                       const auto& row = GridItem(grid, item, call.Arguments(), name);
                       if (row.readOnly != readOnly)
                           call.Fail(form + " " + name + " " + Quote(item), row.readOnly ? "readonly" : "editable");
                       call.Pass();
                   }});
    }
    table.Add({"expect help", Where::Window, "expect help CTL \"TEXT\"", [control](Call& call) {
                   std::string name;
                   HWND hwnd = control(call, name);
                   if (!IsGrid(hwnd)) call.Error(name + " is not a property grid");
                   const std::string expected = call.Arguments().String("the help pane's text");
                   call.Arguments().End();
                   const WindowView v = orv::win::Inspect(hwnd);
                   std::string actual = "no item selected";
                   if (!v.gridHelpVisible) actual = "the help pane hidden";
                   else if (v.selection >= 0 && v.selection < int(v.gridRows.size()))
                       actual = Quote(U8(v.gridRows[std::size_t(v.selection)].description));
                   if (actual != Quote(expected)) call.Fail("help " + name + " " + Quote(expected), actual);
                   call.Pass();
               }});
    table.Add({"expect focus", Where::Window, "expect focus CTL", [control](Call& call) {
                   std::string name;
                   HWND hwnd = control(call, name);
                   call.Arguments().End();
                   HWND focus = GetFocus();
                   if (focus != hwnd && !(focus && IsChild(hwnd, focus))) {
                       std::string got = "no focus";
                       if (focus) {
                           const WindowView f = orv::win::Inspect(focus);
                           got = std::to_string(f.id) + " (" + U8(f.className) +
                                 (f.text.empty() ? "" : " " + Quote(U8(f.text))) + ")";
                       }
                       call.Fail("focus " + name, got);
                   }
                   call.Pass();
               }});
    table.Add({"expect message", Where::Window, "expect message \"T\"|ID|contains \"T\"", [](Call& call) {
                   Args& args = call.Arguments();
                   HWND window = ActiveWindow(args);
                   std::string expected;
                   std::string written;
                   bool contains = false;
                   if (args.TakeWord("contains")) {
                       contains = true;
                       expected = args.String("the text it contains");
                       written = "contains " + Quote(expected);
                   } else if (!args.AtEnd() && args.Peek().quoted) {
                       expected = args.String("the message text");
                       written = Quote(expected);
                   } else {
                       const auto id = args.Integer("a message text, a string id or contains \"T\"", 0, 0xFFFF);
                       // As the framework loads it: the current resource module, then the
                       // framework's own prompts.
                       CString text;
                       if (!text.LoadString(UINT(id)))
                           args.Fail("string " + std::to_string(id) + " is not in the current resource module");
                       expected = text.ToUtf8();
                       written = std::to_string(id) + " " + Quote(expected);
                   }
                   args.End();
                   const WindowView v = orv::win::Inspect(window);
                   if (!v.isMessageBox) call.Fail("message " + written, "window " + WindowName(window) + " (not a message box)");
                   const std::string actual = U8(v.messageBox.text);
                   const bool holds = contains ? actual.find(expected) != std::string::npos : actual == expected;
                   if (!holds) call.Fail("message " + written, Quote(actual));
                   call.Pass();
               }});
    // ---- painted controls ----
    table.Add({"expect plot", Where::Window, "expect plot CTL xrange A B yrange C D | expect plot CTL points N",
               [control](Call& call) {
                   std::string name;
                   HWND hwnd = control(call, name);
                   Args& args = call.Arguments();
                   const WindowView v = orv::win::Inspect(hwnd);
                   if (!v.hasPlot) call.Error(name + " is not a plot");
                   if (args.TakeWord("points")) {
                       const auto n = args.Integer("a number of points", 0, INT32_MAX);
                       args.End();
                       if (v.plot.points != std::size_t(n))
                           call.Fail("plot " + name + " points " + std::to_string(n), std::to_string(v.plot.points));
                       call.Pass();
                       return;
                   }
                   if (!args.TakeWord("xrange")) args.Fail("expected xrange A B yrange C D or points N");
                   const std::string a = args.Word("the smallest x"), b = args.Word("the largest x");
                   if (!args.TakeWord("yrange")) args.Fail("expected yrange C D after the x range");
                   const std::string c = args.Word("the smallest y"), d = args.Word("the largest y");
                   args.End();
                   const bool holds = NumberHolds(v.plot.xMin, a, args) && NumberHolds(v.plot.xMax, b, args) &&
                                      NumberHolds(v.plot.yMin, c, args) && NumberHolds(v.plot.yMax, d, args);
                   if (!holds)
                       call.Fail("plot " + name + " xrange " + a + " " + b + " yrange " + c + " " + d,
                                 "xrange " + Real(v.plot.xMin) + " " + Real(v.plot.xMax) + " yrange " + Real(v.plot.yMin) +
                                     " " + Real(v.plot.yMax));
                   call.Pass();
               }});
    table.Add({"expect drawn", Where::Window, "expect drawn CTL \"TEXT\"", [control](Call& call) {
                   std::string name;
                   HWND hwnd = control(call, name);
                   const std::string expected = call.Arguments().String("the text drawn");
                   call.Arguments().End();
                   const std::string actual = DrawnText(hwnd);
                   if (actual != expected) call.Fail("drawn " + name + " " + Quote(expected), Quote(actual));
                   call.Pass();
               }});
    table.Add({"expect beep", Where::Anywhere, "expect beep", [this](Call& call) {
                   call.Arguments().End();
                   const std::size_t beeps = orv::win::Beeps().size();
                   if (beeps < beepsSeen_) beepsSeen_ = 0;  // the records were cleared
                   if (beeps == beepsSeen_) call.Fail("a beep", "none since the previous 'expect beep'");
                   beepsSeen_ = beeps;
                   call.Pass();
               }});
    table.Add({"expect window", Where::Anywhere, "expect window \"T\"", [](Call& call) {
                   const std::string expected = call.Arguments().String("a window title");
                   call.Arguments().End();
                   std::string open;
                   for (HWND hwnd : orv::win::TopLevelWindows()) {
                       const std::string title = U8(orv::win::Inspect(hwnd).text);
                       if (title == expected) {
                           call.Pass();
                           return;
                       }
                       open += (open.empty() ? "" : ", ") + Quote(title);
                   }
                   call.Fail("window " + Quote(expected), open.empty() ? "no window open" : "windows " + open);
               }});
}

}  // namespace orv::script
