#include "platform/com/RecordInfo.h"

#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>

#include "platform/com/ComObject.h"
#include "platform/registry/Registry.h"

const IID IID_IRecordInfo = orv::com::GuidLiteral(L"{0000002F-0000-0000-C000-000000000046}");

namespace orv::com {
namespace {

using Layout = std::shared_ptr<const RecordLayout>;

struct Library {
    std::wstring name;
    std::map<GUID, Layout> records;
};

using LibraryKey = std::tuple<GUID, WORD, WORD>;

struct TypeLibs {
    std::mutex lock;
    std::map<LibraryKey, Library> libraries;
};

TypeLibs& TheTypeLibs() {
    static TypeLibs libs;
    return libs;
}

std::wstring Upper(std::wstring_view s) {
    std::wstring out(s);
    for (auto& c : out) c = wchar_t(std::towupper(wint_t(c)));
    return out;
}

std::wstring VersionKey(REFGUID libid, WORD major, WORD minor) {
    wchar_t version[16];
    std::swprintf(version, 16, L"%x.%x", unsigned(major), unsigned(minor));
    return L"TypeLib\\" + GuidToString(libid) + L"\\" + version;
}

class RecordInfo final : public ComObject<IRecordInfo> {
public:
    explicit RecordInfo(Layout layout) : layout_(std::move(layout)) {}

    HRESULT RecordInit(PVOID record) override {
        if (!record) return E_INVALIDARG;
        std::memset(record, 0, layout_->size);
        return S_OK;
    }

    HRESULT RecordClear(PVOID record) override {
        if (!record) return E_INVALIDARG;
        for (const auto& f : layout_->fields) {
            if (f.vt != VT_BSTR) continue;
            for (ULONG i = 0; i < f.count; ++i) {
                BSTR* b = BstrAt(record, f, i);
                SysFreeString(*b);
                *b = nullptr;
            }
        }
        return S_OK;
    }

    HRESULT RecordCopy(PVOID source, PVOID destination) override {
        if (!source || !destination) return E_INVALIDARG;
        if (source == destination) return S_OK;
        // Copy the texts first, so that a failure leaves the destination as it was.
        std::vector<BSTR> texts;
        for (const auto& f : layout_->fields) {
            if (f.vt != VT_BSTR) continue;
            for (ULONG i = 0; i < f.count; ++i) {
                BSTR s = *BstrAt(source, f, i);
                BSTR copy = s ? SysAllocStringByteLen(reinterpret_cast<LPCSTR>(s), SysStringByteLen(s)) : nullptr;
                if (s && !copy) {
                    for (BSTR t : texts) SysFreeString(t);
                    return E_OUTOFMEMORY;
                }
                texts.push_back(copy);
            }
        }
        RecordClear(destination);
        std::memcpy(destination, source, layout_->size);
        std::size_t next = 0;
        for (const auto& f : layout_->fields) {
            if (f.vt != VT_BSTR) continue;
            for (ULONG i = 0; i < f.count; ++i) *BstrAt(destination, f, i) = texts[next++];
        }
        return S_OK;
    }

    HRESULT GetGuid(GUID* guid) override {
        if (!guid) return E_INVALIDARG;
        *guid = layout_->guid;
        return S_OK;
    }

