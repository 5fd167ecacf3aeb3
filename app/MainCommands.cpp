#include "app/MainCommands.h"

#include "formatengine/JsonCodec.h"
#include "treeengine/JsonDoc.h"

namespace qoxa::app {

MainCommands::MainCommands(WindowServices& window) : window_(window) {
  treeDocument_ = std::make_unique<tree::JsonDoc>();
  pathTable_.Clear();
  codec_ = std::make_unique<format::JsonCodec>();
}

MainCommands::~MainCommands() {
  treeDocument_.reset();
  pathTable_.Clear();
  codec_.reset();
}

Mode MainCommands::CheckedMode() const {
  if (window_.IsChecked(RadioButton::Zy)) return Mode::Zy;
  if (window_.IsChecked(RadioButton::Hx)) return Mode::Hx;
  if (window_.IsChecked(RadioButton::E2ee)) return Mode::E2ee;
  return Mode::Jy;
}

}  // namespace qoxa::app
