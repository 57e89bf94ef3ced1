#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class QApplication;

namespace gui {

struct Message;

// The application object over Qt's event loop: the process's main runs InitInstance, the
// message loop while it asks for it, then ExitInstance. The loop idles between messages:
// while no message waits it calls OnIdle with an idle count that starts at 0 after each
// batch of messages and rises while OnIdle asks for more; when OnIdle asks for no more,
// the loop sleeps until the next message.
class Application {
 public:
  Application(int& argc, char** argv);
  virtual ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  static Application* Instance();

  // InitInstance; when it returns false ExitInstance's code is the result, else the loop
  // runs until the quit message and then ExitInstance gives the result.
  int Main();

  // The message loop until the quit message, which it takes.
  void RunLoop();
  // A modal form of the loop: also ends as soon as `still_modal` answers false. A quit
  // message ends it too and stays posted for the loop outside.
  void RunModalLoop(const std::function<bool()>& still_modal);
  // Handles every waiting message without idling; stops at the quit message.
  void PumpWaitingMessages();

  // The quit message: every running loop ends when it sees it. Safe from any thread.
  void PostQuitMessage(int32_t exit_code);
  bool QuitPosted() const { return quit_posted_; }

  // Offers a message to the window objects from its target up through the parents (up to
  // the top-level window); true when one of them handled it, so it goes no further.
  virtual bool PreTranslateMessage(Message& message);

  // The exit code of the last quit message.
  int32_t QuitCode() const { return quit_code_; }

 protected:
  virtual bool InitInstance() = 0;
  virtual int32_t ExitInstance() { return quit_code_; }
  // The framework's own idle work asks for one more pass after count 0.
  virtual bool OnIdle(int32_t idle_count) { return idle_count < 1; }

 private:
  // Handles the waiting messages; true when there were any.
  bool HandleWaitingMessages();
  void Loop(const std::function<bool()>& keep_running);

  std::unique_ptr<QApplication> qt_;
  std::atomic<bool> quit_posted_{false};
  std::atomic<int32_t> quit_code_{0};
};

}  // namespace gui
