// Keeping a version of a chapter, on the desk's writer thread: ours (the version coded against
// the chapter's version before, appended and flushed) against a plain copy of the chapter's
// bytes written to a file of its own and flushed, what keeping versions as files would cost.
// Rounds interleave both; "ratio" is ours over the peer.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>

#include "chapter_history/version_store.h"
#include "platform/core/file.h"
#include "platform/core/native_path.h"

namespace {

namespace fs = std::filesystem;
using chapter_history::VersionReason;
using chapter_history::VersionStore;

// A chapter as its record holds it: two-byte characters with paragraph breaks.
std::string ChapterText(std::mt19937& random, size_t characters) {
  std::string text;
  for (size_t i = 0; i < characters; ++i) {
    if (random() % 120 == 0) {
      text += "\r\n";
      continue;
    }
    const uint32_t pick = random() % 3000;
    text.push_back(static_cast<char>(0xB0 + pick / 94 % 40));
    text.push_back(static_cast<char>(0xA1 + pick % 94));
  }
  return text;
}

template <typename Work>
double Seconds(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool WriteAndFlush(const std::string& gbk_path, const std::string& bytes) {
  platform::FileResult opened =
      platform::File::Open(gbk_path, platform::FileAccess::kWrite, platform::ShareMode::kExclusive,
                           platform::Disposition::kCreateAlways);
  if (!opened.ok()) return false;
  const auto size = static_cast<int64_t>(bytes.size());
  return opened.file->WriteAt(0, bytes.data(), size) == size && opened.file->Flush();
}

// Arg 0: the chapter's characters; arg 1: 1 when each version changes a few hundred characters
// in the middle (typing), 0 when each is a text of its own (whole versions).
void BM_KeepVersion(benchmark::State& state) {
  const fs::path folder =
      fs::temp_directory_path() / ("inkstone-version-bench-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const std::string store_path = platform::GbkPathOf(folder / "history.dat");
  const std::string copy_path = platform::GbkPathOf(folder / "copy.txt");
  chapter_history::OpenReport report;
  auto store = VersionStore::Open(store_path, &report);
  if (!store) return state.SkipWithError("no store");
  std::mt19937 random(1);
  const auto characters = static_cast<size_t>(state.range(0));
  const bool edited = state.range(1) == 1;
  std::string text = ChapterText(random, characters);
  double ours = 0, peer = 0;
  int64_t time = 1;
  for (auto _ : state) {
    state.PauseTiming();
    if (edited) {
      const size_t at = (random() % text.size()) & ~size_t{1};
      text.insert(at, ChapterText(random, 300));
    } else {
      text = ChapterText(random, characters);
    }
    state.ResumeTiming();
    bool kept = false;
    const double seconds = Seconds([&] {
      kept = store->Keep(1, {"chapter", text}, ++time, VersionReason::kWhileEditing, 0);
    });
    if (!kept) return state.SkipWithError("the version was not kept");
    ours += seconds;
    state.SetIterationTime(seconds);
    state.PauseTiming();
    peer += Seconds([&] { WriteAndFlush(copy_path, text); });
    state.ResumeTiming();
  }
  state.counters["store_kb"] = static_cast<double>(store->file_size()) / 1024.0;
  state.counters["peer_ms"] = peer * 1e3 / static_cast<double>(state.iterations());
  state.counters["ratio"] = peer > 0 ? ours / peer : 0;
  store.reset();
  fs::remove_all(folder);
}

}  // namespace

BENCHMARK(BM_KeepVersion)
    ->UseManualTime()
    ->Iterations(40)
    ->ArgNames({"characters", "edited"})
    ->ArgsProduct({{200000, 2000000}, {1, 0}})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
