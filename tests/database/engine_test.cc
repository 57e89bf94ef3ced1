// The engine: opening, navigation, reading, appending, scans, marks, pack and passwords.

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "database/checker.h"
#include "database/error_codes.h"
#include "database/index_file.h"
#include "database/pack_journal.h"
#include "database/password.h"
#include "platform/core/fault_injection.h"
#include "runtime/owned_blocks.h"
#include "tests/database/database_test_support.h"
#include "tests/support/child_process.h"

namespace database::testing {
namespace {

using runtime::ArgCell;

const std::vector<FieldSpec> kFields = {{"ID", kIntField, 0},       {"NAME", kTextField, 10},
                                        {"FLAG", kLogicalField, 0}, {"WHEN", kDateTimeField, 0},
                                        {"SMALL", kShortField, 0},  {"NOTE", kMemoField, 0}};

class Engine : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CreateDatabase(folder_.Gbk("e.edb"), kFields), 0);
    ASSERT_EQ(OpenDefault(folder_.Gbk("e.edb")), 0);
    db_ = DatabaseList::Instance().Current();
  }
  // Appends `n` records whose ID is 1 … n.
  void AppendNumbered(int32_t n) {
    for (int32_t i = 1; i <= n; ++i) {
      ASSERT_EQ(db_->AppendBlank(), 0);
      Set("ID", ArgCell::Int(i));
    }
  }
  int32_t Set(const std::string& field, const ArgCell& value) {
    const FieldUpdate update{field, value};
    return db_->UpdateRecords(nullptr, std::span(&update, 1));
  }
  int32_t IdHere() {
    std::string bytes;
    EXPECT_EQ(db_->ReadField(0, &bytes), 0);
    int32_t id = 0;
    std::memcpy(&id, bytes.data(), 4);
    return id;
  }
  TempFolder folder_;
  Database* db_ = nullptr;
};

TEST_F(Engine, SkipMovesWithinTheRecordsAndStopsAtTheEnds) {
  AppendNumbered(3);
  db_->GoFirst();
  EXPECT_EQ(db_->Skip(2), 0);
  EXPECT_EQ(db_->record_pointer(), 2);
  EXPECT_EQ(db_->Skip(1), 0) << "onto after-last";
  bool after = false;
  EXPECT_EQ(db_->IsAfterLast(&after), 0);
  EXPECT_TRUE(after);
  EXPECT_EQ(db_->Skip(1), code::kAfterLast);
  EXPECT_EQ(db_->record_pointer(), 3);
  EXPECT_EQ(db_->Skip(-1), 0);
  EXPECT_EQ(db_->Skip(-5), 0);
  EXPECT_EQ(db_->record_pointer(), -1);
  bool before = false;
  EXPECT_EQ(db_->IsBeforeFirst(&before), 0);
  EXPECT_TRUE(before);
  EXPECT_EQ(db_->Skip(-1), code::kBeforeFirst);
  std::string bytes;
  EXPECT_EQ(db_->ReadField(0, &bytes), code::kNoCurrentRecord);
  EXPECT_EQ(db_->Skip(100), 0);
  EXPECT_EQ(db_->record_pointer(), 3) << "never past after-last";
  EXPECT_EQ(db_->Skip(0), 0);
  EXPECT_EQ(db_->ReadField(6, &bytes), code::kNoSuchField);
  EXPECT_EQ(db_->ReadField(-1, &bytes), code::kNoSuchField);
}

