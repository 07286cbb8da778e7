#pragma once
// Curve numbers of the scalar load records are 32-bit fields followed directly by another
// field (a flag, a value or the next curve), so they are compared and written back as 4 bytes
// alone: a difference in the neighbouring field must not blank the curve number.

#include <cstdint>
#include <span>

#include "platform/win/Afx.h"

namespace DataModelDialogs {

// A suppressed curve number: empty and disabled.
void BlankAndDisableCurveNumber(HWND control);
// The 32-bit signed integer at `offset` of `record` in edit `id`, in the direction of `dx`.
void ExchangeCurveNumberValue(CDataExchange* dx, UINT id, std::span<std::uint8_t> record, std::size_t offset);

}  // namespace DataModelDialogs
