#pragma once
// The "Curve..." buttons of the load dialogs: edit the load curve whose id an edit control
// holds with the curve editor component, on the design scenario's settings database; and
// the active range editor of the host automation object ("Data...").

#include <cstdint>
#include <string>

#include "platform/win/Afx.h"

namespace OrvDbRecord {
class DbDesignScenario;
}

namespace DataModelDialogs {

// Curve kinds of the edit-curve flow.
inline constexpr std::uint32_t kCurveKindMultiplier = 0;
inline constexpr std::uint32_t kCurveKindTemperatureCoefficient = 3;
inline constexpr std::uint32_t kCurveKindTemperatureHeatGeneration = 4;
inline constexpr std::uint32_t kCurveKindAmbientTemperature = 5;

// The edit-curve flow: a curve id below 1 in control `editId` becomes 1 with message
// `messageId`; then the curve is read, edited modally in the component titled `titleId`,
// and written back when the person accepts. Any component failure shows "Unable to display
// the curve editor component." and writes nothing. Returns true when the curve was written.
// The database is the one of `scenario` (its model path and id); a scenario without a model
// path uses `databasePath` (the edit parameters' settings database path) itself.
// Internal to the library like the rest of the dialog code: the demo host, which has a curve
// row of its own, is built from the library's objects rather than linking the shared library.
bool EditLoadCurve(CWnd& dialog, UINT editId, std::uint32_t curveKind, UINT titleId, UINT messageId,
                   OrvDbRecord::DbDesignScenario* scenario, const std::wstring& databasePath = std::wstring());

// The active range flow: asks the host automation object "Orv_Glob.CGlobals" to open its
// active range editor on the scenario's folder, with the model units, the display unit
// converter and the dialog as owner. False when the object could not be created (a message
// says so).
// Internal to the library, as the load dialogs' buttons are its only callers.
bool EditActiveRange(CWnd& dialog, OrvDbRecord::DbDesignScenario* scenario);

}  // namespace DataModelDialogs
