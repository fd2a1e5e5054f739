// Registry calls per listed program: "&Sync list" over the in-memory registry, which counts
// every RegistryApi call. Under Wine each of those calls is a round trip to the wineserver, so
// this count, times the cost of one trip, is most of what a refresh costs there.
//
// Besides Google Benchmark's own table it prints one FIGURE line: the calls a refresh makes for
// each listed program beyond its fixed cost, measured as the difference between two list sizes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "fakes/fake_controls.h"

namespace {

const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Named the way installers name their keys, and made in an order unlike the sorted one.
void Register(FakeForm& f, int count) {
  for (int i = 0; i < count; ++i) {
    char key[64];
    std::snprintf(key, sizeof key, "{%08X-0000-0000-BE4C-%012X}", static_cast<unsigned>(i) * 2654435761u, i);
    const std::string path = kUninstall + "\\" + key;
    f.registry.SetString(reg::kHkeyLocalMachine, path, "DisplayName", "Program " + std::to_string(i));
    f.registry.SetString(reg::kHkeyLocalMachine, path, "UninstallString", "uninst.exe /S");
  }
}

// Calls of one refresh over `count` registrations.
long CallsOfOneRefresh(int count) {
  FakeForm f;
  Register(f, count);
  f.registry.ResetCallCount();
  f->bntSyncClick();
  if (f->lstUnInstList.Count() != count)
    std::printf("registry_calls_bench: expected %d lines, got %d\n", count, f->lstUnInstList.Count());
  return f.registry.CallCount();
}

void BM_SyncList(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  FakeForm f;
  Register(f, count);
  long calls = 0;
  for (auto _ : state) {
    f.registry.ResetCallCount();
    f->bntSyncClick();
    calls = f.registry.CallCount();
    benchmark::DoNotOptimize(f.lstUnInstList.lines.data());
  }
  state.counters["calls"] = static_cast<double>(calls);
  state.counters["calls_per_program"] = static_cast<double>(calls) / count;
  state.SetItemsProcessed(state.iterations() * count);
}
// The fake looks children up one by one, so its own cost grows with the square of the list;
// the sizes stay small because the figure is the count, which does not depend on them.
BENCHMARK(BM_SyncList)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  constexpr int kSmall = 200, kLarge = 1000;
  const long small = CallsOfOneRefresh(kSmall);
  const long large = CallsOfOneRefresh(kLarge);
  const double perProgram = static_cast<double>(large - small) / (kLarge - kSmall);
  // Five: the name's enumeration, the open below the Uninstall key held meanwhile, the presence
  // of "UninstallString", "DisplayName" read in one call, and the close.
  constexpr double kGoal = 5.0;
  std::printf("FIGURE  %-36s %.1f calls per listed program (fixed part %ld calls; %ld calls for %d)  goal <= %.0f %s\n",
              "registry calls per listed program", perProgram, small - static_cast<long>(perProgram * kSmall), large,
              kLarge, kGoal, perProgram <= kGoal ? "met" : "MISSED");
  return 0;
}
