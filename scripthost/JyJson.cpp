#include "scripthost/JyJson.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <optional>

#include <js/Array.h>
#include <js/CompilationAndEvaluation.h>
#include <js/Conversions.h>
#include <js/GlobalObject.h>
#include <js/JSON.h>
#include <js/PropertyAndElement.h>
#include <js/Realm.h>
#include <js/RealmOptions.h>
#include <js/RootingAPI.h>
#include <js/SourceText.h>
#include <js/String.h>
#include <jsapi.h>

#include "platform/CodePage.h"
#include "scripthost/JsonTextEscapes.h"
#include "scripthost/ScriptContext.h"

namespace qoxa::script {
namespace {

using detail::ScriptContext;

std::mutex& LimitsMutex() {
  static std::mutex mutex;
  return mutex;
}
SandboxLimits& Limits() {
  static SandboxLimits limits;
  return limits;
}

std::chrono::milliseconds TimeLimitFor(size_t textBytes) {
  const SandboxLimits limits = GetSandboxLimits();
  const double megabytes = static_cast<double>(textBytes) / (1024.0 * 1024.0);
  return limits.baseTime + std::chrono::milliseconds(static_cast<int64_t>(
                               megabytes * static_cast<double>(limits.timePerMegabyte.count())));
}

// Our helper script, run in every fresh global: the counting function, and the two
// convenience methods on Object.prototype. Being plain assignments, they are enumerable, so
// every for-in loop lists them: the counting function starts at -2 and Keys drops them.
// The engine's own JSON object is used; the JSON text it writes gets the classic escapes later.
constexpr std::u16string_view kHelperScript =
    u"function get__count(c){var i=-2;for(v in c)i++;return i}\n"
    u"if(typeof Object.prototype.toJSONString!=='function'){"
    u"Object.prototype.toJSONString=function(filter){return JSON.stringify(this,filter)};"
    u"Object.prototype.parseJSON=function(filter){return JSON.parse(this,filter)}}";

constexpr JSClass kGlobalClass = {"global", JSCLASS_GLOBAL_FLAGS, &JS::DefaultGlobalClassOps, nullptr, nullptr, nullptr};

std::u16string ToUtf16(std::string_view gb18030) { return platform::Gb18030ToUtf16(gb18030); }

std::u16string CopyChars(JSContext* cx, JSString* str) {
  std::u16string chars(JS_GetStringLength(str), u'\0');
  if (!JS_CopyStringChars(cx, mozilla::Range<char16_t>(chars.data(), chars.size()), str)) return {};
  return chars;
}

// A value as a script text literal holding exactly that value.
std::u16string QuotedLiteral(std::u16string_view value) {
  std::u16string out;
  out.reserve(value.size() + 2);
  out += u'\'';
  for (char16_t c : value) {
    switch (c) {
      case u'\\': out += u"\\\\"; break;
      case u'\'': out += u"\\'"; break;
      case u'\n': out += u"\\n"; break;
      case u'\r': out += u"\\r"; break;
      case u'\u2028': out += u"\\u2028"; break;
      case u'\u2029': out += u"\\u2029"; break;
      default: out += c;
    }
  }
  out += u'\'';
  return out;
}

std::u16string NumberLiteral(double number) {
  if (std::isnan(number)) return u"NaN";
  if (std::isinf(number)) return number > 0 ? u"Infinity" : u"-Infinity";
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
  return std::u16string(buffer, result.ptr);
}

std::u16string IndexLiteral(int index) {
  const std::string text = std::to_string(index);
  return std::u16string(text.begin(), text.end());
}

// JSON.parse gives exactly what evaluating a strict JSON text as an expression gives, with one
// difference: an object literal's "__proto__" member sets the prototype instead of making a
// member. Texts that could spell that name (also through \u escapes of its letters) go the
// evaluating way.
bool MayNameProto(std::u16string_view text) {
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    const char16_t c = text[i];
    if (c == u'_') {
      if (text.substr(i, 9) == u"__proto__") return true;
    } else if (c == u'\\' && i + 4 < n && text[i + 1] == u'u' && text[i + 2] == u'0' && text[i + 3] == u'0' &&
               text[i + 4] >= u'5' && text[i + 4] <= u'7') {
      return true;
    }
  }
  return false;
}

}  // namespace

SandboxLimits GetSandboxLimits() {
  std::lock_guard<std::mutex> lock(LimitsMutex());
  return Limits();
}

