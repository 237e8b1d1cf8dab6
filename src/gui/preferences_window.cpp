#include "gui/preferences_window.h"

#include "filters/filter_pass.h"
#include "gui/list_look.h"
#include "gui/qt_text.h"
#include "platform/files.h"
#include "settings/preferences.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace orvel::gui {

PreferenceChoosers qt_choosers() {
    PreferenceChoosers choosers;
    choosers.font = [](const QFont& initial, QWidget* parent) -> std::optional<QFont> {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, initial, parent, QStringLiteral("Font"));
        if (!ok) return std::nullopt;
        return font;
    };
    choosers.colour = [](const QColor& initial, const QString& title,
                         QWidget* parent) -> std::optional<QColor> {
        const QColor colour = QColorDialog::getColor(initial, parent, title);
        if (!colour.isValid()) return std::nullopt;
        return colour;
    };
    return choosers;
}

namespace {

QGroupBox* frame(const char* caption, QWidget* parent) {
    auto* box = new QGroupBox(QString::fromLatin1(caption), parent);
    box->setAlignment(Qt::AlignHCenter);
    return box;
}

const char* const prefs_filter = "Preferences (*.prefs)|*.prefs";

// Why a file could not be written into its folder, in a sentence.
std::string save_failure_reason(const std::string& path) {
    const std::string folder = folder_of(path);
    if (!folder_exists(folder)) return "The folder " + folder + " does not exist.";
    if (!QFileInfo(qs(folder)).isWritable()) return "The folder " + folder + " cannot be written.";
    return "The file could not be written.";
}

} // namespace

