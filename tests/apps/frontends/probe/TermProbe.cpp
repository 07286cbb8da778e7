// orv_term_probe: opens a dialog under the terminal front end, for tests that drive it in a
// pseudo-terminal. When the dialog ends, the terminal is given back and the result (and the
// dialog's values) are written to the result file, or to standard output.
//
//   orv_term_probe [--result FILE] sample            the demo host's sample dialog
//   orv_term_probe [--result FILE] message           a question with Yes, No and Cancel
//   orv_term_probe [--result FILE] [--slow MS] run SCRIPT
//                                                    a script, shown as it plays
//
// Exit status: 0 when the dialog was answered, 1 when the script failed, 2 when the terminal
// cannot be used (the reason on standard error), 3 when the terminal went away first.

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "apps/orvdlg/SampleDialog.h"
#include "apps/orvdlg/ScriptSession.h"
#include "platform/drivers/terminal/TerminalDriver.h"
#include "platform/win/Afx.h"
#include "platform/win/WinApi.h"

namespace {

int Usage() {
    std::cerr << "usage: orv_term_probe [--result FILE] [--slow MS] sample|message|run SCRIPT\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    // The probe stands in for the demo host: message boxes carry its name, as scripts expect.
    orv::win::SetApplicationName(L"orvdlg");
    std::string resultPath;
    int slow = 0;
    std::size_t i = 0;
    for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
        if (i + 1 >= args.size()) return Usage();
        if (args[i] == "--result") resultPath = args[++i];
        else if (args[i] == "--slow") slow = std::atoi(args[++i].c_str());
        else return Usage();
    }
    if (i >= args.size()) return Usage();
    const std::string what = args[i];
    if ((what == "run") != (i + 2 == args.size()) || (what != "run" && i + 1 != args.size())) return Usage();
    if (what != "sample" && what != "message" && what != "run") return Usage();

    std::ofstream file;
    if (!resultPath.empty()) {
        file.open(resultPath);
        if (!file) {
            std::cerr << "orv_term_probe: cannot write '" << resultPath << "'\n";
            return 2;
        }
    }
    std::ostream& out = resultPath.empty() ? std::cout : file;

    std::unique_ptr<orvdlg::ScriptSession> session;
    orv::term::TerminalDriverOptions options;
    options.slowMilliseconds = slow;
    if (what == "run") {
        // The script's output goes to the result file, not over the screen.
        session = std::make_unique<orvdlg::ScriptSession>(out);
        options.inner = &session->ScriptDriver();
    }
    orv::term::TerminalDriver driver(options);
    std::string error;
    if (!driver.Start(error)) {
        std::cerr << "orv_term_probe: " << error << "\n";
        return 2;
    }
    if (what == "run") {
        session->SetFrontEnd(&driver);
        const int status = session->RunFile(args[i + 1]);
        driver.Stop();
        out << "status " << status << "\n";
        return status;
    }
    orv::win::DriverScope scope(&driver);
    INT_PTR result = 0;
    std::string values;
    if (what == "sample") {
        orvdlg::SampleDialog dialog;
        result = dialog.DoModal();
        values = dialog.Describe();
    } else {
        result = AfxMessageBox(L"Apply the load to the 3 selected surfaces?\nTheir present values are replaced.",
                               MB_YESNOCANCEL | MB_ICONQUESTION);
    }
    driver.Stop();
    out << "result " << result << "\n";
    if (!values.empty()) out << values << "\n";
    out.flush();
    return result == orv::win::kModalNoInput ? 3 : 0;
}
