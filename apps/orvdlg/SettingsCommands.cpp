#include "apps/orvdlg/SettingsCommands.h"

#include <ostream>

#include "dialogs/factory/ASettingsDialogs.h"
#include "dialogs/factory/DataModelDialogs.h"
#include "host/model/DbDesignScenario.h"
#include "platform/win/TextFormat.h"
#include "platform/win/Utf8.h"
#include "platform/win/WinApi.h"

namespace orvdlg {
namespace {

using orv::script::Args;
using orv::script::Call;
using orv::script::Quote;
using orv::script::ScriptError;
using orv::script::Where;

// The unit system fields `expect unit-system` reads, by name.
struct UnitField {
    const char* name;
    std::int64_t (*read)(const OrvDbRecord::UnitSystem&);
};
constexpr UnitField kUnitFields[] = {
    {"type", [](const OrvDbRecord::UnitSystem& u) { return std::int64_t(u.GetUnitSystemType()); }},
    {"force", [](const OrvDbRecord::UnitSystem& u) { return std::int64_t(u.GetForceUnit()); }},
    {"length", [](const OrvDbRecord::UnitSystem& u) { return std::int64_t(u.GetLengthUnit()); }},
    {"time", [](const OrvDbRecord::UnitSystem& u) { return std::int64_t(u.GetTimeUnit()); }},
    {"temperature", [](const OrvDbRecord::UnitSystem& u) { return std::int64_t(u.GetTemperatureUnit()); }},
    {"energy", [](const OrvDbRecord::UnitSystem& u) { return std::int64_t(u.GetEnergyUnit()); }},
    {"voltage", [](const OrvDbRecord::UnitSystem& u) { return std::int64_t(u.GetVoltageUnit()); }},
    {"current", [](const OrvDbRecord::UnitSystem& u) { return std::int64_t(u.GetCurrentUnit()); }},
    {"resistance", [](const OrvDbRecord::UnitSystem& u) { return std::int64_t(u.GetResistanceUnit()); }},
    {"mass", [](const OrvDbRecord::UnitSystem& u) { return std::int64_t(u.GetMassUnit()); }},
};

OrvDbRecord::DbDesignScenario& Scenario(HostCommands& host) {
    try {
        return host.Session().Scenario();
    } catch (const std::runtime_error& error) {
        throw ScriptError(error.what());
    }
}

}  // namespace

void SettingsCommands::AddCommands(orv::script::CommandTable& table) {
    table.Add({"units-dialog", Where::Host,
               "units-dialog [none] [locked] [no-require] [description \"TEXT\"] [add-to-tree on|off]",
               [this](Call& call) { UnitsDialog(call); }});
    table.Add({"expect unit-system", Where::Host, "expect unit-system NAME VALUE", [this](Call& call) {
                   Args& args = call.Arguments();
                   const std::string name = args.Word("a unit system field (type, force, length, time, temperature, "
                                                      "energy, voltage, current, resistance, mass)");
                   const UnitField* field = nullptr;
                   for (const UnitField& f : kUnitFields)
                       if (name == f.name) field = &f;
                   if (!field)
                       args.Fail("unknown unit system field '" + name +
                                 "' (type, force, length, time, temperature, energy, voltage, current, resistance, mass)");
                   const std::int64_t expected = args.Integer("the enumeration value", 0, UINT32_MAX);
                   args.End();
                   const std::int64_t actual = field->read(Scenario(host_).GetModelUnitSystem());
                   if (actual != expected)
                       call.Fail("unit-system " + name + " " + std::to_string(expected), std::to_string(actual));
                   call.Pass();
               }});
    table.Add({"species-dialog", Where::Host, "species-dialog create | species-dialog modify ID",
               [this](Call& call) { SpeciesDialog(call); }});
    table.Add({"expect species", Where::Host, "expect species ID|new name \"TEXT\" | expect species ID|new diffusivity VALUE",
               [this](Call& call) {
                   Args& args = call.Arguments();
                   std::int32_t id = 0;
                   if (args.TakeWord("new")) {
                       if (!newSpecies_) args.Fail("no species was created by 'species-dialog create'");
                       id = *newSpecies_;
                   } else {
                       id = std::int32_t(args.Integer("a species id or new", 1, INT32_MAX));
                   }
                   const OrvDbRecord::MassSpeciesRecord* species = Scenario(host_).GetMassSpecies().Find(id);
                   if (!species) args.Fail("the scenario has no species " + std::to_string(id));
                   const std::string field = args.Word("name or diffusivity");
                   FieldValue actual;
                   if (field == "name") {
                       actual.type = FieldValue::Type::Text;
                       actual.text = species->GetName();
                   } else if (field == "diffusivity") {
                       actual.f64 = species->GetDiffusivity();
                   } else {
                       args.Fail("expected name or diffusivity, got '" + field + "'");
                   }
                   const orv::script::Token& expected = args.Any(field == "name" ? "the name" : "the diffusivity");
                   args.End();
                   if (const auto got = HostCommands::CompareField(actual, expected))
                       call.Fail("species " + std::to_string(id) + " " + field + " " +
                                     (expected.quoted ? Quote(expected.text) : expected.text),
                                 *got);
                   call.Pass();
               }});
}

void SettingsCommands::UnitsDialog(Call& call) {
    Args& args = call.Arguments();
    bool none = false, locked = false, require = true;
    std::optional<std::string> description;
    std::optional<bool> addToTree;
    while (!args.AtEnd()) {
        if (args.TakeWord("none")) none = true;
        else if (args.TakeWord("locked")) locked = true;
        else if (args.TakeWord("no-require")) require = false;
        else if (args.TakeWord("description")) description = args.String("the description");
        else if (args.TakeWord("add-to-tree")) {
            const std::string state = args.Word("on or off");
            if (state != "on" && state != "off") args.Fail("expected on or off after add-to-tree, got '" + state + "'");
            addToTree = state == "on";
        } else {
            args.Fail("expected none, locked, no-require, description \"TEXT\" or add-to-tree on|off");
        }
    }
    OrvDbRecord::DbDesignScenario& scenario = Scenario(host_);
    DataModelDialogs::AUnitsDialog* dialog = DataModelDialogs::GetDataModelDialogFactory()->GetUnitsDialog();
    if (!dialog) args.Fail("the factory serves no unit system dialog");
    dialog->SetUnitSystem(none ? OrvDbRecord::UnitSystem() : scenario.GetModelUnitSystem());
    if (!require) dialog->SetRequireUnitSystem(false);
    if (description) {
        dialog->SetShowDescription(true);
        dialog->SetDescription(CString(orv::Utf8ToWide(*description).c_str()));
    }
    if (addToTree) {
        dialog->SetShowAddToTree(true);
        dialog->SetAddToTree(*addToTree);
    }
    const auto result = std::uint32_t(dialog->ShowDialog(!locked));
    host_.SetLastResult({result, &HostCommands::OkCancelText});
    std::string line = "units-dialog: " + HostCommands::OkCancelText(result);
    if (result == IDOK) {
        // The model's numbers keep their values under the new labels.
        const OrvDbRecord::UnitSystem& chosen = dialog->GetUnitSystem();
        scenario.SetModelUnitSystem(chosen);
        line += ", unit system type " + std::to_string(chosen.GetUnitSystemType()) + " (" +
                orv::WideToUtf8(chosen.GetUnitSystemTypeText(chosen.GetUnitSystemType(), false)) + ")";
        line += dialog->IsChangeConfirmed() ? ", change confirmed" : ", change not confirmed";
        line += ", description " + Quote(orv::WideToUtf8(dialog->GetDescription().GetString()));
        line += dialog->GetAddToTree() ? ", add to tree on" : ", add to tree off";
    }
    call.Out() << line << '\n';
}

void SettingsCommands::SpeciesDialog(Call& call) {
    Args& args = call.Arguments();
    OrvDbRecord::DbDesignScenario& scenario = Scenario(host_);
    OrvDbRecord::MassSpeciesRecord created;
    OrvDbRecord::MassSpeciesRecord* species = &created;
    const bool creating = args.TakeWord("create");
    if (!creating) {
        if (!args.TakeWord("modify")) args.Fail("expected create or modify ID");
        const auto id = std::int32_t(args.Integer("a species id", 1, INT32_MAX));
        species = scenario.GetMassSpecies().Find(id);
        if (!species) args.Fail("the scenario has no species " + std::to_string(id));
    }
    args.End();
    DataModelDialogs::AMassSpeciesDialog* dialog = DataModelDialogs::GetDataModelDialogFactory()->GetMassSpeciesDialog();
    if (!dialog) args.Fail("the factory serves no mass species dialog");
    dialog->SetSpecies(species);
    dialog->SetCreating(creating);
    dialog->SetDisplayUnitSystem(scenario.GetCurrentDisplayUnitSystem());
    const auto result = std::uint32_t(dialog->ShowDialog());
    dialog->ClearSpecies();
    host_.SetLastResult({result, &HostCommands::OkCancelText});
    std::string line = "species-dialog: " + HostCommands::OkCancelText(result);
    if (result == IDOK) {
        if (creating) {
            species = &scenario.GetMassSpecies().Add(created.GetName(), created.GetDiffusivity());
            newSpecies_ = species->GetId();
        }
        line += ", species " + std::to_string(species->GetId()) + " " + Quote(species->GetName()) + ", diffusivity " +
                orv::WideToUtf8(orv::FormatPrintf(L"%g", species->GetDiffusivity()));
    }
    call.Out() << line << '\n';
}

}  // namespace orvdlg
