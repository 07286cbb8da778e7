// The shared library exports the factory function and the exported classes, nothing else of
// ours: every other symbol is hidden.
#include <array>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::vector<std::string> DynamicSymbols(const std::string& library) {
    const std::string command = "nm -D --defined-only -C '" + library + "' 2>&1";
    std::vector<std::string> lines;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return lines;
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), int(buffer.size()), pipe)) {
        std::string line(buffer.data());
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        lines.push_back(line);
    }
    ::pclose(pipe);
    return lines;
}

// What the library may export: the factory function and the members, virtual tables and type
// information of the exported classes.
const std::regex& Allowed() {
    static const std::regex allowed(
        "^(?:(?:vtable|typeinfo|typeinfo name) for )?"
        "DataModelDialogs::(?:GetDataModelDialogFactory\\(\\)$|"
        "(?:ADataModelDialogFactory|AFeaObjectPropertiesDialogBase|AFeaObjectPropertiesDialog_T<[^>]*>|"
        "AFeaObjectPropertiesDialogGeometryFunctor|AModelessFeaObjectPropertiesDialog|FeaObjectEditParameters|"
        "UnitConverterWindowUtility|AContactOptionsDialogBase|AFrictionContactOptionsDlg|AThermalContactOptionsDlg|"
        "ASurfaceDirectionContactOptionsDlg|ASmartBondingContactOptionsDlg|AUnitsDialog|AMassSpeciesDialog)(?:$|::))");
    return allowed;
}

// Not ours: the standard library's inline and template code, what the linker defines, and the
// sanitizers' markers of exported globals (__odr_asan.MANGLED) in a sanitizer build.
bool Foreign(const std::string& name) {
    static const std::regex foreign(
        "^(?:(?:vtable|typeinfo|typeinfo name|guard variable) for )?"
        "(?:std::|__gnu_cxx::|__cxx|operator (?:new|delete)|_init$|_fini$|_edata$|_end$|__bss_start$|"
        "[a-z_:]*std::|auto std::|void std::|bool std::|__odr_asan[._])");
    return std::regex_search(name, foreign);
}

TEST(ExportsTest, OnlyTheFactoryAndTheExportedClassesAreVisible) {
    const std::string library = std::string(ORV_BINARY_DIR) + "/bin/libDataModelDialogs.so";
    ASSERT_TRUE(std::filesystem::exists(library)) << library << " is not built";
    const auto lines = DynamicSymbols(library);
    ASSERT_FALSE(lines.empty()) << "nm gave nothing for " << library;
    bool factory = false;
    for (const std::string& line : lines) {
        // "ADDRESS TYPE NAME"
        const auto first = line.find(' ');
        const auto second = first == std::string::npos ? first : line.find(' ', first + 1);
        ASSERT_NE(second, std::string::npos) << "unexpected nm output: " << line;
        const std::string name = line.substr(second + 1);
        if (name == "DataModelDialogs::GetDataModelDialogFactory()") factory = true;
        if (Foreign(name)) continue;
        EXPECT_TRUE(std::regex_search(name, Allowed())) << "exported but not part of the interface: " << name;
    }
    EXPECT_TRUE(factory) << "the factory function is not exported";
}

TEST(ExportsTest, TheInterfaceClassesAHostUsesAreExported) {
    const std::string library = std::string(ORV_BINARY_DIR) + "/bin/libDataModelDialogs.so";
    ASSERT_TRUE(std::filesystem::exists(library)) << library << " is not built";
    const auto lines = DynamicSymbols(library);
    auto exported = [&](const std::string& name) {
        for (const std::string& line : lines)
            if (line.size() >= name.size() && line.compare(line.size() - name.size(), name.size(), name) == 0) return true;
        return false;
    };
    for (const char* name : {"typeinfo for DataModelDialogs::ADataModelDialogFactory",
                             "typeinfo for DataModelDialogs::AFeaObjectPropertiesDialogBase",
                             "typeinfo for DataModelDialogs::AModelessFeaObjectPropertiesDialog",
                             "typeinfo for DataModelDialogs::AModelessFeaObjectPropertiesDialog::Events",
                             "typeinfo for DataModelDialogs::UnitConverterWindowUtility"})
        EXPECT_TRUE(exported(name)) << name;
    // Implementation classes stay inside, also those that derive from an exported class.
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find("ConsistentEditUnitConversionWindowUtility"), std::string::npos) << line;
        EXPECT_EQ(line.find("EditActiveRange"), std::string::npos) << line;
        EXPECT_EQ(line.find("FeaObjectDialogBase"), std::string::npos) << line;
    }
}

}  // namespace
