#pragma once

#include <QString>
#include <QStringView>
#include <cstddef>

// File names made from chapter and book names, safe to write on Windows and Linux alike (an
// author copies the folder from one to the other, or onto a memory card).
namespace novel_export {

// Limits of a name's stem (what comes before its extension). Windows takes 255 UTF-16 units
// per name but Linux only 255 bytes, and a hanzi takes 3 of them in UTF-8: a stem of at most
// 100 characters and 200 bytes leaves room for any extension on both.
inline constexpr int kMostStemCharacters = 100;
inline constexpr int kMostStemBytes = 200;

// `name` made into a file name's stem:
//   - control characters become spaces; a lone surrogate is dropped;
//   - \ / : * ? " < > | become their full-width forms (＼／：＊？＂＜＞｜), which read the same
//     to a Chinese reader and are allowed everywhere;
//   - blanks at either end, dots at the start (a hidden file on Linux) and dots and blanks at
//     the end (Windows drops them) are removed;
//   - cut to `most_characters` code points and `most_bytes` UTF-8 bytes, never inside one;
//   - a name Windows keeps for a device (CON, PRN, AUX, NUL, COM0–9, LPT0–9, CONIN$, CONOUT$,
//     in any letter case, also before a dot: "con.txt") gets a "_" after the device name.
// Empty when nothing is left: the caller chooses a name then.
QString SafeFileStem(QStringView name, int most_characters = kMostStemCharacters,
                     int most_bytes = kMostStemBytes);

// The name of the file of chapter `index` (0-based) of `count`: its number from 1, padded with
// zeros to the width of `count` and at least 4 digits so that names sort in chapter order, a
// space and SafeFileStem(name) (no "_" after a device name: "0001 CON" is none), then `extension`
// (with its dot): "0001 第一章 风起.txt". The whole before the extension keeps within
// kMostStemCharacters and kMostStemBytes. A name with nothing safe left gives the number alone
// ("0007.txt"). The numbers make the names of one novel unique, also where letter case does not
// count, whatever the chapters are called. Requires: index < count.
QString NumberedFileName(size_t index, size_t count, QStringView name, QStringView extension);

}  // namespace novel_export
