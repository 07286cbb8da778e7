#include "platform/com/ClassRegistry.h"

#include <cwchar>
#include <cwctype>
#include <map>
#include <mutex>
#include <new>

#include "platform/com/Bstr.h"
#include "platform/com/ComObject.h"

const IID IID_IUnknown = orv::com::GuidLiteral(L"{00000000-0000-0000-C000-000000000046}");
const IID IID_IClassFactory = orv::com::GuidLiteral(L"{00000001-0000-0000-C000-000000000046}");

namespace orv::com {
namespace {

struct Entry {
    std::wstring progId;
    ClassCreator creator;
};

struct Registry {
    std::mutex lock;
    std::map<CLSID, Entry> classes;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

bool EqualNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::towupper(wint_t(a[i])) != std::towupper(wint_t(b[i]))) return false;
    return true;
}

bool FindCreator(REFCLSID clsid, ClassCreator& creator) {
    auto& r = TheRegistry();
    std::lock_guard guard(r.lock);
    auto it = r.classes.find(clsid);
    if (it == r.classes.end()) return false;
    creator = it->second.creator;
    return true;
}

HRESULT RunCreator(const ClassCreator& creator, REFIID iid, void** object) {
    try {
        const HRESULT hr = creator(iid, object);
        if (FAILED(hr)) *object = nullptr;
        return hr;
    } catch (const std::bad_alloc&) {
        *object = nullptr;
        return E_OUTOFMEMORY;
    } catch (...) {
        *object = nullptr;
        return E_UNEXPECTED;
    }
}

// The factory CoGetClassObject hands out for a class registered with a creator.
class CreatorFactory final : public ComObject<IClassFactory> {
public:
    explicit CreatorFactory(ClassCreator creator) : creator_(std::move(creator)) {}
    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return RunCreator(creator_, iid, object);
    }
    HRESULT LockServer(BOOL) override { return S_OK; }

private:
    ClassCreator creator_;
};

}  // namespace

void RegisterClass(REFCLSID clsid, const std::wstring& progId, ClassCreator creator) {
    auto& r = TheRegistry();
    std::lock_guard guard(r.lock);
    r.classes[clsid] = Entry{progId, std::move(creator)};
}

void UnregisterClass(REFCLSID clsid) {
    auto& r = TheRegistry();
    std::lock_guard guard(r.lock);
    r.classes.erase(clsid);
}

bool IsClassRegistered(REFCLSID clsid) {
    auto& r = TheRegistry();
    std::lock_guard guard(r.lock);
    return r.classes.count(clsid) != 0;
}

}  // namespace orv::com

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if ((context & CLSCTX_ALL) == 0) return E_INVALIDARG;
    if (outer) return CLASS_E_NOAGGREGATION;
    orv::com::ClassCreator creator;
    if (!orv::com::FindCreator(clsid, creator)) return REGDB_E_CLASSNOTREG;
    return orv::com::RunCreator(creator, iid, object);
}

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void*, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if ((context & CLSCTX_ALL) == 0) return E_INVALIDARG;
    orv::com::ClassCreator creator;
    if (!orv::com::FindCreator(clsid, creator)) return REGDB_E_CLASSNOTREG;
    IClassFactory* factory = nullptr;
    try {
        factory = new orv::com::CreatorFactory(std::move(creator));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    factory->AddRef();
    const HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();
    return hr;
}

HRESULT CLSIDFromProgID(LPCWSTR progId, CLSID* clsid) {
    if (!progId || !clsid) return E_INVALIDARG;
    auto& r = orv::com::TheRegistry();
    std::lock_guard guard(r.lock);
    for (const auto& [id, entry] : r.classes) {
        if (!entry.progId.empty() && orv::com::EqualNoCase(entry.progId, progId)) {
            *clsid = id;
            return S_OK;
        }
    }
    *clsid = GUID_NULL;
    return CO_E_CLASSSTRING;
}

HRESULT ProgIDFromCLSID(REFCLSID clsid, LPWSTR* progId) {
    if (!progId) return E_INVALIDARG;
    *progId = nullptr;
    std::wstring name;
    {
        auto& r = orv::com::TheRegistry();
        std::lock_guard guard(r.lock);
        auto it = r.classes.find(clsid);
        if (it == r.classes.end() || it->second.progId.empty()) return REGDB_E_CLASSNOTREG;
        name = it->second.progId;
    }
    auto* out = static_cast<wchar_t*>(CoTaskMemAlloc((name.size() + 1) * sizeof(wchar_t)));
    if (!out) return E_OUTOFMEMORY;
    std::wmemcpy(out, name.c_str(), name.size() + 1);
    *progId = out;
    return S_OK;
}

HRESULT CLSIDFromString(LPCWSTR text, CLSID* clsid) {
    if (!clsid) return E_INVALIDARG;
    if (!text) {
        *clsid = GUID_NULL;
        return S_OK;
    }
    if (text[0] == L'{') {
        auto g = orv::com::ParseGuid(text);
        if (!g || std::wcslen(text) != 38) return CO_E_CLASSSTRING;
        *clsid = *g;
        return S_OK;
    }
    return CLSIDFromProgID(text, clsid);
}

HRESULT OleRun(IUnknown* object) { return object ? S_OK : E_INVALIDARG; }
