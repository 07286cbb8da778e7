#include "apps/orvdlg/Shot.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <ostream>
#include <sstream>

#include "apps/orvdlg/ScriptSession.h"
#include "platform/drivers/scripted/ScriptLexer.h"
#include "platform/win/Inspect.h"
#include "platform/win/Utf8.h"
#include "platform/win/WinApi.h"

#ifdef ORV_HAVE_QT
#include "platform/drivers/qt/QtDriver.h"
#endif

namespace orvdlg {

std::string ShotFileName(int line, const std::string& title) {
    char step[16];
    std::snprintf(step, sizeof step, "%03d", line);
    std::string name = step;
    bool dash = true;
    std::string cleaned;
    for (unsigned char ch : title) {
        if (std::isalnum(ch) || ch >= 0x80) {
            cleaned += static_cast<char>(ch);
            dash = false;
        } else if (!dash) {
            cleaned += '-';
            dash = true;
        }
    }
    while (!cleaned.empty() && cleaned.back() == '-') cleaned.pop_back();
    if (!cleaned.empty()) name += "-" + cleaned;
    return name + ".png";
}

namespace {

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The raw text of each line, numbered from 1 as the reader numbers them.
std::vector<std::string> RawLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

}  // namespace

bool ShowLines(const std::string& text, std::map<int, std::string>& shows, std::string& error) {
    shows.clear();
    std::vector<orv::script::ScriptLine> lines;
    orv::script::SplitScript(text, lines);  // a syntax error is reported by the run itself
    const std::vector<std::string> raw = RawLines(text);
    std::map<std::string, int> used;
    for (const auto& line : lines) {
        if (line.tokens.size() != 1 || line.tokens[0].quoted || line.tokens[0].text != "show") continue;
        std::string name;
        const std::string& source = line.number >= 1 && line.number <= int(raw.size()) ? raw[std::size_t(line.number - 1)] : "";
        // The only token is the bare word, so the first '#' starts the comment.
        const auto hash = source.find('#');
        const std::string comment = hash == std::string::npos ? "" : Trim(source.substr(hash + 1));
        if (comment.rfind("shot:", 0) == 0) {
            name = Trim(comment.substr(5));
            const bool wellFormed = !name.empty() && name[0] != '.' && name.size() <= 100 &&
                                    name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                                           "0123456789.-_") == std::string::npos;
            if (!wellFormed) {
                error = "line " + std::to_string(line.number) + ": a picture name takes letters, digits, '.', '-' and '_', not '" +
                        name + "'";
                return false;
            }
            auto [first, fresh] = used.emplace(name, line.number);
            if (!fresh) {
                error = "line " + std::to_string(line.number) + ": the picture name '" + name + "' is taken by line " +
                        std::to_string(first->second);
                return false;
            }
        }
        shows[line.number] = name;
    }
    return true;
}

