// Memo chains: sizes, the free list, the trailing cut, and the traps of releasing chains.

#include <cstdlib>

#include "database/checker.h"
#include "database/error_codes.h"
#include "database/memo_file.h"
#include "platform/core/fault_injection.h"
#include "runtime/owned_blocks.h"
#include "tests/database/database_test_support.h"
#include "tests/support/child_process.h"

namespace database::testing {
namespace {

class MemoChains : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CreateDatabase(folder_.Gbk("c.edb"), ChapterFields()), 0);
    ASSERT_EQ(OpenDefault(folder_.Gbk("c.edb")), 0);
    db_ = DatabaseList::Instance().Current();
  }
  std::vector<uint8_t> Memo() const { return ReadWholeFile(folder_.Native("c.edt")); }
  int32_t FirstBlockOf(int32_t record, int32_t field_offset) const {
    const std::vector<uint8_t> main = ReadWholeFile(folder_.Native("c.edb"));
    return Word(main, 116 + 72 * 2 + static_cast<size_t>(record) * 12 + field_offset);
  }
  // Puts the blocks the saves replaced on the free list, as closing the database does.
  void Settle() { ASSERT_EQ(db_->memo()->ReleaseSpares(), 0); }
  // Saves and settles: the file as the free list and the trailing cut leave it.
  void SaveSettled(const std::string& value) {
    ASSERT_EQ(SetText(*db_, name_, value), 0);
    Settle();
  }
  void ExpectClean() {
    Settle();
    CheckReport report;
    ASSERT_EQ(CheckDatabase(folder_.Gbk("c.edb"), {}, false, &report), 0);
    EXPECT_TRUE(report.ok()) << (report.faults.empty() ? "" : report.faults.front());
    EXPECT_TRUE(report.leftovers.empty()) << report.leftovers.front();
  }
  const std::string name_ = runtime::Gbk("姓名");
  TempFolder folder_;
  Database* db_ = nullptr;
};

TEST_F(MemoChains, ValuesOfEverySizeRoundTripAndTakeTheirBlocks) {
  struct Case {
    size_t bytes;
    int32_t blocks;
    int32_t last_used;
  };
  const Case cases[] = {{0, 0, 0}, {1, 1, 1}, {500, 1, 500}, {501, 2, 1}, {200000, 400, 500}};
  for (const Case& c : cases) {
    ASSERT_EQ(db_->AppendBlank(), 0);
    std::string value(c.bytes, '\0');
    for (size_t i = 0; i < c.bytes; ++i) value[i] = static_cast<char>('a' + i % 26);
    ASSERT_EQ(SetText(*db_, name_, value), 0);
    EXPECT_EQ(ReadText(*db_, 0), value) << c.bytes;

    // Read back without the engine.
    const auto raw = ReadRawRecords(folder_.Native("c.edb"), folder_.Native("c.edt"));
    EXPECT_EQ(raw.back().values[0], value) << c.bytes;
    const std::vector<uint8_t> memo = Memo();
    int32_t blocks = 0;
    int32_t last_used = 0;
    for (int32_t b = FirstBlockOf(db_->record_pointer(), 4); b != 0; b = Word(memo, b * 512 + 4)) {
      ++blocks;
      last_used = Word(memo, b * 512 + 8);
    }
    EXPECT_EQ(blocks, c.blocks) << c.bytes;
    EXPECT_EQ(last_used, c.last_used) << c.bytes;
  }
  ExpectClean();
}

TEST_F(MemoChains, ByteSetsKeepZeroBytesAndMemoTextsStopAtTheFirst) {
  ASSERT_EQ(db_->AppendBlank(), 0);
  const std::vector<uint8_t> bytes = {0, 1, 0, 2, 255};
  runtime::ByteSet set(bytes);
  const FieldUpdate update{runtime::Gbk("学号"), set.Arg()};
  ASSERT_EQ(db_->UpdateRecords(nullptr, std::span(&update, 1)), 0);
  std::string read;
  ASSERT_EQ(db_->ReadField(1, &read), 0);
  EXPECT_EQ(read, std::string("\0\1\0\2\xff", 5));
}

