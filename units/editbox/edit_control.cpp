#include "units/editbox/edit_control.h"

#include <qdrawutil.h>

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QValidator>
#include <algorithm>
#include <limits>
#include <map>
#include <vector>

#include "units/editbox/holdable_text.h"
#include "units/editbox/line_sums.h"
#include "units/editbox/lone_breaks.h"

namespace units {

namespace {

// A style that answers the box's own mask character; one per character for the life of
// the program, as widgets only borrow their style.
class MaskStyle : public QProxyStyle {
 public:
  explicit MaskStyle(QChar mask) : mask_(mask) {}
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* answer) const override {
    if (hint == QStyle::SH_LineEdit_PasswordCharacter) return mask_.unicode();
    return QProxyStyle::styleHint(hint, option, widget, answer);
  }

 private:
  QChar mask_;
};

QStyle* MaskStyleFor(QChar mask) {
  static auto* styles = new std::map<char16_t, MaskStyle*>;
  MaskStyle*& style = (*styles)[mask.unicode()];
  if (style == nullptr) style = new MaskStyle(mask);
  return style;
}

bool IsPlacementEvent(QEvent::Type type) {
  switch (type) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::EnabledChange:
    case QEvent::ParentChange:
    case QEvent::ZOrderChange:
      return true;
    default:
      return false;
  }
}

Qt::Alignment AlignmentOf(int32_t alignment) {
  switch (alignment) {
    case 1:
      return Qt::AlignHCenter;
    case 2:
      return Qt::AlignRight;
    default:
      return Qt::AlignLeft;
  }
}

// A lone break of kind `mark` at the cursor; the cursor ends in the new block.
void InsertBreak(QTextCursor& cursor, int mark) {
  QTextCharFormat format = cursor.charFormat();
  format.setProperty(kLoneBreak, mark);
  cursor.document()->setProperty(kHoldsLoneBreaks, true);
  cursor.insertBlock(cursor.blockFormat(), format);
  // Text typed next takes the cursor's format: without the mark.
  format.clearProperty(kLoneBreak);
  cursor.setCharFormat(format);
}

// Inserts `text` in the box's form (see EditControl) at the cursor, replacing its selection.
void InsertLines(QTextCursor& cursor, const QString& text) {
  cursor.beginEditBlock();
  if (cursor.hasSelection()) cursor.removeSelectedText();
  // Text goes in without a mark, so that the plain breaks in it (the editor makes a block of
  // each "\n") are plain too; only the lone ones need a break of their own.
  QTextCharFormat plain = cursor.charFormat();
  plain.clearProperty(kLoneBreak);
  cursor.setCharFormat(plain);
  qsizetype start = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c != u'\r' && c != QChar::LineSeparator) continue;
    if (i > start) cursor.insertText(text.mid(start, i - start));
    InsertBreak(cursor, c == u'\r' ? kLoneCarriageReturn : kLoneLineFeed);
    start = i + 1;
  }
  if (start < text.size()) cursor.insertText(text.mid(start));
  cursor.endEditBlock();
}

// The document's raw text `raw`, which starts at position `from`, in the box's form.
QString LinesOf(const QTextDocument& document, int from, QString raw) {
  if (!document.property(kHoldsLoneBreaks).toBool()) {
    return raw.replace(QChar::ParagraphSeparator, u'\n');
  }
  // The marks by format index: a block's format is then told by comparing a number.
  const QList<QTextFormat> formats = document.allFormats();
  std::vector<int> marks(static_cast<size_t>(formats.size()), 0);
  for (qsizetype i = 0; i < formats.size(); ++i) {
    marks[static_cast<size_t>(i)] = formats[i].intProperty(kLoneBreak);
  }
  // The break at raw[at] is the one before the block that starts at from + at + 1.
  // Positions are added up block by block: asking each block for its own is slower.
  const int to = from + static_cast<int>(raw.size());
  QTextBlock block = document.findBlock(from);
  for (int position = block.position(); block.isValid() && position <= to;
       position += block.length(), block = block.next()) {
    const int at = position - 1 - from;
    if (at < 0 || at >= raw.size() || raw[at] != QChar::ParagraphSeparator) continue;
    const int index = block.charFormatIndex();
    const int mark = index >= 0 && index < static_cast<int>(marks.size())
                         ? marks[static_cast<size_t>(index)]
                         : 0;
    raw[at] = mark == kLoneCarriageReturn ? QChar(u'\r')
              : mark == kLoneLineFeed     ? QChar::LineSeparator
                                          : QChar(u'\n');
  }
  return raw;
}

