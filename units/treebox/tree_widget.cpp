#include "units/treebox/tree_widget.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <utility>

#include "platform/gui/window.h"
#include "units/treebox/tree_item_delegate.h"

namespace units {

namespace {

// Sets the input cause for as long as Qt handles one input event.
class CauseScope {
 public:
  CauseScope(int32_t& cause, int32_t value) : cause_(cause), saved_(std::exchange(cause, value)) {}
  ~CauseScope() { cause_ = saved_; }
  CauseScope(const CauseScope&) = delete;
  CauseScope& operator=(const CauseScope&) = delete;

 private:
  int32_t& cause_;
  int32_t saved_;
};

constexpr int32_t kKeyboard = 0;
constexpr int32_t kMouse = 1;
constexpr int kButtonSide = 9;

}  // namespace

TreeWidget::TreeWidget() {
  setColumnCount(1);
  header()->hide();
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformRowHeights(true);
  setExpandsOnDoubleClick(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setFocusPolicy(Qt::StrongFocus);
  setItemDelegate(new TreeItemDelegate(this));
}

TreeWidgetOwner* TreeWidget::Owner() const {
  return dynamic_cast<TreeWidgetOwner*>(gui::Window::FromHandle(owner_));
}

void TreeWidget::Relayout() {
  doItemsLayout();
  viewport()->update();
}

int32_t TreeWidget::ItemHeight() const {
  if (look_.item_height > 0) return look_.item_height;
  int height = fontMetrics().height() + 4;
  if (!look_.pictures.empty()) height = std::max(height, look_.pictures.front().height() + 2);
  if (look_.check_boxes && !look_.state_pictures.empty()) {
    height = std::max(height, look_.state_pictures.front().height() + 2);
  }
  return height;
}

QStyleOptionViewItem TreeWidget::ItemOption(const QModelIndex& index) const {
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  option.rect = visualRect(index);
  return option;
}

QRect TreeWidget::StatePictureRect(const QModelIndex& index) const {
  const auto* delegate = static_cast<const TreeItemDelegate*>(itemDelegate());
  const int width = delegate->StateWidth();
  if (!index.isValid() || width == 0) return {};
  const QRect row = visualRect(index);
  const QSize picture = look_.state_pictures.front().size();
  return {row.left(), row.top() + (row.height() - picture.height()) / 2, picture.width(),
          picture.height()};
}

QRect TreeWidget::ContentRect(const QModelIndex& index) const {
  if (!index.isValid()) return {};
  const QRect row = visualRect(index);
  const QSize size = itemDelegate()->sizeHint(ItemOption(index), index);
  return {row.left(), row.top(), std::min(size.width(), row.width()), row.height()};
}

bool TreeWidget::OnStatePicture(const QPoint& position, QTreeWidgetItem** item) const {
  if (!look_.check_boxes) return false;
  const QModelIndex index = indexAt(position);
  if (!index.isValid() || !StatePictureRect(index).contains(position)) return false;
  *item = itemFromIndex(index);
  return true;
}

void TreeWidget::mousePressEvent(QMouseEvent* event) {
  CauseScope cause(input_cause_, kMouse);
  const QPoint position = event->position().toPoint();
  const QModelIndex index = indexAt(position);
  if (event->button() == Qt::RightButton) {
    // The platform tree selects the item under a right click itself and leaves the rest to
    // its owner; Qt's own handling of the press is not wanted.
    setFocus(Qt::MouseFocusReason);
    if (index.isValid() && ContentRect(index).contains(position)) {
      if (TreeWidgetOwner* owner = Owner()) owner->ItemRightClicked(itemFromIndex(index));
    }
    event->accept();
    return;
  }
  if (event->button() == Qt::LeftButton) {
    QTreeWidgetItem* item = nullptr;
    if (OnStatePicture(position, &item)) {
      setFocus(Qt::MouseFocusReason);
      if (TreeWidgetOwner* owner = Owner()) owner->CheckBoxToggled(item);
      event->accept();
      return;
    }
    if (!look_.has_buttons && index.isValid() && position.x() < visualRect(index).left()) {
      // Without buttons, the place where they would be does not expand anything.
      setFocus(Qt::MouseFocusReason);
      if (TreeWidgetOwner* owner = Owner()) owner->SelectByMouse(itemFromIndex(index));
      event->accept();
      return;
    }
  }
  QTreeWidget::mousePressEvent(event);
}

void TreeWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  CauseScope cause(input_cause_, kMouse);
  QTreeWidgetItem* item = nullptr;
  if (event->button() == Qt::LeftButton && OnStatePicture(event->position().toPoint(), &item)) {
    // The second click on a check box is another click on it, not an expansion.
    if (TreeWidgetOwner* owner = Owner()) owner->CheckBoxToggled(item);
    event->accept();
    return;
  }
  if (event->button() == Qt::RightButton) {
    event->accept();
    return;
  }
  QTreeWidget::mouseDoubleClickEvent(event);
}

void TreeWidget::mouseReleaseEvent(QMouseEvent* event) {
  CauseScope cause(input_cause_, kMouse);
  QTreeWidget::mouseReleaseEvent(event);
}

void TreeWidget::mouseMoveEvent(QMouseEvent* event) {
  // Dragging with a button held does not move the selection, as in the platform tree.
  if (event->buttons() != Qt::NoButton) {
    event->accept();
    return;
  }
  QTreeWidget::mouseMoveEvent(event);
}

void TreeWidget::keyPressEvent(QKeyEvent* event) {
  CauseScope cause(input_cause_, kKeyboard);
  if (event->key() == Qt::Key_Space && look_.check_boxes && event->modifiers() == Qt::NoModifier) {
    if (QTreeWidgetItem* item = currentItem()) {
      if (TreeWidgetOwner* owner = Owner()) owner->CheckBoxToggled(item);
      event->accept();
      return;
    }
  }
  QTreeWidget::keyPressEvent(event);
}

void TreeWidget::focusInEvent(QFocusEvent* event) {
  // Qt puts the caret on the first item when a tree without one gets the focus; the
  // platform tree does not, and a caret without a selection would make CurrentItem lie.
  const bool had_current = currentIndex().isValid();
  {
    // Nobody hears of a caret that is taken back at once.
    const QSignalBlocker quiet(this);
    QTreeWidget::focusInEvent(event);
    if (!had_current && currentIndex().isValid()) selectionModel()->clearCurrentIndex();
  }
  viewport()->update();
}

bool TreeWidget::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  if (trigger == QAbstractItemView::NoEditTriggers ||
      trigger == QAbstractItemView::AllEditTriggers || !index.isValid() ||
      state() == QAbstractItemView::EditingState) {
    return QTreeWidget::edit(index, trigger, event);
  }
  if (!(editTriggers() & trigger)) return false;
  const gui::WindowHandle owner_handle = owner_;
  const QPointer<TreeWidget> self(this);
  if (TreeWidgetOwner* owner = Owner()) {
    if (!owner->LabelEditStarting(itemFromIndex(index))) return false;
    if (self.isNull() || !gui::IsWindowAlive(owner_handle)) return false;
  }
  if (!QTreeWidget::edit(index, trigger, event)) return false;
  edited_ = index;
  edit_committed_ = false;
  return true;
}

