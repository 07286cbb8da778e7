#pragma once
// The demo host's command line: `orvdlg` opens the embedded sample model in the host window
// when a person runs it at a terminal (else it runs the embedded tour, as `orvdlg tour` does),
// `orvdlg open PATH` opens a model file, `orvdlg run SCRIPT` runs a scenario script,
// `orvdlg --help` lists the commands.

#include <iosfwd>
#include <string_view>

namespace orvdlg {

struct UiEnvironment;

// Runs the demo host; returns the process exit status (0 passed, 1 an expectation failed,
// 2 a script error or bad arguments). The host window opens by itself only when `out` is the
// process's standard output.
int Main(int argc, const char* const* argv, std::string_view tour, std::ostream& out, std::ostream& err);
// The same with the front ends' environment given (tests).
int Main(int argc, const char* const* argv, std::string_view tour, std::ostream& out, std::ostream& err,
         const UiEnvironment& environment);

}  // namespace orvdlg
