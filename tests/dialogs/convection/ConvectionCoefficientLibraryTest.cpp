// Coefficient libraries: the entry record, the registry image, ".cclib" files, registry
// locations, entries, editability, the developer switch, the last used store, and saves that
// are interrupted.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <fstream>

#include "ConvectionTestSupport.h"
#include "dialogs/convection/ConvectionCoefficientLibrary.h"
#include "dialogs/convection/DefaultCoefficientLibrary.h"
#include "host/storage/StorageFile.h"

using namespace DataModelDialogs;
using convection_test::ScratchFolderTest;
using Lib = ConvectionCoefficientLibrary;
using R = ConvectionCoefficientEntryRecord;
using US = UnitSys::UnitSystem;

namespace {

ConvectionCoefficientInputs SampleInputs(double scale = 1.0) {
    ConvectionCoefficientInputs in;
    in.Units = OrvDbRecord::UnitSystem(US::kTypeSI);
    in.UserCoefficient = 11.5 * scale;
    in.Type = ConvectionForcedInternal;
    in.ExternalCorrelation = 1;
    in.InternalCorrelation = 6;
    in.BuoyancyCorrelation = 3;
    in.FlowSpeed = 2.5 * scale;
    in.AmbientTemperature = 21.0;
    in.WallTemperature = 80.0;
    in.Gravity = 9.81;
    in.Density = 1.1;
    in.DynamicViscosity = 1.9e-5;
    in.ThermalConductivity = 0.027;
    in.ThermalExpansion = 0.0031;
    in.SpecificHeat = 1006.0;
    in.UsePrandtlNumber = true;
    in.Prandtl = 0.71;
    in.ExternalPlateLength = 1.5;
    in.PipeDiameter = 0.02;
    in.DuctWidth = 0.3;
    in.DuctHeight = 0.1;
    in.TriangleBase = 0.05;
    in.TriangleHeight = 0.04;
    in.BuoyancyPlateLength = 0.8;
    in.BuoyancyPlateWidth = 0.6;
    return in;
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<std::uint8_t> UnitRecordBytes(const OrvDbRecord::UnitSystem& units) {
    RURIVO_UNIT_SYSTEM_V1_ENTRY record;
    units.InitFemStruct(record);
    return std::vector<std::uint8_t>(record.bytes, record.bytes + sizeof(record.bytes));
}

// A storage file with the given items (code, bytes).
void WriteStorage(const std::filesystem::path& path,
                  const std::vector<std::pair<std::uint32_t, std::vector<std::uint8_t>>>& items) {
    FeInterface::StorageWriter writer;
    ASSERT_TRUE(writer.Open(path));
    for (const auto& [code, data] : items) ASSERT_TRUE(writer.WriteItem(code, data));
    ASSERT_TRUE(writer.Commit());
}

std::vector<CString> Names(const Lib& library) {
    std::vector<CString> names;
    for (const ConvectionCoefficientEntry& e : library.GetEntries()) names.push_back(e.Name);
    return names;
}

}  // namespace

// ---- the entry record

TEST(ConvectionCoefficientEntry, RecordLayoutAndRoundTrip) {
    ConvectionCoefficientEntry entry;
    entry.Reserved = 0xDEADBEEF;
    entry.Name = L"Wasser, Rohr Ø 20 mm";
    entry.Inputs = SampleInputs();
    const R record = entry.ToRecord();

    EXPECT_EQ(record.GetU32(0), 0xDEADBEEFu);
    EXPECT_EQ(record.GetText(4, 256), "Wasser, Rohr \xC3\x98 20 mm");
    EXPECT_EQ(record.GetF64(260), 11.5);
    EXPECT_EQ(record.GetI32(268), 1);
    EXPECT_EQ(record.GetI32(272), 1);
    EXPECT_EQ(record.GetI32(276), 6);
    EXPECT_EQ(record.GetI32(280), 3);
    EXPECT_EQ(record.GetU32(284), 88u);
    const double fluid[] = {2.5, 21.0, 80.0, 9.81, 1.1, 1.9e-5, 0.027, 0.0031, 1006.0};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(record.GetF64(288 + 8 * std::size_t(i)), fluid[i]) << i;
    EXPECT_EQ(record.GetU32(360), 0xFFFFFFFFu);
    EXPECT_EQ(record.GetF64(364), 0.71);
    EXPECT_EQ(record.GetU32(540), 12u);
    EXPECT_EQ(record.GetF64(544), 1.5);
    EXPECT_EQ(record.GetU32(608), 12u);
    EXPECT_EQ(record.GetF64(612), 0.02);
    EXPECT_EQ(record.GetU32(676), 20u);
    EXPECT_EQ(record.GetF64(680), 0.3);
    EXPECT_EQ(record.GetF64(688), 0.1);
    EXPECT_EQ(record.GetU32(744), 20u);
    EXPECT_EQ(record.GetF64(748), 0.05);
    EXPECT_EQ(record.GetF64(756), 0.04);
    EXPECT_EQ(record.GetU32(812), 20u);
    EXPECT_EQ(record.GetF64(816), 0.8);
    EXPECT_EQ(record.GetF64(824), 0.6);
    for (std::size_t reserved : {372u, 539u, 552u, 764u, 832u, 879u}) EXPECT_EQ(record.bytes[reserved], 0) << reserved;

    const ConvectionCoefficientEntry back = ConvectionCoefficientEntry::FromRecord(record, entry.Inputs.Units);
    EXPECT_EQ(back.Reserved, entry.Reserved);
    EXPECT_EQ(back.Name, entry.Name);
    EXPECT_TRUE(SameInputs(back.Inputs, entry.Inputs));
}

TEST(ConvectionCoefficientEntry, ReadingToleratesOddFlagsAndSizes) {
    ConvectionCoefficientEntry entry;
    entry.Inputs = SampleInputs();
    R record = entry.ToRecord();
    record.SetU32(360, 1);        // any non-zero flag is true
    record.SetU32(284, 12345);    // block sizes are not checked
    record.bytes[400] = 0x7F;     // reserved bytes are ignored
    record.SetText(4, 256, std::string(255, 'x'));
    const ConvectionCoefficientEntry back = ConvectionCoefficientEntry::FromRecord(record, entry.Inputs.Units);
    EXPECT_TRUE(back.Inputs.UsePrandtlNumber);
    EXPECT_EQ(back.Name.GetLength(), 255);
    record.SetU32(360, 0);
    EXPECT_FALSE(ConvectionCoefficientEntry::FromRecord(record, entry.Inputs.Units).Inputs.UsePrandtlNumber);
    // Ill-formed UTF-8 reads as replacement characters, cut to what the record can hold back.
    record.SetBytes(4, std::vector<std::uint8_t>(255, 0xFF));
    const ConvectionCoefficientEntry garbled = ConvectionCoefficientEntry::FromRecord(record, entry.Inputs.Units);
    EXPECT_EQ(garbled.Name, CString(std::wstring(85, L'\xFFFD')));
    EXPECT_EQ(ConvectionCoefficientEntry::FromRecord(garbled.ToRecord(), entry.Inputs.Units).Name, garbled.Name);
    // A NaN coefficient (no result) survives.
    entry.Inputs.UserCoefficient = std::nan("");
    EXPECT_TRUE(std::isnan(ConvectionCoefficientEntry::FromRecord(entry.ToRecord(), entry.Inputs.Units)
                               .Inputs.UserCoefficient));
}

TEST(ConvectionCoefficientEntry, LongNamesAreShortenedOnACharacterBoundary) {
    EXPECT_EQ(ConvectionCoefficientEntry::FitName(CString(L"short")), L"short");
    const CString ascii(std::wstring(300, L'a'));
    EXPECT_EQ(ConvectionCoefficientEntry::FitName(ascii).GetLength(), 255);
    const CString accented(std::wstring(200, L'é'));  // 400 bytes of UTF-8
    const CString fitted = ConvectionCoefficientEntry::FitName(accented);
    EXPECT_EQ(fitted.GetLength(), 127);  // 254 bytes; a 128th would need 256
    Lib library;
    library.SetEntry(0, accented, SampleInputs());
    EXPECT_EQ(library.GetEntries()[0].Name, fitted);
    EXPECT_EQ(library.FindEntry(fitted), 0u);
}

// ---- the registry image

TEST(ConvectionRegistryImage, SizesAndCodeWords) {
    const OrvDbRecord::UnitSystem si(US::kTypeSI);
    const std::vector<std::uint8_t> empty = Lib::BuildRegistryImage(si, {});
    ASSERT_EQ(empty.size(), 52u);
    OrvDbRecord::ConstRecordView view(empty);
    EXPECT_EQ(view.GetU32(0), 100202u);
    EXPECT_EQ(view.GetU32(48), 102000u);
    EXPECT_EQ(std::vector<std::uint8_t>(empty.begin() + 4, empty.begin() + 48), UnitRecordBytes(si));

    std::vector<ConvectionCoefficientEntry> entries(3);
    for (auto& e : entries) e.Inputs = SampleInputs();
    entries[1].Name = L"second";
    const std::vector<std::uint8_t> image = Lib::BuildRegistryImage(si, entries);
    ASSERT_EQ(image.size(), 52u + 3 * 880u);

    OrvDbRecord::UnitSystem units;
    std::vector<ConvectionCoefficientEntry> back;
    std::wstring error;
    ASSERT_TRUE(Lib::ParseRegistryImage(image, &units, &back, &error)) << error;
    EXPECT_EQ(units, si);
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back[1].Name, L"second");
    EXPECT_EQ(back[2].Inputs.Units, si);
}

