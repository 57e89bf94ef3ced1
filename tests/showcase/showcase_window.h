#pragma once

#include <QCoreApplication>
#include <QTest>
#include <QWidget>
#include <cstdint>
#include <cstdio>

#include "forms/forms_runtime.h"
#include "libraries/library_table.h"
#include "runtime/runtime_state.h"
#include "runtime/startup.h"
#include "tests/support/program_image_maker.h"

namespace showcase {

// Starts the runtime over a compiled form (no routines) and loads its window `form`.
// Returns the window, or null (with a word on the error stream) when it did not load.
inline gui::Window* LoadWindow(const unsigned char* block, int block_size, uint32_t form) {
  static runtime::ProgramImage image;
  image = unit_tests::MakeImage(nullptr, block, block_size, libraries::LibraryTable());
  runtime::ResetRuntimeState();
  forms::FormsRuntime& forms = forms::FormsRuntime::Instance();
  runtime::AttachProgram(image, nullptr, &forms);
  runtime::InitializeRuntime();
  if (!forms.LoadWindow(form, false, false, nullptr)) {
    std::fprintf(stderr, "the showcase window did not load\n");
    return nullptr;
  }
  return forms.UnitWindow(form, 0);
}

// Waits until `widget`'s window is on the screen, then paints the widget at once, so that
// a grab of the screen that follows sees it as it is now. False when it never showed.
inline bool PaintNow(QWidget* widget) {
  if (!QTest::qWaitForWindowExposed(widget->window())) return false;
  widget->repaint();
  QCoreApplication::processEvents();
  return true;
}

}  // namespace showcase
