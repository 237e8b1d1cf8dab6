#include "database/machine.h"

#include <atomic>
#include <utility>

namespace orvel {

std::uint64_t MachineList::next_generation() {
    // Only uniqueness matters; lists may be made on any thread.
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

MachineList::MachineList(MachineList&& other) noexcept
    : std::vector<Machine>(std::move(other)), generation_(other.generation_) {
    other.generation_ = next_generation();
}

MachineList& MachineList::operator=(MachineList&& other) noexcept {
    std::vector<Machine>::operator=(std::move(other));
    generation_ = other.generation_;
    other.generation_ = next_generation();
    return *this;
}

void MachineList::clear() noexcept {
    std::vector<Machine>::clear();
    bump_generation();
}

void MachineList::swap(MachineList& other) noexcept {
    std::vector<Machine>::swap(other);
    std::swap(generation_, other.generation_);
}

void MachineList::bump_generation() {
    generation_ = next_generation();
}

CommandLine default_commandline() {
    return CommandLine{"Default", "", -1};
}

void reset_view_list(const MachineList& machines, ViewList& view) {
    view.resize(machines.size());
    for (size_t i = 0; i < machines.size(); ++i)
        view[i] = static_cast<std::int64_t>(i);
}

std::int64_t find_machine(const MachineList& machines, const std::string& name) {
    for (size_t i = 0; i < machines.size(); ++i)
        if (machines[i].name == name) return static_cast<std::int64_t>(i);
    return -1;
}

bool set_favourite(Machine& machine) {
    if (machine.isfavourite) return false;
    machine.isfavourite = true;
    return true;
}

bool clear_favourite(Machine& machine) {
    if (!machine.isfavourite) return false;
    machine.isfavourite = false;
    return true;
}

std::string_view audit_verdict_text(AuditVerdict verdict) {
    switch (verdict) {
    case AuditVerdict::Complete:
        return "Complete";
    case AuditVerdict::Incomplete:
        return "Incomplete";
    case AuditVerdict::Missing:
        return "Missing";
    case AuditVerdict::NoRoms:
        return "Needs No ROMs";
    case AuditVerdict::Unknown:
        break;
    }
    return "";
}

} // namespace orvel
