#pragma once
// The program's console: its arguments, and its standard input, as orvel-cli asks its questions
// on it.

#include <string>
#include <vector>

namespace orvel {

// The program's arguments as UTF-8, after the program's name: argv as given on POSIX systems; on
// Windows, where argv holds them in the system's code page, read from the wide command line.
std::vector<std::string> program_arguments(int argc, char** argv);
// Makes a Windows console show the UTF-8 text the program writes (nothing elsewhere).
void use_utf8_console();

// True when standard input is a terminal (someone may type).
bool input_is_terminal();
// True when standard output is a terminal, which takes escape sequences in text as commands.
bool output_is_terminal();
// True when a line can be read from standard input without waiting long: a terminal, or a pipe
// or file that already holds data (or its end) within wait_ms.
bool input_ready(int wait_ms);

} // namespace orvel
