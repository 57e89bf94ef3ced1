#pragma once

#include <QPersistentModelIndex>
#include <QPixmap>
#include <QTreeWidget>
#include <cstdint>
#include <vector>

#include "platform/gui/window_handles.h"

namespace units {

// Where a tree item keeps what the program gave it.
namespace tree_role {
inline constexpr int kPicture = Qt::UserRole;              // index into the pictures
inline constexpr int kSelectedPicture = Qt::UserRole + 1;  // the same while selected
inline constexpr int kData = Qt::UserRole + 2;             // the program's item data
inline constexpr int kBold = Qt::UserRole + 3;
inline constexpr int kCheckState = Qt::UserRole + 4;  // state picture number, 0 none
}  // namespace tree_role

// What the unit that owns a tree widget decides about the user's actions. Every call may
// run an application handler, which may destroy the unit and its widget: callers look the
// owner up again by its handle afterwards.
class TreeWidgetOwner {
 public:
  virtual ~TreeWidgetOwner() = default;
  // In-place editing of `item` is about to start; false cancels it.
  virtual bool LabelEditStarting(QTreeWidgetItem* item) = 0;
  // In-place editing of `item` ends with `text` (the item's own text when cancelled);
  // false keeps the old text.
  virtual bool LabelEditEnding(QTreeWidgetItem* item, const QString& text, bool cancelled) = 0;
  // The right button went down on an item's pictures or text.
  virtual void ItemRightClicked(QTreeWidgetItem* item) = 0;
  // The user clicked the item's check box or pressed space on it.
  virtual void CheckBoxToggled(QTreeWidgetItem* item) = 0;
  // A press that the widget handles itself selects `item` (a press beside the buttons of a
  // tree without buttons).
  virtual void SelectByMouse(QTreeWidgetItem* item) = 0;
};

// How the tree looks: the unit sets these and asks for a new layout.
struct TreeLook {
  bool has_buttons = true;
  bool has_lines = true;
  bool show_sel_always = true;
  bool check_boxes = false;
  int32_t item_height = -1;  // below 1: the height the font and pictures need
  std::vector<QPixmap> pictures;
  std::vector<QPixmap> state_pictures;  // [0] is never shown
};

// The tree control: a Qt tree widget that draws the platform tree's lines, buttons, state
// pictures and bold items, tells its owner about label editing, right clicks and check
// boxes, and remembers which kind of input is being handled, so that a selection change can
// say what caused it.
class TreeWidget : public QTreeWidget {
 public:
  TreeWidget();

  void SetOwner(gui::WindowHandle owner) { owner_ = owner; }
  TreeLook& Look() { return look_; }
  const TreeLook& Look() const { return look_; }
  // Re-lays out the items after a change of the look.
  void Relayout();

  // 0 while a key is handled, 1 while a mouse button is, else 2.
  int32_t InputCause() const { return input_cause_; }
  int32_t ItemHeight() const;
  // Where an item's state picture and its pictures and text lie, in viewport coordinates.
  QRect StatePictureRect(const QModelIndex& index) const;
  QRect ContentRect(const QModelIndex& index) const;
  QStyleOptionViewItem ItemOption(const QModelIndex& index) const;
  // The item being edited in place, if any.
  QPersistentModelIndex EditedIndex() const { return edited_; }
  bool IsEditing() const { return state() == QAbstractItemView::EditingState; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  void commitData(QWidget* editor) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
  void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event) const override;

 private:
  TreeWidgetOwner* Owner() const;
  bool OnStatePicture(const QPoint& position, QTreeWidgetItem** item) const;

  gui::WindowHandle owner_ = 0;
  TreeLook look_;
  int32_t input_cause_ = 2;
  QPersistentModelIndex edited_;
  bool edit_committed_ = false;
};

}  // namespace units
