// The in-memory index order behind every cursor: a blocked list of
// (sort key, row id). Checked against std::set over enough entries to split
// and empty many blocks.
#include "Order.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <utility>

namespace {

using Model = std::set<std::pair<std::string, std::int64_t>>;

void expectSame(const store::Order& order, const Model& model)
{
    ASSERT_EQ(order.size(), static_cast<int>(model.size()));
    int row = 0;
    for (const auto& [key, id] : model) {
        const store::Order::Entry entry = order.at(row);
        ASSERT_EQ(entry.key, key) << "row " << row;
        ASSERT_EQ(entry.rowId, id) << "row " << row;
        ASSERT_EQ(order.find(key, id), row);
        ++row;
    }
}

// Random inserts and erases with duplicate keys (a secondary index); a fault
// in block splitting, merging or the row starts shows as a wrong row.
TEST(TableOrder, MatchesASortedSetThroughInsertsAndErases)
{
    std::mt19937 random(7);
    store::Order order;
    Model model;
    for (std::int64_t id = 1; id <= 3000; ++id) {
        // Loading appends in order, as the table does at open.
        const std::string key = "k" + std::to_string(10000 + id * 2);
        order.append(key, id);
        model.emplace(key, id);
    }
    expectSame(order, model);
    std::int64_t nextId = 5000;
    for (int step = 0; step < 20000; ++step) {
        if (random() % 3 != 0 || model.empty()) {
            const std::string key = "k" + std::to_string(10000 + random() % 7000);
            const int row = order.insert(key, ++nextId);
            model.emplace(key, nextId);
            ASSERT_EQ(row, static_cast<int>(std::distance(model.begin(), model.find({key, nextId}))));
        } else {
            auto it = model.begin();
            std::advance(it, static_cast<long>(random() % model.size()));
            ASSERT_TRUE(order.erase(it->first, it->second));
            model.erase(it);
        }
    }
    expectSame(order, model);
    EXPECT_FALSE(order.erase("nothing", 1));
    EXPECT_EQ(order.find("nothing", 1), -1);

    // lowerBound: the first entry not less than a (key, id) pair.
    const auto probe = std::make_pair(std::string("k12345"), std::int64_t{0});
    EXPECT_EQ(order.lowerBound(probe.first, probe.second),
              static_cast<int>(std::distance(model.begin(), model.lower_bound(probe))));
}

// Emptying every block and filling again must leave no stale block behind.
TEST(TableOrder, EmptiesAndRefills)
{
    store::Order order;
    for (int i = 0; i < 5000; ++i)
        order.insert("x" + std::to_string(i % 10), i);
    for (int i = 0; i < 5000; ++i)
        ASSERT_TRUE(order.erase("x" + std::to_string(i % 10), i));
    EXPECT_EQ(order.size(), 0);
    EXPECT_EQ(order.lowerBound("", 0), 0);
    order.insert("b", 2);
    order.insert("a", 1);
    EXPECT_EQ(order.at(0).rowId, 1);
    EXPECT_EQ(order.at(1).rowId, 2);
}

} // namespace
