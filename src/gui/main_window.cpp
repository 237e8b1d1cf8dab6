#include "gui/main_window.h"

#include "filters/list_texts.h"
#include "gui/command_table.h"
#include "gui/filter_tree_view.h"
#include "gui/identity_picture.h"
#include "gui/machine_list_model.h"
#include "gui/machine_list_view.h"
#include "gui/qt_text.h"
#include "gui/status_strip.h"
#include "gui/toolbar_strip.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>

namespace orvel::gui {

namespace {

// Commands whose windows the program does not have yet: shown, but unavailable.
bool command_available(int number) {
    return number != command::machine_info && number != command::preferences;
}

} // namespace

MainWindow::MainWindow(Session& session, Host& host, const IconSet& icons)
    : session_(session), host_(host), icons_(icons), central_(new QWidget(this)),
      toolbar_(new ToolbarStrip(icons, central_)), list_(new MachineListView(central_)),
      model_(new MachineListModel(session.state.machines, session.state.view, this)),
      status_(new StatusStrip(icons, central_)) {
    Settings& settings = session_.state.settings;
    setWindowTitle(qs(settings.product_name) + QLatin1Char(' ') + qs(settings.version_text));
    setCentralWidget(central_);
    central_->installEventFilter(this);
    setMinimumSize(800, 600);
    int width = settings.window_width, height = settings.window_height;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect desktop = screen->geometry();
        if (width <= 0 || height <= 0) {
            width = desktop.width() / 2;
            height = desktop.height() / 2;
        }
        resize(std::max(width, 800), std::max(height, 600));
        move(desktop.center() - QPoint(this->width() / 2, this->height() / 2));
    } else {
        resize(std::max(width, 800), std::max(height, 600));
    }
    settings.window_maximised = settings.ORVEL_Win_Max == 1;
    if (settings.window_maximised) setWindowState(windowState() | Qt::WindowMaximized);

    list_->setModel(model_);
    apply_list_look(list_);
    create_menus();
    create_shortcuts();

    connect(toolbar_, &ToolbarStrip::commandRaised, this, &MainWindow::dispatch);
    connect(toolbar_->search_box(), &QLineEdit::textChanged, this, [this](const QString& text) {
        set_search_text(session_.state.filter, to_std(text));
        refill_machine_list();
    });
    connect(list_, &MachineListView::runRequested, this,
            [this] { dispatch(command::run_machine); });
    connect(list_, &MachineListView::keyPressed, this, &MainWindow::on_list_key);
    connect(list_, &MachineListView::rowClicked, this, [this](int) {
        select_current_record();
        update_status_bar();
    });
    connect(list_, &MachineListView::menuRequested, this,
            [this](const QPoint& at) { list_menu_->popup(at); });

    show_filter_tree();
    refill_machine_list();
    list_->setFocus();
    layout_main_window();
}

MainWindow::~MainWindow() = default;

void MainWindow::apply_list_look(QWidget* widget) const {
    const Settings& settings = session_.state.settings;
    // The list font: face and size from the settings; the stored style is not applied.
    QFont font(qs(settings.ORVEL_Font_Name));
    if (settings.ORVEL_Font_Size > 0) font.setPointSize(static_cast<int>(settings.ORVEL_Font_Size));
    widget->setFont(font);
    QPalette palette = widget->palette();
    const QPalette system = QGuiApplication::palette();
    palette.setColor(QPalette::Base, settings.ORVEL_Back_Colour == -1
                                         ? system.color(QPalette::Base)
                                         : colour_from_bgr(settings.ORVEL_Back_Colour));
    palette.setColor(QPalette::Text, settings.ORVEL_Font_Colour == -1
                                         ? system.color(QPalette::Text)
                                         : colour_from_bgr(settings.ORVEL_Font_Colour));
    widget->setPalette(palette);
}

void MainWindow::create_menus() {
    QMenu* current = nullptr;
    const char* current_title = nullptr;
    for (const MenuEntry& entry : menu_entries()) {
        if (!current_title || std::string_view(current_title) != entry.menu) {
            current = menuBar()->addMenu(QString::fromLatin1(entry.menu));
            current_title = entry.menu;
        }
        if (entry.number == 0) {
            current->addSeparator();
            continue;
        }
        QAction* action = current->addAction(QString::fromLatin1(entry.text));
        const int number = entry.number;
        action->setEnabled(command_available(number));
        connect(action, &QAction::triggered, this, [this, number] { dispatch(number); });
        actions_[number] = action;
    }

    auto add = [this](QMenu* menu, int number) {
        QAction* action = menu->addAction(QString::fromLatin1(command_caption(number)));
        action->setEnabled(command_available(number));
        connect(action, &QAction::triggered, this, [this, number] { dispatch(number); });
    };
    list_menu_ = new QMenu(this);
    for (int number : {1, 2, 3, 0, 4, 5, 0, 7}) {
        if (number == 0)
            list_menu_->addSeparator();
        else
            add(list_menu_, number);
    }
    tree_menu_ = new QMenu(this);
    for (int number : {60, 61, 0, 11}) {
        if (number == 0)
            tree_menu_->addSeparator();
        else
            add(tree_menu_, number);
    }
    for (int number : {7, 12})
        if (QToolButton* button = toolbar_->button(number)) button->setEnabled(false);
}

