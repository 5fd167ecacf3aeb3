// The codec's own JSON reader: a tokenizer over an in-memory stream and a reader that builds
// JsonNodes directly. Containers nest at most JsonCodec::kMaxDepth deep.
#include "formatengine/JsonCodec.h"
#include "formatengine/NumberText.h"
#include "platform/CodePage.h"

namespace qoxa::format {

namespace {

// The reader's messages, as GB18030 text.
std::string Message(std::string_view utf8) { return platform::Utf8ToGb18030(utf8); }

std::string UnknownSymbol(const std::string& token) {
  std::string message = Message("未知的符号“");
  message.append(token);
  message.append(Message("”"));
  return message;
}

bool IsBlankOnly(std::string_view text) {
  // Half-width spaces and full-width spaces (A1 A1) only; tabs and line breaks do not count.
  constexpr std::string_view kFullWidth = "\xA1\xA1";
  while (!text.empty()) {
    if (text.front() == ' ')
      text.remove_prefix(1);
    else if (text.starts_with(kFullWidth))
      text.remove_prefix(2);
    else
      break;
  }
  return text.empty();
}

}  // namespace

bool JsonCodec::IsStructural(int byte) const {
  return byte >= 0 && structuralChars.find(static_cast<char>(byte)) != std::string::npos;
}

bool JsonCodec::IsNumberToken(std::string_view text) const {
  if (text.empty()) return false;
  for (char c : text)
    if (numberChars.find(c) == std::string::npos) return false;
  return true;
}

std::string JsonCodec::NextNonBlank(MemoryStream& stream) const {
  for (int b; (b = stream.ReadByte()) >= 0;)
    if (blankBytes.find(static_cast<char>(b)) == std::string::npos) return std::string(1, static_cast<char>(b));
  return {};
}

std::string JsonCodec::NextToken(MemoryStream& stream) const {
  std::string c = NextNonBlank(stream);
  if (!c.empty() && IsStructural(static_cast<unsigned char>(c[0]))) return c;

  if (c == "\"") {  // a string literal, quotes and escapes as written
    std::string acc;
    bool pending = false;
    int b = '"';
    while (true) {
      acc.push_back(static_cast<char>(b));
      if (pending) {
        const int next = stream.ReadByte();
        if (next >= 0) acc.push_back(static_cast<char>(next));
        pending = false;
      }
      b = stream.ReadByte();
      if (b < 0) break;
      if (b >= 0x80 || b == '\\') {  // takes the next byte with it
        pending = true;
        continue;
      }
      if (b == '\r' || b == '\n' || b == '"') break;
    }
    // A string that runs into a line break or the end of the input gives no token.
    if (b != '"') return {};
    acc.push_back('"');
    return acc;
  }

  if (!c.empty() && numberChars.find(c[0]) != std::string::npos) {  // a run of number characters
    std::string acc;
    int b = static_cast<unsigned char>(c[0]);
    do {
      acc.push_back(static_cast<char>(b));
      b = stream.ReadByte();
    } while (b >= 0 && numberChars.find(static_cast<char>(b)) != std::string::npos);
    if (b >= 0) stream.StepBack();
    return acc;
  }

  // A bare word up to the next structural character; blanks inside it are dropped. A two-byte
  // character is read whole, so that its second byte is never taken for a bracket.
  std::string acc;
  while (!c.empty() && !IsStructural(static_cast<unsigned char>(c[0]))) {
    acc += c;
    if (static_cast<unsigned char>(c[0]) >= 0x80) {
      const int trail = stream.ReadByte();
      if (trail >= 0) acc.push_back(static_cast<char>(trail));
    }
    c = NextNonBlank(stream);
  }
  if (!acc.empty() && !c.empty()) stream.StepBack();
  return acc;
}

ParseResult JsonCodec::ReadNextValue(MemoryStream& stream) const { return ReadValueAt(stream, 0); }

ParseResult JsonCodec::ReadValueAt(MemoryStream& stream, int depth) const {
  ParseResult result;
  std::string t = NextToken(stream);
  if (t.empty()) {
    result.message = Message("JSON文本格式不正确");
    return result;
  }
  result.ok = 1;
  auto fail = [&](std::string message) {
    ParseResult failed;
    failed.message = std::move(message);
    return failed;
  };
  JsonNode n;

  if (t == "{" || t == "[") {
    if (depth >= kMaxDepth) return fail(Message("嵌套层数过深"));
  }

  if (t == "{") {
    n.TypeName("object");
    t = NextToken(stream);
    while (t != "}" && !t.empty()) {
      if (t[0] != '"') return fail(Message("解析出错，对象名称必须带引号"));
      std::string name = t.size() >= 2 ? t.substr(1, t.size() - 2) : std::string();
      UnquoteText(name);
      if (NextToken(stream) != ":") return fail(Message("解析出错，未找到分割符 \":\""));
      ParseResult sub = ReadValueAt(stream, depth + 1);
      if (!sub.ok) return sub;
      if (!name.empty()) n.AdoptMember(std::move(name), std::move(sub.node));  // an empty name is refused
      t = NextToken(stream);
      if (t != ",") break;
      t = NextToken(stream);
    }
    if (t != "}") return fail(Message("解析出错，JSON格式不正确"));
    result.node = std::move(n);
    return result;
  }

  if (t == "[") {
    n.TypeName("array");
    // A "]" where an element should start comes back as an "unknow" node: that ends the array.
    ParseResult sub = ReadValueAt(stream, depth + 1);
    while (sub.ok && sub.node.TypeCode() != JsonNode::Word::Unknow) {
      n.AdoptElement(std::move(sub.node));
      t = NextToken(stream);
      if (t == "]") break;
      if (t.empty()) return fail(Message("解析出错，JSON格式不正确"));
      if (t != ",") return fail(UnknownSymbol(t));
      sub = ReadValueAt(stream, depth + 1);
    }
    if (t != "]") {
      if (!sub.ok) return sub;
      if (sub.node.TypeCode() == JsonNode::Word::Unknow) t = sub.node.ValueText();
    }
    if (t != "]") return fail(UnknownSymbol(t));
    result.node = std::move(n);
    return result;
  }

  if (t == "null") {
    n.SetNull();
  } else if (t == "true" || t == "false") {
    n.SetBool(t == "true");
  } else if (IsNumberToken(t)) {
    const double value = TextToDouble(t);
    if (t.find('.') != std::string::npos)
      n.SetDouble(value);
    else
      n.SetLong(TruncateToLong(value));
  } else if (t[0] == '"') {
    std::string s = t.substr(1, t.size() - 2);
    n.SetString(UnquoteText(s));
  } else {
    n.SetString(t);
    n.TypeName("unknow");
  }
  result.node = std::move(n);
  return result;
}

JsonNode JsonCodec::ReadJson(std::string_view text, ParseResult& result) const {
  if (IsBlankOnly(text)) {
    result.ok = 0;
    result.message = Message("要解析的JSON内容为空");
    return result.node;
  }
  MemoryStream stream;
  stream.Write(text);
  stream.Rewind();
  const std::string first = NextNonBlank(stream);
  if (first != "{" && first != "[") {  // a lone value is read as an array of one element
    stream.Clear();
    stream.Write("[");
    stream.Write(text);
    stream.Write("]");
  }
  stream.Rewind();
  result = ReadNextValue(stream);
  if (!result.ok) result.node.SetNull();
  stream.Close();
  return result.node;
}

}  // namespace qoxa::format
