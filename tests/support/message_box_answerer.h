#pragma once

#include <QString>
#include <functional>

class QTimer;

namespace test_support {

// Answers message boxes as a user would: while installed, it watches for an open message
// box, tells `seen` its caption, text and button labels, and presses the button whose
// label is `button_label` ("是|确定": the first of these labels that the box has).
class MessageBoxAnswerer {
 public:
  using Seen = std::function<void(const QString& caption, const QString& text,
                                  const QStringList& buttons)>;
  MessageBoxAnswerer(QString button_label, Seen seen = nullptr);
  ~MessageBoxAnswerer();
  MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
  MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

  int answered() const { return answered_; }

 private:
  void Look();

  QString button_label_;
  Seen seen_;
  QTimer* timer_;
  int answered_ = 0;
};

}  // namespace test_support
