#pragma once

#include <QCursor>
#include <optional>

#include "forms/unit_interface.h"
#include "platform/gui/window.h"
#include "units/base/property_table.h"
#include "units/base/unit_base.h"
#include "units/splitterbar/splitter_bar_class_data.h"
#include "units/splitterbar/splitter_drag.h"

class QPainter;

namespace units {

// The splitter bar: a thin bar the user drags to divide its parent between two areas. It
// never moves itself: a drag shows a ghost of the bar and, dropped somewhere else,
// reports the old and the new edge in PositionChanged; the program's handler moves the
// bar. Its cursor is its own line-move cursor, whatever MouseCursor or the parent says.
class SplitterBarUnit : public gui::Window, public UnitBase {
 public:
  using ClassData = SplitterBarClassData;
  // Arguments: the old and the new left edge (vertical bar) or top edge (horizontal
  // bar), in the parent's client coordinates.
  static constexpr int32_t kPositionChangedEvent = 0;

  SplitterBarUnit(const forms::CreateParams& params, SplitterBarClassData data);
  ~SplitterBarUnit() override;

  // Class properties, by class index. Every write repaints.
  static const PropertyTable<SplitterBarUnit, SplitterBarClassData>& Properties();
  int32_t WriteProperty(int32_t index, const forms::PropertyValue& value) {
    return Properties().Write(*this, data_, index, value);
  }
  bool ReadProperty(int32_t index, forms::PropertyValue* value) const {
    return Properties().Read(*this, data_, index, value);
  }
  const SplitterBarClassData& Data() const { return data_; }

  // What a property write does after storing the value.
  void Refresh() { Repaint(); }
  void ApplyOrientation();

  int64_t WindowProc(gui::Message& message) override;

 private:
  bool IsVertical() const { return data_.orientation == SplitterBarClassData::kVertical; }
  void PaintBar(QPainter& painter, const QRect& exposed) const;
  void StartDrag(QPoint press);
  void DragFinished(int32_t start_edge, std::optional<int32_t> final_edge) const;

  SplitterBarClassData data_;
  QCursor cursor_;
  SplitterDrag drag_;
};

}  // namespace units
