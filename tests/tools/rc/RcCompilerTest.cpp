// The resource compiler: error messages with positions, and a round trip of scripts through the
// compiler and the resource module's parser.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/res/ResourceData.h"
#include "platform/win/WinStyles.h"
#include "tools/rc/RcCompiler.h"

namespace fs = std::filesystem;
using orv::rc::CompileOptions;
using orv::rc::CompileText;
using orv::res::DialogItemTemplate;
using orv::res::DialogTemplate;
using orv::res::ResourceSet;

namespace {

const std::string kData = std::string(ORV_SOURCE_DIR) + "/tests/tools/rc/data";

fs::path TempDir(const std::string& name) {
    fs::path dir = fs::path(ORV_BINARY_DIR) / "testtmp" / "rc" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::unique_ptr<ResourceSet> CompileOk(const std::string& script, const CompileOptions& options = {},
                                       const std::string& name = kData + "/script.rc") {
    auto result = CompileText(name, script, options);
    EXPECT_TRUE(result.ok) << result.error.ToString();
    if (!result.ok) return nullptr;
    std::string error;
    auto set = ResourceSet::Parse(result.blob.data(), result.blob.size(), &error);
    EXPECT_TRUE(set) << error;
    return set;
}

struct BadScript {
    const char* name;
    const char* script;
    const char* expected;  // "file:line: message" with file "bad.rc"
};

const BadScript kBadScripts[] = {
    {"unterminated string", "STRINGTABLE\nBEGIN\n  1 \"abc\nEND\n", "bad.rc:3: unterminated string"},
    {"string table without END", "STRINGTABLE\nBEGIN\n  1 \"a\"\n  2 \"b\"\n",
     "bad.rc:4: missing END of the string table that begins at line 1"},
    {"string without text", "STRINGTABLE\nBEGIN\n  1\nEND\n",
     "bad.rc:4: expected the text of string 1 in quotes, found 'END'"},
    {"duplicate string id", "STRINGTABLE\nBEGIN\n  7 \"a\"\nEND\nSTRINGTABLE\nBEGIN\n  7 \"b\"\nEND\n",
     "bad.rc:7: duplicate string id 7 (first defined at bad.rc:3)"},
    {"string id out of range", "STRINGTABLE\nBEGIN\n  65536 \"a\"\nEND\n",
     "bad.rc:3: string id 65536 is out of range (0 to 65535)"},
    {"undefined identifier as control id",
     "1 DIALOGEX 0, 0, 10, 10\nBEGIN\n  LTEXT \"a\", IDC_NOWHERE, 0, 0, 5, 5\nEND\n",
     "bad.rc:3: undefined identifier 'IDC_NOWHERE'"},
    {"missing comma", "1 DIALOGEX 0, 0, 10, 10\nBEGIN\n  LTEXT \"a\" 5, 0, 0, 5, 5\nEND\n",
     "bad.rc:3: expected ',' after the text of LTEXT, found '5'"},
    {"unknown control", "1 DIALOGEX 0, 0, 10, 10\nBEGIN\n  SLIDER \"a\", 5, 0, 0, 5, 5\nEND\n",
     "bad.rc:3: unknown control statement 'SLIDER'"},
    {"dialog without END", "1 DIALOGEX 0, 0, 10, 10\nBEGIN\n  LTEXT \"a\", 5, 0, 0, 5, 5\n",
     "bad.rc:3: missing END of the dialog controls that begin at line 2"},
    {"unknown dialog statement", "1 DIALOGEX 0, 0, 10, 10\nTITLE \"x\"\nBEGIN\nEND\n",
     "bad.rc:2: unknown dialog statement 'TITLE' (expected STYLE, EXSTYLE, CAPTION, FONT, CLASS, MENU or BEGIN)"},
    {"help id in a plain dialog", "1 DIALOG 0, 0, 10, 10, 99\nBEGIN\nEND\n",
     "bad.rc:1: a help id is allowed only in DIALOGEX"},
    {"coordinate out of range", "1 DIALOGEX 0, 0, 40000, 10\nBEGIN\nEND\n",
     "bad.rc:1: width 40000 is out of range (-32768 to 32767)"},
    {"duplicate dialog", "1 DIALOGEX 0,0,1,1\nBEGIN\nEND\n\n1 DIALOGEX 0,0,1,1\nBEGIN\nEND\n",
     "bad.rc:5: duplicate dialog 1 (first defined at bad.rc:1)"},
    {"unknown resource type", "5 MENUEX\nBEGIN\nEND\n", "bad.rc:1: unknown or unsupported resource type 'MENUEX'"},
    {"statement starting with punctuation", "\n, 5\n", "bad.rc:2: expected a resource statement, found ','"},
    {"NOT outside a style", "1 DIALOGEX 0, NOT 0, 10, 10\nBEGIN\nEND\n",
     "bad.rc:1: NOT is allowed only in style expressions"},
    {"overflowing arithmetic wraps", "1 DIALOGEX 0, 0xFFFFFFFF*0xFFFFFFFF*0xFFFFFFFF, 10, 10\nBEGIN\nEND\n",
     "bad.rc:1: y 12884901887 is out of range (-32768 to 32767)"},
    {"division by zero", "1 DIALOGEX 0, 4/0, 10, 10\nBEGIN\nEND\n", "bad.rc:1: division by zero"},
    {"bad number", "STRINGTABLE\nBEGIN\n  12ab \"a\"\nEND\n", "bad.rc:3: bad number '12ab'"},
    {"number too large", "STRINGTABLE\nBEGIN\n  0x100000000 \"a\"\nEND\n",
     "bad.rc:3: number '0x100000000' does not fit in 32 bits"},
    {"unexpected character", "STRINGTABLE\nBEGIN\n  1 @ \"a\"\nEND\n", "bad.rc:3: unexpected character '@'"},
    {"unknown escape", "STRINGTABLE\nBEGIN\n  1 \"C:\\dir\"\nEND\n",
     "bad.rc:3: unknown escape sequence '\\d' in string"},
    {"hex escape without digits", "STRINGTABLE\nBEGIN\n  1 \"\\xg\"\nEND\n", "bad.rc:3: \\x escape without hex digits"},
    {"unterminated comment", "// fine\n/* not\nclosed\nSTRINGTABLE\n", "bad.rc:2: unterminated comment"},
    {"endif without if", "#endif\n", "bad.rc:1: #endif without #if"},
    {"else without if", "\n#else\n", "bad.rc:2: #else without #if"},
    {"else after else", "#if 1\n#else\n#else\n#endif\n", "bad.rc:3: #else after #else"},
    {"missing endif", "#define A 1\n#ifdef A\nSTRINGTABLE\nBEGIN\nEND\n",
     "bad.rc:2: unterminated conditional directive (missing #endif)"},
    {"error directive", "#if 2 > 1\n#error not for this platform\n#endif\n", "bad.rc:2: #error not for this platform"},
    {"unknown directive", "#import \"x\"\n", "bad.rc:1: unknown directive '#import'"},
    {"bad if expression", "#if (1 + \n#endif\n", "bad.rc:1: unexpected end of #if expression"},
    {"missing include", "#include \"nothere.h\"\n", "bad.rc:1: cannot open include file 'nothere.h'"},
    {"function-like macro", "#define ID(x) (x + 1)\nSTRINGTABLE\nBEGIN\n  ID(1) \"a\"\nEND\n",
     "bad.rc:4: function-like macro 'ID' is not supported"},
    {"self-referencing macro", "#define X X\nSTRINGTABLE\nBEGIN\n  X \"a\"\nEND\n",
     "bad.rc:4: undefined identifier 'X'"},
    {"missing icon file", "1 ICON \"missing.ico\"\n", "bad.rc:1: cannot open icon file 'missing.ico'"},
    {"icon file name not quoted", "1 ICON missing\n",
     "bad.rc:1: expected the icon file name in quotes, found 'missing'"},
    {"PNG icon", "1 ICON \"png.ico\"\n", "bad.rc:1: icon file 'png.ico': image 1: PNG images in icons are not supported"},
    {"bitmap of 16 bits", "1 BITMAP \"bits16.bmp\"\n",
     "bad.rc:1: bitmap file 'bits16.bmp': unsupported bit count 16 (1, 4, 8, 24 or 32)"},
    {"compressed bitmap", "1 BITMAP \"rle8.bmp\"\n",
     "bad.rc:1: bitmap file 'rle8.bmp': compressed bitmaps are not supported (compression 1)"},
    {"truncated bitmap", "1 BITMAP \"truncated.bmp\"\n", "bad.rc:1: bitmap file 'truncated.bmp': truncated pixel data"},
    {"not a bitmap", "\n\n1 BITMAP \"notbmp.bmp\"\n", "bad.rc:3: bitmap file 'notbmp.bmp': not a BMP file"},
    {"icon that is a bitmap", "1 ICON \"strip24.bmp\"\n", "bad.rc:1: icon file 'strip24.bmp': not an icon file"},
    {"version part out of range", "1 VERSIONINFO\n FILEVERSION 1, 70000\nBEGIN\nEND\n",
     "bad.rc:2: version part 70000 is out of range (0 to 65535)"},
    {"version with five parts", "1 VERSIONINFO\n FILEVERSION 1,2,3,4,5\nBEGIN\nEND\n",
     "bad.rc:2: a version has at most 4 parts"},
    {"odd translation", "1 VERSIONINFO\nBEGIN\n BLOCK \"VarFileInfo\"\n BEGIN\n  VALUE \"Translation\", 0x409\n END\nEND\n",
     "bad.rc:5: Translation expects pairs of language and code page numbers"},
    {"numeric version string",
     "1 VERSIONINFO\nBEGIN\n BLOCK \"StringFileInfo\"\n BEGIN\n  BLOCK \"040904b0\"\n  BEGIN\n   VALUE \"FileVersion\", 1\n  "
     "END\n END\nEND\n",
     "bad.rc:7: version string \"FileVersion\" must be text"},
    {"unknown version block", "1 VERSIONINFO\nBEGIN\n BLOCK \"Other\"\n BEGIN\n END\nEND\n",
     "bad.rc:3: unknown version block \"Other\" (expected StringFileInfo or VarFileInfo)"},
    {"CONTROL without class", "1 DIALOGEX 0,0,9,9\nBEGIN\n CONTROL \"x\", 1, 5, 0, 0, 1, 1\nEND\n",
     "bad.rc:3: expected a window class name, found '5'"},
    {"ICON control with width but no height", "1 DIALOGEX 0,0,9,9\nBEGIN\n ICON 3007, 1, 5, 6, 7\nEND\n",
     "bad.rc:4: expected ',' after the control's width, found 'END'"},
};

class BadScriptTest : public ::testing::TestWithParam<BadScript> {};

TEST_P(BadScriptTest, ReportsFileAndLine) {
    const BadScript& c = GetParam();
    CompileOptions options;
    options.includeDirs.push_back(kData);  // where the image files are
    auto result = CompileText("bad.rc", c.script, options);
    ASSERT_FALSE(result.ok);
    EXPECT_TRUE(result.blob.empty());
    EXPECT_EQ(result.error.ToString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadScriptTest, ::testing::ValuesIn(kBadScripts), [](const auto& info) {
    std::string name = info.param.name;
    for (auto& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
});

TEST(RcErrors, ErrorInAnIncludedHeaderNamesTheHeader) {
    fs::path dir = TempDir("header_error");
    WriteFile(dir / "ids.h", "#define IDS_A 1\n#ifdef IDS_A\n#define IDS_B 2\n");
    WriteFile(dir / "main.rc", "#include \"ids.h\"\nSTRINGTABLE\nBEGIN\nEND\n");
    auto result = orv::rc::CompileFile((dir / "main.rc").string(), {});
    ASSERT_FALSE(result.ok);
    EXPECT_EQ(result.error.ToString(), (dir / "ids.h").string() + ":2: unterminated conditional directive (missing #endif)");
}

TEST(RcErrors, MissingScriptFile) {
    auto result = orv::rc::CompileFile("/nonexistent/dir/none.rc", {});
    ASSERT_FALSE(result.ok);
    EXPECT_EQ(result.error.ToString(), "/nonexistent/dir/none.rc: cannot open file");
}

// Every control statement with its implied styles, style expressions with NOT, EXSTYLE, FONT.
const char* kDialogScript = R"rc(
// A representative dialog.
#include "winres.h"
#define IDD_ALL        3002
#define IDC_BASE       1000
#define IDC_EDIT       (IDC_BASE + 1)
#define MY_STYLE       WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME

LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US

IDD_ALL DIALOGEX 10, 20, 300, 200, 77
STYLE MY_STYLE | DS_CONTEXTHELP
EXSTYLE WS_EX_CONTEXTHELP
CAPTION "Contact ""Options"""
FONT 9, "Segoe UI", 700, 1, 0
{
    LTEXT           "L", IDC_STATIC, 1, 2, 3, 4
    RTEXT           "R", 2001, 1, 2, 3, 4, NOT WS_GROUP
    CTEXT           "C", 2002, 1, 2, 3, 4, SS_NOPREFIX, WS_EX_STATICEDGE, 55
    EDITTEXT        IDC_EDIT, 5, 6, 7, 8, ES_AUTOHSCROLL | NOT WS_BORDER
    PUSHBUTTON      "P", 2003, 1, 2, 3, 4
    DEFPUSHBUTTON   "OK", IDOK, 1, 2, 3, 4
    CHECKBOX        "CB", 2004, 1, 2, 3, 4
    AUTOCHECKBOX    "ACB", 2005, 1, 2, 3, 4, NOT WS_TABSTOP | WS_GROUP
    AUTO3STATE      "A3", 2006, 1, 2, 3, 4
    RADIOBUTTON     "RB", 2007, 1, 2, 3, 4
    AUTORADIOBUTTON "ARB", 2008, 1, 2, 3, 4, WS_GROUP | WS_TABSTOP
    GROUPBOX        "G", 2009, 1, 2, 3, 4
    COMBOBOX        2010, 1, 2, 3, 4, CBS_DROPDOWNLIST | WS_VSCROLL
    LISTBOX         2011, 1, 2, 3, 4, LBS_SORT
    ICON            3007, 2012, 1, 2
    ICON            "IDI_NAMED", 2013, 1, 2, 16, 16, SS_CENTERIMAGE
    CONTROL         "", 2014, "SysListView32", LVS_REPORT | WS_BORDER | WS_TABSTOP, 1, 2, 3, 4, WS_EX_CLIENTEDGE
    CONTROL         "", 2015, "msctls_updown32", UDS_SETBUDDYINT | UDS_ALIGNRIGHT | NOT WS_VISIBLE, 1, 2, 3, 4
    CONTROL         "Check", 2016, BUTTON, BS_AUTOCHECKBOX, 7+3, 2*3, 10-4, -1
    CONTROL         3007, 2017, "static", SS_ICON, 1, 2, 3, 4
    CONTROL         "", 2018, "ComboBoxEx32", CBS_DROPDOWNLIST, 1, 2, 3, 4, 0, 66
}
)rc";

TEST(RcRoundTrip, DialogWithEveryControlStatement) {
    auto set = CompileOk(kDialogScript);
    ASSERT_TRUE(set);
    ASSERT_EQ(set->dialogs.count(L"#3002"), 1u);
    const DialogTemplate& d = set->dialogs.at(L"#3002");
    EXPECT_EQ(d.id, 3002u);
    EXPECT_EQ(d.caption, L"Contact \"Options\"");
    EXPECT_EQ(d.style, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CONTEXTHELP | DS_SETFONT);
    EXPECT_EQ(d.exStyle, WS_EX_CONTEXTHELP);
    EXPECT_EQ(d.helpId, 77u);
    EXPECT_EQ(d.x, 10);
    EXPECT_EQ(d.y, 20);
    EXPECT_EQ(d.cx, 300);
    EXPECT_EQ(d.cy, 200);
    EXPECT_EQ(d.fontName, L"Segoe UI");
    EXPECT_EQ(d.fontPointSize, 9);
    EXPECT_EQ(d.fontWeight, 700);
    EXPECT_TRUE(d.fontItalic);

    const DWORD cv = WS_CHILD | WS_VISIBLE;
    struct Expected {
        const wchar_t* className;
        const wchar_t* text;
        UINT id;
        DWORD style;
        DWORD exStyle;
        DWORD helpId;
    };
    const Expected expected[] = {
        {L"Static", L"L", 0xFFFFFFFFu, cv | SS_LEFT | WS_GROUP, 0, 0},
        {L"Static", L"R", 2001, cv | SS_RIGHT, 0, 0},
        {L"Static", L"C", 2002, cv | SS_CENTER | WS_GROUP | SS_NOPREFIX, WS_EX_STATICEDGE, 55},
        {L"Edit", L"", 1001, cv | ES_LEFT | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0},
        {L"Button", L"P", 2003, cv | BS_PUSHBUTTON | WS_TABSTOP, 0, 0},
        {L"Button", L"OK", 1, cv | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 0},
        {L"Button", L"CB", 2004, cv | BS_CHECKBOX | WS_TABSTOP, 0, 0},
        {L"Button", L"ACB", 2005, cv | BS_AUTOCHECKBOX | WS_GROUP, 0, 0},
        {L"Button", L"A3", 2006, cv | BS_AUTO3STATE | WS_TABSTOP, 0, 0},
        {L"Button", L"RB", 2007, cv | BS_RADIOBUTTON, 0, 0},
        {L"Button", L"ARB", 2008, cv | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0, 0},
        {L"Button", L"G", 2009, cv | BS_GROUPBOX, 0, 0},
        {L"ComboBox", L"", 2010, cv | CBS_SIMPLE | WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, 0, 0},
        {L"ListBox", L"", 2011, cv | LBS_NOTIFY | WS_BORDER | LBS_SORT, 0, 0},
        {L"Static", L"#3007", 2012, cv | SS_ICON, 0, 0},
        {L"Static", L"IDI_NAMED", 2013, cv | SS_ICON | SS_CENTERIMAGE, 0, 0},
        {L"SysListView32", L"", 2014, cv | LVS_REPORT | WS_BORDER | WS_TABSTOP, WS_EX_CLIENTEDGE, 0},
        {L"msctls_updown32", L"", 2015, WS_CHILD | UDS_SETBUDDYINT | UDS_ALIGNRIGHT, 0, 0},
        {L"Button", L"Check", 2016, cv | BS_AUTOCHECKBOX, 0, 0},
        {L"Static", L"#3007", 2017, cv | SS_ICON, 0, 0},
        {L"ComboBoxEx32", L"", 2018, cv | CBS_DROPDOWNLIST, 0, 66},
    };
    ASSERT_EQ(d.items.size(), std::size(expected));
    for (std::size_t i = 0; i < d.items.size(); ++i) {
        SCOPED_TRACE("control " + std::to_string(i + 1));
        const DialogItemTemplate& item = d.items[i];
        EXPECT_EQ(item.className, expected[i].className);
        EXPECT_EQ(item.text, expected[i].text);
        EXPECT_EQ(item.id, expected[i].id);
        EXPECT_EQ(item.style, expected[i].style) << std::hex << item.style << " vs " << expected[i].style;
        EXPECT_EQ(item.exStyle, expected[i].exStyle);
        EXPECT_EQ(item.helpId, expected[i].helpId);
    }
    EXPECT_EQ(d.items[3].x, 5);
    EXPECT_EQ(d.items[3].cy, 8);
    EXPECT_EQ(d.items[14].cx, 0);  // ICON without a size
    EXPECT_EQ(d.items[15].cx, 16);
    EXPECT_EQ(d.items[18].x, 10);  // expressions in coordinates
    EXPECT_EQ(d.items[18].y, 6);
    EXPECT_EQ(d.items[18].cx, 6);
    EXPECT_EQ(d.items[18].cy, -1);
}

TEST(RcRoundTrip, DialogDefaults) {
    auto set = CompileOk("5 DIALOG 0, 0, 10, 10\nBEGIN\nEND\n6 DIALOGEX 0,0,1,1\nCAPTION \"T\"\nBEGIN\nEND\n");
    ASSERT_TRUE(set);
    const DialogTemplate& plain = set->dialogs.at(L"#5");
    EXPECT_EQ(plain.style, WS_POPUP | WS_BORDER | WS_SYSMENU);
    EXPECT_TRUE(plain.fontName.empty());
    EXPECT_EQ(set->dialogs.at(L"#6").style, WS_POPUP | WS_BORDER | WS_SYSMENU | WS_CAPTION);
}

struct StringCase {
    const char* literal;
    const wchar_t* text;
};

TEST(RcRoundTrip, StringEscapes) {
    const StringCase cases[] = {
        {R"("plain")", L"plain"},
        {R"("say ""hi""")", L"say \"hi\""},
        {R"("say \"hi\"")", L"say \"hi\""},
        {R"("a\nb\tc")", L"a\nb\tc"},
        {R"("line\r\nnext")", L"line\r\nnext"},
        {R"("back\\slash")", L"back\\slash"},
        {R"("\x41\x00e9\x20AC")", L"A\u00e9\u20ac"},
        {R"("oct\101")", L"octA"},
        {R"("")", L""},
        {R"("joined " "text")", L"joined text"},
        {R"(L"wide")", L"wide"},
        {R"("// not a comment /* nor this */")", L"// not a comment /* nor this */"},
        {"\"Gr\xc3\xbc\xc3\x9f" "e\"", L"Gr\u00fc\u00dfe"},
    };
    std::string script = "STRINGTABLE\nBEGIN\n";
    for (std::size_t i = 0; i < std::size(cases); ++i) script += "  " + std::to_string(i + 1) + ", " + cases[i].literal + "\n";
    script += "END\n";
    auto set = CompileOk(script);
    ASSERT_TRUE(set);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].literal);
        ASSERT_EQ(set->strings.count(UINT(i + 1)), 1u);
        EXPECT_EQ(set->strings.at(UINT(i + 1)), cases[i].text);
    }
}

TEST(RcRoundTrip, PreprocessorHeadersAndConditions) {
    fs::path dir = TempDir("preprocessor");
    fs::create_directories(dir / "inc");
    // A header shared with C++ code: only its directives count.
    WriteFile(dir / "inc" / "ids.h",
              "#pragma once\n#define IDS_FIRST 100\n#define IDS_SECOND IDS_FIRST + 1\n"
              "namespace ids { inline constexpr int kOther = 5; }\n"
              "#define IDS_LONG \\\n   200\n");
    WriteFile(dir / "local.h", "#define LOCAL_ID 300\n");
    WriteFile(dir / "main.rc",
              "#include \"local.h\"\n#include <ids.h>\n"
              "#define FEATURE\n"
              "/* a comment\n   over lines */\n"
              "STRINGTABLE\nBEGIN\n"
              "  IDS_FIRST \"first\"\n"
              "  IDS_SECOND \"second\"\n"
              "  IDS_LONG \"long\"\n"
              "  LOCAL_ID \"local\"  // trailing comment\n"
              "#ifdef FEATURE\n  400 \"feature\"\n#else\n  400 \"no feature\"\n#endif\n"
              "#if defined(MISSING) || (IDS_FIRST * 2 == 200 && !defined MISSING)\n  401 \"if\"\n"
              "#elif 1\n  401 \"elif\"\n#endif\n"
              "#ifndef FEATURE\n  402 \"skipped\"\n#elif LOCAL_ID > 299\n  402 \"elif taken\"\n#endif\n"
              "#if 0\n  #error never\n  403 \"skipped\"\n#endif\n"
              "#undef FEATURE\n#ifdef FEATURE\n  404 \"undefined\"\n#endif\n"
              "END\n");
    CompileOptions options;
    options.includeDirs.push_back((dir / "inc").string());
    auto result = orv::rc::CompileFile((dir / "main.rc").string(), options);
    ASSERT_TRUE(result.ok) << result.error.ToString();
    auto set = ResourceSet::Parse(result.blob.data(), result.blob.size(), nullptr);
    ASSERT_TRUE(set);
    const std::map<UINT, std::wstring> expected = {{100, L"first"},  {101, L"second"}, {200, L"long"},
                                                   {300, L"local"},  {400, L"feature"}, {401, L"if"},
                                                   {402, L"elif taken"}};
    EXPECT_EQ(set->strings, expected);
    ASSERT_EQ(result.dependencies.size(), 3u);
    EXPECT_EQ(result.dependencies[0], (dir / "main.rc").string());
    EXPECT_EQ(result.dependencies[1], (dir / "local.h").string());
    EXPECT_EQ(result.dependencies[2], (dir / "inc" / "ids.h").string());
}

TEST(RcRoundTrip, VersionInfo) {
    auto set = CompileOk(R"rc(
VS_VERSION_INFO VERSIONINFO
 FILEVERSION 1,2,3,4
 PRODUCTVERSION 5,6
 FILEFLAGSMASK VS_FFI_FILEFLAGSMASK
 FILEFLAGS VS_FF_DEBUG
 FILEOS VOS_NT_WINDOWS32
 FILETYPE VFT_DLL
 FILESUBTYPE VFT2_UNKNOWN
BEGIN
    BLOCK "StringFileInfo"
    BEGIN
        BLOCK "040904b0"
        BEGIN
            VALUE "CompanyName", "ORVEN, Inc."
            VALUE "FileVersion", "1.2.3.4"
        END
        BLOCK "040704b0"
        BEGIN
            VALUE "FileDescription", "Dialoge"
        END
    END
    BLOCK "VarFileInfo"
    BEGIN
        VALUE "Translation", 0x409, 1200, 0x407, 1200
    END
END
)rc");
    ASSERT_TRUE(set);
    ASSERT_TRUE(set->version);
    const auto& v = *set->version;
    EXPECT_EQ(v.Major(), 1);
    EXPECT_EQ(v.Minor(), 2);
    EXPECT_EQ(v.Build(), 3);
    EXPECT_EQ(v.Revision(), 4);
    EXPECT_EQ(v.productVersionMS, 0x00050006u);
    EXPECT_EQ(v.productVersionLS, 0u);
    EXPECT_EQ(v.fileFlags, 1u);
    EXPECT_EQ(v.fileOS, 0x40004u);
    EXPECT_EQ(v.fileType, 2u);
    ASSERT_EQ(v.stringBlocks.size(), 2u);
    EXPECT_EQ(v.stringBlocks[1].key, L"040704b0");
    ASSERT_TRUE(v.FindString(L"companyname"));
    EXPECT_EQ(*v.FindString(L"companyname"), L"ORVEN, Inc.");
    EXPECT_EQ(*v.FindString(L"FileDescription"), L"Dialoge");
    EXPECT_FALSE(v.FindString(L"ProductName"));
    const std::vector<std::pair<WORD, WORD>> translations = {{0x409, 1200}, {0x407, 1200}};
    EXPECT_EQ(v.translations, translations);
}

TEST(RcRoundTrip, NamesBracesAndEditorBlocks) {
    auto set = CompileOk(
        "#ifdef APSTUDIO_INVOKED\n1 TEXTINCLUDE\nBEGIN\n \"resource.h\\0\"\nEND\n#endif\n"
        "IDD_NAMED DIALOGEX DISCARDABLE 0, 0, 5, 5 { }\n"
        "3000 AFX_DIALOG_LAYOUT\nBEGIN\n 0\nEND\n"
        "stringtable { 1 \"lower-case keywords\" }\n");
    ASSERT_TRUE(set);
    EXPECT_EQ(set->dialogs.count(L"IDD_NAMED"), 1u);
    EXPECT_EQ(set->dialogs.at(L"IDD_NAMED").id, 0u);
    EXPECT_EQ(set->strings.at(1), L"lower-case keywords");
}

TEST(RcImages, IconWithSeveralImages) {
    auto set = CompileOk("3007 ICON \"three.ico\"\n");
    ASSERT_TRUE(set);
    const auto& icon = set->icons.at(L"#3007");
    ASSERT_EQ(icon.images.size(), 3u);
    const auto& i16 = icon.images[0];
    EXPECT_EQ(i16.width, 16);
    EXPECT_EQ(i16.bitCount, 8);
    EXPECT_EQ(i16.At(0, 0) >> 24, 0u) << "masked border is transparent";
    EXPECT_EQ(i16.At(8, 8), 0xFFFF0000u) << "opaque red centre";
    EXPECT_EQ(i16.At(2, 2), 0xFFFF0000u);
    EXPECT_EQ(i16.At(13, 1) >> 24, 0u);
    const auto& i32 = icon.images[1];
    EXPECT_EQ(i32.width, 32);
    EXPECT_EQ(i32.bitCount, 32);
    EXPECT_EQ(i32.At(0, 0), 0x8000FF00u) << "alpha channel kept";
    EXPECT_EQ(i32.At(31, 31), 0xFF00FF00u);
    const auto& i48 = icon.images[2];
    EXPECT_EQ(i48.height, 48);
    EXPECT_EQ(i48.bitCount, 4);
    EXPECT_EQ(i48.At(47, 0), 0xFF0000FFu);

    struct Want {
        int cx, cy;
        int width;
    };
    for (Want w : {Want{16, 16, 16}, Want{1, 1, 16}, Want{20, 20, 16}, Want{24, 24, 32}, Want{32, 32, 32},
                   Want{40, 40, 32}, Want{41, 41, 48}, Want{256, 256, 48}}) {
        SCOPED_TRACE(w.cx);
        ASSERT_TRUE(icon.Nearest(w.cx, w.cy));
        EXPECT_EQ(icon.Nearest(w.cx, w.cy)->width, w.width);
    }
}

TEST(RcImages, BitmapsOfEachBitCount) {
    auto set = CompileOk(
        "1 BITMAP \"strip24.bmp\"\n2 BITMAP \"top1.bmp\"\n3 BITMAP \"pal4.bmp\"\n4 BITMAP \"pal8.bmp\"\n"
        "5 BITMAP \"rgb32.bmp\"\n");
    ASSERT_TRUE(set);
    const auto& strip = set->bitmaps.at(L"#1");
    EXPECT_EQ(strip.width, 48);
    EXPECT_EQ(strip.height, 16);
    EXPECT_EQ(strip.At(0, 0), 0xFFFF00FFu);    // magenta mask colour
    EXPECT_EQ(strip.At(8, 8), 0xFFFF0000u);    // image 0 red
    EXPECT_EQ(strip.At(24, 3), 0xFF00FF00u);   // image 1 green
    EXPECT_EQ(strip.At(40, 13), 0xFF0000FFu);  // image 2 blue
    EXPECT_EQ(strip.At(40, 14), 0xFFFF00FFu);
    const auto& one = set->bitmaps.at(L"#2");  // top-down
    EXPECT_EQ(one.bitCount, 1);
    EXPECT_EQ(one.At(0, 0), 0xFF000000u);
    EXPECT_EQ(one.At(1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(one.At(0, 1), 0xFFFFFFFFu);
    EXPECT_EQ(one.At(7, 2), 0xFF000000u);
    const auto& four = set->bitmaps.at(L"#3");
    EXPECT_EQ(four.At(0, 0), 0xFF0A141Eu);
    EXPECT_EQ(four.At(2, 0), 0xFF46505Au);
    EXPECT_EQ(four.At(4, 0), 0xFF0A141Eu);
    EXPECT_EQ(four.At(4, 1), 0xFF46505Au);
    const auto& eight = set->bitmaps.at(L"#4");
    EXPECT_EQ(eight.At(1, 0), 0xFF040506u);
    EXPECT_EQ(eight.At(0, 1), 0xFF070809u);
    const auto& rgb = set->bitmaps.at(L"#5");
    EXPECT_EQ(rgb.At(0, 0), 0xFF010203u) << "all-zero alpha means opaque";
    EXPECT_EQ(rgb.At(1, 1), 0xFF0A0B0Cu);
}

TEST(RcTool, WritesSourceAndDepfile) {
    fs::path dir = TempDir("tool_ok");
    WriteFile(dir / "ids.h", "#define IDS_A 10\n");
    WriteFile(dir / "m.rc", "#include \"ids.h\"\nSTRINGTABLE\nBEGIN\n IDS_A \"a\"\nEND\n1 ICON \"three.ico\"\n");
    std::string err;
    std::string out = (dir / "m.cpp").string();
    int rc = orv::rc::RunCompiler({"-I", kData, "--name", "m", "--depfile", out + ".d", "-o", out, (dir / "m.rc").string()}, err);
    ASSERT_EQ(rc, 0) << err;
    EXPECT_TRUE(err.empty());
    std::ifstream source(out);
    std::string text((std::istreambuf_iterator<char>(source)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("orv_res_register_linked"), std::string::npos);
    EXPECT_NE(text.find("section(\"orv_resources\")"), std::string::npos);
    std::ifstream dep(out + ".d");
    std::string deps((std::istreambuf_iterator<char>(dep)), std::istreambuf_iterator<char>());
    EXPECT_EQ(deps.rfind(out + ":", 0), 0u);
    EXPECT_NE(deps.find("ids.h"), std::string::npos);
    EXPECT_NE(deps.find("three.ico"), std::string::npos);
    EXPECT_FALSE(fs::exists(out + ".tmp"));

    rc = orv::rc::RunCompiler({"--satellite", "-o", out, (dir / "m.rc").string()}, err);
    EXPECT_EQ(rc, 1) << "the icon is not found without the include dir";
    rc = orv::rc::RunCompiler({"-I" + kData, "--satellite", "-o", out, (dir / "m.rc").string()}, err);
    ASSERT_EQ(rc, 0) << err;
    std::ifstream satellite(out);
    std::string sat((std::istreambuf_iterator<char>(satellite)), std::istreambuf_iterator<char>());
    EXPECT_NE(sat.find("orv_resource_data"), std::string::npos);
    EXPECT_EQ(sat.find("orv_res_register_linked"), std::string::npos);
}

TEST(RcTool, FailureLeavesNoOutput) {
    fs::path dir = TempDir("tool_fail");
    std::string out = (dir / "m.cpp").string();
    WriteFile(out, "// output of an earlier, good script\n");
    WriteFile(dir / "m.rc", "STRINGTABLE\nBEGIN\n  1 \"fine\"\n  2 oops\nEND\n");
    std::string err;
    int rc = orv::rc::RunCompiler({"-o", out, (dir / "m.rc").string()}, err);
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(err, (dir / "m.rc").string() + ":4: expected the text of string 2 in quotes, found 'oops'\n");
    EXPECT_FALSE(fs::exists(out));
    EXPECT_FALSE(fs::exists(out + ".tmp"));
}

TEST(RcTool, BadCommandLines) {
    std::string err;
    EXPECT_EQ(orv::rc::RunCompiler({}, err), 2);
    EXPECT_NE(err.find("usage: orvrc"), std::string::npos);
    err.clear();
    EXPECT_EQ(orv::rc::RunCompiler({"--frobnicate", "-o", "x.cpp", "x.rc"}, err), 2);
    EXPECT_NE(err.find("unknown option '--frobnicate'"), std::string::npos);
    err.clear();
    EXPECT_EQ(orv::rc::RunCompiler({"in.rc"}, err), 2) << "no output";
    err.clear();
    EXPECT_EQ(orv::rc::RunCompiler({"-o"}, err), 2);
}

TEST(RcTool, ExecutableReportsErrorsOnStderr) {
    fs::path dir = TempDir("tool_exe");
    WriteFile(dir / "bad.rc", "1 DIALOGEX 0, 0, 10, 10\nBEGIN\n  LTEXT \"x\", 1, 2, 3\nEND\n");
    std::string command = std::string(ORV_BINARY_DIR) + "/bin/orvrc -o " + (dir / "out.cpp").string() + " " +
                          (dir / "bad.rc").string() + " 2>" + (dir / "err.txt").string();
    int status = std::system(command.c_str());
    EXPECT_NE(status, 0);
    std::ifstream in(dir / "err.txt");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, (dir / "bad.rc").string() + ":4: expected ',' after the control's y, found 'END'\n");
    EXPECT_FALSE(fs::exists(dir / "out.cpp"));
}

}  // namespace

namespace {

// Whatever a script is cut down to, the compiler answers with resources or one positioned
// message, never a crash.
TEST(RcRobustness, EveryPrefixOfAScriptCompilesOrFailsWithAPosition) {
    std::string script = std::string(kDialogScript) +
                         "STRINGTABLE\nBEGIN\n 1 \"a\\x41\"\nEND\n1 VERSIONINFO FILEVERSION 1,2\nBEGIN\n"
                         " BLOCK \"StringFileInfo\"\n BEGIN\n  BLOCK \"040904b0\"\n  BEGIN\n   VALUE \"A\", \"B\"\n  END\n END\nEND\n";
    int failures = 0;
    for (std::size_t n = 0; n <= script.size(); ++n) {
        auto result = CompileText("cut.rc", script.substr(0, n), {});
        if (result.ok) continue;
        ++failures;
        EXPECT_EQ(result.error.file, "cut.rc") << n;
        EXPECT_GE(result.error.line, 1) << n;
        EXPECT_FALSE(result.error.message.empty()) << n;
    }
    EXPECT_GT(failures, int(script.size() / 2));
    EXPECT_TRUE(CompileText("cut.rc", script, {}).ok);
}

}  // namespace

namespace {

TEST(RcErrors, IncludeEdgeCases) {
    fs::path dir = TempDir("include_edges");
    WriteFile(dir / "self.h", "#include \"self.h\"\n");
    WriteFile(dir / "a.rc", "// recursion\n#include \"self.h\"\n");
    auto result = orv::rc::CompileFile((dir / "a.rc").string(), {});
    ASSERT_FALSE(result.ok);
    EXPECT_EQ(result.error.ToString(), (dir / "self.h").string() + ":1: #include nested too deeply");

    // <file> is searched in the include folders only, "file" beside the script first.
    WriteFile(dir / "beside.h", "#define BESIDE 1\n");
    WriteFile(dir / "b.rc", "#include <beside.h>\n");
    result = orv::rc::CompileFile((dir / "b.rc").string(), {});
    ASSERT_FALSE(result.ok);
    EXPECT_EQ(result.error.ToString(), (dir / "b.rc").string() + ":1: cannot open include file 'beside.h'");
    CompileOptions options;
    options.includeDirs.push_back(dir.string());
    EXPECT_TRUE(orv::rc::CompileFile((dir / "b.rc").string(), options).ok);

    WriteFile(dir / "c.rc", "#include \"windows.h\"\n#include <commctrl.h>\n#include \"sub/winres.h\"\n");
    EXPECT_TRUE(orv::rc::CompileFile((dir / "c.rc").string(), {}).ok) << "SDK headers are built in";
    WriteFile(dir / "d.rc", "#include nothing\n");
    EXPECT_EQ(orv::rc::CompileFile((dir / "d.rc").string(), {}).error.message, "#include expects \"file\" or <file>");
    // A header's own errors name the header even when the script is given as text.
    WriteFile(dir / "bad.h", "\n\n#define 5X\n");
    auto text = CompileText((dir / "e.rc").string(), "#include \"bad.h\"\n", {});
    EXPECT_EQ(text.error.ToString(), (dir / "bad.h").string() + ":3: #define expects a name");
}

TEST(RcErrors, DeepNestingIsRefusedNotOverflowed) {
    std::string deep(100000, '(');
    auto result = CompileText("deep.rc", "1 DIALOGEX 0, " + deep + "\n", {});
    EXPECT_EQ(result.error.ToString(), "deep.rc:1: expression nested too deeply");
    result = CompileText("deep.rc", "#if " + std::string(100000, '!') + "1\n#endif\n", {});
    EXPECT_EQ(result.error.ToString(), "deep.rc:1: #if expression nested too deeply");
    std::string fine = "1 DIALOGEX 0, " + std::string(100, '(') + "1" + std::string(100, ')') + ", 1, 1\nBEGIN\nEND\n";
    EXPECT_TRUE(CompileText("fine.rc", fine, {}).ok);
}

TEST(RcRoundTrip, ResourcesOfOneKindPerLanguage) {
    auto set = CompileOk(
        "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US\nSTRINGTABLE { 1 \"one\" }\n"
        "STRINGTABLE LANGUAGE LANG_GERMAN, SUBLANG_GERMAN { 2 \"zwei\" }\n"
        "STRINGTABLE { 3 \"three\" }\n");
    ASSERT_TRUE(set);
    EXPECT_EQ(set->strings.size(), 3u);
    auto dup = CompileText("lang.rc",
                           "LANGUAGE LANG_GERMAN, SUBLANG_GERMAN\nSTRINGTABLE { 1 \"eins\" }\n"
                           "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US\nSTRINGTABLE { 1 \"one\" }\n"
                           "STRINGTABLE { 1 \"again\" }\n",
                           {});
    ASSERT_FALSE(dup.ok) << "the same id in two languages is fine, twice in one is not";
    EXPECT_EQ(dup.error.ToString(), "lang.rc:5: duplicate string id 1 (first defined at lang.rc:4)");
}

}  // namespace
