// The shared library as a host loads it: start-up joins the resource chain with the library's
// own module, the factory function is found by its exported name, and unloading leaves the
// chain again.
#include <algorithm>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "dialogs/factory/DataModelDialogs.h"
#include "platform/res/ExtensionModule.h"
#include "platform/res/Module.h"
#include "platform/res/Resources.h"
#include "platform/res/DialogTemplate.h"

namespace {

bool InChain(HINSTANCE module) {
    const auto chain = orv::res::ResourceChain();
    return std::find(chain.begin(), chain.end(), module) != chain.end();
}

TEST(LibraryLoadTest, StartUpJoinsTheChainAndTheFactoryIsExported) {
    const std::filesystem::path library = std::filesystem::path(ORV_BINARY_DIR) / "bin" / "libDataModelDialogs.so";
    ASSERT_TRUE(std::filesystem::exists(library)) << library << " is not built";
    HMODULE module = ::LoadLibrary(library.wstring().c_str());
    ASSERT_NE(module, nullptr) << std::string(orv::res::LastModuleError().begin(), orv::res::LastModuleError().end());
    EXPECT_TRUE(InChain(module));
    // The library's own resources and version are found in its module.
    const orv::res::DialogTemplate* temperature = orv::res::FindDialogTemplate(module, 3047u);
    ASSERT_NE(temperature, nullptr);
    EXPECT_EQ(temperature->caption, L"%1 %2!ld! Temperature %3");
    ASSERT_NE(orv::res::FindVersionInfo(module), nullptr);

    using FactoryFunction = DataModelDialogs::ADataModelDialogFactory* (*)();
    auto get = reinterpret_cast<FactoryFunction>(
        ::GetProcAddress(module, "_ZN16DataModelDialogs25GetDataModelDialogFactoryEv"));
    ASSERT_NE(get, nullptr);
    DataModelDialogs::ADataModelDialogFactory* factory = get();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(get(), factory);
    EXPECT_NE(factory, DataModelDialogs::GetDataModelDialogFactory()) << "the loaded library has its own factory";
    EXPECT_EQ(factory->GetFeaObjectPropertiesDialog(100, nullptr, 0), nullptr);
    // Nothing but the interface is visible: an internal function is not found.
    EXPECT_EQ(::GetProcAddress(module, "_ZN16DataModelDialogs19FindFeaDialogCreatorEj"), nullptr);

    EXPECT_TRUE(::FreeLibrary(module));
    EXPECT_FALSE(InChain(module));
}

}  // namespace
