#include "platform/com/SafeArray.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "platform/com/Dispatch.h"
#include "platform/com/RecordInfo.h"

namespace {

// What the framework keeps in front of the descriptor: the element type and, for record
// arrays, the record information (one reference).
struct Prefix {
    VARTYPE vt;
    IRecordInfo* record;
};

constexpr std::size_t kPrefixSize = (sizeof(Prefix) + alignof(SAFEARRAY) - 1) / alignof(SAFEARRAY) * alignof(SAFEARRAY);

Prefix* PrefixOf(SAFEARRAY* a) { return reinterpret_cast<Prefix*>(reinterpret_cast<unsigned char*>(a) - kPrefixSize); }

SAFEARRAYBOUND* Bounds(SAFEARRAY* a) { return a->rgsabound; }

// Scalars have the sizes they have inside records; arrays add interfaces, variants and records.
ULONG ElementSize(VARTYPE vt, IRecordInfo* record) {
    switch (vt) {
        case VT_UNKNOWN:
        case VT_DISPATCH:
            return sizeof(IUnknown*);
        case VT_VARIANT:
            return sizeof(VARIANT);
        case VT_RECORD: {
            ULONG size = 0;
            if (!record || FAILED(record->GetSize(&size))) return 0;
            return size;
        }
        default:
            return orv::com::RecordFieldElementSize(vt);
    }
}

USHORT FeaturesOf(VARTYPE vt) {
    switch (vt) {
        case VT_BSTR: return FADF_BSTR | FADF_HAVEVARTYPE;
        case VT_UNKNOWN: return FADF_UNKNOWN | FADF_HAVEIID;
        case VT_DISPATCH: return FADF_DISPATCH | FADF_HAVEIID;
        case VT_VARIANT: return FADF_VARIANT | FADF_HAVEVARTYPE;
        case VT_RECORD: return FADF_RECORD;
        default: return FADF_HAVEVARTYPE;
    }
}

ULONGLONG CountOf(SAFEARRAY* a) {
    ULONGLONG n = 1;
    for (USHORT i = 0; i < a->cDims; ++i) n *= Bounds(a)[i].cElements;
    return n;
}

// Frees what the elements first..last-1 own (the memory itself stays).
void ClearElements(SAFEARRAY* a, ULONGLONG first, ULONGLONG last) {
    auto* data = static_cast<unsigned char*>(a->pvData);
    if (!data) return;
    const Prefix* p = PrefixOf(a);
    for (ULONGLONG i = first; i < last; ++i) {
        void* e = data + i * a->cbElements;
        switch (p->vt) {
            case VT_BSTR: {
                BSTR* b = static_cast<BSTR*>(e);
                SysFreeString(*b);
                *b = nullptr;
                break;
            }
            case VT_UNKNOWN:
            case VT_DISPATCH: {
                IUnknown** u = static_cast<IUnknown**>(e);
                if (*u) (*u)->Release();
                *u = nullptr;
                break;
            }
            case VT_VARIANT:
                VariantClear(static_cast<VARIANT*>(e));
                break;
            case VT_RECORD:
                if (p->record) p->record->RecordClear(e);
                break;
            default:
                break;
        }
    }
}

// Copies one element into zeroed or cleared memory.
HRESULT CopyElement(const Prefix* p, const void* from, void* to, ULONG size) {
    switch (p->vt) {
        case VT_BSTR: {
            BSTR src = *static_cast<const BSTR*>(from);
            BSTR copy = src ? SysAllocStringByteLen(reinterpret_cast<LPCSTR>(src), SysStringByteLen(src)) : nullptr;
            if (src && !copy) return E_OUTOFMEMORY;
            *static_cast<BSTR*>(to) = copy;
            return S_OK;
        }
        case VT_UNKNOWN:
        case VT_DISPATCH: {
            IUnknown* u = *static_cast<IUnknown* const*>(from);
            if (u) u->AddRef();
            *static_cast<IUnknown**>(to) = u;
            return S_OK;
        }
        case VT_VARIANT:
            VariantInit(static_cast<VARIANT*>(to));
            return VariantCopy(static_cast<VARIANT*>(to), static_cast<const VARIANT*>(from));
        case VT_RECORD:
            return p->record->RecordCopy(const_cast<void*>(from), to);
        default:
            std::memcpy(to, from, size);
            return S_OK;
    }
}

HRESULT OffsetOf(SAFEARRAY* a, const LONG* indices, ULONGLONG& offset) {
    if (!indices) return E_INVALIDARG;
    offset = 0;
    // indices run leftmost first and bounds are stored rightmost first; the layout is
    // column-major, so the leftmost index varies fastest.
    ULONGLONG stride = 1;
    for (USHORT d = 0; d < a->cDims; ++d) {
        const SAFEARRAYBOUND& b = Bounds(a)[a->cDims - 1 - d];
        const LONGLONG i = LONGLONG(indices[d]) - b.lLbound;
        if (i < 0 || ULONGLONG(i) >= b.cElements) return DISP_E_BADINDEX;
        offset += ULONGLONG(i) * stride;
        stride *= b.cElements;
    }
    offset *= a->cbElements;
    return S_OK;
}

SAFEARRAY* Create(VARTYPE vt, UINT dims, const SAFEARRAYBOUND* bounds, IRecordInfo* record) {
    if (dims == 0 || dims > 0xFFFF || !bounds) return nullptr;
    if (vt == VT_RECORD && !record) return nullptr;
    const ULONG size = ElementSize(vt, vt == VT_RECORD ? record : nullptr);
    if (size == 0) return nullptr;
    ULONGLONG count = 1;
    for (UINT i = 0; i < dims; ++i) {
        count *= bounds[i].cElements;
        if (count > std::numeric_limits<std::uint32_t>::max()) return nullptr;
    }
    const std::size_t header = kPrefixSize + sizeof(SAFEARRAY) + (dims - 1) * sizeof(SAFEARRAYBOUND);
    auto* block = static_cast<unsigned char*>(std::calloc(1, header));
    if (!block) return nullptr;
    auto* a = reinterpret_cast<SAFEARRAY*>(block + kPrefixSize);
    a->cDims = USHORT(dims);
    a->fFeatures = FeaturesOf(vt);
    a->cbElements = size;
    a->cLocks = 0;
    for (UINT i = 0; i < dims; ++i) Bounds(a)[dims - 1 - i] = bounds[i];
    a->pvData = std::calloc(count ? std::size_t(count) : 1, size);
    if (!a->pvData) {
        std::free(block);
        return nullptr;
    }
    Prefix* p = PrefixOf(a);
    p->vt = vt;
    p->record = vt == VT_RECORD ? record : nullptr;
    if (p->record) p->record->AddRef();
    return a;
}

}  // namespace

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT dims, const SAFEARRAYBOUND* bounds) {
    if (vt == VT_RECORD) return nullptr;
    return Create(vt, dims, bounds, nullptr);
}

