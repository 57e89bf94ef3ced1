#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

namespace units {

// The program's own check-box pictures, 13 x 13 pixels each: unchecked, checked, and
// partly checked.
const std::vector<QImage>& BuiltInCheckPictures();

// The state pictures a tree shows: state picture 0 is never shown, so the first picture
// stands in front twice, then come the first `state_count` pictures (all of them when
// `state_count` is 0 or above what there is). Empty `pictures` takes the built-in ones.
// The states an item cycles through are 1 .. size - 1.
std::vector<QImage> BuildStatePictures(const std::vector<QImage>& pictures, int32_t state_count);

}  // namespace units
