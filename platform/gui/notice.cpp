#include "platform/gui/notice.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace gui {

namespace {

// Asked to be shown without activation (which the window systems that can, do); a platform
// that activates it anyway gets the activation handed back to the window that had it, with
// its focus, at once.
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
    return QMessageBox::event(event);
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
    notice->addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
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
