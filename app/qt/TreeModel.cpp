#include "app/qt/TreeModel.h"

#include <utility>

#include "platform/CodePage.h"

namespace qoxa::qt {

TreeModel::TreeModel(QObject* parent) : QAbstractItemModel(parent) {
  childBegin_.assign(2, 0);
}

void TreeModel::Load(app::TreeItemTable items) {
  beginResetModel();
  items_ = std::move(items);
  BuildHierarchy();
  endResetModel();
}

void TreeModel::Clear() { Load(app::TreeItemTable{}); }

void TreeModel::BuildHierarchy() {
  parents_ = app::ParentsFromDepths(items_.depths);
  const size_t count = parents_.size();
  // Count the children of each parent slot (slot 0 is the top level), turn the counts into
  // offsets, then place every item after its earlier siblings: list order is kept in each group.
  childBegin_.assign(count + 2, 0);
  for (int32_t parent : parents_) ++childBegin_[static_cast<size_t>(parent + 1) + 1];
  for (size_t slot = 1; slot < childBegin_.size(); ++slot) childBegin_[slot] += childBegin_[slot - 1];
  children_.resize(count);
  rows_.resize(count);
  std::vector<int32_t> filled(count + 1, 0);
  for (size_t item = 0; item < count; ++item) {
    const size_t slot = static_cast<size_t>(parents_[item] + 1);
    const int32_t row = filled[slot]++;
    rows_[item] = row;
    children_[static_cast<size_t>(childBegin_[slot] + row)] = static_cast<int32_t>(item);
  }
}

std::string_view TreeModel::Label(int position) const {
  if (position < 0 || position >= ItemCount()) return {};
  return items_.labels.At(static_cast<size_t>(position));
}

QModelIndex TreeModel::IndexOf(int position) const {
  if (position < 0 || position >= ItemCount()) return {};
  return createIndex(rows_[static_cast<size_t>(position)], 0, static_cast<quintptr>(position));
}

int TreeModel::PositionOf(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != this) return -1;
  return static_cast<int>(index.internalId());
}

QModelIndex TreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  const int parentPosition = parent.isValid() ? PositionOf(parent) : -1;
  const int32_t begin = ChildBegin(parentPosition);
  if (row >= ChildEnd(parentPosition) - begin) return {};
  return createIndex(row, 0, static_cast<quintptr>(children_[static_cast<size_t>(begin + row)]));
}

QModelIndex TreeModel::parent(const QModelIndex& child) const {
  const int position = PositionOf(child);
  if (position < 0) return {};
  return IndexOf(parents_[static_cast<size_t>(position)]);
}

int TreeModel::rowCount(const QModelIndex& parent) const {
  if (parent.column() > 0) return 0;
  const int parentPosition = parent.isValid() ? PositionOf(parent) : -1;
  return ChildEnd(parentPosition) - ChildBegin(parentPosition);
}

int TreeModel::columnCount(const QModelIndex&) const { return 1; }

bool TreeModel::hasChildren(const QModelIndex& parent) const { return rowCount(parent) > 0; }

QVariant TreeModel::data(const QModelIndex& index, int role) const {
  const int position = PositionOf(index);
  if (position < 0 || role != Qt::DisplayRole) return {};
  const std::string_view label = Label(position);
  if (!platform::HasNonAscii(label)) return QString::fromLatin1(label.data(), static_cast<qsizetype>(label.size()));
  const std::string utf8 = platform::Gb18030ToUtf8(label);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

Qt::ItemFlags TreeModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags itemFlags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (!hasChildren(index)) itemFlags |= Qt::ItemNeverHasChildren;  // lets the view skip looking
  return itemFlags;
}

}  // namespace qoxa::qt
