#include "dialogs/convection/ConvectionCoefficientLibrary.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

#include "dialogs/resources/Convection.h"
#include "host/model/Record.h"
#include "host/storage/StorageFile.h"
#include "platform/res/Module.h"
#include "platform/win/Utf8.h"

namespace DataModelDialogs {

namespace {

constexpr std::uint32_t kImageUnitSystemCode = 100202;
constexpr std::uint32_t kImageEntriesCode = 102000;
constexpr std::size_t kUnitRecordBytes = sizeof(RURIVO_UNIT_SYSTEM_V1_ENTRY);
static_assert(ConvectionCoefficientLibrary::kImageHeaderBytes == 4 + kUnitRecordBytes + 4);

const wchar_t* const kDebugKey = L"Software\\ORVEN, Inc.\\ORVEN software\\ORVEN\\Debug";
const wchar_t* const kDeveloperSwitchValue = L"edit_orven_cclib";

std::filesystem::path ToPath(const CString& text) { return std::filesystem::path(orv::WideToUtf8(text.GetString())); }

std::wstring Num(unsigned long long n) { return std::to_wstring(n); }

std::wstring RootName(HKEY root) {
    return root == HKEY_CURRENT_USER ? L"HKEY_CURRENT_USER" : L"HKEY_LOCAL_MACHINE";
}

// Closes a key on every exit.
struct KeyCloser {
    HKEY key = nullptr;
    ~KeyCloser() {
        if (key) RegCloseKey(key);
    }
};

bool ReadUnitRecord(std::span<const std::uint8_t> bytes, OrvDbRecord::UnitSystem* units, std::wstring* error) {
    RURIVO_UNIT_SYSTEM_V1_ENTRY record;
    std::copy_n(bytes.begin(), kUnitRecordBytes, record.bytes);
    std::wstring why;
    if (!units->InitOnFemStruct(record, &why)) {
        if (error) *error = L"unit system record: " + why;
        return false;
    }
    return true;
}

std::optional<bool>& DeveloperSwitchCache() {
    static std::optional<bool> cache;
    return cache;
}

}  // namespace

// ---- construction and naming

ConvectionCoefficientLibrary::ConvectionCoefficientLibrary(const CString& location, const CString& name,
                                                           bool userLibrary)
    : name_(name.IsEmpty() ? DefaultLibraryName() : name), userLibrary_(userLibrary) {
    SetLocation(location);
}

ConvectionCoefficientLibrary::ConvectionCoefficientLibrary(NoLocationTag, const CString& name, bool userLibrary)
    : name_(name.IsEmpty() ? DefaultLibraryName() : name), userLibrary_(userLibrary) {}

ConvectionCoefficientLibrary ConvectionCoefficientLibrary::WithoutLocation(const CString& name, bool userLibrary) {
    return ConvectionCoefficientLibrary(NoLocationTag{}, name, userLibrary);
}

CString ConvectionCoefficientLibrary::DefaultLibraryPath() {
    const std::filesystem::path module(orv::WideToUtf8(orv::res::GetModuleFilePath(ORV_THIS_MODULE())));
    return CString(orv::Utf8ToWide((module.parent_path() / "OrvDefault.cclib").string()));
}

CString ConvectionCoefficientLibrary::DefaultLibraryName() { return LoadConvectionString(IDS_CCLIB_DEFAULT_NAME); }

bool ConvectionCoefficientLibrary::IsDeveloperSwitchOn() {
    std::optional<bool>& cache = DeveloperSwitchCache();
    if (!cache) {
        bool on = false;
        HKEY key = nullptr;
        if (RegOpenKeyEx(HKEY_CURRENT_USER, kDebugKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            DWORD type = 0, value = 0, size = sizeof(value);
            if (RegQueryValueEx(key, kDeveloperSwitchValue, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                    ERROR_SUCCESS &&
                type == REG_DWORD && size == sizeof(value))
                on = value != 0;
            RegCloseKey(key);
        }
        cache = on;
    }
    return *cache;
}

void ConvectionCoefficientLibrary::ReloadDeveloperSwitch() {
    DeveloperSwitchCache().reset();
    IsDeveloperSwitchOn();
}

void ConvectionCoefficientLibrary::SetLocation(const CString& location) {
    location_ = location.IsEmpty() ? DefaultLibraryPath() : location;
}

void ConvectionCoefficientLibrary::SetUnitSystem(const OrvDbRecord::UnitSystem& units) {
    for (ConvectionCoefficientEntry& entry : entries_) ConvertToUnitSystem(entry.Inputs, units);
    units_ = units;
    dirty_ = true;
}

// ---- where the library lives

bool ConvectionCoefficientLibrary::IsRegistryLocation() const {
    return !location_.IsEmpty() && location_[0] == kRegistryMark;
}

bool ConvectionCoefficientLibrary::SplitRegistryLocation(HKEY* root, std::wstring* subKey,
                                                         std::wstring* valueName) const {
    if (!IsRegistryLocation()) return false;
    std::wstring text(location_.GetString() + 1);
    std::wstring value;
    const std::size_t slash = text.rfind(L'\\');
    if (slash != std::wstring::npos && slash + 1 < text.size()) {
        value = text.substr(slash + 1);
        text.resize(slash);
    } else if (slash != std::wstring::npos) {
        text.resize(slash);  // a trailing backslash: the whole text is the key
    }
    if (root) *root = userLibrary_ ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    if (subKey) *subKey = text;
    if (valueName) *valueName = value;
    return true;
}

std::wstring ConvectionCoefficientLibrary::Describe() const {
    HKEY root = nullptr;
    std::wstring subKey, value;
    if (SplitRegistryLocation(&root, &subKey, &value))
        return L"registry value \"" + value + L"\" of " + RootName(root) + L"\\" + subKey;
    return L"library file \"" + std::wstring(location_.GetString()) + L"\"";
}

bool ConvectionCoefficientLibrary::Exists() const {
    HKEY root = nullptr;
    std::wstring subKey, value;
    if (SplitRegistryLocation(&root, &subKey, &value)) {
        KeyCloser key;
        if (RegOpenKeyEx(root, subKey.c_str(), 0, KEY_READ, &key.key) != ERROR_SUCCESS) return false;
        return RegQueryValueEx(key.key, value.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    }
    if (location_.IsEmpty()) return false;
    const std::filesystem::path path = ToPath(location_);
    std::error_code ec;
    return path.is_absolute() && !path.parent_path().empty() && !path.stem().empty() && path.has_extension() &&
           std::filesystem::is_regular_file(path, ec);
}

bool ConvectionCoefficientLibrary::IsEditable() const {
    if (!userLibrary_ && !IsDeveloperSwitchOn()) return false;
    if (IsRegistryLocation() || location_.IsEmpty()) return true;
    const std::filesystem::path path = ToPath(location_);
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) return std::filesystem::is_regular_file(path, ec) && access(path.c_str(), W_OK) == 0;
    const std::filesystem::path folder = path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
    return std::filesystem::is_directory(folder, ec) && access(folder.c_str(), W_OK) == 0;
}

// ---- the stored forms

std::vector<std::uint8_t> ConvectionCoefficientLibrary::BuildRegistryImage(
    const OrvDbRecord::UnitSystem& units, std::span<const ConvectionCoefficientEntry> entries) {
    std::vector<std::uint8_t> image(kImageHeaderBytes);
    OrvDbRecord::RecordView header(image);
    header.SetU32(0, kImageUnitSystemCode);
    RURIVO_UNIT_SYSTEM_V1_ENTRY record;
    units.InitFemStruct(record);
    header.SetBytes(4, std::span<const std::uint8_t>(record.bytes, kUnitRecordBytes));
    header.SetU32(4 + kUnitRecordBytes, kImageEntriesCode);
    const std::vector<std::uint8_t> records = EncodeEntryRecords(entries);
    image.insert(image.end(), records.begin(), records.end());
    return image;
}

bool ConvectionCoefficientLibrary::ParseRegistryImage(std::span<const std::uint8_t> image,
                                                      OrvDbRecord::UnitSystem* units,
                                                      std::vector<ConvectionCoefficientEntry>* entries,
                                                      std::wstring* error) {
    if (image.size() < kImageHeaderBytes) {
        if (error)
            *error = L"the image has " + Num(image.size()) + L" bytes, fewer than the " + Num(kImageHeaderBytes) +
                     L"-byte header";
        return false;
    }
    // The two code words are not checked: older writers did not always set them.
    OrvDbRecord::UnitSystem readUnits;
    if (!ReadUnitRecord(image.subspan(4, kUnitRecordBytes), &readUnits, error)) return false;
    *entries = DecodeEntryRecords(image.subspan(kImageHeaderBytes), readUnits);
    *units = readUnits;
    return true;
}

// ---- load

bool ConvectionCoefficientLibrary::Fail(std::wstring message) {
    error_ = std::move(message);
    return false;
}

bool ConvectionCoefficientLibrary::LoadRegistry(OrvDbRecord::UnitSystem* units,
                                                std::vector<ConvectionCoefficientEntry>* entries) {
    HKEY root = nullptr;
    std::wstring subKey, value;
    SplitRegistryLocation(&root, &subKey, &value);
    KeyCloser key;
    LSTATUS status = RegOpenKeyEx(root, subKey.c_str(), 0, KEY_READ, &key.key);
    if (status != ERROR_SUCCESS)
        return Fail(Describe() + L": the key cannot be opened (error " + Num(unsigned(status)) + L")");
    DWORD type = 0, size = 0;
    status = RegQueryValueEx(key.key, value.c_str(), nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS)
        return Fail(Describe() + L": the value cannot be read (error " + Num(unsigned(status)) + L")");
    std::vector<std::uint8_t> image(size);
    status = RegQueryValueEx(key.key, value.c_str(), nullptr, &type, image.data(), &size);
    if (status != ERROR_SUCCESS)
        return Fail(Describe() + L": the value cannot be read (error " + Num(unsigned(status)) + L")");
    image.resize(size);
    std::wstring why;
    if (!ParseRegistryImage(image, units, entries, &why)) return Fail(Describe() + L": " + why);
    return true;
}

bool ConvectionCoefficientLibrary::LoadFile(OrvDbRecord::UnitSystem* units,
                                            std::vector<ConvectionCoefficientEntry>* entries) {
    if (location_.IsEmpty()) return Fail(L"library \"" + std::wstring(name_.GetString()) + L"\" has no file yet");
    FeInterface::StorageReader reader;
    if (!reader.Open(ToPath(location_))) return Fail(reader.Error());
    std::vector<std::uint8_t> unitItem, entryItem;
    if (!reader.ReadItem(kUnitSystemItem, kItemVersion, &unitItem)) return Fail(reader.Error());
    if (unitItem.size() != kUnitRecordBytes)
        return Fail(Describe() + L": the unit system item has " + Num(unitItem.size()) + L" bytes instead of " +
                    Num(kUnitRecordBytes));
    if (!reader.ReadItem(kEntriesItem, kItemVersion, &entryItem)) return Fail(reader.Error());
    OrvDbRecord::UnitSystem readUnits;
    std::wstring why;
    if (!ReadUnitRecord(unitItem, &readUnits, &why)) return Fail(Describe() + L": " + why);
    *entries = DecodeEntryRecords(entryItem, readUnits);
    *units = readUnits;
    return true;
}

bool ConvectionCoefficientLibrary::Load() {
    OrvDbRecord::UnitSystem units;
    std::vector<ConvectionCoefficientEntry> entries;
    const bool ok = IsRegistryLocation() ? LoadRegistry(&units, &entries) : LoadFile(&units, &entries);
    if (!ok) return false;
    units_ = units;
    entries_ = std::move(entries);
    dirty_ = false;
    error_.clear();
    return true;
}

// ---- save and delete

bool ConvectionCoefficientLibrary::SaveRegistry() {
    HKEY root = nullptr;
    std::wstring subKey, value;
    SplitRegistryLocation(&root, &subKey, &value);
    KeyCloser key;
    LSTATUS status =
        RegCreateKeyEx(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key.key, nullptr);
    if (status != ERROR_SUCCESS)
        return Fail(Describe() + L": the key cannot be created or opened (error " + Num(unsigned(status)) + L")");
    const std::vector<std::uint8_t> image = BuildRegistryImage(units_, entries_);
    if (image.size() > 0xFFFFFFFFu) return Fail(Describe() + L": too many entries for one registry value");
    status = RegSetValueEx(key.key, value.c_str(), 0, REG_BINARY, image.data(), DWORD(image.size()));
    if (status != ERROR_SUCCESS)
        return Fail(Describe() + L": the value cannot be written (error " + Num(unsigned(status)) + L")");
    return true;
}

bool ConvectionCoefficientLibrary::SaveFile() {
    if (location_.IsEmpty()) return Fail(L"library \"" + std::wstring(name_.GetString()) + L"\" has no file yet");
    FeInterface::StorageWriter writer;
    if (!writer.Open(ToPath(location_))) return Fail(writer.Error());
    RURIVO_UNIT_SYSTEM_V1_ENTRY record;
    units_.InitFemStruct(record);
    const std::vector<std::uint8_t> records = EncodeEntryRecords(entries_);
    if (!writer.WriteItem(FeInterface::MakeItemCode(kItemVersion, kUnitSystemItem),
                          std::span<const std::uint8_t>(record.bytes, kUnitRecordBytes)) ||
        !writer.WriteItem(FeInterface::MakeItemCode(kItemVersion, kEntriesItem), records) || !writer.Commit())
        return Fail(writer.Error());
    return true;
}

bool ConvectionCoefficientLibrary::Save() {
    if (!dirty_) return true;
    const bool ok = IsRegistryLocation() ? SaveRegistry() : SaveFile();
    if (!ok) return false;
    dirty_ = false;
    error_.clear();
    return true;
}

bool ConvectionCoefficientLibrary::DeleteStorage() {
    HKEY root = nullptr;
    std::wstring subKey, value;
    if (SplitRegistryLocation(&root, &subKey, &value)) {
        {
            KeyCloser key;
            LSTATUS status = RegOpenKeyEx(root, subKey.c_str(), 0, KEY_ALL_ACCESS, &key.key);
            if (status != ERROR_SUCCESS)
                return Fail(Describe() + L": the key cannot be opened (error " + Num(unsigned(status)) + L")");
            status = RegDeleteValue(key.key, value.c_str());
            if (status != ERROR_SUCCESS)
                return Fail(Describe() + L": the value cannot be deleted (error " + Num(unsigned(status)) + L")");
            // The key goes too, but only when nothing else is kept in it.
            DWORD subKeys = 0, values = 0;
            if (RegQueryInfoKey(key.key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                                nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
                subKeys != 0 || values != 0)
                return true;
        }
        RegDeleteKey(root, subKey.c_str());
        return true;
    }
    if (location_.IsEmpty()) return Fail(L"library \"" + std::wstring(name_.GetString()) + L"\" has no file");
    std::error_code ec;
    if (!std::filesystem::remove(ToPath(location_), ec))
        return Fail(Describe() + L": cannot be deleted" +
                    (ec ? L" (" + orv::Utf8ToWide(ec.message()) + L")" : std::wstring(L" (no such file)")));
    return true;
}

// ---- entries

std::size_t ConvectionCoefficientLibrary::FindEntry(const CString& name) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].Name == name) return i;
    return npos;
}

bool ConvectionCoefficientLibrary::RenameEntry(std::size_t index, const CString& name) {
    if (index >= entries_.size()) return false;
    const CString fitted = ConvectionCoefficientEntry::FitName(name);
    if (entries_[index].Name == fitted) return true;
    entries_[index].Name = fitted;
    dirty_ = true;
    return true;
}

bool ConvectionCoefficientLibrary::RemoveEntry(std::size_t index) {
    if (index >= entries_.size()) return false;
    entries_.erase(entries_.begin() + std::ptrdiff_t(index));
    dirty_ = true;
    return true;
}

bool ConvectionCoefficientLibrary::SetEntry(std::size_t index, const CString& name,
                                            const ConvectionCoefficientInputs& inputs) {
    if (index > entries_.size()) return false;
    if (index == entries_.size()) entries_.emplace_back();
    ConvectionCoefficientEntry& entry = entries_[index];
    entry.Name = ConvectionCoefficientEntry::FitName(name);
    entry.Inputs = inputs;
    ConvertToUnitSystem(entry.Inputs, units_);
    dirty_ = true;
    return true;
}

bool ConvectionCoefficientLibrary::GetEntry(std::size_t index, const OrvDbRecord::UnitSystem& target, CString* name,
                                            ConvectionCoefficientInputs* inputs) const {
    if (index >= entries_.size()) return false;
    if (name) *name = entries_[index].Name;
    if (inputs) {
        *inputs = entries_[index].Inputs;
        ConvertToUnitSystem(*inputs, target);
    }
    return true;
}

// ---- the last used store

const wchar_t* const LastUsedStore::kLocation =
    L"\x0001Software\\ORVEN, Inc.\\ORVEN Software\\ORVEN\\Surface Convection Calculator\\Last used";

LastUsedStore::LastUsedStore() : ConvectionCoefficientLibrary(CString(kLocation), CString(), true) {
    SetName(CString());
}

bool LastUsedStore::GetLastUsed(const OrvDbRecord::UnitSystem& target, ConvectionCoefficientInputs* inputs) const {
    return GetEntry(0, target, nullptr, inputs);
}

void LastUsedStore::SetLastUsed(const ConvectionCoefficientInputs& inputs) {
    while (GetEntryCount() > 1) RemoveEntry(GetEntryCount() - 1);
    SetEntry(0, CString(), inputs);
}

}  // namespace DataModelDialogs
