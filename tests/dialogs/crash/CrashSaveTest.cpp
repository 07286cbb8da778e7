// Every persistent save survives SIGKILL at any moment: a child process saves generation after
// generation of one file, the parent kills it at several points, then the file must read back
// as one whole generation (never a mix of two) and nothing else in its folder may be lost.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "components/Registration.h"
#include "dialogs/convection/ConvectionCoefficientLibraryList.h"
#include "dialogs/curves/CurveEditContext.h"
#include "host/model/ModelFile.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryFile.h"
#include "platform/win/Utf8.h"

namespace fs = std::filesystem;
using namespace DataModelDialogs;

namespace {

constexpr int kLibraries = 6;
constexpr int kEntries = 40;
constexpr int kPoints = 2000;
// Kill points in milliseconds after the child started; each lands in some save of the loop.
constexpr int kKillPointsMs[] = {1, 4, 9, 15, 24, 35, 50};

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// One kind of save: write generation g (in the parent for 0, in the child for 1, 2, ...) and
// tell which whole generation a folder holds (-1: none, a mix or unreadable).
struct SaveCase {
    const char* name;
    std::function<bool(const fs::path& dir, int g)> save;
    std::function<int(const fs::path& dir)> generation;
};

CString G(const char* prefix, int g, int i) {
    return CString(orv::Utf8ToWide(prefix + std::to_string(g) + "-" + std::to_string(i)).c_str());
}

// The generation every name agrees on, -1 when they do not.
int AgreedGeneration(const std::vector<CString>& names, std::size_t expected) {
    if (names.size() != expected) return -1;
    int g = -1;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string text = orv::WideToUtf8(names[i].GetString());
        const std::size_t dash = text.find('-');
        if (text.size() < 2 || dash == std::string::npos || text.substr(dash + 1) != std::to_string(i)) return -1;
        const int mine = std::atoi(text.c_str() + 1);
        if (g >= 0 && mine != g) return -1;
        g = mine;
    }
    return g;
}

std::wstring RegistryData(int g) { return std::to_wstring(g) + L":" + std::wstring(20000, wchar_t(L'a' + g % 26)); }

