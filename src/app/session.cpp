#include "app/session.h"

#include "app/reset_database.h"
#include "database/availability.h"
#include "database/played.h"
#include "filters/filter_tree.h"
#include "filters/folders.h"
#include "launch/commandlines.h"
#include "platform/mame_folders.h"
#include "settings/preferences.h"

namespace orvel {

StartupResult Session::start(Host& host, const StartupOptions& options) {
    return run_startup(state.settings, state.mame_paths, host, options);
}

DatabaseOutcome Session::open_database(Host& host, bool refresh) {
    const DatabaseStartResult database =
        start_machine_database(state.settings, state.mame_paths, state.machines, state.view,
                               state.database_changed, host, refresh);
    if (database.outcome == DatabaseOutcome::ChooseMame) {
        state.settings.MAME_Exe.clear();
        (void)save_preferences(state.settings, preferences_path(state.settings));
    }
    if (database.outcome != DatabaseOutcome::Continue) return database.outcome;
    state.database_stamp = database.stamp;
    host.set_progress("Loading Folders...");
    load_folders(state.mame_paths.categorypath, state.settings.MAME_Path, state.machines,
                 state.folders);
    return DatabaseOutcome::Continue;
}

Machine* Session::current_machine() {
    if (state.current_machine < 0 ||
        static_cast<std::size_t>(state.current_machine) >= state.machines.size())
        return nullptr;
    return &state.machines[static_cast<std::size_t>(state.current_machine)];
}

bool Session::select_row(std::int64_t row) {
    if (row < 0 || static_cast<std::size_t>(row) >= state.view.size()) return false;
    state.current_machine = state.view[static_cast<std::size_t>(row)];
    return true;
}

void Session::filter_machines() {
    orvel::filter_machines(state.machines, state.filter, state.folders,
                           sort_type_of(state.settings.ORVEL_Sort_Type), state.view,
                           state.list_index);
}

TreeItemList& Session::built_tree() {
    if (state.tree.empty()) build_filter_tree(state.machines, state.folders, state.tree);
    return state.tree;
}

bool Session::choose_tree_item(std::size_t position) {
    return on_tree_click(state.tree, position, state.filter);
}

void Session::reset_filter() {
    orvel::reset_filter(state.filter, state.tree, state.machines, state.folders);
}

Result<AuditRun> Session::apply_audit(const CollectionAudit& audit) {
    return apply_collection_audit(state.settings.ORVEL_Data, state.machines, audit);
}

Status Session::record_audit_verdict(std::size_t machine, AuditVerdict verdict) {
    return orvel::record_audit_verdict(state.settings.ORVEL_Data, state.machines, machine, verdict);
}

RunReport Session::run(Host& host, const LaunchRequest& request, const FileOpener& open_file) {
    RunReport report;
    report.command = mame_command(state.settings, state.pause_on_exit);
    report.command.pause_on_failure = !terminal;
    // The desktop's console can stop a run: MAME and what it starts form a group of their own.
    // A terminal's Ctrl+C must reach MAME, so there it stays in the terminal's group.
    report.command.own_group = !terminal;
    const Machine* machine = current_machine();
    // A stored command line that is not the machine's (a list read anew meanwhile) is not
    // passed on: the run uses the first one.
    if (machine && !commandline_at(*machine, state.selected_commandline))
        state.selected_commandline = 0;
    report.outcome = launch_mame(request, machine, state.selected_commandline, report.command, host,
                                 open_file, &report.exit_status, &report.captured);
    if (report.outcome == LaunchOutcome::Ran && !request.empty_run &&
        !state.settings.ORVEL_Data.empty())
        load_played(state.settings.ORVEL_Data, state.machines);
    return report;
}

void Session::begin_advanced_run(std::int64_t machine) {
    state.current_machine = machine;
    state.pause_on_exit = false;
    select_commandline(state.selected_commandline);
}

std::int64_t Session::select_commandline(std::int64_t position) {
    const Machine* machine = current_machine();
    state.selected_commandline = machine && commandline_at(*machine, position) ? position : 0;
    return state.selected_commandline;
}

bool Session::set_commandline_text(const std::string& text) {
    Machine* machine = current_machine();
    if (!machine || !set_commandline_string(*machine, state.selected_commandline, text))
        return false;
    state.database_changed = true;
    return true;
}

bool Session::set_commandline_bios(std::int64_t bios) {
    Machine* machine = current_machine();
    if (!machine || !orvel::set_commandline_bios(*machine, state.selected_commandline, bios))
        return false;
    state.database_changed = true;
    return true;
}

std::optional<std::int64_t> Session::add_commandline(Host& host) {
    Machine* machine = current_machine();
    if (!machine) return std::nullopt;
    const std::optional<std::string> name =
        host.ask_text("Add Commandline", " Please enter a name.", "");
    if (!name) return std::nullopt;
    const std::optional<std::int64_t> position =
        orvel::add_commandline(*machine, state.selected_commandline, *name);
    if (!position) return std::nullopt;
    state.database_changed = true;
    state.selected_commandline = *position;
    return position;
}

std::optional<std::int64_t> Session::remove_commandline(Host& host, std::int64_t position) {
    Machine* machine = current_machine();
    if (!machine) return std::nullopt;
    if (host.message("Remove Command", "Remove Commandline?", Buttons::YesNo) != Answer::Yes)
        return std::nullopt;
    const Result<std::int64_t> removed = orvel::remove_commandline(*machine, position);
    if (removed.is(FailureKind::Refused)) {
        host.message("Error", removed.message(), Buttons::Ok, Icon::Error);
        return std::nullopt;
    }
    if (!removed) return std::nullopt;
    state.database_changed = true;
    state.selected_commandline = *removed;
    return *removed;
}

bool Session::clear_commandline(Host& host) {
    if (host.message("Clear Options...", "Options Will Be Removed!", Buttons::YesNo,
                     Icon::Warning) != Answer::Yes)
        return false;
    set_commandline_text("");
    return true;
}

std::size_t Session::open_software_list(Host& host, const std::string& list) {
    (void)load_software_list(list, state.mame_paths.hashpath, state.mame_paths.rompath,
                             state.settings.MAME_Path, state.software_items, host);
    return state.software_items.items.size();
}

std::vector<std::int64_t> Session::show_software(SoftwareFilter filter, std::string_view search) {
    state.software_filter = filter;
    std::vector<std::int64_t> shown =
        filter_software_items(state.software_items.items, filter, search);
    state.software_items.current = shown.empty() ? -1 : shown.front();
    return shown;
}

bool Session::change_favourite(bool add) {
    Machine* machine = current_machine();
    if (!machine) return false;
    const bool changed = add ? set_favourite(*machine) : clear_favourite(*machine);
    if (changed) state.database_changed = true;
    return changed;
}

AvailabilityResult Session::check_availability(Host& host, bool step_texts) {
    AvailabilityFound found;
    host.run_job([&](Host& progress) { found = find_availability(progress, step_texts); });
    return apply_availability(found);
}

AvailabilityFound Session::find_availability(Host& host, bool step_texts) const {
    if (state.mame_paths.rompath.empty()) return {};
    return find_available(
        state.machines,
        resolve_mame_folder_list(state.mame_paths.rompath, state.settings.MAME_Path), host,
        step_texts);
}

AvailabilityResult Session::apply_availability(const AvailabilityFound& found) {
    // Nothing to scan (no rom folder named): nothing changes.
    if (state.mame_paths.rompath.empty()) return {};
    const AvailabilityResult scan = orvel::apply_availability(state.machines, found);
    state.database_changed = true;
    return scan;
}

Result<std::string> Session::save_folder_ini(Host& host) {
    const Settings& settings = state.settings;
    Result<std::string> saved =
        orvel::save_folder_ini(host, settings.MAME_Path, settings.MAME_Version,
                               settings.version_text, state.machines, state.view);
    if (saved.is(FailureKind::Error))
        host.message("Save Folder Ini",
                     "The folder file was not written.\r\n" + std::string(saved.message()),
                     Buttons::Ok, Icon::Error);
    // The folder files are read anew whatever the outcome: another program may have written one.
    state.folders.clear();
    load_folders(state.mame_paths.categorypath, settings.MAME_Path, state.machines, state.folders);
    build_filter_tree(state.machines, state.folders, state.tree);
    return saved;
}

bool Session::reset_database(Host& host, const ListReplacement& around_discard,
                             const std::function<void()>& discarded) {
    return orvel::reset_database(host, state.settings, [&] {
        const auto empty = [this] {
            state.machines.clear();
            state.view.clear();
        };
        if (around_discard)
            around_discard(empty);
        else
            empty();
        state.current_machine = -1;
        if (discarded) discarded();
    });
}

DatabaseSave Session::save_database(Host& host, const std::string& report_title,
                                    const ListReplacement& around_reload) {
    const DatabaseSave saved = save_machine_database(state, host, around_reload);
    // A save that fails must not look like one that worked.
    if (saved.outcome == SaveOutcome::Failed)
        host.message(report_title,
                     "The database could not be saved.\r\n" + std::string(saved.status.message()),
                     Buttons::Ok, Icon::Error);
    return saved;
}

ExitAnswer Session::exit_questions(Host& host, ExitRequest request,
                                   const std::function<void()>& save) {
    ExitAnswer answer;
    if (ask_update_database(host, request)) {
        save();
        answer.saved = true;
    }
    answer.exit = ask_exit(host);
    return answer;
}

bool Session::ask_update_database(Host& host, ExitRequest request) const {
    return state.database_changed &&
           host.message("Save Changes", "Update Database?", Buttons::YesNo,
                        request == ExitRequest::CloseBox ? Icon::Warning : Icon::Information) ==
               Answer::Yes;
}

bool Session::ask_exit(Host& host) {
    return host.message("Close", "Exit Orvel?", Buttons::YesNo, Icon::Warning) == Answer::Yes;
}

} // namespace orvel