PreferencesWindow::PreferencesWindow(Settings& settings, Host& host, QWidget* parent,
                                     PreferenceChoosers choosers)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      settings_(settings), host_(host), choosers_(std::move(choosers)),
      opened_mame_path_(settings.MAME_Path), opened_data_path_(settings.ORVEL_Data),
      data_path_(new QLineEdit(this)), mame_path_(new QLineEdit(this)),
      example_(new QLineEdit(QStringLiteral("List Example..."), this)), sort_(new QComboBox(this)),
      start_maximised_(new QCheckBox(QStringLiteral("Start Maximized"))),
      check_availability_(new QCheckBox(QStringLiteral("Check Availability On Load"))),
      backup_database_(new QCheckBox(QStringLiteral("Backup Database"))) {
    setWindowTitle(QStringLiteral("Preferences"));
    setModal(true);

    auto make_button = [this](const char* text, const char* name, const char* tip = nullptr) {
        auto* button = new QPushButton(QString::fromLatin1(text), this);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        if (tip) button->setToolTip(QString::fromLatin1(tip));
        buttons_.push_back(button);
        return button;
    };

    auto* paths = frame("Paths", this);
    auto* paths_grid = new QGridLayout(paths);
    paths_grid->addWidget(new QLabel(QStringLiteral("ORVEL Database Path")), 0, 0, 1, 2);
    paths_grid->addWidget(data_path_, 1, 0);
    QPushButton* set_data = make_button("Set", "Set Data");
    paths_grid->addWidget(set_data, 1, 1);
    paths_grid->addWidget(new QLabel(QStringLiteral("MAME Path")), 2, 0, 1, 2);
    paths_grid->addWidget(mame_path_, 3, 0);
    QPushButton* set_mame = make_button("Set", "Set MAME");
    paths_grid->addWidget(set_mame, 3, 1);
    data_path_->setMinimumWidth(256);
    for (QPushButton* button : {set_data, set_mame})
        button->setFixedWidth(std::max(32, button->sizeHint().height() * 3 / 2));

    auto* font_box = frame("Font Settings", this);
    auto* font_grid = new QGridLayout(font_box);
    example_->setReadOnly(true);
    example_->setFocusPolicy(Qt::NoFocus);
    font_grid->addWidget(example_, 0, 0, 1, 3);
    font_grid->addWidget(make_button("Font", "Font", "Font Type & Size"), 1, 0);
    font_grid->addWidget(make_button("Text", "Text", "Text Colour"), 1, 1);
    font_grid->addWidget(make_button("Back", "Back", "Background Colour"), 1, 2);

    auto* window_box = frame("Window Settings", this);
    auto* window_layout = new QVBoxLayout(window_box);
    window_layout->addWidget(new QLabel(QStringLiteral("Sort List By")));
    sort_->addItems({QStringLiteral("Full Name"), QStringLiteral("Driver Name"),
                     QStringLiteral("Last Played")});
    window_layout->addWidget(sort_);
    window_layout->addWidget(start_maximised_);

    auto* misc = frame("Misc. Settings", this);
    auto* misc_layout = new QHBoxLayout(misc);
    misc_layout->addWidget(check_availability_);
    misc_layout->addWidget(backup_database_);

    auto* button_row = new QHBoxLayout;
    for (const char* name : {"Load", "Save As", "Defaults", "Close"})
        button_row->addWidget(make_button(name, name));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setSpacing(8);
    grid->addWidget(paths, 0, 0, 1, 2);
    grid->addWidget(font_box, 1, 0);
    grid->addWidget(window_box, 1, 1);
    grid->addWidget(misc, 2, 0, 1, 2);
    grid->addLayout(button_row, 3, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumSize(328, 296);

    show_settings();

    connect(data_path_, &QLineEdit::textEdited, this, [this](const QString& text) {
        settings_.ORVEL_Data = to_std(text);
        mark_changed();
    });
    connect(mame_path_, &QLineEdit::textEdited, this, [this](const QString& text) {
        settings_.MAME_Path = to_std(text);
        mark_changed();
    });
    connect(sort_, &QComboBox::activated, this, [this](int index) {
        settings_.ORVEL_Sort_Type = index;
        mark_changed();
    });
    connect(start_maximised_, &QCheckBox::clicked, this, [this](bool on) {
        settings_.ORVEL_Win_Max = on ? 1 : 0;
        settings_.window_maximised = on;
        mark_changed();
    });
    connect(check_availability_, &QCheckBox::clicked, this, [this](bool on) {
        settings_.ORVEL_Check_Avail = on ? 1 : 0;
        mark_changed();
    });
    connect(backup_database_, &QCheckBox::clicked, this, [this](bool on) {
        settings_.ORVEL_DB_Backup = on ? 1 : 0;
        mark_changed();
    });
    connect(set_data, &QPushButton::clicked, this, [this] { choose_folder(data_path_); });
    connect(set_mame, &QPushButton::clicked, this, [this] { choose_folder(mame_path_); });
    connect(button(QStringLiteral("Font")), &QPushButton::clicked, this,
            &PreferencesWindow::choose_font);
    connect(button(QStringLiteral("Text")), &QPushButton::clicked, this,
            [this] { choose_colour(&Settings::ORVEL_Font_Colour, QStringLiteral("Text Colour")); });
    connect(button(QStringLiteral("Back")), &QPushButton::clicked, this, [this] {
        choose_colour(&Settings::ORVEL_Back_Colour, QStringLiteral("Background Colour"));
    });
    connect(button(QStringLiteral("Load")), &QPushButton::clicked, this, &PreferencesWindow::load);
    connect(button(QStringLiteral("Save As")), &QPushButton::clicked, this,
            &PreferencesWindow::save_as);
    connect(button(QStringLiteral("Defaults")), &QPushButton::clicked, this,
            &PreferencesWindow::restore_defaults);
    connect(button(QStringLiteral("Close")), &QPushButton::clicked, this,
            &PreferencesWindow::close_with_question);
    // Escape is the "Close" button, not the close box.
    auto* close_item = new QAction(QStringLiteral("Close"), this);
    close_item->setShortcut(QKeySequence(Qt::Key_Escape));
    close_item->setShortcutContext(Qt::WindowShortcut);
    connect(close_item, &QAction::triggered, this, &PreferencesWindow::close_with_question);
    addAction(close_item);
}

QPushButton* PreferencesWindow::button(const QString& name) const {
    for (QPushButton* b : buttons_)
        if (b->objectName() == name) return b;
    return nullptr;
}

void PreferencesWindow::show_settings() {
    data_path_->setText(qs(settings_.ORVEL_Data));
    mame_path_->setText(qs(settings_.MAME_Path));
    sort_->setCurrentIndex(static_cast<int>(sort_type_of(settings_.ORVEL_Sort_Type)));
    start_maximised_->setChecked(settings_.ORVEL_Win_Max != 0);
    check_availability_->setChecked(settings_.ORVEL_Check_Avail != 0);
    backup_database_->setChecked(settings_.ORVEL_DB_Backup != 0);
    show_example();
}

void PreferencesWindow::show_example() {
    apply_list_look(example_, settings_);
}

void PreferencesWindow::choose_folder(QLineEdit* field) {
    const std::string folder = host_.choose_folder("Set Path", to_std(field->text()));
    if (folder.empty()) return;
    const std::string chosen = with_separator(folder);
    field->setText(qs(chosen));
    (field == data_path_ ? settings_.ORVEL_Data : settings_.MAME_Path) = chosen;
    mark_changed();
}

void PreferencesWindow::choose_font() {
    const std::optional<QFont> font = choosers_.font(list_font(settings_), this);
    if (!font) return;
    store_list_font(settings_, *font);
    show_example();
    mark_changed();
}

void PreferencesWindow::choose_colour(std::int64_t Settings::*colour, const QString& title) {
    const std::int64_t stored = settings_.*colour;
    const QColor initial =
        stored == -1 ? QColor()
                     : QColor::fromRgb(stored & 0xFF, (stored >> 8) & 0xFF, (stored >> 16) & 0xFF);
    // A cancelled dialog changes nothing.
    const std::optional<QColor> chosen = choosers_.colour(initial, title, this);
    if (!chosen) return;
    settings_.*colour = bgr_from_colour(*chosen);
    show_example();
    mark_changed();
}

bool PreferencesWindow::save_to(const std::string& path) {
    if (save_preferences(settings_, path)) return true;
    host_.message("Save Failed", "Settings Not Saved!\n" + path + "\n" + save_failure_reason(path),
                  Buttons::Ok, Icon::Error);
    return false;
}

void PreferencesWindow::save_as() {
    const std::string path =
        host_.choose_save_file("Save As", preferences_path(settings_), prefs_filter);
    if (path.empty() || !save_to(path)) return;
    host_.message("Success", "Settings Updated", Buttons::Ok, Icon::Information);
    changes_made_ = false;
}

void PreferencesWindow::load() {
    const std::string path =
        host_.choose_open_file("Load", preferences_path(settings_), prefs_filter);
    if (path.empty()) return;
    const Result<std::string> bytes = read_file(path, max_preferences_bytes, "The file");
    if (!bytes) {
        host_.message("Load Failed", "Settings Not Loaded!\n" + std::string(bytes.message()),
                      Buttons::Ok, Icon::Error);
        return;
    }
    apply_loaded_preferences(settings_, *bytes);
    settings_.window_maximised = settings_.ORVEL_Win_Max != 0;
    show_settings();
    mark_changed();
}

void PreferencesWindow::restore_defaults() {
    settings_.MAME_Path = opened_mame_path_;
    settings_.ORVEL_Data = opened_data_path_;
    const Settings defaults;
    settings_.ORVEL_Font_Name = defaults.ORVEL_Font_Name;
    settings_.ORVEL_Font_Size = defaults.ORVEL_Font_Size;
    settings_.ORVEL_Font_Style = defaults.ORVEL_Font_Style;
    settings_.ORVEL_Font_Colour = defaults.ORVEL_Font_Colour;
    settings_.ORVEL_Back_Colour = defaults.ORVEL_Back_Colour;
    data_path_->setText(qs(settings_.ORVEL_Data));
    mame_path_->setText(qs(settings_.MAME_Path));
    show_example();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        settings_.window_width = screen->geometry().width() / 2;
        settings_.window_height = screen->geometry().height() / 2;
    }
    settings_.window_maximised = false;
    mark_changed();
}

void PreferencesWindow::close_with_question() {
    if (changes_made_) {
        if (host_.message("Changes Made", "Save Changes?", Buttons::YesNo, Icon::Warning) ==
            Answer::Yes) {
            // The window stays open after a failed save, so nothing is lost.
            if (!save_to(preferences_path(settings_))) return;
            host_.message("Success", "Settings Saved", Buttons::Ok, Icon::Information);
            changes_made_ = false;
        }
        rebuild_needed_ = true;
    }
    done(QDialog::Accepted);
}

void PreferencesWindow::reject() {
    done(QDialog::Rejected);
}

} // namespace orvel::gui
