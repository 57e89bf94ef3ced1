#include "app/autosave.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include "app/desk_texts.h"
#include "app/desk_writer.h"
#include "app/gate_calls.h"
#include "app/idle_timers.h"
#include "app/main_window_ids.h"
#include "app/save_alarm.h"
#include "commands/file_replacement.h"
#include "platform/core/clock.h"
#include "platform/core/file_system.h"
#include "platform/core/native_path.h"

namespace app {

namespace {

bool stale = true;
bool rewritten_this_session = false;
// The last session's file is kept (or needed no keeping): copied once per session, however
// often the rewrite after it fails.
bool last_session_kept = false;
uint32_t last_handed_ticks = 0;
size_t last_handed_bytes = 0;
bool handed_before = false;

constexpr uint32_t kAutosaveEveryMs = 5000;
// 32 KB written per character typed at ten characters a second.
constexpr uint64_t kAutosaveBytesPerSecond = 320 * 1024;
// How soon a tick that may not write yet (the writer still busy with the file, or the save
// alarm still waiting after a failure) looks again.
constexpr int32_t kBusyRetryMs = 100;
const std::string kAutosaveJob = "autosave";

// The file as the last session left it (no command reads a file, so it is read directly): empty
// when there is none, nothing when it is there but cannot be read (then it must not be replaced).
std::optional<std::string> ReadAutosaveFile(const std::string& gbk_path) {
  std::error_code error;
  if (!std::filesystem::exists(platform::FsPath(gbk_path), error) && !error) return std::string();
  std::ifstream file(platform::FsPath(gbk_path), std::ios::binary);
  std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (!file.is_open() || file.bad()) return std::nullopt;
  return bytes;
}

// What a write hands to the writer. `keep_to` names where the last session's file goes first
// (empty: it was kept already).
struct AutosaveWrite {
  std::string path;
  std::string text;
  std::string keep_to;
};

// What the writer did: whether the last session's file is kept (or needed no keeping), and
// whether the file was written.
struct AutosaveResult {
  bool last_session_kept = false;
  bool written = false;
};

// On the writer's thread. Keeps the last session's file before the first rewrite replaces it;
// nothing is written when that fails.
AutosaveResult WriteAutosaveFile(const AutosaveWrite& write) {
  if (!write.keep_to.empty()) {
    const std::optional<std::string> old_text = ReadAutosaveFile(write.path);
    if (!old_text) return {};
    if (!old_text->empty() && *old_text != write.text &&
        !platform::CopyFile(write.path, write.keep_to, /*fail_if_exists=*/false)) {
      return {};
    }
  }
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(write.text.data()),
                                       write.text.size());
  return {true, commands::ReplaceFileContent(write.path, std::span(&bytes, 1))};
}

void AutosaveAnswered(const AutosaveResult& result) {
  if (result.last_session_kept) last_session_kept = true;
  if (result.written) {
    rewritten_this_session = true;
  } else {
    // Tried again at the save alarm's growing intervals, not at the pace of writes that work.
    stale = true;
    handed_before = false;
    ArmAutosaveTimer();
  }
  ReportSave(SaveKind::kAutosave, result.written);
}

void HandTextToWriter() {
  auto write = std::make_shared<AutosaveWrite>();
  write->path = InProgramFolder(texts::kAutosaveFile);
  write->text = std::string(ReadText(unit::kTextBox, property::kContent).View());
  if (!last_session_kept) {
    const runtime::Text now = CoreText(libraries::kToText, {Core(libraries::kGetNow, {})});
    write->keep_to = InProgramFolder(texts::kAutosaveBackupPrefix + std::string(now.View()) +
                                     texts::kLastSessionAutosaveSuffix);
  }
  stale = false;
  last_handed_ticks = platform::TickCount();
  last_handed_bytes = write->text.size();
  handed_before = true;
  DeskWriter().Hand(kAutosaveJob, [write]() -> disk_writer::Writer::Answer {
    const AutosaveResult result = WriteAutosaveFile(*write);
    return [result] { AutosaveAnswered(result); };
  });
}

// How long after a write of `bytes` the next may come: longer for a longer text. (The last
// text's length stands for the next one's: a tick that waits reads no text.)
uint32_t AutosaveGapMs(size_t bytes) {
  return static_cast<uint32_t>(
      std::max<uint64_t>(kAutosaveEveryMs, uint64_t{bytes} * 1000 / kAutosaveBytesPerSecond));
}

}  // namespace

void MarkAutosaveStale() { stale = true; }
void KeepLastSessionAutosave() {
  stale = false;
  rewritten_this_session = false;
  last_session_kept = false;
  handed_before = false;
}

bool AutosaveHoldsThisSessionsText() { return rewritten_this_session && !stale; }

bool AutosaveDue() { return stale && ReadInt(unit::kAutosaveSwitch, property::kChecked) == 1; }

int32_t Autosave() {
  if (!AutosaveDue()) return 0;
  if (!SaveAttemptDue(SaveKind::kAutosave)) return kBusyRetryMs;
  if (DeskWriter().Busy(kAutosaveJob)) return kBusyRetryMs;
  if (handed_before) {
    const uint32_t since = platform::TickCount() - last_handed_ticks;
    const uint32_t gap = AutosaveGapMs(last_handed_bytes);
    if (since < gap) return static_cast<int32_t>(gap - since);
  }
  HandTextToWriter();
  return 0;
}

void AutosaveNow() {
  FinishDeskWrites();
  if (!AutosaveDue()) return;
  HandTextToWriter();
  FinishDeskWrites();
}

}  // namespace app
