#pragma once
// Script commands for load curves: `curve-dialog KIND` opens a small load dialog with a curve
// id and a "Cur&ve..." button that runs the edit-curve flow on the current scenario; the
// `curve ...` commands edit the table of the curve editor component as a person would, and
// `expect curve` checks the points it shows. Constructing the layer registers the outside
// components, as the demo host does at start.

#include <memory>

#include "platform/drivers/scripted/ScriptRunner.h"

namespace orvdlg {

class HostCommands;
class CurveTestDialog;

class CurveCommands : public orv::script::CommandLayer {
public:
    explicit CurveCommands(HostCommands& host);
    ~CurveCommands() override;
    void AddCommands(orv::script::CommandTable& table) override;

private:
    HostCommands& host_;
    std::unique_ptr<CurveTestDialog> dialog_;
};

}  // namespace orvdlg
