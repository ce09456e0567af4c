#include "PROGINC/report/ReportCapture.h"

#include <utility>

namespace report {
namespace {

thread_local std::function<void(Kept&&)>* keeper = nullptr;

std::function<void()>& BeforeExitHook() {
  static std::function<void()> hook;
  return hook;
}

}  // namespace

Capture::Capture(std::function<void(Kept&&)> keepIt) : keep(std::move(keepIt)), outer(keeper) {
  keeper = &keep;
}

Capture::~Capture() { keeper = outer; }

std::function<void(Kept&&)>* Keeper() { return keeper; }

void SetBeforeExit(std::function<void()> f) { BeforeExitHook() = std::move(f); }

void BeforeExit() {
  // Taken out first: the hook runs once, even if it reports an error itself.
  const std::function<void()> hook = std::move(BeforeExitHook());
  BeforeExitHook() = nullptr;
  if (hook) hook();
}

}  // namespace report
