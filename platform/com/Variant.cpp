#include "platform/com/Variant.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <limits>
#include <optional>
#include <utility>

#include "platform/com/Dispatch.h"
#include "platform/com/RecordInfo.h"
#include "platform/com/SafeArray.h"

namespace {

// Byte size of a scalar the variant can point to by reference; 0 for other types.
std::size_t ScalarSize(VARTYPE vt) {
    switch (vt) {
        case VT_I1:
        case VT_UI1:
            return 1;
        case VT_I2:
        case VT_UI2:
        case VT_BOOL:
            return 2;
        case VT_I4:
        case VT_UI4:
        case VT_INT:
        case VT_UINT:
        case VT_ERROR:
        case VT_R4:
            return 4;
        case VT_I8:
        case VT_UI8:
        case VT_R8:
        case VT_DATE:
        case VT_CY:
            return 8;
        default:
            return 0;
    }
}

bool IsKnownType(VARTYPE vt) {
    const VARTYPE base = vt & VT_TYPEMASK;
    if (vt & VT_ARRAY) return base != VT_EMPTY && base != VT_NULL;
    if (vt & VT_BYREF) return base == VT_VARIANT || base == VT_BSTR || base == VT_DISPATCH || base == VT_UNKNOWN ||
                              base == VT_RECORD || ScalarSize(base) != 0 || base == VT_DECIMAL;
    return vt == VT_EMPTY || vt == VT_NULL || vt == VT_BSTR || vt == VT_DISPATCH || vt == VT_UNKNOWN ||
           vt == VT_RECORD || ScalarSize(vt) != 0;
}

// The numeric value of a (dereferenced) variant; long double holds every 64-bit integer and
// every double exactly.
std::optional<long double> NumberOf(const VARIANT& v) {
    switch (v.vt) {
        case VT_EMPTY:
            return 0.0L;
        case VT_I1:
            return (long double)v.cVal;
        case VT_I2:
            return (long double)v.iVal;
        case VT_I4:
            return (long double)v.lVal;
        case VT_INT:
            return (long double)v.intVal;
        case VT_I8:
            return (long double)v.llVal;
        case VT_UI1:
            return (long double)v.bVal;
        case VT_UI2:
            return (long double)v.uiVal;
        case VT_UI4:
            return (long double)v.ulVal;
        case VT_UINT:
            return (long double)v.uintVal;
        case VT_UI8:
            return (long double)v.ullVal;
        case VT_R4:
            return (long double)v.fltVal;
        case VT_R8:
            return (long double)v.dblVal;
        case VT_BOOL:
            return v.boolVal ? -1.0L : 0.0L;
        default:
            return std::nullopt;
    }
}

template <class T>
HRESULT ToInteger(long double x, T& out) {
    if (std::isnan(x)) return DISP_E_OVERFLOW;
    const long double r = std::nearbyint(x);  // round half to even, as the framework does
    if (r < (long double)std::numeric_limits<T>::min() || r > (long double)std::numeric_limits<T>::max())
        return DISP_E_OVERFLOW;
    out = T(r);
    return S_OK;
}

HRESULT StoreNumber(long double x, VARTYPE vt, VARIANT& out) {
    VariantInit(&out);
    HRESULT hr = S_OK;
    switch (vt) {
        case VT_I1: hr = ToInteger(x, out.cVal); break;
        case VT_I2: hr = ToInteger(x, out.iVal); break;
        case VT_I4: hr = ToInteger(x, out.lVal); break;
        case VT_INT: hr = ToInteger(x, out.intVal); break;
        case VT_I8: hr = ToInteger(x, out.llVal); break;
        case VT_UI1: hr = ToInteger(x, out.bVal); break;
        case VT_UI2: hr = ToInteger(x, out.uiVal); break;
        case VT_UI4: hr = ToInteger(x, out.ulVal); break;
        case VT_UINT: hr = ToInteger(x, out.uintVal); break;
        case VT_UI8: hr = ToInteger(x, out.ullVal); break;
        case VT_R4:
            if (std::isinf(x) || (std::isfinite(x) && std::fabs(x) > FLT_MAX)) return DISP_E_OVERFLOW;
            out.fltVal = float(x);
            break;
        case VT_R8:
            if (std::isinf(x) || (std::isfinite(x) && std::fabs(x) > DBL_MAX)) return DISP_E_OVERFLOW;
            out.dblVal = double(x);
            break;
        case VT_BOOL:
            out.boolVal = x != 0 ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        default:
            return DISP_E_TYPEMISMATCH;
    }
    if (FAILED(hr)) return hr;
    out.vt = vt;
    return S_OK;
}

wchar_t DecimalSeparator(LCID lcid) {
    wchar_t buf[8] = {};
    if (GetLocaleInfo(lcid, LOCALE_SDECIMAL, buf, 8) >= 2) return buf[0];
    return L'.';
}

std::wstring Trim(std::wstring_view s) {
    std::size_t a = 0, b = s.size();
    while (a < b && std::iswspace(wint_t(s[a]))) ++a;
    while (b > a && std::iswspace(wint_t(s[b - 1]))) --b;
    return std::wstring(s.substr(a, b - a));
}

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::towlower(wint_t(a[i])) != std::towlower(wint_t(b[i]))) return false;
    return true;
}

