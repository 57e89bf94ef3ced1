#pragma once

#include <QDialog>
#include <functional>

#include "publishing/publishing_settings.h"

class QCheckBox;
class QComboBox;
class QRadioButton;
class QSpinBox;

namespace publishing {

// "排版与发布设置": the layout's switches, the count the daily target uses, the shortest chapter
// a copy for publishing lets pass without a warning, and the name as the first line. Its
// controls carry object names (the tests find them by these): "indent", "blank_lines_remove",
// "blank_lines_one", "full_width_punctuation", "ellipsis", "dash", "count_rule",
// "minimum_characters", "name_as_first_line", "edit_avoid_words", and the "ok" and "cancel"
// buttons.
class SettingsWindow : public QDialog {
 public:
  // `edit_avoid_words` opens the author's list of words to avoid (the button's click).
  SettingsWindow(const PublishingSettings& settings, std::function<void()> edit_avoid_words,
                 QWidget* parent);

  // The settings as the controls show them.
  PublishingSettings Chosen() const;

 private:
  QCheckBox* indent_;
  QRadioButton* blank_lines_remove_;
  QRadioButton* blank_lines_one_;
  QCheckBox* full_width_punctuation_;
  QCheckBox* ellipsis_;
  QCheckBox* dash_;
  QComboBox* count_rule_;
  QSpinBox* minimum_characters_;
  QCheckBox* name_as_first_line_;
};

}  // namespace publishing
