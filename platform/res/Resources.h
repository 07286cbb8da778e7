#pragma once
// The current resource module and string lookup. (Placeholder contract: the resources
// module replaces the implementation; keep these declarations.)

#include <string>

#include "platform/win/WinTypes.h"

// The module that strings, dialog templates, icons and bitmaps are loaded from by default.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);

namespace orv::res {

// Looks up string `id` in `module` (null: the current module); false when it has none.
bool LoadStringResource(HINSTANCE module, UINT id, std::wstring& out);

}  // namespace orv::res

#include "platform/res/DialogTemplate.h"

namespace orv::res {

// The dialog template `id` of `module` (null: the current module); null when it has none.
// The template lives as long as the module.
const DialogTemplate* FindDialogTemplate(HINSTANCE module, UINT id);

}  // namespace orv::res
