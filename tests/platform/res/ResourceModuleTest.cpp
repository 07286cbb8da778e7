// Resource modules: resources linked into a binary, a library loaded at run time, satellites
// loaded as data files or libraries with their version check, the resource chain and the
// current resource module.

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/res/ExtensionModule.h"
#include "platform/res/Images.h"
#include "platform/res/Module.h"
#include "platform/res/Resources.h"
#include "platform/res/VersionInfo.h"
#include "platform/win/Gdi.h"
#include "platform/win/Utf8.h"
#include "platform/win/WinStyles.h"

namespace fs = std::filesystem;

namespace {

const fs::path kTestDir = fs::path(ORV_BINARY_DIR) / "bin" / "restest";
const std::wstring kLibrary = orv::Utf8ToWide((kTestDir / "liborvres_testlib.so").string());

std::wstring Satellite(const char* suffix) {
    return orv::Utf8ToWide((kTestDir / "Locale" / ("liborvres_testlib." + std::string(suffix))).string());
}

std::wstring String(HINSTANCE module, UINT id) {
    std::wstring text;
    if (!orv::res::LoadStringResource(module, id, text)) return L"<none>";
    return text;
}

// The rule by which a satellite fits its library: equal major, minor and build numbers of the
// file versions; a file without version information counts as 0.0.0.
bool VersionsMatch(const std::wstring& library, const std::wstring& satellite) {
    auto key = [](const std::wstring& file) {
        orv::res::VersionInfo v;
        if (!orv::res::ReadFileVersionInfo(file, v)) return std::tuple<int, int, int>(0, 0, 0);
        return std::tuple<int, int, int>(v.Major(), v.Minor(), v.Build());
    };
    return key(library) == key(satellite);
}

class LoadedLibrary {
public:
    LoadedLibrary() : module_(LoadLibrary(kLibrary.c_str())) {}
    ~LoadedLibrary() {
        if (module_) FreeLibrary(module_);
    }
    HMODULE get() const { return module_; }
    template <class F>
    F* Function(const char* name) const {
        return reinterpret_cast<F*>(GetProcAddress(module_, name));
    }

private:
    HMODULE module_;
};

TEST(LinkedResources, TheProgramFindsItsOwnResources) {
    HINSTANCE self = ORV_THIS_MODULE();
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(self, orv::res::GetMainModule());
    EXPECT_EQ(String(self, 900), L"From the test program");
    EXPECT_EQ(String(self, 901), L"<none>");
    ASSERT_TRUE(orv::res::FindVersionInfo(self));
    EXPECT_EQ(orv::res::FindVersionInfo(self)->Major(), 9);
    // The current module starts as the program's own.
    EXPECT_EQ(AfxGetResourceHandle(), self);
    EXPECT_EQ(String(nullptr, 900), L"From the test program");
}

TEST(LinkedResources, TwoScriptsInOneProgram) {
    HINSTANCE self = ORV_THIS_MODULE();
    EXPECT_EQ(String(self, 950), L"From the second script");
    EXPECT_TRUE(orv::res::FindDialogTemplate(self, 77));
    // Read from the file, both blobs of the section are found: the same data as registered.
    HMODULE data = LoadLibraryEx(orv::res::GetModuleFilePath(nullptr).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(String(data, 950), L"From the second script");
    EXPECT_EQ(String(data, 900), String(self, 900));
    EXPECT_TRUE(FreeLibrary(data));
}

TEST(LinkedResources, VersionReadFromTheProgramFile) {
    std::wstring path = orv::res::GetModuleFilePath(nullptr);
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(fs::path(path).filename(), "platform_res_tests");
    orv::res::VersionInfo v;
    ASSERT_TRUE(orv::res::ReadFileVersionInfo(path, v));
    EXPECT_EQ(v.fileVersionMS, 0x00090008u);
    EXPECT_EQ(v.fileVersionLS, 0x00070006u);
}

TEST(LibraryModule, LoadLookUpAndFree) {
    HMODULE module;
    {
        LoadedLibrary lib;
        module = lib.get();
        ASSERT_NE(module, nullptr) << orv::WideToUtf8(orv::res::LastModuleError());
        auto own = lib.Function<HINSTANCE()>("orvres_testlib_module");
        ASSERT_TRUE(own);
        EXPECT_EQ(own(), module) << "the library's own handle is the one LoadLibrary returns";

        wchar_t name[512];
        DWORD n = GetModuleFileName(module, name, 512);
        ASSERT_GT(n, 0u);
        EXPECT_EQ(fs::path(name).filename(), "liborvres_testlib.so");
        wchar_t small[5];
        EXPECT_EQ(GetModuleFileName(module, small, 5), 4u);
        EXPECT_EQ(std::wstring(small), std::wstring(name).substr(0, 4));

        EXPECT_EQ(String(module, 100), L"Hello");
        EXPECT_EQ(String(module, 102), L"%1 of %2!ld!");
        EXPECT_EQ(String(module, 900), L"<none>") << "a module is searched alone";

        const orv::res::DialogTemplate* d = orv::res::FindDialogTemplate(module, 3000);
        ASSERT_TRUE(d);
        EXPECT_EQ(d->caption, L"Options");
        ASSERT_EQ(d->items.size(), 5u);
        EXPECT_EQ(d->items[1].id, 1001u);
        EXPECT_EQ(d->items[1].style, WS_CHILD | WS_VISIBLE | ES_LEFT | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL);
        EXPECT_EQ(orv::res::FindDialogTemplate(module, 3001), nullptr);
        EXPECT_EQ(orv::res::FindDialogTemplate(module, orv::res::ResourceId(3000)), d);
        EXPECT_EQ(orv::res::FindDialogTemplate(module, L"#3000"), d);

        const orv::res::Image* small16 = orv::res::FindIconImage(module, 3007, 16, 16);
        ASSERT_TRUE(small16);
        EXPECT_EQ(small16->width, 16);
        EXPECT_EQ(orv::res::FindIconImage(module, 3007, 48, 48)->width, 48);
        EXPECT_EQ(orv::res::FindIconImage(module, 3008, 16, 16), nullptr);
        const orv::res::Image* strip = orv::res::FindBitmap(module, 3190);
        ASSERT_TRUE(strip);
        EXPECT_EQ(strip->width, 48);

        const orv::res::VersionInfo* v = orv::res::FindVersionInfo(module);
        ASSERT_TRUE(v);
        EXPECT_EQ(v->Build(), 7);
        EXPECT_EQ(*v->FindString(L"CompanyName"), L"ORVEN, Inc.");
    }
    // After the last FreeLibrary the handle names nothing; lookups fail quietly.
    EXPECT_EQ(String(module, 100), L"<none>");
    EXPECT_EQ(orv::res::FindDialogTemplate(module, 3000), nullptr);
    EXPECT_FALSE(FreeLibrary(module));
}

// A bitmap strip loaded from the current module adds one image per width of the list; drawing
// image i copies the i-th slice, also after the caller has deleted its bitmap.
TEST(LibraryModule, ABitmapStripBecomesOneImagePerWidth) {
    LoadedLibrary lib;
    ASSERT_NE(lib.get(), nullptr);
    orv::res::ResourceHandleScope scope(lib.get());
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 3, 0));
    {
        CBitmap strip;
        EXPECT_FALSE(strip.LoadBitmap(3191)) << "no such bitmap";
        ASSERT_TRUE(strip.LoadBitmap(3190));
        EXPECT_EQ(strip.GetBitmapDimension(), CSize(48, 16));
        EXPECT_EQ(images.Add(&strip, RGB(255, 0, 255)), 0);
    }
    ASSERT_EQ(images.GetImageCount(), 3);
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap canvas;
    ASSERT_TRUE(canvas.CreateBitmap(100, 20, 1, 32, nullptr));
    dc.SelectObject(&canvas);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(images.Draw(&dc, i, POINT{20 * i, 2}, ILD_NORMAL));
    EXPECT_FALSE(images.Draw(&dc, 3, POINT{0, 0}, ILD_NORMAL));
    const orv::win::DisplayList* drawn = orv::win::BitmapDisplayList(canvas);
    ASSERT_TRUE(drawn);
    ASSERT_EQ(drawn->ops.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const orv::win::DrawOp& op = drawn->ops[std::size_t(i)];
        EXPECT_EQ(op.kind, orv::win::DrawKind::Bitmap);
        EXPECT_EQ(op.rect.left, 20 * i);
        EXPECT_EQ(op.rect.right - op.rect.left, 16);
        ASSERT_EQ(op.points.size(), 1u);
        EXPECT_EQ(op.points[0].x, 16 * i) << "slice " << i;
        EXPECT_EQ(op.size.cx, 16);
        EXPECT_EQ(op.image, drawn->ops[0].image) << "one copy of the strip";
    }
}

