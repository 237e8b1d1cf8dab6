#pragma once
// The program's session: it owns the process-wide records and offers the program's commands
// over the host. The windows are views of it: they call these functions and show what they
// report; orvel-cli calls the same functions where it does the same thing. Nothing here knows
// about windows, so every workflow's questions, answers and results can be checked with a
// scripted host.

#include "app/app_state.h"
#include "app/database_save.h"
#include "app/startup.h"
#include "app/startup_database.h"
#include "audit/audit_results.h"
#include "database/availability.h"
#include "host/host.h"
#include "launch/launch.h"
#include "platform/failure.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

// The Exit command asks about saving with an information icon; the close box warns.
enum class ExitRequest { Command, CloseBox };

struct ExitAnswer {
    bool exit = false;  // the user confirmed "Exit Orvel?"
    bool saved = false; // the database was saved (or the save was tried) on the way
};

// What a run reports back to the window that asked for it.
struct RunReport {
    LaunchOutcome outcome = LaunchOutcome::NotStarted;
    MameCommand command;  // the program and folder the run used (for a "not started" message)
    CapturedRun captured; // a captured run's files
    int exit_status = -1; // MAME's, when it ran (128 + the signal that ended it)
};

class Session {
  public:
    // MAME's console is a terminal, which keeps MAME's text after a run: a failed run asks for
    // no key there (orvel-cli).
    bool terminal = false;

    // Start-up before the database: the preferences, the MAME executable, its configuration.
    StartupResult start(Host& host, const StartupOptions& options);
    // Start-up's machine database (start_machine_database), then the category folders. When
    // MAME listed no machines and the user wants another, MAME is forgotten (and the
    // preferences saved) so that the next start asks for one.
    DatabaseOutcome open_database(Host& host, bool refresh);

    // The whole state, for the start-up and orvel-cli, which fill it and work on it directly.
    // Windows keep none of it: they ask for what they show through the functions below.
    AppState& whole_state() { return state; }
    const AppState& whole_state() const { return state; }

    // What the windows show, and the pieces they edit in place (the preferences, the filter and
    // its tree, the caches of the information window and the pictures).
    Settings& settings() { return state.settings; }
    const Settings& settings() const { return state.settings; }
    const MamePaths& mame_paths() const { return state.mame_paths; }
    const MachineList& machines() const { return state.machines; }
    const ViewList& view() const { return state.view; }
    std::int64_t current_position() const { return state.current_machine; }
    std::int64_t selected_commandline() const { return state.selected_commandline; }
    FilterSet& filter() { return state.filter; }
    TreeItemList& tree() { return state.tree; }
    const SoftwareItemList& software_items() const { return state.software_items; }
    SoftwareFilter software_filter() const { return state.software_filter; }
    DatCache& dat_cache() { return state.dat_cache; }
    const std::shared_ptr<ZipIndex>& archives() const { return state.archives; }

    // The current machine record, or null when none is current.
    Machine* current_machine();
    // Makes the machine in the view's row current; false when the view has no such row.
    bool select_row(std::int64_t row);
    // The filter pass: the view list from the records, the filter and the sort key.
    void filter_machines();
    // The filter tree's items, built from the records and the folders when there are none.
    TreeItemList& built_tree();
    // A click on a tree item: answers whether the filter changed.
    bool choose_tree_item(std::size_t position);
    // The filter and the tree as at start.
    void reset_filter();

    // The one launch flow of every run: the current machine (none for an empty run) with the
    // selected stored command line and the session's pause-on-exit, as the request asks
    // (processed or the name alone, captured or in the console, with a medium or software
    // item, with or without the availability question). A run of a machine that ran counts in
    // the play record, which the records follow afterwards.
    RunReport run(Host& host, const LaunchRequest& request, const FileOpener& open_file = {});