SAFEARRAY* SafeArrayCreateEx(VARTYPE vt, UINT dims, const SAFEARRAYBOUND* bounds, PVOID extra) {
    return Create(vt, dims, bounds, vt == VT_RECORD ? static_cast<IRecordInfo*>(extra) : nullptr);
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements) {
    const SAFEARRAYBOUND b{elements, lowerBound};
    return SafeArrayCreate(vt, 1, &b);
}

SAFEARRAY* SafeArrayCreateVectorEx(VARTYPE vt, LONG lowerBound, ULONG elements, PVOID extra) {
    const SAFEARRAYBOUND b{elements, lowerBound};
    return SafeArrayCreateEx(vt, 1, &b, extra);
}

HRESULT SafeArrayDestroy(SAFEARRAY* a) {
    if (!a) return S_OK;
    if (a->cLocks > 0) return DISP_E_ARRAYISLOCKED;
    ClearElements(a, 0, CountOf(a));
    std::free(a->pvData);
    Prefix* p = PrefixOf(a);
    if (p->record) p->record->Release();
    std::free(p);
    return S_OK;
}

HRESULT SafeArrayLock(SAFEARRAY* a) {
    if (!a) return E_INVALIDARG;
    if (a->cLocks == 0xFFFF) return E_UNEXPECTED;
    ++a->cLocks;
    return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY* a) {
    if (!a) return E_INVALIDARG;
    if (a->cLocks == 0) return E_UNEXPECTED;
    --a->cLocks;
    return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* a, void** data) {
    if (!a || !data) return E_INVALIDARG;
    const HRESULT hr = SafeArrayLock(a);
    *data = SUCCEEDED(hr) ? a->pvData : nullptr;
    return hr;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* a) { return SafeArrayUnlock(a); }

UINT SafeArrayGetDim(SAFEARRAY* a) { return a ? a->cDims : 0; }

UINT SafeArrayGetElemsize(SAFEARRAY* a) { return a ? a->cbElements : 0; }

HRESULT SafeArrayGetLBound(SAFEARRAY* a, UINT dim, LONG* bound) {
    if (!a || !bound) return E_INVALIDARG;
    if (dim < 1 || dim > a->cDims) return DISP_E_BADINDEX;
    *bound = Bounds(a)[a->cDims - dim].lLbound;
    return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* a, UINT dim, LONG* bound) {
    if (!a || !bound) return E_INVALIDARG;
    if (dim < 1 || dim > a->cDims) return DISP_E_BADINDEX;
    const SAFEARRAYBOUND& b = Bounds(a)[a->cDims - dim];
    *bound = LONG(LONGLONG(b.lLbound) + LONGLONG(b.cElements) - 1);
    return S_OK;
}

HRESULT SafeArrayGetVartype(SAFEARRAY* a, VARTYPE* vt) {
    if (!a || !vt) return E_INVALIDARG;
    *vt = PrefixOf(a)->vt;
    return S_OK;
}