TEST(ConvectionRegistryImage, ShortAndRaggedImages) {
    const OrvDbRecord::UnitSystem si(US::kTypeSI);
    std::vector<ConvectionCoefficientEntry> one(1);
    one[0].Name = L"only";
    std::vector<std::uint8_t> image = Lib::BuildRegistryImage(si, one);

    struct Case {
        const char* name;
        std::size_t size;
        bool ok;
        std::size_t entries;
    };
    const Case cases[] = {
        {"empty", 0, false, 0},         {"one byte short of the header", 51, false, 0},
        {"header only", 52, true, 0},   {"partial record", 52 + 879, true, 0},
        {"one record", 52 + 880, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> data(image.begin(), image.begin() + std::ptrdiff_t(std::min(c.size, image.size())));
        std::vector<ConvectionCoefficientEntry> entries(7);
        OrvDbRecord::UnitSystem units;
        std::wstring error;
        EXPECT_EQ(Lib::ParseRegistryImage(data, &units, &entries, &error), c.ok);
        if (c.ok) {
            EXPECT_EQ(entries.size(), c.entries);
        } else {
            EXPECT_EQ(entries.size(), 7u);  // untouched
            EXPECT_NE(error.find(L"fewer than the 52-byte header"), std::wstring::npos) << error;
        }
    }
    // Trailing bytes after the last whole record are ignored.
    image.resize(image.size() + 100, 0xAB);
    std::vector<ConvectionCoefficientEntry> entries;
    OrvDbRecord::UnitSystem units;
    ASSERT_TRUE(Lib::ParseRegistryImage(image, &units, &entries, nullptr));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Name, L"only");

    // An unusable unit system record is a read error.
    std::vector<std::uint8_t> bad = Lib::BuildRegistryImage(si, one);
    bad[4] = 43;  // record size field
    std::wstring error;
    EXPECT_FALSE(Lib::ParseRegistryImage(bad, &units, &entries, &error));
    EXPECT_NE(error.find(L"unit system record"), std::wstring::npos) << error;
}

