// Fuzz target of the ".cclib" reader: a storage file is built from the input (so the reader's
// item handling is reached past the container's checksums) or the input is taken as the file
// itself, then loaded. A failed load must leave the library's entries as they were; a load
// that succeeds must save and load again to the same entries.
//
// Input: byte 0 bit 7 set: the rest is the whole file. Otherwise bit 0 adds the unit system
// item, bit 1 the entries item, bit 2 / bit 3 give them version 2 instead of 1, bit 4 takes a
// valid unit system record instead of input bytes; byte 1 is the length of the unit system
// item taken from the input; the remaining bytes are the entries item.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "dialogs/convection/ConvectionCoefficientLibrary.h"
#include "host/storage/StorageFile.h"
#include "platform/win/Utf8.h"

using DataModelDialogs::ConvectionCoefficientInputs;
using DataModelDialogs::ConvectionCoefficientLibrary;

namespace {

std::filesystem::path Scratch(const char* name) {
    static const std::filesystem::path folder = [] {
        std::filesystem::path p = std::filesystem::temp_directory_path() / ("fuzz_cclib_" + std::to_string(getpid()));
        std::filesystem::create_directories(p);
        return p;
    }();
    return folder / name;
}

CString Wide(const std::filesystem::path& path) { return CString(orv::Utf8ToWide(path.string())); }

bool WriteInput(const std::filesystem::path& path, const uint8_t* data, size_t size) {
    const uint8_t flags = data[0];
    if (flags & 0x80) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + 1), std::streamsize(size - 1));
        return bool(out);
    }
    const size_t unitLength = size > 1 ? data[1] : 0;
    size_t pos = size > 1 ? 2 : 1;
    std::vector<uint8_t> unitItem;
    if (flags & 0x10) {
        RURIVO_UNIT_SYSTEM_V1_ENTRY record;
        OrvDbRecord::UnitSystem(UnitSys::UnitSystem::kTypeSI).InitFemStruct(record);
        unitItem.assign(record.bytes, record.bytes + sizeof(record.bytes));
    } else {
        const size_t n = std::min(unitLength, size - pos);
        unitItem.assign(data + pos, data + pos + n);
        pos += n;
    }
    const std::vector<uint8_t> entryItem(data + pos, data + size);
    FeInterface::StorageWriter writer;
    if (!writer.Open(path)) return false;
    if (flags & 1) writer.WriteItem(FeInterface::MakeItemCode((flags & 4) ? 2 : 1, 202), unitItem);
    if (flags & 2) writer.WriteItem(FeInterface::MakeItemCode((flags & 8) ? 2 : 1, 2000), entryItem);
    return writer.Commit();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > (1u << 20)) return 0;
    const std::filesystem::path input = Scratch("input.cclib");
    if (!WriteInput(input, data, size)) return 0;

    ConvectionCoefficientLibrary library(Wide(input), CString(L"fuzz"), true);
    library.SetEntry(0, CString(L"before"), ConvectionCoefficientInputs());
    if (!library.Load()) {
        if (library.GetError().empty() || library.GetEntryCount() != 1 || library.GetEntries()[0].Name != L"before")
            std::abort();
        return 0;
    }
    if (library.IsDirty()) std::abort();
    for (const auto& entry : library.GetEntries())
        if (!(entry.Inputs.Units == library.GetUnitSystem())) std::abort();

    // Written back and read again, the entries are the same.
    const std::filesystem::path output = Scratch("output.cclib");
    ConvectionCoefficientLibrary copy(Wide(output), CString(L"copy"), true);
    copy.SetUnitSystem(library.GetUnitSystem());
    for (std::size_t i = 0; i < library.GetEntryCount(); ++i) {
        const auto& entry = library.GetEntries()[i];
        copy.SetEntry(i, entry.Name, entry.Inputs);
    }
    if (!copy.Save()) std::abort();
    ConvectionCoefficientLibrary back(Wide(output), CString(L"back"), true);
    if (!back.Load() || back.GetEntryCount() != library.GetEntryCount()) std::abort();
    for (std::size_t i = 0; i < back.GetEntryCount(); ++i)
        if (back.GetEntries()[i].Name != DataModelDialogs::ConvectionCoefficientEntry::FitName(library.GetEntries()[i].Name)) std::abort();
    return 0;
}