    HRESULT GetName(BSTR* name) override {
        if (!name) return E_INVALIDARG;
        *name = SysAllocStringLen(layout_->name.data(), UINT(layout_->name.size()));
        return *name ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT GetSize(ULONG* size) override {
        if (!size) return E_INVALIDARG;
        *size = layout_->size;
        return S_OK;
    }

    HRESULT GetTypeInfo(ITypeInfo** typeInfo) override {
        if (typeInfo) *typeInfo = nullptr;
        return E_NOTIMPL;
    }

    HRESULT GetField(PVOID record, LPCOLESTR name, VARIANT* value) override {
        if (!record || !name || !value) return E_INVALIDARG;
        const RecordField* f = Find(name);
        if (!f) return DISP_E_UNKNOWNNAME;
        VARIANT out;
        VariantInit(&out);
        HRESULT hr = f->count > 1 ? ArrayOf(record, *f, out) : ScalarOf(record, *f, 0, out);
        if (FAILED(hr)) return hr;
        VariantClear(value);
        *value = out;
        return S_OK;
    }

    HRESULT GetFieldNoCopy(PVOID record, LPCOLESTR name, VARIANT* value, PVOID* data) override {
        if (!record || !name || !value) return E_INVALIDARG;
        const RecordField* f = Find(name);
        if (!f) return DISP_E_UNKNOWNNAME;
        if (f->count > 1) {
            const HRESULT hr = GetField(record, name, value);
            if (SUCCEEDED(hr) && data) *data = static_cast<BYTE*>(record) + f->offset;
            return hr;
        }
        VariantClear(value);
        value->vt = VARTYPE(f->vt | VT_BYREF);
        value->byref = static_cast<BYTE*>(record) + f->offset;
        if (data) *data = value->byref;
        return S_OK;
    }

    HRESULT PutField(ULONG, PVOID record, LPCOLESTR name, VARIANT* value) override {
        if (!record || !name || !value) return E_INVALIDARG;
        const RecordField* f = Find(name);
        if (!f) return DISP_E_UNKNOWNNAME;
        if (f->count > 1) return PutArray(record, *f, *value);
        return PutScalar(record, *f, 0, *value);
    }

    HRESULT PutFieldNoCopy(ULONG flags, PVOID record, LPCOLESTR name, VARIANT* value) override {
        return PutField(flags, record, name, value);
    }

    HRESULT GetFieldNames(ULONG* count, BSTR* names) override {
        if (!count) return E_INVALIDARG;
        const ULONG n = ULONG(layout_->fields.size());
        if (!names) {
            *count = n;
            return S_OK;
        }
        const ULONG filled = std::min(*count, n);
        for (ULONG i = 0; i < filled; ++i) {
            const auto& fieldName = layout_->fields[i].name;
            names[i] = SysAllocStringLen(fieldName.data(), UINT(fieldName.size()));
        }
        *count = filled;
        return S_OK;
    }

    BOOL IsMatchingType(IRecordInfo* other) override {
        if (!other) return FALSE;
        GUID g{};
        if (FAILED(other->GetGuid(&g))) return FALSE;
        ULONG size = 0;
        other->GetSize(&size);
        return g == layout_->guid && size == layout_->size;
    }

    PVOID RecordCreate() override {
        void* record = std::calloc(1, layout_->size ? layout_->size : 1);
        return record;
    }

    HRESULT RecordCreateCopy(PVOID source, PVOID* destination) override {
        if (!source || !destination) return E_INVALIDARG;
        *destination = RecordCreate();
        if (!*destination) return E_OUTOFMEMORY;
        const HRESULT hr = RecordCopy(source, *destination);
        if (FAILED(hr)) {
            std::free(*destination);
            *destination = nullptr;
        }
        return hr;
    }

    HRESULT RecordDestroy(PVOID record) override {
        if (!record) return S_OK;
        RecordClear(record);
        std::free(record);
        return S_OK;
    }

private:
    const RecordField* Find(LPCOLESTR name) const {
        const std::wstring wanted = Upper(name);
        for (const auto& f : layout_->fields)
            if (Upper(f.name) == wanted) return &f;
        return nullptr;
    }

    static BYTE* At(PVOID record, const RecordField& f, ULONG i) {
        return static_cast<BYTE*>(record) + f.offset + i * RecordFieldElementSize(f.vt);
    }
    static BSTR* BstrAt(PVOID record, const RecordField& f, ULONG i) { return reinterpret_cast<BSTR*>(At(record, f, i)); }

    static HRESULT ScalarOf(PVOID record, const RecordField& f, ULONG i, VARIANT& out) {
        VariantInit(&out);
        if (f.vt == VT_BSTR) {
            BSTR s = *BstrAt(record, f, i);
            out.bstrVal = s ? SysAllocStringByteLen(reinterpret_cast<LPCSTR>(s), SysStringByteLen(s)) : nullptr;
            if (s && !out.bstrVal) return E_OUTOFMEMORY;
        } else {
            std::memcpy(&out.llVal, At(record, f, i), RecordFieldElementSize(f.vt));
        }
        out.vt = f.vt;
        return S_OK;
    }

    static HRESULT ArrayOf(PVOID record, const RecordField& f, VARIANT& out) {
        SAFEARRAY* a = SafeArrayCreateVector(f.vt, 0, f.count);
        if (!a) return E_OUTOFMEMORY;
        for (LONG i = 0; i < LONG(f.count); ++i) {
            VARIANT element;
            HRESULT hr = ScalarOf(record, f, ULONG(i), element);
            if (SUCCEEDED(hr)) {
                void* in = f.vt == VT_BSTR ? static_cast<void*>(element.bstrVal) : static_cast<void*>(&element.llVal);
                hr = SafeArrayPutElement(a, &i, in);
            }
            VariantClear(&element);
            if (FAILED(hr)) {
                SafeArrayDestroy(a);
                return hr;
            }
        }
        VariantInit(&out);
        out.vt = VARTYPE(VT_ARRAY | f.vt);
        out.parray = a;
        return S_OK;
    }

    static HRESULT PutScalar(PVOID record, const RecordField& f, ULONG i, const VARIANT& value) {
        VARIANT converted;
        VariantInit(&converted);
        HRESULT hr = VariantChangeType(&converted, &value, 0, f.vt);
        if (FAILED(hr)) return hr == DISP_E_BADVARTYPE ? DISP_E_TYPEMISMATCH : hr;
        if (f.vt == VT_BSTR) {
            BSTR* slot = BstrAt(record, f, i);
            SysFreeString(*slot);
            *slot = converted.bstrVal;  // the converted text moves into the record
            return S_OK;
        }
        std::memcpy(At(record, f, i), &converted.llVal, RecordFieldElementSize(f.vt));
        return S_OK;
    }

    static HRESULT PutArray(PVOID record, const RecordField& f, const VARIANT& value) {
        VARIANT v;
        VariantInit(&v);
        HRESULT hr = VariantCopyInd(&v, &value);
        if (FAILED(hr)) return hr;
        struct Cleanup {
            VARIANT& v;
            ~Cleanup() { VariantClear(&v); }
        } cleanup{v};
        if (!(v.vt & VT_ARRAY) || !v.parray || SafeArrayGetDim(v.parray) != 1) return DISP_E_TYPEMISMATCH;
        LONG lower = 0, upper = -1;
        SafeArrayGetLBound(v.parray, 1, &lower);
        SafeArrayGetUBound(v.parray, 1, &upper);
        if (LONGLONG(upper) - lower + 1 != LONGLONG(f.count)) return E_INVALIDARG;
        // Convert every element before storing any, so that a bad element changes nothing.
        std::vector<VARIANT> elements(f.count);
        const VARTYPE elementType = VARTYPE(v.vt & VT_TYPEMASK);
        hr = S_OK;
        ULONG done = 0;
        for (; done < f.count && SUCCEEDED(hr); ++done) {
            VariantInit(&elements[done]);
            LONG index = lower + LONG(done);
            VARIANT raw;
            VariantInit(&raw);
            if (elementType == VT_VARIANT) {
                hr = SafeArrayGetElement(v.parray, &index, &raw);
            } else if (elementType == VT_BSTR) {
                hr = SafeArrayGetElement(v.parray, &index, &raw.bstrVal);
                raw.vt = VT_BSTR;
            } else if (RecordFieldElementSize(elementType) != 0) {
                hr = SafeArrayGetElement(v.parray, &index, &raw.llVal);
                raw.vt = elementType;
            } else {
                hr = DISP_E_TYPEMISMATCH;
            }
            if (SUCCEEDED(hr)) hr = VariantChangeType(&elements[done], &raw, 0, f.vt);
            VariantClear(&raw);
        }
        if (SUCCEEDED(hr)) {
            for (ULONG i = 0; i < f.count; ++i) {
                if (f.vt == VT_BSTR) {
                    BSTR* slot = BstrAt(record, f, i);
                    SysFreeString(*slot);
                    *slot = elements[i].bstrVal;
                    elements[i].vt = VT_EMPTY;
                } else {
                    std::memcpy(At(record, f, i), &elements[i].llVal, RecordFieldElementSize(f.vt));
                }
            }
        }
        for (ULONG i = 0; i < done; ++i) VariantClear(&elements[i]);
        return hr == DISP_E_BADVARTYPE ? DISP_E_TYPEMISMATCH : hr;
    }

    Layout layout_;
};

}  // namespace

ULONG RecordFieldElementSize(VARTYPE vt) {
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
        case VT_R4:
        case VT_ERROR:
            return 4;
        case VT_I8:
        case VT_UI8:
        case VT_R8:
            return 8;
        case VT_BSTR:
            return sizeof(BSTR);
        default:
            return 0;
    }
}

void RegisterTypeLib(REFGUID libid, WORD major, WORD minor, const std::wstring& name) {
    {
        auto& libs = TheTypeLibs();
        std::lock_guard guard(libs.lock);
        libs.libraries[{libid, major, minor}].name = name;
    }
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CLASSES_ROOT, VersionKey(libid, major, minor).c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                       KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueEx(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                      DWORD((name.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
}

void UnregisterTypeLib(REFGUID libid, WORD major, WORD minor) {
    {
        auto& libs = TheTypeLibs();
        std::lock_guard guard(libs.lock);
        libs.libraries.erase({libid, major, minor});
    }
    RegDeleteTree(HKEY_CLASSES_ROOT, VersionKey(libid, major, minor).c_str());
    // The library's key goes with its last version.
    const std::wstring libKey = L"TypeLib\\" + GuidToString(libid);
    RegDeleteKey(HKEY_CLASSES_ROOT, libKey.c_str());
}

HRESULT RegisterRecordType(REFGUID libid, WORD major, WORD minor, const RecordLayout& layout, std::wstring* error) {
    auto fail = [&](const std::wstring& why) {
        if (error) *error = L"record " + layout.name + L": " + why;
        return E_INVALIDARG;
    };
    if (layout.size == 0) return fail(L"size 0");
    std::vector<std::pair<ULONG, ULONG>> used;
    for (std::size_t i = 0; i < layout.fields.size(); ++i) {
        const RecordField& f = layout.fields[i];
        const ULONG element = RecordFieldElementSize(f.vt);
        if (f.name.empty()) return fail(L"a field without a name");
        if (element == 0) return fail(L"field " + f.name + L" has a type that records cannot hold");
        if (f.count == 0) return fail(L"field " + f.name + L" has no elements");
        if (f.offset % element != 0) return fail(L"field " + f.name + L" is not aligned to its type");
        const ULONGLONG end = ULONGLONG(f.offset) + ULONGLONG(element) * f.count;
        if (end > layout.size) return fail(L"field " + f.name + L" lies outside the record");
        for (const auto& [begin, finish] : used)
            if (f.offset < finish && end > begin) return fail(L"field " + f.name + L" overlaps another field");
        used.emplace_back(f.offset, ULONG(end));
        for (std::size_t j = 0; j < i; ++j)
            if (Upper(layout.fields[j].name) == Upper(f.name)) return fail(L"field " + f.name + L" is declared twice");
    }
    auto& libs = TheTypeLibs();
    std::lock_guard guard(libs.lock);
    auto it = libs.libraries.find({libid, major, minor});
    if (it == libs.libraries.end()) {
        if (error) *error = L"type library " + GuidToString(libid) + L" is not registered";
        return TYPE_E_LIBNOTREGISTERED;
    }
    it->second.records[layout.guid] = std::make_shared<const RecordLayout>(layout);
    return S_OK;
}

}  // namespace orv::com

HRESULT GetRecordInfoFromGuids(REFGUID libid, ULONG major, ULONG minor, LCID, REFGUID typeGuid, IRecordInfo** info) {
    if (!info) return E_INVALIDARG;
    *info = nullptr;
    orv::com::Layout layout;
    {
        auto& libs = orv::com::TheTypeLibs();
        std::lock_guard guard(libs.lock);
        const orv::com::Library* best = nullptr;
        for (const auto& [key, lib] : libs.libraries) {
            const auto& [id, libMajor, libMinor] = key;
            if (id != libid || libMajor != major) continue;
            if (libMinor == minor) {
                best = &lib;
                break;
            }
            best = &lib;  // map order: the last one seen has the highest minor
        }
        if (!best) return TYPE_E_LIBNOTREGISTERED;
        auto rec = best->records.find(typeGuid);
        if (rec == best->records.end()) return TYPE_E_ELEMENTNOTFOUND;
        layout = rec->second;
    }
    *info = new orv::com::RecordInfo(std::move(layout));
    (*info)->AddRef();
    return S_OK;
}
