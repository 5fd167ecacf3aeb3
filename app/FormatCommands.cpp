#include "app/MainCommands.h"

namespace qoxa::app {

void MainCommands::OnFormatClicked() {}

void MainCommands::OnCompactClicked() {}

}  // namespace qoxa::app
