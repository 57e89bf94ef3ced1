#pragma once

#include <cstdint>
#include <functional>

namespace gui {

// The hidden window that carries requests from other threads to the main thread. Only
// one request exists: ending the program with an exit code.
class RequestWindow {
 public:
  // Creates the window on the calling (main) thread; `on_end_request` runs there.
  static void Create(std::function<void(int32_t exit_code)> on_end_request);
  static void Destroy();
  // Safe from any thread; does nothing when the window is gone.
  static void PostEndRequest(int32_t exit_code);
};

}  // namespace gui