// Refuses edits that make the text longer than the limit. A program's write is not
// validated by the line edit, so a longer text set by the program stays whole.
class LengthLimit : public QValidator {
 public:
  explicit LengthLimit(QObject* parent) : QValidator(parent) {}
  void SetLimit(int32_t limit) { limit_ = limit; }
  State validate(QString& input, int& position) const override {
    // A paste or an input method's text: what the box could not keep saved is left out.
    bool changed = false;
    const QString holdable = HoldableText(input, &changed);
    if (changed) {
      position = std::min<int>(position, static_cast<int>(holdable.size()));
      input = holdable;
      TellUnholdableDropped(qobject_cast<QWidget*>(parent()));
    }
    return limit_ > 0 && input.size() > limit_ ? Invalid : Acceptable;
  }

 private:
  int32_t limit_ = 0;
};

class LineWidget : public QLineEdit {
 public:
  int32_t border = 1;
  bool hide_selection = true;
  std::function<void()>* on_placement = nullptr;

  // A line edit draws its selection whether it has the focus or not; a box that hides its
  // selection paints it in the text's own colours while another window has the focus.
  void UpdateSelectionColors() {
    QPalette colors = palette();
    const QPalette standard = style()->standardPalette();
    const bool hidden = hide_selection && !hasFocus();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
      colors.setColor(group, QPalette::Highlight,
                      hidden ? colors.color(group, QPalette::Base)
                             : standard.color(QPalette::Active, QPalette::Highlight));
      colors.setColor(group, QPalette::HighlightedText,
                      hidden ? colors.color(group, QPalette::Text)
                             : standard.color(QPalette::Active, QPalette::HighlightedText));
    }
    setPalette(colors);
  }

 protected:
  void focusInEvent(QFocusEvent* event) override {
    QLineEdit::focusInEvent(event);
    UpdateSelectionColors();
  }
  // The line edit drops its selection when the focus leaves; the box keeps it (hidden or
  // shown), so that the program still reads it and the author finds it on coming back.
  void focusOutEvent(QFocusEvent* event) override {
    const bool had_selection = hasSelectedText();
    const int start = selectionStart();
    const int end = selectionEnd();
    const bool caret_at_start = cursorPosition() == start;
    QLineEdit::focusOutEvent(event);
    if (had_selection && !hasSelectedText()) {
      if (caret_at_start) {
        setSelection(end, start - end);
      } else {
        setSelection(start, end - start);
      }
    }
    UpdateSelectionColors();
  }
  bool event(QEvent* event) override {
    const bool result = QLineEdit::event(event);
    if (IsPlacementEvent(event->type()) && on_placement != nullptr && *on_placement)
      (*on_placement)();
    return result;
  }
  void paintEvent(QPaintEvent* event) override {
    QLineEdit::paintEvent(event);
    if (border == 0) return;
    QPainter painter(this);
    PaintBorder(painter, rect(), palette(), border);
  }
};

class TextWidget : public QPlainTextEdit {
 public:
  int32_t max_length = 0;

