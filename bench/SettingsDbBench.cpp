// Settings database: writing and reading a 10,000-point load curve as the curve records do
// (a count key and a time and a value key per point, 20,001 keys), against raw SQLite doing
// the same work (a) as durable single-key commits in WAL mode and (b) in one transaction.
//
// The files go to $ORV_BENCH_DIR or the current folder, which should be on a real disk:
// on a RAM file system the syncs that make each write durable cost nothing.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <string>
#include <vector>

#include "host/settingsdb/Marlo.h"
#include "platform/win/Utf8.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPoints = 10000;
constexpr int kKeys = 2 * kPoints + 1;

struct CurveKeys {
    std::vector<std::wstring> wide;  // count key first, then time and value of each point
    std::vector<std::string> utf8;
    CurveKeys() {
        wide.push_back(L"Heat.Global.LoadCurve(1).Point.Count");
        for (int i = 1; i <= kPoints; ++i) {
            const std::wstring point = L"Heat.Global.LoadCurve(1).Point(" + std::to_wstring(i) + L").";
            wide.push_back(point + L"Time");
            wide.push_back(point + L"Value");
        }
        for (const auto& k : wide) utf8.push_back(orv::WideToUtf8(k));
    }
};

const CurveKeys& Keys() {
    static const CurveKeys keys;
    return keys;
}

fs::path BenchFolder() {
    const char* dir = std::getenv("ORV_BENCH_DIR");
    fs::path folder = fs::path(dir ? dir : ".") / "settingsdb-bench";
    fs::create_directories(folder);
    return folder;
}

void RemoveDatabase(const fs::path& file) {
    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(file.string() + suffix);
}

// ---- through the MARLO_* functions

int16_t OpenFresh() {
    const fs::path folder = BenchFolder();
    RemoveDatabase(folder / "curve.sdb");
    return MARLO_OpenW((folder.wstring() + L"/").c_str(), L"curve");
}

bool MarloWriteCurve(int16_t h) {
    const auto& keys = Keys().wide;
    wchar_t key[kMarloKeyBufferChars];
    int32_t count = kPoints;
    std::wcscpy(key, keys[0].c_str());
    if (MARLO_ModelIntegerW(h, kMarloWrite, key, &count) != 0) return false;
    for (int i = 1; i < kKeys; ++i) {
        std::wcscpy(key, keys[std::size_t(i)].c_str());
        double v = i * 0.25;
        if (MARLO_ModelDoubleW(h, kMarloWrite, key, &v) != 0) return false;
    }
    return true;
}

bool MarloReadCurve(int16_t h) {
    const auto& keys = Keys().wide;
    wchar_t key[kMarloKeyBufferChars];
    int32_t count = 0;
    std::wcscpy(key, keys[0].c_str());
    if (MARLO_ModelIntegerW(h, kMarloRead, key, &count) != 0 || count != kPoints) return false;
    double sum = 0;
    for (int i = 1; i < kKeys; ++i) {
        std::wcscpy(key, keys[std::size_t(i)].c_str());
        double v = 0;
        if (MARLO_ModelDoubleW(h, kMarloRead, key, &v) != 0) return false;
        sum += v;
    }
    benchmark::DoNotOptimize(sum);
    return true;
}

// ---- raw SQLite

struct Raw {
    sqlite3* db = nullptr;
    sqlite3_stmt* put = nullptr;
    sqlite3_stmt* get = nullptr;
    explicit Raw(bool fresh) {
        const fs::path file = BenchFolder() / "raw.db";
        if (fresh) RemoveDatabase(file);
        sqlite3_open(file.string().c_str(), &db);
        sqlite3_exec(db,
                     "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;"
                     "CREATE TABLE IF NOT EXISTS kv(key TEXT PRIMARY KEY, value)",
                     nullptr, nullptr, nullptr);
        sqlite3_prepare_v2(db, "INSERT OR REPLACE INTO kv(key, value) VALUES(?1, ?2)", -1, &put, nullptr);
        sqlite3_prepare_v2(db, "SELECT value FROM kv WHERE key = ?1", -1, &get, nullptr);
    }
    ~Raw() {
        sqlite3_finalize(put);
        sqlite3_finalize(get);
        sqlite3_close(db);
    }
    bool Write(bool oneTransaction) {
        const auto& keys = Keys().utf8;
        if (oneTransaction) sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (int i = 0; i < kKeys; ++i) {
            const std::string& k = keys[std::size_t(i)];
            sqlite3_bind_text(put, 1, k.data(), int(k.size()), SQLITE_STATIC);
            if (i == 0)
                sqlite3_bind_int(put, 2, kPoints);
            else
                sqlite3_bind_double(put, 2, i * 0.25);
            const int rc = sqlite3_step(put);
            sqlite3_reset(put);
            if (rc != SQLITE_DONE) return false;
        }
        if (oneTransaction) sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        return true;
    }
    bool Read() {
        const auto& keys = Keys().utf8;
        double sum = 0;
        for (int i = 0; i < kKeys; ++i) {
            const std::string& k = keys[std::size_t(i)];
            sqlite3_bind_text(get, 1, k.data(), int(k.size()), SQLITE_STATIC);
            if (sqlite3_step(get) != SQLITE_ROW) return false;
            sum += sqlite3_column_double(get, 0);
            sqlite3_reset(get);
        }
        benchmark::DoNotOptimize(sum);
        return true;
    }
};