// ---- registry locations

TEST(ConvectionRegistryLocation, SplitTable) {
    struct Case {
        const wchar_t* location;
        bool user;
        bool registry;
        HKEY root;
        const wchar_t* subKey;
        const wchar_t* value;
    };
    const Case cases[] = {
        {L"\x0001Software\\A\\B\\Value", true, true, HKEY_CURRENT_USER, L"Software\\A\\B", L"Value"},
        {L"\x0001Software\\A\\B\\Value", false, true, HKEY_LOCAL_MACHINE, L"Software\\A\\B", L"Value"},
        {L"\x0001NoBackslash", true, true, HKEY_CURRENT_USER, L"NoBackslash", L""},
        {L"\x0001Software\\Key\\", true, true, HKEY_CURRENT_USER, L"Software\\Key", L""},
        {L"\x0001", true, true, HKEY_CURRENT_USER, L"", L""},
        {L"/tmp/lib.cclib", true, false, nullptr, L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(orv::WideToUtf8(c.location + (c.location[0] == 1 ? 1 : 0)));
        Lib library(CString(c.location), CString(L"x"), c.user);
        EXPECT_EQ(library.IsRegistryLocation(), c.registry);
        HKEY root = nullptr;
        std::wstring subKey, value;
        EXPECT_EQ(library.SplitRegistryLocation(&root, &subKey, &value), c.registry);
        if (!c.registry) continue;
        EXPECT_EQ(root, c.root);
        EXPECT_EQ(subKey, c.subKey);
        EXPECT_EQ(value, c.value);
    }
}

class ConvectionRegistryLibrary : public ScratchFolderTest {};

TEST_F(ConvectionRegistryLibrary, SaveLoadExistsDelete) {
    Lib library(CString(L"\x0001Software\\Test\\Coefficients\\Mine"), CString(L"Mine"), true);
    EXPECT_FALSE(library.Exists());
    EXPECT_FALSE(library.Load());
    EXPECT_NE(library.GetError().find(L"cannot be opened"), std::wstring::npos) << library.GetError();
    EXPECT_TRUE(library.IsEditable());

    for (int i = 0; i < 3; ++i) library.SetEntry(std::size_t(i), CString(std::to_wstring(i)), SampleInputs(i + 1));
    ASSERT_TRUE(library.IsDirty());
    ASSERT_TRUE(library.Save()) << library.GetError();
    EXPECT_FALSE(library.IsDirty());
    EXPECT_TRUE(library.Exists());

    CRegKey key;
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, L"Software\\Test\\Coefficients", KEY_READ), ERROR_SUCCESS);
    DWORD type = 0;
    ULONG size = 0;
    ASSERT_EQ(key.QueryValue(L"Mine", &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(size, 52u + 3 * 880u);
    key.Close();

    Lib again(CString(L"\x0001Software\\Test\\Coefficients\\Mine"), CString(L"Mine"), true);
    ASSERT_TRUE(again.Load()) << again.GetError();
    EXPECT_FALSE(again.IsDirty());
    EXPECT_EQ(again.GetUnitSystem().GetUnitSystemType(), US::kTypeCGS);  // a new library's system
    ConvectionCoefficientInputs in;
    CString name;
    ASSERT_TRUE(again.GetEntry(2, OrvDbRecord::UnitSystem(US::kTypeSI), &name, &in));
    EXPECT_EQ(name, L"2");
    EXPECT_NEAR(in.FlowSpeed, 7.5, 1e-12);
    EXPECT_NEAR(in.UserCoefficient, 34.5, 1e-12);

    ASSERT_TRUE(again.DeleteStorage()) << again.GetError();
    EXPECT_FALSE(again.Exists());
    EXPECT_EQ(key.Open(HKEY_CURRENT_USER, L"Software\\Test\\Coefficients", KEY_READ), ERROR_FILE_NOT_FOUND);
}

TEST_F(ConvectionRegistryLibrary, LocationWithoutBackslashUsesTheDefaultValue) {
    Lib library(CString(L"\x0001SoloKey"), CString(L"Solo"), true);
    library.SetEntry(0, CString(L"a"), SampleInputs());
    ASSERT_TRUE(library.Save()) << library.GetError();
    CRegKey key;
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, L"SoloKey", KEY_READ), ERROR_SUCCESS);
    DWORD type = 0;
    ULONG size = 0;
    ASSERT_EQ(key.QueryValue(nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 52u + 880u);
    Lib back(CString(L"\x0001SoloKey"), CString(L"Solo"), true);
    ASSERT_TRUE(back.Load());
    EXPECT_EQ(back.GetEntryCount(), 1u);
}

