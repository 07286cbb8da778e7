#include <stdexcept>

#include "host/model/ModelFile.h"

namespace OrvDbRecord {

namespace detail {
extern const char* const kSampleModelJson;
}

std::string_view GetSampleModelJson() { return detail::kSampleModelJson; }

std::unique_ptr<DbModel> LoadSampleModel() {
    ModelLoadResult result = ParseModelJson(GetSampleModelJson(), "sample model");
    // The embedded text is checked by the tests; a failure here is a build mistake.
    if (!result)
        throw std::logic_error(result.error);
    return std::move(result.model);
}

}  // namespace OrvDbRecord
