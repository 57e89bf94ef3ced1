#include "app/history_chart.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/history_chart_canvas.h"
#include "writing_history/figure_text.h"

namespace app {

namespace {

constexpr int32_t kSpans[] = {30, 90, 365};

QString Count(int64_t characters) {
  return QString::fromStdString(writing_history::Grouped(characters)) + QStringLiteral(" 字");
}

}  // namespace

HistoryChartWindow::HistoryChartWindow(const writing_history::History& history,
                                       writing_history::DayNumber today, int64_t novel_characters,
                                       QWidget* parent)
    : QDialog(parent), history_(history), today_(today), novel_characters_(novel_characters) {
  setWindowTitle(QStringLiteral("写作记录"));
  auto* layout = new QVBoxLayout(this);

  auto* choices = new QHBoxLayout;
  auto* spans = new QButtonGroup(this);
  for (const int32_t span : kSpans) {
    auto* button = new QPushButton(QStringLiteral("近 %1 天").arg(span), this);
    button->setCheckable(true);
    button->setChecked(span == kSpans[0]);
    spans->addButton(button, span);
    choices->addWidget(button);
  }
  QObject::connect(spans, &QButtonGroup::idClicked, this, [this](int span) { ShowDays(span); });
  choices->addStretch();
  auto* export_button = new QPushButton(QStringLiteral("导出图片…"), this);
  QObject::connect(export_button, &QPushButton::clicked, this, [this] { AskWhereToExport(); });
  choices->addWidget(export_button);
  layout->addLayout(choices);

  picture_ = new QWidget(this);
  picture_->setAutoFillBackground(true);
  auto* picture_layout = new QVBoxLayout(picture_);
  totals_ = new QLabel(picture_);
  runs_ = new QLabel(picture_);
  canvas_ = new HistoryChartCanvas(picture_);
  picture_layout->addWidget(totals_);
  picture_layout->addWidget(runs_);
  picture_layout->addWidget(canvas_, 1);
  layout->addWidget(picture_, 1);

  auto* close_row = new QHBoxLayout;
  close_row->addStretch();
  auto* close_button = new QPushButton(QStringLiteral("关闭"), this);
  QObject::connect(close_button, &QPushButton::clicked, this, &QDialog::accept);
  close_row->addWidget(close_button);
  layout->addLayout(close_row);

  ShowDays(kSpans[0]);
  resize(760, 460);
}

void HistoryChartWindow::ShowDays(int32_t span) {
  figures_ = writing_history::FiguresOf(history_, today_, span);
  totals_->setText(TotalsText());
  runs_->setText(RunsText());
  canvas_->SetFigures(figures_);
}

QString HistoryChartWindow::TotalsText() const {
  return QStringLiteral("本周 ") + Count(figures_.this_week) + QStringLiteral("　　本月 ") +
         Count(figures_.this_month) + QStringLiteral("　　全书 ") + Count(novel_characters_);
}

QString HistoryChartWindow::RunsText() const {
  if (figures_.target <= 0)
    return QStringLiteral("未设每日目标（在正文的右键菜单中选择“设置每日目标…”）");
  return QStringLiteral("每日目标 ") + Count(figures_.target) +
         QStringLiteral("　　当前连续达标 %1 天　　最长连续达标 %2 天")
             .arg(figures_.current_run)
             .arg(figures_.longest_run);
}

bool HistoryChartWindow::ExportPicture(const QString& path) {
  return picture_->grab().save(path, "PNG");
}

void HistoryChartWindow::AskWhereToExport() {
  const QString path = QFileDialog::getSaveFileName(
      this, QStringLiteral("导出写作记录图"), QDir::home().filePath(QStringLiteral("写作记录.png")),
      QStringLiteral("PNG 图片 (*.png)"));
  if (path.isEmpty()) return;
  if (!ExportPicture(path))
    QMessageBox::warning(this, QStringLiteral("导出失败"), QStringLiteral("无法写入图片：") + path);
}

void ShowHistoryChart(const writing_history::History& history, writing_history::DayNumber today,
                      int64_t novel_characters) {
  HistoryChartWindow window(history, today, novel_characters, QApplication::activeWindow());
  window.exec();
}

}  // namespace app