  // Characters the text may still grow by when `selected` of them are replaced.
  qsizetype Room() const {
    if (max_length <= 0) return std::numeric_limits<qsizetype>::max();
    const qsizetype length = document()->characterCount() - 1;
    const QTextCursor cursor = textCursor();
    const qsizetype selected = cursor.selectionEnd() - cursor.selectionStart();
    return std::max<qsizetype>(0, max_length - length + selected);
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const QString text = event->text();
    const bool inserts = !text.isEmpty() && (text[0] >= QChar(' ') || text[0] == QChar('\r'));
    if (inserts && !isReadOnly() && text.size() > Room()) {
      event->accept();  // full: the key is refused
      return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers others =
        event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (enter && others == Qt::NoModifier && !isReadOnly()) {
      // Enter and Shift+Enter put in a plain break (the editor would give the break the
      // format of the text before it, which may carry a lone break's mark, and would make
      // Shift+Enter a line separator).
      QTextCursor cursor = textCursor();
      InsertLines(cursor, QStringLiteral("\n"));
      setTextCursor(cursor);
      ensureCursorVisible();
      event->accept();
      return;
    }
    QPlainTextEdit::keyPressEvent(event);
  }
  void inputMethodEvent(QInputMethodEvent* event) override {
    bool changed = false;
    const QString holdable = HoldableText(event->commitString(), &changed);
    if (changed) {
      event->setCommitString(holdable, event->replacementStart(), event->replacementLength());
      TellUnholdableDropped(this);
    }
    const qsizetype room = Room();
    if (event->commitString().size() > room) {
      event->setCommitString(event->commitString().left(room), event->replacementStart(),
                             event->replacementLength());
    }
    QPlainTextEdit::inputMethodEvent(event);
  }
  void insertFromMimeData(const QMimeData* source) override {
    if (source == nullptr || !source->hasText()) {
      QPlainTextEdit::insertFromMimeData(source);
      return;
    }
    bool changed = false;
    QString text = HoldableText(source->text(), &changed);
    if (changed) TellUnholdableDropped(this);
    // Pasted line breaks of any kind are paragraph breaks, as typed ones are.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    text.truncate(Room());
    QTextCursor cursor = textCursor();
    InsertLines(cursor, text);
    ensureCursorVisible();
  }
};

class LineControl : public EditControl {
 public:
  explicit LineControl(const EditControlStyle& style) : edit_(new LineWidget) {
    edit_->setFrame(false);
    edit_->setMaxLength(std::numeric_limits<int>::max());
    limit_ = new LengthLimit(edit_);
    edit_->setValidator(limit_);
    edit_->setAlignment(AlignmentOf(style.alignment) | Qt::AlignVCenter);
    // A right click is the unit's MouseRightDown/Up, where the program opens its own
    // pop-up menu; the line edit's menu must not follow it.
    edit_->setContextMenuPolicy(Qt::PreventContextMenu);
    edit_->on_placement = &on_placement_changed;
    QObject::connect(edit_, &QLineEdit::textChanged, [this] {
      if (on_text_changed) on_text_changed();
    });
    SetBorder(1);
  }

  QWidget* Widget() const override { return edit_; }
  bool IsMultiLine() const override { return false; }
  QString Text() const override { return edit_->text(); }
  void SetText(const QString& text) override { edit_->setText(text); }
  int32_t Length() const override { return static_cast<int32_t>(edit_->text().size()); }
  void Selection(int32_t* start, int32_t* end) const override {
    if (edit_->hasSelectedText()) {
      *start = edit_->selectionStart();
      *end = edit_->selectionEnd();
    } else {
      *start = *end = edit_->cursorPosition();
    }
  }
  void Select(int32_t anchor, int32_t position) override {
    edit_->setSelection(anchor, position - anchor);
  }
  QString SelectedText() const override { return edit_->selectedText(); }
  void ReplaceSelection(const QString& text, bool undoable) override {
    if (undoable) {
      edit_->insert(text);
      return;
    }
    // setText drops the undo history; the caret goes behind the new text.
    int32_t start = 0, end = 0;
    Selection(&start, &end);
    QString whole = edit_->text();
    whole.replace(start, end - start, text);
    edit_->setText(whole);
    edit_->setCursorPosition(start + static_cast<int32_t>(text.size()));
  }
  bool CanUndo() const override { return edit_->isUndoAvailable(); }
  void EmptyUndoHistory() override {
    // The line edit forgets its history only when its text is set; the caret and the
    // selection are put back.
    const int32_t caret = edit_->cursorPosition();
    int32_t start = 0, end = 0;
    Selection(&start, &end);
    edit_->setText(edit_->text());
    if (start == end) {
      edit_->setCursorPosition(caret);
    } else {
      const int32_t anchor = caret == start ? end : start;
      edit_->setSelection(anchor, caret - anchor);
    }
  }
  void SetReadOnly(bool read_only) override { edit_->setReadOnly(read_only); }
  bool IsReadOnly() const override { return edit_->isReadOnly(); }
  void SetMaxLength(int32_t max_length) override { limit_->SetLimit(max_length); }
  void SetPasswordChar(QChar mask) override {
    if (mask.isNull()) {
      edit_->setEchoMode(QLineEdit::Normal);
      edit_->setStyle(nullptr);
      return;
    }
    edit_->setStyle(MaskStyleFor(mask));
    edit_->setEchoMode(QLineEdit::Password);
  }
  void SetSelectionHidden(bool hidden) override {
    edit_->hide_selection = hidden;
    edit_->UpdateSelectionColors();
  }
  void SetBorder(int32_t border) override {
    edit_->border = border;
    const int32_t width = BorderWidth(border);
    edit_->setTextMargins(width, width, width, width);
    edit_->update();
  }
  void Detach() override {
    if (edit_.isNull()) return;  // the widget may go first when the window is torn down
    edit_->on_placement = nullptr;
    QObject::disconnect(edit_, &QLineEdit::textChanged, nullptr, nullptr);
  }

