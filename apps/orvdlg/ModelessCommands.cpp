#include "apps/orvdlg/ModelessCommands.h"

#include <ostream>
#include <sstream>
#include <cmath>
#include <map>
#include <iostream>
#include <stdexcept>

#include "apps/orvdlg/ViewPickWindow.h"
#include "dialogs/factory/DataModelDialogs.h"
#include "dialogs/modeless/InitialFluidVolumeDlg.h"
#include "host/model/DbDesignScenario.h"
#include "platform/drivers/scripted/ScriptLexer.h"
#include "platform/win/Kernel.h"
#include "platform/win/Utf8.h"

namespace orvdlg {

using orv::script::Args;
using orv::script::Call;
using orv::script::Where;

namespace {
constexpr std::uint32_t kFluidVolumeType = 120;

double ReadReal(Args& args, std::string_view what) {
    const orv::script::Token& token = args.Any(what);
    const auto value = token.quoted ? std::nullopt : orv::script::ParseReal(token.text);
    if (!value) args.Fail("expected " + std::string(what) + ", got '" + token.text + "'");
    return *value;
}

std::string Number(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

// The scenario's geometry as the view draws it.
GfxUtil::Scene SceneOf(const OrvDbRecord::DbDesignScenario& scenario) {
    GfxUtil::Scene scene;
    const OrvDbRecord::DbNodeStore& nodes = scenario.GetNodes();
    std::map<std::uint32_t, int> index;
    for (const auto& [id, node] : nodes) {
        index[id] = int(scene.nodes.size());
        scene.nodes.push_back({id, node->GetCoordinatesAsArray()});
    }
    auto indices = [&index](const OrvDbRecord::DbPartFace& face) {
        std::vector<int> list;
        for (std::uint32_t id : face.GetNodeIds())
            if (auto it = index.find(id); it != index.end()) list.push_back(it->second);
        return list;
    };
    for (const auto& [id, surface] : scenario.GetSurfaces()) scene.surfaces.push_back(indices(*surface));
    for (const auto& [id, edge] : scenario.GetEdges()) scene.edges.push_back(indices(*edge));
    return scene;
}
}  // namespace

ModelessHost::ModelessHost(ModelSession& session) : session_(session) {
    events_.SetOnOK([this] { OnOK(); });
}

// The dialog lives on in the factory's cache: it forgets its window and its owner here, so that
// neither outlives the host that gave them.
ModelessHost::~ModelessHost() {
    if (DataModelDialogs::InitialFluidVolumeDlg* dialog = OpenDialog()) dialog->DestroyWindow();
    if (dialog_) dialog_->SetParentWindow(nullptr);
}

DataModelDialogs::InitialFluidVolumeDlg* ModelessHost::OpenDialog() const {
    return dialog_ && dialog_->HasWindow() ? dialog_ : nullptr;
}

void ModelessHost::Open(std::optional<std::uint32_t> volumeId, std::uint32_t shape, CWnd* parent) {
    OrvDbRecord::DbDesignScenario& scenario = session_.Scenario();
    const OrvDbRecord::DbInitialFluidVolume* volume = nullptr;
    if (volumeId) {
        volume = scenario.FindInitialFluidVolume(*volumeId);
        if (!volume)
            throw std::runtime_error("scenario " + std::to_string(scenario.Id()) + " has no initial fluid volume " +
                                     std::to_string(*volumeId));
        shape = volume->GetRegionShape();
    }
    auto* base = DataModelDialogs::GetDataModelDialogFactory()->GetFeaObjectPropertiesDialog(kFluidVolumeType, parent, 1);
    auto* dialog = dynamic_cast<DataModelDialogs::InitialFluidVolumeDlg*>(base);
    if (!dialog) throw std::runtime_error("the factory has no modeless dialog for type 120");
    if (dialog->HasWindow()) throw std::runtime_error("the initial fluid volume dialog is already open");
    dialog_ = dialog;
    editedVolume_ = volumeId;
    view_.SetScene(SceneOf(scenario));
    dialog->SetUp(&view_, &events_);
    events_.NoteCall("SetDialog");
    dialog->Reset();
    DataModelDialogs::FeaObjectEditParameters parameters;
    parameters.designScenario = &scenario;
    parameters.objectCount = volume ? 1 : 0;
    parameters.regionShape = shape;
    dialog->SetEditParameters(parameters);
    dialog->SetMode(volume ? 1 : 0);
    if (volume) dialog->AddFeaObject(volume);
    if (!dialog->ShowModeless()) throw std::runtime_error("the initial fluid volume dialog could not be shown");
    dialog->Restart();
}

bool ModelessHost::Pick(const DemoModelessEvents::Xyz& model) {
    events_.SetPickTarget(model);
    const bool taken = view_.Click(view_.ModelToView(model));
    orv::win::detail::DispatchPosted();
    return taken;
}

bool ModelessHost::MoveMouse(const DemoModelessEvents::Xyz& model) {
    const bool taken = view_.MouseMove(view_.ModelToView(model));
    orv::win::detail::DispatchPosted();
    return taken;
}

void ModelessHost::OnOK() {
    if (!dialog_) return;
    ModelSession& session = session_;
    OrvDbRecord::DbDesignScenario& scenario = session.Scenario();
    auto report = [this](const std::string& line) {
        if (report_) report_(line);
    };
    RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY entry;
    if (editedVolume_) {
        if (OrvDbRecord::DbInitialFluidVolume* volume = scenario.FindInitialFluidVolume(*editedVolume_)) {
            volume->InitFemStruct(entry);
            dialog_->ApplyEditsToEntry(&entry);
            volume->InitOnFemStruct(entry);
            session.SetNewFluidVolume(*editedVolume_);
            report("modeless 120: OnOK, updated initial fluid volume " + std::to_string(*editedVolume_));
        }
        return;
    }
    std::uint32_t id = 1;
    for (const auto& [existing, item] : scenario.GetInitialFluidVolumes()) id = std::max(id, existing + 1);
    dialog_->FillNewObjectEntry(nullptr, nullptr, &entry);
    auto volume = std::make_unique<OrvDbRecord::DbInitialFluidVolume>(id);
    volume->InitOnFemStruct(entry);
    scenario.AddInitialFluidVolume(std::move(volume));
    session.SetNewFluidVolume(id);
    // The next OK of the same dialog updates what this one created.
    editedVolume_ = id;
    report("modeless 120: OnOK, created initial fluid volume " + std::to_string(id));
}

ModelessCommands::ModelessCommands(HostCommands& host) : modeless_(host.Session()) {}
ModelessCommands::~ModelessCommands() = default;

void ModelessCommands::AddCommands(orv::script::CommandTable& table) {
    table.Add({"modeless", Where::Host, "modeless 120 create [shape N] | modeless 120 modify OBJ", [this](Call& call) {
                   Args& args = call.Arguments();
                   args.Integer("the type code 120", kFluidVolumeType, kFluidVolumeType);
                   const std::string mode = args.Word("create or modify");
                   std::optional<std::uint32_t> volume;
                   std::uint32_t shape = 0;
                   if (mode == "create") {
                       if (args.TakeWord("shape")) shape = std::uint32_t(args.Integer("a region shape", 0, UINT32_MAX));
                   } else if (mode == "modify") {
                       volume = std::uint32_t(args.Integer("an initial fluid volume id", 0, UINT32_MAX));
                   } else {
                       args.Fail("expected create or modify, got '" + mode + "'");
                   }
                   args.End();
                   std::ostream& out = call.Out();
                   modeless_.SetReport([&out](const std::string& line) { out << line << '\n'; });
                   try {
                       modeless_.Open(volume, shape);
                   } catch (const std::runtime_error& failure) {
                       call.Error(failure.what());
                   }
                   call.Out() << "modeless 120 " << mode << ": shown\n";
               }});
    table.Add({"view-pick", Where::Anywhere, "view-pick X Y Z", [this](Call& call) {
                   Args& args = call.Arguments();
                   DemoModelessEvents::Xyz model{};
                   for (double& v : model) v = ReadReal(args, "a model coordinate");
                   args.End();
                   if (!modeless_.Pick(model)) call.Error("no point-pick controller is running in the view");
               }});
    table.Add({"view-mouse", Where::Anywhere, "view-mouse X Y Z", [this](Call& call) {
                   Args& args = call.Arguments();
                   DemoModelessEvents::Xyz model{};
                   for (double& v : model) v = ReadReal(args, "a model coordinate");
                   args.End();
                   if (!modeless_.MoveMouse(model)) call.Error("no point-pick controller is running in the view");
               }});
    table.Add({"view-window", Where::Host, "view-window", [this](Call& call) {
                   call.Arguments().End();
                   DataModelDialogs::InitialFluidVolumeDlg* dialog = modeless_.OpenDialog();
                   if (!dialog) call.Error("no modeless dialog is open beside which to show the view");
                   if (!window_) window_ = std::make_unique<ViewPickWindow>(modeless_);
                   if (!window_->Open(nullptr, dialog)) call.Error("the 3-D View window could not be opened");
                   // The dialog stays the window that UI commands act on.
                   dialog->SetActiveWindow();
               }});
    table.Add({"expect pending", Where::Anywhere, "expect pending X Y Z | expect pending none", [this](Call& call) {
                   Args& args = call.Arguments();
                   const auto& pending = modeless_.View().GetOverlay().pending;
                   auto text = [](const std::optional<CPoint>& p) {
                       return p ? "view point " + std::to_string(p->x) + " " + std::to_string(p->y) : std::string("none");
                   };
                   std::optional<CPoint> expected;
                   if (!args.TakeWord("none")) {
                       DemoModelessEvents::Xyz model{};
                       for (double& v : model) v = ReadReal(args, "a model coordinate");
                       expected = modeless_.View().ModelToView(model);
                   }
                   args.End();
                   if (pending != expected) call.Fail("pending " + text(expected), text(pending));
                   call.Pass();
               }});
    table.Add({"view-undo", Where::Anywhere, "view-undo", [this](Call& call) {
                   call.Arguments().End();
                   if (!modeless_.View().Undo()) call.Error("no point-pick controller is running in the view");
                   orv::win::detail::DispatchPosted();
               }});
    table.Add({"view-deactivate", Where::Anywhere, "view-deactivate", [this](Call& call) {
                   call.Arguments().End();
                   auto* container = modeless_.View().GetViewContainer(GfxUtil::ARenderingSystem::kActiveViewContainer);
                   GfxUtil::ACustomController* controller = container->GetActiveController();
                   if (!controller) call.Error("no point-pick controller is running in the view");
                   controller->Deactivate();
                   orv::win::detail::DispatchPosted();
               }});
    table.Add({"view-event", Where::Anywhere, "view-event CODE", [this](Call& call) {
                   const auto code = call.Arguments().Integer("an event code", INT32_MIN, INT32_MAX);
                   call.Arguments().End();
                   modeless_.View().SendEvent(std::int32_t(code));
                   orv::win::detail::DispatchPosted();
               }});
    table.Add({"expect status", Where::Anywhere, "expect status \"TEXT\"", [this](Call& call) {
                   const std::string expected = call.Arguments().String("the status message");
                   call.Arguments().End();
                   const std::string got = orv::WideToUtf8(modeless_.Events().GetStatus());
                   if (got != expected) call.Fail("status " + Quote(expected), Quote(got));
                   call.Pass();
               }});
    table.Add({"expect relative", Where::Anywhere, "expect relative X Y Z", [this](Call& call) {
                   Args& args = call.Arguments();
                   DemoModelessEvents::Xyz expected{};
                   for (double& v : expected) v = ReadReal(args, "a coordinate");
                   args.End();
                   const auto& got = modeless_.Events().GetRelativeFrom();
                   auto text = [](const DemoModelessEvents::Xyz& p) {
                       return Number(p[0]) + " " + Number(p[1]) + " " + Number(p[2]);
                   };
                   for (int i = 0; i < 3; ++i)
                       if (std::abs(got[i] - expected[i]) > 1e-9 * std::max(1.0, std::abs(expected[i])))
                           call.Fail("relative " + text(expected), text(got));
                   call.Pass();
               }});
    table.Add({"expect points", Where::Anywhere, "expect points N", [this](Call& call) {
                   const auto expected = call.Arguments().Integer("a number of points", 0, 8);
                   call.Arguments().End();
                   const std::uint32_t got = modeless_.Dialog() ? modeless_.Dialog()->PickedCount() : 0;
                   if (got != expected) call.Fail(std::to_string(expected) + " points", std::to_string(got));
                   call.Pass();
               }});
    table.Add({"expect modeless", Where::Anywhere, "expect modeless open|closed", [this](Call& call) {
                   Args& args = call.Arguments();
                   const std::string expected = args.Word("open or closed");
                   if (expected != "open" && expected != "closed") args.Fail("expected open or closed, got '" + expected + "'");
                   args.End();
                   const std::string got = modeless_.OpenDialog() ? "open" : "closed";
                   if (got != expected) call.Fail("the modeless dialog " + expected, got);
                   call.Pass();
               }});
    table.Add({"expect events", Where::Anywhere, "expect events \"NAME\" ...", [this](Call& call) {
                   const std::vector<std::string> expected = call.Arguments().Strings("callback names");
                   const std::vector<std::string> got = modeless_.Events().TakeCalls();
                   auto text = [](const std::vector<std::string>& names) {
                       std::string joined;
                       for (const auto& name : names) joined += (joined.empty() ? "" : " ") + Quote(name);
                       return names.empty() ? std::string("none") : joined;
                   };
                   if (got != expected) call.Fail("events " + text(expected), text(got));
                   call.Pass();
               }});
}

}  // namespace orvdlg
