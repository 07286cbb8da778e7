#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "host/model/ModelFile.h"

using namespace OrvDbRecord;

namespace {

TEST(SampleModelTest, EmbeddedTextMatchesExampleFile) {
    std::ifstream in(std::string(ORV_SOURCE_DIR) + "/examples/bracket.json", std::ios::binary);
    ASSERT_TRUE(in);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_TRUE(text.str() == GetSampleModelJson())
        << "the embedded sample is not examples/bracket.json";
}

TEST(SampleModelTest, LoadsWithWhatTheDialogsNeed) {
    std::unique_ptr<DbModel> model = LoadSampleModel();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->GetName(), "Bracket");
    DbDesignScenario* s = model->GetScenario(1);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(model->GetFirstScenario(), s);

    std::set<std::uint32_t> csTypes;
    for (const auto& [id, cs] : s->GetCoordinateSystems())
        csTypes.insert(cs->CoordinateSystemType());
    EXPECT_EQ(csTypes, (std::set<std::uint32_t>{0, 1, 2, 3}));
    ASSERT_NE(s->GetGlobalCoordinateSystem(), nullptr);
    EXPECT_EQ(s->GetGlobalCoordinateSystem()->CoordinateSystemType(), 0u);

    EXPECT_GE(s->GetParts().size(), 2u);
    EXPECT_GE(s->GetSurfaces().size(), 2u);
    EXPECT_EQ(s->GetShapes().size(), 2u);
    EXPECT_EQ(s->GetMassSpecies().size(), 2u);
    EXPECT_GE(s->GetContactPairs().size(), 2u);
    EXPECT_EQ(s->GetInitialFluidVolumes().size(), 1u);

    std::set<std::uint32_t> types;
    for (const auto& [id, o] : s->GetFeaObjects()) {
        types.insert(o->GetTypeCode());
        EXPECT_NE(o->GetGeometry(), nullptr) << "object " << id << " has no geometry";
    }
    EXPECT_GE(types.size(), 10u);

    // Forces 1 and 2 differ only in their direction, so a multi-selection shows the rest.
    const RURIVO_LOADS_V1_ENTRY& a = s->FindFeaObject(1)->GetRecord();
    const RURIVO_LOADS_V1_ENTRY& b = s->FindFeaObject(2)->GetRecord();
    EXPECT_EQ(a.GetF64(272), b.GetF64(272));
    EXPECT_NE(a.GetF64(296), b.GetF64(296));
    EXPECT_EQ(a.GetI32(304), b.GetI32(304));

    // Surface variable loads use the two functions; the fluid traction sits on element type 23.
    EXPECT_EQ(s->GetShapes().Find(1)->GetFeaUsages().size(), 1u);
    auto* traction = s->FindFeaObject(12);
    ASSERT_EQ(traction->GetTypeCode(), 84u);
    auto* surface = static_cast<DbPartSurface*>(traction->GetGeometry());
    EXPECT_EQ(surface->GetPart()->GetElementType(), 23);
}

}  // namespace
