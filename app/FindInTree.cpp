// Find in tree: the first item whose label contains the find box's text becomes current.
#include <chrono>
#include <string>

#include "app/LabelSearch.h"
#include "app/MainCommands.h"
#include "platform/CodePage.h"

namespace qoxa::app {
namespace {

// The window stays responsive: pending events are dispatched at least this often while searching.
constexpr std::chrono::milliseconds kDispatchInterval{10};
// Items searched between two looks at the clock.
constexpr int kItemsPerClockCheck = 2048;

}  // namespace

void MainCommands::OnFindClicked() {
  window_.SetCaption(PushButton::Find, platform::Utf8ToGb18030("寻找中…"));
  window_.SetEnabled(PushButton::Find, false);

  // The count taken here holds for the whole search; an item removed meanwhile (events dispatched
  // below may run an import) has an empty label, which an empty find text does not match either.
  const int count = window_.TreeItemCount();
  // The find box can change only while events are dispatched, so it is read again after each
  // dispatch rather than for every item.
  std::string findText = window_.Text(EditBox::Find);
  auto lastDispatch = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) {
    if (LabelContains(window_.TreeLabel(i), findText)) {
      window_.SetCurrentItem(i);  // runs node selection
      window_.FocusTree();
      break;
    }
    if ((i + 1) % kItemsPerClockCheck == 0) {
      const auto now = std::chrono::steady_clock::now();
      if (now - lastDispatch >= kDispatchInterval) {
        window_.DispatchPendingEvents();
        findText = window_.Text(EditBox::Find);
        lastDispatch = std::chrono::steady_clock::now();
      }
    }
  }

  window_.SetEnabled(PushButton::Find, true);
  window_.SetCaption(PushButton::Find, platform::Utf8ToGb18030("寻找文本"));
}

}  // namespace qoxa::app
