#include "cli/JsonText.h"

#include "platform/CodePage.h"

namespace qoxa::cli {

void AppendJsonString(std::string& out, std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20) {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else {
      out += ch;
    }
  }
  out += '"';
}

void AppendJsonStringGb(std::string& out, std::string_view gb18030) {
  AppendJsonString(out, platform::Gb18030ToUtf8(gb18030));
}

}  // namespace qoxa::cli
