#pragma once
// SAFEARRAY: a self-describing array of VARIANT-compatible elements, including records
// described by an IRecordInfo. The array owns its elements: destroying it frees BSTRs,
// releases interfaces, clears variants and records.

#include "platform/com/Variant.h"

struct SAFEARRAYBOUND {
    ULONG cElements;
    LONG lLbound;
};
using LPSAFEARRAYBOUND = SAFEARRAYBOUND*;

struct SAFEARRAY {
    USHORT cDims;
    USHORT fFeatures;
    ULONG cbElements;
    ULONG cLocks;
    PVOID pvData;
    // cDims bounds, the rightmost dimension first, as the framework stores them.
    SAFEARRAYBOUND rgsabound[1];
};
using LPSAFEARRAY = SAFEARRAY*;

inline constexpr USHORT FADF_AUTO = 0x0001;
inline constexpr USHORT FADF_STATIC = 0x0002;
inline constexpr USHORT FADF_EMBEDDED = 0x0004;
inline constexpr USHORT FADF_FIXEDSIZE = 0x0010;
inline constexpr USHORT FADF_RECORD = 0x0020;
inline constexpr USHORT FADF_HAVEIID = 0x0040;
inline constexpr USHORT FADF_HAVEVARTYPE = 0x0080;
inline constexpr USHORT FADF_BSTR = 0x0100;
inline constexpr USHORT FADF_UNKNOWN = 0x0200;
inline constexpr USHORT FADF_DISPATCH = 0x0400;
inline constexpr USHORT FADF_VARIANT = 0x0800;

// Element types: VT_I1, VT_I2, VT_I4, VT_I8, VT_UI1, VT_UI2, VT_UI4, VT_UI8, VT_INT, VT_UINT,
// VT_R4, VT_R8, VT_BOOL, VT_ERROR, VT_BSTR, VT_VARIANT, VT_UNKNOWN, VT_DISPATCH and VT_RECORD
// (only through the Ex forms, with the record's IRecordInfo as extra). Elements start zeroed.
// Null when the type is not allowed, a dimension count is 0 or memory runs out.
SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT dims, const SAFEARRAYBOUND* bounds);
SAFEARRAY* SafeArrayCreateEx(VARTYPE vt, UINT dims, const SAFEARRAYBOUND* bounds, PVOID extra);
SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements);
SAFEARRAY* SafeArrayCreateVectorEx(VARTYPE vt, LONG lowerBound, ULONG elements, PVOID extra);
// DISP_E_ARRAYISLOCKED while the array is locked (its data accessed).
HRESULT SafeArrayDestroy(SAFEARRAY* array);
HRESULT SafeArrayLock(SAFEARRAY* array);
HRESULT SafeArrayUnlock(SAFEARRAY* array);
HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data);
HRESULT SafeArrayUnaccessData(SAFEARRAY* array);
UINT SafeArrayGetDim(SAFEARRAY* array);
UINT SafeArrayGetElemsize(SAFEARRAY* array);
// dim counts from 1 (leftmost); DISP_E_BADINDEX for a dimension the array does not have.
HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* bound);
HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* bound);
HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt);
// AddRef'ed record information of a VT_RECORD array.
HRESULT SafeArrayGetRecordInfo(SAFEARRAY* array, IRecordInfo** info);
// indices: one per dimension, leftmost first. Get copies the element out (a BSTR, variant or
// record copy, an AddRef'ed interface); Put copies value in, replacing the element.
HRESULT SafeArrayGetElement(SAFEARRAY* array, LONG* indices, void* value);
HRESULT SafeArrayPutElement(SAFEARRAY* array, LONG* indices, void* value);
HRESULT SafeArrayPtrOfIndex(SAFEARRAY* array, LONG* indices, void** element);
// A deep copy.
HRESULT SafeArrayCopy(SAFEARRAY* array, SAFEARRAY** copy);
// Changes the rightmost dimension's bounds; dropped elements are freed, new ones zeroed.
HRESULT SafeArrayRedim(SAFEARRAY* array, SAFEARRAYBOUND* lastBound);
