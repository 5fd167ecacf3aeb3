#include <gtest/gtest.h>

#include <string>

#include "platform/CodePage.h"
#include "zyengine/ZyCodePage.h"

namespace qoxa::zy {
namespace {

// The engine's boundary conversions copy ASCII themselves; they must answer exactly what the
// platform conversions answer, also for malformed input.
TEST(CodePage, AgreesWithThePlatformConversions) {
  const std::string bytes[] = {
      "",
      "plain",
      "\xD6\xD0\xCE\xC4 and \x94\x39\xFC\x36 end",
      std::string("ab\x81\x30\x81\x0A\xFF\x80" "A\x81", 10),
      "trailing lead \x81",
      "\x81\x30\x81",
      std::string("nul\0\xD6\xD0", 6),
  };
  for (const std::string& b : bytes) EXPECT_EQ(ToUtf16(b), platform::Gb18030ToUtf16(b)) << b;
  const std::u16string texts[] = {u"", u"ascii", u"\u4e2d\u6587 x \U0001F600", u"lone \xD800 surrogate \xDC00",
                                  std::u16string(u"a\0\u00e9", 3)};
  for (const std::u16string& t : texts) EXPECT_EQ(ToGb18030(t), platform::Utf16ToGb18030(t));
}

}  // namespace
}  // namespace qoxa::zy
