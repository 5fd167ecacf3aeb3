#pragma once

namespace qoxa::app {

// Which JSON library the window speaks for: the radio buttons 精易, zyjson, 彗星 and E2EE.
// Nothing stores it; commands read the checked radio button when they need it.
enum class Mode { Jy, Zy, Hx, E2ee };

}  // namespace qoxa::app
