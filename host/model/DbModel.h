#pragma once
// DbModel: a whole model (its design scenarios), as loaded from or saved to a model file.

#include <cstdint>
#include <memory>
#include <string>

#include "host/model/DbDesignScenario.h"
#include "host/model/StorageMapItem.h"

namespace OrvDbRecord {

class DbModel {
public:
    const std::string& GetName() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    // The file the model was loaded from or last saved to; every scenario's model path.
    const std::wstring& GetPath() const { return path_; }
    void SetPath(std::wstring path);

    const StorageMap<DbDesignScenario>& GetScenarios() const { return scenarios_; }
    DbDesignScenario* GetScenario(std::uint32_t id) const { return scenarios_.Find(id); }
    // The scenario with the lowest id; null for a model without scenarios.
    DbDesignScenario* GetFirstScenario() const;
    DbDesignScenario& AddScenario(std::unique_ptr<DbDesignScenario> scenario);

private:
    std::string name_;
    std::wstring path_;
    StorageMap<DbDesignScenario> scenarios_;
};

}  // namespace OrvDbRecord
