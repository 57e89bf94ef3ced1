// The database against its peers: the application's 100 ms chapter save, start-up listing and
// the pack at exit. SaveChapter/<bytes>/<engine> compares
//   inkstone  ModifyFields of the chapter text (a byte set, through a sub-statement, as the
//             application passes it) and name into the current record;
//   sqlite    an UPDATE of the same bytes into one row (WAL, synchronous=NORMAL);
//   raw       one positioned write of the same bytes: the floor;
//   inkstone-exclusive  as inkstone, the database opened exclusively (share mode 4): no lock
//             calls, as an application that keeps its novel to itself could choose.
// Two kinds of save:
//   SaveChapter/<bytes>/<engine>        the timer's tick while the author pauses: the same
//                                       name and text again (most of the ten saves a second);
//   SaveChapterEdited/<bytes>/<engine>  one byte of the text changed before every save, as
//                                       while the author types.
// SaveSideBySide/<kind>/<bytes>/sqlite-<synchronous> runs inkstone-exclusive and SQLite in turn
// within each round and reports the ratio of their times.
// SaveThroughWriter/edited/<bytes>/sqlite-FULL: the desk's way, the save handed to a writer
// thread: the time on the thread that saves (the text copied and handed over) against SQLite's
// commit with a flush on that thread; writer_ms is what the writer's thread spent on each save
// (its flush included), every save done whole before the next round.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "database/creator.h"
#include "database/database.h"
#include "database/database_commands.h"
#include "database/database_list.h"
#include "disk_writer/disk_writer.h"
#include "platform/core/file.h"
#include "platform/core/native_path.h"
#include "runtime/arg_cell.h"
#include "runtime/blocks.h"
#include "runtime/gbk_literal.h"
#include "runtime/owned_blocks.h"

namespace {

namespace fs = std::filesystem;
using runtime::ArgCell;

fs::path BenchFolder() {
  static const fs::path folder = [] {
    fs::path path = fs::temp_directory_path() / ("inkstone-bench-" + std::to_string(getpid()));
    fs::remove_all(path);
    fs::create_directories(path);
    return path;
  }();
  return folder;
}

std::string ChapterText(size_t bytes) {
  const std::string sentence = runtime::Gbk("天地玄黄，宇宙洪荒。日月盈昃，辰宿列张。");
  std::string text;
  while (text.size() < bytes) text += sentence;
  text.resize(bytes);
  return text;
}

ArgCell Call(void (*command)(ArgCell*, int32_t, const ArgCell*), std::vector<ArgCell> args = {}) {
  ArgCell result;
  command(&result, static_cast<int32_t>(args.size()), args.data());
  return result;
}

// The sub-statement the application passes for the text: it returns a new byte set.
struct TextSource {
  const std::string* text;
};
ArgCell TextAsByteSet(const void* frame) {
  const std::string& text = *static_cast<const TextSource*>(frame)->text;
  return ArgCell::ByteSet(runtime::MakeByteSet(text.data(), static_cast<int32_t>(text.size())));
}

// An empty chapter database (name and text fields) in the bench folder, none open.
fs::path FreshChapterDatabase(const std::string& name) {
  database::DatabaseList::Instance().CloseAll();
  const fs::path path = BenchFolder() / (name + ".edb");
  fs::remove(path);
  fs::remove(fs::path(path).replace_extension(".edt"));
  database::CreateDatabase(platform::GbkPathOf(path),
                           {{runtime::Gbk("姓名"), database::kMemoField, 0},
                            {runtime::Gbk("学号"), database::kByteSetField, 0}});
  return path;
}

// The chapter record of a fresh chapter database, saved as the application saves it.
class InkstoneSaver {
 public:
  InkstoneSaver(size_t bytes, bool exclusive) {
    const fs::path path = FreshChapterDatabase("save-" + std::to_string(bytes));
    runtime::Text path_text(platform::GbkPathOf(path));
    Call(&database::OpenDatabase,
         {path_text.Arg(), ArgCell(), ArgCell(), exclusive ? ArgCell::Int(4) : ArgCell()});
    Call(&database::AppendBlankRecord);
  }
  ~InkstoneSaver() { database::DatabaseList::Instance().CloseAll(); }

