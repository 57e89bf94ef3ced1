#include "platform/gui/message_box.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <utility>
#include <vector>

namespace gui {

namespace {

struct ButtonChoice {
  const char* label;  // UTF-8
  QMessageBox::ButtonRole role;
  int32_t id;
};

std::vector<ButtonChoice> ButtonsOf(uint32_t style) {
  const ButtonChoice ok{"确定", QMessageBox::AcceptRole, 1};
  const ButtonChoice cancel{"取消", QMessageBox::RejectRole, 2};
  const ButtonChoice abort{"中止", QMessageBox::RejectRole, 3};
  const ButtonChoice retry{"重试", QMessageBox::AcceptRole, 4};
  const ButtonChoice ignore{"忽略", QMessageBox::AcceptRole, 5};
  const ButtonChoice yes{"是", QMessageBox::YesRole, 6};
  const ButtonChoice no{"否", QMessageBox::NoRole, 7};
  switch (style & 0xF) {
    case 1: return {ok, cancel};
    case 2: return {abort, retry, ignore};
    case 3: return {yes, no, cancel};
    case 4: return {yes, no};
    case 5: return {retry, cancel};
    default: return {ok};
  }
}

QMessageBox::Icon IconOf(uint32_t style) {
  switch (style & 0xF0) {
    case 0x10: return QMessageBox::Critical;
    case 0x20: return QMessageBox::Question;
    case 0x30: return QMessageBox::Warning;
    case 0x40: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

}  // namespace

int32_t ShowMessageBox(const QString& text, const QString& caption, uint32_t style) {
  QMessageBox box(IconOf(style), caption, QString(text).replace("\r\n", "\n"));
  box.setWindowModality(Qt::ApplicationModal);
  const std::vector<ButtonChoice> choices = ButtonsOf(style);
  std::vector<std::pair<QAbstractButton*, int32_t>> buttons;
  for (const ButtonChoice& choice : choices) {
    buttons.emplace_back(box.addButton(QString::fromUtf8(choice.label), choice.role), choice.id);
  }
  const size_t default_index = (style >> 8) & 0xF;
  if (default_index < buttons.size()) {
    box.setDefaultButton(static_cast<QPushButton*>(buttons[default_index].first));
  }
  // Closing the box answers with Cancel when there is one, else with the only button.
  QAbstractButton* escape = buttons.size() == 1 ? buttons.front().first : nullptr;
  for (const auto& [button, id] : buttons) {
    if (id == 2) escape = button;
  }
  if (escape != nullptr) box.setEscapeButton(escape);
  box.exec();
  QAbstractButton* pressed = box.clickedButton() != nullptr ? box.clickedButton() : escape;
  for (const auto& [button, id] : buttons) {
    if (button == pressed) return id;
  }
  return 2;  // closed by other means: Cancel
}

}  // namespace gui
