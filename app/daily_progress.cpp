#include "app/daily_progress.h"

#include <QApplication>
#include <QInputDialog>
#include <cstdio>
#include <memory>
#include <string>

#include "app/chapters.h"
#include "app/desk_texts.h"
#include "app/desk_writer.h"
#include "app/gate_calls.h"
#include "app/history_chart.h"
#include "app/main_window_ids.h"
#include "platform/core/code_page.h"
#include "writing_history/figure_text.h"
#include "writing_history/history_file.h"

namespace app {

namespace {

using runtime::ArgCell;

constexpr int32_t kTargetMetColor = 0x008000;  // green, as 0x00BBGGRR
constexpr int32_t kWarningColor = 0x0000FF;    // red
constexpr int32_t kLargestTarget = 1'000'000;
// Typing changes today's figure at every key, but the line is a transparent label whose write
// repaints the window under it: it is rewritten at most four times a second while the author
// types.
constexpr int32_t kTodayLineDelayMs = 250;

struct Progress {
  writing_history::History history;
  bool changed = false;  // since the last save that worked
  bool save_failed = false;
  // A damaged file that could not be moved aside stays where it is: nothing overwrites it.
  bool keep_file_untouched = false;
  // The file could not be read at the start: read again (and what was written since added to
  // it) before anything is written over it.
  bool file_unread = false;
  int64_t minute_saved = -1;    // the clock minute of the last save attempt
  int64_t minute_written = -1;  // the clock minute of the last minute of writing noted
  int32_t counted_record = 0;   // the chapter record `last_count` belongs to; 0 for none
  int64_t last_count = 0;
  int32_t plain_color = 0;  // the line's colour before the target was met
  // The line as last written, so that it is rewritten only when it changes.
  std::string shown;  // GBK
  int32_t shown_color = 0;
  bool line_due = false;  // the timer runs to rewrite the line
};

Progress progress;
LocalClock clock_for_testing = nullptr;

platform::LocalTime Now() { return clock_for_testing ? clock_for_testing() : platform::NowLocal(); }

int64_t MinuteOf(const platform::LocalTime& now) {
  return int64_t{writing_history::DayNumberOf(now.year, now.month, now.day)} * 1440 +
         now.hour * 60 + now.minute;
}

std::string HistoryPath() { return InProgramFolder(texts::kWritingHistoryFile); }

void ShowToday() {
  const writing_history::DayTotals today = progress.history.Day(Today());
  const int64_t target = progress.history.target();
  std::string caption =
      platform::Utf8ToGbk(writing_history::TodayProgressText(today.characters, target));
  if (progress.save_failed) caption += texts::kHistoryNotSaved;
  const int32_t color = progress.save_failed                          ? kWarningColor
                        : target > 0 && today.characters >= target ? kTargetMetColor
                                                                   : progress.plain_color;
  if (color != progress.shown_color) {
    progress.shown_color = color;
    WriteInt(unit::kTodayLabel, property::kLabelTextColor, color);
  }
  if (caption == progress.shown) return;
  progress.shown = caption;
  WriteText(unit::kTodayLabel, property::kCaption, caption);
}

// Typing moved today's figure: the line follows within the timer's delay.
void ShowTodaySoon() {
  if (progress.line_due) return;
  progress.line_due = true;
  WriteInt(unit::kTodayLineTimer, property::kInterval, kTodayLineDelayMs);
}

// Writes the history when it changed; the line says when that failed.
bool SaveIfChanged() {
  if (!progress.changed || progress.keep_file_untouched) return true;
  if (progress.file_unread) {
    if (writing_history::MergeHistoryFile(HistoryPath(), &progress.history) !=
        writing_history::HistoryFileState::kRead) {
      progress.save_failed = true;
      ShowToday();
      return false;
    }
    progress.file_unread = false;
  }
  const bool saved = writing_history::SaveHistory(HistoryPath(), progress.history);
  progress.changed = !saved;
  progress.save_failed = !saved;
  ShowToday();
  return saved;
}

void Tell(const std::string& gbk, int32_t icon) {
  const runtime::Text text(gbk);
  const runtime::Text caption(texts::kWarningCaption);
  Core(libraries::kMessageBox, {text.Arg(), ArgCell::Int(icon), caption.Arg()});
}

std::string Stamp(const platform::LocalTime& now) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", now.year, now.month, now.day,
                now.hour, now.minute, now.second);
  return stamp;
}

}  // namespace

