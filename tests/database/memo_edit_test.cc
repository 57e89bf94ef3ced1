// Saves that change part of a memo value: which blocks they keep and write, the spare blocks
// they reuse, and what a kill in the middle of one leaves.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>

#include "database/checker.h"
#include "database/memo_file.h"
#include "platform/core/change_recording.h"
#include "platform/core/fault_injection.h"
#include "runtime/owned_blocks.h"
#include "tests/database/database_test_support.h"
#include "tests/support/child_process.h"
#include "tests/support/file_changes.h"

namespace database::testing {
namespace {

class MemoEdits : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CreateDatabase(folder_.Gbk("c.edb"), ChapterFields()), 0);
    Reopen();
    ASSERT_EQ(db_->AppendBlank(), 0);
  }
  void Reopen() {
    DatabaseList::Instance().CloseAll();
    ASSERT_EQ(OpenDefault(folder_.Gbk("c.edb")), 0);
    db_ = DatabaseList::Instance().Current();
  }
  std::vector<uint8_t> Memo() const { return ReadWholeFile(folder_.Native("c.edt")); }
  // The blocks of record 1's name chain, read from the bytes.
  std::vector<int32_t> Chain() const {
    const std::vector<uint8_t> main = ReadWholeFile(folder_.Native("c.edb"));
    const std::vector<uint8_t> memo = Memo();
    std::vector<int32_t> blocks;
    for (int32_t b = Word(main, 116 + 144 + 4); b != 0 && blocks.size() < 10000;
         b = Word(memo, static_cast<size_t>(b) * 512 + 4)) {
      blocks.push_back(b);
    }
    return blocks;
  }
  void Save(const std::string& value) {
    ASSERT_EQ(SetText(*db_, name_, value), 0);
    ASSERT_EQ(ReadText(*db_, 0), value);
  }
  CheckReport Check() const {
    CheckReport report;
    EXPECT_EQ(CheckDatabase(folder_.Gbk("c.edb"), {}, false, &report), 0);
    return report;
  }

  const std::string name_ = runtime::Gbk("姓名");
  TempFolder folder_;
  Database* db_ = nullptr;
};

std::string Letters(size_t length, uint32_t seed) {
  std::mt19937 random(seed);
  std::string text(length, ' ');
  for (char& c : text) c = static_cast<char>('a' + random() % 26);
  return text;
}

TEST_F(MemoEdits, AChangedByteRewritesOnlyItsBlockAndALaterSaveReusesTheReplacedOne) {
  std::string text = Letters(2000, 1);
  Save(text);
  EXPECT_EQ(Chain(), (std::vector<int32_t>{1, 2, 3, 4}));

  text[700] = '#';  // in the second block
  Save(text);
  std::vector<uint8_t> memo = Memo();
  EXPECT_EQ(Chain(), (std::vector<int32_t>{1, 5, 3, 4}));
  EXPECT_EQ(Word(memo, 3 * 512), 5) << "the kept block after it names it as its previous";
  EXPECT_EQ(Word(memo, 5 * 512), 1);
  EXPECT_EQ(Word(memo, 16), 6);

  // Block 2 is a spare now, but written again only once the switch away from it is on the
  // disk: the next save appends, and its flush before its own switch frees block 2 for the
  // save after, which takes it without touching the header.
  text[10] = '#';  // the first block: the record is switched
  Save(text);
  EXPECT_EQ(Chain(), (std::vector<int32_t>{6, 5, 3, 4}));
  memo = Memo();
  const std::vector<uint8_t> header(memo.begin(), memo.begin() + 32);
  text[11] = '#';
  Save(text);
  memo = Memo();
  EXPECT_EQ(Chain(), (std::vector<int32_t>{2, 5, 3, 4}));
  EXPECT_EQ(std::vector<uint8_t>(memo.begin(), memo.begin() + 32), header);
  EXPECT_EQ(Word(memo, 5 * 512), 2);
  const CheckReport open = Check();
  EXPECT_TRUE(open.ok());
  EXPECT_EQ(open.leaked_blocks, 2) << "the spares look leaked while the database is open";

  // Closing puts the spares on the free list; block 6 ends the file and is cut off instead.
  DatabaseList::Instance().CloseAll();
  const CheckReport closed = Check();
  EXPECT_TRUE(closed.ok());
  EXPECT_TRUE(closed.leftovers.empty()) << closed.leftovers.front();
  EXPECT_EQ(closed.free_blocks, 1);
  EXPECT_EQ(Memo().size(), 6u * 512);
}

