// Runs the built qoxa-json-cli as a script would and checks its output and exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/CodePage.h"

namespace {

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("qoxa-cli-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string WriteFile(const std::string& name, const std::string& bytes) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  RunResult Run(const std::string& arguments) {
    const std::string outFile = (dir_ / "stdout").string();
    const std::string errFile = (dir_ / "stderr").string();
    const std::string command =
        std::string("'") + QOXA_CLI_PATH + "' " + arguments + " >'" + outFile + "' 2>'" + errFile + "' </dev/null";
    RunResult result;
    const int raw = std::system(command.c_str());
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = ReadAll(outFile);
    result.err = ReadAll(errFile);
    return result;
  }

  std::filesystem::path dir_;
};

TEST_F(CliTest, TreeAsTextAndJson) {
  const std::string file = WriteFile("doc.json", R"([1,"a",{"k":"x\ty"}])");
  RunResult text = Run("tree '" + file + "'");
  EXPECT_EQ(text.status, 0);
  EXPECT_EQ(text.out,
            "数组\t\n"
            "  [0] 1\t[0]\n"
            "  [1] “a”\t[1]\n"
            "  [2] 对象\t[2]\n"
            "    k: “x\\ty”\t[2].k\n");
  EXPECT_EQ(text.err, "");

  RunResult json = Run("tree --json '" + file + "'");
  EXPECT_EQ(json.status, 0);
  EXPECT_EQ(json.out,
            "[{\"level\": 0, \"label\": \"数组\", \"path\": \"\"}, "
            "{\"level\": 1, \"label\": \"[0] 1\", \"path\": \"[0]\"}, "
            "{\"level\": 1, \"label\": \"[1] “a”\", \"path\": \"[1]\"}, "
            "{\"level\": 1, \"label\": \"[2] 对象\", \"path\": \"[2]\"}, "
            "{\"level\": 2, \"label\": \"k: “x\\u0009y”\", \"path\": \"[2].k\"}]\n");
}

TEST_F(CliTest, TreeModeAndEncoding) {
  const std::string file = WriteFile("doc.json", R"({"x1":{"名":true}})");
  RunResult zy = Run("tree --mode zy --encoding gb18030 '" + file + "'");
  EXPECT_EQ(zy.status, 0);
  EXPECT_EQ(zy.out, qoxa::platform::Utf8ToGb18030("对象\t\n  x1: 对象\tx1\n    名: true\tx1['名']\n"));
  RunResult jy = Run("tree '" + file + "'");
  EXPECT_EQ(jy.out, "对象\t\n  x1: 对象\t['x1']\n    名: true\t['x1']['名']\n");
}

TEST_F(CliTest, TreeOfEmptySourceReportsTheMessage) {
  RunResult result = Run("tree '" + WriteFile("empty.json", "") + "'");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "JSON原文本内容为空，请输入数据！\n");
}

TEST_F(CliTest, ParseWithTheTreeDocument) {
  RunResult bad = Run("parse --engine doc '" + WriteFile("bad.json", "{x") + "'");
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.out, "对象格式错误(1:2)");
  RunResult badJson = Run("parse --json --engine doc '" + WriteFile("bad.json", "{x") + "'");
  EXPECT_EQ(badJson.out, "{\"ok\": false, \"message\": \"对象格式错误(1:2)\"}\n");
  RunResult good = Run("parse --engine=doc '" + WriteFile("good.json", "[1]") + "'");
  EXPECT_EQ(good.status, 0);
  EXPECT_EQ(good.out, "ok");
}

TEST_F(CliTest, BadUsageAndUnreadableFileExitTwo) {
  const std::string file = WriteFile("doc.json", "[1]");
  for (const std::string& arguments :
       {std::string(""), std::string("nonsense '") + file + "'", std::string("tree"), "tree --mode xx '" + file + "'",
        "tree --encoding latin1 '" + file + "'", "tree --engine doc '" + file + "'", "parse '" + file + "'",
        "tree '" + file + "' '" + file + "'", "tree '" + (dir_ / "missing.json").string() + "'",
        "tree '" + dir_.string() + "'"}) {
    RunResult result = Run(arguments);
    EXPECT_EQ(result.status, 2) << arguments;
    EXPECT_EQ(result.out, "") << arguments;
    EXPECT_NE(result.err, "") << arguments;
  }
}

TEST_F(CliTest, HelpAndVersion) {
  EXPECT_EQ(Run("--version").out, "qoxa-json-cli 1.0.0\n");
  RunResult help = Run("tree --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: qoxa-json-cli COMMAND [OPTIONS] [FILE]"), std::string::npos);
}

}  // namespace
