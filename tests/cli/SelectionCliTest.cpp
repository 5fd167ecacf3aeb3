// qoxa-json-cli's select, code, get, decode and parse with the node-selection engines, run as a
// script would run them.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

class SelectionCli : public ::testing::Test {
 protected:
  struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
  };

  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("qoxa-selcli-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string File(const std::string& name, const std::string& bytes) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return "'" + path + "'";
  }

  Outcome Run(const std::string& arguments) {
    const std::string out = (dir_ / "out").string();
    const std::string err = (dir_ / "err").string();
    const std::string command =
        std::string("'") + QOXA_CLI_PATH + "' " + arguments + " >'" + out + "' 2>'" + err + "' </dev/null";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Read(out), Read(err)};
  }

 private:
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::filesystem::path dir_;
};

TEST_F(SelectionCli, SelectByItemAndByFind) {
  const std::string doc = File("doc.json", R"({"a":{"b":[5,6]},"数据":"值"})");
  struct Case {
    std::string arguments;
    int status;
    std::string out, err;
  } cases[] = {
      {"select --item 3", 0, "a.b[0]\n5", ""},
      {"select --mode zy --find 值", 0, "数据\n\"值\"", ""},
      {"select --mode e2ee --find 6 --json", 0, "{\"item\": 4, \"path\": \"//a.b[2]\", \"result\": \"6\"}\n", ""},
      {"select --mode hx --find 数据 --encoding gb18030", 0, "\xca\xfd\xbe\xdd\n\xd6\xb5", ""},
      {"select --find nothing", 1, "", ""},
      {"select --item 9", 1, "", "qoxa-json-cli: there is no item 9\n"},
      {"select", 2, "", "qoxa-json-cli: select needs either --item N or --find TEXT\n"},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Run(c.arguments + " " + doc);
    EXPECT_EQ(outcome.status, c.status) << c.arguments;
    EXPECT_EQ(outcome.out, c.out) << c.arguments;
    EXPECT_EQ(outcome.err, c.err) << c.arguments;
  }
  // An engine that cannot read the text still makes the item current: exit 0.
  const Outcome unreadable = Run("select --mode hx --item 0 " + File("bad.json", "{'a':1}"));
  EXPECT_EQ(unreadable.status, 0);
  EXPECT_EQ(unreadable.out, "\n彗星提示：非严谨的json格式，解析失败");
}

TEST_F(SelectionCli, CodeSnippetAndMessage) {
  const Outcome zy = Run("code --mode zy --item 3 " + File("doc.json", R"({"a":{"b":[5,6]}})"));
  EXPECT_EQ(zy.status, 0);
  EXPECT_TRUE(zy.out.ends_with("\r\njson.解析 (“源文本”)\r\n调试输出 (json.到文本 (“a.b[0]”，真))")) << zy.out;
  EXPECT_EQ(zy.err, "zyjson解析-代码生成完毕，粘贴到易语言即可！\n");

  // Without FILE the source box stays empty: E2EE takes the key-value table template.
  const Outcome e2ee = Run("code --mode e2ee --path //x --json");
  EXPECT_EQ(e2ee.status, 0);
  EXPECT_NE(e2ee.out.find("\"path\": \"//x\", \"result\": \"\", \"snippet\": \".版本 2\\u000d\\u000a"), std::string::npos);
  EXPECT_TRUE(e2ee.out.ends_with("取文本 (“//x”))\\u000d\\u000a\", \"message\": \"E2EE-代码生成完毕，粘贴到易语言即可！\"}\n"))
      << e2ee.out;

  const Outcome jy = Run("code --path a --result '\"x\"'");
  EXPECT_TRUE(jy.out.ends_with("调试输出 (json.取通用属性 (“a”, ))")) << jy.out;
}

TEST_F(SelectionCli, GetInEachEnginesDialect) {
  const std::string doc = File("doc.json", R"({"a":{"b":[5,{"c":"d"}]}})");
  struct Case {
    std::string arguments;
    std::string out;
  } cases[] = {
      {"--engine zy --path a.b[1]", "{\r\n\t\"c\":\"d\"\r\n}"},
      {"--engine zy --compact --path a.b[1]", "{\"c\":\"d\"}"},
      {"--engine jy --path a.b[1].c", "\"d\""},
      {"--engine hx --path a.b[1].c", "d"},
      {"--engine e2ee --path //a.b[2].c", "d"},
      {"--engine hx --path a.x", ""},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Run("get " + c.arguments + " " + doc);
    EXPECT_EQ(outcome.status, 0) << c.arguments;
    EXPECT_EQ(outcome.out, c.out) << c.arguments;
  }
  const Outcome list = Run("get --engine e2ee --path [2] " + File("list.json", "[1,2]"));
  EXPECT_EQ(list.out, "2");
  const Outcome bad = Run("get --engine zy --path a " + File("bad.json", "{\"a\":"));
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.out, "");
  EXPECT_EQ(bad.err, "zy提示：非严谨的json格式，解析失败\n");
  EXPECT_EQ(Run("get --engine doc --path a " + doc).status, 2);
}

TEST_F(SelectionCli, ParseWithTheSelectionEngines) {
  const std::string good = File("good.json", "[1]");
  const std::string bad = File("bad.json", "{\"a\":");
  const std::string table = File("table.json", " [1]");  // a blank first: the key-value table, which takes no array
  struct Case {
    std::string arguments;
    int status;
    std::string out;
  } cases[] = {
      {"--engine zy " + good, 0, "ok"},
      {"--engine zy " + bad, 1, "-5"},
      {"--engine jy " + bad, 1, "failed"},
      {"--engine hx " + good, 0, "ok"},
      {"--engine hx " + bad, 1, "failed"},
      {"--engine e2ee " + good, 0, "ok"},
      {"--engine e2ee " + table, 1, "failed"},
      {"--engine jy --json " + good, 0, "{\"ok\": true, \"message\": \"\"}\n"},
      {"--engine zy --json " + bad, 1, "{\"ok\": false, \"message\": \"-5\"}\n"},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Run("parse " + c.arguments);
    EXPECT_EQ(outcome.status, c.status) << c.arguments;
    EXPECT_EQ(outcome.out, c.out) << c.arguments;
  }
}

TEST_F(SelectionCli, DecodePrintsTheTextAfterTheChangeHandling) {
  const std::string doc = File("doc.json", R"(["\u4e2d"])");
  EXPECT_EQ(Run("decode " + doc).out, "[\"中\"]");
  EXPECT_EQ(Run("decode --raw " + doc).out, R"(["\u4e2d"])");
  EXPECT_EQ(Run("decode --json " + doc).out, "{\"text\": \"[\\\"中\\\"]\"}\n");
}

}  // namespace
