// The writing desk's two saving timers on a 200,000-character chapter, with the whole
// program running (its real window, routines and database), against what a plain program
// would do on each tick: an UPDATE of the same text into one SQLite row (WAL,
// synchronous=NORMAL) plus a raw rewrite of the same autosave file.
//
//   Ticks/typing  one key typed between ticks: the chapter save (100 ms timer) and the
//                 autosave (10 ms timer) each run once; the key itself is not timed.
//   Ticks/idle    nothing typed: both ticks again on an unchanged chapter.
//   IdleMinute    one minute of the event loop with the chapter open and nothing typed:
//                 bytes the process wrote to disk, CPU time and wakeups per second, against
//                 a bare Qt text editor holding the same text beside a label updated every
//                 second, for the same minute.
// "ratio" is ours over the peer's, measured side by side in the same run.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTime>
#include <QTimer>
#include <chrono>
#include <fstream>
#include <string>

#include "app/main_window_ids.h"
#include "app/routines.h"
#include "app/writing_desk.h"
#include "bench/app/running_desk.h"
#include "database/database_list.h"
#include "forms/forms_runtime.h"
#include "platform/core/code_page.h"
#include "runtime/owned_blocks.h"
#include "runtime/runtime_state.h"
#include "runtime/startup.h"
#include "tests/app/desk_test.h"

namespace {

using namespace desk_bench;

// What a plain program does on each tick: the whole text into a SQLite row and the autosave
// file rewritten.
class PlainSaver {
 public:
  explicit PlainSaver(const fs::path& folder) : autosave_(folder / "peer-autosave.txt") {
    sqlite3_open((folder / "peer.sqlite").c_str(), &db_);
    sqlite3_exec(
        db_,
        "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
        "CREATE TABLE chapter(name TEXT, text BLOB); INSERT INTO chapter VALUES('长篇', x'');",
        nullptr, nullptr, nullptr);
    sqlite3_prepare_v2(db_, "UPDATE chapter SET name = ?1, text = ?2 WHERE rowid = 1", -1, &update_,
                       nullptr);
    text_ = platform::Utf8ToGbk(Chapter().toStdString());
  }
  ~PlainSaver() {
    sqlite3_finalize(update_);
    sqlite3_close(db_);
  }
  void Type() { text_ += 'a'; }
  void Tick() {
    sqlite3_bind_text(update_, 1, "长篇", -1, SQLITE_STATIC);
    sqlite3_bind_blob(update_, 2, text_.data(), static_cast<int>(text_.size()), SQLITE_STATIC);
    sqlite3_step(update_);
    sqlite3_reset(update_);
    std::ofstream(autosave_, std::ios::binary | std::ios::trunc)
        .write(text_.data(), static_cast<std::streamsize>(text_.size()));
  }

 private:
  sqlite3* db_ = nullptr;
  sqlite3_stmt* update_ = nullptr;
  fs::path autosave_;
  std::string text_;
};

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Argument: 1 a key is typed before every pair of ticks, 0 none.
void BM_Ticks(benchmark::State& state) {
  RunningDesk desk;
  if (!desk.loaded()) return state.SkipWithError("the writing window did not load");
  desk.OpenLongChapter();
  PlainSaver peer(desk.folder());
  const bool typing = state.range(0) != 0;
  double ours_seconds = 0;
  double peer_seconds = 0;
  for (auto _ : state) {
    if (typing) {
      QTest::keyClick(desk.text_box(), Qt::Key_A);
      peer.Type();
    }
    const double ours = Seconds(&RunningDesk::Ticks);
    ours_seconds += ours;
    state.SetIterationTime(ours);
    peer_seconds += Seconds([&] { peer.Tick(); });
  }
  const double iterations =
      static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
  state.counters["peer_us"] = benchmark::Counter(peer_seconds * 1e6 / iterations);
  state.counters["ratio"] = benchmark::Counter(peer_seconds > 0 ? ours_seconds / peer_seconds : 0);
}

// Bytes this process has written to the storage layer so far.
int64_t WrittenBytes() {
  std::ifstream io("/proc/self/io");
  for (std::string key; io >> key;) {
    int64_t value = 0;
    io >> value;
    if (key == "write_bytes:") return value;
  }
  return -1;
}

struct Usage {
  double cpu_seconds = 0;
  int64_t wakeups = 0;  // the times the process gave up the processor to wait (voluntary switches)
};

Usage UsageNow() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return {static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
              static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6,
          static_cast<int64_t>(usage.ru_nvcsw)};
}

// The event loop for `seconds`; gives what it took.
Usage IdleFor(int seconds) {
  const Usage before = UsageNow();
  QEventLoop loop;
  QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
  loop.exec();
  const Usage after = UsageNow();
  return {after.cpu_seconds - before.cpu_seconds, after.wakeups - before.wakeups};
}

// The peer: a bare editor holding the same chapter, with a clock label updated every second.
Usage IdleBareEditor(int seconds) {
  QWidget window;
  QPlainTextEdit editor(&window);
  editor.setPlainText(Chapter());
  QLabel clock(&window);
  QTimer every_second;
  QObject::connect(&every_second, &QTimer::timeout,
                   [&] { clock.setText(QTime::currentTime().toString()); });
  every_second.start(1000);
  window.show();
  editor.setFocus();
  return IdleFor(seconds);
}

void BM_IdleMinute(benchmark::State& state) {
  const int seconds = static_cast<int>(state.range(0));
  for (auto _ : state) {
    Usage ours;
    int64_t ours_bytes = 0;
    {
      RunningDesk desk;
      if (!desk.loaded()) return state.SkipWithError("the writing window did not load");
      desk.OpenLongChapter();
      IdleFor(2);  // the first ticks after loading write the loaded text once, then stop
      sync();
      const int64_t written = WrittenBytes();
      ours = IdleFor(seconds);
      sync();
      ours_bytes = WrittenBytes() - written;
    }
    const Usage bare = IdleBareEditor(seconds);
    state.counters["disk_bytes"] = benchmark::Counter(static_cast<double>(ours_bytes));
    state.counters["cpu_ms"] = benchmark::Counter(ours.cpu_seconds * 1e3);
    state.counters["peer_cpu_ms"] = benchmark::Counter(bare.cpu_seconds * 1e3);
    state.counters["ratio"] =
        benchmark::Counter(bare.cpu_seconds > 0 ? ours.cpu_seconds / bare.cpu_seconds : 0);
    state.counters["wakeups_per_s"] =
        benchmark::Counter(static_cast<double>(ours.wakeups) / seconds);
    state.counters["peer_wakeups_per_s"] =
        benchmark::Counter(static_cast<double>(bare.wakeups) / seconds);
  }
}

}  // namespace

// A fixed count: idle ticks of ours take nanoseconds, so a time goal would run the peer's
// millisecond ticks for ever.
BENCHMARK(BM_Ticks)->ArgName("typing")->Arg(1)->Arg(0)->UseManualTime()->Iterations(500)->Unit(
    benchmark::kMicrosecond);
BENCHMARK(BM_IdleMinute)->ArgName("seconds")->Arg(60)->Iterations(1)->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
