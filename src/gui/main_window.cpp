#include "gui/main_window.h"

#include "filters/list_texts.h"
#include "gui/filter_tree_view.h"
#include "gui/list_look.h"
#include "gui/machine_list_model.h"
#include "gui/machine_list_view.h"
#include "gui/picture_pane.h"
#include "gui/qt_text.h"
#include "gui/screen_fit.h"
#include "gui/status_strip.h"
#include "gui/toolbar_strip.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <algorithm>

namespace orvel::gui {

MainWindow::MainWindow(Session& session, Host& host, const IconSet& icons)
    : session_(session), host_(host), icons_(icons),
      commands_(new CommandActions(icons, ToolbarStrip::button_side, this)),
      toolbar_(new ToolbarStrip(icons, this)), splitter_(new QSplitter(Qt::Horizontal, this)),
      list_(new MachineListView(splitter_)),
      model_(new MachineListModel(session.machines(), session.view(), this)),
      pictures_(new PicturePane(session.archives(), splitter_)),
      status_(new StatusStrip(icons, this)) {
    Settings& settings = session_.settings();
    setWindowTitle(qs(settings.product_name) + QLatin1Char(' ') + qs(settings.version_text));
    setMinimumSize(800, 600);
    int width = settings.window_width, height = settings.window_height;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect desktop = screen->geometry();
        if (width <= 0 || height <= 0) {
            width = desktop.width() / 2;
            height = desktop.height() / 2;
        }
        resize(std::max(width, 800), std::max(height, 600));
    } else {
        resize(std::max(width, 800), std::max(height, 600));
    }
    settings.window_maximised = settings.ORVEL_Win_Max == 1;
    if (settings.window_maximised) setWindowState(windowState() | Qt::WindowMaximized);

    busy_.changed = [this](bool busy) { emit busyChanged(busy); };
    connect(this, &MainWindow::busyChanged, commands_, &CommandActions::set_busy);
    commands_->fill_menu_bar(menuBar());
    commands_->fill_toolbar(toolbar_);
    toolbar_->add_search();
    addToolBar(Qt::TopToolBarArea, toolbar_);
    list_menu_ = commands_->make_menu(list_menu_items(), this);
    tree_menu_ = commands_->make_menu(tree_menu_items(), this);
    setStatusBar(status_);
    // The list takes every change of the window's width; the tree keeps its own.
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(list_);
    splitter_->addWidget(pictures_);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    setCentralWidget(splitter_);
    pictures_->set_folders(session.mame_paths(), settings.MAME_Path);
    pictures_->set_kind(static_cast<int>(settings.ORVEL_Picture_Kind));
    pictures_->setVisible(settings.ORVEL_Show_Pictures != 0);
    QAction* show_pictures = action(Command::ShowPictures);
    show_pictures->setCheckable(true);
    show_pictures->setChecked(settings.ORVEL_Show_Pictures != 0);
    connect(pictures_, &PicturePane::kindChosen, this, [this](int kind) {
        session_.settings().ORVEL_Picture_Kind = kind;
        picture_settings_changed_ = true;
        save_picture_settings();
    });
    connect(splitter_, &QSplitter::splitterMoved, this, [this] {
        if (pictures_->isHidden()) return;
        session_.settings().ORVEL_Picture_Width = pictures_->width();
        picture_settings_changed_ = true;
    });

    list_->setModel(model_);
    apply_list_look(list_);

    connect(commands_, &CommandActions::triggered, this, &MainWindow::dispatch);
    connect(toolbar_->search_box(), &QLineEdit::textChanged, this, [this](const QString& text) {
        set_search_text(session_.filter(), to_std(text));
        refill_machine_list();
    });
    connect(list_, &MachineListView::runRequested, this, [this] { dispatch(Command::RunMachine); });
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
    // A screen smaller than the usual minimum (a small display, a large scale) gets a window
    // that fits it, centred and never above or left of its usable area.
    fit_into_screen(this);
    layout_main_window();
}

MainWindow::~MainWindow() = default;