void MainWindow::create_shortcuts() {
    // The keys belong to the window, so they work while the menu bar is hidden.
    for (const ShortcutEntry& entry : shortcut_entries()) {
        auto* shortcut = new QShortcut(QKeySequence(entry.keys), this);
        shortcut->setContext(Qt::WindowShortcut);
        const int number = entry.number;
        connect(shortcut, &QShortcut::activated, this, [this, number] { dispatch(number); });
    }
}

QAction* MainWindow::action(int command) const {
    const auto found = actions_.find(command);
    return found == actions_.end() ? nullptr : found->second;
}

bool MainWindow::select_current_record() {
    AppState& state = session_.state;
    const int row = list_->selected_row();
    if (state.view.empty() || row < 0 || static_cast<std::size_t>(row) >= state.view.size())
        return false;
    state.current_machine = state.view[static_cast<std::size_t>(row)];
    return true;
}

void MainWindow::refill_machine_list() {
    AppState& state = session_.state;
    filter_machines(state.machines, session_.state.filter, session_.state.folders,
                    sort_type_of(state.settings.ORVEL_Sort_Type), state.view,
                    session_.state.list_index);
    model_->refill();
    list_->fit_columns();
    list_->select_row(0);
    if (!state.view.empty()) select_current_record();
    update_status_bar();
}

void MainWindow::update_status_bar() {
    const AppState& state = session_.state;
    status_->show_texts(
        status_texts(state.machines, state.view, state.view.empty() ? -1 : state.current_machine));
}

void MainWindow::on_list_key() {
    AppState& state = session_.state;
    if (state.view.empty()) return;
    state.selected_commandline = 0;
    select_current_record();
    update_status_bar();
}

void MainWindow::show_filter_tree() {
    if (session_.state.tree.empty())
        build_filter_tree(session_.state.machines, session_.state.folders, session_.state.tree);
    if (!tree_) {
        tree_ = new FilterTreeView(session_.state.tree, icons_, central_);
        apply_list_look(tree_);
        connect(tree_, &FilterTreeView::itemChosen, this, &MainWindow::on_tree_item);
        connect(tree_, &FilterTreeView::menuRequested, this,
                [this](const QPoint& at) { tree_menu_->popup(at); });
        tree_->show();
    }
    tree_->fill();
    layout_main_window();
}

void MainWindow::on_tree_item(int position) {
    if (position < 0) return;
    const int remembered = list_->selected_row();
    const bool changed = on_tree_click(session_.state.tree, static_cast<std::size_t>(position),
                                       session_.state.filter);
    if (tree_) tree_->refresh_icons();
    if (!changed) return;
    setUpdatesEnabled(false);
    refill_machine_list();
    list_->setFocus();
    // The row number selected before the choice stays selected (when the list still has it),
    // and the status bar describes the machine now in that row.
    list_->select_row(remembered);
    if (select_current_record()) update_status_bar();
    setUpdatesEnabled(true);
}

void MainWindow::layout_main_window() {
    const int width = central_->width();
    const int top = toolbar_hidden_ ? 0 : ToolbarStrip::strip_height;
    const int height = std::max(0, central_->height() - StatusStrip::strip_height - top);
    toolbar_->setGeometry(0, 0, width, ToolbarStrip::strip_height);
    if (tree_) {
        tree_->setGeometry(0, top, tree_width, height);
        list_->setGeometry(tree_width, top, std::max(0, width - tree_width), height);
    } else {
        list_->setGeometry(0, top, width, height);
    }
    list_->fit_columns();
    status_->setGeometry(0, central_->height() - StatusStrip::strip_height, width,
                         StatusStrip::strip_height);
    session_.state.settings.window_maximised = isMaximized();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == central_ && event->type() == QEvent::Resize) layout_main_window();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layout_main_window();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (ended_) {
        event->accept();
        return;
    }
    if (!close_questions()) {
        event->ignore();
        return;
    }
    ended_ = true;
    event->accept();
    emit programEnded();
}

void MainWindow::end_program() {
    if (ended_) return;
    ended_ = true;
    emit programEnded();
    close();
}

} // namespace orvel::gui
