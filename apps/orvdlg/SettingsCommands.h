#pragma once
// The commands that drive the model settings dialogs as the host does: the unit system dialog
// on the scenario's model unit system and the mass species dialog on the scenario's species,
// with expectations on what they left in the model.

#include <cstdint>
#include <optional>

#include "apps/orvdlg/HostCommands.h"
#include "platform/drivers/scripted/ScriptRunner.h"

namespace orvdlg {

class SettingsCommands : public orv::script::CommandLayer {
public:
    explicit SettingsCommands(HostCommands& host) : host_(host) {}
    void AddCommands(orv::script::CommandTable& table) override;

private:
    void UnitsDialog(orv::script::Call& call);
    void SpeciesDialog(orv::script::Call& call);

    HostCommands& host_;
    std::optional<std::int32_t> newSpecies_;  // the species created last
};

}  // namespace orvdlg
