// What the tests of loaded forms share: a fixture that attaches a test's program image to
// a fresh runtime, loads the form's window and reaches its units the way the application
// does (property access by index, class index + 8); and a few helpers for pictures.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QTest>
#include <QWindow>
#include <cstdint>
#include <string>
#include <vector>

#include "forms/forms_runtime.h"
#include "platform/core/code_page.h"
#include "runtime/owned_blocks.h"
#include "runtime/program_image.h"
#include "runtime/runtime_state.h"
#include "runtime/startup.h"
#include "tests/support/program_image_maker.h"
#include "tests/support/test_application.h"

namespace unit_tests {

// The colour of a property (0x00BBGGRR) as Qt sees it.
inline QRgb RgbOf(uint32_t bgr) {
  return qRgb(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
              static_cast<int>((bgr >> 16) & 0xFF));
}

// A small PNG file of one colour.
inline std::vector<uint8_t> PngBytes(int width, int height, QRgb color) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(color);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return {bytes.begin(), bytes.end()};
}

// Each test starts on a fresh runtime with `image` attached and the form not yet loaded;
// derived fixtures add their own set-up (clearing logs, loading the window) after this
// one's and their own tear-down before it.
class FormTest : public ::testing::Test {
 protected:
  FormTest(const runtime::ProgramImage& image, forms::FormId form) : image_(image), form_(form) {}

  void SetUp() override {
    App();
    runtime::ResetRuntimeState();
    forms::FormsRuntime::Instance().Reset();
    runtime::AttachProgram(image_, ui_, &forms::FormsRuntime::Instance());
    runtime::InitializeRuntime();
  }
  void TearDown() override {
    forms::FormsRuntime::Instance().ReleaseAllTemplates();
    QApplication::processEvents();
    forms::FormsRuntime::Instance().Reset();
    runtime::ResetRuntimeState();
  }

  bool Load() { return forms::FormsRuntime::Instance().LoadWindow(form_, false, false, nullptr); }
  // Loads the window, makes it the active one and waits until it is on the screen.
  void LoadShown() {
    ASSERT_TRUE(Load());
    QWidget* window = Unit(0)->Widget();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  }
  gui::Window* Unit(uint32_t unit) {
    return forms::FormsRuntime::Instance().UnitWindow(form_, unit);
  }
  template <typename T>
  T* UnitAs(uint32_t unit) {
    return dynamic_cast<T*>(Unit(unit));
  }

  runtime::ArgCell Read(uint32_t unit, int32_t property, int32_t element = -1) {
    return forms::FormsRuntime::Instance().ReadUnitProperty(form_, unit, property, element);
  }
  void Write(uint32_t unit, int32_t property, const runtime::ArgCell& value, int32_t element = -1) {
    forms::FormsRuntime::Instance().WriteUnitProperty(form_, unit, property, element, value);
  }
  int32_t ReadInt(uint32_t unit, int32_t property, int32_t element = -1) {
    return Read(unit, property, element).As<int32_t>();
  }
  void WriteInt(uint32_t unit, int32_t property, int32_t value) {
    Write(unit, property, runtime::ArgCell::Int(value));
  }
  // Texts in UTF-8 on the test's side, GBK on the unit's.
  std::string ReadText(uint32_t unit, int32_t property, int32_t element = -1) {
    return platform::GbkToUtf8(runtime::Text::FromResult(Read(unit, property, element)).View());
  }
  void WriteText(uint32_t unit, int32_t property, const std::string& utf8) {
    runtime::Text text(platform::Utf8ToGbk(utf8));
    Write(unit, property, text.Arg());
  }
  std::vector<uint8_t> ReadBytes(uint32_t unit, int32_t property) {
    const runtime::ByteSet bytes = runtime::ByteSet::FromResult(Read(unit, property));
    return {bytes.Bytes().begin(), bytes.Bytes().end()};
  }
  void WriteBytes(uint32_t unit, int32_t property, const std::vector<uint8_t>& bytes) {
    runtime::ByteSet set(bytes);
    Write(unit, property, set.Arg());
  }

  // The pointer and the left button act through the top-level window, as the platform's
  // input does: Qt picks the widget under the point, honouring masks. Points are in the
  // unit's own coordinates.
  QWindow* TopWindow() { return Unit(0)->Widget()->window()->windowHandle(); }
  QPoint InWindow(uint32_t unit, QPoint point) {
    QWidget* widget = Unit(unit)->Widget();
    return widget->mapTo(widget->window(), point);
  }
  void MoveTo(uint32_t unit, QPoint point) { QTest::mouseMove(TopWindow(), InWindow(unit, point)); }
  void Press(uint32_t unit, QPoint point) {
    QTest::mousePress(TopWindow(), Qt::LeftButton, {}, InWindow(unit, point));
  }
  void Release(uint32_t unit, QPoint point) {
    QTest::mouseRelease(TopWindow(), Qt::LeftButton, {}, InWindow(unit, point));
  }
  void Click(uint32_t unit, QPoint point) {
    QTest::mouseClick(TopWindow(), Qt::LeftButton, {}, InWindow(unit, point));
  }

  // What the unit's widget shows now.
  QImage Grab(uint32_t unit) { return Unit(unit)->Widget()->grab().toImage(); }

  forms::FormId Form() const { return form_; }

  // The window system as the runtime sees it (message boxes); none unless a fixture sets it.
  runtime::UserInterface* ui_ = nullptr;

 private:
  const runtime::ProgramImage& image_;
  forms::FormId form_;
};

}  // namespace unit_tests
