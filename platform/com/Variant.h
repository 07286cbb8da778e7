#pragma once
// VARIANT: the component model's tagged value, with the types the dialogs and components use.
// A VARIANT owns what it holds (a BSTR, an interface reference, an array, a record) unless the
// VT_BYREF bit is set; VariantClear frees it.

#include <string>

#include "platform/com/Bstr.h"
#include "platform/com/Unknown.h"
#include "platform/locale/Locale.h"

struct IDispatch;
struct IRecordInfo;
struct SAFEARRAY;

using VARTYPE = unsigned short;
using VARIANT_BOOL = short;
using SCODE = LONG;
using DATE = double;
using CHAR = char;
using FLOAT = float;
using DOUBLE = double;
using PVOID = void*;

inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_DECIMAL = 14,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_INT = 22,
    VT_UINT = 23,
    VT_VOID = 24,
    VT_HRESULT = 25,
    VT_RECORD = 36,
    VT_VECTOR = 0x1000,
    VT_ARRAY = 0x2000,
    VT_BYREF = 0x4000,
    VT_TYPEMASK = 0x0FFF,
};

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONGLONG llVal;
        LONG lVal;
        BYTE bVal;
        SHORT iVal;
        FLOAT fltVal;
        DOUBLE dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        DATE date;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        SAFEARRAY* parray;
        BYTE* pbVal;
        SHORT* piVal;
        LONG* plVal;
        LONGLONG* pllVal;
        FLOAT* pfltVal;
        DOUBLE* pdblVal;
        VARIANT_BOOL* pboolVal;
        SCODE* pscode;
        BSTR* pbstrVal;
        IUnknown** ppunkVal;
        IDispatch** ppdispVal;
        SAFEARRAY** pparray;
        VARIANT* pvarVal;
        PVOID byref;
        CHAR cVal;
        USHORT uiVal;
        ULONG ulVal;
        ULONGLONG ullVal;
        INT intVal;
        UINT uintVal;
        CHAR* pcVal;
        USHORT* puiVal;
        ULONG* pulVal;
        ULONGLONG* pullVal;
        INT* pintVal;
        UINT* puintVal;
        struct {
            PVOID pvRecord;
            IRecordInfo* pRecInfo;
        };
    };
};
using VARIANTARG = VARIANT;
using LPVARIANT = VARIANT*;

// Flags of VariantChangeType(Ex).
inline constexpr USHORT VARIANT_NOVALUEPROP = 0x1;
inline constexpr USHORT VARIANT_ALPHABOOL = 0x2;
inline constexpr USHORT VARIANT_NOUSEROVERRIDE = 0x4;

void VariantInit(VARIANT* v);
// Frees what v owns and leaves it VT_EMPTY. DISP_E_BADVARTYPE for a type it does not know.
HRESULT VariantClear(VARIANT* v);
// dest = copy of src (BSTRs and arrays copied, interfaces AddRef'ed, records copied); dest is
// cleared first. A by-reference src is copied as a reference.
HRESULT VariantCopy(VARIANT* dest, const VARIANT* src);
// As VariantCopy, but a by-reference src is copied as the value it refers to.
HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* src);
// Converts src to type vt into dest (dest may be src). Numbers convert with range checks
// (DISP_E_OVERFLOW), text is parsed and formatted with the decimal separator of the user's
// locale, VT_BOOL is -1 or 0, an object converts through its default property (DISPID_VALUE)
// unless VARIANT_NOVALUEPROP. DISP_E_TYPEMISMATCH when the conversion does not exist.
HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt);
HRESULT VariantChangeTypeEx(VARIANT* dest, const VARIANT* src, LCID lcid, USHORT flags, VARTYPE vt);

// A VARIANT that clears itself.
class CComVariant : public VARIANT {
public:
    CComVariant() { VariantInit(this); }
    CComVariant(const VARIANT& other);
    CComVariant(const CComVariant& other);
    CComVariant(CComVariant&& other) noexcept;
    CComVariant(LPCOLESTR text);
    CComVariant(const std::wstring& text);
    CComVariant(bool value);
    CComVariant(SHORT value);
    CComVariant(int value, VARTYPE type = VT_I4);
    CComVariant(ULONG value);
    CComVariant(LONGLONG value);
    CComVariant(double value);
    CComVariant(float value);
    CComVariant(BYTE value);
    CComVariant(IDispatch* object);
    CComVariant(IUnknown* object);
    ~CComVariant() { VariantClear(this); }

    CComVariant& operator=(const CComVariant& other);
    CComVariant& operator=(CComVariant&& other) noexcept;
    CComVariant& operator=(const VARIANT& other);

    HRESULT Clear() { return VariantClear(this); }
    HRESULT Copy(const VARIANT* src) { return VariantCopy(this, src); }
    // dest must hold a valid (initialised) VARIANT; its old value is cleared.
    HRESULT CopyTo(VARIANT* dest) const;
    HRESULT Attach(VARIANT* src);
    HRESULT Detach(VARIANT* dest);
    HRESULT ChangeType(VARTYPE vt, const VARIANT* src = nullptr);

    // Equal type and value (BSTR by text, interfaces by pointer, numbers exactly).
    friend bool operator==(const CComVariant& a, const CComVariant& b);
};
