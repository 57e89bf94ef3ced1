// The version store: what was kept reads back byte for byte after a reopen, a crash or a power
// cut; a damaged store never stops anything and loses only what the damage took.
#include "chapter_history/version_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "chapter_history/store_format.h"
#include "platform/core/change_recording.h"
#include "platform/core/fault_injection.h"
#include "platform/core/native_path.h"
#include "tests/platform/core/test_support.h"
#include "tests/support/disk_after_cut.h"

namespace chapter_history {
namespace {

using platform::core_test::ReadNative;
using platform::core_test::TempFolder;
using platform::core_test::WriteNative;

// GBK-like text: two-byte characters from a pool of common ones, as a chapter's record holds
// it, with paragraph breaks.
std::string ChapterText(std::mt19937& random, size_t characters) {
  std::string text;
  for (size_t i = 0; i < characters; ++i) {
    if (random() % 120 == 0) {
      text += "\r\n";
      continue;
    }
    const uint32_t pick = random() % 600;
    text.push_back(static_cast<char>(0xB0 + pick / 94 % 40));
    text.push_back(static_cast<char>(0xA1 + pick % 94));
  }
  return text;
}

// The text with a few characters changed somewhere, as one sitting of typing does.
std::string Edited(std::mt19937& random, std::string text, size_t added) {
  const size_t at = text.empty() ? 0 : (random() % text.size()) & ~size_t{1};
  return text.insert(at, ChapterText(random, added));
}

std::unique_ptr<VersionStore> OpenStore(const TempFolder& folder, OpenReport* report) {
  return VersionStore::Open(folder.GbkPath("history.dat"), report);
}

struct Kept {
  ChapterId chapter;
  VersionText version;
};

// Every kept version reads back, in order, per chapter.
void ExpectHolds(VersionStore& store, const std::vector<Kept>& kept) {
  std::map<ChapterId, size_t> next;
  for (const Kept& k : kept) {
    const size_t index = next[k.chapter]++;
    VersionText read;
    ASSERT_TRUE(store.Read({k.chapter, index}, &read)) << k.chapter << " #" << index;
    EXPECT_EQ(read.name, k.version.name);
    EXPECT_EQ(read.text, k.version.text);
  }
  for (const auto& [chapter, count] : next) EXPECT_EQ(store.Versions(chapter).size(), count);
}

TEST(VersionStore, LongChainsOfVersionsReadBackAfterAReopen) {
  TempFolder folder;
  std::mt19937 random(7);
  std::vector<Kept> kept;
  {
    OpenReport report;
    auto store = OpenStore(folder, &report);
    ASSERT_NE(store, nullptr);
    std::map<ChapterId, std::string> text;
    for (int i = 0; i < 40; ++i) {  // longer than a chain: whole versions come between
      const ChapterId chapter = 1 + i % 3;
      text[chapter] = Edited(random, text[chapter], 50 + random() % 400);
      const VersionText version{"chapter " + std::to_string(i), text[chapter]};
      ASSERT_TRUE(store->Keep(chapter, version, 1000 + i, VersionReason::kLeft, 5));
      kept.push_back({chapter, version});
    }
    // The same name and text again is no new version.
    const size_t before = store->Versions(1).size();
    ASSERT_TRUE(store->Keep(1, store->Versions(1).empty() ? VersionText{} : kept[39].version, 2000,
                            VersionReason::kLeft, 5));
    EXPECT_EQ(store->Versions(1).size(), before + (kept[39].chapter == 1 ? 0 : 1));
    if (kept[39].chapter != 1) kept.push_back({1, kept[39].version});
    ExpectHolds(*store, kept);
  }
  OpenReport report;
  auto store = OpenStore(folder, &report);
  ASSERT_NE(store, nullptr);
  EXPECT_TRUE(report.set_aside_path.empty());
  EXPECT_FALSE(report.torn_tail_dropped);
  ExpectHolds(*store, kept);
  EXPECT_EQ(store->Versions(2).front().time, 1001);
}

TEST(VersionStore, AVersionCodedAgainstTheOneBeforeCostsItsChangeNotTheChapter) {
  TempFolder folder;
  std::mt19937 random(11);
  OpenReport report;
  auto store = OpenStore(folder, &report);
  const std::string text = ChapterText(random, 200000);
  ASSERT_TRUE(store->Keep(1, {"name", text}, 1, VersionReason::kLeft, 200000));
  const int64_t after_first = store->file_size();
  ASSERT_TRUE(store->Keep(1, {"name", Edited(random, text, 300)}, 2, VersionReason::kLeft, 0));
  const int64_t second = store->file_size() - after_first;
  // The 300 new characters compress to about 500 bytes; the chapter to some 200,000.
  EXPECT_LT(second, 2000) << "first took " << after_first;
}

TEST(VersionStore, AVersionCutShortByACrashIsDroppedAndTheNextTakesItsPlace) {
  TempFolder folder;
  std::mt19937 random(3);
  std::vector<Kept> kept;
  int64_t last_begins = 0;
  {
    OpenReport report;
    auto store = OpenStore(folder, &report);
    for (int i = 0; i < 6; ++i) {
      last_begins = store->file_size();
      const VersionText version{"n", ChapterText(random, 300)};
      ASSERT_TRUE(store->Keep(4, version, i, VersionReason::kLeft, 300));
      kept.push_back({4, version});
    }
  }
  const auto path = folder.Native("history.dat");
  const std::string whole = ReadNative(path);
  kept.pop_back();
  OpenReport report;
  std::unique_ptr<VersionStore> store;
  // Every length inside the last entry; half of them with zeros where a power cut left the
  // tail unwritten.
  for (size_t cut = static_cast<size_t>(last_begins); cut < whole.size(); cut += 7) {
    std::string torn = whole.substr(0, cut);
    if (cut % 2 == 0) torn.append(whole.size() - cut, '\0');
    store.reset();  // an open store keeps other writers out
    WriteNative(path, torn);
    store = OpenStore(folder, &report);
    ASSERT_NE(store, nullptr) << cut;
    EXPECT_EQ(report.torn_tail_dropped, cut > static_cast<size_t>(last_begins) || cut % 2 == 0)
        << cut;
    EXPECT_TRUE(report.set_aside_path.empty()) << cut;
    ExpectHolds(*store, kept);
    EXPECT_EQ(store->file_size(), last_begins) << cut;
  }
  const VersionText next{"n", "after the crash"};
  ASSERT_TRUE(store->Keep(4, next, 99, VersionReason::kLeft, 1));
  kept.push_back({4, next});
  store.reset();
  store = OpenStore(folder, &report);
  EXPECT_FALSE(report.torn_tail_dropped);
  ExpectHolds(*store, kept);
}

TEST(VersionStore, DamageInsideIsSetAsideAndEveryVersionThatStillReadsIsKept) {
  TempFolder folder;
  std::mt19937 random(5);
  std::vector<Kept> kept;
  std::vector<int64_t> ends;
  {
    OpenReport report;
    auto store = OpenStore(folder, &report);
    for (int i = 0; i < 9; ++i) {
      const ChapterId chapter = i < 3 ? 1 : (i < 6 ? 2 : 3);
      const VersionText version{"n" + std::to_string(i), ChapterText(random, 200)};
      ASSERT_TRUE(store->Keep(chapter, version, i, VersionReason::kLeft, 200));
      kept.push_back({chapter, version});
      ends.push_back(store->file_size());
    }
  }
  const auto path = folder.Native("history.dat");
  std::string bytes = ReadNative(path);
  bytes[static_cast<size_t>(ends[3]) + 60] ^= 0x20;  // inside chapter 2's second version
  WriteNative(path, bytes);
  OpenReport report;
  auto store = OpenStore(folder, &report);
  ASSERT_NE(store, nullptr);
  ASSERT_FALSE(report.set_aside_path.empty());
  // Chapter 2's second version and its third, coded against it, are lost; the rest is there.
  EXPECT_EQ(report.versions_lost, 1u);  // the damaged entry itself is not counted: unreadable
  EXPECT_TRUE(ReadNative(platform::FsPath(report.set_aside_path)) == bytes);  // as it was found
  std::vector<Kept> readable;
  for (size_t i = 0; i < kept.size(); ++i) {
    if (i != 4 && i != 5) readable.push_back(kept[i]);
  }
  ExpectHolds(*store, readable);
  // The new store is sound: opened again, it reports nothing.
  store.reset();  // the store keeps other writers out while open
  store = OpenStore(folder, &report);
  EXPECT_TRUE(report.set_aside_path.empty());
  ExpectHolds(*store, readable);
}

TEST(VersionStore, AFileThatIsNoStoreIsSetAsideAndANewOneStarted) {
  TempFolder folder;
  WriteNative(folder.Native("history.dat"), "not a store at all");
  OpenReport report;
  auto store = OpenStore(folder, &report);
  ASSERT_NE(store, nullptr);
  EXPECT_FALSE(report.set_aside_path.empty());
  EXPECT_TRUE(store->Chapters().empty());
  EXPECT_TRUE(store->Keep(1, {"a", "b"}, 1, VersionReason::kLeft, 1));
}

TEST(VersionStore, AFailedWriteLeavesTheStoreAsItWas) {
  TempFolder folder;
  OpenReport report;
  auto store = OpenStore(folder, &report);
  ASSERT_TRUE(store->Keep(1, {"a", "first"}, 1, VersionReason::kLeft, 1));
  platform::ArmFileFault(1, platform::FaultAction::kFail);
  EXPECT_FALSE(store->Keep(1, {"a", "second"}, 2, VersionReason::kLeft, 1));
  platform::DisarmFileFault();
  EXPECT_EQ(store->Versions(1).size(), 1u);
  ASSERT_TRUE(store->Keep(1, {"a", "third"}, 3, VersionReason::kLeft, 1));
  store.reset();  // the store keeps other writers out while open
  store = OpenStore(folder, &report);
  EXPECT_TRUE(report.set_aside_path.empty());
  ExpectHolds(*store, {{1, {"a", "first"}}, {1, {"a", "third"}}});
}

TEST(VersionStore, MovedVersionsFollowTheirChapterAcrossAReopen) {
  TempFolder folder;
  OpenReport report;
  auto store = OpenStore(folder, &report);
  ASSERT_TRUE(store->Keep(7, {"deleted", "old text"}, 1, VersionReason::kBeforeDelete, 8));
  ASSERT_TRUE(store->Move(7, 12));
  ASSERT_TRUE(store->Keep(12, {"deleted", "old text, and more"}, 2, VersionReason::kLeft, 18));
  store.reset();  // the store keeps other writers out while open
  store = OpenStore(folder, &report);
  EXPECT_TRUE(store->Versions(7).empty());
  ExpectHolds(*store, {{12, {"deleted", "old text"}}, {12, {"deleted", "old text, and more"}}});
}

// Power cuts while versions are kept: whatever the disk holds afterwards opens, and every version
// whose Keep had returned holds its text.
TEST(VersionStore, APowerCutLeavesEveryFinishedVersionReadable) {
  TempFolder folder;
  std::mt19937 random(17);
  OpenReport report;
  ASSERT_NE(OpenStore(folder, &report), nullptr);  // created before: a creation is a rename
  const std::map<std::string, std::string> before = {
      {"history.dat", ReadNative(folder.Native("history.dat"))}};
  std::vector<Kept> kept;
  std::vector<size_t> finished_at;  // the change count when each Keep returned
  platform::StartRecordingFileChanges();
  {
    auto store = OpenStore(folder, &report);
    std::string text;
    for (int i = 0; i < 24; ++i) {
      text = i % 7 == 6 ? ChapterText(random, 900) : Edited(random, text, 200);
      const VersionText version{"v" + std::to_string(i), text};
      ASSERT_TRUE(store->Keep(1 + i % 2, version, i, VersionReason::kLeft, 1));
      kept.push_back({1 + i % 2, version});
      finished_at.push_back(platform::RecordedFileChangeCount());
    }
  }
  const std::vector<platform::FileChange> changes = platform::StopRecordingFileChanges();
  for (size_t cut = 0; cut <= changes.size(); ++cut) {
    for (const bool keep_some : {false, true}) {
      const auto disk = test_support::DiskAfterCut(before, changes, cut, keep_some, random);
      WriteNative(folder.Native("history.dat"), disk.at("history.dat"));
      auto store = OpenStore(folder, &report);
      ASSERT_NE(store, nullptr) << cut;
      EXPECT_TRUE(report.set_aside_path.empty()) << cut;
      std::vector<Kept> finished;
      for (size_t i = 0; i < kept.size() && finished_at[i] <= cut; ++i) finished.push_back(kept[i]);
      std::map<ChapterId, size_t> next;
      for (const Kept& k : finished) {
        VersionText read;
        ASSERT_TRUE(store->Read({k.chapter, next[k.chapter]++}, &read)) << cut;
        EXPECT_EQ(read.text, k.version.text) << cut;
      }
    }
  }
}

// A year of writing: 5,000 characters a day into the chapter of the day, a version every ten
// minutes of two hours' work and one at the end of each sitting, the store thinned once a week.
// What the thinning promises holds at the end, and the store stays a few times the novel.
TEST(VersionStore, AYearOfVersionsThinsToWhatItPromises) {
  TempFolder folder;
  std::mt19937 random(23);
  OpenReport report;
  auto store = OpenStore(folder, &report);
  constexpr int64_t kDay = 86400;
  constexpr int64_t kStart = 1767225600;  // 2026-01-01 00:00 UTC
  constexpr int64_t kOffset = 8 * 3600;   // the author's clock: UTC+8
  std::map<ChapterId, std::string> novel;
  std::map<ChapterId, std::vector<int64_t>> times;  // every version ever kept, per chapter
  ChapterId chapter = 1;
  int64_t now = kStart;
  for (int day = 0; day < 365; ++day) {
    const int64_t sitting = kStart + day * kDay + 12 * 3600;  // 20:00 on the author's clock
    for (int slot = 0; slot <= 12; ++slot) {
      now = sitting + slot * 600;
      // A chapter of about 6,000 characters, then the next one.
      if (novel[chapter].size() >= 12000) ++chapter;
      novel[chapter] += ChapterText(random, 5000 / 12);
      const VersionReason reason = slot == 12 ? VersionReason::kLeft : VersionReason::kWhileEditing;
      ASSERT_TRUE(store->Keep(chapter, {"第" + std::to_string(chapter) + "章", novel[chapter]}, now,
                              reason, 0));
      times[chapter].push_back(now);
    }
    if (day % 7 == 6) {
      ASSERT_TRUE(store->Thin(now, kOffset));
    }
  }
  ASSERT_TRUE(store->Thin(now, kOffset));
  store.reset();                       // the store keeps other writers out while open
  store = OpenStore(folder, &report);  // what the next start reads
  size_t novel_bytes = 0;
  for (const auto& [id, text] : novel) novel_bytes += text.size();
  std::printf("a year: %zu chapters, novel %zu bytes, store %lld bytes (%.2f times)\n",
              novel.size(), novel_bytes, static_cast<long long>(store->file_size()),
              static_cast<double>(store->file_size()) / static_cast<double>(novel_bytes));
  EXPECT_LT(store->file_size(), static_cast<int64_t>(4 * novel_bytes));
  for (const auto& [id, all] : times) {
    std::vector<int64_t> kept_times;
    for (const VersionInfo& info : store->Versions(id)) kept_times.push_back(info.time);
    // Every version of the last two days; the newest of each hour for two weeks, of each day
    // before; the chapter's newest always.
    std::map<int64_t, int64_t> newest_of_bucket;
    for (const int64_t time : all) {
      const int64_t age = now - time;
      // Kinds of bucket kept apart by the remainder modulo 4.
      const int64_t bucket = age < 2 * kDay    ? time * 4 + 1
                             : age < 14 * kDay ? (time + kOffset) / 3600 * 4 + 2
                                               : (time + kOffset) / kDay * 4 + 3;
      newest_of_bucket[bucket] = time;
    }
    newest_of_bucket[-1] = all.back();
    for (const auto& [bucket, time] : newest_of_bucket) {
      EXPECT_TRUE(std::count(kept_times.begin(), kept_times.end(), time) == 1)
          << "chapter " << id << " lost the version of " << time;
    }
    EXPECT_LE(kept_times.size(), newest_of_bucket.size());
    VersionText newest;
    ASSERT_TRUE(store->Read({id, kept_times.size() - 1}, &newest));
    EXPECT_EQ(newest.text, novel[id]);
  }
}

}  // namespace
}  // namespace chapter_history
