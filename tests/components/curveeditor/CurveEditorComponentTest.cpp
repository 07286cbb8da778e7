// The curve editor component, the host automation object and the unit converter objects,
// used through their interfaces as the library and the host use them.

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include <gtest/gtest.h>

#include "components/Registration.h"
#include "components/curveeditor/CurveEditor.h"
#include "components/curveeditor/CurveEditorDialog.h"
#include "components/curveeditor/OrvGlobals.h"
#include "host/model/UnitSystem.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/RecordInfo.h"
#include "platform/registry/Registry.h"
#include "platform/win/Driver.h"
#include "platform/win/Input.h"
#include "platform/win/Inspect.h"
#include "support/StepDriver.h"

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
namespace input = orv::win::input;
using E = orv::components::CurveEditorDialog;
using A = orv::components::ActiveRangeDialog;
using orv::components::ActiveRange;

fs::path Scratch(const std::string& name) {
    const char* root = std::getenv("ORV_TEST_TMP");
    // One folder per process: CTest runs the cases of this program in parallel processes.
    fs::path dir = (root && *root ? fs::path(root) : fs::temp_directory_path()) / "curveeditor" /
                   (name + "." + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

class Environment : public ::testing::Environment {
public:
    void SetUp() override {
        const fs::path registry = Scratch("registry");
        ::setenv("ORV_REGISTRY_DIR", registry.c_str(), 1);
        RegisterOrvComponents();
    }
};
::testing::Environment* const kEnvironment = ::testing::AddGlobalTestEnvironment(new Environment);

using orvtest::StepDriver;

HWND Modal() { return orv::win::ActiveModalWindow(); }
HWND Ctl(int id) { return orv::win::FindControl(Modal(), id); }
std::wstring MessageText() { return orv::win::Inspect(Modal()).messageBox.text; }
void Type(int id, const std::wstring& text) { ASSERT_TRUE(input::ReplaceText(Ctl(id), text)) << id; }
void Click(int id) { ASSERT_TRUE(input::Click(Ctl(id))) << id; }
void AddPoint(const std::wstring& x, const std::wstring& y) {
    Type(E::IDC_X, x);
    Type(E::IDC_Y, y);
    Click(E::IDC_ADD);
}
std::vector<std::wstring> Rows() {
    std::vector<std::wstring> rows;
    for (const auto& item : orv::win::Inspect(Ctl(E::IDC_POINTS)).items)
        rows.push_back(item.text + L" " + (item.subItems.empty() ? L"" : item.subItems[0]));
    return rows;
}

SAFEARRAY* PointArray(const std::vector<CurvePointRecord>& points) {
    CComPtr<IRecordInfo> info;
    EXPECT_EQ(orv::components::CurvePointRecordInfo(&info), S_OK);
    SAFEARRAY* array = SafeArrayCreateVectorEx(VT_RECORD, 0, ULONG(points.size()), info.p);
    if (!points.empty()) {
        void* data = nullptr;
        SafeArrayAccessData(array, &data);
        std::memcpy(data, points.data(), points.size() * sizeof(CurvePointRecord));
        SafeArrayUnaccessData(array);
    }
    return array;
}

std::vector<CurvePointRecord> PointsOf(SAFEARRAY* array) {
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(array, 1, &lower);
    SafeArrayGetUBound(array, 1, &upper);
    std::vector<CurvePointRecord> points(std::size_t(upper < lower ? 0 : upper - lower + 1));
    void* data = nullptr;
    SafeArrayAccessData(array, &data);
    if (!points.empty()) std::memcpy(points.data(), data, points.size() * sizeof(CurvePointRecord));
    SafeArrayUnaccessData(array);
    return points;
}

std::wstring DefaultValue(const std::wstring& key) {
    HKEY k = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return L"(missing)";
    wchar_t text[128] = {};
    DWORD size = sizeof text, type = 0;
    RegQueryValueEx(k, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(k);
    return text;
}

TEST(Registration, ClassesProgIdsAndTypeLibraries) {
    for (const auto& [progId, clsid] : {std::pair{kCurveEditorProgId, CLSID_CurveEditor},
                                        std::pair{kOrvGlobalsProgId, CLSID_OrvGlobals},
                                        std::pair{kOrvUnitConverterProgId, CLSID_OrvUnitConverter},
                                        std::pair{kOrvUnitConverterLinkProgId, CLSID_OrvUnitConverterLink}}) {
        CLSID found{};
        EXPECT_EQ(CLSIDFromProgID(progId, &found), S_OK) << progId;
        EXPECT_EQ(found, clsid);
        EXPECT_EQ(DefaultValue(std::wstring(progId) + L"\\CLSID"), orv::com::GuidToString(clsid));
        EXPECT_EQ(DefaultValue(L"CLSID\\" + orv::com::GuidToString(clsid) + L"\\ProgID"), progId);
    }
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, (L"TypeLib\\" + orv::com::GuidToString(LIBID_CurveEditorLib) + L"\\1.0").c_str(),
                           0, KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
    CComPtr<IRecordInfo> info;
    ASSERT_EQ(GetRecordInfoFromGuids(LIBID_OrvUnitSystemLib, 1, 0, 1033, GUID_UnitSystemRecord, &info), S_OK);
    ULONG size = 0;
    info->GetSize(&size);
    EXPECT_EQ(size, 44u);
}

TEST(CurveEditorValues, FormatAndParse) {
    const struct {
        double value;
        const wchar_t* text;
    } formats[] = {{0, L"0"}, {0.1, L"0.1"}, {-2.5, L"-2.5"}, {1e-300, L"1e-300"}, {1.0 / 3, L"0.3333333333333333"}, {1500, L"1500"}, {2.5e20, L"2.5e+20"}, {0.00015, L"0.00015"}, {1e-7, L"1e-07"},
                   {123456789, L"123456789"}};
    for (const auto& f : formats) {
        EXPECT_EQ(E::FormatValue(f.value), f.text);
        double back = 0;
        EXPECT_TRUE(E::ParseValue(f.text, back));
        EXPECT_EQ(back, f.value);
    }
    const struct {
        const wchar_t* text;
        bool ok;
        double value;
    } parses[] = {{L" 12 ", true, 12}, {L"-1e3", true, -1000}, {L"+.5", true, 0.5}, {L"", false, 0},
                  {L"  ", false, 0},   {L"1,5", false, 0},      {L"inf", false, 0}, {L"nan", false, 0},
                  {L"0x10", false, 0}, {L"1e999", false, 0},    {L"2 3", false, 0}, {L"x", false, 0}};
    for (const auto& p : parses) {
        double value = -7;
        EXPECT_EQ(E::ParseValue(p.text, value), p.ok) << std::string(p.text, p.text + std::wcslen(p.text));
        if (p.ok) {
            EXPECT_EQ(value, p.value);
        }
    }
}

class Editor : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CoCreateInstance(CLSID_CurveEditor, nullptr, CLSCTX_INPROC_SERVER, IID_ICurveEditor,
                                   reinterpret_cast<void**>(&editor)),
                  S_OK);
        CComBSTR title(L"Multiplier Table Editor"), x(L"Time (s)"), y(L"Multiplier");
        editor->SetTitle(&title.m_str);
        editor->SetXAxisCaption(&x.m_str);
        editor->SetYAxisCaption(&y.m_str);
        LONG mode = kCurveEditorModeCurve;
        editor->SetMode(&mode);
    }
    void Give(const std::vector<CurvePointRecord>& points) {
        SAFEARRAY* array = PointArray(points);
        LONG count = LONG(points.size());
        VARIANT_BOOL changed = VARIANT_FALSE;
        EXPECT_EQ(editor->SetPoints(&count, &array, &changed), S_OK);
        EXPECT_EQ(changed, VARIANT_TRUE);
        SafeArrayDestroy(array);
    }
    std::vector<CurvePointRecord> Taken() {
        SAFEARRAY* array = PointArray({{9, 9}});
        LONG count = -1;
        EXPECT_EQ(editor->GetPoints(&count, &array), S_OK);
        auto points = PointsOf(array);
        EXPECT_EQ(count, LONG(points.size()));
        SafeArrayDestroy(array);
        return points;
    }
    bool Edit() {
        orv::win::DriverScope scope(&driver);
        VARIANT_BOOL accepted = VARIANT_FALSE;
        EXPECT_EQ(editor->Edit(&accepted), S_OK);
        EXPECT_TRUE(driver.steps.empty());
        return accepted != VARIANT_FALSE;
    }
    CComPtr<ICurveEditor> editor;
    StepDriver driver;
};

