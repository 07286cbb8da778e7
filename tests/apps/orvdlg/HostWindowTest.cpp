// The interactive host window driven as a person drives it: steps played by a driver at each
// wait for input, through the kernel's input functions.

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>

#include "apps/orvdlg/HostWindow.h"
#include "apps/orvdlg/ModelSession.h"
#include "apps/orvdlg/PickPrompt.h"
#include "components/Registration.h"
#include "host/model/DbDesignScenario.h"
#include "host/model/DbModel.h"
#include "host/model/ModelFile.h"
#include "platform/win/Afx.h"
#include "platform/win/Driver.h"
#include "platform/win/Input.h"
#include "platform/win/Inspect.h"
#include "platform/win/Utf8.h"
#include "support/StepDriver.h"

namespace {

using orvdlg::HostWindow;
namespace input = orv::win::input;

using orvtest::StepDriver;

// The factory's dialogs but for the wall roughness ones (types 171 and 178), as a host window
// sees a library that does not serve every type yet.
orvdlg::FeaDialogSource WithoutWallRoughness() {
    return [all = orvdlg::FactoryDialogSource()](std::uint32_t typeCode) {
        return typeCode == 171 || typeCode == 178 ? nullptr : all(typeCode);
    };
}

HWND Modal() { return orv::win::ActiveModalWindow(); }
HWND Ctl(int id) { return orv::win::FindControl(Modal(), id); }
std::wstring Title() { return orv::win::Inspect(Modal()).text; }
bool IsMessageBox() { return orv::win::Inspect(Modal()).isMessageBox; }
std::wstring MessageText() { return orv::win::Inspect(Modal()).messageBox.text; }
std::vector<orv::win::ItemView> Rows() { return orv::win::Inspect(Ctl(HostWindow::IDC_OBJECTS)).items; }
void Click(int id) { ASSERT_TRUE(input::Click(Ctl(id))) << "click " << id; }
void Type(int id, const std::wstring& text) { ASSERT_TRUE(input::ReplaceText(Ctl(id), text)) << "type " << id; }

// The row of an object id, -1 when it is not listed.
int RowOf(std::uint32_t id) {
    const auto rows = Rows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].data == id) return int(i);
    return -1;
}
void Select(std::initializer_list<std::uint32_t> ids) {
    ASSERT_TRUE(input::SelectItem(Ctl(HostWindow::IDC_OBJECTS), -1));
    for (std::uint32_t id : ids) {
        ASSERT_GE(RowOf(id), 0) << "object " << id;
        ASSERT_TRUE(input::ToggleItem(Ctl(HostWindow::IDC_OBJECTS), RowOf(id))) << "object " << id;
    }
}

std::string TempPath(const std::string& name) {
    const char* base = std::getenv("ORV_TEST_TMP");
    std::filesystem::path dir = std::filesystem::path(base ? base : "/tmp") / "host-window";
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

class HostWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        orv::win::ResetKernel();
        RegisterOrvComponents();
        session.LoadSample();
        session.SetDisplayUnits(std::nullopt);  // values shown as stored
    }
    // Runs the window with the steps; every step must have been played.
    INT_PTR Run(HostWindow& window) {
        orv::win::DriverScope scope(&driver);
        const INT_PTR result = window.DoModal();
        EXPECT_TRUE(driver.steps.empty()) << driver.steps.size() << " steps left";
        return result;
    }
    OrvDbRecord::DbDesignScenario& Scenario() { return session.Scenario(); }

    orvdlg::ModelSession session;
    StepDriver driver;
};

TEST_F(HostWindowTest, ListsTheScenariosObjectsGroupedByTypeAndSortedById) {
    HostWindow window(session, "bracket.json");
    driver.Then([&] {
        EXPECT_EQ(L"orvdlg - bracket.json", Title());
        const auto view = orv::win::Inspect(Ctl(HostWindow::IDC_OBJECTS));
        EXPECT_EQ((std::vector<std::wstring>{L"Type", L"Id", L"Description"}), view.columns);
        auto rows = view.items;
        // The FEA objects, then the initial fluid volumes (their own group, their own ids).
        ASSERT_EQ(Scenario().GetFeaObjects().size() + Scenario().GetInitialFluidVolumes().size(), rows.size());
        ASSERT_EQ(29u, rows.size());
        EXPECT_EQ(L"Initial Fluid Volume", rows.back().text);
        EXPECT_EQ(orvdlg::kFluidVolumeRow | 1u, rows.back().data);
        EXPECT_EQ(L"Coolant bath", rows.back().subItems.at(1));
        rows.pop_back();
        // Names sorted, ids ascending within a group, the type on the first row of its group.
        std::wstring group;
        std::uint32_t lastId = 0;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const auto* object = Scenario().FindFeaObject(std::uint32_t(rows[i].data));
            ASSERT_NE(nullptr, object) << i;
            const std::wstring type = orvdlg::HostTypeName(object->GetTypeCode());
            const bool first = i == 0 || type != group;
            EXPECT_EQ(first ? type : L"", rows[i].text) << "row " << i;
            if (first) {
                EXPECT_LT(group, type) << "row " << i;
            } else {
                EXPECT_GT(rows[i].data, lastId) << "row " << i;
            }
            EXPECT_EQ(std::to_wstring(rows[i].data), rows[i].subItems.at(0));
            group = type;
            lastId = std::uint32_t(rows[i].data);
        }
        EXPECT_TRUE(rows[0].selected);  // the first row starts selected
        EXPECT_FALSE(rows[1].selected);
        EXPECT_EQ(L"Applied Temperature (node)", rows[0].text);
        EXPECT_EQ(L"Brace end temperature", rows[0].subItems.at(1));
        EXPECT_EQ(L"Applied Temperature (surface)", rows[1].text);
        const int force = RowOf(1);
        ASSERT_GE(force, 0);
        EXPECT_EQ(L"Surface Force", rows[force].text);
        EXPECT_EQ(L"Clamp pressure", rows[force].subItems.at(1));
        EXPECT_EQ(L"", rows[force + 1].text);
        EXPECT_EQ(2u, rows[force + 1].data);
        EXPECT_EQ(L"", rows[force + 2].text);
        EXPECT_EQ(3u, rows[force + 2].data);
        EXPECT_NE(std::wstring::npos, window.Status().find(L"28 objects")) << window.Status();
        Click(HostWindow::IDC_EXIT);
    });
    EXPECT_EQ(IDOK, Run(window));
    EXPECT_FALSE(window.Modified());
}