writing_history::DayNumber Today() {
  const platform::LocalTime now = Now();
  return writing_history::DayNumberOf(now.year, now.month, now.day);
}

void UseClockForTesting(LocalClock clock) { clock_for_testing = clock; }

void StartWritingHistory() {
  writing_history::LoadedHistory loaded = writing_history::LoadHistory(HistoryPath(), Stamp(Now()));
  progress = Progress{};
  progress.history = std::move(loaded.history);
  progress.keep_file_untouched = loaded.damaged_file_in_place;
  progress.file_unread = loaded.unreadable;
  progress.plain_color = ReadInt(unit::kTodayLabel, property::kLabelTextColor);
  progress.shown_color = progress.plain_color;
  ShowToday();
  if (!loaded.kept_aside_as.empty()) {
    Tell(texts::kHistoryDamaged + PathForAuthor(loaded.kept_aside_as), 0x40);
  } else if (loaded.damaged_file_in_place) {
    Tell(texts::kHistoryDamagedInPlace + PathForAuthor(HistoryPath()), 0x30);
  } else if (loaded.unreadable) {
    Tell(texts::kHistoryUnreadable + PathForAuthor(HistoryPath()), 0x30);
  }
}

void NoteChapterCount(int64_t count) {
  const int32_t record = ShownChapterRecord();
  if (record == 0 || record != progress.counted_record) {
    progress.counted_record = record;
    progress.last_count = count;
    return;
  }
  const int64_t growth = count - progress.last_count;
  progress.last_count = count;
  if (growth == 0) return;
  progress.history.AddCharacters(Today(), growth);
  progress.changed = true;
  NoteKeyInText();  // a change on the same chapter came from the author's hand
  ShowTodaySoon();
}

void RestartChapterCount() { progress.counted_record = 0; }

void NoteKeyInText() {
  const platform::LocalTime now = Now();
  const int64_t minute = MinuteOf(now);
  if (minute == progress.minute_written) return;
  progress.minute_written = minute;
  progress.history.AddMinute(writing_history::DayNumberOf(now.year, now.month, now.day));
  progress.changed = true;
}

void ShowTodayLine() {
  progress.line_due = false;
  WriteInt(unit::kTodayLineTimer, property::kInterval, 0);
  ShowToday();
}

void NoteShownChapterDeleted() {
  if (progress.counted_record == 0 || progress.counted_record != ShownChapterRecord()) return;
  progress.history.AddCharacters(Today(), -progress.last_count);
  progress.counted_record = 0;
  progress.last_count = 0;
  progress.changed = true;
  ShowToday();
}

namespace {

// The minute's save goes to the writer, so that no key waits for its flush. A history whose
// file could not be read at the start is merged with that file first, here (rare).
void HandHistoryToWriter() {
  if (!progress.changed || progress.keep_file_untouched) return;
  if (progress.file_unread) {
    SaveIfChanged();
    return;
  }
  auto history = std::make_shared<const writing_history::History>(progress.history);
  progress.changed = false;
  DeskWriter().Hand("writing history", [path = HistoryPath(), history] {
    const bool saved = writing_history::SaveHistory(path, *history);
    return disk_writer::Writer::Answer([saved] {
      if (!saved) progress.changed = true;  // tried again the next minute
      progress.save_failed = !saved;
      ShowToday();
    });
  });
}

}  // namespace

void KeepWritingHistory() {
  ShowToday();
  const int64_t minute = MinuteOf(Now());
  if (!progress.changed || minute == progress.minute_saved) return;
  progress.minute_saved = minute;
  HandHistoryToWriter();
}

void SaveWritingHistoryAtEnd() {
  FinishDeskWrites();
  SaveIfChanged();
}

void AskForDailyTarget() {
  bool accepted = false;
  const int target = QInputDialog::getInt(
      QApplication::activeWindow(), QStringLiteral("设置每日目标"),
      QStringLiteral("每日目标（字，0 表示不设目标）："),
      static_cast<int>(progress.history.target()), 0, kLargestTarget, 500, &accepted);
  if (!accepted || target == progress.history.target()) return;
  progress.history.set_target(target);
  progress.changed = true;
  ShowToday();
  SaveIfChanged();
}

void ShowWritingHistoryChart() {
  SaveCurrentChapter(/*even_while_backing_off=*/true);  // the novel's count reads the records
  ShowHistoryChart(progress.history, Today(), CountNovelCharacters());
}

}  // namespace app
