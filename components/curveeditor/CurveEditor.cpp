#include "components/curveeditor/CurveEditor.h"

#include <cstring>
#include <string>
#include <vector>

#include "components/curveeditor/CurveEditorDialog.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/RecordInfo.h"
#include "platform/registry/Registry.h"
#include "platform/win/Afx.h"

namespace orv::components {
namespace {

class CurveEditor : public orv::com::DispatchObject<ICurveEditor> {
public:
    CurveEditor() {
        Members().AddProperty(
            L"Title", [this](const orv::com::DispatchCall& c) { return ReturnText(c, title_); },
            [this](const orv::com::DispatchCall& c) { return c.GetString(0, title_); });
        Members().AddProperty(
            L"Mode",
            [this](const orv::com::DispatchCall& c) {
                CComVariant v(static_cast<int>(mode_));
                c.SetResult(v);
                return S_OK;
            },
            [this](const orv::com::DispatchCall& c) {
                LONG m = 0;
                const HRESULT hr = c.GetLong(0, m);
                if (SUCCEEDED(hr)) mode_ = m;
                return hr;
            });
        Members().AddProperty(
            L"PointCount",
            [this](const orv::com::DispatchCall& c) {
                CComVariant v(static_cast<int>(points_.size()));
                c.SetResult(v);
                return S_OK;
            },
            nullptr);
        Members().AddMethod(
            L"Edit",
            [this](const orv::com::DispatchCall& c) {
                VARIANT_BOOL accepted = VARIANT_FALSE;
                const HRESULT hr = Edit(&accepted);
                if (FAILED(hr)) return hr;
                CComVariant v(accepted != VARIANT_FALSE);
                c.SetResult(v);
                return S_OK;
            },
            0, 0);
    }

    HRESULT SetParentWindow(LONG* hwnd) override { return Store(hwnd, parent_); }
    HRESULT GetParentWindow(LONG* hwnd) override { return Load(hwnd, parent_); }
    HRESULT SetMode(LONG* mode) override { return Store(mode, mode_); }
    HRESULT GetMode(LONG* mode) override { return Load(mode, mode_); }
    HRESULT SetTitle(BSTR* text) override { return Store(text, title_); }
    HRESULT GetTitle(BSTR* text) override { return Load(text, title_); }
    HRESULT SetCaption2(BSTR* text) override { return Store(text, caption2_); }
    HRESULT GetCaption2(BSTR* text) override { return Load(text, caption2_); }
    HRESULT SetCaption3(BSTR* text) override { return Store(text, caption3_); }
    HRESULT GetCaption3(BSTR* text) override { return Load(text, caption3_); }
    HRESULT SetXAxisCaption(BSTR* text) override { return Store(text, xCaption_); }
    HRESULT GetXAxisCaption(BSTR* text) override { return Load(text, xCaption_); }
    HRESULT SetYAxisCaption(BSTR* text) override { return Store(text, yCaption_); }
    HRESULT GetYAxisCaption(BSTR* text) override { return Load(text, yCaption_); }

    HRESULT SetPoints(LONG* count, SAFEARRAY** points, VARIANT_BOOL* changed) override {
        if (!count || !points) return E_POINTER;
        if (*count < 0) return Fail(E_INVALIDARG, L"The point count is negative.");
        std::vector<CurvePointRecord> copy;
        if (*count > 0) {
            SAFEARRAY* array = *points;
            if (!array || SafeArrayGetDim(array) != 1) return Fail(E_INVALIDARG, L"The points are not a vector.");
            CComPtr<IRecordInfo> info, expected;
            if (FAILED(SafeArrayGetRecordInfo(array, &info)) || FAILED(CurvePointRecordInfo(&expected)) ||
                !info->IsMatchingType(expected))
                return Fail(E_INVALIDARG, L"The points are not curve point records.");
            LONG lower = 0, upper = -1;
            SafeArrayGetLBound(array, 1, &lower);
            SafeArrayGetUBound(array, 1, &upper);
            const LONG available = upper < lower ? 0 : upper - lower + 1;
            copy.resize(std::size_t(std::min(*count, available)));
            void* data = nullptr;
            if (FAILED(SafeArrayAccessData(array, &data))) return Fail(E_FAIL, L"The points cannot be read.");
            std::memcpy(copy.data(), data, copy.size() * sizeof(CurvePointRecord));
            SafeArrayUnaccessData(array);
        }
        points_ = std::move(copy);
        if (changed) *changed = VARIANT_TRUE;
        return S_OK;
    }

