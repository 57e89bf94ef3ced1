#include "units/treebox/tree_box.h"

#include <QApplication>
#include <QTreeWidgetItemIterator>
#include <algorithm>
#include <functional>

#include "forms/logical_font.h"
#include "platform/gui/gbk_qstring.h"
#include "units/base/common_events.h"
#include "units/base/painting.h"
#include "units/treebox/picture_group.h"
#include "units/treebox/state_pictures.h"

namespace units {

namespace {

constexpr int32_t kCauseMouse = 1;
constexpr int32_t kCauseProgram = 2;
constexpr int kPendingCheckRole = tree_role::kCheckState + 1;  // set until the timer applies it

std::vector<QPixmap> Pixmaps(const std::vector<QImage>& images) {
  std::vector<QPixmap> pixmaps;
  pixmaps.reserve(images.size());
  for (const QImage& image : images) pixmaps.push_back(QPixmap::fromImage(image));
  return pixmaps;
}

TreeBox* LiveTreeBox(gui::WindowHandle handle) {
  return dynamic_cast<TreeBox*>(gui::Window::FromHandle(handle));
}

bool IsAncestor(const QTreeWidgetItem* ancestor, const QTreeWidgetItem* item) {
  for (const QTreeWidgetItem* at = item->parent(); at != nullptr; at = at->parent()) {
    if (at == ancestor) return true;
  }
  return false;
}

// The item and everything below it.
int32_t SubtreeSize(const QTreeWidgetItem* item) {
  int32_t size = 1;
  for (int i = 0; i < item->childCount(); ++i) size += SubtreeSize(item->child(i));
  return size;
}

// A check state in the item list's four bits.
int32_t ClampState(int32_t state) { return std::clamp(state, 0, 15); }

QTreeWidgetItem* MakeItem(const std::string& text, int32_t picture, int32_t selected_picture,
                          int32_t data, bool bold) {
  auto* item = new QTreeWidgetItem;
  item->setText(0, gui::QStringOfGbk(text));
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable);
  // A role left unset reads as 0 or false: a chapter list of thousands of plain items sets
  // none of them.
  if (picture != 0) item->setData(0, tree_role::kPicture, picture);
  if (selected_picture != 0) item->setData(0, tree_role::kSelectedPicture, selected_picture);
  if (data != 0) item->setData(0, tree_role::kData, data);
  if (bold) item->setData(0, tree_role::kBold, bold);
  return item;
}

}  // namespace

TreeBox::TreeBox(const forms::CreateParams& params, TreeBoxClassData data)
    : gui::Window(new TreeWidget), UnitBase(params.form, params.unit), data_(std::move(data)) {
  TreeWidget* tree = Tree();
  tree->SetOwner(Handle());
  RouteInputFrom(tree->viewport());
  if (params.parent != nullptr) SetParentWindow(params.parent);
  SetRect(params.rect);
  Enable(!(params.extra_style & forms::unit_style::kDisabled));
  tree->setFocusPolicy((params.extra_style & forms::unit_style::kTabStop) ? Qt::StrongFocus
                                                                          : Qt::ClickFocus);

  Properties().ClampAll(data_);
  ApplyFont();
  ApplyPictures();
  ApplyColors();
  ApplyBorder();
  ApplyStatePictures();
  ApplyStyles();

  const gui::WindowHandle handle = Handle();
  QObject::connect(tree, &QTreeWidget::currentItemChanged, tree,
                   [handle](QTreeWidgetItem* current, QTreeWidgetItem* previous) {
                     if (TreeBox* box = LiveTreeBox(handle))
                       box->OnCurrentChanged(current, previous);
                   });
  QObject::connect(tree, &QTreeWidget::itemExpanded, tree, [handle](QTreeWidgetItem* item) {
    if (TreeBox* box = LiveTreeBox(handle)) box->OnExpansion(item, true);
  });
  QObject::connect(tree, &QTreeWidget::itemCollapsed, tree, [handle](QTreeWidgetItem* item) {
    if (TreeBox* box = LiveTreeBox(handle)) box->OnExpansion(item, false);
  });

  BuildItems(ParseItemList(data_.initial_items));
  tree->Look().item_height = data_.item_height;
  tree->Relayout();
  Select(ItemAt(data_.current_item));
}

