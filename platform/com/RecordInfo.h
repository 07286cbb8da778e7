#pragma once
// IRecordInfo: a description of a fixed-layout record (a struct of a type library), and the
// small type library registry the records are looked up in.
//
// Record layouts are registered by the component that defines them (RegisterTypeLib, then
// RegisterRecordType) and found again with GetRecordInfoFromGuids, as the framework finds them
// in a registered type library. Registering a type library also reflects it under
// HKEY_CLASSES_ROOT\TypeLib\{libid}\<major>.<minor> (hexadecimal, volatile keys: they live
// as long as the process), where callers enumerate the registered versions.

#include <string>
#include <vector>

#include "platform/com/SafeArray.h"
#include "platform/com/Unknown.h"

struct ITypeInfo;  // not provided: GetTypeInfo answers E_NOTIMPL

extern const IID IID_IRecordInfo;  // {0000002F-0000-0000-C000-000000000046}

inline constexpr ULONG INVOKE_PROPERTYPUT = 4;
inline constexpr ULONG INVOKE_PROPERTYPUTREF = 8;

struct IRecordInfo : IUnknown {
    virtual HRESULT RecordInit(PVOID record) = 0;
    virtual HRESULT RecordClear(PVOID record) = 0;
    virtual HRESULT RecordCopy(PVOID source, PVOID destination) = 0;
    virtual HRESULT GetGuid(GUID* guid) = 0;
    virtual HRESULT GetName(BSTR* name) = 0;
    virtual HRESULT GetSize(ULONG* size) = 0;
    virtual HRESULT GetTypeInfo(ITypeInfo** typeInfo) = 0;
    // A copy of the field's value (a VT_ARRAY of the element type for fixed-size array fields).
    virtual HRESULT GetField(PVOID record, LPCOLESTR name, VARIANT* value) = 0;
    // A by-reference VARIANT pointing into the record (arrays: a copy, as with GetField).
    virtual HRESULT GetFieldNoCopy(PVOID record, LPCOLESTR name, VARIANT* value, PVOID* data) = 0;
    // Converts value to the field's type and stores it (DISP_E_TYPEMISMATCH, DISP_E_OVERFLOW).
    virtual HRESULT PutField(ULONG flags, PVOID record, LPCOLESTR name, VARIANT* value) = 0;
    // As PutField; the value is left to the caller either way (no ownership is taken).
    virtual HRESULT PutFieldNoCopy(ULONG flags, PVOID record, LPCOLESTR name, VARIANT* value) = 0;
    // names null: *count = number of fields; else fills up to *count names (BSTRs the caller frees).
    virtual HRESULT GetFieldNames(ULONG* count, BSTR* names) = 0;
    virtual BOOL IsMatchingType(IRecordInfo* other) = 0;
    // A new zeroed record of GetSize bytes; freed by RecordDestroy.
    virtual PVOID RecordCreate() = 0;
    virtual HRESULT RecordCreateCopy(PVOID source, PVOID* destination) = 0;
    virtual HRESULT RecordDestroy(PVOID record) = 0;

protected:
    ~IRecordInfo() = default;
};
ORV_INTERFACE(IRecordInfo, IUnknown, IID_IRecordInfo);

// The record information of type typeGuid in the type library libid of version
// major.minor (the same major and that minor or else the highest minor registered).
// TYPE_E_LIBNOTREGISTERED when no such library version exists, TYPE_E_ELEMENTNOTFOUND when
// it holds no such record type. lcid is accepted and not used: layouts do not vary by locale.
HRESULT GetRecordInfoFromGuids(REFGUID libid, ULONG major, ULONG minor, LCID lcid, REFGUID typeGuid, IRecordInfo** info);

namespace orv::com {

// One field of a record: scalar types VT_I1, VT_I2, VT_I4, VT_I8, VT_UI1, VT_UI2, VT_UI4,
// VT_UI8, VT_INT, VT_UINT, VT_R4, VT_R8, VT_BOOL, VT_ERROR, VT_BSTR; count > 1 makes a
// fixed-size array field of that element type (e.g. a char buffer of VT_UI1).
struct RecordField {
    std::wstring name;
    VARTYPE vt = VT_EMPTY;
    ULONG offset = 0;
    ULONG count = 1;
};

struct RecordLayout {
    GUID guid;
    std::wstring name;
    ULONG size = 0;
    std::vector<RecordField> fields;
};

// Registers (or replaces) a type library version; name is its description text.
void RegisterTypeLib(REFGUID libid, WORD major, WORD minor, const std::wstring& name);
// Removes a type library version, its record types and its registry reflection.
void UnregisterTypeLib(REFGUID libid, WORD major, WORD minor);
// Adds a record type to a registered type library version. E_INVALIDARG (with *error saying
// why, when given) for a field outside the record, misaligned, overlapping another, of an
// unsupported type, or with a duplicate name (compared without regard to case);
// TYPE_E_LIBNOTREGISTERED when the library version is not registered.
HRESULT RegisterRecordType(REFGUID libid, WORD major, WORD minor, const RecordLayout& layout,
                           std::wstring* error = nullptr);

// Size in bytes of a record field's element type, 0 when the type is not a field type.
ULONG RecordFieldElementSize(VARTYPE vt);

}  // namespace orv::com
