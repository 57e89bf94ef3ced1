#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "chapter_history/version_store.h"

// The chapters: one record of the chapter database per chapter, one item of the chapter
// list per record in record order, the current chapter being the record the database's
// record pointer is on. The name box and the text box show that chapter.
namespace app {

// Whether start-up opened the chapter database; without it the list stays as the author
// builds it and nothing is read or written.
bool ChapterDatabaseOpen();
void SetChapterDatabaseOpen(bool open);

// One top-level item per record, in record order; at start-up.
void ListChapters();

// Puts the record pointer on the n-th record not marked deleted (n >= 1) and gives its
// record number; when there is none, tells the author and ends the program.
int32_t GoToChapterRecord(int32_t n);

// Once the writer is done (desk_writer.h): writes the two boxes into the shown chapter's
// record, found by its number wherever the pointer is (a switch, a new chapter or the end
// calls it before the pointer moves), and the name into the item that showed the chapter (the
// current item may already be another); then puts every save made so far on the disk.
void FlushShownChapter();

// The save timer's tick. When either box changed since the last save, hands them to the
// writer, which saves them into the shown chapter's record: at most every 0.7 s while the
// author types, never while the save before is still on its way, and after failures only
// when the next attempt is due (SaveAttemptDue). Once the author has paused for a second, hands
// the database's flush to the writer. With `even_while_backing_off` (the close, a figure read
// from the records) the boxes are saved at once, on this thread, once the writer is done.
void SaveCurrentChapter(bool even_while_backing_off = false);

// The text box or the name box changed: the next save tick writes them.
void MarkChapterChanged();

// Whether `record` is one of the chapters listed (not marked deleted).
bool ChapterRecordListed(int32_t record);

// The record number of the chapter the boxes show; 0 for none.
int32_t ShownChapterRecord();
// Whether the chapter shown could not be read whole: the boxes hold what could, read-only.
bool ShownChapterUnreadable();
// Whether the boxes hold an edit that its record has not taken yet (one on its way in the
// writer included).
bool ChapterUnsaved();
// Whether the save tick has work left: an unsaved edit, or saves not yet on the disk.
bool ChapterSaveDue();

// The characters of every chapter in the database by the count the daily target uses
// (publishing_actions.h), read from the records without moving the record pointer; 0 without a
// database.
int64_t CountNovelCharacters();

// The routines' bodies.
void LoadChosenChapter();
void NewChapter();
void DeleteChapter();
// A chapter that could not be read whole is shown read-only and never saved; this makes what
// could be read a new chapter at the end ("以可读部分另存为新章节"), editable and saved as usual.
void SaveReadablePartAsNewChapter();

// The shown chapter's count after a change (statistics.h): a change of a few hundred
// characters at once first keeps a version of the chapter as it was before it.
void NoteChapterCharacters(int64_t count);

// Keeps a version of the shown chapter as the boxes hold it (the close, the end, a restore).
void KeepShownChapterVersion(chapter_history::VersionReason reason);
// The record id of the shown chapter (one shown read-only too), 0 for none.
int32_t ShownChapterId();
// The record ids of the listed chapters, in list order.
const std::vector<int32_t>& ListedChapterIds();
// Puts a version's name and text (GBK) into the boxes: saved as typed text is.
void PutVersionIntoBoxes(const std::string& name, const std::string& text);
// A listed chapter's name and text (GBK) as its record holds them (what can be read of a
// damaged one); the shown chapter's as its boxes hold them.
struct ListedChapter {
  int32_t id = 0;
  std::string name;
  std::string text;
  bool shown = false;
};
// Every listed chapter, in list order, the writer done first; empty without a database.
std::vector<ListedChapter> ReadListedChapters();
// The listed chapter at `index` (the shown one from its boxes); the engine's code of the read
// (a damaged record gives what can be read of it, and its code).
int32_t ReadListedChapter(int32_t index, ListedChapter* chapter);
// A listed chapter other than the shown one rewritten whole (a replace across the novel): a
// version of it as it was kept first, the name and text (GBK) written into its record, its item
// renamed. The engine's code (the record unchanged on a failure). The caller flushes after the
// last (FlushChapterDatabase).
int32_t RewriteListedChapter(int32_t id, const std::string& name, const std::string& text);
// Chapters brought in from elsewhere (an imported novel), name and text in GBK, appended after
// the last one and listed. Each is written into a new record marked deleted (so absent from
// the list), the database flushed, then all are marked live and flushed again: a kill, a power
// cut or a failure midway leaves none of them listed, never a part of one. No event is handled
// meanwhile (the save tick would use the engine beside it). The engine's code.
struct ChapterToAppend {
  std::string name;
  std::string text;
};
int32_t AppendChapters(const std::vector<ChapterToAppend>& chapters);
// Puts every write so far on the disk; false (and told as a failed save) when the flush failed.
bool FlushChapterDatabase();

// "新章" without asking: the shown chapter saved and left, a blank one appended and shown. False
// when no chapter could be appended.
bool ShowNewBlankChapter();

}  // namespace app
