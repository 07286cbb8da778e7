#include "apps/orvdlg/Interactive.h"

#include <cstdlib>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

#include "apps/orvdlg/HostWindow.h"
#include "apps/orvdlg/ModelSession.h"
#include "apps/orvdlg/ScriptSession.h"
#include "components/Registration.h"
#include "platform/win/Driver.h"
#include "platform/win/Utf8.h"

#ifdef ORV_HAVE_QT
#include "platform/drivers/qt/QtDriver.h"
#endif
#ifdef ORV_HAVE_TERMINAL
#include "platform/drivers/terminal/TerminalDriver.h"
#endif

namespace orvdlg {
namespace {

constexpr const char* kNoQt = "this build has no Qt front end (configure with Qt 5 widgets and ORV_BUILD_QT=ON)";
constexpr const char* kNoTerminal =
    "this build has no terminal front end (configure with ncurses and ORV_BUILD_TERMINAL=ON)";
constexpr const char* kNoDisplay = "no display is reachable for the Qt front end (DISPLAY and WAYLAND_DISPLAY are not set)";
constexpr const char* kNotATerminal = "standard input and output are not a terminal";

void Usage(std::ostream& err) {
    err << "usage: orvdlg [--ui qt|terminal]\n"
           "       orvdlg open PATH [--ui qt|terminal]\n"
           "       orvdlg run --driver terminal [--slow MS] SCRIPT\n";
}

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Runs the host window on the session's model through the front end; the exit status.
int RunHost(ModelSession& session, const std::string& untitledName, FrontEnd frontEnd, std::ostream& err) {
    RegisterOrvComponents();  // the outside components the dialogs create, as the host registers them
    HostWindow window(session, untitledName);
    INT_PTR result = -1;
    orv::win::ClearModalError();
    if (frontEnd == FrontEnd::Qt) {
#ifdef ORV_HAVE_QT
        orv::qt::EnsureApplication(false);
        orv::qt::QtDriver driver{orv::qt::QtDriverOptions{}};
        orv::win::DriverScope scope(&driver);
        result = window.DoModal();
#else
        err << "orvdlg: " << kNoQt << "\n";
        return 2;
#endif
    } else {
#ifdef ORV_HAVE_TERMINAL
        orv::term::TerminalDriver driver{orv::term::TerminalDriverOptions{}};
        std::string error;
        if (!driver.Start(error)) {
            err << "orvdlg: " << error << "\n";
            return 2;
        }
        {
            orv::win::DriverScope scope(&driver);
            result = window.DoModal();
        }
        driver.Stop();
#else
        err << "orvdlg: " << kNoTerminal << "\n";
        return 2;
#endif
    }
    if (result == IDOK) return 0;
    const std::wstring& why = orv::win::ModalError();
    err << "orvdlg: the host window ended without Exit" << (why.empty() ? "" : ": " + orv::WideToUtf8(why)) << "\n";
    return 2;
}

// `run --driver terminal [--slow MS] SCRIPT`: the screen shows the run, input comes from the
// script.
int RunScriptThroughTerminal(const std::string& script, int slow, std::ostream& out, std::ostream& err) {
#ifdef ORV_HAVE_TERMINAL
    if (script == "-") {
        err << "orvdlg: the terminal front end reads standard input: give the script as a file\n";
        return 2;
    }
    // The screen belongs to the front end during the run: the report follows it.
    std::ostringstream report;
    ScriptSession session(report);
    orv::term::TerminalDriverOptions options;
    options.inner = &session.ScriptDriver();
    options.slowMilliseconds = slow;
    orv::term::TerminalDriver driver(options);
    std::string error;
    if (!driver.Start(error)) {
        err << "orvdlg: " << error << "\n";
        return 2;
    }
    session.SetFrontEnd(&driver);
    const int status = session.RunFile(script);
    driver.Stop();
    out << report.str();
    return status;
#else
    (void)script, (void)slow, (void)out;
    err << "orvdlg: " << kNoTerminal << "\n";
    return 2;
#endif
}

// The options of `run` when they name the terminal driver; nullopt for any other `run`.
std::optional<int> RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string driver;
    std::optional<std::string> slowText;
    std::size_t i = 1;
    for (; i + 1 < args.size() && args[i].rfind("--", 0) == 0; i += 2) {
        if (args[i] == "--driver") driver = args[i + 1];
        else if (args[i] == "--slow") slowText = args[i + 1];
        else return std::nullopt;  // the general runner names the unknown option
    }
    if (driver != "terminal") return std::nullopt;
    int slow = 0;
    if (slowText) {
        char* end = nullptr;
        const long ms = std::strtol(slowText->c_str(), &end, 10);
        if (slowText->empty() || *end != '\0' || ms < 0 || ms > 60000) {
            err << "orvdlg: '--slow' takes milliseconds from 0 to 60000, not '" << *slowText << "'\n";
            return 2;
        }
        slow = int(ms);
    }
    if (i + 1 != args.size()) {
        err << "orvdlg: 'run' takes one script file after its options\n";
        Usage(err);
        return 2;
    }
    return RunScriptThroughTerminal(args[i], slow, out, err);
}

}  // namespace

