#include "platform/core/file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/fault_injection.h"
#include "tests/platform/core/test_support.h"
#include "tests/support/child_process.h"

namespace platform {
namespace {

using core_test::ReadNative;
using core_test::TempFolder;
using core_test::WriteNative;

constexpr FileAccess kR = FileAccess::kRead;
constexpr FileAccess kW = FileAccess::kWrite;
constexpr FileAccess kRW = FileAccess::kReadWrite;

File OpenOrDie(const std::string& path, FileAccess access = kRW,
               ShareMode share = ShareMode::kDenyNone,
               Disposition disposition = Disposition::kOpenAlways) {
  FileResult result = File::Open(path, access, share, disposition);
  if (!result.ok()) ADD_FAILURE() << "open failed: " << static_cast<int>(result.error);
  return result.ok() ? std::move(*result.file) : File();
}

File OpenExisting(const std::string& path) {
  return File::Open(path, kRW, ShareMode::kDenyNone, Disposition::kOpenExisting)
      .file.value_or(File());
}

constexpr int kIncrements = 1000;

// Opens the counter file exclusively and increments it, kIncrements times.
INKSTONE_CHILD_MODE(IncrementCounter) {
  for (int i = 0; i < kIncrements;) {
    FileResult opened = File::Open(arguments[0], kRW, ShareMode::kExclusive, Disposition::kOpenExisting);
    if (opened.error == FileError::kSharingViolation) continue;
    if (!opened.ok()) return 1;
    int64_t value = 0;
    if (opened.file->ReadAt(0, &value, 8) != 8) return 2;
    ++value;
    if (opened.file->WriteAt(0, &value, 8) != 8) return 3;
    ++i;
  }
  return 0;
}

INKSTONE_CHILD_MODE(MeetParentLock) {
  File file = OpenExisting(arguments[0]);
  if (file.TryLock(50, 1) != LockResult::kLockViolation) return 1;
  if (file.TryLock(100, 1) != LockResult::kLocked) return 2;
  return 0;
}

INKSTONE_CHILD_MODE(HoldLockUntilGo) {
  File file = OpenExisting(arguments[0]);
  if (file.TryLock(200, 10) != LockResult::kLocked) return 1;
  test_support::SignalParent();
  test_support::WaitForParent();
  return 0;  // the lock ends with the process
}

INKSTONE_CHILD_MODE(TearWrite) {
  File torn = OpenOrDie(arguments[0]);
  ArmFileFault(1, FaultAction::kTornWrite);
  torn.WriteAt(0, "0123456789", 10);
  return 0;
}

TEST(FileOpen, DispositionsOnMissingAndExistingFiles) {
  const struct {
    const char* what;
    bool exists;
    Disposition disposition;
    FileError error;
    const char* content_after;  // nullptr: the file must not exist afterwards
  } cases[] = {
      {"open existing, missing", false, Disposition::kOpenExisting, FileError::kNotFound, nullptr},
      {"open existing", true, Disposition::kOpenExisting, FileError::kNone, "old text"},
      {"create always, missing", false, Disposition::kCreateAlways, FileError::kNone, ""},
      {"create always truncates", true, Disposition::kCreateAlways, FileError::kNone, ""},
      {"open always, missing", false, Disposition::kOpenAlways, FileError::kNone, ""},
      {"open always keeps content", true, Disposition::kOpenAlways, FileError::kNone, "old text"},
      {"create new", false, Disposition::kCreateNew, FileError::kNone, ""},
      {"create new, existing", true, Disposition::kCreateNew, FileError::kAlreadyExists,
       "old text"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder temp;
    if (c.exists) WriteNative(temp.Native("章.txt"), "old text");
    FileResult result =
        File::Open(temp.GbkPath("章.txt"), kRW, ShareMode::kDenyNone, c.disposition);
    EXPECT_EQ(result.error, c.error);
    EXPECT_EQ(result.ok(), c.error == FileError::kNone);
    result.file.reset();
    if (c.content_after == nullptr) {
      EXPECT_FALSE(std::filesystem::exists(temp.Native("章.txt")));
    } else {
      EXPECT_EQ(ReadNative(temp.Native("章.txt")), c.content_after);
    }
  }
}

TEST(FileOpen, ReportsMissingFolderAndFolderAsFile) {
  TempFolder temp;
  EXPECT_EQ(
      File::Open(temp.GbkPath("无\\章.txt"), kR, ShareMode::kDenyNone, Disposition::kOpenAlways)
          .error,
      FileError::kPathNotFound);
  std::filesystem::create_directory(temp.Native("文件夹"));
  for (FileAccess access : {kR, kW, kRW}) {
    EXPECT_EQ(
        File::Open(temp.GbkPath("文件夹"), access, ShareMode::kDenyNone, Disposition::kOpenExisting)
            .error,
        FileError::kAccessDenied);
  }
}

TEST(FileIo, ReadsWritesTruncatesAtOffsets) {
  TempFolder temp;
  File file = OpenOrDie(temp.GbkPath("a.bin"));
  EXPECT_EQ(file.WriteAt(0, "hello world", 11), 11);
  EXPECT_EQ(file.WriteAt(20, "tail", 4), 4);  // past the end: the gap reads as zeros
  EXPECT_EQ(file.Size(), 24);

  char buffer[32] = {};
  EXPECT_EQ(file.ReadAt(6, buffer, 5), 5);
  EXPECT_EQ(std::string(buffer, 5), "world");
  EXPECT_EQ(file.ReadAt(11, buffer, 32), 13);  // short at the end of the file
  EXPECT_EQ(std::string(buffer, 13), std::string(9, '\0') + "tail");
  EXPECT_EQ(file.ReadAt(100, buffer, 4), 0);

  EXPECT_TRUE(file.Truncate(5));
  EXPECT_EQ(file.Size(), 5);
  EXPECT_TRUE(file.Flush());
  file.Close();
  EXPECT_EQ(ReadNative(temp.Native("a.bin")), "hello");
  EXPECT_EQ(file.ReadAt(0, buffer, 1), -1);
}

TEST(FileIo, AccessIsEnforced) {
  TempFolder temp;
  WriteNative(temp.Native("a.txt"), "text");
  char buffer[4];
  File reader =
      OpenOrDie(temp.GbkPath("a.txt"), kR, ShareMode::kDenyNone, Disposition::kOpenExisting);
  EXPECT_EQ(reader.ReadAt(0, buffer, 4), 4);
  EXPECT_EQ(reader.WriteAt(0, "x", 1), -1);
  EXPECT_FALSE(reader.Truncate(0));
  File writer =
      OpenOrDie(temp.GbkPath("a.txt"), kW, ShareMode::kDenyNone, Disposition::kOpenExisting);
  EXPECT_EQ(writer.ReadAt(0, buffer, 4), -1);
  EXPECT_EQ(writer.WriteAt(0, "T", 1), 1);
  EXPECT_EQ(ReadNative(temp.Native("a.txt")), "Text");
}

// First open, second open of the same file in one process, and whether the second succeeds.
struct ShareCase {
  FileAccess first_access;
  ShareMode first_share;
  FileAccess second_access;
  ShareMode second_share;
  bool second_opens;
};

TEST(ShareMode, MatrixWithinOneProcess) {
  using S = ShareMode;
  const ShareCase cases[] = {
      // Deny none lets everything in, and anything that allows it in.
      {kR, S::kDenyNone, kR, S::kDenyNone, true},
      {kR, S::kDenyNone, kW, S::kDenyNone, true},
      {kRW, S::kDenyNone, kRW, S::kDenyNone, true},
      // Deny write: readers welcome, writers refused, both directions.
      {kR, S::kDenyWrite, kR, S::kDenyNone, true},
      {kR, S::kDenyWrite, kR, S::kDenyWrite, true},
      {kR, S::kDenyWrite, kW, S::kDenyNone, false},
      {kR, S::kDenyWrite, kRW, S::kDenyNone, false},
      {kW, S::kDenyNone, kR, S::kDenyWrite, false},  // would deny the writer already there
      {kR, S::kDenyNone, kR, S::kDenyWrite, true},
      {kW, S::kDenyWrite, kR, S::kDenyNone, true},
      {kW, S::kDenyWrite, kR, S::kDenyWrite, false},
      // Deny read: writers welcome, readers refused.
      {kW, S::kDenyRead, kW, S::kDenyNone, true},
      {kW, S::kDenyRead, kR, S::kDenyNone, false},
      {kW, S::kDenyRead, kRW, S::kDenyNone, false},
      {kR, S::kDenyNone, kW, S::kDenyRead, false},
      {kW, S::kDenyNone, kW, S::kDenyRead, true},
      // Exclusive: nothing else, whatever it asks for.
      {kR, S::kExclusive, kR, S::kDenyNone, false},
      {kR, S::kExclusive, kW, S::kDenyNone, false},
      {kW, S::kExclusive, kR, S::kDenyNone, false},
      {kRW, S::kExclusive, kRW, S::kExclusive, false},
      {kR, S::kDenyNone, kR, S::kExclusive, false},
      {kRW, S::kDenyNone, kW, S::kExclusive, false},
      // Mutual deny modes without conflicting access.
      {kR, S::kDenyWrite, kW, S::kDenyRead, false},
      {kW, S::kDenyRead, kR, S::kDenyWrite, false},
  };
  TempFolder temp;
  const std::string path = temp.GbkPath("共享.txt");
  WriteNative(temp.Native("共享.txt"), "");
  for (size_t i = 0; i < std::size(cases); ++i) {
    const ShareCase& c = cases[i];
    SCOPED_TRACE("case " + std::to_string(i));
    FileResult first = File::Open(path, c.first_access, c.first_share, Disposition::kOpenExisting);
    ASSERT_TRUE(first.ok());
    FileResult second =
        File::Open(path, c.second_access, c.second_share, Disposition::kOpenExisting);
    EXPECT_EQ(second.error, c.second_opens ? FileError::kNone : FileError::kSharingViolation);
  }
  // Nothing is left behind by the refused opens.
  EXPECT_TRUE(File::Open(path, kRW, ShareMode::kExclusive, Disposition::kOpenExisting).ok());
}

TEST(ShareMode, ClosingOneOpenKeepsTheOthersDenyMode) {
  TempFolder temp;
  const std::string path = temp.GbkPath("a.txt");
  File deny_write = OpenOrDie(path, kR, ShareMode::kDenyWrite);
  { File other_reader = OpenOrDie(path, kR, ShareMode::kDenyWrite); }
  EXPECT_EQ(File::Open(path, kW, ShareMode::kDenyNone, Disposition::kOpenExisting).error,
            FileError::kSharingViolation);
  deny_write.Close();
  EXPECT_TRUE(File::Open(path, kW, ShareMode::kDenyNone, Disposition::kOpenExisting).ok());
}

TEST(ShareMode, RefusedCreateAlwaysLeavesTheContent) {
  TempFolder temp;
  WriteNative(temp.Native("a.txt"), "precious");
  File holder = OpenOrDie(temp.GbkPath("a.txt"), kR, ShareMode::kDenyWrite);
  EXPECT_EQ(
      File::Open(temp.GbkPath("a.txt"), kW, ShareMode::kDenyNone, Disposition::kCreateAlways).error,
      FileError::kSharingViolation);
  EXPECT_EQ(ReadNative(temp.Native("a.txt")), "precious");
}

#ifndef _WIN32
// On a file system that takes no locks (a network folder without a lock service) nothing can
// keep a second writer out: the opens go on unguarded and say so, two "exclusive" opens
// included, and byte-range locks say they are not supported.
TEST(ShareMode, AFileSystemWithoutLocksOpensUnguardedAndSaysSo) {
  TempFolder temp;
  WriteNative(temp.Native("a.txt"), "x");
  const std::string path = temp.GbkPath("a.txt");
  DeclareFolderLockless(temp.GbkPath());
  File first = OpenOrDie(path, kRW, ShareMode::kExclusive);
  File second = OpenOrDie(path, kRW, ShareMode::kExclusive);
  EXPECT_FALSE(first.share_mode_enforced());
  EXPECT_FALSE(second.share_mode_enforced());
  EXPECT_EQ(first.TryLock(0, 1), LockResult::kNotSupported);
  first.Close();
  second.Close();
  DeclareFolderLocking(temp.GbkPath());
  File guarded = OpenOrDie(path, kRW, ShareMode::kExclusive);
  EXPECT_TRUE(guarded.share_mode_enforced());
  EXPECT_EQ(File::Open(path, kRW, ShareMode::kDenyNone, Disposition::kOpenExisting).error,
            FileError::kSharingViolation);
}
#endif

// Processes race to open a counter file exclusively and increment it. A lost increment means two
// exclusive opens succeeded at once.
TEST(ShareMode, ExclusiveOpensExcludeEachOtherUnderContention) {
  TempFolder temp;
  const std::string path = temp.GbkPath("counter");
  WriteNative(temp.Native("counter"), std::string(8, '\0'));
  constexpr int kProcesses = 3;
  std::vector<std::unique_ptr<test_support::Child>> children;
  for (int p = 0; p < kProcesses; ++p) {
    children.push_back(std::make_unique<test_support::Child>("IncrementCounter",
                                                             std::vector<std::string>{path}));
  }
  for (auto& child : children) EXPECT_EQ(child->Wait(), 0);
  File file = OpenOrDie(path, kR);
  int64_t value = 0;
  ASSERT_EQ(file.ReadAt(0, &value, 8), 8);
  EXPECT_EQ(value, kProcesses * kIncrements);
}

TEST(ByteLock, ConflictsBetweenTwoOpensInOneProcess) {
  TempFolder temp;
  File a = OpenOrDie(temp.GbkPath("db"));
  File b = OpenOrDie(temp.GbkPath("db"));
  ASSERT_EQ(a.TryLock(100, 10), LockResult::kLocked);
  EXPECT_EQ(b.TryLock(100, 10), LockResult::kLockViolation);
  EXPECT_EQ(b.TryLock(109, 5), LockResult::kLockViolation);  // overlaps the last byte
  EXPECT_EQ(b.TryLock(90, 10), LockResult::kLocked);         // ends just before
  EXPECT_EQ(b.TryLock(110, 1), LockResult::kLocked);         // starts just after
  EXPECT_EQ(a.TryLock(0x7FFFFFFF, 1), LockResult::kLocked);  // the top of the database's range

  EXPECT_TRUE(a.Unlock(100, 10));
  EXPECT_EQ(b.TryLock(100, 10), LockResult::kLocked);
}

TEST(ByteLock, FollowsThePlatformRulesWithinOneOpen) {
  TempFolder temp;
  File a = OpenOrDie(temp.GbkPath("db"));
  ASSERT_EQ(a.TryLock(100, 10), LockResult::kLocked);
  EXPECT_EQ(a.TryLock(105, 10), LockResult::kLockViolation);  // no re-lock of its own range
  EXPECT_FALSE(a.Unlock(100, 5));                             // only whole ranges unlock
  EXPECT_FALSE(a.Unlock(200, 10));
  EXPECT_TRUE(a.Unlock(100, 10));
  EXPECT_FALSE(a.Unlock(100, 10));
  EXPECT_EQ(a.TryLock(-1, 10), LockResult::kIoError);
  EXPECT_EQ(a.TryLock(kReservedLockBase - 1, 2), LockResult::kIoError);
}

TEST(ByteLock, ClosingAnotherOpenKeepsTheLock) {
  TempFolder temp;
  File holder = OpenOrDie(temp.GbkPath("db"));
  ASSERT_EQ(holder.TryLock(0, 1), LockResult::kLocked);
  {
    File passer_by = OpenOrDie(temp.GbkPath("db"));
    EXPECT_EQ(passer_by.TryLock(0, 1), LockResult::kLockViolation);
  }
  File checker = OpenOrDie(temp.GbkPath("db"));
  EXPECT_EQ(checker.TryLock(0, 1), LockResult::kLockViolation);
  holder.Close();
  EXPECT_EQ(checker.TryLock(0, 1), LockResult::kLocked);
}

TEST(ByteLock, ConflictsBetweenProcessesBothWays) {
  TempFolder temp;
  const std::string path = temp.GbkPath("db");
  File parent = OpenOrDie(path);
  ASSERT_EQ(parent.TryLock(0, 100), LockResult::kLocked);
  EXPECT_EQ(test_support::Child("MeetParentLock", {path}).Wait(), 0);
  test_support::Child child("HoldLockUntilGo", {path});
  ASSERT_TRUE(child.WaitReady());
  EXPECT_EQ(parent.TryLock(205, 1), LockResult::kLockViolation);
  child.Go();
  EXPECT_EQ(child.Wait(), 0);
  EXPECT_EQ(parent.TryLock(205, 1), LockResult::kLocked);
}

TEST(FaultInjection, StrikesTheNthWriteLikeCall) {
  TempFolder temp;
  const std::string path = temp.GbkPath("a");
  File file = OpenOrDie(path);
  ArmFileFault(2, FaultAction::kFail);
  EXPECT_EQ(file.WriteAt(0, "1", 1), 1);
  EXPECT_FALSE(file.Flush());
  EXPECT_TRUE(file.Truncate(0));  // the fault disarmed itself
  file.Close();
  EXPECT_EQ(test_support::Child("TearWrite", {path}).Wait(), kFaultExitCode);
  EXPECT_EQ(ReadNative(temp.Native("a")), "01234");
}

TEST(FaultInjection, StrikesTheNthReadApartFromTheWrites) {
  TempFolder temp;
  const std::string path = temp.GbkPath("a");
  File file = OpenOrDie(path);
  ASSERT_EQ(file.WriteAt(0, "abc", 3), 3);
  ArmFileReadFault(2);
  char bytes[3] = {};
  EXPECT_EQ(file.WriteAt(3, "d", 1), 1) << "writes do not count";
  EXPECT_EQ(file.ReadAt(0, bytes, 3), 3);
  EXPECT_EQ(file.ReadAt(0, bytes, 3), -1);
  EXPECT_EQ(file.ReadAt(1, bytes, 3), 3) << "the fault disarmed itself";
  EXPECT_EQ(std::string(bytes, 3), "bcd");
}

// What tells whether an open file is still the one at its path, also while it is open
// exclusively (looking at the path must not conflict with that open).
TEST(FileIdentity, TellsTheFileAtThePathFromOneRenamedOverOrDeleted) {
  TempFolder temp;
  const std::string path = temp.GbkPath("a");
  File file = OpenOrDie(path, kRW, ShareMode::kExclusive);
  const std::optional<FileIdentity> open = file.Identity();
  ASSERT_TRUE(open.has_value());
  EXPECT_EQ(open->links, 1u);
  std::optional<FileIdentity> named = IdentityOfPath(path);
  ASSERT_TRUE(named.has_value());
  EXPECT_TRUE(named->SameFileAs(*open));

  WriteNative(temp.Native("b"), "backup");
  std::error_code error;
  std::filesystem::rename(temp.Native("b"), temp.Native("a"), error);
  if (!error) {  // Windows may refuse to rename over an open file
    named = IdentityOfPath(path);
    ASSERT_TRUE(named.has_value());
    EXPECT_FALSE(named->SameFileAs(*file.Identity()));
#ifndef _WIN32
    EXPECT_EQ(file.Identity()->links, 0u) << "the file renamed over lost its only name";
#endif
  }

  EXPECT_FALSE(File().Identity().has_value());
#ifndef _WIN32  // Windows keeps the name of a deleted open file until its last handle closes
  File other = OpenOrDie(temp.GbkPath("c"));
  ASSERT_TRUE(std::filesystem::remove(temp.Native("c")));
  EXPECT_EQ(other.Identity()->links, 0u);
  EXPECT_FALSE(IdentityOfPath(temp.GbkPath("c")).has_value());
#endif
}

}  // namespace
}  // namespace platform
