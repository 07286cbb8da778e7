#include "platform/com/Dispatch.h"

#include <cwctype>
#include <exception>

#include "platform/com/ErrorInfo.h"
#include "platform/win/Utf8.h"

const IID IID_IDispatch = orv::com::GuidLiteral(L"{00020400-0000-0000-C000-000000000046}");

void ClearExcepInfo(EXCEPINFO* info) {
    if (!info) return;
    SysFreeString(info->bstrSource);
    SysFreeString(info->bstrDescription);
    SysFreeString(info->bstrHelpFile);
    *info = EXCEPINFO{};
}

namespace orv::com {
namespace {

std::wstring Fold(std::wstring_view name) {
    std::wstring s(name);
    for (auto& c : s) c = wchar_t(std::towupper(wint_t(c)));
    return s;
}

const VARIANT& Deref(const VARIANT& v) {
    if (v.vt == (VT_VARIANT | VT_BYREF) && v.pvarVal) return *v.pvarVal;
    return v;
}

}  // namespace

DispatchCall::DispatchCall(WORD flags, const DISPPARAMS& params, VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr)
    : flags_(flags), params_(params), result_(result), excepInfo_(excepInfo), argErr_(argErr) {}

const VARIANT& DispatchCall::Arg(UINT index) const {
    static const VARIANT missing = [] {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_ERROR;
        v.scode = DISP_E_PARAMNOTFOUND;
        return v;
    }();
    if (index >= params_.cArgs) return missing;
    return Deref(params_.rgvarg[params_.cArgs - 1 - index]);
}

HRESULT DispatchCall::Get(UINT index, VARTYPE vt, VARIANT& out) const {
    if (index >= params_.cArgs) return DISP_E_PARAMNOTFOUND;
    const HRESULT hr = VariantChangeType(&out, &Arg(index), 0, vt);
    if (FAILED(hr) && argErr_) *argErr_ = params_.cArgs - 1 - index;
    if (hr == DISP_E_BADVARTYPE) return DISP_E_TYPEMISMATCH;
    return hr;
}

HRESULT DispatchCall::GetLong(UINT index, LONG& out) const {
    VARIANT v;
    VariantInit(&v);
    const HRESULT hr = Get(index, VT_I4, v);
    if (SUCCEEDED(hr)) out = v.lVal;
    VariantClear(&v);
    return hr;
}

HRESULT DispatchCall::GetDouble(UINT index, double& out) const {
    VARIANT v;
    VariantInit(&v);
    const HRESULT hr = Get(index, VT_R8, v);
    if (SUCCEEDED(hr)) out = v.dblVal;
    VariantClear(&v);
    return hr;
}

HRESULT DispatchCall::GetBool(UINT index, bool& out) const {
    VARIANT v;
    VariantInit(&v);
    const HRESULT hr = Get(index, VT_BOOL, v);
    if (SUCCEEDED(hr)) out = v.boolVal != VARIANT_FALSE;
    VariantClear(&v);
    return hr;
}

HRESULT DispatchCall::GetString(UINT index, std::wstring& out) const {
    VARIANT v;
    VariantInit(&v);
    const HRESULT hr = Get(index, VT_BSTR, v);
    if (SUCCEEDED(hr)) out.assign(v.bstrVal ? v.bstrVal : L"", SysStringLen(v.bstrVal));
    VariantClear(&v);
    return hr;
}

HRESULT DispatchCall::GetDispatch(UINT index, IDispatch** out) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index < params_.cArgs && Arg(index).vt == VT_EMPTY) return S_OK;
    VARIANT v;
    VariantInit(&v);
    const HRESULT hr = Get(index, VT_DISPATCH, v);
    if (SUCCEEDED(hr)) {
        *out = v.pdispVal;
        v.vt = VT_EMPTY;  // the reference moves to *out
    }
    VariantClear(&v);
    return hr;
}

void DispatchCall::SetResult(const VARIANT& value) const {
    if (result_) VariantCopy(result_, &value);
}

