// The writing desk as its own process: a second start on the same folder, the system's
// termination request, and kills at random moments while an author types.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <random>
#include <sstream>
#include <thread>

#include "app/character_count.h"
#include "app/data_folder.h"
#include "chapter_history/version_store.h"
#include "platform/core/code_page.h"
#include "platform/core/fault_injection.h"
#include "platform/core/native_path.h"
#include "tests/app/desk_child.h"
#include "tests/app/desk_test.h"
#include "writing_history/history_file.h"

namespace desk_tests {

namespace {

namespace fs = std::filesystem;

#ifdef INKSTONE_SANITIZED_BUILD
constexpr int kRoundsPerCrashTest = 12;
constexpr long long kSaveLagAllowedMs = 2500;
#elif defined(_WIN32)
// Under Wine a start costs about a second: 100 kills in all.
constexpr int kRoundsPerCrashTest = 25;
constexpr long long kSaveLagAllowedMs = 1000;
#else
constexpr int kRoundsPerCrashTest = 50;
constexpr long long kSaveLagAllowedMs = 1000;
#endif
// The autosave file is rewritten at most every five seconds while the author types.
constexpr long long kAutosaveLagAllowedMs = kSaveLagAllowedMs + 5000;

// Waits until `path` exists and holds at least `min_bytes`.
bool WaitForFile(const fs::path& path, int timeout_ms, uintmax_t min_bytes = 0) {
  for (int waited = 0; waited < timeout_ms; waited += 10) {
    std::error_code error;
    const uintmax_t size = fs::file_size(path, error);
    if (!error && size >= min_bytes) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

std::vector<std::string> Lines(const fs::path& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Waits until typed.log says at least `count` keys were typed (its lines: count, time); false
// after a minute.
bool WaitForKeysTyped(const fs::path& log, long long count) {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (std::chrono::steady_clock::now() < give_up) {
    const std::vector<std::string> lines = Lines(log);
    long long typed = 0;
    if (!lines.empty() && std::istringstream(lines.back()) >> typed && typed >= count) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

// Every file under `folder` with its size and time of last change.
std::map<std::string, std::pair<uintmax_t, fs::file_time_type>> Snapshot(const fs::path& folder) {
  std::map<std::string, std::pair<uintmax_t, fs::file_time_type>> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file())
      files[entry.path().string()] = {entry.file_size(), entry.last_write_time()};
  }
  return files;
}

fs::path WriteText(const fs::path& folder, const std::string& utf8) {
  const fs::path file = folder / "typing.txt";
  std::ofstream(file, std::ios::binary) << utf8;
  return file;
}

// A paragraph an author might write: GBK characters, ASCII letters and a full-width space.
std::string AuthorText(int paragraphs) {
  std::string text;
  for (int i = 0; i < paragraphs; ++i)
    text += "　　夜色渐深，山风吹过竹林，他提笔写下第" + std::to_string(i) + "行字。";
  return text;
}

// The first `count` characters of a UTF-8 text.
std::string Prefix(const std::string& utf8, qsizetype count) {
  return QString::fromStdString(utf8).left(count).toStdString();
}

// What the chapter's record holds of a typed text: the leading blanks are not stored.
std::string Stored(const std::string& utf8) {
  const QString text = QString::fromStdString(utf8);
  qsizetype blanks = 0;
  while (blanks < text.size() && (text[blanks] == u' ' || text[blanks] == u'\u3000')) ++blanks;
  return text.mid(blanks).toStdString();
}

bool IsPrefix(const std::string& part, const std::string& whole) {
  return whole.compare(0, part.size(), part) == 0;
}

TEST(DeskProcess, ASecondStartOnTheSameFolderIsRefusedAndTouchesNothing) {
  const fs::path folder = MakeProgramFolder();
  const auto first = StartDeskChild(folder, {"--type", WriteText(folder, AuthorText(1)).string()});
  ASSERT_TRUE(first->Started());
  ASSERT_TRUE(WaitForFile(folder / "done", 30000));  // up and typed into
  // Its last save ticks have run: the files stay as they are over several ticks (100 ms each).
  auto before = Snapshot(folder / fs::u8path("小说数据"));
  for (auto settled = MonotonicMs(), deadline = settled + 20000; MonotonicMs() - settled < 400;) {
    ASSERT_LT(MonotonicMs(), deadline) << "the first desk kept writing";
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const auto now = Snapshot(folder / fs::u8path("小说数据"));
    if (now != before) before = now, settled = MonotonicMs();
  }

  EXPECT_EQ(StartDeskChild(folder)->Wait(), 0);
  // One box (its text ends with the folder, on a line of its own).
  const std::string boxes = ReadFileBytes(folder / "boxes.log");
  EXPECT_TRUE(boxes.starts_with("错误\t写作台已经打开")) << boxes;
  EXPECT_TRUE(boxes.ends_with("文件夹：" + folder.string() + "\n")) << boxes;
  EXPECT_EQ(Snapshot(folder / fs::u8path("小说数据")), before);

  first->RequestEnd();
  first->Wait();
  RemoveProgramFolder(folder);
}

TEST(DeskProcess, ATerminationRequestSavesTheChapterAndClosesTheDatabase) {
  const fs::path folder = MakeProgramFolder();
  const std::string text = AuthorText(2);
  const auto desk = StartDeskChild(folder, {"--type", WriteText(folder, text).string()});
  ASSERT_TRUE(desk->Started());
  ASSERT_TRUE(WaitForFile(folder / "done", 30000));
  desk->RequestEnd();  // at once: the last keys may not have been saved by a tick yet
  EXPECT_EQ(desk->Wait(), 0);

  const std::vector<ChapterRecord> records = ReadChapterRecords(folder);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].name, "第一章");
  EXPECT_EQ(records[0].text, Stored(text));
  EXPECT_TRUE(Lines(folder / "boxes.log").empty());  // no backups, no boxes
  EXPECT_TRUE(fs::is_empty(folder / fs::u8path("自动保存备份")));
  EXPECT_TRUE(DatabaseFaults(folder).empty());
  // The writing history went to the disk too: all the typing added, whatever day it fell on.
  writing_history::History history;
  ASSERT_EQ(writing_history::ReadHistoryFile(
                platform::GbkPathOf(folder / fs::u8path("小说数据/写作记录.json")), &history),
            writing_history::HistoryFileState::kRead);
  int64_t added = 0;
  for (const auto& [day, totals] : history.days()) added += totals.characters;
  EXPECT_EQ(added, app::CountCharacters(platform::Utf8ToGbk(text)));  // as typed, indent and all
  RemoveProgramFolder(folder);
}

// Installed (<prefix>/bin with <prefix>/share/inkstone beside it), the desk writes the chapters
// into the author's data folder, which starts from the installed empty database.
TEST(DeskProcess, AnInstalledDeskKeepsTheChaptersInTheAuthorsDataFolder) {
  const fs::path root = MakeProgramFolder();
  const fs::path bin = root / "usr" / "bin";
  const fs::path installed = root / "usr" / "share" / "inkstone" / app::kTemplateFolderName;
  fs::create_directories(bin);
  fs::create_directories(installed);
  for (const char* file : {"data.edb", "data.edt"}) {
    fs::copy_file(root / fs::u8path("小说数据") / file, installed / file);
  }
  const fs::path data_home = root / "data-home";
  const char* old_data_home = std::getenv(kDataHomeVariable);
  const std::string kept_data_home = old_data_home != nullptr ? old_data_home : "";
  test_support::SetVariable(kDataHomeVariable, data_home.string());
  const std::string text = AuthorText(1);
  const auto desk = StartDeskChild(bin, {"--type", WriteText(root, text).string()});
  if (old_data_home != nullptr) {
    test_support::SetVariable(kDataHomeVariable, kept_data_home);
  } else {
    test_support::UnsetVariable(kDataHomeVariable);
  }
  ASSERT_TRUE(desk->Started());
  ASSERT_TRUE(WaitForFile(bin / "done", 30000));
  desk->RequestEnd();
  EXPECT_EQ(desk->Wait(), 0);

  const fs::path folder = data_home / kDeskFolderName;
  const std::vector<ChapterRecord> records = ReadChapterRecords(folder);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].text, Stored(text));
  EXPECT_TRUE(fs::exists(folder / fs::u8path("自动保存") / fs::u8path("自动保存文件【勿删】.txt")));
  EXPECT_FALSE(fs::exists(bin / fs::u8path("小说数据")));
  // The template is as installed.
  for (const char* file : {"data.edb", "data.edt"}) {
    EXPECT_EQ(ReadFileBytes(installed / file), ReadFileBytes(root / fs::u8path("小说数据") / file));
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(installed), fs::directory_iterator()), 2);
  RemoveProgramFolder(root);
}