TEST_F(Engine, ValuesAreStoredAsTheirFieldsSay) {
  ASSERT_EQ(db_->AppendBlank(), 0);
  runtime::Text long_name("twelve chars");
  EXPECT_EQ(Set("NAME", long_name.Arg()), 0);
  EXPECT_EQ(Set("FLAG", ArgCell::Logical(true)), 0);
  EXPECT_EQ(Set("WHEN", ArgCell::DateTime(9e9)), 0);
  EXPECT_EQ(Set("SMALL", ArgCell::Double(70000.9)), 0) << "numbers convert to the field's type";
  EXPECT_EQ(Set("id", ArgCell::Byte(200)), 0) << "names ignore case";
  std::string bytes;
  ASSERT_EQ(db_->ReadField(1, &bytes), 0);
  EXPECT_EQ(bytes, "twelve cha") << "a text fills the width without a zero";
  ASSERT_EQ(db_->ReadField(2, &bytes), 0);
  EXPECT_EQ(bytes, std::string("\xff\xff", 2)) << "a logical reads as -1";
  ASSERT_EQ(db_->ReadField(3, &bytes), 0);
  double days = 0;
  std::memcpy(&days, bytes.data(), 8);
  EXPECT_EQ(days, 2958465.0) << "date-times are clamped on reading";
  ASSERT_EQ(db_->ReadField(4, &bytes), 0);
  int16_t small = 0;
  std::memcpy(&small, bytes.data(), 2);
  EXPECT_EQ(small, static_cast<int16_t>(70000));
  EXPECT_EQ(IdHere(), 200);

  runtime::Text short_name("ab");
  EXPECT_EQ(Set("NAME", short_name.Arg()), 0);
  ASSERT_EQ(db_->ReadField(1, &bytes), 0);
  EXPECT_EQ(bytes, "ab");
  const auto raw = ReadRawRecords(folder_.Native("e.edb"), folder_.Native("e.edt"));
  EXPECT_EQ(raw[0].values[1], std::string("ab\0\0\0\0\0\0\0\0", 10)) << "zero-padded";
  EXPECT_EQ(raw[0].id, 1);
}

TEST_F(Engine, UpdatesResolveTheirFieldsFirst) {
  ASSERT_EQ(db_->AppendBlank(), 0);
  runtime::Text text("x");
  const FieldUpdate mixed[] = {{"NOPE", ArgCell::Int(5)}, {"ID", ArgCell::Int(7)}};
  EXPECT_EQ(db_->UpdateRecords(nullptr, mixed), 0);
  EXPECT_EQ(IdHere(), 7);
  const FieldUpdate unknown[] = {{"NOPE", ArgCell::Int(5)}};
  EXPECT_EQ(db_->UpdateRecords(nullptr, unknown), 0);
  EXPECT_EQ(Set("ID", text.Arg()), code::kValueTypeMismatch);
  EXPECT_EQ(Set("NAME", ArgCell::Int(1)), code::kValueTypeMismatch);
  EXPECT_EQ(IdHere(), 7);
  db_->Skip(-1);
  EXPECT_EQ(Set("ID", ArgCell::Int(1)), code::kNoCurrentRecord);
}

// Sub-statements: computed per record, seeing the record being scanned.
ArgCell IdAboveTwo(const void*) {
  Database& db = *DatabaseList::Instance().Current();
  std::string bytes;
  db.ReadField(0, &bytes);
  int32_t id = 0;
  std::memcpy(&id, bytes.data(), 4);
  return ArgCell::Logical(id > 2);
}

ArgCell NoteFromId(const void*) {
  Database& db = *DatabaseList::Instance().Current();
  std::string bytes;
  db.ReadField(0, &bytes);
  int32_t id = 0;
  std::memcpy(&id, bytes.data(), 4);
  return ArgCell::Text(runtime::MakeText("note " + std::to_string(id)));
}

ArgCell NotALogical(const void*) { return ArgCell::Int(1); }

