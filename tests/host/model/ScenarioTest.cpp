#include <gtest/gtest.h>

#include <cmath>

#include "host/model/DbDesignScenario.h"
#include "host/model/ModelFile.h"
#include "host/model/ObjectRegistrar.h"
#include "host/model/RecordLayout.h"

using namespace OrvDbRecord;

namespace {

// What a property dialog does to produce the record of a new object.
RURIVO_LOADS_V1_ENTRY FillNewObjectEntry(std::uint32_t typeCode, void* context, FeaObjectGroup* group) {
    DbFeaObject* prototype = ObjectRegistrar::GetRegistrar().GetFeaObject(typeCode);
    EXPECT_NE(prototype, nullptr);
    prototype->SetCreationContext(context);
    if (group)
        group->AddFeaObject(prototype);
    RURIVO_LOADS_V1_ENTRY entry;
    prototype->InitFemStruct(entry);
    if (group)
        group->RemoveFeaObject(prototype);
    prototype->Reset();
    return entry;
}

TEST(RegistrarTest, EveryServedTypeCodeHasAPrototypeWithItsHeader) {
    for (const FeaTypeInfo& type : AllFeaTypes()) {
        DbFeaObject* prototype = ObjectRegistrar::GetRegistrar().GetFeaObject(type.typeCode);
        ASSERT_NE(prototype, nullptr) << type.typeCode;
        EXPECT_EQ(prototype->GetTypeCode(), type.typeCode);
        RURIVO_LOADS_V1_ENTRY r = FillNewObjectEntry(type.typeCode, nullptr, nullptr);
        EXPECT_EQ(r.GetU32(0), type.typeCode);
        EXPECT_EQ(r.GetText(12, 256), "");
    }
    EXPECT_EQ(ObjectRegistrar::GetRegistrar().GetFeaObject(120), nullptr);
    EXPECT_EQ(ObjectRegistrar::GetRegistrar().GetFeaObject(27), nullptr);
    EXPECT_EQ(ObjectRegistrar::GetRegistrar().GetInitialFluidVolumePrototype().GetRecord().GetU32(268), 3u);
}

TEST(RegistrarTest, DefaultsAreValidForTheDialogsRangeChecks) {
    struct Expect {
        std::uint32_t type;
        std::size_t offset;
        double value;
    };
    const Expect f64s[] = {{53, 288, 1.0}, {53, 352, 1.0}, {53, 320, -1.0}, {29, 280, 1.0}, {29, 288, 1.0},
                           {171, 280, 0.5}, {172, 280, 0.05}, {172, 296, 1.0}, {65, 312, 1.0}, {82, 328, 1.0}, {177, 280, 1.0}};
    for (const Expect& e : f64s)
        EXPECT_EQ(FillNewObjectEntry(e.type, nullptr, nullptr).GetF64(e.offset), e.value) << e.type << "@" << e.offset;
    EXPECT_EQ(FillNewObjectEntry(126, nullptr, nullptr).GetI32(336), -1);  // moment about the centroid
    EXPECT_EQ(FillNewObjectEntry(35, nullptr, nullptr).GetI32(304), 1);
    EXPECT_EQ(FillNewObjectEntry(188, nullptr, nullptr).GetI32(272), -1);  // no species without a scenario
    RURIVO_LOADS_V1_ENTRY v = FillNewObjectEntry(26, nullptr, nullptr);
    EXPECT_TRUE(v.GetFlag(296) && v.GetFlag(300) && v.GetFlag(304));
}

TEST(RegistrarTest, DefaultsDependOnTheContextAndTheGroup) {
    std::unique_ptr<DbModel> model = LoadSampleModel();
    DbDesignScenario* s = model->GetFirstScenario();
    FeaObjectGroup group(9, "Curve 7 loads", 7);
    RURIVO_LOADS_V1_ENTRY r = FillNewObjectEntry(35, s, &group);
    EXPECT_EQ(r.GetI32(304), 7);
    EXPECT_EQ(FillNewObjectEntry(187, s, nullptr).GetI32(272), s->GetMassSpecies()[0].GetId());
    EXPECT_EQ(FillNewObjectEntry(122, s, nullptr).GetI32(328), std::int32_t(s->GetGlobalCoordinateSystem()->Id()));
    // The prototype leaves the group again and forgets the context.
    DbFeaObject* prototype = ObjectRegistrar::GetRegistrar().GetFeaObject(35);
    EXPECT_EQ(prototype->GetGroup(), nullptr);
    EXPECT_TRUE(group.GetFeaObjects().empty());
    EXPECT_EQ(FillNewObjectEntry(35, nullptr, nullptr).GetI32(304), 1);
}

TEST(FeaObjectTest, RecordRoundTripKeepsTheHeaderOfTheObject) {
    DbFeaObject object(35, 12);
    object.SetGeometry(StorageMapItem::Kind::Surface, 4);
    RURIVO_LOADS_V1_ENTRY r;
    object.InitFemStruct(r);
    EXPECT_EQ(r.GetU32(0), 35u);
    EXPECT_EQ(r.GetU32(4), 12u);
    EXPECT_EQ(r.GetU32(8), 4u);
    r.SetU32(0, 99);  // a foreign header does not change what the object is
    r.SetF64(272, 42.0);
    r.bytes[787] = 0x11;
    object.InitOnFemStruct(r);
    EXPECT_EQ(object.GetRecord().GetU32(0), 35u);
    EXPECT_EQ(object.GetRecord().GetF64(272), 42.0);
    EXPECT_EQ(object.GetRecord().bytes[787], 0x11);
}

TEST(FeaObjectTest, GroupMembershipIsExclusiveAndEndsWithTheObject) {
    FeaObjectGroup a(1, "a"), b(2, "b");
    {
        DbFeaObject object(35, 1);
        a.AddFeaObject(&object);
        b.AddFeaObject(&object);
        EXPECT_FALSE(a.Contains(&object));
        EXPECT_TRUE(b.Contains(&object));
        EXPECT_EQ(object.GetGroup(), &b);
    }
    EXPECT_TRUE(b.GetFeaObjects().empty());
}

TEST(FeaObjectTest, GeometryAndNodesComeFromTheScenario) {
    std::unique_ptr<DbModel> model = LoadSampleModel();
    DbDesignScenario* s = model->GetFirstScenario();
    DbFeaObject* force = s->FindFeaObject(1);
    ASSERT_NE(force->GetGeometry(), nullptr);
    EXPECT_EQ(force->GetGeometry()->GetKind(), StorageMapItem::Kind::Surface);
    std::vector<const DbNode*> nodes = force->GetNodes();
    ASSERT_EQ(nodes.size(), 4u);
    EXPECT_EQ(nodes[1]->GetCoordinatesAsArray()[0], 0.1);
    DbFeaObject* preload = s->FindFeaObject(8);
    ASSERT_EQ(preload->GetTypeCode(), 170u);
    EXPECT_EQ(preload->GetGeometry()->GetKind(), StorageMapItem::Kind::Part);
    EXPECT_EQ(force->GetGeometry()->AsFeaObject(), nullptr);
    EXPECT_EQ(static_cast<StorageMapItem*>(force)->AsFeaObject(), force);
}

TEST(ScenarioTest, DisplayUnitsConvertFromModelUnits) {
    std::unique_ptr<DbModel> model = LoadSampleModel();
    DbDesignScenario* s = model->GetFirstScenario();  // SI model, mm-tonne-s display
    const DisplayUnitSystem& d = s->GetCurrentDisplayUnitSystem();
    EXPECT_NEAR(d.ConvertUnits(0.08, UnitSys::UnitSystem::Length), 80.0, 1e-12);
    EXPECT_NEAR(d.ReverseConvertUnits(80.0, UnitSys::UnitSystem::Length), 0.08, 1e-15);
    EXPECT_EQ(d.GetDisplayableUnitText(UnitSys::UnitSystem::Length), L"mm");
    s->UseModelUnitSystemForDisplay();
    EXPECT_TRUE(s->GetCurrentDisplayUnitSystem().IsModelUnitSystem());
    EXPECT_EQ(s->GetCurrentDisplayUnitSystem().ConvertUnits(0.08, UnitSys::UnitSystem::Length), 0.08);
    UnitConverter converter = s->GetCurrentDisplayUnitSystem().GetUnitConverter();
    EXPECT_EQ(converter.GetToUnitSystem(), s->GetModelUnitSystem());
}

TEST(ShapeTest, ExpressionIsShownInTheAskedUnitSystem) {
    DbDesignScenario s(1);
    s.SetModelUnitSystem(UnitSystem(UnitSystem::kTypeSI));
    DbShape& shape = s.CreateShape();
    EXPECT_EQ(shape.Id(), 1u);
    EXPECT_EQ(shape.GetStorageStatus(), 1);
    shape.SetShape("2*r + S*t + sqrt(rs) + 1e5", 1, s.GetModelUnitSystem());
    RSTVariableUnitsInfo cyl(1, DbShape::kFunctionValueUnit);
    EXPECT_EQ(shape.GetShape(s.GetModelUnitSystem(), cyl), "2*r + S*t + sqrt(rs) + 1e5");
    std::string mm = shape.GetShape(UnitSystem(UnitSystem::kTypeMmTonneSecond), cyl);
    // r and t are lengths (mm to m), s an angle; pressure from Pa to N/mm^2.
    EXPECT_EQ(mm, "1e-06*(2*(r*0.001) + S*(t*0.001) + sqrt(rs) + 1e5)");
    EXPECT_TRUE(shape.IsCompatibleWithCoordinateSystemType(1));
    EXPECT_FALSE(shape.IsCompatibleWithCoordinateSystemType(3));
    shape.SetShape("r", 2, s.GetModelUnitSystem());
    EXPECT_TRUE(shape.IsCompatibleWithCoordinateSystemType(0));
    EXPECT_EQ(s.CreateShape().Id(), 2u);
}

TEST(ScenarioTest, RemovedIdsAreNotHandedOutAgain) {
    DbDesignScenario s(1);
    s.CreateShape();
    s.CreateShape();
    StorageMap<DbNode> nodes;
    nodes.Add(std::make_unique<DbNode>(5, std::array<double, 3>{0, 0, 0}));
    EXPECT_EQ(nodes.NextFreeId(), 6u);
    nodes.Remove(5);
    EXPECT_EQ(nodes.NextFreeId(), 6u);
    EXPECT_THROW(s.AddShape(std::make_unique<DbShape>(&s, 1, 0)), std::invalid_argument);
    MassSpeciesMap species;
    species.Add("a", 1.0);
    MassSpeciesRecord& b = species.Add("b", 2.0);
    EXPECT_EQ(b.GetId(), 2);
    EXPECT_EQ(species.Find(2)->GetName(), "b");
    EXPECT_THROW(species.Add(2, "c", 1.0), std::invalid_argument);
}

}  // namespace

