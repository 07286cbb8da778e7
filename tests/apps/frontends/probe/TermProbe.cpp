// orv_term_probe: opens a dialog under the terminal front end, for tests that drive it in a
// pseudo-terminal. When the dialog ends, the terminal is given back and the result (and the
// dialog's values) are written to the result file, or to standard output.
//
//   orv_term_probe [--result FILE] sample            the demo host's sample dialog
//   orv_term_probe [--result FILE] message           a question with Yes, No and Cancel
//   orv_term_probe [--result FILE] [--slow MS] run SCRIPT
//                                                    a script, shown as it plays
//   orv_term_probe screens COLSxROWS SCRIPT          without a terminal: the screen at each
//                                                    `show` of the script, as text, with a
//                                                    map of its attributes below it
//
// Exit status: 0 when the dialog was answered, 1 when the script failed, 2 when the terminal
// cannot be used (the reason on standard error), 3 when the terminal went away first.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <memory>
#include <string>
#include <vector>

#include "apps/orvdlg/SampleDialog.h"
#include "apps/orvdlg/ScriptSession.h"
#include "apps/orvdlg/Shot.h"
#include "platform/drivers/terminal/TermUi.h"
#include "platform/drivers/terminal/TerminalDriver.h"
#include "platform/win/Afx.h"
#include "platform/win/Inspect.h"
#include "platform/win/WinApi.h"

namespace {

int Usage() {
    std::cerr << "usage: orv_term_probe [--result FILE] [--slow MS] sample|message|run SCRIPT\n"
                 "       orv_term_probe screens COLSxROWS SCRIPT\n";
    return 2;
}

// The terminal front end without a terminal in front of the scripted driver: at every `show`
// the screen is drawn into a canvas of the given size and printed.
class ScreenPrinter : public orv::win::Driver {
public:
    ScreenPrinter(orvdlg::ScriptSession& session, int columns, int rows, std::map<int, std::string> shows)
        : session_(session), screen_(columns, rows), shows_(std::move(shows)) {}
    bool WaitForInput(HWND modal) override {
        const bool more = session_.ScriptDriver().WaitForInput(modal);
        if (more) Print(session_.Runner().CurrentLine());
        return more;
    }
    void WindowDestroyed(HWND hwnd) override { ui_.Forget(hwnd); }
    void WindowChanged(HWND hwnd, orv::win::WindowChange what) override {
        if (what == orv::win::WindowChange::Redraw || what == orv::win::WindowChange::Rect) ui_.Invalidate(hwnd);
    }
    void Print(int line) {
        const auto show = shows_.find(line);
        if (show == shows_.end() || line == last_) return;
        last_ = line;
        ui_.Render(screen_);
        std::cout << "== line " << line << " " << show->second << "\n" << screen_.Utf8();
        // Attributes: R reversed, B bold, U underlined, D dim (the strongest of them), a digit
        // for a colour; '.' for none.
        for (int y = 0; y < screen_.Height(); ++y) {
            std::string row;
            for (int x = 0; x < screen_.Width(); ++x) {
                const auto a = screen_.At(x, y).attr;
                const int color = orv::term::AttrColor(a);
                row += color >= 0                          ? char('0' + color)
                       : (a & orv::term::kAttrReverse)     ? 'R'
                       : (a & orv::term::kAttrBold)        ? 'B'
                       : (a & orv::term::kAttrUnderline)   ? 'U'
                       : (a & orv::term::kAttrDim)         ? 'D'
                                                           : '.';
            }
            std::cout << row << "\n";
        }
    }

private:
    orvdlg::ScriptSession& session_;
    orv::term::TermUi ui_;
    orv::term::Canvas screen_;
    std::map<int, std::string> shows_;
    int last_ = 0;
};

int PrintScreens(const std::string& size, const std::string& path) {
    int columns = 0, rows = 0;
    if (std::sscanf(size.c_str(), "%dx%d", &columns, &rows) != 2 || columns < 1 || rows < 1) return Usage();
    std::ifstream file(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::map<int, std::string> shows;
    std::string error;
    if (!file || !orvdlg::ShowLines(text, shows, error)) {
        std::cerr << "orv_term_probe: cannot read '" << path << "' " << error << "\n";
        return 2;
    }
    std::ostringstream out;
    orvdlg::ScriptSession session(out);
    ScreenPrinter printer(session, columns, rows, shows);
    session.Runner().SetAfterHostLine([&](int line) { printer.Print(line); });
    session.SetFrontEnd(&printer);
    const int status = session.RunFile(path);
    std::cout << "status " << status << "\n";
    if (status) std::cerr << out.str();
    return status;
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
    if (what == "screens") return i + 3 == args.size() ? PrintScreens(args[i + 1], args[i + 2]) : Usage();
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