TreeBox::~TreeBox() {
  if (TreeWidget* tree = Tree()) tree->SetOwner(0);
}

// --- Look ---------------------------------------------------------------------------------

void TreeBox::ApplyBorder() {
  TreeWidget* tree = Tree();
  // 0 none, 1 sunken, 2 raised, 3 shallow sunken, 4 sunken and raised, 5 single line.
  switch (data_.border) {
    case 0:
      tree->setFrameStyle(QFrame::NoFrame);
      break;
    case 1:
      tree->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      tree->setLineWidth(2);
      break;
    case 2:
      tree->setFrameStyle(QFrame::Panel | QFrame::Raised);
      tree->setLineWidth(2);
      break;
    case 3:
      tree->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      tree->setLineWidth(1);
      break;
    case 4:
      tree->setFrameStyle(QFrame::WinPanel | QFrame::Raised);
      tree->setLineWidth(2);
      break;
    default:
      tree->setFrameStyle(QFrame::Box | QFrame::Plain);
      tree->setLineWidth(1);
      break;
  }
}

void TreeBox::ApplyColors() {
  TreeWidget* tree = Tree();
  const QPalette system = QApplication::palette();
  QPalette palette = tree->palette();
  palette.setColor(QPalette::Text, ColorOf(data_.text_color, system.color(QPalette::Text)));
  palette.setColor(QPalette::Base, ColorOf(data_.back_color, system.color(QPalette::Button)));
  tree->setPalette(palette);
  tree->viewport()->update();
}

void TreeBox::ApplyFont() {
  const auto font = forms::LogicalFont::FromBytes(data_.font);
  Tree()->setFont(font.value_or(forms::LogicalFont::Default()).ToQFont());
  Tree()->Relayout();
}

void TreeBox::ApplyStyles() {
  TreeWidget* tree = Tree();
  TreeLook& look = tree->Look();
  look.has_buttons = data_.has_buttons;
  look.has_lines = data_.has_lines;
  look.show_sel_always = data_.show_sel_always;
  tree->setRootIsDecorated(data_.lines_at_root);
  tree->setEditTriggers(data_.edit_labels
                            ? QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed
                            : QAbstractItemView::NoEditTriggers);
  tree->viewport()->update();
}

void TreeBox::ApplyPictures() {
  Tree()->Look().pictures = Pixmaps(ReadPictureGroup(data_.pictures));
  Tree()->Relayout();
}

void TreeBox::ApplyStatePictures() {
  TreeLook& look = Tree()->Look();
  look.check_boxes = data_.check_boxes;
  if (data_.check_boxes) {
    look.state_pictures = Pixmaps(
        BuildStatePictures(ReadPictureGroup(data_.check_pictures), data_.check_state_count));
  } else {
    look.state_pictures.clear();
  }
  Tree()->Relayout();
}

// --- Items --------------------------------------------------------------------------------

// The indexes are worked out from subtree sizes rather than by walking every item before
// the one wanted: filling a chapter list item by item stays fast.
QTreeWidgetItem* TreeBox::ItemAt(int32_t index) const {
  if (index < 0) return nullptr;
  QTreeWidgetItem* parent = Tree()->invisibleRootItem();
  int32_t remaining = index;
  for (;;) {
    QTreeWidgetItem* next = nullptr;
    for (int i = 0; i < parent->childCount() && next == nullptr; ++i) {
      QTreeWidgetItem* child = parent->child(i);
      if (remaining == 0) return child;
      const int32_t size = SubtreeSize(child);
      if (remaining < size) {
        next = child;
        remaining -= 1;  // the child itself comes before its own children
      } else {
        remaining -= size;
      }
    }
    if (next == nullptr) return nullptr;
    parent = next;
  }
}

