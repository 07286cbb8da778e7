// Fuzz target of the storage file reader: the input is a whole storage file. A file that opens
// must write back item by item to a file that opens to the same items.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/storage/StorageFile.h"

namespace {

std::filesystem::path Scratch(const char* name) {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("orv-fuzz-storage-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir / name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::filesystem::path in = Scratch("in.bin"), out = Scratch("out.bin");
    std::ofstream(in, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), std::streamsize(size));
    FeInterface::StorageReader reader;
    if (!reader.Open(in)) {
        if (reader.Error().empty()) std::abort();
        return 0;
    }
    FeInterface::StorageWriter writer;
    if (!writer.Open(out)) std::abort();
    for (std::size_t i = 0; i < reader.ItemCount(); ++i) {
        uint32_t version = 0;
        std::span<const uint8_t> item;
        if (!reader.FindItem(FeInterface::ItemNumber(reader.ItemCodeAt(i)), &version, &item)) std::abort();
        if (!writer.WriteItem(reader.ItemCodeAt(i), item)) return 0;  // e.g. a number given twice
    }
    if (!writer.Commit()) std::abort();
    FeInterface::StorageReader back;
    if (!back.Open(out) || back.ItemCount() != reader.ItemCount()) std::abort();
    for (std::size_t i = 0; i < reader.ItemCount(); ++i) {
        uint32_t v1 = 0, v2 = 0;
        std::span<const uint8_t> a, b;
        const uint32_t number = FeInterface::ItemNumber(reader.ItemCodeAt(i));
        if (!reader.FindItem(number, &v1, &a) || !back.FindItem(number, &v2, &b) || v1 != v2 ||
            !std::equal(a.begin(), a.end(), b.begin(), b.end()))
            std::abort();
    }
    return 0;
}
