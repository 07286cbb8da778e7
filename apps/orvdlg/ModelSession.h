#pragma once
// The demo host's model state for scripts: the loaded model, the current design scenario,
// the object created last and the record of the open dialog. Every call into the model record
// library made by script commands goes through here.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace OrvDbRecord {
class DbModel;
class DbDesignScenario;
}  // namespace OrvDbRecord
struct RURIVO_LOADS_V1_ENTRY;

namespace orvdlg {

// Which record an `expect field` or `dump` reads.
struct ObjectRef {
    enum class Kind { Id, New, Edited, Created } kind = Kind::Id;
    std::uint32_t id = 0;  // Created: the N of `$N` (the N-th object the script created, from 1)
};

// A field read from a record, as the script compares it.
struct FieldValue {
    enum class Type { F64, I32, U32, Flag, Text } type = Type::F64;
    double f64 = 0;
    std::uint32_t bits = 0;  // I32, U32, Flag: the 32-bit word
    std::string text;
};

// Failures are std::runtime_error with a message for the script ("no model is loaded",
// "bracket.json: line 3, column 1: ...", "offset 800 beyond the 788-byte record").
class ModelSession {
public:
    ModelSession();
    ~ModelSession();
    ModelSession(const ModelSession&) = delete;
    ModelSession& operator=(const ModelSession&) = delete;

    // The embedded sample, with a settings database of its own in a temporary folder, so that
    // its load curves can be edited; saving the sample takes that database along.
    void LoadSample();
    void LoadFile(const std::string& path);
    void Save(const std::string& path);

    bool HasModel() const { return model_ != nullptr; }
    OrvDbRecord::DbModel& Model();
    // The current scenario: the first one after loading, or the one `scenario ID` chose.
    OrvDbRecord::DbDesignScenario& Scenario();
    void SelectScenario(std::uint32_t id);

    void SetAnalysis(std::uint32_t type, std::optional<std::uint32_t> category, std::optional<bool> riks);
    // A unit system type code or its name; nullopt shows the model's own unit system.
    void SetDisplayUnits(const std::optional<std::string>& type);

    // Hooks for the layers that open dialogs: the object created last and the record that
    // the open dialog edits (null when no dialog edits one).
    void SetNewObject(std::uint32_t id) {
        newObject_ = id;
        newIsFluidVolume_ = false;
    }
    // An initial fluid volume the script created: `new` names it until an object is created.
    void SetNewFluidVolume(std::uint32_t id) {
        newObject_ = id;
        newIsFluidVolume_ = true;
    }
    // An object the script created: it becomes the new object and `$N` names it.
    void AddCreatedObject(std::uint32_t id) {
        created_.push_back(id);
        newObject_ = id;
        newIsFluidVolume_ = false;
    }
    // The object id a reference names (not for the edited record); fails when there is none.
    std::uint32_t ResolveObject(const ObjectRef& object) const;
    void SetEditedRecordSource(std::function<const RURIVO_LOADS_V1_ENTRY*()> source) {
        editedRecord_ = std::move(source);
    }

    // The record of an object as text, one line per field.
    std::string Dump(const ObjectRef& object);
    FieldValue ReadField(const ObjectRef& object, std::size_t offset, FieldValue::Type type);
    // How the object is named in messages: "object 12", "the new object 13", "the edited record".
    std::string Describe(const ObjectRef& object) const;

private:
    const RURIVO_LOADS_V1_ENTRY& Record(const ObjectRef& object);

    std::unique_ptr<OrvDbRecord::DbModel> model_;
    std::uint32_t scenario_ = 0;
    std::optional<std::uint32_t> newObject_;
    bool newIsFluidVolume_ = false;
    std::vector<std::uint32_t> created_;
    std::function<const RURIVO_LOADS_V1_ENTRY*()> editedRecord_;
    // The embedded sample has no file of its own: its settings database (the load curves)
    // lives in this temporary folder until the sample is saved somewhere, when it moves along.
    std::filesystem::path sampleFolder_;
    void DropSampleFolder();
};

}  // namespace orvdlg
