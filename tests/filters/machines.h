#pragma once
// Small machine lists for the filter tests, built in code.

#include "database/machine.h"
#include "filters/filter_pass.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace orvel::test {

inline Machine machine(std::string name, std::string description = "") {
    Machine m;
    m.name = std::move(name);
    m.description = description.empty() ? m.name : std::move(description);
    m.commandlines.push_back(default_commandline());
    return m;
}

// Short names of the rows, in row order.
inline std::vector<std::string> row_names(const MachineList& machines, const ViewList& view) {
    std::vector<std::string> out;
    for (std::int64_t p : view)
        out.push_back(machines[static_cast<size_t>(p)].name);
    return out;
}

using Names = std::vector<std::string>;

// One filter pass with its own index, returning the row names.
inline Names pass(MachineList& machines, const FilterSet& filter, const FolderList& folders = {},
                  SortType sort = SortType::Description) {
    ViewList view;
    ListIndex index;
    filter_machines(machines, filter, folders, sort, view, index);
    return row_names(machines, view);
}

} // namespace orvel::test
