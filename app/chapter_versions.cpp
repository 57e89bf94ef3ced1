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

// The store, opened, written and thinned on the writer's thread (reading a year's versions is
// no work for the start-up); used by whichever thread holds store_mutex.
std::unique_ptr<VersionStore> store;
std::mutex store_mutex;
// On the window's thread: the store's path, and whether it could not be opened (told).
std::string store_path;
bool store_unavailable = false;
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
  gui::ShowNotice(gui::QStringOfGbk(texts::kVersionNotKept + PathForAuthor(store_path)),
                  gui::QStringOfGbk(texts::kWarningCaption));
}

// What opening found, told on the window's thread.
void TellOpened(bool opened, const chapter_history::OpenReport& report) {
  if (!opened) {
    store_unavailable = true;
    failure_told = true;
    Tell(texts::kVersionsUnavailable + PathForAuthor(store_path));
    return;
  }
  if (report.set_aside_path.empty()) return;
  Tell(texts::kVersionsSetAside + PathForAuthor(report.set_aside_path) +
       (report.versions_lost > 0
            ? texts::kVersionsLostStart + std::to_string(report.versions_lost) +
                  texts::kVersionsLostEnd
            : std::string()));
}

// Seconds since 1970 UTC: the clock the versions are stamped with.
int64_t VersionClockNow() { return static_cast<int64_t>(std::time(nullptr)); }

// The local clock's offset east of UTC at `at`: thinning counts hours and days on it.
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

// Hands `work` on the store to the writer, under the store's lock; nothing while there is no
// store. `work` gives whether the store took it.
template <typename Work>
void HandToStore(const std::string& key, Work work) {
  if (store_unavailable) return;
  DeskWriter().Hand(key, [work]() -> disk_writer::Writer::Answer {
    const std::lock_guard<std::mutex> lock(store_mutex);
    if (!store) return [] {};
    const bool done = work(*store);
    return [done] {
      if (!done) TellVersionNotKept();
    };
  });
}

}  // namespace

void OpenChapterVersions() {
  FinishDeskWrites();
  failure_told = false;  // a new session
  store_unavailable = false;
  store_path = InProgramFolder(texts::kChapterHistoryFile);
  {
    const std::lock_guard<std::mutex> lock(store_mutex);
    store.reset();
  }
  DeskWriter().Hand("chapter history open", [path = store_path]() -> disk_writer::Writer::Answer {
    const std::lock_guard<std::mutex> lock(store_mutex);
    chapter_history::OpenReport report;
    store = VersionStore::Open(path, &report);
    return [opened = store != nullptr, report] { TellOpened(opened, report); };
  });
  // A day after the last thinning the store is thinned, after it is open.
  const int64_t now = VersionClockNow();
  const int64_t offset = LocalUtcOffsetSeconds(now);
  HandToStore("chapter history thinning", [now, offset](VersionStore& versions) {
    if (now - versions.last_thinned() < kThinEverySeconds) return true;
    return versions.ThinnableVersions(now, offset) == 0 || versions.Thin(now, offset);
  });
}

void KeepChapterVersion(chapter_history::ChapterId chapter,
                        std::shared_ptr<const chapter_history::VersionText> version,
                        chapter_history::VersionReason reason) {
  if (chapter <= 0 || !version) return;
  const int64_t now = VersionClockNow();
  // A full disk that fails the chapter's saves too is told for them already (the warning
  // line, the rescue copy): a version it fails is not told again.
  const bool saves_failing = SaveFailing();
  HandToStore("chapter version " + std::to_string(++jobs_handed),
              [chapter, version, now, reason, saves_failing](VersionStore& versions) {
                return versions.Keep(chapter, *version, now, reason,
                                     CountCharacters(version->text)) ||
                       (saves_failing && versions.last_error() == platform::FileError::kDiskFull);
              });
}

void MoveChapterVersions(chapter_history::ChapterId from, chapter_history::ChapterId to) {
  if (from <= 0 || to <= 0) return;
  HandToStore("chapter version " + std::to_string(++jobs_handed),
              [from, to](VersionStore& versions) { return versions.Move(from, to); });
}

LockedVersions ChapterVersionsForReading() {
  // The store is opened by the writer: done with it first.
  FinishDeskWrites();
  return {std::unique_lock<std::mutex>(store_mutex), store.get()};
}

}  // namespace app