void SetSandboxLimits(const SandboxLimits& limits) {
  std::lock_guard<std::mutex> lock(LimitsMutex());
  Limits() = limits;
}

// One script state: a global of its own on this thread's context. Copies of a JyJson share it.
struct JyJson::State {
  std::shared_ptr<ScriptContext> context;
  JS::PersistentRootedObject global;
  size_t textBytes = 0;  // size of the parsed text: it scales the time limit and the heap cap

  State(std::shared_ptr<ScriptContext> ctx, JSObject* g) : context(std::move(ctx)), global(context->cx(), g) {}
  ~State() {
    global.reset();
    context->RemoveTextBytes(textBytes);
  }
  void HoldText(size_t bytes) {
    textBytes = bytes;
    context->AddTextBytes(bytes);
  }
};

namespace {

// The frame of one operation: inside the state's global, under the watchdog.
class Session {
 public:
  Session(JSContext* cx, JSObject* global, ScriptContext& context, size_t textBytes)
      : cx_(cx), realm_(cx, global), watch_(context, TimeLimitFor(textBytes)) {}

  JSContext* cx() const { return cx_; }
  bool TimedOut() const { return watch_.TimedOut(); }

  // Evaluates a program; a script error (or a stop by the watchdog) gives false.
  bool Eval(std::u16string_view code, JS::MutableHandleValue result) {
    JS::CompileOptions options(cx_);
    options.setFileAndLine("jy", 1);
    JS::SourceText<char16_t> source;
    if (!source.init(cx_, code.data(), code.size(), JS::SourceOwnership::Borrowed) ||
        !JS::Evaluate(cx_, options, source, result)) {
      JS_ClearPendingException(cx_);
      result.setUndefined();
      return false;
    }
    return true;
  }
  bool Run(std::u16string_view code) {
    JS::RootedValue ignored(cx_);
    return Eval(code, &ignored);
  }

  // The text of a value: null and undefined give an empty text.
  std::optional<std::u16string> Text(JS::HandleValue value) {
    if (value.isNullOrUndefined()) return std::u16string();
    JS::RootedString str(cx_, JS::ToString(cx_, value));
    if (!str) {
      JS_ClearPendingException(cx_);
      return std::nullopt;
    }
    return CopyChars(cx_, str);
  }

  std::u16string EvalText(std::u16string_view code) {
    JS::RootedValue value(cx_);
    if (!Eval(code, &value)) return {};
    return Text(value).value_or(std::u16string());
  }

  bool EvalBool(std::u16string_view code) {
    JS::RootedValue value(cx_);
    return Eval(code, &value) && JS::ToBoolean(value);
  }

  std::optional<double> EvalNumber(std::u16string_view code) {
    JS::RootedValue value(cx_);
    if (!Eval(code, &value)) return std::nullopt;
    double number = 0;
    if (!JS::ToNumber(cx_, value, &number)) {
      JS_ClearPendingException(cx_);
      return std::nullopt;
    }
    return number;
  }

 private:
  JSContext* cx_;
  JSAutoRealm realm_;
  ScriptContext::Watch watch_;
};

}  // namespace

JyJson::JyJson(std::string name) : name_(std::move(name)) { Init(); }

JyJson::~JyJson() = default;
JyJson::JyJson(const JyJson& other) = default;
JyJson& JyJson::operator=(const JyJson& other) = default;
JyJson::JyJson(JyJson&& other) noexcept = default;
JyJson& JyJson::operator=(JyJson&& other) noexcept = default;

void JyJson::Init() {
  state_.reset();
  std::shared_ptr<ScriptContext> context = ScriptContext::ForThisThread();
  if (!context) return;
  JSContext* cx = context->cx();
  JS::RealmOptions options;
  JS::RootedObject global(cx, JS_NewGlobalObject(cx, &kGlobalClass, nullptr, JS::FireOnNewGlobalHook, options));
  if (!global) {
    JS_ClearPendingException(cx);
    return;
  }
  {
    JSAutoRealm realm(cx, global);
    if (!JS::InitRealmStandardClasses(cx)) {
      JS_ClearPendingException(cx);
      return;
    }
  }
  auto state = std::make_shared<State>(context, global);
  Session session(cx, global, *context, 0);
  session.Run(kHelperScript);
  session.Run(u"var " + ToUtf16(name_) + u"={}");
  state_ = std::move(state);
}

