#pragma once
// The library's resource instance: the shared locale manager's satellite when one is loaded,
// otherwise the library's own module; and the scope that makes it current.

#include "platform/win/WinTypes.h"

namespace DataModelDialogs {

// The library's own module (the binary that holds the dialog code).
HMODULE GetLibraryModule();
// Where the library loads its strings, templates and icons from.
HINSTANCE GetResourceModule();

// Makes GetResourceModule() the current resource module for its lifetime and restores the
// previous one on every exit, exceptional ones included.
class ResourceModuleScope {
public:
    ResourceModuleScope();
    ~ResourceModuleScope();
    ResourceModuleScope(const ResourceModuleScope&) = delete;
    ResourceModuleScope& operator=(const ResourceModuleScope&) = delete;

private:
    HINSTANCE saved_;
};

}  // namespace DataModelDialogs
