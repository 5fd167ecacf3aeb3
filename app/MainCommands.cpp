#include "app/MainCommands.h"

#include "treeengine/JsonDoc.h"

// TODO(core): the codec's header is still being written; until it lands a placeholder type
// keeps the start-up and shutdown order compiling. Remove this block once it is there.
#if __has_include("formatengine/JsonCodec.h")
#include "formatengine/JsonCodec.h"
#define QOXA_HAVE_JSON_CODEC 1
#else
namespace qoxa::format {
class JsonCodec {};
}  // namespace qoxa::format
#endif

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
