// The library list: CCLibList.xml as written and read, sorting, dropped libraries, the default
// library, imports of a library already listed.

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <iterator>

#include "ConvectionTestSupport.h"
#include "dialogs/convection/ConvectionCoefficientLibraryList.h"
#include "dialogs/convection/DefaultCoefficientLibrary.h"

using namespace DataModelDialogs;
using convection_test::ScratchFolderTest;
using Lib = ConvectionCoefficientLibrary;
using List = ConvectionCoefficientLibraryList;

namespace {

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::vector<CString> Names(const List& list) {
    std::vector<CString> names;
    for (const Lib& library : list.GetLibraries()) names.push_back(library.GetName());
    return names;
}

std::string DefaultPath() { return orv::WideToUtf8(Lib::DefaultLibraryPath().GetString()); }

}  // namespace

class ConvectionLibraryList : public ScratchFolderTest {
protected:
    // A user library file with one entry per name.
    void MakeLibrary(const std::string& file, std::initializer_list<const wchar_t*> entries) {
        Lib library(WidePath(file), CString(L"x"), true);
        for (const wchar_t* name : entries) library.SetEntry(library.GetEntryCount(), CString(name), ConvectionCoefficientInputs());
        ASSERT_TRUE(library.Save()) << orv::WideToUtf8(library.GetError());
    }
    std::filesystem::path ListFile() const { return folder_ / "userdata" / "CCLibList.xml"; }
};

TEST_F(ConvectionLibraryList, ListFileLivesInTheUserDataFolder) {
    EXPECT_EQ(List::DefaultListFilePath(), ListFile());
    EXPECT_EQ(List().GetListFilePath(), ListFile());
}

TEST_F(ConvectionLibraryList, WritesTheListFileAndReadsItBackSorted) {
    MakeLibrary("zeta.cclib", {L"z1"});
    MakeLibrary("alpha.cclib", {L"a1", L"a2"});
    List list;
    const std::size_t zeta = list.AddLibrary(CString(L"Zeta"), true);
    list[zeta].SetLocation(WidePath("zeta.cclib"));
    ASSERT_TRUE(list[zeta].Load());
    const std::size_t alpha = list.AddLibrary(CString(L"alpha"), true);
    list[alpha].SetLocation(WidePath("alpha.cclib"));
    ASSERT_TRUE(list[alpha].Load());
    list.AddLibrary(CString(L"Unsaved"), true);  // no storage: not listed
    const std::size_t defaults = list.AddLibrary(CString(), false);
    ASSERT_TRUE(list[defaults].Load());
    ASSERT_TRUE(list.Save());

    const std::string expected = "<CCLibList>"
                                 "<CCLibrary><LibFile>" + Path("zeta.cclib").string() + "</LibFile><LibName>Zeta</LibName></CCLibrary>"
                                 "<CCLibrary><LibFile>" + Path("alpha.cclib").string() + "</LibFile><LibName>alpha</LibName></CCLibrary>"
                                 "<CCLibrary><LibFile>" + DefaultPath() + "</LibFile><LibName default='true'>Orven Default Library</LibName></CCLibrary>"
                                 "</CCLibList>\r\n";
    std::string text = ReadText(ListFile());
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    EXPECT_EQ(text, expected);

    List back;
    ASSERT_TRUE(back.Load());
    EXPECT_TRUE(back.GetProblems().empty());
    // Default first, then ordinal order of the names (upper case before lower case).
    EXPECT_EQ(Names(back), (std::vector<CString>{L"Orven Default Library", L"Zeta", L"alpha"}));
    EXPECT_TRUE(back[0].IsDefaultLibrary());
    EXPECT_TRUE(back[1].IsUserLibrary());
    EXPECT_EQ(back[2].GetEntryCount(), 2u);
    EXPECT_FALSE(back[2].IsDirty());
    EXPECT_EQ(back[0].GetEntryCount(), DefaultCoefficientEntries().size());
}