TEST(LibraryModule, LoadStringLikeTheFramework) {
    LoadedLibrary lib;
    ASSERT_NE(lib.get(), nullptr);
    wchar_t buffer[8];
    EXPECT_EQ(LoadString(lib.get(), 100, buffer, 8), 5);
    EXPECT_EQ(std::wstring(buffer), L"Hello");
    EXPECT_EQ(LoadString(lib.get(), 101, buffer, 8), 7) << "cut to the buffer";
    EXPECT_EQ(std::wstring(buffer), L"Only in");
    EXPECT_EQ(LoadString(lib.get(), 101, buffer, 1), 0);
    EXPECT_EQ(buffer[0], L'\0');
    EXPECT_EQ(LoadString(lib.get(), 555, buffer, 8), 0);
    EXPECT_EQ(buffer[0], L'\0');
    LPCWSTR direct = nullptr;
    EXPECT_EQ(LoadString(lib.get(), 102, reinterpret_cast<LPTSTR>(&direct), 0), 12);
    EXPECT_EQ(std::wstring(direct), L"%1 of %2!ld!");
}

TEST(LibraryModule, LoadsAreCounted) {
    HMODULE a = LoadLibrary(kLibrary.c_str());
    HMODULE b = LoadLibrary(kLibrary.c_str());
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_TRUE(FreeLibrary(a));
    EXPECT_EQ(String(a, 100), L"Hello") << "still loaded once";
    EXPECT_TRUE(FreeLibrary(b));
    EXPECT_EQ(String(a, 100), L"<none>");
}