TEST_F(Engine, ScansWithAConditionVisitEveryRecordAndRestoreThePointer) {
  AppendNumbered(5);
  db_->GoFirst();
  db_->Skip(1);
  const runtime::SubStatement condition{&IdAboveTwo, nullptr};
  const runtime::SubStatement note{&NoteFromId, nullptr};
  const ArgCell condition_cell = ArgCell::Statement(&condition);
  const FieldUpdate update{"NOTE", ArgCell::Statement(&note)};
  EXPECT_EQ(db_->UpdateRecords(&condition_cell, std::span(&update, 1)), 0);
  EXPECT_EQ(db_->record_pointer(), 1);
  const auto raw = ReadRawRecords(folder_.Native("e.edb"), folder_.Native("e.edt"));
  for (int32_t r = 0; r < 5; ++r) {
    EXPECT_EQ(raw[r].values[5], r + 1 > 2 ? "note " + std::to_string(r + 1) : "") << r;
  }
  // A sub-statement of the wrong type ends the scan with its code.
  const runtime::SubStatement wrong{&NotALogical, nullptr};
  const FieldUpdate bad{"NOTE", ArgCell::Statement(&wrong)};
  EXPECT_EQ(db_->UpdateRecords(&condition_cell, std::span(&bad, 1)), code::kExpressionType);
  EXPECT_EQ(db_->record_pointer(), 1);
}

TEST_F(Engine, MarkingDeletesAndUndeletesInPlace) {
  AppendNumbered(4);
  db_->GoFirst();
  EXPECT_EQ(db_->MarkRecords(nullptr, true), 0);
  EXPECT_EQ(db_->MarkRecords(nullptr, true), 0) << "already deleted: unchanged";
  bool deleted = false;
  EXPECT_EQ(db_->IsDeleted(&deleted), 0);
  EXPECT_TRUE(deleted);
  const runtime::SubStatement condition{&IdAboveTwo, nullptr};
  const ArgCell condition_cell = ArgCell::Statement(&condition);
  EXPECT_EQ(db_->MarkRecords(&condition_cell, true), 0);
  auto raw = ReadRawRecords(folder_.Native("e.edb"), "");
  EXPECT_EQ(raw[0].id, -1);
  EXPECT_EQ(raw[1].id, 2);
  EXPECT_EQ(raw[2].id, -3);
  EXPECT_EQ(raw[3].id, -4);
  const ArgCell all = ArgCell::Logical(true);
  EXPECT_EQ(db_->MarkRecords(&all, false), 0);
  raw = ReadRawRecords(folder_.Native("e.edb"), "");
  for (int32_t r = 0; r < 4; ++r) EXPECT_EQ(raw[r].id, r + 1);
  EXPECT_EQ(db_->record_pointer(), 0);
}

TEST_F(Engine, PackRemovesDeletedRecordsTheirChainsAndKeepsTheNextId) {
  AppendNumbered(6);
  for (int32_t r = 0; r < 6; ++r) {
    db_->GoFirst();
    db_->Skip(r);
    runtime::Text note(std::string(700 * (r + 1), static_cast<char>('a' + r)));
    ASSERT_EQ(Set("NOTE", note.Arg()), 0);
  }
  for (int32_t r : {0, 3, 4}) {
    db_->GoFirst();
    db_->Skip(r);
    ASSERT_EQ(db_->MarkRecords(nullptr, true), 0);
  }
  db_->Skip(1);
  EXPECT_EQ(db_->Pack(), 0);
  EXPECT_EQ(db_->record_pointer(), 0);
  const auto raw = ReadRawRecords(folder_.Native("e.edb"), folder_.Native("e.edt"));
  ASSERT_EQ(raw.size(), 3u);
  const int32_t kept[] = {2, 3, 6};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(raw[i].id, kept[i]);
    EXPECT_EQ(raw[i].values[5], std::string(700 * kept[i], static_cast<char>('a' + kept[i] - 1)));
  }
  EXPECT_EQ(Word(ReadWholeFile(folder_.Native("e.edb")), 20), 7) << "the next id stays";
  EXPECT_FALSE(std::filesystem::exists(folder_.Native("e.edb.pack")));
  CheckReport report;
  ASSERT_EQ(CheckDatabase(folder_.Gbk("e.edb"), {}, false, &report), 0);
  EXPECT_TRUE(report.ok()) << report.faults.front();
  EXPECT_EQ(report.leaked_blocks, 0);
  ASSERT_EQ(db_->AppendBlank(), 0);
  EXPECT_EQ(IdHere(), 0);
  EXPECT_EQ(ReadRawRecords(folder_.Native("e.edb"), "").back().id, 7);
}

