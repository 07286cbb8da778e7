// The factory as a host uses it: lookups by type code and kind, the cache, re-parenting and
// tear-down, over stand-in dialogs so that every creation and deletion is counted.
#include <map>
#include <vector>

#include <gtest/gtest.h>

#include "dialogs/factory/ContactSelection.h"
#include "dialogs/factory/DataModelDialogFactory.h"
#include "dialogs/objectdialogs/FeaObjectPropertiesImplDlg.h"
#include "platform/res/DialogTemplate.h"
#include "platform/win/Afx.h"

namespace DataModelDialogs {
namespace {

struct Counts {
    std::map<std::uint32_t, int> created, deleted;
    std::vector<std::uint32_t> deletionOrder;
    std::map<std::uint32_t, CWnd*> parentAtCreation;
    void Clear() { *this = Counts(); }
};
Counts counts;

class FakeModalDlg : public FeaObjectPropertiesImplDlg, public AFeaObjectPropertiesDialogBase {
public:
    FakeModalDlg(CWnd* parent, std::uint32_t code) : FeaObjectPropertiesImplDlg(3047, parent, code) {
        ++counts.created[code];
        counts.parentAtCreation[code] = parent;
    }
    ~FakeModalDlg() override {
        ++counts.deleted[TypeCode()];
        counts.deletionOrder.push_back(TypeCode());
    }
    AFeaObjectPropertiesDialogBase* GetPropertiesDialog() override { return this; }
    CWnd* SetMessageTarget(CWnd* target) override { return target; }
    CWnd* Parent() const { return m_pParentWnd; }

protected:
    // The stand-in shows nothing of its own.
    BOOL OnInitDialog() override { return TRUE; }
};

class FakeModelessDlg : public FakeModalDlg, public AModelessFeaObjectPropertiesDialog {
public:
    using FakeModalDlg::FakeModalDlg;
    bool ShowModeless() override { return false; }
    CDialog* GetWindow() override { return this; }
    Events* GetEvents() override { return nullptr; }
    GfxUtil::ARenderingSystem* GetRenderingSystem() override { return nullptr; }
    bool Restart() override { return false; }
    void SetUp(GfxUtil::ARenderingSystem*, Events*) override {}
};

template <std::uint32_t Code, bool Modeless>
FeaObjectPropertiesImplDlg* Create(CWnd* parent) {
    if constexpr (Modeless)
        return new FakeModelessDlg(parent, Code);
    else
        return new FakeModalDlg(parent, Code);
}

// Stand-ins for three served codes: two modal, the initial fluid volume modeless.
FeaDialogCreator FakeCreators(std::uint32_t code) {
    switch (code) {
        case 35: return &Create<35, false>;
        case 111: return &Create<111, false>;
        case 120: return &Create<120, true>;
        default: return nullptr;
    }
}
FactorySlotProvider NoSlots(FactorySlot) { return {}; }

class FactoryTest : public ::testing::Test {
protected:
    void SetUp() override { counts.Clear(); }
};

TEST_F(FactoryTest, SameTypeCodeAndKindGiveTheSamePointer) {
    DataModelDialogFactory factory(&FakeCreators, &NoSlots);
    AFeaObjectPropertiesDialogBase* first = factory.GetFeaObjectPropertiesDialog(111, nullptr, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(factory.GetFeaObjectPropertiesDialog(111, nullptr, 0), first);
    EXPECT_EQ(factory.GetFeaObjectPropertiesDialog(111, nullptr, 7), first) << "any kind but 1 is modal";
    EXPECT_EQ(counts.created[111], 1);
    EXPECT_NE(factory.GetFeaObjectPropertiesDialog(35, nullptr, 0), first);
    EXPECT_EQ(factory.CachedDialogCount(), 2u);
}

TEST_F(FactoryTest, KindMismatchGivesNullButCachesTheDialog) {
    DataModelDialogFactory factory(&FakeCreators, &NoSlots);
    EXPECT_EQ(factory.GetFeaObjectPropertiesDialog(120, nullptr, 0), nullptr);
    EXPECT_EQ(counts.created[120], 1);
    ASSERT_NE(factory.CachedDialog(120), nullptr);
    AFeaObjectPropertiesDialogBase* modeless = factory.GetFeaObjectPropertiesDialog(120, nullptr, 1);
    ASSERT_NE(modeless, nullptr);
    EXPECT_NE(dynamic_cast<AModelessFeaObjectPropertiesDialog*>(modeless), nullptr);
    EXPECT_EQ(counts.created[120], 1) << "no second dialog";

    EXPECT_EQ(factory.GetFeaObjectPropertiesDialog(111, nullptr, 1), nullptr);
    EXPECT_NE(factory.GetFeaObjectPropertiesDialog(111, nullptr, 0), nullptr);
    EXPECT_EQ(counts.created[111], 1);
}

TEST_F(FactoryTest, CodesNotServedGiveNullAndCacheNothing) {
    DataModelDialogFactory factory;  // the real registration tables
    for (std::uint32_t code : {0u, 25u, 27u, 100u, 163u, 189u, 0xFFFFFFFFu}) {
        for (std::uint32_t kind : {0u, 1u}) {
            EXPECT_EQ(factory.GetFeaObjectPropertiesDialog(code, nullptr, kind), nullptr) << code;
        }
    }
    EXPECT_EQ(factory.CachedDialogCount(), 0u);
}

TEST_F(FactoryTest, ParentIsPassedAtCreationAndChangedOnlyWhenGivenAndMatching) {
    CWnd first, second;
    DataModelDialogFactory factory(&FakeCreators, &NoSlots);
    factory.GetFeaObjectPropertiesDialog(111, &first, 0);
    EXPECT_EQ(counts.parentAtCreation[111], &first);
    auto* dialog = static_cast<FakeModalDlg*>(factory.CachedDialog(111));
    EXPECT_EQ(dialog->Parent(), &first);

    factory.GetFeaObjectPropertiesDialog(111, nullptr, 0);
    EXPECT_EQ(dialog->Parent(), &first) << "no parent given: unchanged";
    factory.GetFeaObjectPropertiesDialog(111, &second, 1);
    EXPECT_EQ(dialog->Parent(), &first) << "kind mismatch: unchanged";
    factory.GetFeaObjectPropertiesDialog(111, &second, 0);
    EXPECT_EQ(dialog->Parent(), &second);
}

orv::res::DialogTemplate PlainTemplate() {
    orv::res::DialogTemplate t;
    t.caption = L"Frame";
    t.style = WS_POPUP | WS_CAPTION;
    t.cx = 100;
    t.cy = 60;
    return t;
}

TEST_F(FactoryTest, ReparentingMovesTheLiveWindow) {
    const orv::res::DialogTemplate frameTemplate = PlainTemplate();
    CDialog frameA, frameB;
    ASSERT_TRUE(frameA.CreateIndirect(&frameTemplate));
    ASSERT_TRUE(frameB.CreateIndirect(&frameTemplate));
    DataModelDialogFactory factory(&FakeCreators, &NoSlots);
    factory.GetFeaObjectPropertiesDialog(35, &frameA, 0);
    auto* dialog = static_cast<FakeModalDlg*>(factory.CachedDialog(35));
    orv::res::DialogTemplate dialogTemplate = PlainTemplate();
    dialogTemplate.style = WS_CHILD;
    ASSERT_TRUE(dialog->CreateIndirect(&dialogTemplate, &frameA));
    EXPECT_EQ(::GetParent(dialog->m_hWnd), frameA.m_hWnd);

    factory.GetFeaObjectPropertiesDialog(35, &frameB, 0);
    EXPECT_EQ(::GetParent(dialog->m_hWnd), frameB.m_hWnd);
    EXPECT_EQ(dialog->Parent(), &frameB);

    dialog->DestroyWindow();
    frameA.DestroyWindow();
    frameB.DestroyWindow();
}

TEST_F(FactoryTest, TearDownDeletesEachDialogOnceInAscendingOrder) {
    {
        DataModelDialogFactory factory(&FakeCreators, &NoSlots);
        factory.GetFeaObjectPropertiesDialog(120, nullptr, 0);  // only through a kind mismatch
        factory.GetFeaObjectPropertiesDialog(111, nullptr, 0);
        factory.GetFeaObjectPropertiesDialog(35, nullptr, 0);
        factory.GetFeaObjectPropertiesDialog(111, nullptr, 0);
        factory.GetFeaObjectPropertiesDialog(27, nullptr, 0);
        EXPECT_TRUE(counts.deleted.empty());
    }
    EXPECT_EQ(counts.deletionOrder, (std::vector<std::uint32_t>{35, 111, 120}));
    for (std::uint32_t code : {35u, 111u, 120u}) EXPECT_EQ(counts.deleted[code], 1) << code;
}

TEST_F(FactoryTest, CreationThatThrowsStoresNothing) {
    static bool fail = true;
    struct Lookup {
        static FeaDialogCreator Find(std::uint32_t code) {
            if (code != 111) return nullptr;
            return [](CWnd* parent) -> FeaObjectPropertiesImplDlg* {
                if (fail) throw std::bad_alloc();
                return new FakeModalDlg(parent, 111);
            };
        }
    };
    DataModelDialogFactory factory(&Lookup::Find, &NoSlots);
    EXPECT_THROW(factory.GetFeaObjectPropertiesDialog(111, nullptr, 0), std::bad_alloc);
    EXPECT_EQ(factory.CachedDialogCount(), 0u);
    fail = false;
    EXPECT_NE(factory.GetFeaObjectPropertiesDialog(111, nullptr, 0), nullptr);
}

// ---- fixed slots ----

struct SlotCounts {
    std::vector<std::string> events;
} slotLog;

// Stands in for an options object or dialog behind an opaque slot pointer.
struct FakeSlotObject {
    std::string name;
    ~FakeSlotObject() { slotLog.events.push_back("delete " + name); }
};

template <FactorySlot S>
FactorySlotProvider FakeProvider(const char* name) {
    static const char* objectName = name;
    FactorySlotProvider p;
    p.create = []() -> void* {
        slotLog.events.push_back(std::string("create ") + objectName);
        return new FakeSlotObject{objectName};
    };
    p.destroy = [](void* object) { delete static_cast<FakeSlotObject*>(object); };
    if constexpr (S == FactorySlot::UnitsDialog)
        p.prepare = [](void*) { slotLog.events.push_back("prepare units"); };
    else if constexpr (S != FactorySlot::MassSpeciesDialog)
        p.toContactBase = [](void* object) { return object; };
    return p;
}

FactorySlotProvider FakeSlots(FactorySlot slot) {
    switch (slot) {
        case FactorySlot::UnitsDialog: return FakeProvider<FactorySlot::UnitsDialog>("units");
        case FactorySlot::FrictionContactOptions: return FakeProvider<FactorySlot::FrictionContactOptions>("friction");
        case FactorySlot::ThermalContactOptions: return FakeProvider<FactorySlot::ThermalContactOptions>("thermal");
        case FactorySlot::SurfaceDirectionContactOptions:
            return FakeProvider<FactorySlot::SurfaceDirectionContactOptions>("direction");
        case FactorySlot::SmartBondingContactOptions:
            return FakeProvider<FactorySlot::SmartBondingContactOptions>("bonding");
        case FactorySlot::MassSpeciesDialog: return FakeProvider<FactorySlot::MassSpeciesDialog>("species");
        default: return {};
    }
}

const std::string& NameOf(const void* object) { return static_cast<const FakeSlotObject*>(object)->name; }

TEST_F(FactoryTest, SlotsAreCreatedOnceAndDeletedInTheirOrderBeforeTheDialogs) {
    slotLog.events.clear();
    {
        DataModelDialogFactory factory(&FakeCreators, &FakeSlots);
        factory.GetFeaObjectPropertiesDialog(111, nullptr, 0);
        factory.GetMassSpeciesDialog();
        factory.GetSmartBondingContactOptionsDialog();
        factory.GetThermalContactOptionsDialog();
        factory.GetSurfaceDirectionContactOptionsDialog();
        factory.GetFrictionContactOptionsDialog();
        EXPECT_EQ(static_cast<void*>(factory.GetFrictionContactOptionsDialog()),
                  static_cast<void*>(factory.GetContactOptionsDialog(0, 0)));
        factory.GetUnitsDialog();
        factory.GetUnitsDialog();
        slotLog.events.push_back("end");
    }
    EXPECT_EQ(slotLog.events, (std::vector<std::string>{
                                  "create species", "create bonding", "create thermal", "create direction",
                                  "create friction", "create units", "prepare units", "prepare units", "end",
                                  "delete units", "delete friction", "delete direction", "delete thermal",
                                  "delete bonding", "delete species"}));
    EXPECT_EQ(counts.deleted[111], 1);
}

TEST_F(FactoryTest, ContactOptionsFollowTheSelectionRule) {
    slotLog.events.clear();
    DataModelDialogFactory factory(&FakeCreators, &FakeSlots);
    EXPECT_EQ(NameOf(factory.GetContactOptionsDialog(3, 1)), "bonding");
    EXPECT_EQ(NameOf(factory.GetContactOptionsDialog(3, 0)), "thermal");
    EXPECT_EQ(NameOf(factory.GetContactOptionsDialog(2, 1)), "direction");
    EXPECT_EQ(NameOf(factory.GetContactOptionsDialog(25, 0)), "direction");
    EXPECT_EQ(NameOf(factory.GetContactOptionsDialog(17, -1)), "friction");
}

TEST_F(FactoryTest, SlotCreationThatThrowsStoresNothing) {
    static int attempts = 0;
    attempts = 0;
    struct Lookup {
        static FactorySlotProvider Find(FactorySlot slot) {
            if (slot != FactorySlot::MassSpeciesDialog) return {};
            FactorySlotProvider p;
            p.create = []() -> void* {
                if (++attempts == 1) throw std::bad_alloc();
                return new FakeSlotObject{"species"};
            };
            p.destroy = [](void* object) { delete static_cast<FakeSlotObject*>(object); };
            return p;
        }
    };
    slotLog.events.clear();
    {
        DataModelDialogFactory factory(&FakeCreators, &Lookup::Find);
        EXPECT_THROW(factory.GetMassSpeciesDialog(), std::bad_alloc);
        void* species = factory.GetMassSpeciesDialog();
        ASSERT_NE(species, nullptr);
        EXPECT_EQ(static_cast<void*>(factory.GetMassSpeciesDialog()), species);
        EXPECT_EQ(attempts, 2);
    }
    EXPECT_EQ(slotLog.events, (std::vector<std::string>{"delete species"}));
}

TEST_F(FactoryTest, EmptySlotsGiveNull) {
    DataModelDialogFactory factory(&FakeCreators, &NoSlots);
    EXPECT_EQ(factory.GetUnitsDialog(), nullptr);
    EXPECT_EQ(factory.GetMassSpeciesDialog(), nullptr);
    EXPECT_EQ(factory.GetContactOptionsDialog(3, 1), nullptr);
    EXPECT_EQ(factory.GetFrictionContactOptionsDialog(), nullptr);
}

// ---- contact selection ----

struct SelectionCase {
    std::uint32_t analysisType;
    std::int32_t contactType;
    ContactOptionsKind expected;
};

TEST(ContactSelectionTest, FamiliesAndContactTypes) {
    using K = ContactOptionsKind;
    const SelectionCase cases[] = {
        // family 0
        {0, 0, K::Friction}, {17, 3, K::Friction}, {13, -1, K::Friction}, {7, 1, K::SmartBonding}, {0, 2, K::SmartBonding},
        // family 1: direction only
        {2, 0, K::SurfaceDirection}, {23, 1, K::SurfaceDirection}, {14, 2, K::SurfaceDirection},
        // family 2
        {3, 0, K::Thermal}, {21, 5, K::Thermal}, {19, 1, K::SmartBonding}, {4, 2, K::SmartBonding},
        // family 3 and 5: direction only
        {5, 1, K::SurfaceDirection}, {24, 0, K::SurfaceDirection}, {22, 2, K::SurfaceDirection}, {26, 0, K::SurfaceDirection},
        // family 4
        {15, 0, K::SurfaceDirection}, {16, 1, K::SmartBonding},
        // no family
        {25, 0, K::SurfaceDirection}, {25, 1, K::SurfaceDirection}, {27, 1, K::SurfaceDirection},
        {0xFFFFFFFF, 2, K::SurfaceDirection},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SelectContactOptions(c.analysisType, c.contactType), c.expected)
            << "analysis " << c.analysisType << " contact " << c.contactType;
}

TEST(ContactSelectionTest, EveryAnalysisTypeHasItsFamily) {
    const std::map<int, std::vector<std::uint32_t>> families = {
        {0, {0, 1, 7, 8, 9, 10, 11, 12, 13, 17}}, {1, {2, 14, 20, 23}}, {2, {3, 4, 19, 21}},
        {3, {5, 6, 18, 24}},                      {4, {15, 16}},        {5, {22, 26}},
        {-1, {25, 27, 28, 1000, 0xFFFFFFFF}}};
    for (const auto& [family, codes] : families)
        for (std::uint32_t code : codes) EXPECT_EQ(AnalysisFamily(code), family) << code;
}

}  // namespace
}  // namespace DataModelDialogs
