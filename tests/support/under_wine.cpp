#include "tests/support/under_wine.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace test_support {

bool UnderWine() {
#ifdef _WIN32
  // Wine's system library exports its version; Windows' does not.
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

}  // namespace test_support
