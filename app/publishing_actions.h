#pragma once

#include "publishing/publishing_settings.h"
#include "units/editbox/line_sums.h"

// The chapter on its way to a publishing platform: the one-key layout, the copy in the
// platforms' form, the platforms' counts in the count label's tool tip, and the author's
// settings for them (小说数据/排版与发布设置.txt, written whole through a temporary file).
namespace app {

// At start-up: the settings file read (missing or unreadable: the defaults) and the count
// label's tool tip set up.
void StartPublishing();
const publishing::PublishingSettings& PublishingSettings();

// "排版" (Ctrl+Shift+F): the shown chapter laid out as one edit that a single undo takes back,
// a version of it kept first. A chapter shown read-only is left alone.
void LayOutShownChapter();
// "复制为发布格式": the shown chapter laid out (the boxes unchanged), its name first when the
// author wants it, onto the clipboard as plain text; then the check's warnings told, the words
// to avoid marked in the text.
void CopyShownChapterForPublishing();
// "排版与发布设置…".
void ChangePublishingSettings();

// The count that the daily target and the writing history use, as a measure of GBK text.
units::GbkMeasure TargetCountMeasure();

}  // namespace app
