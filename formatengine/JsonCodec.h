#pragma once
// JsonCodec: the formatting engine's facade. ParseToNode reads a text through the tree engine's
// JsonDoc and copies the result into JsonNodes; Format writes a node tree back as JSON text
// (pretty: one member or element per line, indentUnit per level, CR LF line breaks).
// The codec also has a small reader of its own (ReadJson) with its own messages.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formatengine/JsonNode.h"
#include "formatengine/MemoryStream.h"

namespace qoxa::tree {
class JsonDoc;
}

namespace qoxa::format {

struct ParseResult {
  int ok = 0;
  std::string message;  // GB18030; untouched on success
  JsonNode node;
};

class JsonCodec {
 public:
  // Deepest nesting of containers the codec's own reader accepts.
  static constexpr int kMaxDepth = 1000;

  JsonCodec() = default;
  virtual ~JsonCodec() = default;

  virtual void SetIndentUnit(std::string_view text) { indentUnit = text; }
  virtual JsonNode MakeLong(int64_t v) const;
  virtual JsonNode MakeDouble(double v) const;
  virtual JsonNode MakeString(std::string_view s) const;
  virtual JsonNode MakeBool(bool b) const;
  virtual JsonNode MakeNull() const { return JsonNode(); }

  // Parses `source` with a private JsonDoc into result.node; returns a copy of that node (a null
  // node after a failure, when result.message holds the parser's message). The last argument is
  // accepted for compatibility and has no effect.
  virtual JsonNode ParseToNode(std::string_view source, ParseResult& result, int unused = 1) const;
  // Copies the value `item` of `doc` (its root when not given) into `target`. Containers are added
  // to whatever `target` already holds. Returns 0 (target unchanged) for an unknown item.
  virtual int FromDoc(const tree::JsonDoc& doc, JsonNode& target, std::optional<int> item = std::nullopt) const;

  // The codec's own reader.
  virtual JsonNode ReadJson(std::string_view text, ParseResult& result) const;
  virtual ParseResult ReadNextValue(MemoryStream& stream) const;
  virtual bool IsNumberToken(std::string_view text) const;
  virtual std::string NextToken(MemoryStream& stream) const;
  virtual std::string NextNonBlank(MemoryStream& stream) const;

  // The writer.
  virtual std::string Format(const JsonNode& node, bool pretty = true, bool sortMembers = true, int level = 0) const;
  // Appends the node's text to `builder`; the outermost call returns the builder's whole text,
  // a nested call returns "".
  virtual std::string WriteNode(const JsonNode& node, bool pretty, bool sortMembers, int level, std::string& builder,
                                bool outermost) const;
  // Escapes s in place (\\ \" \/ \r \n \t \b \f) and returns it in double quotes.
  virtual std::string QuoteText(std::string& s) const;
  // Undoes the escapes in place, one kind after the other with "\\" last; \u stays as it is.
  virtual std::string UnquoteText(std::string& s) const;
  virtual std::string IndentText(bool pretty, int level) const;
  virtual std::string LineBreak(bool pretty) const { return pretty ? "\r\n" : ""; }
  virtual void SortTexts(std::vector<std::string>& list, bool descending) const;

  std::string structuralChars = "{[]},:";
  std::string numberChars = "-0123456789.";
  std::string blankBytes = std::string("\x08\x09\x0A\x0C\x0D\x20", 6);
  std::string indentUnit = "    ";

 private:
  ParseResult ReadValueAt(MemoryStream& stream, int depth) const;
  void WriteTree(const JsonNode& node, bool pretty, bool sortMembers, int level, std::string& out) const;
  bool IsStructural(int byte) const;
};

}  // namespace qoxa::format