    HRESULT GetPoints(LONG* count, SAFEARRAY** points) override {
        if (!count || !points) return E_POINTER;
        CComPtr<IRecordInfo> info;
        HRESULT hr = CurvePointRecordInfo(&info);
        if (FAILED(hr)) return Fail(hr, L"The curve point record type is not registered.");
        SAFEARRAY* array = SafeArrayCreateVectorEx(VT_RECORD, 0, ULONG(points_.size()), info.p);
        if (!array) return Fail(E_OUTOFMEMORY, L"No memory for the points.");
        if (!points_.empty()) {
            void* data = nullptr;
            SafeArrayAccessData(array, &data);
            std::memcpy(data, points_.data(), points_.size() * sizeof(CurvePointRecord));
            SafeArrayUnaccessData(array);
        }
        if (*points) SafeArrayDestroy(*points);
        *points = array;
        *count = LONG(points_.size());
        return S_OK;
    }

    HRESULT Edit(VARIANT_BOOL* accepted) override {
        if (!accepted) return E_POINTER;
        *accepted = VARIANT_FALSE;
        HWND parent = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(static_cast<ULONG>(parent_)));
        CWnd* owner = parent && ::IsWindow(parent) ? CWnd::FromHandle(parent) : nullptr;
        CurveEditorDialog dialog(owner, points_, mode_, title_, caption2_, caption3_, xCaption_, yCaption_);
        const INT_PTR result = dialog.DoModal();
        if (result == -1) return Fail(E_FAIL, L"The curve editor window could not be created.");
        if (result == IDOK) {
            points_ = dialog.Points();
            *accepted = VARIANT_TRUE;
        }
        return S_OK;
    }

private:
    static HRESULT Store(const LONG* in, LONG& field) {
        if (!in) return E_POINTER;
        field = *in;
        return S_OK;
    }
    static HRESULT Load(LONG* out, LONG field) {
        if (!out) return E_POINTER;
        *out = field;
        return S_OK;
    }
    static HRESULT Store(const BSTR* in, std::wstring& field) {
        if (!in) return E_POINTER;
        field = *in ? std::wstring(*in, SysStringLen(*in)) : std::wstring();
        return S_OK;
    }
    static HRESULT Load(BSTR* out, const std::wstring& field) {
        if (!out) return E_POINTER;
        *out = SysAllocStringLen(field.data(), UINT(field.size()));
        return *out ? S_OK : E_OUTOFMEMORY;
    }
    static HRESULT ReturnText(const orv::com::DispatchCall& c, const std::wstring& text) {
        CComVariant v(text.c_str());
        c.SetResult(v);
        return S_OK;
    }
    static HRESULT Fail(HRESULT hr, const std::wstring& description) {
        return orv::com::ReportError(IID_ICurveEditor, description, hr, L"OrvCurve.CurveEditor");
    }

