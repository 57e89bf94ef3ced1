#include "app/autosave.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "app/desk_texts.h"
#include "app/gate_calls.h"
#include "app/main_window_ids.h"
#include "app/save_alarm.h"
#include "platform/core/native_path.h"

namespace app {

namespace {

bool stale = true;
bool rewritten_this_session = false;
// The last session's file is kept (or needed no keeping): copied once per session, however
// often the rewrite after it fails.
bool last_session_kept = false;

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

// Keeps the last session's file before the first rewrite replaces it; false when it could
// not be kept.
bool KeepLastSessionFile(const std::string& gbk_path, std::string_view new_text) {
  const std::optional<std::string> old_text = ReadAutosaveFile(gbk_path);
  if (!old_text) return false;
  if (old_text->empty() || *old_text == new_text) return true;
  const runtime::Text now = CoreText(libraries::kToText, {Core(libraries::kGetNow, {})});
  const runtime::Text source(gbk_path);
  const runtime::Text target(InProgramFolder(
      texts::kAutosaveBackupPrefix + std::string(now.View()) + texts::kLastSessionAutosaveSuffix));
  return IsTrue(Core(libraries::kCopyFile, {source.Arg(), target.Arg()}));
}

}  // namespace

void MarkAutosaveStale() { stale = true; }
void KeepLastSessionAutosave() {
  stale = false;
  rewritten_this_session = false;
  last_session_kept = false;
}

bool AutosaveHoldsThisSessionsText() { return rewritten_this_session && !stale; }

bool AutosaveDue() { return stale && ReadInt(unit::kAutosaveSwitch, property::kChecked) == 1; }

void Autosave(bool even_while_backing_off) {
  if (!AutosaveDue()) return;
  if (!even_while_backing_off && !SaveAttemptDue(SaveKind::kAutosave)) return;
  const std::string path = InProgramFolder(texts::kAutosaveFile);
  const runtime::Text content = ReadText(unit::kTextBox, property::kContent);
  if (!last_session_kept) {
    if (!KeepLastSessionFile(path, content.View())) return ReportSave(SaveKind::kAutosave, false);
    last_session_kept = true;
  }
  const runtime::Text target(path);
  const runtime::ByteSet bytes =
      runtime::ByteSet::FromResult(Core(libraries::kToByteSet, {content.Arg()}));
  // A failed write (a full disk) is tried again at the next tick.
  const bool written = IsTrue(Core(libraries::kWriteBytesToFile, {target.Arg(), bytes.Arg()}));
  ReportSave(SaveKind::kAutosave, written);
  if (!written) return;
  stale = false;
  rewritten_this_session = true;
}

}  // namespace app
