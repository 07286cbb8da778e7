#pragma once
// RSTLegendWnd: a static that shows what r, s and t mean in a coordinate system type. Its own
// text is a template: %1, %3, %5 become the symbols of r, s and t (X Y Z, R θ z, x y z, R θ φ),
// %2, %4, %6 the labels of their units in the display unit system. Each line is drawn apart,
// aligned as the static's style says, grey while disabled.

#include <cstdint>
#include <string>

#include "platform/win/Afx.h"

namespace OrvDbRecord {
class DisplayUnitSystem;
}

namespace DataModelDialogs {

class RSTLegendWnd : public CWnd {
public:
    RSTLegendWnd();

    void SetCoordinateSystemType(std::uint32_t type);
    // Not owned; null shows no unit labels.
    void SetUnitSystem(const OrvDbRecord::DisplayUnitSystem* units);
    std::uint32_t GetCoordinateSystemType() const { return type_; }

    // The template with its inserts filled for the type and units.
    static std::wstring Expand(const std::wstring& format, std::uint32_t type, const OrvDbRecord::DisplayUnitSystem* units);
    // The symbol of variable 0 (r), 1 (s) or 2 (t) in the type; "?" for an unknown type.
    static const wchar_t* Symbol(std::uint32_t type, int variable);

private:
    void OnPaint();

    std::uint32_t type_ = 0;
    const OrvDbRecord::DisplayUnitSystem* units_ = nullptr;
};

}  // namespace DataModelDialogs