void PerKey(benchmark::State& state) {
    state.SetItemsProcessed(int64_t(state.iterations()) * kKeys);
    state.counters["per_key"] = benchmark::Counter(double(kKeys), benchmark::Counter::kIsIterationInvariantRate |
                                                                    benchmark::Counter::kInvert);
}

void BM_MarloWriteCurve(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const int16_t h = OpenFresh();
        state.ResumeTiming();
        if (h <= 0 || !MarloWriteCurve(h)) state.SkipWithError("write failed");
        state.PauseTiming();
        MARLO_Close(h);
        state.ResumeTiming();
    }
    PerKey(state);
}

void BM_MarloReadCurve(benchmark::State& state) {
    const int16_t h = OpenFresh();
    if (h <= 0 || !MarloWriteCurve(h)) state.SkipWithError("write failed");
    for (auto _ : state)
        if (!MarloReadCurve(h)) state.SkipWithError("read failed");
    MARLO_Close(h);
    PerKey(state);
}

void BM_RawDurableWrite(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto raw = std::make_unique<Raw>(true);
        state.ResumeTiming();
        if (!raw->Write(false)) state.SkipWithError("write failed");
        state.PauseTiming();
        raw.reset();
        state.ResumeTiming();
    }
    PerKey(state);
}

void BM_RawDurableRead(benchmark::State& state) {
    Raw raw(true);
    if (!raw.Write(false)) state.SkipWithError("write failed");
    for (auto _ : state)
        if (!raw.Read()) state.SkipWithError("read failed");
    PerKey(state);
}

void BM_RawOneTransactionWrite(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto raw = std::make_unique<Raw>(true);
        state.ResumeTiming();
        if (!raw->Write(true)) state.SkipWithError("write failed");
        state.PauseTiming();
        raw.reset();
        state.ResumeTiming();
    }
    PerKey(state);
}

// The ratios of the goal, measured back to back in one run: the store's write and read
// times over those of (a) and its write time over that of (b).
void BM_CurveRatios(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    auto seconds = [](Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); };
    double marloWrite = 0, marloRead = 0, rawWrite = 0, rawRead = 0, batchWrite = 0;
    for (auto _ : state) {
        const int16_t h = OpenFresh();
        auto t0 = Clock::now();
        const bool mw = MarloWriteCurve(h);
        auto t1 = Clock::now();
        const bool mr = MarloReadCurve(h);
        auto t2 = Clock::now();
        MARLO_Close(h);
        bool rw = false, rr = false, bw = false;
        Clock::time_point t3, t4, t5, t6;
        {
            Raw raw(true);
            t3 = Clock::now();
            rw = raw.Write(false);
            t4 = Clock::now();
            rr = raw.Read();
            t5 = Clock::now();
        }
        {
            Raw batch(true);
            t6 = Clock::now();
            bw = batch.Write(true);
            batchWrite += seconds(t6, Clock::now());
        }
        if (!(mw && mr && rw && rr && bw)) state.SkipWithError("a pass failed");
        marloWrite += seconds(t0, t1);
        marloRead += seconds(t1, t2);
        rawWrite += seconds(t3, t4);
        rawRead += seconds(t4, t5);
    }
    const double n = double(state.iterations()) * kKeys;
    state.counters["write_us_per_key"] = marloWrite / n * 1e6;
    state.counters["read_us_per_key"] = marloRead / n * 1e6;
    state.counters["write_vs_a"] = marloWrite / rawWrite;
    state.counters["read_vs_a"] = marloRead / rawRead;
    state.counters["write_vs_b"] = marloWrite / batchWrite;
}

}  // namespace

BENCHMARK(BM_MarloWriteCurve)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_RawDurableWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_RawOneTransactionWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_MarloReadCurve)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RawDurableRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CurveRatios)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
