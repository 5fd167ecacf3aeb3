#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "scripthost/JyJson.h"

namespace qoxa::script {
namespace {

using namespace std::chrono_literals;

// Short limits so that the hostile texts fail quickly.
class JyJsonSandbox : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = GetSandboxLimits();
    SandboxLimits limits = saved_;
    limits.baseTime = 300ms;
    limits.baseHeapBytes = size_t{256} << 20;
    SetSandboxLimits(limits);
  }
  void TearDown() override { SetSandboxLimits(saved_); }

  // The engine still answers normally after a hostile text.
  static void ExpectUsable(JyJson& jy) {
    ASSERT_TRUE(jy.Parse("{\"a\":[1,2]}"));
    EXPECT_EQ(jy.GetValue("a[1]", true), "2");
  }

 private:
  SandboxLimits saved_;
};

TEST_F(JyJsonSandbox, HostileTextsFailLikeInvalidOnes) {
  const char* texts[] = {
      "(function(){while(true){}})()",                                     // endless loop
      "(function(){for(;;){try{while(true){}}catch(e){}}})()",            // catching does not help
      "(function f(){return f()+1})()",                                    // stack exhaustion
      "(function f(){try{return f()}catch(e){return f()}})()",            // ... caught and retried
      "(function(){var a=[];for(;;)a.push([a.length,{}])})()",            // heap exhaustion
      "(function(){var a=[];for(;;)a.push('x'.repeat(1<<24)+a.length)})()",  // big strings
      "new Array(4294967295).fill(0)",                                     // one huge allocation
  };
  for (const char* text : texts) {
    JyJson jy;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(jy.Parse(text)) << text;
    EXPECT_LT(std::chrono::steady_clock::now() - start, 20s) << text;
    ExpectUsable(jy);
  }
}

TEST_F(JyJsonSandbox, StringsBeyondTheHeapCapStopLongBeforeTheTimeLimit) {
  SandboxLimits limits = GetSandboxLimits();
  limits.baseTime = 120s;
  SetSandboxLimits(limits);
  JyJson jy;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(jy.Parse("(function(){var a=[];for(var i=0;;i++){var s='x'.repeat(1<<24)+i;s.indexOf('y');a.push(s)}})()"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 60s);
  ExpectUsable(jy);
}

TEST_F(JyJsonSandbox, LookupsAreWatchedToo) {
  JyJson jy;
  ASSERT_TRUE(jy.Parse("{get a(){for(;;){}}, b:1}"));
  EXPECT_EQ(jy.GetValue("a", true), "");
  EXPECT_EQ(jy.GetValue("", true), "");
  EXPECT_EQ(jy.GetValue("b", true), "1");
}

TEST_F(JyJsonSandbox, OnlyTheLanguageBuiltInsAreReachable) {
  JyJson jy;
  ASSERT_TRUE(jy.Parse("[typeof print, typeof require, typeof load, typeof read, typeof os, typeof quit, "
                       "typeof console, typeof setTimeout, typeof Math, typeof Date]"));
  EXPECT_EQ(jy.GetValue("", true), R"(["undefined","undefined","undefined","undefined","undefined",)"
                                   R"("undefined","undefined","undefined","object","function"])");
}

TEST_F(JyJsonSandbox, DeepNestingFailsOrParsesButNeverCrashes) {
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  JyJson jy;
  // Strict JSON is read without recursion; writing it back out runs out of stack and gives nothing.
  EXPECT_TRUE(jy.Parse(deep));
  EXPECT_EQ(jy.GetValue("", true), "");
  const std::string lenient = std::string(100000, '[') + "1," + std::string(100000, ']');
  EXPECT_FALSE(jy.Parse(lenient));
  ExpectUsable(jy);
}

TEST_F(JyJsonSandbox, EachThreadHasItsOwnContext) {
  std::string fromThread;
  std::thread worker([&] {
    JyJson jy;
    if (jy.Parse("[1,{\"k\":\"v\"}]")) fromThread = jy.GetValue("[1].k", true);
    JyJson endless;
    if (endless.Parse("(function(){for(;;){}})()")) fromThread = "endless parse succeeded";
  });
  worker.join();
  EXPECT_EQ(fromThread, "\"v\"");
  JyJson jy;
  ExpectUsable(jy);
}

}  // namespace
}  // namespace qoxa::script
