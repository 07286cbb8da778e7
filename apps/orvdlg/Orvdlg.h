#pragma once
// The demo host's command line: `orvdlg` runs the embedded tour, `orvdlg run SCRIPT` runs a
// scenario script, `orvdlg --help` lists the commands.

#include <iosfwd>
#include <string_view>

namespace orvdlg {

// Runs the demo host; returns the process exit status (0 passed, 1 an expectation failed,
// 2 a script error or bad arguments).
int Main(int argc, const char* const* argv, std::string_view tour, std::ostream& out, std::ostream& err);

}  // namespace orvdlg