int32_t TreeBox::IndexOf(const QTreeWidgetItem* item) const {
  if (item == nullptr || item->treeWidget() != Tree()) return -1;
  int32_t index = 0;
  for (const QTreeWidgetItem* at = item;;) {
    const QTreeWidgetItem* parent =
        at->parent() != nullptr ? at->parent() : Tree()->invisibleRootItem();
    const int row = parent->indexOfChild(const_cast<QTreeWidgetItem*>(at));
    if (row < 0) return -1;
    for (int i = 0; i < row; ++i) index += SubtreeSize(parent->child(i));
    if (at->parent() == nullptr) return index;
    index += 1;  // the parent comes before its children
    at = at->parent();
  }
}

void TreeBox::BuildItems(const std::vector<ItemRecord>& records) {
  // Built apart from the tree and handed over at once: a long chapter list costs one
  // insertion, not one per item.
  QList<QTreeWidgetItem*> top_level;
  std::vector<QTreeWidgetItem*> chain;  // chain[d - 1]: the latest item of depth d
  std::vector<QTreeWidgetItem*> expanded;
  for (const ItemRecord& record : records) {
    const size_t depth = std::min(static_cast<size_t>(record.depth), chain.size() + 1);
    chain.resize(depth - 1);
    QTreeWidgetItem* item =
        MakeItem(record.text, record.picture, record.selected_picture, record.data, record.Bold());
    item->setData(0, kPendingCheckRole, record.CheckState());
    if (chain.empty()) {
      top_level.push_back(item);
    } else {
      chain.back()->addChild(item);
    }
    chain.push_back(item);
    if (record.Expanded()) expanded.push_back(item);
  }
  ++expansion_quiet_;
  Tree()->addTopLevelItems(top_level);
  item_count_ = static_cast<int32_t>(records.size());
  for (QTreeWidgetItem* item : expanded) item->setExpanded(true);
  --expansion_quiet_;
  if (!records.empty()) {
    // The platform tree makes its own check-box pictures only once it is running, so the
    // states come a moment later; anything that looks at them first applies them at once.
    SetTimer(kTreeCheckStateTimer, 10);
  }
}

void TreeBox::ApplyPendingCheckStates() {
  if (!HasTimer(kTreeCheckStateTimer)) return;
  KillTimer(kTreeCheckStateTimer);
  for (QTreeWidgetItemIterator it(Tree()); *it != nullptr; ++it) {
    const QVariant pending = (*it)->data(0, kPendingCheckRole);
    if (!pending.isValid()) continue;
    int32_t state = ClampState(pending.toInt());
    if (state == 0 && data_.check_boxes) state = 1;
    (*it)->setData(0, tree_role::kCheckState, state);
    (*it)->setData(0, kPendingCheckRole, QVariant());
  }
  Tree()->viewport()->update();
}

QTreeWidgetItem* TreeBox::MakeNewItem(const NewItem& new_item) const {
  QTreeWidgetItem* item = MakeItem(new_item.text, new_item.picture, new_item.selected_picture,
                                   new_item.data, new_item.bold.value_or(false));
  int32_t state = data_.check_boxes ? 1 : 0;
  if (new_item.check_state) state = ClampState(*new_item.check_state + 1);
  if (state != 0) item->setData(0, tree_role::kCheckState, state);  // unset reads as 0
  return item;
}

int32_t TreeBox::AddItem(int32_t parent, const NewItem& new_item) {
  QTreeWidgetItem* parent_item = ItemAt(parent);
  InsertLast(parent_item, {MakeNewItem(new_item)});
  // The last child of its parent: the parent's last descendant, or the last of all. The
  // start-up adds every chapter this way, so no walk over the items before it.
  if (parent_item == nullptr) return item_count_ - 1;
  return IndexOf(parent_item) + SubtreeSize(parent_item) - 1;
}

