#pragma once

#include <QStyledItemDelegate>

namespace units {

class TreeWidget;

// Draws a tree item as the platform tree does: its state picture (check box) first, then
// its picture (the selected picture while selected), then its text, bold when asked; all
// rows share the tree's item height. Without the show-selection-always look, the selection
// is drawn only while the tree has the focus.
class TreeItemDelegate : public QStyledItemDelegate {
 public:
  explicit TreeItemDelegate(TreeWidget* tree);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override;

  // The width the state picture takes in front of the item (0 without check boxes).
  int StateWidth() const;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

 private:
  TreeWidget* tree_;
};

}  // namespace units