TEST_F(Engine, AnInterruptedPackIsFinishedByTheNextOpenForWriting) {
  AppendNumbered(4);
  db_->Skip(-2);
  ASSERT_EQ(db_->MarkRecords(nullptr, true), 0);  // record 3 (id 3)
  DatabaseList::Instance().CloseAll();
  // The journal as a pack leaves it just before rewriting the main file: whole and flushed.
  const std::vector<uint8_t> before = ReadWholeFile(folder_.Native("e.edb"));
  const int32_t record_size = Word(before, 24);
  const size_t data = 116 + 72 * kFields.size();
  {
    PackJournalWriter journal;
    ASSERT_EQ(journal.Create(folder_.Gbk("e.edb.pack")), 0);
    for (int32_t r : {0, 1, 3}) {
      ASSERT_EQ(
          journal.Append(before.data() + data + static_cast<size_t>(r) * record_size, record_size),
          0);
    }
    ASSERT_EQ(journal.Commit(record_size, static_cast<int32_t>(data), 3, 5), 0);
  }
  // A read-only open cannot finish it and refuses rather than show a half-packed file.
  EXPECT_EQ(OpenDefault(folder_.Gbk("e.edb"), 0, true), code::kOpenFailed);
  ASSERT_EQ(OpenDefault(folder_.Gbk("e.edb")), 0);
  EXPECT_FALSE(std::filesystem::exists(folder_.Native("e.edb.pack")));
  auto raw = ReadRawRecords(folder_.Native("e.edb"), "");
  ASSERT_EQ(raw.size(), 3u);
  EXPECT_EQ(raw[2].id, 4);

  // A journal cut short means the main file was never touched: it is only deleted.
  DatabaseList::Instance().CloseAll();
  std::vector<uint8_t> journal = ReadWholeFile(folder_.Native("e.edb"));
  WriteWholeFile(folder_.Native("e.edb.pack"), std::vector<uint8_t>(30, 1));
  ASSERT_EQ(OpenDefault(folder_.Gbk("e.edb")), 0);
  EXPECT_FALSE(std::filesystem::exists(folder_.Native("e.edb.pack")));
  EXPECT_EQ(ReadWholeFile(folder_.Native("e.edb")), journal);
}

// A pack that died while rewriting the main file leaves the journal as the only whole copy of
// the records. A read of it that fails proves nothing about it: the open is refused and the
// journal kept, whichever read fails; an open whose reads work then finishes the pack.
TEST_F(Engine, AJournalThatCannotBeReadIsKeptAndTheOpenRefused) {
  AppendNumbered(4);
  DatabaseList::Instance().CloseAll();
  std::vector<uint8_t> main = ReadWholeFile(folder_.Native("e.edb"));
  const int32_t record_size = Word(main, 24);
  const size_t data = 116 + 72 * kFields.size();
  const auto record = [&](int32_t r) { return main.begin() + data + r * size_t(record_size); };
  {
    PackJournalWriter journal;
    ASSERT_EQ(journal.Create(folder_.Gbk("e.edb.pack")), 0);
    for (int32_t r : {0, 1, 3}) ASSERT_EQ(journal.Append(&*record(r), record_size), 0);
    ASSERT_EQ(journal.Commit(record_size, static_cast<int32_t>(data), 3, 5), 0);
  }
  const std::vector<uint8_t> journal = ReadWholeFile(folder_.Native("e.edb.pack"));
  // Half rewritten: the fourth record already moved into the third place, so that it is
  // there twice and the third is gone.
  std::copy(record(3), record(4), record(2));
  WriteWholeFile(folder_.Native("e.edb"), main);

  platform::ArmFileReadFault(1);
  EXPECT_EQ(OpenDefault(folder_.Gbk("e.edb")), code::kPackJournalUnreadable);
  platform::DisarmFileReadFault();
  EXPECT_EQ(ErrorText(code::kPackJournalUnreadable),
            runtime::Gbk("读取数据库的整理日志失败，日志已保留"));

  // Whichever read fails, the journal is either kept whole or has done its work.
  bool refused = false;
  for (int64_t nth = 1; nth <= 12; ++nth) {
    SCOPED_TRACE("read " + std::to_string(nth));
    WriteWholeFile(folder_.Native("e.edb"), main);
    WriteWholeFile(folder_.Native("e.edb.pack"), journal);
    platform::ArmFileReadFault(nth);
    const int32_t opened = OpenDefault(folder_.Gbk("e.edb"));
    platform::DisarmFileReadFault();
    DatabaseList::Instance().CloseAll();
    if (opened == code::kPackJournalUnreadable) {
      refused = true;
      EXPECT_EQ(ReadWholeFile(folder_.Native("e.edb.pack")), journal);
    }
    if (opened != code::kOk) {  // also a read of the main file after the journal's replay
      ASSERT_EQ(OpenDefault(folder_.Gbk("e.edb")), code::kOk) << "once the reads work";
      DatabaseList::Instance().CloseAll();
    }
    EXPECT_FALSE(std::filesystem::exists(folder_.Native("e.edb.pack")));
    const auto raw = ReadRawRecords(folder_.Native("e.edb"), "");
    ASSERT_EQ(raw.size(), 3u);
    EXPECT_EQ(raw[0].id, 1);
    EXPECT_EQ(raw[1].id, 2);
    EXPECT_EQ(raw[2].id, 4);
  }
  EXPECT_TRUE(refused);
}

