// Node selection: the current item's path in the dialect of the checked Mode, and the value the
// Mode's own engine finds there in the current source text.
//
// The path box is the working copy of the path: every rewriting step reads it, changes the text
// and writes it back. The engines' parses of the source text come from the selection cache,
// which parses again whenever the text or the engine differs from the last selection.
#include <string>

#include "app/LabelSearch.h"
#include "app/MainCommands.h"
#include "app/PathDialects.h"
#include "app/SelectionMessages.h"
#include "platform/CometJson.h"
#include "platform/E2eeStore.h"
#include "scripthost/JyJson.h"
#include "scripthost/Regex.h"
#include "zyengine/ZyJson.h"

namespace qoxa::app {
namespace {

bool Contains(std::string_view text, std::string_view part) { return ContainsAtCharBoundary(text, part); }

}  // namespace

void MainCommands::OnTreeItemChanged() {
  script::Regex regex;  // the one working object that is not a parse of the source text

  const int clicked = window_.CurrentItem();
  if (clicked >= 0 && !window_.IsExpanded(clicked)) window_.Expand(clicked);
  const int current = window_.CurrentItem();
  if (current < 0) return;
  window_.SetText(EditBox::Path, static_cast<size_t>(current) < pathTable_.Size()
                                     ? pathTable_.At(static_cast<size_t>(current))
                                     : std::string_view());

  const bool zy = window_.IsChecked(RadioButton::Zy);
  const bool hx = window_.IsChecked(RadioButton::Hx);
  const bool e2ee = window_.IsChecked(RadioButton::E2ee);
  if (zy || hx || e2ee) {
    window_.SetText(EditBox::Path, ConvertBrackets(window_.Text(EditBox::Path)));

    if (zy) {
      selectionCache_.UseSourceBox(window_);
      if (const zy::ZyJson* document = selectionCache_.Zy()) {
        window_.SetText(EditBox::Result, document->ToText(window_.Text(EditBox::Path), true));
      } else {
        window_.SetText(EditBox::Result, UnreadableSourceMessage(Mode::Zy));
      }
    }

    if (e2ee) {
      selectionCache_.UseSourceBox(window_);
      const bool list = selectionCache_.Source().starts_with('[');
      const platform::E2eeStore* store = selectionCache_.E2ee();
      if (store == nullptr) {
        window_.SetText(EditBox::Result, UnreadableSourceMessage(Mode::E2ee));
      } else {
        const std::string path = window_.Text(EditBox::Path);
        if (list) {
          window_.SetText(EditBox::Path, RaiseElementIndexes(path, regex));
        } else if (Contains(path, "[")) {
          window_.SetText(EditBox::Path, "//" + RaiseElementIndexes(path, regex));
        } else if (Contains(path, ".")) {
          window_.SetText(EditBox::Path, "//" + path);
        }
        window_.SetText(EditBox::Result, store->Text(window_.Text(EditBox::Path)));
      }
    }

    if (hx) {
      selectionCache_.UseSourceBox(window_);
      if (const platform::CometJson* document = selectionCache_.Hx()) {
        const platform::CometJson value = document->Query(window_.Text(EditBox::Path));
        window_.SetText(EditBox::Result, value.TextValue());
      } else {
        window_.SetText(EditBox::Result, UnreadableSourceMessage(Mode::Hx));
      }
    }
  }

  if (window_.IsChecked(RadioButton::Jy)) {
    selectionCache_.UseSourceBox(window_);
    script::JyJson* document = selectionCache_.Jy();
    if (document == nullptr) {
      window_.SetText(EditBox::Result, UnreadableSourceMessage(Mode::Jy));
      return;
    }
    const auto lookUp = [&] {
      const std::string path = window_.Text(EditBox::Path);
      selectionCache_.JyEvaluated(path);
      window_.SetText(EditBox::Result, document->GetValue(path, true));
    };
    lookUp();
    if (window_.Text(EditBox::Result).empty()) {
      std::string path = window_.Text(EditBox::Path);
      if (!Contains(path, "[") && CountOccurrences(path, ".") == 1) {
        window_.SetText(EditBox::Path, ReplaceAll(path, ".", "['") + "']");
        lookUp();
      }
      path = window_.Text(EditBox::Path);
      if (!Contains(path, "[") && !Contains(path, ".")) {
        window_.SetText(EditBox::Path, "['" + path + "']");
        lookUp();
      }
    }
  }
}

}  // namespace qoxa::app
