#pragma once
// The audit's results, kept in "ORVEL.audit" in the data folder (one "NAME<TAB>VERDICT" line per
// audited machine), and the audit workflows: the whole collection, or one machine.

#include "audit/romset_audit.h"
#include "database/machine.h"
#include "host/host.h"
#include "platform/failure.h"

#include <atomic>
#include <string>
#include <vector>

namespace orvel {

std::string audit_results_path(const std::string& data_folder);

// Writes the verdict of every audited record.
Status save_audit_results(const MachineList& machines, const std::string& path);
// Sets each record's verdict from the file (records it does not name become Unknown); returns
// how many it named. A missing file sets every verdict Unknown.
std::size_t load_audit_results(const std::string& path, MachineList& machines);
// The same, but only when the results are not older than the ROM data file (a rebuilt database
// may know other ROMs, so older verdicts no longer hold and every verdict stays Unknown).
std::size_t load_current_audit_results(const std::string& data_folder, MachineList& machines);
// The bytes of the file, and back (unknown words and names are passed over).
std::string audit_results_text(const MachineList& machines);
void parse_audit_results(std::string_view text, MachineList& machines);

// Audits every machine as the host's job, sets each record's verdict and saves the file. Fails
// as Missing without a ROM data file, as Cancelled (nothing changed) when cancel was set, as
// NotSaved when the verdicts are set but the file could not be written.
Result<AuditRun> audit_collection(const std::string& data_folder,
                                  const std::vector<std::string>& rom_folders,
                                  MachineList& machines, Host& host,
                                  const std::atomic<bool>* cancel = nullptr);

// The same in two steps. The walk reads the ROM data file and the folders but no record, so it
// may run on a worker while a window shows the records; it fails as Missing without a ROM data
// file and as Cancelled when cancel was set. The verdicts then go to the records in one go.
struct CollectionAudit {
    RomData data;
    AuditRun run;
};
Result<CollectionAudit> audit_all_romsets(const std::string& data_folder,
                                          const std::vector<std::string>& rom_folders,
                                          Host& progress,
                                          const std::atomic<bool>* cancel = nullptr);
Result<AuditRun> apply_collection_audit(const std::string& data_folder, MachineList& machines,
                                        const CollectionAudit& audit);

// Audits one machine by name (deep: decompressing its ROMs), touching nothing else: safe to
// run off the window thread. Fails as Missing without a ROM data file or when it does not know
// the machine.
struct OneAudit {
    MachineAudit audit;
    RomData data; // for the names in the findings
};
Result<OneAudit> audit_machine(const std::string& data_folder,
                               const std::vector<std::string>& rom_folders, const std::string& name,
                               bool deep);
// Keeps a machine's new verdict: sets it and saves the results file.
Status record_audit_verdict(const std::string& data_folder, MachineList& machines,
                            std::size_t machine, AuditVerdict verdict);
// audit_machine as the host's job, then record_audit_verdict.
Result<OneAudit> audit_one(const std::string& data_folder,
                           const std::vector<std::string>& rom_folders, MachineList& machines,
                           std::size_t machine, bool deep, Host& host);

// One line of a finding for people: "NAME<TAB>STATUS<TAB>SET<TAB>WHERE[<TAB>found as X]".
std::string finding_line(const RomData& data, const RomFinding& finding);

} // namespace orvel
