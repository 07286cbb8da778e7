#include "apps/orvdlg/ScriptSession.h"

#include "apps/orvdlg/CurveCommands.h"
#include "apps/orvdlg/ContactCommands.h"
#include "apps/orvdlg/ControlCommands.h"
#include "apps/orvdlg/ConvectionCommands.h"
#include "apps/orvdlg/DemoCommands.h"
#include "apps/orvdlg/FeaDialogCommands.h"
#include "apps/orvdlg/HostCommands.h"
#include "apps/orvdlg/HostWindowCommands.h"
#include "apps/orvdlg/SettingsCommands.h"
#include "apps/orvdlg/ModelessCommands.h"
#include "platform/drivers/scripted/ScriptedDriver.h"
#include "platform/drivers/scripted/UiCommands.h"
#include "platform/win/Inspect.h"

namespace orvdlg {

struct ScriptSession::Layers {
    explicit Layers(std::ostream& out) : runner(out), curves(host), driver(runner) {
        runner.AddLayer(ui);
        runner.AddLayer(host);
        runner.AddLayer(demo);
        runner.AddLayer(controls);
        runner.AddLayer(curves);
        runner.AddLayer(fea);
        runner.AddLayer(convection);
        runner.AddLayer(settings);
        runner.AddLayer(contacts);
        runner.AddLayer(modeless);
        runner.AddLayer(hostWindow);
        runner.SetWindowProbe(&ui);
    }
    orv::script::ScriptRunner runner;
    orv::script::UiCommands ui;
    HostCommands host;
    DemoCommands demo;
    ControlCommands controls;
    CurveCommands curves;
    FeaDialogCommands fea{host};
    ConvectionCommands convection{host};
    SettingsCommands settings{host};
    ContactCommands contacts{host};
    ModelessCommands modeless{host};
    HostWindowCommands hostWindow{host};
    orv::script::ScriptedDriver driver;
    orv::win::Driver* frontEnd = nullptr;
};

ScriptSession::ScriptSession(std::ostream& out) : layers_(std::make_unique<Layers>(out)) {}
ScriptSession::~ScriptSession() = default;

orv::script::ScriptRunner& ScriptSession::Runner() { return layers_->runner; }
HostCommands& ScriptSession::Host() { return layers_->host; }
void ScriptSession::AddLayer(orv::script::CommandLayer& layer) { layers_->runner.AddLayer(layer); }
orv::win::Driver& ScriptSession::ScriptDriver() { return layers_->driver; }
void ScriptSession::SetFrontEnd(orv::win::Driver* driver) { layers_->frontEnd = driver; }

int ScriptSession::Run() {
    orv::win::ClearRecords();
    orv::win::DriverScope scope(layers_->frontEnd ? layers_->frontEnd : &layers_->driver);
    return layers_->runner.Run();
}

int ScriptSession::RunText(const std::string& name, std::string_view text) {
    if (!layers_->runner.Load(name, text)) return layers_->runner.Run();
    return Run();
}

int ScriptSession::RunFile(const std::string& path) {
    if (!layers_->runner.LoadFile(path)) return layers_->runner.Run();
    return Run();
}

}  // namespace orvdlg
