#include "platform/com/ClassRegistry.h"

#include <map>
#include <mutex>

#include "platform/win/CString.h"

const IID IID_IUnknown = orv::com::GuidFromString(L"{00000000-0000-0000-C000-000000000046}");

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

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    orv::com::ClassCreator creator;
    {
        auto& r = orv::com::TheRegistry();
        std::lock_guard guard(r.lock);
        auto it = r.classes.find(clsid);
        if (it == r.classes.end()) return REGDB_E_CLASSNOTREG;
        creator = it->second.creator;
    }
    return creator(iid, object);
}

HRESULT CLSIDFromProgID(LPCWSTR progId, CLSID* clsid) {
    if (!progId || !clsid) return E_INVALIDARG;
    auto& r = orv::com::TheRegistry();
    std::lock_guard guard(r.lock);
    for (const auto& [id, entry] : r.classes) {
        if (!entry.progId.empty() && CString(entry.progId.c_str()).CompareNoCase(progId) == 0) {
            *clsid = id;
            return S_OK;
        }
    }
    return CO_E_CLASSSTRING;
}