TEST_F(HostWindowTest, NewCreatesAnObjectOfTheChosenTypeWithTheNextId) {
    HostWindow window(session, "bracket.json", WithoutWallRoughness());
    driver.Then([&] { Click(HostWindow::IDC_NEW); })
        .Then([&] {
            EXPECT_EQ(L"New Object", Title());
            const auto types = orv::win::Inspect(Ctl(1101)).items;
            // Only types with a dialog: heat generation is there, the part wall roughness is not.
            bool heat = false, roughness = false;
            for (const auto& type : types) {
                heat = heat || (type.text == L"Heat Generation" && type.subItems.at(0) == L"176");
                roughness = roughness || type.data == 178;
            }
            EXPECT_TRUE(heat);
            EXPECT_FALSE(roughness);
            ASSERT_TRUE(input::SelectItemByText(Ctl(1101), L"Heat Generation"));
            // The geometry follows the type: the scenario's parts, the first one proposed.
            const auto geometry = orv::win::Inspect(Ctl(HostWindow::IDC_NEW_GEOMETRY));
            ASSERT_EQ(Scenario().GetParts().size() + 1, geometry.items.size());
            EXPECT_EQ(L"(nothing yet)", geometry.items[0].text);
            EXPECT_EQ(0u, geometry.items[1].text.find(L"Part 1 \"")) << geometry.items[1].text;
            EXPECT_EQ(1, geometry.selection);
            ASSERT_TRUE(input::SelectItem(Ctl(HostWindow::IDC_NEW_GEOMETRY), 2));
            Click(IDOK);
        })
        .Then([&] {
            EXPECT_EQ(L"Creating 1 Heat Generation Object", Title());
            Type(1089, L"2500");
            Type(1011, L"New heater");
            Click(IDOK);
        })
        .Then([&] {
            EXPECT_EQ(L"orvdlg - bracket.json *", Title());
            EXPECT_EQ(L"Heat Generation 29 created on part 2.", window.Status());
            EXPECT_EQ(L"Heat Generation 29 created on part 2.", orv::win::Inspect(Ctl(HostWindow::IDC_STATUS)).text);
            const int row = RowOf(29);
            ASSERT_GE(row, 0);
            EXPECT_TRUE(Rows()[row].selected);
            EXPECT_EQ(L"New heater", Rows()[row].subItems.at(1));
            // Cancel on the chooser creates nothing.
            Click(HostWindow::IDC_NEW);
        })
        .Then([&] { Click(IDCANCEL); })
        .Then([&] {
            EXPECT_EQ(L"Nothing created.", window.Status());
            Click(HostWindow::IDC_EXIT);
        })
        .Then([&] {
            ASSERT_TRUE(IsMessageBox());
            Click(IDNO);
        });
    EXPECT_EQ(IDOK, Run(window));
    const auto* object = Scenario().FindFeaObject(29);
    ASSERT_NE(nullptr, object);
    EXPECT_EQ(176u, object->GetTypeCode());
    EXPECT_EQ(2500.0, object->GetRecord().GetF64(272));
    EXPECT_EQ("New heater", object->GetDescription());
    EXPECT_EQ(2u, object->GetGeometryId());
    EXPECT_EQ(OrvDbRecord::StorageMapItem::Kind::Part, object->GetGeometryKind());
    EXPECT_EQ(nullptr, Scenario().FindFeaObject(30));
}

TEST_F(HostWindowTest, TheChoiceOfGeometryFollowsTheTypesKind) {
    HostWindow window(session, "bracket.json");
    auto geometry = [] { return orv::win::Inspect(Ctl(HostWindow::IDC_NEW_GEOMETRY)).items; };
    driver.Then([&] { Click(HostWindow::IDC_NEW); })
        .Then([&] {
            ASSERT_TRUE(input::SelectItemByText(Ctl(HostWindow::IDC_NEW_TYPES), L"Applied Temperature (node)"));
            ASSERT_EQ(Scenario().GetNodes().size() + 1, geometry().size());
            EXPECT_EQ(L"Node 1", geometry()[1].text);
            ASSERT_TRUE(input::SelectItemByText(Ctl(HostWindow::IDC_NEW_TYPES), L"Initial Concentration (surface)"));
            ASSERT_EQ(Scenario().GetSurfaces().size() + 1, geometry().size());
            EXPECT_EQ(0u, geometry()[1].text.find(L"Surface 1 (part ")) << geometry()[1].text;
            Click(IDCANCEL);
        })
        .Then([&] { window.EndDialog(IDOK); });
    Run(window);
    EXPECT_EQ(L"Nothing created.", window.Status());
}

