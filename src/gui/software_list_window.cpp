#include "gui/software_list_window.h"

#include "gui/own_image_window.h"
#include "gui/qt_text.h"
#include "gui/screen_fit.h"
#include "gui/software_list_model.h"
#include "gui/window_runs.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

namespace orvel::gui {

namespace {

QGroupBox* frame(const char* title, QWidget* parent) {
    return new QGroupBox(QString::fromLatin1(title), parent);
}

QPushButton* button(const char* text, QWidget* parent) {
    auto* b = new QPushButton(QString::fromLatin1(text), parent);
    b->setAutoDefault(false); // Enter belongs to the item list
    return b;
}

} // namespace

SoftwareListWindow::SoftwareListWindow(Session& session, std::int64_t machine_position, Host& host,
                                       QWidget* parent)
    : QDialog(parent), session_(session), machine_(machine_position), host_(host),
      lists_(new QComboBox(this)), filter_(new QComboBox(this)), search_(new QLineEdit(this)),
      items_(new QListView(this)), model_(new SoftwareListModel(session.software_items(), this)),
      start_image_(button("Start Image", this)), own_image_(button("Run Own Image", this)),
      start_empty_(button("Start Empty", this)) {
    session_.begin_software_lists(machine_position);
    setWindowTitle(QStringLiteral("Waiting For Disk..."));
    setUpdatesEnabled(false);

    QGroupBox* list_frame = frame("Select Software List", this);
    (new QVBoxLayout(list_frame))->addWidget(lists_);
    QGroupBox* filter_frame = frame("Filter List", this);
    (new QVBoxLayout(filter_frame))->addWidget(filter_);
    QGroupBox* run_frame = frame("Run Software", this);
    auto* run_layout = new QVBoxLayout(run_frame);
    for (QPushButton* b : {start_image_, own_image_, start_empty_})
        run_layout->addWidget(b);

    search_->setPlaceholderText(QStringLiteral("Search"));
    search_->setClearButtonEnabled(true);
    items_->setModel(model_);
    items_->setUniformItemSizes(true);
    items_->setSelectionMode(QAbstractItemView::SingleSelection);
    items_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    items_->installEventFilter(this);
    search_->installEventFilter(this);

    auto* status_row = new QHBoxLayout;
    status_row->setSpacing(0);
    const int widths[] = {80, 200, 120};
    for (std::size_t i = 0; i < status_.size(); ++i) {
        auto* field = new QLabel(this);
        field->setAlignment(Qt::AlignCenter);
        field->setFrameShape(QFrame::StyledPanel);
        field->setFrameShadow(QFrame::Sunken);
        field->setMinimumWidth(widths[i]);
        status_row->addWidget(field, widths[i]);
        status_[i] = field;
    }

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 8, 8, 0);
    layout->addWidget(list_frame, 0, 0);
    layout->addWidget(filter_frame, 1, 0);
    layout->addWidget(run_frame, 0, 1, 2, 1);
    layout->addWidget(search_, 2, 0, 1, 2);
    layout->addWidget(items_, 3, 0, 1, 2);
    layout->addLayout(status_row, 4, 0, 1, 2);
    layout->setRowStretch(3, 1);
    resize(400, 600);

    for (const std::string& list : machine().softwarelists)
        lists_->addItem(qs(list));
    lists_->setCurrentIndex(0);
    filter_->addItems(
        {QStringLiteral("All"), QStringLiteral("Available"), QStringLiteral("Missing")});
    filter_->setCurrentIndex(static_cast<int>(session_.software_filter()));

    setWindowTitle(QStringLiteral("Loading Software List..."));
    load_list();
    fill_view();
    if (!session_.software_items().items.empty()) show_row(0);

    connect(lists_, &QComboBox::currentIndexChanged, this, [this] {
        load_list();
        fill_view();
    });
    connect(filter_, &QComboBox::currentIndexChanged, this, [this] { fill_view(); });
    connect(search_, &QLineEdit::textChanged, this, [this] { fill_view(); });
    connect(items_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { show_row(current.row()); });
    connect(items_, &QListView::doubleClicked, this, [this] { start_image(); });
    connect(start_image_, &QPushButton::clicked, this, &SoftwareListWindow::start_image);
    connect(start_empty_, &QPushButton::clicked, this, &SoftwareListWindow::start_empty);
    connect(own_image_, &QPushButton::clicked, this, &SoftwareListWindow::run_own_image);

