#pragma once
// The commands that drive the library's FEA object property dialogs as the host does: open a
// dialog for a type code to create or modify objects, answer its pick requests, and check
// what ShowDialog returned, which requests the factory serves and the help pop-ups.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "apps/orvdlg/HostCommands.h"
#include "dialogs/factory/DataModelDialogs.h"
#include "platform/drivers/scripted/ScriptRunner.h"

namespace orvdlg {

class FeaDialogCommands : public orv::script::CommandLayer {
public:
    explicit FeaDialogCommands(HostCommands& host);
    ~FeaDialogCommands() override;
    void AddCommands(orv::script::CommandTable& table) override;

private:
    // One host task: the dialog, what it is given and, after a pick request, the code.
    struct Task {
        DataModelDialogs::AFeaObjectPropertiesDialog* dialog = nullptr;
        std::uint32_t typeCode = 0;
        std::uint32_t mode = 0;
        std::uint32_t count = 0;
        std::vector<std::uint32_t> geometry;  // create: where the new objects go (empty: none)
        std::vector<std::uint32_t> objects;   // modify: the objects' ids
        std::uint32_t pickCode = 0;           // set while a pick request waits for an answer
    };

    void Open(orv::script::Call& call);
    // ShowDialog with the code, then what the host does with the result.
    void Show(orv::script::Call& call, std::uint32_t code);
    void Finish(orv::script::Call& call, std::uint32_t result);
    Task& PendingPick(orv::script::Call& call);

    HostCommands& host_;
    std::optional<Task> task_;
};

}  // namespace orvdlg
