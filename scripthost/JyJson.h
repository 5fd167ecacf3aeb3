#pragma once
// The jy-mode engine: the document lives in a JavaScript engine (SpiderMonkey) as the value
// of one global variable, and every request is a short JavaScript expression around that
// variable. A jy path is plain JavaScript member access appended to the variable's name.
//
// Texts in and out are GB18030 bytes. Script errors are never reported: an operation that
// fails gives an empty text, 0 or false.
//
// Sandbox: each parse gets a fresh global holding only the ECMAScript built-ins (no host
// functions at all); every evaluation runs under a time limit (3 s plus 0.5 s per megabyte of
// the parsed text), a heap cap (1 GiB plus 16 times the text's size) and a native stack quota,
// so a hostile text fails like an invalid one instead of hanging or ending the program.
//
// An instance belongs to the thread that created it. Instances on one thread share that
// thread's engine context; the engine itself is initialised once per process.
#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qoxa::script {

// Limits applied to every evaluation. Process-wide; tests shorten the time limit.
struct SandboxLimits {
  std::chrono::milliseconds baseTime{3000};
  std::chrono::milliseconds timePerMegabyte{500};
  size_t baseHeapBytes = size_t{1} << 30;
  size_t heapBytesPerTextByte = 16;
};
SandboxLimits GetSandboxLimits();
void SetSandboxLimits(const SandboxLimits& limits);

class JyJson {
 public:
  // `name` is the script variable that holds the document; node selection uses "da".
  explicit JyJson(std::string name = "da");
  ~JyJson();
  // A copy shares the same script state (the same parsed document), as the original's
  // reference to one script object; `Parse` on either gives that one a fresh state.
  JyJson(const JyJson& other);
  JyJson& operator=(const JyJson& other);
  JyJson(JyJson&& other) noexcept;
  JyJson& operator=(JyJson&& other) noexcept;

  const std::string& Name() const { return name_; }

  // Fresh global with the embedded helper script and the variable set to {}.
  void Init();
  // Evaluates the text as a JavaScript expression; true when its value is neither null nor undefined.
  bool Parse(std::string_view text);
  std::string ToJson();
  // Stores `value` as a string (or, with `asJson`, its evaluation; empty means {}).
  bool SetText(std::string_view path, std::string_view value, bool asJson = false);
  bool SetJson(std::string_view path, std::string_view json);
  bool SetNumber(std::string_view path, double number);
  double GetNumber(std::string_view path);
  std::string GetJson(std::string_view path);
  // With `asJson` the JSON text of the value at `path`, else its plain text.
  std::string GetValue(std::string_view path, bool asJson);
  JyJson GetObject(std::string_view path);
  // Members of an object or elements of an array (-2 for null and undefined, as the counting
  // function leaves its two prototype members out of every count).
  int Count(std::string_view path = {});
  bool Push(std::string_view value, std::string_view path = {}, bool asJson = false);
  JyJson GetElementObject(int index, std::string_view path = {});
  std::string GetElement(int index, std::string_view path = {}, bool asJson = false);
  bool SetElement(int index, std::string_view value, bool asJson = false);
  bool RemoveElement(int index);
  // `path` has the form Q[i]: removes element i of the array at Q.
  bool RemoveAt(std::string_view path);
  // 0 and 4 make the document {}, 5 makes it an empty array; other codes do nothing.
  void Reset(int typeCode);
  bool SetRoot(std::string_view value, bool asJson = false);
  bool Exists(std::string_view path);
  // Enumerable member names at `path` (without the two prototype members); returns their number.
  int Keys(std::vector<std::string>& names, std::string_view path = {});
  // 0 null/undefined, 1 boolean, 2 number, 4 object, 5 array, 6 string, -1 anything else.
  int TypeOf(std::string_view path = {});
  void Clear();

 private:
  struct State;
  std::string name_;
  std::shared_ptr<State> state_;
};

}  // namespace qoxa::script
