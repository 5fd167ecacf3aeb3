// The small commands of the main window: window creation, a dropped file, the select-all key
// toggle of the source box, clear and the change of Mode.
#include <new>
#include <stdexcept>

#include "app/DroppedFile.h"
#include "app/MainCommands.h"
#include "platform/HeapReuse.h"

namespace qoxa::app {
namespace {

constexpr int kKeyZ = 90;
constexpr int kCtrl = 1;

}  // namespace

void MainCommands::OnWindowCreated() {
  // Themed controls and the source box as the drop target belong to the window toolkit: the Qt
  // window does both when it builds its controls, and the headless window has neither.
}

void MainCommands::OnFileDropped(const std::string& fileName) {
  std::string bytes;
  if (!ReadDroppedFile(fileName, bytes)) std::string().swap(bytes);  // unreadable: an empty source box
  LoadDroppedBytes(bytes);
}

void MainCommands::LoadDroppedBytes(std::string_view fileBytes) {
  bool loaded = false;
  try {
    window_.SetText(EditBox::Source, DecodeDroppedBytes(fileBytes));
    loaded = true;
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  if (!loaded) window_.SetText(EditBox::Source, {});
  // The window raises text-changed for a dropped file; program writes do not, so run it here.
  OnSourceTextChanged();
}

void MainCommands::OnSourceKeyDown(int keyCode, int modifierState) {
  if (keyCode != kKeyZ || modifierState != kCtrl) return;
  ++selectAllToggle_;
  if (selectAllToggle_ == 1) {
    window_.FocusAndSelectAll(EditBox::Source);
    selectAllToggle_ = -1;
  } else {
    window_.DropFocus(EditBox::Source);
  }
}

void MainCommands::OnClearClicked() {
  for (EditBox box : {EditBox::Source, EditBox::Path, EditBox::Result, EditBox::Find}) window_.SetText(box, {});
  window_.SetChecked(RadioButton::E2ee, false);
  window_.SetChecked(RadioButton::Zy, false);
  window_.SetChecked(RadioButton::Hx, false);
  window_.SetChecked(RadioButton::Jy, true);
  window_.ClearTree();
  selectionCache_.Clear();
  platform::ReturnFreedMemory();  // the big texts are gone: their memory need not wait for the next one
}

void MainCommands::OnModeClicked() {
  window_.SetText(EditBox::Path, {});
  window_.SetText(EditBox::Result, {});
  OnImportClicked();
}

}  // namespace qoxa::app
