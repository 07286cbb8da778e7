#include "apps/orvdlg/ModelSession.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include <stdlib.h>

#include "host/model/DbModel.h"
#include "host/model/ModelFile.h"
#include "host/model/RecordLayout.h"
#include "host/units/UnitSystem.h"
#include "platform/win/Utf8.h"

namespace orvdlg {
namespace {

[[noreturn]] void Fail(const std::string& message) { throw std::runtime_error(message); }

std::string Lower(std::string text) {
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

ModelSession::ModelSession() = default;
ModelSession::~ModelSession() { DropSampleFolder(); }

void ModelSession::DropSampleFolder() {
    if (sampleFolder_.empty()) return;
    std::error_code ec;
    std::filesystem::remove_all(sampleFolder_, ec);
    sampleFolder_.clear();
}

void ModelSession::LoadSample() {
    auto model = OrvDbRecord::LoadSampleModel();
    if (!model) Fail("the sample model does not load");
    DropSampleFolder();
    std::error_code ec;
    std::string folder = (std::filesystem::temp_directory_path(ec) / "orvdlg-sample-XXXXXX").string();
    if (!ec && ::mkdtemp(folder.data())) {
        sampleFolder_ = folder;
        // Only the scenarios get the path: the model itself still has no file, so Save asks
        // where to put it.
        const std::wstring modelPath = (sampleFolder_ / "bracket.json").wstring();
        for (const auto& [id, scenario] : model->GetScenarios()) scenario->SetModelPath(modelPath);
    }
    model_ = std::move(model);
    scenario_ = 0;
    newObject_.reset();
    created_.clear();
}

void ModelSession::LoadFile(const std::string& path) {
    auto result = OrvDbRecord::LoadModelFile(path);
    if (!result) Fail(result.error.empty() ? "cannot load the model \"" + path + "\"" : result.error);
    DropSampleFolder();
    model_ = std::move(result.model);
    scenario_ = 0;
    newObject_.reset();
    created_.clear();
}

void ModelSession::Save(const std::string& path) {
    std::string error;
    if (!OrvDbRecord::SaveModelFile(Model(), path, &error))
        Fail(error.empty() ? "cannot save the model to \"" + path + "\"" : error);
    if (sampleFolder_.empty()) return;
    // The sample's settings database goes beside the saved file, without replacing one there.
    namespace fs = std::filesystem;
    const fs::path from = sampleFolder_ / "bracket.mod";
    const fs::path file(path);
    const fs::path to = file.parent_path() / (file.stem().string() + ".mod");
    std::error_code ec;
    if (fs::exists(from, ec)) fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::skip_existing, ec);
    if (ec) Fail("the model was saved, but its load curves could not be copied to \"" + to.string() + "\": " + ec.message());
    DropSampleFolder();
}

OrvDbRecord::DbModel& ModelSession::Model() {
    if (!model_) Fail("no model is loaded (use 'model sample' or 'model \"PATH\"')");
    return *model_;
}

OrvDbRecord::DbDesignScenario& ModelSession::Scenario() {
    OrvDbRecord::DbModel& model = Model();
    OrvDbRecord::DbDesignScenario* scenario = scenario_ ? model.GetScenario(scenario_) : model.GetFirstScenario();
    if (!scenario) Fail("the model has no design scenario");
    return *scenario;
}

void ModelSession::SelectScenario(std::uint32_t id) {
    if (!Model().GetScenario(id)) {
        std::string ids;
        for (const auto& [scenarioId, scenario] : Model().GetScenarios())
            ids += (ids.empty() ? "" : ", ") + std::to_string(scenarioId);
        Fail("the model has no scenario " + std::to_string(id) + (ids.empty() ? "" : " (it has " + ids + ")"));
    }
    scenario_ = id;
}

void ModelSession::SetAnalysis(std::uint32_t type, std::optional<std::uint32_t> category, std::optional<bool> riks) {
    OrvDbRecord::DbDesignScenario& scenario = Scenario();
    scenario.SetAnalysisType(type);
    if (category) scenario.SetAnalysisCategory(*category);
    if (riks) scenario.SetRiksAnalysis(*riks);
}

void ModelSession::SetDisplayUnits(const std::optional<std::string>& type) {
    OrvDbRecord::DbDesignScenario& scenario = Scenario();
    if (!type) {
        scenario.UseModelUnitSystemForDisplay();
        return;
    }
    std::optional<std::uint32_t> code;
    std::string known;
    for (std::uint32_t t = 0; t < UnitSys::UnitSystem::kTypeCount; ++t) {
        if (!UnitSys::UnitSystem::IsStandardType(t)) continue;
        const UnitSys::UnitSystem system(t);
        const std::string name = orv::WideToUtf8(system.GetUnitSystemTypeText(t, false));
        known += (known.empty() ? "" : ", ") + std::to_string(t) + " " + name;
        if (*type == std::to_string(t) || Lower(*type) == Lower(name)) code = t;
    }
    if (!code || !scenario.SetCurrentDisplayUnitSystemType(*code))
        Fail("unknown unit system type '" + *type + "' (known: " + known + ")");
}

std::uint32_t ModelSession::ResolveObject(const ObjectRef& object) const {
    switch (object.kind) {
        case ObjectRef::Kind::New:
            if (!newObject_) Fail("no object has been created");
            return *newObject_;
        case ObjectRef::Kind::Created:
            if (object.id == 0 || object.id > created_.size())
                Fail("$" + std::to_string(object.id) + " names no object: the script has created " +
                     std::to_string(created_.size()));
            return created_[object.id - 1];
        case ObjectRef::Kind::Edited: Fail("the edited record is no object");
        default: return object.id;
    }
}

std::string ModelSession::Describe(const ObjectRef& object) const {
    switch (object.kind) {
        case ObjectRef::Kind::New: return "the new object";
        case ObjectRef::Kind::Edited: return "the edited record";
        case ObjectRef::Kind::Created: return "object $" + std::to_string(object.id);
        default: return "object " + std::to_string(object.id);
    }
}

const RURIVO_LOADS_V1_ENTRY& ModelSession::Record(const ObjectRef& object) {
    if (object.kind == ObjectRef::Kind::Edited) {
        const RURIVO_LOADS_V1_ENTRY* record = editedRecord_ ? editedRecord_() : nullptr;
        if (!record) Fail("no open dialog edits a record");
        return *record;
    }
    const std::uint32_t id = ResolveObject(object);
    const OrvDbRecord::DbFeaObject* fea = Scenario().FindFeaObject(id);
    if (!fea) Fail("scenario " + std::to_string(Scenario().Id()) + " has no object " + std::to_string(id));
    return fea->GetRecord();
}

std::string ModelSession::Dump(const ObjectRef& object) {
    const RURIVO_LOADS_V1_ENTRY& record = Record(object);
    const std::uint32_t typeCode = record.GetU32(RURIVO_LOADS_V1_ENTRY::kTypeCodeOffset);
    std::string head = Describe(object);
    if (object.kind == ObjectRef::Kind::New || object.kind == ObjectRef::Kind::Created)
        head += " " + std::to_string(record.GetU32(RURIVO_LOADS_V1_ENTRY::kObjectIdOffset));
    head += ", type " + std::to_string(typeCode);
    if (const auto* info = OrvDbRecord::FindFeaType(typeCode)) head += " " + std::string(info->name);
    return head + ":\n" + OrvDbRecord::FormatLoadRecordDump(record);
}

FieldValue ModelSession::ReadField(const ObjectRef& object, std::size_t offset, FieldValue::Type type) {
    // An initial fluid volume: `new` after one was created, or an id that names no FEA object.
    const OrvDbRecord::DbInitialFluidVolume* volume = nullptr;
    if (object.kind == ObjectRef::Kind::New && newIsFluidVolume_ && newObject_)
        volume = Scenario().FindInitialFluidVolume(*newObject_);
    else if (object.kind == ObjectRef::Kind::Id && !Scenario().FindFeaObject(object.id))
        volume = Scenario().FindInitialFluidVolume(object.id);
    const OrvDbRecord::ConstRecordView record = volume ? volume->GetRecord().View() : Record(object).View();
    OrvDbRecord::FieldType fieldType = OrvDbRecord::FieldType::F64;
    switch (type) {
        case FieldValue::Type::F64: fieldType = OrvDbRecord::FieldType::F64; break;
        case FieldValue::Type::I32: fieldType = OrvDbRecord::FieldType::I32; break;
        case FieldValue::Type::U32: fieldType = OrvDbRecord::FieldType::U32; break;
        case FieldValue::Type::Flag: fieldType = OrvDbRecord::FieldType::Flag; break;
        case FieldValue::Type::Text: fieldType = OrvDbRecord::FieldType::Text; break;
    }
    OrvDbRecord::FieldValue read;
    std::string error;
    if (!OrvDbRecord::ReadField(record, offset, fieldType, read, &error)) Fail(error);
    FieldValue value;
    value.type = type;
    value.f64 = read.f64;
    value.bits = std::uint32_t(read.integer);
    value.text = read.text;
    return value;
}

}  // namespace orvdlg