TEST_F(Engine, OpeningTheSameFileTwiceFailsAndKeepsTheCurrentDatabase) {
  ASSERT_EQ(CreateDatabase(folder_.Gbk("other.edb"), kFields), 0);
  ASSERT_EQ(OpenDefault(folder_.Gbk("other")), 0) << "EDB is the default extension";
  Database* other = DatabaseList::Instance().Current();
  std::filesystem::current_path(folder_.Native(""));
  EXPECT_EQ(OpenDefault("e.edb"), code::kAlreadyOpen) << "relative and absolute";
  EXPECT_EQ(OpenDefault("./sub/../E.EDB"), code::kAlreadyOpen) << "case ignored";
  EXPECT_EQ(DatabaseList::Instance().Current(), other);
  EXPECT_EQ(DatabaseList::Instance().FindByName("E"), db_);
  EXPECT_EQ(DatabaseList::Instance().FindByName(runtime::Gbk("无")), nullptr);
  std::filesystem::current_path("/");
}

TEST_F(Engine, AliasesMustBeNames) {
  ASSERT_EQ(CreateDatabase(folder_.Gbk("a.edb"), kFields), 0);
  OpenOptions options;
  options.path = folder_.Gbk("a.edb");
  for (const std::string& bad : {std::string("1abc"), std::string("a b"), runtime::Gbk("１号")}) {
    options.alias = bad;
    EXPECT_EQ(DatabaseList::Instance().Open(options), code::kBadAlias) << bad;
  }
  options.alias = runtime::Gbk("章节ａ1");
  EXPECT_EQ(DatabaseList::Instance().Open(options), 0);
  EXPECT_EQ(DatabaseList::Instance().FindByName(runtime::Gbk("章节Ａ1")), nullptr)
      << "full-width letters keep their case";
  EXPECT_NE(DatabaseList::Instance().FindByName(runtime::Gbk("章节ａ1")), nullptr);
}

TEST_F(Engine, ShareModesKeepOthersOut) {
  DatabaseList::Instance().CloseAll();
  ASSERT_EQ(OpenDefault(folder_.Gbk("e.edb"), 3), 0);  // exclusive
  platform::FileResult other =
      platform::File::Open(folder_.Gbk("e.edb"), platform::FileAccess::kRead,
                           platform::ShareMode::kDenyNone, platform::Disposition::kOpenExisting);
  EXPECT_EQ(other.error, platform::FileError::kSharingViolation);
  Database& db = *DatabaseList::Instance().Current();
  ASSERT_EQ(db.AppendBlank(), 0) << "an exclusive database takes no locks and works";
  EXPECT_EQ(SetText(db, "NOTE", "x"), 0);
}

