#include "launch/ini_files.h"

#include "platform/files.h"
#include "platform/text.h"

namespace orvel {

std::vector<std::string> ini_file_names(const Machine& machine, const MachineList& machines) {
    std::vector<std::string> names = {"mame.ini", "debug.ini"};
    if (machine.screen_rotate == "0" || machine.screen_rotate == "180")
        names.emplace_back("horizont.ini");
    else if (machine.screen_rotate == "90" || machine.screen_rotate == "270")
        names.emplace_back("vertical.ini");
    if (!machine.screen_type.empty()) names.push_back(to_lower(machine.screen_type) + ".ini");
    names.push_back("source/" + base_name_of(file_name_of(machine.sourcefile)) + ".ini");
    if (!machine.romof.empty()) {
        // The machine this one takes ROMs from names the BIOS when it has a romof of its own.
        const std::int64_t parent = find_machine(machines, machine.romof);
        if (parent >= 0) {
            const std::string& bios = machines[static_cast<std::size_t>(parent)].romof;
            if (!bios.empty()) names.push_back(bios + ".ini");
        }
    }
    if (!machine.cloneof.empty()) names.push_back(machine.cloneof + ".ini");
    names.push_back(machine.name + ".ini");
    return names;
}

std::string ini_names_prompt(const std::vector<std::string>& names) {
    std::string text = "Valid Names\n-----------\n";
    for (const std::string& name : names) {
        text += name;
        text += '\n';
    }
    text += "\n(arcade.ini, console.ini,\n computer.ini, othersys.ini\ncan be used depending\n "
            "on system type.)";
    return text;
}

namespace {

// The target in the chosen folder; false when the folder chooser was cancelled or the user
// keeps an existing file.
bool choose_target(Host& host, const std::string& mame_folder, const std::string& name,
                   std::string& path, bool& overwriting) {
    const std::string folder = host.choose_folder("Select Path", mame_folder);
    if (folder.empty()) return false;
    path = join_path(folder, name);
    overwriting = file_size(path) >= 0;
    return !overwriting || host.message("Warning", "File exists. OverWrite?", Buttons::YesNo,
                                        Icon::Warning) == Answer::Yes;
}

// A name such as "source/galaxian.ini" goes into its sub-folder, made when missing.
bool make_parent(const std::string& path) {
    const std::string parent = folder_of(path);
    return parent.empty() || create_folders(parent);
}

} // namespace

Result<CreatedIni> create_ini_file(Host& host, const Machine& machine, const MachineList& machines,
                                   const std::string& mame_folder) {
    const Failure cancelled = failure("", FailureKind::Cancelled);
    const std::optional<std::string> answer =
        host.ask_text("Enter Filename", ini_names_prompt(ini_file_names(machine, machines)),
                      machine.name + ".ini");
    if (!answer || answer->empty()) return cancelled;
    const std::string& name = *answer;
    CreatedIni created;
    bool overwriting = false;
    const auto not_created = [&] {
        return failure("The ini file could not be created: " + created.path);
    };

    switch (host.message("File Type...", "Copy existing ini file?", Buttons::YesNoCancel)) {
    case Answer::Yes: {
        const std::string source = host.choose_open_file("Select File", "", "Ini Files|*.ini");
        if (source.empty() || !choose_target(host, mame_folder, name, created.path, overwriting))
            return cancelled;
        if (!make_parent(created.path) || !copy_file_atomic(source, created.path)) {
            host.message("Error!", "File Not Created!", Buttons::Ok,
                         overwriting ? Icon::Warning : Icon::Error);
            return not_created();
        }
        created.copied = true;
        host.message("File Copied", name + " created", Buttons::Ok, Icon::Information);
        return created;
    }
    case Answer::No:
        if (host.message("Create Blank ini", "Create " + name + " ?", Buttons::YesNo,
                         Icon::Information) != Answer::Yes ||
            !choose_target(host, mame_folder, name, created.path, overwriting))
            return cancelled;
        if (!make_parent(created.path) || !write_file_atomic(created.path, "")) {
            host.message("Error", "File Not Created!", Buttons::Ok,
                         overwriting ? Icon::Error : Icon::Warning);
            return not_created();
        }
        host.message("File Created", name + " created", Buttons::Ok, Icon::Information);
        return created;
    default:
        return cancelled;
    }
}

} // namespace orvel