bool JyJson::Parse(std::string_view text) {
  // Every parse starts from a fresh global, so nothing from an earlier parse survives.
  Init();
  if (!state_) return false;
  State& state = *state_;
  state.HoldText(text.size());
  Session session(state.context->cx(), state.global, *state.context, text.size());
  JSContext* cx = session.cx();
  const std::u16string name = ToUtf16(name_);
  session.Run(u"var " + name + u"=null");
  std::u16string source = ToUtf16(text);

  // Strict JSON: the engine's JSON reader gives the same value as evaluating it, much faster.
  // A text that is a JSON string is excluded: evaluating it runs the string as a program.
  if (source.size() <= UINT32_MAX && !MayNameProto(source)) {
    JS::RootedValue value(cx);
    if (JS_ParseJSON(cx, source.data(), static_cast<uint32_t>(source.size()), &value)) {
      if (!value.isString()) {
        JS::RootedObject global(cx, state.global);
        if (!JS_SetUCProperty(cx, global, name.data(), name.size(), value)) {
          JS_ClearPendingException(cx);
          return false;
        }
        return !value.isNullOrUndefined();
      }
    } else {
      JS_ClearPendingException(cx);
      if (session.TimedOut()) return false;
    }
  }

  // Anything else is evaluated as an expression, as written.
  std::u16string program;
  program.reserve(source.size() + name.size() + 16);
  program.append(u"var ").append(name).append(u"=eval(").append(source).append(u")");
  source = std::u16string();
  const bool evaluated = session.Run(program);
  program = std::u16string();
  if (!evaluated && session.TimedOut()) return false;
  return session.EvalBool(u"null !=" + name);
}

// The variable with the path appended: "da" for an empty path, "da[0].a" for "[0].a", "da.a.b" for "a.b".
static std::u16string PathExpression(const std::string& name, std::string_view path) {
  std::u16string x = ToUtf16(name);
  if (path.empty()) return x;
  if (path.front() != '[') x += u'.';
  return x + ToUtf16(path);
}

#define JY_SESSION(fallback)                                                              \
  if (!state_) return fallback;                                                           \
  std::shared_ptr<State> keep = state_;                                                   \
  Session session(keep->context->cx(), keep->global, *keep->context, keep->textBytes)

std::string JyJson::ToJson() { return GetJson({}); }

bool JyJson::SetText(std::string_view path, std::string_view value, bool asJson) {
  JY_SESSION(false);
  std::u16string code = PathExpression(name_, path);
  if (asJson) {
    code.append(u"= eval(").append(value.empty() ? std::u16string(u"{}") : ToUtf16(value)).append(u")");
  } else {
    code.append(u"=").append(QuotedLiteral(ToUtf16(value)));
  }
  return session.Run(code);
}

bool JyJson::SetJson(std::string_view path, std::string_view json) {
  JY_SESSION(false);
  return session.Run(PathExpression(name_, path) + u"= eval(" + ToUtf16(json) + u")");
}

bool JyJson::SetNumber(std::string_view path, double number) {
  JY_SESSION(false);
  return session.Run(PathExpression(name_, path) + u"=" + NumberLiteral(number));
}

double JyJson::GetNumber(std::string_view path) {
  JY_SESSION(0);
  return session.EvalNumber(PathExpression(name_, path)).value_or(0);
}

std::string JyJson::GetJson(std::string_view path) {
  JY_SESSION(std::string());
  return JsonTextFromEngine(session.EvalText(u"JSON.stringify(" + PathExpression(name_, path) + u")"));
}

std::string JyJson::GetValue(std::string_view path, bool asJson) {
  if (asJson) return GetJson(path);
  JY_SESSION(std::string());
  // Numbers are written as the script writes them, like every other value.
  return platform::Utf16ToGb18030(session.EvalText(PathExpression(name_, path)));
}

JyJson JyJson::GetObject(std::string_view path) {
  JyJson result(name_);
  result.Parse(GetJson(path));
  return result;
}

int JyJson::Count(std::string_view path) {
  JY_SESSION(0);
  const std::optional<double> count = session.EvalNumber(u"get__count(" + PathExpression(name_, path) + u")");
  return count && std::isfinite(*count) ? static_cast<int>(*count) : 0;
}

bool JyJson::Push(std::string_view value, std::string_view path, bool asJson) {
  JY_SESSION(false);
  const std::u16string x = PathExpression(name_, path);
  const std::u16string item = asJson ? ToUtf16(value) : QuotedLiteral(ToUtf16(value));
  return session.Run(u"if (Object.prototype.toString.call(" + x + u") != '[object Array]') { " + x +
                     u"=new Array();} " + x + u".push(" + item + u")");
}