TEST_F(ConvectionRegistryLibrary, DeletingKeepsAKeyThatHoldsOtherValues) {
    CRegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, L"Software\\Shared"), ERROR_SUCCESS);
    ASSERT_EQ(key.SetDWORDValue(L"other", 7), ERROR_SUCCESS);
    key.Close();
    Lib library(CString(L"\x0001Software\\Shared\\Lib"), CString(L"L"), true);
    ASSERT_TRUE(library.Save());
    ASSERT_TRUE(library.DeleteStorage());
    EXPECT_FALSE(library.Exists());
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, L"Software\\Shared", KEY_READ), ERROR_SUCCESS);
    DWORD other = 0;
    EXPECT_EQ(key.QueryDWORDValue(L"other", other), ERROR_SUCCESS);
    EXPECT_EQ(other, 7u);
}

TEST_F(ConvectionRegistryLibrary, KeyThatCannotBeCreatedIsReportedAndStaysDirty) {
    // A damaged hive is never written to, so no key can be created in it.
    {
        std::ofstream hive(orv::registry::HiveFilePath(HKEY_CURRENT_USER));
        hive << "this is not a hive\n";
    }
    Lib library(CString(L"\x0001Software\\Test\\Value"), CString(L"V"), true);
    library.SetEntry(0, CString(L"a"), SampleInputs());
    EXPECT_FALSE(library.Save());
    EXPECT_TRUE(library.IsDirty());
    EXPECT_NE(library.GetError().find(L"cannot be created"), std::wstring::npos) << library.GetError();
    EXPECT_FALSE(library.Load());
    EXPECT_EQ(library.GetEntryCount(), 1u);
}

