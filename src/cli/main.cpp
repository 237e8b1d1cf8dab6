#include "cli/cli.h"

#include <cstdio>
#include <cstring>
#include <iostream>
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

namespace {

struct Entry {
    const char* name;
    Command run;
    const char* usage;
};

// The commands, in the order --help lists them.
const Entry commands[] = {
    {"help", nullptr, "help                      this text"},
    {"init", cmd_init, "init --mame EXE [--yes]   choose the MAME executable (--yes: any name)"},
    {"settings", cmd_settings, "settings                  print every setting as KEY<TAB>VALUE"},
    {"config", cmd_config,
     "config                    print MAME's folders: KEY<TAB>RAW<TAB>RESOLVED"},
};

void print_help(std::FILE* out) {
    std::fprintf(out, "usage: orvel-cli [--data DIR] [--yes|--no] COMMAND [ARGS...]\n\n"
                      "commands:\n");
    for (const Entry& e : commands)
        std::fprintf(out, "  %s\n", e.usage);
}

} // namespace
} // namespace orvel::cli

int main(int argc, char** argv) {
    using namespace orvel::cli;
    Options options;
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (words.empty() && arg == "--data") {
            if (i + 1 >= argc) return fail("--data needs a folder", usage_error);
            options.data_folder = argv[++i];
        } else if (arg == "--yes") {
            options.answer = 1;
        } else if (arg == "--no") {
            options.answer = -1;
        } else if (words.empty() && (arg == "--help" || arg == "-h")) {
            print_help(stdout);
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
            return e.run(options, words);
        }
    }
    return fail("unknown command '" + name + "' (see --help)", usage_error);
}
