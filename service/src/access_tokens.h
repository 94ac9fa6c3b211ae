#pragma once
// Access tokens of the client-credentials grant. A token is a random id signed with a secret
// kept in the state folder, so tokens stay valid when the service restarts (the desktop program
// keeps its token in its settings file) and nothing has to be remembered per token.

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick::service {

class AccessTokens {
 public:
  // Reads the secret from `stateFolder`, making it first when missing.
  AccessTokens(const std::filesystem::path& stateFolder,
               std::vector<std::pair<std::string, std::string>> acceptedKeys);

  // Whether the pair may get a token: one of the accepted pairs, or any two non-empty keys when
  // none were given.
  bool Accepts(const std::string& apiKey, const std::string& secretKey) const;
  std::string Issue() const;
  bool Valid(const std::string& token) const;

 private:
  std::string Signature(const std::string& id) const;

  std::string secret_;
  std::vector<std::pair<std::string, std::string>> acceptedKeys_;
};

}  // namespace tarnwick::service
