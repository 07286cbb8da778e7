#pragma once
// One load curve editing session over the design scenario's settings database: reads the
// points of one curve into a safe array of point records (in display units), hands them to
// the curve editor component and writes them back (in model units).

#include <cstdint>
#include <memory>
#include <vector>

#include "dialogs/curves/MarloCurveType.h"
#include "dialogs/curves/MarloGeneralAccess.h"
#include "platform/com/SafeArray.h"
#include "platform/win/WinTypes.h"

namespace OrvDbRecord {
class DisplayUnitSystem;
}

// One point of a curve, as the editor's point record holds it: x then y, in display units.
struct CurvePoint {
    double x = 0;
    double y = 0;
};

// The most points a stored curve may have; a larger stored count is refused with
// Marlo::kStatusCountTooLarge as a damaged database.
inline constexpr std::int32_t kMaxCurvePoints = 1000000;

// Finds the highest version of a type library registered under HKEY_CLASSES_ROOT\TypeLib:
// subkey names are read as hexadecimal "major.minor"; a name that is not hexadecimal but
// decimal switches to decimal reading from the first subkey. False when none is registered.
bool FindHighestTypeLibVersion(REFGUID libid, WORD* major, WORD* minor);

class CurveEditContext : public Marlo::MarloGeneralAccess {
public:
    // Creates the empty point array; a missing editor type library throws _com_error.
    explicit CurveEditContext(const OrvDbRecord::DisplayUnitSystem* displayUnitSystem);
    ~CurveEditContext() override;
    CurveEditContext(const CurveEditContext&) = delete;
    CurveEditContext& operator=(const CurveEditContext&) = delete;

    // Chooses the curve family of a curve kind (0 to 5) in an analysis category.
    void SelectCurveType(std::uint32_t analysisCategory, std::uint32_t curveKind);
    // Opens the settings database of design scenario `scenarioId` of the model at modelPath
    // (or the database at modelPath itself when the id is 0) for reading and writing.
    bool OpenDatabase(const wchar_t* modelPath, std::int32_t scenarioId);
    bool CloseDatabase();

    // Reads a curve in one read transaction (one consistent view); false only when no curve type is chosen (kStatusNullArgument) or its
    // stored point count is beyond kMaxCurvePoints (kStatusCountTooLarge, nothing read).
    bool ReadCurve(std::int32_t curveId, std::int32_t secondId);
    // Writes the points back in one transaction: the whole curve or, on any error, nothing
    // (the stored curve stays as it was). Ids of 0 or less stand for those of the last
    // ReadCurve. False when a database operation failed (Status() says which), no curve type
    // is chosen, or there are more than kMaxCurvePoints points (kStatusCountTooLarge).
    bool WriteCurve(std::int32_t curveId, std::int32_t secondId);

    // The axis name with its display unit in parentheses ("Time (s)").
    CString XAxisLabel() const;
    CString YAxisLabel() const;

    // Runs the curve editor component on the points (mode: 2 for curves; caption ids 0 for
    // none). True when the person accepted; the points are then the edited ones. COM failures
    // and a point array of the wrong shape handed back (the points held are then kept) throw
    // _com_error.
    bool EditCurve(HWND parent, UINT titleId, LONG mode, UINT caption2Id = 0, UINT caption3Id = 0);

    // Whether an array handed back by the curve editor component is a vector of `count`
    // curve point records (S_OK); DISP_E_BADVARTYPE, DISP_E_TYPEMISMATCH or E_INVALIDARG when
    // its type, element size, dimensions or length are not those, or it is longer than
    // kMaxCurvePoints.
    static HRESULT CheckPointArray(SAFEARRAY* array, LONG count);

    // The points held (a copy); replacing them recreates the array.
    std::vector<CurvePoint> GetPoints() const;
    void SetPoints(const std::vector<CurvePoint>& points);
    ULONG PointCount() const;
    SAFEARRAY* PointArray() const { return points_; }

    const _MarloCurveType* CurveType() const { return curveType_.get(); }
    std::int32_t CurveId() const { return curveId_; }
    std::int32_t SecondId() const { return secondId_; }
    bool IsNew() const { return isNew_; }
    std::int32_t Type() const { return type_; }
    void SetType(std::int32_t type) { type_ = type; }
    const CString& Name() const { return name_; }
    void SetName(const CString& name) { name_ = name; }

private:
    // Replaces the array by a new one of `count` zeroed points; throws _com_error.
    void CreatePointArray(ULONG count);
    CString AxisLabel(const CString& name, std::uint32_t unit) const;

    std::unique_ptr<_MarloCurveType> curveType_;
    SAFEARRAY* points_ = nullptr;
    std::int32_t curveId_ = -1;
    std::int32_t secondId_ = -1;
    bool isNew_ = false;
    std::int32_t type_ = 0;
    CString name_;
    const OrvDbRecord::DisplayUnitSystem* displayUnitSystem_;
};
