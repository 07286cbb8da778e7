#include "platform/res/ModuleRegistry.h"

#include <algorithm>

#include "platform/res/ResourceFormat.h"

namespace orv::res {

ModuleRegistry& ModuleRegistry::Instance() {
    // Never destroyed: binaries unregister their resources from their own static destructors,
    // which may run after ours at exit.
    static ModuleRegistry* registry = new ModuleRegistry;
    return *registry;
}

void ModuleRegistry::AddLinked(HINSTANCE module, const unsigned char* data, std::size_t size) {
    auto set = ResourceSet::Parse(data, size, nullptr);
    if (!set) return;  // only a corrupted binary gets here; it then has no resources
    std::lock_guard<std::mutex> lock(mutex_);
    modules_[module].sets.push_back({Origin::kLinked, data, std::move(set)});
}

void ModuleRegistry::RemoveLinked(const unsigned char* data) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = modules_.begin(); it != modules_.end(); ++it) {
        auto& sets = it->second.sets;
        auto s = std::find_if(sets.begin(), sets.end(), [&](const Set& x) { return x.source == data; });
        if (s != sets.end()) {
            sets.erase(s);
            DropIfUnused(it);
            return;
        }
    }
}

void ModuleRegistry::AddLibrary(HINSTANCE module, const std::wstring& path, void* dl, const unsigned char* data,
                                std::size_t size) {
    std::unique_ptr<ResourceSet> exported;
    std::lock_guard<std::mutex> lock(mutex_);
    Module& m = modules_[module];
    if (m.path.empty()) m.path = path;
    m.loads.push_back(dl);
    bool have = std::any_of(m.sets.begin(), m.sets.end(), [](const Set& s) { return s.origin == Origin::kExported; });
    if (data && !have) {
        for (auto& set : ResourceSet::ParseSection(data, size, nullptr))
            m.sets.push_back({Origin::kExported, nullptr, std::move(set)});
    }
}

HINSTANCE ModuleRegistry::AddDataFile(const std::wstring& path, const std::vector<unsigned char>& section) {
    auto sets = ResourceSet::ParseSection(section.data(), section.size(), nullptr);
    std::lock_guard<std::mutex> lock(mutex_);
    // The handle of a data file is an address of ours that no binary is mapped at.
    dataHandles_.push_back(std::make_unique<char>());
    HINSTANCE handle = reinterpret_cast<HINSTANCE>(dataHandles_.back().get());
    Module& m = modules_[handle];
    m.path = path;
    m.dataFile = true;
    for (auto& set : sets) m.sets.push_back({Origin::kFile, nullptr, std::move(set)});
    return handle;
}

bool ModuleRegistry::Release(HINSTANCE module, void*& dl) {
    dl = nullptr;
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = modules_.find(module);
    if (it == modules_.end()) return false;
    Module& m = it->second;
    if (m.dataFile) {
        modules_.erase(it);
        auto h = std::find_if(dataHandles_.begin(), dataHandles_.end(),
                              [&](const auto& p) { return reinterpret_cast<HINSTANCE>(p.get()) == module; });
        if (h != dataHandles_.end()) dataHandles_.erase(h);
        return true;
    }
    if (m.loads.empty()) return false;
    dl = m.loads.back();
    m.loads.pop_back();
    if (m.loads.empty()) {
        m.sets.erase(std::remove_if(m.sets.begin(), m.sets.end(), [](const Set& s) { return s.origin == Origin::kExported; }),
                     m.sets.end());
    }
    DropIfUnused(it);
    return true;
}

std::wstring ModuleRegistry::PathOf(HINSTANCE module) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = modules_.find(module);
    return it == modules_.end() ? std::wstring() : it->second.path;
}

void* ModuleRegistry::LoadHandle(HINSTANCE module) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = modules_.find(module);
    return it == modules_.end() || it->second.loads.empty() ? nullptr : it->second.loads.back();
}

void ModuleRegistry::DropIfUnused(std::map<HINSTANCE, Module>::iterator it) {
    if (it->second.sets.empty() && it->second.loads.empty() && !it->second.dataFile) modules_.erase(it);
}

}  // namespace orv::res
