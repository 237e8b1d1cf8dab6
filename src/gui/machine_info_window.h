#pragma once
// The machine information window: the attribute table, the title or in-game picture and one of
// the six DAT texts of one machine. Right clicks (or the menu key) on the text list and on the
// picture open the DAT menu and the picture menu; Escape and the close box close it.

#include "app/session.h"
#include "info/dat_files.h"
#include "info/machine_info.h"

#include <QDialog>
#include <QImage>

#include <array>
#include <optional>
#include <string>

class QAction;
class QListWidget;
class QMenu;
class QTableWidget;

namespace orvel::gui {

class PictureView;

class MachineInfoWindow : public QDialog {
    Q_OBJECT
  public:
    // Builds the frames and the attribute table under the title "Loading Data...".
    MachineInfoWindow(const Machine& machine, QWidget* parent);
    ~MachineInfoWindow() override;

    // Looks up the pictures and the icon, reads the DAT texts, shows the first picture and text
    // and sets the machine's description as the title. Archives are read through archives when
    // given (their directories kept between openings).
    void load(const MamePaths& paths, const std::string& mame_folder, DatCache& cache,
              ZipIndex* archives = nullptr);

    // Puts the romset audit's panel in a frame below the DAT texts (the window owns it).
    void add_audit_panel(QWidget* panel);

    // Shows one DAT kind (1 to 6) in the text list; kind 0 shows "No Information".
    void show_dat(int kind);
    // Shows the title picture (true) or the in-game snapshot (false); a picture that was not
    // found or does not decode leaves the one on show.
    void show_picture(bool titles);

    QTableWidget* attribute_table() const { return table_; }
    QListWidget* text_list() const { return text_; }
    QWidget* picture() const;
    QMenu* dat_menu() const { return dat_menu_; }
    QMenu* picture_menu() const { return picture_menu_; }
    QAction* dat_action(int kind) const { return dat_actions_[static_cast<size_t>(kind - 1)]; }
    QAction* titles_action() const { return titles_; }
    QAction* in_game_action() const { return in_game_; }
    int shown_dat() const { return shown_dat_; }
    const PictureLocation& title_location() const { return title_location_; }
    const PictureLocation& snapshot_location() const { return snapshot_location_; }
    // The picture on show, and whether it is the placeholder figure.
    const QImage& shown_image() const;
    bool showing_placeholder() const;

  private:
    const Machine& machine_;
    QTableWidget* table_;
    PictureView* picture_;
    QListWidget* text_;
    QMenu* dat_menu_;
    QMenu* picture_menu_;
    std::array<QAction*, dat_kind_count> dat_actions_{};
    QAction* titles_;
    QAction* in_game_;
    // Shrinks what may scroll until the window fits the screen, and places it there.
    void fit_to_screen();
    // The text of one kind wrapped for the text list, laid out on first use.
    const std::string& wrapped_text(int kind);

    DatCache* cache_ = nullptr;
    ZipIndex* archives_ = nullptr;
    DatTexts entries_;                                             // as read, one kind per element
    std::array<std::optional<std::string>, dat_kind_count> texts_; // wrapped, once shown
    int shown_dat_ = 0;
    PictureLocation title_location_;
    PictureLocation snapshot_location_;
};

// The Machine Info command: the window for a machine over the main window, which stays
// disabled until the window is closed.
void show_machine_info(QWidget* main_window, Session& session, std::size_t machine);

} // namespace orvel::gui
