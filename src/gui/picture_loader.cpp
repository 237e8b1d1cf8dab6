#include "gui/picture_loader.h"

#include "gui/picture_decode.h"
#include "gui/qt_text.h"

#include <QMetaObject>
#include <QRunnable>

namespace orvel::gui {

namespace {

QString store_key(const Machine& machine, const PictureKind& kind, QSize bound) {
    return qs(std::string(kind.key)) + QLatin1Char('/') + qs(machine.name) + QLatin1Char('/') +
           QString::number(bound.width()) + QLatin1Char('x') + QString::number(bound.height());
}

} // namespace

PictureLoader::PictureLoader(std::shared_ptr<ZipIndex> archives, QObject* parent)
    : QObject(parent), archives_(std::move(archives)), folders_(std::make_shared<Folders>()),
      latest_(std::make_shared<std::atomic<std::uint64_t>>(0)) {
    // One load may be stuck in a huge picture; the next selection still gets a thread.
    pool_.setMaxThreadCount(2);
}

PictureLoader::~PictureLoader() {
    cancel();
    pool_.waitForDone();
}

void PictureLoader::set_folders(const MamePaths& paths, const std::string& mame_folder) {
    cancel();
    folders_ = std::make_shared<const Folders>(Folders{paths, mame_folder});
    store_.clear();
}

void PictureLoader::cancel() {
    ++*latest_;
    pool_.clear();
}

void PictureLoader::wait_idle() {
    pool_.waitForDone();
}

std::optional<ShownPicture> PictureLoader::kept(const Machine& machine, const PictureKind& kind,
                                                QSize bound) {
    return store_.find(store_key(machine, kind, bound));
}

std::optional<ShownPicture> PictureLoader::request(const Machine& machine, const PictureKind& kind,
                                                   QSize bound) {
    cancel();
    const QString key = store_key(machine, kind, bound);
    if (std::optional<ShownPicture> kept = store_.find(key)) return kept;

    const std::uint64_t generation = *latest_;
    Machine wanted; // the names are all the lookup needs
    wanted.name = machine.name;
    wanted.cloneof = machine.cloneof;
    auto job = [this, key, generation, wanted = std::move(wanted), kind, bound, folders = folders_,
                archives = archives_, latest = latest_] {
        if (*latest != generation) return; // superseded before it started
        const PictureLocation location =
            find_picture(kind, wanted, folders->paths, folders->mame_folder, archives.get());
        ShownPicture picture;
        picture.from_parent = location.from_parent;
        if (location.source != PictureSource::NotFound && *latest == generation)
            picture.image = load_shown_picture(location, bound, archives.get());
        if (*latest != generation) return;
        // The loader outlives every job (its destructor waits for them), and the queued call
        // is dropped with it.
        QMetaObject::invokeMethod(
            this,
            [this, key, generation, picture] {
                store_.keep(key, picture);
                if (*latest_ == generation) emit pictureReady(picture);
            },
            Qt::QueuedConnection);
    };
    pool_.start(QRunnable::create(std::move(job)));
    return std::nullopt;
}

} // namespace orvel::gui