TEST(LibraryModule, BadFiles) {
    EXPECT_EQ(LoadLibrary(L"/nonexistent/libnothing.so"), nullptr);
    EXPECT_FALSE(orv::res::LastModuleError().empty());
    EXPECT_EQ(LoadLibrary(nullptr), nullptr);
    EXPECT_EQ(LoadLibraryEx(L"/nonexistent/x.DEU", nullptr, LOAD_LIBRARY_AS_DATAFILE), nullptr);
    EXPECT_EQ(orv::res::LastModuleError(), L"cannot open file");

    fs::path dir = fs::path(ORV_BINARY_DIR) / "testtmp" / "res";
    fs::create_directories(dir);
    std::ofstream(dir / "text.DEU") << "not a library at all";
    std::wstring text = orv::Utf8ToWide((dir / "text.DEU").string());
    EXPECT_EQ(LoadLibraryEx(text.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE), nullptr);
    EXPECT_EQ(orv::res::LastModuleError(), L"not an ELF file");
    EXPECT_EQ(LoadLibrary(text.c_str()), nullptr);
    EXPECT_EQ(GetFileVersionInfoSize(text.c_str(), nullptr), 0u);

    EXPECT_FALSE(FreeLibrary(nullptr));
    EXPECT_FALSE(FreeLibrary(reinterpret_cast<HMODULE>(0x1234)));
    EXPECT_FALSE(FreeLibrary(orv::res::GetMainModule())) << "never loaded by LoadLibrary";
    EXPECT_EQ(String(reinterpret_cast<HINSTANCE>(0x1234), 100), L"<none>");
}

