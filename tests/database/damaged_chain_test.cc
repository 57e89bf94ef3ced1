// Chains that cannot be read: the read says so with its own code instead of giving an empty
// chapter, and what can still be read is handed out for the author to keep.

#include <filesystem>

#include "database/database_commands.h"
#include "database/error_codes.h"
#include "runtime/owned_blocks.h"
#include "tests/database/database_test_support.h"
#include "tests/support/damaged_chain.h"

namespace database::testing {
namespace {

using test_support::ChainDamage;

// Three blocks of different bytes, so that a read that skips or repeats one shows.
const std::string kFirstBlock(500, 'a');
const std::string kChapter = kFirstBlock + std::string(500, 'b') + std::string(200, 'c');
const std::string kIntact = "an intact chapter";

class DamagedChains : public ::testing::Test {
 protected:
  // Record 0: the chapter in blocks 2-4 (block 1 is record 1's); record 2: empty.
  void SetUp() override {
    ASSERT_EQ(CreateDatabase(folder_.Gbk("c.edb"), ChapterFields()), 0);
    Open();
    for (int i = 0; i < 3; ++i) ASSERT_EQ(db_->AppendBlank(), 0);
    ASSERT_EQ(db_->Skip(-1), 0);
    ASSERT_EQ(SetText(*db_, name_, kIntact), 0);
    db_->GoFirst();
    ASSERT_EQ(SetText(*db_, name_, kChapter), 0);
    DatabaseList::Instance().CloseAll();
  }
  void Open() {
    ASSERT_EQ(OpenDefault(folder_.Gbk("c.edb")), 0);
    db_ = DatabaseList::Instance().Current();
  }
  // The code the read command leaves for record `record`'s name, and whether it gave a text.
  int32_t CommandRead(int32_t record, bool* gave_text) {
    db_->GoFirst();
    if (record > 0) {
      EXPECT_EQ(db_->Skip(record), 0);
    }
    const runtime::Text field(name_);
    const runtime::ArgCell args[] = {field.Arg()};
    runtime::ArgCell result;
    ReadField(&result, 1, args);
    const runtime::Text text = runtime::Text::FromResult(result);
    *gave_text = !text.IsEmpty();
    return LastDatabaseError();
  }
  const std::string name_ = runtime::Gbk("姓名");
  TempFolder folder_;
  Database* db_ = nullptr;
};

TEST_F(DamagedChains, AreToldWithTheirOwnCodeAndGiveWhatCanStillBeRead) {
  struct Case {
    ChainDamage damage;
    std::string readable;
  };
  const Case cases[] = {{ChainDamage::kFirstLinkPastTheEnd, kFirstBlock},
                        {ChainDamage::kChainStartsPastTheEnd, ""},
                        {ChainDamage::kFirstLinkToItself, kFirstBlock},
                        {ChainDamage::kUsedCountOutOfRange, kFirstBlock}};
  const std::vector<uint8_t> main = ReadWholeFile(folder_.Native("c.edb"));
  const std::vector<uint8_t> memo = ReadWholeFile(folder_.Native("c.edt"));
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.damage));
    WriteWholeFile(folder_.Native("c.edb"), main);
    WriteWholeFile(folder_.Native("c.edt"), memo);
    ASSERT_TRUE(test_support::DamageMemoChain(folder_.Path("c.edb"), 0, name_, c.damage));
    Open();
    bool gave_text = true;
    EXPECT_EQ(CommandRead(0, &gave_text), code::kMemoChainDamaged);
    EXPECT_FALSE(gave_text);
    db_->GoFirst();
    std::string bytes;
    EXPECT_EQ(db_->ReadReadablePart(0, &bytes), code::kMemoChainDamaged);
    EXPECT_EQ(bytes, c.readable);

    // The other records read as before; an empty field is no damage.
    EXPECT_EQ(CommandRead(1, &gave_text), code::kOk);
    EXPECT_TRUE(gave_text);
    EXPECT_EQ(CommandRead(2, &gave_text), code::kOk);
    EXPECT_FALSE(gave_text);
    EXPECT_EQ(db_->ReadReadablePart(0, &bytes), code::kOk);
    EXPECT_EQ(bytes, "");
    ASSERT_EQ(db_->Skip(-1), 0);
    EXPECT_EQ(db_->ReadReadablePart(0, &bytes), code::kOk);
    EXPECT_EQ(bytes, kIntact);
    DatabaseList::Instance().CloseAll();
  }
}

// A memo file cut short (a copy that stopped, a full disk under another program): the open
// lowers the block count to the blocks present, and the chain that reached past them breaks.
TEST_F(DamagedChains, AChainCutOffWithTheFileIsToldAndItsFrontKept) {
  std::filesystem::resize_file(folder_.Path("c.edt"), 3 * 512);  // header, record 1, block 2
  Open();
  bool gave_text = true;
  EXPECT_EQ(CommandRead(0, &gave_text), code::kMemoChainDamaged);
  db_->GoFirst();
  std::string bytes;
  EXPECT_EQ(db_->ReadReadablePart(0, &bytes), code::kMemoChainDamaged);
  EXPECT_EQ(bytes, kFirstBlock);
  EXPECT_EQ(CommandRead(1, &gave_text), code::kOk);
}

TEST_F(DamagedChains, TheHelperRefusesWhatItCannotDamage) {
  EXPECT_FALSE(test_support::DamageMemoChain(folder_.Path("c.edb"), 2, name_)) << "empty field";
  EXPECT_FALSE(test_support::DamageMemoChain(folder_.Path("c.edb"), 3, name_)) << "no record";
  EXPECT_FALSE(test_support::DamageMemoChain(folder_.Path("c.edb"), 0, "no such field"));
  EXPECT_FALSE(test_support::DamageMemoChain(folder_.Path("missing.edb"), 0, name_));
}

}  // namespace
}  // namespace database::testing
