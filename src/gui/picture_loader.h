#pragma once
// Loads the pictures the pane shows off the window thread: the lookup (folders and archives) and
// the decoding at the shown size run in a small thread pool; the result comes back to the window
// thread by a queued call. Each request supersedes the ones before it: requests not started yet
// are dropped, and the results of those already running are thrown away when they arrive, so
// holding Down through the list never waits for a picture.

#include "gui/picture_store.h"
#include "info/machine_info.h"
#include "settings/mame_paths.h"

#include <QObject>
#include <QSize>
#include <QThreadPool>

#include <atomic>
#include <memory>
#include <optional>
#include <string>

namespace orvel::gui {

class PictureLoader : public QObject {
    Q_OBJECT
  public:
    PictureLoader(std::shared_ptr<ZipIndex> archives, QObject* parent = nullptr);
    ~PictureLoader() override;

    // Where pictures are looked for; forgets the pictures kept so far.
    void set_folders(const MamePaths& paths, const std::string& mame_folder);

    // Asks for a machine's picture of a kind, fitted inside bound. A picture kept from before
    // is returned at once; otherwise it is loaded and pictureReady follows (unless another
    // request comes first).
    std::optional<ShownPicture> request(const Machine& machine, const PictureKind& kind,
                                        QSize bound);
    // A picture kept from before, without asking for anything.
    std::optional<ShownPicture> kept(const Machine& machine, const PictureKind& kind, QSize bound);
    // Drops what was asked and not delivered yet.
    void cancel();

    // Waits until the pool is idle (for tests and for shutting down).
    void wait_idle();
    PictureStore& store() { return store_; }

  signals:
    void pictureReady(const orvel::gui::ShownPicture& picture);

  private:
    struct Folders {
        MamePaths paths;
        std::string mame_folder;
    };
    std::shared_ptr<ZipIndex> archives_;
    std::shared_ptr<const Folders> folders_;
    std::shared_ptr<std::atomic<std::uint64_t>> latest_;
    QThreadPool pool_;
    PictureStore store_;
};

} // namespace orvel::gui
