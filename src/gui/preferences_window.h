#pragma once
// The preferences window: the data and MAME folders, the list font and colours, the sort key and
// the start, availability and backup options. Every edit takes effect in the settings at once;
// the file is written by "Save As" or by the Yes answer when the window is closed with "Close"
// or Escape after changes, which also asks the main window to rebuild its tree and list. The
// title bar's close box closes without a question and without the rebuild.

#include "app/preference_edit.h"
#include "host/host.h"
#include "settings/settings.h"

#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace orvel::gui {

// The font and colour dialogs; tests replace them. Empty results mean cancelled.
struct PreferenceChoosers {
    std::function<std::optional<QFont>(const QFont& initial, QWidget* parent)> font;
    std::function<std::optional<QColor>(const QColor& initial, const QString& title,
                                        QWidget* parent)>
        colour;
};
// Qt's own font and colour dialogs.
PreferenceChoosers qt_choosers();

class PreferencesWindow : public QDialog {
    Q_OBJECT
  public:
    PreferencesWindow(Settings& settings, Host& host, QWidget* parent,
                      PreferenceChoosers choosers = qt_choosers());

    // True after "Close" or Escape with changes made: the tree and the list are to be rebuilt.
    bool rebuild_needed() const { return rebuild_needed_; }
    bool changes_made() const { return edit_.changes_made(); }

    QLineEdit* data_path() const { return data_path_; }
    QLineEdit* mame_path() const { return mame_path_; }
    QLineEdit* example() const { return example_; }
    QComboBox* sort() const { return sort_; }
    QCheckBox* start_maximised() const { return start_maximised_; }
    QCheckBox* check_availability() const { return check_availability_; }
    QCheckBox* backup_database() const { return backup_database_; }
    // "Set" (data), "Set" (MAME), "Font", "Text", "Back", "Load", "Save As", "Defaults", "Close".
    QPushButton* button(const QString& name) const;

    void close_with_question();
    void save_as();
    void load();
    void restore_defaults();

  protected:
    // The close box: closes without a question.
    void reject() override;

  private:
    void show_settings();
    void show_example();
    void choose_folder(QLineEdit* field, const char* key);
    void choose_colour(const char* key, std::int64_t stored, const QString& title);
    void choose_font();

    const Settings& settings_;
    PreferenceEdit edit_;
    Host& host_;
    PreferenceChoosers choosers_;
    bool rebuild_needed_ = false;
    QLineEdit* data_path_;
    QLineEdit* mame_path_;
    QLineEdit* example_;
    QComboBox* sort_;
    QCheckBox* start_maximised_;
    QCheckBox* check_availability_;
    QCheckBox* backup_database_;
    std::vector<QPushButton*> buttons_;
};

} // namespace orvel::gui
