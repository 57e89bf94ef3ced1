#include "units/treebox/tree_item_delegate.h"

#include <QPainter>

#include "units/treebox/tree_widget.h"

namespace units {

namespace {

constexpr int kStateGap = 2;

QPixmap PictureAt(const std::vector<QPixmap>& pictures, const QVariant& index) {
  const int i = index.toInt();
  if (i >= 0 && static_cast<size_t>(i) < pictures.size()) return pictures[static_cast<size_t>(i)];
  // A picture index past the list shows nothing but keeps the place.
  QPixmap blank(pictures.front().size());
  blank.fill(Qt::transparent);
  return blank;
}

}  // namespace

TreeItemDelegate::TreeItemDelegate(TreeWidget* tree) : QStyledItemDelegate(tree), tree_(tree) {}

int TreeItemDelegate::StateWidth() const {
  const TreeLook& look = tree_->Look();
  if (!look.check_boxes || look.state_pictures.empty()) return 0;
  return look.state_pictures.front().width() + kStateGap;
}

void TreeItemDelegate::initStyleOption(QStyleOptionViewItem* option,
                                       const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  if (index.data(tree_role::kBold).toBool()) {
    option->font.setBold(true);
    option->fontMetrics = QFontMetrics(option->font);
  }
  const std::vector<QPixmap>& pictures = tree_->Look().pictures;
  if (pictures.empty()) {
    option->features &= ~QStyleOptionViewItem::HasDecoration;
    option->icon = QIcon();
    return;
  }
  QIcon icon;
  icon.addPixmap(PictureAt(pictures, index.data(tree_role::kPicture)), QIcon::Normal);
  icon.addPixmap(PictureAt(pictures, index.data(tree_role::kSelectedPicture)), QIcon::Selected);
  option->icon = icon;
  option->features |= QStyleOptionViewItem::HasDecoration;
  option->decorationSize = pictures.front().size();
}

void TreeItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  QStyleOptionViewItem item = option;
  const TreeLook& look = tree_->Look();
  if (!look.show_sel_always && !tree_->hasFocus()) item.state &= ~QStyle::State_Selected;
  if (const int width = StateWidth(); width > 0) {
    const int state = index.data(tree_role::kCheckState).toInt();
    if (state > 0 && static_cast<size_t>(state) < look.state_pictures.size()) {
      const QPixmap& picture = look.state_pictures[static_cast<size_t>(state)];
      const int top = option.rect.top() + (option.rect.height() - picture.height()) / 2;
      painter->drawPixmap(option.rect.left(), top, picture);
    }
    item.rect.setLeft(item.rect.left() + width);
  }
  QStyledItemDelegate::paint(painter, item, index);
}

QSize TreeItemDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
  const QSize size = QStyledItemDelegate::sizeHint(option, index);
  return {size.width() + StateWidth(), tree_->ItemHeight()};
}

void TreeItemDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                            const QModelIndex& index) const {
  QStyleOptionViewItem item = option;
  item.rect.setLeft(item.rect.left() + StateWidth());
  QStyledItemDelegate::updateEditorGeometry(editor, item, index);
}

}  // namespace units
