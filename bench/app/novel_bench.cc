// The writing desk on a long novel, against a bare Qt program that keeps the same novel in
// SQLite (a QTreeWidget of names, a QPlainTextEdit, a QLineEdit), measured side by side:
//
//   CountCharacters  the character count of a chapter of 200,000 or 2,000,000 characters
//                    against a plain byte loop
//   Keystroke        one key typed into a chapter of 200,000 or 2,000,000 characters with the
//                    whole desk running (count, statistics, save and autosave timers) against
//                    the bare Qt text editor; max_ms is our slowest key
//   PacedKeystroke   keys at an author's pace (ten a second) on a slow disk, every flush of the
//                    process made to wait 0, 20 or 100 ms: a key's time runs from the moment it
//                    is due to the moment it is painted, so that a timer's work holding the
//                    window when the key comes counts against it; the median key against the
//                    bare editor's median key. Also: the slowest key, flushes and bytes
//                    written per typed character (any thread), and the flushes and the time
//                    the window's thread spent waiting for the disk (its own flushes and its
//                    waits for the writer)
//   PacedTicks       the same keys, each followed at once by the save and autosave ticks, timed
//                    alone: what the timers cost the window's thread on a slow disk
// (The paced rows start after twenty keys of typing: their figures are an author's typing on.)
//   StartUp          from nothing to the shown window with 5,000 chapters listed and the first
//                    loaded, against the bare program doing the same from SQLite
//   SwitchToLast     a switch to the last chapter from the first: the 5,000th (200,000
//                    characters) of the long novel, or the 2nd (2,000,000) of a novel that is
//                    one pasted chapter
//   FindInNovel      the find window's whole-novel search of a name (5,000 chapters, 15,000,000
//                    characters): every chapter read from its record and searched, against the
//                    bare program reading every text from SQLite and searching its bytes (memmem)
//   ResidentMemory   resident memory of a process with that novel open (each side in a child
//                    process of its own): all of it, and its own (without mapped file pages)
// "ratio" is ours over the peer's.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QEventLoop>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/character_count.h"
#include "app/desk_writer.h"
#include "app/find_in_novel.h"
#include "app/gate_calls.h"
#include "app/termination.h"
#include "bench/app/running_desk.h"
#include "database/database_commands.h"
#include "platform/core/disk_tally.h"
#include "platform/core/native_path.h"
#include "runtime/blocks.h"
#include "runtime/gbk_literal.h"

extern char** environ;

namespace {

using namespace desk_bench;
using runtime::ArgCell;

constexpr int kChapters = 5000;

std::string Gbk(const QString& text) { return platform::Utf8ToGbk(text.toStdString()); }
QString ChapterName(int i) { return QString::fromUtf8("第%1章 夜行").arg(i + 1); }
// The chapters before the last: a few paragraphs each.
QString ShortChapter() { return Chapter().left(3000); }

ArgCell Call(void (*command)(ArgCell*, int32_t, const ArgCell*), std::vector<ArgCell> args = {}) {
  ArgCell result;
  command(&result, static_cast<int32_t>(args.size()), args.data());
  return result;
}

// A program folder whose chapter database holds a novel of `chapters` chapters, the last of
// `last_characters`, and the same novel in SQLite.
struct Novel {
  fs::path folder = desk_tests::MakeProgramFolder();
  fs::path sqlite = folder / "novel.sqlite";
  int chapters;

