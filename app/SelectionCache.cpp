#include "app/SelectionCache.h"

#include <utility>

#include "app/PathDialects.h"
#include "platform/CometJson.h"
#include "platform/E2eeStore.h"
#include "scripthost/JyJson.h"
#include "zyengine/ZyJson.h"

namespace qoxa::app {

struct SelectionCache::Parsed {
  Engine engine = Engine::None;
  bool ok = false;
  bool reusable = true;  // false: the next request parses again
  std::unique_ptr<zy::ZyJson> zy;
  std::unique_ptr<platform::CometJson> hx;
  std::unique_ptr<platform::E2eeStore> e2ee;
  std::unique_ptr<script::JyJson> jy;
};

SelectionCache::SelectionCache() = default;
SelectionCache::~SelectionCache() = default;

void SelectionCache::UseSource(std::string source, uint64_t revision) {
  // Equal lengths first, then the bytes: a changed text usually differs early or in length.
  if (!haveSource_ || source.size() != source_.size() || source != source_) {
    Clear();
    source_ = std::move(source);
    haveSource_ = true;
  }
  revision_ = revision;
}

void SelectionCache::UseSourceBox(const WindowServices& window) {
  // Reading a large text costs a copy of it (and in the window a conversion), so an unchanged
  // revision is taken as the answer; without one the text itself is compared.
  const uint64_t revision = window.TextRevision(EditBox::Source);
  if (haveSource_ && revision != 0 && revision == revision_) return;
  UseSource(window.Text(EditBox::Source), revision);
}

void SelectionCache::Clear() {
  parsed_.reset();
  std::string().swap(source_);
  haveSource_ = false;
  revision_ = 0;
  strictJson_.reset();
}

SelectionCache::Parsed& SelectionCache::For(Engine engine) {
  if (!parsed_ || parsed_->engine != engine || !parsed_->reusable) {
    parsed_.reset();  // one parse kept at a time: release the old one before making the next
    parsed_ = std::make_unique<Parsed>();
    parsed_->engine = engine;
    ++parseCount_;
    switch (engine) {
      case Engine::Zy:
        parsed_->zy = std::make_unique<zy::ZyJson>();
        parsed_->ok = parsed_->zy->Parse(source_) != 0;
        break;
      case Engine::Hx:
        parsed_->hx = std::make_unique<platform::CometJson>();
        parsed_->ok = parsed_->hx->Parse(source_);
        break;
      case Engine::E2ee:
        if (source_.starts_with('[')) {
          parsed_->e2ee = std::make_unique<platform::E2eeList>();
        } else {
          parsed_->e2ee = std::make_unique<platform::E2eeKeyValueTable>();
        }
        parsed_->ok = parsed_->e2ee->LoadJson(source_, true, true);
        break;
      case Engine::Jy:
        parsed_->jy = std::make_unique<script::JyJson>("da");
        parsed_->ok = parsed_->jy->Parse(source_);
        parsed_->reusable = IsStrictJson();
        break;
      case Engine::None:
        break;
    }
  }
  return *parsed_;
}

bool SelectionCache::IsStrictJson() {
  if (!strictJson_) strictJson_ = platform::CometJson().Parse(source_);
  return *strictJson_;
}

const zy::ZyJson* SelectionCache::Zy() {
  Parsed& parsed = For(Engine::Zy);
  return parsed.ok ? parsed.zy.get() : nullptr;
}

const platform::CometJson* SelectionCache::Hx() {
  Parsed& parsed = For(Engine::Hx);
  return parsed.ok ? parsed.hx.get() : nullptr;
}

const platform::E2eeStore* SelectionCache::E2ee() {
  Parsed& parsed = For(Engine::E2ee);
  return parsed.ok ? parsed.e2ee.get() : nullptr;
}

script::JyJson* SelectionCache::Jy() {
  Parsed& parsed = For(Engine::Jy);
  return parsed.ok ? parsed.jy.get() : nullptr;
}

void SelectionCache::JyEvaluated(std::string_view path) {
  if (parsed_ && parsed_->engine == Engine::Jy && !IsReadOnlyJyPath(path)) parsed_->reusable = false;
}

}  // namespace qoxa::app
