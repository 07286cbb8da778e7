#include "dialogs/curves/MarloCurveType.h"

#include <string>
#include <vector>

#include "dialogs/curves/MarloGeneralAccess.h"
#include "dialogs/resources/Curves.h"

_MarloCurveType::_MarloCurveType(std::uint32_t analysisIndex, std::uint32_t kind, std::uint32_t xNameId,
                                 std::uint32_t yNameId, std::uint32_t xUnit, std::uint32_t yUnit)
    : analysisIndex_(analysisIndex), kind_(kind), xNameId_(xNameId), yNameId_(yNameId), xUnit_(xUnit), yUnit_(yUnit) {}

_MarloCurveType::~_MarloCurveType() = default;

CString _MarloCurveType::CurveCountKey(std::int32_t) const { return CString(); }
CString _MarloCurveType::NameKey(std::int32_t, std::int32_t) const { return CString(); }
CString _MarloCurveType::TypeKey(std::int32_t, std::int32_t) const { return CString(); }
std::int32_t _MarloCurveType::DefaultType(std::int32_t, std::int32_t) const { return 0; }

CString _MarloCurveType::XAxisName() const {
    CString text;
    if (xNameId_ != 0) text.LoadString(xNameId_);
    return text;
}

CString _MarloCurveType::YAxisName() const {
    CString text;
    if (yNameId_ != 0) text.LoadString(yNameId_);
    return text;
}

// The key formats hold only %1 (the analysis prefix) and %2!ld! to %4!ld!; they are expanded
// here directly, since a curve write or read makes two keys per point.
CString _MarloCurveType::Key(const wchar_t* format, std::int32_t n2, std::int32_t n3, std::int32_t n4) const {
    std::wstring key;
    key.reserve(96);
    for (const wchar_t* p = format; *p; ++p) {
        if (p[0] != L'%' || p[1] < L'1' || p[1] > L'4') {
            key += *p;
            continue;
        }
        const wchar_t n = *++p;
        if (n == L'1') {
            key += Marlo::AnalysisPrefix(analysisIndex_);
        } else {
            key += std::to_wstring(n == L'2' ? n2 : n == L'3' ? n3 : n4);
        }
        if (p[1] == L'!')  // the printf type between exclamation marks ("!ld!")
            for (p += 2; *p && *p != L'!'; ++p) {
            }
        if (!*p) break;
    }
    return CString(key.c_str());
}

// ---- multiplier ----

_MarloMultiplierCurveType::_MarloMultiplierCurveType(std::uint32_t analysisIndex, std::uint32_t subtype)
    : _MarloCurveType(analysisIndex, subtype == 1 ? 5 : 0, IDS_CURVE_AXIS_TIME,
                      subtype == 1 ? IDS_CURVE_AXIS_TEMP_ADJUSTMENT : IDS_CURVE_AXIS_MULTIPLIER, 3, 0) {}

CString _MarloMultiplierCurveType::PointCountKey(std::int32_t curveId, std::int32_t) const {
    return Key(L"%1Global.LoadCurve(%2!ld!).Count", curveId);
}
CString _MarloMultiplierCurveType::NameKey(std::int32_t curveId, std::int32_t) const {
    return Key(L"%1Global.LoadCurve(%2!ld!).Name$%1Global.LoadCurve(%2!ld!).Description$", curveId);
}
CString _MarloMultiplierCurveType::XKey(std::int32_t curveId, std::int32_t point, std::int32_t) const {
    return Key(L"%1Global.LoadCurve(%2!ld!).Point(%3!ld!).Time", curveId, point);
}
CString _MarloMultiplierCurveType::YKey(std::int32_t curveId, std::int32_t point, std::int32_t) const {
    return Key(L"%1Global.LoadCurve(%2!ld!).Point(%3!ld!).Value", curveId, point);
}

// ---- heat multiplier ----

_MarloHeatMultiplierCurveType::_MarloHeatMultiplierCurveType(std::uint32_t subtype)
    : _MarloMultiplierCurveType(2, subtype) {}

CString _MarloHeatMultiplierCurveType::CurveCountKey(std::int32_t) const { return Key(L"%1Global.LoadCurve.Count", 0); }
CString _MarloHeatMultiplierCurveType::PointCountKey(std::int32_t curveId, std::int32_t) const {
    return Key(L"%1Global.LoadCurve(%2!ld!).Point.Count", curveId);
}
CString _MarloHeatMultiplierCurveType::NameKey(std::int32_t curveId, std::int32_t) const {
    return Key(L"%1Global.LoadCurve(%2!ld!).Name", curveId);
}
CString _MarloHeatMultiplierCurveType::TypeKey(std::int32_t curveId, std::int32_t) const {
    return Key(L"%1Global.LoadCurve(%2!ld!).Type", curveId);
}

// ---- fan curves ----

_MarloFlowRatePressureCurveType::_MarloFlowRatePressureCurveType(std::uint32_t analysisIndex)
    : _MarloCurveType(analysisIndex, 1, IDS_CURVE_AXIS_FLOW_RATE, IDS_CURVE_AXIS_PRESSURE, 64, 24) {}