TEST_F(MemoEdits, TextTypedAtTheEndGoesIntoTheLastBlock) {
  std::string text = Letters(1200, 2);
  Save(text);                      // 1, 2, 3 (200 bytes)
  for (int i = 0; i < 150; ++i) {  // to 1650 bytes, 3 bytes a save
    text += Letters(3, 100 + static_cast<uint32_t>(i));
    Save(text);
  }
  const std::vector<int32_t> chain = Chain();
  ASSERT_EQ(chain.size(), 4u) << "every block but the last is full";
  EXPECT_EQ(chain[0], 1);
  EXPECT_EQ(chain[1], 2);
  const std::vector<uint8_t> memo = Memo();
  for (size_t i = 0; i + 1 < chain.size(); ++i) {
    EXPECT_EQ(Word(memo, static_cast<size_t>(chain[i]) * 512 + 8), 500);
  }
  EXPECT_EQ(Word(memo, static_cast<size_t>(chain[3]) * 512 + 8), 150);
  EXPECT_LE(Word(memo, 16), 7) << "two blocks take turns for the changing end";
}

// A cut of exactly one block's bytes leaves nothing between the kept blocks: they are linked to
// each other, both ways.
TEST_F(MemoEdits, CuttingOutExactlyOneBlockLinksItsNeighbours) {
  std::string text = Letters(1500, 12);
  Save(text);  // 1, 2, 3
  text.erase(500, 500);
  Save(text);
  EXPECT_EQ(Chain(), (std::vector<int32_t>{1, 3}));
  EXPECT_EQ(Word(Memo(), 3 * 512), 1);
  text.erase(0, 500);
  Save(text);  // only block 3 stays, now first
  EXPECT_EQ(Chain(), (std::vector<int32_t>{3}));
  EXPECT_EQ(Word(Memo(), 3 * 512), 0);
  DatabaseList::Instance().CloseAll();
  const CheckReport report = Check();
  EXPECT_TRUE(report.ok()) << report.faults.front();
  EXPECT_TRUE(report.leftovers.empty()) << report.leftovers.front();
}

// Edits of every kind against a plain string: the stored value always equals it, the chain
// never grows far beyond the fewest blocks, and the files stay sound.
TEST_F(MemoEdits, RandomEditsMatchAPlainStringAndStayCompact) {
  std::mt19937 random(7);
  std::string model = Letters(30000, 3);
  Save(model);
  for (int step = 0; step < 400; ++step) {
    const size_t at = model.empty() ? 0 : random() % (model.size() + 1);
    switch (random() % 6) {
      case 0:  // a paste
        model.insert(at, Letters(random() % 3000, static_cast<uint32_t>(step)));
        break;
      case 1:  // a cut
        model.erase(at, random() % 2000);
        break;
      case 2:  // an overwrite
        if (at < model.size()) model[at] = '#';
        break;
      case 3:  // typing at the end
        model += Letters(1 + random() % 9, static_cast<uint32_t>(step));
        break;
      default:  // typing in one place, a few characters a save
        model.insert(std::min(model.size(), 12345 % (model.size() + 1) + step % 7),
                     Letters(1 + random() % 4, static_cast<uint32_t>(step)));
        break;
    }
    Save(model);
    const size_t fewest = (model.size() + 499) / 500;
    ASSERT_LE(Chain().size(), fewest + 8 + fewest / 16) << "step " << step;
    if (step % 50 == 0) {
      const CheckReport report = Check();
      ASSERT_TRUE(report.ok()) << "step " << step << ": " << report.faults.front();
    }
  }
  Reopen();
  EXPECT_EQ(ReadText(*db_, 0), model);
  DatabaseList::Instance().CloseAll();
  const CheckReport report = Check();
  EXPECT_TRUE(report.ok());
  EXPECT_TRUE(report.leftovers.empty()) << report.leftovers.front();
  const auto raw = ReadRawRecords(folder_.Native("c.edb"), folder_.Native("c.edt"));
  EXPECT_EQ(raw[0].values[0], model);
}

