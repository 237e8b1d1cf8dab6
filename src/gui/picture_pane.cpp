#include "gui/picture_pane.h"

#include "gui/picture_loader.h"
#include "gui/picture_view.h"

#include <QComboBox>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include <array>

namespace orvel::gui {

namespace {

struct PaneKind {
    const char* caption;
    const char* key;
};
constexpr std::array<PaneKind, 3> pane_kinds = {{
    {"Title", "titles"},
    {"In-Game", "snap"},
    {"Icon", "icons"},
}};

int clamp_kind(int kind) {
    return kind >= 0 && kind < static_cast<int>(pane_kinds.size()) ? kind : 0;
}

} // namespace

const PictureKind& pane_picture_kind(int kind) {
    return *find_picture_kind(pane_kinds[static_cast<std::size_t>(clamp_kind(kind))].key);
}

PicturePane::PicturePane(std::shared_ptr<ZipIndex> archives, QWidget* parent)
    : QWidget(parent), kinds_(new QComboBox(this)), view_(new PictureView(this)),
      note_(new QLabel(QStringLiteral("Parent's picture"), this)),
      loader_(new PictureLoader(std::move(archives), this)), rest_(new QTimer(this)) {
    // Longer than a held key's repeat, short enough not to be noticed.
    rest_->setSingleShot(true);
    rest_->setInterval(60);
    connect(rest_, &QTimer::timeout, this, &PicturePane::load);
    for (const PaneKind& kind : pane_kinds)
        kinds_->addItem(QString::fromLatin1(kind.caption));
    kinds_->setToolTip(QStringLiteral("Picture Kind"));
    kinds_->setFocusPolicy(Qt::TabFocus);
    note_->setAlignment(Qt::AlignHCenter);
    note_->setVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(kinds_);
    layout->addWidget(view_, 1);
    layout->addWidget(note_);
    view_->setMinimumSize(120, 100);
    setMinimumWidth(140);
    connect(kinds_, &QComboBox::activated, this, [this](int kind) {
        ask();
        emit kindChosen(kind);
    });
    connect(loader_, &PictureLoader::pictureReady, this,
            [this](const ShownPicture& picture) { show_picture(picture); });
}

PicturePane::~PicturePane() = default;

void PicturePane::set_folders(const MamePaths& paths, const std::string& mame_folder) {
    loader_->set_folders(paths, mame_folder);
    ask();
}

void PicturePane::set_kind(int kind) {
    kinds_->setCurrentIndex(clamp_kind(kind));
    ask();
}

int PicturePane::kind() const {
    return kinds_->currentIndex();
}

void PicturePane::show_machine(const Machine* machine) {
    const std::string name = machine ? machine->name : std::string();
    const std::string cloneof = machine ? machine->cloneof : std::string();
    if (name == name_ && cloneof == cloneof_ && !view_->image().isNull()) return;
    name_ = name;
    cloneof_ = cloneof;
    ask();
}

const QImage& PicturePane::shown_image() const {
    return view_->image();
}

bool PicturePane::showing_placeholder() const {
    return view_->placeholder();
}

Machine PicturePane::shown_machine() const {
    Machine machine; // the names are all the lookup needs
    machine.name = name_;
    machine.cloneof = cloneof_;
    return machine;
}

void PicturePane::ask() {
    loader_->cancel();
    rest_->stop();
    if (name_.empty()) {
        loading_ = false;
        show_picture({});
        return;
    }
    if (const std::optional<ShownPicture> kept =
            loader_->kept(shown_machine(), pane_picture_kind(kind()), view_->shown_size())) {
        loading_ = false;
        show_picture(*kept);
        return;
    }
    // Nothing of the machine before shows while its picture is on its way.
    loading_ = true;
    note_->setVisible(false);
    view_->show_image(QImage(), false);
    rest_->start();
}

void PicturePane::load() {
    if (const std::optional<ShownPicture> kept =
            loader_->request(shown_machine(), pane_picture_kind(kind()), view_->shown_size()))
        show_picture(*kept);
}

void PicturePane::show_picture(const ShownPicture& picture) {
    loading_ = false;
    if (picture.image.isNull()) {
        view_->show_image(placeholder_figure(), true);
        note_->setVisible(false);
        return;
    }
    view_->show_image(picture.image, false);
    note_->setVisible(picture.from_parent);
}

void PicturePane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // A picture decoded for a smaller frame would show blurred: it is asked for at the new size.
    if (!name_.empty() && isVisible()) ask();
}

void PicturePane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The size it was laid out at before it showed is the size it shows at now.
    if (!name_.empty()) ask();
}

} // namespace orvel::gui
