#pragma once
// The host commands of scenario scripts: models, scenarios, analysis settings, display units,
// saving, record dumps and record field expectations.

#include <optional>
#include <string>

#include "apps/orvdlg/ModelSession.h"
#include "platform/drivers/scripted/ScriptRunner.h"

namespace orvdlg {

class HostCommands : public orv::script::CommandLayer {
public:
    void AddCommands(orv::script::CommandTable& table) override;
    // The model state, shared with the layers that open dialogs.
    ModelSession& Session() { return session_; }

    // Compares a field with the script's VALUE token (see docs/scripting.md for the rules);
    // nullopt when it holds, else what was read, as text. Script errors for a malformed VALUE.
    // What the dialog that ran last returned, with how its results read ("0 (OK)"), for
    // `expect result` whichever layer opened the dialog.
    struct DialogResult {
        std::uint32_t value = 0;
        std::string (*describe)(std::uint32_t result) = nullptr;
    };
    void SetLastResult(DialogResult result) { lastResult_ = result; }
    // How the result of a dialog that ends with OK or Cancel reads: "1 (OK)", "2 (Cancel)", or
    // the number.
    static std::string OkCancelText(std::uint32_t result) {
        if (result == 1) return "1 (OK)";
        if (result == 2) return "2 (Cancel)";
        return std::to_string(result);
    }
    const std::optional<DialogResult>& LastResult() const { return lastResult_; }

    static std::optional<std::string> CompareField(const FieldValue& actual, const orv::script::Token& expected);

private:
    ModelSession session_;
    std::optional<DialogResult> lastResult_;
};

}  // namespace orvdlg
