// The author's day on the desk: what typing, pasting and deleting add to each calendar day,
// the history file across restarts and damage, the daily target and the chart, driven through
// real keys, clicks, the pop-up menu and dialogs, on the desk's own clock moved by the test.
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QInputDialog>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <fstream>

#include "app/daily_progress.h"
#include "app/history_chart.h"
#include "database/database_list.h"
#include "platform/core/native_path.h"
#include "tests/app/desk_test.h"
#include "writing_history/figure_text.h"
#include "writing_history/history_file.h"

namespace desk_tests {

namespace {

namespace fs = std::filesystem;
using namespace app;
using writing_history::DayNumberOf;
using writing_history::History;

platform::LocalTime desk_time;
platform::LocalTime DeskTime() { return desk_time; }

void SetDeskTime(int year, int month, int day, int hour, int minute) {
  desk_time = platform::LocalTime{year, month, day, hour, minute, 0, 0, 0};
}

class WritingHistory : public DeskTest {
 protected:
  void SetUp() override {
    DeskTest::SetUp();
    SetDeskTime(2026, 12, 9, 10, 0);
    UseClockForTesting(&DeskTime);
  }
  void TearDown() override {
    DeskTest::TearDown();
    UseClockForTesting(nullptr);
  }

  fs::path HistoryFile() { return Path("小说数据/写作记录.json"); }
  std::string Today() { return ReadText(unit::kTodayLabel, property::kCaption); }
  // Typing rewrites the line a moment later.
  bool TodayShows(const std::string& line) {
    return WaitFor([&] { return Today() == line; });
  }
  History SavedHistory() {
    History history;
    EXPECT_EQ(writing_history::ReadHistoryFile(platform::GbkPathOf(HistoryFile()), &history),
              writing_history::HistoryFileState::kRead);
    return history;
  }
  void CloseDesk() {
    AnswerBoxesWith("确定");
    ClickInto(unit::kCloseButton);
    ASSERT_TRUE(WaitFor([&] { return Unit(0) == nullptr; }));
    database::DatabaseList::Instance().CloseAll();  // as the program's end does
  }

  // Runs `act` on the first modal widget `T` on the screen while `trigger` runs (a modal
  // window holds `trigger` until it closes).
  template <typename T>
  void WhenOpen(const std::function<void(T*)>& act, const std::function<void()>& trigger) {
    bool done = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* widget = dynamic_cast<T*>(QApplication::activeModalWidget());
      if (widget != nullptr && widget->isVisible() && !done) {
        done = true;
        act(widget);
      }
    });
    poll.start(50);
    trigger();
    ASSERT_TRUE(WaitFor([&] { return done; }, 5000));
  }

  // Chooses the item of the text's pop-up menu whose text starts with `item`, by the keys.
  void ChooseFromTextMenu(const QString& item) {
    QTimer::singleShot(200, [item] {
      for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* menu = qobject_cast<QMenu*>(top);
        if (menu == nullptr || !menu->isVisible()) continue;
        for (QAction* action : menu->actions()) {
          if (action->isVisible() && action->text().startsWith(item)) menu->setActiveAction(action);
        }
        QTest::keyClick(menu, Qt::Key_Return);
      }
    });
    RightClick(unit::kTextBox, QPoint(50, 50));
  }

  void SetTarget(int target) {
    WhenOpen<QInputDialog>(
        [target](QInputDialog* dialog) {
          auto* spin = dialog->findChild<QSpinBox*>();
          ASSERT_NE(spin, nullptr);
          spin->selectAll();
          QTest::keyClicks(spin, QString::number(target));
          QTest::keyClick(spin, Qt::Key_Return);
        },
        [&] { ChooseFromTextMenu(QStringLiteral("设置每日目标")); });
    // Without a window manager nothing gives the desk its activation back.
    Unit(0)->Widget()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Unit(0)->Widget()));
  }
};

