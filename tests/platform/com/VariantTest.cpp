#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "TestObjects.h"
#include "platform/com/Variant.h"

namespace {

using namespace orv::com::test;

// Sets LC_ALL for one test and restores it.
class LocaleEnvironment {
public:
    explicit LocaleEnvironment(const char* value) {
        if (const char* old = std::getenv("LC_ALL")) saved_ = old;
        setenv("LC_ALL", value, 1);
    }
    ~LocaleEnvironment() {
        if (saved_) {
            setenv("LC_ALL", saved_->c_str(), 1);
        } else {
            unsetenv("LC_ALL");
        }
    }

private:
    std::optional<std::string> saved_;
};

TEST(Bstr, AllocationKeepsLengthEmbeddedNulsAndNullMeansEmpty) {
    BSTR s = SysAllocString(L"Curve");
    EXPECT_EQ(5u, SysStringLen(s));
    EXPECT_EQ(5u * sizeof(wchar_t), SysStringByteLen(s));
    EXPECT_EQ(L'\0', s[5]);
    EXPECT_TRUE(SysReAllocString(&s, s + 1));  // from its own text
    EXPECT_STREQ(L"urve", s);
    SysFreeString(s);

    const wchar_t withNul[] = {L'a', 0, L'b'};
    BSTR n = SysAllocStringLen(withNul, 3);
    EXPECT_EQ(3u, SysStringLen(n));
    EXPECT_EQ(L'b', n[2]);
    SysFreeString(n);

    EXPECT_EQ(nullptr, SysAllocString(nullptr));
    EXPECT_EQ(0u, SysStringLen(nullptr));
    SysFreeString(nullptr);
    BSTR zeros = SysAllocStringLen(nullptr, 4);
    EXPECT_EQ(4u, SysStringLen(zeros));
    EXPECT_EQ(L'\0', zeros[3]);
    SysFreeString(zeros);
    BSTR bytes = SysAllocStringByteLen("abc", 3);
    EXPECT_EQ(3u, SysStringByteLen(bytes));
    SysFreeString(bytes);
}

TEST(Bstr, CComBstrOwnsOneString) {
    CComBSTR a(L"Multiplier");
    CComBSTR b = a;
    EXPECT_NE(a.m_str, b.m_str);
    EXPECT_TRUE(a == b);
    b.Append(L" Table");
    b += L" Editor";
    EXPECT_EQ(L"Multiplier Table Editor", b.str());
    b.ToUpper();
    EXPECT_EQ(L"MULTIPLIER TABLE EDITOR", b.str());
    BSTR out = nullptr;
    EXPECT_EQ(S_OK, a.CopyTo(&out));
    EXPECT_STREQ(L"Multiplier", out);
    SysFreeString(out);
    BSTR* slot = &a;  // an out parameter frees the old text first
    *slot = SysAllocString(L"x");
    EXPECT_EQ(L"x", a.str());
    CComBSTR moved = std::move(a);
    EXPECT_EQ(nullptr, a.m_str);
    EXPECT_EQ(1u, moved.Length());
    BSTR raw = moved.Detach();
    CComBSTR adopted;
    adopted.Attach(raw);
    EXPECT_EQ(L"x", adopted.str());
    CComBSTR empty;
    EXPECT_TRUE(!empty);
    EXPECT_EQ(0u, empty.Length());
    EXPECT_TRUE(empty == L"");
}

TEST(Variant, ClearFreesWhatTheVariantOwns) {
    CComPtr<ICounter> counter(new Counter);
    {
        CComVariant text(L"ENU");
        CComVariant object(static_cast<IUnknown*>(counter.p));
        EXPECT_EQ(2u, RefCount(counter));
        CComVariant copy(object);
        EXPECT_EQ(3u, RefCount(counter));
        CComVariant textCopy = text;
        EXPECT_NE(text.bstrVal, textCopy.bstrVal);
        EXPECT_TRUE(text == textCopy);
        copy = text;  // releases the object reference it held
        EXPECT_EQ(2u, RefCount(counter));
        EXPECT_EQ(VT_BSTR, copy.vt);
    }
    EXPECT_EQ(1u, RefCount(counter));

    VARIANT unknownType;
    VariantInit(&unknownType);
    unknownType.vt = 0x0FFF;
    EXPECT_EQ(DISP_E_BADVARTYPE, VariantClear(&unknownType));
    VARIANT v;
    VariantInit(&v);
    EXPECT_EQ(VT_EMPTY, v.vt);
    EXPECT_EQ(S_OK, VariantClear(&v));
}

TEST(Variant, ByReferenceValuesAreCopiedAsReferencesOrDereferenced) {
    LONG target = 41;
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_I4 | VT_BYREF;
    ref.plVal = &target;
    CComVariant asRef;
    EXPECT_EQ(S_OK, VariantCopy(&asRef, &ref));
    EXPECT_EQ(&target, asRef.plVal);
    CComVariant value;
    EXPECT_EQ(S_OK, VariantCopyInd(&value, &ref));
    EXPECT_EQ(VT_I4, value.vt);
    EXPECT_EQ(41, value.lVal);

    BSTR text = SysAllocString(L"by ref");
    VARIANT bref;
    VariantInit(&bref);
    bref.vt = VT_BSTR | VT_BYREF;
    bref.pbstrVal = &text;
    CComVariant copied;
    EXPECT_EQ(S_OK, VariantCopyInd(&copied, &bref));
    EXPECT_NE(text, copied.bstrVal);
    EXPECT_STREQ(L"by ref", copied.bstrVal);
    VariantClear(&bref);  // a reference owns nothing
    SysFreeString(text);

    CComVariant inner(2.5);
    VARIANT vref;
    VariantInit(&vref);
    vref.vt = VT_VARIANT | VT_BYREF;
    vref.pvarVal = &inner;
    CComVariant asDouble;
    EXPECT_EQ(S_OK, VariantChangeType(&asDouble, &vref, 0, VT_R8));
    EXPECT_EQ(2.5, asDouble.dblVal);
}

struct Conversion {
    const char* name;
    CComVariant from;
    VARTYPE to;
    HRESULT hr;
    CComVariant expected;
};

TEST(Variant, ChangeTypeConvertsWithRangeChecks) {
    LocaleEnvironment english("en_US.UTF-8");
    const Conversion cases[] = {
        {"int to double", CComVariant(7), VT_R8, S_OK, CComVariant(7.0)},
        {"double rounds half to even (down)", CComVariant(2.5), VT_I4, S_OK, CComVariant(2)},
        {"double rounds half to even (up)", CComVariant(3.5), VT_I4, S_OK, CComVariant(4)},
        {"negative half", CComVariant(-2.5), VT_I4, S_OK, CComVariant(-2)},
        {"I4 upper bound", CComVariant(2147483647.0), VT_I4, S_OK, CComVariant(2147483647)},
        {"I4 overflow", CComVariant(2147483648.0), VT_I4, DISP_E_OVERFLOW, CComVariant()},
        {"I2 overflow", CComVariant(40000), VT_I2, DISP_E_OVERFLOW, CComVariant()},
        {"I2 lower bound", CComVariant(-32768), VT_I2, S_OK, CComVariant(SHORT(-32768))},
        {"negative to unsigned", CComVariant(-1), VT_UI4, DISP_E_OVERFLOW, CComVariant()},
        {"UI4 max", CComVariant(4294967295.0), VT_UI4, S_OK, CComVariant(ULONG(4294967295u))},
        {"R4 overflow", CComVariant(1e300), VT_R4, DISP_E_OVERFLOW, CComVariant()},
        {"NaN to int", CComVariant(std::nan("")), VT_I4, DISP_E_OVERFLOW, CComVariant()},
        {"true to int", CComVariant(true), VT_I4, S_OK, CComVariant(-1)},
        {"zero to bool", CComVariant(0.0), VT_BOOL, S_OK, CComVariant(false)},
        {"non-zero to bool", CComVariant(0.25), VT_BOOL, S_OK, CComVariant(true)},
        {"empty to int", CComVariant(), VT_I4, S_OK, CComVariant(0)},
        {"empty to text", CComVariant(), VT_BSTR, S_OK, CComVariant(L"")},
        {"text to double", CComVariant(L" 12.5 "), VT_R8, S_OK, CComVariant(12.5)},
        {"text with exponent", CComVariant(L"-1.5e3"), VT_I4, S_OK, CComVariant(-1500)},
        {"big integer text", CComVariant(L"9223372036854775807"), VT_I8, S_OK, CComVariant(LONGLONG(9223372036854775807))},
        {"text not a number", CComVariant(L"12a"), VT_R8, DISP_E_TYPEMISMATCH, CComVariant()},
        {"empty text", CComVariant(L""), VT_I4, DISP_E_TYPEMISMATCH, CComVariant()},
        {"half-typed exponent", CComVariant(L"1e"), VT_R8, DISP_E_TYPEMISMATCH, CComVariant()},
        {"text overflow", CComVariant(L"1e999"), VT_R8, DISP_E_OVERFLOW, CComVariant()},
        {"text underflow", CComVariant(L"1e-999"), VT_R8, S_OK, CComVariant(0.0)},
        {"text beyond I4", CComVariant(L"2147483648"), VT_I4, DISP_E_OVERFLOW, CComVariant()},
        {"text true", CComVariant(L"True"), VT_BOOL, S_OK, CComVariant(true)},
        {"text false", CComVariant(L"false"), VT_BOOL, S_OK, CComVariant(false)},
        {"double to text", CComVariant(0.1), VT_BSTR, S_OK, CComVariant(L"0.1")},
        {"int to text", CComVariant(-42), VT_BSTR, S_OK, CComVariant(L"-42")},
        {"bool to text", CComVariant(true), VT_BSTR, S_OK, CComVariant(L"-1")},
        {"null to int", [] {
             CComVariant n;
             n.vt = VT_NULL;
             return n;
         }(),
         VT_I4, DISP_E_TYPEMISMATCH, CComVariant()},
        {"number to object", CComVariant(1), VT_DISPATCH, DISP_E_TYPEMISMATCH, CComVariant()},
        {"to nothing", CComVariant(5), VT_EMPTY, S_OK, CComVariant()},
    };
    for (const auto& c : cases) {
        CComVariant out;
        EXPECT_EQ(c.hr, VariantChangeType(&out, &c.from, 0, c.to)) << c.name;
        if (SUCCEEDED(c.hr)) {
            EXPECT_TRUE(out == c.expected) << c.name;
        } else {
            EXPECT_EQ(VT_EMPTY, out.vt) << c.name;
        }
    }
    CComVariant alpha(true);
    EXPECT_EQ(S_OK, VariantChangeType(&alpha, &alpha, VARIANT_ALPHABOOL, VT_BSTR));
    EXPECT_STREQ(L"True", alpha.bstrVal);
}

TEST(Variant, TextUsesTheLocalesDecimalSeparator) {
    LocaleEnvironment german("de_DE.UTF-8");
    CComVariant text(L"12,5");
    CComVariant number;
    EXPECT_EQ(S_OK, VariantChangeType(&number, &text, 0, VT_R8));
    EXPECT_EQ(12.5, number.dblVal);
    CComVariant back;
    EXPECT_EQ(S_OK, VariantChangeType(&back, &number, 0, VT_BSTR));
    EXPECT_STREQ(L"12,5", back.bstrVal);
    CComVariant dotted(L"12.5");
    EXPECT_EQ(DISP_E_TYPEMISMATCH, VariantChangeType(&number, &dotted, 0, VT_R8));
    EXPECT_EQ(S_OK, VariantChangeTypeEx(&number, &dotted, 1033, 0, VT_R8));
    EXPECT_EQ(12.5, number.dblVal);
}

TEST(Variant, FailedConversionInPlaceKeepsTheValue) {
    CComVariant v(L"not a number");
    EXPECT_EQ(DISP_E_TYPEMISMATCH, v.ChangeType(VT_I4));
    EXPECT_EQ(VT_BSTR, v.vt);
    EXPECT_STREQ(L"not a number", v.bstrVal);
    EXPECT_EQ(S_OK, CComVariant(L"3").CopyTo(&v));  // replaces (and frees) the old text
    EXPECT_STREQ(L"3", v.bstrVal);
}

}  // namespace