  Novel(int chapter_count, int64_t last_characters) : chapters(chapter_count) {
    const runtime::Text path(platform::GbkPathOf(folder / fs::u8path("小说数据/data.edb")));
    Call(&database::OpenDatabase, {path.Arg()});
    const runtime::Text name_field(runtime::Gbk("姓名"));
    const runtime::Text text_field(runtime::Gbk("学号"));
    sqlite3* db = nullptr;
    sqlite3_open(sqlite.c_str(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; CREATE TABLE chapter(name TEXT, text BLOB); BEGIN;",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO chapter VALUES(?1, ?2)", -1, &insert, nullptr);
    for (int i = 0; i < chapters; ++i) {
      const std::string name = Gbk(ChapterName(i));
      const std::string text = Gbk(i == chapters - 1 ? Chapter(last_characters) : ShortChapter());
      Call(&database::AppendBlankRecord);
      const runtime::Text name_value(name);
      const runtime::ByteSet text_value(
          {reinterpret_cast<const uint8_t*>(text.data()), text.size()});
      Call(&database::ModifyFields,
           {ArgCell{}, name_field.Arg(), name_value.Arg(), text_field.Arg(), text_value.Arg()});
      sqlite3_bind_blob(insert, 1, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
      sqlite3_bind_blob(insert, 2, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    database::DatabaseList::Instance().CloseAll();
  }
  ~Novel() { fs::remove_all(folder); }
};

Novel& TheNovel() {
  static Novel* novel = new Novel(kChapters, kCharacters);
  return *novel;
}

// A whole novel pasted into one chapter.
Novel& BigChapterNovel() {
  static Novel* novel = new Novel(2, 2000000);
  return *novel;
}

// The peer: the same window's three parts over the SQLite copy of the novel.
class BareProgram {
 public:
  explicit BareProgram(const fs::path& sqlite) {
    sqlite3_open(sqlite.c_str(), &db_);
    // The desk's window and parts at its start size.
    window_.resize(960, 580);
    list_ = new QTreeWidget(&window_);
    list_->setGeometry(9, 99, 111, 458);
    list_->setHeaderHidden(true);
    name_ = new QLineEdit(&window_);
    name_->setGeometry(8, 40, 109, 24);
    text_ = new QPlainTextEdit(&window_);
    text_->setGeometry(133, 42, 651, 515);
    sqlite3_stmt* names = nullptr;
    sqlite3_prepare_v2(db_, "SELECT name FROM chapter ORDER BY rowid", -1, &names, nullptr);
    while (sqlite3_step(names) == SQLITE_ROW) {
      const auto* bytes = static_cast<const char*>(sqlite3_column_blob(names, 0));
      list_->addTopLevelItem(new QTreeWidgetItem({QString::fromStdString(
          platform::GbkToUtf8(std::string(bytes, sqlite3_column_bytes(names, 0))))}));
    }
    sqlite3_finalize(names);
    Load(0);
    window_.show();
  }
  ~BareProgram() { sqlite3_close(db_); }
  QWidget* window() { return &window_; }
  QPlainTextEdit* text() { return text_; }

  void Load(int item) {
    sqlite3_stmt* row = nullptr;
    sqlite3_prepare_v2(db_, "SELECT name, text FROM chapter WHERE rowid = ?1", -1, &row, nullptr);
    sqlite3_bind_int(row, 1, item + 1);
    if (sqlite3_step(row) == SQLITE_ROW) {
      const auto column = [&](int i) {
        return QString::fromStdString(platform::GbkToUtf8(std::string(
            static_cast<const char*>(sqlite3_column_blob(row, i)), sqlite3_column_bytes(row, i))));
      };
      text_->setPlainText(column(1));
      name_->setText(column(0));
    }
    sqlite3_finalize(row);
    list_->setCurrentItem(list_->topLevelItem(item));
  }

 private:
  sqlite3* db_ = nullptr;
  QWidget window_;
  QTreeWidget* list_;
  QLineEdit* name_;
  QPlainTextEdit* text_;
};

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void ShowNow(QWidget* window) {
  window->show();
  if (QTest::qWaitForWindowExposed(window)) window->repaint();
}

void Report(benchmark::State& state, double ours, double peer) {
  const double iterations =
      static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
  state.counters["peer_ms"] = benchmark::Counter(peer * 1e3 / iterations);
  state.counters["ratio"] = benchmark::Counter(peer > 0 ? ours / peer : 0);
}

void BM_CountCharacters(benchmark::State& state) {
  const std::string text = Gbk(Chapter(state.range(0)));  // two bytes a character
  double ours = 0, peer = 0;
  for (auto _ : state) {
    int64_t count = 0;
    const double seconds = Seconds([&] { count = app::CountCharacters(text); });
    benchmark::DoNotOptimize(count);
    ours += seconds;
    state.SetIterationTime(seconds);
    peer += Seconds([&] {
      int64_t bytes = 0;
      for (char byte : text) bytes += byte != ' ';
      benchmark::DoNotOptimize(bytes);
    });
  }
  state.counters["bytes"] = static_cast<double>(text.size());
  Report(state, ours, peer);
}

void BM_Keystroke(benchmark::State& state) {
  RunningDesk desk;
  if (!desk.loaded()) return state.SkipWithError("the writing window did not load");
  desk.OpenLongChapter(state.range(0));
  // The text box selects its whole text when it gains the focus: once it has, the caret goes to
  // the end, so that the keys are typed on into the chapter instead of replacing it.
  QApplication::processEvents();
  qobject_cast<QPlainTextEdit*>(desk.text_box())->moveCursor(QTextCursor::End);
  QTest::keyClick(desk.text_box(), Qt::Key_A);  // the statistics timers run from here on
  QPlainTextEdit bare;
  bare.setGeometry(10, 10, 651, 515);  // the desk's text box at its start size
  bare.setPlainText(Chapter(state.range(0)));
  bare.moveCursor(QTextCursor::End);
  bare.show();
  QApplication::processEvents();
  double ours = 0, peer = 0, slowest = 0;
  for (auto _ : state) {
    // A key, and what the desk does for it: the timers a key arms run in the next round.
    const double seconds = Seconds([&] {
      QTest::keyClick(desk.text_box(), Qt::Key_A);
      QApplication::processEvents();
    });
    ours += seconds;
    slowest = std::max(slowest, seconds);
    state.SetIterationTime(seconds);
    peer += Seconds([&] {
      QTest::keyClick(&bare, Qt::Key_A);
      QApplication::processEvents();
    });
  }
  state.counters["max_ms"] = slowest * 1e3;
  if (ReadText(unit::kTextBox, property::kContent).View().size() <
      static_cast<size_t>(state.range(0)))
    state.SkipWithError("the chapter's text was replaced, not typed on");
  Report(state, ours, peer);
}

// Runs the event loop (the desk's timers, the writer's answers) until `due`: asleep until 2 ms
// before, then spinning through the events, so that the key comes at its moment unless a
// timer's work holds the window then (a sleeping loop would wake late by the system's slack).
void RunEventsUntil(std::chrono::steady_clock::time_point due) {
  const auto early = due - std::chrono::milliseconds(2);
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      early - std::chrono::steady_clock::now());
  if (left.count() > 0) {
    QEventLoop loop;
    QTimer::singleShot(left, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
  }
  while (std::chrono::steady_clock::now() < due) QApplication::processEvents();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// What the disk was asked while the keys of a paced row were typed.
struct DiskWork {
  platform::DiskTally window = platform::ThisThreadsDiskTally();
  platform::DiskTally process = platform::ProcessDiskTally();
  int64_t window_waits = app::DeskWriter().owner_wait_nanoseconds();

  void Report(benchmark::State& state, double keys) const {
    const platform::DiskTally window_now = platform::ThisThreadsDiskTally() - window;
    const platform::DiskTally process_now = platform::ProcessDiskTally() - process;
    const int64_t waits = app::DeskWriter().owner_wait_nanoseconds() - window_waits;
    state.counters["flushes_per_char"] = static_cast<double>(process_now.flushes) / keys;
    state.counters["bytes_per_char"] = static_cast<double>(process_now.bytes_written) / keys;
    state.counters["window_flushes"] = static_cast<double>(window_now.flushes);
    state.counters["window_wait_ms"] =
        static_cast<double>(window_now.flush_nanoseconds + waits) / 1e6;
  }
};

// Arguments: the flush delay in milliseconds, the chapter's characters; `ticks_alone` times
// the save and autosave ticks right after each key instead of the key.
void PacedKeys(benchmark::State& state, bool ticks_alone) {
  // Ten characters a second on average, each key 75 to 125 ms after the one before: an
  // author's keys fall at any moment of the desk's timers.
  std::mt19937 random(7);
  std::uniform_int_distribution<int> gap_ms(75, 125);
  const auto pace = [&] { return std::chrono::milliseconds(gap_ms(random)); };
  RunningDesk desk;
  if (!desk.loaded()) return state.SkipWithError("the writing window did not load");
  desk.OpenLongChapter(state.range(1));
  QPlainTextEdit bare;
  bare.setGeometry(10, 10, 651, 515);
  bare.setPlainText(Chapter(state.range(1)));
  bare.moveCursor(QTextCursor::End);
  bare.show();
  QApplication::processEvents();
  app::FinishDeskWrites();
  // The text box selects its whole text when it gains the focus: the author clicks at the end
  // and types on there, as the bare editor does.
  QApplication::processEvents();
  qobject_cast<QPlainTextEdit*>(desk.text_box())->moveCursor(QTextCursor::End);
  platform::SetFlushDelay(std::chrono::milliseconds(state.range(0)));
  auto due = std::chrono::steady_clock::now() + pace();
  // Typing under way before the figures count: the steady state of an author typing on, not
  // the first key's start.
  for (int key = 0; key < 20; ++key, due += pace()) {
    RunEventsUntil(due);
    QTest::keyClick(desk.text_box(), Qt::Key_A);
  }
  const DiskWork before;
  std::vector<double> ours, peer;
  // A key's time runs from the moment it is due; the bare editor's key is due half-way to the
  // next one of ours.
  const auto since = [](std::chrono::steady_clock::time_point moment) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - moment).count();
  };
  for (auto _ : state) {
    RunEventsUntil(due);
    QTest::keyClick(desk.text_box(), Qt::Key_A);
    double seconds = 0;
    if (ticks_alone) {
      seconds = Seconds(&RunningDesk::Ticks);
    } else {
      QApplication::processEvents();
      seconds = since(due);
    }
    ours.push_back(seconds);
    state.SetIterationTime(seconds);
    const auto gap = pace();
    const auto peer_due = due + gap / 2;
    RunEventsUntil(peer_due);
    QTest::keyClick(&bare, Qt::Key_A);
    QApplication::processEvents();
    peer.push_back(since(peer_due));
    due += gap;
  }
  const double keys = static_cast<double>(ours.size());
  if (ReadText(unit::kTextBox, property::kContent).View().size() <
      static_cast<size_t>(state.range(1)))
    state.SkipWithError("the chapter's text was replaced, not typed on");
  before.Report(state, keys);
  app::FinishDeskWrites();
  platform::SetFlushDelay(std::chrono::milliseconds(0));
  // The median key against the bare editor's median key: one stray pause of the machine
  // moves a mean, not this.
  const double peer_median = Median(peer);
  state.counters["peer_ms"] = peer_median * 1e3;
  state.counters["ratio"] = peer_median > 0 ? Median(ours) / peer_median : 0;
  state.counters["max_ms"] = *std::max_element(ours.begin(), ours.end()) * 1e3;
}

void BM_PacedKeystroke(benchmark::State& state) { PacedKeys(state, false); }
void BM_PacedTicks(benchmark::State& state) { PacedKeys(state, true); }

void BM_StartUp(benchmark::State& state) {
  Novel& novel = TheNovel();
  App();
  double ours = 0, peer = 0;
  for (auto _ : state) {
    {
      std::unique_ptr<RunningDesk> desk;
      const double seconds = Seconds([&] {
        desk = std::make_unique<RunningDesk>(novel.folder, false);
        ShowNow(desk->window());
      });
      ours += seconds;
      state.SetIterationTime(seconds);
      app::SkipExitWork();  // no backups and no pack between rounds
    }
    std::unique_ptr<BareProgram> bare;
    peer += Seconds([&] {
      bare = std::make_unique<BareProgram>(novel.sqlite);
      ShowNow(bare->window());
    });
  }
  state.counters["chapters"] = kChapters;
  Report(state, ours, peer);
}

void BM_SwitchToLast(benchmark::State& state) {
  Novel& novel = state.range(0) == kCharacters ? TheNovel() : BigChapterNovel();
  const int last = novel.chapters - 1;
  RunningDesk desk(novel.folder, false);
  if (!desk.loaded()) return state.SkipWithError("the writing window did not load");
  BareProgram bare(novel.sqlite);
  double ours = 0, peer = 0;
  for (auto _ : state) {
    const double seconds = Seconds([&] {
      WriteInt(unit::kChapterList, property::kCurrentItem, last);
      QApplication::processEvents();
    });
    ours += seconds;
    state.SetIterationTime(seconds);
    peer += Seconds([&] {
      bare.Load(last);
      QApplication::processEvents();
    });
    state.PauseTiming();
    WriteInt(unit::kChapterList, property::kCurrentItem, 0);
    bare.Load(0);
    QApplication::processEvents();
    state.ResumeTiming();
  }
  app::SkipExitWork();
  Report(state, ours, peer);
}

void BM_FindInNovel(benchmark::State& state) {
  Novel& novel = TheNovel();
  RunningDesk desk(novel.folder, false);
  if (!desk.loaded()) return state.SkipWithError("the writing window did not load");
  QString error;
  const std::optional<find_replace::Matcher> matcher =
      find_replace::Matcher::Make(QString::fromUtf8("林风"), {}, &error);
  // A name the novel does not hold: both sides read and search every text to the end.
  const std::string word = platform::Utf8ToGbk("林风");
  sqlite3* db = nullptr;
  sqlite3_open(novel.sqlite.c_str(), &db);
  double ours = 0, peer = 0;
  size_t hits = 0, peer_hits = 0;
  for (auto _ : state) {
    const double seconds = Seconds([&] {
      const std::vector<find_replace::ChapterText> chapters = app::ChaptersToSearch(false);
      hits = find_replace::SearchNovel(chapters, *matcher, false).hits.size();
    });
    ours += seconds;
    state.SetIterationTime(seconds);
    peer += Seconds([&] {
      peer_hits = 0;
      sqlite3_stmt* texts = nullptr;
      sqlite3_prepare_v2(db, "SELECT text FROM chapter ORDER BY rowid", -1, &texts, nullptr);
      while (sqlite3_step(texts) == SQLITE_ROW) {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(texts, 0));
        const size_t size = static_cast<size_t>(sqlite3_column_bytes(texts, 0));
        for (size_t at = 0; at < size;) {
          const void* found = memmem(bytes + at, size - at, word.data(), word.size());
          if (found == nullptr) break;
          ++peer_hits;
          at = static_cast<size_t>(static_cast<const char*>(found) - bytes) + word.size();
        }
      }
      sqlite3_finalize(texts);
    });
  }
  sqlite3_close(db);
  if (hits != peer_hits) state.SkipWithError("the two searches found different hits");
  app::SkipExitWork();
  Report(state, ours, peer);
}

// Resident kilobytes of this process of one kind: "VmRSS:" all, "RssAnon:" its own memory
// (without the pages of mapped files, which the system's file cache shares and may drop).
long ResidentKb(const std::string& kind) {
  std::ifstream status("/proc/self/status");
  for (std::string key; status >> key;) {
    long value = 0;
    if (key == kind && status >> value) return value;
  }
  return -1;
}

struct Resident {
  long all_kb = -1;
  long own_kb = -1;
};

// Runs this program in a child with `mode`: it opens the novel one way, switches to the last
// chapter and answers its resident sizes.
Resident ChildResident(const char* mode) {
  const fs::path answer = TheNovel().folder / "resident.txt";
  fs::remove(answer);
  std::string self = fs::read_symlink("/proc/self/exe").string();
  std::string flag = "--resident";
  std::string which = mode;
  std::string folder = TheNovel().folder.string();
  char* argv[] = {self.data(), flag.data(), which.data(), folder.data(), nullptr};
  pid_t pid = -1;
  if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, environ) != 0) return {};
  int status = 0;
  waitpid(pid, &status, 0);
  Resident resident;
  std::ifstream(answer) >> resident.all_kb >> resident.own_kb;
  return resident;
}

void BM_ResidentMemory(benchmark::State& state) {
  TheNovel();
  for (auto _ : state) {
    const Resident ours = ChildResident("desk");
    const Resident peer = ChildResident("bare");
    state.counters["resident_MB"] = static_cast<double>(ours.all_kb) / 1024.0;
    state.counters["peer_resident_MB"] = static_cast<double>(peer.all_kb) / 1024.0;
    state.counters["own_MB"] = static_cast<double>(ours.own_kb) / 1024.0;
    state.counters["peer_own_MB"] = static_cast<double>(peer.own_kb) / 1024.0;
    state.counters["ratio"] =
        peer.all_kb > 0 ? static_cast<double>(ours.all_kb) / static_cast<double>(peer.all_kb) : 0;
    state.counters["own_ratio"] =
        peer.own_kb > 0 ? static_cast<double>(ours.own_kb) / static_cast<double>(peer.own_kb) : 0;
  }
}

// The child's side of ChildResidentKb.
int MeasureResident(const std::string& mode, const fs::path& folder) {
  App();
  Resident resident;
  if (mode == "desk") {
    RunningDesk desk(folder, false);
    ShowNow(desk.window());
    WriteInt(unit::kChapterList, property::kCurrentItem, kChapters - 1);
    QApplication::processEvents();
    resident = {ResidentKb("VmRSS:"), ResidentKb("RssAnon:")};
    app::SkipExitWork();
  } else {
    BareProgram bare(folder / "novel.sqlite");
    ShowNow(bare.window());
    bare.Load(kChapters - 1);
    QApplication::processEvents();
    resident = {ResidentKb("VmRSS:"), ResidentKb("RssAnon:")};
  }
  std::ofstream(folder / "resident.txt") << resident.all_kb << ' ' << resident.own_kb;
  std::fflush(nullptr);
  std::_Exit(0);
}

}  // namespace

BENCHMARK(BM_CountCharacters)
    ->UseManualTime()
    ->Arg(kCharacters)
    ->Arg(2000000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Keystroke)
    ->UseManualTime()
    ->Iterations(200)
    ->Arg(kCharacters)
    ->Arg(2000000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PacedKeystroke)
    ->UseManualTime()
    ->Iterations(100)
    ->ArgNames({"flush_ms", "characters"})
    ->ArgsProduct({{0, 20, 100}, {kCharacters, 2000000}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PacedTicks)
    ->UseManualTime()
    ->Iterations(50)
    ->ArgNames({"flush_ms", "characters"})
    ->ArgsProduct({{0, 20, 100}, {kCharacters, 2000000}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StartUp)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SwitchToLast)
    ->UseManualTime()
    ->Iterations(20)
    ->Arg(kCharacters)
    ->Arg(2000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindInNovel)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResidentMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  // The child's side: "--resident <mode> <the novel's folder>".
  if (argc == 4 && std::string(argv[1]) == "--resident") return MeasureResident(argv[2], argv[3]);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
