#include "cli/cli.h"
#include "cli/common.h"
#include "platform/files.h"
#include "platform/folder_lock.h"
#include "platform/terminal.h"
#include "settings/settings.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string_view>

namespace orvel::cli {

int fail(const std::string& message, int status) {
    std::cerr << "orvel-cli: " << message << "\n";
    return status;
}

// Each command lives in its own file (cmd_NAME.cpp).
int cmd_init(const Options& options, const std::vector<std::string>& args);
int cmd_settings(const Options& options, const std::vector<std::string>& args);
int cmd_config(const Options& options, const std::vector<std::string>& args);
int cmd_list(const Options& options, const std::vector<std::string>& args);
int cmd_folders(const Options& options, const std::vector<std::string>& args);
int cmd_save_folder(const Options& options, const std::vector<std::string>& args);
int cmd_favourite(const Options& options, const std::vector<std::string>& args);
int cmd_softlist(const Options& options, const std::vector<std::string>& args);
int cmd_args(const Options& options, const std::vector<std::string>& args);
int cmd_run(const Options& options, const std::vector<std::string>& args);
int cmd_build(const Options& options, const std::vector<std::string>& args);
int cmd_scan(const Options& options, const std::vector<std::string>& args);
int cmd_record(const Options& options, const std::vector<std::string>& args);
int cmd_dat(const Options& options, const std::vector<std::string>& args);
int cmd_info(const Options& options, const std::vector<std::string>& args);
int cmd_commandline(const Options& options, const std::vector<std::string>& args);
int cmd_ini_names(const Options& options, const std::vector<std::string>& args);
int cmd_audit(const Options& options, const std::vector<std::string>& args);

namespace {

struct Entry {
    const char* name;
    Command run;
    const char* usage;
    // The command loads the machine database, changes it and saves it: it holds the data
    // folder's lock from before the load until after the save, so that two such commands
    // (or one and the desktop program's save) take turns and neither change is lost.
    bool changes_database = false;
};

// The commands, in the order --help lists them.
const Entry commands[] = {
    {"help", nullptr, "help                      this text"},
    {"init", cmd_init, "init --mame EXE [--yes]   choose the MAME executable (--yes: any name)"},
    {"settings", cmd_settings,
     "settings [--set KEY=VALUE]...\n"
     "                            print every setting as KEY<TAB>VALUE (--set: change keys, named\n"
     "                            as in ORVEL.prefs, and save the preferences file first)"},
    {"config", cmd_config,
     "config                    print MAME's folders: KEY<TAB>RAW<TAB>RESOLVED"},
    {"build", cmd_build,
     "build [--rebuild]         build or load the machine database; print Machines: N", true},
    {"scan", cmd_scan,
     "scan                      check availability and save; print Available: N of M", true},
    {"audit", cmd_audit,
     "audit [NAME] [--only complete|incomplete|missing|noroms] [--deep]\n"
     "                            audit the romsets without MAME: NAME<TAB>VERDICT per machine,\n"
     "                            or for NAME one line per ROM (NAME<TAB>STATUS<TAB>SET<TAB>\n"
     "                            WHERE); --deep also decompresses NAME's ROMs to check SHA-1"},
    {"record", cmd_record, "record NAME               print NAME's section of the database file"},
    {"list", cmd_list,
     "list [--choose \"GROUP/CHILD\"]... [--folder \"FOLDER/SUB-FOLDER\"] [--search TEXT]\n"
     "       [--sort description|name] [--count]\n"
     "                            the machine list: NAME<TAB>TITLE<TAB>MANUFACTURER<TAB>YEAR"},
    {"folders", cmd_folders, "folders                   FOLDER<TAB>SUB-FOLDER<TAB>MACHINES"},
    {"save-folder", cmd_save_folder,
     "save-folder FILE [list options]\n"
     "                            write the listed machines as a category folder file"},
    {"favourite", cmd_favourite,
     "favourite add|remove NAME mark or unmark a favourite and save the database", true},
    {"args", cmd_args,
     "args NAME [--commandline N] [--media SWITCH FILE] [--empty]\n"
     "                            print the argument string a run hands MAME"},
    {"run", cmd_run,
     "run NAME [--commandline N] [--media SWITCH FILE] [--software LIST ITEM] [--empty]\n"
     "        [--capture] [--pause] [--yes|--no]\n"
     "                            run MAME for a machine (--software with --empty: start the\n"
     "                            machine alone; --capture: print the paths of output.txt and\n"
     "                            error.txt)"},
    {"commandline", cmd_commandline,
     "commandline NAME [add LABEL [--after N] | remove N | set N STRING | bios N POSITION|-1]\n"
     "                            print a machine's stored command lines (POSITION<TAB>NAME<TAB>\n"
     "                            BIOS<TAB>STRING) or change one and save the database",
     true},
    {"ini-names", cmd_ini_names,
     "ini-names NAME            print the ini file names MAME reads for a machine, in order"},
    {"softlist", cmd_softlist,
     "softlist LIST [--filter all|available|missing] [--search TEXT]\n"
     "                            print a software list: AVAILABLE<TAB>NAME<TAB>MEDIA SWITCH<TAB>\n"
     "                            YEAR<TAB>PUBLISHER<TAB>DESCRIPTION, then its title"},
    {"dat", cmd_dat,
     "dat NAME [KIND]           print a machine's DAT texts (KIND 1-6 or a file name)"},
    {"info", cmd_info,
     "info NAME [--dat]         print a machine's attributes (LABEL<TAB>VALUE) and pictures\n"
     "                            (KIND<TAB>SOURCE 0-3<TAB>PATH<TAB>ARCHIVE ENTRY); --dat: then\n"
     "                            dat<TAB>KIND<TAB>FILE and the DAT text the information window\n"
     "                            opens on, wrapped as it shows it"},
};

void print_help(std::FILE* out) {
    std::fprintf(out, "usage: orvel-cli [--data DIR] [--yes|--no] COMMAND [ARGS...]\n"
                      "       orvel-cli --help | --version\n\n"
                      "commands:\n");
    for (const Entry& e : commands)
        std::fprintf(out, "  %s\n", e.usage);
}

} // namespace
} // namespace orvel::cli

