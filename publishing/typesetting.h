#pragma once

#include <string>
#include <string_view>

// One-key layout of a chapter the way the web platforms show text: one paragraph a line,
// indented with two full-width spaces, full-width punctuation in Chinese sentences, and the
// ellipsis and dash of Chinese typesetting ("……", "——"). The author's words are never touched:
// only blanks, line breaks and the punctuation named below change.

namespace publishing {

enum class BlankLines { kRemove, kOneBetweenParagraphs };

struct TypesettingSettings {
  bool indent = true;  // every paragraph starts with two U+3000
  BlankLines blank_lines = BlankLines::kRemove;
  bool full_width_punctuation = true;  // , . ? ! : ; ( ) " ' in Chinese sentences
  bool ellipsis = true;                // "...", "。。。", a lone "…" become "……"
  bool dash = true;                    // "--", a lone "—" become "——"
};

// `text` laid out. Idempotent: a text it returns comes back byte for byte. Linear in the length.
//
// Lines and blanks (always, whatever the settings):
//  - Breaks are "\r\n", "\n", "\r", U+2028 and U+2029; the result breaks lines with "\n" and
//    does not end in a break.
//  - Blanks are those of IsBlank (character_classes.h). A line holding anything else is a
//    paragraph; its blanks at both ends are removed, those inside stay. With `indent` two U+3000
//    are put in front.
//  - Lines of blanks only are dropped (kRemove), or exactly one empty line stands between two
//    paragraphs however many (none included) stood there (kOneBetweenParagraphs). The result
//    never starts or ends with an empty line; a text of blanks only gives "".
//
// Context, judged inside one paragraph, left to right over the text already laid out (so a mark
// that was just made full-width makes the next one Chinese too):
//  - "before" is the nearest character before that is neither a blank nor a single quote
//    (' ‘ ’). It is Chinese when it is an ideograph (IsIdeograph), or Chinese punctuation
//    (IsChinesePunctuation, “ ” included) in a paragraph that holds an ideograph. So a paragraph
//    without any ideograph keeps its marks, quotes and dashes.
//  - "after" is the nearest character after that is neither a blank nor a quote (' " ‘ ’ “ ”).
//
// With full_width_punctuation:
//  - , . ? ! : ; become ，。？！：；when "before" is Chinese and the character right after the
//    mark is not an ASCII letter or digit ("3.14", "Mr. Smith", "他有3.5元", "www.a.com" stay).
//  - "(" becomes "（" by that rule or when "after" is an ideograph. ")" follows the bracket it
//    closes: "）" after "（", ")" after "("; a ")" that closes nothing follows the rule above.
//  - Straight double quotes: in a paragraph that holds an ideograph and an even number of them,
//    they become “ and ” in turn; otherwise all stay.
//  - Straight single quotes that touch (right before or after, blanks not skipped) an ideograph
//    or Chinese punctuation other than quotes, in a paragraph that holds an ideograph: when they
//    are an even number, they become ‘ and ’ in turn; otherwise all stay. Other single quotes
//    (the apostrophe of "don't") always stay.
// With ellipsis (a run is a maximal stretch of the characters named):
//  - A run of three or more of "." and "。" that holds a "。" becomes "……".
//  - A run of three or more "." and a lone "…" become "……" when "before" is Chinese, "after" is
//    an ideograph, or neither "before" nor "after" is an ASCII letter or digit (a paragraph of
//    "..." alone is an ellipsis; "Wait..." stays).
//  - A run of three or more of "." and "。" that is not made an ellipsis stays as it is, with
//    or without the setting: its dots never become "。。。". Runs of two or more "…" ("……",
//    "…………") stay.
// With dash:
//  - A run of two or more "-" and a lone "—" become "——" when "before" is Chinese or "after" is
//    an ideograph ("--help", "a--b" stay). A single "-" and longer runs of "—" stay.
std::u16string Typeset(std::u16string_view text, const TypesettingSettings& settings);

}  // namespace publishing