TEST_F(WritingHistory, TheDayCountsTypingPastingAndDeletingAcrossAMidnight) {
  SetDeskTime(2026, 12, 8, 23, 58);
  StartDesk();
  EXPECT_TRUE(TodayShows("今日：0 字")) << Today();
  AddChapter("第一章", "一二三四五");
  EXPECT_TRUE(TodayShows("今日：5 字")) << Today();
  QApplication::clipboard()->setText(QStringLiteral("甲乙丙"));
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_TRUE(TodayShows("今日：8 字")) << Today();
  Key(Qt::Key_Backspace);
  Key(Qt::Key_Backspace);
  EXPECT_TRUE(TodayShows("今日：6 字")) << Today();

  SetDeskTime(2026, 12, 9, 0, 1);
  ASSERT_TRUE(TodayShows("今日：0 字")) << Today();  // the line follows the date
  AddChapter("第二章", "ab");
  ClickItem(0);  // loading a chapter adds nothing
  ASSERT_TRUE(WaitFor([&] { return NameBox() == "第一章"; }));
  EXPECT_TRUE(TodayShows("今日：2 字")) << Today();
  AnswerBoxesWith("确定");
  ClickInto(unit::kDeleteButton);
  ASSERT_TRUE(WaitFor([&] { return ItemTexts().size() == 1; }));
  // The deleted chapter's six go off today, not yesterday.
  EXPECT_TRUE(TodayShows("今日：-4 字")) << Today();
  CloseDesk();

  const History saved = SavedHistory();
  EXPECT_EQ(saved.Day(DayNumberOf(2026, 12, 8)).characters, 6);
  EXPECT_EQ(saved.Day(DayNumberOf(2026, 12, 8)).minutes, 1);
  EXPECT_EQ(saved.Day(DayNumberOf(2026, 12, 9)).characters, -4);
  EXPECT_EQ(saved.Day(DayNumberOf(2026, 12, 9)).minutes, 1);
}

TEST_F(WritingHistory, ARestartGoesOnWithTheSameDay) {
  StartDesk();
  AddChapter("第一章", "一二三");
  CloseDesk();
  EXPECT_EQ(SavedHistory().Day(DayNumberOf(2026, 12, 9)).characters, 3);

  SetDeskTime(2026, 12, 9, 10, 5);
  StartDesk();
  EXPECT_TRUE(TodayShows("今日：3 字")) << Today();
  ClickInto(unit::kTextBox);
  Key(Qt::Key_End, Qt::ControlModifier);
  Type("四五");
  EXPECT_EQ(TextBox(), "一二三四五");
  EXPECT_TRUE(TodayShows("今日：5 字")) << Today();
  CloseDesk();
  EXPECT_EQ(SavedHistory().Day(DayNumberOf(2026, 12, 9)), (writing_history::DayTotals{5, 2}));
}

