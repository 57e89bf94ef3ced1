#pragma once

namespace gui {

// The program speaks Chinese, and so do Qt's own parts of it (the font and colour dialogs, a
// message box's buttons): Qt's simplified-Chinese translations are installed into the running
// application, taken from a "translations" folder beside the program (a Windows folder ships
// them there) or else from where this Qt keeps its own. False when neither has them: Qt's
// parts then speak English.
bool UseQtChineseTranslations();

}  // namespace gui