 private:
  QPointer<LineWidget> edit_;
  LengthLimit* limit_;
};

class MultiLineControl : public EditControl {
 public:
  explicit MultiLineControl(const EditControlStyle& style) : edit_(new TextWidget) {
    const bool horizontal = style.scroll_bars == 1 || style.scroll_bars == 3;
    const bool vertical = style.scroll_bars == 2 || style.scroll_bars == 3;
    edit_->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn
                                                   : Qt::ScrollBarAlwaysOff);
    edit_->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    // Without a horizontal scroll bar lines wrap at the box's width.
    edit_->setLineWrapMode(horizontal ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    QTextOption option = edit_->document()->defaultTextOption();
    option.setAlignment(AlignmentOf(style.alignment));
    edit_->document()->setDefaultTextOption(option);
    edit_->setTabChangesFocus(false);
    // A right click is the unit's MouseRightDown/Up, where the program opens its own
    // pop-up menu; the editor's menu must not follow it.
    edit_->setContextMenuPolicy(Qt::PreventContextMenu);
    edit_->viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
    QObject::connect(edit_, &QPlainTextEdit::textChanged, [this] {
      if (on_text_changed) on_text_changed();
    });
    SetBorder(1);
  }

  QWidget* Widget() const override { return edit_; }
  bool IsMultiLine() const override { return true; }
  QString Text() const override {
    const QTextDocument& document = *edit_->document();
    return LinesOf(document, 0, document.toRawText());
  }
  void SetText(const QString& text) override {
    QTextDocument* document = edit_->document();
    document->setProperty(kHoldsLoneBreaks, false);
    if (!text.contains(u'\r') && !text.contains(QChar::LineSeparator)) {
      edit_->setPlainText(text);  // no mark to set: the editor's own fast way
      return;
    }
    edit_->setPlainText(QString());
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document);
    InsertLines(cursor, text);
    document->setUndoRedoEnabled(true);  // starts the history again
  }
  int32_t Length() const override {
    return static_cast<int32_t>(edit_->document()->characterCount() - 1);
  }
  void Selection(int32_t* start, int32_t* end) const override {
    const QTextCursor cursor = edit_->textCursor();
    *start = cursor.selectionStart();
    *end = cursor.selectionEnd();
  }
  void Select(int32_t anchor, int32_t position) override {
    QTextCursor cursor(edit_->document());
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    edit_->setTextCursor(cursor);
    edit_->ensureCursorVisible();
  }
  QString SelectedText() const override {
    const QTextCursor cursor = edit_->textCursor();
    return LinesOf(*edit_->document(), cursor.selectionStart(), cursor.selectedText());
  }
  void ReplaceSelection(const QString& text, bool undoable) override {
    QTextDocument* document = edit_->document();
    if (!undoable) document->setUndoRedoEnabled(false);
    QTextCursor cursor = edit_->textCursor();
    InsertLines(cursor, text);
    edit_->setTextCursor(cursor);
    if (!undoable) document->setUndoRedoEnabled(true);
    edit_->ensureCursorVisible();
  }
  bool AppendAsEdit(const QString& text) override {
    // A cursor of its own: the editor's caret and selection stay where they are. A
    // program's write is never cut to the length limit.
    if (text.isEmpty()) return true;
    QTextCursor cursor(edit_->document());
    cursor.movePosition(QTextCursor::End);
    InsertLines(cursor, text);
    return true;
  }
  bool CanUndo() const override { return edit_->document()->isUndoAvailable(); }
  void EmptyUndoHistory() override { edit_->document()->clearUndoRedoStacks(); }
  void SetReadOnly(bool read_only) override { edit_->setReadOnly(read_only); }
  bool IsReadOnly() const override { return edit_->isReadOnly(); }
  void SetMaxLength(int32_t max_length) override { edit_->max_length = max_length; }
  void SetPasswordChar(QChar) override {}
  void SetBorder(int32_t border) override {
    switch (border) {
      case 1:
        edit_->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
        break;
      case 2:
        edit_->setFrameStyle(QFrame::WinPanel | QFrame::Raised);
        break;
      case 3:
        edit_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        edit_->setLineWidth(1);
        break;
      case 4:
        edit_->setFrameStyle(QFrame::Box | QFrame::Raised);
        edit_->setLineWidth(2);
        edit_->setMidLineWidth(1);
        break;
      case 5:
        edit_->setFrameStyle(QFrame::Box | QFrame::Plain);
        edit_->setLineWidth(1);
        break;
      default:
        edit_->setFrameStyle(QFrame::NoFrame);
        break;
    }
  }
  void Detach() override {
    if (edit_.isNull()) return;
    QObject::disconnect(edit_, &QPlainTextEdit::textChanged, nullptr, nullptr);
  }