TEST_F(Engine, AnExclusiveOpenKeepsItsCountsRightThroughAppendsAndPacks) {
  DatabaseList::Instance().CloseAll();
  ASSERT_EQ(OpenDefault(folder_.Gbk("e.edb"), 3), 0);  // exclusive: the counts are kept
  db_ = DatabaseList::Instance().Current();
  const auto count = [&] {
    int32_t records = 0, next_id = 0;
    EXPECT_EQ(db_->RecordCount(&records, &next_id), 0);
    return records;
  };
  EXPECT_EQ(count(), 0);
  AppendNumbered(3);
  EXPECT_EQ(count(), 3);
  db_->GoFirst();
  ASSERT_EQ(db_->MarkRecords(nullptr, true), 0);
  ASSERT_EQ(db_->Pack(), 0);
  EXPECT_EQ(count(), 2);
  db_->GoFirst();
  EXPECT_EQ(IdHere(), 2);
  EXPECT_EQ(db_->Skip(2), 0);
  bool after = false;
  EXPECT_EQ(db_->IsAfterLast(&after), 0);
  EXPECT_TRUE(after);
#ifdef _WIN32
  // Windows lets no other open read a file opened exclusively: it is read once closed.
  DatabaseList::Instance().CloseAll();
#endif
  EXPECT_EQ(Word(ReadWholeFile(folder_.Native("e.edb")), 16), 2) << "the file says the same";
}

// An exclusive open reads records ahead and keeps the memo header: what it reads afterwards
// still shows every change it made since — a field set, a mark, an append, a pack, memo values
// that grow and shrink the memo file.
TEST_F(Engine, AnExclusiveOpenReadsItsOwnChangesThoughItReadsAheadAndKeepsTheMemoHeader) {
  DatabaseList::Instance().CloseAll();
  ASSERT_EQ(OpenDefault(folder_.Gbk("e.edb"), 3), 0);
  db_ = DatabaseList::Instance().Current();
  AppendNumbered(3);
  const auto walk = [&] {  // the IDs of the records not marked deleted, in order
    std::vector<int32_t> ids;
    db_->GoFirst();
    for (bool after = false; db_->IsAfterLast(&after) == 0 && !after; db_->Skip(1)) {
      bool deleted = false;
      EXPECT_EQ(db_->IsDeleted(&deleted), 0);
      if (!deleted) ids.push_back(IdHere());
    }
    return ids;
  };
  EXPECT_EQ(walk(), (std::vector<int32_t>{1, 2, 3}));
  db_->GoFirst();
  ASSERT_EQ(db_->Skip(1), 0);
  ASSERT_EQ(Set("ID", ArgCell::Int(20)), 0);
  EXPECT_EQ(walk(), (std::vector<int32_t>{1, 20, 3}));
  db_->GoFirst();
  ASSERT_EQ(db_->MarkRecords(nullptr, true), 0);
  EXPECT_EQ(walk(), (std::vector<int32_t>{20, 3}));
  ASSERT_EQ(db_->AppendBlank(), 0);
  ASSERT_EQ(Set("ID", ArgCell::Int(4)), 0);
  EXPECT_EQ(walk(), (std::vector<int32_t>{20, 3, 4}));
  ASSERT_EQ(db_->Pack(), 0);
  EXPECT_EQ(walk(), (std::vector<int32_t>{20, 3, 4}));
  db_->GoFirst();
  bool deleted = true;
  ASSERT_EQ(db_->IsDeleted(&deleted), 0);
  EXPECT_FALSE(deleted) << "the record packed into the first place";

  // Memo values read back whole as the memo file grows and shrinks under this open (its
  // header is kept, not read again).
  for (const size_t length : {100u, 20000u, 3u, 60000u, 0u, 1500u}) {
    const std::string value(length, static_cast<char>('a' + length % 26));
    for (int32_t record = 0; record < 3; ++record) {
      db_->GoFirst();
      ASSERT_EQ(db_->Skip(record), 0);
      ASSERT_EQ(SetText(*db_, "NOTE", value + std::to_string(record)), 0);
    }
    for (int32_t record = 0; record < 3; ++record) {
      db_->GoFirst();
      ASSERT_EQ(db_->Skip(record), 0);
      EXPECT_EQ(ReadText(*db_, 5), value + std::to_string(record)) << length;
    }
  }
}

