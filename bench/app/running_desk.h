// What the writing desk's benchmarks share: the application object, a long chapter, and the
// real program image running in a fresh program folder.
#pragma once

#include <QApplication>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <utility>

#include "app/main_window_ids.h"
#include "app/routines.h"
#include "app/writing_desk.h"
#include "database/database_list.h"
#include "forms/forms_runtime.h"
#include "platform/core/code_page.h"
#include "runtime/owned_blocks.h"
#include "runtime/runtime_state.h"
#include "runtime/startup.h"
#include "tests/app/desk_test.h"
#include "tests/support/test_application.h"

namespace desk_bench {

namespace fs = std::filesystem;
using namespace app;

inline constexpr int64_t kCharacters = 200000;

using unit_tests::App;  // the one application object of the process

inline QString Chapter(int64_t characters = kCharacters) {
  const QString line = QString::fromUtf8("　　天地玄黄宇宙洪荒日月盈昃辰宿列张寒来暑往秋收冬藏闰余成岁律吕调阳云腾致雨露结为霜。");
  QString text;
  while (text.size() < characters) text += line + QStringLiteral("\r\n");
  text.truncate(characters);
  return text;
}

// The real program image running in a program folder (a fresh one by default, removed at
// the end), its window loaded.
class RunningDesk {
 public:
  RunningDesk() : RunningDesk(desk_tests::MakeProgramFolder(), true) {}
  RunningDesk(fs::path folder, bool owns_folder) : folder_(std::move(folder)), owns_folder_(owns_folder) {
    App();
    runtime::ResetRuntimeState();
    forms::FormsRuntime& forms = forms::FormsRuntime::Instance();
    forms.Reset();
    runtime::AttachProgram(WritingDeskImage(), nullptr, &forms);
    runtime::InitializeRuntime();
    desk_tests::UseProgramFolder(folder_);
    loaded_ = forms.LoadWindow(kMainWindow, false, false, nullptr);
    if (loaded_) window_ = forms.UnitWindow(kMainWindow, 0)->Widget();
  }
  // A new chapter of `characters` characters, open in the text box, saved once.
  void OpenLongChapter(int64_t characters = kCharacters) {
    routines::OnNewChapter(nullptr, 0);
    const runtime::Text text(platform::Utf8ToGbk(Chapter(characters).toStdString()));
    forms::FormsRuntime& forms = forms::FormsRuntime::Instance();
    forms.WriteUnitProperty(kMainWindow, unit::kTextBox, property::kContent, -1, text.Arg());
    Ticks();
    text_box()->setFocus();
  }
  ~RunningDesk() {
    forms::FormsRuntime::Instance().ReleaseAllTemplates();
    database::DatabaseList::Instance().CloseAll();
    runtime::ResetRuntimeState();
    if (owns_folder_) fs::remove_all(folder_);
  }
  bool loaded() const { return loaded_; }
  QWidget* window() const { return window_; }
  QWidget* text_box() const {
    return forms::FormsRuntime::Instance().UnitWindow(kMainWindow, unit::kTextBox)->Widget();
  }
  const fs::path& folder() const { return folder_; }

  static void Ticks() {
    routines::OnSaveTick(nullptr, 0);
    routines::OnAutosaveTick(nullptr, 0);
  }

 private:
  fs::path folder_;
  bool owns_folder_;
  bool loaded_ = false;
  QWidget* window_ = nullptr;
};

}  // namespace desk_bench
