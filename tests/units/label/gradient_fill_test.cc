// GradientFill on its own: where each mode starts and ends, and which tiles it computes.
#include "units/label/gradient_fill.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <vector>

namespace {

const QColor kRed(255, 0, 0), kGreen(0, 255, 0), kBlue(0, 0, 255);
const std::vector<QColor> kTwo = {kRed, kBlue};
const std::vector<QColor> kThree = {kRed, kGreen, kBlue};

TEST(GradientFill, EachModeStartsAtItsEdgeOrCorner) {
  const QRect rect(10, 20, 100, 60);
  const QPoint top_left(10, 20), top_right(109, 20), bottom_left(10, 79), bottom_right(109, 79);
  const struct {
    int32_t mode;
    QPoint start;
    QPoint also_start;  // another point at position 0
    QPoint end;         // the far end of a straight gradient, or the opposite corner
  } cases[] = {
      {1, top_left, top_right, bottom_left},     {2, top_left, bottom_left, top_right},
      {5, bottom_left, bottom_right, top_left},  {6, top_right, bottom_right, top_left},
      {3, top_left, top_left, bottom_right},     {4, top_right, top_right, bottom_left},
      {7, bottom_right, bottom_right, top_left}, {8, bottom_left, bottom_left, top_right},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(units::GradientColorAt(rect, c.mode, kTwo, c.start), kRed) << "mode " << c.mode;
    EXPECT_EQ(units::GradientColorAt(rect, c.mode, kTwo, c.also_start), kRed) << "mode " << c.mode;
    EXPECT_EQ(units::GradientColorAt(rect, c.mode, kTwo, c.end), kBlue) << "mode " << c.mode;
  }
}

TEST(GradientFill, ColoursAreSpreadEvenlyAndInterpolatedPerChannel) {
  const QRect rect(0, 0, 1, 101);  // positions 0..100
  EXPECT_EQ(units::GradientColorAt(rect, 1, kThree, {0, 0}), kRed);
  EXPECT_EQ(units::GradientColorAt(rect, 1, kThree, {0, 50}), kGreen);
  EXPECT_EQ(units::GradientColorAt(rect, 1, kThree, {0, 100}), kBlue);
  const QColor quarter = units::GradientColorAt(rect, 1, kThree, {0, 25});
  EXPECT_NEAR(quarter.red(), 127, 1);
  EXPECT_NEAR(quarter.green(), 127, 1);
  EXPECT_EQ(quarter.blue(), 0);
  // Corner modes: the span is twice the shorter side, beyond it the last colour.
  const QRect wide(0, 0, 200, 10);
  EXPECT_EQ(units::GradientColorAt(wide, 3, kTwo, {150, 9}), kBlue);
}

TEST(GradientFill, AnythingButTwoOrThreeColoursOrModesOneToEightPaintsNothing) {
  QImage image(60, 60, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  const QRect rect = image.rect();
  EXPECT_EQ(units::GradientFill(painter, rect, 1, std::vector<QColor>{kRed}, rect), 0);
  EXPECT_EQ(
      units::GradientFill(painter, rect, 1, std::vector<QColor>{kRed, kRed, kRed, kRed}, rect), 0);
  EXPECT_EQ(units::GradientFill(painter, rect, 0, kTwo, rect), 0);
  EXPECT_EQ(units::GradientFill(painter, rect, 9, kTwo, rect), 0);
  painter.end();
  EXPECT_EQ(image.pixel(30, 30), qRgb(255, 255, 255));
}

TEST(GradientFill, OnlyTilesThatMeetTheExposedAreaAreComputed) {
  QImage image(120, 60, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  const QRect rect = image.rect();
  EXPECT_EQ(units::GradientFill(painter, rect, 2, kTwo, rect), 6);  // 3 x 2 tiles of 50
  image.fill(Qt::white);
  EXPECT_EQ(units::GradientFill(painter, rect, 2, kTwo, QRect(60, 10, 5, 5)), 1);
  painter.end();
  EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));    // not computed
  EXPECT_NE(image.pixel(62, 12), qRgb(255, 255, 255));  // the exposed tile
  EXPECT_NE(image.pixel(99, 49), qRgb(255, 255, 255));  // the same tile, to its corner
  EXPECT_EQ(image.pixel(100, 12), qRgb(255, 255, 255));
}

TEST(GradientFill, TilesJoinWithoutSeams) {
  QImage image(120, 60, QImage::Format_RGB32);
  QPainter painter(&image);
  units::GradientFill(painter, image.rect(), 3, kThree, image.rect());
  painter.end();
  for (const QPoint point : {QPoint(49, 10), QPoint(50, 10), QPoint(99, 55), QPoint(100, 55)}) {
    EXPECT_EQ(QColor::fromRgb(image.pixel(point)),
              units::GradientColorAt(image.rect(), 3, kThree, point));
  }
}

}  // namespace
