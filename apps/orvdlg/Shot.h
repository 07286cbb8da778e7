#pragma once
// Front-end commands of the demo host: `orvdlg shot SCRIPT OUTDIR` plays a script and writes a
// PNG of the active window at every `show`; `orvdlg run --driver qt [--slow MS] SCRIPT` plays it
// through the Qt front end. Both need the Qt front end (the ORV_BUILD_QT build option).

#include <iosfwd>
#include <map>
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

// The `show` lines of a script, each with the name its picture takes: a comment
// `# shot: NAME` on the `show` line names the picture NAME.png (letters, digits, '.', '-' and
// '_'; each name once); a `show` without one maps to an empty name. False with `error`
// ("line 7: ...") when a name is malformed or used twice; a syntax error of the script itself
// is left to the run.
bool ShowLines(const std::string& text, std::map<int, std::string>& shows, std::string& error);

}  // namespace orvdlg