// A first start killed while it copies the template (a large one, so that the kill lands in the
// copy of the main file): the data folder holds no data.edb or a whole one, never a part, and
// the next start makes a working database whatever the copy left behind.
TEST(DeskProcess, AFirstStartKilledWhileCopyingTheTemplateLeavesNoPartOfADatabase) {
  const fs::path root = MakeProgramFolder();
  const fs::path bin = root / "usr" / "bin";
  const fs::path installed = root / "usr" / "share" / "inkstone" / app::kTemplateFolderName;
  fs::create_directories(bin);
  fs::create_directories(installed);
  fs::copy_file(root / fs::u8path("小说数据") / "data.edt", installed / "data.edt");
  // The shipped main file with a long tail the engine does not read.
  std::string main = ReadFileBytes(root / fs::u8path("小说数据") / "data.edb");
  main.resize(32 << 20, '\0');
  std::ofstream(installed / "data.edb", std::ios::binary) << main;
  const fs::path data_home = root / "data-home";
  const fs::path data = data_home / kDeskFolderName / fs::u8path("小说数据");
  const char* old_data_home = std::getenv(kDataHomeVariable);
  const std::string kept_data_home = old_data_home != nullptr ? old_data_home : "";
  test_support::SetVariable(kDataHomeVariable, data_home.string());

  {
    const auto desk = StartDeskChild(bin);
    ASSERT_TRUE(desk->Started());
    // The memo file is in place first; the main file's copy is under way.
    ASSERT_TRUE(WaitForFile(data / "data.edt", 30000));
    desk->Kill();
    desk->Wait();
  }
  if (fs::exists(data / "data.edb")) {
    EXPECT_EQ(ReadFileBytes(data / "data.edb"), main);
  }

  const std::string text = AuthorText(1);
  const auto desk = StartDeskChild(bin, {"--type", WriteText(root, text).string()});
  if (old_data_home != nullptr) {
    test_support::SetVariable(kDataHomeVariable, kept_data_home);
  } else {
    test_support::UnsetVariable(kDataHomeVariable);
  }
  ASSERT_TRUE(desk->Started());
  ASSERT_TRUE(WaitForFile(bin / "done", 30000));
  desk->RequestEnd();
  EXPECT_EQ(desk->Wait(), 0);
  const std::vector<ChapterRecord> records = ReadChapterRecords(data_home / kDeskFolderName);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].text, Stored(text));
  EXPECT_TRUE(Lines(bin / "boxes.log").empty());
  RemoveProgramFolder(root);
}

