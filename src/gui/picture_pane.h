#pragma once
// The picture pane beside the machine list: the selected machine's picture of the chosen kind
// (Title, In-Game or Icon, from a small bar above it), found as the information window finds it,
// with a note when a clone shows its parent's picture and the placeholder figure when there is
// none. Pictures load off the window thread (picture_loader.h), once the selection has rested
// for a moment: holding Down through the list starts no load for the rows passed over.

#include "database/machine.h"
#include "gui/picture_store.h"
#include "info/machine_info.h"

#include <QWidget>

#include <memory>
#include <string>

class QComboBox;
class QLabel;
class QTimer;

namespace orvel::gui {

class PictureLoader;
class PictureView;

class PicturePane : public QWidget {
    Q_OBJECT
  public:
    static constexpr int default_width = 320;

    PicturePane(std::shared_ptr<ZipIndex> archives, QWidget* parent = nullptr);
    ~PicturePane() override;

    void set_folders(const MamePaths& paths, const std::string& mame_folder);
    // The kind shown, by its place in the bar (0 Title, 1 In-Game, 2 Icon).
    void set_kind(int kind);
    int kind() const;
    // Shows a machine's picture (the placeholder for none).
    void show_machine(const Machine* machine);

    QComboBox* kind_box() const { return kinds_; }
    QLabel* note() const { return note_; }
    PictureView* view() const { return view_; }
    PictureLoader* loader() const { return loader_; }
    const QImage& shown_image() const;
    bool showing_placeholder() const;
    // True while the picture of the last machine asked for is still on its way.
    bool loading() const { return loading_; }

  signals:
    void kindChosen(int kind);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void show_picture(const ShownPicture& picture);
    void ask();
    void load();
    Machine shown_machine() const;

    QComboBox* kinds_;
    PictureView* view_;
    QLabel* note_;
    PictureLoader* loader_;
    QTimer* rest_;     // a picture is loaded once the selection rests
    std::string name_; // the machine shown, empty for none
    std::string cloneof_;
    bool loading_ = false;
};

// The picture kinds the pane offers, in bar order: the keys of picture_kinds().
const PictureKind& pane_picture_kind(int kind);

} // namespace orvel::gui