// Opens the database arguments[0], arms a process end at write arguments[1] and saves
// arguments[2] into the first record's name.
INKSTONE_CHILD_MODE(SaveEditEndingAtWrite) {
  if (OpenDefault(arguments[0]) != 0) return 2;
  Database& db = *DatabaseList::Instance().Current();
  platform::ArmFileFault(std::atoll(arguments[1].c_str()), platform::FaultAction::kExit);
  SetText(db, runtime::Gbk("姓名"), arguments[2]);
  return 0;
}

// A save that keeps blocks at both ends, killed at each of its writes: the value is the old or
// the new one, and the checker finds nothing but leftovers, which a repair clears.
TEST_F(MemoEdits, AnEditKilledAtAnyWriteKeepsOneWholeValue) {
  const std::string old_value = Letters(5000, 4);
  std::string new_value = old_value;
  new_value.insert(2600, "an insertion in the sixth block");
  Save(old_value);
  Save(Letters(10, 5));
  Save(old_value);  // a spare to take
  DatabaseList::Instance().CloseAll();
  const std::vector<uint8_t> main_before = ReadWholeFile(folder_.Native("c.edb"));
  const std::vector<uint8_t> memo_before = Memo();
  bool saw_new = false;
  bool saw_stale_link = false;
  for (int64_t nth = 1; nth <= 8; ++nth) {
    WriteWholeFile(folder_.Native("c.edb"), main_before);
    WriteWholeFile(folder_.Native("c.edt"), memo_before);
    const int code = test_support::Child("SaveEditEndingAtWrite",
                                         {folder_.Gbk("c.edb"), std::to_string(nth), new_value})
                         .Wait();
    // Ended by the fault, or finished when the save has fewer writes.
    ASSERT_TRUE(code == platform::kFaultExitCode || code == 0) << "write " << nth << ": " << code;
    CheckReport report = Check();
    ASSERT_TRUE(report.ok()) << "write " << nth << ": " << report.faults.front();
    for (const std::string& leftover : report.leftovers) {
      saw_stale_link = saw_stale_link || leftover.find("back links in chains") != std::string::npos;
    }
    Reopen();
    const std::string value = ReadText(*db_, 0);
    EXPECT_TRUE(value == old_value || value == new_value) << "write " << nth;
    saw_new = saw_new || value == new_value;
    DatabaseList::Instance().CloseAll();
    ASSERT_EQ(CheckDatabase(folder_.Gbk("c.edb"), {}, true, &report), 0);
    report = Check();
    EXPECT_TRUE(report.ok() && report.leftovers.empty()) << "write " << nth;
  }
  EXPECT_TRUE(saw_new);
  EXPECT_TRUE(saw_stale_link) << "one kill fell between the switch and the back link";
}

