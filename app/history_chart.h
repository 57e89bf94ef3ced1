#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

#include "writing_history/history.h"
#include "writing_history/history_figures.h"

class QLabel;

namespace app {

class HistoryChartCanvas;

// "写作记录": the chart of the last 30, 90 or 365 days with the target line, the runs of days
// that met the target, and the totals of this week, this month and the whole novel; the
// chart with its figures can be saved as a PNG picture.
class HistoryChartWindow : public QDialog {
 public:
  HistoryChartWindow(const writing_history::History& history, writing_history::DayNumber today,
                     int64_t novel_characters, QWidget* parent);

  // Shows the last `span` days (30, 90 or 365).
  void ShowDays(int32_t span);
  // The chart and its figures as a PNG file; false when it cannot be written.
  bool ExportPicture(const QString& path);

  const writing_history::HistoryFigures& figures() const { return figures_; }
  // The lines above the chart, as the author reads them.
  QString TotalsText() const;
  QString RunsText() const;

 private:
  void AskWhereToExport();

  const writing_history::History& history_;
  writing_history::DayNumber today_;
  int64_t novel_characters_;
  writing_history::HistoryFigures figures_;
  QWidget* picture_ = nullptr;  // what an export saves: the figures and the chart
  QLabel* totals_ = nullptr;
  QLabel* runs_ = nullptr;
  HistoryChartCanvas* canvas_ = nullptr;
};

// Opens the window over the desk and returns when the author closes it.
void ShowHistoryChart(const writing_history::History& history, writing_history::DayNumber today,
                      int64_t novel_characters);

}  // namespace app