void TreeBox::AddItems(int32_t parent, const std::vector<NewItem>& new_items) {
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(new_items.size()));
  for (const NewItem& new_item : new_items) items.append(MakeNewItem(new_item));
  InsertLast(ItemAt(parent), items);
}

void TreeBox::InsertLast(QTreeWidgetItem* parent_item, const QList<QTreeWidgetItem*>& items) {
  ++expansion_quiet_;
  if (parent_item != nullptr) {
    parent_item->addChildren(items);
  } else {
    Tree()->addTopLevelItems(items);
  }
  --expansion_quiet_;
  item_count_ += static_cast<int32_t>(items.size());
}

bool TreeBox::SetItemText(int32_t index, const std::string& text) {
  QTreeWidgetItem* item = ItemAt(index);
  if (item == nullptr) return false;
  item->setText(0, gui::QStringOfGbk(text));
  return true;
}

bool TreeBox::DeleteItem(int32_t index) {
  QTreeWidgetItem* item = ItemAt(index);
  if (item == nullptr) return false;
  QTreeWidgetItem* current = Tree()->currentItem();
  const bool selection_goes = current != nullptr && (current == item || IsAncestor(item, current));
  QTreeWidgetItem* replacement = nullptr;
  if (selection_goes) {
    QTreeWidgetItem* parent = item->parent();
    const int row =
        parent != nullptr ? parent->indexOfChild(item) : Tree()->indexOfTopLevelItem(item);
    const auto sibling = [&](int at) -> QTreeWidgetItem* {
      if (at < 0) return nullptr;
      return parent != nullptr ? parent->child(at) : Tree()->topLevelItem(at);
    };
    replacement = sibling(row + 1);
    if (replacement == nullptr) replacement = sibling(row - 1);
    if (replacement == nullptr) replacement = parent;
  }
  // Qt moves the caret while the rows are still there; the handler must only hear of the
  // final state, when indexes no longer count the removed items.
  ++selection_quiet_;
  ++expansion_quiet_;
  item_count_ -= SubtreeSize(item);
  delete item;
  if (selection_goes) Select(replacement);
  --expansion_quiet_;
  --selection_quiet_;
  if (selection_goes) FireSelectionChanged(kCauseProgram);
  return true;
}

std::vector<ItemRecord> TreeBox::Records() {
  ApplyPendingCheckStates();
  std::vector<ItemRecord> records;
  const std::function<void(QTreeWidgetItem*, int32_t)> walk = [&](QTreeWidgetItem* item,
                                                                  int32_t depth) {
    ItemRecord record;
    record.text = gui::GbkOfQString(item->text(0));
    record.picture = item->data(0, tree_role::kPicture).toInt();
    record.selected_picture = item->data(0, tree_role::kSelectedPicture).toInt();
    record.data = item->data(0, tree_role::kData).toInt();
    record.state =
        ItemRecord::StateWord(item->data(0, tree_role::kBold).toBool(), item->isExpanded(),
                              item->data(0, tree_role::kCheckState).toInt());
    record.depth = depth;
    records.push_back(std::move(record));
    for (int i = 0; i < item->childCount(); ++i) walk(item->child(i), depth + 1);
  };
  for (int i = 0; i < Tree()->topLevelItemCount(); ++i) walk(Tree()->topLevelItem(i), 1);
  return records;
}

// --- Selection and expansion ---------------------------------------------------------------

void TreeBox::Select(QTreeWidgetItem* item) {
  TreeWidget* tree = Tree();
  ++selection_quiet_;
  // Making the item visible expands its parents; that is the program's doing, not the
  // user's, so it raises no Expanding.
  ++expansion_quiet_;
  if (item != nullptr) {
    tree->setCurrentItem(item);
    tree->scrollToItem(item);
  } else {
    tree->setCurrentItem(nullptr);
    tree->clearSelection();
  }
  --expansion_quiet_;
  --selection_quiet_;
}

