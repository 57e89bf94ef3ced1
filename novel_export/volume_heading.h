#pragma once

#include <QStringView>

// Which chapters start a volume. Serialised novels are long and are split into volumes by
// authors who keep a chapter named for each volume in their chapter list ("第一卷 少年游"); an
// e-book's table of contents then shows the volume's chapters under it.
namespace novel_export {

// True when a chapter named `name` starts a volume. After any leading blanks the name starts
// with "第" + numeral + "卷" or with "卷" + numeral, where a numeral is a run of digits (ASCII
// or full-width) or Chinese numerals (〇零一二三四五六七八九十百千万两, and the financial forms
// 壹贰叁肆伍陆柒捌玖拾佰仟); whatever follows is the volume's title, with or without a blank:
// "第一卷 风起", "第12卷：少年", "卷三　天下", "第二卷".
// Not a volume:
//   - a name that numbers a chapter (第…章, 节, 回 or 话) after the volume ("第一卷 第三章 夜雨",
//     "第二卷第5节"): some authors name every chapter with its volume, and that is a chapter of
//     the volume;
//   - "卷" in other words ("卷首语", "画卷", "第一章 卷土重来") or without a numeral ("上卷").
bool IsVolumeHeading(QStringView name);

}  // namespace novel_export