namespace {

TEST(ScenarioTest, HostCreatesObjectsFromFilledRecords) {
    std::unique_ptr<DbModel> model = LoadSampleModel();
    DbDesignScenario* s = model->GetFirstScenario();
    RURIVO_LOADS_V1_ENTRY entry = FillNewObjectEntry(35, s, nullptr);
    entry.SetF64(272, 42.0);
    entry.SetText(12, 256, "New force");
    std::uint32_t expectedId = s->GetFeaObjects().NextFreeId();
    DbFeaObject& created = s->CreateFeaObject(35, entry, StorageMapItem::Kind::Surface, 2);
    EXPECT_EQ(created.Id(), expectedId);
    EXPECT_EQ(created.GetRecord().GetU32(4), expectedId);
    EXPECT_EQ(created.GetRecord().GetU32(8), 2u);
    EXPECT_EQ(created.GetDescription(), "New force");
    EXPECT_EQ(created.GetGeometry(), s->FindSurface(2));
    EXPECT_TRUE(s->RemoveFeaObject(created.Id()));
    EXPECT_EQ(s->FindFeaObject(expectedId), nullptr);
}

TEST(ScenarioTest, DisplayUnitSystemByType) {
    DbDesignScenario s(1);
    s.SetModelUnitSystem(UnitSystem(UnitSystem::kTypeSI));
    EXPECT_TRUE(s.SetCurrentDisplayUnitSystemType(UnitSystem::kTypeInchPoundSecond));
    EXPECT_NEAR(s.GetCurrentDisplayUnitSystem().ConvertUnits(0.0254, UnitSys::UnitSystem::Length), 1.0, 1e-12);
    EXPECT_FALSE(s.SetCurrentDisplayUnitSystemType(UnitSystem::kTypeCustom));
    EXPECT_FALSE(s.SetCurrentDisplayUnitSystemType(99));
    EXPECT_EQ(s.GetCurrentDisplayUnitSystem().GetUnitSystem().GetUnitSystemType(), UnitSystem::kTypeInchPoundSecond);
    // A new model unit system keeps the display system; stored values are not converted.
    s.SetModelUnitSystem(UnitSystem(UnitSystem::kTypeMmTonneSecond));
    EXPECT_NEAR(s.GetCurrentDisplayUnitSystem().ConvertUnits(25.4, UnitSys::UnitSystem::Length), 1.0, 1e-12);
    EXPECT_TRUE(std::isnan(s.GetCurrentDisplayUnitSystem().ConvertUnits(1.0, 9999)));
}

}  // namespace
