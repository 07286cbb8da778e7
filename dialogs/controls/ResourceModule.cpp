#include "dialogs/controls/ResourceModule.h"

#include "dialogs/controls/LocaleManager.h"
#include "platform/res/Module.h"
#include "platform/res/Resources.h"

namespace DataModelDialogs {

HMODULE GetLibraryModule() { return ORV_THIS_MODULE(); }

HINSTANCE GetResourceModule() {
    if (const MfcLocaleManager* manager = GetSharedLocaleManager())
        if (HMODULE satellite = manager->Satellite()) return satellite;
    return GetLibraryModule();
}

ResourceModuleScope::ResourceModuleScope() : saved_(AfxGetResourceHandle()) { AfxSetResourceHandle(GetResourceModule()); }

ResourceModuleScope::~ResourceModuleScope() { AfxSetResourceHandle(saved_); }

}  // namespace DataModelDialogs
