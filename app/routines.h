#pragma once

#include <cstdint>

#include "runtime/program_image.h"

// The writing window's event routines, one per binding of its form (app/main_window.json).
// Key and mouse routines receive (key code, key state) and (x, y, key state).
namespace app::routines {

using runtime::HandlerResult;

HandlerResult OnCreated(const int32_t* args, int32_t count);
HandlerResult OnDestroying(const int32_t* args, int32_t count);
HandlerResult OnResized(const int32_t* args, int32_t count);
HandlerResult OnMinimiseClicked(const int32_t* args, int32_t count);
HandlerResult OnMaximiseClicked(const int32_t* args, int32_t count);
HandlerResult OnCloseClicked(const int32_t* args, int32_t count);
HandlerResult OnSplitterMoved(const int32_t* args, int32_t count);  // (old left, new left)
HandlerResult OnChapterSelected(const int32_t* args, int32_t count);
HandlerResult OnChapterListRightUp(const int32_t* args, int32_t count);
HandlerResult OnNewChapter(const int32_t* args, int32_t count);
HandlerResult OnDeleteChapter(const int32_t* args, int32_t count);
HandlerResult OnNameFocusGained(const int32_t* args, int32_t count);
HandlerResult OnNameChanged(const int32_t* args, int32_t count);
HandlerResult OnTextFocusGained(const int32_t* args, int32_t count);
HandlerResult OnTextKeyDown(const int32_t* args, int32_t count);
HandlerResult OnTextKeyUp(const int32_t* args, int32_t count);
HandlerResult OnTextRightDown(const int32_t* args, int32_t count);
HandlerResult OnTextChanged(const int32_t* args, int32_t count);
HandlerResult OnSaveTick(const int32_t* args, int32_t count);
HandlerResult OnAutosaveTick(const int32_t* args, int32_t count);
HandlerResult OnClockTick(const int32_t* args, int32_t count);
HandlerResult OnTextCharInput(const int32_t* args, int32_t count);
HandlerResult OnStopTiming(const int32_t* args, int32_t count);
HandlerResult OnSecondsTick(const int32_t* args, int32_t count);
HandlerResult OnShowMinutes(const int32_t* args, int32_t count);
HandlerResult OnShowHours(const int32_t* args, int32_t count);
HandlerResult OnShowPerSecond(const int32_t* args, int32_t count);
HandlerResult OnShowPerMinute(const int32_t* args, int32_t count);
HandlerResult OnBackColorChanged(const int32_t* args, int32_t count);
HandlerResult OnTextColorChanged(const int32_t* args, int32_t count);
HandlerResult OnFontClicked(const int32_t* args, int32_t count);
HandlerResult OnSearchClicked(const int32_t* args, int32_t count);
HandlerResult OnSearchBoxKeyUp(const int32_t* args, int32_t count);
HandlerResult OnForumClicked(const int32_t* args, int32_t count);
HandlerResult OnCloseQuery(const int32_t* args, int32_t count);
HandlerResult OnSaveReadablePart(const int32_t* args, int32_t count);
HandlerResult OnSetDailyTarget(const int32_t* args, int32_t count);
HandlerResult OnShowWritingHistory(const int32_t* args, int32_t count);
HandlerResult OnTodayLineTick(const int32_t* args, int32_t count);
HandlerResult OnShowChapterHistory(const int32_t* args, int32_t count);
HandlerResult OnShowDeletedChapters(const int32_t* args, int32_t count);
HandlerResult OnFind(const int32_t* args, int32_t count);
HandlerResult OnReplace(const int32_t* args, int32_t count);
HandlerResult OnLayOut(const int32_t* args, int32_t count);
HandlerResult OnCopyForPublishing(const int32_t* args, int32_t count);
HandlerResult OnPublishingSettings(const int32_t* args, int32_t count);
HandlerResult OnImportNovel(const int32_t* args, int32_t count);
HandlerResult OnExportNovel(const int32_t* args, int32_t count);

}  // namespace app::routines
