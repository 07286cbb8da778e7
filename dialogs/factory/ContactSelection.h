#pragma once
// Which contact options object serves an analysis type and a contact type.

#include <cstdint>

namespace DataModelDialogs {

enum class ContactOptionsKind { Friction, Thermal, SurfaceDirection, SmartBonding };

// The analysis family (0 to 5) of an analysis type code; -1 for codes in no family (25 and
// every code above 26).
int AnalysisFamily(std::uint32_t analysisType);

// Families 0, 2 and 4 give the smart-bonding object for contact types 1 and 2, otherwise the
// friction, thermal and direction-only object respectively; every other family, and none, the
// direction-only object.
ContactOptionsKind SelectContactOptions(std::uint32_t analysisType, std::int32_t contactType);

}  // namespace DataModelDialogs
