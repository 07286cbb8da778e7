#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "TestObjects.h"
#include "platform/com/RecordInfo.h"
#include "platform/com/SafeArray.h"
#include "platform/registry/Registry.h"

namespace {

using namespace orv::com::test;
using orv::com::RecordField;
using orv::com::RecordLayout;

const GUID kLib = orv::com::GuidLiteral(L"{32C9088B-9D20-46BD-8F9C-0381E3F65B5A}");
const GUID kPoint = orv::com::GuidLiteral(L"{AEE533C5-46A4-4E6A-A908-0296E24D596A}");
const GUID kLabel = orv::com::GuidLiteral(L"{AEE533C5-46A4-4E6A-A908-0296E24D5000}");

struct CurvePoint {
    double x;
    double y;
};

struct Label {
    BSTR text;
    LONG id;
    BYTE code[4];
};

class Records : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string folder = std::string(testing::TempDir()) + "/com-records-registry-" + std::to_string(getpid());
        setenv("ORV_REGISTRY_DIR", folder.c_str(), 1);
        orv::com::RegisterTypeLib(kLib, 1, 0, L"Curve editor records");
        ASSERT_EQ(S_OK, orv::com::RegisterRecordType(
                            kLib, 1, 0, RecordLayout{kPoint, L"CurvePoint", 16, {{L"x", VT_R8, 0}, {L"y", VT_R8, 8}}}));
        ASSERT_EQ(S_OK, orv::com::RegisterRecordType(
                            kLib, 1, 0,
                            RecordLayout{kLabel, L"Label", sizeof(Label),
                                         {{L"text", VT_BSTR, offsetof(Label, text)},
                                          {L"id", VT_I4, offsetof(Label, id)},
                                          {L"code", VT_UI1, offsetof(Label, code), 4}}}));
    }
    void TearDown() override {
        orv::com::UnregisterTypeLib(kLib, 1, 0);
        unsetenv("ORV_REGISTRY_DIR");
    }

    CComPtr<IRecordInfo> Info(const GUID& type) {
        CComPtr<IRecordInfo> info;
        EXPECT_EQ(S_OK, GetRecordInfoFromGuids(kLib, 1, 0, 1033, type, &info));
        return info;
    }
};

TEST_F(Records, RecordInfoIsFoundByLibraryVersionAndType) {
    CComPtr<IRecordInfo> info = Info(kPoint);
    ASSERT_TRUE(info);
    ULONG size = 0;
    info->GetSize(&size);
    EXPECT_EQ(16u, size);
    CComBSTR name;
    info->GetName(&name);
    EXPECT_EQ(L"CurvePoint", name.str());
    GUID g;
    info->GetGuid(&g);
    EXPECT_EQ(kPoint, g);
    EXPECT_TRUE(info->IsMatchingType(Info(kPoint)));
    EXPECT_FALSE(info->IsMatchingType(Info(kLabel)));

    CComPtr<IRecordInfo> missing;
    EXPECT_EQ(TYPE_E_LIBNOTREGISTERED, GetRecordInfoFromGuids(kLib, 2, 0, 1033, kPoint, &missing));
    EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, GetRecordInfoFromGuids(kLib, 1, 0, 1033, kLib, &missing));
    EXPECT_FALSE(missing);
    // Another minor version of the same major is taken when the asked one is not there.
    EXPECT_EQ(S_OK, GetRecordInfoFromGuids(kLib, 1, 5, 1033, kPoint, &missing));
}

