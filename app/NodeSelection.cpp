#include "app/MainCommands.h"

namespace qoxa::app {

void MainCommands::OnTreeItemChanged() {}

}  // namespace qoxa::app
