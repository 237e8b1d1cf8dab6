#include "database/machine.h"

namespace orvel {

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

} // namespace orvel
