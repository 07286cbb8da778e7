// The edit-curve flow as a person meets it: a dialog with a curve id and a "Curve..." button
// opens the curve editor component on the design scenario's settings database.

#include <filesystem>

#include "components/curveeditor/CurveEditorDialog.h"
#include "components/interfaces/ICurveEditor.h"
#include "dialogs/curves/CurveEditContext.h"
#include "dialogs/curves/EditLoadCurve.h"
#include "dialogs/resources/Curves.h"
#include "host/model/DbDesignScenario.h"
#include "host/model/DbModel.h"
#include "host/model/ModelFile.h"
#include "platform/com/ClassRegistry.h"
#include "platform/res/DialogTemplate.h"
#include "tests/dialogs/curves/CurveTestSupport.h"

namespace {

namespace fs = std::filesystem;
using curvetest::Click;
using curvetest::Ctl;
using curvetest::MessageText;
using curvetest::Title;
using curvetest::Type;
using E = orv::components::CurveEditorDialog;

constexpr int IDC_CURVE_ID = 1001;
constexpr int IDC_CURVE_BUTTON = 1002;

// A load dialog's curve row: the id edit and "Cur&ve...".
class CurveRowDialog : public CDialog {
public:
    CurveRowDialog(OrvDbRecord::DbDesignScenario& scenario, std::uint32_t kind, UINT titleId)
        : scenario_(scenario), kind_(kind), titleId_(titleId) {
        t_.caption = L"Surface Force";
        t_.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        t_.cx = 200;
        t_.cy = 80;
        t_.items = {Item(L"Edit", IDC_CURVE_ID, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, L"", 7, 7),
                    Item(L"Button", IDC_CURVE_BUTTON, WS_TABSTOP | BS_PUSHBUTTON, L"Cur&ve...", 80, 7),
                    Item(L"Button", IDCANCEL, WS_TABSTOP | BS_PUSHBUTTON, L"Cancel", 140, 60)};
        InitModalIndirect(&t_);
        HandleCommand(IDC_CURVE_BUTTON, [this] {
            written = DataModelDialogs::EditLoadCurve(*this, IDC_CURVE_ID, kind_, titleId_, IDS_CURVE_ID_ZERO_MESSAGE,
                                                      &scenario_);
        });
    }
    bool written = false;

private:
    static orv::res::DialogItemTemplate Item(const wchar_t* cls, UINT id, DWORD style, const wchar_t* text, int x, int y) {
        orv::res::DialogItemTemplate item;
        item.className = cls;
        item.id = id;
        item.style = WS_CHILD | WS_VISIBLE | style;
        item.text = text;
        item.x = x, item.y = y, item.cx = 50, item.cy = 14;
        return item;
    }
    orv::res::DialogTemplate t_;
    OrvDbRecord::DbDesignScenario& scenario_;
    std::uint32_t kind_;
    UINT titleId_;
};

class EditLoadCurveFlow : public ::testing::Test {
protected:
    void SetUp() override {
        dir = curvetest::ScratchFolder("flow");
        model = OrvDbRecord::LoadSampleModel();
        scenario = model->GetFirstScenario();
        scenario->SetModelPath((dir / "bracket.json").wstring());
        scenario->SetAnalysisCategory(0);
        scenario->UseModelUnitSystemForDisplay();
    }
    void TearDown() override { RegisterOrvComponents(); }

    // Runs the dialog with the steps a person takes.
    bool Run(std::uint32_t kind, UINT titleId = IDS_CURVE_TITLE_MULTIPLIER) {
        CurveRowDialog dialog(*scenario, kind, titleId);
        orv::win::DriverScope scope(&driver);
        dialog.DoModal();
        EXPECT_TRUE(driver.steps.empty()) << driver.steps.size() << " steps left";
        return dialog.written;
    }
    std::vector<CurvePoint> Stored(std::uint32_t kind, std::int32_t id, bool* isNew = nullptr) {
        CurveEditContext context(&scenario->GetCurrentDisplayUnitSystem());
        context.SelectCurveType(scenario->GetAnalysisCategory(), kind);
        EXPECT_TRUE(context.OpenDatabase(scenario->GetModelPath().c_str(), std::int32_t(scenario->Id())));
        context.ReadCurve(id, 0);
        if (isNew) *isNew = context.IsNew();
        return context.GetPoints();
    }
    void AddPoint(const std::wstring& x, const std::wstring& y) {
        Type(E::IDC_X, x);
        Type(E::IDC_Y, y);
        Click(E::IDC_ADD);
    }