    LONG parent_ = 0;
    LONG mode_ = kCurveEditorModeCurve;
    std::wstring title_, caption2_, caption3_, xCaption_, yCaption_;
    std::vector<CurvePointRecord> points_;
};

void RegisterProgId(const wchar_t* progId, REFCLSID clsid, const wchar_t* description) {
    wchar_t guid[64] = {};
    StringFromGUID2(clsid, guid, 64);
    auto setDefault = [](HKEY key, const std::wstring& text) {
        RegSetValueEx(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                      DWORD((text.size() + 1) * sizeof(wchar_t)));
    };
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CLASSES_ROOT, progId, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                       nullptr) == ERROR_SUCCESS) {
        setDefault(key, description);
        HKEY sub = nullptr;
        if (RegCreateKeyEx(key, L"CLSID", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &sub, nullptr) ==
            ERROR_SUCCESS) {
            setDefault(sub, guid);
            RegCloseKey(sub);
        }
        RegCloseKey(key);
    }
    // CLSID itself stays non-volatile, so that a component installed for good may still
    // add its keys below it (a non-volatile key cannot live under a volatile one).
    if (RegCreateKeyEx(HKEY_CLASSES_ROOT, L"CLSID", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                       nullptr) == ERROR_SUCCESS)
        RegCloseKey(key);
    const std::wstring clsidPath = std::wstring(L"CLSID\\") + guid + L"\\ProgID";
    if (RegCreateKeyEx(HKEY_CLASSES_ROOT, clsidPath.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                       &key, nullptr) == ERROR_SUCCESS) {
        setDefault(key, progId);
        RegCloseKey(key);
    }
}

}  // namespace

HRESULT CurvePointRecordInfo(IRecordInfo** info) {
    return GetRecordInfoFromGuids(LIBID_CurveEditorLib, kCurveEditorLibMajor, kCurveEditorLibMinor, 1033,
                                  GUID_CurvePointRecord, info);
}

HRESULT CreateCurveEditor(REFIID iid, void** object) {
    CComPtr<ICurveEditor> editor(new CurveEditor);
    return editor->QueryInterface(iid, object);
}

void RegisterCurveEditorComponents() {
    using orv::com::RecordField;
    using orv::com::RecordLayout;
    orv::com::RegisterTypeLib(LIBID_CurveEditorLib, kCurveEditorLibMajor, kCurveEditorLibMinor,
                              L"Curve editor type library");
    RecordLayout point{GUID_CurvePointRecord, L"CurvePoint", 16, {{L"x", VT_R8, 0, 1}, {L"y", VT_R8, 8, 1}}};
    orv::com::RegisterRecordType(LIBID_CurveEditorLib, kCurveEditorLibMajor, kCurveEditorLibMinor, point);

    orv::com::RegisterTypeLib(LIBID_OrvUnitSystemLib, 1, 0, L"Unit system type library");
    RecordLayout units{GUID_UnitSystemRecord,
                       L"RURIVO_UNIT_SYSTEM_V1_ENTRY",
                       44,
                       {{L"Size", VT_UI4, 0, 1},
                        {L"Version", VT_UI4, 4, 1},
                        {L"SystemType", VT_UI4, 8, 1},
                        {L"AllowInconsistentUnits", VT_I4, 12, 1},
                        {L"Units", VT_UI2, 16, 9},
                        {L"Reserved", VT_UI1, 34, 10}}};
    orv::com::RegisterRecordType(LIBID_OrvUnitSystemLib, 1, 0, units);

    orv::com::RegisterClass(CLSID_CurveEditor, kCurveEditorProgId, CreateCurveEditor);
    orv::com::RegisterClass(CLSID_OrvGlobals, kOrvGlobalsProgId, CreateOrvGlobals);
    orv::com::RegisterClass(CLSID_OrvUnitConverter, kOrvUnitConverterProgId, CreateUnitConverter);
    orv::com::RegisterClass(CLSID_OrvUnitConverterLink, kOrvUnitConverterLinkProgId, CreateUnitConverterLink);
    RegisterProgId(kCurveEditorProgId, CLSID_CurveEditor, L"Curve editor");
    RegisterProgId(kOrvGlobalsProgId, CLSID_OrvGlobals, L"Host automation object");
    RegisterProgId(kOrvUnitConverterProgId, CLSID_OrvUnitConverter, L"Unit converter");
    RegisterProgId(kOrvUnitConverterLinkProgId, CLSID_OrvUnitConverterLink, L"Unit converter link");
}

}  // namespace orv::components
