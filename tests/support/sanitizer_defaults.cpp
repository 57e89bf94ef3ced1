// Settings that the sanitizer runtime reads at start, built into every test program of the
// sanitizer build so that running a test binary by hand behaves as under CTest.

// The font library that Qt loads keeps caches for the whole process; the message-bus library
// that Qt's X platform loads (the window-manager tests run on a real X server) keeps one too.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libdbus-1.so\n"; }

extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }
