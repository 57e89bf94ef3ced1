#pragma once

#include <cstdint>

#include "platform/gui/application.h"
#include "runtime/forms_host.h"
#include "runtime/program_image.h"
#include "runtime/user_interface.h"

namespace forms {

// The application's entry routine: initialises the runtime, loads the startup window,
// runs the message loop and returns 0.
using EntryRoutine = int32_t (*)();

// The runtime's application object: the window system's application, with its hooks
// wired to the runtime, and the runtime's view of the window system.
class RuntimeApplication : public gui::Application, public runtime::UserInterface {
 public:
  RuntimeApplication(int& argc, char** argv, EntryRoutine entry);

  // runtime::UserInterface
  int32_t ShowMessageBox(std::string_view text, std::string_view caption,
                         uint32_t style) override;
  void RunMessageLoop() override { RunLoop(); }
  void PumpWaitingMessages() override { gui::Application::PumpWaitingMessages(); }
  void PostQuitMessage(int32_t exit_code) override { gui::Application::PostQuitMessage(exit_code); }
  void CreateRequestWindow() override;
  void DestroyRequestWindow() override;
  void PostEndRequest(int32_t exit_code) override;
  bool IsWindowAlive(intptr_t window) override;
  // Themed: the "Fusion" style; plain: the "Windows" style.
  void SetThemedLook(bool themed) override;

 protected:
  // Runs the entry routine; its result 0 means "no further loop": the exit hook follows.
  bool InitInstance() override;
  // The end of the program with exit code 0.
  int32_t ExitInstance() override;
  bool OnIdle(int32_t idle_count) override;

 private:
  EntryRoutine entry_;
};

// The process entry of a program: attaches `image` and the form machinery to the runtime,
// then runs the application object. Returns the exit code.
int RunProgram(int argc, char** argv, const runtime::ProgramImage& image, EntryRoutine entry);

}  // namespace forms
