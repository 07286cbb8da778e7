#pragma once
// Model files: a whole model as JSON (format in docs/model-format.md). Loading checks every
// value and reports the first problem with its place in the file; saving writes a new file
// and renames it over the old one. Save, load, save gives the same bytes.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "host/model/DbModel.h"

namespace OrvDbRecord {

struct ModelLoadResult {
    std::unique_ptr<DbModel> model;
    // Empty on success, else "bracket.json: scenarios[0].objects[3].record.fields[2]: offset
    // 800 beyond the 788-byte record" or "bracket.json: line 12, column 5: syntax error ...".
    std::string error;
    explicit operator bool() const { return model != nullptr; }
};

// Reads a model file; the model's path (and every scenario's model path) is the file's.
ModelLoadResult LoadModelFile(const std::filesystem::path& file);
// Reads model JSON text; sourceName starts the error messages.
ModelLoadResult ParseModelJson(std::string_view text, std::string_view sourceName = "model");
// The model as JSON text, ending with a line break.
std::string FormatModelJson(const DbModel& model);
// Writes the model to the file (through a temporary file beside it, then renamed); false with
// the reason in error when that fails. The model's path becomes the file's.
bool SaveModelFile(DbModel& model, const std::filesystem::path& file, std::string* error = nullptr);

// The embedded sample model (a small bracket; the text of examples/bracket.json).
std::string_view GetSampleModelJson();
std::unique_ptr<DbModel> LoadSampleModel();

}  // namespace OrvDbRecord
