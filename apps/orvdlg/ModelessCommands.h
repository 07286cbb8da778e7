#pragma once
// The commands of the modeless initial fluid volume dialog and of the 3-D view beside it: the
// demo host opens the dialog as the host application does (factory kind 1, SetUp with its
// rendering system and Events, ShowModeless, Restart), delivers picks and view events through
// the controller the dialog installed, and writes the volume when the dialog reports OnOK.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "apps/orvdlg/HostCommands.h"
#include "apps/orvdlg/ModelessEvents.h"
#include "host/graphics/RenderingSystem.h"
#include "platform/drivers/scripted/ScriptRunner.h"

namespace DataModelDialogs {
class InitialFluidVolumeDlg;
}

namespace orvdlg {

class ViewPickWindow;

// The demo host's side of the modeless dialog: its view, its Events, and the writing of the
// volume on OnOK. The script commands and the host window share it.
class ModelessHost {
public:
    explicit ModelessHost(ModelSession& session);
    ~ModelessHost();
    ModelessHost(const ModelessHost&) = delete;
    ModelessHost& operator=(const ModelessHost&) = delete;

    // Opens the dialog on a new volume of the shape, or on an existing volume, owned by
    // `parent` (null: no owner). Failures are std::runtime_error with a message for the person.
    void Open(std::optional<std::uint32_t> volumeId, std::uint32_t shape, CWnd* parent = nullptr);
    // Where the line of each OnOK goes ("modeless 120: OnOK, created initial fluid volume 2").
    void SetReport(std::function<void(const std::string&)> report) { report_ = std::move(report); }
    GfxUtil::RenderingSystem& View() { return view_; }
    DemoModelessEvents& Events() { return events_; }
    // The dialog opened last (its window may be gone), or null.
    DataModelDialogs::InitialFluidVolumeDlg* Dialog() const { return dialog_; }
    // The dialog while its window is open, else null.
    DataModelDialogs::InitialFluidVolumeDlg* OpenDialog() const;
    // A pick at a model point, as the view delivers it; false when no controller takes picks.
    bool Pick(const DemoModelessEvents::Xyz& model);
    // The mouse over the view at the view point of a model point; false when no controller
    // takes the view's input.
    bool MoveMouse(const DemoModelessEvents::Xyz& model);

private:
    void OnOK();

    ModelSession& session_;
    GfxUtil::RenderingSystem view_;
    DemoModelessEvents events_{view_};
    DataModelDialogs::InitialFluidVolumeDlg* dialog_ = nullptr;
    std::optional<std::uint32_t> editedVolume_;  // the volume being edited, or the one OK created
    std::function<void(const std::string&)> report_;
};

class ModelessCommands : public orv::script::CommandLayer {
public:
    explicit ModelessCommands(HostCommands& host);
    ~ModelessCommands() override;
    void AddCommands(orv::script::CommandTable& table) override;

private:
    ModelessHost modeless_;
    std::unique_ptr<ViewPickWindow> window_;  // the 3-D View window a script opened
};

}  // namespace orvdlg
