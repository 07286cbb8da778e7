#pragma once
// HRESULT status codes with the component model's values.

#include "platform/win/WinTypes.h"

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }
constexpr HRESULT MAKE_HRESULT(unsigned severity, unsigned facility, unsigned code) {
    return HRESULT((DWORD(severity) << 31) | (DWORD(facility) << 16) | DWORD(code & 0xFFFF));
}
constexpr unsigned HRESULT_CODE(HRESULT hr) { return DWORD(hr) & 0xFFFF; }
constexpr unsigned HRESULT_FACILITY(HRESULT hr) { return (DWORD(hr) >> 16) & 0x1FFF; }

inline constexpr unsigned FACILITY_ITF = 4;
inline constexpr unsigned FACILITY_WIN32 = 7;
inline constexpr unsigned SEVERITY_ERROR = 1;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = HRESULT(0x80004002);
inline constexpr HRESULT E_POINTER = HRESULT(0x80004003);
inline constexpr HRESULT E_ABORT = HRESULT(0x80004004);
inline constexpr HRESULT E_FAIL = HRESULT(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = HRESULT(0x8000FFFF);
inline constexpr HRESULT E_ACCESSDENIED = HRESULT(0x80070005);
inline constexpr HRESULT E_HANDLE = HRESULT(0x80070006);
inline constexpr HRESULT E_OUTOFMEMORY = HRESULT(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = HRESULT(0x80040110);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = HRESULT(0x80040111);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = HRESULT(0x80040154);
inline constexpr HRESULT CO_E_CLASSSTRING = HRESULT(0x800401F3);
inline constexpr HRESULT DISP_E_UNKNOWNINTERFACE = HRESULT(0x80020001);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = HRESULT(0x80020003);
inline constexpr HRESULT DISP_E_PARAMNOTFOUND = HRESULT(0x80020004);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = HRESULT(0x80020005);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = HRESULT(0x80020006);
inline constexpr HRESULT DISP_E_EXCEPTION = HRESULT(0x80020009);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = HRESULT(0x8002000E);
inline constexpr HRESULT DISP_E_BADINDEX = HRESULT(0x8002000B);
inline constexpr HRESULT TYPE_E_ELEMENTNOTFOUND = HRESULT(0x8002802B);

// Further codes used by the component layer and its callers.
inline constexpr HRESULT E_PENDING = HRESULT(0x8000000A);
inline constexpr HRESULT CO_E_NOTINITIALIZED = HRESULT(0x800401F0);
inline constexpr HRESULT CO_E_CLASS_CREATE_FAILED = HRESULT(0x80080001);
inline constexpr HRESULT RPC_E_CHANGED_MODE = HRESULT(0x80010106);
inline constexpr HRESULT RPC_E_CALL_REJECTED = HRESULT(0x80010001);
inline constexpr HRESULT DISP_E_BADVARTYPE = HRESULT(0x80020008);
inline constexpr HRESULT DISP_E_NONAMEDARGS = HRESULT(0x80020007);
inline constexpr HRESULT DISP_E_OVERFLOW = HRESULT(0x8002000A);
inline constexpr HRESULT DISP_E_ARRAYISLOCKED = HRESULT(0x8002000D);
inline constexpr HRESULT DISP_E_PARAMNOTOPTIONAL = HRESULT(0x8002000F);
inline constexpr HRESULT TYPE_E_LIBNOTREGISTERED = HRESULT(0x8002801D);
inline constexpr HRESULT TYPE_E_TYPEMISMATCH = HRESULT(0x80028CA0);
inline constexpr HRESULT REGDB_E_READREGDB = HRESULT(0x80040150);
inline constexpr HRESULT REGDB_E_IIDNOTREG = HRESULT(0x80040155);

// A Win32 error code as an HRESULT (0 stays S_OK).
constexpr HRESULT HRESULT_FROM_WIN32(DWORD code) {
    return LONG(code) <= 0 ? HRESULT(code) : HRESULT((code & 0xFFFF) | (FACILITY_WIN32 << 16) | 0x80000000u);
}
