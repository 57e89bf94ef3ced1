#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "publishing/count_rule.h"
#include "publishing/typesetting.h"

// The author's choices for laying out, counting and copying out chapters, kept in a small text
// file of its own beside the chapters (one "key=value" line each, UTF-8):
//
//   indent=1                    two full-width spaces before every paragraph
//   blank-lines=remove          or "one-between"
//   full-width-punctuation=1
//   ellipsis=1
//   dash=1
//   count-rule=desk             the count the daily target and the writing history use
//   minimum-characters=0        a chapter copied out shorter than this is warned about (0: never)
//   name-as-first-line=1        the chapter's name goes first when copied out
//
// Unknown keys and values that do not read are passed over (their defaults stay), so a file
// written by a later desk, or edited by hand, never stops this one.
namespace publishing {

struct PublishingSettings {
  TypesettingSettings typesetting;
  CountRule count_rule = CountRule::kDesk;
  int64_t minimum_characters = 0;
  bool name_as_first_line = true;
};

PublishingSettings ParsePublishingSettings(std::string_view file_text);
std::string FormatPublishingSettings(const PublishingSettings& settings);

}  // namespace publishing
