#include "tests/support/message_box_answerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace test_support {

MessageBoxAnswerer::MessageBoxAnswerer(QString button_label, Seen seen)
    : button_label_(std::move(button_label)), seen_(std::move(seen)), timer_(new QTimer) {
  QObject::connect(timer_, &QTimer::timeout, [this] { Look(); });
  timer_->start(20);
}

MessageBoxAnswerer::~MessageBoxAnswerer() { delete timer_; }

void MessageBoxAnswerer::Look() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    if (box == nullptr || !box->isVisible()) continue;
    QStringList labels;
    QAbstractButton* target = nullptr;
    qsizetype rank = 0;
    const QStringList wanted = button_label_.split(u'|');
    for (QAbstractButton* button : box->buttons()) {
      labels << button->text();
      const qsizetype at = wanted.indexOf(button->text());
      if (at >= 0 && (target == nullptr || at < rank)) {
        target = button;
        rank = at;
      }
    }
    if (seen_) seen_(box->windowTitle(), box->text(), labels);
    if (target != nullptr) {
      ++answered_;
      target->click();
    }
    return;
  }
}

}  // namespace test_support