TEST_F(Editor, ShowsTheCaptionsAndPoints) {
    Give({{0, 1}, {1.5, 2}});
    driver.Then([&] {
        const auto window = orv::win::Inspect(Modal());
        EXPECT_EQ(window.text, L"Multiplier Table Editor");
        EXPECT_EQ(orv::win::Inspect(Ctl(E::IDC_POINTS)).columns, (std::vector<std::wstring>{L"Time (s)", L"Multiplier"}));
        EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"0 1", L"1.5 2"}));
        EXPECT_EQ(orv::win::Inspect(Ctl(E::IDC_COUNT)).text, L"2 points");
        EXPECT_FALSE(orv::win::Inspect(Ctl(E::IDC_DELETE)).enabled);  // nothing selected
        const orv::win::DisplayList* plot = orv::win::PaintWindow(Ctl(E::IDC_PLOT));
        ASSERT_NE(plot, nullptr);
        bool polyline = false;
        for (const auto& op : plot->ops)
            if (op.kind == orv::win::DrawKind::Polyline && op.points.size() == 2) polyline = true;
        EXPECT_TRUE(polyline);
        Click(IDCANCEL);
    });
    EXPECT_FALSE(Edit());
}

TEST_F(Editor, TableEditsAsAPersonMakesThem) {
    driver.Then([&] {
        AddPoint(L"0", L"0");
        AddPoint(L"2", L"4");
        ASSERT_TRUE(input::SelectItem(Ctl(E::IDC_POINTS), 1));  // insert before "2 4"
        EXPECT_EQ(orv::win::Inspect(Ctl(E::IDC_X)).text, L"2");
        Type(E::IDC_X, L"1");
        Type(E::IDC_Y, L"1");
        Click(E::IDC_INSERT);
        EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"0 0", L"1 1", L"2 4"}));
        ASSERT_TRUE(input::SelectItem(Ctl(E::IDC_POINTS), 2));
        Type(E::IDC_Y, L"3");
        Click(E::IDC_REPLACE);
        ASSERT_TRUE(input::SelectItem(Ctl(E::IDC_POINTS), 0));
        Click(E::IDC_DELETE);
        EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"1 1", L"2 3"}));
        Click(IDOK);
    });
    EXPECT_TRUE(Edit());
    const auto points = Taken();
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].x, 1);
    EXPECT_EQ(points[1].y, 3);
}

