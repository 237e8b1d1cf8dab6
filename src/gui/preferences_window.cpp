#include "gui/preferences_window.h"

#include "filters/filter_pass.h"
#include "gui/list_look.h"
#include "gui/qt_text.h"

#include <QAction>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
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

// A widget bound to a key of the preferences file: its edits go through the preference edit.
void bind(QLineEdit* field, const char* key, PreferenceEdit& edit) {
    QObject::connect(field, &QLineEdit::textEdited, field,
                     [&edit, key](const QString& text) { edit.set(key, to_std(text)); });
}
void bind(QCheckBox* box, const char* key, PreferenceEdit& edit) {
    QObject::connect(box, &QCheckBox::clicked, box,
                     [&edit, key](bool on) { edit.set(key, on ? "1" : "0"); });
}
void bind(QComboBox* box, const char* key, PreferenceEdit& edit) {
    QObject::connect(box, &QComboBox::activated, box,
                     [&edit, key](int index) { edit.set(key, std::to_string(index)); });
}

} // namespace

PreferencesWindow::PreferencesWindow(Settings& settings, Host& host, QWidget* parent,
                                     PreferenceChoosers choosers)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      settings_(settings), edit_(settings), host_(host), choosers_(std::move(choosers)),
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

    bind(data_path_, "ORVEL_Data", edit_);
    bind(mame_path_, "MAME_Path", edit_);
    bind(sort_, "ORVEL_Sort_Type", edit_);
    bind(start_maximised_, "ORVEL_Win_Max", edit_);
    bind(check_availability_, "ORVEL_Check_Avail", edit_);
    bind(backup_database_, "ORVEL_DB_Backup", edit_);
    connect(set_data, &QPushButton::clicked, this,
            [this] { choose_folder(data_path_, "ORVEL_Data"); });
    connect(set_mame, &QPushButton::clicked, this,
            [this] { choose_folder(mame_path_, "MAME_Path"); });
    connect(button(QStringLiteral("Font")), &QPushButton::clicked, this,
            &PreferencesWindow::choose_font);
    connect(button(QStringLiteral("Text")), &QPushButton::clicked, this, [this] {
        choose_colour("ORVEL_Font_Colour", settings_.ORVEL_Font_Colour,
                      QStringLiteral("Text Colour"));
    });
    connect(button(QStringLiteral("Back")), &QPushButton::clicked, this, [this] {
        choose_colour("ORVEL_Back_Colour", settings_.ORVEL_Back_Colour,
                      QStringLiteral("Background Colour"));
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

void PreferencesWindow::choose_folder(QLineEdit* field, const char* key) {
    if (!edit_.choose_folder(host_, key, to_std(field->text()))) return;
    show_settings();
}

void PreferencesWindow::choose_font() {
    const std::optional<QFont> font = choosers_.font(list_font(settings_), this);
    if (!font) return;
    Settings chosen = settings_;
    store_list_font(chosen, *font);
    edit_.set("ORVEL_Font_Name", chosen.ORVEL_Font_Name);
    edit_.set("ORVEL_Font_Size", std::to_string(chosen.ORVEL_Font_Size));
    edit_.set("ORVEL_Font_Style", std::to_string(chosen.ORVEL_Font_Style));
    show_example();
}

void PreferencesWindow::choose_colour(const char* key, std::int64_t stored, const QString& title) {
    const QColor initial =
        stored == -1 ? QColor()
                     : QColor::fromRgb(stored & 0xFF, (stored >> 8) & 0xFF, (stored >> 16) & 0xFF);
    // A cancelled dialog changes nothing.
    const std::optional<QColor> chosen = choosers_.colour(initial, title, this);
    if (!chosen) return;
    edit_.set(key, std::to_string(bgr_from_colour(*chosen)));
    show_example();
}

void PreferencesWindow::save_as() {
    edit_.save_as(host_);
}

void PreferencesWindow::load() {
    if (edit_.load(host_)) show_settings();
}

void PreferencesWindow::restore_defaults() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    edit_.defaults(screen ? screen->geometry().width() : 0,
                   screen ? screen->geometry().height() : 0);
    show_settings();
}

void PreferencesWindow::close_with_question() {
    const PreferencesClose closed = edit_.close(host_);
    if (closed == PreferencesClose::Stay) return;
    rebuild_needed_ = closed == PreferencesClose::Rebuild;
    done(QDialog::Accepted);
}

void PreferencesWindow::reject() {
    done(QDialog::Rejected);
}

} // namespace orvel::gui
