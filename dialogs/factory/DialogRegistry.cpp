#include "dialogs/factory/DialogRegistry.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace DataModelDialogs {

namespace {

// Constant-initialised, so they are in place before any registration of any file runs.
FeaDialogCreator feaCreators[kFeaTypeCodeCount] = {};
FactorySlotProvider slotProviders[std::size_t(FactorySlot::Count)] = {};

std::vector<std::string>& Problems() {
    static std::vector<std::string> problems;
    return problems;
}

void NoteProblem(std::string text) { Problems().push_back(std::move(text)); }

const char* SlotName(FactorySlot slot) {
    switch (slot) {
        case FactorySlot::UnitsDialog: return "units dialog";
        case FactorySlot::FrictionContactOptions: return "friction contact options";
        case FactorySlot::ThermalContactOptions: return "thermal contact options";
        case FactorySlot::SurfaceDirectionContactOptions: return "surface-direction contact options";
        case FactorySlot::SmartBondingContactOptions: return "smart-bonding contact options";
        case FactorySlot::MassSpeciesDialog: return "mass species dialog";
        case FactorySlot::Count: break;
    }
    return "unknown slot";
}

}  // namespace

const ServedFeaDialog* FindServedFeaDialog(std::uint32_t typeCode) {
    const auto it = std::lower_bound(std::begin(kServedFeaDialogs), std::end(kServedFeaDialogs), typeCode,
                                     [](const ServedFeaDialog& row, std::uint32_t code) { return row.typeCode < code; });
    return it != std::end(kServedFeaDialogs) && it->typeCode == typeCode ? &*it : nullptr;
}

bool RegisterFeaDialog(std::uint32_t typeCode, FeaDialogCreator creator, const char* className) {
    const std::string who = "type code " + std::to_string(typeCode) + " (" + (className ? className : "?") + ")";
    if (!creator) {
        NoteProblem(who + ": no creator");
        return false;
    }
    const ServedFeaDialog* served = FindServedFeaDialog(typeCode);
    if (!served) {
        NoteProblem(who + ": not a served type code");
        return false;
    }
    FeaDialogCreator& slot = feaCreators[typeCode - kFirstFeaTypeCode];
    if (slot) {
        NoteProblem(who + ": registered twice; the first registration stays");
        return false;
    }
    // The served table names the class of each code; a registration that disagrees has the
    // wrong code (or the table the wrong class).
    if (!className || std::string_view(className) != served->className) {
        NoteProblem(who + ": the served table gives this type code to " + served->className);
        return false;
    }
    slot = creator;
    return true;
}

FeaDialogCreator FindFeaDialogCreator(std::uint32_t typeCode) {
    // Dense: type code minus 26 indexes the table; everything outside 26..188 is null.
    const std::uint32_t index = typeCode - kFirstFeaTypeCode;
    return index < kFeaTypeCodeCount ? feaCreators[index] : nullptr;
}

bool RegisterFactorySlot(FactorySlot slot, const FactorySlotProvider& provider, const char* className) {
    const std::string who = std::string(SlotName(slot)) + " (" + (className ? className : "?") + ")";
    if (slot >= FactorySlot::Count) {
        NoteProblem(who + ": not a factory slot");
        return false;
    }
    if (!provider.create || !provider.destroy) {
        NoteProblem(who + ": provider without create or destroy");
        return false;
    }
    FactorySlotProvider& current = slotProviders[std::size_t(slot)];
    if (current.create) {
        NoteProblem(who + ": registered twice; the first registration stays");
        return false;
    }
    current = provider;
    return true;
}

FactorySlotProvider FindFactorySlot(FactorySlot slot) {
    return slot < FactorySlot::Count ? slotProviders[std::size_t(slot)] : FactorySlotProvider{};
}

std::vector<std::string> RegistrationProblems() { return Problems(); }

}  // namespace DataModelDialogs
