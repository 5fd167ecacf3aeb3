#include "app/MainCommands.h"

namespace qoxa::app {

void MainCommands::OnSourceTextChanged() {
  // TODO(core): decode "\u" escapes and "%E" UTF-8 text once the escape decoding lands.
}

}  // namespace qoxa::app
