#pragma once
// FeaObjectPropertiesImpl: the record binding behind AFeaObjectPropertiesDialog_T. It keeps
// the objects being modified, their geometry, one record per object and the edited record
// that the controls show; compares the records field by field when a control is registered;
// and writes the edits back (ApplyEditsToEntry) or produces the record of a new object
// (FillNewObjectEntry). Dlg is the dialog class (a FeaObjectPropertiesImplDlg) whose context
// block holds the mode, the edit parameters and the control bookkeeping.

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "dialogs/factory/DataModelDialogs.h"
#include "dialogs/objectdialogs/FeaObjectPropertiesImplDlg.h"
#include "host/model/ObjectRegistrar.h"

namespace DataModelDialogs {

// How an entry type is written back and filled for new objects.
template <class Entry>
struct FeaEntryTraits;

template <>
struct FeaEntryTraits<RURIVO_LOADS_V1_ENTRY> {
    // Create mode copies the description and the load data block; the header and the
    // remainder keep the prototype's values.
    static void CopyCreateBlocks(const RURIVO_LOADS_V1_ENTRY& from, RURIVO_LOADS_V1_ENTRY& to) {
        std::memcpy(to.data() + RURIVO_LOADS_V1_ENTRY::kDescriptionOffset,
                    from.data() + RURIVO_LOADS_V1_ENTRY::kDescriptionOffset, RURIVO_LOADS_V1_ENTRY::kDescriptionSize);
        std::memcpy(to.data() + RURIVO_LOADS_V1_ENTRY::kLoadDataOffset,
                    from.data() + RURIVO_LOADS_V1_ENTRY::kLoadDataOffset, RURIVO_LOADS_V1_ENTRY::kLoadDataSize);
    }
    static OrvDbRecord::DbFeaObject* Prototype(std::uint32_t typeCode) {
        return OrvDbRecord::ObjectRegistrar::GetRegistrar().GetFeaObject(typeCode);
    }
};

// Result codes of ApplyEditsToEntry and FillNewObjectEntry.
inline constexpr std::int32_t kEditsApplied = 0;
inline constexpr std::int32_t kNoPrototype = -1;
inline constexpr std::int32_t kNoEntry = -2;

template <class Dlg, class Record, class Entry, class GeometryFunctor>
class FeaObjectPropertiesImpl : public AFeaObjectPropertiesDialog_T<Record, Entry, GeometryFunctor> {
public:
    using Traits = FeaEntryTraits<Entry>;
    // Records without a prototype object (the initial fluid volume) start from zeros.
    static constexpr bool kHasPrototype = requires { Traits::Prototype(std::uint32_t{}); };

    // The binding data block.
    struct Data {
        std::vector<const Record*> objects;
        std::vector<OrvDbRecord::StorageMapItem*> geometries;
        std::vector<Entry> entries;
        Entry edited{};
    };

    FeaObjectPropertiesImpl() : data_(std::make_unique<Data>()) {}
    ~FeaObjectPropertiesImpl() override = default;

    CWnd* SetMessageTarget(CWnd* target) override {
        messageTarget_ = target;
        return target;
    }
    CWnd* GetMessageTarget() const { return messageTarget_; }

    void AddGeometry(OrvDbRecord::StorageMapItem* geometry) override { data_->geometries.push_back(geometry); }
    void AddFeaObject(const Record* object) override {
        if (!object) return;
        data_->objects.push_back(object);
        if (OrvDbRecord::StorageMapItem* geometry = GeometryFunctor()(*object)) AddGeometry(geometry);
    }

    std::int32_t FillNewObjectEntry(void* context, OrvDbRecord::FeaObjectGroup* group, Entry* entry) override {
        if (!entry) return kNoEntry;
        if constexpr (!kHasPrototype) {
            (void)context, (void)group;
            return kNoPrototype;
        } else {
            auto* prototype = Traits::Prototype(Ctx().typeCode);
            if (!prototype) return kNoPrototype;
            // The prototype leaves the group and forgets the context on every exit.
            struct Restore {
                decltype(prototype) object;
                OrvDbRecord::FeaObjectGroup* group;
                ~Restore() {
                    if (group) group->RemoveFeaObject(object);
                    object->Reset();
                }
            } restore{prototype, group};
            prototype->SetCreationContext(context);
            if (group) group->AddFeaObject(prototype);
            entry->Zero();
            prototype->InitFemStruct(*entry);
            return ApplyEditsToEntry(entry);
        }
    }

