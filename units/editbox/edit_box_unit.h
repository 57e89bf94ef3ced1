#pragma once

#include <QPointer>
#include <memory>
#include <optional>
#include <string>

#include "forms/unit_interface.h"
#include "units/base/property_table.h"
#include "units/base/unit_base.h"
#include "units/editbox/edit_box_class_data.h"
#include "units/editbox/edit_control.h"
#include "units/editbox/gbk_positions.h"
#include "units/editbox/spin_control.h"

namespace units {

// The edit box's own events.
namespace edit_box_event {
inline constexpr int32_t kContentChanged = 0;
inline constexpr int32_t kSpinStep = 1;
}  // namespace edit_box_event

// Selects a range of the text: wparam the start, lparam the end (byte positions; the caret
// goes to the end). A start of -1 drops the selection, an end below 0 means the end of the
// text, so (0, -1) selects everything.
inline constexpr uint32_t kSelectRangeMessage = 0xB1;
// Answers 1 when the box holds an edit that undo can take back, else 0.
inline constexpr uint32_t kCanUndoMessage = 0xC6;
// Forgets every edit of the box. A program that loads another text into the box sends it,
// so that undo never brings the text shown before back into the new one.
inline constexpr uint32_t kEmptyUndoBufferMessage = 0xCD;

// The edit box: a single-line field or a multi-line editor over a Qt text widget, with
// the program's view of it in GBK (texts, and selection positions counting bytes).
//
// Events fired from here may run handlers that destroy the box; every step after one
// asks whether the window is still alive before it touches the widget.
class EditBoxUnit : public gui::Window, public UnitBase {
 public:
  using ClassData = EditBoxClassData;

  // Null when the class data is not an edit box's.
  static EditBoxUnit* Create(const forms::CreateParams& params);
  ~EditBoxUnit() override;

  // Class properties, by class index (property index - 8).
  static const PropertyTable<EditBoxUnit, EditBoxClassData>& Properties();
  int32_t WriteProperty(int32_t index, const forms::PropertyValue& value) {
    return Properties().Write(*this, data_, index, value);
  }
  bool ReadProperty(int32_t index, forms::PropertyValue* value) const {
    return Properties().Read(*this, data_, index, value);
  }
  // The class data of the box as it is now (text and selection taken from the widget).
  EditBoxClassData Data() const;
  // Whether the box handles the key message itself (Enter in a multi-line, writable box).
  bool OwnsKey(const gui::Message& message) const;
  // Puts the caret at the end, scrolls it into view and inserts `gbk` there.
  void AppendText(const std::string& gbk);
  // measure(Content); a multi-line box keeps it line by line, so that asking after every key
  // costs the lines the key touched.
  int64_t MeasureContent(GbkMeasure measure) const;
  // A click on the spin control's up (+1) or down (-1) arrow.
  void Step(int32_t direction);

  int64_t WindowProc(gui::Message& message) override;

  EditControl& Control() const { return *control_; }
  SpinControl* Spin() const { return spin_.data(); }

  // Properties kept by the widget, and what a write of a stored one does.
  void ReadContent(forms::PropertyValue* value) const;
  int32_t WriteContent(const forms::PropertyValue& value);
  void ReadSelStart(forms::PropertyValue* value) const;
  int32_t WriteSelStart(const forms::PropertyValue& value);
  void ReadSelLength(forms::PropertyValue* value) const;
  int32_t WriteSelLength(const forms::PropertyValue& value);
  void ReadSelText(forms::PropertyValue* value) const;
  int32_t WriteSelText(const forms::PropertyValue& value);
  void ApplyBorder();
  void ApplyColors();
  void ApplyFont();
  void ApplyMaxLength();
  void ApplyInputMode();
  void ApplyPasswordChar();
  void ApplySpinRange();

 private:
  EditBoxUnit(const forms::CreateParams& params, EditBoxClassData data,
              std::unique_ptr<EditControl> control);

  std::string Content() const;
  // Replaces the whole text with the notifications held back; the caller fires the event.
  void SetTextQuietly(const QString& text);
  // Makes `text` the text as SetTextQuietly does, but a text that only extends the current,
  // non-empty one gets its tail added as an edit, so that the author's undo history stays.
  void ExtendOrSetTextQuietly(const QString& text);
  void TextChanged();
  bool FireContentChanged();  // false when the box is gone afterwards

  void PlaceSpin();
  void SelectBytes(int64_t start, int64_t end);
  void NormalizeOnFocusLoss();

  EditBoxClassData data_;
  std::unique_ptr<EditControl> control_;
  GbkPositions positions_;
  QPointer<SpinControl> spin_;
  int quiet_ = 0;  // programmatic writes in progress
  // The GBK text, kept between changes: the program reads a chapter far more often
  // (change handler, save timer, autosave) than the author changes it between reads.
  mutable std::optional<std::string> content_cache_;
};

}  // namespace units
