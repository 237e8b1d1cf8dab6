#include "app/startup_database.h"

#include "audit/audit_results.h"
#include "database/availability.h"
#include "database/database_file.h"
#include "database/listing_build.h"
#include "database/played.h"
#include "platform/files.h"
#include "platform/folder_lock.h"
#include "platform/mame_folders.h"

#include <string_view>

namespace orvel {

namespace {

// A host that passes everything on but swallows message boxes: reading the old database
// before a refresh must not show "Oops" when there is none.
class QuietHost : public ForwardingHost {
  public:
    using ForwardingHost::ForwardingHost;
    Answer message(std::string_view, std::string_view, Buttons, Icon) override {
        return Answer::Ok;
    }
};

} // namespace

std::string cancelled_first_build_text() {
    return "The listing was cancelled, so there is no machine database yet and Orvel ends "
           "here.\r\nThe next start asks MAME for its listing again.";
}

DatabaseStartResult start_machine_database(const Settings& settings, const MamePaths& paths,
                                           MachineList& machines, ViewList& view,
                                           bool& database_changed, Host& host, bool refresh) {
    DatabaseStartResult result;
    const bool missing = file_size(database_path(settings)) <= 0;

    if (refresh || missing) {
        // The old database (when there is one) keeps the user's favourites and stored command
        // lines until the new one carries them.
        MachineList old;
        if (refresh && !missing) {
            ViewList old_view;
            QuietHost quiet(host);
            // No old database to carry from is no failure of the build.
            (void)load_database(settings, old, old_view, quiet);
        }
        BuildOptions options;
        options.regenerate = refresh;
        options.carry_from = &old;
        result.problem =
            build_database(settings, paths, machines, view, database_changed, host, options);
        result.built = true;
        result.stamp = file_stamp(database_path(settings));
        if (result.problem.is(FailureKind::Malformed)) {
            result.outcome = DatabaseOutcome::Exit;
            return result;
        }
        if (result.problem.is(FailureKind::Error) || result.problem.is(FailureKind::Cancelled)) {
            // The user was told why, or cancelled the listing; the old database (when there is
            // one) stays in use and its file unchanged.
            machines = std::move(old);
            reset_view_list(machines, view);
            if (machines.empty()) {
                if (result.problem.is(FailureKind::Cancelled))
                    host.message("Database Not Built", cancelled_first_build_text(), Buttons::Ok,
                                 Icon::Information);
                result.outcome = DatabaseOutcome::Exit;
                return result;
            }
        }
        if (result.problem.is(FailureKind::NotSaved)) {
            // The database is usable for this run; the user hears why it was not kept.
            host.message("Save Database", result.problem.message(), Buttons::Ok, Icon::Warning);
        }
    } else {
        // Read under the data folder's lock, so that the stamp is that of the file read; the
        // temporary files of saves that were killed go first.
        {
            const FolderLock lock(settings.ORVEL_Data);
            remove_stale_data_files(settings);
            result.stamp = file_stamp(database_path(settings));
            // A file that cannot be read leaves the list empty, which ends the start below.
            result.problem = load_database(settings, machines, view, host);
        }
        if (settings.ORVEL_Check_Avail == 1) {
            host.set_progress("Checking Availability...");
            check_availability(machines, paths.rompath, settings.MAME_Path, host);
        }
    }

    // The verdicts of the last romset audit, unless the ROM data has been rebuilt since.
    load_current_audit_results(settings.ORVEL_Data, machines);
    // What the user has played, kept by machine name through any rebuild.
    load_played(settings.ORVEL_Data, machines);

    if (machines.empty() && result.built &&
        (result.problem.ok() || result.problem.is(FailureKind::Missing))) {
        // MAME ran but listed nothing: restarting would only do the same again.
        const std::string why = result.problem.ok() ? std::string("its listing holds no machine")
                                                    : std::string(result.problem.message());
        const std::string text =
            "\"" + mame_executable_path(settings.MAME_Exe, settings.MAME_Path) +
            "\" listed no machines for \"-listxml\" (" + why +
            "), so it does not look like a working MAME.\n\nChoose another MAME?";
        result.outcome =
            host.message("No Machines", text, Buttons::YesNo, Icon::Warning) == Answer::Yes
                ? DatabaseOutcome::ChooseMame
                : DatabaseOutcome::Exit;
        if (result.problem.ok()) result.problem = failure(why, FailureKind::Missing);
        return result;
    }
    if (machines.empty()) {
        host.message("Database Error!", "Please Restart ORVEL!", Buttons::Ok, Icon::Error);
        result.outcome = DatabaseOutcome::Exit;
    }
    return result;
}

} // namespace orvel
