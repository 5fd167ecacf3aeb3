#pragma once
// The window as the tests drive it: headless services with the main commands on top.
#include <string>
#include <string_view>
#include <vector>

#include "app/HeadlessServices.h"
#include "app/MainCommands.h"
#include "platform/CodePage.h"

namespace qoxa::app::testing {

inline std::string Gb(std::string_view utf8) { return platform::Utf8ToGb18030(utf8); }
inline std::string Utf8(std::string_view gb) { return platform::Gb18030ToUtf8(gb); }

// The radio button that checks a Mode.
inline RadioButton RadioOf(Mode mode) {
  switch (mode) {
    case Mode::Zy: return RadioButton::Zy;
    case Mode::Hx: return RadioButton::Hx;
    case Mode::E2ee: return RadioButton::E2ee;
    case Mode::Jy: break;
  }
  return RadioButton::Jy;
}

struct Item {
  std::string label;  // UTF-8
  std::string path;   // UTF-8
  int depth;
  bool operator==(const Item&) const = default;
};

inline void PrintTo(const Item& item, std::ostream* os) {
  *os << "{\"" << item.label << "\", \"" << item.path << "\", " << item.depth << "}";
}

struct TestWindow {
  HeadlessServices window;
  MainCommands commands{window};

  TestWindow() {
    window.onCurrentItemChanged = [this] { commands.OnTreeItemChanged(); };
  }

  void SetSource(std::string_view utf8) { window.SetText(EditBox::Source, Gb(utf8)); }
  std::string TextOf(EditBox box) const { return Utf8(window.Text(box)); }

  std::vector<Item> Items() const {
    std::vector<Item> items;
    const TreeItemTable& tree = window.Tree();
    for (size_t i = 0; i < tree.Size(); ++i) {
      const std::string path = i < commands.PathTable().Size() ? Utf8(commands.PathTable().At(i)) : "<no path>";
      items.push_back({Utf8(tree.labels.At(i)), path, tree.depths[i]});
    }
    return items;
  }
};

}  // namespace qoxa::app::testing
