#include "audit/audit_results.h"

#include "platform/files.h"
#include "platform/text.h"

#include <cerrno>
#include <unordered_map>

namespace orvel {

namespace {

constexpr std::string_view words[] = {"", "complete", "incomplete", "missing", "noroms"};

} // namespace

std::string audit_results_path(const std::string& data_folder) {
    return join_path(data_folder, "ORVEL.audit");
}

std::string audit_results_text(const MachineList& machines) {
    std::string out;
    out.reserve(machines.size() * 20);
    for (const Machine& m : machines) {
        if (m.audit == AuditVerdict::Unknown) continue;
        out += m.name;
        out += '\t';
        out += words[static_cast<std::size_t>(m.audit)];
        out += "\r\n";
    }
    return out;
}

void parse_audit_results(std::string_view text, MachineList& machines) {
    std::unordered_map<std::string_view, std::size_t> by_name;
    by_name.reserve(machines.size());
    for (std::size_t i = 0; i < machines.size(); ++i) {
        by_name.emplace(machines[i].name, i);
        machines[i].audit = AuditVerdict::Unknown;
    }
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) continue;
        const auto it = by_name.find(line.substr(0, tab));
        if (it == by_name.end()) continue;
        const std::string_view word = line.substr(tab + 1);
        for (std::size_t w = 1; w < std::size(words); ++w)
            if (word == words[w]) machines[it->second].audit = static_cast<AuditVerdict>(w);
    }
}

Status save_audit_results(const MachineList& machines, const std::string& path) {
    if (!write_file_atomic(path, audit_results_text(machines)))
        return system_failure("The audit results could not be written to " + path, errno);
    return {};
}

std::size_t load_audit_results(const std::string& path, MachineList& machines) {
    // One short line per machine: a file far larger is not the program's and counts as none.
    constexpr std::uint64_t max_audit_results_bytes = 64 << 20;
    const Result<std::string> text = read_file(path, max_audit_results_bytes);
    parse_audit_results(text ? std::string_view(*text) : std::string_view(), machines);
    std::size_t named = 0;
    for (const Machine& m : machines)
        named += m.audit != AuditVerdict::Unknown;
    return named;
}

std::size_t load_current_audit_results(const std::string& data_folder, MachineList& machines) {
    const std::string path = audit_results_path(data_folder);
    const std::optional<std::int64_t> results = file_modified_time(path);
    const std::optional<std::int64_t> roms = file_modified_time(rom_data_path(data_folder));
    if (!results || (roms && *roms > *results)) {
        for (Machine& m : machines)
            m.audit = AuditVerdict::Unknown;
        return 0;
    }
    return load_audit_results(path, machines);
}

Result<AuditRun> audit_collection(const std::string& data_folder,
                                  const std::vector<std::string>& rom_folders,
                                  MachineList& machines, Host& host,
                                  const std::atomic<bool>* cancel) {
    Result<CollectionAudit> audit = failure("");
    host.run_job([&](Host& progress) {
        audit = audit_all_romsets(data_folder, rom_folders, progress, cancel);
    });
    host.set_progress("");
    if (!audit) return audit.failure();
    return apply_collection_audit(data_folder, machines, *audit);
}

Result<CollectionAudit> audit_all_romsets(const std::string& data_folder,
                                          const std::vector<std::string>& rom_folders,
                                          Host& progress, const std::atomic<bool>* cancel) {
    progress.set_progress("Reading ROM Data...");
    Result<RomData> data = load_rom_data(rom_data_path(data_folder));
    if (!data) return data.failure();
    AuditRun run = audit_romsets(*data, rom_folders, progress, cancel);
    if (run.cancelled) return failure("The audit was cancelled.", FailureKind::Cancelled);
    return CollectionAudit{std::move(*data), std::move(run)};
}

Result<AuditRun> apply_collection_audit(const std::string& data_folder, MachineList& machines,
                                        const CollectionAudit& audit) {
    const RomData& data = audit.data;
    std::unordered_map<std::string_view, std::size_t> by_name;
    by_name.reserve(machines.size());
    for (std::size_t i = 0; i < machines.size(); ++i) {
        by_name.emplace(machines[i].name, i);
        machines[i].audit = AuditVerdict::Unknown;
    }
    for (std::size_t s = 0; s < data.sets().size(); ++s) {
        const auto it = by_name.find(data.text(data.sets()[s].name));
        if (it != by_name.end()) machines[it->second].audit = audit.run.verdicts[s];
    }
    const Status saved = save_audit_results(machines, audit_results_path(data_folder));
    if (!saved) return failure(std::string(saved.message()), FailureKind::NotSaved);
    return audit.run;
}

Result<OneAudit> audit_machine(const std::string& data_folder,
                               const std::vector<std::string>& rom_folders, const std::string& name,
                               bool deep) {
    Result<RomData> data = load_rom_data(rom_data_path(data_folder));
    if (!data) return data.failure();
    const std::int64_t set = data->find(name);
    if (set < 0)
        return failure("The ROM data does not know " + name + ": rebuild the database.",
                       FailureKind::Missing);
    MachineAudit audit;
    {
        RomsetAuditor auditor(*data, rom_folders);
        audit = deep ? auditor.deep_audit(static_cast<std::uint32_t>(set))
                     : auditor.audit(static_cast<std::uint32_t>(set));
    }
    return OneAudit{std::move(audit), std::move(*data)};
}

Status record_audit_verdict(const std::string& data_folder, MachineList& machines,
                            std::size_t machine, AuditVerdict verdict) {
    machines[machine].audit = verdict;
    return save_audit_results(machines, audit_results_path(data_folder));
}

Result<OneAudit> audit_one(const std::string& data_folder,
                           const std::vector<std::string>& rom_folders, MachineList& machines,
                           std::size_t machine, bool deep, Host& host) {
    Result<OneAudit> one = failure("");
    const std::string name = machines[machine].name;
    host.run_job([&](Host& progress) {
        progress.set_progress(deep ? "Checking Romset..." : "Auditing Romset...");
        one = audit_machine(data_folder, rom_folders, name, deep);
    });
    host.set_progress("");
    if (!one) return one;
    const Status saved = record_audit_verdict(data_folder, machines, machine, one->audit.verdict);
    if (!saved) return failure(std::string(saved.message()), FailureKind::NotSaved);
    return one;
}

std::string finding_line(const RomData& data, const RomFinding& f) {
    const RomEntry& rom = data.roms()[f.rom];
    std::string line(data.text(rom.name));
    line += '\t';
    line += rom_status_text(f.status);
    line += '\t';
    line += data.text(data.sets()[f.set].name);
    line += '\t';
    line += f.where;
    if (!f.where.empty() && file_name_of(f.found_as) != file_name_of(f.where) &&
        (f.status != RomStatus::Good || f.found_as != data.text(rom.name)))
        line += "\tfound as " + f.found_as;
    return line;
}

} // namespace orvel
