#include "host/settingsdb/ConnectionBlocks.h"

#include <mutex>
#include <set>

namespace orv::settingsdb {
namespace {

struct Blocks {
    std::mutex lock;
    std::set<const void*> created;
};

// Never destroyed: modules unregister from their own static destructors, in any order.
Blocks& TheBlocks() {
    static Blocks* blocks = new Blocks;
    return *blocks;
}

}  // namespace

void RememberConnectionBlock(const void* block) {
    Blocks& b = TheBlocks();
    std::lock_guard lock(b.lock);
    b.created.insert(block);
}

void ForgetConnectionBlock(const void* block) {
    Blocks& b = TheBlocks();
    std::lock_guard lock(b.lock);
    b.created.erase(block);
}

bool IsConnectionBlock(const void* block) {
    Blocks& b = TheBlocks();
    std::lock_guard lock(b.lock);
    return b.created.count(block) != 0;
}

}  // namespace orv::settingsdb