int main(int argc, char** argv) {
    using namespace orvel::cli;
    orvel::use_utf8_console();
    const std::vector<std::string> args = orvel::program_arguments(argc, argv);
    Options options;
    std::vector<std::string> words;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (words.empty() && arg == "--data") {
            if (i + 1 >= args.size()) return fail("--data needs a folder", usage_error);
            options.data_folder = args[++i];
        } else if (arg == "--yes") {
            options.answer = 1;
        } else if (arg == "--no") {
            options.answer = -1;
        } else if (words.empty() && (arg == "--help" || arg == "-h")) {
            print_help(stdout);
            return ok;
        } else if (words.empty() && arg == "--version") {
            std::fputs(orvel::program_version_statement("orvel-cli").c_str(), stdout);
            return ok;
        } else {
            words.emplace_back(arg);
        }
    }
    if (words.empty()) {
        print_help(stderr);
        return usage_error;
    }
    const std::string name = words.front();
    words.erase(words.begin());
    for (const Entry& e : commands) {
        if (name == e.name) {
            if (!e.run) {
                print_help(stdout);
                return ok;
            }
            std::optional<orvel::FolderLock> lock;
            if (e.changes_database) {
                orvel::Settings settings;
                // A preferences file that cannot be read is the command's to report.
                (void)load_core_settings(options, settings);
                orvel::create_folders(settings.ORVEL_Data);
                lock.emplace(settings.ORVEL_Data);
            }
            return e.run(options, words);
        }
    }
    return fail("unknown command '" + name + "' (see --help)", usage_error);
}
