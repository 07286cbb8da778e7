#include "dialogs/curves/CurveEditContext.h"

#include <cstdio>
#include <cstring>

#include "components/interfaces/ICurveEditor.h"
#include "dialogs/curves/CurveEditorAutomation.h"
#include "host/model/UnitSystem.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/RecordInfo.h"
#include "platform/registry/Registry.h"

namespace {

constexpr LCID kRecordLocale = 1033;

std::vector<CString> SplitKeys(const CString& keys) {
    std::vector<CString> out;
    const std::wstring text = keys.GetString();
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(L'$', start);
        if (end == std::wstring::npos) end = text.size();
        if (end > start) out.emplace_back(text.substr(start, end - start).c_str());
        start = end + 1;
    }
    return out;
}

// Reads one subkey name as "major.minor" in the given base.
bool ParseVersion(const wchar_t* name, bool hex, unsigned& major, unsigned& minor) {
    wchar_t rest = 0;
    return std::swscanf(name, hex ? L"%x.%x%lc" : L"%u.%u%lc", &major, &minor, &rest) == 2;
}

}  // namespace

bool FindHighestTypeLibVersion(REFGUID libid, WORD* major, WORD* minor) {
    wchar_t guid[64] = {};
    StringFromGUID2(libid, guid, 64);
    const std::wstring path = std::wstring(L"TypeLib\\") + guid;
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    bool hex = true;
    bool found = false;
    unsigned bestMajor = 0, bestMinor = 0;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyEx(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        unsigned ma = 0, mi = 0;
        if (!ParseVersion(name, hex, ma, mi)) {
            if (hex && ParseVersion(name, false, ma, mi)) {
                // Version names in decimal: read them all again that way.
                hex = false;
                found = false;
                bestMajor = bestMinor = 0;
                index = DWORD(-1);
            }
            continue;
        }
        if (ma > 0xFFFF || mi > 0xFFFF) continue;
        if (!found || ma > bestMajor || (ma == bestMajor && mi > bestMinor)) {
            bestMajor = ma;
            bestMinor = mi;
            found = true;
        }
    }
    RegCloseKey(key);
    if (found) {
        *major = WORD(bestMajor);
        *minor = WORD(bestMinor);
    }
    return found;
}

CurveEditContext::CurveEditContext(const OrvDbRecord::DisplayUnitSystem* displayUnitSystem)
    : MarloLowLevel(false, nullptr), MarloGeneralAccess(false, nullptr, true, true),
      displayUnitSystem_(displayUnitSystem) {
    CreatePointArray(0);
}

CurveEditContext::~CurveEditContext() {
    CloseDatabase();
    if (points_) SafeArrayDestroy(points_);
}

void CurveEditContext::CreatePointArray(ULONG count) {
    if (points_) {
        SafeArrayDestroy(points_);
        points_ = nullptr;
    }
    WORD major = 0, minor = 0;
    if (!FindHighestTypeLibVersion(LIBID_CurveEditorLib, &major, &minor)) _com_issue_error(TYPE_E_LIBNOTREGISTERED);
    CComPtr<IRecordInfo> info;
    orv::com::ThrowIfFailed(GetRecordInfoFromGuids(LIBID_CurveEditorLib, major, minor, kRecordLocale,
                                                   GUID_CurvePointRecord, &info));
    points_ = SafeArrayCreateVectorEx(VT_RECORD, 0, count, info.p);
    if (!points_) _com_issue_error(E_OUTOFMEMORY);
}