void MainWindow::apply_list_look(QWidget* widget) const {
    gui::apply_list_look(widget, session_.settings());
}

bool MainWindow::select_current_record() {
    return session_.select_row(list_->selected_row());
}

void MainWindow::refill_machine_list() {
    model_->refill([&] { session_.filter_machines(); });
    list_->fit_columns();
    list_->select_row(0);
    if (!session_.view().empty()) select_current_record();
    update_status_bar();
}

void MainWindow::update_status_bar() {
    const ViewList& view = session_.view();
    status_->show_texts(
        status_texts(session_.machines(), view, view.empty() ? -1 : session_.current_position()));
    show_current_picture();
}

void MainWindow::show_current_picture() {
    if (pictures_->isHidden()) return;
    pictures_->show_machine(session_.view().empty() ? nullptr : session_.current_machine());
}

void MainWindow::arrange_splitter() {
    // The tree and the pane keep their widths, the pane never more than a third of what the
    // tree leaves; the list takes the rest.
    const int tree = tree_ ? shown_tree_width_ : 0;
    const int pane = pictures_->isHidden() ? 0
                                           : static_cast<int>(std::clamp<std::int64_t>(
                                                 session_.settings().ORVEL_Picture_Width, 140,
                                                 std::max(140, (splitter_->width() - tree) / 3)));
    const int total = std::max(splitter_->width(), tree + pane + 200);
    QList<int> sizes;
    for (int i = 0; i < splitter_->count(); ++i) {
        QWidget* widget = splitter_->widget(i);
        sizes << (widget == tree_.data() ? tree : widget == pictures_ ? pane : total - tree - pane);
    }
    splitter_->setSizes(sizes);
}

void MainWindow::on_list_key() {
    if (session_.view().empty()) return;
    select_current_record();
    // A machine chosen anew starts from its first stored command line.
    session_.select_commandline(0);
    update_status_bar();
}

void MainWindow::show_filter_tree() {
    TreeItemList& items = session_.built_tree();
    if (!tree_) {
        tree_ = new FilterTreeView(items, icons_);
        apply_list_look(tree_);
        connect(tree_, &FilterTreeView::itemChosen, this, &MainWindow::on_tree_item);
        connect(tree_, &FilterTreeView::menuRequested, this,
                [this](const QPoint& at) { tree_menu_->popup(at); });
        splitter_->insertWidget(0, tree_);
        splitter_->setStretchFactor(0, 0);
        splitter_->setStretchFactor(1, 1);
        splitter_->setStretchFactor(2, 0);
        arrange_splitter();
        // Tab walks tree, list, search box.
        setTabOrder(tree_, list_);
        setTabOrder(list_, toolbar_->search_box());
    }
    tree_->fill();
}

void MainWindow::on_tree_item(int position) {
    if (position < 0) return;
    const int remembered = list_->selected_row();
    const bool changed = session_.choose_tree_item(static_cast<std::size_t>(position));
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
    list_->fit_columns();
    session_.settings().window_maximised = isMaximized();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layout_main_window();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!splitter_arranged_) {
        splitter_arranged_ = true;
        arrange_splitter();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (ended_) {
        event->accept();
        return;
    }
    // The close box (or Alt+F4) during a MAME run or a scan: the work must end first.
    if (busy()) {
        event->ignore();
        return;
    }
    // When the user wants the database saved first, the program ends after the save by closing
    // again; this close is refused meanwhile.
    in_close_event_ = true;
    exit_questions(ExitRequest::CloseBox);
    in_close_event_ = false;
    if (ended_)
        event->accept();
    else
        event->ignore();
}

void MainWindow::refill_keeping_row() {
    const int row = list_->selected_row();
    refill_machine_list();
    if (row >= 0) list_->select_row(row);
    if (select_current_record()) update_status_bar();
}

void MainWindow::end_program() {
    if (ended_) return;
    ended_ = true;
    save_picture_settings();
    emit programEnded();
    if (!in_close_event_) close();
}

} // namespace orvel::gui
