// Fuzz target of the resource compiler's parser: the input is a resource script. A script that
// compiles must give a blob the resource loader accepts; a refusal must say where.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/res/ResourceData.h"
#include "tools/rc/RcCompiler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    // No include folders: an #include reaches only what a relative name finds beside "fuzz.rc".
    const orv::rc::CompileResult result = orv::rc::CompileText("/nonexistent/fuzz.rc", text, {});
    if (!result.ok) {
        if (result.error.message.empty()) std::abort();
        return 0;
    }
    std::string error;
    if (!orv::res::ResourceSet::Parse(result.blob.data(), result.blob.size(), &error)) std::abort();
    return 0;
}
