#pragma once

#include <QCursor>
#include <QImage>

namespace units {

// The splitter bar's own cursors: two parallel lines with an arrow pointing away from
// each, black with a white outline, the hot spot between the lines. `drag_axis`
// Qt::Horizontal gives the vertical-line-move cursor (vertical lines, arrows left and
// right) of a bar dragged left and right; Qt::Vertical the horizontal-line-move cursor of
// a bar dragged up and down.
QImage LineMoveCursorImage(Qt::Orientation drag_axis);
QCursor LineMoveCursor(Qt::Orientation drag_axis);

}  // namespace units