JyJson JyJson::GetElementObject(int index, std::string_view path) {
  JyJson result(name_);
  result.Parse(GetElement(index, path, true));
  return result;
}

std::string JyJson::GetElement(int index, std::string_view path, bool asJson) {
  JY_SESSION(std::string());
  const std::u16string element = PathExpression(name_, path) + u"[" + IndexLiteral(index) + u"]";
  if (asJson) return JsonTextFromEngine(session.EvalText(u"JSON.stringify(" + element + u")"));
  return platform::Utf16ToGb18030(session.EvalText(element));
}

bool JyJson::SetElement(int index, std::string_view value, bool asJson) {
  JY_SESSION(false);
  const std::u16string item = asJson ? ToUtf16(value) : QuotedLiteral(ToUtf16(value));
  return session.Run(ToUtf16(name_) + u"[" + IndexLiteral(index) + u"]=" + item);
}

bool JyJson::RemoveElement(int index) {
  JY_SESSION(false);
  return session.Run(ToUtf16(name_) + u".splice(" + IndexLiteral(index) + u",1)");
}

bool JyJson::RemoveAt(std::string_view path) {
  // path = Q[i]
  if (path.size() < 3 || path.back() != ']') return false;
  const size_t open = path.rfind('[');
  if (open == std::string_view::npos) return false;
  const std::string_view digits = path.substr(open + 1, path.size() - open - 2);
  int index = 0;
  const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), index);
  if (digits.empty() || parsed.ec != std::errc() || parsed.ptr != digits.data() + digits.size()) return false;
  const std::string_view owner = path.substr(0, open);
  const std::string json = GetJson(owner);
  if (json.empty()) return false;
  JyJson temporary(name_);
  if (!temporary.Parse(json) || !temporary.RemoveElement(index)) return false;
  return SetJson(owner, temporary.ToJson());
}

void JyJson::Reset(int typeCode) {
  JY_SESSION();
  const std::u16string name = ToUtf16(name_);
  if (typeCode == 0 || typeCode == 4)
    session.Run(u"var " + name + u"={}");
  else if (typeCode == 5)
    session.Run(u"var " + name + u"=new Array()");
}

bool JyJson::SetRoot(std::string_view value, bool asJson) {
  JY_SESSION(false);
  const std::u16string item = asJson ? ToUtf16(value) : QuotedLiteral(ToUtf16(value));
  return session.Run(ToUtf16(name_) + u"=" + item);
}

bool JyJson::Exists(std::string_view path) {
  JY_SESSION(false);
  return session.EvalBool(PathExpression(name_, path) + u" !=null");
}

int JyJson::Keys(std::vector<std::string>& names, std::string_view path) {
  names.clear();
  JY_SESSION(0);
  JSContext* cx = session.cx();
  // The names are collected into an array rather than a comma-joined text, so that a name
  // holding a comma, or one that merely contains "parseJSON", stays whole.
  if (!session.Run(u"var ary=[]; for (var key in " + PathExpression(name_, path) + u") {ary.push(key); }"))
    return 0;
  JS::RootedValue list(cx);
  JS::RootedObject global(cx, keep->global);
  if (JS_GetProperty(cx, global, "ary", &list) && list.isObject()) {
    JS::RootedObject array(cx, &list.toObject());
    uint32_t length = 0;
    if (JS::GetArrayLength(cx, array, &length)) {
      JS::RootedValue item(cx);
      for (uint32_t i = 0; i < length; ++i) {
        if (!JS_GetElement(cx, array, i, &item)) break;
        std::u16string key = session.Text(item).value_or(std::u16string());
        if (key == u"toJSONString" || key == u"parseJSON") continue;
        names.push_back(platform::Utf16ToGb18030(key));
      }
    }
  }
  JS_ClearPendingException(cx);
  session.Run(u"ary=null");
  return static_cast<int>(names.size());
}

int JyJson::TypeOf(std::string_view path) {
  {
    JY_SESSION(-1);
    const std::u16string x = PathExpression(name_, path);
    if (session.EvalBool(x + u"==null")) return 0;
    const std::u16string type = session.EvalText(u"typeof (" + x + u")");
    if (type == u"string") return 6;
    if (type == u"number") return 2;
    if (type == u"boolean") return 1;
    if (type != u"object") return -1;
  }
  return GetValue(path, true).starts_with('[') ? 5 : 4;
}

void JyJson::Clear() {
  JY_SESSION();
  session.Run(ToUtf16(name_) + u"={}");
}

}  // namespace qoxa::script