TEST(DeskProcess, ATerminationRequestOnAFullDiskLeavesTheWholeTextInARescueCopy) {
  const fs::path folder = MakeProgramFolder();
  const fs::path home = folder.string() + "-home";
  fs::create_directories(home);
  const std::string old_home =
      std::getenv(kHomeVariable) != nullptr ? std::getenv(kHomeVariable) : "";
  test_support::SetVariable(kHomeVariable, home.string());
  const std::string text = AuthorText(3);
  // Windows asks the window whether the session may end: with text the disk refused, the desk
  // asks the author first, who lets it close (the rescue copy has the text). A termination
  // signal elsewhere leaves no time to ask.
  const auto desk = StartDeskChild(
      folder, {"--type", WriteText(folder, text).string(), "--full-after", "20", "--answer-no"});
  test_support::SetVariable(kHomeVariable, old_home);
  ASSERT_TRUE(desk->Started());
  ASSERT_TRUE(WaitForFile(folder / "done", 30000));
  // The keys come faster than the saves (a save at most every 0.7 s): the end is asked for once
  // the failure was heard.
  ASSERT_TRUE(WaitForFile(folder / "boxes.log", 30000, 1));
  desk->RequestEnd();
  EXPECT_EQ(desk->Wait(), 0);

  // The record stopped when the disk filled; the rescue copy in the home folder has it all.
  const std::vector<ChapterRecord> records = ReadChapterRecords(folder);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_TRUE(Stored(text).starts_with(records[0].text));
  EXPECT_LT(records[0].text.size(), Stored(text).size());
  std::vector<std::string> rescued;
  for (const auto& entry : fs::directory_iterator(home / fs::u8path("Inkstone 抢救"))) {
    const std::u8string name = entry.path().filename().u8string();
    if (std::string(name.begin(), name.end()).find("UTF-8") != std::string::npos) {
      rescued.push_back(ReadFileBytes(entry.path()));
    }
  }
  ASSERT_EQ(rescued.size(), 1u);
  EXPECT_EQ(rescued[0], "第一章\r\n\r\n" + text);
  // The one box of the failure, none per tick (a box is a line "caption TAB text" and the
  // lines of its text after it).
  const std::vector<std::string> lines = Lines(folder / "boxes.log");
  const auto boxes = std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line.find('\t') != std::string::npos;
  });
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines[0].find("正文已另存到"), std::string::npos) << lines[0];
#ifdef _WIN32
  ASSERT_EQ(boxes, 2);
  EXPECT_TRUE(lines[1].starts_with("警告\t本章还有没保存进章节数据库的正文")) << lines[1];