// Parses a number written with the locale's decimal separator: optional sign, digits, an
// optional fraction and an optional exponent, surrounded by optional spaces. A number beyond
// any double's range gives an infinity (which then overflows), one too small gives 0.
std::optional<long double> ParseNumber(std::wstring_view text, wchar_t separator) {
    const std::wstring t = Trim(text);
    if (t.empty()) return std::nullopt;
    std::string ascii;
    bool integral = true, digits = false;
    std::size_t i = 0;
    if (t[i] == L'+' || t[i] == L'-') {
        if (t[i] == L'-') ascii += '-';
        ++i;
    }
    for (; i < t.size() && t[i] >= L'0' && t[i] <= L'9'; ++i, digits = true) ascii += char(t[i]);
    if (i < t.size() && t[i] == separator) {
        integral = false;
        ascii += '.';
        for (++i; i < t.size() && t[i] >= L'0' && t[i] <= L'9'; ++i, digits = true) ascii += char(t[i]);
    }
    if (!digits) return std::nullopt;
    if (i < t.size() && (t[i] == L'e' || t[i] == L'E')) {
        integral = false;
        ascii += 'e';
        ++i;
        if (i < t.size() && (t[i] == L'+' || t[i] == L'-')) ascii += char(t[i++]);
        bool expDigits = false;
        for (; i < t.size() && t[i] >= L'0' && t[i] <= L'9'; ++i, expDigits = true) ascii += char(t[i]);
        if (!expDigits) return std::nullopt;
    }
    if (i != t.size()) return std::nullopt;
    const char* first = ascii.data();
    const char* last = first + ascii.size();
    if (integral) {
        if (ascii[0] == '-') {
            long long v = 0;
            auto r = std::from_chars(first, last, v);
            if (r.ec == std::errc() && r.ptr == last) return (long double)v;
        } else {
            unsigned long long v = 0;
            auto r = std::from_chars(first, last, v);
            if (r.ec == std::errc() && r.ptr == last) return (long double)v;
        }
    }
    double d = 0;
    auto r = std::from_chars(first, last, d);
    if (r.ptr != last) return std::nullopt;
    if (r.ec == std::errc::result_out_of_range) {
        long double wide = 0;
        auto w = std::from_chars(first, last, wide);
        const bool tiny = w.ec == std::errc() ? std::fabs(wide) < 1 : ascii.find("e-") != std::string::npos;
        if (tiny) return 0.0L;
        return ascii[0] == '-' ? -std::numeric_limits<long double>::infinity()
                               : std::numeric_limits<long double>::infinity();
    }
    if (r.ec != std::errc()) return std::nullopt;
    return (long double)d;
}

