#pragma once
// Expectations on the shared controls of the library: the balloon tips that expression edits
// raise and the text colour a control's parent chooses for it.
//
//     expect balloon "TITLE"     a balloon titled TITLE is shown
//     expect no balloon          no balloon is shown
//     expect textcolor CTL RRGGBB
//                                the colour CTL's text is drawn in, as the control's reflected
//                                colour message chooses it (FF0000 for an unevaluable entry)

#include <string>
#include <vector>

#include "platform/drivers/scripted/ScriptRunner.h"
#include "platform/win/WinTypes.h"

namespace orvdlg {

class ControlCommands : public orv::script::CommandLayer {
public:
    void AddCommands(orv::script::CommandTable& table) override;

    // The window class of balloon tips.
    static constexpr const wchar_t* kBalloonClass = L"BalloonHelpClass";
    // The balloons shown now (visible windows of the balloon class), topmost first.
    static std::vector<HWND> ShownBalloons();
    // "RRGGBB" of a colour, and the colour of such a text (false when it is not six hex digits).
    static std::string ColourText(COLORREF colour);
    static bool ParseColour(const std::string& text, COLORREF& colour);
};

}  // namespace orvdlg