TEST_F(Editor, ANonNumberIsRefusedWithTheFieldFocused) {
    driver
        .Then([&] {
            Type(E::IDC_X, L"1");
            Type(E::IDC_Y, L"abc");
            Click(E::IDC_ADD);
        })
        .Then([&] {
            EXPECT_EQ(MessageText(), L"\"abc\" is not a number. Enter a number for Y.");
            Click(IDOK);
        })
        .Then([&] {
            EXPECT_TRUE(orv::win::Inspect(Ctl(E::IDC_Y)).focused);
            EXPECT_TRUE(Rows().empty());
            Click(IDCANCEL);
        });
    EXPECT_FALSE(Edit());
}

TEST_F(Editor, ACurveOutOfOrderIsRefusedUntilSorted) {
    Give({{2, 1}, {1, 0}});
    driver
        .Then([&] { Click(IDOK); })
        .Then([&] {
            EXPECT_NE(MessageText().find(L"must not decrease"), std::wstring::npos);
            Click(IDOK);
        })
        .Then([&] {
            Click(E::IDC_SORT);
            EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"1 0", L"2 1"}));
            Click(IDOK);
        });
    EXPECT_TRUE(Edit());
    EXPECT_EQ(Taken()[0].x, 1);
}

TEST_F(Editor, ATableModeKeepsAnyOrder) {
    LONG mode = kCurveEditorModeTable;
    editor->SetMode(&mode);
    Give({{2, 1}, {1, 0}});
    driver.Then([&] { Click(IDOK); });
    EXPECT_TRUE(Edit());
    EXPECT_EQ(Taken()[0].x, 2);
}