TEST_F(HostWindowTest, ModifyEditsTheSelectedObjectsOfOneTypeInOneDialog) {
    const auto& original = *Scenario().FindFeaObject(18);
    const std::uint32_t second =
        Scenario().CreateFeaObject(176, original.GetRecord(), original.GetGeometryKind(), original.GetGeometryId()).Id();
    ASSERT_EQ(29u, second);
    Scenario().FindFeaObject(second)->SetDescription("Second heater");
    HostWindow window(session, "bracket.json");
    driver.Then([&] {
              Select({18, 29});
              Click(HostWindow::IDC_MODIFY);
          })
        .Then([&] {
            EXPECT_EQ(L"Modifying 2 Heat Generation Objects", Title());
            EXPECT_EQ(L"50000", orv::win::Inspect(Ctl(1089)).text);
            Type(1089, L"1234");
            Click(IDOK);
        })
        .Then([&] {
            EXPECT_EQ(L"orvdlg - bracket.json *", Title());
            EXPECT_EQ(L"Heat Generation 18, 29 modified.", window.Status());
            // The selection stays; the descriptions, which differed, are kept.
            EXPECT_TRUE(Rows()[RowOf(18)].selected);
            EXPECT_TRUE(Rows()[RowOf(29)].selected);
            EXPECT_EQ(L"Second heater", Rows()[RowOf(29)].subItems.at(1));
            // Enter on the list opens the same dialog again; OK without a change changes nothing.
            ASSERT_TRUE(input::Focus(Ctl(HostWindow::IDC_OBJECTS)));
            ASSERT_TRUE(input::PressKey(VK_RETURN));
        })
        .Then([&] {
            EXPECT_EQ(L"Modifying 2 Heat Generation Objects", Title());
            EXPECT_EQ(L"1234", orv::win::Inspect(Ctl(1089)).text);
            Click(IDOK);
        })
        .Then([&] {
            EXPECT_EQ(L"Heat Generation 18, 29 unchanged.", window.Status());
            // A double click on a row modifies that row; Cancel writes nothing.
            Select({18});
            ASSERT_TRUE(input::DoubleClick(Ctl(HostWindow::IDC_OBJECTS)));
        })
        .Then([&] {
            EXPECT_EQ(L"Modifying 1 Heat Generation Object", Title());
            Type(1089, L"99");
            Click(IDCANCEL);
        })
        .Then([&] {
            if (IsMessageBox()) Click(IDYES);  // the dialog may ask before discarding
        })
        .Then([&] {
            EXPECT_EQ(L"Nothing modified.", window.Status());
            window.EndDialog(IDOK);
        });
    Run(window);
    EXPECT_EQ(1234.0, Scenario().FindFeaObject(18)->GetRecord().GetF64(272));
    EXPECT_EQ(1234.0, Scenario().FindFeaObject(29)->GetRecord().GetF64(272));
    EXPECT_EQ("Resistive heating", Scenario().FindFeaObject(18)->GetDescription());
    EXPECT_EQ("Second heater", Scenario().FindFeaObject(29)->GetDescription());
    EXPECT_TRUE(window.Modified());
}

TEST_F(HostWindowTest, ModifyRefusesMixedTypesNoSelectionAndTypesWithoutADialog) {
    HostWindow window(session, "bracket.json", WithoutWallRoughness());
    driver.Then([&] {
              Select({});
              Click(HostWindow::IDC_MODIFY);
          })
        .Then([&] {
            ASSERT_TRUE(IsMessageBox());
            EXPECT_EQ(L"Select the objects to modify.", MessageText());
            Click(IDOK);
        })
        .Then([&] {
            EXPECT_EQ(L"Select the objects to modify.", window.Status());
            Select({1, 18});
            Click(HostWindow::IDC_MODIFY);
        })
        .Then([&] {
            ASSERT_TRUE(IsMessageBox());
            EXPECT_EQ(L"The selected objects are of different types (Heat Generation, Surface Force). Select objects "
                      L"of one type to modify them together.",
                      MessageText());
            Click(IDOK);
        })
        .Then([&] {
            Select({25});
            Click(HostWindow::IDC_MODIFY);
        })
        .Then([&] {
            ASSERT_TRUE(IsMessageBox());
            EXPECT_EQ(L"The library has no dialog for Surface Wall Roughness objects yet.", MessageText());
            Click(IDOK);
        })
        .Then([&] {
            EXPECT_EQ(L"orvdlg - bracket.json", Title());
            Click(HostWindow::IDC_EXIT);
        });
    EXPECT_EQ(IDOK, Run(window));
    EXPECT_FALSE(window.Modified());
}

// A property dialog that asks for picks, through the interface the host uses: it shows no
// window, ends with the pick codes it is given in turn and records what the host answered.
class PickingDialog : public DataModelDialogs::AFeaObjectPropertiesDialog {
public:
    std::deque<std::uint32_t> results;
    std::vector<std::uint32_t> resumes;
    std::vector<std::array<double, 3>> picked;

