#include "zyengine/ZyJson.h"

#include "zyengine/ZyCodePage.h"
#include "zyengine/ZyPath.h"
#include "zyengine/ZyScanner.h"
#include "zyengine/ZySerializer.h"

#include <utility>

namespace qoxa::zy {

ZyJson::~ZyJson() { Release(root_); }

ZyJson::ZyJson(const ZyJson& other) : root_(other.root_) { AddRef(root_); }

ZyJson& ZyJson::operator=(const ZyJson& other) {
  if (this != &other) AttachRoot(other.root_);
  return *this;
}

ZyJson::ZyJson(ZyJson&& other) noexcept : root_(std::exchange(other.root_, nullptr)) {}

ZyJson& ZyJson::operator=(ZyJson&& other) noexcept {
  if (this != &other) {
    Release(root_);
    root_ = std::exchange(other.root_, nullptr);
  }
  return *this;
}

ZyJson ZyJson::Sharing(ZyValue* value) {
  ZyJson handle;
  handle.AttachRoot(value);
  return handle;
}

ZyJson ZyJson::Owning(ZyValue* value) {
  ZyJson handle;
  handle.root_ = value;
  return handle;
}

ZyValue* ZyJson::Find(std::u16string_view path) const { return root_ ? Resolve(root_, path) : nullptr; }

ZyValue* ZyJson::FindOrCreate(std::u16string_view path) { return root_ ? ResolveOrCreate(root_, path) : nullptr; }

int ZyJson::Create() {
  ZyValue* fresh = NewObject();
  Release(root_);
  root_ = fresh;
  return 1;
}

int ZyJson::CreateW(std::u16string_view text, bool decodeUnicode) {
  Create();
  return ParseInto(root_, text.data(), text.size(), decodeUnicode) == kParseOk ? 1 : 0;
}

int ZyJson::Create(std::string_view text, bool decodeUnicode) {
  Create();
  return ParseInto(root_, text, decodeUnicode) == kParseOk ? 1 : 0;
}

void ZyJson::ReleaseRoot() { Release(std::exchange(root_, nullptr)); }

void ZyJson::AttachRoot(ZyValue* value) {
  if (!value) return;
  AddRef(value);
  Release(root_);
  root_ = value;
}

ZyJson ZyJson::MakeObject() const { return Owning(NewObject(root_)); }
ZyJson ZyJson::MakeArray() const { return Owning(NewArray(root_)); }
ZyJson ZyJson::MakeNull() const { return Owning(NewNull(root_)); }
ZyJson ZyJson::MakeBool(bool value) const { return Owning(NewBool(value, root_)); }
ZyJson ZyJson::MakeStringW(std::u16string_view text) const { return Owning(NewString(text, root_)); }
ZyJson ZyJson::MakeString(std::string_view text) const { return MakeStringW(ToUtf16(text)); }
ZyJson ZyJson::MakeDouble(double value) const { return Owning(NewDouble(value, root_)); }
ZyJson ZyJson::MakeInteger(int64_t value) const { return Owning(NewInteger(value, root_)); }

int ZyJson::ParseW(std::u16string_view text, bool decodeUnicode, int* resultCode) {
  if (!root_) root_ = NewObject();
  const int code = ParseInto(root_, text.data(), text.size(), decodeUnicode);
  if (resultCode) *resultCode = code;
  return code == kParseOk ? 1 : 0;
}

int ZyJson::Parse(std::string_view text, bool decodeUnicode, int* resultCode) {
  // The scanner reads the GB18030 bytes directly and converts only the keys and values it keeps.
  if (!root_) root_ = NewObject();
  const int code = ParseInto(root_, text, decodeUnicode);
  if (resultCode) *resultCode = code;
  return code == kParseOk ? 1 : 0;
}

namespace {

template <class Builder>
void WriteText(const ZyValue* v, bool pretty, bool escape, Builder& out) {
  if (v) Serialize(v, out, pretty, 0, escape);
}

}  // namespace

std::u16string ZyJson::ToTextW(std::u16string_view path, bool pretty, bool escape) const {
  ZyTextBuilder out;
  WriteText(Find(path), pretty, escape, out);
  return std::u16string(out.View());
}

std::string ZyJson::ToText(std::string_view path, bool pretty, bool escape) const {
  // Written straight in GB18030: the same bytes as converting the UTF-16 text afterwards.
  ZyByteBuilder out;
  WriteText(Find(ToUtf16(path)), pretty, escape, out);
  return std::string(out.View());
}

}  // namespace qoxa::zy
