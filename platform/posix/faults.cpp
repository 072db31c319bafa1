#include "platform/posix/faults.h"

#include <map>
#include <mutex>

namespace platform::posix {

namespace {
struct Rule {
  int countdown = 0;  // fails when it reaches 1; 0 = inactive
  bool always = false;
};
std::mutex mutex;
std::map<std::string, Rule, std::less<>> rules;
}  // namespace

void FaultInjector::FailNth(std::string_view operation, int nth) {
  std::lock_guard lock(mutex);
  rules[std::string(operation)] = Rule{nth, false};
}

void FaultInjector::FailAlways(std::string_view operation) {
  std::lock_guard lock(mutex);
  rules[std::string(operation)] = Rule{0, true};
}

void FaultInjector::Clear() {
  std::lock_guard lock(mutex);
  rules.clear();
}

bool FaultInjector::ShouldFail(std::string_view operation) {
  std::lock_guard lock(mutex);
  const auto it = rules.find(operation);
  if (it == rules.end()) return false;
  Rule& rule = it->second;
  if (rule.always) return true;
  if (rule.countdown == 0) return false;
  return --rule.countdown == 0;
}

FaultInjector& Faults() {
  static FaultInjector injector;
  return injector;
}

}  // namespace platform::posix