void TreeWidget::commitData(QWidget* editor) {
  auto* line = qobject_cast<QLineEdit*>(editor);
  QTreeWidgetItem* item = edited_.isValid() ? itemFromIndex(edited_) : nullptr;
  if (line == nullptr || item == nullptr) {
    QTreeWidget::commitData(editor);
    return;
  }
  edit_committed_ = true;
  const gui::WindowHandle owner_handle = owner_;
  const QPointer<TreeWidget> self(this);
  TreeWidgetOwner* owner = Owner();
  const bool accepted = owner == nullptr || owner->LabelEditEnding(item, line->text(), false);
  if (accepted && !self.isNull() && gui::IsWindowAlive(owner_handle)) {
    QTreeWidget::commitData(editor);
  }
}

void TreeWidget::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  const QPersistentModelIndex edited = std::exchange(edited_, QPersistentModelIndex());
  const bool committed = std::exchange(edit_committed_, false);
  if (!committed && edited.isValid()) {
    // A cancelled edit still ends: the handler hears the item's own text.
    if (QTreeWidgetItem* item = itemFromIndex(edited)) {
      const QPointer<TreeWidget> self(this);
      if (TreeWidgetOwner* owner = Owner()) owner->LabelEditEnding(item, item->text(0), true);
      // A handler that ran a loop of its own may have seen this widget deleted.
      if (self.isNull()) return;
    }
  }
  QTreeWidget::closeEditor(editor, hint);
}

void TreeWidget::drawBranches(QPainter* painter, const QRect& rect,
                              const QModelIndex& index) const {
  const int indent = indentation();
  if (rect.width() < indent || indent <= 0) return;
  painter->save();
  QPen dotted(palette().color(QPalette::Mid));
  dotted.setStyle(Qt::DotLine);
  const auto has_next_sibling = [](const QModelIndex& at) {
    return at.sibling(at.row() + 1, 0).isValid();
  };
  // The item's own cell is the rightmost one; its ancestors' cells go to the left.
  QRect cell(rect.right() + 1 - indent, rect.top(), indent, rect.height());
  const QPoint middle = cell.center();
  if (look_.has_lines) {
    painter->setPen(dotted);
    painter->drawLine(middle.x(), middle.y(), cell.right(), middle.y());
    painter->drawLine(middle.x(), cell.top(), middle.x(),
                      has_next_sibling(index) ? cell.bottom() : middle.y());
    QModelIndex ancestor = index.parent();
    for (QRect left = cell.translated(-indent, 0); ancestor.isValid() && left.left() >= rect.left();
         left.translate(-indent, 0), ancestor = ancestor.parent()) {
      if (has_next_sibling(ancestor)) {
        painter->drawLine(left.center().x(), left.top(), left.center().x(), left.bottom());
      }
    }
  }
  if (look_.has_buttons && model()->hasChildren(index)) {
    const QRect box(middle.x() - kButtonSide / 2, middle.y() - kButtonSide / 2, kButtonSide - 1,
                    kButtonSide - 1);
    painter->setPen(palette().color(QPalette::Dark));
    painter->fillRect(box, palette().color(QPalette::Base));
    painter->drawRect(box);
    painter->setPen(palette().color(QPalette::Text));
    painter->drawLine(box.left() + 2, middle.y(), box.right() - 2, middle.y());
    if (!isExpanded(index))
      painter->drawLine(middle.x(), box.top() + 2, middle.x(), box.bottom() - 2);
  }
  painter->restore();
}

QItemSelectionModel::SelectionFlags TreeWidget::selectionCommand(const QModelIndex& index,
                                                                 const QEvent*) const {
  // One item is selected, and it is the caret item: a click never deselects it.
  return index.isValid() ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::NoUpdate;
}

}  // namespace units