    void AddGeometry(OrvDbRecord::StorageMapItem* geometry) override { geometries_.push_back(geometry); }
    void AddFeaObject(const OrvDbRecord::DbFeaObject* object) override {
        objects_.push_back(object);
        entries_.push_back(object->GetRecord());
    }
    std::int32_t FillNewObjectEntry(void*, OrvDbRecord::FeaObjectGroup*, RURIVO_LOADS_V1_ENTRY* entry) override {
        *entry = edited_;
        return 0;
    }
    std::int32_t ApplyEditsToEntry(RURIVO_LOADS_V1_ENTRY* entry) override {
        entry->SetF64(272, edited_.GetF64(272));
        return 0;
    }
    DataModelDialogs::FeaObjectEditParameters& GetEditParameters() override { return parameters_; }
    std::vector<OrvDbRecord::StorageMapItem*>& GetGeometries() override { return geometries_; }
    std::uint64_t GetMaxObjectCount() override { return 100000; }
    std::vector<const OrvDbRecord::DbFeaObject*>& GetFeaObjects() override { return objects_; }
    RURIVO_LOADS_V1_ENTRY& GetEditedEntry() override { return edited_; }
    std::uint32_t GetMode() override { return mode_; }
    double GetPickedValue() override { return value_; }
    double* GetPickedVector() override { return vector_.data(); }
    std::uint32_t GetTypeCode() override { return 35; }
    std::vector<RURIVO_LOADS_V1_ENTRY>& GetEntries() override { return entries_; }
    void Reset() override {
        objects_.clear();
        entries_.clear();
        geometries_.clear();
        edited_.Zero();
        mode_ = 0;
    }
    void SetEditParameters(const DataModelDialogs::FeaObjectEditParameters& parameters) override {
        parameters_ = parameters;
    }
    void SetMode(std::uint32_t mode) override { mode_ = mode; }
    void SetPickedValue(double value) override { value_ = value; }
    void SetPickedVector(const double vector[3]) override { SetPickedVector(vector[0], vector[1], vector[2]); }
    void SetPickedVector(double x, double y, double z) override {
        vector_ = {x, y, z};
        picked.push_back(vector_);
    }
    std::uint32_t ShowDialog(std::uint32_t resumeCode) override {
        resumes.push_back(resumeCode);
        if (resumeCode == 0x40200) edited_.SetF64(272, vector_[0] + vector_[1] + vector_[2]);
        if (results.empty()) return 1;
        const std::uint32_t result = results.front();
        results.pop_front();
        return result;
    }
    CWnd* SetMessageTarget(CWnd* target) override { return target; }

private:
    DataModelDialogs::FeaObjectEditParameters parameters_;
    std::vector<OrvDbRecord::StorageMapItem*> geometries_;
    std::vector<const OrvDbRecord::DbFeaObject*> objects_;
    std::vector<RURIVO_LOADS_V1_ENTRY> entries_;
    RURIVO_LOADS_V1_ENTRY edited_;
    std::uint32_t mode_ = 0;
    double value_ = 0;
    std::array<double, 3> vector_{};
};

// Every vector load and prescribed motion of the sample opens from the list, takes an edit and
// writes it back to its object.
TEST_F(HostWindowTest, EveryVectorLoadOfTheSampleOpensEditsAndSaves) {
    const std::uint32_t ids[] = {1, 4, 5, 7, 8, 9, 10, 27, 28};
    HostWindow window(session, "bracket.json");
    for (std::uint32_t id : ids) {
        driver.Then([id] {
                  Select({id});
                  Click(HostWindow::IDC_MODIFY);
              })
            .Then([id] {
                Type(1011, L"Edited " + std::to_wstring(id));
                Click(IDOK);
            });
    }
    driver.Then([&] { window.EndDialog(IDOK); });
    Run(window);
    for (std::uint32_t id : ids)
        EXPECT_EQ("Edited " + std::to_string(id), Scenario().FindFeaObject(id)->GetDescription()) << id;
}

TEST_F(HostWindowTest, APickRequestIsAnsweredInThePickPromptAndTheDialogResumes) {
    PickingDialog picking;
    picking.results = {0x40200, 0x40203, 0};
    HostWindow window(session, "bracket.json", [&](std::uint32_t code) {
        return code == 35 ? static_cast<DataModelDialogs::AFeaObjectPropertiesDialog*>(&picking) : nullptr;
    });
    using P = orvdlg::PickPromptDialog;
    driver.Then([&] {
              Select({1});
              Click(HostWindow::IDC_MODIFY);
          })
        .Then([&] {
            EXPECT_EQ(L"Pick a Vector", Title());
            EXPECT_EQ(L"Pick the direction vector. (request 0x40200)", orv::win::Inspect(Ctl(P::IDC_REQUEST)).text);
            EXPECT_TRUE(orv::win::Inspect(Ctl(P::IDC_X)).focused);
            Type(P::IDC_X, L"1");
            Type(P::IDC_Y, L"two");
            Type(P::IDC_Z, L"3");
            Click(IDOK);
        })
        .Then([&] {
            // Not a number: refused, the prompt stays with the focus on the field.
            ASSERT_TRUE(IsMessageBox());
            Click(IDOK);
        })
        .Then([&] {
            EXPECT_EQ(L"Pick a Vector", Title());
            EXPECT_TRUE(orv::win::Inspect(Ctl(P::IDC_Y)).focused);
            Type(P::IDC_Y, L"2");
            Click(IDOK);
        })
        .Then([&] {
            EXPECT_EQ(L"Pick a Point", Title());
            EXPECT_EQ(L"Pick a point. (request 0x40203)", orv::win::Inspect(Ctl(P::IDC_REQUEST)).text);
            Click(IDCANCEL);  // no pick: the dialog reopens with its edits
        })
        .Then([&] {
            EXPECT_EQ(L"Surface Force 1 modified.", window.Status());
            window.EndDialog(IDOK);
        });
    Run(window);
    EXPECT_EQ((std::vector<std::uint32_t>{0, 0x40200, 1}), picking.resumes);
    ASSERT_EQ(1u, picking.picked.size());
    EXPECT_EQ((std::array<double, 3>{1, 2, 3}), picking.picked[0]);
    EXPECT_EQ(6.0, Scenario().FindFeaObject(1)->GetRecord().GetF64(272));
    EXPECT_EQ(1u, picking.GetEditParameters().objectCount);
    EXPECT_EQ(1u, picking.GetMode());
}

