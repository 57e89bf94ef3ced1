#include "app/save_alarm.h"

#include <cstdint>
#include <string>

#include "app/chapters.h"
#include "app/desk_texts.h"
#include "app/gate_calls.h"
#include "app/layout.h"
#include "app/main_window_ids.h"
#include "app/rescue_copy.h"
#include "database/database_list.h"
#include "database/error_codes.h"
#include "platform/core/clock.h"
#include "units/base/unit_methods.h"

namespace app {

namespace {

using runtime::ArgCell;
using runtime::Text;

constexpr uint32_t kRescueEveryMs = 1000;
constexpr int32_t kWarningColor = 0x0000FF;  // red, as 0x00BBGGRR
constexpr int32_t kLineLeft = 13;            // as the chapter list and the captions above it
constexpr int32_t kLineHeight = 22;          // the strip under the text box and the list

// The forum label as it was before it became the warning line (the layout places it).
struct ForumLabel {
  std::string caption;
  int32_t text_color = 0;
};

struct Episode {
  bool active = false;
  bool failing[2] = {false, false};
  std::string started;      // the date-time text of the first failure: the rescue copy's stem
  std::string reason;       // what failed (GBK)
  std::string rescue_path;  // where the text went (GBK); empty when no place took it
  std::string
      rescued;  // the name and text last rescued, so that an unchanged text is not rewritten
  uint32_t rescued_at = 0;  // TickCount of the last rescue attempt
  ForumLabel forum;
};

Episode episode;

// The warning as a sentence: what failed and where the text went.
std::string SaveFailureText() {
  if (episode.rescue_path.empty()) return episode.reason + texts::kRescueFailed;
  return episode.reason + texts::kRescuedTo + PathForAuthor(episode.rescue_path);
}

std::string ReasonOf(SaveKind kind) {
  if (kind == SaveKind::kAutosave) return texts::kAutosaveNotWritten;
  return texts::kRecordNotSaved + database::ErrorText(database::LastDatabaseError());
}

// Rescues the chapter on screen unless the same name and text were rescued already.
void Rescue(bool even_if_unchanged) {
  const Text name = ReadText(unit::kNameBox, property::kContent);
  const Text text = ReadText(unit::kTextBox, property::kContent);
  std::string both = std::string(name.View()) + '\0' + std::string(text.View());
  episode.rescued_at = platform::TickCount();
  if (!even_if_unchanged && !episode.rescue_path.empty() && both == episode.rescued) return;
  const std::string stem =
      episode.started + texts::kRescueStem + std::to_string(ShownChapterRecord());
  episode.rescue_path = WriteRescueCopy(stem, name.View(), text.View());
  if (!episode.rescue_path.empty()) episode.rescued = std::move(both);
}

void ShowWarningLine() {
  WriteText(unit::kForumLabel, property::kCaption, SaveFailureText());
  LayOutWarningLine();
}

void StartEpisode() {
  episode.active = true;
  episode.started =
      std::string(CoreText(libraries::kToText, {Core(libraries::kGetNow, {})}).View());
  Rescue(true);
  episode.forum.caption = std::string(ReadText(unit::kForumLabel, property::kCaption).View());
  episode.forum.text_color = ReadInt(unit::kForumLabel, property::kLabelTextColor);
  WriteInt(unit::kForumLabel, property::kLabelTextColor, kWarningColor);
  ShowWarningLine();
  // One box per episode; the timers go on under it, and their failures only update the line.
  ExplainSaveFailure();
}

void EndEpisode() {
  const ForumLabel forum = episode.forum;
  episode = Episode{};
  WriteText(unit::kForumLabel, property::kCaption, forum.caption);
  WriteInt(unit::kForumLabel, property::kLabelTextColor, forum.text_color);
  LayOutForWindowSize();  // back to the top row
}

}  // namespace

void ReportSave(SaveKind kind, bool saved) {
  const auto index = static_cast<size_t>(kind);
  if (saved) {
    episode.failing[index] = false;
    if (episode.active && !episode.failing[0] && !episode.failing[1]) EndEpisode();
    return;
  }
  // A record that cannot be saved says more than an autosave file that cannot be written.
  const std::string reason_before = episode.reason;
  if (kind == SaveKind::kRecord || !episode.failing[static_cast<size_t>(SaveKind::kRecord)]) {
    episode.reason = ReasonOf(kind);
  }
  episode.failing[index] = true;
  if (!episode.active) return StartEpisode();
  if (episode.reason != reason_before) ShowWarningLine();
  if (platform::TickCount() - episode.rescued_at < kRescueEveryMs) return;
  const std::string before = episode.rescue_path;
  Rescue(false);
  if (episode.rescue_path != before) ShowWarningLine();
}

void ForgetSaveFailures() { episode = Episode{}; }

bool SaveFailing() { return episode.active; }

std::string RescueShownChapter() {
  if (episode.started.empty()) {
    episode.started =
        std::string(CoreText(libraries::kToText, {Core(libraries::kGetNow, {})}).View());
  }
  Rescue(false);
  return episode.rescue_path;
}

std::string SaveFailureReason() { return episode.active ? episode.reason : std::string(); }

void LayOutWarningLine() {
  if (!episode.active) return;
  const int32_t text_right =
      ReadInt(unit::kTextBox, property::kLeft) + ReadInt(unit::kTextBox, property::kWidth);
  // From the window's inside: its Height counts a frame, and the line would sit under the
  // inside's bottom edge by the frame's height.
  const int32_t inside_height = units::InnerHeight(kMainWindow, unit::kWindow);
  WriteInt(unit::kForumLabel, property::kLeft, kLineLeft);
  WriteInt(unit::kForumLabel, property::kTop, inside_height - kLineHeight);
  WriteInt(unit::kForumLabel, property::kWidth, text_right - kLineLeft);
  WriteInt(unit::kForumLabel, property::kHeight, kLineHeight);
}

bool ExplainSaveFailure() {
  if (!episode.active) return false;
  const Text text(SaveFailureText());
  const Text caption(texts::kErrorCaption);
  Core(libraries::kMessageBox, {text.Arg(), ArgCell::Int(0x30), caption.Arg()});
  return true;
}

}  // namespace app
