#include "publishing/window/settings_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace publishing {

namespace {

constexpr CountRule kRules[] = {CountRule::kDesk, CountRule::kChinese, CountRule::kWithoutBlanks,
                                CountRule::kWithoutPunctuation};

template <typename Control>
Control* Named(Control* control, const char* name) {
  control->setObjectName(QString::fromLatin1(name));
  return control;
}

QString FromUtf16(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

SettingsWindow::SettingsWindow(const PublishingSettings& settings,
                               std::function<void()> edit_avoid_words, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("publishing_settings"));
  setWindowTitle(QStringLiteral("排版与发布设置"));
  const TypesettingSettings& typesetting = settings.typesetting;

  auto* layout_group = new QGroupBox(QStringLiteral("一键排版"), this);
  auto* layout_column = new QVBoxLayout(layout_group);
  indent_ = Named(new QCheckBox(QStringLiteral("段首空两格（全角空格）"), layout_group), "indent");
  blank_lines_remove_ =
      Named(new QRadioButton(QStringLiteral("删除空行"), layout_group), "blank_lines_remove");
  blank_lines_one_ = Named(new QRadioButton(QStringLiteral("段与段之间保留一个空行"), layout_group),
                           "blank_lines_one");
  full_width_punctuation_ =
      Named(new QCheckBox(QStringLiteral("中文之间的半角标点改为全角（，。？！：；“”‘’（））"),
                          layout_group),
            "full_width_punctuation");
  ellipsis_ =
      Named(new QCheckBox(QStringLiteral("“...”和“。。。”改为“……”"), layout_group), "ellipsis");
  dash_ = Named(new QCheckBox(QStringLiteral("“--”改为“——”"), layout_group), "dash");
  for (QWidget* control :
       std::initializer_list<QWidget*>{indent_, blank_lines_remove_, blank_lines_one_,
                                       full_width_punctuation_, ellipsis_, dash_}) {
    layout_column->addWidget(control);
  }
  indent_->setChecked(typesetting.indent);
  (typesetting.blank_lines == BlankLines::kRemove ? blank_lines_remove_ : blank_lines_one_)
      ->setChecked(true);
  full_width_punctuation_->setChecked(typesetting.full_width_punctuation);
  ellipsis_->setChecked(typesetting.ellipsis);
  dash_->setChecked(typesetting.dash);

  auto* figures = new QFormLayout;
  count_rule_ = Named(new QComboBox(this), "count_rule");
  for (const CountRule rule : kRules) {
    count_rule_->addItem(FromUtf16(CountRuleName(rule)));
    if (rule == settings.count_rule) count_rule_->setCurrentIndex(count_rule_->count() - 1);
  }
  figures->addRow(QStringLiteral("每日目标和写作记录按"), count_rule_);
  minimum_characters_ = Named(new QSpinBox(this), "minimum_characters");
  minimum_characters_->setRange(0, 1'000'000);
  minimum_characters_->setSingleStep(500);
  minimum_characters_->setSpecialValueText(QStringLiteral("不检查"));
  minimum_characters_->setSuffix(QStringLiteral(" 字"));
  minimum_characters_->setValue(static_cast<int>(settings.minimum_characters));
  figures->addRow(QStringLiteral("发布时章节至少"), minimum_characters_);
  name_as_first_line_ =
      Named(new QCheckBox(QStringLiteral("复制为发布格式时，章节名作为第一行"), this),
            "name_as_first_line");
  name_as_first_line_->setChecked(settings.name_as_first_line);
  auto* avoid_words =
      Named(new QPushButton(QStringLiteral("编辑避免使用的词…"), this), "edit_avoid_words");
  connect(avoid_words, &QPushButton::clicked, this, [edit_avoid_words] { edit_avoid_words(); });

  auto* buttons = new QDialogButtonBox(this);
  Named(buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole), "ok");
  Named(buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole), "cancel");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* column = new QVBoxLayout(this);
  column->addWidget(layout_group);
  column->addLayout(figures);
  column->addWidget(name_as_first_line_);
  column->addWidget(avoid_words, 0, Qt::AlignLeft);
  column->addWidget(buttons);
}

PublishingSettings SettingsWindow::Chosen() const {
  PublishingSettings settings;
  settings.typesetting.indent = indent_->isChecked();
  settings.typesetting.blank_lines =
      blank_lines_one_->isChecked() ? BlankLines::kOneBetweenParagraphs : BlankLines::kRemove;
  settings.typesetting.full_width_punctuation = full_width_punctuation_->isChecked();
  settings.typesetting.ellipsis = ellipsis_->isChecked();
  settings.typesetting.dash = dash_->isChecked();
  settings.count_rule = kRules[std::clamp(count_rule_->currentIndex(), 0, 3)];
  settings.minimum_characters = minimum_characters_->value();
  settings.name_as_first_line = name_as_first_line_->isChecked();
  return settings;
}

}  // namespace publishing