TEST_F(MemoChains, FreedBlocksAreReusedAndTheTrailingChainIsCutOff) {
  ASSERT_EQ(db_->AppendBlank(), 0);
  SaveSettled(std::string(1200, 'a'));  // blocks 1-3
  ASSERT_EQ(db_->AppendBlank(), 0);
  SaveSettled(std::string(600, 'b'));  // blocks 4-5
  EXPECT_EQ(Word(Memo(), 16), 6);

  // Replacing the last chain: the new value takes fresh blocks, the old ones end the file
  // and are cut off.
  SaveSettled(std::string(700, 'c'));
  std::vector<uint8_t> memo = Memo();
  EXPECT_EQ(FirstBlockOf(1, 4), 6);
  EXPECT_EQ(Word(memo, 16), 8);
  EXPECT_EQ(Word(memo, 20), 2);  // blocks 4 and 5 in the middle: only the free list grows
  EXPECT_EQ(memo.size(), 8u * 512);

  // The next value takes the free blocks before appending.
  SaveSettled(std::string(900, 'd'));
  memo = Memo();
  EXPECT_EQ(FirstBlockOf(1, 4), 4);
  EXPECT_EQ(Word(memo, 20), 0);
  EXPECT_EQ(Word(memo, 16), 6) << "blocks 6-7 ended the file and were cut";
  EXPECT_EQ(memo.size(), 6u * 512);
  ExpectClean();

  // Emptying the value releases the chain that ends the file.
  SaveSettled("");
  EXPECT_EQ(Word(Memo(), 16), 4);
  EXPECT_EQ(ReadText(*db_, 0), "");
  ExpectClean();
}

TEST_F(MemoChains, AnUnchangedValueIsNotRewritten) {
  ASSERT_EQ(db_->AppendBlank(), 0);
  ASSERT_EQ(SetText(*db_, name_, "same"), 0);
  const int32_t first = FirstBlockOf(0, 4);
  const std::vector<uint8_t> before = Memo();
  ASSERT_EQ(SetText(*db_, name_, "same"), 0);
  EXPECT_EQ(FirstBlockOf(0, 4), first);
  EXPECT_EQ(Memo(), before);
}

// A save compares the stored value against the new one with a walk bounded by the new
// value's length; chains longer than that, or whose blocks do not rise, are still released
// whole and cut only where they end the file.
TEST_F(MemoChains, ChainsOfEveryShapeAreReleasedWhole) {
  for (char c : std::string("abc")) {
    ASSERT_EQ(db_->AppendBlank(), 0);
    SaveSettled(std::string(600, c));  // blocks 1-2, 3-4, 5-6
  }
  db_->GoFirst();
  SaveSettled("");  // free list 1, 2
  ASSERT_EQ(db_->Skip(1), 0);
  SaveSettled("");  // free list 3, 4, 1, 2
  db_->GoFirst();
  const std::string falling(2000, 'f');
  SaveSettled(falling);  // takes 3, 4, 1, 2
  std::vector<uint8_t> memo = Memo();
  EXPECT_EQ(FirstBlockOf(0, 4), 3);
  EXPECT_EQ(Word(memo, 4 * 512 + 4), 1) << "block 4 is followed by block 1";
  EXPECT_EQ(Word(memo, 20), 0);
  ExpectClean();

  // Replaced by a longer value: the out-of-order chain goes onto the free list in its order.
  const std::string longer(2100, 'g');
  SaveSettled(longer);  // appended: 7-11
  memo = Memo();
  EXPECT_EQ(FirstBlockOf(0, 4), 7);
  EXPECT_EQ(Word(memo, 20), 4);
  EXPECT_EQ(Word(memo, 24), 3);
  ExpectClean();

  // Shrunk to one byte: the five-block chain is released whole (it ends the file, so it is
  // cut).
  SaveSettled("h");  // takes block 3
  memo = Memo();
  EXPECT_EQ(FirstBlockOf(0, 4), 3);
  EXPECT_EQ(Word(memo, 16), 7);
  EXPECT_EQ(memo.size(), 7u * 512);
  EXPECT_EQ(ReadText(*db_, 0), "h");
  ASSERT_EQ(db_->Skip(2), 0);
  EXPECT_EQ(ReadText(*db_, 0), std::string(600, 'c'));
  ExpectClean();

  // A 200,000-byte value shrunk to one byte in the middle of the file: a chain far longer
  // than the save's walk allows is released by a walk of its own, all 400 blocks listed.
  SaveSettled(std::string(200000, 'i'));  // 4, 1, 2, 7-403; frees 5, 6
  ASSERT_EQ(db_->AppendBlank(), 0);
  SaveSettled(std::string(1500, 'k'));  // 5, 6, 404
  ASSERT_EQ(db_->Skip(-1), 0);
  SaveSettled("j");  // 405
  memo = Memo();
  EXPECT_EQ(Word(memo, 16), 406);
  EXPECT_EQ(Word(memo, 20), 400);
  EXPECT_EQ(Word(memo, 24), 4);
  EXPECT_EQ(ReadText(*db_, 0), "j");
  ExpectClean();
}

