// Library start-up: when the binary holding the dialogs is loaded it initialises itself as an
// extension module, joins the resource chain and enables locale support; at unload it leaves
// the chain again.
#include "dialogs/controls/LocaleManager.h"
#include "dialogs/controls/ResourceModule.h"
#include "platform/res/ExtensionModule.h"

namespace DataModelDialogs {

namespace {

AFX_EXTENSION_MODULE extensionModule;

struct LibraryAttachment {
    LibraryAttachment() {
        if (!AfxInitExtensionModule(extensionModule, GetLibraryModule())) return;
        // The chain owns the member; AfxTermExtensionModule deletes it.
        new CDynLinkLibrary(extensionModule);
        EnableLocaleSupport(true);
    }
    ~LibraryAttachment() {
        EnableLocaleSupport(false);
        AfxTermExtensionModule(extensionModule);
    }
};

const LibraryAttachment attachment;

}  // namespace

}  // namespace DataModelDialogs
