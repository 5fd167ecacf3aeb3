#pragma once
// The JavaScript engine behind JyJson: initialised once per process, one context per thread,
// each context with a watchdog thread that interrupts an evaluation running past its deadline.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

struct JSContext;

namespace qoxa::script::detail {

class ScriptContext {
 public:
  // The context of the calling thread, created at first use; null when the engine cannot start.
  static std::shared_ptr<ScriptContext> ForThisThread();

  ~ScriptContext();
  ScriptContext(const ScriptContext&) = delete;
  ScriptContext& operator=(const ScriptContext&) = delete;

  JSContext* cx() const { return cx_; }

  // While a Watch lives, evaluations on this context are interrupted once `limit` has passed.
  class Watch {
   public:
    Watch(ScriptContext& context, std::chrono::milliseconds limit);
    ~Watch();
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;
    // True when the deadline passed or the evaluation took more memory than the heap cap, and
    // the running evaluation was (or is being) stopped.
    bool TimedOut() const;

   private:
    ScriptContext& context_;
  };

  // The heap cap follows the documents held on this context: base plus a share per text byte.
  void AddTextBytes(size_t bytes);
  void RemoveTextBytes(size_t bytes);

 private:
  explicit ScriptContext(JSContext* cx);
  static bool OnInterrupt(JSContext* cx);
  void WatchdogLoop();
  void Arm(std::chrono::milliseconds limit);
  void Disarm();
  void ApplyHeapCap();

  JSContext* cx_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<std::chrono::steady_clock::time_point> deadline_;
  bool timedOut_ = false;
  bool stopping_ = false;
  int watchDepth_ = 0;
  size_t textBytes_ = 0;
  uint64_t heapCap_ = 0;
  uint64_t residentAtArm_ = 0;
  std::thread watchdog_;
};

}  // namespace qoxa::script::detail
