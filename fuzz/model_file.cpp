// Fuzz target of the model file loader: the input is a model file's JSON text. A model that
// loads must format, load again and format to the same text; a refusal must say why.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "host/model/ModelFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const OrvDbRecord::ModelLoadResult loaded = OrvDbRecord::ParseModelJson(text, "fuzz");
    if (!loaded) {
        if (loaded.error.empty()) std::abort();
        return 0;
    }
    const std::string written = OrvDbRecord::FormatModelJson(*loaded.model);
    const OrvDbRecord::ModelLoadResult again = OrvDbRecord::ParseModelJson(written, "fuzz");
    if (!again || OrvDbRecord::FormatModelJson(*again.model) != written) std::abort();
    return 0;
}
