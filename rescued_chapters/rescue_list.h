#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The chapters whose latest text lies only in a rescue copy: their record could not take it
// (a full disk, files replaced) and the author has not had it back yet. Kept in a small file
// beside the chapter database, so that a desk started later still knows. No Qt: the database
// tool may print it too.
namespace rescued_chapters {

struct RescuedChapter {
  int32_t record = 0;      // the chapter's record number (the desk packs no record away while
                           // any chapter is listed, so it stays the chapter's)
  std::string name;        // GBK, as rescued
  std::string rescue_path; // GBK path of the rescue copy's GBK file
  std::string when;        // the date-time text of the failure that rescued it
  // Still on the screen since it was rescued (or its rescued text was put back): the next
  // save that its record takes holds that text, and heals it. Not kept in the file: a
  // started desk shows no chapter yet.
  bool on_screen = false;
};

class RescueList {
 public:
  // Adds the chapter, or replaces what was known of its record.
  void Note(RescuedChapter chapter);
  void Forget(int32_t record);
  // Nothing when the record is not listed.
  RescuedChapter* Find(int32_t record);
  const std::vector<RescuedChapter>& chapters() const { return chapters_; }
  bool empty() const { return chapters_.empty(); }

  // The file's bytes. Layout (GBK text, one line each, "\r\n" after each):
  //   "inkstone rescued chapters 1"
  //   <record> TAB <when> TAB <rescue path> TAB <name>     (one line per chapter)
  // Bytes below 0x20 and "%" inside a field are written as "%" and two hex digits (GBK
  // trail bytes are never below 0x40, so a character is never split).
  std::string ToFileBytes() const;
  // The list in a file's bytes; nothing when they are not such a list (another first line, a
  // line without its four fields, a record number that is not one).
  static std::optional<RescueList> FromFileBytes(std::string_view bytes);

 private:
  std::vector<RescuedChapter> chapters_;
};

// The file's state on the disk.
enum class ListFileState { kRead, kMissing, kUnreadable, kDamaged };

// Reads the list at `gbk_path`: kMissing (an empty list) when there is no file; kUnreadable
// when it is there but could not be read (permissions, another program's lock: try again
// later); kDamaged when it is not a list (never written by the desk: left as it is).
ListFileState ReadListFile(std::string_view gbk_path, RescueList* list);

// Replaces the file whole (the old content or the new, never a torn one); an empty list
// removes it. False when the disk did not take it.
bool WriteListFile(std::string_view gbk_path, const RescueList& list);

}  // namespace rescued_chapters
