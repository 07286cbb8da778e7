#pragma once
// `host-window`: the interactive host window on the script's model, so that scripts drive it
// as a person does (its list, buttons, status line and the dialogs it opens) and every front end
// replays it. `expect refused "TEXT"`: the reason a control gave for the last character it
// refused (the kernel's record, which the front ends show).

#include <cstddef>

#include "apps/orvdlg/HostCommands.h"
#include "platform/drivers/scripted/ScriptRunner.h"

namespace orvdlg {

class HostWindowCommands : public orv::script::CommandLayer {
public:
    explicit HostWindowCommands(HostCommands& host) : host_(host) {}
    void AddCommands(orv::script::CommandTable& table) override;

private:
    HostCommands& host_;
    std::size_t refusalsSeen_ = 0;  // refusals checked by `expect refused` so far
};

}  // namespace orvdlg
