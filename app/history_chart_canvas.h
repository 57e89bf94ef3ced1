#pragma once

#include <QWidget>

#include "writing_history/history_figures.h"

namespace app {

// The bar chart of a history's days: one bar per day (below the zero line for a day that
// took more away than it added), today's bar in its own colour, the daily target as a
// dashed line, the counts on the left and the dates under the bars. Drawn with QPainter:
// a few hundred rectangles need no chart library, and the desk ships none.
class HistoryChartCanvas : public QWidget {
 public:
  explicit HistoryChartCanvas(QWidget* parent = nullptr);

  void SetFigures(const writing_history::HistoryFigures& figures);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  writing_history::HistoryFigures figures_;
};

// The step between two labelled counts on the axis: 1, 2 or 5 times a power of ten, so that
// `range` takes about `marks` steps.
int64_t AxisStep(int64_t range, int marks);

}  // namespace app
