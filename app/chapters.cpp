#include "app/chapters.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/chapter_file.h"
#include "app/chapter_versions.h"
#include "app/character_count.h"
#include "app/daily_progress.h"
#include "app/desk_texts.h"
#include "app/desk_writer.h"
#include "app/gate_calls.h"
#include "app/idle_timers.h"
#include "app/main_window_ids.h"
#include "app/publishing_actions.h"
#include "app/save_alarm.h"
#include "app/termination.h"
#include "database/append_all_or_none.h"
#include "database/database.h"
#include "database/database_list.h"
#include "database/error_codes.h"
#include "platform/core/clock.h"
#include "runtime/gates.h"
#include "runtime/text_array.h"

namespace app {

namespace {

using runtime::ArgCell;
using runtime::Text;

constexpr int32_t kEmptyUndoBuffer = 0xCD;  // the edit box's message that forgets its undo history
constexpr int32_t kInputModeNormal = 0;
constexpr int32_t kInputModeReadOnly = 1;

bool database_open = false;
// The chapter database, for the writer's thread, which must not ask the database list (every
// use through the list waits for that thread).
database::Database* chapters_for_writer = nullptr;
// The record number (GetRecordNumber) of the chapter the boxes show; 0 for none. A write of
// the boxes goes only into this record, so that a routine which has already moved the
// pointer (a delete, a new chapter) never writes one chapter's text into another's record.
int32_t shown_record = 0;
int32_t shown_item = -1;  // the list item of that chapter when it was loaded
// Its record's id, which names the chapter in the chapter history; 0 for none.
int32_t shown_id = 0;
// A version of the chapter is kept after this much editing since its last one, so that an
// afternoon's work is never only in the newest text.
constexpr uint32_t kVersionAfterEditingMs = 10 * 60 * 1000;
bool edited_since_version = false;
uint32_t editing_began_ticks = 0;
// The chapter shown could not be read whole: the boxes hold what could be read, read-only,
// and nothing is written into its record (that would replace the intact blocks).
bool shown_unreadable = false;
bool changed_since_save = true;
// A save puts the chapter's text on the disk at once, but the record's switch to it and a
// renamed chapter wait for the engine's flush: given once the author has paused for a second
// and at every switch, so that a power cut loses at most the last moments of typing.
constexpr uint32_t kFlushAfterPauseMs = 1000;
bool saved_since_flush = false;  // a save, a new or a deleted chapter
uint32_t last_save_ticks = 0;
// While the author types, the text goes to the writer at most this often: every save that
// changes the text costs a flush of the memo file, and a slow disk takes up to 100 ms for one.
constexpr uint32_t kSaveEveryMs = 700;
uint32_t last_handed_ticks = 0;
bool handed_before = false;
// Handed to the writer, not yet answered: a save (its text is not in the record until then),
// and a flush.
bool save_in_flight = false;
bool flush_in_flight = false;
const std::string kChapterSaveJob = "chapter save";
const std::string kFlushJob = "database flush";
bool boxes_editable = true;  // as the window comes up
// The record numbers of the records not marked deleted, in record order, as this program
// made them: the n-th is where a walk from the first record would stop for n. Lets a
// switch go straight to its record instead of walking thousands (see GoToChapterRecord).
std::vector<int32_t> undeleted_records;
std::vector<int32_t> undeleted_ids;  // their records' ids, in the same order

int32_t RecordNumber() { return Core(libraries::kGetRecordNumber, {}).As<int32_t>(); }

// The id of the record the pointer is on (0 when it cannot be read): no command gives it.
int32_t RecordId() {
  database::Database* chapters = database::DatabaseList::Instance().Current();
  int32_t id = 0;
  if (chapters != nullptr) chapters->ReadRecordId(&id);
  return id;
}

// The text field's value: the text box's content without leading blanks, as a byte set.
ArgCell TrimmedTextAsByteSet() {
  const Text content = ReadText(unit::kTextBox, property::kContent);
  const Text trimmed = CoreText(libraries::kTrimLeadingSpaces, {content.Arg()});
  return Core(libraries::kToByteSet, {trimmed.Arg()});
}

// What a save hands to the writer: the boxes as they were, as the values of the record's
// fields. They are runtime blocks, let go on the window's thread by the save's answer.
struct ChapterSnapshot {
  int32_t record = 0;
  runtime::ByteSet text;
  Text name;
};

// The snapshot into its record, found by its number, the record pointer put back after: on
// the writer's thread, or on the window's once the writer is done.
int32_t WriteSnapshotIntoRecord(database::Database* chapters, const ChapterSnapshot& snapshot) {
  const int32_t pointer = chapters->record_pointer();
  const int32_t target = snapshot.record - 1;  // the pointer counts from 0
  int32_t result = database::code::kOk;
  if (pointer != target) {
    chapters->GoFirst();
    result = chapters->Skip(target);
  }
  const database::FieldUpdate updates[] = {{texts::kTextField, snapshot.text.Arg()},
                                           {texts::kNameField, snapshot.name.Arg()}};
  if (result == database::code::kOk) result = chapters->UpdateRecords(nullptr, updates);
  if (pointer != target) {
    chapters->GoFirst();
    chapters->Skip(pointer);
  }
  return result;
}

// The boxes as the values of the shown chapter's fields.
std::shared_ptr<ChapterSnapshot> TakeSnapshot() {
  auto snapshot = std::make_shared<ChapterSnapshot>();
  snapshot->record = shown_record;
  snapshot->text = runtime::ByteSet::FromResult(TrimmedTextAsByteSet());
  snapshot->name = ReadText(unit::kNameBox, property::kContent);
  return snapshot;
}

using ChapterVersion = std::shared_ptr<const chapter_history::VersionText>;

// A chapter's name and text as plain bytes (its record's text ends at its first zero byte):
// what a version keeps. No runtime blocks, so it may live as long as the program.
ChapterVersion VersionOf(std::string_view name, std::string_view text) {
  return std::make_shared<const chapter_history::VersionText>(chapter_history::VersionText{
      std::string(name), std::string(text.substr(0, text.find('\0')))});
}

ChapterVersion VersionOf(const ChapterSnapshot& snapshot) {
  const std::span<const uint8_t> text = snapshot.text.Bytes();
  return VersionOf(snapshot.name.View(),
                   std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
}

// The boxes as last handed to the record (or as loaded from it): what a version of the chapter
// holds when the boxes have not changed since, and the text before a big change.
ChapterVersion last_version;

// A change of this many characters at once (a paste, a deletion of a selection, a selection
// typed over) keeps the chapter as it was before it.
constexpr int64_t kBigChangeCharacters = 200;
// The shown chapter's count after the last change; -1 while unknown.
int64_t last_count = -1;
// Set while a loaded chapter's text goes into the boxes: its count is no change.
bool counting_loaded_text = false;

// A version of `chapter`, kept on the writer's thread.
void KeepVersion(int32_t chapter, const ChapterVersion& version,
                 chapter_history::VersionReason reason) {
  // An empty chapter (a new one) is no version worth keeping.
  if (chapter == 0 || !version || (version->text.empty() && version->name.empty())) return;
  KeepChapterVersion(chapter, version, reason);
  edited_since_version = false;
}

// The boxes into the shown chapter's record on this thread, the writer done first (a switch,
// the end). The record is found by its number, wherever the pointer was left, so one
// chapter's text never goes into another's record. The result goes to the save alarm as
// well; a chapter that could not be read is never written.
bool WriteBoxesIntoRecord() {
  // No chapter shown (an empty database before its first chapter): no record to write into,
  // which is no failure.
  if (shown_record == 0 || shown_unreadable) return false;
  FinishDeskWrites();
  const std::shared_ptr<ChapterSnapshot> snapshot = TakeSnapshot();
  last_version = VersionOf(*snapshot);
  const int32_t code =
      WriteSnapshotIntoRecord(database::DatabaseList::Instance().Current(), *snapshot);
  database::SetLastDatabaseError(code);
  const bool written = code == database::code::kOk;
  ReportSave(SaveKind::kRecord, written);
  return written;
}

int32_t CurrentItem() { return ReadInt(unit::kChapterList, property::kCurrentItem); }

// A save, a new chapter or a delete: the database's flush is due at the next switch or pause
// (the save timer runs until it is given).
void NoteDatabaseWritten() {
  saved_since_flush = true;
  last_save_ticks = platform::TickCount();
  ArmSaveTimer();
}

// A flush that fails is told as a failed save: the text may not be on the disk.
void PutSavesOnDisk() {
  FinishDeskWrites();
  if (!saved_since_flush) return;
  database::Database* chapters = database::DatabaseList::Instance().Current();
  if (chapters == nullptr) return;
  saved_since_flush = false;
  if (chapters->Flush() != database::code::kOk) ReportSave(SaveKind::kRecord, false);
}

// An item's text: the name without leading blanks.
bool ShowNameInItem(int32_t item) {
  const Text name = ReadText(unit::kNameBox, property::kContent);
  const Text trimmed = CoreText(libraries::kTrimLeadingSpaces, {name.Arg()});
  const Text item_text = CoreText(libraries::kToText, {trimmed.Arg()});
  return IsTrue(TreeBoxMethod(libraries::kSetItemText, {TreeBoxRef(unit::kChapterList),
                                                        ArgCell::Int(item), item_text.Arg()}));
}

// A field's value as a text; `error` (when given) gets the engine's code of the read: a chain
// that cannot be read gives an empty value and a code, never a silent empty text.
Text ReadFieldAsText(const std::string& field, int32_t* error = nullptr) {
  const Text name(field);
  const ArgCell value = Core(libraries::kReadField, {name.Arg()});
  // Read here, past the gates (no command gives it), before another command resets it.
  if (error != nullptr) *error = database::LastDatabaseError();
  // A text is taken over as it is; a byte set (the chapter's text) becomes a text by ToText,
  // which copies, and is freed here.
  if (value.type == runtime::kText) return Text::FromResult(value);
  Text text = CoreText(libraries::kToText, {value});
  runtime::FreeBlock(value.AsPointer<void>());
  return text;
}

// Tells the author that `what` (a new chapter, a delete) failed, with the engine's reason;
// the caller leaves the list as it was.
void TellChapterCommandFailed(const std::string& what) {
  const Text text(what + database::ErrorText(database::LastDatabaseError()));
  const Text caption(texts::kErrorCaption);
  Core(libraries::kMessageBox, {text.Arg(), ArgCell::Int(0x30), caption.Arg()});
}

// What can still be read of a field of the current record whose chain is damaged: its bytes
// up to the first bad block (no command gives them, so the engine is asked directly).
std::string ReadablePartOfField(const std::string& field) {
  database::Database* chapters = database::DatabaseList::Instance().Current();
  std::string bytes;
  if (chapters != nullptr) chapters->ReadReadablePart(chapters->FieldByName(field), &bytes);
  return bytes;
}

// Read-only boxes and the menu item that saves what could be read, for a chapter that could
// not be read whole; written only on a change (a menu item's write rebuilds the menus).
void SetBoxesEditable(bool editable) {
  if (editable == boxes_editable) return;
  boxes_editable = editable;
  const int32_t mode = editable ? kInputModeNormal : kInputModeReadOnly;
  WriteInt(unit::kTextBox, property::kInputMode, mode);
  WriteInt(unit::kNameBox, property::kInputMode, mode);
  WriteInt(unit::kSaveReadablePartItem, property::kMenuItemVisible, editable ? 0 : 1);
}

void TellChapterUnreadable(int32_t item, int32_t error, const Text& name) {
  const std::string number = std::to_string(item + 1);
  const Text text(texts::kChapterUnreadablePrefix + number + texts::kChapterUnreadableName +
                  std::string(name.View()) + texts::kChapterUnreadableReason +
                  database::ErrorText(error) + texts::kChapterUnreadableAdvice);
  const Text caption(texts::kErrorCaption);
  Core(libraries::kMessageBox, {text.Arg(), ArgCell::Int(0x30), caption.Arg()});
}

}  // namespace

bool ChapterDatabaseOpen() { return database_open; }
void SetChapterDatabaseOpen(bool open) {
  FinishDeskWrites();
  database_open = open;
  chapters_for_writer = open ? database::DatabaseList::Instance().Current() : nullptr;
  shown_record = 0;
  shown_id = 0;
  shown_unreadable = false;
  boxes_editable = true;
  last_version.reset();
}

// Only the records not marked deleted get an item: item i stands for the (i+1)-th of them,
// whether or not the last session ended with a pack.
void ListChapters() {
  undeleted_records.clear();
  undeleted_ids.clear();
  std::vector<Text> names;
  Core(libraries::kGoFirstRecord, {});
  while (!IsTrue(Core(libraries::kIsAfterLastRecord, {}))) {
    if (!IsTrue(Core(libraries::kIsRecordDeleted, {}))) {
      names.push_back(ReadFieldAsText(texts::kNameField));
      undeleted_records.push_back(RecordNumber());
      undeleted_ids.push_back(RecordId());
    }
    if (!IsTrue(Core(libraries::kSkipRecords, {ArgCell::Int(1)}))) break;
  }
  // All items in one call: the list fills in one insertion instead of one per chapter.
  if (names.empty()) return;
  const runtime::TextArray items(std::move(names));
  TreeBoxMethod(libraries::kAddItem, {TreeBoxRef(unit::kChapterList), ArgCell{}, items.Arg()});
}

namespace {

// The n-th undeleted record straight from the list kept above, checked where it lands: the
// pointer is on a record of that number that is not marked deleted. 0 when the list does
// not know it or the check fails (then the walk decides, as it always may).
int32_t GoStraightToChapterRecord(int32_t n) {
  if (n < 1 || static_cast<size_t>(n) > undeleted_records.size()) return 0;
  const int32_t record = undeleted_records[static_cast<size_t>(n - 1)];
  Core(libraries::kGoFirstRecord, {});
  if (record > 1 && !IsTrue(Core(libraries::kSkipRecords, {ArgCell::Int(record - 1)}))) return 0;
  if (IsTrue(Core(libraries::kIsAfterLastRecord, {})) ||
      IsTrue(Core(libraries::kIsRecordDeleted, {})) || RecordNumber() != record) {
    return 0;
  }
  return record;
}

}  // namespace

int32_t GoToChapterRecord(int32_t n) {
  if (const int32_t record = GoStraightToChapterRecord(n)) return record;
  int32_t k = 0;
  int32_t found = 0;
  Core(libraries::kGoFirstRecord, {});
  while (!IsTrue(Core(libraries::kIsAfterLastRecord, {}))) {
    if (!IsTrue(Core(libraries::kIsRecordDeleted, {}))) ++k;
    if (k == n) {
      found = RecordNumber();
      break;
    }
    // A skip that fails (a damaged file) would otherwise never reach the end.
    if (!IsTrue(Core(libraries::kSkipRecords, {ArgCell::Int(1)}))) break;
  }
  if (found == 0) {
    const Text text(texts::kRecordJumpError);
    const Text caption(texts::kErrorCaption);
    Core(libraries::kMessageBox, {text.Arg(), ArgCell::Int(0x30), caption.Arg()});
    SkipExitWork();
    runtime::EndProgram(0);
  }
  return found;
}

bool ChapterRecordListed(int32_t record) {
  return std::find(undeleted_records.begin(), undeleted_records.end(), record) !=
         undeleted_records.end();
}

int32_t ShownChapterRecord() { return shown_record; }
bool ShownChapterUnreadable() { return shown_unreadable; }
bool ChapterUnsaved() {
  return (changed_since_save || save_in_flight) && database_open && shown_record != 0 &&
         !shown_unreadable;
}

bool ChapterSaveDue() { return ChapterUnsaved() || saved_since_flush || flush_in_flight; }

namespace {

void WriteShownChapter() {
  FinishDeskWrites();
  if (!database_open || shown_record == 0 || shown_unreadable || !changed_since_save) return;
  if (!WriteBoxesIntoRecord()) {
    // The pointer is about to leave this chapter (or the program ends): what the record
    // could not take goes to the rescue copy now.
    RescueShownChapter();
    return;
  }
  changed_since_save = false;
  NoteDatabaseWritten();
  // The pointer is still on the chapter, so no item has come or gone since it was loaded.
  ShowNameInItem(shown_item);
}

}  // namespace

void FlushShownChapter() {
  // The answers of saves still on their way first: a failure is told for this chapter.
  FinishDeskWrites();
  WriteShownChapter();
  // Also the saves of earlier ticks: a switch or the end puts them on the disk, and tells a
  // failure, before the database is left or closed.
  PutSavesOnDisk();
}

namespace {

// On the window's thread, the writer's answer to a save of `record`.
void ChapterSaveAnswered(int32_t record, int32_t code) {
  save_in_flight = false;
  // The engine's code, for the save alarm's reason, as if the command had run here.
  database::SetLastDatabaseError(code);
  const bool written = code == database::code::kOk;
  // Every routine that leaves a chapter first waits for these answers, so the chapter is still
  // the one shown; anything else is answered for nothing on the screen.
  if (record != shown_record) return;
  ReportSave(SaveKind::kRecord, written);
  if (written) {
    NoteDatabaseWritten();
  } else {
    // The next attempt the save alarm allows hands the newest text again.
    changed_since_save = true;
    handed_before = false;
    ArmSaveTimer();
  }
}

// Hands the boxes to the writer, which saves them into the shown chapter's record.
void HandShownChapterToWriter() {
  const std::shared_ptr<ChapterSnapshot> snapshot = TakeSnapshot();
  last_version = VersionOf(*snapshot);
  changed_since_save = false;
  last_handed_ticks = platform::TickCount();
  handed_before = true;
  save_in_flight = true;
  database::Database* chapters = chapters_for_writer;
  DeskWriter().Hand(kChapterSaveJob, [chapters, snapshot]() -> disk_writer::Writer::Answer {
    const int32_t code = WriteSnapshotIntoRecord(chapters, *snapshot);
    return [snapshot, code] { ChapterSaveAnswered(snapshot->record, code); };
  });
  if (edited_since_version &&
      platform::TickCount() - editing_began_ticks >= kVersionAfterEditingMs) {
    KeepVersion(shown_id, last_version, chapter_history::VersionReason::kWhileEditing);
  }
}

// The flush once the author has paused, on the writer's thread; a failure is told as a failed
// save, as at a switch.
void HandFlushToWriter() {
  if (!saved_since_flush || chapters_for_writer == nullptr) return;
  saved_since_flush = false;
  flush_in_flight = true;
  database::Database* chapters = chapters_for_writer;
  DeskWriter().Hand(kFlushJob, [chapters]() -> disk_writer::Writer::Answer {
    const int32_t code = chapters->Flush();
    return [code] {
      flush_in_flight = false;
      if (code == database::code::kOk) return;
      database::SetLastDatabaseError(code);
      ReportSave(SaveKind::kRecord, false);
    };
  });
}

}  // namespace

void SaveCurrentChapter(bool even_while_backing_off) {
  if (even_while_backing_off) {
    // A save that must be done now (the close, a figure read from the records): on this
    // thread, once the writer is done.
    FinishDeskWrites();
    if (!changed_since_save || shown_unreadable) return;
    const bool written = database_open && WriteBoxesIntoRecord();
    ShowNameInItem(CurrentItem());
    if (written) {
      changed_since_save = false;
      NoteDatabaseWritten();
    }
    return;
  }
  if (!changed_since_save || shown_unreadable) {
    if (platform::TickCount() - last_save_ticks >= kFlushAfterPauseMs &&
        !DeskWriter().Busy(kChapterSaveJob)) {
      HandFlushToWriter();
    }
    return;
  }
  if (!SaveAttemptDue(SaveKind::kRecord)) return;
  // With no database, or no chapter shown, nothing is written (the item still shows the name);
  // the boxes stay marked so that a later tick tries.
  if (!database_open || shown_record == 0) {
    ShowNameInItem(CurrentItem());
    return;
  }
  // The save before is still on its way to the disk: this text goes with the next tick's.
  if (DeskWriter().Busy(kChapterSaveJob)) return;
  if (handed_before && platform::TickCount() - last_handed_ticks < kSaveEveryMs) return;
  ShowNameInItem(CurrentItem());
  HandShownChapterToWriter();
}

namespace {

// Set while a selection made here must not load the chapter it selects.
bool selecting_shown_chapter = false;

// Text typed into a novel without chapters becomes its first chapter at the first change, so
// that it is saved like any other and never only in the autosave file. The boxes keep what
// they hold (the change is in them already); the next save tick writes them.
void GiveTypedTextAChapter() {
  if (!IsTrue(Core(libraries::kAppendBlankRecord, {}))) {
    // Heard as a failed save: the typed text goes to a rescue copy; the next change retries.
    ReportSave(SaveKind::kRecord, false);
    return;
  }
  shown_record = RecordNumber();
  shown_id = RecordId();
  shown_item = 0;
  last_version.reset();
  undeleted_records.push_back(shown_record);
  undeleted_ids.push_back(shown_id);
  NoteDatabaseWritten();
  const Text empty;
  TreeBoxMethod(libraries::kAddItem,
                {TreeBoxRef(unit::kChapterList), ArgCell{}, empty.Arg(), ArgCell::Int(0)});
  selecting_shown_chapter = true;
  WriteInt(unit::kChapterList, property::kCurrentItem, 0);
  selecting_shown_chapter = false;
}

}  // namespace

void MarkChapterChanged() {
  changed_since_save = true;
  if (!edited_since_version) {
    edited_since_version = true;
    editing_began_ticks = platform::TickCount();
  }
  if (shown_record == 0 && database_open && undeleted_records.empty()) GiveTypedTextAChapter();
}

int64_t CountNovelCharacters() {
  database::Database* chapters = database::DatabaseList::Instance().Current();
  if (!database_open || chapters == nullptr) return 0;
  const int32_t text_field = chapters->FieldByName(texts::kTextField);
  // The pointer is the chapter the saves write into: walked from the first record and put
  // back where it was (Skip from the first record lands on any position, -1 included).
  const int32_t pointer = chapters->record_pointer();
  int64_t count = 0;
  chapters->GoFirst();
  for (bool after = false; chapters->IsAfterLast(&after) == database::code::kOk && !after;) {
    bool deleted = true;
    std::string text;
    if (chapters->IsDeleted(&deleted) == database::code::kOk && !deleted) {
      // A damaged chapter counts what can be read of it, as the desk shows it.
      chapters->ReadReadablePart(text_field, &text);
      count += TargetCountMeasure()(std::string_view(text).substr(0, text.find('\0')));
    }
    if (chapters->Skip(1) != database::code::kOk) break;
  }
  chapters->GoFirst();
  chapters->Skip(pointer);
  return count;
}

void LoadChosenChapter() {
  const int32_t item = CurrentItem();
  if (!database_open || item < 0 || selecting_shown_chapter) return;
  FlushShownChapter();
  NoteChapterLeft(shown_record);
  // The boxes as the chapter is left: the last snapshot, the boxes having been saved just now.
  const int32_t left_id = shown_unreadable ? 0 : shown_id;
  const ChapterVersion left = last_version;
  GoToChapterRecord(item + 1);
  int32_t text_error = 0;
  int32_t name_error = 0;
  const Text chapter_text = ReadFieldAsText(texts::kTextField, &text_error);
  const Text chapter_name = ReadFieldAsText(texts::kNameField, &name_error);
  const int32_t record = RecordNumber();
  const bool unreadable = text_error != database::code::kOk || name_error != database::code::kOk;
  // Set before the boxes change, so that nothing writes into the record while they do.
  shown_record = record;
  shown_id = RecordId();
  shown_item = item;
  shown_unreadable = unreadable;
  counting_loaded_text = true;
  last_count = -1;
  const std::string readable_text =
      unreadable ? ReadablePartOfField(texts::kTextField) : std::string();
  WriteText(unit::kTextBox, property::kContent, unreadable ? readable_text : chapter_text.View());
  WriteText(unit::kNameBox, property::kContent, chapter_name.View());
  // A fresh undo history: undo never brings one chapter's text into another.
  Core(libraries::kSendMessage, {EditBoxRef(unit::kTextBox), ArgCell::Int(kEmptyUndoBuffer),
                                 ArgCell::Int(0), ArgCell::Int(0)});
  // Loading is no edit: nothing to save until the author changes a box.
  changed_since_save = false;
  edited_since_version = false;
  counting_loaded_text = false;
  last_version = unreadable ? nullptr : VersionOf(chapter_name.View(), chapter_text.View());
  // Handed once the new chapter is in the boxes: the switch does not wait for it.
  KeepVersion(left_id, left, chapter_history::VersionReason::kLeft);
  SetBoxesEditable(!unreadable);
  if (unreadable) {
    TellChapterUnreadable(item, text_error != database::code::kOk ? text_error : name_error,
                          chapter_name);
  } else {
    OfferRescuedText();
  }
}

namespace {

// A blank record at the end and its item, selected; false (and the list unchanged) when the
// database could not append one.
bool AppendChapter() {
  if (database_open) {
    if (!IsTrue(Core(libraries::kAppendBlankRecord, {}))) {
      TellChapterCommandFailed(texts::kNewChapterFailed);
      return false;
    }
    undeleted_records.push_back(RecordNumber());
    undeleted_ids.push_back(RecordId());
    NoteDatabaseWritten();
  }
  const Text empty;
  TreeBoxMethod(libraries::kAddItem,
                {TreeBoxRef(unit::kChapterList), ArgCell{}, empty.Arg(), ArgCell::Int(0)});
  const int32_t count =
      TreeBoxMethod(libraries::kGetItemCount, {TreeBoxRef(unit::kChapterList)}).As<int32_t>();
  WriteInt(unit::kChapterList, property::kCurrentItem, count - 1);
  WriteText(unit::kTextBox, property::kContent, {});
  WriteText(unit::kNameBox, property::kContent, {});
  return true;
}

}  // namespace

void NewChapter() {
  FinishDeskWrites();
  int32_t left_id = 0;
  if (!shown_unreadable && shown_record != 0) {
    const Text name = ReadText(unit::kNameBox, property::kContent);
    WriteChapterFile(name.View(), shown_record);
    // As at a switch: what the record cannot take is rescued now, whatever the rescue's rate.
    WriteShownChapter();
    NoteChapterLeft(shown_record);
    left_id = shown_id;
  }
  const ChapterVersion left = last_version;
  if (!AppendChapter()) return;
  KeepVersion(left_id, left, chapter_history::VersionReason::kLeft);
  Core(libraries::kSetFocus, {EditBoxRef(unit::kNameBox)});
}

void SaveReadablePartAsNewChapter() {
  FinishDeskWrites();
  if (!shown_unreadable) return;
  const std::string name =
      std::string(ReadText(unit::kNameBox, property::kContent).View()) + texts::kReadablePartSuffix;
  const std::string text(ReadText(unit::kTextBox, property::kContent).View());
  if (!AppendChapter()) return;
  // The new record is the chapter shown now, editable; the next tick saves these.
  WriteText(unit::kNameBox, property::kContent, name);
  WriteText(unit::kTextBox, property::kContent, text);
}

void DeleteChapter() {
  FinishDeskWrites();
  const int32_t current = CurrentItem();
  const int32_t count =
      TreeBoxMethod(libraries::kGetItemCount, {TreeBoxRef(unit::kChapterList)}).As<int32_t>();
  if (current == -1 || count <= 1) return;
  const Text text(texts::kConfirmDelete);
  const Text caption(texts::kWarningCaption);
  if (Core(libraries::kMessageBox, {text.Arg(), ArgCell::Int(0x31), caption.Arg()}).As<int32_t>() ==
      1)
    return;
  const int32_t shown_after = current == 0 ? 0 : current - 1;
  // The chapter as the boxes show it goes to the deleted chapters' versions first.
  const int32_t deleted_id = shown_unreadable ? 0 : shown_id;
  const ChapterVersion deleted = deleted_id != 0 ? VersionOf(*TakeSnapshot()) : nullptr;
  if (database_open) {
    GoToChapterRecord(current + 1);
    if (!IsTrue(Core(libraries::kDeleteRecords, {}))) {
      // The pointer is still on the chapter shown: list, record and boxes agree as before.
      TellChapterCommandFailed(texts::kDeleteChapterFailed);
      return;
    }
    const auto listed =
        std::find(undeleted_records.begin(), undeleted_records.end(), RecordNumber());
    if (listed != undeleted_records.end()) {
      undeleted_ids.erase(undeleted_ids.begin() + (listed - undeleted_records.begin()));
      undeleted_records.erase(listed);
    }
    NoteDatabaseWritten();
    NoteShownChapterDeleted();
    NoteChapterDeleted(shown_record);
    // Its record is gone: nothing writes into it while the next chapter loads.
    shown_record = 0;
    GoToChapterRecord(shown_after + 1);
  }
  TreeBoxMethod(libraries::kDeleteItem,
                {TreeBoxRef(unit::kChapterList), ArgCell::Int(CurrentItem())});
  WriteInt(unit::kChapterList, property::kCurrentItem, shown_after);
  KeepVersion(deleted_id, deleted, chapter_history::VersionReason::kBeforeDelete);
}

void NoteChapterCharacters(int64_t count) {
  const int64_t before = last_count;
  last_count = count;
  if (counting_loaded_text || before < 0 || shown_unreadable) return;
  const int64_t change = count > before ? count - before : before - count;
  if (change >= kBigChangeCharacters) {
    KeepVersion(shown_id, last_version, chapter_history::VersionReason::kBeforeBigChange);
  }
}

void KeepShownChapterVersion(chapter_history::VersionReason reason) {
  if (!database_open || shown_id == 0 || shown_unreadable) return;
  KeepVersion(shown_id, VersionOf(*TakeSnapshot()), reason);
}

int32_t ShownChapterId() { return shown_id; }

const std::vector<int32_t>& ListedChapterIds() { return undeleted_ids; }

void PutVersionIntoBoxes(const std::string& name, const std::string& text) {
  WriteText(unit::kNameBox, property::kContent, name);
  WriteText(unit::kTextBox, property::kContent, text);
}

std::vector<ListedChapter> ReadListedChapters() {
  std::vector<ListedChapter> listed;
  database::Database* chapters = database::DatabaseList::Instance().Current();
  if (!database_open || chapters == nullptr) return listed;
  const int32_t text_field = chapters->FieldByName(texts::kTextField);
  const int32_t name_field = chapters->FieldByName(texts::kNameField);
  const int32_t pointer = chapters->record_pointer();
  listed.reserve(undeleted_ids.size());
  chapters->GoFirst();
  for (bool after = false; chapters->IsAfterLast(&after) == database::code::kOk && !after;) {
    bool deleted = true;
    int32_t id = 0;
    if (chapters->IsDeleted(&deleted) == database::code::kOk && !deleted &&
        chapters->ReadRecordId(&id) == database::code::kOk) {
      ListedChapter chapter;
      chapter.id = id;
      chapter.shown = id == shown_id && id != 0;
      if (chapter.shown) {
        chapter.name = std::string(ReadText(unit::kNameBox, property::kContent).View());
        chapter.text = std::string(ReadText(unit::kTextBox, property::kContent).View());
      } else {
        chapters->ReadReadablePart(name_field, &chapter.name);
        chapters->ReadReadablePart(text_field, &chapter.text);
        chapter.name.resize(std::min(chapter.name.find('\0'), chapter.name.size()));
        chapter.text.resize(std::min(chapter.text.find('\0'), chapter.text.size()));
      }
      listed.push_back(std::move(chapter));
    }
    if (chapters->Skip(1) != database::code::kOk) break;
  }
  chapters->GoFirst();
  chapters->Skip(pointer);
  return listed;
}

int32_t ReadListedChapter(int32_t index, ListedChapter* chapter) {
  *chapter = {};
  if (index < 0 || static_cast<size_t>(index) >= undeleted_ids.size()) return database::code::kOk;
  chapter->id = undeleted_ids[static_cast<size_t>(index)];
  chapter->shown = chapter->id == shown_id;
  if (chapter->shown) {
    chapter->name = std::string(ReadText(unit::kNameBox, property::kContent).View());
    chapter->text = std::string(ReadText(unit::kTextBox, property::kContent).View());
    return database::code::kOk;
  }
  database::Database* chapters = database::DatabaseList::Instance().Current();
  if (!database_open || chapters == nullptr) return database::code::kOk;
  const int32_t pointer = chapters->record_pointer();
  chapters->GoFirst();
  chapters->Skip(undeleted_records[static_cast<size_t>(index)] - 1);
  const int32_t name_read =
      chapters->ReadReadablePart(chapters->FieldByName(texts::kNameField), &chapter->name);
  const int32_t text_read =
      chapters->ReadReadablePart(chapters->FieldByName(texts::kTextField), &chapter->text);
  chapters->GoFirst();
  chapters->Skip(pointer);
  return name_read != database::code::kOk ? name_read : text_read;
}

int32_t RewriteListedChapter(int32_t id, const std::string& name, const std::string& text) {
  const auto listed = std::find(undeleted_ids.begin(), undeleted_ids.end(), id);
  if (!database_open || id == 0 || id == shown_id || listed == undeleted_ids.end()) {
    return database::code::kOk;
  }
  const auto index = static_cast<int32_t>(listed - undeleted_ids.begin());
  // As it was: what its versions continue from. A record that cannot be read whole is never
  // written over (as when it is shown).
  ListedChapter old;
  if (const int32_t read = ReadListedChapter(index, &old); read != database::code::kOk) return read;
  database::Database* chapters = database::DatabaseList::Instance().Current();
  if (chapters == nullptr) return database::code::kOk;
  KeepVersion(id, VersionOf(old.name, old.text), chapter_history::VersionReason::kBeforeReplace);
  ChapterSnapshot snapshot;
  snapshot.record = undeleted_records[static_cast<size_t>(index)];
  snapshot.text = runtime::ByteSet(
      std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
  snapshot.name = Text(name);
  const int32_t code = WriteSnapshotIntoRecord(chapters, snapshot);
  if (code != database::code::kOk) return code;
  NoteDatabaseWritten();
  const Text item_text(name.substr(name.find_first_not_of(' ') == std::string::npos
                                       ? name.size()
                                       : name.find_first_not_of(' ')));
  TreeBoxMethod(
      libraries::kSetItemText,
      {TreeBoxRef(unit::kChapterList), ArgCell::Int(static_cast<int32_t>(index)), item_text.Arg()});
  return code;
}

int32_t AppendChapters(const std::vector<ChapterToAppend>& appended) {
  database::Database* chapters = database::DatabaseList::Instance().Current();
  if (!database_open || chapters == nullptr) return database::code::kNoDatabase;
  // The values live as long as the append: runtime blocks made here.
  std::vector<Text> names;
  std::vector<runtime::ByteSet> texts_values;
  std::vector<std::vector<database::FieldUpdate>> records;
  names.reserve(appended.size());
  texts_values.reserve(appended.size());
  records.reserve(appended.size());
  for (const ChapterToAppend& chapter : appended) {
    names.emplace_back(chapter.name);
    texts_values.emplace_back(std::span<const uint8_t>(
        reinterpret_cast<const uint8_t*>(chapter.text.data()), chapter.text.size()));
    records.push_back(
        {{texts::kTextField, texts_values.back().Arg()}, {texts::kNameField, names.back().Arg()}});
  }
  database::AppendedRecords made;
  const int32_t code = database::AppendAllOrNone(*chapters, records, &made);
  // The ones made live are listed, each whole.
  std::vector<Text> items;
  items.reserve(made.live);
  for (size_t i = 0; i < made.live; ++i) {
    undeleted_records.push_back(made.numbers[i]);
    undeleted_ids.push_back(made.ids[i]);
    const std::string& name = appended[i].name;
    const size_t start = name.find_first_not_of(' ');
    items.emplace_back(start == std::string::npos ? std::string() : name.substr(start));
  }
  if (!items.empty()) {
    const runtime::TextArray array(std::move(items));
    TreeBoxMethod(libraries::kAddItem, {TreeBoxRef(unit::kChapterList), ArgCell{}, array.Arg()});
  }
  return code;
}

bool FlushChapterDatabase() {
  PutSavesOnDisk();
  return !saved_since_flush;
}

bool ShowNewBlankChapter() {
  FinishDeskWrites();
  const size_t before = undeleted_ids.size();
  // As "新章": the chapter shown is saved and left first.
  NewChapter();
  return undeleted_ids.size() == before + 1 && shown_id != 0 && undeleted_ids.back() == shown_id;
}

}  // namespace app
