#pragma once
// The current resource module and resource lookup: strings, dialog templates, icons, bitmaps and
// version information of a resource module.
//
// A lookup given a module searches that module only. A lookup given null searches the current
// resource module (AfxGetResourceHandle), then every module of the resource chain, newest first
// (see ExtensionModule.h), as the framework's lookups do.

#include <string>

#include "platform/res/DialogTemplate.h"
#include "platform/res/ResourceData.h"
#include "platform/win/WinTypes.h"

// The module that strings, dialog templates, icons and bitmaps are loaded from by default.
// Starts as the main program's module.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);

// Resource types, for AfxFindResourceHandle.
inline const LPCTSTR RT_BITMAP = orv::res::ResourceId(2);
inline const LPCTSTR RT_DIALOG = orv::res::ResourceId(5);
inline const LPCTSTR RT_STRING = orv::res::ResourceId(6);
inline const LPCTSTR RT_GROUP_ICON = orv::res::ResourceId(14);
inline const LPCTSTR RT_VERSION = orv::res::ResourceId(16);

// The module that holds resource `name` of `type`: the current module, else the first module
// of the chain that has it, else the current module (the framework's AfxFindResourceHandle).
HINSTANCE AfxFindResourceHandle(LPCTSTR name, LPCTSTR type);

// The framework's string loader: copies string `id` of `module` (null: the current module, then
// the chain) into `buffer`, cut to size - 1 characters and terminated; returns the characters
// copied, 0 when there is no such string. With size 0, stores a pointer to the module's own
// read-only text in *(LPCWSTR*)buffer and returns its length.
int LoadString(HINSTANCE module, UINT id, LPTSTR buffer, int size);

namespace orv::res {

// Looks up string `id` in `module` (null: the current module, then the chain); false when it
// has none.
bool LoadStringResource(HINSTANCE module, UINT id, std::wstring& out);

// The dialog template `id` of `module` (null: the current module, then the chain); null when it
// has none. The template lives as long as the module.
const DialogTemplate* FindDialogTemplate(HINSTANCE module, UINT id);
// The same for a template given by name or by numeric id (MAKEINTRESOURCE).
const DialogTemplate* FindDialogTemplate(HINSTANCE module, LPCTSTR name);

// The icon resource `id` with all its images; null when there is none.
const IconResource* FindIcon(HINSTANCE module, UINT id);
const IconResource* FindIcon(HINSTANCE module, LPCTSTR name);
// The image of icon `id` nearest to cx x cy pixels (nearest size, then most colours).
const Image* FindIconImage(HINSTANCE module, UINT id, int cx, int cy);

// The bitmap resource `id`; null when there is none.
const Image* FindBitmap(HINSTANCE module, UINT id);
const Image* FindBitmap(HINSTANCE module, LPCTSTR name);

// The version information of `module` (never searched along the chain); null when it has none.
const VersionInfo* FindVersionInfo(HINSTANCE module);

// Makes `module` the current resource module for the life of the scope and restores the
// previous one on every exit.
class ResourceHandleScope {
public:
    explicit ResourceHandleScope(HINSTANCE module) : saved_(AfxGetResourceHandle()) { AfxSetResourceHandle(module); }
    ~ResourceHandleScope() { AfxSetResourceHandle(saved_); }
    ResourceHandleScope(const ResourceHandleScope&) = delete;
    ResourceHandleScope& operator=(const ResourceHandleScope&) = delete;

private:
    HINSTANCE saved_;
};

}  // namespace orv::res
