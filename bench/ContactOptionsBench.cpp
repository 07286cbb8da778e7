// The contact options over many contact pairs: Reset, accumulate N pairs, open the friction
// dialog and press OK, apply to every pair, against a plain loop that reads the same fields of
// the same pairs, compares them with the first pair's and writes the agreed ones back. The
// dialog runs headless: a driver presses OK.

#include <benchmark/benchmark.h>

#include <vector>

#include "dialogs/factory/AContactOptionsDialogs.h"
#include "dialogs/factory/DataModelDialogs.h"
#include "host/model/DbContactPair.h"
#include "host/model/UnitSystem.h"
#include "platform/win/Driver.h"
#include "platform/win/Input.h"
#include "platform/win/Inspect.h"
#include "platform/win/WinApi.h"

namespace {

class PressOk : public orv::win::Driver {
public:
    bool WaitForInput(HWND modal) override { return orv::win::input::Click(orv::win::FindControl(modal, IDOK)); }
};

std::vector<OrvDbRecord::DbContactPair> Pairs(std::size_t count) {
    std::vector<OrvDbRecord::DbContactPair> pairs;
    pairs.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        OrvDbRecord::DbContactPair& pair = pairs.emplace_back(std::uint32_t(i + 1));
        pair.DataType(-1);
        pair.UseFriction(true);
        pair.Friction(i % 2 ? 0.2 : 0.3);  // the coefficients differ
        pair.SurfaceContactDirection(1);
        pair.SurfaceContactDirectionToleranceAngle(45);
    }
    return pairs;
}

void ContactOptions(benchmark::State& state) {
    const std::size_t count = std::size_t(state.range(0));
    std::vector<OrvDbRecord::DbContactPair> pairs = Pairs(count);
    PressOk driver;
    orv::win::DriverScope scope(&driver);
    const OrvDbRecord::DisplayUnitSystem display;
    DataModelDialogs::AFrictionContactOptionsDlg& options =
        *DataModelDialogs::GetDataModelDialogFactory()->GetFrictionContactOptionsDialog();
    for (auto _ : state) {
        options.Reset();
        options.SetDisplayUnitSystem(&display);
        for (auto& pair : pairs) options.AccumulateContactPair(pair);
        if (options.ShowDialog(nullptr, false) != IDOK) state.SkipWithError("the dialog did not end with OK");
        for (auto& pair : pairs) options.ApplyToContactPair(pair);
        benchmark::DoNotOptimize(pairs.data());
    }
    state.counters["pairs"] = double(count);
}

// The same fields of the same pairs: whether direction applies, direction, angle, use friction
// and friction read and compared with the first pair's, and the agreed ones written to every pair.
void ContactOptionsBaseline(benchmark::State& state) {
    const std::size_t count = std::size_t(state.range(0));
    std::vector<OrvDbRecord::DbContactPair> pairs = Pairs(count);
    for (auto _ : state) {
        const auto& first = pairs.front();
        bool applies = true, direction = true, angle = true, use = true, friction = true;
        const bool firstApplies = (first.DataType() == -1 || first.DataType() == -2) && !first.IsGlobal();
        for (const auto& pair : pairs) {
            applies &= ((pair.DataType() == -1 || pair.DataType() == -2) && !pair.IsGlobal()) == firstApplies;
            direction &= pair.SurfaceContactDirection() == first.SurfaceContactDirection();
            angle &= pair.SurfaceContactDirectionToleranceAngle() == first.SurfaceContactDirectionToleranceAngle();
            use &= pair.UseFriction() == first.UseFriction();
            friction &= pair.Friction() == first.Friction();
        }
        const auto d = first.SurfaceContactDirection();
        const double a = first.SurfaceContactDirectionToleranceAngle(), f = first.Friction();
        const bool u = first.UseFriction();
        for (auto& pair : pairs) {
            if (applies && firstApplies && direction) pair.SurfaceContactDirection(d);
            if (applies && firstApplies && angle) pair.SurfaceContactDirectionToleranceAngle(a);
            if (use) pair.UseFriction(u);
            if (friction) pair.Friction(f);
        }
        benchmark::DoNotOptimize(pairs.data());
    }
    state.counters["pairs"] = double(count);
}

BENCHMARK(ContactOptions)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(ContactOptionsBaseline)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
