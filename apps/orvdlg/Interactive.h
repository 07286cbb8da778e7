#pragma once
// The demo host for people: the host window on a model, shown through the Qt or the terminal
// front end, and scripts played through the terminal front end.
//
//     orvdlg [--ui qt|terminal]              the embedded sample model in the host window
//     orvdlg open PATH [--ui qt|terminal]    a model file in the host window
//     orvdlg tour                            the embedded tour
//     orvdlg run --driver terminal [--slow MS] SCRIPT

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace orvdlg {

enum class FrontEnd { Qt, Terminal };

// What the front ends need, as found at start-up.
struct UiEnvironment {
    bool display = false;       // DISPLAY or WAYLAND_DISPLAY is set, or a Qt platform that shows windows
    bool terminal = false;      // standard input and output are a terminal
    bool haveQt = false;        // the build has the Qt front end
    bool haveTerminal = false;  // the build has the terminal front end
};
UiEnvironment CurrentUiEnvironment();

// The front end `--ui NAME` asks for (empty: Qt when a display is reachable and Qt is built,
// else the terminal when there is one and it is built); nullopt with the reason in `error`.
std::optional<FrontEnd> ChooseFrontEnd(const std::string& requested, const UiEnvironment& environment,
                                       std::string& error);

// Whether `orvdlg` without arguments opens the host window: a person is at a terminal and a
// front end can show the window. Otherwise it runs the tour, as scripts and CI expect.
bool OpensHostByDefault(const UiEnvironment& environment);

// Runs the command when `args` is one of the commands above (an empty `args` only when
// OpensHostByDefault) and returns its exit status; nullopt for any other command line.
std::optional<int> RunInteractiveCommand(const std::vector<std::string>& args, const UiEnvironment& environment,
                                         std::ostream& out, std::ostream& err);

}  // namespace orvdlg
