// The modeless dialog as a host drives it through the exported interface: SetUp while the window
// exists keeps the first host, hiding the window counts as Cancel, a second ShowModeless reuses
// the controller, the modal face refuses to run, and the controller's fallbacks and view events.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/factory/DataModelDialogs.h"
#include "dialogs/modeless/InitialFluidVolumeDlg.h"
#include "host/graphics/RenderingSystem.h"

namespace {

using DataModelDialogs::AModelessFeaObjectPropertiesDialog;

class RecordingEvents : public AModelessFeaObjectPropertiesDialog::Events {
public:
    std::vector<std::string> calls;
    SnapZoneStatus snap = NoAnswer;
    void OnOK() override { calls.push_back("OnOK"); }
    void OnCancel() override { calls.push_back("OnCancel"); }
    void PickPoint(CPoint point, double model[3]) override {
        model[0] = point.x, model[1] = point.y, model[2] = 0;
    }
    SnapZoneStatus TestSnapZone(CPoint) override { return snap; }
};

DataModelDialogs::InitialFluidVolumeDlg& Dialog() {
    auto* base = DataModelDialogs::GetDataModelDialogFactory()->GetFeaObjectPropertiesDialog(120, nullptr, 1);
    auto* dialog = dynamic_cast<DataModelDialogs::InitialFluidVolumeDlg*>(base);
    EXPECT_NE(dialog, nullptr);
    return *dialog;
}

void Open(DataModelDialogs::InitialFluidVolumeDlg& dialog, GfxUtil::RenderingSystem& view, RecordingEvents& events) {
    dialog.SetUp(&view, &events);
    dialog.Reset();
    dialog.SetMode(0);
    ASSERT_TRUE(dialog.ShowModeless());
    dialog.Restart();
}

TEST(ModelessDialogTest, HostFaceAndLifecycle) {
    auto& dialog = Dialog();
    EXPECT_EQ(DataModelDialogs::GetDataModelDialogFactory()->GetFeaObjectPropertiesDialog(120, nullptr, 0), nullptr);
    EXPECT_EQ(dialog.ShowDialog(0), 0x8000FFFFu);
    EXPECT_EQ(dialog.GetMaxObjectCount(), 1u);
    OrvDbRecord::DbInitialFluidVolume first(1), second(2);
    dialog.Reset();
    dialog.AddFeaObject(&first);
    dialog.AddFeaObject(&second);
    EXPECT_EQ(dialog.GetFeaObjects().size(), 1u);

    GfxUtil::RenderingSystem view;
    RecordingEvents events, other;
    Open(dialog, view, events);
    EXPECT_EQ(events.GetDialog(), &dialog);
    auto* controller = dialog.Controller();
    ASSERT_NE(controller, nullptr);
    EXPECT_TRUE(controller->IsRunning());

    // SetUp while the window exists keeps the first host.
    dialog.SetUp(&view, &other);
    EXPECT_EQ(dialog.GetEvents(), &events);
    EXPECT_EQ(other.GetDialog(), nullptr);

    // A pick reaches the dialog through the host's PickPoint; its snap answer -1 leaves the base test.
    view.MouseMove(CPoint(3, 4));
    EXPECT_EQ(controller->GetCurrentCursor(), GfxUtil::PointPickCustomController::DefaultSnappingCursor());
    events.snap = AModelessFeaObjectPropertiesDialog::Events::SnapZoneStatus(0);
    view.MouseMove(CPoint(3, 4));
    EXPECT_EQ(controller->GetCurrentCursor(), GfxUtil::PointPickCustomController::DefaultNonSnappingCursor());
    // The default acceptance asks the snap test: refused outside a snap zone.
    view.Click(CPoint(3, 4));
    EXPECT_EQ(dialog.PickedCount(), 0u);
    events.snap = AModelessFeaObjectPropertiesDialog::Events::NoAnswer;
    view.Click(CPoint(3, 4));
    EXPECT_EQ(dialog.PickedCount(), 1u);
    EXPECT_EQ(view.GetOverlay().points.size(), 1u);
    EXPECT_EQ(view.GetOverlay().points[0].label, L"A");

    // Hiding the window is Cancel: the host hears it and the window goes, the preview with it.
    dialog.ShowWindow(SW_HIDE);
    EXPECT_EQ(events.calls, (std::vector<std::string>{"OnCancel"}));
    EXPECT_FALSE(dialog.HasWindow());
    EXPECT_EQ(dialog.GetEvents(), nullptr);
    EXPECT_TRUE(view.GetOverlay().empty());
    EXPECT_FALSE(controller->IsRunning());

    // The next run reuses the controller; view codes 1, 4 and 5 finish it, restart resumes it.
    Open(dialog, view, other);
    EXPECT_EQ(dialog.Controller(), controller);
    EXPECT_EQ(dialog.PickedCount(), 0u);
    EXPECT_FALSE(view.SendEvent(2));
    EXPECT_TRUE(view.SendEvent(5));
    EXPECT_TRUE(controller->IsFinished());
    EXPECT_FALSE(view.Click(CPoint(1, 1)));
    controller->Restart();
    EXPECT_TRUE(view.Click(CPoint(1, 1)));
    EXPECT_EQ(dialog.PickedCount(), 1u);
    // Deactivation from the view destroys the window without a Cancel.
    controller->Deactivate();
    EXPECT_FALSE(dialog.HasWindow());
    EXPECT_TRUE(other.calls.empty());
}

}  // namespace
