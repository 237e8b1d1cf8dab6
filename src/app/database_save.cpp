#include "app/database_save.h"

#include "database/database_file.h"
#include "database/played.h"
#include "platform/files.h"
#include "platform/folder_lock.h"

namespace orvel {

namespace {

std::string lock_folder(const Settings& settings) {
    return settings.ORVEL_Data.empty() ? std::string(".") : settings.ORVEL_Data;
}

DatabaseSave reload(AppState& state, Host& host, const ListReplacement& around_reload) {
    DatabaseSave result{SaveOutcome::Reloaded, {}};
    // The file is read beside the lists, which a window may go on showing meanwhile; they are
    // replaced in one step afterwards.
    MachineList machines;
    ViewList view;
    FileStamp stamp;
    {
        const FolderLock lock(lock_folder(state.settings));
        stamp = file_stamp(database_path(state.settings));
        result.status = load_database(state.settings, machines, view, host);
    }
    load_played(state.settings.ORVEL_Data, machines);
    const auto replace = [&] {
        state.database_stamp = stamp;
        state.machines = std::move(machines);
        state.view = std::move(view);
        state.current_machine = -1;
    };
    if (around_reload)
        around_reload(replace);
    else
        replace();
    if (!result.status) result.outcome = SaveOutcome::Failed;
    // What was in memory is gone either way: there is nothing left to save.
    state.database_changed = false;
    return result;
}

} // namespace

DatabaseSave save_machine_database(AppState& state, Host& host,
                                   const ListReplacement& around_reload) {
    const std::string path = database_path(state.settings);
    for (;;) {
        FileStamp found;
        {
            const FolderLock lock(lock_folder(state.settings));
            found = file_stamp(path);
            // A file that is gone is no one's newer work: it is simply written again.
            if (found == state.database_stamp || found.size < 0) {
                DatabaseSave result;
                result.status =
                    save_database(state.machines, state.settings, state.database_changed, host);
                if (result.status)
                    state.database_stamp = file_stamp(path);
                else
                    result.outcome = SaveOutcome::Failed;
                return result;
            }
        }
        switch (host.message("Database Changed",
                             "Another program saved the database since it was loaded here:\n" +
                                 path +
                                 "\n\nReload it (the changes made here are lost), overwrite it "
                                 "(the other program's changes are lost), or cancel?",
                             Buttons::ReloadOverwriteCancel, Icon::Warning)) {
        case Answer::Yes:
            return reload(state, host, around_reload);
        case Answer::No:
            // Overwrite what was seen; a file changed yet again is asked about again.
            state.database_stamp = found;
            break;
        default:
            return {SaveOutcome::Cancelled, failure("", FailureKind::Cancelled)};
        }
    }
}

} // namespace orvel
