// Load curves: WriteCurve then ReadCurve of a 10,000-point curve through the curve records
// (CurveEditContext over the access layer and the settings database), against raw SQLite
// doing the same work on the same 20,001 keys: (a) durable single-key commits in WAL mode and
// (b) one transaction. Each iteration writes the whole curve and reads it back.
//
// The files go to $ORV_BENCH_DIR or the current folder, which should be on a real disk.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "components/Registration.h"
#include "dialogs/curves/CurveEditContext.h"
#include "platform/win/Utf8.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPoints = 10000;
constexpr int kKeys = 2 * kPoints + 1;

fs::path Folder() {
    const char* dir = std::getenv("ORV_BENCH_DIR");
    fs::path folder = fs::path(dir ? dir : ".") / "curve-bench";
    fs::create_directories(folder);
    return folder;
}

void Remove(const fs::path& file) {
    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(file.string() + suffix);
}

std::vector<CurvePoint> Ramp() {
    std::vector<CurvePoint> points(kPoints);
    for (int i = 0; i < kPoints; ++i) points[std::size_t(i)] = {i * 0.5, i * 0.25};
    return points;
}

void BM_CurveEditContextWriteRead(benchmark::State& state) {
    RegisterOrvComponents();
    const fs::path file = Folder() / "curves.sdb";
    Remove(file);
    CurveEditContext context(nullptr);
    context.SelectCurveType(2, 0);
    if (!context.OpenDatabase(file.wstring().c_str(), 0)) {
        state.SkipWithError("cannot open the settings database");
        return;
    }
    const std::vector<CurvePoint> points = Ramp();
    for (auto _ : state) {
        context.ReadCurve(1, 0);
        context.SetPoints(points);
        if (!context.WriteCurve(1, 0) || !context.ReadCurve(1, 0) || context.PointCount() != kPoints) {
            state.SkipWithError("the curve did not round-trip");
            break;
        }
    }
}

// The same keys the curve records use for heat curve 1.
const std::vector<std::string>& RawKeys() {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> k{"Heat.Global.LoadCurve(1).Point.Count"};
        for (int i = 1; i <= kPoints; ++i) {
            const std::string p = "Heat.Global.LoadCurve(1).Point(" + std::to_string(i) + ").";
            k.push_back(p + "Time");
            k.push_back(p + "Value");
        }
        return k;
    }();
    return keys;
}

void RawWriteRead(benchmark::State& state, bool oneTransaction) {
    const fs::path file = Folder() / (oneTransaction ? "raw-one.db" : "raw-each.db");
    Remove(file);
    sqlite3* db = nullptr;
    sqlite3_open(file.string().c_str(), &db);
    sqlite3_exec(db,
                 "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;"
                 "CREATE TABLE kv(key TEXT PRIMARY KEY, value) WITHOUT ROWID",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* put = nullptr;
    sqlite3_stmt* get = nullptr;
    sqlite3_prepare_v2(db, "INSERT OR REPLACE INTO kv(key, value) VALUES(?1, ?2)", -1, &put, nullptr);
    sqlite3_prepare_v2(db, "SELECT value FROM kv WHERE key = ?1", -1, &get, nullptr);
    const auto& keys = RawKeys();
    for (auto _ : state) {
        if (oneTransaction) sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (int i = 0; i < kKeys; ++i) {
            sqlite3_bind_text(put, 1, keys[std::size_t(i)].data(), int(keys[std::size_t(i)].size()), SQLITE_STATIC);
            if (i == 0)
                sqlite3_bind_int(put, 2, kPoints);
            else
                sqlite3_bind_double(put, 2, i * 0.25);
            sqlite3_step(put);
            sqlite3_reset(put);
        }
        if (oneTransaction) sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        double sum = 0;
        for (int i = 0; i < kKeys; ++i) {
            sqlite3_bind_text(get, 1, keys[std::size_t(i)].data(), int(keys[std::size_t(i)].size()), SQLITE_STATIC);
            if (sqlite3_step(get) == SQLITE_ROW) sum += sqlite3_column_double(get, 0);
            sqlite3_reset(get);
        }
        benchmark::DoNotOptimize(sum);
    }
    sqlite3_finalize(put);
    sqlite3_finalize(get);
    sqlite3_close(db);
}

void BM_CurveRawSqliteSingleCommits(benchmark::State& state) { RawWriteRead(state, false); }
void BM_CurveRawSqliteOneTransaction(benchmark::State& state) { RawWriteRead(state, true); }

}  // namespace

BENCHMARK(BM_CurveEditContextWriteRead)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CurveRawSqliteSingleCommits)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CurveRawSqliteOneTransaction)->Unit(benchmark::kMillisecond)->MinTime(2.0);
