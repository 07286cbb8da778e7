#include "platform/res/Resources.h"

// Minimal placeholder until resource modules exist: no module, no strings.
namespace {
HINSTANCE g_current = nullptr;
}

HINSTANCE AfxGetResourceHandle() { return g_current; }
void AfxSetResourceHandle(HINSTANCE module) { g_current = module; }

namespace orv::res {
bool LoadStringResource(HINSTANCE, UINT, std::wstring&) { return false; }
}  // namespace orv::res

namespace orv::res {
const DialogTemplate* FindDialogTemplate(HINSTANCE, UINT) { return nullptr; }
}  // namespace orv::res