UiEnvironment CurrentUiEnvironment() {
    UiEnvironment environment;
    // A Qt platform plug-in chosen by name (vnc, eglfs, ...) shows windows too; offscreen and
    // minimal show nothing to a person.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const std::string qtPlatform = platform ? platform : "";
    environment.display = Set("DISPLAY") || Set("WAYLAND_DISPLAY") ||
                          (!qtPlatform.empty() && qtPlatform.rfind("offscreen", 0) != 0 && qtPlatform.rfind("minimal", 0) != 0);
    environment.terminal = isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
#ifdef ORV_HAVE_QT
    environment.haveQt = true;
#endif
#ifdef ORV_HAVE_TERMINAL
    environment.haveTerminal = true;
#endif
    return environment;
}

std::optional<FrontEnd> ChooseFrontEnd(const std::string& requested, const UiEnvironment& environment,
                                       std::string& error) {
    if (requested == "qt") {
        if (!environment.haveQt) error = kNoQt;
        else if (!environment.display) error = kNoDisplay;
        else return FrontEnd::Qt;
        return std::nullopt;
    }
    if (requested == "terminal") {
        if (!environment.haveTerminal) error = kNoTerminal;
        else if (!environment.terminal) error = kNotATerminal;
        else return FrontEnd::Terminal;
        return std::nullopt;
    }
    if (!requested.empty()) {
        error = "unknown front end '" + requested + "' (qt, terminal)";
        return std::nullopt;
    }
    if (environment.haveQt && environment.display) return FrontEnd::Qt;
    if (environment.haveTerminal && environment.terminal) return FrontEnd::Terminal;
    error = std::string("no front end can show the host window: ") +
            (environment.haveQt ? kNoDisplay : kNoQt) + "; " + (environment.haveTerminal ? kNotATerminal : kNoTerminal) +
            " (scripts run with 'orvdlg run SCRIPT', the tour with 'orvdlg tour')";
    return std::nullopt;
}

bool OpensHostByDefault(const UiEnvironment& environment) {
    std::string ignored;
    return environment.terminal && ChooseFrontEnd("", environment, ignored).has_value();
}

std::optional<int> RunInteractiveCommand(const std::vector<std::string>& args, const UiEnvironment& environment,
                                         std::ostream& out, std::ostream& err) {
    if (!args.empty() && args[0] == "run") return RunCommand(args, out, err);
    if (args.empty() && !OpensHostByDefault(environment)) return std::nullopt;
    // The rest: [open PATH] with --ui NAME anywhere.
    std::string ui, path;
    bool open = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--ui") {
            if (i + 1 >= args.size()) {
                err << "orvdlg: '--ui' needs a front end (qt, terminal)\n";
                Usage(err);
                return 2;
            }
            ui = args[++i];
        } else if (args[i] == "open" && !open) {
            open = true;
            if (i + 1 >= args.size() || args[i + 1] == "--ui") {
                err << "orvdlg: 'open' takes a model file\n";
                Usage(err);
                return 2;
            }
            path = args[++i];
        } else if (i == 0) {
            return std::nullopt;  // another command
        } else {
            err << "orvdlg: unexpected argument '" << args[i] << "'\n";
            Usage(err);
            return 2;
        }
    }
    ModelSession session;
    try {
        if (open) session.LoadFile(path);
        else session.LoadSample();
        session.Scenario();  // the window shows a design scenario: a model without one is refused here
    } catch (const std::runtime_error& failure) {
        err << "orvdlg: " << failure.what() << "\n";
        return 2;
    }
    std::string error;
    const std::optional<FrontEnd> frontEnd = ChooseFrontEnd(ui, environment, error);
    if (!frontEnd) {
        err << "orvdlg: " << error << "\n";
        return 2;
    }
    return RunHost(session, "bracket.json", *frontEnd, err);
}

}  // namespace orvdlg