const SaveCase kCases[] = {
    {"model file",
     [](const fs::path& dir, int g) {
         auto model = OrvDbRecord::LoadSampleModel();
         model->SetName("generation " + std::to_string(g) + " " + std::string(20000, char('a' + g % 26)));
         return OrvDbRecord::SaveModelFile(*model, dir / "model.json");
     },
     [](const fs::path& dir) {
         const auto loaded = OrvDbRecord::LoadModelFile(dir / "model.json");
         if (!loaded) return -1;
         const std::string& name = loaded.model->GetName();
         const int g = std::atoi(name.c_str() + 11);
         return name == "generation " + std::to_string(g) + " " + std::string(20000, char('a' + g % 26)) ? g : -1;
     }},
    {"coefficient library",
     [](const fs::path& dir, int g) {
         ConvectionCoefficientLibrary library(CString((dir / "mine.cclib").wstring().c_str()), CString(L"Mine"), true);
         for (int i = 0; i < kEntries; ++i) library.SetEntry(std::size_t(i), G("G", g, i), ConvectionCoefficientInputs());
         return library.Save();
     },
     [](const fs::path& dir) {
         ConvectionCoefficientLibrary library(CString((dir / "mine.cclib").wstring().c_str()), CString(L"Mine"), true);
         if (!library.Load()) return -1;
         std::vector<CString> names;
         for (const auto& entry : library.GetEntries()) names.push_back(entry.Name);
         return AgreedGeneration(names, kEntries);
     }},
    {"library list",
     [](const fs::path& dir, int g) {
         ConvectionCoefficientLibraryList list(dir / "CCLibList.xml");
         for (int i = 0; i < kLibraries; ++i) {
             const CString file((dir / ("lib" + std::to_string(i) + ".cclib")).wstring().c_str());
             if (g == 0) {
                 ConvectionCoefficientLibrary library(file, CString(L"x"), true);
                 library.SetEntry(0, CString(L"e"), ConvectionCoefficientInputs());
                 if (!library.Save()) return false;
             }
             list[list.AddLibrary(G("G", g, i), true)].SetLocation(file);
         }
         return list.Save();
     },
     [](const fs::path& dir) {
         ConvectionCoefficientLibraryList list(dir / "CCLibList.xml");
         if (!list.Load()) return -1;
         std::vector<CString> names;
         for (const auto& library : list.GetLibraries()) names.push_back(library.GetName());
         return AgreedGeneration(names, kLibraries);
     }},
    {"registry file",
     [](const fs::path&, int g) {
         HKEY key = nullptr;
         if (RegCreateKeyEx(HKEY_CURRENT_USER, L"Software\\CrashTest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
             return false;
         const auto data = orv::registry::TextValueData(RegistryData(g));
         const bool ok = RegSetValueEx(key, L"Data", 0, REG_SZ, data.data(), DWORD(data.size())) == ERROR_SUCCESS;
         RegCloseKey(key);
         return ok;
     },
     [](const fs::path& dir) {
         orv::registry::RegKeyNode root;
         std::wstring error;
         if (!orv::registry::ParseHive(ReadText(dir / "HKEY_CURRENT_USER.reg"), root, error)) return -1;
         const auto* software = root.Child(L"Software");
         const auto* key = software ? software->Child(L"CrashTest") : nullptr;
         auto* value = key ? const_cast<orv::registry::RegKeyNode*>(key)->Value(L"Data") : nullptr;
         if (!value) return -1;
         const int g = int(std::wcstol(reinterpret_cast<const wchar_t*>(value->data.data()), nullptr, 10));
         return value->data == orv::registry::TextValueData(RegistryData(g)) ? g : -1;
     }},
    {"settings database curve",
     [](const fs::path& dir, int g) {
         CurveEditContext context(nullptr);
         context.SelectCurveType(2, 0);
         if (!context.OpenDatabase((dir / "curves.sdb").wstring().c_str(), 0) || !context.ReadCurve(1, 0)) return false;
         context.SetPoints(std::vector<CurvePoint>(std::size_t(kPoints + g % 7), CurvePoint{double(g), double(g)}));
         return context.WriteCurve(1, 0);
     },
     [](const fs::path& dir) {
         CurveEditContext context(nullptr);
         context.SelectCurveType(2, 0);
         if (!context.OpenDatabase((dir / "curves.sdb").wstring().c_str(), 0) || !context.ReadCurve(1, 0)) return -1;
         const auto points = context.GetPoints();
         if (points.empty()) return -1;
         const int g = int(points[0].y);
         if (points.size() != std::size_t(kPoints + g % 7)) return -1;
         for (const CurvePoint& p : points)
             if (p.x != g || p.y != g) return -1;
         return g;
     }},
};

std::vector<std::string> Files(const fs::path& dir) {
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(dir)) files.push_back(entry.path().filename().string());
    return files;
}

TEST(CrashDuringSave, EverySaveReadsBackWholeAfterSigkill) {
    // One folder holds every file saved, the registry's hive among them.
    const char* root = std::getenv("ORV_TEST_TMP");
    const fs::path dir = fs::path(root && *root ? root : fs::temp_directory_path().string()) / "crash-during-save";
    fs::remove_all(dir);
    fs::create_directories(dir);
    ::setenv("ORV_REGISTRY_DIR", dir.c_str(), 1);
    RegisterOrvComponents();
    for (const SaveCase& c : kCases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.save(dir, 0));
        ASSERT_EQ(c.generation(dir), 0);
    }
    std::ofstream(dir / "keep.txt") << "kept";
    const auto before = Files(dir);
    for (const SaveCase& c : kCases) {
        SCOPED_TRACE(c.name);
        int last = 0;
        // The fixed kill points, then one more that waits for a save to finish first, so that
        // a slow machine still tests a kill after a completed save.
        std::vector<int> points(std::begin(kKillPointsMs), std::end(kKillPointsMs));
        points.push_back(-1);
        for (const int ms : points) {
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                // The connection list is published per process id; a forked child has none yet.
                Marlo::ConnectionRegistry::Register();
                for (int g = last + 1;; ++g)
                    if (!c.save(dir, g)) ::_exit(3);
            }
            if (ms >= 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(ms));
            } else {
                const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
                while (c.generation(dir) <= last && std::chrono::steady_clock::now() < until)
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            ::kill(child, SIGKILL);
            int status = 0;
            ::waitpid(child, &status, 0);
            ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped saving by itself at " << ms << " ms";
            const int g = c.generation(dir);
            EXPECT_GE(g, last) << "killed at " << ms << " ms: not one whole generation";
            if (g > last) last = g;
            for (const std::string& name : before) EXPECT_TRUE(fs::exists(dir / name)) << name << " lost";
            EXPECT_EQ(ReadText(dir / "keep.txt"), "kept");
        }
        EXPECT_GT(last, 0) << "no save finished: the kill points came too early to test anything";
    }
}

}  // namespace
