// The component layer used the way the dialogs drive outside components: a late-bound host
// automation object fed a record by reference, an object and a window handle as properties,
// then a method with positional arguments; and a record array handed to an editor that
// replaces it.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <unistd.h>

#include "TestObjects.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/Dispatch.h"
#include "platform/com/RecordInfo.h"
#include "platform/com/SafeArray.h"

namespace {

using namespace orv::com::test;

const GUID kUnitsLib = orv::com::GuidLiteral(L"{0CD1327F-15CC-475E-9D71-2B521DA20674}");
const GUID kUnitsRecord = orv::com::GuidLiteral(L"{D7D1403F-E31D-46EF-B16A-21900BA8BB5D}");
const CLSID kGlobals = orv::com::GuidLiteral(L"{6B1D2C3A-0000-4000-8000-0000000000A1}");

struct UnitsRecord {
    LONG system;
    LONG pad;
    double lengthScale;
    BYTE name[16];
};

// The host automation object: keeps what it was given.
class Globals : public orv::com::DispatchObject<IDispatch> {
public:
    static inline std::wstring lastCall;
    static inline UnitsRecord lastUnits{};
    static inline LONG lastWindow = 0;
    static inline bool hadConverter = false;

    Globals() {
        Members().AddProperty(L"Units", nullptr, [](const orv::com::DispatchCall& call) {
            const VARIANT& v = call.Arg(0);
            if (v.vt != (VT_RECORD | VT_BYREF) || !v.pRecInfo) return call.Raise(DISP_E_TYPEMISMATCH, L"units record");
            CComPtr<IRecordInfo> info(v.pRecInfo);
            CComVariant scale;
            if (FAILED(info->GetField(v.pvRecord, L"lengthScale", &scale))) return E_FAIL;
            std::memcpy(&lastUnits, v.pvRecord, sizeof lastUnits);
            lastUnits.lengthScale = scale.dblVal;
            return S_OK;
        });
        Members().AddProperty(L"UnitConverter", nullptr, [](const orv::com::DispatchCall& call) {
            CComPtr<IDispatch> converter;
            HRESULT hr = call.GetDispatch(0, &converter);
            hadConverter = SUCCEEDED(hr) && converter;
            return hr;
        });
        Members().AddProperty(L"HwndParent", nullptr,
                              [](const orv::com::DispatchCall& call) { return call.GetLong(0, lastWindow); });
        Members().AddMethod(
            L"Orv_NonLinearAdd",
            [](const orv::com::DispatchCall& call) {
                std::wstring folder;
                LONG a = 0, b = 0;
                HRESULT hr = call.GetString(0, folder);
                if (SUCCEEDED(hr)) hr = call.GetLong(1, a);
                if (SUCCEEDED(hr)) hr = call.GetLong(2, b);
                if (FAILED(hr)) return hr;
                lastCall = folder + L" " + std::to_wstring(a) + L" " + std::to_wstring(b);
                return S_OK;
            },
            3, 3);
    }
};

class AutomationFlow : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("ORV_REGISTRY_DIR", (testing::TempDir() + "/com-flow-" + std::to_string(getpid())).c_str(), 1);
        orv::com::RegisterClass(kGlobals, L"Orv_Glob.CGlobals", [](REFIID iid, void** object) {
            CComObject<Globals>* globals = nullptr;
            HRESULT hr = CComObject<Globals>::CreateInstance(&globals);
            if (FAILED(hr)) return hr;
            globals->AddRef();
            hr = globals->QueryInterface(iid, object);
            globals->Release();
            return hr;
        });
        orv::com::RegisterTypeLib(kUnitsLib, 1, 0, L"unit system records");
        ASSERT_EQ(S_OK, orv::com::RegisterRecordType(kUnitsLib, 1, 0,
                                                     {kUnitsRecord, L"RURIVO_UNIT_SYSTEM_V1_ENTRY", sizeof(UnitsRecord),
                                                      {{L"system", VT_I4, 0},
                                                       {L"lengthScale", VT_R8, 8},
                                                       {L"name", VT_UI1, 16, 16}}}));
    }
    void TearDown() override {
        orv::com::UnregisterClass(kGlobals);
        orv::com::UnregisterTypeLib(kUnitsLib, 1, 0);
        unsetenv("ORV_REGISTRY_DIR");
    }
};

HRESULT Put(IDispatch* object, const wchar_t* name, VARIANT& value, WORD flags) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, 2048, &id);
    if (FAILED(hr)) return hr;
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &put, 1, 1};
    return object->Invoke(id, IID_NULL, 2048, flags, &params, nullptr, nullptr, nullptr);
}