void CurveEditContext::SelectCurveType(std::uint32_t analysisCategory, std::uint32_t curveKind) {
    switch (curveKind) {
        case 0:
            if (analysisCategory == 2)
                curveType_ = std::make_unique<_MarloHeatMultiplierCurveType>(0);
            else
                curveType_ = std::make_unique<_MarloMultiplierCurveType>(analysisCategory, 0);
            break;
        case 1: curveType_ = std::make_unique<_MarloFlowRatePressureCurveType>(analysisCategory); break;
        case 2: curveType_ = std::make_unique<_MarloVelocityPressureCurveType>(analysisCategory); break;
        case 3: curveType_ = std::make_unique<_MarloTemperatureCoefficientCurveType>(analysisCategory); break;
        case 4: curveType_ = std::make_unique<_MarloTemperatureHeatGenerationCurveType>(analysisCategory); break;
        case 5: curveType_ = std::make_unique<_MarloHeatMultiplierCurveType>(1); break;
        default: curveType_ = std::make_unique<_MarloMultiplierCurveType>(analysisCategory, 0); break;
    }
}

bool CurveEditContext::OpenDatabase(const wchar_t* modelPath, std::int32_t scenarioId) {
    return Open(modelPath, scenarioId, false);
}

bool CurveEditContext::CloseDatabase() { return Close(); }

ULONG CurveEditContext::PointCount() const {
    LONG lower = 0, upper = -1;
    if (!points_ || FAILED(SafeArrayGetLBound(points_, 1, &lower)) || FAILED(SafeArrayGetUBound(points_, 1, &upper)))
        return 0;
    return upper < lower ? 0 : ULONG(upper - lower + 1);
}

HRESULT CurveEditContext::CheckPointArray(SAFEARRAY* array, LONG count) {
    VARTYPE type = VT_EMPTY;
    if (!array || FAILED(SafeArrayGetVartype(array, &type)) || type != VT_RECORD) return DISP_E_BADVARTYPE;
    if (SafeArrayGetElemsize(array) != sizeof(CurvePoint)) return DISP_E_TYPEMISMATCH;
    LONG lower = 0, upper = -1;
    if (SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
        FAILED(SafeArrayGetUBound(array, 1, &upper)))
        return E_INVALIDARG;
    const long long length = upper < lower ? 0 : (long long)upper - lower + 1;
    if (length != count || length > kMaxCurvePoints) return E_INVALIDARG;
    return S_OK;
}

std::vector<CurvePoint> CurveEditContext::GetPoints() const {
    std::vector<CurvePoint> out(PointCount());
    if (out.empty()) return out;
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(points_, &data))) return {};
    std::memcpy(out.data(), data, out.size() * sizeof(CurvePoint));
    SafeArrayUnaccessData(points_);
    return out;
}

void CurveEditContext::SetPoints(const std::vector<CurvePoint>& points) {
    CreatePointArray(ULONG(points.size()));
    if (points.empty()) return;
    void* data = nullptr;
    orv::com::ThrowIfFailed(SafeArrayAccessData(points_, &data));
    std::memcpy(data, points.data(), points.size() * sizeof(CurvePoint));
    SafeArrayUnaccessData(points_);
}

