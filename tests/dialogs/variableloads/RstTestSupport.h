#pragma once
// Test support for the variable load functions: the components registered, nodes and
// coordinate systems built in place, and a driver that records each message box and answers OK.

#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "components/Registration.h"
#include "host/model/DbGeometry.h"
#include "platform/win/Afx.h"
#include "platform/win/Driver.h"
#include "platform/win/Input.h"
#include "platform/win/Inspect.h"

namespace rsttest {

class RstEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        const char* root = std::getenv("ORV_TEST_TMP");
        std::filesystem::path base = root && *root ? std::filesystem::path(root) : std::filesystem::temp_directory_path();
        const std::filesystem::path registry = base / "variableloads" / "registry";
        std::filesystem::create_directories(registry);
        ::setenv("ORV_REGISTRY_DIR", registry.c_str(), 1);
        RegisterOrvComponents();
    }
};

// Records every message box shown while it is the active driver and closes it with OK.
class MessageRecorder : public orv::win::Driver {
public:
    std::vector<orv::win::MessageBoxView> boxes;
    std::vector<bool> hadOwner;

    bool WaitForInput(HWND modal) override {
        orv::win::WindowView view = orv::win::Inspect(modal);
        if (!view.isMessageBox) return false;
        boxes.push_back(view.messageBox);
        hadOwner.push_back(view.parent != nullptr);
        HWND ok = orv::win::FindControl(modal, IDOK);
        return ok && orv::win::input::Click(ok);
    }
};

// Nodes owned by the test, handed out as the pointers the functions take.
struct NodeSet {
    std::vector<std::unique_ptr<OrvDbRecord::DbNode>> owned;
    std::vector<const OrvDbRecord::DbNode*> nodes;

    NodeSet& Add(double x, double y, double z) {
        owned.push_back(std::make_unique<OrvDbRecord::DbNode>(std::uint32_t(owned.size() + 1), std::array<double, 3>{x, y, z}));
        nodes.push_back(owned.back().get());
        return *this;
    }
};

inline OrvDbRecord::DbCoordinateSystem System(std::uint32_t type, std::array<double, 3> a = {0, 0, 0},
                                              std::array<double, 3> b = {0, 0, 1}, std::array<double, 3> c = {1, 0, 0}) {
    return OrvDbRecord::DbCoordinateSystem(1, type, "test", a, b, c);
}

}  // namespace rsttest