  bool Save(const std::string& text) {
    const TextSource source{&text};
    const runtime::SubStatement statement{&TextAsByteSet, &source};
    return Call(&database::ModifyFields,
                {ArgCell(), text_field_.Arg(), ArgCell::Statement(&statement), name_field_.Arg(),
                 name_.Arg()})
               .low != 0;
  }

 private:
  runtime::Text text_field_{runtime::Gbk("学号")};
  runtime::Text name_field_{runtime::Gbk("姓名")};
  runtime::Text name_{runtime::Gbk("第一章 开端")};
};

// The same chapter as one row of SQLite (WAL), with `synchronous` NORMAL (no flush per commit)
// or FULL (a flush per commit, as every save of ours that changes text).
class SqliteSaver {
 public:
  SqliteSaver(size_t bytes, const std::string& synchronous) {
    const fs::path path = BenchFolder() / ("save-" + std::to_string(bytes) + ".sqlite");
    fs::remove(path);
    fs::remove(path.string() + "-wal");
    fs::remove(path.string() + "-shm");
    sqlite3_open(path.c_str(), &db_);
    sqlite3_exec(db_,
                 ("PRAGMA journal_mode=WAL; PRAGMA synchronous=" + synchronous +
                  "; CREATE TABLE chapters(id INTEGER PRIMARY KEY, name TEXT, body BLOB);"
                  "INSERT INTO chapters VALUES(1, '', x'');")
                     .c_str(),
                 nullptr, nullptr, nullptr);
    sqlite3_prepare_v2(db_, "UPDATE chapters SET body = ?1, name = ?2 WHERE id = 1", -1, &update_,
                       nullptr);
  }
  ~SqliteSaver() {
    sqlite3_finalize(update_);
    sqlite3_close(db_);
  }