// Trap 1: releasing onto an empty free list must not write a back link into block 0.
TEST_F(MemoChains, ReleasingOntoAnEmptyFreeListLeavesTheHeaderAlone) {
  ASSERT_EQ(db_->AppendBlank(), 0);
  SaveSettled("first");  // block 1
  ASSERT_EQ(db_->AppendBlank(), 0);
  SaveSettled("keeps the end");  // block 2
  db_->GoFirst();
  const std::vector<uint8_t> before = Memo();
  SaveSettled("");  // block 1 onto the empty list
  const std::vector<uint8_t> after = Memo();
  EXPECT_TRUE(std::equal(before.begin(), before.begin() + 16, after.begin()));
  EXPECT_TRUE(std::equal(before.begin() + 28, before.begin() + 512, after.begin() + 28));
  EXPECT_EQ(Word(after, 24), 1);
  ExpectClean();
}

// Trap 2: a released block must not keep a previous word into a chain that still lives, or
// a later cut would unlink through it.
TEST_F(MemoChains, ReleasedBlocksNeverPointBackIntoALiveChain) {
  ASSERT_EQ(db_->AppendBlank(), 0);
  SaveSettled(std::string(1500, 'x'));  // blocks 1-3
  SaveSettled(std::string(400, 'y'));   // block 4; 1-3 freed
  const std::vector<uint8_t> memo = Memo();
  const int32_t head = Word(memo, 24);
  EXPECT_EQ(Word(memo, head * 512), 0) << "the head of the free list has no previous block";
  SaveSettled("");  // the live chain goes, the file shrinks to nothing
  EXPECT_EQ(ReadText(*db_, 0), "");
  ExpectClean();
  EXPECT_EQ(Word(Memo(), 16), 4) << "only the released block heading the list is cut";
}

// Trap 3: a block a crash leaked (no chain, not free, used 0, stale links) must never be
// unlinked by the trailing cut through its stale links.
TEST_F(MemoChains, TheTrailingCutNeverFollowsALeakedBlocksLinks) {
  for (char c : std::string("abc")) {
    ASSERT_EQ(db_->AppendBlank(), 0);
    SaveSettled(std::string(500, c));  // blocks 1, 2, 3
  }
  DatabaseList::Instance().CloseAll();
  // Forge the leftover of a crash: record 2 no longer names block 2, which is left with
  // used 0 and stale links into the chains of records 1 and 3.
  std::vector<uint8_t> main = ReadWholeFile(folder_.Native("c.edb"));
  PutWord(main, 116 + 144 + 12 + 4, 0);
  WriteWholeFile(folder_.Native("c.edb"), main);
  std::vector<uint8_t> memo = Memo();
  PutWord(memo, 2 * 512, 1);
  PutWord(memo, 2 * 512 + 4, 3);
  PutWord(memo, 2 * 512 + 8, 0);
  WriteWholeFile(folder_.Native("c.edt"), memo);

  ASSERT_EQ(OpenDefault(folder_.Gbk("c.edb")), 0);
  db_ = DatabaseList::Instance().Current();
  ASSERT_EQ(db_->Skip(2), 0);
  SaveSettled("");  // block 3, the last, is released and cut
  EXPECT_EQ(Word(Memo(), 16), 3);
  db_->GoFirst();
  EXPECT_EQ(ReadText(*db_, 0), std::string(500, 'a'));
  CheckReport report;
  ASSERT_EQ(CheckDatabase(folder_.Gbk("c.edb"), {}, false, &report), 0);
  EXPECT_TRUE(report.ok()) << report.faults.front();
  EXPECT_EQ(report.leaked_blocks, 1);
  DatabaseList::Instance().CloseAll();
  ASSERT_EQ(CheckDatabase(folder_.Gbk("c.edb"), {}, true, &report), 0);
  ASSERT_EQ(CheckDatabase(folder_.Gbk("c.edb"), {}, false, &report), 0);
  EXPECT_TRUE(report.ok());
  EXPECT_EQ(report.leaked_blocks, 0) << "the repair reclaimed it";
  EXPECT_EQ(report.free_blocks, 1);
}