bool TreeBox::FireSelectionChanged(int32_t cause) {
  const gui::WindowHandle handle = Handle();
  FireEvent(tree_box_event::kSelectionChanged, {cause});
  return gui::IsWindowAlive(handle);
}

void TreeBox::OnCurrentChanged(QTreeWidgetItem*, QTreeWidgetItem*) {
  if (selection_quiet_ > 0) return;
  FireSelectionChanged(Tree()->InputCause());
}

void TreeBox::OnExpansion(QTreeWidgetItem* item, bool expanded) {
  if (expansion_quiet_ > 0) return;
  const gui::WindowHandle handle = Handle();
  const forms::EventOutcome outcome = FireEvent(
      expanded ? tree_box_event::kExpanding : tree_box_event::kCollapsing, {IndexOf(item)});
  if (!gui::IsWindowAlive(handle)) return;
  if (outcome.has_value && outcome.value == 0) {
    // Qt has no "about to expand": undo what the handler refused.
    ++expansion_quiet_;
    item->setExpanded(!expanded);
    --expansion_quiet_;
    return;
  }
  // A collapse that hides the selected item selects the collapsed one, as the platform
  // tree does.
  QTreeWidgetItem* current = Tree()->currentItem();
  if (!expanded && current != nullptr && IsAncestor(item, current)) {
    const int32_t cause = Tree()->InputCause();
    Select(item);
    FireSelectionChanged(cause);
  }
}

void TreeBox::SelectByMouse(QTreeWidgetItem* item) {
  if (item == nullptr || Tree()->currentItem() == item) return;
  Select(item);
  FireSelectionChanged(kCauseMouse);
}

// --- What the user does -------------------------------------------------------------------

bool TreeBox::LabelEditStarting(QTreeWidgetItem* item) {
  const forms::EventOutcome outcome =
      FireEvent(tree_box_event::kLabelEditStarting, {IndexOf(item)});
  return !(outcome.has_value && outcome.value == 0);
}

bool TreeBox::LabelEditEnding(QTreeWidgetItem* item, const QString& text, bool) {
  const gui::WindowHandle handle = Handle();
  edited_text_ = gui::GbkOfQString(text);
  const forms::EventOutcome outcome = FireEvent(tree_box_event::kLabelEditEnding, {IndexOf(item)});
  if (!gui::IsWindowAlive(handle)) return false;
  edited_text_.clear();
  return !(outcome.has_value && outcome.value == 0);
}

void TreeBox::ItemRightClicked(QTreeWidgetItem* item) {
  const gui::WindowHandle handle = Handle();
  SelectByMouse(item);
  if (gui::IsWindowAlive(handle)) FireEvent(tree_box_event::kItemRightClicked);
}

void TreeBox::CheckBoxToggled(QTreeWidgetItem* item) {
  ApplyPendingCheckStates();
  const TreeLook& look = Tree()->Look();
  const int32_t last = static_cast<int32_t>(look.state_pictures.size()) - 1;
  if (last < 1) return;
  const int32_t state = item->data(0, tree_role::kCheckState).toInt();
  item->setData(0, tree_role::kCheckState, state >= last || state < 1 ? 1 : state + 1);
  // The owner hears of it once the toggle is done, as with the platform's own check boxes.
  toggled_.emplace_back(Tree()->indexFromItem(item));
  Post(kTreeCheckChangedMessage);
}

