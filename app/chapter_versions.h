#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "chapter_history/version_store.h"

// The desk's side of the chapter history (chapter_history/): the store in 小说数据, the versions
// it keeps and when, all written on the desk's writer thread. A store that cannot be opened or
// written is told once a session; the chapters themselves never depend on it.
namespace app {

// At start-up, once the chapter database is open: hands the store's opening to the writer (a
// damaged store is set aside, and told when the writer answers), then its thinning when a day
// has passed since the last.
void OpenChapterVersions();

// Keeps a version of chapter `chapter` (its record's id) with the bytes its record holds or is
// about to hold: on the writer's thread. A version equal to the chapter's newest is not kept
// again.
void KeepChapterVersion(chapter_history::ChapterId chapter,
                        std::shared_ptr<const chapter_history::VersionText> version,
                        chapter_history::VersionReason reason);

// The versions of `from` become those of `to` (a deleted chapter brought back as a new one):
// on the writer's thread, before any version of `to` handed after it.
void MoveChapterVersions(chapter_history::ChapterId from, chapter_history::ChapterId to);

// The store for reading on this thread, once the writer is done; null without one; with the
// lock that keeps the writer out of it: hold the lock while reading, and let it go before
// anything waits for the author (the history window's own loop runs the save timer, which may
// hand a version over).
struct LockedVersions {
  std::unique_lock<std::mutex> lock;
  chapter_history::VersionStore* store = nullptr;
};
LockedVersions ChapterVersionsForReading();

}  // namespace app
