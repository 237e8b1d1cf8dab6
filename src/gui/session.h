#pragma once
// The desktop program's session is the program's own (src/app): the windows are its views.

#include "app/session.h"

namespace orvel::gui {

using Session = orvel::Session;

} // namespace orvel::gui