TEST_F(Records, TypeLibraryVersionsAreVisibleUnderTheClassesRoot) {
    orv::com::RegisterTypeLib(kLib, 0xA, 0, L"later");
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyEx(HKEY_CLASSES_ROOT, L"TypeLib\\{32C9088B-9D20-46BD-8F9C-0381E3F65B5A}", 0,
                                          KEY_READ, &key));
    std::vector<std::wstring> versions;
    wchar_t name[64];
    for (DWORD i = 0;; ++i) {
        DWORD length = 64;
        if (RegEnumKeyEx(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        versions.push_back(name);
    }
    RegCloseKey(key);
    EXPECT_EQ((std::vector<std::wstring>{L"1.0", L"a.0"}), versions);
    orv::com::UnregisterTypeLib(kLib, 0xA, 0);
    // Reflection is volatile: nothing reaches the hive file.
    EXPECT_TRUE(orv::registry::HiveProblem(HKEY_CLASSES_ROOT).empty());
    struct stat st {};
    EXPECT_NE(0, stat(orv::registry::StorageFolder().c_str(), &st)) << "volatile keys created the registry folder";
}

TEST_F(Records, FieldsAreReadAndWrittenByNameWithConversion) {
    CComPtr<IRecordInfo> info = Info(kLabel);
    void* record = info->RecordCreate();
    ASSERT_NE(nullptr, record);
    CComVariant text(L"Ambient");
    EXPECT_EQ(S_OK, info->PutField(INVOKE_PROPERTYPUT, record, L"text", &text));
    CComVariant id(L"12");  // converted to the field's type
    EXPECT_EQ(S_OK, info->PutField(INVOKE_PROPERTYPUT, record, L"ID", &id));
    CComVariant tooBig(1e20);
    EXPECT_EQ(DISP_E_OVERFLOW, info->PutField(INVOKE_PROPERTYPUT, record, L"id", &tooBig));
    EXPECT_EQ(DISP_E_UNKNOWNNAME, info->PutField(INVOKE_PROPERTYPUT, record, L"missing", &text));

    const Label* label = static_cast<Label*>(record);
    EXPECT_STREQ(L"Ambient", label->text);
    EXPECT_EQ(12, label->id);

    CComVariant out;
    EXPECT_EQ(S_OK, info->GetField(record, L"text", &out));
    EXPECT_EQ(VT_BSTR, out.vt);
    EXPECT_NE(label->text, out.bstrVal);  // a copy
    EXPECT_STREQ(L"Ambient", out.bstrVal);

    CComVariant direct;
    void* data = nullptr;
    EXPECT_EQ(S_OK, info->GetFieldNoCopy(record, L"id", &direct, &data));
    EXPECT_EQ(VT_I4 | VT_BYREF, direct.vt);
    EXPECT_EQ(&label->id, data);

    // A fixed-size array field travels as a safe array.
    SAFEARRAY* bytes = SafeArrayCreateVector(VT_UI1, 0, 4);
    BYTE* raw = nullptr;
    SafeArrayAccessData(bytes, reinterpret_cast<void**>(&raw));
    std::memcpy(raw, "ABCD", 4);
    SafeArrayUnaccessData(bytes);
    CComVariant code;
    code.vt = VT_ARRAY | VT_UI1;
    code.parray = bytes;
    EXPECT_EQ(S_OK, info->PutField(INVOKE_PROPERTYPUT, record, L"code", &code));
    EXPECT_EQ(0, std::memcmp(label->code, "ABCD", 4));
    CComVariant wrongLength;
    wrongLength.vt = VT_ARRAY | VT_UI1;
    wrongLength.parray = SafeArrayCreateVector(VT_UI1, 0, 3);
    EXPECT_EQ(E_INVALIDARG, info->PutField(INVOKE_PROPERTYPUT, record, L"code", &wrongLength));
    CComVariant codeBack;
    EXPECT_EQ(S_OK, info->GetField(record, L"code", &codeBack));
    EXPECT_EQ(VT_ARRAY | VT_UI1, codeBack.vt);

    ULONG count = 0;
    info->GetFieldNames(&count, nullptr);
    EXPECT_EQ(3u, count);
    BSTR names[3] = {};
    info->GetFieldNames(&count, names);
    EXPECT_STREQ(L"text", names[0]);
    EXPECT_STREQ(L"code", names[2]);
    for (BSTR n : names) SysFreeString(n);

    void* copy = nullptr;
    EXPECT_EQ(S_OK, info->RecordCreateCopy(record, &copy));
    EXPECT_NE(static_cast<Label*>(copy)->text, label->text);
    EXPECT_STREQ(L"Ambient", static_cast<Label*>(copy)->text);
    info->RecordDestroy(copy);
    info->RecordDestroy(record);
}

TEST_F(Records, LayoutsThatCannotBeRightAreRefused) {
    struct Case {
        const wchar_t* why;
        RecordLayout layout;
    };
    const GUID g = kLabel;
    const Case cases[] = {
        {L"record Bad: size 0", {g, L"Bad", 0, {}}},
        {L"record Bad: field y lies outside the record", {g, L"Bad", 12, {{L"x", VT_R8, 0}, {L"y", VT_I4, 12}}}},
        {L"record Bad: field y is not aligned to its type", {g, L"Bad", 16, {{L"x", VT_I4, 0}, {L"y", VT_R8, 4}}}},
        {L"record Bad: field y overlaps another field", {g, L"Bad", 16, {{L"x", VT_R8, 0}, {L"y", VT_I4, 4}}}},
        {L"record Bad: field X is declared twice", {g, L"Bad", 16, {{L"x", VT_R8, 0}, {L"X", VT_R8, 8}}}},
        {L"record Bad: field v has a type that records cannot hold", {g, L"Bad", 24, {{L"v", VT_VARIANT, 0}}}},
        {L"record Bad: field a has no elements", {g, L"Bad", 8, {{L"a", VT_UI1, 0, 0}}}},
    };
    for (const auto& c : cases) {
        std::wstring error;
        EXPECT_EQ(E_INVALIDARG, orv::com::RegisterRecordType(kLib, 1, 0, c.layout, &error));
        EXPECT_EQ(c.why, error);
    }
    std::wstring error;
    EXPECT_EQ(TYPE_E_LIBNOTREGISTERED,
              orv::com::RegisterRecordType(kLib, 7, 0, RecordLayout{g, L"Fine", 8, {{L"x", VT_R8, 0}}}, &error));
}

TEST_F(Records, RecordArraysOwnTheirElements) {
    CComPtr<IRecordInfo> points = Info(kPoint);
    SAFEARRAYBOUND bound{3, 0};
    SAFEARRAY* array = SafeArrayCreateEx(VT_RECORD, 1, &bound, points);
    ASSERT_NE(nullptr, array);
    EXPECT_EQ(16u, SafeArrayGetElemsize(array));
    VARTYPE vt = 0;
    SafeArrayGetVartype(array, &vt);
    EXPECT_EQ(VT_RECORD, vt);
    CComPtr<IRecordInfo> back;
    EXPECT_EQ(S_OK, SafeArrayGetRecordInfo(array, &back));
    EXPECT_EQ(points.p, back.p);

    CurvePoint* data = nullptr;
    ASSERT_EQ(S_OK, SafeArrayAccessData(array, reinterpret_cast<void**>(&data)));
    EXPECT_EQ(0.0, data[2].y);  // elements start zeroed
    data[0] = {0.0, 1.0};
    data[2] = {10.0, 0.5};
    EXPECT_EQ(DISP_E_ARRAYISLOCKED, SafeArrayDestroy(array));
    EXPECT_EQ(S_OK, SafeArrayUnaccessData(array));
    EXPECT_EQ(E_UNEXPECTED, SafeArrayUnaccessData(array));

    LONG lower = -1, upper = -1;
    SafeArrayGetLBound(array, 1, &lower);
    SafeArrayGetUBound(array, 1, &upper);
    EXPECT_EQ(0, lower);
    EXPECT_EQ(2, upper);
    EXPECT_EQ(DISP_E_BADINDEX, SafeArrayGetUBound(array, 2, &upper));

    CurvePoint p{};
    LONG index = 2;
    EXPECT_EQ(S_OK, SafeArrayGetElement(array, &index, &p));
    EXPECT_EQ(10.0, p.x);
    index = 3;
    EXPECT_EQ(DISP_E_BADINDEX, SafeArrayGetElement(array, &index, &p));

    // A record array in a variant goes with the variant.
    CComVariant holder;
    holder.vt = VT_ARRAY | VT_RECORD;
    holder.parray = array;
    CComVariant copy(holder);
    EXPECT_NE(holder.parray, copy.parray);
    SafeArrayAccessData(copy.parray, reinterpret_cast<void**>(&data));
    EXPECT_EQ(0.5, data[2].y);
    SafeArrayUnaccessData(copy.parray);
    EXPECT_EQ(nullptr, SafeArrayCreateEx(VT_RECORD, 1, &bound, nullptr));
    EXPECT_EQ(nullptr, SafeArrayCreate(VT_RECORD, 1, &bound));
}

TEST_F(Records, RecordsWithTextFieldsAreCopiedDeepAndFreed) {
    CComPtr<IRecordInfo> labels = Info(kLabel);
    SAFEARRAY* array = SafeArrayCreateVectorEx(VT_RECORD, 1, 2, labels);
    ASSERT_NE(nullptr, array);
    Label l{SysAllocString(L"first"), 1, {}};
    LONG index = 1;
    EXPECT_EQ(S_OK, SafeArrayPutElement(array, &index, &l));
    EXPECT_EQ(S_OK, SafeArrayPutElement(array, &index, &l));  // replaces, freeing the old copy
    SysFreeString(l.text);
    index = 0;
    EXPECT_EQ(DISP_E_BADINDEX, SafeArrayPutElement(array, &index, &l));
    SAFEARRAY* copy = nullptr;
    EXPECT_EQ(S_OK, SafeArrayCopy(array, &copy));
    Label out{};
    index = 1;
    EXPECT_EQ(S_OK, SafeArrayGetElement(copy, &index, &out));
    EXPECT_STREQ(L"first", out.text);
    labels->RecordClear(&out);
    EXPECT_EQ(S_OK, SafeArrayDestroy(array));
    EXPECT_EQ(S_OK, SafeArrayDestroy(copy));
}

TEST(SafeArray, ElementsOfEveryKindAreFreedWithTheArray) {
    SAFEARRAY* texts = SafeArrayCreateVector(VT_BSTR, 0, 2);
    LONG i = 0;
    BSTR s = SysAllocString(L"x axis");
    EXPECT_EQ(S_OK, SafeArrayPutElement(texts, &i, s));
    SysFreeString(s);
    BSTR got = nullptr;
    EXPECT_EQ(S_OK, SafeArrayGetElement(texts, &i, &got));
    EXPECT_STREQ(L"x axis", got);
    SysFreeString(got);
    EXPECT_EQ(S_OK, SafeArrayDestroy(texts));

    CComPtr<ICounter> counter(new Counter);
    SAFEARRAY* objects = SafeArrayCreateVector(VT_UNKNOWN, 0, 1);
    EXPECT_EQ(S_OK, SafeArrayPutElement(objects, &i, static_cast<IUnknown*>(counter.p)));
    EXPECT_EQ(2u, RefCount(counter));
    SAFEARRAY* variants = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    CComVariant v(L"held");
    EXPECT_EQ(S_OK, SafeArrayPutElement(variants, &i, &v));
    SafeArrayDestroy(objects);
    SafeArrayDestroy(variants);
    EXPECT_EQ(1u, RefCount(counter));
}

TEST(SafeArray, MultipleDimensionsAreColumnMajor) {
    const SAFEARRAYBOUND bounds[2] = {{2, 1}, {3, 10}};  // rows 1..2, columns 10..12
    SAFEARRAY* grid = SafeArrayCreate(VT_I4, 2, bounds);
    ASSERT_NE(nullptr, grid);
    EXPECT_EQ(2u, SafeArrayGetDim(grid));
    LONG bound = 0;
    SafeArrayGetLBound(grid, 2, &bound);
    EXPECT_EQ(10, bound);
    SafeArrayGetUBound(grid, 1, &bound);
    EXPECT_EQ(2, bound);
    for (LONG r = 1; r <= 2; ++r) {
        for (LONG c = 10; c <= 12; ++c) {
            LONG at[2] = {r, c};
            LONG value = r * 100 + c;
            EXPECT_EQ(S_OK, SafeArrayPutElement(grid, at, &value));
        }
    }
    LONG* data = nullptr;
    SafeArrayAccessData(grid, reinterpret_cast<void**>(&data));
    EXPECT_EQ((std::vector<LONG>{110, 210, 111, 211, 112, 212}), std::vector<LONG>(data, data + 6));
    SafeArrayUnaccessData(grid);
    SAFEARRAYBOUND shorter{2, 10};
    EXPECT_EQ(S_OK, SafeArrayRedim(grid, &shorter));
    LONG last[2] = {2, 12};
    LONG value = 0;
    EXPECT_EQ(DISP_E_BADINDEX, SafeArrayGetElement(grid, last, &value));
    SafeArrayDestroy(grid);
    EXPECT_EQ(nullptr, SafeArrayCreate(VT_I4, 0, bounds));
    EXPECT_EQ(nullptr, SafeArrayCreate(VT_EMPTY, 1, bounds));
}

}  // namespace
