// The exported interface's own behaviour: the geometry functor, the default answers of the
// modeless dialog's Events, and the library joining the resource chain at start-up.
#include <algorithm>

#include <gtest/gtest.h>

#include "dialogs/controls/LocaleManager.h"
#include "dialogs/controls/ResourceModule.h"
#include "dialogs/factory/DataModelDialogs.h"
#include "dialogs/factory/LibraryVersion.h"
#include "host/model/DbDesignScenario.h"
#include "host/model/DbFeaObject.h"
#include "host/model/DbModel.h"
#include "host/model/ModelFile.h"
#include "platform/res/ExtensionModule.h"
#include "platform/win/AfxTypes.h"

namespace DataModelDialogs {
namespace {

TEST(InterfaceTest, GeometryFunctorGivesAnObjectsGeometryAndNothingForOtherItems) {
    auto model = OrvDbRecord::LoadSampleModel();
    ASSERT_TRUE(model);
    OrvDbRecord::DbDesignScenario* scenario = model->GetFirstScenario();
    ASSERT_NE(scenario, nullptr);
    const OrvDbRecord::DbFeaObject* object = scenario->FindFeaObject(1);
    ASSERT_NE(object, nullptr);
    const AFeaObjectPropertiesDialogGeometryFunctor functor;
    EXPECT_EQ(functor(*object), object->GetGeometry());
    EXPECT_NE(functor(*object), nullptr);
    // Seen only as a storage item, even an FEA object has no geometry for the functor.
    const OrvDbRecord::StorageMapItem& item = *object;
    EXPECT_EQ(functor(item), nullptr);
    const OrvDbRecord::StorageMapItem node(OrvDbRecord::StorageMapItem::Kind::Node, 3);
    EXPECT_EQ(functor(node), nullptr);
}

class HostEvents : public AModelessFeaObjectPropertiesDialog::Events {
public:
    void OnOK() override {}
    void PickPoint(CPoint, double model[3]) override { model[0] = model[1] = model[2] = 0; }
    SnapZoneStatus TestSnapZone(CPoint point) override { return point.x > 10 ? SnapZoneStatus(1) : NoAnswer; }
};

class HostDialog : public AModelessFeaObjectPropertiesDialog {
public:
    bool ShowModeless() override { return false; }
    CDialog* GetWindow() override { return nullptr; }
    Events* GetEvents() override { return nullptr; }
    GfxUtil::ARenderingSystem* GetRenderingSystem() override {
        return reinterpret_cast<GfxUtil::ARenderingSystem*>(this);
    }
    bool Restart() override { return false; }
    void SetUp(GfxUtil::ARenderingSystem*, Events*) override {}
};

TEST(InterfaceTest, EventsDefaults) {
    HostEvents events;
    EXPECT_EQ(events.GetDialog(), nullptr);
    EXPECT_EQ(events.GetRenderingSystem(), nullptr) << "no dialog yet";
    EXPECT_FALSE(events.ShouldUseRelativeCoordinates());
    events.ShouldUseRelativeCoordinates(true);
    EXPECT_FALSE(events.ShouldUseRelativeCoordinates()) << "the default keeps nothing";
    double point[3] = {1, 2, 3};
    events.GetRelativeFromPoint(point);
    EXPECT_EQ(point[0], 1);
    EXPECT_EQ(events.GetNonSnappingCursor(), nullptr);
    EXPECT_EQ(events.GetSnappingCursor(), nullptr);
    // Accepting a pick asks the snap-zone test of the same point.
    EXPECT_EQ(events.AcceptPointPick(CPoint(20, 0)), AModelessFeaObjectPropertiesDialog::Events::SnapZoneStatus(1));
    EXPECT_EQ(events.AcceptPointPick(CPoint(0, 0)), AModelessFeaObjectPropertiesDialog::Events::NoAnswer);
    HostEvents plain;
    EXPECT_EQ(static_cast<AModelessFeaObjectPropertiesDialog::Events&>(plain).AModelessFeaObjectPropertiesDialog::Events::
                  TestSnapZone(CPoint(20, 0)),
              AModelessFeaObjectPropertiesDialog::Events::NoAnswer);

    HostDialog dialog;
    events.SetDialog(&dialog);
    EXPECT_EQ(events.GetDialog(), &dialog);
    EXPECT_EQ(events.GetRenderingSystem(), dialog.GetRenderingSystem());
}

TEST(InterfaceTest, LibraryJoinedTheResourceChainAtStartUp) {
    const auto chain = orv::res::ResourceChain();
    EXPECT_NE(std::find(chain.begin(), chain.end(), GetLibraryModule()), chain.end());
    EXPECT_TRUE(LocaleSupportEnabled());
    EXPECT_STREQ(LibraryVersionText(), "1.0.0.0");
}

TEST(InterfaceTest, FactoryIsOneObjectForTheProcess) {
    ADataModelDialogFactory* factory = GetDataModelDialogFactory();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(GetDataModelDialogFactory(), factory);
    EXPECT_EQ(factory->GetFeaObjectPropertiesDialog(27, nullptr, 0), nullptr);
}

}  // namespace
}  // namespace DataModelDialogs