TEST_F(Editor, CancelKeepsTheGivenPoints) {
    Give({{0, 5}});
    driver.Then([&] {
        AddPoint(L"1", L"1");
        Click(IDCANCEL);
    });
    EXPECT_FALSE(Edit());
    const auto points = Taken();
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].y, 5);
}

TEST_F(Editor, PointsMustBeCurvePointRecords) {
    SAFEARRAY* doubles = SafeArrayCreateVector(VT_R8, 0, 2);
    LONG count = 2;
    EXPECT_EQ(editor->SetPoints(&count, &doubles, nullptr), E_INVALIDARG);
    CComPtr<IErrorInfo> error;
    ASSERT_EQ(GetErrorInfo(0, &error), S_OK);
    CComBSTR description;
    error->GetDescription(&description);
    EXPECT_EQ(std::wstring(description.m_str), L"The points are not curve point records.");
    SafeArrayDestroy(doubles);
    count = -1;
    SAFEARRAY* none = nullptr;
    EXPECT_EQ(editor->SetPoints(&count, &none, nullptr), E_INVALIDARG);
    // A count beyond the array takes what the array has.
    SAFEARRAY* one = PointArray({{1, 2}});
    count = 5;
    EXPECT_EQ(editor->SetPoints(&count, &one, nullptr), S_OK);
    SafeArrayDestroy(one);
    EXPECT_EQ(Taken().size(), 1u);
}

TEST_F(Editor, MembersByName) {
    CComPtr<IDispatch> dispatch;
    ASSERT_EQ(editor->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
    LPOLESTR name = const_cast<LPOLESTR>(L"title");
    DISPID id = 0;
    ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, 2048, &id), S_OK);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    CComVariant result;
    ASSERT_EQ(dispatch->Invoke(id, IID_NULL, 2048, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr), S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(std::wstring(result.bstrVal), L"Multiplier Table Editor");
}

// ---- unit converter objects ----

TEST(UnitConverterObjects, ConvertThroughTheLinkedHostConverter) {
    const OrvDbRecord::UnitSystem si(1, false), millis(3, false);
    OrvDbRecord::DisplayUnitSystem display(si, millis);
    CComPtr<IOrvUnitConverter> converter;
    CComPtr<IOrvUnitConverterLink> link;
    ASSERT_EQ(CoCreateInstance(CLSID_OrvUnitConverter, nullptr, CLSCTX_ALL, IID_IOrvUnitConverter,
                               reinterpret_cast<void**>(&converter)),
              S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_OrvUnitConverterLink, nullptr, CLSCTX_ALL, IID_IOrvUnitConverterLink,
                               reinterpret_cast<void**>(&link)),
              S_OK);
    double out = 0;
    EXPECT_EQ(converter->Convert(3, 1.5, &out), E_FAIL);  // no link yet
    link->SetOwnership(0);
    link->SetConverter(&display.GetUnitConverter());
    EXPECT_EQ(converter->SetLink(link), S_OK);
    EXPECT_EQ(converter->Convert(3, 1.5, &out), S_OK);
    EXPECT_DOUBLE_EQ(out, 1500);
    EXPECT_EQ(converter->ReverseConvert(3, 250, &out), S_OK);
    EXPECT_DOUBLE_EQ(out, 0.25);
    CComBSTR text;
    EXPECT_EQ(converter->UnitText(3, &text), S_OK);
    EXPECT_EQ(std::wstring(text.m_str), L"ms");
    EXPECT_EQ(converter->Convert(9999, 1, &out), E_INVALIDARG);


    LONG owns = 1;
    link->GetOwnership(&owns);
    EXPECT_EQ(owns, 0);
}

