#include "apps/orvdlg/ContactCommands.h"

#include <ostream>
#include <stdexcept>

#include "dialogs/factory/AContactOptionsDialogs.h"
#include "dialogs/factory/DataModelDialogs.h"
#include "host/model/DbDesignScenario.h"
#include "platform/win/WinApi.h"

namespace orvdlg {
namespace {

using orv::script::Args;
using orv::script::Call;
using orv::script::ScriptError;
using orv::script::Where;
using OrvDbRecord::DbContactPair;

struct KindName {
    const char* name;
    ContactKind kind;
};
constexpr KindName kKinds[] = {{"friction", ContactKind::Friction},
                               {"thermal", ContactKind::Thermal},
                               {"direction", ContactKind::Direction},
                               {"bonding", ContactKind::Bonding},
                               {"choose", ContactKind::Choose}};
constexpr const char* kKindList = "friction, thermal, direction, bonding or choose";

// The options `expect pair` reads, by their model file names.
struct PairOption {
    const char* name;
    FieldValue (*read)(const DbContactPair&);
};
FieldValue Flag(bool value) { return {FieldValue::Type::Flag, 0, value ? 0xFFFFFFFFu : 0u, {}}; }
FieldValue Unsigned(std::uint32_t value) { return {FieldValue::Type::U32, 0, value, {}}; }
FieldValue Real(double value) { return {FieldValue::Type::F64, value, 0, {}}; }
constexpr PairOption kPairOptions[] = {
    {"useFriction", [](const DbContactPair& p) { return Flag(p.UseFriction()); }},
    {"friction", [](const DbContactPair& p) { return Real(p.Friction()); }},
    {"direction", [](const DbContactPair& p) { return Unsigned(p.SurfaceContactDirection()); }},
    {"toleranceAngle", [](const DbContactPair& p) { return Real(p.SurfaceContactDirectionToleranceAngle()); }},
    {"thermalResistanceType", [](const DbContactPair& p) { return Unsigned(p.ThermalResistance()); }},
    {"totalThermalResistance", [](const DbContactPair& p) { return Real(p.TotalThermalResistance()); }},
    {"unitThermalResistance", [](const DbContactPair& p) { return Real(p.UnitThermalResistance()); }},
    {"bondingToleranceKind", [](const DbContactPair& p) { return Unsigned(p.BondingContactToleranceKind()); }},
    {"bondingToleranceMeshSizeFraction",
     [](const DbContactPair& p) { return Real(p.BondingContactToleranceMeshSizeFraction()); }},
    {"bondingToleranceAbsolute", [](const DbContactPair& p) { return Real(p.BondingContactToleranceAbsolute()); }},
};
constexpr const char* kPairOptionList =
    "useFriction, friction, direction, toleranceAngle, thermalResistanceType, totalThermalResistance, "
    "unitThermalResistance, bondingToleranceKind, bondingToleranceMeshSizeFraction, bondingToleranceAbsolute";

OrvDbRecord::DbDesignScenario& Scenario(HostCommands& host) {
    try {
        return host.Session().Scenario();
    } catch (const std::runtime_error& error) {
        throw ScriptError(error.what());
    }
}

DbContactPair& FindPair(Args& args, OrvDbRecord::DbDesignScenario& scenario) {
    const auto id = std::uint32_t(args.Integer("a contact pair id", 1, UINT32_MAX));
    DbContactPair* pair = scenario.FindContactPair(id);
    if (!pair) args.Fail("the scenario has no contact pair " + std::to_string(id));
    return *pair;
}

}  // namespace

ContactRun RunContactOptions(OrvDbRecord::DbDesignScenario& scenario, ContactKind kind,
                             const std::vector<DbContactPair*>& pairs, CWnd* parent, bool readOnly) {
    using namespace DataModelDialogs;
    ADataModelDialogFactory& factory = *GetDataModelDialogFactory();
    AContactOptionsDialogBase* const objects[] = {
        factory.GetFrictionContactOptionsDialog(), factory.GetThermalContactOptionsDialog(),
        factory.GetSurfaceDirectionContactOptionsDialog(), factory.GetSmartBondingContactOptionsDialog()};
    AContactOptionsDialogBase* object =
        kind == ContactKind::Choose ? factory.GetContactOptionsDialog(scenario.GetAnalysisType(), pairs.front()->ContactType())
                                    : objects[int(kind)];
    if (!object) throw ScriptError("the factory serves no such contact options object");
    ContactRun run;
    for (int i = 0; i < 4; ++i)
        if (object == objects[i]) run.object = kKinds[i].name;
    object->Reset();
    object->SetDisplayUnitSystem(&scenario.GetCurrentDisplayUnitSystem());
    for (DbContactPair* pair : pairs) object->AccumulateContactPair(*pair);
    run.result = object->ShowDialog(parent, readOnly);
    if (run.result == IDOK) {
        for (DbContactPair* pair : pairs) object->ApplyToContactPair(*pair);
        run.applied = pairs.size();
    }
    return run;
}

void ContactCommands::AddCommands(orv::script::CommandTable& table) {
    table.Add({"contact-options", Where::Host, "contact-options KIND PAIR... [read-only]",
               [this](Call& call) { ContactOptions(call); }});
    table.Add({"expect pair", Where::Host, "expect pair PAIR NAME VALUE", [this](Call& call) { ExpectPair(call); }});
    table.Add({"expect contact-object", Where::Host, "expect contact-object KIND", [this](Call& call) {
                   Args& args = call.Arguments();
                   const std::string kind = args.Word("friction, thermal, direction or bonding");
                   bool known = false;
                   for (int i = 0; i < 4; ++i) known = known || kind == kKinds[i].name;
                   if (!known) args.Fail("expected friction, thermal, direction or bonding, got '" + kind + "'");
                   args.End();
                   if (!chosen_) call.Fail(kind + " object", "no 'contact-options choose' has run");
                   if (*chosen_ != kind) call.Fail(kind + " object", *chosen_ + " object");
                   call.Pass();
               }});
}

void ContactCommands::ContactOptions(Call& call) {
    Args& args = call.Arguments();
    const std::string word = args.Word(kKindList);
    const KindName* kind = nullptr;
    for (const KindName& k : kKinds)
        if (word == k.name) kind = &k;
    if (!kind) args.Fail("expected " + std::string(kKindList) + ", got '" + word + "'");
    OrvDbRecord::DbDesignScenario& scenario = Scenario(host_);
    std::vector<DbContactPair*> pairs;
    bool readOnly = false;
    while (!args.AtEnd()) {
        if (args.TakeWord("read-only")) {
            readOnly = true;
            break;
        }
        pairs.push_back(&FindPair(args, scenario));
    }
    args.End();
    if (pairs.empty()) args.Fail("expected at least one contact pair id");
    const ContactRun run = RunContactOptions(scenario, kind->kind, pairs, nullptr, readOnly);
    host_.SetLastResult({std::uint32_t(run.result), &HostCommands::OkCancelText});
    std::string line = std::string("contact-options ") + kind->name + ": ";
    if (kind->kind == ContactKind::Choose) {
        chosen_ = run.object;
        line += run.object + " object";
    } else if (run.result == IDOK) {
        line += HostCommands::OkCancelText(std::uint32_t(run.result)) + ", applied to " + std::to_string(run.applied) +
                (run.applied == 1 ? " pair" : " pairs");
    } else {
        line += HostCommands::OkCancelText(std::uint32_t(run.result)) + ", nothing applied";
    }
    call.Out() << line << '\n';
}

void ContactCommands::ExpectPair(Call& call) {
    Args& args = call.Arguments();
    const DbContactPair& pair = FindPair(args, Scenario(host_));
    const std::string name = args.Word("a contact pair option");
    const PairOption* option = nullptr;
    for (const PairOption& o : kPairOptions)
        if (name == o.name) option = &o;
    if (!option) args.Fail("unknown contact pair option '" + name + "' (" + kPairOptionList + ")");
    const orv::script::Token& expected = args.Any("the value");
    args.End();
    if (const auto got = HostCommands::CompareField(option->read(pair), expected))
        call.Fail("pair " + std::to_string(pair.Id()) + " " + name + " " + expected.text, *got);
    call.Pass();
}

}  // namespace orvdlg
