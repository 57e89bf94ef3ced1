#include "app/chapters.h"

#include <string>
#include <vector>

#include "app/chapter_file.h"
#include "app/desk_texts.h"
#include "app/gate_calls.h"
#include "app/main_window_ids.h"
#include "app/termination.h"
#include "runtime/gates.h"

namespace app {

namespace {

using runtime::ArgCell;
using runtime::Text;

bool database_open = false;
// The record number (GetRecordNumber) of the chapter the boxes show; 0 for none. A write of
// the boxes goes only into this record, so that a routine which has already moved the
// pointer (a delete, a new chapter) never writes one chapter's text into another's record.
int32_t shown_record = 0;
int32_t shown_item = -1;  // the list item of that chapter when it was loaded
bool changed_since_save = true;
// The record numbers of the records not marked deleted, in record order, as this program
// made them: the n-th is where a walk from the first record would stop for n. Lets a
// switch go straight to its record instead of walking thousands (see GoToChapterRecord).
std::vector<int32_t> undeleted_records;

int32_t RecordNumber() { return Core(libraries::kGetRecordNumber, {}).As<int32_t>(); }

// The value of the text field: the text box's content without leading blanks, as a byte
// set that ModifyFields takes over. Evaluated by ModifyFields itself.
ArgCell TrimmedTextAsByteSet(const void*) {
  const Text content = ReadText(unit::kTextBox, property::kContent);
  const Text trimmed = CoreText(libraries::kTrimLeadingSpaces, {content.Arg()});
  return Core(libraries::kToByteSet, {trimmed.Arg()});
}

// ModifyFields on the current record: the text field, then the name field.
bool WriteBoxesIntoRecord() {
  static const runtime::SubStatement text_value{&TrimmedTextAsByteSet, nullptr};
  const Text text_field(texts::kTextField);
  const Text name_field(texts::kNameField);
  const Text name = ReadText(unit::kNameBox, property::kContent);
  return IsTrue(Core(libraries::kModifyFields, {ArgCell{}, text_field.Arg(), ArgCell::Statement(&text_value),
                                                 name_field.Arg(), name.Arg()}));
}

int32_t CurrentItem() { return ReadInt(unit::kChapterList, property::kCurrentItem); }

// An item's text: the name without leading blanks.
bool ShowNameInItem(int32_t item) {
  const Text name = ReadText(unit::kNameBox, property::kContent);
  const Text trimmed = CoreText(libraries::kTrimLeadingSpaces, {name.Arg()});
  const Text item_text = CoreText(libraries::kToText, {trimmed.Arg()});
  return IsTrue(TreeBoxMethod(libraries::kSetItemText,
                               {TreeBoxRef(unit::kChapterList), ArgCell::Int(item), item_text.Arg()}));
}

Text ReadFieldAsText(const std::string& field) {
  const Text name(field);
  const ArgCell value = Core(libraries::kReadField, {name.Arg()});
  // ToText copies; the field's own value (a text or byte-set block) is freed here.
  Text text = CoreText(libraries::kToText, {value});
  runtime::FreeBlock(value.AsPointer<void>());
  return text;
}

}  // namespace

bool ChapterDatabaseOpen() { return database_open; }
void SetChapterDatabaseOpen(bool open) {
  database_open = open;
  shown_record = 0;
}

void ListChapters() {
  undeleted_records.clear();
  Core(libraries::kGoFirstRecord, {});
  while (!IsTrue(Core(libraries::kIsAfterLastRecord, {}))) {
    const Text name = ReadFieldAsText(texts::kNameField);
    TreeBoxMethod(libraries::kAddItem, {TreeBoxRef(unit::kChapterList), ArgCell{}, name.Arg()});
    if (!IsTrue(Core(libraries::kIsRecordDeleted, {}))) undeleted_records.push_back(RecordNumber());
    if (!IsTrue(Core(libraries::kSkipRecords, {ArgCell::Int(1)}))) break;
  }
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
  if (IsTrue(Core(libraries::kIsAfterLastRecord, {})) || IsTrue(Core(libraries::kIsRecordDeleted, {})) ||
      RecordNumber() != record) {
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

void FlushShownChapter() {
  if (!database_open || shown_record == 0 || RecordNumber() != shown_record) return;
  if (!WriteBoxesIntoRecord()) return;
  changed_since_save = false;
  // The pointer is still on the chapter, so no item has come or gone since it was loaded.
  ShowNameInItem(shown_item);
}

void SaveCurrentChapter() {
  if (!changed_since_save) return;
  // Results as the database gives them: with no current record nothing is written, and the
  // boxes stay marked so that the next tick tries again.
  const bool written = database_open && WriteBoxesIntoRecord();
  ShowNameInItem(CurrentItem());
  if (written) changed_since_save = false;
}

void MarkChapterChanged() { changed_since_save = true; }

void LoadChosenChapter() {
  const int32_t item = CurrentItem();
  if (!database_open || item < 0) return;
  FlushShownChapter();
  GoToChapterRecord(item + 1);
  const Text chapter_text = ReadFieldAsText(texts::kTextField);
  const Text chapter_name = ReadFieldAsText(texts::kNameField);
  WriteText(unit::kTextBox, property::kContent, chapter_text.View());
  WriteText(unit::kNameBox, property::kContent, chapter_name.View());
  shown_record = RecordNumber();
  shown_item = item;
}

void NewChapter() {
  const Text name = ReadText(unit::kNameBox, property::kContent);
  WriteChapterFile(name.View());
  if (database_open && WriteBoxesIntoRecord()) changed_since_save = false;
  ShowNameInItem(CurrentItem());
  if (IsTrue(Core(libraries::kAppendBlankRecord, {}))) undeleted_records.push_back(RecordNumber());
  const Text empty;
  TreeBoxMethod(libraries::kAddItem, {TreeBoxRef(unit::kChapterList), ArgCell{}, empty.Arg(), ArgCell::Int(0)});
  const int32_t count = TreeBoxMethod(libraries::kGetItemCount, {TreeBoxRef(unit::kChapterList)}).As<int32_t>();
  WriteInt(unit::kChapterList, property::kCurrentItem, count - 1);
  WriteText(unit::kTextBox, property::kContent, {});
  WriteText(unit::kNameBox, property::kContent, {});
  Core(libraries::kSetFocus, {EditBoxRef(unit::kNameBox)});
}

void DeleteChapter() {
  const int32_t current = CurrentItem();
  const int32_t count = TreeBoxMethod(libraries::kGetItemCount, {TreeBoxRef(unit::kChapterList)}).As<int32_t>();
  if (current == -1 || count <= 1) return;
  const Text text(texts::kConfirmDelete);
  const Text caption(texts::kWarningCaption);
  if (Core(libraries::kMessageBox, {text.Arg(), ArgCell::Int(0x31), caption.Arg()}).As<int32_t>() == 1) return;
  const int32_t shown_after = current == 0 ? 0 : current - 1;
  if (database_open) {
    GoToChapterRecord(current + 1);
    if (IsTrue(Core(libraries::kDeleteRecords, {}))) {
      std::erase(undeleted_records, RecordNumber());
    }
    GoToChapterRecord(shown_after + 1);
  }
  TreeBoxMethod(libraries::kDeleteItem, {TreeBoxRef(unit::kChapterList), ArgCell::Int(CurrentItem())});
  WriteInt(unit::kChapterList, property::kCurrentItem, shown_after);
}

}  // namespace app
