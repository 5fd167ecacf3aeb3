#include "scripthost/ScriptContext.h"

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>

#include <js/Context.h>
#include <js/GCAPI.h>
#include <js/Initialization.h>
#include <js/Interrupt.h>
#include <js/Stack.h>

#include "scripthost/JyJson.h"

namespace qoxa::script::detail {
namespace {

// The context's own cap before any document is held (the parse raises it at once).
constexpr uint32_t kInitialHeapBytes = 64u << 20;

// JS_Init once per process. JS_ShutDown runs at exit only when no context is left, since a
// context must never outlive it (a context still held on another thread keeps it from running).
class Engine {
 public:
  static Engine& Instance() {
    static Engine engine;
    return engine;
  }
  bool ok() const { return ok_; }
  // Context creation is serialised: the engine wants the first one made single-threaded.
  std::mutex& creationMutex() { return creationMutex_; }
  void ContextCreated() { ++liveContexts_; }
  void ContextDestroyed() { --liveContexts_; }

  ~Engine() {
    if (ok_ && liveContexts_.load() == 0) JS_ShutDown();
  }

 private:
  Engine() : ok_(JS_Init()) {}
  bool ok_;
  std::mutex creationMutex_;
  std::atomic<int> liveContexts_{0};
};

// Room left for the engine's own stack checks: the thread's stack less a margin for the
// native frames between two checks (ours included).
size_t StackQuotaForThisThread() {
  size_t stackSize = 8u << 20;
  pthread_attr_t attr;
  if (pthread_getattr_np(pthread_self(), &attr) == 0) {
    size_t size = 0;
    if (pthread_attr_getstacksize(&attr, &size) == 0 && size > 0) stackSize = size;
    pthread_attr_destroy(&attr);
  }
  constexpr size_t kMargin = 256u << 10;
  return stackSize > 2 * kMargin ? stackSize - kMargin : stackSize / 2;
}

constexpr auto kMemoryCheckPeriod = std::chrono::milliseconds(20);

// The process's resident memory in bytes (0 when it cannot be read).
uint64_t ResidentBytes() {
  std::FILE* file = std::fopen("/proc/self/statm", "r");
  if (!file) return 0;
  unsigned long long size = 0, resident = 0;
  const int read = std::fscanf(file, "%llu %llu", &size, &resident);
  std::fclose(file);
  static const uint64_t pageSize = static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
  return read == 2 ? resident * pageSize : 0;
}

}  // namespace

std::shared_ptr<ScriptContext> ScriptContext::ForThisThread() {
  thread_local std::shared_ptr<ScriptContext> context;
  if (context) return context;
  Engine& engine = Engine::Instance();
  if (!engine.ok()) return nullptr;
  std::lock_guard<std::mutex> lock(engine.creationMutex());
  JSContext* cx = JS_NewContext(kInitialHeapBytes);
  if (!cx) return nullptr;
  JS_SetNativeStackQuota(cx, StackQuotaForThisThread());
  if (!JS::InitSelfHostedCode(cx)) {
    JS_DestroyContext(cx);
    return nullptr;
  }
  engine.ContextCreated();
  context.reset(new ScriptContext(cx));
  return context;
}

ScriptContext::ScriptContext(JSContext* cx) : cx_(cx) {
  JS_SetContextPrivate(cx_, this);
  JS_AddInterruptCallback(cx_, &ScriptContext::OnInterrupt);
  ApplyHeapCap();
  watchdog_ = std::thread([this] { WatchdogLoop(); });
}

ScriptContext::~ScriptContext() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  watchdog_.join();
  JS_DestroyContext(cx_);
  Engine::Instance().ContextDestroyed();
}

bool ScriptContext::OnInterrupt(JSContext* cx) {
  auto* self = static_cast<ScriptContext*>(JS_GetContextPrivate(cx));
  std::lock_guard<std::mutex> lock(self->mutex_);
  // Returning false ends the running script with an error no script can catch.
  return !self->timedOut_;
}

void ScriptContext::WatchdogLoop() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopping_) {
    if (!deadline_ || timedOut_) {
      wake_.wait(lock);
      continue;
    }
    // Wake at the deadline, and between times to look at the memory the evaluation has taken.
    const auto deadline = *deadline_;
    const auto next = std::min(deadline, std::chrono::steady_clock::now() + kMemoryCheckPeriod);
    wake_.wait_until(lock, next);
    if (stopping_ || deadline_ != deadline || timedOut_) continue;
    const bool late = std::chrono::steady_clock::now() >= deadline;
    // The engine caps its own heap but not the characters of its strings: a script that keeps
    // building big strings is stopped by the process's resident size instead.
    const bool tooBig = ResidentBytes() > residentAtArm_ + heapCap_;
    if (late || tooBig) {
      timedOut_ = true;
      JS_RequestInterruptCallback(cx_);
    }
  }
}

void ScriptContext::Arm(std::chrono::milliseconds limit) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (watchDepth_++ > 0) return;  // an inner operation runs under the outer deadline
    timedOut_ = false;
    deadline_ = std::chrono::steady_clock::now() + limit;
    residentAtArm_ = ResidentBytes();
  }
  wake_.notify_all();
}

void ScriptContext::Disarm() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (--watchDepth_ > 0) return;
  deadline_.reset();
}

ScriptContext::Watch::Watch(ScriptContext& context, std::chrono::milliseconds limit) : context_(context) {
  context_.Arm(limit);
}

ScriptContext::Watch::~Watch() { context_.Disarm(); }

bool ScriptContext::Watch::TimedOut() const {
  std::lock_guard<std::mutex> lock(context_.mutex_);
  return context_.timedOut_;
}

void ScriptContext::AddTextBytes(size_t bytes) {
  textBytes_ += bytes;
  ApplyHeapCap();
}

void ScriptContext::RemoveTextBytes(size_t bytes) {
  textBytes_ -= std::min(bytes, textBytes_);
  ApplyHeapCap();
}

void ScriptContext::ApplyHeapCap() {
  const SandboxLimits limits = GetSandboxLimits();
  const uint64_t cap = static_cast<uint64_t>(limits.baseHeapBytes) +
                       static_cast<uint64_t>(textBytes_) * limits.heapBytesPerTextByte;
  // The engine takes its cap as a 32-bit count of bytes.
  JS_SetGCParameter(cx_, JSGC_MAX_BYTES, static_cast<uint32_t>(std::min<uint64_t>(cap, UINT32_MAX)));
  std::lock_guard<std::mutex> lock(mutex_);
  heapCap_ = cap;
}

}  // namespace qoxa::script::detail