// A save that only drops whole blocks from the middle switches the forward link, then sets the
// back link of the block after them to the block before them. A power cut may keep the back
// link and lose the switch: the value is the old one, whole; the checker takes the link for a
// leftover and a repair mends it.
TEST_F(MemoEdits, ABackLinkKeptWithoutItsSwitchIsALeftover) {
  const std::string old_value = Letters(5000, 6);  // ten full blocks
  Save(old_value);
  Reopen();  // the first save whole on the disk
  const std::vector<uint8_t> main_before = ReadWholeFile(folder_.Native("c.edb"));
  std::vector<uint8_t> memo = Memo();
  std::string new_value = old_value;
  new_value.erase(2000, 500);  // exactly the fifth block's bytes
  platform::StartRecordingFileChanges();
  Save(new_value);
  const std::vector<platform::FileChange> changes = platform::StopRecordingFileChanges();
  DatabaseList::Instance().CloseAll();

  // The memo file's writes of the save but its forward switch, the only write of a next word.
  bool dropped_switch = false;
  for (const platform::FileChange& change : changes) {
    if (change.kind != platform::FileChange::Kind::kWrite || change.file.extension() != ".edt") {
      continue;
    }
    if (change.bytes.size() == 4 && change.offset % 512 == 4) {
      dropped_switch = true;
      continue;
    }
    std::copy(change.bytes.begin(), change.bytes.end(), memo.begin() + change.offset);
  }
  ASSERT_TRUE(dropped_switch);
  WriteWholeFile(folder_.Native("c.edb"), main_before);
  WriteWholeFile(folder_.Native("c.edt"), memo);
  CheckReport report = Check();
  ASSERT_TRUE(report.ok()) << report.faults.front();
  ASSERT_FALSE(report.leftovers.empty());
  Reopen();
  EXPECT_EQ(ReadText(*db_, 0), old_value);
  DatabaseList::Instance().CloseAll();
  ASSERT_EQ(CheckDatabase(folder_.Gbk("c.edb"), {}, true, &report), 0);
  report = Check();
  EXPECT_TRUE(report.ok() && report.leftovers.empty());
}

// Saves that keep every old block (text appended to a chain of full blocks, text inserted
// where a block ends) switch a kept block's next word in the memo file and replace nothing:
// the flush must still put that switch on the disk.
TEST_F(MemoEdits, AFlushPutsASwitchThatReplacedNoBlockOnTheDisk) {
  const std::string whole_blocks = Letters(1000, 8);
  Save(whole_blocks);
  ASSERT_EQ(db_->Flush(), 0);
  const std::string edits[] = {
      whole_blocks + "appended",
      whole_blocks.substr(0, 500) + "inserted" + whole_blocks.substr(500) + "appended",
  };
  for (const std::string& edit : edits) {
    platform::StartRecordingFileChanges();
    Save(edit);
    ASSERT_EQ(db_->Flush(), 0);
    EXPECT_TRUE(test_support::WrittenThenFlushed(platform::StopRecordingFileChanges(), ".edt"))
        << edit.size();
  }
}

// A save whose first block changed keeps the old chain's end blocks; while the record's switch
// to it waits in the main file, a power cut can bring the record back to the old chain. A later
// save that switches inside the kept blocks must not be on the disk alone then: the old chain
// would run into the new blocks. The disk here keeps every write to the memo file and none of
// the main file's since its last flush.
TEST_F(MemoEdits, AnOldChainOnTheDiskNeverRunsIntoALaterSavesBlocks) {
  const std::string first = Letters(1200, 9);  // three blocks
  Save(first);
  Reopen();  // on the disk
  std::map<std::string, std::vector<uint8_t>> disk = {
      {".edb", ReadWholeFile(folder_.Native("c.edb"))}, {".edt", Memo()}};
  std::string second = first;
  second[0] = '#';  // a new first block; the end blocks kept
  std::string third = second.substr(0, 1000) + Letters(300, 10) + second.substr(1000);
  platform::StartRecordingFileChanges();
  Save(second);
  Save(third);  // switches the second block's next word
  const std::vector<platform::FileChange> changes = platform::StopRecordingFileChanges();
  DatabaseList::Instance().CloseAll();

  const auto apply = [&](const platform::FileChange& write, const std::string& file) {
    std::vector<uint8_t>& bytes = disk[file];
    const size_t end = static_cast<size_t>(write.offset) + write.bytes.size();
    bytes.resize(std::max(bytes.size(), end));
    std::copy(write.bytes.begin(), write.bytes.end(), bytes.begin() + write.offset);
  };
  std::map<std::string, std::vector<const platform::FileChange*>> pending;
  for (const platform::FileChange& change : changes) {
    const std::string file = change.file.extension().string();
    if (change.kind == platform::FileChange::Kind::kFlush) {
      for (const platform::FileChange* write : pending[file]) apply(*write, file);
      pending[file].clear();
    } else if (change.kind == platform::FileChange::Kind::kWrite) {
      pending[file].push_back(&change);
    }
  }
  for (const platform::FileChange* write : pending[".edt"]) apply(*write, ".edt");
  WriteWholeFile(folder_.Native("c.edb"), disk[".edb"]);
  WriteWholeFile(folder_.Native("c.edt"), disk[".edt"]);
  Reopen();
  std::string value;
  ASSERT_EQ(db_->ReadField(0, &value), 0);
  EXPECT_TRUE(value == first || value == second || value == third) << value.size();
}