std::wstring FormatNumber(const VARIANT& v, LCID lcid, USHORT flags) {
    wchar_t buf[64];
    switch (v.vt) {
        case VT_EMPTY:
            return L"";
        case VT_BOOL:
            if (flags & VARIANT_ALPHABOOL) return v.boolVal ? L"True" : L"False";
            return v.boolVal ? L"-1" : L"0";
        case VT_R4:
            std::swprintf(buf, 64, L"%.7g", double(v.fltVal));
            break;
        case VT_R8:
            std::swprintf(buf, 64, L"%.15g", v.dblVal);
            break;
        case VT_UI8:
            std::swprintf(buf, 64, L"%llu", (unsigned long long)v.ullVal);
            return buf;
        default:
            std::swprintf(buf, 64, L"%lld", (long long)*NumberOf(v));
            return buf;
    }
    std::wstring s = buf;
    const wchar_t sep = DecimalSeparator(lcid);
    for (auto& c : s)
        if (c == L'.') c = sep;
    return s;
}

HRESULT QueryTo(IUnknown* object, VARTYPE vt, VARIANT& out) {
    VariantInit(&out);
    if (!object) {
        out.vt = vt;
        out.punkVal = nullptr;
        return S_OK;
    }
    void* p = nullptr;
    const HRESULT hr = object->QueryInterface(vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown, &p);
    if (FAILED(hr)) return hr == E_NOINTERFACE ? DISP_E_TYPEMISMATCH : hr;
    out.vt = vt;
    out.punkVal = static_cast<IUnknown*>(p);
    if (vt == VT_DISPATCH) out.pdispVal = static_cast<IDispatch*>(p);
    return S_OK;
}

// The default property (DISPID_VALUE) of an object.
HRESULT DefaultValue(IUnknown* object, VARIANT& out) {
    VariantInit(&out);
    if (!object) return DISP_E_TYPEMISMATCH;
    IDispatch* disp = nullptr;
    if (FAILED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&disp))) || !disp)
        return DISP_E_TYPEMISMATCH;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    const HRESULT hr = disp->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &out,
                                    nullptr, nullptr);
    disp->Release();
    if (FAILED(hr)) {
        VariantClear(&out);
        return DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

HRESULT Convert(const VARIANT& src, LCID lcid, USHORT flags, VARTYPE vt, VARIANT& out, int depth) {
    VariantInit(&out);
    if (src.vt == vt) return VariantCopy(&out, &src);
    if (vt == VT_EMPTY) return S_OK;
    if ((vt & (VT_ARRAY | VT_BYREF)) || (src.vt & VT_ARRAY) || vt == VT_RECORD || src.vt == VT_RECORD)
        return DISP_E_TYPEMISMATCH;
    if (!IsKnownType(vt) || vt == VT_VARIANT) return DISP_E_BADVARTYPE;
    if (vt == VT_DATE || vt == VT_CY || src.vt == VT_DATE || src.vt == VT_CY || src.vt == VT_DECIMAL)
        return DISP_E_BADVARTYPE;
    if (src.vt == VT_NULL) return vt == VT_NULL ? S_OK : DISP_E_TYPEMISMATCH;
    if (vt == VT_NULL) return DISP_E_TYPEMISMATCH;
    if (vt == VT_ERROR || src.vt == VT_ERROR) {
        if (vt == VT_ERROR && (src.vt == VT_I4 || src.vt == VT_UI4)) {
            out.vt = VT_ERROR;
            out.scode = src.lVal;
            return S_OK;
        }
        return DISP_E_TYPEMISMATCH;
    }
    if (src.vt == VT_DISPATCH || src.vt == VT_UNKNOWN) {
        if (vt == VT_DISPATCH || vt == VT_UNKNOWN) return QueryTo(src.punkVal, vt, out);
        if ((flags & VARIANT_NOVALUEPROP) || depth > 4) return DISP_E_TYPEMISMATCH;
        VARIANT value;
        HRESULT hr = DefaultValue(src.punkVal, value);
        if (FAILED(hr)) return hr;
        hr = Convert(value, lcid, flags, vt, out, depth + 1);
        VariantClear(&value);
        return hr;
    }
    if (vt == VT_DISPATCH || vt == VT_UNKNOWN) return DISP_E_TYPEMISMATCH;
    if (vt == VT_BSTR) {
        const std::wstring s = FormatNumber(src, lcid, flags);
        out.bstrVal = SysAllocStringLen(s.data(), UINT(s.size()));
        if (!out.bstrVal) return E_OUTOFMEMORY;
        out.vt = VT_BSTR;
        return S_OK;
    }
    std::optional<long double> number;
    if (src.vt == VT_BSTR) {
        const std::wstring_view text(src.bstrVal ? src.bstrVal : L"", SysStringLen(src.bstrVal));
        if (vt == VT_BOOL) {
            const std::wstring t = Trim(text);
            if (EqualsNoCase(t, L"True") || EqualsNoCase(t, L"#TRUE#")) return StoreNumber(-1, VT_BOOL, out);
            if (EqualsNoCase(t, L"False") || EqualsNoCase(t, L"#FALSE#")) return StoreNumber(0, VT_BOOL, out);
        }
        number = ParseNumber(text, DecimalSeparator(lcid));
    } else {
        number = NumberOf(src);
    }
    if (!number) return DISP_E_TYPEMISMATCH;
    return StoreNumber(*number, vt, out);
}

}  // namespace

