#include "app/history_chart_canvas.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "writing_history/figure_text.h"

namespace app {

namespace {

const QColor kBarColor(0x7F, 0xA7, 0xD6);
const QColor kBarMetColor(0x3E, 0x7C, 0xC0);
const QColor kTodayColor(0xE6, 0x7E, 0x22);
const QColor kTargetColor(0xC0, 0x39, 0x2B);
const QColor kGridColor(0xE3, 0xE3, 0xE3);
const QColor kAxisTextColor(0x55, 0x55, 0x55);

constexpr int kLeftMargin = 64;
constexpr int kRightMargin = 16;
constexpr int kTopMargin = 18;
constexpr int kBottomMargin = 26;
constexpr int kSmallestLabelGap = 56;  // pixels between two dates under the bars

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace

int64_t AxisStep(int64_t range, int marks) {
  if (range <= 0 || marks <= 0) return 1;
  const int64_t rough = std::max<int64_t>(1, range / marks);
  int64_t power = 1;
  while (power <= rough / 10) power *= 10;
  for (const int64_t factor : {1, 2, 5, 10}) {
    if (factor * power >= rough) return factor * power;
  }
  return 10 * power;
}

HistoryChartCanvas::HistoryChartCanvas(QWidget* parent) : QWidget(parent) {
  setMinimumSize(640, 300);
  setAutoFillBackground(true);
  QPalette colors = palette();
  colors.setColor(QPalette::Window, Qt::white);
  setPalette(colors);
}

void HistoryChartCanvas::SetFigures(const writing_history::HistoryFigures& figures) {
  figures_ = figures;
  update();
}

void HistoryChartCanvas::paintEvent(QPaintEvent*) {
  if (figures_.days.empty()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing, false);
  const QRect plot(kLeftMargin, kTopMargin, width() - kLeftMargin - kRightMargin,
                   height() - kTopMargin - kBottomMargin);

  int64_t highest = figures_.target;
  int64_t lowest = 0;
  for (const writing_history::DayTotals& day : figures_.totals) {
    highest = std::max(highest, day.characters);
    lowest = std::min(lowest, day.characters);
  }
  const int64_t step = AxisStep(std::max<int64_t>(highest - lowest, 10), 5);
  highest = (highest / step + 1) * step;  // room above the tallest bar and the target
  lowest = lowest < 0 ? (lowest / step - 1) * step : 0;
  const auto y_of = [&](int64_t count) {
    return plot.bottom() - static_cast<int>(static_cast<double>(count - lowest) * plot.height() /
                                            static_cast<double>(highest - lowest));
  };

  // The counts and their grid lines.
  const QFontMetrics metrics = painter.fontMetrics();
  for (int64_t count = lowest; count <= highest; count += step) {
    const int y = y_of(count);
    painter.setPen(count == 0 ? kAxisTextColor : kGridColor);
    painter.drawLine(plot.left(), y, plot.right(), y);
    painter.setPen(kAxisTextColor);
    painter.drawText(QRect(0, y - metrics.height() / 2, kLeftMargin - 6, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, Text(writing_history::Grouped(count)));
  }

  // The bars, and a date under every few of them (always under today's).
  const int days = static_cast<int>(figures_.days.size());
  const double slot = static_cast<double>(plot.width()) / days;
  const int label_every = std::max(1, static_cast<int>(kSmallestLabelGap / slot) + 1);
  for (int i = 0; i < days; ++i) {
    const int64_t count = figures_.totals[static_cast<size_t>(i)].characters;
    const int left = plot.left() + static_cast<int>(i * slot + slot * 0.15);
    const int bar_width = std::max(1, static_cast<int>(slot * 0.7));
    const bool today = i == days - 1;
    const bool met = figures_.target > 0 && count >= figures_.target;
    const int top = y_of(std::max<int64_t>(count, 0));
    const int bottom = y_of(std::min<int64_t>(count, 0));
    painter.fillRect(QRect(left, top, bar_width, std::max(1, bottom - top)),
                     today ? kTodayColor : met ? kBarMetColor : kBarColor);
    const bool labelled = today ? true : (days - 1 - i) % label_every == 0 && days - 1 - i >= label_every;
    if (!labelled) continue;
    const QString date = today ? QStringLiteral("今天")
                               : Text(writing_history::MonthDayText(figures_.days[static_cast<size_t>(i)]));
    const int centre = left + bar_width / 2;
    painter.setPen(today ? kTodayColor : kAxisTextColor);
    painter.drawText(QRect(centre - kSmallestLabelGap / 2, plot.bottom() + 4, kSmallestLabelGap,
                           kBottomMargin - 4),
                     Qt::AlignHCenter | Qt::AlignTop, date);
  }

  // The target over the bars.
  if (figures_.target > 0) {
    const int y = y_of(figures_.target);
    painter.setPen(QPen(kTargetColor, 1.5, Qt::DashLine));
    painter.drawLine(plot.left(), y, plot.right(), y);
    // Its name at the right end, over today's side, on a white ground so that no bar
    // strikes through it.
    const QString name = QStringLiteral("每日目标 ") + Text(writing_history::Grouped(figures_.target));
    QRect label = metrics.boundingRect(name).adjusted(-3, -1, 3, 1);
    label.moveBottomRight(QPoint(plot.right() - 2, y - 3));
    if (label.top() < plot.top()) label.moveTop(y + 3);  // no room above: under the line
    painter.fillRect(label, QColor(255, 255, 255, 230));
    painter.setPen(kTargetColor);
    painter.drawText(label, Qt::AlignCenter, name);
  }
}

}  // namespace app