class Prompt : public PasswordPrompt {
 public:
  explicit Prompt(std::vector<std::optional<std::string>> answers) : answers_(std::move(answers)) {}
  std::optional<std::string> Ask(std::string_view message) override {
    messages.emplace_back(message);
    if (answers_.empty()) return std::nullopt;
    auto answer = answers_.front();
    answers_.erase(answers_.begin());
    return answer;
  }
  std::vector<std::string> messages;

 private:
  std::vector<std::optional<std::string>> answers_;
};

TEST(Passwords, DigestIsTheSwappedReversedHexOfMd5) {
  // MD5("abc") = 900150983cd24fb0d6963f7d28e17f72
  std::string expected = "900150983cd24fb0d6963f7d28e17f72";
  for (size_t i = 0; i < expected.size(); i += 2) std::swap(expected[i], expected[i + 1]);
  std::reverse(expected.begin(), expected.end());
  EXPECT_EQ(PasswordDigest("abc"), expected);
  std::string upper = expected;
  for (char& c : upper) c = static_cast<char>(std::toupper(c));
  EXPECT_TRUE(PasswordMatches("abc", upper));
  EXPECT_FALSE(PasswordMatches("abd", expected));
}

TEST(Passwords, AQuestionMarkAsksUpToThreeTimes) {
  TempFolder folder;
  ASSERT_EQ(CreateDatabase(folder.Gbk("p.edb"), kFields, "secret"), 0);
  OpenOptions options;
  options.path = folder.Gbk("p.edb");
  EXPECT_EQ(DatabaseList::Instance().Open(options), code::kWrongPassword);
  options.password = "?";
  EXPECT_EQ(DatabaseList::Instance().Open(options), code::kWrongPassword) << "no prompt: cancelled";

  Prompt wrong_thrice({"a", "b", "c", "secret"});
  SetPasswordPrompt(&wrong_thrice);
  EXPECT_EQ(DatabaseList::Instance().Open(options), code::kWrongPassword);
  ASSERT_EQ(wrong_thrice.messages.size(), 3u);
  EXPECT_EQ(wrong_thrice.messages[0], "");
  EXPECT_EQ(wrong_thrice.messages[2], runtime::Gbk("密码错误，您还有 1 次重新输入的机会。"));

  Prompt second_time({"nope", "secret"});
  SetPasswordPrompt(&second_time);
  EXPECT_EQ(DatabaseList::Instance().Open(options), 0);
  SetPasswordPrompt(nullptr);
  DatabaseList::Instance().CloseAll();
  options.password = "SECRET";
  EXPECT_EQ(DatabaseList::Instance().Open(options), code::kWrongPassword)
      << "the password's case counts";
  options.password = "secret";
  EXPECT_EQ(DatabaseList::Instance().Open(options), 0);
}

TEST(DatabaseListOrder, RemovingFollowsTheCurrentIndex) {
  TempFolder folder;
  for (const char* name : {"a.edb", "b.edb", "c.edb"}) {
    ASSERT_EQ(CreateDatabase(folder.Gbk(name), kFields), 0);
    ASSERT_EQ(OpenDefault(folder.Gbk(name)), 0);
  }
  DatabaseList& list = DatabaseList::Instance();
  EXPECT_EQ(list.current_index(), 2);
  list.Remove(0);
  EXPECT_EQ(list.current_index(), 1);
  EXPECT_EQ(list.Current()->title(), "c");
  list.Remove(1);
  EXPECT_EQ(list.current_index(), -1);
  EXPECT_EQ(list.Current(), nullptr);
}

}  // namespace
}  // namespace database::testing

