#pragma once
// The demo host's own commands: `dialog sample` opens the sample dialog modally and prints how
// it ended; `print "TEXT"` prints a line (headings in the tour).

#include <memory>

#include "platform/drivers/scripted/ScriptRunner.h"

namespace orvdlg {

class SampleDialog;

class DemoCommands : public orv::script::CommandLayer {
public:
    DemoCommands();
    ~DemoCommands() override;
    void AddCommands(orv::script::CommandTable& table) override;

private:
    std::unique_ptr<SampleDialog> sample_;  // created on first use, kept between runs
};

}  // namespace orvdlg
