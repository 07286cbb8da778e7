// The node store of a design scenario: ids to indices (dense and far ids), packed coordinates,
// ascending iteration, gathering a face's nodes a block at a time, and the model file.

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/model/DbDesignScenario.h"
#include "host/model/ModelFile.h"

using namespace OrvDbRecord;

namespace {

std::array<double, 3> XyzOf(std::uint32_t id) { return {double(id), -0.5 * id, 1e-3 * id}; }

void AddNodes(DbNodeStore& store, const std::vector<std::uint32_t>& ids) {
    for (std::uint32_t id : ids) store.Add(std::make_unique<DbNode>(id, XyzOf(id)));
}

std::vector<std::uint32_t> IterationIds(const DbNodeStore& store) {
    std::vector<std::uint32_t> ids;
    for (const auto& [id, node] : store) {
        EXPECT_EQ(node->Id(), id);
        ids.push_back(id);
    }
    return ids;
}

TEST(NodeStoreTest, IdsFindTheirNodesWhereverTheyLie) {
    struct Case {
        const char* name;
        std::vector<std::uint32_t> ids;
        std::vector<std::uint32_t> absent;
    };
    const Case cases[] = {
        {"dense from 1", {1, 2, 3, 4, 5, 6, 7, 8}, {0, 9, 10, 1023, 1024, 4000000000u}},
        {"dense from 0", {0, 1, 2}, {3, 0xFFFFFFFEu}},
        {"far ids", {4000000000u, 0xFFFFFFFFu, 70000, 1u << 31}, {0, 1, 69999, 70001, 0xFFFFFFFEu}},
        {"the table's edge", {1023, 1024, 1025, 2047, 2048}, {1022, 1026, 2046, 2049}},
        {"descending", {9, 8, 7, 3, 2, 1}, {4, 5, 6, 10}},
        {"none", {}, {0, 1, 0xFFFFFFFFu}},
    };
    for (const Case& c : cases) {
        DbNodeStore store;
        AddNodes(store, c.ids);
        EXPECT_EQ(store.size(), c.ids.size()) << c.name;
        EXPECT_EQ(store.empty(), c.ids.empty()) << c.name;
        for (std::size_t i = 0; i < c.ids.size(); ++i) {
            const std::uint32_t id = c.ids[i];
            ASSERT_EQ(store.IndexOf(id), i) << c.name << " id " << id;
            ASSERT_NE(store.Find(id), nullptr) << c.name << " id " << id;
            EXPECT_EQ(store.Find(id)->Id(), id) << c.name;
            EXPECT_EQ(store.IdAt(i), id) << c.name;
            EXPECT_EQ(&store.NodeAt(i), store.Find(id)) << c.name;
            EXPECT_EQ(store.CoordinatesAt(i), XyzOf(id)) << c.name;
            EXPECT_EQ(store.Coordinates()[i], XyzOf(id)) << c.name;
        }
        for (std::uint32_t id : c.absent) {
            EXPECT_EQ(store.IndexOf(id), DbNodeStore::kNoIndex) << c.name << " id " << id;
            EXPECT_EQ(store.Find(id), nullptr) << c.name << " id " << id;
            EXPECT_FALSE(store.Contains(id)) << c.name << " id " << id;
        }
    }
}

TEST(NodeStoreTest, AFarIdStaysFoundWhenTheTableGrowsPastIt) {
    DbNodeStore store;
    AddNodes(store, {1, 2, 3, 5000});
    std::vector<std::uint32_t> more;
    for (std::uint32_t id = 4; id < 4000; ++id) more.push_back(id);
    AddNodes(store, more);
    ASSERT_NE(store.Find(5000), nullptr);
    EXPECT_EQ(store.IndexOf(5000), 3u);
    EXPECT_THROW(store.Add(std::make_unique<DbNode>(5000, XyzOf(1))), std::invalid_argument);
    EXPECT_EQ(store.IndexOf(3999), 3999u);
    EXPECT_EQ(store.Find(4999), nullptr);
    EXPECT_EQ(store.NextFreeId(), 5001u);
}

TEST(NodeStoreTest, AUsedIdIsRefusedAndNothingChanges) {
    DbNodeStore store;
    AddNodes(store, {3, 7});
    auto again = std::make_unique<DbNode>(7, std::array<double, 3>{9, 9, 9});
    try {
        store.Add(std::move(again));
        FAIL() << "a used id was taken";
    } catch (const std::invalid_argument& e) {
        EXPECT_EQ(std::string(e.what()), "node id 7 is already in use");
    }
    EXPECT_EQ(store.size(), 2u);
    EXPECT_EQ(store.Find(7)->GetCoordinatesAsArray(), XyzOf(7));
    EXPECT_EQ(IterationIds(store), (std::vector<std::uint32_t>{3, 7}));
}

TEST(NodeStoreTest, IterationIsByAscendingIdWhateverTheOrderOfAdding) {
    DbNodeStore store;
    AddNodes(store, {10, 4, 4000000000u, 7});
    EXPECT_EQ(IterationIds(store), (std::vector<std::uint32_t>{4, 7, 10, 4000000000u}));
    // Nodes added after an iteration join the next one in their place.
    AddNodes(store, {5, 1});
    EXPECT_EQ(IterationIds(store), (std::vector<std::uint32_t>{1, 4, 5, 7, 10, 4000000000u}));
    auto it = store.begin();
    EXPECT_EQ(it->first, 1u);
    EXPECT_EQ((it++)->second->Id(), 1u);
    EXPECT_EQ((*it).first, 4u);
}

TEST(NodeStoreTest, NodesKeepTheirAddressesAndWriteThroughToThePackedCoordinates) {
    DbDesignScenario scenario(1);
    DbNode& first = scenario.AddNode(std::make_unique<DbNode>(1, XyzOf(1)));
    for (std::uint32_t id = 2; id <= 5000; ++id) scenario.AddNode(std::make_unique<DbNode>(id, XyzOf(id)));
    EXPECT_EQ(scenario.FindNode(1), &first);
    EXPECT_EQ(first.GetDesignScenario(), &scenario);
    scenario.FindNode(4321)->SetCoordinates({1, 2, 3});
    const DbNodeStore& store = scenario.GetNodes();
    EXPECT_EQ(store.CoordinatesAt(store.IndexOf(4321)), (std::array<double, 3>{1, 2, 3}));
    double xyz[3];
    scenario.FindNode(4321)->GetCoordinatesAsArray(xyz);
    EXPECT_EQ(xyz[2], 3.0);
    // A copy stands apart: moving it leaves the stored node where it was.
    DbNode copy(*scenario.FindNode(4321));
    copy.SetCoordinates({7, 7, 7});
    EXPECT_EQ(store.CoordinatesAt(store.IndexOf(4321)), (std::array<double, 3>{1, 2, 3}));
    EXPECT_EQ(scenario.FindNode(4321)->GetCoordinatesAsArray(), (std::array<double, 3>{1, 2, 3}));
    EXPECT_EQ(copy.GetCoordinatesAsArray(), (std::array<double, 3>{7, 7, 7}));
}

TEST(NodeStoreTest, GatherWalksTheListInBlocksSkippingMissingIds) {
    struct Case {
        const char* name;
        std::vector<std::uint32_t> list;
        std::size_t capacity;
    };
    const Case cases[] = {
        {"in order", {1, 2, 3, 4, 5, 6, 7}, 3},
        {"missing and repeated", {8, 2, 99, 2, 0, 5, 4000000000u, 1, 77}, 2},
        {"only missing", {99, 100, 0}, 4},
        {"one at a time", {6, 5, 4}, 1},
        {"all in one block", {3, 1, 4000000000u, 1, 5}, 256},
        {"empty", {}, 8},
    };
    DbNodeStore store;
    AddNodes(store, {1, 2, 3, 4, 5, 6, 7, 8, 4000000000u});
    for (const Case& c : cases) {
        std::vector<std::uint32_t> expected;
        for (std::uint32_t id : c.list)
            if (store.Contains(id)) expected.push_back(id);
        std::vector<std::uint32_t> got;
        std::vector<double> x(c.capacity), y(c.capacity), z(c.capacity);
        std::vector<std::uint32_t> ids(c.capacity);
        std::size_t cursor = 0;
        int calls = 0;
        while (std::size_t n = store.Gather(c.list, &cursor, c.capacity, x.data(), y.data(), z.data(), ids.data())) {
            ASSERT_LE(n, c.capacity) << c.name;
            ASSERT_LT(++calls, 100) << c.name;
            for (std::size_t k = 0; k < n; ++k) {
                EXPECT_EQ((std::array<double, 3>{x[k], y[k], z[k]}), XyzOf(ids[k])) << c.name;
                got.push_back(ids[k]);
            }
        }
        EXPECT_EQ(got, expected) << c.name;
        EXPECT_EQ(cursor, c.list.size()) << c.name;
        EXPECT_EQ(store.Gather(c.list, &cursor, c.capacity, x.data(), y.data(), z.data(), ids.data()), 0u) << c.name;
    }
}

TEST(NodeStoreTest, AFaceGathersTheNodesItsListGives) {
    DbDesignScenario scenario(1);
    for (std::uint32_t id : {2u, 4u, 6u, 8u, 10u}) scenario.AddNode(std::make_unique<DbNode>(id, XyzOf(id)));
    DbPartSurface& surface = scenario.AddSurface(std::make_unique<DbPartSurface>(1, 1, std::vector<std::uint32_t>{10, 3, 4, 4, 2}));
    std::vector<const DbNode*> nodes = surface.GetNodes();
    double x[2], y[2], z[2];
    std::uint32_t ids[2];
    std::size_t cursor = 0, at = 0;
    while (std::size_t n = surface.GatherNodes(&cursor, 2, x, y, z, ids))
        for (std::size_t k = 0; k < n; ++k, ++at) {
            ASSERT_LT(at, nodes.size());
            EXPECT_EQ(ids[k], nodes[at]->Id());
            EXPECT_EQ((std::array<double, 3>{x[k], y[k], z[k]}), nodes[at]->GetCoordinatesAsArray());
        }
    EXPECT_EQ(at, 4u);
    // A face outside any scenario has no nodes to give.
    DbPartSurface alone(2, 1, {2, 4});
    cursor = 0;
    EXPECT_EQ(alone.GatherNodes(&cursor, 2, x, y, z, ids), 0u);
    EXPECT_TRUE(alone.GetNodes().empty());
}

TEST(NodeStoreTest, TheModelFileListsNodesByAscendingIdAndReadsThemBack) {
    DbModel model;
    DbDesignScenario& scenario = model.AddScenario(std::make_unique<DbDesignScenario>(1));
    for (std::uint32_t id : {30u, 10u, 20u}) scenario.AddNode(std::make_unique<DbNode>(id, XyzOf(id)));
    const std::string json = FormatModelJson(model);
    const auto at10 = json.find("\"id\": 10"), at20 = json.find("\"id\": 20"), at30 = json.find("\"id\": 30");
    ASSERT_NE(at10, std::string::npos) << json;
    EXPECT_LT(at10, at20);
    EXPECT_LT(at20, at30);
    ModelLoadResult loaded = ParseModelJson(json);
    ASSERT_TRUE(loaded) << loaded.error;
    const DbNodeStore& store = loaded.model->GetFirstScenario()->GetNodes();
    EXPECT_EQ(IterationIds(store), (std::vector<std::uint32_t>{10, 20, 30}));
    EXPECT_EQ(store.Find(20)->GetCoordinatesAsArray(), XyzOf(20));
    EXPECT_EQ(FormatModelJson(*loaded.model), json);
}

}  // namespace