constexpr size_t kNewValueSize = 2300;

// Opens the database arguments[0], arms the file fault arguments[1] (the nth write-like call)
// and arguments[2] (a FaultAction), saves a new value of kNewValueSize "n" into the first
// record's name and empties the second's.
INKSTONE_CHILD_MODE(SaveMemoWithFault) {
  if (OpenDefault(arguments[0]) != 0) return 2;
  Database& db = *DatabaseList::Instance().Current();
  const std::string name = runtime::Gbk("姓名");
  platform::ArmFileFault(std::atoll(arguments[1].c_str()),
                         static_cast<platform::FaultAction>(std::atoi(arguments[2].c_str())));
  SetText(db, name, std::string(kNewValueSize, 'n'));
  db.Skip(1);
  SetText(db, name, "");
  return 0;
}

// A save killed at any write leaves the old value or the new one, never a torn one, and no
// fault but leaked blocks.
TEST_F(MemoChains, ASaveKilledAtAnyWriteKeepsOneWholeValue) {
  ASSERT_EQ(db_->AppendBlank(), 0);
  const std::string old_value(1700, 'o');
  const std::string new_value(kNewValueSize, 'n');
  ASSERT_EQ(SetText(*db_, name_, old_value), 0);
  ASSERT_EQ(db_->AppendBlank(), 0);
  ASSERT_EQ(SetText(*db_, name_, std::string(600, 'z')), 0);
  DatabaseList::Instance().CloseAll();
  const std::vector<uint8_t> main_before = ReadWholeFile(folder_.Native("c.edb"));
  const std::vector<uint8_t> memo_before = Memo();
  bool saw_new = false;
  for (int64_t nth = 1; nth <= 12; ++nth) {
    for (platform::FaultAction action :
         {platform::FaultAction::kExit, platform::FaultAction::kTornWrite}) {
      WriteWholeFile(folder_.Native("c.edb"), main_before);
      WriteWholeFile(folder_.Native("c.edt"), memo_before);
      const int code =
          test_support::Child("SaveMemoWithFault", {folder_.Gbk("c.edb"), std::to_string(nth),
                                                    std::to_string(static_cast<int>(action))})
              .Wait();
      // Ended by the fault, or finished when the saves have fewer writes.
      ASSERT_TRUE(code == platform::kFaultExitCode || code == 0) << "write " << nth << ": " << code;
      ASSERT_EQ(OpenDefault(folder_.Gbk("c.edb")), 0) << nth;
      Database& db = *DatabaseList::Instance().Current();
      const std::string value = ReadText(db, 0);
      EXPECT_TRUE(value == old_value || value == new_value) << "write " << nth;
      saw_new = saw_new || value == new_value;
      DatabaseList::Instance().CloseAll();
      // A torn write is what a kill does to a large write; the header words are written
      // by single writes of 12 bytes inside one sector, which a kill cannot tear, so the
      // structure is checked after clean kills only.
      if (action == platform::FaultAction::kExit) {
        CheckReport report;
        ASSERT_EQ(CheckDatabase(folder_.Gbk("c.edb"), {}, false, &report), 0);
        EXPECT_TRUE(report.ok()) << "write " << nth << ": " << report.faults.front();
      }
    }
  }
  EXPECT_TRUE(saw_new);
}

}  // namespace
}  // namespace database::testing