TEST_F(HostWindowTest, APickThatGetsNoAnswerEndsTheTaskWithoutWriting) {
    PickingDialog picking;
    picking.results = {0x40200};
    HostWindow window(session, "bracket.json", [&](std::uint32_t) { return &picking; });
    driver.Then([&] {
        Select({1});
        Click(HostWindow::IDC_MODIFY);
    });  // then the driver has no input for the prompt
    orv::win::DriverScope scope(&driver);
    window.DoModal();
    EXPECT_EQ(L"The pick prompt ended without an answer.", window.Status());
    EXPECT_FALSE(window.Modified());
}

TEST_F(HostWindowTest, SaveAsWritesAFileThatLoadsBackEqual) {
    const std::string path = TempPath("saved-bracket.json");
    std::filesystem::remove(path);
    HostWindow window(session, "bracket.json");
    driver.Then([&] { Click(HostWindow::IDC_NEW); })
        .Then([&] {
            ASSERT_TRUE(input::SelectItemByText(Ctl(1101), L"Temperature"));
            ASSERT_TRUE(input::SelectItem(Ctl(HostWindow::IDC_NEW_GEOMETRY), 0));  // applied to nothing yet
            Click(IDOK);
        })
        .Then([&] { Click(IDOK); })
        .Then([&] {
            EXPECT_EQ(L"orvdlg - bracket.json *", Title());
            Click(HostWindow::IDC_SAVE);  // the sample has no file yet: Save asks for one
        })
        .Then([&] {
            EXPECT_EQ(L"bracket.json", orv::win::Inspect(Ctl(CFileDialog::kFileNameEdit)).text);
            Type(CFileDialog::kFileNameEdit, orv::Utf8ToWide(path));
            Click(IDOK);
        })
        .Then([&] {
            EXPECT_EQ(L"orvdlg - saved-bracket.json", Title());
            EXPECT_EQ(L"Saved saved-bracket.json.", window.Status());
            Click(HostWindow::IDC_EXIT);  // nothing to ask
        });
    EXPECT_EQ(IDOK, Run(window));
    EXPECT_FALSE(window.Modified());
    EXPECT_EQ(path, window.Path());
    auto loaded = OrvDbRecord::LoadModelFile(path);
    ASSERT_TRUE(loaded) << loaded.error;
    EXPECT_EQ(OrvDbRecord::FormatModelJson(session.Model()), OrvDbRecord::FormatModelJson(*loaded.model));
    ASSERT_NE(nullptr, loaded.model->GetFirstScenario()->FindFeaObject(29));
    EXPECT_EQ(0u, loaded.model->GetFirstScenario()->FindFeaObject(29)->GetGeometryId());
}

TEST_F(HostWindowTest, SaveOfAModelWithAFileWritesItInPlace) {
    const std::string path = TempPath("in-place.json");
    session.Save(path);
    HostWindow window(session, "unused.json");
    driver.Then([&] {
              EXPECT_EQ(L"orvdlg - in-place.json", Title());
              Scenario().FindFeaObject(19)->SetDescription("Changed behind the window");
              Click(HostWindow::IDC_SAVE);  // no file dialog
          })
        .Then([&] {
            EXPECT_EQ(L"Saved in-place.json.", window.Status());
            Click(HostWindow::IDC_EXIT);
        });
    EXPECT_EQ(IDOK, Run(window));
    auto loaded = OrvDbRecord::LoadModelFile(path);
    ASSERT_TRUE(loaded) << loaded.error;
    EXPECT_EQ("Changed behind the window", loaded.model->GetFirstScenario()->FindFeaObject(19)->GetDescription());
}