HRESULT DispatchCall::Raise(HRESULT code, const std::wstring& description, const std::wstring& source) const {
    if (excepInfo_) {
        ClearExcepInfo(excepInfo_);
        excepInfo_->scode = code;
        excepInfo_->bstrDescription = SysAllocStringLen(description.data(), UINT(description.size()));
        excepInfo_->bstrSource = SysAllocStringLen(source.data(), UINT(source.size()));
    }
    return DISP_E_EXCEPTION;
}

DISPID DispatchTable::NextId(DISPID wanted) {
    if (wanted != DISPID_UNKNOWN) return wanted;
    do {
        ++lastId_;
    } while (members_.count(lastId_));
    return lastId_;
}

DISPID DispatchTable::AddMethod(const std::wstring& name, DispatchMethod method, int minArgs, int maxArgs, DISPID id) {
    id = NextId(id);
    Member m;
    m.name = name;
    m.method = std::move(method);
    m.minArgs = minArgs;
    m.maxArgs = maxArgs;
    members_[id] = std::move(m);
    byName_[Fold(name)] = id;
    return id;
}

DISPID DispatchTable::AddProperty(const std::wstring& name, DispatchMethod getter, DispatchMethod setter, DISPID id) {
    id = NextId(id);
    Member m;
    m.name = name;
    m.getter = std::move(getter);
    m.setter = std::move(setter);
    m.isProperty = true;
    members_[id] = std::move(m);
    byName_[Fold(name)] = id;
    return id;
}

std::wstring DispatchTable::NameOf(DISPID id) const {
    auto it = members_.find(id);
    return it == members_.end() ? std::wstring() : it->second.name;
}

HRESULT DispatchTable::GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) const {
    if (!names || !ids) return E_INVALIDARG;
    if (count == 0) return S_OK;
    HRESULT hr = S_OK;
    auto it = names[0] ? byName_.find(Fold(names[0])) : byName_.end();
    if (it == byName_.end()) {
        ids[0] = DISPID_UNKNOWN;
        hr = DISP_E_UNKNOWNNAME;
    } else {
        ids[0] = it->second;
    }
    // Members take positional arguments only: named parameters are unknown names.
    for (UINT i = 1; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT DispatchTable::Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                              UINT* argErr) const {
    auto it = members_.find(id);
    if (it == members_.end()) return DISP_E_MEMBERNOTFOUND;
    const Member& m = it->second;
    static DISPPARAMS empty{nullptr, nullptr, 0, 0};
    if (!params) params = &empty;
    if (params->cArgs > 0 && !params->rgvarg) return E_INVALIDARG;
    if (params->cNamedArgs > params->cArgs) return E_INVALIDARG;

    const bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
    const DispatchMethod* target = nullptr;
    if (put) {
        if (!m.isProperty || !m.setter) return DISP_E_MEMBERNOTFOUND;
        if (params->cNamedArgs > 1 || (params->cNamedArgs == 1 && params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))
            return DISP_E_PARAMNOTFOUND;
        if (params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
        target = &m.setter;
        result = nullptr;
    } else {
        if (params->cNamedArgs > 0) return DISP_E_NONAMEDARGS;
        if (m.isProperty) {
            if (!(flags & DISPATCH_PROPERTYGET) || !m.getter) return DISP_E_MEMBERNOTFOUND;
            if (params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
            target = &m.getter;
        } else {
            if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
            if (int(params->cArgs) < m.minArgs || (m.maxArgs >= 0 && int(params->cArgs) > m.maxArgs))
                return DISP_E_BADPARAMCOUNT;
            target = &m.method;
        }
    }
    if (result) VariantClear(result);  // an initialised VARIANT; what it held is freed
    DispatchCall call(flags, *params, result, excepInfo, argErr);
    try {
        return (*target)(call);
    } catch (const _com_error& e) {
        if (result) VariantClear(result);
        const std::wstring d = e.Description();
        return call.Raise(e.Error(), d.empty() ? std::wstring(e.ErrorMessage()) : d, e.Source());
    } catch (const std::exception& e) {
        if (result) VariantClear(result);
        return call.Raise(E_FAIL, orv::Utf8ToWide(e.what()));
    } catch (...) {
        if (result) VariantClear(result);
        return call.Raise(E_UNEXPECTED, L"Unexpected failure in " + m.name);
    }
}

}  // namespace orv::com
