#pragma once
// The tree view's model: a read-only view over the flat item tables that an import hands over in
// one operation. The hierarchy (parent, children, row within the parent) is worked out once per
// load in linear time; labels are converted to Unicode only when the view asks for them, so only
// visible items pay for it. Millions of items and any depth of nesting are fine: nothing recurses.
#include <QAbstractItemModel>
#include <cstdint>
#include <string_view>
#include <vector>

#include "app/TreeItemTable.h"

namespace qoxa::qt {

class TreeModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  explicit TreeModel(QObject* parent = nullptr);

  // Replaces every item in one model reset.
  void Load(app::TreeItemTable items);
  void Clear();

  // Positions are the items' indexes in list order; -1 means none.
  int ItemCount() const { return static_cast<int>(parents_.size()); }
  std::string_view Label(int position) const;  // GB18030 bytes; empty for a position that does not exist
  QModelIndex IndexOf(int position) const;
  int PositionOf(const QModelIndex& index) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  void BuildHierarchy();
  // Children of `position` (-1 for the top level) are children_[childBegin_[position + 1] ..
  // childBegin_[position + 2]).
  int32_t ChildBegin(int position) const { return childBegin_[static_cast<size_t>(position + 1)]; }
  int32_t ChildEnd(int position) const { return childBegin_[static_cast<size_t>(position + 2)]; }

  app::TreeItemTable items_;
  std::vector<int32_t> parents_;     // per item: its parent, -1 at the top level
  std::vector<int32_t> rows_;        // per item: its row among its parent's children
  std::vector<int32_t> childBegin_;  // per parent slot (top level first): offset into children_, plus an end
  std::vector<int32_t> children_;    // every item once, grouped by parent, list order within a group
};

}  // namespace qoxa::qt