namespace database::testing {
namespace {

// Packs the database arguments[0] with the file fault arguments[1] (the nth write-like call)
// and arguments[2] (a FaultAction) armed.
INKSTONE_CHILD_MODE(PackWithFault) {
  if (OpenDefault(arguments[0]) != 0) return 2;
  platform::ArmFileFault(std::atoll(arguments[1].c_str()),
                         static_cast<platform::FaultAction>(std::atoi(arguments[2].c_str())));
  DatabaseList::Instance().Current()->Pack();
  return 0;
}

// A pack killed at any of its writes is finished by the next open or never happened: every
// kept record is there exactly once, with its chain, and no fault but leaked blocks.
TEST(PackCrash, APackKilledAtAnyWriteIsFinishedOrNeverStarted) {
  TempFolder folder;
  ASSERT_EQ(CreateDatabase(folder.Gbk("p.edb"), ChapterFields()), 0);
  ASSERT_EQ(OpenDefault(folder.Gbk("p.edb")), 0);
  Database& db = *DatabaseList::Instance().Current();
  for (int i = 1; i <= 12; ++i) {
    ASSERT_EQ(db.AppendBlank(), 0);
    ASSERT_EQ(SetText(db, runtime::Gbk("姓名"), std::string(300 * i, static_cast<char>('a' + i))),
              0);
    if (i % 3 == 0) {
      ASSERT_EQ(db.MarkRecords(nullptr, true), 0);
    }
  }
  DatabaseList::Instance().CloseAll();
  const std::vector<uint8_t> main_before = ReadWholeFile(folder.Native("p.edb"));
  const std::vector<uint8_t> memo_before = ReadWholeFile(folder.Native("p.edt"));
  bool saw_packed = false;
  bool saw_unpacked = false;
  for (int64_t nth = 1; nth <= 16; ++nth) {
    for (platform::FaultAction action :
         {platform::FaultAction::kExit, platform::FaultAction::kTornWrite}) {
      WriteWholeFile(folder.Native("p.edb"), main_before);
      WriteWholeFile(folder.Native("p.edt"), memo_before);
      std::filesystem::remove(folder.Native("p.edb.pack"));
      const int code =
          test_support::Child("PackWithFault", {folder.Gbk("p.edb"), std::to_string(nth),
                                                std::to_string(static_cast<int>(action))})
              .Wait();
      // Ended by the fault, or finished when the pack has fewer writes.
      ASSERT_TRUE(code == platform::kFaultExitCode || code == 0) << "write " << nth << ": " << code;
      ASSERT_EQ(OpenDefault(folder.Gbk("p.edb")), 0) << "write " << nth;
      DatabaseList::Instance().CloseAll();
      const auto raw = ReadRawRecords(folder.Native("p.edb"), folder.Native("p.edt"));
      std::vector<int32_t> live;
      for (const RawRecord& record : raw) {
        if (record.id > 0) {
          live.push_back(record.id);
          EXPECT_EQ(record.values[0],
                    std::string(300 * record.id, static_cast<char>('a' + record.id)))
              << "write " << nth;
        }
      }
      EXPECT_EQ(live, (std::vector<int32_t>{1, 2, 4, 5, 7, 8, 10, 11})) << "write " << nth;
      EXPECT_TRUE(raw.size() == 8 || raw.size() == 12) << "write " << nth << ": " << raw.size();
      saw_packed = saw_packed || raw.size() == 8;
      saw_unpacked = saw_unpacked || raw.size() == 12;
      // Structure after clean kills; a torn write is what a kill does to a large write (the
      // journal, the records), and the 12-byte memo header writes are never torn by one.
      if (action == platform::FaultAction::kExit) {
        CheckReport report;
        ASSERT_EQ(CheckDatabase(folder.Gbk("p.edb"), {}, false, &report), 0);
        EXPECT_TRUE(report.ok()) << "write " << nth << ": " << report.faults.front();
      }
    }
  }
  EXPECT_TRUE(saw_packed);
  EXPECT_TRUE(saw_unpacked);
}

}  // namespace
}  // namespace database::testing