TEST_F(HostWindowTest, ASaveThatFailsSaysWhyAndKeepsTheChanges) {
    const std::filesystem::path folder = TempPath("vanishing");
    std::filesystem::create_directories(folder);
    session.Save((folder / "model.json").string());
    std::filesystem::remove_all(folder);
    HostWindow window(session, "unused.json");
    driver.Then([&] { Click(HostWindow::IDC_NEW); })
        .Then([&] { Click(IDOK); })
        .Then([&] { Click(IDOK); })
        .Then([&] {
            EXPECT_EQ(L"orvdlg - model.json *", Title());
            Click(HostWindow::IDC_SAVE);
        })
        .Then([&] {
            ASSERT_TRUE(IsMessageBox());
            EXPECT_EQ(0u, MessageText().find(L"The model was not saved: ")) << MessageText();
            Click(IDOK);
        })
        .Then([&] {
            EXPECT_EQ(L"orvdlg - model.json *", Title());
            EXPECT_EQ(0u, window.Status().find(L"The model was not saved: ")) << window.Status();
            window.EndDialog(IDOK);
        });
    Run(window);
    EXPECT_TRUE(window.Modified());
    EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST_F(HostWindowTest, NewWithoutAnyDialogToCreateWithSaysSo) {
    HostWindow window(session, "bracket.json", [](std::uint32_t) { return nullptr; });
    driver.Then([&] { Click(HostWindow::IDC_NEW); })
        .Then([&] {
            ASSERT_TRUE(IsMessageBox());
            EXPECT_EQ(L"The library serves no dialog to create objects with.", MessageText());
            Click(IDOK);
        })
        .Then([&] { window.EndDialog(IDOK); });
    Run(window);
    EXPECT_FALSE(window.Modified());
    EXPECT_EQ(28u, Scenario().GetFeaObjects().size());
}

TEST_F(HostWindowTest, ExitWithChangesAsksAndCancelKeepsTheWindow) {
    HostWindow window(session, "bracket.json");
    HWND host = nullptr;
    driver.Then([&] {
              host = Modal();
              Click(HostWindow::IDC_NEW);
          })
        .Then([&] { Click(IDOK); })  // the first type of the chooser
        .Then([&] { Click(IDOK); })  // its create dialog
        .Then([&] { Click(HostWindow::IDC_EXIT); })
        .Then([&] {
            ASSERT_TRUE(IsMessageBox());
            EXPECT_EQ(L"Save changes to bracket.json?", MessageText());
            const auto box = orv::win::Inspect(Modal()).messageBox;
            EXPECT_EQ((std::vector<int>{IDYES, IDNO, IDCANCEL}), box.buttons);
            Click(IDCANCEL);
        })
        .Then([&] {
            EXPECT_EQ(host, Modal());
            ASSERT_TRUE(input::PressKey(VK_ESCAPE));  // Escape is Exit as well
        })
        .Then([&] {
            ASSERT_TRUE(IsMessageBox());
            Click(IDYES);  // save: the file dialog, cancelled, keeps the window
        })
        .Then([&] { Click(IDCANCEL); })
        .Then([&] {
            EXPECT_EQ(host, Modal());
            EXPECT_EQ(L"Not saved.", window.Status());
            ASSERT_TRUE(input::CloseWindow(host));
        })
        .Then([&] {
            ASSERT_TRUE(IsMessageBox());
            Click(IDNO);
        });
    EXPECT_EQ(IDOK, Run(window));
    EXPECT_TRUE(window.Modified());
}

TEST(HostTypes, NamesAndCreatableTypes) {
    EXPECT_EQ(L"Heat Generation", orvdlg::HostTypeName(176));
    EXPECT_EQ(L"Applied Temperature (node)", orvdlg::HostTypeName(29));
    EXPECT_EQ(L"Applied Temperature (part)", orvdlg::HostTypeName(112));
    EXPECT_EQ(L"Type 999", orvdlg::HostTypeName(999));
    EXPECT_EQ(L"Type 120", orvdlg::HostTypeName(120));
    const auto none = orvdlg::CreatableTypes([](std::uint32_t) { return nullptr; });
    EXPECT_TRUE(none.empty());
    const auto factory = orvdlg::CreatableTypes(orvdlg::FactoryDialogSource());
    ASSERT_FALSE(factory.empty());
    for (std::size_t i = 1; i < factory.size(); ++i) EXPECT_LT(factory[i - 1].name, factory[i].name);
    for (const auto& type : factory) EXPECT_NE(120u, type.typeCode);  // modeless: not offered
}

TEST(PickRequests, KnownCodesAskForPointsOrVectors) {
    using K = orvdlg::PickRequest::Kind;
    const struct {
        std::uint32_t code;
        K kind;
        bool hasText;
    } cases[] = {
        {0x40200, K::Vector, true}, {0x40203, K::Point, true},  {0x40206, K::Vector, true}, {0x40207, K::Vector, true},
        {0x4029a, K::Point, true},  {0x4029b, K::Point, true}, {0x4029d, K::Vector, true}, {0x40201, K::Vector, false},
        {2, K::Vector, false},
    };
    for (const auto& c : cases) {
        const auto request = orvdlg::DescribePick(c.code);
        EXPECT_EQ(c.code, request.code);
        EXPECT_EQ(c.kind, request.kind) << std::hex << c.code;
        EXPECT_EQ(c.hasText, !request.text.empty()) << std::hex << c.code;
    }
}

TEST(PickPrompt, AValuePickAsksForOneNumber) {
    orv::win::ResetKernel();
    StepDriver driver;
    orvdlg::PickPromptDialog prompt({0x40999, orvdlg::PickRequest::Kind::Value, L""});
    using P = orvdlg::PickPromptDialog;
    driver.Then([&] {
              EXPECT_EQ(L"Pick a Value", Title());
              EXPECT_EQ(L"The dialog asks for a pick. (request 0x40999)", orv::win::Inspect(Ctl(P::IDC_REQUEST)).text);
              EXPECT_EQ(nullptr, Ctl(P::IDC_X));
              Type(P::IDC_VALUE, L"-2.5e3");
              Click(IDOK);
          });
    orv::win::DriverScope scope(&driver);
    EXPECT_EQ(IDOK, prompt.DoModal());
    EXPECT_EQ(-2500.0, prompt.Value());
}

}  // namespace

