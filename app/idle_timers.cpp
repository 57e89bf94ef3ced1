#include "app/idle_timers.h"

#include <cstdint>

#include "app/gate_calls.h"
#include "app/main_window_ids.h"

namespace app {
namespace {

int32_t save_interval = 0;
int32_t autosave_interval = 0;

// An interval written equal to the running one leaves the timer's period alone.
void SetInterval(forms::UnitId timer, int32_t interval) {
  if (ReadInt(timer, property::kInterval) != interval)
    WriteInt(timer, property::kInterval, interval);
}

}  // namespace

void RememberSaveTimerIntervals() {
  save_interval = ReadInt(unit::kSaveTimer, property::kInterval);
  autosave_interval = ReadInt(unit::kAutosaveTimer, property::kInterval);
}

void ArmSaveTimer() { SetInterval(unit::kSaveTimer, save_interval); }
void ArmAutosaveTimer() {
  if (ReadInt(unit::kAutosaveTimer, property::kInterval) == 0)
    WriteInt(unit::kAutosaveTimer, property::kInterval, autosave_interval);
}
void ArmAutosaveTimerIn(int32_t milliseconds) { SetInterval(unit::kAutosaveTimer, milliseconds); }
void DisarmSaveTimer() { SetInterval(unit::kSaveTimer, 0); }
void DisarmAutosaveTimer() { SetInterval(unit::kAutosaveTimer, 0); }

}  // namespace app
