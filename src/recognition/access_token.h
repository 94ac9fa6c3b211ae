#pragma once
// The key-mode access token: obtained from the service's OAuth endpoint with the user's API
// Key and Secret Key, kept in the shared state and in the settings file so that it survives a
// restart, and forgotten when the service says it is no longer valid. Its expiry is not
// tracked: a held token is used until a reply rejects it.

#include <string>
#include <string_view>

#include "app/app_context.h"

namespace tarnwick {

inline constexpr char kTokenErrorMessage[] = "获取access_token出错,请检查key或者联系作者:Pellarin!";
inline constexpr char kTokenInvalidMessage[] = "Access token失效,请重新登录";

class AccessTokenStore {
 public:
  explicit AccessTokenStore(AppContext& app) : app_(app) {}

  // One token request; the token, or empty text when the reply holds none.
  std::string RequestAccessToken(std::string_view apiKey, std::string_view secretKey);
  // Requests and stores a token when none is held; the stored entry is written either way.
  void EnsureAccessToken(std::string_view apiKey, std::string_view secretKey);
  void InvalidateAccessToken();

 private:
  AppContext& app_;
};

}  // namespace tarnwick