#else
  EXPECT_EQ(boxes, 1);
#endif
  RemoveProgramFolder(folder);
  fs::remove_all(home);
}

// Kills the typing desk at random moments. After each kill: the database checks sound, the
// chapter holds a prefix of what was typed lacking at most the last moments, and the
// autosave file holds a prefix too, never a torn text.
void KillWhileTyping(uint32_t seed) {
  std::mt19937 random(seed);
  const std::string text = AuthorText(40);
  int rounds_with_text = 0;
  for (int round = 0; round < kRoundsPerCrashTest; ++round) {
    SCOPED_TRACE("round " + std::to_string(round) + " of seed " + std::to_string(seed));
    const fs::path folder = MakeProgramFolder();
    const auto desk = StartDeskChild(folder, {"--type", WriteText(folder, text).string()});
    ASSERT_TRUE(desk->Started());
    // Mostly while typing; now and then during the start. The kill's moment is random by
    // design; what is checked afterwards depends only on what the log says was typed when.
    const bool early = random() % 8 == 0;
    if (!early) WaitForFile(folder / "typed.log", 30000, 1);  // the first key is in
    std::this_thread::sleep_for(std::chrono::milliseconds(random() % (early ? 300 : 1500)));
    const long long killed_at = MonotonicMs();
    desk->Kill();
    desk->Wait();

    const std::vector<std::string> faults = DatabaseFaults(folder);
    EXPECT_TRUE(faults.empty()) << faults.front();
    qsizetype typed_well_before = 0;
    qsizetype typed_before_autosave = 0;
    for (const std::string& line : Lines(folder / "typed.log")) {
      std::istringstream fields(line);
      long long count = 0, at = 0;
      if (!(fields >> count >> at)) continue;
      if (at < killed_at - kSaveLagAllowedMs) typed_well_before = count;
      if (at < killed_at - kAutosaveLagAllowedMs) typed_before_autosave = count;
    }
    const std::vector<ChapterRecord> records = ReadChapterRecords(folder);
    ASSERT_LE(records.size(), 1u);
    if (!records.empty()) {
      EXPECT_TRUE(IsPrefix(records[0].name, "第一章")) << records[0].name;
      EXPECT_TRUE(IsPrefix(records[0].text, Stored(text))) << records[0].text;
      EXPECT_GE(records[0].text.size(), Stored(Prefix(text, typed_well_before)).size());
      if (!records[0].text.empty()) ++rounds_with_text;
    } else {
      EXPECT_EQ(typed_well_before, 0);
    }
    const fs::path autosave = folder / fs::u8path("自动保存/自动保存文件【勿删】.txt");
    if (fs::exists(autosave)) {
      const std::string saved = platform::GbkToUtf8(ReadFileBytes(autosave));
      EXPECT_TRUE(IsPrefix(saved, text)) << saved;
      EXPECT_GE(saved.size(), Prefix(text, typed_before_autosave).size());
    }
    if (::testing::Test::HasFailure()) {
      std::cerr << "kept for a look: " << folder << "\n";
      return;
    }
    RemoveProgramFolder(folder);
  }
  // The kills must have met saved text, not only starts.
  EXPECT_GE(rounds_with_text, kRoundsPerCrashTest / 2);
}

// Kills the desk while it begins a new chapter every few keys, so that the kills land in the
// writes of the versions kept as chapters are left. After each kill the chapter history opens
// as it is (a torn last version dropped, nothing set aside) and every version in it reads back
// as a piece of what was typed.
TEST(DeskCrash, KilledWhileKeepingVersionsTheHistoryStaysReadable) {
  std::mt19937 random(5);
  const std::string text = AuthorText(30);
  const QString typed = QString::fromStdString(Stored(text));
  int versions_seen = 0;
  for (int round = 0; round < kRoundsPerCrashTest / 4; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const fs::path folder = MakeProgramFolder();
    const auto desk = StartDeskChild(
        folder, {"--type", WriteText(folder, text).string(), "--new-chapter-every", "12"});
    ASSERT_TRUE(desk->Started());
    // Killed after a random number of keys, past the first new chapter: by what was typed, not
    // by the clock, so that a loaded machine kills at the same points of the work.
    ASSERT_TRUE(
        WaitForKeysTyped(folder / "typed.log", 13 + static_cast<long long>(random() % 150)));
    desk->Kill();
    desk->Wait();
    const fs::path store_path = folder / fs::u8path("小说数据/章节历史.dat");
    chapter_history::OpenReport report;
    const auto store =
        chapter_history::VersionStore::Open(platform::GbkPathOf(store_path), &report);
    ASSERT_NE(store, nullptr);
    EXPECT_TRUE(report.set_aside_path.empty()) << report.set_aside_path;
    EXPECT_EQ(report.versions_lost, 0u);
    for (const chapter_history::ChapterId chapter : store->Chapters()) {
      const auto versions = store->Versions(chapter);
      for (size_t i = 0; i < versions.size(); ++i) {
        chapter_history::VersionText version;
        ASSERT_TRUE(store->Read({chapter, i}, &version));
        const QString read = QString::fromStdString(platform::GbkToUtf8(version.text));
        EXPECT_TRUE(typed.contains(read.trimmed())) << read.toStdString();
        ++versions_seen;
      }
    }
    if (::testing::Test::HasFailure()) {
      std::cerr << "kept for a look: " << folder << "\n";
      return;
    }
    RemoveProgramFolder(folder);
  }
  std::printf("%d versions read back after the kills\n", versions_seen);
  EXPECT_GT(versions_seen, 0);
}

