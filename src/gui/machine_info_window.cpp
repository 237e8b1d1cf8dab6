#include "gui/machine_info_window.h"

#include "gui/dat_text_panel.h"
#include "gui/identity_picture.h"
#include "gui/machine_icon.h"
#include "gui/picture_decode.h"
#include "gui/picture_view.h"
#include "gui/qt_text.h"
#include "gui/rom_audit_panel.h"
#include "gui/screen_fit.h"

#include <QAction>
#include <QActionGroup>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace orvel::gui {

namespace {

constexpr const char* dat_item_texts[dat_kind_count] = {
    "Mameinfo.dat", "History.dat", "Messinfo.dat", "Sysinfo.dat", "Gameinit.dat", "Story.dat"};

QGroupBox* frame(const char* caption, QWidget* parent) {
    auto* box = new QGroupBox(QString::fromLatin1(caption), parent);
    box->setAlignment(Qt::AlignHCenter);
    return box;
}

// The frame's one element, 8 pixels inside it.
void fill_frame(QGroupBox* box, QWidget* element) {
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(8, layout->contentsMargins().top(), 8, 8);
    layout->addWidget(element);
}

QFont information_font() {
    QFont font(QStringLiteral("Arial"), 9);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont fixed_width_font() {
    QFont font(QStringLiteral("Consolas"), 10);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    return font;
}

} // namespace

MachineInfoWindow::MachineInfoWindow(const Machine& machine, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      machine_(machine), table_(new QTableWidget(this)), picture_(new PictureView(this)),
      text_(new QListWidget(this)), dat_menu_(new QMenu(this)), picture_menu_(new QMenu(this)) {
    setWindowTitle(QStringLiteral("Loading Data..."));
    setModal(true);

    auto* info_box = frame("Machine Information", this);
    auto* snap_box = frame("Snapshot Image", this);
    auto* dat_box = frame("Datfile Information", this);
    fill_frame(info_box, table_);
    fill_frame(snap_box, picture_);
    fill_frame(dat_box, new DatTextPanel(text_, this));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setSpacing(8);
    grid->addWidget(info_box, 0, 0);
    grid->addWidget(snap_box, 0, 1);
    grid->addWidget(dat_box, 1, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 216);
    grid->setRowStretch(1, 360);

    // The attribute table: label and value, no header, every second row shaded.
    const std::vector<AttributeRow> rows = machine_attribute_rows(machine);
    table_->setFont(information_font());
    table_->setColumnCount(2);
    table_->setHorizontalHeaderLabels({QStringLiteral("Column 1"), QStringLiteral("Data")});
    table_->setRowCount(static_cast<int>(rows.size()));
    table_->horizontalHeader()->hide();
    table_->verticalHeader()->hide();
    table_->setShowGrid(false);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setWordWrap(false);
    const int row_height = QFontMetrics(table_->font()).height() + 3;
    table_->verticalHeader()->setMinimumSectionSize(row_height);
    table_->verticalHeader()->setDefaultSectionSize(row_height);
    table_->setColumnWidth(0, 150);
    table_->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < table_->rowCount(); ++row) {
        const AttributeRow& attribute = rows[static_cast<size_t>(row)];
        auto* label = new QTableWidgetItem(qs(attribute.label));
        auto* value = new QTableWidgetItem(qs(attribute.value));
        value->setToolTip(value->text());
        if (row % 2 == 0) {
            label->setBackground(QColor(0xF9, 0xF9, 0xF9));
            value->setBackground(QColor(0xF9, 0xF9, 0xF9));
        }
        table_->setItem(row, 0, label);
        table_->setItem(row, 1, value);
    }
    // Every row shows without scrolling.
    table_->setMinimumSize(336, table_->verticalHeader()->length() + 2 * table_->frameWidth());
    table_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);

    // The text list: one line of DAT text per item, wide enough for the longest wrapped line
    // beside the scroll bar.
    text_->setFont(fixed_width_font());
    text_->setUniformItemSizes(true);
    text_->setContextMenuPolicy(Qt::CustomContextMenu);
    text_->setMinimumSize(dat_text_width - 12 + text_->verticalScrollBar()->sizeHint().width() +
                              2 * text_->frameWidth() + 8,
                          160);

    auto* dat_group = new QActionGroup(this);
    for (int kind = 1; kind <= dat_kind_count; ++kind) {
        QAction* action = dat_menu_->addAction(QString::fromLatin1(dat_item_texts[kind - 1]));
        action->setCheckable(true);
        action->setEnabled(false);
        dat_group->addAction(action);
        connect(action, &QAction::triggered, this, [this, kind] { show_dat(kind); });
        dat_actions_[static_cast<size_t>(kind - 1)] = action;
    }
    auto* picture_group = new QActionGroup(this);
    titles_ = picture_menu_->addAction(QStringLiteral("Titles"));
    in_game_ = picture_menu_->addAction(QStringLiteral("In-Game"));
    for (QAction* action : {titles_, in_game_}) {
        action->setCheckable(true);
        action->setEnabled(false);
        picture_group->addAction(action);
    }
    titles_->setChecked(true);
    connect(titles_, &QAction::triggered, this, [this] { show_picture(true); });
    connect(in_game_, &QAction::triggered, this, [this] { show_picture(false); });
    connect(text_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { dat_menu_->popup(text_->viewport()->mapToGlobal(at)); });
    connect(picture_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { picture_menu_->popup(picture_->mapToGlobal(at)); });

    picture_->show_image(placeholder_figure(), true);
    resize(minimumSizeHint().expandedTo(QSize(600, 600)));
    fit_to_screen();
    text_->setFocus();
}

