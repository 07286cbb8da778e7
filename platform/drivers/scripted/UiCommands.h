#pragma once
// The UI commands of scenario scripts: person-level input to the active window (the innermost
// modal dialog or message box) and expectations on what it shows. Also the window probe the
// runner asks whether a window is open.

#include <cstddef>
#include <optional>
#include <string>

#include "platform/drivers/scripted/ScriptRunner.h"
#include "platform/win/WinTypes.h"

namespace orv::script {

class UiCommands : public CommandLayer, public WindowProbe {
public:
    void AddCommands(CommandTable& table) override;
    std::optional<std::string> ActiveWindowTitle() override;

    // The active window; a script error when none is open.
    static HWND ActiveWindow(Args& args);
    // Resolves a control reference (CTL) in `window`: a decimal id, a button name (OK, Cancel,
    // Abort, Retry, Ignore, Yes, No, Close, Help) or a quoted caption without "&" markers.
    // Script errors for an unknown name, a missing control or an ambiguous caption.
    static HWND ResolveControl(HWND window, const Token& reference);
    // How a control is named in messages: "1001", "OK", "\"Apply\"" as the script wrote it.
    static std::string Written(const Token& reference);

private:
    std::size_t beepsSeen_ = 0;
};

// The snapshot of a window as `show` prints it.
std::string SnapshotOf(HWND window);

}  // namespace orv::script
