#pragma once
// The process's table of modules and their resources (internal to the resources module).

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/res/ResourceData.h"
#include "platform/win/WinTypes.h"

namespace orv::res {

class ModuleRegistry {
public:
    static ModuleRegistry& Instance();

    void AddLinked(HINSTANCE module, const unsigned char* data, std::size_t size);
    void RemoveLinked(const unsigned char* data);
    // One successful load of a shared object; `data` is its exported blob, if any.
    void AddLibrary(HINSTANCE module, const std::wstring& path, void* dl, const unsigned char* data, std::size_t size);
    // A data-file module over the resource section read from `path`.
    HINSTANCE AddDataFile(const std::wstring& path, const std::vector<unsigned char>& section);
    // Undoes one load; `dl` is the handle to close (outside the lock), if any. False for an
    // unknown handle or one that was never loaded by us.
    bool Release(HINSTANCE module, void*& dl);
    std::wstring PathOf(HINSTANCE module);
    // A dlopen handle of `module` when it was loaded with LoadLibrary; null otherwise.
    void* LoadHandle(HINSTANCE module);

    // Calls f(const ResourceSet&) for each resource set of `module` until it returns true.
    template <class F>
    bool Visit(HINSTANCE module, F&& f) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = modules_.find(module);
        if (it == modules_.end()) return false;
        for (const auto& s : it->second.sets)
            if (f(*s.set)) return true;
        return false;
    }

private:
    enum class Origin { kLinked, kExported, kFile };
    struct Set {
        Origin origin;
        const unsigned char* source;  // linked blobs: their address, for unregistration
        std::unique_ptr<ResourceSet> set;
    };
    struct Module {
        std::wstring path;
        std::vector<Set> sets;
        std::vector<void*> loads;  // dlopen handles, one per LoadLibrary
        bool dataFile = false;
    };
    void DropIfUnused(std::map<HINSTANCE, Module>::iterator it);

    std::mutex mutex_;
    std::map<HINSTANCE, Module> modules_;
    std::vector<std::unique_ptr<char>> dataHandles_;
};

void SetLastModuleError(std::wstring message);
bool ReadResourceSection(const std::string& path, std::vector<unsigned char>& out, std::wstring& error);

}  // namespace orv::res
