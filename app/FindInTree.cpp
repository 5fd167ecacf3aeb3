#include "app/MainCommands.h"

namespace qoxa::app {

void MainCommands::OnFindClicked() {}

}  // namespace qoxa::app
