#include "app/may_close.h"

#include <string>

#include "app/chapters.h"
#include "app/desk_texts.h"
#include "app/gate_calls.h"
#include "app/save_alarm.h"

namespace app {

namespace {

constexpr int32_t kYesNoCancelWarning = 0x33;
// The message box command answers 0 (OK) to 6 (No): Yes is 5.
constexpr int32_t kYes = 5, kNo = 6;

}  // namespace

bool MayClose() {
  for (;;) {
    SaveCurrentChapter(/*even_while_backing_off=*/true);
    if (!ChapterUnsaved()) break;
    const std::string rescue = RescueShownChapter();
    const std::string where =
        rescue.empty() ? texts::kCloseLosesText : texts::kCloseRescuedTo + PathForAuthor(rescue);
    const runtime::Text text(texts::kCloseUnsaved + SaveFailureReason() + where +
                             texts::kCloseChoices);
    const runtime::Text caption(texts::kWarningCaption);
    const int32_t answer =
        Core(libraries::kMessageBox,
             {text.Arg(), runtime::ArgCell::Int(kYesNoCancelWarning), caption.Arg()})
            .As<int32_t>();
    if (answer == kNo) break;
    if (answer != kYes) return false;
  }
  return MayCloseWithRescuedChapters();
}

}  // namespace app