    // Stored command lines of the current machine. Each edit that changes the record sets
    // the database-changed flag; the functions answer whether something changed.
    void set_pause_on_exit(bool on) { state.pause_on_exit = on; }
    // The advanced run window opens on a machine, which becomes current: pause-on-exit starts
    // off and the selection stays when it is one of the machine's stored command lines. When
    // it closes the next run uses the first stored command line again.
    void begin_advanced_run(std::int64_t machine);
    void end_advanced_run() { state.selected_commandline = 0; }
    // The selection falls back to the first stored command line when the position is not one
    // of the machine's; answers the position selected.
    std::int64_t select_commandline(std::int64_t position);
    bool set_commandline_text(const std::string& text);
    bool set_commandline_bios(std::int64_t bios); // -1: no BIOS
    // Asks for a name; the new stored command line goes after the selected one and becomes
    // selected. Answers its position, nothing when the user gave no name.
    std::optional<std::int64_t> add_commandline(Host& host);
    // Asks "Remove Commandline?"; the last stored command line is refused with an "Error" box.
    // Answers the position selected afterwards, nothing when nothing was removed.
    std::optional<std::int64_t> remove_commandline(Host& host, std::int64_t position);
    // Asks "Options Will Be Removed!"; answers whether the user agreed.
    bool clear_commandline(Host& host);

    // Software lists of a machine, one loaded at a time while the software list window is
    // open; begin_software_lists makes the machine current.
    void begin_software_lists(std::int64_t machine) { state.current_machine = machine; }
    // Loads one of them in place of the one before; a list that cannot be read leaves no
    // items (a failure to read one that is there is reported through the host). Answers the
    // number of items loaded.
    std::size_t open_software_list(Host& host, const std::string& list);
    // The positions of the loaded items the filter (kept between openings) and the search text
    // show. The first becomes the current item, none when nothing is shown.
    std::vector<std::int64_t> show_software(SoftwareFilter filter, std::string_view search);
    void select_software_item(std::int64_t position) { state.software_items.current = position; }
    void close_software_lists() { state.software_items.clear(); }

    // Adds or removes the current machine's favourite mark; answers whether it changed.
    bool change_favourite(bool add);

    // Scans the rom folders for the machines' romsets (with the steps' texts when asked); the
    // database has changed afterwards unless there was nothing to scan.
    AvailabilityResult check_availability(Host& host, bool step_texts = false);
    // The same in two steps: the walk reads the records only, so it may run on a worker while
    // a window shows them; what it found replaces the marks in one go afterwards.
    AvailabilityFound find_availability(Host& host, bool step_texts = false) const;
    AvailabilityResult apply_availability(const AvailabilityFound& found);

    // "Save Folder Ini": the machines the list shows, in its order, as a folder file of the
    // user's naming (save_folder_ini). Afterwards the folders are read anew and the tree items
    // rebuilt, so a saved file shows up as a folder at once; the filter set stays. A write that
    // fails is reported rather than passing without a word. Answers the file's path.
    Result<std::string> save_folder_ini(Host& host);

    // "Reset Database" (see reset_database): on Yes the machine and view lists are emptied
    // (through around_discard when given, as the desktop's list model wants it) and discarded
    // is called before the remaining questions. True when the program must end at once.
    bool reset_database(Host& host, const ListReplacement& around_discard = {},
                        const std::function<void()>& discarded = {});

    // The romset audit of the whole collection: the walk's verdicts go to the records and the
    // results file (see apply_collection_audit); one machine's verdict likewise.
    Result<AuditRun> apply_audit(const CollectionAudit& audit);
    Status record_audit_verdict(std::size_t machine, AuditVerdict verdict);

    // Saves the machine database (see save_machine_database); a failed save is reported in a
    // box titled report_title rather than passing as a saved one.
    DatabaseSave save_database(Host& host, const std::string& report_title,
                               const ListReplacement& around_reload = {});

    // The questions before the program ends: "Update Database?" when the database changed
    // (Yes calls save, which saves as the view wants it done), then "Exit Orvel?".
    ExitAnswer exit_questions(Host& host, ExitRequest request, const std::function<void()>& save);
    // The same questions one at a time, for a view that saves as long work between them:
    // "Update Database?" (asked only when the database changed; true on Yes), then "Exit Orvel?".
    bool ask_update_database(Host& host, ExitRequest request) const;
    static bool ask_exit(Host& host);

  private:
    AppState state;
};

} // namespace orvel
