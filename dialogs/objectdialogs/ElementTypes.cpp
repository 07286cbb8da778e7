#include "dialogs/objectdialogs/ElementTypes.h"

#include <algorithm>
#include <array>
#include <initializer_list>

#include "host/model/DbGeometry.h"

namespace DataModelDialogs {

namespace {

std::int32_t ElementTypeOf(const OrvDbRecord::StorageMapItem* item) {
    using Kind = OrvDbRecord::StorageMapItem::Kind;
    if (!item) return -1;
    switch (item->GetKind()) {
    case Kind::Part: return static_cast<const OrvDbRecord::DbPart*>(item)->GetElementType();
    case Kind::Surface:
    case Kind::Edge: {
        const OrvDbRecord::DbPart* part = static_cast<const OrvDbRecord::DbPartFace*>(item)->GetPart();
        return part ? part->GetElementType() : -1;
    }
    default: return -1;
    }
}

struct ElementClass {
    int number;
    std::initializer_list<std::int32_t> codes;
};

// Class 1: the types whose first component the fluid dialogs leave out.
const std::array<ElementClass, 4> kClasses{{
    {1, {3, 14, 18, 21, 29, 33, 35, 47, 50}},
    {2, {0, 1, 8, 15, 19, 20, 24, 25, 26, 27, 28, 37, 39, 43, 44, 45, 46}},
    {3, {2, 5, 9, 10, 11, 23, 32, 38}},
    {4, {4, 6, 7, 12, 13, 16, 17, 22, 30, 31, 34, 36, 48, 49}},
}};

}  // namespace

std::int32_t SharedElementType(const std::vector<OrvDbRecord::StorageMapItem*>& geometries) {
    if (geometries.empty()) return -1;
    const std::int32_t first = ElementTypeOf(geometries.front());
    for (const OrvDbRecord::StorageMapItem* item : geometries)
        if (ElementTypeOf(item) != first) return -1;
    return first;
}

int ElementTypeClass(std::int32_t elementType) {
    for (const ElementClass& c : kClasses)
        if (std::find(c.codes.begin(), c.codes.end(), elementType) != c.codes.end()) return c.number;
    return 0;
}

}  // namespace DataModelDialogs
