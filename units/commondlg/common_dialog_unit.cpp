#include "units/commondlg/common_dialog_unit.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>
#include <QUrl>
#include <QWidget>
#include <cmath>

#include "forms/logical_font.h"
#include "platform/core/native_path.h"
#include "platform/core/program_path.h"
#include "platform/gui/gbk_qstring.h"

namespace units {

namespace {

// "desc|pattern|desc|pattern||" as Qt's name filters, "desc (pattern pattern)". A pattern
// list separates its patterns with ";"; a trailing "||" ends the list, and a description
// without its pattern is dropped.
QStringList NameFilters(const QString& filter) {
  QString text = filter;
  if (!text.endsWith("||")) text += "||";
  const QStringList parts = text.left(text.size() - 2).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
    for (QString& pattern : patterns) pattern = pattern.trimmed();
    filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(' '));
  }
  return filters;
}

// The file dialog's own checks on a chosen name, made before it may close.
class CheckedFileDialog : public QFileDialog {
 public:
  CheckedFileDialog(QWidget* parent, bool create_prompt, bool path_must_exist)
      : QFileDialog(parent), create_prompt_(create_prompt), path_must_exist_(path_must_exist) {}

  void accept() override {
    const QStringList chosen = selectedFiles();
    if (!chosen.isEmpty()) {
      const QFileInfo file(chosen.first());
      if (path_must_exist_ && !file.absoluteDir().exists()) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("路径不存在:\n%1").arg(file.absolutePath()));
        return;
      }
      if (create_prompt_ && !file.exists() &&
          QMessageBox::question(
              this, windowTitle(),
              QStringLiteral("文件不存在, 要创建它吗?\n%1").arg(file.absoluteFilePath())) !=
              QMessageBox::Yes) {
        return;
      }
    }
    QFileDialog::accept();
  }

 private:
  bool create_prompt_;
  bool path_must_exist_;
};

QString Native(const std::string& gbk_path) {
  return QString::fromStdString(platform::NativePath(gbk_path));
}

}  // namespace

CommonDialogUnit::CommonDialogUnit(const forms::CreateParams& params, CommonDialogClassData data)
    : gui::Window(new QWidget), UnitBase(params.form, params.unit), data_(std::move(data)) {
  Properties().ClampAll(data_);
  QWidget* widget = Widget();
  widget->setAttribute(Qt::WA_TransparentForMouseEvents);
  widget->setFocusPolicy(Qt::NoFocus);
  if (params.parent != nullptr) SetParentWindow(params.parent);
  SetRect(params.rect);
  Show(gui::ShowMode::kHide);
}

QWidget* CommonDialogUnit::DialogParent() const {
  return Widget() == nullptr ? nullptr : Widget()->window();
}

bool CommonDialogUnit::Open() {
  switch (data_.dialog_type) {
    case CommonDialogClassData::kOpenFile:
    case CommonDialogClassData::kSaveFile:
      return OpenFileDialog();
    case CommonDialogClassData::kFont:
      return OpenFontDialog();
    default:
      return OpenHelp();
  }
}

bool CommonDialogUnit::OpenFileDialog() {
  const bool save = data_.dialog_type == CommonDialogClassData::kSaveFile;
  CheckedFileDialog dialog(DialogParent(), data_.create_prompt, data_.path_must_exist);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(!save && data_.file_must_exist ? QFileDialog::ExistingFile
                                                    : QFileDialog::AnyFile);
  if (save && !data_.overwrite_prompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);

  if (!data_.filter.empty()) {
    const QStringList filters = NameFilters(gui::QStringOfGbk(data_.filter));
    if (!filters.isEmpty()) {
      dialog.setNameFilters(filters);
      if (data_.filter_index < filters.size()) dialog.selectNameFilter(filters[data_.filter_index]);
    }
  }
  if (!data_.title.empty()) dialog.setWindowTitle(gui::QStringOfGbk(data_.title));
  if (!data_.initial_dir.empty()) dialog.setDirectory(Native(data_.initial_dir));
  if (!data_.default_ext.empty()) {
    QString suffix = gui::QStringOfGbk(data_.default_ext);
    while (suffix.startsWith('.')) suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
  }
  if (!data_.file_name.empty()) dialog.selectFile(Native(data_.file_name));

  if (dialog.exec() != QDialog::Accepted) return false;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return false;
  data_.file_name = platform::GbkPath(QFileInfo(chosen.first()).absoluteFilePath().toStdString());
  return true;
}

bool CommonDialogUnit::OpenFontDialog() {
  forms::LogicalFont initial = forms::LogicalFont::Default();
  if (!data_.font_name.empty()) initial.face = data_.font_name;
  if (data_.font_size > 0) initial.SetPoints(data_.font_size);
  initial.weight = data_.font_bold ? 700 : 400;
  initial.italic = data_.font_italic ? 1 : 0;
  initial.underline = data_.font_underline ? 1 : 0;
  initial.strike_out = data_.font_strike_out ? 1 : 0;

  QFontDialog dialog(initial.ToQFont(), DialogParent());
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted) return false;

  const QFont chosen = dialog.selectedFont();
  forms::LogicalFont result;
  if (chosen.pixelSize() > 0) {
    result.height = -chosen.pixelSize();
  } else {
    result.height = -static_cast<int32_t>(
        std::lround(chosen.pointSizeF() * forms::ScreenPixelsPerInch() / 72.0));
  }
  data_.font_size = result.Points();
  data_.font_name = gui::GbkOfQString(chosen.family());
  data_.font_bold = chosen.weight() >= QFont::Bold;
  data_.font_italic = chosen.italic();
  data_.font_underline = chosen.underline();
  data_.font_strike_out = chosen.strikeOut();
  return true;
}

bool CommonDialogUnit::OpenHelp() {
  if (Widget() == nullptr || DialogParent() == nullptr) return false;
  // Help on using help and closing the viewer need no file; the desktop has neither a
  // help-on-help page nor a viewer this unit could close, so both only succeed.
  if (data_.help_command >= 4) return true;
  std::string file = data_.help_file;
  if (file.empty()) {
    file = platform::ProgramFilePath();
    const size_t separator = file.find_last_of('\\');
    const size_t dot = file.find_last_of('.');
    if (dot != std::string::npos && (separator == std::string::npos || dot > separator)) {
      file.resize(dot);
    }
    file += ".hlp";
  }
  const QString path = Native(file);
  if (!QFileInfo(path).isFile()) return false;
  // Topics cannot be addressed through the desktop's handler: every command shows the file.
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

int64_t CommonDialogUnit::WindowProc(gui::Message& message) {
  if (!HandleCommonMessage(*this, message)) return 0;
  return DefaultProc(message);
}

}  // namespace units
