// The queries: a node named by a path from a start node, answered from the stored tables.
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

#include "treeengine/DocMessages.h"
#include "treeengine/JsonDoc.h"

namespace qoxa::tree {
namespace {

// atof in the "C" locale, whatever locale the process runs in (a GUI may set the user's).
double CLocaleAtof(const std::string& text) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  if (cLocale == static_cast<locale_t>(nullptr)) return std::atof(text.c_str());
  return strtod_l(text.c_str(), nullptr, cLocale);
}

}  // namespace

const DocValue* JsonDoc::Value(int nodeId) const {
  if (nodeId < 1 || nodeId > ValueCount()) return nullptr;
  return &values_[static_cast<size_t>(nodeId) - 1];
}

int JsonDoc::Locate(std::string_view path, int start) const {
  if (start == 0) start = 1;
  if (start < 0 || start > ValueCount()) return 0;
  if (path.empty()) return start;
  return FindFrom(start, path);
}

int JsonDoc::FindFromRoot(std::string_view path) const {
  if (values_.empty()) return 0;
  if (path.empty()) return 1;
  return FindFrom(1, path);
}

const DocValue* JsonDoc::Find(std::string_view path, int start) const { return Value(Locate(path, start)); }

int JsonDoc::TypeOf(std::string_view path, int start) const {
  const DocValue* value = Find(path, start);
  return value != nullptr ? value->type : -1;
}

int JsonDoc::ElementCount(std::string_view path, int start) const {
  const DocValue* value = Find(path, start);
  if (value == nullptr || value->type != 2) return 0;
  return arrays_[static_cast<size_t>(value->aux) - 1].Count();
}

int JsonDoc::ElementAt(std::string_view path, int start, int position) const {
  const DocValue* value = Find(path, start);
  if (value == nullptr || value->type != 2) return 0;
  return arrays_[static_cast<size_t>(value->aux) - 1].Get(elementStore_, position);
}

int JsonDoc::MemberNames(std::string_view path, int start, std::vector<std::string>& names) const {
  names.clear();
  const DocValue* value = Find(path, start);
  if (value == nullptr) return -1;
  if (value->type != 1) return 0;
  return objects_[static_cast<size_t>(value->aux) - 1].Names(memberStore_, text_, names);
}

int JsonDoc::MemberByName(std::string_view path, int start, std::string_view name) const {
  const DocValue* value = Find(path, start);
  if (value == nullptr || value->type != 1) return 0;
  return objects_[static_cast<size_t>(value->aux) - 1].Find(memberStore_, text_, name);
}

std::string JsonDoc::ValueText(std::string_view path, int start) const {
  const DocValue* value = Find(path, start);
  if (value == nullptr) return {};
  switch (value->type) {
    case 0: case 3: case 4: case 5: case 6:
      return SourceText(value->start, value->end);
    case 1:
      return MessageText(DocMessage::ObjectText);
    case 2:
      return MessageText(DocMessage::ArrayText);
    default:
      return {};
  }
}

double JsonDoc::NumberValue(std::string_view path, int start) const {
  const DocValue* value = Find(path, start);
  if (value == nullptr || value->type < 3 || value->type > 5) return 0;
  return CLocaleAtof(SourceText(value->start, value->end));
}

// Truncated toward zero. Beyond the 64-bit range the result saturates and NaN gives 0, where a
// plain conversion would be undefined.
int64_t JsonDoc::LongValue(std::string_view path, int start) const {
  const double number = NumberValue(path, start);
  if (std::isnan(number)) return 0;
  if (number >= 9223372036854775807.0) return INT64_MAX;
  if (number <= -9223372036854775808.0) return INT64_MIN;
  return static_cast<int64_t>(number);
}

bool JsonDoc::BoolValue(std::string_view path, int start) const {
  const DocValue* value = Find(path, start);
  return value != nullptr && value->type == 6 && value->aux == 1;
}

bool JsonDoc::IsNull(std::string_view path, int start) const {
  const DocValue* value = Find(path, start);
  return value == nullptr || value->type == 0;
}

bool JsonDoc::Exists(std::string_view path, int start) const { return Locate(path, start) != 0; }

}  // namespace qoxa::tree
