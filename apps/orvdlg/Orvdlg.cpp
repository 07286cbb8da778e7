#include "apps/orvdlg/Orvdlg.h"

#include <algorithm>
#include <iostream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "apps/orvdlg/Interactive.h"
#include "apps/orvdlg/ScriptSession.h"
#include "apps/orvdlg/Shot.h"
#include "platform/win/WinApi.h"

namespace orvdlg {
namespace {

void PrintUsage(std::ostream& out) {
    out << "usage: orvdlg              the sample model in the host window (at a terminal), else the tour\n"
           "       orvdlg open PATH    a model file in the host window\n"
           "       orvdlg [open PATH] --ui qt|terminal   the host window through that front end\n"
           "       orvdlg tour         run the tour (the embedded examples/tour.dlgs)\n"
           "       orvdlg run SCRIPT   run a scenario script (\"-\" reads it from standard input)\n"
           "       orvdlg run --driver qt|terminal [--slow MS] SCRIPT   run it through a front end\n"
           "       orvdlg shot SCRIPT OUTDIR   run it and write a PNG of the window at every 'show'\n"
           "       orvdlg --help       this text and the script commands\n";
}

void PrintHelp(std::ostream& out) {
    PrintUsage(out);
    out << "\nExit status: 0 every expectation passed, 1 an expectation failed, 2 a script error.\n"
           "\nScript commands (see docs/scripting.md):\n";
    std::ostringstream ignored;
    ScriptSession session(ignored);
    for (const auto* command : session.Runner().Table().All()) {
        const char* where = command->where == orv::script::Where::Window ? "window"
                            : command->where == orv::script::Where::Host ? "host"
                                                                          : "any";
        out << "  " << command->usage;
        const std::size_t width = command->usage.size();
        out << std::string(width < 44 ? 44 - width : 1, ' ') << where << '\n';
    }
}

}  // namespace

int Main(int argc, const char* const* argv, std::string_view tour, std::ostream& out, std::ostream& err) {
    UiEnvironment environment = CurrentUiEnvironment();
    // Output going elsewhere than standard output has no person reading it at the terminal.
    if (&out != &std::cout) environment.terminal = false;
    return Main(argc, argv, tour, out, err, environment);
}

int Main(int argc, const char* const* argv, std::string_view tour, std::ostream& out, std::ostream& err,
         const UiEnvironment& environment) {
    const std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
    orv::win::SetApplicationName(L"orvdlg");
    if (const auto status = RunInteractiveCommand(args, environment, out, err)) return *status;
    if (args.empty() || (args.size() == 1 && args[0] == "tour")) {
        ScriptSession session(out);
        return session.RunText("tour.dlgs", tour);
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintHelp(out);
        return 0;
    }
    if (const auto status = RunFrontEndCommand(args, out, err)) return *status;
    if (args[0] == "run") {
        if (args.size() != 2) {
            err << "orvdlg: 'run' takes one script file\n";
            PrintUsage(err);
            return 2;
        }
        ScriptSession session(out);
        if (args[1] == "-") {
            const std::string text((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
            return session.RunText("stdin", text);
        }
        return session.RunFile(args[1]);
    }
    err << "orvdlg: unknown argument '" << args[0] << "'\n";
    PrintUsage(err);
    return 2;
}

}  // namespace orvdlg
