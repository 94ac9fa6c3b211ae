#include "rate_limiter.h"

namespace tarnwick::service {

bool RateLimiter::Admit(const std::string& key, Clock::time_point now) {
  if (perSecond_ <= 0) return true;
  std::lock_guard lock(mutex_);
  // Keys that went quiet are dropped, so that many clients cannot grow the map for ever.
  for (auto it = recent_.begin(); it != recent_.end();) {
    while (!it->second.empty() && now - it->second.front() >= std::chrono::seconds(1)) {
      it->second.pop_front();
    }
    it = it->second.empty() && it->first != key ? recent_.erase(it) : std::next(it);
  }
  std::deque<Clock::time_point>& times = recent_[key];
  if (static_cast<int>(times.size()) >= perSecond_) return false;
  times.push_back(now);
  return true;
}

}  // namespace tarnwick::service
