// OK without edits leaves every object as it was: each dialog the library serves, opened from
// the host window on each object of its type, under each standard display unit system, writes
// records equal to those it read, and the window does not call the model modified.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "apps/orvdlg/HostWindow.h"
#include "apps/orvdlg/ModelSession.h"
#include "components/Registration.h"
#include "host/model/DbDesignScenario.h"
#include "host/model/DbFeaObject.h"
#include "host/model/Record.h"
#include "host/model/RecordLayout.h"
#include "host/units/UnitSystem.h"
#include "platform/win/Afx.h"
#include "platform/win/Driver.h"
#include "platform/win/Input.h"
#include "platform/win/Inspect.h"
#include "platform/win/Utf8.h"
#include "support/StepDriver.h"

namespace {

using orvdlg::HostWindow;
namespace input = orv::win::input;

HWND Modal() { return orv::win::ActiveModalWindow(); }
HWND Ctl(int id) { return orv::win::FindControl(Modal(), id); }

TEST(UntouchedValues, OkWithoutEditsWritesTheRecordsItReadInEveryDisplayUnitSystem) {
    std::set<std::uint32_t> servedTypes;
    for (const auto& type : orvdlg::CreatableTypes(orvdlg::FactoryDialogSource())) servedTypes.insert(type.typeCode);
    std::vector<std::string> systems;
    for (std::uint32_t t = 0; t < UnitSys::UnitSystem::kTypeCount; ++t)
        if (UnitSys::UnitSystem::IsStandardType(t)) systems.push_back(std::to_string(t));
    ASSERT_GE(systems.size(), 3u);
    for (const std::string& system : systems) {
        SCOPED_TRACE("display unit system " + system);
        orv::win::ResetKernel();
        RegisterOrvComponents();
        orvdlg::ModelSession session;
        session.LoadSample();
        session.SetDisplayUnits(system);
        auto& scenario = session.Scenario();
        std::vector<std::uint32_t> ids;
        std::set<std::uint32_t> covered;
        for (const auto& [id, object] : scenario.GetFeaObjects())
            if (servedTypes.count(object->GetTypeCode())) {
                ids.push_back(id);
                covered.insert(object->GetTypeCode());
            }
        ASSERT_GT(scenario.GetMassSpecies().size(), 0u);
        const std::int32_t species = scenario.GetMassSpecies()[0].GetId();
        // A type the sample has no object of gets one whose real numbers convert with noise.
        for (std::uint32_t type : servedTypes) {
            if (covered.count(type)) continue;
            RURIVO_LOADS_V1_ENTRY entry;
            for (const auto& field : OrvDbRecord::FieldsOfType(type))
                if (field.type == OrvDbRecord::FieldType::F64) entry.View().SetF64(field.offset, 0.37);
                else if (field.name == "species") entry.View().SetI32(field.offset, species);
            ids.push_back(scenario.CreateFeaObject(type, entry, OrvDbRecord::GeometryKindOf(type), 0).Id());
        }
        std::map<std::uint32_t, RURIVO_LOADS_V1_ENTRY> before;
        for (std::uint32_t id : ids) before[id] = scenario.FindFeaObject(id)->GetRecord();

        HostWindow window(session, "sample.json");
        orvtest::StepDriver driver;
        for (std::uint32_t id : ids) {
            driver.Then([id] {
                const HWND list = Ctl(HostWindow::IDC_OBJECTS);
                const auto rows = orv::win::Inspect(list).items;
                int row = -1;
                for (std::size_t i = 0; i < rows.size(); ++i)
                    if (rows[i].data == id) row = int(i);
                ASSERT_GE(row, 0) << "object " << id;
                ASSERT_TRUE(input::SelectItem(list, row));
                ASSERT_TRUE(input::Click(Ctl(HostWindow::IDC_MODIFY)));
            });
            driver.Then([id] {
                const auto view = orv::win::Inspect(Modal());
                ASSERT_FALSE(view.isMessageBox) << "object " << id << ": " << orv::WideToUtf8(view.messageBox.text);
                ASSERT_TRUE(input::Click(Ctl(IDOK))) << "object " << id;
            });
            driver.Then([&window, id] {
                const auto view = orv::win::Inspect(Modal());
                ASSERT_FALSE(view.isMessageBox) << "object " << id << ": " << orv::WideToUtf8(view.messageBox.text);
                EXPECT_NE(std::wstring::npos, window.Status().find(L" unchanged.")) << orv::WideToUtf8(window.Status());
            });
        }
        driver.Then([&window] { window.EndDialog(IDOK); });
        {
            orv::win::DriverScope scope(&driver);
            window.DoModal();
        }
        EXPECT_TRUE(driver.steps.empty()) << driver.steps.size() << " steps left";
        EXPECT_FALSE(window.Modified());
        for (std::uint32_t id : ids) {
            const auto& object = *scenario.FindFeaObject(id);
            for (const auto& field : OrvDbRecord::FieldsOfType(object.GetTypeCode()))
                EXPECT_EQ(OrvDbRecord::FormatFieldValue(before[id].View(), field.offset, field.type),
                          OrvDbRecord::FormatFieldValue(object.GetRecord().View(), field.offset, field.type))
                    << "object " << id << " field " << field.name;
            EXPECT_TRUE(object.GetRecord() == before[id]) << "object " << id;
        }
    }
}

}  // namespace