// An import cut short at its n-th write (the process ends there, as in a kill) for n spread over
// all its writes: afterwards the database checks sound and lists either every imported chapter,
// whole, or none of them.
TEST(DeskCrash, AnImportCutShortAtAnyWriteListsAllOrNoneOfItsChapters) {
  constexpr int kChapters = 20;
  std::string novel;
  for (int i = 1; i <= kChapters; ++i) {
    novel += "第" + std::to_string(i) + "章 夜行\r\n" + AuthorText(i % 5 + 1) + "\r\n";
  }
  std::mt19937 random(7);
  int cut_short = 0, whole = 0;
  for (int round = 0; round < 12; ++round) {
    // The import makes about ten writes per chapter; the last round goes past them all.
    const long long nth =
        round == 11 ? 100000 : 1 + static_cast<long long>(random() % (kChapters * 10));
    SCOPED_TRACE("cut at write " + std::to_string(nth));
    const fs::path folder = MakeProgramFolder();
    const fs::path file = folder / "novel.txt";
    std::ofstream(file, std::ios::binary) << platform::Utf8ToGbk(novel);
    const auto desk =
        StartDeskChild(folder, {"--import", file.string(), "--exit-at-write", std::to_string(nth)});
    ASSERT_TRUE(desk->Started());
    auto ended = std::async(std::launch::async, [&] { return desk->Wait(); });
    // Until the process ends (cut short) or says the import is done; a desk that does neither
    // within a minute fails the round instead of holding the suite.
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (ended.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready &&
           !fs::exists(folder / "done")) {
      if (std::chrono::steady_clock::now() > give_up) {
        desk->Kill();
        FAIL() << "the desk neither finished nor ended";
      }
    }
    if (fs::exists(folder / "done")) {
      desk->Kill();
      ++whole;
    } else {
      EXPECT_EQ(ended.get(), std::optional<int>(platform::kFaultExitCode));
      ++cut_short;
    }
    if (ended.valid()) ended.wait();
    const std::vector<std::string> faults = DatabaseFaults(folder);
    EXPECT_TRUE(faults.empty()) << faults.front();
    std::vector<ChapterRecord> listed;
    for (const ChapterRecord& record : ReadChapterRecords(folder)) {
      if (!record.deleted) listed.push_back(record);
    }
    ASSERT_TRUE(listed.empty() || listed.size() == kChapters) << listed.size();
    for (size_t i = 0; i < listed.size(); ++i) {
      EXPECT_EQ(listed[i].name, "第" + std::to_string(i + 1) + "章 夜行");
      EXPECT_EQ(listed[i].text, Stored(AuthorText(static_cast<int>(i + 1) % 5 + 1)));
    }
    if (::testing::Test::HasFailure()) {
      std::cerr << "kept for a look: " << folder << "\n";
      return;
    }
    RemoveProgramFolder(folder);
  }
  EXPECT_GT(cut_short, 0);
  EXPECT_GT(whole, 0);
}

TEST(DeskCrash, KilledWhileTypingFirstSeed) { KillWhileTyping(1); }
TEST(DeskCrash, KilledWhileTypingSecondSeed) { KillWhileTyping(2); }
TEST(DeskCrash, KilledWhileTypingThirdSeed) { KillWhileTyping(3); }
TEST(DeskCrash, KilledWhileTypingFourthSeed) { KillWhileTyping(4); }

}  // namespace

}  // namespace desk_tests

int main(int argc, char** argv) {
  if (argc >= 2 && std::string(argv[1]) == "--desk") return desk_tests::RunDeskChild(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
