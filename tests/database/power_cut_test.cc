// Power cuts: a workload of saves, appends, deletes, packs and flushes runs on a chapter
// database while every change to its files is recorded; then, for many cut points, the files are
// rebuilt as a disk could hold them had the power failed there — the flushed changes and either
// none or a random choice of the later ones — and the database must open, check sound (leaked
// blocks allowed) and hold in every chapter one text that was written, none older than the last
// save before the last Database::Flush.
//
// The suite cuts at 500 points; INKSTONE_POWER_CUTS=<n> cuts at n (the long run), and
// INKSTONE_POWER_CUT_SEED=<n> runs another workload.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/core/change_recording.h"
#include "platform/core/native_path.h"
#include "runtime/owned_blocks.h"
#include "tests/support/disk_after_cut.h"
#include "tests/database/database_test_support.h"

namespace database::testing {
namespace {

using platform::FileChange;

// The text of save `sequence` of chapter `id`: a few bytes to 12,000 letters from a base that
// stays for runs of eight saves, with a header naming both at a place that moves a little, as
// typing does (most saves change a few blocks in the middle, some the first block).
std::string ChapterText(int32_t id, int64_t sequence) {
  std::mt19937_64 random(static_cast<uint64_t>(id) * 7919u + static_cast<uint64_t>(sequence / 8));
  const uint64_t pick = random();
  const size_t length = pick % 4 == 0 ? pick % 400 : pick % 12000;
  std::string text;
  for (size_t i = 0; i < length; ++i) text.push_back(static_cast<char>('a' + random() % 26));
  const size_t at = std::min(length, static_cast<size_t>(random() % (length + 1)) +
                                         static_cast<size_t>(sequence % 8) * 29);
  text.insert(at, "rec=" + std::to_string(id) + ";seq=" + std::to_string(sequence) + ";");
  return text;
}

// The text of save `sequence` of chapter `id`, whose record holds `current`: mostly
// ChapterText, and in shapes that keep every old block of a chain, so that the save's switch
// is a kept block's next word in the memo file and no block is replaced: the text made whole
// 500-byte blocks, then text appended to it, or text inserted at a block boundary inside it.
std::string NextText(int32_t id, int64_t sequence, const std::string& current, uint32_t pick) {
  std::mt19937 random(pick);
  const std::string header = "rec=" + std::to_string(id) + ";seq=" + std::to_string(sequence) + ";";
  const auto letters = [&](size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text.push_back(static_cast<char>('a' + random() % 26));
    return text;
  };
  if (current.size() > 30000) return ChapterText(id, sequence);
  switch (pick % 10) {
    case 0: {  // whole blocks
      std::string text = current + header;
      return text + letters(kMemoDataSize - text.size() % kMemoDataSize);
    }
    case 1:
    case 2:  // appended
      return current + header + letters(random() % 700);
    case 3:  // inserted where a block ends
      if (current.size() >= 2 * static_cast<size_t>(kMemoDataSize)) {
        const size_t at = (1 + random() % (current.size() / kMemoDataSize - 1)) * kMemoDataSize;
        return current.substr(0, at) + header + letters(random() % 700) + current.substr(at);
      }
      break;
    default:
      break;
  }
  return ChapterText(id, sequence);
}

std::string ChapterName(int32_t id, int64_t sequence) {
  return "chapter " + std::to_string(id) + " " + std::to_string(sequence);
}

// One operation of the workload and the recorded changes it made, [first, end).
struct Step {
  enum class Kind { kSave, kAppend, kDelete, kPack, kFlush, kClose };
  Kind kind = Kind::kSave;
  int32_t id = 0;
  int64_t sequence = 0;
  bool with_name = false;  // a save that also renamed the chapter (to its sequence)
  size_t first = 0;
  size_t end = 0;
};

const char* KindName(Step::Kind kind) {
  static const char* const names[] = {"save", "append", "delete", "pack", "flush", "close"};
  return names[static_cast<int>(kind)];
}

struct Workload {
  std::map<std::string, std::string> before;  // file name → bytes when the recording started
  std::vector<FileChange> changes;
  std::vector<Step> steps;
  std::vector<int32_t> first_ids;  // the records there before the recording
  std::map<int64_t, std::string> texts;  // by save sequence
};

Workload RunWorkload(const TempFolder& folder, uint32_t seed) {
  Workload work;
  const std::string main_native = folder.Native("data.edb");
  const std::string gbk = platform::GbkPathOf(main_native);
  EXPECT_EQ(CreateDatabase(gbk, ChapterFields()), 0);
  EXPECT_EQ(OpenDefault(gbk), 0);
  Database* db = DatabaseList::Instance().Current();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(db->AppendBlank(), 0);
  DatabaseList::Instance().CloseAll();  // on the disk: the close flushes
  for (const RawRecord& record : ReadRawRecords(main_native, folder.Native("data.edt"))) {
    work.first_ids.push_back(record.id);
  }
  for (const char* name : {"data.edb", "data.edt"}) {
    const std::vector<uint8_t> bytes = ReadWholeFile(folder.Native(name));
    work.before[name] = std::string(bytes.begin(), bytes.end());
  }

  platform::StartRecordingFileChanges();
  EXPECT_EQ(OpenDefault(gbk), 0);
  db = DatabaseList::Instance().Current();
  std::vector<int32_t> ids = work.first_ids;  // by record number; negative: marked deleted
  std::map<int32_t, std::string> current;       // each chapter's last text saved, by id
  bool flush_next = false;
  std::mt19937 random(seed);
  int64_t sequence = 0;
  const std::string name_field = runtime::Gbk("姓名");
  const std::string text_field = runtime::Gbk("学号");
  for (int operation = 0; operation < 400; ++operation) {
    std::vector<int32_t> live;
    for (size_t r = 0; r < ids.size(); ++r) {
      if (ids[r] > 0) live.push_back(static_cast<int32_t>(r));
    }
    Step step;
    step.first = platform::RecordedFileChangeCount();
    // A save that kept its first block and grew (added to a chain of whole blocks, inserted
    // where a block ends), a new and a deleted chapter are followed by a flush half the time:
    // the shapes whose flush must reach switches that replaced no block.
    const uint32_t action = flush_next && random() % 2 == 0 ? 10 : random() % 100;
    flush_next = false;
    int32_t result = 0;
    if (action < 5 && live.size() < 6) {
      int32_t count = 0;
      db->RecordCount(&count, &step.id);
      step.kind = Step::Kind::kAppend;
      result = db->AppendBlank();
      ids.push_back(step.id);
      flush_next = true;
    } else if (action < 8 && live.size() > 1) {
      const int32_t number = live[random() % live.size()];
      step.kind = Step::Kind::kDelete;
      step.id = ids[static_cast<size_t>(number)];
      db->GoFirst();
      result = db->Skip(number) != 0 ? -1 : db->MarkRecords(nullptr, true);
      ids[static_cast<size_t>(number)] = -step.id;
      flush_next = true;
    } else if (action < 10) {
      step.kind = Step::Kind::kPack;
      result = db->Pack();
      std::erase_if(ids, [](int32_t id) { return id < 0; });
    } else if (action < 16) {
      step.kind = Step::Kind::kFlush;
      result = db->Flush();
    } else if (!live.empty()) {
      const int32_t number = live[random() % live.size()];
      step.kind = Step::Kind::kSave;
      step.id = ids[static_cast<size_t>(number)];
      step.sequence = ++sequence;
      db->GoFirst();
      const std::string text = NextText(step.id, sequence, current[step.id], random());
      work.texts[sequence] = text;
      const std::string& before = current[step.id];
      flush_next = before.size() >= kMemoDataSize && text.size() > before.size() &&
                   text.compare(0, kMemoDataSize, before, 0, kMemoDataSize) == 0;
      current[step.id] = text;
      runtime::ByteSet bytes(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
      // Half the saves rename the chapter too; the others change its text alone, as typing
      // does.
      step.with_name = random() % 2 == 0;
      runtime::Text name(ChapterName(step.id, sequence));
      const FieldUpdate updates[] = {{text_field, bytes.Arg()}, {name_field, name.Arg()}};
      result = db->Skip(number) != 0
                   ? -1
                   : db->UpdateRecords(nullptr, std::span(updates, step.with_name ? 2 : 1));
    } else {
      continue;
    }
    EXPECT_EQ(result, 0) << KindName(step.kind) << " " << step.id;
    step.end = platform::RecordedFileChangeCount();
    work.steps.push_back(step);
  }
  Step close{Step::Kind::kClose};
  close.first = platform::RecordedFileChangeCount();
  DatabaseList::Instance().CloseAll();
  work.changes = platform::StopRecordingFileChanges();
  close.end = work.changes.size();
  work.steps.push_back(close);
  return work;
}

// What a disk holds after a power cut before change `cut` (test_support::DiskAfterCut).
std::map<std::string, std::string> DiskAfterCut(const Workload& work, size_t cut, bool keep_some,
                                                std::mt19937& random) {
  return test_support::DiskAfterCut(work.before, work.changes, cut, keep_some, random);
}

// What the workload promises at a cut: per chapter the saves begun and the oldest allowed.
struct Promise {
  std::map<int32_t, int64_t> newest_begun;
  std::map<int32_t, int64_t> oldest_allowed;  // the last save before the last flush
  std::map<int32_t, int64_t> newest_name_begun;
  std::map<int32_t, int64_t> oldest_name_allowed;
  std::set<int32_t> flushed_in;               // appended, then flushed
  std::set<int32_t> delete_begun;
  std::set<int32_t> packed_away;  // deleted before a pack that finished
};

Promise PromiseAt(const Workload& work, size_t cut) {
  Promise promise;
  std::map<int32_t, int64_t> finished;
  std::map<int32_t, int64_t> names_finished;
  std::set<int32_t> appended;
  std::set<int32_t> deleted;
  for (const Step& step : work.steps) {
    if (step.first >= cut && step.first != step.end) break;
    const bool done = step.end <= cut;
    if (step.kind == Step::Kind::kSave) {
      promise.newest_begun[step.id] = step.sequence;
      if (done) finished[step.id] = step.sequence;
      if (step.with_name) promise.newest_name_begun[step.id] = step.sequence;
      if (step.with_name && done) names_finished[step.id] = step.sequence;
    }
    if (step.kind == Step::Kind::kAppend && done) appended.insert(step.id);
    if (step.kind == Step::Kind::kDelete) {
      promise.delete_begun.insert(step.id);
      if (done) deleted.insert(step.id);
    }
    if (step.kind == Step::Kind::kPack && done) {
      promise.packed_away.insert(deleted.begin(), deleted.end());
    }
    if ((step.kind == Step::Kind::kFlush || step.kind == Step::Kind::kClose) && done) {
      promise.oldest_allowed = finished;
      promise.oldest_name_allowed = names_finished;
      promise.flushed_in.insert(appended.begin(), appended.end());
    }
  }
  return promise;
}

// The version a chapter came back as, for the report.
enum class Outcome { kNewestBegun, kOlderAllowed, kBlank };

// The save whose text `text` of chapter `id` is, by the headers in it (texts made from older
// ones hold their headers too); 0 for none.
int64_t SaveOfText(const Workload& work, int32_t id, const std::string& text) {
  for (size_t at = text.find("rec="); at != std::string::npos; at = text.find("rec=", at + 1)) {
    int text_id = 0;
    long long sequence = 0;
    if (std::sscanf(text.c_str() + at, "rec=%d;seq=%lld;", &text_id, &sequence) != 2) continue;
    const auto written = work.texts.find(sequence);
    if (text_id == id && written != work.texts.end() && written->second == text) return sequence;
  }
  return 0;
}

std::string Verify(const TempFolder& folder, const std::map<std::string, std::string>& files,
                   const Promise& promise, const Workload& work,
                   std::map<Outcome, int64_t>* outcomes) {
  for (const auto& [name, bytes] : files) {
    WriteWholeFile(folder.Native(name), std::vector<uint8_t>(bytes.begin(), bytes.end()));
  }
  const std::string main_native = folder.Native("data.edb");
  if (std::string failure = OpensAndChecksSound(main_native); !failure.empty()) return failure;
  std::set<int32_t> seen;
  for (const RawRecord& record : ReadRawRecords(main_native, folder.Native("data.edt"))) {
    const int32_t id = std::abs(record.id);
    const std::string chapter = "chapter " + std::to_string(id);
    if (!seen.insert(id).second) return chapter + " is there twice";
    if (record.id < 0 && !promise.delete_begun.count(id)) return chapter + " deleted, never was";
    if (promise.packed_away.count(id)) return chapter + " came back after a pack";
    const std::string& text = record.values[1];
    const auto begun = promise.newest_begun.find(id);
    const auto floor = promise.oldest_allowed.find(id);
    if (text.empty()) {
      if (floor != promise.oldest_allowed.end()) return chapter + " lost its flushed text";
      ++(*outcomes)[Outcome::kBlank];
      continue;
    }
    const int64_t sequence = SaveOfText(work, id, text);
    if (sequence == 0 || begun == promise.newest_begun.end() || sequence > begun->second) {
      return chapter + " holds a text never written (torn or foreign)";
    }
    if (floor != promise.oldest_allowed.end() && sequence < floor->second) {
      return chapter + " went back to " + std::to_string(sequence) + ", older than the flushed " +
             std::to_string(floor->second);
    }
    ++(*outcomes)[sequence == begun->second ? Outcome::kNewestBegun : Outcome::kOlderAllowed];
    // The name is switched by a write of its own: it may be older or newer than the text.
    const std::string& name = record.values[0];
    const auto name_begun = promise.newest_name_begun.find(id);
    const auto name_floor = promise.oldest_name_allowed.find(id);
    if (name.empty() && name_floor == promise.oldest_name_allowed.end()) continue;
    const size_t space = name.rfind(' ');
    const long long name_sequence = space == std::string::npos ? -1 : std::atoll(&name[space + 1]);
    if (name != ChapterName(id, name_sequence) || name_begun == promise.newest_name_begun.end() ||
        name_sequence > name_begun->second ||
        (name_floor != promise.oldest_name_allowed.end() && name_sequence < name_floor->second)) {
      return chapter + " has a name never written or older than the flushed one";
    }
  }
  for (int32_t id : promise.flushed_in) {
    if (!seen.count(id) && !promise.delete_begun.count(id)) {
      return "chapter " + std::to_string(id) + " was appended and flushed, then lost";
    }
  }
  for (int32_t id : work.first_ids) {
    if (!seen.count(id) && !promise.delete_begun.count(id)) {
      return "chapter " + std::to_string(id) + " was lost";
    }
  }
  return "";
}

TEST(PowerCut, AtAnyPointTheChaptersComeBackWholeAndNoOlderThanTheLastFlush) {
  TempFolder work_folder;
  const char* seed = std::getenv("INKSTONE_POWER_CUT_SEED");
  const Workload work =
      RunWorkload(work_folder, seed != nullptr ? static_cast<uint32_t>(std::atoll(seed)) : 20261208);
  ASSERT_FALSE(::testing::Test::HasFailure());
  ASSERT_GT(work.changes.size(), 1000u);
  const char* asked = std::getenv("INKSTONE_POWER_CUTS");
  const int32_t cuts = asked != nullptr ? std::max(1, std::atoi(asked)) : 500;

  std::mt19937 random(7);
  std::map<std::string, int32_t> cuts_by_step;
  std::map<Outcome, int64_t> outcomes;
  for (int32_t i = 0; i < cuts; ++i) {
    TempFolder disk_folder;
    const size_t cut = random() % (work.changes.size() + 1);
    const bool keep_some = i % 2 == 1;
    const auto in_step = std::find_if(work.steps.begin(), work.steps.end(),
                                      [&](const Step& step) { return cut < step.end; });
    ++cuts_by_step[in_step == work.steps.end() ? "after the close" : KindName(in_step->kind)];
    const std::string failure = Verify(disk_folder, DiskAfterCut(work, cut, keep_some, random),
                                       PromiseAt(work, cut), work, &outcomes);
    ASSERT_EQ(failure, "") << "cut before change " << cut << " of " << work.changes.size()
                           << (keep_some ? ", some later changes kept" : ", none kept");
  }
  std::printf("%d cuts in %zu changes of %zu steps; cut in:", cuts, work.changes.size(),
              work.steps.size());
  for (const auto& [step, count] : cuts_by_step) std::printf(" %s %d,", step.c_str(), count);
  std::printf("\nchapters came back: newest begun %lld, older but allowed %lld, blank %lld\n",
              static_cast<long long>(outcomes[Outcome::kNewestBegun]),
              static_cast<long long>(outcomes[Outcome::kOlderAllowed]),
              static_cast<long long>(outcomes[Outcome::kBlank]));
}

}  // namespace
}  // namespace database::testing
