#pragma once
// Script commands for the film coefficient calculator and the coefficient libraries, opened as
// the surface convection load dialog opens them: `calculator [from-library]` and
// `library-dialog` (host level), and for list views `rename CTL ROW "TEXT"` (the in-place
// rename) and `toggle CTL ROW` (a Ctrl+click).

#include "platform/drivers/scripted/ScriptRunner.h"

namespace orvdlg {

class HostCommands;

class ConvectionCommands : public orv::script::CommandLayer {
public:
    explicit ConvectionCommands(HostCommands& host);
    void AddCommands(orv::script::CommandTable& table) override;

private:
    HostCommands& host_;
};

}  // namespace orvdlg
