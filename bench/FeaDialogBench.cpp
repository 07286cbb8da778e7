// The property dialog shell over many objects: opening a modify-mode dialog on N objects (each
// with its own record), pressing OK and applying the edits to every record, against a plain
// baseline that compares and copies the same fields of the same records with memcmp/memcpy.
// Two dialogs: the part temperature (description and magnitude) and the surface force
// (description, magnitude, direction, load curve, reserved word, follows moving surface).
// Also one object from ShowDialog to OK. The dialog runs headless: a driver presses OK.

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "dialogs/objectdialogs/loads/PartTemperatureDlg.h"
#include "dialogs/objectdialogs/loads/SurfaceForceDlg.h"
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

// One kind of object: its type code, how its records are filled, and the fields its dialog
// exchanges (offset and size), which the baseline compares and copies.
struct Kind {
    std::uint32_t typeCode;
    std::unique_ptr<DataModelDialogs::FeaObjectDialogBase> (*dialog)();
    void (*fill)(RURIVO_LOADS_V1_ENTRY& entry);
    std::vector<std::pair<std::size_t, std::size_t>> fields;
};

template <class Dialog>
std::unique_ptr<DataModelDialogs::FeaObjectDialogBase> Make() {
    return std::make_unique<Dialog>();
}

const Kind kPartTemperature{111, Make<DataModelDialogs::PartTemperatureDlg>,
                            [](RURIVO_LOADS_V1_ENTRY& e) { e.SetF64(272, 300.0); }, {{12, 256}, {272, 8}}};
const Kind kSurfaceForce{35, Make<DataModelDialogs::SurfaceForceDlg>,
                         [](RURIVO_LOADS_V1_ENTRY& e) {
                             e.SetF64(272, 500.0);
                             e.SetF64(296, -1.0);
                             e.SetI32(304, 1);
                         },
                         {{12, 256}, {272, 8}, {280, 8}, {288, 8}, {296, 8}, {304, 4}, {308, 4}, {312, 4}}};

struct Objects {
    std::unique_ptr<OrvDbRecord::DbModel> model = OrvDbRecord::LoadSampleModel();
    OrvDbRecord::DbDesignScenario& scenario = *model->GetFirstScenario();
    std::vector<OrvDbRecord::DbFeaObject*> objects;

    Objects(std::size_t count, const Kind& kind) {
        RURIVO_LOADS_V1_ENTRY entry;
        OrvDbRecord::ObjectRegistrar::GetRegistrar().GetFeaObject(kind.typeCode)->InitFemStruct(entry);
        kind.fill(entry);
        for (std::size_t i = 0; i < count; ++i) {
            entry.SetText(12, 256, i % 2 ? "odd" : "even");  // the descriptions differ
            objects.push_back(&scenario.CreateFeaObject(kind.typeCode, entry, OrvDbRecord::GeometryKindOf(kind.typeCode), 2));
        }
    }
};

void ModifyAndApply(benchmark::State& state, const Kind& kind) {
    const std::size_t count = std::size_t(state.range(0));
    Objects data(count, kind);
    PressOk driver;
    orv::win::DriverScope scope(&driver);
    const auto made = kind.dialog();
    DataModelDialogs::FeaObjectDialogBase& dialog = *made;
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

// The same fields of the same records: each object's record is read, each field compared with
// the first record's, and the consistent ones copied into every record.
void ModifyAndApplyBaseline(benchmark::State& state, const Kind& kind) {
    const std::size_t count = std::size_t(state.range(0));
    Objects data(count, kind);
    std::vector<RURIVO_LOADS_V1_ENTRY> entries(count), records(count);
    RURIVO_LOADS_V1_ENTRY edited;
    std::vector<bool> same(kind.fields.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < count; ++i) std::memcpy(entries[i].data(), data.objects[i]->GetRecord().data(), 788);
        std::memcpy(edited.data(), entries[0].data(), 788);
        for (std::size_t f = 0; f < kind.fields.size(); ++f) {
            const auto [offset, size] = kind.fields[f];
            bool consistent = true;
            for (std::size_t i = 1; i < count && consistent; ++i)
                consistent = std::memcmp(entries[i].data() + offset, entries[0].data() + offset, size) == 0;
            same[f] = consistent;
        }
        for (std::size_t i = 0; i < count; ++i) {
            records[i] = entries[i];
            for (std::size_t f = 0; f < kind.fields.size(); ++f)
                if (same[f])
                    std::memcpy(records[i].data() + kind.fields[f].first, edited.data() + kind.fields[f].first,
                                kind.fields[f].second);
        }
        benchmark::DoNotOptimize(records.data());
    }
    state.counters["objects"] = double(count);
}

void OneObjectToOk(benchmark::State& state) {
    Objects data(1, kPartTemperature);
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

// Each dialog's figure and its baseline side by side, from one run.
BENCHMARK_CAPTURE(ModifyAndApply, PartTemperature, kPartTemperature)
    ->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(ModifyAndApplyBaseline, PartTemperature, kPartTemperature)
    ->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(ModifyAndApply, SurfaceForce, kSurfaceForce)
    ->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(ModifyAndApplyBaseline, SurfaceForce, kSurfaceForce)
    ->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(OneObjectToOk)->Unit(benchmark::kMicrosecond)->Repetitions(3)->ReportAggregatesOnly(true);