TEST_F(ConvectionRegistryLibrary, LastUsedStore) {
    LastUsedStore store;
    EXPECT_EQ(std::wstring(store.GetLocation()),
              L"\x0001Software\\ORVEN, Inc.\\ORVEN Software\\ORVEN\\Surface Convection Calculator\\Last used");
    EXPECT_TRUE(store.GetName().IsEmpty());
    EXPECT_TRUE(store.IsUserLibrary());
    EXPECT_FALSE(store.Load());
    ConvectionCoefficientInputs in;
    EXPECT_FALSE(store.GetLastUsed(OrvDbRecord::UnitSystem(US::kTypeSI), &in));

    store.SetLastUsed(SampleInputs());
    store.SetLastUsed(SampleInputs(2.0));
    ASSERT_TRUE(store.Save()) << store.GetError();

    CRegKey key;
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, L"Software\\ORVEN, Inc.\\ORVEN Software\\ORVEN\\Surface Convection Calculator",
                       KEY_READ),
              ERROR_SUCCESS);
    DWORD type = 0;
    ULONG size = 0;
    ASSERT_EQ(key.QueryValue(L"Last used", &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(size, 52u + 880u);

    LastUsedStore again;
    ASSERT_TRUE(again.Load());
    const OrvDbRecord::UnitSystem inch(US::kTypeInchPoundSecond);
    ASSERT_TRUE(again.GetLastUsed(inch, &in));
    EXPECT_EQ(in.Units, inch);
    EXPECT_NEAR(in.FlowSpeed, 5.0 / 0.0254, 1e-9);
    EXPECT_TRUE(again.GetEntries()[0].Name.IsEmpty());
}

TEST_F(ConvectionRegistryLibrary, DeveloperSwitchIsReadOnceAndMakesTheDefaultEditable) {
    EXPECT_FALSE(Lib::IsDeveloperSwitchOn());
    Lib defaults(CString(WidePath("OrvDefault.cclib")), CString(), false);
    EXPECT_FALSE(defaults.IsEditable());

    CRegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, L"Software\\ORVEN, Inc.\\ORVEN software\\ORVEN\\Debug"), ERROR_SUCCESS);
    ASSERT_EQ(key.SetDWORDValue(L"edit_orven_cclib", 1), ERROR_SUCCESS);
    EXPECT_FALSE(Lib::IsDeveloperSwitchOn());  // cached
    Lib::ReloadDeveloperSwitch();
    EXPECT_TRUE(Lib::IsDeveloperSwitchOn());
    EXPECT_TRUE(defaults.IsEditable());

    SetDeveloperSwitch(0);
    EXPECT_FALSE(Lib::IsDeveloperSwitchOn());
    ASSERT_EQ(key.SetStringValue(L"edit_orven_cclib", L"1"), ERROR_SUCCESS);  // not a DWORD
    Lib::ReloadDeveloperSwitch();
    EXPECT_FALSE(Lib::IsDeveloperSwitchOn());
}

// ---- files

class ConvectionFileLibrary : public ScratchFolderTest {
protected:
    // A library of three entries named a, b, c in the file "known.cclib".
    Lib Known() {
        Lib library(WidePath("known.cclib"), CString(L"Known"), true);
        for (const wchar_t* n : {L"a", L"b", L"c"}) library.SetEntry(library.GetEntryCount(), CString(n), SampleInputs());
        return library;
    }
};

TEST_F(ConvectionFileLibrary, SaveAndLoadRoundTrip) {
    Lib library = Known();
    EXPECT_TRUE(library.IsEditable());
    EXPECT_FALSE(library.Exists());
    ASSERT_TRUE(library.Save()) << library.GetError();
    EXPECT_TRUE(library.Exists());

    FeInterface::StorageReader reader;
    ASSERT_TRUE(reader.Open(Path("known.cclib")));
    std::vector<std::uint8_t> units, entries;
    ASSERT_TRUE(reader.ReadItem(202, 1, &units));
    ASSERT_TRUE(reader.ReadItem(2000, 1, &entries));
    EXPECT_EQ(units, UnitRecordBytes(OrvDbRecord::UnitSystem(US::kTypeCGS)));
    EXPECT_EQ(entries.size(), 3u * 880u);

    Lib back(WidePath("known.cclib"), CString(L"Known"), true);
    ASSERT_TRUE(back.Load()) << back.GetError();
    EXPECT_EQ(Names(back), (std::vector<CString>{L"a", L"b", L"c"}));
    ConvectionCoefficientInputs in;
    ASSERT_TRUE(back.GetEntry(1, OrvDbRecord::UnitSystem(US::kTypeSI), nullptr, &in));
    ConvectionCoefficientInputs expected = SampleInputs();
    EXPECT_NEAR(in.DuctWidth, expected.DuctWidth, 1e-15);
    EXPECT_NEAR(in.DynamicViscosity, expected.DynamicViscosity, 1e-18);
    EXPECT_NEAR(in.AmbientTemperature, expected.AmbientTemperature, 1e-12);
    // Saving a clean library writes nothing.
    std::filesystem::remove(Path("known.cclib"));
    EXPECT_TRUE(back.Save());
    EXPECT_FALSE(back.Exists());
}