void VariantInit(VARIANT* v) {
    if (!v) return;
    v->vt = VT_EMPTY;
    v->wReserved1 = v->wReserved2 = v->wReserved3 = 0;
    v->llVal = 0;
    v->pRecInfo = nullptr;
}

HRESULT VariantClear(VARIANT* v) {
    if (!v) return E_INVALIDARG;
    if (!IsKnownType(v->vt)) return DISP_E_BADVARTYPE;
    if (!(v->vt & VT_BYREF)) {
        if (v->vt & VT_ARRAY) {
            const HRESULT hr = SafeArrayDestroy(v->parray);
            if (FAILED(hr)) return hr;
        } else {
            switch (v->vt) {
                case VT_BSTR:
                    SysFreeString(v->bstrVal);
                    break;
                case VT_DISPATCH:
                case VT_UNKNOWN:
                    if (v->punkVal) v->punkVal->Release();
                    break;
                case VT_RECORD:
                    if (v->pRecInfo) {
                        if (v->pvRecord) v->pRecInfo->RecordDestroy(v->pvRecord);
                        v->pRecInfo->Release();
                    }
                    break;
                default:
                    break;
            }
        }
    }
    VariantInit(v);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src) {
    if (!dest || !src) return E_INVALIDARG;
    if (dest == src) return S_OK;
    if (!IsKnownType(src->vt)) return DISP_E_BADVARTYPE;
    VARIANT copy = *src;
    if (!(src->vt & VT_BYREF)) {
        if (src->vt & VT_ARRAY) {
            copy.parray = nullptr;
            if (src->parray) {
                const HRESULT hr = SafeArrayCopy(src->parray, &copy.parray);
                if (FAILED(hr)) return hr;
            }
        } else if (src->vt == VT_BSTR) {
            copy.bstrVal = src->bstrVal ? SysAllocStringByteLen(reinterpret_cast<LPCSTR>(src->bstrVal),
                                                                SysStringByteLen(src->bstrVal))
                                        : nullptr;
            if (src->bstrVal && !copy.bstrVal) return E_OUTOFMEMORY;
        } else if (src->vt == VT_DISPATCH || src->vt == VT_UNKNOWN) {
            if (copy.punkVal) copy.punkVal->AddRef();
        } else if (src->vt == VT_RECORD) {
            copy.pvRecord = nullptr;
            if (src->pRecInfo) {
                if (src->pvRecord) {
                    const HRESULT hr = src->pRecInfo->RecordCreateCopy(src->pvRecord, &copy.pvRecord);
                    if (FAILED(hr)) return hr;
                }
                src->pRecInfo->AddRef();
            }
        }
    }
    const HRESULT hr = VariantClear(dest);
    if (FAILED(hr)) {
        VariantClear(&copy);
        return hr;
    }
    *dest = copy;
    return S_OK;
}

HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* src) {
    if (!dest || !src) return E_INVALIDARG;
    if (!(src->vt & VT_BYREF)) return VariantCopy(dest, src);
    if (!IsKnownType(src->vt) || !src->byref) return E_INVALIDARG;
    const VARTYPE base = src->vt & ~VT_BYREF;
    VARIANT value;
    VariantInit(&value);
    value.vt = base;
    HRESULT hr = S_OK;
    if (base == VT_VARIANT) {
        if (src->pvarVal->vt & VT_BYREF) return E_INVALIDARG;
        VariantInit(&value);
        hr = VariantCopy(&value, src->pvarVal);
        if (FAILED(hr)) return hr;
    } else if (base & VT_ARRAY) {
        VARIANT view = value;
        view.parray = *src->pparray;
        hr = VariantCopy(&value, &view);
        if (FAILED(hr)) return hr;
    } else if (base == VT_RECORD) {
        VARIANT view = value;
        view.pvRecord = src->pvRecord;
        view.pRecInfo = src->pRecInfo;
        hr = VariantCopy(&value, &view);
        if (FAILED(hr)) return hr;
    } else if (base == VT_BSTR) {
        VARIANT view = value;
        view.bstrVal = *src->pbstrVal;
        hr = VariantCopy(&value, &view);
        if (FAILED(hr)) return hr;
    } else if (base == VT_DISPATCH || base == VT_UNKNOWN) {
        value.punkVal = *src->ppunkVal;
        if (value.punkVal) value.punkVal->AddRef();
    } else if (std::size_t size = ScalarSize(base)) {
        std::memcpy(&value.llVal, src->byref, size);
    } else {
        return DISP_E_BADVARTYPE;
    }
    hr = VariantClear(dest);
    if (FAILED(hr)) {
        VariantClear(&value);
        return hr;
    }
    *dest = value;
    return S_OK;
}

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt) {
    return VariantChangeTypeEx(dest, src, LOCALE_USER_DEFAULT, flags, vt);
}

HRESULT VariantChangeTypeEx(VARIANT* dest, const VARIANT* src, LCID lcid, USHORT flags, VARTYPE vt) {
    if (!dest || !src) return E_INVALIDARG;
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = VariantCopyInd(&value, src);
    if (FAILED(hr)) return hr;
    VARIANT out;
    hr = Convert(value, lcid, flags, vt, out, 0);
    VariantClear(&value);
    if (FAILED(hr)) {
        VariantClear(&out);
        return hr;
    }
    hr = VariantClear(dest);
    if (FAILED(hr)) {
        VariantClear(&out);
        return hr;
    }
    *dest = out;
    return S_OK;
}

CComVariant::CComVariant(const VARIANT& other) {
    VariantInit(this);
    VariantCopy(this, &other);
}

CComVariant::CComVariant(const CComVariant& other) : CComVariant(static_cast<const VARIANT&>(other)) {}

CComVariant::CComVariant(CComVariant&& other) noexcept : VARIANT(other) { VariantInit(&other); }

CComVariant::CComVariant(LPCOLESTR text) {
    VariantInit(this);
    vt = VT_BSTR;
    bstrVal = SysAllocString(text ? text : L"");
}

CComVariant::CComVariant(const std::wstring& text) {
    VariantInit(this);
    vt = VT_BSTR;
    bstrVal = SysAllocStringLen(text.data(), UINT(text.size()));
}

