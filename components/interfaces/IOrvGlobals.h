#pragma once
// The host automation object "Orv_Glob.CGlobals" and the unit converter objects it is given.
//
// CGlobals is late-bound (IDispatch only): properties "Units" (a VT_RECORD of
// RURIVO_UNIT_SYSTEM_V1_ENTRY, the model unit system), "UnitConverter" (the unit converter
// object), "HwndParent" (VT_I4, the owner window) and the method
// "Orv_NonLinearAdd"(folder BSTR, VT_I2, VT_I2), which opens the active range editor on the
// design scenario's folder. The unit converter object converts values between the model
// and the display units through a link object that points to the host's converter.

#include "platform/com/Bstr.h"
#include "platform/com/Dispatch.h"

inline constexpr wchar_t kOrvGlobalsProgId[] = L"Orv_Glob.CGlobals";
inline constexpr CLSID CLSID_OrvGlobals{
    0x5E0C3A21, 0x8B4D, 0x4C57, {0x9A, 0x61, 0x2F, 0x7D, 0x10, 0xC4, 0x3B, 0x90}};

// The type library holding the unit system record, and the record type.
inline constexpr GUID LIBID_OrvUnitSystemLib{
    0x0CD1327F, 0x15CC, 0x475E, {0x9D, 0x71, 0x2B, 0x52, 0x1D, 0xA2, 0x06, 0x74}};
inline constexpr GUID GUID_UnitSystemRecord{
    0xD7D1403F, 0xE31D, 0x46EF, {0xB1, 0x6A, 0x21, 0x90, 0x0B, 0xA8, 0xBB, 0x5D}};

inline constexpr CLSID CLSID_OrvUnitConverter{
    0x796EFBA9, 0xB482, 0x4144, {0xA5, 0x74, 0xBD, 0xF1, 0x14, 0x25, 0xED, 0x82}};
inline constexpr CLSID CLSID_OrvUnitConverterLink{
    0x4CCCFA04, 0x4FA1, 0x4906, {0xB5, 0x6F, 0xE9, 0x22, 0xE9, 0xE3, 0x2E, 0x78}};
inline constexpr IID IID_IOrvUnitConverter{
    0xD24D77AA, 0x5B0C, 0x4205, {0xBD, 0xAF, 0x42, 0x6A, 0xA4, 0xAF, 0xE9, 0x63}};
inline constexpr IID IID_IOrvUnitConverterLink{
    0x1B8F6E53, 0x7C2A, 0x4D0E, {0x8E, 0x49, 0x55, 0xA1, 0x3C, 0x7B, 0x02, 0xD6}};
inline constexpr wchar_t kOrvUnitConverterProgId[] = L"Orv_Glob.UnitConverter";
inline constexpr wchar_t kOrvUnitConverterLinkProgId[] = L"Orv_Glob.UnitConverterLink";

// Points to a converter of the host (an OrvDbRecord::UnitConverter, not owned unless asked).
// Slots 0 to 2 are IUnknown's.
struct IOrvUnitConverterLink : IUnknown {
    // 3, 4: the host converter (OrvDbRecord::UnitConverter*).
    virtual HRESULT GetConverter(void** converter) = 0;
    virtual HRESULT SetConverter(void* converter) = 0;
    // 5, 6: whether the link owns a copy of the converter (non-zero: it copies on SetConverter).
    virtual HRESULT GetOwnership(LONG* owns) = 0;
    virtual HRESULT SetOwnership(LONG owns) = 0;

protected:
    ~IOrvUnitConverterLink() = default;
};
ORV_INTERFACE(IOrvUnitConverterLink, IUnknown, IID_IOrvUnitConverterLink);

// Converts values of displayable units from model to display units and back. Dual: the
// methods "Convert", "ReverseConvert" and "UnitText" are callable by name as well.
// Slots 3 to 6 are IDispatch's.
struct IOrvUnitConverter : IDispatch {
    // 7, 8: the link object (E_FAIL from the conversions until one is set).
    virtual HRESULT GetLink(IUnknown** link) = 0;
    virtual HRESULT SetLink(IUnknown* link) = 0;
    // 9 to 11.
    virtual HRESULT Convert(LONG displayableUnit, double modelValue, double* displayValue) = 0;
    virtual HRESULT ReverseConvert(LONG displayableUnit, double displayValue, double* modelValue) = 0;
    virtual HRESULT UnitText(LONG displayableUnit, BSTR* text) = 0;

protected:
    ~IOrvUnitConverter() = default;
};
ORV_INTERFACE(IOrvUnitConverter, IDispatch, IID_IOrvUnitConverter);
