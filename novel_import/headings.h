#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringView>
#include <optional>

// Which lines of an imported novel start a chapter.
//
// A heading is always a whole line, looked at trimmed of its blanks at both ends (spaces, tabs,
// U+3000 and the other Unicode spaces); its trimmed text becomes the chapter's name. The
// built-in rules (IsBuiltInHeading) take a line as a heading when:
//
//   1. it is at most kLongestHeading characters (UTF-16 units) long;
//   2. it does not end with sentence or clause punctuation: 。，、；：… and . , ; :
//      ("他读到第三章的时候睡着了。" is text);
//   3. perhaps after an opening bracket 【 〖 [ ［ 〔 and perhaps after "正文" and a blank (as
//      the TXT files of reading sites have it), it starts with one of these forms, where N is a
//      number in Arabic or full-width digits or in Chinese numerals (零〇一二两三四五六七八九十
//      百千万亿, 壹贰叁肆伍陆柒捌玖拾佰仟萬 and their traditional forms), at most 12 long:
//        第 N 章 | 第 N 节 | 第 N 回 | 第 N 卷 | 第 N 部   blanks allowed inside ("第 12 章");
//        卷 N                                            a volume ("卷一 风起");
//        Chapter N                                       any letter case, N in digits;
//        序 序章 序言 序幕 楔子 引子 引言 前言 尾声 终章 后记 完本感言 完结感言 上架感言;
//        番外                                            followed by anything ("番外一 …");
//   4. what follows the form is the end of the line or a separator (a blank, one of
//      ：:、.．·・-—–_,， or a bracket or quotation mark); or, after a 第 N … or 卷 N form only,
//      a title written on without a separator ("第一章风起", as many authors write it) —
//      unless the line ends with ！？!?, where a separator is needed: "第八十章 打脸！" is a
//      heading, "第三章你看了吗？" a question in the text. Chapter N and the words in (3) need
//      the separator or the end: "前言不搭后语" is text.
//
// A volume heading ("第一卷 风起", "卷一") is a heading like any other: the volume becomes a
// chapter of its own.

namespace novel_import {

inline constexpr qsizetype kLongestHeading = 40;

// `line` without the blanks at both ends.
QStringView TrimmedLine(QStringView line);

// Whether `trimmed` (a line TrimmedLine gave) is a heading by the rules above.
bool IsBuiltInHeading(QStringView trimmed);

// The rules an import splits by: the built-in ones, and the author's own pattern when given.
// Copies share the compiled pattern: use one on one thread at a time.
class HeadingRules {
 public:
  // The built-in rules alone.
  HeadingRules() = default;

  // The built-in rules together with the author's pattern: a line is a heading when either
  // takes it. The pattern is a regular expression (Unicode properties on) that must match the
  // whole trimmed line, of any length and ending; "^" and "$" may be written or left out. An
  // empty pattern gives the built-in rules alone. nullopt, with the reason in Chinese in *error
  // (when not null), for a pattern that does not compile: "标题格式有误：<the engine's
  // message>（第 N 个字符）", N counting characters from 1 in the pattern.
  static std::optional<HeadingRules> Make(const QString& own_pattern, QString* error);

  // Whether `line` (one line, without its line break) is a heading. A blank line never is.
  bool IsHeading(QStringView line) const;

 private:
  explicit HeadingRules(QRegularExpression own) : own_(std::move(own)), has_own_(true) {}

  QRegularExpression own_;  // the author's pattern, anchored at both ends
  bool has_own_ = false;
};

}  // namespace novel_import
