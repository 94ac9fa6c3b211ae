#pragma once
// Fetches a picture given by its address, as the cloud does for `url` and `image_url` fields.
// By default only addresses on this machine are fetched, so that the service cannot be used to
// reach other hosts; redirects are not followed for the same reason.

#include <string>

namespace tarnwick::service {

enum class FetchProblem { None, BadAddress, NotAllowed, NoAnswer, TooLarge };

struct FetchRules {
  bool allowRemote = false;
  std::string caFile;  // also trusted for https pictures (the service's own certificate)
  std::size_t maxBytes = 10 * 1024 * 1024;
};

FetchProblem FetchPicture(const std::string& address, const FetchRules& rules, std::string& bytes);

}  // namespace tarnwick::service
