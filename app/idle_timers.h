#pragma once

#include <cstdint>

namespace app {

// The save timer (100 ms) and the autosave timer tick only while they have something to do:
// a change arms them, and a tick that leaves nothing to write disarms its timer, so an idle
// desk is woken by its one-second clock alone. Armed, each ticks at the interval the window
// gives it, so text is written within the same delays as a timer that never stops.

// At start-up, with the window's timers as loaded: remembers their intervals (both stay armed
// for the start-up's first ticks).
void RememberSaveTimerIntervals();

// A box changed: the save timer, and for the text box the autosave timer, tick again. An
// autosave timer already armed keeps its time: the file waits for its pace (autosave.h).
void ArmSaveTimer();
void ArmAutosaveTimer();
// The autosave timer's next tick in `milliseconds`.
void ArmAutosaveTimerIn(int32_t milliseconds);

// A tick found nothing left to do.
void DisarmSaveTimer();
void DisarmAutosaveTimer();

}  // namespace app
