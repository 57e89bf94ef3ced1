#include "app/exit_backup.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/autosave.h"
#include "app/chapters.h"
#include "app/desk_texts.h"
#include "app/gate_calls.h"
#include "app/main_window_ids.h"
#include "app/save_alarm.h"
#include "database/database_list.h"
#include "database/error_codes.h"
#include "platform/core/file_search.h"
#include "platform/core/native_path.h"

namespace app {

namespace {

using runtime::ArgCell;
using runtime::Text;

// A box with an OK button and the default caption.
void Tell(const std::string& gbk) {
  const Text text(gbk);
  Core(libraries::kMessageBox, {text.Arg(), ArgCell::Int(0)});
}

// Whether a folder can be listed at all (a search that finds nothing cannot tell).
bool FolderReadable(const std::string& gbk_folder) {
  std::error_code error;
  std::filesystem::directory_iterator listing(platform::FsPath(gbk_folder), error);
  return !error;
}

// Copies every "*.txt" of 小说文件 into 小说文件备份 (existing copies replaced). This
// platform has no command interpreter for a batch file, so the files are copied one by
// one (no command lists a folder: the platform's file search does). Gives the names of the
// files whose copy failed; the folder's own name when it cannot be read.
std::vector<std::string> CopyChapterFiles() {
  std::vector<std::string> failed;
  const std::string source_folder = InProgramFolder(texts::kChapterFolder);
  const std::string target_folder = InProgramFolder(texts::kChapterBackupFolder);
  platform::FileSearch search;
  if (!search.Start(InProgramFolder(texts::kChapterFilePattern))) {
    if (!FolderReadable(source_folder)) failed.push_back(texts::kChapterFolder.substr(1));
    return failed;
  }
  while (auto entry = search.Next()) {
    if (entry->attributes & platform::kAttributeDirectory) continue;
    const Text source(source_folder + "\\" + entry->name);
    const Text target(target_folder + "\\" + entry->name);
    if (!IsTrue(Core(libraries::kCopyFile, {source.Arg(), target.Arg()})))
      failed.push_back(entry->name);
  }
  return failed;
}

void BackUpChapterFiles() {
  const std::vector<std::string> failed = CopyChapterFiles();
  if (failed.empty()) return Tell(texts::kChapterBackupDone);
  std::string message = texts::kChapterBackupFailed;
  for (size_t i = 0; i < failed.size(); ++i)
    message += (i == 0 ? "" : runtime::Gbk("、")) + failed[i];
  Tell(message);
}

void BackUpAutosaveFile() {
  AutosaveNow();  // the file may lag the box by a few seconds
  // A file not rewritten in this session (autosave off, or the text never changed) is the
  // last session's text, which must not be kept under today's time as this session's; one
  // that could not take the last changes is not this session's text either.
  if (!AutosaveHoldsThisSessionsText()) {
    if (AutosaveDue()) Tell(texts::kAutosaveBackupFailed);
    return;
  }
  const Text now = CoreText(libraries::kToText, {Core(libraries::kGetNow, {})});
  const Text source(InProgramFolder(texts::kAutosaveFile));
  const Text target(InProgramFolder(texts::kAutosaveBackupPrefix + std::string(now.View()) +
                                    texts::kAutosaveBackupSuffix));
  const bool copied = IsTrue(Core(libraries::kCopyFile, {source.Arg(), target.Arg()}));
  Tell(copied ? texts::kAutosaveBackupDone : texts::kAutosaveBackupFailed);
}

// Records marked deleted go for good. A pack that fails leaves them marked (the list shows
// only the others), but the author hears of it in the style of the backups.
void PackChapterDatabase() {
  // Chapters waiting in rescue copies are listed by record number, which a pack changes.
  if (!ChapterDatabaseOpen() || RescuedChaptersWaiting()) return;
  if (IsTrue(Core(libraries::kPackDatabase, {}))) return;
  Tell(texts::kPackFailed + database::ErrorText(database::LastDatabaseError()));
}

}  // namespace

void RunExitBackup() {
  FlushShownChapter();
  KeepShownChapterVersion(chapter_history::VersionReason::kLeft);
  BackUpChapterFiles();
  const Text content = ReadText(unit::kTextBox, property::kContent);
  const Text empty;
  if (Core(libraries::kCompareTexts, {content.Arg(), empty.Arg()}).As<int32_t>() != 0)
    BackUpAutosaveFile();
  PackChapterDatabase();
}

}  // namespace app