    fs::path dir;
    std::unique_ptr<OrvDbRecord::DbModel> model;
    OrvDbRecord::DbDesignScenario* scenario = nullptr;
    curvetest::StepDriver driver;
};

TEST_F(EditLoadCurveFlow, EnteredPointsAreStoredAndShownAgain) {
    driver
        .Then([&] {
            Type(IDC_CURVE_ID, L"3");
            Click(IDC_CURVE_BUTTON);
        })
        .Then([&] {
            EXPECT_EQ(Title(), L"Multiplier Table Editor");
            EXPECT_EQ(orv::win::Inspect(Ctl(E::IDC_POINTS)).columns,
                      (std::vector<std::wstring>{L"Time (s)", L"Multiplier"}));
            AddPoint(L"0", L"0");
            AddPoint(L"2", L"1");
            AddPoint(L"1", L"0.5");
            Click(E::IDC_SORT);
            Click(IDOK);
        })
        .Then([&] { Click(IDCANCEL); });
    EXPECT_TRUE(Run(0));
    const auto points = Stored(0, 3);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[1].x, 1);
    EXPECT_EQ(points[1].y, 0.5);
    EXPECT_EQ(points[2].x, 2);

    // A second run shows them in the table.
    driver
        .Then([&] {
            Type(IDC_CURVE_ID, L"3");
            Click(IDC_CURVE_BUTTON);
        })
        .Then([&] {
            const auto view = orv::win::Inspect(Ctl(E::IDC_POINTS));
            ASSERT_EQ(view.items.size(), 3u);
            EXPECT_EQ(view.items[1].text, L"1");
            ASSERT_EQ(view.items[1].subItems.size(), 1u);
            EXPECT_EQ(view.items[1].subItems[0], L"0.5");
            Click(IDCANCEL);
        })
        .Then([&] { Click(IDCANCEL); });
    EXPECT_FALSE(Run(0));
}

TEST_F(EditLoadCurveFlow, ACurveIdBelowOneBecomesOneWithTheCallersMessage) {
    for (const wchar_t* typed : {L"0", L"-3", L"", L"x", L"99999999999"}) {
        SCOPED_TRACE(testing::Message() << "typed '" << std::string(typed, typed + std::wcslen(typed)) << "'");
        driver
            .Then([&] {
                Type(IDC_CURVE_ID, typed);
                Click(IDC_CURVE_BUTTON);
            })
            .Then([&] {
                ASSERT_TRUE(curvetest::IsMessageBox());
                EXPECT_EQ(MessageText(),
                          L"The multiplier table with ID = 0 is a special case and cannot be edited\r\nSetting "
                          L"multiplier table ID to 1 for editing instead.");
                Click(IDOK);
            })
            .Then([&] {
                EXPECT_EQ(Title(), L"Multiplier Table Editor");
                EXPECT_EQ(curvetest::View(IDC_CURVE_ID).text, L"");  // the host dialog is behind the editor
                Click(IDCANCEL);
            })
            .Then([&] {
                EXPECT_EQ(curvetest::View(IDC_CURVE_ID).text, L"1");
                Click(IDCANCEL);
            });
        EXPECT_FALSE(Run(0));
    }
}

TEST_F(EditLoadCurveFlow, WithTheEditorNotRegisteredAMessageShowsAndNothingIsWritten) {
    orv::com::UnregisterClass(CLSID_CurveEditor);
    driver
        .Then([&] {
            Type(IDC_CURVE_ID, L"2");
            Click(IDC_CURVE_BUTTON);
        })
        .Then([&] {
            ASSERT_TRUE(curvetest::IsMessageBox());
            EXPECT_EQ(MessageText(), L"Unable to display the curve editor component.");
            EXPECT_EQ(orv::win::Inspect(curvetest::Modal()).messageBox.type & MB_ICONMASK, UINT(MB_ICONEXCLAMATION));
            Click(IDOK);
        })
        .Then([&] { Click(IDCANCEL); });
    EXPECT_FALSE(Run(0));
    bool isNew = false;
    EXPECT_TRUE(Stored(0, 2, &isNew).empty());
    EXPECT_TRUE(isNew);
}

