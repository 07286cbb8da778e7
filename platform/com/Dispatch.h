#pragma once
// IDispatch: calls by name. GetIDsOfNames turns a member name into a dispatch id, Invoke calls
// the member with its arguments in a DISPPARAMS block, in reverse order (the last argument
// first), as the framework passes them.
//
// DispatchObject is the base that lets a component expose methods and properties by name:
// it declares each member with AddMethod / AddProperty and gets GetIDsOfNames and Invoke,
// with argument count checks, argument conversion and exception information, for free.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/com/ComObject.h"
#include "platform/com/Variant.h"

using DISPID = LONG;
using MEMBERID = DISPID;

inline constexpr DISPID DISPID_UNKNOWN = -1;
inline constexpr DISPID DISPID_VALUE = 0;
inline constexpr DISPID DISPID_PROPERTYPUT = -3;
inline constexpr DISPID DISPID_NEWENUM = -4;

inline constexpr WORD DISPATCH_METHOD = 0x1;
inline constexpr WORD DISPATCH_PROPERTYGET = 0x2;
inline constexpr WORD DISPATCH_PROPERTYPUT = 0x4;
inline constexpr WORD DISPATCH_PROPERTYPUTREF = 0x8;

struct DISPPARAMS {
    VARIANTARG* rgvarg;       // arguments, last one first
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    PVOID pvReserved;
    HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
    SCODE scode;
};

struct ITypeInfo;

extern const IID IID_IDispatch;  // {00020400-0000-0000-C000-000000000046}

struct IDispatch : IUnknown {
    virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
    virtual HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** typeInfo) = 0;
    virtual HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO* excepInfo, UINT* argErr) = 0;

protected:
    ~IDispatch() = default;
};
ORV_INTERFACE(IDispatch, IUnknown, IID_IDispatch);
using LPDISPATCH = IDispatch*;

// Frees the texts of an EXCEPINFO and zeroes it.
void ClearExcepInfo(EXCEPINFO* info);

namespace orv::com {

// One call of a DispatchObject member: the arguments in natural order (0 = first argument).
class DispatchCall {
public:
    DispatchCall(WORD flags, const DISPPARAMS& params, VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr);

    WORD Flags() const { return flags_; }
    UINT Count() const { return params_.cArgs; }
    // The argument as passed (a by-reference VARIANT is followed); past the last argument, a
    // VT_ERROR holding DISP_E_PARAMNOTFOUND, as the framework marks an omitted argument.
    const VARIANT& Arg(UINT index) const;
    // The argument converted to vt into out (cleared by the caller, e.g. a CComVariant). A
    // failed conversion returns DISP_E_TYPEMISMATCH or DISP_E_OVERFLOW and records the
    // argument's position in the caller's argErr.
    HRESULT Get(UINT index, VARTYPE vt, VARIANT& out) const;
    HRESULT GetLong(UINT index, LONG& out) const;
    HRESULT GetDouble(UINT index, double& out) const;
    HRESULT GetBool(UINT index, bool& out) const;
    HRESULT GetString(UINT index, std::wstring& out) const;
    // An AddRef'ed object (null for VT_EMPTY); the caller releases it.
    HRESULT GetDispatch(UINT index, IDispatch** out) const;
    // The result slot (the caller's initialised VARIANT, cleared before the member runs); null
    // when the caller wants none.
    VARIANT* Result() const { return result_; }
    void SetResult(const VARIANT& value) const;
    // Reports a failure with a description in the caller's EXCEPINFO; returns DISP_E_EXCEPTION.
    HRESULT Raise(HRESULT code, const std::wstring& description, const std::wstring& source = L"") const;

private:
    WORD flags_;
    const DISPPARAMS& params_;
    VARIANT* result_;
    EXCEPINFO* excepInfo_;
    UINT* argErr_;
};

using DispatchMethod = std::function<HRESULT(const DispatchCall& call)>;

// The members of one dispatch interface, by name (compared without regard to case).
class DispatchTable {
public:
    // A method taking minArgs to maxArgs arguments (maxArgs -1: any number). The id is chosen
    // when DISPID_UNKNOWN is given (ids start at 1 in declaration order); DISPID_VALUE makes the
    // member the object's default.
    DISPID AddMethod(const std::wstring& name, DispatchMethod method, int minArgs = 0, int maxArgs = -1,
                     DISPID id = DISPID_UNKNOWN);
    // A property; a null getter or setter makes it write-only or read-only. The setter gets
    // the one value as argument 0 (for put and putref alike).
    DISPID AddProperty(const std::wstring& name, DispatchMethod getter, DispatchMethod setter,
                       DISPID id = DISPID_UNKNOWN);

    HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) const;
    HRESULT Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                   UINT* argErr) const;
    // The member's name, empty when unknown.
    std::wstring NameOf(DISPID id) const;

private:
    struct Member {
        std::wstring name;
        DispatchMethod method;
        DispatchMethod getter;
        DispatchMethod setter;
        int minArgs = 0;
        int maxArgs = -1;
        bool isProperty = false;
    };
    DISPID NextId(DISPID wanted);
    std::map<DISPID, Member> members_;
    std::map<std::wstring, DISPID> byName_;  // upper-cased names
    DISPID lastId_ = 0;
};

// Base of an object implementing Interface (IDispatch or a dual interface derived from it)
// and possibly more interfaces; the derived class declares its members in its constructor
// through Members().
template <class Interface = IDispatch, class... More>
class DispatchObject : public ComObject<Interface, More...> {
public:
    HRESULT GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** typeInfo) override {
        if (typeInfo) *typeInfo = nullptr;
        return E_NOTIMPL;
    }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        return table_.GetIDsOfNames(names, count, ids);
    }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                   UINT* argErr) override {
        return table_.Invoke(id, flags, params, result, excepInfo, argErr);
    }

protected:
    DispatchTable& Members() { return table_; }

private:
    DispatchTable table_;
};

}  // namespace orv::com