TEST_F(ConvectionFileLibrary, DamagedFilesFailAndKeepTheEntries) {
    const OrvDbRecord::UnitSystem si(US::kTypeSI);
    ConvectionCoefficientEntry one;
    one.Name = L"x";
    const std::vector<std::uint8_t> record = EncodeEntryRecords(std::span(&one, 1));
    struct Case {
        const char* name;
        std::vector<std::pair<std::uint32_t, std::vector<std::uint8_t>>> items;
        const wchar_t* message;
    };
    const Case cases[] = {
        {"no entries item", {{100202, UnitRecordBytes(si)}}, L"2000"},
        {"no unit system item", {{102000, record}}, L"202"},
        {"entries of version 2", {{100202, UnitRecordBytes(si)}, {202000, record}}, L"2000"},
        {"unit system of version 2", {{200202, UnitRecordBytes(si)}, {102000, record}}, L"202"},
        {"unit system item of 40 bytes",
         {{100202, std::vector<std::uint8_t>(40)}, {102000, record}}, L"40 bytes instead of 44"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteStorage(Path("bad.cclib"), c.items);
        Lib library = Known();
        library.SetLocation(WidePath("bad.cclib"));
        EXPECT_FALSE(library.Load());
        EXPECT_NE(library.GetError().find(c.message), std::wstring::npos) << orv::WideToUtf8(library.GetError());
        EXPECT_EQ(Names(library), (std::vector<CString>{L"a", L"b", L"c"}));
        EXPECT_TRUE(library.IsDirty());
        EXPECT_EQ(library.GetUnitSystem().GetUnitSystemType(), US::kTypeCGS);
    }

    // A truncated file.
    Lib good = Known();
    ASSERT_TRUE(good.Save());
    std::vector<std::uint8_t> bytes = ReadBytes(Path("known.cclib"));
    bytes.resize(bytes.size() - 100);
    WriteBytes(Path("cut.cclib"), bytes);
    Lib library = Known();
    library.SetLocation(WidePath("cut.cclib"));
    EXPECT_FALSE(library.Load());
    EXPECT_FALSE(library.GetError().empty());
    EXPECT_EQ(library.GetEntryCount(), 3u);

    // A missing file.
    library.SetLocation(WidePath("missing.cclib"));
    EXPECT_FALSE(library.Load());
    EXPECT_EQ(library.GetEntryCount(), 3u);
}

TEST_F(ConvectionFileLibrary, RaggedEntriesItemKeepsWholeRecords) {
    const OrvDbRecord::UnitSystem si(US::kTypeSI);
    std::vector<ConvectionCoefficientEntry> two(2);
    two[0].Name = L"first";
    two[1].Name = L"second";
    std::vector<std::uint8_t> records = EncodeEntryRecords(two);
    records.resize(records.size() + 17, 0xEE);
    WriteStorage(Path("ragged.cclib"), {{100202, UnitRecordBytes(si)}, {102000, records}});
    Lib library(WidePath("ragged.cclib"), CString(L"R"), true);
    ASSERT_TRUE(library.Load()) << library.GetError();
    EXPECT_EQ(Names(library), (std::vector<CString>{L"first", L"second"}));
    EXPECT_EQ(library.GetUnitSystem(), si);
    EXPECT_EQ(library.GetEntries()[1].Inputs.Units, si);
}

TEST_F(ConvectionFileLibrary, FileThatCannotBeOpenedIsReportedAndStaysDirty) {
    Lib library(WidePath("no-such-folder/lib.cclib"), CString(L"L"), true);
    library.SetEntry(0, CString(L"a"), SampleInputs());
    EXPECT_FALSE(library.IsEditable());
    EXPECT_FALSE(library.Save());
    EXPECT_TRUE(library.IsDirty());
    EXPECT_FALSE(library.GetError().empty());

    Lib unnamed = Lib::WithoutLocation(CString(L"Fresh"), true);
    EXPECT_TRUE(unnamed.GetLocation().IsEmpty());
    EXPECT_TRUE(unnamed.IsEditable());
    EXPECT_FALSE(unnamed.Exists());
    EXPECT_FALSE(unnamed.Save());
    EXPECT_NE(unnamed.GetError().find(L"has no file yet"), std::wstring::npos);
}

TEST_F(ConvectionFileLibrary, ExistsNeedsAFullPathWithAnExtension) {
    WriteBytes(Path("noext"), {1, 2, 3});
    WriteBytes(Path("lib.cclib"), {1, 2, 3});
    EXPECT_FALSE(Lib(WidePath("noext"), CString(L"n"), true).Exists());
    EXPECT_TRUE(Lib(WidePath("lib.cclib"), CString(L"n"), true).Exists());
    EXPECT_FALSE(Lib(CString(L"lib.cclib"), CString(L"n"), true).Exists());  // relative
    EXPECT_FALSE(Lib(WidePath(""), CString(L"n"), true).Exists());           // a folder
}

TEST_F(ConvectionFileLibrary, ReadOnlyFileIsNotEditable) {
    if (geteuid() == 0) GTEST_SKIP() << "root may write any file";
    Lib library = Known();
    ASSERT_TRUE(library.Save());
    chmod(Path("known.cclib").c_str(), 0444);
    EXPECT_FALSE(library.IsEditable());
    chmod(Path("known.cclib").c_str(), 0644);
    EXPECT_TRUE(library.IsEditable());
}

TEST_F(ConvectionFileLibrary, DeleteStorageRemovesTheFile) {
    Lib library = Known();
    ASSERT_TRUE(library.Save());
    ASSERT_TRUE(library.DeleteStorage());
    EXPECT_FALSE(std::filesystem::exists(Path("known.cclib")));
    EXPECT_FALSE(library.DeleteStorage());
    EXPECT_NE(library.GetError().find(L"cannot be deleted"), std::wstring::npos);
}

// A save killed at any moment leaves the old file or the new one, never a broken one.
TEST_F(ConvectionFileLibrary, SaveKilledMidwayLeavesAWholeFile) {
    const std::filesystem::path path = Path("killed.cclib");
    Lib initial(CString(orv::Utf8ToWide(path.string())), CString(L"K"), true);
    initial.SetEntry(0, CString(L"seed"), SampleInputs());
    ASSERT_TRUE(initial.Save());

    for (int round = 0; round < 5; ++round) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            // Large libraries of alternating sizes, saved back to back until killed.
            Lib library(CString(orv::Utf8ToWide(path.string())), CString(L"K"), true);
            for (int n = 0;; ++n) {
                const std::size_t count = (n % 2) ? 400 : 900;
                while (library.GetEntryCount() > count) library.RemoveEntry(library.GetEntryCount() - 1);
                while (library.GetEntryCount() < count)
                    library.SetEntry(library.GetEntryCount(), CString(L"e"), SampleInputs());
                library.RenameEntry(0, CString(std::to_wstring(n)));
                if (!library.Save()) _exit(3);
                const char tick = 'x';
                if (write(ready[1], &tick, 1) != 1) _exit(4);
            }
        }
        close(ready[1]);
        char tick = 0;
        for (int i = 0; i < 3 + round; ++i) ASSERT_EQ(read(ready[0], &tick, 1), 1);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        close(ready[0]);
        ASSERT_TRUE(WIFSIGNALED(status));

        Lib after(CString(orv::Utf8ToWide(path.string())), CString(L"K"), true);
        ASSERT_TRUE(after.Load()) << orv::WideToUtf8(after.GetError());
        EXPECT_TRUE(after.GetEntryCount() == 400 || after.GetEntryCount() == 900) << after.GetEntryCount();
    }
}