TEST(Satellite, LoadedAsDataFile) {
    HMODULE sat = LoadLibraryEx(Satellite("DEU").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(sat, nullptr) << orv::WideToUtf8(orv::res::LastModuleError());
    EXPECT_EQ(String(sat, 100), L"Hallo");
    EXPECT_EQ(String(sat, 101), L"<none>");
    ASSERT_TRUE(orv::res::FindDialogTemplate(sat, 3000));
    EXPECT_EQ(orv::res::FindDialogTemplate(sat, 3000)->caption, L"Optionen");
    EXPECT_EQ(orv::res::GetModuleFilePath(sat), Satellite("DEU"));
    ASSERT_TRUE(orv::res::FindVersionInfo(sat));
    EXPECT_EQ(orv::res::FindVersionInfo(sat)->Revision(), 3);
    EXPECT_TRUE(FreeLibrary(sat));
    EXPECT_EQ(String(sat, 100), L"<none>");
    EXPECT_FALSE(FreeLibrary(sat));
}

TEST(Satellite, DataFileLoadingRunsNoCode) {
    // The test library registers its resources from a constructor; read as a data file it is
    // never mapped, yet its resources are there.
    std::string path = orv::WideToUtf8(kLibrary);
    auto mapped = [&] {
        void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
        if (h) dlclose(h);
        return h != nullptr;
    };
    bool before = mapped();  // earlier tests of this process may have left it mapped
    HMODULE data = LoadLibraryEx(kLibrary.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(data, nullptr);
    if (!before) {
        EXPECT_FALSE(mapped()) << "reading the resources did not load the library";
    }
    EXPECT_EQ(String(data, 100), L"Hello");
    EXPECT_EQ(orv::res::FindDialogTemplate(data, 3000)->items.size(), 5u);
    EXPECT_EQ(GetProcAddress(data, "orvres_testlib_module"), nullptr) << "a data file has no code to call";
    EXPECT_TRUE(FreeLibrary(data));
}

TEST(Satellite, LoadedAsLibrary) {
    HMODULE sat = LoadLibrary(Satellite("FRA").c_str());
    ASSERT_NE(sat, nullptr) << orv::WideToUtf8(orv::res::LastModuleError());
    EXPECT_EQ(String(sat, 100), L"Bonjour");
    EXPECT_EQ(orv::res::FindVersionInfo(sat)->Build(), 8);
    EXPECT_TRUE(FreeLibrary(sat));
    EXPECT_EQ(String(sat, 100), L"<none>");
}

TEST(Satellite, VersionCheck) {
    struct Case {
        const char* suffix;
        bool matches;
    };
    for (Case c : {Case{"DEU", true}, Case{"FRA", false}, Case{"ESP", false}, Case{"ITA", false}}) {
        SCOPED_TRACE(c.suffix);
        EXPECT_EQ(VersionsMatch(kLibrary, Satellite(c.suffix)), c.matches);
    }
    EXPECT_EQ(GetFileVersionInfoSize(Satellite("ITA").c_str(), nullptr), 0u) << "no version information";
    EXPECT_FALSE(VersionsMatch(kLibrary, L"/nonexistent/file"));
}

TEST(Satellite, CorruptedResourcesAreIgnored) {
    fs::path dir = fs::path(ORV_BINARY_DIR) / "testtmp" / "res";
    fs::create_directories(dir);
    fs::path copy = dir / "corrupt.DEU";
    fs::copy_file(orv::WideToUtf8(Satellite("DEU")), copy, fs::copy_options::overwrite_existing);
    std::string bytes;
    {
        std::ifstream in(copy, std::ios::binary);
        bytes.assign((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    std::size_t at = bytes.find("Hallo");
    ASSERT_NE(at, std::string::npos);
    bytes[at] = 'X';
    {
        std::ofstream out(copy, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    std::wstring path = orv::Utf8ToWide(copy.string());
    HMODULE sat = LoadLibraryEx(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(sat, nullptr);
    EXPECT_EQ(String(sat, 100), L"<none>") << "a blob that fails its checksum is not used";
    EXPECT_EQ(orv::res::FindVersionInfo(sat), nullptr);
    EXPECT_TRUE(FreeLibrary(sat));
    orv::res::VersionInfo v;
    EXPECT_FALSE(orv::res::ReadFileVersionInfo(path, v));
}

TEST(VersionBlock, QueriedLikeTheFramework) {
    DWORD handle = 99;
    DWORD size = GetFileVersionInfoSize(kLibrary.c_str(), &handle);
    EXPECT_EQ(handle, 0u);
    ASSERT_GT(size, sizeof(VS_FIXEDFILEINFO));
    std::vector<unsigned char> block(size);
    EXPECT_FALSE(GetFileVersionInfo(kLibrary.c_str(), 0, size - 1, block.data())) << "buffer too small";
    ASSERT_TRUE(GetFileVersionInfo(kLibrary.c_str(), 0, size, block.data()));

    void* p = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValue(block.data(), L"\\", &p, &len));
    EXPECT_EQ(len, sizeof(VS_FIXEDFILEINFO));
    auto* fixed = static_cast<VS_FIXEDFILEINFO*>(p);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00020005u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00070001u);
    EXPECT_EQ(fixed->dwFileType, 2u);

    ASSERT_TRUE(VerQueryValue(block.data(), L"\\StringFileInfo\\040904B0\\FileDescription", &p, &len));
    EXPECT_EQ(std::wstring(static_cast<wchar_t*>(p)), L"Resource module test library");
    EXPECT_EQ(len, 29u);
    ASSERT_TRUE(VerQueryValue(block.data(), L"\\VarFileInfo\\Translation", &p, &len));
    ASSERT_EQ(len, 4u);
    EXPECT_EQ(static_cast<WORD*>(p)[0], 0x409);
    EXPECT_EQ(static_cast<WORD*>(p)[1], 1200);

    EXPECT_FALSE(VerQueryValue(block.data(), L"\\StringFileInfo\\040904b0\\ProductName", &p, &len));
    EXPECT_FALSE(VerQueryValue(block.data(), L"\\StringFileInfo\\040704b0\\FileVersion", &p, &len));
    EXPECT_FALSE(VerQueryValue(block.data(), L"\\Other", &p, &len));
    std::vector<unsigned char> junk(64, 0x5A);
    EXPECT_FALSE(VerQueryValue(junk.data(), L"\\", &p, &len));
}

TEST(ResourceChain, LookupsFallBackAlongTheChain) {
    LoadedLibrary lib;
    ASSERT_NE(lib.get(), nullptr);
    HMODULE sat = LoadLibraryEx(Satellite("DEU").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(sat, nullptr);
    auto join = lib.Function<bool()>("orvres_testlib_join_chain");
    auto leave = lib.Function<void()>("orvres_testlib_leave_chain");
    ASSERT_TRUE(join && leave);

    orv::res::ResourceHandleScope scope(sat);
    EXPECT_EQ(String(nullptr, 100), L"Hallo");
    EXPECT_EQ(String(nullptr, 101), L"<none>") << "not on the chain yet";
    ASSERT_TRUE(join());
    ASSERT_EQ(orv::res::ResourceChain().size(), 1u);
    EXPECT_EQ(orv::res::ResourceChain()[0], lib.get());
    EXPECT_EQ(String(nullptr, 100), L"Hallo") << "the current module comes first";
    EXPECT_EQ(String(nullptr, 101), L"Only in the library");
    EXPECT_EQ(orv::res::FindDialogTemplate(nullptr, 3000)->caption, L"Optionen");
    EXPECT_EQ(orv::res::FindIconImage(nullptr, 3007, 16, 16)->width, 16) << "the icon only the library has";
    EXPECT_EQ(AfxFindResourceHandle(orv::res::ResourceId(101), RT_STRING), lib.get());
    EXPECT_EQ(AfxFindResourceHandle(orv::res::ResourceId(100), RT_STRING), sat);
    EXPECT_EQ(AfxFindResourceHandle(orv::res::ResourceId(3007), RT_GROUP_ICON), lib.get());
    EXPECT_EQ(AfxFindResourceHandle(orv::res::ResourceId(4242), RT_DIALOG), sat) << "not found: the current module";
    {
        // A second member joins in front.
        AFX_EXTENSION_MODULE other;
        ASSERT_TRUE(AfxInitExtensionModule(other, orv::res::GetMainModule()));
        new CDynLinkLibrary(other);
        EXPECT_EQ(orv::res::ResourceChain().front(), orv::res::GetMainModule());
        EXPECT_EQ(String(nullptr, 900), L"From the test program");
        AfxTermExtensionModule(other);
        EXPECT_EQ(orv::res::ResourceChain().size(), 1u);
    }
    leave();
    EXPECT_TRUE(orv::res::ResourceChain().empty());
    EXPECT_EQ(String(nullptr, 101), L"<none>");
    FreeLibrary(sat);
}

TEST(ResourceChain, MembersLookInTheirResourceModule) {
    HMODULE sat = LoadLibraryEx(Satellite("DEU").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(sat, nullptr);
    HMODULE fra = LoadLibraryEx(Satellite("FRA").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(fra, nullptr);
    orv::res::ResourceHandleScope scope(nullptr);  // no current module: the chain alone
    EXPECT_EQ(String(nullptr, 100), L"<none>");
    new CDynLinkLibrary(orv::res::GetMainModule(), sat);  // a library whose resources are a satellite
    EXPECT_EQ(String(nullptr, 100), L"Hallo");
    new CDynLinkLibrary(orv::res::GetMainModule(), fra);
    EXPECT_EQ(String(nullptr, 100), L"Bonjour") << "the newest member first";
    EXPECT_EQ(orv::res::ResourceChain(), (std::vector<HINSTANCE>{fra, sat}));
    AFX_EXTENSION_MODULE any;
    AfxTermExtensionModule(any, TRUE);  // every member
    EXPECT_TRUE(orv::res::ResourceChain().empty());
    EXPECT_EQ(String(nullptr, 100), L"<none>");
    FreeLibrary(fra);
    FreeLibrary(sat);
}

TEST(ResourceChain, InitRefusesANullModule) {
    AFX_EXTENSION_MODULE state;
    EXPECT_FALSE(AfxInitExtensionModule(state, nullptr));
    EXPECT_FALSE(state.bInitialized);
}

TEST(CurrentModule, ScopeSwitchesAndRestoresOnEveryExit) {
    HINSTANCE before = AfxGetResourceHandle();
    HMODULE sat = LoadLibraryEx(Satellite("DEU").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(sat, nullptr);
    {
        orv::res::ResourceHandleScope scope(sat);
        EXPECT_EQ(AfxGetResourceHandle(), sat);
        EXPECT_EQ(String(nullptr, 100), L"Hallo");
        {
            orv::res::ResourceHandleScope inner(orv::res::GetMainModule());
            EXPECT_EQ(String(nullptr, 100), L"Hello from the program");
        }
        EXPECT_EQ(String(nullptr, 100), L"Hallo");
    }
    EXPECT_EQ(AfxGetResourceHandle(), before);
    try {
        orv::res::ResourceHandleScope scope(sat);
        throw std::runtime_error("leaving by an exception");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(AfxGetResourceHandle(), before);
    // Per call: an explicit module wins over the current one.
    EXPECT_EQ(String(sat, 100), L"Hallo");
    EXPECT_EQ(String(nullptr, 100), L"Hello from the program");
    FreeLibrary(sat);
}

TEST(Images, IconsAtRequestedSizes) {
    LoadedLibrary lib;
    ASSERT_NE(lib.get(), nullptr);
    using orv::res::IconImageAt;
    using orv::res::ResourceId;
    // The small window icon: loaded at 16 x 16.
    orv::res::Image small = IconImageAt(lib.get(), ResourceId(3007), 16, 16);
    EXPECT_EQ(small.width, 16);
    EXPECT_EQ(small.At(8, 8), 0xFFFF0000u);
    EXPECT_EQ(small.At(0, 0) >> 24, 0u);
    // A size no image has: the nearest image, scaled.
    orv::res::Image odd = IconImageAt(lib.get(), ResourceId(3007), 20, 20);
    EXPECT_EQ(odd.width, 20);
    EXPECT_EQ(odd.height, 20);
    EXPECT_EQ(odd.bitCount, 8) << "scaled from the 16 x 16 image";
    EXPECT_EQ(odd.At(10, 10), 0xFFFF0000u);
    EXPECT_EQ(IconImageAt(lib.get(), ResourceId(3007), 32, 0).bitCount, 32);
    EXPECT_EQ(IconImageAt(lib.get(), ResourceId(3007), 0, 0).width, 16) << "0 x 0: the first image";
    EXPECT_EQ(IconImageAt(lib.get(), ResourceId(3008), 16, 16).width, 0);
    EXPECT_EQ(IconImageAt(lib.get(), L"#3007", 48, 48).width, 48);
}

TEST(Images, ScalingAndSystemIcons) {
    orv::res::Image two;
    two.width = 2;
    two.height = 1;
    two.pixels = {1, 2};
    orv::res::Image four = orv::res::ScaleImage(two, 4, 2);
    EXPECT_EQ(four.pixels, (std::vector<std::uint32_t>{1, 1, 2, 2, 1, 1, 2, 2}));
    EXPECT_EQ(orv::res::ScaleImage(two, 1, 1).pixels, std::vector<std::uint32_t>{1});
    EXPECT_EQ(orv::res::ScaleImage(two, 0, 5).width, 2) << "no size: unchanged";

    orv::res::Image hand = orv::res::SystemIconImage(32513);
    EXPECT_EQ(hand.width, 32);
    EXPECT_EQ(hand.At(16, 3), 0xFFD42020u);
    EXPECT_EQ(hand.At(16, 16), 0xFFFFFFFFu) << "the white cross in the middle";
    EXPECT_EQ(hand.At(0, 0), 0u) << "corners are transparent";
    orv::res::Image warning = orv::res::SystemIconImage(32515, 16);
    EXPECT_EQ(warning.width, 16);
    EXPECT_EQ(warning.At(8, 15), 0xFFF0C000u);
    EXPECT_EQ(warning.At(8, 8), 0xFF000000u) << "the black \"!\"";
    EXPECT_EQ(warning.At(8, 12), 0xFFF0C000u) << "the gap above its dot";
    EXPECT_EQ(warning.At(0, 0), 0u);
    EXPECT_EQ(orv::res::SystemIconImage(100).width, 0);
}

}  // namespace
