#pragma once
// A per-second request limit per client key (an access token, a client address), counted over
// the last second, as the cloud applies it. A limit of 0 lets everything through.

#include <chrono>
#include <deque>
#include <map>
#include <mutex>
#include <string>

namespace tarnwick::service {

class RateLimiter {
 public:
  using Clock = std::chrono::steady_clock;
  explicit RateLimiter(int perSecond) : perSecond_(perSecond) {}

  // Counts the request and says whether it is within the limit.
  bool Admit(const std::string& key, Clock::time_point now = Clock::now());

 private:
  int perSecond_;
  std::mutex mutex_;
  std::map<std::string, std::deque<Clock::time_point>> recent_;
};

}  // namespace tarnwick::service
