#include "platform/E2eeStore.h"

#include "platform/StrictJsonText.h"

namespace qoxa::platform {

bool E2eeStore::LoadJson(std::string_view text, bool, bool) {
  doc_ = detail::StrictJsonText::Load(text);
  if (doc_ && doc_->FirstByteAt(doc_->Root()) != topLevelOpener_) doc_.reset();
  return doc_ != nullptr;
}

std::string E2eeStore::Text(std::string_view path) const {
  if (!doc_) return {};
  if (path.starts_with("//")) path.remove_prefix(2);
  return doc_->TextOf(doc_->Walk(doc_->Root(), path, 1));
}

}  // namespace qoxa::platform
