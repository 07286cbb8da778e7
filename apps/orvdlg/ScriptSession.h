#pragma once
// One run of a scenario script in the demo host: the reader with every command layer, and the
// scripted driver active for the run.

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "platform/drivers/scripted/ScriptRunner.h"
#include "platform/win/Driver.h"

namespace orvdlg {

class HostCommands;

class ScriptSession {
public:
    explicit ScriptSession(std::ostream& out);
    ~ScriptSession();
    ScriptSession(const ScriptSession&) = delete;
    ScriptSession& operator=(const ScriptSession&) = delete;

    // Loads and runs a script; returns the exit status. One run per session.
    int RunText(const std::string& name, std::string_view text);
    int RunFile(const std::string& path);

    orv::script::ScriptRunner& Runner();
    // The host commands' model state, for layers that open dialogs on the model (they report
    // the object they create and the record the open dialog edits through it).
    HostCommands& Host();
    // Adds a further layer (kept alive by the caller) before the run.
    void AddLayer(orv::script::CommandLayer& layer);
    // The scripted driver of the run, and a front end to make active in its place (one that
    // asks the scripted driver for input); null: the scripted driver itself.
    orv::win::Driver& ScriptDriver();
    void SetFrontEnd(orv::win::Driver* driver);

private:
    int Run();
    struct Layers;
    std::unique_ptr<Layers> layers_;
};

}  // namespace orvdlg