TEST_F(ConvectionLibraryList, DefaultLibraryReadsBackWithItsOwnName) {
    WriteText(ListFile(), "<CCLibList><CCLibrary><LibFile>" + DefaultPath() +
                              "</LibFile><LibName default='true'>Somebody's Renamed Library</LibName></CCLibrary></CCLibList>\r\n");
    List list;
    ASSERT_TRUE(list.Load());
    ASSERT_EQ(list.GetCount(), 1u);
    EXPECT_EQ(list[0].GetName(), L"Orven Default Library");
    EXPECT_TRUE(list[0].IsDefaultLibrary());
    EXPECT_FALSE(list[0].IsEditable());
    EXPECT_TRUE(list.HasDefaultLibraryFirst());
}

TEST_F(ConvectionLibraryList, ReaderIgnoresCaseAndSkipsIncompleteChildren) {
    MakeLibrary("one.cclib", {L"e"});
    MakeLibrary("two.cclib", {L"e"});
    WriteText(ListFile(), "<cclibLIST>"
                          "<CCLIBRARY><libfile>" + Path("one.cclib").string() + "</libfile><LIBNAME>One</LIBNAME></CCLIBRARY>"
                          "<Other><LibFile>" + Path("two.cclib").string() + "</LibFile><LibName>Other</LibName></Other>"
                          "<CCLibrary><LibFile>" + Path("two.cclib").string() + "</LibFile></CCLibrary>"
                          "<CCLibrary><LibName default='false'>Two</LibName><LibFile>" + Path("two.cclib").string() + "</LibFile></CCLibrary>"
                          "</CCLIBLIST>");
    List list;
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(Names(list), (std::vector<CString>{L"One", L"Two"}));
    EXPECT_TRUE(list[1].IsUserLibrary());
}

TEST_F(ConvectionLibraryList, UnreadableLibrariesAreDroppedWithAReason) {
    MakeLibrary("kept.cclib", {L"e"});
    WriteText(Path("broken.cclib"), "not a storage file");
    WriteText(ListFile(), "<CCLibList>"
                          "<CCLibrary><LibFile>" + Path("missing.cclib").string() + "</LibFile><LibName>Missing</LibName></CCLibrary>"
                          "<CCLibrary><LibFile>" + Path("broken.cclib").string() + "</LibFile><LibName>Broken</LibName></CCLibrary>"
                          "<CCLibrary><LibFile>" + Path("kept.cclib").string() + "</LibFile><LibName>Kept</LibName></CCLibrary>"
                          "</CCLibList>");
    List list;
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(Names(list), (std::vector<CString>{L"Kept"}));
    EXPECT_EQ(list.GetProblems().size(), 2u);
    // The next save forgets them.
    ASSERT_TRUE(list.Save());
    EXPECT_EQ(ReadText(ListFile()).find("Missing"), std::string::npos);
}

TEST_F(ConvectionLibraryList, MissingFileKeepsTheListAndDamagedFileEmptiesIt) {
    List list;
    list.AddLibrary(CString(L"In memory"), true);
    ASSERT_TRUE(list.Load());  // no file yet
    EXPECT_EQ(list.GetCount(), 1u);

    WriteText(ListFile(), "<CCLibList><CCLibrary></CCLibList>");
    EXPECT_FALSE(list.Load());
    EXPECT_TRUE(list.IsEmpty());
    ASSERT_EQ(list.GetProblems().size(), 1u);
    EXPECT_NE(list.GetProblems()[0].find(L"CCLibList.xml"), std::wstring::npos) << orv::WideToUtf8(list.GetProblems()[0]);
}

