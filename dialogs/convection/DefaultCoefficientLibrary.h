#pragma once
// The entries of the default coefficient library "OrvDefault.cclib" that ships beside the
// library. The build writes the file from these entries (dialogs/resources/OrvDefault.cmake),
// so the shipped file always has the current format. Sources of the fluid properties and the
// film temperatures: docs/convection.md.

#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/convection/ConvectionCoefficientEntry.h"

namespace DataModelDialogs {

// The unit system the default entries are written in (SI).
OrvDbRecord::UnitSystem DefaultCoefficientUnitSystem();
// The default entries, in that unit system, each with its computed coefficient.
std::vector<ConvectionCoefficientEntry> DefaultCoefficientEntries();
// Writes the default library file to path; false with a message.
bool WriteDefaultCoefficientLibrary(const std::filesystem::path& path, std::wstring* error);

}  // namespace DataModelDialogs