_MarloFlowRatePressureCurveType::_MarloFlowRatePressureCurveType(std::uint32_t analysisIndex, std::uint32_t kind,
                                                                 std::uint32_t xNameId, std::uint32_t xUnit)
    : _MarloCurveType(analysisIndex, kind, xNameId, IDS_CURVE_AXIS_PRESSURE, xUnit, 24) {}

CString _MarloFlowRatePressureCurveType::PointCountKey(std::int32_t curveId, std::int32_t secondId) const {
    return Key(L"%1Egroup(%3!ld!).Fan(%2!ld!).Fancurve.Count", curveId, secondId);
}
CString _MarloFlowRatePressureCurveType::NameKey(std::int32_t curveId, std::int32_t secondId) const {
    return Key(L"%1Egroup(%3!ld!).Fan(%2!ld!).Fancurve.Description", curveId, secondId);
}
CString _MarloFlowRatePressureCurveType::TypeKey(std::int32_t curveId, std::int32_t secondId) const {
    return Key(L"%1Egroup(%3!ld!).Fan(%2!ld!).Fancurve.Type", curveId, secondId);
}
std::int32_t _MarloFlowRatePressureCurveType::DefaultType(std::int32_t, std::int32_t) const { return 1; }
CString _MarloFlowRatePressureCurveType::XKey(std::int32_t curveId, std::int32_t point, std::int32_t secondId) const {
    return Key(L"%1Egroup(%4!ld!).Fan(%2!ld!).Fancurve.Point(%3!ld!).Flowrate", curveId, point, secondId);
}
CString _MarloFlowRatePressureCurveType::YKey(std::int32_t curveId, std::int32_t point, std::int32_t secondId) const {
    return Key(L"%1Egroup(%4!ld!).Fan(%2!ld!).Fancurve.Point(%3!ld!).Pressure", curveId, point, secondId);
}

_MarloVelocityPressureCurveType::_MarloVelocityPressureCurveType(std::uint32_t analysisIndex)
    : _MarloFlowRatePressureCurveType(analysisIndex, 2, IDS_CURVE_AXIS_VELOCITY, 10) {}

std::int32_t _MarloVelocityPressureCurveType::DefaultType(std::int32_t, std::int32_t) const { return 2; }
CString _MarloVelocityPressureCurveType::XKey(std::int32_t curveId, std::int32_t point, std::int32_t secondId) const {
    return Key(L"%1Egroup(%4!ld!).Fan(%2!ld!).Fancurve.Point(%3!ld!).Velocity", curveId, point, secondId);
}

// ---- temperature-dependent curves ----

_MarloTemperatureCoefficientCurveType::_MarloTemperatureCoefficientCurveType(std::uint32_t analysisIndex)
    : _MarloCurveType(analysisIndex, 3, IDS_CURVE_AXIS_TEMPERATURE, IDS_CURVE_AXIS_COEFFICIENT, 35, 66) {}

CString _MarloTemperatureCoefficientCurveType::PointCountKey(std::int32_t curveId, std::int32_t) const {
    return Key(L"%1ConvectionCurve(%2!ld!).Counter", curveId);
}
CString _MarloTemperatureCoefficientCurveType::NameKey(std::int32_t curveId, std::int32_t) const {
    return Key(L"%1ConvectionCurve(%2!ld!).Description", curveId);
}
CString _MarloTemperatureCoefficientCurveType::XKey(std::int32_t curveId, std::int32_t point, std::int32_t) const {
    return Key(L"%1ConvectionCurve(%2!ld!).TempDependent(%3!ld!).Temperature", curveId, point);
}
CString _MarloTemperatureCoefficientCurveType::YKey(std::int32_t curveId, std::int32_t point, std::int32_t) const {
    return Key(L"%1ConvectionCurve(%2!ld!).TempDependent(%3!ld!).Value", curveId, point);
}

_MarloTemperatureHeatGenerationCurveType::_MarloTemperatureHeatGenerationCurveType(std::uint32_t analysisIndex)
    : _MarloCurveType(analysisIndex, 4, IDS_CURVE_AXIS_TEMPERATURE, IDS_CURVE_AXIS_HEAT_GENERATION, 35, 71) {}

CString _MarloTemperatureHeatGenerationCurveType::PointCountKey(std::int32_t curveId, std::int32_t) const {
    return Key(L"%1HeatGenerationCurve(%2!ld!).Counter", curveId);
}
CString _MarloTemperatureHeatGenerationCurveType::NameKey(std::int32_t curveId, std::int32_t) const {
    return Key(L"%1HeatGenerationCurve(%2!ld!).Description", curveId);
}
CString _MarloTemperatureHeatGenerationCurveType::XKey(std::int32_t curveId, std::int32_t point, std::int32_t) const {
    return Key(L"%1HeatGenerationCurve(%2!ld!).TempDependent(%3!ld!).Temperature", curveId, point);
}
CString _MarloTemperatureHeatGenerationCurveType::YKey(std::int32_t curveId, std::int32_t point, std::int32_t) const {
    return Key(L"%1HeatGenerationCurve(%2!ld!).TempDependent(%3!ld!).Value", curveId, point);
}
