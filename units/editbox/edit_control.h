#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "units/editbox/line_sums.h"

class QPainter;
class QPalette;
class QRect;
class QWidget;

namespace units {

// `Border` values 0..5 (none, sunken, raised, shallow sunken, sunken inside raised, single
// line) as the width of the frame and its painting.
int32_t BorderWidth(int32_t border);
void PaintBorder(QPainter& painter, const QRect& rect, const QPalette& palette, int32_t border);

// The styles a box gets when it is created; changing one of them re-creates the unit.
struct EditControlStyle {
  bool multi_line = false;
  int32_t scroll_bars = 0;  // 1 horizontal, 2 vertical, 3 both (multi-line only)
  int32_t alignment = 0;    // 0 left, 1 centred, 2 right
};

// The Qt text widget behind an edit box: a line edit for a single-line box, a plain-text
// editor for a multi-line one (it keeps long chapters cheap to type in). Indexes are the
// widget's UTF-16 positions. A multi-line text keeps the kind of each line break, one
// position each: "\n" for a break typed or written as CR LF, U+2028 (line separator) for a
// lone LF, "\r" for a lone CR.
class EditControl {
 public:
  static std::unique_ptr<EditControl> Make(const EditControlStyle& style);
  virtual ~EditControl() = default;

  // The widget; the unit's window object takes ownership of it.
  virtual QWidget* Widget() const = 0;
  virtual bool IsMultiLine() const = 0;

  virtual QString Text() const = 0;
  // Replaces the whole text; the undo history starts again.
  virtual void SetText(const QString& text) = 0;
  virtual int32_t Length() const = 0;
  // Selection as [start, end), start <= end.
  virtual void Selection(int32_t* start, int32_t* end) const = 0;
  // Selects from `anchor` to `position` (the caret) and scrolls the caret into view.
  virtual void Select(int32_t anchor, int32_t position) = 0;
  virtual QString SelectedText() const = 0;
  // Replaces the selection with `text` and scrolls to the caret. Without `undoable` the
  // undo history is dropped, as a non-undoable replacement leaves nothing to undo.
  virtual void ReplaceSelection(const QString& text, bool undoable) = 0;
  // Adds `text` at the end of the text as one edit that undo takes back, leaving the
  // caret and the selection alone; false (and nothing done) when the control cannot, and
  // the caller then writes the whole text.
  virtual bool AppendAsEdit(const QString&) { return false; }
  // measure() of the text as the box gives it back, kept line by line (see LineSums);
  // nothing when the control keeps no such sum (a single line) or cannot now, and the caller
  // then measures the whole text.
  virtual std::optional<int64_t> SumOverLines(GbkMeasure) { return std::nullopt; }
  virtual bool CanUndo() const = 0;
  // Forgets every edit: nothing to undo or redo afterwards. The text, caret and selection
  // stay.
  virtual void EmptyUndoHistory() = 0;

  virtual void SetReadOnly(bool read_only) = 0;
  virtual bool IsReadOnly() const = 0;
  // The most characters a user may make the text; 0 for no limit of ours. A program's
  // write is never cut.
  virtual void SetMaxLength(int32_t max_length) = 0;
  // 0 shows the text plainly (the multi-line editor always does).
  virtual void SetPasswordChar(QChar mask) = 0;
  virtual void SetBorder(int32_t border) = 0;

  // Colours and font apply to the text area; with `hide_selection` an unfocused box shows
  // no selection.
  void SetColors(const QColor& text, const QColor& back, bool hide_selection);
  void SetFont(const QFont& font);

  // How a control without the focus shows its selection (SetColors applies it).
  virtual void SetSelectionHidden(bool) {}

  // Stops every call into the callbacks below: the unit is going, its widget may stay a
  // little longer.
  virtual void Detach() = 0;

  // Called after every change of the text (by the user or the program).
  std::function<void()> on_text_changed;
  // Called when the widget moved, was resized, shown, hidden, enabled, disabled or moved to
  // another parent (the spin control follows it).
  std::function<void()> on_placement_changed;
};

}  // namespace units
