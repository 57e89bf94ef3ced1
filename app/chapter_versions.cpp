#include "app/chapter_versions.h"

#include <ctime>
#include <memory>
#include <utility>

#include "app/character_count.h"
#include "app/desk_texts.h"
#include "app/desk_writer.h"
#include "app/gate_calls.h"
#include "app/save_alarm.h"
#include "platform/gui/gbk_qstring.h"
#include "platform/gui/notice.h"

namespace app {

namespace {

using chapter_history::VersionStore;

std::unique_ptr<VersionStore> store;
// Held by whichever thread uses the store: the writer's jobs, or the window's reads.
std::mutex store_mutex;
// Each failure is told once a session: a full disk would otherwise ask at every switch.
bool failure_told = false;
uint64_t jobs_handed = 0;
// A thinning is due when this long has passed since the last.
constexpr int64_t kThinEverySeconds = 20 * 3600;

void Tell(const std::string& gbk) {
  const runtime::Text text(gbk);
  const runtime::Text caption(texts::kWarningCaption);
  Core(libraries::kMessageBox, {text.Arg(), runtime::ArgCell::Int(0x30), caption.Arg()});
}

// On the window's thread, from a writer's answer: in a notice, which takes no keys from the
// author. While another notice is up (a full disk fails the chapter's saves too, and that is
// being told) this one waits for the next failure rather than replacing it.
void TellVersionNotKept() {
  if (failure_told || gui::NoticeShown()) return;
  failure_told = true;
  gui::ShowNotice(gui::QStringOfGbk(texts::kVersionNotKept +
                                    PathForAuthor(store ? store->path() : std::string())),
                  gui::QStringOfGbk(texts::kWarningCaption));
}

void HandThinningIfDue() {
  const int64_t now = VersionClockNow();
  if (now - store->last_thinned() < kThinEverySeconds) return;
  const int64_t offset = LocalUtcOffsetSeconds(now);
  VersionStore* versions = store.get();
  DeskWriter().Hand("chapter history thinning",
                    [versions, now, offset]() -> disk_writer::Writer::Answer {
                      const std::lock_guard<std::mutex> lock(store_mutex);
                      if (versions->ThinnableVersions(now, offset) == 0) return [] {};
                      const bool thinned = versions->Thin(now, offset);
                      return [thinned] {
                        if (!thinned) TellVersionNotKept();
                      };
                    });
}

}  // namespace

int64_t VersionClockNow() { return static_cast<int64_t>(std::time(nullptr)); }

int64_t LocalUtcOffsetSeconds(int64_t at) {
  const auto seconds = static_cast<std::time_t>(at);
  std::tm local{};
  std::tm utc{};
#ifdef _WIN32
  localtime_s(&local, &seconds);
  gmtime_s(&utc, &seconds);
#else
  localtime_r(&seconds, &local);
  gmtime_r(&seconds, &utc);
#endif
  // The same moment read on both clocks, as if both were UTC: their difference is the offset.
  utc.tm_isdst = 0;
  local.tm_isdst = 0;
  return static_cast<int64_t>(std::difftime(std::mktime(&local), std::mktime(&utc)));
}

void OpenChapterVersions() {
  FinishDeskWrites();
  failure_told = false;  // a new session
  chapter_history::OpenReport report;
  const std::string path = InProgramFolder(texts::kChapterHistoryFile);
  store = VersionStore::Open(path, &report);
  if (!store) {
    failure_told = true;
    Tell(texts::kVersionsUnavailable + PathForAuthor(path));
    return;
  }
  if (!report.set_aside_path.empty()) {
    Tell(texts::kVersionsSetAside + PathForAuthor(report.set_aside_path) +
         (report.versions_lost > 0
              ? texts::kVersionsLostStart + std::to_string(report.versions_lost) +
                    texts::kVersionsLostEnd
              : std::string()));
  }
  HandThinningIfDue();
}

void KeepChapterVersion(chapter_history::ChapterId chapter,
                        std::shared_ptr<const chapter_history::VersionText> version,
                        chapter_history::VersionReason reason) {
  if (!store || chapter <= 0 || !version) return;
  VersionStore* versions = store.get();
  const int64_t now = VersionClockNow();
  // A full disk that fails the chapter's saves too is told for them already (the warning
  // line, the rescue copy): a version it fails is not told again.
  const bool saves_failing = SaveFailing();
  DeskWriter().Hand(
      "chapter version " + std::to_string(++jobs_handed),
      [versions, chapter, version, now, reason, saves_failing]() -> disk_writer::Writer::Answer {
        const std::lock_guard<std::mutex> lock(store_mutex);
        const bool kept =
            versions->Keep(chapter, *version, now, reason, CountCharacters(version->text));
        const bool told_already =
            saves_failing && versions->last_error() == platform::FileError::kDiskFull;
        return [kept, told_already] {
          if (!kept && !told_already) TellVersionNotKept();
        };
      });
}

void MoveChapterVersions(chapter_history::ChapterId from, chapter_history::ChapterId to) {
  if (!store || from <= 0 || to <= 0) return;
  VersionStore* versions = store.get();
  DeskWriter().Hand("chapter version " + std::to_string(++jobs_handed),
                    [versions, from, to]() -> disk_writer::Writer::Answer {
                      const std::lock_guard<std::mutex> lock(store_mutex);
                      const bool moved = versions->Move(from, to);
                      return [moved] {
                        if (!moved) TellVersionNotKept();
                      };
                    });
}

LockedVersions ChapterVersionsForReading() {
  return {std::unique_lock<std::mutex>(store_mutex), store.get()};
}

}  // namespace app