HRESULT SafeArrayGetRecordInfo(SAFEARRAY* a, IRecordInfo** info) {
    if (!a || !info) return E_INVALIDARG;
    *info = PrefixOf(a)->record;
    if (!*info) return E_INVALIDARG;
    (*info)->AddRef();
    return S_OK;
}

HRESULT SafeArrayPtrOfIndex(SAFEARRAY* a, LONG* indices, void** element) {
    if (!a || !element) return E_INVALIDARG;
    ULONGLONG offset = 0;
    const HRESULT hr = OffsetOf(a, indices, offset);
    if (FAILED(hr)) return hr;
    *element = static_cast<unsigned char*>(a->pvData) + offset;
    return S_OK;
}

HRESULT SafeArrayGetElement(SAFEARRAY* a, LONG* indices, void* value) {
    if (!a || !value) return E_INVALIDARG;
    void* e = nullptr;
    const HRESULT hr = SafeArrayPtrOfIndex(a, indices, &e);
    if (FAILED(hr)) return hr;
    const Prefix* p = PrefixOf(a);
    if (p->vt == VT_RECORD) std::memset(value, 0, a->cbElements);
    return CopyElement(p, e, value, a->cbElements);
}

HRESULT SafeArrayPutElement(SAFEARRAY* a, LONG* indices, void* value) {
    if (!a) return E_INVALIDARG;
    void* e = nullptr;
    HRESULT hr = SafeArrayPtrOfIndex(a, indices, &e);
    if (FAILED(hr)) return hr;
    const Prefix* p = PrefixOf(a);
    if (!value && p->vt != VT_BSTR && p->vt != VT_UNKNOWN && p->vt != VT_DISPATCH) return E_INVALIDARG;
    // Copy first, so that a failure (or value aliasing the element) leaves the element intact.
    std::size_t size = a->cbElements;
    void* fresh = std::calloc(1, size);
    if (!fresh) return E_OUTOFMEMORY;
    if (p->vt == VT_BSTR || p->vt == VT_UNKNOWN || p->vt == VT_DISPATCH) {
        // These take the value itself (a BSTR or an interface pointer), not its address.
        void* direct = value;
        hr = CopyElement(p, &direct, fresh, a->cbElements);
    } else {
        hr = CopyElement(p, value, fresh, a->cbElements);
    }
    if (FAILED(hr)) {
        std::free(fresh);
        return hr;
    }
    const ULONGLONG index = ULONGLONG(static_cast<unsigned char*>(e) - static_cast<unsigned char*>(a->pvData)) / size;
    ClearElements(a, index, index + 1);
    std::memcpy(e, fresh, size);  // the copy's bytes (and what they own) move into place
    std::free(fresh);
    return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* a, SAFEARRAY** copy) {
    if (!copy) return E_INVALIDARG;
    *copy = nullptr;
    if (!a) return S_OK;
    const Prefix* p = PrefixOf(a);
    std::vector<SAFEARRAYBOUND> bounds(a->cDims);
    for (USHORT d = 0; d < a->cDims; ++d) bounds[d] = Bounds(a)[a->cDims - 1 - d];
    SAFEARRAY* c = Create(p->vt, a->cDims, bounds.data(), p->record);
    if (!c) return E_OUTOFMEMORY;
    const ULONGLONG n = CountOf(a);
    auto* from = static_cast<unsigned char*>(a->pvData);
    auto* to = static_cast<unsigned char*>(c->pvData);
    for (ULONGLONG i = 0; i < n; ++i) {
        const HRESULT hr = CopyElement(p, from + i * a->cbElements, to + i * a->cbElements, a->cbElements);
        if (FAILED(hr)) {
            SafeArrayDestroy(c);
            return hr;
        }
    }
    *copy = c;
    return S_OK;
}

HRESULT SafeArrayRedim(SAFEARRAY* a, SAFEARRAYBOUND* lastBound) {
    if (!a || !lastBound) return E_INVALIDARG;
    if (a->cLocks > 0) return DISP_E_ARRAYISLOCKED;
    // The rightmost dimension is stored first and varies slowest in memory.
    const ULONGLONG oldCount = CountOf(a);
    ULONGLONG newCount = lastBound->cElements;
    for (USHORT d = 1; d < a->cDims; ++d) newCount *= Bounds(a)[d].cElements;
    if (newCount > std::numeric_limits<std::uint32_t>::max()) return E_OUTOFMEMORY;
    if (newCount < oldCount) ClearElements(a, newCount, oldCount);
    void* data = std::realloc(a->pvData, std::size_t(newCount ? newCount : 1) * a->cbElements);
    if (!data) return E_OUTOFMEMORY;
    if (newCount > oldCount)
        std::memset(static_cast<unsigned char*>(data) + oldCount * a->cbElements, 0,
                    std::size_t(newCount - oldCount) * a->cbElements);
    a->pvData = data;
    a->rgsabound[0] = *lastBound;
    return S_OK;
}
