#pragma once
// The program's standard input, as orvel-cli asks its questions on it.

namespace orvel {

// True when standard input is a terminal (someone may type).
bool input_is_terminal();
// True when a line can be read from standard input without waiting long: a terminal, or a pipe
// or file that already holds data (or its end) within wait_ms.
bool input_ready(int wait_ms);

} // namespace orvel
