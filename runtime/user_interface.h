#pragma once

#include <cstdint>
#include <string_view>

namespace runtime {

// Message-box style bits and results, in the platform's numbering that commands and
// applications pass around.
namespace message_box {
inline constexpr uint32_t kOk = 0x0;
inline constexpr uint32_t kOkCancel = 0x1;
inline constexpr uint32_t kAbortRetryIgnore = 0x2;
inline constexpr uint32_t kYesNoCancel = 0x3;
inline constexpr uint32_t kYesNo = 0x4;
inline constexpr uint32_t kRetryCancel = 0x5;
inline constexpr uint32_t kIconError = 0x10;
inline constexpr uint32_t kIconQuestion = 0x20;
inline constexpr uint32_t kIconWarning = 0x30;
inline constexpr uint32_t kIconInformation = 0x40;
inline constexpr uint32_t kSystemModal = 0x1000;
inline constexpr uint32_t kTaskModal = 0x2000;

inline constexpr int32_t kIdOk = 1;
inline constexpr int32_t kIdCancel = 2;
inline constexpr int32_t kIdAbort = 3;
inline constexpr int32_t kIdRetry = 4;
inline constexpr int32_t kIdIgnore = 5;
inline constexpr int32_t kIdYes = 6;
inline constexpr int32_t kIdNo = 7;
}  // namespace message_box

// What the runtime needs from the window system. The GUI layer fills it in; the runtime
// itself never touches a toolkit.
class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // Shows a modal box with no owner window and waits for the user. Texts are GBK.
  // Returns the pressed button's id (message_box::kIdOk ...).
  virtual int32_t ShowMessageBox(std::string_view text, std::string_view caption,
                                 uint32_t style) = 0;

  // Runs the message loop until the quit message; calls the runtime's idle hook.
  virtual void RunMessageLoop() = 0;

  // Handles every waiting message without idling; stops at the quit message.
  virtual void PumpWaitingMessages() = 0;

  // The quit message: the running loop ends once it sees it.
  virtual void PostQuitMessage(int32_t exit_code) = 0;

  // The hidden request window that carries requests from other threads to the main thread.
  virtual void CreateRequestWindow() = 0;
  virtual void DestroyRequestWindow() = 0;
  // Safe from any thread; does nothing when the request window is gone. The main thread
  // then ends the program with `exit_code`.
  virtual void PostEndRequest(int32_t exit_code) = 0;

  // Whether the window with this handle still exists. Safe for any value.
  virtual bool IsWindowAlive(intptr_t window) = 0;

  // Switches the themed look of every existing and future window of the thread on or off.
  virtual void SetThemedLook(bool /*themed*/) {}
};

}  // namespace runtime
