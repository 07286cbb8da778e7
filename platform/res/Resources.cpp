#include "platform/res/Resources.h"

#include <algorithm>
#include <atomic>
#include <mutex>

#include "platform/res/ExtensionModule.h"
#include "platform/res/Module.h"
#include "platform/res/ModuleRegistry.h"

namespace orv::res {
namespace {

std::atomic<HINSTANCE>& Current() {
    static std::atomic<HINSTANCE> current{GetMainModule()};
    return current;
}

struct Chain {
    std::mutex mutex;
    std::vector<CDynLinkLibrary*> members;  // newest first
};

Chain& TheChain() {
    static Chain* chain = new Chain;  // never destroyed: members may outlive static destruction
    return *chain;
}

// The modules a lookup without a module searches, in order, without repeats.
std::vector<HINSTANCE> SearchOrder() {
    std::vector<HINSTANCE> order;
    if (HINSTANCE current = Current().load()) order.push_back(current);
    for (HINSTANCE h : ResourceChain())
        if (h && std::find(order.begin(), order.end(), h) == order.end()) order.push_back(h);
    return order;
}

template <class T, class F>
const T* Find(HINSTANCE module, F&& lookup) {
    const T* found = nullptr;
    auto visit = [&](HINSTANCE m) {
        return ModuleRegistry::Instance().Visit(m, [&](const ResourceSet& set) {
            found = lookup(set);
            return found != nullptr;
        });
    };
    if (module) {
        visit(module);
        return found;
    }
    for (HINSTANCE m : SearchOrder())
        if (visit(m)) return found;
    return nullptr;
}

template <class Map>
auto FindIn(const Map& map, const typename Map::key_type& key) -> const typename Map::mapped_type* {
    auto it = map.find(key);
    return it == map.end() ? nullptr : &it->second;
}

bool Has(HINSTANCE module, LPCTSTR name, LPCTSTR type) {
    if (!IsResourceId(type)) return false;
    UINT t = UINT(reinterpret_cast<ULONG_PTR>(type));
    std::wstring key = ResourceKey(name);
    return ModuleRegistry::Instance().Visit(module, [&](const ResourceSet& set) {
        switch (t) {
            case 2: return set.bitmaps.count(key) > 0;
            case 5: return set.dialogs.count(key) > 0;
            case 6: return IsResourceId(name) && set.strings.count(UINT(reinterpret_cast<ULONG_PTR>(name))) > 0;
            case 14: return set.icons.count(key) > 0;
            case 16: return set.version != nullptr;
            default: return false;
        }
    });
}

}  // namespace

std::vector<HINSTANCE> ResourceChain() {
    Chain& chain = TheChain();
    std::lock_guard<std::mutex> lock(chain.mutex);
    std::vector<HINSTANCE> handles;
    for (const CDynLinkLibrary* member : chain.members) handles.push_back(member->m_hResource);
    return handles;
}

bool LoadStringResource(HINSTANCE module, UINT id, std::wstring& out) {
    const std::wstring* text = Find<std::wstring>(module, [&](const ResourceSet& set) { return FindIn(set.strings, id); });
    if (!text) return false;
    out = *text;
    return true;
}

const DialogTemplate* FindDialogTemplate(HINSTANCE module, UINT id) {
    return FindDialogTemplate(module, ResourceId(id));
}

const DialogTemplate* FindDialogTemplate(HINSTANCE module, LPCTSTR name) {
    if (!name) return nullptr;
    std::wstring key = ResourceKey(name);
    return Find<DialogTemplate>(module, [&](const ResourceSet& set) { return FindIn(set.dialogs, key); });
}

const IconResource* FindIcon(HINSTANCE module, UINT id) { return FindIcon(module, ResourceId(id)); }

const IconResource* FindIcon(HINSTANCE module, LPCTSTR name) {
    if (!name) return nullptr;
    std::wstring key = ResourceKey(name);
    return Find<IconResource>(module, [&](const ResourceSet& set) { return FindIn(set.icons, key); });
}

const Image* FindIconImage(HINSTANCE module, UINT id, int cx, int cy) {
    const IconResource* icon = FindIcon(module, id);
    return icon ? icon->Nearest(cx, cy) : nullptr;
}

const Image* FindBitmap(HINSTANCE module, UINT id) { return FindBitmap(module, ResourceId(id)); }

const Image* FindBitmap(HINSTANCE module, LPCTSTR name) {
    if (!name) return nullptr;
    std::wstring key = ResourceKey(name);
    return Find<Image>(module, [&](const ResourceSet& set) { return FindIn(set.bitmaps, key); });
}

const VersionInfo* FindVersionInfo(HINSTANCE module) {
    if (!module) return nullptr;
    return Find<VersionInfo>(module, [](const ResourceSet& set) { return set.version.get(); });
}

}  // namespace orv::res

int LoadString(HINSTANCE module, UINT id, LPTSTR buffer, int size) {
    if (!buffer || size < 0) return 0;
    const std::wstring* text = orv::res::Find<std::wstring>(
        module, [&](const orv::res::ResourceSet& set) { return orv::res::FindIn(set.strings, id); });
    if (size == 0) {
        *reinterpret_cast<LPCWSTR*>(buffer) = text ? text->c_str() : nullptr;
        return text ? int(text->size()) : 0;
    }
    if (!text) {
        buffer[0] = L'\0';
        return 0;
    }
    std::size_t n = std::min<std::size_t>(text->size(), std::size_t(size) - 1);
    std::copy(text->begin(), text->begin() + std::ptrdiff_t(n), buffer);
    buffer[n] = L'\0';
    return int(n);
}

HINSTANCE AfxGetResourceHandle() { return orv::res::Current().load(); }

void AfxSetResourceHandle(HINSTANCE module) { orv::res::Current().store(module); }

HINSTANCE AfxFindResourceHandle(LPCTSTR name, LPCTSTR type) {
    for (HINSTANCE m : orv::res::SearchOrder())
        if (orv::res::Has(m, name, type)) return m;
    return AfxGetResourceHandle();
}

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE module) {
    if (!module) return FALSE;
    state.hModule = module;
    state.hResource = module;
    state.bInitialized = TRUE;
    return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL all) {
    std::vector<CDynLinkLibrary*> doomed;
    {
        orv::res::Chain& chain = orv::res::TheChain();
        std::lock_guard<std::mutex> lock(chain.mutex);
        for (CDynLinkLibrary* member : chain.members)
            if (all || member->m_hModule == state.hModule) doomed.push_back(member);
    }
    for (CDynLinkLibrary* member : doomed) delete member;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL system)
    : m_hModule(state.hModule), m_hResource(state.hResource), m_bSystem(system) {
    orv::res::Chain& chain = orv::res::TheChain();
    std::lock_guard<std::mutex> lock(chain.mutex);
    chain.members.insert(chain.members.begin(), this);
}

CDynLinkLibrary::CDynLinkLibrary(HINSTANCE module, HINSTANCE resource) : m_hModule(module), m_hResource(resource) {
    orv::res::Chain& chain = orv::res::TheChain();
    std::lock_guard<std::mutex> lock(chain.mutex);
    chain.members.insert(chain.members.begin(), this);
}

CDynLinkLibrary::~CDynLinkLibrary() {
    orv::res::Chain& chain = orv::res::TheChain();
    std::lock_guard<std::mutex> lock(chain.mutex);
    auto& m = chain.members;
    m.erase(std::remove(m.begin(), m.end(), this), m.end());
}