namespace {

// The film coefficient tools open from the host window as the surface convection dialog opens
// them; the status line tells their answer.
TEST_F(HostWindowTest, TheCalculatorAndTheLibrariesOpenFromTheWindow) {
    const std::filesystem::path scratch = TempPath("film-coefficient");
    setenv("ORV_REGISTRY_DIR", (scratch / "registry").c_str(), 1);
    setenv("ORV_USER_DATA_DIR", (scratch / "userdata").c_str(), 1);
    session.SetDisplayUnits(std::string("SI"));
    HostWindow window(session, "bracket.json");
    driver.Then([&] { Click(HostWindow::IDC_CALCULATOR); })
        .Then([&] {
            EXPECT_EQ(L"Surface Properties - Film/Convection Coefficient Calculator", Title());
            ASSERT_TRUE(input::SelectItemByText(Ctl(1542), L"Forced internal"));
            ASSERT_TRUE(input::PressKey(VK_TAB, {false, true, false}));
            Type(1565, L"0.001");
            Type(1566, L"0.6");
            ASSERT_TRUE(input::PressKey(VK_TAB, {false, true, false}));
            Type(1592, L"0.05");
            Type(1685, L"");
            Click(IDOK);
        })
        .Then([&] {
            EXPECT_TRUE(IsMessageBox());  // the explanation of the computed value
            ASSERT_TRUE(input::PressKey(VK_RETURN));
        })
        .Then([&] {
            EXPECT_EQ(L"Film coefficient: h = 52.32", window.Status());
            Click(HostWindow::IDC_LIBRARIES);
        })
        .Then([&] {
            EXPECT_EQ(L"Surface Film/Convection Coefficient Library", Title());
            Click(IDCANCEL);
        })
        .Then([&] { window.EndDialog(IDOK); });
    Run(window);
    EXPECT_EQ(L"No coefficient chosen.", window.Status());
    unsetenv("ORV_REGISTRY_DIR");
    unsetenv("ORV_USER_DATA_DIR");
    std::error_code ec;
    std::filesystem::remove_all(scratch, ec);
}

TEST_F(HostWindowTest, UnitsAndSpeciesOpenTheSettingsDialogsOnTheScenario) {
    HostWindow window(session, "bracket.json");
    driver.Then([&] { Click(HostWindow::IDC_UNITS); })
        .Then([&] {
            EXPECT_EQ(L"Unit System", Title());
            ASSERT_TRUE(input::GridChoose(Ctl(101), L"Unit System", L"Custom"));
        })
        .Then([&] { Click(IDYES); })
        .Then([&] { Click(IDOK); })
        .Then([&] {
            EXPECT_EQ(L"Unit system: Custom.", window.Status());
            Click(HostWindow::IDC_SPECIES);
        })
        .Then([&] {
            EXPECT_EQ(L"Mass Species", Title());
            ASSERT_TRUE(input::SelectItem(Ctl(1201), 0));  // a new species
            Click(IDOK);
        })
        .Then([&] {
            EXPECT_EQ(L"Creating Mass Species", Title());
            Type(1162, L"Brine");
            Type(1163, L"1e-9");
            Click(IDOK);
        })
        .Then([&] {
            EXPECT_EQ(L"Species 3 \"Brine\", diffusivity 1e-09.", window.Status());
            EXPECT_EQ(L"orvdlg - bracket.json *", Title());
            Click(HostWindow::IDC_EXIT);
        })
        .Then([&] { Click(IDNO); });
    EXPECT_EQ(IDOK, Run(window));
    EXPECT_EQ(4u, Scenario().GetModelUnitSystem().GetUnitSystemType());
    ASSERT_NE(nullptr, Scenario().GetMassSpecies().Find(3));
    EXPECT_EQ("Brine", Scenario().GetMassSpecies().Find(3)->GetName());
}

TEST_F(HostWindowTest, ModifyOnTheContactPairListRunsTheContactOptionsOfTheSelectedPairs) {
    Scenario().SetAnalysisType(0);  // a family whose contact type 0 gets the friction options
    HostWindow window(session, "bracket.json");
    const auto pairs = [] { return orv::win::Inspect(Ctl(HostWindow::IDC_CONTACTS)).items; };
    driver
        .Then([&] {
            ASSERT_EQ(3u, pairs().size());
            EXPECT_EQ(L"Plate to upright", pairs()[0].text);
            ASSERT_TRUE(input::Focus(Ctl(HostWindow::IDC_CONTACTS)));
            ASSERT_TRUE(input::SelectItem(Ctl(HostWindow::IDC_CONTACTS), -1));
            Click(HostWindow::IDC_MODIFY);
        })
        .Then([&] {
            EXPECT_EQ(L"Select the contact pairs to modify.", MessageText());
            Click(IDOK);
        })
        .Then([&] {
            ASSERT_TRUE(input::ToggleItem(Ctl(HostWindow::IDC_CONTACTS), 0));
            ASSERT_TRUE(input::ToggleItem(Ctl(HostWindow::IDC_CONTACTS), 1));
            ASSERT_TRUE(input::PressKey(VK_RETURN));
        })
        .Then([&] {
            EXPECT_EQ(L"Contact Options", Title());
            EXPECT_EQ(L"", orv::win::Inspect(Ctl(1002)).text);  // 0.2 and 0.3
            Type(1002, L"0.25");
            Click(IDOK);
        })
        .Then([&] {
            EXPECT_EQ(L"Contact options (friction) applied to 2 contact pairs.", window.Status());
            EXPECT_TRUE(pairs()[0].selected && pairs()[1].selected);
            window.EndDialog(IDOK);
        });
    Run(window);
    EXPECT_EQ(0.25, Scenario().FindContactPair(1)->Friction());
    EXPECT_EQ(0.25, Scenario().FindContactPair(2)->Friction());
    EXPECT_EQ(0.0, Scenario().FindContactPair(3)->Friction());
    EXPECT_TRUE(window.Modified());
}

}  // namespace

