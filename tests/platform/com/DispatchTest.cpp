#include <gtest/gtest.h>

#include <stdexcept>

#include "TestObjects.h"
#include "platform/com/Dispatch.h"

namespace {

using namespace orv::com::test;

// An automation object in the way components declare theirs.
class Calculator final : public orv::com::DispatchObject<IDispatch> {
public:
    Calculator() {
        Members().AddMethod(
            L"Subtract",
            [](const orv::com::DispatchCall& call) {
                double a = 0, b = 0;
                HRESULT hr = call.GetDouble(0, a);
                if (SUCCEEDED(hr)) hr = call.GetDouble(1, b);
                if (FAILED(hr)) return hr;
                call.SetResult(CComVariant(a - b));
                return S_OK;
            },
            2, 2);
        Members().AddMethod(
            L"Join",
            [](const orv::com::DispatchCall& call) {
                std::wstring joined;
                for (UINT i = 0; i < call.Count(); ++i) {
                    std::wstring part;
                    if (HRESULT hr = call.GetString(i, part); FAILED(hr)) return hr;
                    joined += part;
                }
                call.SetResult(CComVariant(joined));
                return S_OK;
            },
            0, -1);
        Members().AddMethod(L"Fail", [](const orv::com::DispatchCall& call) {
            return call.Raise(E_INVALIDARG, L"The range editor needs a model.", L"Calculator");
        });
        Members().AddMethod(L"Throw", [](const orv::com::DispatchCall&) -> HRESULT {
            throw std::runtime_error("unexpected state");
        });
        Members().AddProperty(
            L"Units",
            [this](const orv::com::DispatchCall& call) {
                call.SetResult(units_);
                return S_OK;
            },
            [this](const orv::com::DispatchCall& call) {
                units_ = call.Arg(0);
                return S_OK;
            });
        Members().AddProperty(
            L"Version",
            [](const orv::com::DispatchCall& call) {
                call.SetResult(CComVariant(2));
                return S_OK;
            },
            nullptr, DISPID_VALUE);
    }

private:
    CComVariant units_;
};

DISPID IdOf(IDispatch* object, const wchar_t* name) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = 12345;
    object->GetIDsOfNames(IID_NULL, names, 1, 2048, &id);
    return id;
}

// Calls with the arguments in natural order; they are passed reversed, as callers do.
HRESULT Call(IDispatch* object, const wchar_t* name, std::vector<CComVariant> args, CComVariant* result,
             UINT* argErr = nullptr, EXCEPINFO* info = nullptr) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), nullptr, UINT(reversed.size()), 0};
    return object->Invoke(IdOf(object, name), IID_NULL, 2048, DISPATCH_METHOD, &params, result, info, argErr);
}

TEST(Dispatch, NamesAreLookedUpWithoutRegardToCase) {
    CComPtr<IDispatch> calc(new Calculator);
    const DISPID subtract = IdOf(calc, L"Subtract");
    EXPECT_GT(subtract, 0);
    EXPECT_EQ(subtract, IdOf(calc, L"SUBTRACT"));
    EXPECT_EQ(DISPID_VALUE, IdOf(calc, L"version"));
    EXPECT_EQ(DISPID_UNKNOWN, IdOf(calc, L"Orv_NonLinearAdd"));

    LPOLESTR names[] = {const_cast<LPOLESTR>(L"Missing")};
    DISPID id = 0;
    EXPECT_EQ(DISP_E_UNKNOWNNAME, calc->GetIDsOfNames(IID_NULL, names, 1, 2048, &id));
    LPOLESTR withParameter[] = {const_cast<LPOLESTR>(L"Subtract"), const_cast<LPOLESTR>(L"a")};
    DISPID ids[2] = {};
    EXPECT_EQ(DISP_E_UNKNOWNNAME, calc->GetIDsOfNames(IID_NULL, withParameter, 2, 2048, ids));
    EXPECT_EQ(subtract, ids[0]);
    EXPECT_EQ(DISPID_UNKNOWN, ids[1]);
    UINT count = 9;
    EXPECT_EQ(S_OK, calc->GetTypeInfoCount(&count));
    EXPECT_EQ(0u, count);
}

TEST(Dispatch, ArgumentsArriveInReverseOrder) {
    CComPtr<IDispatch> calc(new Calculator);
    CComVariant result;
    EXPECT_EQ(S_OK, Call(calc, L"Subtract", {CComVariant(10), CComVariant(L"3")}, &result));
    EXPECT_EQ(VT_R8, result.vt);
    EXPECT_EQ(7.0, result.dblVal);
    EXPECT_EQ(S_OK, Call(calc, L"Join", {CComVariant(L"a"), CComVariant(1), CComVariant(L"c")}, &result));
    EXPECT_STREQ(L"a1c", result.bstrVal);
    EXPECT_EQ(S_OK, Call(calc, L"join", {}, &result));
    EXPECT_STREQ(L"", result.bstrVal);
    EXPECT_EQ(S_OK, Call(calc, L"Subtract", {CComVariant(1), CComVariant(1)}, nullptr));  // result not wanted
}