namespace {

void FrontEndUsage(std::ostream& err) {
    err << "usage: orvdlg shot SCRIPT OUTDIR   (\"show  # shot: NAME\" writes NAME.png)\n"
           "       orvdlg run --driver qt [--slow MS] SCRIPT\n";
}

#ifdef ORV_HAVE_QT

bool ReadScript(const std::string& path, std::string& text, std::ostream& err) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        err << "orvdlg: cannot read '" << path << "'\n";
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

int RunThroughQt(const std::string& path, const std::string& shotDir, int slow, std::ostream& out, std::ostream& err) {
    std::string text;
    const bool fromInput = path == "-";
    if (fromInput) text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    else if (!ReadScript(path, text, err)) return 2;
    if (!shotDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(shotDir, ec);
        if (ec || !std::filesystem::is_directory(shotDir)) {
            err << "orvdlg: cannot create the folder '" << shotDir << "'\n";
            return 2;
        }
    }
    std::map<int, std::string> shows;
    std::string namesError;
    if (!shotDir.empty() && !ShowLines(text, shows, namesError)) {
        err << "orvdlg: " << path << ": " << namesError << "\n";
        return 2;
    }
    orv::qt::EnsureApplication(!shotDir.empty());
    ScriptSession session(out);
    int lastShot = 0;
    bool shotFailed = false;
    orv::qt::QtDriverOptions options;
    options.inner = &session.ScriptDriver();
    options.slowMilliseconds = slow;
    std::unique_ptr<orv::qt::QtDriver> driver;
    if (!shotDir.empty()) {
        // A `show` in a modal window's input, or at the host level on a modeless window (with
        // the windows beside it, such as the 3-D view, when there are any).
        auto shoot = [&](int line, bool hostLevel) {
            const auto show = shows.find(line);
            if (line == lastShot || show == shows.end()) return;
            lastShot = line;
            const HWND active = orv::win::ActiveModalWindow();
            const std::string title = orv::WideToUtf8(orv::win::Inspect(active).text);
            const std::string name = show->second.empty() ? ShotFileName(line, title) : show->second + ".png";
            const std::string file = (std::filesystem::path(shotDir) / name).string();
            std::string error;
            int shown = 0;
            for (HWND top : orv::win::TopLevelWindows()) shown += orv::win::Inspect(top).reallyVisible ? 1 : 0;
            const bool saved = hostLevel && shown > 1 ? driver->SaveScreenImage(file, error)
                                                      : driver->SaveWindowImage(active, file, error);
            if (saved) {
                out << "picture: " << file << "\n";
            } else {
                err << "orvdlg: " << path << ":" << line << ": " << error << "\n";
                shotFailed = true;
            }
        };
        options.afterInput = [&, shoot](HWND) { shoot(session.Runner().CurrentLine(), false); };
        session.Runner().SetAfterHostLine([shoot](int line) { shoot(line, true); });
    }
    driver = std::make_unique<orv::qt::QtDriver>(std::move(options));
    session.SetFrontEnd(driver.get());
    const int status = fromInput ? session.RunText("stdin", text) : session.RunFile(path);
    return status == 0 && shotFailed ? 2 : status;
}

#endif

}  // namespace

std::optional<int> RunFrontEndCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return std::nullopt;
    std::string script, shotDir;
    int slow = 0;
    if (args[0] == "shot") {
        if (args.size() != 3) {
            err << "orvdlg: 'shot' takes a script file and an output folder\n";
            FrontEndUsage(err);
            return 2;
        }
        script = args[1];
        shotDir = args[2];
    } else if (args[0] == "run" && args.size() > 1 && args[1].rfind("--", 0) == 0) {
        std::size_t i = 1;
        std::string driverName;
        for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
            const std::string& option = args[i];
            if (i + 1 >= args.size()) {
                err << "orvdlg: '" << option << "' needs a value\n";
                FrontEndUsage(err);
                return 2;
            }
            const std::string& value = args[++i];
            if (option == "--driver") {
                driverName = value;
            } else if (option == "--slow") {
                char* end = nullptr;
                const long ms = std::strtol(value.c_str(), &end, 10);
                if (value.empty() || *end != '\0' || ms < 0 || ms > 60000) {
                    err << "orvdlg: '--slow' takes milliseconds from 0 to 60000, not '" << value << "'\n";
                    return 2;
                }
                slow = static_cast<int>(ms);
            } else {
                err << "orvdlg: unknown option '" << option << "'\n";
                FrontEndUsage(err);
                return 2;
            }
        }
        if (i + 1 != args.size()) {
            err << "orvdlg: 'run' takes one script file after its options\n";
            FrontEndUsage(err);
            return 2;
        }
        script = args[i];
        if (driverName.empty() || driverName == "headless") {
            if (slow) err << "orvdlg: '--slow' has no effect without a front end\n";
            ScriptSession session(out);
            return session.RunFile(script);
        }
        if (driverName != "qt") {
            err << "orvdlg: unknown driver '" << driverName << "' (qt, headless)\n";
            return 2;
        }
    } else {
        return std::nullopt;
    }
#ifdef ORV_HAVE_QT
    return RunThroughQt(script, shotDir, slow, out, err);
#else
    (void)out;
    err << "orvdlg: this build has no Qt front end (configure with Qt 5 widgets and ORV_BUILD_QT=ON)\n";
    return 2;
#endif
}

}  // namespace orvdlg
