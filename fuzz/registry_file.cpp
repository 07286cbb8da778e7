// Fuzz target of the registry file reader: the input is a hive file's text. Whatever parses must
// write back to a text that parses to the same tree (the second writing equals the first).

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/registry/RegistryFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    orv::registry::RegKeyNode root;
    std::wstring error;
    if (!orv::registry::ParseHive(text, root, error)) {
        if (error.empty()) std::abort();  // a refusal always says where
        return 0;
    }
    const std::string written = orv::registry::WriteHive(root);
    orv::registry::RegKeyNode again;
    if (!orv::registry::ParseHive(written, again, error)) std::abort();
    if (orv::registry::WriteHive(again) != written) std::abort();
    return 0;
}
