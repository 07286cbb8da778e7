// The test library: a binary with linked-in resources that can join the resource chain.
// (Named .cc so that the test executables' source globs leave it alone.)
#include "platform/res/ExtensionModule.h"
#include "platform/res/Module.h"

namespace {
AFX_EXTENSION_MODULE g_extension;
}

extern "C" __attribute__((visibility("default"))) HINSTANCE orvres_testlib_module() { return ORV_THIS_MODULE(); }

// Start-up as an extension module: its resources join the chain.
extern "C" __attribute__((visibility("default"))) bool orvres_testlib_join_chain() {
    if (!AfxInitExtensionModule(g_extension, ORV_THIS_MODULE())) return false;
    new CDynLinkLibrary(g_extension);
    return true;
}

extern "C" __attribute__((visibility("default"))) void orvres_testlib_leave_chain() { AfxTermExtensionModule(g_extension); }
