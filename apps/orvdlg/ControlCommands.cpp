#include "apps/orvdlg/ControlCommands.h"

#include <cstdio>

#include "platform/drivers/scripted/UiCommands.h"
#include "platform/win/Inspect.h"
#include "platform/win/Utf8.h"

namespace orvdlg {
namespace {

using orv::script::Call;
using orv::script::Where;

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

std::string BalloonTitles(const std::vector<HWND>& balloons) {
    std::string titles;
    for (HWND hwnd : balloons)
        titles += (titles.empty() ? "" : ", ") + Quote(orv::WideToUtf8(orv::win::Inspect(hwnd).text));
    return titles;
}

}  // namespace

std::vector<HWND> ControlCommands::ShownBalloons() {
    std::vector<HWND> shown;
    for (HWND hwnd : orv::win::TopLevelWindows()) {
        const auto view = orv::win::Inspect(hwnd);
        if (view.className == kBalloonClass && view.reallyVisible) shown.push_back(hwnd);
    }
    return shown;
}

std::string ControlCommands::ColourText(COLORREF colour) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", unsigned(GetRValue(colour)), unsigned(GetGValue(colour)),
                  unsigned(GetBValue(colour)));
    return text;
}

bool ControlCommands::ParseColour(const std::string& text, COLORREF& colour) {
    if (text.size() != 6) return false;
    unsigned value = 0;
    for (char c : text) {
        unsigned digit = 0;
        if (c >= '0' && c <= '9')
            digit = unsigned(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = unsigned(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            digit = unsigned(c - 'a' + 10);
        else
            return false;
        value = value * 16 + digit;
    }
    colour = RGB(BYTE(value >> 16), BYTE(value >> 8), BYTE(value));
    return true;
}

void ControlCommands::AddCommands(orv::script::CommandTable& table) {
    table.Add({"expect balloon", Where::Anywhere, "expect balloon \"TITLE\"", [](Call& call) {
                   const std::string expected = call.Arguments().String("the balloon's title");
                   call.Arguments().End();
                   const auto balloons = ShownBalloons();
                   for (HWND hwnd : balloons)
                       if (orv::WideToUtf8(orv::win::Inspect(hwnd).text) == expected) {
                           call.Pass();
                           return;
                       }
                   call.Fail("balloon " + Quote(expected),
                             balloons.empty() ? "no balloon" : "balloon " + BalloonTitles(balloons));
               }});
    table.Add({"expect no", Where::Anywhere, "expect no balloon", [](Call& call) {
                   orv::script::Args& args = call.Arguments();
                   const std::string what = args.Word("'balloon'");
                   if (what != "balloon") args.Fail("expected 'balloon' after 'expect no', got '" + what + "'");
                   args.End();
                   const auto balloons = ShownBalloons();
                   if (!balloons.empty()) call.Fail("no balloon", "balloon " + BalloonTitles(balloons));
                   call.Pass();
               }});
    table.Add({"expect values", Where::Window, "expect values CTL [\"VALUE (N)\" ...]", [](Call& call) {
                   orv::script::Args& args = call.Arguments();
                   HWND window = orv::script::UiCommands::ActiveWindow(args);
                   const orv::script::Token reference = args.Any("a control");
                   HWND control = orv::script::UiCommands::ResolveControl(window, reference);
                   const std::vector<std::string> expected = args.Strings("a value and its count, \"500 (2)\"");
                   args.End();
                   auto list = [](const std::vector<std::string>& values) {
                       std::string text;
                       for (const std::string& value : values) text += (text.empty() ? "" : " ") + Quote(value);
                       return text.empty() ? std::string("no mixed values") : text;
                   };
                   std::vector<std::string> actual;
                   for (const auto& value : orv::win::Inspect(control).mixedValues)
                       actual.push_back(orv::WideToUtf8(value.text) + " (" + std::to_string(value.objects.size()) + ")");
                   if (actual != expected)
                       call.Fail("values " + orv::script::UiCommands::Written(reference) + " " + list(expected),
                                 list(actual));
                   call.Pass();
               }});
    table.Add({"expect textcolor", Where::Window, "expect textcolor CTL RRGGBB", [](Call& call) {
                   orv::script::Args& args = call.Arguments();
                   HWND window = orv::script::UiCommands::ActiveWindow(args);
                   const orv::script::Token reference = args.Any("a control");
                   HWND control = orv::script::UiCommands::ResolveControl(window, reference);
                   const orv::script::Token& colourToken = args.Any("a colour RRGGBB");
                   COLORREF expected = 0;
                   if (!ParseColour(colourToken.text, expected))
                       args.Fail("expected a colour of six hexadecimal digits RRGGBB, got '" + colourToken.text + "'");
                   args.End();
                   const auto view = orv::win::Inspect(control);
                   // The kernel asks the parent for the colours of these kinds only.
                   if (view.className != L"Edit" && view.className != L"Static" && view.className != L"Button")
                       args.Fail("textcolor is known for edits, statics and buttons, not for " +
                                 orv::script::UiCommands::Written(reference) + " (" +
                                 orv::WideToUtf8(view.className) + ")");
                   const COLORREF actual = view.textColor;
                   if (actual != expected)
                       call.Fail("textcolor " + orv::script::UiCommands::Written(reference) + " " +
                                     ColourText(expected),
                                 ColourText(actual));
                   call.Pass();
               }});
}

}  // namespace orvdlg
