#pragma once
// The element type of the surfaces a dialog edits, and the classes the fluid and surface load
// dialogs tell element types apart by. The codes belong to the model record library; this is
// the one place that groups them.

#include <cstdint>
#include <vector>

namespace OrvDbRecord {
class StorageMapItem;
}

namespace DataModelDialogs {

// The element type shared by the geometry items: each surface or edge through its owning part,
// a part directly. -1 when the items mix element types, when one of them has no part (or is of
// another kind) and when there are none.
std::int32_t SharedElementType(const std::vector<OrvDbRecord::StorageMapItem*>& geometries);

// The class of an element type code: 1 to 4, or 0 for any other code (and -1).
int ElementTypeClass(std::int32_t elementType);

}  // namespace DataModelDialogs