// A list file that cannot be read leaves the list and the file as they are, even across a
// save; one that was read and did not parse is kept beside the new one.
TEST_F(ConvectionLibraryList, AnUnreadableListIsKeptAndADamagedOneSetAside) {
    MakeLibrary("mine.cclib", {L"m1"});
    List list;
    list[list.AddLibrary(CString(L"Mine"), true)].SetLocation(WidePath("mine.cclib"));
    ASSERT_TRUE(list.Save());
    const std::string good = ReadText(ListFile());

    // A folder in its place stands for a file that exists but cannot be read.
    std::filesystem::rename(ListFile(), folder_ / "good.xml");
    std::filesystem::create_directory(ListFile());
    EXPECT_FALSE(list.Load());
    EXPECT_EQ(list.GetCount(), 1u);
    ASSERT_FALSE(list.GetProblems().empty());
    EXPECT_NE(list.GetProblems()[0].find(L"cannot read"), std::wstring::npos) << orv::WideToUtf8(list.GetProblems()[0]);
    std::filesystem::remove(ListFile());
    std::filesystem::rename(folder_ / "good.xml", ListFile());
    if (::geteuid() != 0) {  // permissions do not stop the superuser
        std::filesystem::permissions(ListFile(), std::filesystem::perms::none);
        EXPECT_FALSE(list.Load());
        EXPECT_EQ(list.GetCount(), 1u);
        EXPECT_FALSE(list.Save());
        std::filesystem::permissions(ListFile(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        EXPECT_EQ(ReadText(ListFile()), good);
    }

    WriteText(ListFile(), "<CCLibList><CCLibrary>");
    WriteText(folder_ / "userdata" / "CCLibList.xml.damaged", "older");
    EXPECT_FALSE(list.Load());
    ASSERT_TRUE(list.Save());
    EXPECT_EQ(ReadText(folder_ / "userdata" / "CCLibList.xml.damaged"), "older");
    EXPECT_EQ(ReadText(folder_ / "userdata" / "CCLibList.xml.damaged.2"), "<CCLibList><CCLibrary>");
    EXPECT_EQ(ReadText(ListFile()).find("Mine"), std::string::npos);
}

TEST_F(ConvectionLibraryList, EnsureDefaultLibraryOnAnEmptyList) {
    List list;
    ASSERT_TRUE(list.Load());
    ASSERT_TRUE(list.EnsureDefaultLibrary());
    ASSERT_EQ(list.GetCount(), 1u);
    EXPECT_TRUE(list[0].IsDefaultLibrary());
    EXPECT_FALSE(list[0].IsDirty());
    EXPECT_EQ(list[0].GetEntryCount(), DefaultCoefficientEntries().size());
    EXPECT_NE(ReadText(ListFile()).find("default='true'"), std::string::npos);
    // Already in front: nothing to do.
    const auto written = std::filesystem::last_write_time(ListFile());
    ASSERT_TRUE(list.EnsureDefaultLibrary());
    EXPECT_EQ(list.GetCount(), 1u);
    EXPECT_EQ(std::filesystem::last_write_time(ListFile()), written);
}

TEST_F(ConvectionLibraryList, EnsureDefaultLibraryPutsItFirst) {
    MakeLibrary("mine.cclib", {L"e"});
    List list;
    const std::size_t mine = list.AddLibrary(CString(L"Mine"), true);
    list[mine].SetLocation(WidePath("mine.cclib"));
    ASSERT_TRUE(list[mine].Load());
    ASSERT_TRUE(list.EnsureDefaultLibrary());
    EXPECT_EQ(Names(list), (std::vector<CString>{L"Orven Default Library", L"Mine"}));
}

TEST_F(ConvectionLibraryList, TheShippedDefaultFileIsNeverOverwritten) {
    const std::string before = ReadText(DefaultPath());
    // A default library added but not loaded is dirty and empty; saving the list must not
    // write it over the shipped file.
    List list;
    list.AddLibrary(CString(), false);
    ASSERT_TRUE(list[0].IsDirty());
    EXPECT_TRUE(list.Save());
    EXPECT_EQ(ReadText(DefaultPath()), before);

    // With the developer switch on, ensuring the default library reads the existing file
    // instead of starting an empty one.
    SetDeveloperSwitch(1);
    List developer;
    ASSERT_TRUE(developer.EnsureDefaultLibrary());
    EXPECT_TRUE(developer[0].IsEditable());
    EXPECT_EQ(developer[0].GetEntryCount(), DefaultCoefficientEntries().size());
    EXPECT_EQ(ReadText(DefaultPath()), before);
}

TEST_F(ConvectionLibraryList, FindingLibrariesByNameAndLocation) {
    MakeLibrary("Shared.cclib", {L"e"});
    List list;
    const std::size_t index = list.AddLibrary(CString(L"Shared"), true);
    list[index].SetLocation(WidePath("Shared.cclib"));
    // Importing the same file again, even spelt in another case, is detected.
    CString again = WidePath("shared.CCLIB");
    EXPECT_EQ(list.FindLibraryByLocation(again), index);
    EXPECT_EQ(list.FindLibraryByLocation(WidePath("other.cclib")), List::npos);
    EXPECT_EQ(list.FindLibraryByName(CString(L"Shared")), index);
    EXPECT_EQ(list.FindLibraryByName(CString(L"shared")), List::npos);
}

TEST_F(ConvectionLibraryList, RemovingALibraryCanDeleteItsFile) {
    MakeLibrary("gone.cclib", {L"e"});
    MakeLibrary("kept.cclib", {L"e"});
    List list;
    for (const char* file : {"gone.cclib", "kept.cclib"}) {
        const std::size_t i = list.AddLibrary(CString(orv::Utf8ToWide(file)), true);
        list[i].SetLocation(WidePath(file));
    }
    ASSERT_TRUE(list.RemoveLibrary(0, true));
    EXPECT_FALSE(std::filesystem::exists(Path("gone.cclib")));
    ASSERT_TRUE(list.RemoveLibrary(0, false));
    EXPECT_TRUE(std::filesystem::exists(Path("kept.cclib")));
    EXPECT_FALSE(list.RemoveLibrary(0, false));
}

TEST_F(ConvectionLibraryList, SaveReportsALibraryThatCannotBeWritten) {
    List list;
    const std::size_t i = list.AddLibrary(CString(L"Nowhere"), true);
    list[i].SetLocation(WidePath("no-such-folder/x.cclib"));
    list[i].SetEntry(0, CString(L"e"), ConvectionCoefficientInputs());
    // A library whose file is not chosen yet is no failure; it waits, dirty.
    const std::size_t j = list.AddLibrary(CString(L"No file"), true);
    EXPECT_FALSE(list.Save());
    ASSERT_EQ(list.GetProblems().size(), 1u);
    EXPECT_TRUE(list[i].IsDirty());
    EXPECT_TRUE(list[j].IsDirty());
    // The list file is still written.
    EXPECT_TRUE(std::filesystem::exists(ListFile()));
}

TEST_F(ConvectionLibraryList, SpecialCharactersInNamesAndPathsSurvive) {
    MakeLibrary("R&D <tests> 'q'.cclib", {L"e"});
    List list;
    const std::size_t i = list.AddLibrary(CString(L"Tom's \"R&D\" <lab> ünï"), true);
    list[i].SetLocation(WidePath("R&D <tests> 'q'.cclib"));
    ASSERT_TRUE(list[i].Load());
    ASSERT_TRUE(list.Save());
    List back;
    ASSERT_TRUE(back.Load()) << (back.GetProblems().empty() ? "" : orv::WideToUtf8(back.GetProblems()[0]));
    ASSERT_EQ(back.GetCount(), 1u);
    EXPECT_EQ(back[0].GetName(), L"Tom's \"R&D\" <lab> ünï");
    EXPECT_EQ(back[0].GetLocation(), WidePath("R&D <tests> 'q'.cclib"));
}
