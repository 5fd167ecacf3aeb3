#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/TextTable.h"
#include "app/TreeItemTable.h"

namespace qoxa::app {
namespace {

// Texts of every size, empty ones and ones longer than a storage chunk among them, come back
// exactly, across chunk boundaries and after a clear.
TEST(TextTable, EntriesComeBackExactly) {
  std::vector<std::string> texts;
  for (int i = 0; i < 30000; ++i) texts.push_back(std::string(static_cast<size_t>(i % 97), static_cast<char>('a' + i % 26)));
  texts.insert(texts.begin() + 5, std::string(3u << 20, 'x'));  // longer than a chunk
  texts.insert(texts.begin() + 6, "");
  texts.push_back(std::string(1u << 20, 'y'));
  texts.push_back("");
  texts.push_back(std::string("zero\0byte", 9));
  TextTable table;
  for (int round = 0; round < 2; ++round) {
    table.Clear();
    EXPECT_TRUE(table.Empty());
    for (size_t i = 0; i < texts.size(); ++i) {
      if (i % 2) table.Append(texts[i]);
      else table.AppendJoined(std::string_view(texts[i]).substr(0, 3), std::string_view(texts[i]).substr(std::min<size_t>(3, texts[i].size())));
    }
    ASSERT_EQ(table.Size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i) ASSERT_EQ(table.At(i), texts[i]) << i;
  }
}

TEST(TreeItemTable, ParentsFromDepths) {
  struct Case {
    std::vector<int32_t> depths;
    std::vector<int32_t> parents;
  };
  const Case cases[] = {
      {{}, {}},
      {{0}, {-1}},
      {{0, 1, 1, 3, 5, 1}, {-1, 0, 0, 2, 3, 0}},
      {{0, 1, 3, 1, 3, 3}, {-1, 0, 1, 0, 3, 3}},
      {{0, 0, 1}, {-1, -1, 1}},
      {{0, 3, 1, 2}, {-1, 0, 0, 2}},  // a child of the nearest earlier item with a smaller depth
  };
  for (const Case& c : cases) EXPECT_EQ(ParentsFromDepths(c.depths), c.parents);
}

}  // namespace
}  // namespace qoxa::app