bool CurveEditContext::ReadCurve(std::int32_t curveId, std::int32_t secondId) {
    curveId_ = curveId;
    secondId_ = secondId;
    name_ = CString();
    type_ = 0;
    if (!curveType_) return SetStatus(Marlo::kStatusNullArgument);
    // A failed begin (no connection) reads nothing but an empty curve, as before.
    Marlo::TransactionScope view(*this, false);
    std::int32_t count = 0;
    const bool found = ReadInteger(curveType_->PointCountKey(curveId, secondId).GetString(), &count);
    if (!found || count < 0) count = 0;  // a negative count is damage: no points
    if (count > kMaxCurvePoints) {
        isNew_ = false;
        CreatePointArray(0);
        return SetStatus(Marlo::kStatusCountTooLarge);
    }
    isNew_ = count == 0;
    if (isNew_) {
        type_ = curveType_->DefaultType(curveId, secondId);
    } else {
        const CString nameKeys = curveType_->NameKey(curveId, secondId);
        for (const CString& key : SplitKeys(nameKeys)) {
            std::wstring text;
            if (ReadString(key.GetString(), &text)) {
                name_ = CString(text.c_str());
                break;
            }
        }
        const CString typeKey = curveType_->TypeKey(curveId, secondId);
        if (!typeKey.IsEmpty()) {
            type_ = curveType_->DefaultType(curveId, secondId);
            std::int32_t stored = 0;
            if (ReadInteger(typeKey.GetString(), &stored)) type_ = stored;
        }
    }
    CreatePointArray(ULONG(count));
    if (count == 0) return true;
    std::vector<CurvePoint> points(static_cast<std::size_t>(count));
    const int xUnit = int(curveType_->XUnit()), yUnit = int(curveType_->YUnit());
    for (std::int32_t i = 1; i <= count; ++i) {
        double x = 0, y = 0;
        if (!ReadDouble(curveType_->XKey(curveId, i, secondId).GetString(), &x)) x = 0;
        if (!ReadDouble(curveType_->YKey(curveId, i, secondId).GetString(), &y)) y = 0;
        if (displayUnitSystem_) {
            x = displayUnitSystem_->ConvertUnits(x, xUnit);
            y = displayUnitSystem_->ConvertUnits(y, yUnit);
        }
        points[std::size_t(i - 1)] = {x, y};
    }
    void* data = nullptr;
    orv::com::ThrowIfFailed(SafeArrayAccessData(points_, &data));
    std::memcpy(data, points.data(), points.size() * sizeof(CurvePoint));
    SafeArrayUnaccessData(points_);
    return SetStatus(0);
}

bool CurveEditContext::WriteCurve(std::int32_t curveId, std::int32_t secondId) {
    if (curveId <= 0) curveId = curveId_;
    if (secondId <= 0) secondId = secondId_;
    if (!curveType_) return SetStatus(Marlo::kStatusNullArgument);
    if (!IsOpen()) return SetStatus(Marlo::kStatusNotOpen);
    // A count the reader would refuse is never stored.
    if (PointCount() > ULONG(kMaxCurvePoints)) return SetStatus(Marlo::kStatusCountTooLarge);
    const std::vector<CurvePoint> points = GetPoints();
    const std::int32_t count = std::int32_t(points.size());

    // Everything below lands in one commit or not at all: an error or a crash halfway leaves
    // the old curve whole.
    Marlo::TransactionScope transaction(*this, true);
    if (!transaction.Started()) return false;

    // The old count first: a damaged one stops the write before anything changes.
    const CString countKey = curveType_->PointCountKey(curveId, secondId);
    std::int32_t oldCount = 0;
    if (!ReadInteger(countKey.GetString(), &oldCount) || oldCount < 0) oldCount = 0;
    if (oldCount > kMaxCurvePoints) return SetStatus(Marlo::kStatusCountTooLarge);

    if (isNew_) {
        const CString curveCountKey = curveType_->CurveCountKey(secondId);
        if (!curveCountKey.IsEmpty()) {
            std::int32_t curves = 0;
            if (!ReadInteger(curveCountKey.GetString(), &curves)) curves = 0;
            if (!WriteInteger(curveCountKey.GetString(), curves + 1)) return false;
        }
    }
    for (const CString& key : SplitKeys(curveType_->NameKey(curveId, secondId)))
        if (!WriteString(key.GetString(), name_.GetString())) return false;
    const CString typeKey = curveType_->TypeKey(curveId, secondId);
    if (!typeKey.IsEmpty() && !WriteInteger(typeKey.GetString(), type_)) return false;

    // Points 1..count are overwritten below; only those beyond the new count are removed.
    for (std::int32_t i = count + 1; i <= oldCount; ++i) {
        if (RemoveKey(curveType_->XKey(curveId, i, secondId).GetString()) < 0) return false;
        if (RemoveKey(curveType_->YKey(curveId, i, secondId).GetString()) < 0) return false;
    }
    if (!WriteInteger(countKey.GetString(), count)) return false;
    const int xUnit = int(curveType_->XUnit()), yUnit = int(curveType_->YUnit());
    for (std::int32_t i = 1; i <= count; ++i) {
        double x = points[std::size_t(i - 1)].x, y = points[std::size_t(i - 1)].y;
        if (displayUnitSystem_) {
            x = displayUnitSystem_->ReverseConvertUnits(x, xUnit);
            y = displayUnitSystem_->ReverseConvertUnits(y, yUnit);
        }
        if (!WriteDouble(curveType_->XKey(curveId, i, secondId).GetString(), x)) return false;
        if (!WriteDouble(curveType_->YKey(curveId, i, secondId).GetString(), y)) return false;
    }
    if (!transaction.Commit()) return false;
    isNew_ = false;
    return SetStatus(0);
}

