// orvel-cli audit [NAME] [--only complete|incomplete|missing|noroms] [--deep]: the romset audit.
// Without NAME every machine is audited and listed as NAME<TAB>VERDICT; with NAME that machine
// alone, one line per ROM (NAME<TAB>STATUS<TAB>SET<TAB>WHERE[<TAB>found as ENTRY]) and its
// verdict on standard error. Either way the results file of the data folder is updated.

#include "audit/audit_results.h"
#include "cli/common.h"
#include "platform/mame_folders.h"

#include <iostream>

namespace orvel::cli {

int cmd_audit(const Options& options, const std::vector<std::string>& args) {
    std::string name;
    bool deep = false;
    AuditVerdict only = AuditVerdict::Unknown;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--deep") {
            deep = true;
        } else if (args[i] == "--only") {
            if (i + 1 >= args.size()) return fail("audit: --only needs a verdict", usage_error);
            const std::string& word = args[++i];
            if (word == "complete")
                only = AuditVerdict::Complete;
            else if (word == "incomplete")
                only = AuditVerdict::Incomplete;
            else if (word == "missing")
                only = AuditVerdict::Missing;
            else if (word == "noroms")
                only = AuditVerdict::NoRoms;
            else
                return fail("audit: --only takes complete, incomplete, missing or noroms",
                            usage_error);
        } else if (name.empty() && !args[i].empty() && args[i][0] != '-') {
            name = args[i];
        } else {
            return fail("audit: unexpected argument '" + args[i] + "'", usage_error);
        }
    }
    if (deep && name.empty()) return fail("audit: --deep needs a machine name", usage_error);
    if (!name.empty() && only != AuditVerdict::Unknown)
        return fail("audit: --only lists the whole collection, not one machine", usage_error);

    AppState state;
    TerminalHost host(options.answer);
    std::string error;
    if (!start_core(options, state, host, error)) return fail(error);
    if (!open_machine_database(state, host, error)) return fail(error);
    const std::vector<std::string> folders =
        resolve_mame_folder_list(state.mame_paths.rompath, state.settings.MAME_Path);
    if (folders.empty()) return fail("audit: MAME names no ROM folder (rompath)");

    if (name.empty()) {
        const Result<AuditRun> run =
            audit_collection(state.settings.ORVEL_Data, folders, state.machines, host);
        if (!run && !run.is(FailureKind::NotSaved)) return fail(std::string(run.message()));
        for (const Machine& m : state.machines)
            if (only == AuditVerdict::Unknown || m.audit == only)
                std::cout << m.name << '\t' << audit_verdict_text(m.audit) << '\n';
        std::cout.flush();
        return run ? ok : fail(std::string(run.message()));
    }
    const std::int64_t position = find_machine(state.machines, name);
    if (position < 0) return fail("audit: no machine named '" + name + "'");
    const Result<OneAudit> one = audit_one(state.settings.ORVEL_Data, folders, state.machines,
                                           static_cast<size_t>(position), deep, host);
    if (!one) return fail(std::string(one.message()));
    for (const RomFinding& f : one->audit.roms)
        std::cout << finding_line(one->data, f) << '\n';
    std::cout.flush();
    std::cerr << name << ": " << audit_verdict_text(one->audit.verdict) << std::endl;
    return ok;
}

} // namespace orvel::cli
