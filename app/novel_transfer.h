#pragma once

// A novel in and out of the desk: "导入小说…" (a TXT file split into chapters after a preview,
// appended after the last chapter) and "导出小说…" (one TXT file, a TXT file per chapter, or an
// EPUB book; written through temporary files renamed into place).
#include <QString>
#include <functional>

namespace app {

void ImportNovel();
void ExportNovel();

// The file an import reads, as the author picks it (empty: none). Qt's own file dialog unless a
// test puts a chooser in its place (the dialog lists its folder on another thread, which a
// test's keys race with); nullptr brings the dialog back.
using ImportFileChooser = std::function<QString()>;
void UseImportFileChooser(ImportFileChooser chooser);

}  // namespace app