int64_t TreeBox::WindowProc(gui::Message& message) {
  if (!HandleCommonMessage(*this, message)) return 0;
  const gui::WindowHandle handle = Handle();
  switch (message.id) {
    case gui::msg::kLeftButtonDoubleClick:
      FireEvent(tree_box_event::kItemDoubleClicked);
      if (!gui::IsWindowAlive(handle)) return 0;
      break;
    case gui::msg::kTimer:
      if (message.wparam == kTreeCheckStateTimer) {
        ApplyPendingCheckStates();
        return 0;
      }
      break;
    case kTreeCheckChangedMessage: {
      if (toggled_.empty()) return 0;
      const QPersistentModelIndex index = toggled_.front();
      toggled_.pop_front();
      QTreeWidgetItem* item = index.isValid() ? Tree()->itemFromIndex(index) : nullptr;
      if (item == nullptr) return 0;
      if (Tree()->currentItem() != item) {
        Select(item);
        if (!FireSelectionChanged(kCauseProgram)) return 0;
      }
      const int32_t state = item->data(0, tree_role::kCheckState).toInt();
      FireEvent(tree_box_event::kCheckChanged, {IndexOf(item), state - 1});
      return 0;
    }
    default:
      break;
  }
  return DefaultProc(message);
}

// --- Properties ---------------------------------------------------------------------------

void TreeBox::ApplyItemHeight() {
  Tree()->Look().item_height = data_.item_height;
  Tree()->Relayout();
}

void TreeBox::ReadTextColor(forms::PropertyValue* value) const {
  value->number = BgrOf(Tree()->palette().color(QPalette::Text));
}

void TreeBox::ReadBackColor(forms::PropertyValue* value) const {
  value->number = BgrOf(Tree()->palette().color(QPalette::Base));
}

void TreeBox::ReadCurrentItem(forms::PropertyValue* value) const {
  value->number = IndexOf(Tree()->currentItem());
}

int32_t TreeBox::WriteCurrentItem(const forms::PropertyValue& value) {
  // The application relies on every write raising SelectionChanged, even for the item
  // that is already selected; clearing an empty selection raises nothing.
  const bool had_selection = Tree()->currentItem() != nullptr;
  QTreeWidgetItem* item = ItemAt(static_cast<int32_t>(value.number));
  Select(item);
  if (item != nullptr || had_selection) FireSelectionChanged(kCauseProgram);
  return 0;
}

void TreeBox::ReadItemHeight(forms::PropertyValue* value) const {
  value->number = Tree()->ItemHeight();
}

int32_t TreeBox::WriteInitialItems(const forms::PropertyValue& value) {
  data_.initial_items.assign(value.data.begin(), value.data.end());
  items_replaced_ = true;
  return 1;
}

void TreeBox::ReadEditedText(forms::PropertyValue* value) const { value->data = edited_text_; }

int32_t TreeBox::WriteCheckBoxes(const forms::PropertyValue& value) {
  const bool on = value.number != 0;
  const bool was_on = std::exchange(data_.check_boxes, on);
  if (was_on && !on) return 1;  // the state pictures go with a new control
  ApplyPendingCheckStates();
  ApplyStatePictures();
  if (on) {
    for (QTreeWidgetItemIterator it(Tree()); *it != nullptr; ++it) {
      if ((*it)->data(0, tree_role::kCheckState).toInt() == 0) {
        (*it)->setData(0, tree_role::kCheckState, 1);
      }
    }
  }
  return 0;
}

bool TreeBox::ReadProperty(int32_t index, forms::PropertyValue* value) {
  // The items are the live tree's, which first takes the check states still waiting.
  if (index == kInitialItemsIndex) {
    const std::vector<uint8_t> items = SerializeItemList(Records());
    value->data.assign(items.begin(), items.end());
    return true;
  }
  return Properties().Read(*this, data_, index, value);
}

TreeBoxClassData TreeBox::Data() {
  TreeBoxClassData saved = data_;
  saved.current_item = IndexOf(Tree()->currentItem());
  if (!items_replaced_) saved.initial_items = SerializeItemList(Records());
  return saved;
}

}  // namespace units