// ---- entries

TEST(ConvectionLibraryEntries, FindRenameRemoveSet) {
    Lib library;
    EXPECT_EQ(library.GetUnitSystem().GetUnitSystemType(), US::kTypeCGS);
    for (const wchar_t* n : {L"e0", L"e1", L"e2", L"e3", L"e4"})
        ASSERT_TRUE(library.SetEntry(library.GetEntryCount(), CString(n), SampleInputs()));
    EXPECT_FALSE(library.SetEntry(7, CString(L"gap"), SampleInputs()));
    EXPECT_EQ(library.FindEntry(CString(L"e3")), 3u);
    EXPECT_EQ(library.FindEntry(CString(L"E3")), Lib::npos);  // case matters

    // Deleting 0 and 2 of five, highest first, leaves the former 1, 3, 4 at 0, 1, 2.
    ASSERT_TRUE(library.RemoveEntry(2));
    ASSERT_TRUE(library.RemoveEntry(0));
    EXPECT_EQ(Names(library), (std::vector<CString>{L"e1", L"e3", L"e4"}));
    EXPECT_FALSE(library.RemoveEntry(3));

    ASSERT_TRUE(library.RenameEntry(1, CString(L"renamed")));
    EXPECT_EQ(library.FindEntry(CString(L"renamed")), 1u);
    EXPECT_FALSE(library.RenameEntry(9, CString(L"x")));

    // Set converts into the library's system, get converts out of it.
    const ConvectionCoefficientInputs si = SampleInputs();
    ASSERT_TRUE(library.SetEntry(0, CString(L"converted"), si));
    const ConvectionCoefficientInputs& stored = library.GetEntries()[0].Inputs;
    EXPECT_EQ(stored.Units.GetUnitSystemType(), US::kTypeCGS);
    EXPECT_NEAR(stored.PipeDiameter, 2.0, 1e-12);             // cm
    EXPECT_NEAR(stored.Density, 1.1e-3, 1e-15);               // g/cm³
    EXPECT_NEAR(stored.UserCoefficient, 11.5e3, 1e-9);        // erg/(cm²·s·°C)
    CString name;
    ConvectionCoefficientInputs out;
    ASSERT_TRUE(library.GetEntry(0, si.Units, &name, &out));
    EXPECT_EQ(name, L"converted");
    EXPECT_EQ(out.Units, si.Units);
    EXPECT_NEAR(out.PipeDiameter, 0.02, 1e-15);
    EXPECT_NEAR(out.UserCoefficient, 11.5, 1e-12);
    EXPECT_FALSE(library.GetEntry(3, si.Units, &name, &out));
}