TEST_F(EditLoadCurveFlow, CancellingTheEditorLeavesTheCurveUntouched) {
    {
        CurveEditContext context(nullptr);
        context.SelectCurveType(0, 0);
        ASSERT_TRUE(context.OpenDatabase(scenario->GetModelPath().c_str(), std::int32_t(scenario->Id())));
        context.ReadCurve(4, 0);
        context.SetPoints({{0, 1}, {5, 2}});
        ASSERT_TRUE(context.WriteCurve(0, 0));
    }
    driver
        .Then([&] {
            Type(IDC_CURVE_ID, L"4");
            Click(IDC_CURVE_BUTTON);
        })
        .Then([&] {
            ASSERT_TRUE(orv::win::input::SelectItem(Ctl(E::IDC_POINTS), 0));
            EXPECT_EQ(curvetest::View(E::IDC_X).text, L"0");
            Click(E::IDC_DELETE);
            AddPoint(L"7", L"7");
            Click(IDCANCEL);
        })
        .Then([&] { Click(IDCANCEL); });
    EXPECT_FALSE(Run(0));
    const auto points = Stored(0, 4);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].x, 0);
    EXPECT_EQ(points[1].x, 5);
}

TEST_F(EditLoadCurveFlow, TemperatureCurvesUseTheirFamilyAndTitle) {
    scenario->SetAnalysisCategory(2);
    driver
        .Then([&] {
            Type(IDC_CURVE_ID, L"6");
            Click(IDC_CURVE_BUTTON);
        })
        .Then([&] {
            EXPECT_EQ(Title(), L"Temperature/Coefficient Curve Editor");
            AddPoint(L"20", L"10");
            Click(IDOK);
        })
        .Then([&] { Click(IDCANCEL); });
    EXPECT_TRUE(Run(3, IDS_CURVE_TITLE_TEMPERATURE_COEFFICIENT));
    Marlo::MarloGeneralAccess raw(false, nullptr, true, false);
    ASSERT_TRUE(raw.Open(scenario->GetModelPath().c_str(), std::int32_t(scenario->Id()), false));
    std::int32_t count = 0;
    EXPECT_TRUE(raw.ReadInteger(L"Heat.ConvectionCurve(6).Counter", &count));
    EXPECT_EQ(count, 1);
}

TEST_F(EditLoadCurveFlow, ADamagedPointCountIsReportedAndTheEditorDoesNotOpen) {
    {
        Marlo::MarloGeneralAccess raw(false, nullptr, true, false);
        ASSERT_TRUE(raw.Open(scenario->GetModelPath().c_str(), std::int32_t(scenario->Id()), false));
        raw.WriteInteger(L"LinearStress.Global.LoadCurve(8).Count", 2000000000);
    }
    driver
        .Then([&] {
            Type(IDC_CURVE_ID, L"8");
            Click(IDC_CURVE_BUTTON);
        })
        .Then([&] {
            ASSERT_TRUE(curvetest::IsMessageBox());
            EXPECT_EQ(MessageText(), L"Load curve 8 cannot be edited: the settings database holds 2000000000 points "
                                     L"for it, more than the 1000000 a curve may have. The database may be damaged.");
            Click(IDOK);
        })
        .Then([&] { Click(IDCANCEL); });
    EXPECT_FALSE(Run(0));
}

TEST_F(EditLoadCurveFlow, ADatabaseThatCannotBeOpenedIsReported) {
    scenario->SetModelPath(L"");
    driver
        .Then([&] {
            Type(IDC_CURVE_ID, L"2");
            Click(IDC_CURVE_BUTTON);
        })
        .Then([&] {
            ASSERT_TRUE(curvetest::IsMessageBox());
            EXPECT_NE(MessageText().find(L"could not be opened"), std::wstring::npos) << std::string(MessageText().begin(), MessageText().end());
            Click(IDOK);
        })
        .Then([&] { Click(IDCANCEL); });
    EXPECT_FALSE(Run(0));
}

}  // namespace
