// A pop-up menu waits for a choice in a loop of its own: `open` opens it, `act` runs on it
// once it is up (it should choose an item or close it). True when the menu came and went
// within the time.
#pragma once

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <functional>

namespace test_support {

inline bool WithPopupMenu(const std::function<void()>& open, const std::function<void(QMenu&)>& act,
                          int timeout_ms = 5000) {
  bool acted = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        menu != nullptr && !acted) {
      acted = true;
      act(*menu);
    }
  });
  watch.start(20);
  open();
  return QTest::qWaitFor([&] { return acted && QApplication::activePopupWidget() == nullptr; },
                         timeout_ms);
}

}  // namespace test_support
