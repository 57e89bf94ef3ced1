#include "platform/gui/notice.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace gui {

namespace {

// Asked to be shown without activation (which the window systems that can, do); a platform
// that activates it anyway gets the activation handed back to the window that had it, with
// its focus, at once. Text typed meanwhile was meant for that window (the notice has nothing
// to type into): the keys that make text and the input method's text go on to the widget that
// has the focus there. Enter and Escape still close the notice.
class NoticeBox : public QMessageBox {
 public:
  NoticeBox() : QMessageBox(QMessageBox::Warning, {}, {}, QMessageBox::NoButton) {}

  QPointer<QWidget> return_to;

 protected:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::WindowActivate && return_to != nullptr) {
      QTimer::singleShot(0, return_to, [window = return_to] {
        if (window != nullptr) window->activateWindow();
      });
    }
    if (QWidget* target = TypingTarget(event)) return QApplication::sendEvent(target, event);
    return QMessageBox::event(event);
  }

 private:
  QWidget* TypingTarget(QEvent* event) const {
    if (return_to == nullptr || return_to->focusWidget() == nullptr) return nullptr;
    const QEvent::Type type = event->type();
    if (type == QEvent::InputMethod) return return_to->focusWidget();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return nullptr;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool closes = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                        key->key() == Qt::Key_Escape;
    const bool makes_text = !key->text().isEmpty() && key->text().at(0).isPrint();
    return makes_text && !closes ? return_to->focusWidget() : nullptr;
  }
};

QPointer<NoticeBox>& Shown() {
  static QPointer<NoticeBox> notice;
  return notice;
}

}  // namespace

void ShowNotice(const QString& text, const QString& caption) {
  QPointer<NoticeBox>& notice = Shown();
  if (notice == nullptr) {
    notice = new NoticeBox;
    // The box itself holds the focus, so that the keys come to it (see NoticeBox).
    notice->addButton(QStringLiteral("确定"), QMessageBox::AcceptRole)->setFocusPolicy(Qt::NoFocus);
    notice->setWindowModality(Qt::NonModal);
    notice->setAttribute(Qt::WA_DeleteOnClose);
    notice->setAttribute(Qt::WA_ShowWithoutActivating);
    notice->setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    notice->setWindowFlag(Qt::WindowStaysOnTopHint);
  }
  if (QWidget* active = QApplication::activeWindow(); active != nullptr && active != notice)
    notice->return_to = active;
  notice->setWindowTitle(caption);
  notice->setText(QString(text).replace("\r\n", "\n"));
  notice->show();
}

bool NoticeShown() { return Shown() != nullptr && Shown()->isVisible(); }

void CloseNotice() {
  if (Shown() != nullptr) Shown()->close();
}

}  // namespace gui
