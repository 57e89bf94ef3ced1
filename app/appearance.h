#pragma once

namespace app {

// The look of the text box, chosen in the settings group: none of it is kept beyond the run.
void ApplyBackColor();  // from 颜色选择器1
void ApplyTextColor();  // from 颜色选择器2
// Opens the font dialog and copies its results into the text box's font member by member:
// face, size, strikeout, underline, bold. Italic is not copied. The results are copied even
// when the author cancelled (they are then the dialog's earlier ones).
void ChooseFont();

// Opens the search page with the words of 编辑框1: the address with the words appended,
// the words' GBK bytes sent as a browser sends them (percent-encoded).
void SearchTheWeb();
void OpenForum();

}  // namespace app
