#pragma once
// ConvectionCoefficientLibrary: named sets of calculator inputs stored in a ".cclib" file or in
// one binary registry value, and LastUsedStore, the calculator's last inputs in the registry.
//
// Stored forms (all little-endian):
// - registry image (REG_BINARY), 52 + 880 × N bytes: 100202, the 44-byte unit system record,
//   102000, then N entry records;
// - ".cclib": a storage file with item 202 version 1 (the unit system record) and item 2000
//   version 1 (the entry records).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "dialogs/convection/ConvectionCoefficientEntry.h"
#include "platform/registry/Registry.h"
#include "platform/win/CString.h"

namespace DataModelDialogs {

class ConvectionCoefficientLibrary {
public:
    static constexpr std::size_t npos = std::size_t(-1);
    // Marks a location as "registry subkey\value name".
    static constexpr wchar_t kRegistryMark = L'\x0001';
    static constexpr std::size_t kImageHeaderBytes = 52;
    static constexpr std::uint32_t kUnitSystemItem = 202;
    static constexpr std::uint32_t kEntriesItem = 2000;
    static constexpr std::uint32_t kItemVersion = 1;
    // New libraries keep their entries in this unit system type.
    static constexpr std::uint32_t kNewLibraryUnitSystemType = UnitSys::UnitSystem::kTypeCGS;

    // An empty name becomes the default library's display name, an empty location the default
    // library file beside the library's binary.
    explicit ConvectionCoefficientLibrary(const CString& location = CString(), const CString& name = CString(),
                                          bool userLibrary = true);
    // A library with a name but no storage chosen yet (its location stays empty).
    static ConvectionCoefficientLibrary WithoutLocation(const CString& name, bool userLibrary);

    // The default library file: "OrvDefault.cclib" in the folder of the library's binary.
    static CString DefaultLibraryPath();
    // "Orven Default Library" from the string table.
    static CString DefaultLibraryName();

    // The DWORD "edit_orven_cclib" under HKEY_CURRENT_USER\Software\ORVEN, Inc.\ORVEN
    // software\ORVEN\Debug is present and not 0. Read on first use and kept for the process.
    static bool IsDeveloperSwitchOn();
    // Reads the switch again (for tests, and for a host that changed it while running).
    static void ReloadDeveloperSwitch();

    const CString& GetLocation() const { return location_; }
    // An empty location becomes the default library file.
    void SetLocation(const CString& location);
    const CString& GetName() const { return name_; }
    void SetName(const CString& name) { name_ = name; }
    bool IsUserLibrary() const { return userLibrary_; }
    // The default library is the one library that is not a user library.
    bool IsDefaultLibrary() const { return !userLibrary_; }
    const OrvDbRecord::UnitSystem& GetUnitSystem() const { return units_; }
    // Converts every entry into units and keeps them in it from now on.
    void SetUnitSystem(const OrvDbRecord::UnitSystem& units);
    bool IsDirty() const { return dirty_; }

    // The location starts with kRegistryMark.
    bool IsRegistryLocation() const;
    // Root HKEY_CURRENT_USER for user libraries, else HKEY_LOCAL_MACHINE; the text after the
    // mark split at its last backslash into subkey and value name. Without a backslash (or with
    // one at the end) the whole text, less a trailing backslash, is the subkey and the value
    // name is empty (the default value). False when the location is not a registry location.
    bool SplitRegistryLocation(HKEY* root, std::wstring* subKey, std::wstring* valueName) const;

    // Registry: the key opens and the value can be queried. File: an absolute path with a
    // folder, a file name and an extension, naming an existing file.
    bool Exists() const;
    // A user library (or any library while the developer switch is on) whose storage can be
    // written: a registry location, a library without storage yet, an existing writable file,
    // or a new file in a writable folder.
    bool IsEditable() const;

    // Reads the storage. On failure false, with GetError() saying why, and the entries and
    // unit system stay as they were. On success the library is clean and every entry's inputs
    // carry the library's unit system.
    bool Load();
    // Writes the storage when dirty (a file is replaced whole, so an interrupted save leaves
    // the old or the new file). False with GetError() when the key or file cannot be opened
    // or written; the library then stays dirty.
    bool Save();
    // Removes the file, or the registry value (and its key once the key holds nothing else).
    bool DeleteStorage();
    // What the last failed Load, Save or DeleteStorage ran into.
    const std::wstring& GetError() const { return error_; }

    std::size_t GetEntryCount() const { return entries_.size(); }
    const std::vector<ConvectionCoefficientEntry>& GetEntries() const { return entries_; }
    // Exact, case-sensitive comparison; npos when no entry has that name.
    std::size_t FindEntry(const CString& name) const;
    // False for an index out of range. A name equal to the current one changes nothing.
    bool RenameEntry(std::size_t index, const CString& name);
    bool RemoveEntry(std::size_t index);
    // index == GetEntryCount() appends. The inputs are converted into the library's unit
    // system; a name longer than the record holds is shortened (ConvectionCoefficientEntry::FitName).
    bool SetEntry(std::size_t index, const CString& name, const ConvectionCoefficientInputs& inputs);
    // The name and a copy of the inputs converted into target; false for an index out of range.
    bool GetEntry(std::size_t index, const OrvDbRecord::UnitSystem& target, CString* name,
                  ConvectionCoefficientInputs* inputs) const;

    // The registry image of a unit system and entries.
    static std::vector<std::uint8_t> BuildRegistryImage(const OrvDbRecord::UnitSystem& units,
                                                        std::span<const ConvectionCoefficientEntry> entries);
    // Reads a registry image: false with a message for data shorter than the 52-byte header
    // or an unusable unit system record; bytes after the last whole entry record are ignored.
    static bool ParseRegistryImage(std::span<const std::uint8_t> image, OrvDbRecord::UnitSystem* units,
                                   std::vector<ConvectionCoefficientEntry>* entries, std::wstring* error);

private:
    struct NoLocationTag {};
    ConvectionCoefficientLibrary(NoLocationTag, const CString& name, bool userLibrary);

    bool Fail(std::wstring message);
    bool LoadRegistry(OrvDbRecord::UnitSystem* units, std::vector<ConvectionCoefficientEntry>* entries);
    bool LoadFile(OrvDbRecord::UnitSystem* units, std::vector<ConvectionCoefficientEntry>* entries);
    bool SaveRegistry();
    bool SaveFile();
    std::wstring Describe() const;

    CString location_;
    CString name_;
    bool userLibrary_ = true;
    OrvDbRecord::UnitSystem units_{kNewLibraryUnitSystemType};
    std::vector<ConvectionCoefficientEntry> entries_;
    bool dirty_ = true;
    std::wstring error_;
};

// The calculator's last used inputs: a user library in the registry value
// HKEY_CURRENT_USER\Software\ORVEN, Inc.\ORVEN Software\ORVEN\Surface Convection
// Calculator\Last used, holding at most one entry with an empty name.
class LastUsedStore : public ConvectionCoefficientLibrary {
public:
    static const wchar_t* const kLocation;

    LastUsedStore();
    // Entry 0 converted into target; false when the store holds none.
    bool GetLastUsed(const OrvDbRecord::UnitSystem& target, ConvectionCoefficientInputs* inputs) const;
    // Makes inputs entry 0 (empty name) and the only entry.
    void SetLastUsed(const ConvectionCoefficientInputs& inputs);
};

}  // namespace DataModelDialogs