TEST_F(WritingHistory, ADamagedHistoryIsKeptAsideAndANewOneStarts) {
  {
    std::ofstream(HistoryFile(), std::ios::binary) << "{\"version\": 1, \"days\": [";
  }
  AnswerBoxesWith("确定");
  StartDesk();
  ASSERT_TRUE(WaitFor([&] { return !boxes_.empty(); }));
  EXPECT_TRUE(boxes_[0].text.starts_with("写作记录文件无法读出")) << boxes_[0].text;
  const fs::path kept = Path("小说数据/写作记录.damaged-20261209-100000.json");
  EXPECT_NE(boxes_[0].text.find("写作记录.damaged-20261209-100000.json"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(kept), "{\"version\": 1, \"days\": [");
  EXPECT_TRUE(TodayShows("今日：0 字")) << Today();
  AddChapter("第一章", "一二");
  CloseDesk();
  EXPECT_EQ(SavedHistory().Day(DayNumberOf(2026, 12, 9)).characters, 2);
  EXPECT_EQ(ReadFileBytes(kept), "{\"version\": 1, \"days\": [");
}

// A history that cannot be read (here a folder stands where the file should be) is no damaged
// history: it is told, never moved aside or written over, and read again once it can be, with
// the days written meanwhile added to it.
TEST_F(WritingHistory, AHistoryThatCannotBeReadIsLeftInPlaceAndTakenUpOnceItCanBe) {
  fs::create_directories(HistoryFile());
  AnswerBoxesWith("确定");
  StartDesk();
  ASSERT_TRUE(WaitFor([&] { return !boxes_.empty(); }));
  EXPECT_TRUE(boxes_[0].text.starts_with("写作记录文件暂时无法读出")) << boxes_[0].text;
  AddChapter("第一章", "一二");
  SetDeskTime(2026, 12, 9, 10, 1);  // the minute's save: refused while unread
  EXPECT_TRUE(TodayShows("今日：2 字（记录未能保存）")) << Today();
  EXPECT_TRUE(fs::is_directory(HistoryFile()));
  EXPECT_TRUE(fs::is_empty(HistoryFile()));

  // The file readable again, as an earlier session left it.
  fs::remove(HistoryFile());
  History earlier;
  earlier.AddCharacters(DayNumberOf(2026, 12, 8), 100);
  earlier.AddCharacters(DayNumberOf(2026, 12, 9), 30);
  ASSERT_TRUE(writing_history::SaveHistory(platform::GbkPathOf(HistoryFile()), earlier));
  ClickInto(unit::kTextBox);
  Key(Qt::Key_End, Qt::ControlModifier);
  Type("三");
  SetDeskTime(2026, 12, 9, 10, 2);
  EXPECT_TRUE(TodayShows("今日：33 字")) << Today();
  CloseDesk();
  const History saved = SavedHistory();
  EXPECT_EQ(saved.Day(DayNumberOf(2026, 12, 8)).characters, 100);
  EXPECT_EQ(saved.Day(DayNumberOf(2026, 12, 9)).characters, 33);
}

TEST_F(WritingHistory, TheTargetIsSetFromThePopUpMenuAndTheLineTurnsWhenItIsMet) {
  StartDesk();
  AddChapter("第一章", "");
  const int32_t plain = ReadInt(unit::kTodayLabel, property::kLabelTextColor);
  SetTarget(10);
  EXPECT_TRUE(TodayShows("今日：0 / 10 字")) << Today();
  ClickInto(unit::kTextBox);
  Type("一二三四五六七八九");
  EXPECT_TRUE(TodayShows("今日：9 / 10 字")) << Today();
  EXPECT_EQ(ReadInt(unit::kTodayLabel, property::kLabelTextColor), plain);
  Type("十");
  EXPECT_TRUE(TodayShows("今日：10 / 10 字")) << Today();
  EXPECT_NE(ReadInt(unit::kTodayLabel, property::kLabelTextColor), plain);
  SetTarget(0);
  EXPECT_TRUE(TodayShows("今日：10 字")) << Today();
  SetTarget(4000);
  CloseDesk();
  EXPECT_EQ(SavedHistory().target(), 4000);
}

TEST_F(WritingHistory, TheChartShowsTheHistorysFiguresAndExportsAPicture) {
  // Forty made-up days before today, the target met on the last three of them.
  History made_up;
  made_up.set_target(1000);
  const writing_history::DayNumber today = DayNumberOf(2026, 12, 9);
  for (int back = 40; back >= 1; --back) made_up.AddCharacters(today - back, back <= 3 ? 1500 : back * 10);
  ASSERT_TRUE(writing_history::SaveHistory(platform::GbkPathOf(HistoryFile()), made_up));
  StartDesk();
  AddChapter("第一章", "一二三");
  made_up.AddCharacters(today, 3);

  const fs::path picture = Path("chart.png");
  writing_history::HistoryFigures thirty, ninety;
  QString totals, runs;
  WhenOpen<HistoryChartWindow>(
      [&](HistoryChartWindow* chart) {
        thirty = chart->figures();
        totals = chart->TotalsText();
        runs = chart->RunsText();
        chart->ExportPicture(QString::fromStdString(picture.string()));
        for (QPushButton* button : chart->findChildren<QPushButton*>()) {
          if (button->text() == QStringLiteral("近 90 天")) QTest::mouseClick(button, Qt::LeftButton);
        }
        ninety = chart->figures();
        chart->close();
      },
      [&] { ChooseFromTextMenu(QStringLiteral("写作记录")); });

  ASSERT_EQ(thirty.days.size(), 30u);
  for (size_t i = 0; i < thirty.days.size(); ++i) {
    EXPECT_EQ(thirty.days[i], today - 29 + static_cast<int>(i));
    EXPECT_EQ(thirty.totals[i].characters, made_up.Day(thirty.days[i]).characters) << i;
  }
  EXPECT_EQ(ninety.days.size(), 90u);
  // 2026-12-09 is a Wednesday: this week is Monday the 7th to today, this month the 1st on.
  const int64_t week = made_up.Day(today - 2).characters + made_up.Day(today - 1).characters + 3;
  int64_t month = 0;
  for (int day = 1; day <= 9; ++day) month += made_up.Day(DayNumberOf(2026, 12, day)).characters;
  EXPECT_EQ(thirty.this_week, week);
  EXPECT_EQ(thirty.this_month, month);
  EXPECT_EQ(totals, QStringLiteral("本周 %1 字　　本月 %2 字　　全书 3 字")
                        .arg(QString::fromStdString(writing_history::Grouped(week)),
                             QString::fromStdString(writing_history::Grouped(month))));
  EXPECT_EQ(thirty.current_run, 3);
  EXPECT_EQ(thirty.longest_run, 3);
  EXPECT_EQ(runs, QStringLiteral("每日目标 1,000 字　　当前连续达标 3 天　　最长连续达标 3 天"));
  const QImage exported(QString::fromStdString(picture.string()), "PNG");
  EXPECT_FALSE(exported.isNull());
  EXPECT_GT(exported.width(), 600);
}

}  // namespace
}  // namespace desk_tests