// ---- the host automation object ----

class Globals : public ::testing::Test {
protected:
    void SetUp() override {
        folder = Scratch("globals");
        CLSID clsid{};
        ASSERT_EQ(CLSIDFromProgID(L"orv_glob.cglobals", &clsid), S_OK);
        ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch, reinterpret_cast<void**>(&globals)), S_OK);
    }
    HRESULT Call(const wchar_t* name, WORD flags, std::vector<VARIANT> args, EXCEPINFO* info = nullptr) {
        LPOLESTR n = const_cast<LPOLESTR>(name);
        DISPID id = 0;
        HRESULT hr = globals->GetIDsOfNames(IID_NULL, &n, 1, 2048, &id);
        if (FAILED(hr)) return hr;
        DISPID put = DISPID_PROPERTYPUT;
        DISPPARAMS params{args.data(), flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF) ? &put : nullptr,
                          UINT(args.size()), flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF) ? 1u : 0u};
        return globals->Invoke(id, IID_NULL, 2048, flags, &params, nullptr, info, nullptr);
    }
    HRESULT NonLinearAdd() {
        VARIANT args[3];
        for (VARIANT& a : args) VariantInit(&a);
        args[2].vt = VT_BSTR;
        args[2].bstrVal = SysAllocString(folder.wstring().c_str());
        args[1].vt = args[0].vt = VT_I2;
        args[1].iVal = args[0].iVal = 1;
        orv::win::DriverScope scope(&driver);
        const HRESULT hr = Call(L"Orv_NonLinearAdd", DISPATCH_METHOD, {args[0], args[1], args[2]});
        VariantClear(&args[2]);
        EXPECT_TRUE(driver.steps.empty());
        return hr;
    }
    fs::path folder;
    CComPtr<IDispatch> globals;
    StepDriver driver;
};

TEST_F(Globals, UnitsMustBeAUnitSystemRecord) {
    RURIVO_UNIT_SYSTEM_V1_ENTRY entry{};
    UnitSys::UnitSystem(1, false).InitFemStruct(entry);
    CComPtr<IRecordInfo> info;
    ASSERT_EQ(GetRecordInfoFromGuids(LIBID_OrvUnitSystemLib, 1, 0, 1033, GUID_UnitSystemRecord, &info), S_OK);
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_RECORD | VT_BYREF;
    value.pvRecord = &entry;
    value.pRecInfo = info.p;
    EXPECT_EQ(Call(L"Units", DISPATCH_PROPERTYPUT, {value}), S_OK);
    entry.bytes[0] = 7;  // a wrong size
    EXCEPINFO error{};
    EXPECT_EQ(Call(L"Units", DISPATCH_PROPERTYPUT, {value}, &error), DISP_E_EXCEPTION);
    EXPECT_NE(std::wstring(error.bstrDescription).find(L"Units: "), std::wstring::npos);
    ClearExcepInfo(&error);
}