// New... offers an initial fluid volume of each shape; its dialog opens beside the window, which
// stays usable, typed points with Enter complete it, Apply writes the volume into the list, and
// Modify on the sample's volume opens the dialog on it with every point given.
TEST_F(HostWindowTest, InitialFluidVolumesOpenTheModelessDialog) {
    HostWindow window(session, "bracket.json");
    auto fluid = [] {
        for (HWND hwnd : orv::win::TopLevelWindows())
            if (orv::win::Inspect(hwnd).text.starts_with(L"Initial Fluid Volume")) return hwnd;
        return HWND(nullptr);
    };
    auto in = [&](int id) { return orv::win::FindControl(fluid(), id); };
    driver.Then([&] { Click(HostWindow::IDC_NEW); })
        .Then([&] {
            ASSERT_TRUE(input::SelectItemByText(Ctl(1101), L"Initial Fluid Volume (Spherical)"));
            Click(IDOK);
        })
        .Then([&] {
            ASSERT_NE(fluid(), nullptr);
            EXPECT_EQ(L"Initial Fluid Volume (Spherical)", orv::win::Inspect(fluid()).text);
            EXPECT_EQ(L"orvdlg - bracket.json", Title());  // the host window is still the modal one
            // The first point picked in the host's view window, the second typed with Enter.
            HWND view = nullptr;
            for (HWND hwnd : orv::win::TopLevelWindows())
                if (orv::win::Inspect(hwnd).text == L"3-D View") view = hwnd;
            ASSERT_NE(view, nullptr);
            for (int id : {1002, 1003, 1004})
                ASSERT_TRUE(input::ReplaceText(orv::win::FindControl(view, id), id == 1003 ? L"2" : L"1"));
            ASSERT_TRUE(input::Click(orv::win::FindControl(view, 1005)));
            EXPECT_EQ(L"?  1  2  1", orv::win::Inspect(orv::win::FindControl(view, 1001)).items.at(0).text);
            ASSERT_TRUE(input::ReplaceText(in(1171), L"3"));
            ASSERT_TRUE(input::PressKey(VK_RETURN, {}));
            EXPECT_EQ(2u, orv::win::Inspect(orv::win::FindControl(view, 1001)).items.size());
            EXPECT_TRUE(orv::win::Inspect(in(1175)).enabled);
            ASSERT_TRUE(input::Click(in(1175)));
            EXPECT_EQ(L"created initial fluid volume 2.", window.Status());
            EXPECT_GE(RowOf(orvdlg::kFluidVolumeRow | 2), 0);
            ASSERT_TRUE(input::Click(in(IDCANCEL)));
            // A node picked by its id, then one clicked in the drawing (beside its id label).
            ASSERT_TRUE(input::ReplaceText(orv::win::FindControl(view, 1007), L"3"));
            ASSERT_TRUE(input::Click(orv::win::FindControl(view, 1005)));
            EXPECT_EQ(L"?  0.1  0.06  0", orv::win::Inspect(orv::win::FindControl(view, 1001)).items.at(1).text);
            ASSERT_TRUE(input::Click(in(IDCANCEL)));
            HWND canvas = orv::win::FindControl(view, 1008);
            POINT node2{-1, -1};
            for (const auto& op : orv::win::PaintWindow(canvas)->ops)
                if (op.kind == orv::win::DrawKind::Text && op.text == L"2") node2 = {op.points[0].x - 4, op.points[0].y - 2};
            ASSERT_GE(node2.x, 0);
            ::ClientToScreen(canvas, &node2);
            ASSERT_TRUE(input::ClickAt({node2.x + 2, node2.y + 1}));
            EXPECT_EQ(L"?  0.1  0  0", orv::win::Inspect(orv::win::FindControl(view, 1001)).items.at(1).text);
            ASSERT_TRUE(input::Click(in(IDCANCEL)));
            ASSERT_TRUE(input::Click(in(IDCANCEL)));
            ASSERT_TRUE(input::Click(in(IDCANCEL)));
            EXPECT_EQ(fluid(), nullptr);
            Select({orvdlg::kFluidVolumeRow | 1});
            Click(HostWindow::IDC_MODIFY);
            ASSERT_NE(fluid(), nullptr);
            EXPECT_EQ(L"Initial Fluid Volume (Hexahedral)", orv::win::Inspect(fluid()).text);
            EXPECT_TRUE(orv::win::Inspect(in(1175)).enabled);
            window.EndDialog(IDOK);
        });
    Run(window);
    const auto* created = Scenario().FindInitialFluidVolume(2);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(1u, created->GetRegionShape());
    EXPECT_DOUBLE_EQ(3.0, created->GetRecord().GetF64(RURIVO_INITIAL_FLUID_VOLUME_V1_ENTRY::kPointsOffset + 24));
}