    std::int32_t ApplyEditsToEntry(Entry* entry) override {
        if (!entry) return kNoEntry;
        const Entry& edited = data_->edited;
        if (Ctx().mode == 0) {
            Traits::CopyCreateBlocks(edited, *entry);
        } else if (Ctx().mode == 1) {
            for (const auto& [offset, field] : Ctx().consistentFields) {
                if (!OrvDbRecord::FieldFits(offset, field.size, Entry::kSize)) continue;
                if (field.mask == 0) {
                    std::memcpy(entry->data() + offset, edited.data() + offset, field.size);
                } else if (field.size == 4) {
                    std::uint32_t word, from;
                    std::memcpy(&word, entry->data() + offset, 4);
                    std::memcpy(&from, edited.data() + offset, 4);
                    word = (word & ~field.mask) | (from & field.mask);
                    std::memcpy(entry->data() + offset, &word, 4);
                }
            }
        }
        return kEditsApplied;
    }

    FeaObjectEditParameters& GetEditParameters() override { return Ctx().editParameters; }
    std::vector<OrvDbRecord::StorageMapItem*>& GetGeometries() override { return data_->geometries; }
    std::uint64_t GetMaxObjectCount() override { return UINT64_MAX; }
    std::vector<const Record*>& GetFeaObjects() override { return data_->objects; }
    Entry& GetEditedEntry() override { return data_->edited; }
    std::uint32_t GetMode() override { return Ctx().mode; }
    double GetPickedValue() override { return Ctx().pickedValue; }
    double* GetPickedVector() override { return Ctx().pickedVector; }
    std::uint32_t GetTypeCode() override { return Ctx().typeCode; }
    std::vector<Entry>& GetEntries() override { return data_->entries; }

    void Reset() override {
        Ctx().Clear();
        data_->objects.clear();
        data_->geometries.clear();
        data_->entries.clear();
        data_->edited.Zero();
        messageTarget_ = nullptr;
    }
    void SetEditParameters(const FeaObjectEditParameters& parameters) override { Ctx().editParameters = parameters; }
    void SetMode(std::uint32_t mode) override { Ctx().mode = mode; }
    void SetPickedValue(double value) override { Ctx().pickedValue = value; }
    void SetPickedVector(const double vector[3]) override {
        if (vector) SetPickedVector(vector[0], vector[1], vector[2]);
    }
    void SetPickedVector(double x, double y, double z) override {
        Ctx().pickedVector[0] = x;
        Ctx().pickedVector[1] = y;
        Ctx().pickedVector[2] = z;
    }

    // ---- binding operations the dialog calls ----

    // The edited record: the prototype's defaults when creating (the design scenario as their
    // context), else the first object's record.
    void FillEditedEntry() {
        Entry& edited = data_->edited;
        if (data_->objects.empty()) {
            if constexpr (kHasPrototype) {
                if (auto* prototype = Traits::Prototype(Ctx().typeCode)) {
                    prototype->SetCreationContext(Ctx().editParameters.designScenario);
                    prototype->InitFemStruct(edited);
                    prototype->Reset();
                }
            }
        } else {
            data_->objects.front()->InitFemStruct(edited);
        }
    }
    // One record per object, in list order.
    void FillEntries() {
        data_->entries.resize(data_->objects.size());
        for (std::size_t i = 0; i < data_->objects.size(); ++i) data_->objects[i]->InitFemStruct(data_->entries[i]);
    }

    // The multiple-selection check of one field: a field on which the records differ
    // suppresses the control, one on which they agree is written back.
    void RegisterEntryField(UINT id, std::size_t offset, std::size_t size, std::uint32_t mask) {
        if (!OrvDbRecord::FieldFits(offset, size, Entry::kSize)) return;
        const auto& entries = data_->entries;
        if (!entries.empty()) {
            const std::uint8_t* first = entries.front().data() + offset;
            for (std::size_t i = 1; i < entries.size(); ++i) {
                const std::uint8_t* other = entries[i].data() + offset;
                const bool differs = mask == 0 ? std::memcmp(first, other, size) != 0 : Masked(first, mask) != Masked(other, mask);
                if (differs) {
                    Ctx().suppressedControls.insert(id);
                    return;
                }
            }
        }
        // Two controls on one flag word (each with its own bits) are both written back.
        auto [it, added] = Ctx().consistentFields.try_emplace(offset, ConsistentField{mask == 0 ? size : 4, mask});
        if (!added) {
            ConsistentField& field = it->second;
            if (field.mask != 0 && mask != 0) {
                field.mask |= mask;
            } else {
                field.size = std::max(field.size, mask == 0 ? size : std::size_t(4));
                field.mask = 0;
            }
        }
    }

protected:
    Data& BindingData() { return *data_; }

private:
    static std::uint32_t Masked(const std::uint8_t* p, std::uint32_t mask) {
        std::uint32_t word;
        std::memcpy(&word, p, 4);
        return word & mask;
    }
    FeaObjectDialogContext& Ctx() { return static_cast<Dlg&>(*this).Context(); }

    CWnd* messageTarget_ = nullptr;
    std::unique_ptr<Data> data_;
};

}  // namespace DataModelDialogs