TEST_F(Globals, TheActiveRangeEditorKeepsItsRangesInTheScenarioFolder) {
    driver.Then([&] {
        EXPECT_EQ(orv::win::Inspect(Modal()).text, L"Active Range");
        Type(A::IDC_START, L"0");
        Type(A::IDC_END, L"1.5");
        Click(A::IDC_ADD);
        Type(A::IDC_START, L"3");
        Type(A::IDC_END, L"2");
        Click(A::IDC_ADD);
    });
    driver
        .Then([&] {
            EXPECT_EQ(MessageText(), L"The range must not end before it starts.");
            Click(IDOK);
        })
        .Then([&] { Click(IDOK); });
    EXPECT_EQ(NonLinearAdd(), S_OK);
    std::vector<ActiveRange> ranges;
    std::wstring error;
    ASSERT_TRUE(orv::components::ReadActiveRanges((folder / "ActiveRanges.txt").wstring(), ranges, error)) << std::string(error.begin(), error.end());
    ASSERT_EQ(ranges.size(), 1u);
    EXPECT_EQ(ranges[0].end, 1.5);

    // Shown again in display units once the host gives its converter.
    const OrvDbRecord::UnitSystem si(1, false), millis(3, false);
    OrvDbRecord::DisplayUnitSystem display(si, millis);
    CComPtr<IOrvUnitConverter> converter;
    CComPtr<IOrvUnitConverterLink> link;
    CoCreateInstance(CLSID_OrvUnitConverter, nullptr, CLSCTX_ALL, IID_IOrvUnitConverter, reinterpret_cast<void**>(&converter));
    CoCreateInstance(CLSID_OrvUnitConverterLink, nullptr, CLSCTX_ALL, IID_IOrvUnitConverterLink, reinterpret_cast<void**>(&link));
    link->SetConverter(&display.GetUnitConverter());
    converter->SetLink(link);
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_DISPATCH;
    value.pdispVal = converter;
    EXPECT_EQ(Call(L"UnitConverter", DISPATCH_PROPERTYPUTREF, {value}), S_OK);
    driver.Then([&] {
        EXPECT_EQ(orv::win::Inspect(Ctl(A::IDC_RANGES)).items.at(0).text, L"0 to 1500");
        EXPECT_EQ(orv::win::Inspect(Ctl(A::IDC_UNIT)).text, L"ms");
        ASSERT_TRUE(input::SelectItem(Ctl(A::IDC_RANGES), 0));
        Click(A::IDC_DELETE);
        Click(IDCANCEL);
    });
    EXPECT_EQ(NonLinearAdd(), S_OK);
    ASSERT_TRUE(orv::components::ReadActiveRanges((folder / "ActiveRanges.txt").wstring(), ranges, error));
    EXPECT_EQ(ranges.size(), 1u);  // cancelled: unchanged
}

TEST(ActiveRangeFile, BadLinesNameTheirPosition) {
    const fs::path dir = Scratch("rangefile");
    const struct {
        const char* text;
        const wchar_t* error;  // empty: reads
        std::size_t count;
    } cases[] = {{"", L"", 0},
                 {"0 1\n\n2 3\n", L"", 2},
                 {"0 1\n2\n", L"line 2: expected two numbers", 0},
                 {"0 1 2\n", L"line 1: expected two numbers", 0},
                 {"a b\n", L"line 1: expected two numbers", 0},
                 {"0 1\n5 4\n", L"line 2: the range ends before it starts", 0}};
    for (const auto& c : cases) {
        const fs::path file = dir / "ActiveRanges.txt";
        std::ofstream(file) << c.text;
        std::vector<ActiveRange> ranges;
        std::wstring error;
        const bool ok = orv::components::ReadActiveRanges(file.wstring(), ranges, error);
        EXPECT_EQ(ok, *c.error == 0) << c.text;
        if (ok) {
            EXPECT_EQ(ranges.size(), c.count) << c.text;
        } else {
            EXPECT_NE(error.find(c.error), std::wstring::npos) << std::string(error.begin(), error.end());
        }
    }
    std::vector<ActiveRange> none;
    std::wstring error;
    EXPECT_TRUE(orv::components::ReadActiveRanges((dir / "missing.txt").wstring(), none, error));
    EXPECT_TRUE(none.empty());
}

}  // namespace
