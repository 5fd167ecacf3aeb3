#pragma once
// The commands of the main window: every event handler, written against WindowServices so that
// the Qt window, the tests and the command-line tool run exactly the same code.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "app/Mode.h"
#include "app/SelectionCache.h"
#include "app/TextTable.h"
#include "app/TreeItemTable.h"
#include "app/WindowServices.h"

namespace qoxa::tree { class JsonDoc; }
namespace qoxa::format { class JsonCodec; }

namespace qoxa::app {

class MainCommands {
 public:
  // Start-up: creates the tree document, the empty path table and the codec, in this order.
  explicit MainCommands(WindowServices& window);
  // Shutdown: releases them in the same order.
  ~MainCommands();
  MainCommands(const MainCommands&) = delete;
  MainCommands& operator=(const MainCommands&) = delete;

  // Main window and start-up (MainWindowCommands.cpp)
  void OnWindowCreated();
  void OnFileDropped(const std::string& fileName);
  // Puts loaded file bytes into the source box as a dropped file is put there (decoding the
  // bytes, then the text-changed handling). The command-line tool loads its input through this.
  void LoadDroppedBytes(std::string_view fileBytes);
  void OnSourceKeyDown(int keyCode, int modifierState);
  void OnClearClicked();
  void OnModeClicked();

  // Tree import (TreeImport.cpp)
  void OnImportClicked();
  void ImportTree();

  // Node selection (NodeSelection.cpp)
  void OnTreeItemChanged();

  // Code generation (CodeGeneration.cpp)
  void OnGenerateCodeClicked();

  // Format and compact (FormatCommands.cpp)
  void OnFormatClicked();
  void OnCompactClicked();

  // Find in tree (FindInTree.cpp)
  void OnFindClicked();

  // Escape decoding of the source text (SourceTextChanged.cpp)
  void OnSourceTextChanged();

  // The checked radio button (jy when none is checked).
  Mode CheckedMode() const;
  const TextTable& PathTable() const { return pathTable_; }
  tree::JsonDoc& TreeDocument() { return *treeDocument_; }
  format::JsonCodec& Codec() { return *codec_; }
  // The parse node selection keeps of the current source text.
  SelectionCache& SelectionEngines() { return selectionCache_; }

 private:
  void BuildTree(int node, int depth, bool addSelf, std::string_view path, TreeItemTable& items);
  int NodeText(int node, std::string& text) const;
  void AddItem(std::string_view label, int node, int depth, std::string_view path, TreeItemTable& items);

  WindowServices& window_;
  std::unique_ptr<tree::JsonDoc> treeDocument_;
  TextTable pathTable_;
  std::unique_ptr<format::JsonCodec> codec_;
  int32_t selectAllToggle_ = 0;
  bool decodingSource_ = false;  // the text-changed handler's own writes must not run it again
  SelectionCache selectionCache_;
};

}  // namespace qoxa::app