    items_->setFocus();
    setUpdatesEnabled(true);
    setWindowTitle(qs(machine().description));
}

SoftwareListWindow::~SoftwareListWindow() {
    // The loaded list lives only while its window is open.
    session_.close_software_lists();
}

const Machine& SoftwareListWindow::machine() const {
    return session_.machines()[static_cast<std::size_t>(machine_)];
}

void SoftwareListWindow::load_list() {
    // A failure was shown through the host; a missing or empty list disables what needs items.
    // The list box stays, so that the machine's other lists can still be chosen.
    const std::size_t count = session_.open_software_list(host_, to_std(lists_->currentText()));
    setWindowTitle(qs(software_list_title(count)));
    const bool has_items = count > 0;
    start_image_->setEnabled(has_items);
    filter_->setEnabled(has_items);
}

void SoftwareListWindow::fill_view() {
    model_->set_view(session_.show_software(static_cast<SoftwareFilter>(filter_->currentIndex()),
                                            to_std(search_->text())));
    if (model_->rowCount() > 0) {
        items_->setCurrentIndex(model_->index(0));
        show_row(0);
    } else {
        // Nothing shown: no item is current, and the status fields describe none.
        clear_status();
    }
}

void SoftwareListWindow::show_row(int row) {
    const SoftwareItem* item = model_->item(row);
    if (!item) return;
    session_.select_software_item(model_->position(row));
    status_[0]->setText(QStringLiteral("Year: ") + qs(item->year));
    status_[1]->setText(QStringLiteral("By: ") + qs(item->publisher));
    status_[2]->setText(QStringLiteral("File: ") + qs(item->name));
}

void SoftwareListWindow::clear_status() {
    for (QLabel* field : status_)
        field->clear();
}

QStringList SoftwareListWindow::status_texts() const {
    QStringList texts;
    for (const QLabel* field : status_)
        texts << field->text();
    return texts;
}

void SoftwareListWindow::launch(const LaunchRequest& request, std::function<void()> after) {
    session_.select_commandline(session_.selected_commandline());
    auto report = std::make_shared<RunReport>();
    QPointer<SoftwareListWindow> self(this);
    Session& session = session_;
    run_with_windows_suspended(
        host_, {this},
        [&session, report, request](Host& host) { *report = session.run(host, request); },
        [self, report, after = std::move(after)] {
            if (!self) return;
            report_not_started(self->host_, report->outcome, report->command);
            if (after) after();
            self->items_->setFocus();
        });
}

void SoftwareListWindow::start_image() {
    const int row = items_->currentIndex().row();
    if (!model_->item(row)) return;
    show_row(row);
    LaunchRequest request;
    request.software = {true, session_.software_items().current_item()};
    launch(request);
}

void SoftwareListWindow::start_empty() {
    LaunchRequest request;
    request.machine_only = true;
    request.software = {true, session_.software_items().current_item()};
    // Hiding a dialog ends its event loop, and the window would never come back: it is
    // minimised and disabled meanwhile instead, as around the other runs.
    launch(request);
}

void SoftwareListWindow::run_own_image() {
    LaunchRequest request;
    bool chosen = false;
    OwnImageWindow own(
        host_,
        [&](const std::string& media_switch, const std::string& file) {
            request.media_switch = media_switch;
            request.media_file = file;
            request.software = {true, session_.software_items().current_item()};
            chosen = true;
        },
        this);
    own.exec();
    if (chosen)
        launch(request);
    else
        items_->setFocus();
}

bool SoftwareListWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (watched == items_ && enter) {
            start_image();
            return true;
        }
        // Escape in a search box that holds text clears it; the next one closes the window.
        if (watched == search_ && key == Qt::Key_Escape && !search_->text().isEmpty()) {
            search_->clear();
            return true;
        }
        // From the search box, Enter and the arrow keys go on to the items.
        if (watched == search_ && (enter || key == Qt::Key_Down || key == Qt::Key_Up)) {
            items_->setFocus();
            if (!enter) QCoreApplication::sendEvent(items_, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void open_software_list_window(Session& session, std::int64_t machine, Host& host,
                               QWidget* main_window) {
    // Not a child of the main window: that one is disabled while this window is open.
    SoftwareListWindow window(session, machine, host);
    fit_into_screen(&window, main_window);
    suspend_window(main_window);
    window.exec();
    resume_window(main_window);
}

} // namespace orvel::gui
