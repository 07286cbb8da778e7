#pragma once
// Front-end commands of the demo host: `orvdlg shot SCRIPT OUTDIR` plays a script and writes a
// PNG of the active window at every `show`; `orvdlg run --driver qt [--slow MS] SCRIPT` plays it
// through the Qt front end. Both need the Qt front end (the ORV_BUILD_QT build option).

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace orvdlg {

// Runs the command when `args` names one of the front-end commands and returns its exit status;
// nullopt for any other command line.
std::optional<int> RunFrontEndCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The file name of a picture: step (the script line of the `show`), then the window's title
// reduced to letters, digits and dashes: "012-Sample-dialog.png".
std::string ShotFileName(int line, const std::string& title);

}  // namespace orvdlg
