#include "forms/runtime_application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>

#include "forms/forms_runtime.h"
#include "platform/gui/gbk_qstring.h"
#include "platform/gui/message_box.h"
#include "platform/gui/request_window.h"
#include "platform/gui/window_handles.h"
#include "runtime/shutdown.h"
#include "runtime/startup.h"

namespace forms {

RuntimeApplication::RuntimeApplication(int& argc, char** argv, EntryRoutine entry)
    : gui::Application(argc, argv), entry_(entry) {
  // The system speaks Chinese: the toolkit's own dialogs (fonts, files) too, whatever the
  // desktop's language. Without the translation files they stay in English.
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (translator->load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_",
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator);
  }
}

int32_t RuntimeApplication::ShowMessageBox(std::string_view text, std::string_view caption,
                                           uint32_t style) {
  return gui::ShowMessageBox(gui::QStringOfGbk(text), gui::QStringOfGbk(caption), style);
}

void RuntimeApplication::CreateRequestWindow() {
  gui::RequestWindow::Create([](int32_t exit_code) { runtime::EndProgram(exit_code); });
}

void RuntimeApplication::DestroyRequestWindow() { gui::RequestWindow::Destroy(); }

void RuntimeApplication::PostEndRequest(int32_t exit_code) {
  gui::RequestWindow::PostEndRequest(exit_code);
}

bool RuntimeApplication::IsWindowAlive(intptr_t window) {
  if (window <= 0 || window > INT32_MAX) return false;
  return gui::IsWindowAlive(static_cast<gui::WindowHandle>(window));
}

bool RuntimeApplication::InitInstance() { return entry_() != 0; }

int32_t RuntimeApplication::ExitInstance() {
  runtime::RunEndOfProgram();
  return gui::Application::ExitInstance();
}

bool RuntimeApplication::OnIdle(int32_t idle_count) {
  runtime::RunIdleCallbacks();
  return runtime::ApplicationIdle(idle_count, gui::Application::OnIdle(idle_count));
}

int RunProgram(int argc, char** argv, const runtime::ProgramImage& image, EntryRoutine entry) {
  RuntimeApplication application(argc, argv, entry);
  runtime::AttachProgram(image, &application, &FormsRuntime::Instance());
  const int exit_code = application.Main();
  runtime::AttachProgram(image, nullptr, nullptr);  // the application object goes now
  return exit_code;
}

void RuntimeApplication::SetThemedLook(bool themed) {
  // The themed look is the system's own where there is one (the visual styles of Windows),
  // Qt's Fusion elsewhere; the plain look is the classic Windows one everywhere.
#ifdef _WIN32
  const char* themed_style = "windowsvista";
#else
  const char* themed_style = "Fusion";
#endif
  // QApplication::setStyle restyles every widget there is and every one made later.
  if (QStyle* style = QStyleFactory::create(themed ? themed_style : "Windows")) {
    QApplication::setStyle(style);
  }
}

}  // namespace forms
