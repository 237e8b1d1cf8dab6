#pragma once
// Everything the desktop program keeps while it runs.

#include "app/app_state.h"

namespace orvel::gui {

struct Session {
    AppState state;
};

} // namespace orvel::gui
