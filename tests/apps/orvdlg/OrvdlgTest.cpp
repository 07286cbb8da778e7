#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "apps/orvdlg/HostCommands.h"
#include "apps/orvdlg/Orvdlg.h"
#include "apps/orvdlg/ScriptSession.h"
#include "platform/win/Inspect.h"
#include "platform/win/WinApi.h"

namespace {

struct Invocation {
    int status = -1;
    std::string out, err;
};

Invocation Invoke(std::vector<const char*> args, std::string_view tour = "") {
    args.insert(args.begin(), "orvdlg");
    std::ostringstream out, err;
    Invocation result;
    result.status = orvdlg::Main(int(args.size()), args.data(), tour, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Orvdlg, CommandLine) {
    const auto help = Invoke({"--help"});
    EXPECT_EQ(0, help.status);
    EXPECT_NE(std::string::npos, help.out.find("usage: orvdlg")) << help.out;
    EXPECT_NE(std::string::npos, help.out.find("  expect field OBJ OFFSET TYPE VALUE")) << help.out;
    EXPECT_NE(std::string::npos, help.out.find("  dialog sample")) << help.out;

    const auto unknown = Invoke({"--frobnicate"});
    EXPECT_EQ(2, unknown.status);
    EXPECT_EQ(0u, unknown.err.find("orvdlg: unknown argument '--frobnicate'\n")) << unknown.err;

    const auto noFile = Invoke({"run"});
    EXPECT_EQ(2, noFile.status);
    EXPECT_EQ(0u, noFile.err.find("orvdlg: 'run' takes one script file\n")) << noFile.err;

    const auto missing = Invoke({"run", "/nonexistent/x.dlgs"});
    EXPECT_EQ(2, missing.status);
    EXPECT_EQ("/nonexistent/x.dlgs: cannot open the script\n0 passed, 0 failed\n", missing.out);
}

TEST(Orvdlg, WithoutArgumentsRunsTheTour) {
    const std::string tour = ReadFile(std::string(ORV_SOURCE_DIR) + "/examples/tour.dlgs");
    ASSERT_FALSE(tour.empty());
    // The tour's calculator keeps its last-used inputs in the registry: a scratch one here.
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("orvdlg-tour-" + std::to_string(getpid()));
    setenv("ORV_REGISTRY_DIR", (scratch / "registry").c_str(), 1);
    setenv("ORV_USER_DATA_DIR", (scratch / "userdata").c_str(), 1);
    const auto run = Invoke({}, tour);
    unsetenv("ORV_REGISTRY_DIR");
    unsetenv("ORV_USER_DATA_DIR");
    std::error_code ec;
    std::filesystem::remove_all(scratch, ec);
    EXPECT_EQ(0, run.status) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("| Sample ")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("sample dialog: OK;")) << run.out;
    EXPECT_TRUE(run.out.ends_with(" passed, 0 failed\n")) << run.out;
    // Message boxes carry the demo host's name.
    EXPECT_NE(std::string::npos, run.out.find("| orvdlg ")) << run.out;
}

TEST(Orvdlg, ASessionLeavesNoWindowBehind) {
    orv::win::ResetKernel();
    for (const char* script : {"dialog sample\nclick OK\n", "dialog sample\ntype 1002 \"x\"\nclick OK\n",
                               "dialog sample\nclick Help\n"}) {
        std::ostringstream out;
        orvdlg::ScriptSession session(out);
        session.RunText("t.dlgs", script);
        EXPECT_TRUE(orv::win::TopLevelWindows().empty()) << script << out.str();
    }
}

}  // namespace

namespace {

// A later layer slots in beside the others and reaches the model state.
TEST(Orvdlg, ALaterLayerAddsCommandsAndReachesTheModel) {
    struct Later : orv::script::CommandLayer {
        orvdlg::ScriptSession* session = nullptr;
        void AddCommands(orv::script::CommandTable& table) override {
            table.Add({"mark-new", orv::script::Where::Host, "mark-new ID", [this](orv::script::Call& call) {
                           const auto id = call.Arguments().Integer("an object id", 0, UINT32_MAX);
                           session->Host().Session().SetNewObject(std::uint32_t(id));
                       }});
        }
    } later;
    std::ostringstream out;
    orvdlg::ScriptSession session(out);
    later.session = &session;
    session.AddLayer(later);
    EXPECT_EQ(0, session.RunText("l.dlgs", "model sample\nmark-new 1\nexpect field new 272 f64 500\n")) << out.str();
}

}  // namespace
