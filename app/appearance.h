#pragma once

#include <string>
#include <string_view>

namespace app {

// The look of the text box, chosen in the settings group: none of it is kept beyond the run.
void ApplyBackColor();  // from 颜色选择器1
void ApplyTextColor();  // from 颜色选择器2
// Opens the font dialog and copies its results into the text box's font member by member:
// face, size, strikeout, underline, bold. Italic is not copied. The results are copied even
// when the author cancelled (they are then the dialog's earlier ones).
void ChooseFont();

// Opens the search page with the words of 编辑框1: the address with the words appended,
// encoded as a search form sends them (EncodeSearchWords); the address is left as it is.
void SearchTheWeb();
// Every byte of the GBK words but letters, digits and "-_.~" as %XX (a space as %20).
std::string EncodeSearchWords(std::string_view gbk_words);
void OpenForum();

}  // namespace app
