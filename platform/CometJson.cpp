#include "platform/CometJson.h"

#include "platform/StrictJsonText.h"

namespace qoxa::platform {

bool CometJson::Parse(std::string_view text) {
  doc_ = detail::StrictJsonText::Load(text);
  at_ = doc_ ? doc_->Root() : 0;
  return doc_ != nullptr;
}

CometJson CometJson::Query(std::string_view path) const {
  CometJson result;
  if (!doc_) return result;
  const size_t at = doc_->Walk(at_, path, 0);
  if (at == detail::StrictJsonText::kNone) return result;
  result.doc_ = doc_;
  result.at_ = at;
  return result;
}

std::string CometJson::TextValue() const { return doc_ ? doc_->TextOf(at_) : std::string(); }

}  // namespace qoxa::platform