MachineInfoWindow::~MachineInfoWindow() = default;

void MachineInfoWindow::fit_to_screen() {
    // On a small screen (or a large scale) the attribute table and then the text list give up
    // height, scrolling instead, so that the whole window fits.
    ensurePolished(); // the style's margins and frames count
    layout()->activate();
    const int excess = minimumSizeHint().height() + frame_allowance(this).height() -
                       available_area(parentWidget()).height();
    if (excess > 0) {
        const int row_height = table_->verticalHeader()->defaultSectionSize();
        const int table_spare = std::max(0, table_->minimumHeight() - 4 * row_height);
        table_->setMinimumHeight(table_->minimumHeight() - std::min(excess, table_spare));
        if (excess > table_spare)
            text_->setMinimumHeight(std::max(64, text_->minimumHeight() - (excess - table_spare)));
        layout()->activate();
    }
    resize(size().expandedTo(minimumSizeHint()));
    fit_into_screen(this, parentWidget());
}

QWidget* MachineInfoWindow::picture() const {
    return picture_;
}

const QImage& MachineInfoWindow::shown_image() const {
    return picture_->image();
}

bool MachineInfoWindow::showing_placeholder() const {
    return picture_->placeholder();
}

void MachineInfoWindow::load(const MamePaths& paths, const std::string& mame_folder,
                             DatCache& cache, ZipIndex* archives) {
    archives_ = archives;
    if (const PictureKind* kind = find_picture_kind("titles"))
        title_location_ = find_picture(*kind, machine_, paths, mame_folder, archives);
    if (const PictureKind* kind = find_picture_kind("snap"))
        snapshot_location_ = find_picture(*kind, machine_, paths, mame_folder, archives);
    const QIcon icon = machine_icon(machine_, paths, mame_folder);
    if (!icon.isNull()) setWindowIcon(icon);
    titles_->setEnabled(title_location_.source != PictureSource::NotFound);
    in_game_->setEnabled(snapshot_location_.source != PictureSource::NotFound);
    show_picture(true);

    // The entries are read now; each kind is laid out when it is first shown, and the cache
    // keeps the layout of long entries for the next opening.
    cache_ = &cache;
    const std::vector<std::string> folders = dat_folders(paths.historypath, mame_folder);
    for (int kind = 1; kind <= dat_kind_count; ++kind) {
        const auto k = static_cast<size_t>(kind - 1);
        entries_[k] = read_dat_entries(cache, kind, dat_lookup_key(machine_), folders);
        texts_[k].reset();
        dat_action(kind)->setEnabled(entries_[k].find_first_not_of(" \t\r\n") != std::string::npos);
    }
    show_dat(dat_kind_to_show(entries_));
    setWindowTitle(qs(machine_.description));
}

void MachineInfoWindow::add_audit_panel(QWidget* panel) {
    auto* box = frame("Romset Audit", this);
    fill_frame(box, panel);
    auto* grid = static_cast<QGridLayout*>(layout());
    grid->addWidget(box, 2, 0, 1, 2);
    grid->setRowStretch(2, 200);
    fit_to_screen();
}

void MachineInfoWindow::show_dat(int kind) {
    shown_dat_ = kind >= 1 && kind <= dat_kind_count ? kind : 0;
    const std::vector<std::string> lines =
        dat_shown_lines(shown_dat_, shown_dat_ ? wrapped_text(shown_dat_) : std::string());
    QStringList items;
    items.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines)
        items << qs(line);
    text_->clear();
    text_->addItems(items);
    for (int k = 1; k <= dat_kind_count; ++k)
        dat_action(k)->setChecked(k == shown_dat_);
}

const std::string& MachineInfoWindow::wrapped_text(int kind) {
    const auto k = static_cast<size_t>(kind - 1);
    std::optional<std::string>& text = texts_[k];
    if (!text) {
        const std::string& entries = entries_[k];
        if (entries.empty() || !cache_) {
            text.emplace();
        } else {
            const QFont font = text_->font();
            text = cache_->wrapped_text(entries, to_std(font.key()), [&] {
                const QFontMetrics metrics(font);
                return wrap_text(dat_text_width, entries, [&metrics](std::string_view line) {
                    return metrics.horizontalAdvance(qs(line));
                });
            });
        }
    }
    return *text;
}

void MachineInfoWindow::show_picture(bool titles) {
    const PictureLocation& location = titles ? title_location_ : snapshot_location_;
    // Decoded no larger than the window can ever show it: the screen's usable area.
    const QSize bound = available_area(this).size() * devicePixelRatioF();
    if (const QImage image = load_shown_picture(location, bound, archives_); !image.isNull())
        picture_->show_image(image, false);
    titles_->setChecked(titles);
    in_game_->setChecked(!titles);
}

void show_machine_info(QWidget* main_window, Session& session, std::size_t machine) {
    MachineInfoWindow window(session.machines()[machine], main_window);
    // The machine's ROMs as the audit finds them, audited afresh as the window opens.
    auto* audit = new RomAuditPanel(session, machine, &window);
    window.add_audit_panel(audit);
    audit->start(false);
    main_window->setEnabled(false);
    window.setEnabled(true); // a window of its own, though its parent is disabled
    // The frames and "Loading Data..." show while the files are read: the window's own loop
    // paints them first and then reads the files.
    QTimer::singleShot(0, &window, [&window, &session] {
        window.load(session.mame_paths(), session.settings().MAME_Path, session.dat_cache(),
                    session.archives().get());
    });
    window.exec();
    main_window->setEnabled(true);
}

} // namespace orvel::gui