TEST(Dispatch, BadCallsFailWithTheFrameworksCodes) {
    CComPtr<IDispatch> calc(new Calculator);
    CComVariant result;
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(calc, L"Subtract", {CComVariant(1)}, &result));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(calc, L"Subtract", {CComVariant(1), CComVariant(2), CComVariant(3)}, &result));
    UINT argErr = 99;
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(calc, L"Subtract", {CComVariant(1), CComVariant(L"two")}, &result, &argErr));
    EXPECT_EQ(0u, argErr);  // position in the reversed block: the last argument
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(calc, L"Subtract", {CComVariant(L"one"), CComVariant(2)}, &result, &argErr));
    EXPECT_EQ(1u, argErr);
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, calc->Invoke(777, IID_NULL, 2048, DISPATCH_METHOD, nullptr, &result, nullptr, nullptr));

    DISPID named = 1;
    CComVariant arg(1);
    DISPPARAMS withNames{&arg, &named, 1, 1};
    EXPECT_EQ(DISP_E_NONAMEDARGS,
              calc->Invoke(IdOf(calc, L"Join"), IID_NULL, 2048, DISPATCH_METHOD, &withNames, &result, nullptr, nullptr));
    // A read-only property cannot be put.
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS putParams{&arg, &put, 1, 1};
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND,
              calc->Invoke(DISPID_VALUE, IID_NULL, 2048, DISPATCH_PROPERTYPUT, &putParams, nullptr, nullptr, nullptr));
}

TEST(Dispatch, FailuresCarryExceptionInformation) {
    CComPtr<IDispatch> calc(new Calculator);
    CComVariant result;
    EXCEPINFO info{};
    EXPECT_EQ(DISP_E_EXCEPTION, Call(calc, L"Fail", {}, &result, nullptr, &info));
    EXPECT_EQ(E_INVALIDARG, info.scode);
    EXPECT_STREQ(L"The range editor needs a model.", info.bstrDescription);
    EXPECT_STREQ(L"Calculator", info.bstrSource);
    ClearExcepInfo(&info);
    EXPECT_EQ(DISP_E_EXCEPTION, Call(calc, L"Throw", {}, &result, nullptr, &info));
    EXPECT_STREQ(L"unexpected state", info.bstrDescription);
    ClearExcepInfo(&info);
    EXPECT_EQ(DISP_E_EXCEPTION, Call(calc, L"Throw", {}, &result));  // no EXCEPINFO: still no exception escapes
}

TEST(Dispatch, PropertiesAreGotAndPut) {
    CComPtr<IDispatch> calc(new Calculator);
    const DISPID units = IdOf(calc, L"Units");
    CComPtr<ICounter> converter(new Counter);
    CComVariant value(static_cast<IUnknown*>(converter.p));
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &put, 1, 1};
    EXPECT_EQ(S_OK, calc->Invoke(units, IID_NULL, 2048, DISPATCH_PROPERTYPUTREF, &params, nullptr, nullptr, nullptr));
    EXPECT_EQ(3u, RefCount(converter));  // the variant and the property hold it

    CComVariant got;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(S_OK, calc->Invoke(units, IID_NULL, 2048, DISPATCH_PROPERTYGET, &none, &got, nullptr, nullptr));
    EXPECT_EQ(VT_UNKNOWN, got.vt);
    EXPECT_EQ(static_cast<IUnknown*>(converter.p), got.punkVal);

    CComVariant twoValues[2] = {CComVariant(1), CComVariant(2)};
    DISPPARAMS tooMany{twoValues, nullptr, 2, 0};
    EXPECT_EQ(DISP_E_BADPARAMCOUNT,
              calc->Invoke(units, IID_NULL, 2048, DISPATCH_PROPERTYGET, &tooMany, &got, nullptr, nullptr));
    DISPID wrong = 5;
    DISPPARAMS wrongName{&value, &wrong, 1, 1};
    EXPECT_EQ(DISP_E_PARAMNOTFOUND,
              calc->Invoke(units, IID_NULL, 2048, DISPATCH_PROPERTYPUT, &wrongName, nullptr, nullptr, nullptr));

    // The default property gives an object its value in conversions.
    CComVariant asObject(static_cast<IDispatch*>(calc.p));
    CComVariant number;
    EXPECT_EQ(S_OK, VariantChangeType(&number, &asObject, 0, VT_I4));
    EXPECT_EQ(2, number.lVal);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, VariantChangeType(&number, &asObject, VARIANT_NOVALUEPROP, VT_I4));
    CComVariant asUnknown;
    EXPECT_EQ(S_OK, VariantChangeType(&asUnknown, &asObject, 0, VT_UNKNOWN));
    EXPECT_EQ(VT_UNKNOWN, asUnknown.vt);
}

}  // namespace
