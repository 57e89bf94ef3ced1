#pragma once

namespace app {

// The typing statistics: the character count of the chapter, and the seconds, minutes,
// hours and speeds that five timers keep while the author types. Every figure lives in its
// label's caption; a figure is computed from the captions of the figures it depends on.

// The seconds count starts at 0 with the window.
void ResetSecondsCounter();

// The count of the text box into its label.
void CountChapterCharacters();

// A typed character starts the stopped statistics timers (a running one goes on).
void StartTiming();
// "停止计时": the five timers stop; the figures and the seconds count stay.
void StopTiming();

void TickSeconds();          // 秒钟: one second more
void ShowMinutes();          // 分钟: seconds / 60
void ShowHours();            // 时钟, 按钮3: minutes / 60
void ShowPerSecond();        // 秒速, 按钮2: characters / seconds
void ShowPerMinute();        // 分速, 按钮4: characters / minutes

}  // namespace app