CString CurveEditContext::AxisLabel(const CString& name, std::uint32_t unit) const {
    CString label = name;
    const std::wstring unitText = displayUnitSystem_ ? displayUnitSystem_->GetDisplayableUnitText(int(unit)) : L"";
    if (!unitText.empty()) {
        if (!label.IsEmpty()) label += L" ";
        label += L"(";
        label += unitText.c_str();
        label += L")";
    }
    return label;
}

CString CurveEditContext::XAxisLabel() const {
    return curveType_ ? AxisLabel(curveType_->XAxisName(), curveType_->XUnit()) : CString();
}

CString CurveEditContext::YAxisLabel() const {
    return curveType_ ? AxisLabel(curveType_->YAxisName(), curveType_->YUnit()) : CString();
}

bool CurveEditContext::EditCurve(HWND parent, UINT titleId, LONG mode, UINT caption2Id, UINT caption3Id) {
    auto load = [](UINT id) {
        CString text;
        if (id != 0) text.LoadString(id);
        return CComBSTR(text.GetString());
    };
    CComBSTR title = load(titleId);
    CComBSTR caption2 = load(caption2Id);
    CComBSTR caption3 = load(caption3Id);

    Marlo::MessageFilterScope filterScope;
    CComPtr<ICurveEditor> editor;
    orv::com::ThrowIfFailed(CoCreateInstance(CLSID_CurveEditor, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                             IID_ICurveEditor, reinterpret_cast<void**>(&editor)));
    auto check = [&](HRESULT hr) { orv::com::ThrowIfFailed(hr, editor, IID_ICurveEditor); };

    LONG parent32 = LONG(reinterpret_cast<std::uintptr_t>(parent) & 0xFFFFFFFFu);
    check(editor->SetParentWindow(&parent32));
    check(editor->SetTitle(&title.m_str));
    check(editor->SetCaption2(&caption2.m_str));
    check(editor->SetCaption3(&caption3.m_str));
    CComBSTR xLabel(XAxisLabel().GetString());
    CComBSTR yLabel(YAxisLabel().GetString());
    check(editor->SetXAxisCaption(&xLabel.m_str));
    check(editor->SetYAxisCaption(&yLabel.m_str));
    check(editor->SetMode(&mode));

    LONG count = LONG(PointCount());
    VARIANT_BOOL changed = VARIANT_FALSE;
    check(editor->SetPoints(&count, &points_, &changed));
    VARIANT_BOOL accepted = VARIANT_FALSE;
    check(editor->Edit(&accepted));
    if (accepted == VARIANT_FALSE) return false;
    // The array handed back replaces ours only when it holds what we copy out of it.
    SAFEARRAY* edited = nullptr;
    check(editor->GetPoints(&count, &edited));
    if (!edited) {
        CreatePointArray(0);
        return true;
    }
    if (const HRESULT shape = CheckPointArray(edited, count); FAILED(shape)) {
        SafeArrayDestroy(edited);
        _com_issue_error(shape);
    }
    SafeArrayDestroy(points_);
    points_ = edited;
    return true;
}
