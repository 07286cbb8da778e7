// The host window as the Qt front end shows it: a picture of the window's size that is not
// blank. Built only with the Qt front end.

#include <gtest/gtest.h>

#ifdef ORV_HAVE_QT

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>

#include "apps/orvdlg/HostWindow.h"
#include "apps/orvdlg/ModelSession.h"
#include "components/Registration.h"
#include "platform/drivers/qt/QtDriver.h"
#include "platform/win/Input.h"
#include "platform/win/Inspect.h"
#include "support/StepDriver.h"

namespace {

using orvtest::StepDriver;

TEST(HostWindowPicture, TheQtFrontEndShowsTheWholeWindow) {
    orv::win::ResetKernel();
    RegisterOrvComponents();
    orvdlg::ModelSession session;
    session.LoadSample();
    orvdlg::HostWindow window(session, "bracket.json");
    const char* base = std::getenv("ORV_TEST_TMP");
    const std::filesystem::path dir = std::filesystem::path(base ? base : "/tmp") / "host-window";
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "host-window.png").string();
    std::filesystem::remove(file);

    orv::qt::EnsureApplication(true);
    StepDriver steps;
    orv::qt::QtDriverOptions options;
    options.inner = &steps;
    orv::qt::QtDriver driver(std::move(options));
    RECT rect{};
    std::string error;
    bool saved = false;
    steps.steps.push_back([&] {
        const HWND host = orv::win::ActiveModalWindow();
        rect = orv::win::Inspect(host).windowRect;
        saved = driver.SaveWindowImage(host, file, error);
        ASSERT_TRUE(orv::win::input::Click(orv::win::FindControl(host, orvdlg::HostWindow::IDC_EXIT)));
    });
    orv::win::DriverScope scope(&driver);
    EXPECT_EQ(IDOK, window.DoModal());
    ASSERT_TRUE(saved) << error;
    int width = 0, height = 0, colours = 0;
    ASSERT_TRUE(orv::qt::ReadImageSummary(file, width, height, colours));
    EXPECT_EQ(rect.right - rect.left, width);
    EXPECT_EQ(rect.bottom - rect.top, height);
    EXPECT_GT(colours, 2);
}

}  // namespace

#endif