TEST_F(AutomationFlow, HostObjectIsDrivenByName) {
    CLSID clsid;
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"Orv_Glob.CGlobals", &clsid));
    CComPtr<IDispatch> globals;
    ASSERT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                     reinterpret_cast<void**>(&globals)));

    UnitsRecord units{3, 0, 0.001, {'m', 'm'}};
    CComPtr<IRecordInfo> info;
    ASSERT_EQ(S_OK, GetRecordInfoFromGuids(kUnitsLib, 1, 0, 1033, kUnitsRecord, &info));
    VARIANT record;
    VariantInit(&record);
    record.vt = VT_RECORD | VT_BYREF;
    record.pvRecord = &units;
    record.pRecInfo = info;
    EXPECT_EQ(S_OK, Put(globals, L"Units", record, DISPATCH_PROPERTYPUT));
    EXPECT_EQ(3, Globals::lastUnits.system);
    EXPECT_EQ(0.001, Globals::lastUnits.lengthScale);

    CComVariant converter(static_cast<IDispatch*>(new Globals));
    EXPECT_EQ(S_OK, Put(globals, L"UnitConverter", converter, DISPATCH_PROPERTYPUTREF));
    EXPECT_TRUE(Globals::hadConverter);
    CComVariant window(LONG(0x12345678));
    EXPECT_EQ(S_OK, Put(globals, L"HwndParent", window, DISPATCH_PROPERTYPUT));
    EXPECT_EQ(0x12345678, Globals::lastWindow);

    // Positional arguments, passed last first: folder, 1, 1 (two VT_I2).
    CComVariant args[3] = {CComVariant(SHORT(1)), CComVariant(SHORT(1)), CComVariant(L"/models/a.mod")};
    DISPPARAMS params{args, nullptr, 3, 0};
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"Orv_NonLinearAdd")};
    DISPID id = DISPID_UNKNOWN;
    ASSERT_EQ(S_OK, globals->GetIDsOfNames(IID_NULL, names, 1, 2048, &id));
    CComVariant result;
    EXPECT_EQ(S_OK, globals->Invoke(id, IID_NULL, 2048, DISPATCH_METHOD, &params, &result, nullptr, nullptr));
    EXPECT_EQ(L"/models/a.mod 1 1", Globals::lastCall);
    EXPECT_EQ(S_OK, OleRun(globals));
}

// An editor's "take the points back": it replaces the caller's array with one of its own.
HRESULT EditorReplacesPoints(LONG* count, SAFEARRAY** points) {
    CComPtr<IRecordInfo> info;
    HRESULT hr = SafeArrayGetRecordInfo(*points, &info);
    if (FAILED(hr)) return hr;
    SAFEARRAY* edited = SafeArrayCreateVectorEx(VT_RECORD, 0, 1, info);
    if (!edited) return E_OUTOFMEMORY;
    double* xy = nullptr;
    SafeArrayAccessData(edited, reinterpret_cast<void**>(&xy));
    xy[0] = 5.0;
    xy[1] = 6.0;
    SafeArrayUnaccessData(edited);
    SafeArrayDestroy(*points);
    *points = edited;
    *count = 1;
    return S_OK;
}

TEST_F(AutomationFlow, RecordArraysChangeHandsWithoutLeaks) {
    const GUID lib = orv::com::GuidLiteral(L"{32C9088B-9D20-46BD-8F9C-0381E3F65B5A}");
    const GUID point = orv::com::GuidLiteral(L"{AEE533C5-46A4-4E6A-A908-0296E24D596A}");
    orv::com::RegisterTypeLib(lib, 1, 0, L"points");
    ASSERT_EQ(S_OK, orv::com::RegisterRecordType(lib, 1, 0, {point, L"CurvePoint", 16, {{L"x", VT_R8, 0}, {L"y", VT_R8, 8}}}));
    CComPtr<IRecordInfo> info;
    ASSERT_EQ(S_OK, GetRecordInfoFromGuids(lib, 1, 0, 1033, point, &info));
    SAFEARRAY* points = SafeArrayCreateVectorEx(VT_RECORD, 0, 4, info);
    LONG count = 4;
    ASSERT_EQ(S_OK, EditorReplacesPoints(&count, &points));
    EXPECT_EQ(1, count);
    LONG upper = -1;
    SafeArrayGetUBound(points, 1, &upper);
    EXPECT_EQ(0, upper);
    CComVariant y;
    double* xy = nullptr;
    SafeArrayAccessData(points, reinterpret_cast<void**>(&xy));
    EXPECT_EQ(S_OK, info->GetField(xy, L"y", &y));
    SafeArrayUnaccessData(points);
    EXPECT_EQ(6.0, y.dblVal);
    EXPECT_EQ(S_OK, SafeArrayDestroy(points));
    orv::com::UnregisterTypeLib(lib, 1, 0);
}

}  // namespace
