// The property dialog shell over many objects: opening a modify-mode dialog on N objects (each
// with its own record), pressing OK and applying the edits to every record, against a plain
// baseline that compares and copies the same fields of the same records with memcmp/memcpy.
// Also one object from ShowDialog to OK. The dialog runs headless: a driver presses OK.

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "dialogs/objectdialogs/loads/PartTemperatureDlg.h"
#include "host/model/DbDesignScenario.h"
#include "host/model/DbModel.h"
#include "host/model/ModelFile.h"
#include "host/model/ObjectRegistrar.h"
#include "platform/win/Driver.h"
#include "platform/win/Input.h"
#include "platform/win/Inspect.h"

namespace {

class PressOk : public orv::win::Driver {
public:
    bool WaitForInput(HWND modal) override {
        return orv::win::input::Click(orv::win::FindControl(modal, IDOK));
    }
};

struct Objects {
    std::unique_ptr<OrvDbRecord::DbModel> model = OrvDbRecord::LoadSampleModel();
    OrvDbRecord::DbDesignScenario& scenario = *model->GetFirstScenario();
    std::vector<OrvDbRecord::DbFeaObject*> objects;

    explicit Objects(std::size_t count) {
        RURIVO_LOADS_V1_ENTRY entry;
        OrvDbRecord::ObjectRegistrar::GetRegistrar().GetFeaObject(111)->InitFemStruct(entry);
        entry.SetF64(272, 300.0);
        for (std::size_t i = 0; i < count; ++i) {
            entry.SetText(12, 256, i % 2 ? "odd" : "even");  // the descriptions differ
            objects.push_back(&scenario.CreateFeaObject(111, entry, OrvDbRecord::GeometryKindOf(111), 2));
        }
    }
};

void ModifyAndApply(benchmark::State& state) {
    const std::size_t count = std::size_t(state.range(0));
    Objects data(count);
    PressOk driver;
    orv::win::DriverScope scope(&driver);
    DataModelDialogs::PartTemperatureDlg dialog;
    std::vector<RURIVO_LOADS_V1_ENTRY> records(count);
    std::size_t bindingBytes = 0;
    for (auto _ : state) {
        dialog.Reset();
        DataModelDialogs::FeaObjectEditParameters parameters;
        parameters.designScenario = &data.scenario;
        parameters.objectCount = std::uint32_t(count);
        dialog.SetEditParameters(parameters);
        dialog.SetMode(1);
        for (auto* object : data.objects) dialog.AddFeaObject(object);
        if (dialog.ShowDialog(0) != 0) state.SkipWithError("the dialog did not end with OK");
        auto& entries = dialog.GetEntries();
        for (std::size_t i = 0; i < count; ++i) {
            records[i] = entries[i];
            dialog.ApplyEditsToEntry(&records[i]);
        }
        bindingBytes = entries.capacity() * sizeof(RURIVO_LOADS_V1_ENTRY) +
                       dialog.GetFeaObjects().capacity() * sizeof(void*) +
                       dialog.GetGeometries().capacity() * sizeof(void*);
        benchmark::DoNotOptimize(records.data());
    }
    state.counters["objects"] = double(count);
    state.counters["memory_ratio"] = double(bindingBytes) / double(count * sizeof(RURIVO_LOADS_V1_ENTRY));
}

// The same fields of the same records: each object's record is read, the two fields compared
// with the first record's, and the consistent one copied into every record.
void ModifyAndApplyBaseline(benchmark::State& state) {
    const std::size_t count = std::size_t(state.range(0));
    Objects data(count);
    std::vector<RURIVO_LOADS_V1_ENTRY> entries(count), records(count);
    RURIVO_LOADS_V1_ENTRY edited;
    for (auto _ : state) {
        for (std::size_t i = 0; i < count; ++i) std::memcpy(entries[i].data(), data.objects[i]->GetRecord().data(), 788);
        std::memcpy(edited.data(), entries[0].data(), 788);
        bool descriptionSame = true, magnitudeSame = true;
        for (std::size_t i = 1; i < count; ++i) {
            descriptionSame = descriptionSame && std::memcmp(entries[i].data() + 12, entries[0].data() + 12, 256) == 0;
            magnitudeSame = magnitudeSame && std::memcmp(entries[i].data() + 272, entries[0].data() + 272, 8) == 0;
        }
        for (std::size_t i = 0; i < count; ++i) {
            records[i] = entries[i];
            if (descriptionSame) std::memcpy(records[i].data() + 12, edited.data() + 12, 256);
            if (magnitudeSame) std::memcpy(records[i].data() + 272, edited.data() + 272, 8);
        }
        benchmark::DoNotOptimize(records.data());
    }
    state.counters["objects"] = double(count);
}

void OneObjectToOk(benchmark::State& state) {
    Objects data(1);
    PressOk driver;
    orv::win::DriverScope scope(&driver);
    DataModelDialogs::PartTemperatureDlg dialog;
    DataModelDialogs::FeaObjectEditParameters parameters;
    parameters.designScenario = &data.scenario;
    parameters.objectCount = 1;
    for (auto _ : state) {
        dialog.Reset();
        dialog.SetEditParameters(parameters);
        dialog.SetMode(1);
        dialog.AddFeaObject(data.objects[0]);
        if (dialog.ShowDialog(0) != 0) state.SkipWithError("the dialog did not end with OK");
    }
}

}  // namespace

BENCHMARK(ModifyAndApply)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(ModifyAndApplyBaseline)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(OneObjectToOk)->Unit(benchmark::kMicrosecond)->Repetitions(3)->ReportAggregatesOnly(true);
