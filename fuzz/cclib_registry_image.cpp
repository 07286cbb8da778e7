// Fuzz target of the registry image reader of coefficient libraries: any bytes must read or
// fail cleanly, never with a negative or overflowing entry count; an image that reads must
// write back to an image of 52 + 880 × N bytes that reads to the same entries.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "dialogs/convection/ConvectionCoefficientLibrary.h"

using DataModelDialogs::ConvectionCoefficientEntry;
using DataModelDialogs::ConvectionCoefficientLibrary;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> image(data, size);
    OrvDbRecord::UnitSystem units;
    std::vector<ConvectionCoefficientEntry> entries;
    std::wstring error;
    if (!ConvectionCoefficientLibrary::ParseRegistryImage(image, &units, &entries, &error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (size < ConvectionCoefficientLibrary::kImageHeaderBytes) std::abort();
    if (entries.size() != (size - ConvectionCoefficientLibrary::kImageHeaderBytes) / 880) std::abort();

    const std::vector<uint8_t> rebuilt = ConvectionCoefficientLibrary::BuildRegistryImage(units, entries);
    if (rebuilt.size() != ConvectionCoefficientLibrary::kImageHeaderBytes + 880 * entries.size()) std::abort();
    OrvDbRecord::UnitSystem again;
    std::vector<ConvectionCoefficientEntry> back;
    if (!ConvectionCoefficientLibrary::ParseRegistryImage(rebuilt, &again, &back, &error)) std::abort();
    if (!(again == units) || back.size() != entries.size()) std::abort();
    for (std::size_t i = 0; i < back.size(); ++i)
        if (back[i].Name != entries[i].Name || back[i].Reserved != entries[i].Reserved) std::abort();
    return 0;
}