CComVariant::CComVariant(bool value) {
    VariantInit(this);
    vt = VT_BOOL;
    boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

CComVariant::CComVariant(SHORT value) {
    VariantInit(this);
    vt = VT_I2;
    iVal = value;
}

CComVariant::CComVariant(int value, VARTYPE type) {
    VariantInit(this);
    if (type == VT_ERROR) {
        vt = VT_ERROR;
        scode = value;
    } else if (type == VT_INT) {
        vt = VT_INT;
        intVal = value;
    } else {
        vt = VT_I4;
        lVal = value;
    }
}

CComVariant::CComVariant(ULONG value) {
    VariantInit(this);
    vt = VT_UI4;
    ulVal = value;
}

CComVariant::CComVariant(LONGLONG value) {
    VariantInit(this);
    vt = VT_I8;
    llVal = value;
}

CComVariant::CComVariant(double value) {
    VariantInit(this);
    vt = VT_R8;
    dblVal = value;
}

CComVariant::CComVariant(float value) {
    VariantInit(this);
    vt = VT_R4;
    fltVal = value;
}

CComVariant::CComVariant(BYTE value) {
    VariantInit(this);
    vt = VT_UI1;
    bVal = value;
}

CComVariant::CComVariant(IDispatch* object) {
    VariantInit(this);
    vt = VT_DISPATCH;
    pdispVal = object;
    if (object) object->AddRef();
}

CComVariant::CComVariant(IUnknown* object) {
    VariantInit(this);
    vt = VT_UNKNOWN;
    punkVal = object;
    if (object) object->AddRef();
}

CComVariant& CComVariant::operator=(const CComVariant& other) {
    VariantCopy(this, &other);
    return *this;
}

CComVariant& CComVariant::operator=(CComVariant&& other) noexcept {
    if (this != &other) {
        VariantClear(this);
        static_cast<VARIANT&>(*this) = other;
        VariantInit(&other);
    }
    return *this;
}

CComVariant& CComVariant::operator=(const VARIANT& other) {
    VariantCopy(this, &other);
    return *this;
}

HRESULT CComVariant::CopyTo(VARIANT* dest) const {
    if (!dest) return E_POINTER;
    return VariantCopy(dest, this);
}

HRESULT CComVariant::Attach(VARIANT* src) {
    if (!src) return E_INVALIDARG;
    const HRESULT hr = VariantClear(this);
    if (FAILED(hr)) return hr;
    static_cast<VARIANT&>(*this) = *src;
    VariantInit(src);
    return S_OK;
}

HRESULT CComVariant::Detach(VARIANT* dest) {
    if (!dest) return E_POINTER;
    const HRESULT hr = VariantClear(dest);
    if (FAILED(hr)) return hr;
    *dest = *this;
    VariantInit(this);
    return S_OK;
}

HRESULT CComVariant::ChangeType(VARTYPE type, const VARIANT* src) {
    return VariantChangeType(this, src ? src : this, 0, type);
}

bool operator==(const CComVariant& a, const CComVariant& b) {
    if (a.vt != b.vt) return false;
    if (a.vt & VT_BYREF) return a.byref == b.byref;
    if (a.vt & VT_ARRAY) return a.parray == b.parray;
    switch (a.vt) {
        case VT_EMPTY:
        case VT_NULL:
            return true;
        case VT_BSTR:
            return SysStringByteLen(a.bstrVal) == SysStringByteLen(b.bstrVal) &&
                   (SysStringByteLen(a.bstrVal) == 0 ||
                    std::memcmp(a.bstrVal, b.bstrVal, SysStringByteLen(a.bstrVal)) == 0);
        case VT_DISPATCH:
        case VT_UNKNOWN:
            return a.punkVal == b.punkVal;
        case VT_RECORD:
            return a.pvRecord == b.pvRecord && a.pRecInfo == b.pRecInfo;
        case VT_R4:
            return a.fltVal == b.fltVal;
        case VT_R8:
        case VT_DATE:
            return a.dblVal == b.dblVal;
        default:
            return std::memcmp(&a.llVal, &b.llVal, ScalarSize(a.vt)) == 0;
    }
}