  std::optional<int64_t> SumOverLines(GbkMeasure measure) override {
    if (edit_.isNull()) return std::nullopt;
    static const std::vector<GbkMeasure> kNone;
    const std::vector<GbkMeasure>& kept = line_sums_ ? line_sums_->measures() : kNone;
    if (std::find(kept.begin(), kept.end(), measure) == kept.end()) {
      // A new measure joins the ones kept (the oldest leaves when all places are taken).
      std::vector<GbkMeasure> measures = kept;
      if (measures.size() == LineSums::kMostMeasures) measures.erase(measures.begin());
      measures.push_back(measure);
      line_sums_ = std::make_unique<LineSums>(edit_->document(), std::move(measures));
    }
    return line_sums_->Total(measure);
  }

 private:
  QPointer<TextWidget> edit_;
  std::unique_ptr<LineSums> line_sums_;  // made when a sum is first asked for
};

}  // namespace

int32_t BorderWidth(int32_t border) {
  switch (border) {
    case 1:
      return 2;
    case 2:
      return 2;
    case 3:
      return 1;
    case 4:
      return 5;
    case 5:
      return 1;
    default:
      return 0;
  }
}

void PaintBorder(QPainter& painter, const QRect& rect, const QPalette& palette, int32_t border) {
  switch (border) {
    case 1:
      qDrawWinPanel(&painter, rect, palette, true);
      break;
    case 2:
      qDrawWinPanel(&painter, rect, palette, false);
      break;
    case 3:
      qDrawShadePanel(&painter, rect, palette, true, 1);
      break;
    case 4:
      qDrawShadeRect(&painter, rect, palette, false, 2, 1);
      break;
    case 5:
      qDrawPlainRect(&painter, rect, palette.color(QPalette::WindowText), 1);
      break;
    default:
      break;
  }
}

std::unique_ptr<EditControl> EditControl::Make(const EditControlStyle& style) {
  if (style.multi_line) return std::make_unique<MultiLineControl>(style);
  return std::make_unique<LineControl>(style);
}

void EditControl::SetColors(const QColor& text, const QColor& back, bool hide_selection) {
  QWidget* widget = Widget();
  QPalette palette = widget->palette();
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Base, back);
    palette.setColor(group, QPalette::Window, back);
    if (group != QPalette::Disabled) palette.setColor(group, QPalette::Text, text);
  }
  const QPalette standard = widget->style()->standardPalette();
  if (hide_selection) {
    palette.setColor(QPalette::Inactive, QPalette::Highlight, back);
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText, text);
  } else {
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     standard.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     standard.color(QPalette::Active, QPalette::HighlightedText));
  }
  widget->setPalette(palette);
  SetSelectionHidden(hide_selection);
  widget->update();
}

void EditControl::SetFont(const QFont& font) { Widget()->setFont(font); }

}  // namespace units
