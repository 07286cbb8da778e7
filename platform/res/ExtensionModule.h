#pragma once
// Extension modules and the resource chain. A library that joins the chain (by creating a
// CDynLinkLibrary for itself at start-up) has its resources found by lookups that are not given
// a module, after the current resource module, newest member first.

#include <vector>

#include "platform/win/WinTypes.h"

struct AFX_EXTENSION_MODULE {
    BOOL bInitialized = FALSE;
    HMODULE hModule = nullptr;
    HMODULE hResource = nullptr;
};

// Records the module (its own resources by default); FALSE for a null module.
BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE module);
// Deletes the chain members created for `state` (all: every member of the chain).
void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL all = FALSE);

// A member of the resource chain. Created with new; deleted by AfxTermExtensionModule (or
// directly), which takes it off the chain.
class CDynLinkLibrary {
public:
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL system = FALSE);
    CDynLinkLibrary(HINSTANCE module, HINSTANCE resource);
    virtual ~CDynLinkLibrary();
    CDynLinkLibrary(const CDynLinkLibrary&) = delete;
    CDynLinkLibrary& operator=(const CDynLinkLibrary&) = delete;

    HMODULE m_hModule;
    HMODULE m_hResource;  // where its resources are looked up
    BOOL m_bSystem = FALSE;
};

namespace orv::res {
// The resource handles of the chain, newest first.
std::vector<HINSTANCE> ResourceChain();
}  // namespace orv::res