// Windows cuts no file short while a view of it is mapped, as the engine's is.
#ifndef _WIN32
// A memo file cut short behind the engine's back (another process, a damaged disk) may leave
// the chain's blocks in pages the file no longer has: the save then reads instead of looking
// through the map, finds the chain broken and writes the value whole.
TEST_F(MemoEdits, AMemoFileCutShortUnderneathNeverStopsASave) {
  Save(Letters(12000, 10));  // blocks 1 to 24
  std::error_code error;
  std::filesystem::resize_file(folder_.Native("c.edt"), 4096, error);  // blocks 8 and up are gone
  ASSERT_FALSE(error) << error.message();
  const std::string value = Letters(12000, 11);
  Save(value);
  Reopen();
  EXPECT_EQ(ReadText(*db_, 0), value);
}
#endif

// Pairs naming one field are written as if one after the other: the last value stays, and the
// old chain is given up once.
TEST_F(MemoEdits, AFieldNamedTwiceInOneUpdateTakesTheLastValue) {
  const std::string old_value = Letters(3000, 8);
  Save(old_value);
  std::string edited = old_value;
  edited[1700] = '#';
  runtime::Text first(edited);
  runtime::Text second(Letters(2000, 9));
  const FieldUpdate updates[] = {{name_, first.Arg()}, {name_, second.Arg()}};
  ASSERT_EQ(db_->UpdateRecords(nullptr, updates), 0);
  EXPECT_EQ(ReadText(*db_, 0), std::string(second.View()));
  runtime::Text old_text(old_value);
  const FieldUpdate back_to_old[] = {{name_, first.Arg()}, {name_, old_text.Arg()}};
  ASSERT_EQ(db_->UpdateRecords(nullptr, back_to_old), 0);
  EXPECT_EQ(ReadText(*db_, 0), old_value);
  DatabaseList::Instance().CloseAll();
  const CheckReport report = Check();
  EXPECT_TRUE(report.ok()) << report.faults.front();
  EXPECT_TRUE(report.leftovers.empty()) << report.leftovers.front();
}

// A wrong back link is a leftover only when it names a leaked block that names this block as
// its next, which is what a save interrupted after its switch leaves; any other is a fault.
TEST_F(MemoEdits, OnlyTheBackLinkAnInterruptedSaveLeavesIsALeftover) {
  Save(Letters(1500, 6));  // 1, 2, 3
  ASSERT_EQ(db_->AppendBlank(), 0);
  Save(Letters(600, 7));  // 4, 5
  DatabaseList::Instance().CloseAll();
  const std::vector<uint8_t> memo = Memo();

  std::vector<uint8_t> forged = memo;
  PutWord(forged, 3 * 512, 4);  // names a block of another chain
  WriteWholeFile(folder_.Native("c.edt"), forged);
  EXPECT_FALSE(Check().ok());

  // As a save that replaced block 2 by block 6 and was killed after switching block 1.
  forged = memo;
  forged.resize(7 * 512);
  std::copy(memo.begin() + 2 * 512, memo.begin() + 3 * 512, forged.begin() + 6 * 512);
  PutWord(forged, 1 * 512 + 4, 6);
  PutWord(forged, 16, 7);
  WriteWholeFile(folder_.Native("c.edt"), forged);
  CheckReport report = Check();
  EXPECT_TRUE(report.ok()) << report.faults.front();
  EXPECT_EQ(report.leaked_blocks, 1);
  ASSERT_EQ(CheckDatabase(folder_.Gbk("c.edb"), {}, true, &report), 0);
  report = Check();
  EXPECT_TRUE(report.ok() && report.leftovers.empty());
  EXPECT_EQ(Word(Memo(), 3 * 512), 6) << "the repair mended the back link";
}

}  // namespace
}  // namespace database::testing