TEST_F(ConvectionFileLibrary, OnlyRealChangesMakeTheLibraryDirty) {
    Lib library = Known();
    ASSERT_TRUE(library.Save());
    EXPECT_FALSE(library.IsDirty());
    EXPECT_TRUE(library.RenameEntry(0, CString(L"a")));
    EXPECT_FALSE(library.IsDirty());
    EXPECT_TRUE(library.RenameEntry(0, CString(L"A")));
    EXPECT_TRUE(library.IsDirty());
    ASSERT_TRUE(library.Save());
    EXPECT_FALSE(library.RemoveEntry(3));
    EXPECT_FALSE(library.IsDirty());
    EXPECT_TRUE(library.RemoveEntry(2));
    EXPECT_TRUE(library.IsDirty());
}

TEST(ConvectionLibraryNaming, EmptyNameAndLocationMeanTheDefaultLibrary) {
    Lib library(CString(), CString(), false);
    EXPECT_EQ(library.GetName(), L"Orven Default Library");
    EXPECT_EQ(library.GetLocation(), Lib::DefaultLibraryPath());
    EXPECT_TRUE(library.IsDefaultLibrary());
    const std::filesystem::path path(orv::WideToUtf8(Lib::DefaultLibraryPath().GetString()));
    EXPECT_EQ(path.filename(), "OrvDefault.cclib");
    EXPECT_EQ(path.parent_path(), std::filesystem::path(ORV_BINARY_DIR) / "bin");
    Lib user(CString(L"/x/y.cclib"), CString(L"Mine"), true);
    EXPECT_EQ(user.GetName(), L"Mine");
    user.SetLocation(CString());
    EXPECT_EQ(user.GetLocation(), Lib::DefaultLibraryPath());
}

// ---- the shipped default library

TEST(ConvectionDefaultLibrary, ShippedFileHoldsTheCurrentEntries) {
    Lib library(CString(), CString(), false);
    ASSERT_TRUE(library.Exists()) << "the build writes " << orv::WideToUtf8(library.GetLocation().GetString());
    ASSERT_TRUE(library.Load()) << orv::WideToUtf8(library.GetError());
    EXPECT_EQ(library.GetUnitSystem(), DefaultCoefficientUnitSystem());
    const std::vector<ConvectionCoefficientEntry> expected = DefaultCoefficientEntries();
    ASSERT_EQ(library.GetEntryCount(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(library.GetEntries()[i].Name, expected[i].Name) << i;
        EXPECT_TRUE(SameInputs(library.GetEntries()[i].Inputs, expected[i].Inputs)) << i;
    }
}

TEST(ConvectionDefaultLibrary, CoefficientsMatchHandCalculations) {
    // h of each default entry, computed separately (Python) from the same property values;
    // all lie in the usual ranges (free convection of air 2-25, forced air 10-500, forced
    // water 50-20000 W/(m²·K)).
    const double expected[] = {3.360242296754506, 5.222858737367115, 7.803642385680776,
                               4258.089133853272, 267.268,           18.624577192138826};
    const std::vector<ConvectionCoefficientEntry> entries = DefaultCoefficientEntries();
    ASSERT_EQ(entries.size(), std::size(expected));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_NEAR(entries[i].Inputs.UserCoefficient, expected[i], 1e-9 * expected[i]) << i;
        EXPECT_NEAR(ComputeFilmCoefficient(entries[i].Inputs), expected[i], 1e-9 * expected[i]) << i;
        EXPECT_LE(orv::WideToUtf8(entries[i].Name.GetString()).size(), 255u);
    }
}

TEST(ConvectionDefaultLibrary, GeneratorWritesTheSameBytes) {
    const char* base = std::getenv("ORV_TEST_TMP");
    const std::filesystem::path folder =
        std::filesystem::path(base && *base ? base : "/tmp") / ("cclib-gen-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::wstring error;
    ASSERT_TRUE(WriteDefaultCoefficientLibrary(folder / "OrvDefault.cclib", &error)) << orv::WideToUtf8(error);
    const std::filesystem::path shipped(orv::WideToUtf8(Lib::DefaultLibraryPath().GetString()));
    EXPECT_EQ(ReadBytes(folder / "OrvDefault.cclib"), ReadBytes(shipped));
    std::filesystem::remove_all(folder);
}
