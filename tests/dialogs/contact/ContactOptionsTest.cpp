// The contact options objects as the host reaches them through the factory: the merge of
// values fed through the accessors, contact pairs and host records, the record round trip with
// its sentinels, what is applied to pairs, CanEdit, ShowDialog refusing without a window, and
// the object factory slot 6 chooses for every analysis type and contact type.

#include <cmath>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "dialogs/factory/AContactOptionsDialogs.h"
#include "dialogs/factory/DataModelDialogs.h"
#include "host/model/DbContactPair.h"
#include "host/model/UnitSystem.h"
#include "platform/win/Afx.h"
#include "platform/win/Input.h"
#include "platform/win/Inspect.h"
#include "support/StepDriver.h"

namespace DataModelDialogs {
namespace {

using OrvDbRecord::DbContactPair;
constexpr std::uint32_t kU32Differs = AContactOptionsDialogBase::UI32_INCONSISTANT;
constexpr std::uint32_t kBoolDiffers = AContactOptionsDialogBase::B_INCONSISTANT;

ADataModelDialogFactory& Factory() { return *GetDataModelDialogFactory(); }

DbContactPair Pair(std::int32_t dataType, bool global, std::uint32_t direction, double angle, bool useFriction,
                   double friction) {
    DbContactPair pair(1);
    pair.DataType(dataType);
    pair.SetGlobal(global);
    pair.SurfaceContactDirection(direction);
    pair.SurfaceContactDirectionToleranceAngle(angle);
    pair.UseFriction(useFriction);
    pair.Friction(friction);
    return pair;
}

// A record whose every byte is `fill`, so that untouched bytes show.
ContactOptionsRecord Filled(unsigned char fill) {
    ContactOptionsRecord record;
    std::memset(&record, fill, sizeof record);
    return record;
}

ContactOptionsRecord Values(std::uint32_t useFriction, double friction, std::uint32_t type, double total, double unit,
                            std::uint32_t direction, double angle, std::uint32_t kind, double fraction,
                            double absolute) {
    ContactOptionsRecord r = Filled(0x11);
    r.useFriction = useFriction;
    r.friction = friction;
    r.thermalResistanceType = type;
    r.totalThermalResistance = total;
    r.unitThermalResistance = unit;
    r.surfaceContactDirection = direction;
    r.directionToleranceAngle = angle;
    r.bondingToleranceKind = kind;
    r.bondingToleranceMeshSizeFraction = fraction;
    r.bondingToleranceAbsolute = absolute;
    return r;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(ContactOptions, AccessorsMergeExactlyAndNaNNeverEqualsItself) {
    AFrictionContactOptionsDlg& f = *Factory().GetFrictionContactOptionsDialog();
    f.Reset();
    double value = -1;
    bool flag = true;
    EXPECT_FALSE(f.GetFriction(&value));
    EXPECT_FALSE(f.GetUseFriction(&flag));
    EXPECT_TRUE(f.AddFriction(0.25));
    EXPECT_TRUE(f.AddFriction(0.25));
    EXPECT_TRUE(f.GetFriction(&value));
    EXPECT_EQ(0.25, value);
    EXPECT_FALSE(f.AddFriction(0.25000000000000006));
    EXPECT_FALSE(f.GetFriction(&value));
    EXPECT_EQ(0.25, value) << "Get still gives the first value fed";
    f.Reset();
    const double nan = AContactOptionsDialogBase::D_INCONSISTANT;
    EXPECT_TRUE(std::isnan(nan));
    EXPECT_TRUE(f.AddFriction(nan)) << "one NaN is a value like any other";
    EXPECT_FALSE(f.AddFriction(nan)) << "a second NaN differs from the first";
    EXPECT_TRUE(f.AddSurfaceDirectionApplies(false));
    EXPECT_FALSE(f.AddSurfaceDirectionApplies(true));
    EXPECT_FALSE(f.GetFriction(nullptr)) << "a null out-parameter is not written";
}

TEST(ContactOptions, NothingFedFillsOnlySentinelsAndAppliesNothing) {
    AFrictionContactOptionsDlg& f = *Factory().GetFrictionContactOptionsDialog();
    AThermalContactOptionsDlg& t = *Factory().GetThermalContactOptionsDialog();
    ASmartBondingContactOptionsDlg& b = *Factory().GetSmartBondingContactOptionsDialog();
    AContactOptionsDialogBase* kinds[] = {&f, &t, &b, Factory().GetSurfaceDirectionContactOptionsDialog()};
    ContactOptionsRecord record = Filled(0x5A);
    const ContactOptionsRecord before = record;
    for (AContactOptionsDialogBase* kind : kinds) {
        kind->Reset();
        kind->FillRecord(&record);
    }
    EXPECT_EQ(0, std::memcmp(record.host, before.host, 16));
    EXPECT_EQ(kBoolDiffers, record.useFriction);
    EXPECT_TRUE(std::isnan(record.friction));
    EXPECT_EQ(kU32Differs, record.thermalResistanceType);
    EXPECT_TRUE(std::isnan(record.totalThermalResistance) && std::isnan(record.unitThermalResistance));
    EXPECT_EQ(kU32Differs, record.bondingToleranceKind);
    EXPECT_TRUE(std::isnan(record.bondingToleranceMeshSizeFraction) && std::isnan(record.bondingToleranceAbsolute));
    EXPECT_EQ(before.surfaceContactDirection, record.surfaceContactDirection) << "the direction fields stay";
    EXPECT_TRUE(SameBits(before.directionToleranceAngle, record.directionToleranceAngle));

    DbContactPair pair = Pair(-1, false, 2, 30, true, 0.4);
    for (AContactOptionsDialogBase* kind : kinds) kind->ApplyToContactPair(pair);
    EXPECT_EQ(2u, std::uint32_t(pair.SurfaceContactDirection()));
    EXPECT_EQ(30, pair.SurfaceContactDirectionToleranceAngle());
    EXPECT_TRUE(pair.UseFriction());
    EXPECT_EQ(0.4, pair.Friction());
}

TEST(ContactOptions, RecordsRoundTripWithSentinelsAndLeaveTheHostsBytes) {
    AFrictionContactOptionsDlg& f = *Factory().GetFrictionContactOptionsDialog();
    AThermalContactOptionsDlg& t = *Factory().GetThermalContactOptionsDialog();
    ASmartBondingContactOptionsDlg& b = *Factory().GetSmartBondingContactOptionsDialog();
    AContactOptionsDialogBase* kinds[] = {&f, &t, &b};
    const double nan = AContactOptionsDialogBase::D_INCONSISTANT;
    struct Case {
        const char* name;
        std::vector<ContactOptionsRecord> fed;
        ContactOptionsRecord expected;
    };
    const ContactOptionsRecord a = Values(0xFFFFFFFF, 0.2, 1, 3.5, 7.25, 2, 30, 1, 0.05, 0.001);
    const Case cases[] = {
        {"one record comes back as it was", {a}, a},
        {"the same record twice", {a, a}, a},
        {"every field differs",
         {a, Values(0, 0.3, 0, 4, 8, 1, 40, 0, 0.1, 0.002)},
         Values(kBoolDiffers, nan, kU32Differs, nan, nan, kU32Differs, nan, kU32Differs, nan, nan)},
        {"sentinels and NaN fed in differ; a use-friction word of 1 differs too",
         {Values(1, nan, kU32Differs, nan, nan, kU32Differs, nan, kU32Differs, nan, nan)},
         Values(kBoolDiffers, nan, kU32Differs, nan, nan, kU32Differs, nan, kU32Differs, nan, nan)},
        {"B_INCONSISTANT fed in differs", {Values(kBoolDiffers, 0.2, 0, 1, 1, 0, 10, 0, 1, 1)},
         Values(kBoolDiffers, 0.2, 0, 1, 1, 0, 10, 0, 1, 1)},
    };
    for (const Case& c : cases) {
        for (AContactOptionsDialogBase* kind : kinds) {
            kind->Reset();
            for (const ContactOptionsRecord& r : c.fed) kind->AccumulateRecord(r, true, false);
        }
        ContactOptionsRecord out = Filled(0xC3);
        for (AContactOptionsDialogBase* kind : kinds) kind->FillRecord(&out);
        for (int i = 0; i < 16; ++i) EXPECT_EQ(0xC3, out.host[i]) << c.name << ": host byte " << i;
        // Offsets 16 to 79, compared as bytes: NaN is the same pattern wherever it is written.
        const auto* got = reinterpret_cast<const unsigned char*>(&out);
        const auto* want = reinterpret_cast<const unsigned char*>(&c.expected);
        for (std::size_t at = 16; at < sizeof out; ++at) EXPECT_EQ(want[at], got[at]) << c.name << ": offset " << at;
    }

    // Where direction does not apply, the direction fields are neither fed nor filled.
    f.Reset();
    f.AccumulateRecord(a, false, true);
    ContactOptionsRecord out = Filled(0xC3);
    f.FillRecord(&out);
    EXPECT_EQ(0xC3C3C3C3u, out.surfaceContactDirection);
    std::uint32_t direction = 0;
    EXPECT_FALSE(f.GetSurfaceContactDirection(&direction));
    EXPECT_EQ(0xFFFFFFFFu, out.useFriction);
}

TEST(ContactOptions, PairsKeepWhatDiffersAndDirectionFollowsItsFlag) {
    AFrictionContactOptionsDlg& f = *Factory().GetFrictionContactOptionsDialog();
    ASurfaceDirectionContactOptionsDlg& d = *Factory().GetSurfaceDirectionContactOptionsDialog();
    DbContactPair p1 = Pair(-1, false, 1, 30, true, 0.2), p2 = Pair(-2, false, 1, 40, true, 0.3);
    f.Reset();
    f.AccumulateContactPair(p1);
    f.AccumulateContactPair(p2);
    double friction = 0;
    bool use = false;
    EXPECT_FALSE(f.GetFriction(&friction));
    EXPECT_TRUE(f.GetUseFriction(&use) && use);
    std::uint32_t direction = 9;
    EXPECT_TRUE(f.GetSurfaceContactDirection(&direction));
    EXPECT_EQ(1u, direction);
    p1.SurfaceContactDirection(0);
    p2.UseFriction(false);
    f.ApplyToContactPair(p1);
    f.ApplyToContactPair(p2);
    EXPECT_EQ(0.2, p1.Friction());
    EXPECT_EQ(0.3, p2.Friction());
    EXPECT_EQ(30, p1.SurfaceContactDirectionToleranceAngle());
    EXPECT_EQ(1u, std::uint32_t(p1.SurfaceContactDirection()));
    EXPECT_TRUE(p2.UseFriction());

    // A direction pair, then one of another data type: the first pair's direction was fed while
    // the flag agreed, but now nothing of the group is filled or applied.
    DbContactPair global = Pair(-1, true, 2, 50, false, 0), other = Pair(0, false, 2, 50, false, 0);
    d.Reset();
    d.AccumulateContactPair(p1);
    d.AccumulateContactPair(other);
    EXPECT_FALSE(d.CanEdit());
    d.ApplyToContactPair(global);
    EXPECT_EQ(2u, std::uint32_t(global.SurfaceContactDirection()));
    EXPECT_EQ(IDCANCEL, d.ShowDialog(nullptr, false));
    // Pairs that all agree it does not apply (global, or another data type) can be edited, but
    // nothing of theirs is applied.
    d.Reset();
    d.AccumulateContactPair(global);
    d.AccumulateContactPair(other);
    EXPECT_TRUE(d.CanEdit());
    d.ApplyToContactPair(p2);
    EXPECT_EQ(1u, std::uint32_t(p2.SurfaceContactDirection()));
    EXPECT_EQ(40, p2.SurfaceContactDirectionToleranceAngle());
}

TEST(ContactOptions, ShowDialogWithoutADisplayUnitSystemOrEditRightShowsNothing) {
    orv::win::ResetKernel();
    orvtest::StepDriver driver;
    orv::win::DriverScope scope(&driver);
    bool shown = false;
    driver.Then([&] { shown = true; });
    OrvDbRecord::DisplayUnitSystem display;
    for (AContactOptionsDialogBase* kind :
         std::initializer_list<AContactOptionsDialogBase*>{Factory().GetFrictionContactOptionsDialog(),
                                                          Factory().GetThermalContactOptionsDialog(),
                                                          Factory().GetSmartBondingContactOptionsDialog(),
                                                          Factory().GetSurfaceDirectionContactOptionsDialog()}) {
        kind->Reset();
        EXPECT_EQ(&display, kind->SetDisplayUnitSystem(&display));
        kind->Reset();  // forgets it
        EXPECT_EQ(IDCANCEL, kind->ShowDialog(nullptr, false));
    }
    EXPECT_FALSE(shown);
}

TEST(ContactOptions, TheDialogCarriesTheSmallIconAndCancelAppliesNothing) {
    orv::win::ResetKernel();
    orvtest::StepDriver driver;
    orv::win::DriverScope scope(&driver);
    OrvDbRecord::DisplayUnitSystem display;
    AThermalContactOptionsDlg& t = *Factory().GetThermalContactOptionsDialog();
    t.Reset();
    t.SetDisplayUnitSystem(&display);
    DbContactPair pair = Pair(-1, false, 0, 45, false, 0);
    t.AccumulateContactPair(pair);
    driver.Then([&] {
        HWND modal = orv::win::ActiveModalWindow();
        EXPECT_NE(nullptr, CWnd::FromHandle(modal)->GetIcon(FALSE));
        EXPECT_TRUE(orv::win::input::Click(orv::win::FindControl(modal, IDCANCEL)));
    });
    EXPECT_EQ(IDCANCEL, t.ShowDialog(nullptr, false));
    EXPECT_TRUE(driver.steps.empty());
}

TEST(ContactOptions, SlotSixChoosesByAnalysisFamilyAndContactType) {
    enum Object { F, T, D, B };  // friction, thermal, direction only, bonding
    // Index: analysis type code 0 to 27; value: the object for contact type 0 (1 and 2 give
    // bonding in families 0, 2 and 4, which are the codes whose entry is not D or whose family is 4).
    const Object forType0[28] = {F, F, D, T, T, D, D, F, F, F, F, F, F, F,
                                 D, D, D, F, D, T, D, T, D, D, D, D, D, D};
    const bool bondingFamily[28] = {1, 1, 0, 1, 1, 0, 0, 1, 1, 1, 1, 1, 1, 1,
                                    0, 1, 1, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0};
    AContactOptionsDialogBase* objects[] = {Factory().GetFrictionContactOptionsDialog(),
                                            Factory().GetThermalContactOptionsDialog(),
                                            Factory().GetSurfaceDirectionContactOptionsDialog(),
                                            Factory().GetSmartBondingContactOptionsDialog()};
    for (std::uint32_t code = 0; code < 28; ++code)
        for (std::int32_t contact : {0, 1, 2}) {
            const Object want = contact != 0 && bondingFamily[code] ? B : forType0[code];
            EXPECT_EQ(objects[want], Factory().GetContactOptionsDialog(code, contact))
                << "analysis " << code << ", contact type " << contact;
        }
}

}  // namespace
}  // namespace DataModelDialogs
