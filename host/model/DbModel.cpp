#include "host/model/DbModel.h"

namespace OrvDbRecord {

void DbModel::SetPath(std::wstring path) {
    path_ = std::move(path);
    for (const auto& [id, scenario] : scenarios_)
        scenario->SetModelPath(path_);
}

DbDesignScenario* DbModel::GetFirstScenario() const {
    return scenarios_.empty() ? nullptr : scenarios_.begin()->second.get();
}

DbDesignScenario& DbModel::AddScenario(std::unique_ptr<DbDesignScenario> scenario) {
    scenario->SetModelPath(path_);
    return scenarios_.Add(std::move(scenario));
}

}  // namespace OrvDbRecord
