// The window's state and size as the program sets and reads them, and the common method
// Move with the arguments it leaves out.
#include <gtest/gtest.h>

#include "tests/forms/input_program.h"
#include "units/base/unit_methods.h"

namespace {

using namespace input_program;
using runtime::ArgCell;

// Base properties, and the window's WindowState (class index 10 + 8).
constexpr int32_t kLeft = 0, kTop = 1, kWidth = 2, kHeight = 3, kVisible = 5;
constexpr int32_t kWindowState = 18;

using WindowGeometry = InputForm;

TEST_F(WindowGeometry, WindowStateWritesReadBack) {
  // 0 normal, 2 minimised, 3 maximised; each from every other.
  for (const int32_t state : {2, 3, 0, 3, 2, 0}) {
    WriteInt(0, kWindowState, state);
    EXPECT_EQ(ReadInt(0, kWindowState), state);
  }
  // A hidden window takes the state too, and shows in it.
  Write(0, kVisible, ArgCell::Logical(false));
  WriteInt(0, kWindowState, 3);
  EXPECT_EQ(ReadInt(0, kWindowState), 3);
  Write(0, kVisible, ArgCell::Logical(true));
  EXPECT_TRUE(Unit(0)->Widget()->isMaximized());
  Write(0, kVisible, ArgCell::Logical(false));
  WriteInt(0, kWindowState, 0);
  EXPECT_EQ(ReadInt(0, kWindowState), 0);
  Write(0, kVisible, ArgCell::Logical(true));
  EXPECT_FALSE(Unit(0)->Widget()->isMaximized());
}

TEST_F(WindowGeometry, ResizedFollowsEveryLaterChangeOfSize) {
  WriteInt(0, kWidth, ReadInt(0, kWidth) + 40);
  ASSERT_TRUE(QTest::qWaitFor([] { return Count("Resized window") == 1; }));
  units::Move(kForm, 0, std::nullopt, std::nullopt, std::nullopt, ReadInt(0, kHeight) + 30);
  ASSERT_TRUE(QTest::qWaitFor([] { return Count("Resized window") == 2; }));
  units::Move(kForm, 0, 150, 90, -1, -1);  // moved only
  ASSERT_TRUE(QTest::qWaitFor([this] { return ReadInt(0, kLeft) == 150; }));
  QApplication::processEvents();
  EXPECT_EQ(Count("Resized window"), 2);
}

TEST_F(WindowGeometry, MoveKeepsTheEdgesAndSizesLeftOutOrGivenAsMinusOne) {
  struct Step {
    std::optional<int32_t> left, top, width, height;
    int32_t want[4];  // left, top, width, height afterwards
  };
  const Step steps[] = {
      {15, std::nullopt, std::nullopt, std::nullopt, {15, 200, 200, 24}},
      {std::nullopt, 210, -1, 40, {15, 210, 200, 40}},
      {-1, std::nullopt, 150, -1, {-1, 210, 150, 40}},  // -1 is a place like any other
      {std::nullopt, std::nullopt, -1, -1, {-1, 210, 150, 40}},
  };
  for (const Step& step : steps) {
    units::Move(kForm, kLine, step.left, step.top, step.width, step.height);
    const int32_t have[4] = {ReadInt(kLine, kLeft), ReadInt(kLine, kTop), ReadInt(kLine, kWidth),
                             ReadInt(kLine, kHeight)};
    EXPECT_EQ(std::vector<int32_t>(have, have + 4), std::vector<int32_t>(step.want, step.want + 4));
  }
  // The window keeps its size when only its place is given.
  const int32_t width = ReadInt(0, kWidth), height = ReadInt(0, kHeight);
  units::Move(kForm, 0, 120, std::nullopt, -1, -1);
  EXPECT_EQ(ReadInt(0, kLeft), 120);
  EXPECT_EQ(ReadInt(0, kWidth), width);
  EXPECT_EQ(ReadInt(0, kHeight), height);
}

}  // namespace
