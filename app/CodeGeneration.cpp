#include "app/MainCommands.h"

namespace qoxa::app {

void MainCommands::OnGenerateCodeClicked() {}

}  // namespace qoxa::app
