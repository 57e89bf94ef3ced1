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

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "database/creator.h"
#include "database/database_commands.h"
#include "database/database_list.h"
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

void SaveInkstone(benchmark::State& state, size_t bytes, bool edited, bool exclusive) {
  database::DatabaseList::Instance().CloseAll();
  const fs::path path = BenchFolder() / ("save-" + std::to_string(bytes) + ".edb");
  fs::remove(path);
  fs::remove(fs::path(path).replace_extension(".edt"));
  database::CreateDatabase(platform::GbkPathOf(path),
                           {{runtime::Gbk("姓名"), database::kMemoField, 0},
                            {runtime::Gbk("学号"), database::kByteSetField, 0}});
  runtime::Text path_text(platform::GbkPathOf(path));
  Call(&database::OpenDatabase,
       {path_text.Arg(), ArgCell(), ArgCell(), exclusive ? ArgCell::Int(4) : ArgCell()});
  Call(&database::AppendBlankRecord);
  std::string text = ChapterText(bytes);
  const TextSource source{&text};
  const runtime::SubStatement statement{&TextAsByteSet, &source};
  runtime::Text text_field(runtime::Gbk("学号"));
  runtime::Text name_field(runtime::Gbk("姓名"));
  runtime::Text name(runtime::Gbk("第一章 开端"));
  size_t i = 0;
  for (auto _ : state) {
    if (edited) text[i++ % text.size()] ^= 1;
    const ArgCell ok =
        Call(&database::ModifyFields, {ArgCell(), text_field.Arg(), ArgCell::Statement(&statement),
                                       name_field.Arg(), name.Arg()});
    if (ok.low == 0) state.SkipWithError("ModifyFields failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  database::DatabaseList::Instance().CloseAll();
}

void SaveSqlite(benchmark::State& state, size_t bytes, bool edited) {
  const fs::path path = BenchFolder() / ("save-" + std::to_string(bytes) + ".sqlite");
  fs::remove(path);
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db,
               "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
               "CREATE TABLE chapters(id INTEGER PRIMARY KEY, name TEXT, body BLOB);"
               "INSERT INTO chapters VALUES(1, '', x'');",
               nullptr, nullptr, nullptr);
  sqlite3_stmt* update = nullptr;
  sqlite3_prepare_v2(db, "UPDATE chapters SET body = ?1, name = ?2 WHERE id = 1", -1, &update,
                     nullptr);
  std::string text = ChapterText(bytes);
  const std::string name = runtime::Gbk("第一章 开端");
  size_t i = 0;
  for (auto _ : state) {
    if (edited) text[i++ % text.size()] ^= 1;
    sqlite3_bind_blob(update, 1, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
    sqlite3_bind_text(update, 2, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
    if (sqlite3_step(update) != SQLITE_DONE) state.SkipWithError("UPDATE failed");
    sqlite3_reset(update);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  sqlite3_finalize(update);
  sqlite3_close(db);
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
  database::DatabaseList::Instance().CloseAll();
  const fs::path path = BenchFolder() / (name + ".edb");
  fs::remove(path);
  fs::remove(fs::path(path).replace_extension(".edt"));
  database::CreateDatabase(platform::GbkPathOf(path),
                           {{runtime::Gbk("姓名"), database::kMemoField, 0},
                            {runtime::Gbk("学号"), database::kByteSetField, 0}});
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