  bool Save(const std::string& text) {
    sqlite3_bind_blob(update_, 1, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
    sqlite3_bind_text(update_, 2, name_.data(), static_cast<int>(name_.size()), SQLITE_STATIC);
    const bool done = sqlite3_step(update_) == SQLITE_DONE;
    sqlite3_reset(update_);
    return done;
  }

 private:
  sqlite3* db_ = nullptr;
  sqlite3_stmt* update_ = nullptr;
  const std::string name_ = runtime::Gbk("第一章 开端");
};

void SaveInkstone(benchmark::State& state, size_t bytes, bool edited, bool exclusive) {
  InkstoneSaver saver(bytes, exclusive);
  std::string text = ChapterText(bytes);
  size_t i = 0;
  for (auto _ : state) {
    if (edited) text[i++ % text.size()] ^= 1;
    if (!saver.Save(text)) state.SkipWithError("ModifyFields failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void SaveSqlite(benchmark::State& state, size_t bytes, bool edited) {
  SqliteSaver saver(bytes, "NORMAL");
  std::string text = ChapterText(bytes);
  size_t i = 0;
  for (auto _ : state) {
    if (edited) text[i++ % text.size()] ^= 1;
    if (!saver.Save(text)) state.SkipWithError("UPDATE failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

double Seconds(const std::function<bool()>& save, bool* ok) {
  const auto start = std::chrono::steady_clock::now();
  *ok = save() && *ok;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Ours (opened exclusively, as the desk opens it) and SQLite's save side by side, one after
// the other in every round, so that a busy machine slows both alike; "ratio" is ours over the
// peer's.
void SaveSideBySide(benchmark::State& state, size_t bytes, bool edited,
                    const std::string& synchronous) {
  InkstoneSaver ours(bytes, true);
  SqliteSaver peer(bytes, synchronous);
  std::string text = ChapterText(bytes);
  size_t i = 0;
  double ours_seconds = 0, peer_seconds = 0;
  bool ok = true;
  for (auto _ : state) {
    if (edited) text[i++ % text.size()] ^= 1;
    const double seconds = Seconds([&] { return ours.Save(text); }, &ok);
    ours_seconds += seconds;
    state.SetIterationTime(seconds);
    peer_seconds += Seconds([&] { return peer.Save(text); }, &ok);
  }
  if (!ok) state.SkipWithError("a save failed");
  state.counters["peer_ms"] = peer_seconds * 1e3 / static_cast<double>(state.iterations());
  state.counters["ratio"] = peer_seconds > 0 ? ours_seconds / peer_seconds : 0;
}

void SaveThroughWriter(benchmark::State& state, size_t bytes) {
  InkstoneSaver ours(bytes, true);
  database::Database* chapters = database::DatabaseList::Instance().Current();
  SqliteSaver peer(bytes, "FULL");
  disk_writer::Writer writer(nullptr);
  std::string text = ChapterText(bytes);
  const runtime::Text name(runtime::Gbk("第一章 开端"));
  size_t i = 0;
  double ours_seconds = 0, peer_seconds = 0, writer_seconds = 0;
  bool ok = true;
  for (auto _ : state) {
    text[i++ % text.size()] ^= 1;
    runtime::ByteSet value;
    int32_t result = 0;
    double writer_time = 0;
    const double seconds = Seconds(
        [&] {
          value = runtime::ByteSet(
              std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
          writer.Hand("save", [&] {
            const auto start = std::chrono::steady_clock::now();
            const database::FieldUpdate updates[] = {{runtime::Gbk("学号"), value.Arg()},
                                                     {runtime::Gbk("姓名"), name.Arg()}};
            result = chapters->UpdateRecords(nullptr, updates);
            writer_time =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            return disk_writer::Writer::Answer();
          });
          return true;
        },
        &ok);
    ours_seconds += seconds;
    state.SetIterationTime(seconds);
    writer.WaitUntilIdle();
    ok = ok && result == 0;
    writer_seconds += writer_time;
    peer_seconds += Seconds([&] { return peer.Save(text); }, &ok);
  }
  if (!ok) state.SkipWithError("a save failed");
  const double rounds = static_cast<double>(state.iterations());
  state.counters["peer_ms"] = peer_seconds * 1e3 / rounds;
  state.counters["writer_ms"] = writer_seconds * 1e3 / rounds;
  state.counters["ratio"] = peer_seconds > 0 ? ours_seconds / peer_seconds : 0;
}

void SaveRaw(benchmark::State& state, size_t bytes, bool edited) {
  const fs::path path = BenchFolder() / ("save-" + std::to_string(bytes) + ".raw");
  platform::FileResult file =
      platform::File::Open(platform::GbkPathOf(path), platform::FileAccess::kReadWrite,
                           platform::ShareMode::kDenyNone, platform::Disposition::kCreateAlways);
  std::string text = ChapterText(bytes);
  size_t i = 0;
  for (auto _ : state) {
    if (edited) text[i++ % text.size()] ^= 1;
    if (file.file->WriteAt(0, text.data(), static_cast<int64_t>(text.size())) < 0) {
      state.SkipWithError("write failed");
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

// A database of `chapters` chapters of about 2,000 bytes, `deleted_every`-th one deleted.
fs::path MakeChapterDatabase(const std::string& name, int chapters, int deleted_every) {
  const fs::path path = FreshChapterDatabase(name);
  runtime::Text path_text(platform::GbkPathOf(path));
  Call(&database::OpenDatabase, {path_text.Arg()});
  runtime::Text text_field(runtime::Gbk("学号"));
  runtime::Text name_field(runtime::Gbk("姓名"));
  const std::string text = ChapterText(2000);
  for (int i = 1; i <= chapters; ++i) {
    Call(&database::AppendBlankRecord);
    runtime::Text chapter(runtime::Gbk("第") + std::to_string(i) + runtime::Gbk("章"));
    runtime::ByteSet body(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    Call(&database::ModifyFields,
         {ArgCell(), text_field.Arg(), body.Arg(), name_field.Arg(), chapter.Arg()});
    if (deleted_every > 0 && i % deleted_every == 0) Call(&database::DeleteRecords);
  }
  database::DatabaseList::Instance().CloseAll();
  return path;
}

void OpenAndList(benchmark::State& state) {
  const fs::path path = MakeChapterDatabase("list", static_cast<int>(state.range(0)), 0);
  runtime::Text path_text(platform::GbkPathOf(path));
  runtime::Text name_field(runtime::Gbk("姓名"));
  for (auto _ : state) {
    Call(&database::OpenDatabase, {path_text.Arg()});
    Call(&database::GoFirstRecord);
    int64_t listed = 0;
    while (Call(&database::IsAfterLastRecord).low == 0) {
      runtime::Text name =
          runtime::Text::FromResult(Call(&database::ReadField, {name_field.Arg()}));
      listed += static_cast<int64_t>(name.View().size() > 0);
      Call(&database::SkipRecords);
    }
    if (listed != state.range(0)) state.SkipWithError("not every chapter was listed");
    database::DatabaseList::Instance().CloseAll();
  }
}

void Pack(benchmark::State& state) {
  const fs::path pristine =
      MakeChapterDatabase("pack-source", static_cast<int>(state.range(0)), 10);
  const fs::path path = BenchFolder() / "pack.edb";
  runtime::Text path_text(platform::GbkPathOf(path));
  for (auto _ : state) {
    state.PauseTiming();
    database::DatabaseList::Instance().CloseAll();
    fs::copy_file(pristine, path, fs::copy_options::overwrite_existing);
    fs::copy_file(fs::path(pristine).replace_extension(".edt"),
                  fs::path(path).replace_extension(".edt"), fs::copy_options::overwrite_existing);
    Call(&database::OpenDatabase, {path_text.Arg()});
    state.ResumeTiming();
    if (Call(&database::PackDatabase).low == 0) state.SkipWithError("pack failed");
  }
  database::DatabaseList::Instance().CloseAll();
}

void RegisterAll() {
  for (bool edited : {false, true}) {
    for (size_t bytes : {2000, 20000, 200000, 4000000}) {
      const std::string prefix =
          std::string(edited ? "SaveChapterEdited/" : "SaveChapter/") + std::to_string(bytes) + "/";
      benchmark::RegisterBenchmark((prefix + "inkstone").c_str(), SaveInkstone, bytes, edited,
                                   false);
      benchmark::RegisterBenchmark((prefix + "sqlite").c_str(), SaveSqlite, bytes, edited);
      benchmark::RegisterBenchmark((prefix + "raw").c_str(), SaveRaw, bytes, edited);
      benchmark::RegisterBenchmark((prefix + "inkstone-exclusive").c_str(), SaveInkstone, bytes,
                                   edited, true);
    }
  }
  for (const char* synchronous : {"NORMAL", "FULL"}) {
    for (bool edited : {false, true}) {
      for (size_t bytes : {200000, 4000000}) {
        const std::string name = std::string("SaveSideBySide/") +
                                 (edited ? "edited/" : "unchanged/") + std::to_string(bytes) +
                                 "/sqlite-" + synchronous;
        benchmark::RegisterBenchmark(name.c_str(), SaveSideBySide, bytes, edited,
                                     std::string(synchronous))
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond);
      }
    }
  }
  for (size_t bytes : {200000, 4000000}) {
    const std::string name = "SaveThroughWriter/edited/" + std::to_string(bytes) + "/sqlite-FULL";
    benchmark::RegisterBenchmark(name.c_str(), SaveThroughWriter, bytes)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
  }
  benchmark::RegisterBenchmark("OpenAndList", OpenAndList)
      ->Arg(5000)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Pack", Pack)->Arg(5000)->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv) {
  RegisterAll();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  database::DatabaseList::Instance().CloseAll();
  std::filesystem::remove_all(BenchFolder());
  return 0;
}
