#include "filters/list_texts.h"

#include "platform/text.h"

namespace orvel {

std::string title_cell(const Machine& machine) {
    if (!machine.isfavourite) return machine.description;
    std::string out;
    out.reserve(favourite_prefix.size() + machine.description.size());
    out.append(favourite_prefix);
    out.append(machine.description);
    return out;
}

std::string cell_text(const Machine& machine, int column) {
    switch (column) {
    case column_title:
        return title_cell(machine);
    case column_manufacturer:
        return machine.manufacturer;
    case column_year:
        return machine.year;
    default:
        return {};
    }
}

StatusTexts status_texts(const MachineList& machines, const ViewList& view, std::int64_t current) {
    StatusTexts out;
    out.fields[0] =
        "Showing: " + std::to_string(view.size()) + " of " + std::to_string(machines.size());
    out.fields[5] = "Status: ";
    const bool has_current =
        !view.empty() && current >= 0 && static_cast<size_t>(current) < machines.size();
    if (!has_current) {
        out.fields[1] = "Driver: N/A";
        out.fields[2] = "Available: N/A";
        out.fields[3] = "Set Type: N/A";
        out.image = StatusImage::Preliminary;
        return out;
    }
    const Machine& m = machines[static_cast<size_t>(current)];
    out.fields[1] = "Driver: " + m.name;
    out.fields[2] = std::string("Available: ") + (m.isavailable ? "Yes" : "");
    out.fields[3] = m.cloneof.empty() ? std::string("Parent Set") : "Clone Of: " + m.cloneof;
    if (m.audit != AuditVerdict::Unknown)
        out.fields[4] = "Audit: " + std::string(audit_verdict_text(m.audit));
    if (m.driver_status == "good")
        out.image = StatusImage::Good;
    else if (m.driver_status == "imperfect")
        out.image = StatusImage::Imperfect;
    else if (m.driver_status == "preliminary")
        out.image = StatusImage::Preliminary;
    return out;
}

} // namespace orvel
