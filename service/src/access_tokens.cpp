#include "access_tokens.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tarnwick::service {
namespace {

std::string Hex(const unsigned char* bytes, std::size_t size) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (std::size_t i = 0; i < size; ++i) {
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 15];
  }
  return text;
}

std::string RandomHex(std::size_t bytes) {
  std::string random(bytes, '\0');
  if (RAND_bytes(reinterpret_cast<unsigned char*>(random.data()), static_cast<int>(bytes)) != 1) {
    throw std::runtime_error("no random bytes");
  }
  return Hex(reinterpret_cast<const unsigned char*>(random.data()), bytes);
}

constexpr char kPrefix[] = "24.";

}  // namespace

AccessTokens::AccessTokens(const std::filesystem::path& stateFolder,
                           std::vector<std::pair<std::string, std::string>> acceptedKeys)
    : acceptedKeys_(std::move(acceptedKeys)) {
  const std::filesystem::path file = stateFolder / "token-secret";
  {
    std::ifstream in(file, std::ios::binary);
    secret_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  if (secret_.size() < 32) {
    std::filesystem::create_directories(stateFolder);
    secret_ = RandomHex(32);
    const mode_t old = umask(0077);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    umask(old);
    out << secret_;
    if (!out) throw std::runtime_error("cannot keep the token secret in " + file.string());
  }
}

bool AccessTokens::Accepts(const std::string& apiKey, const std::string& secretKey) const {
  if (acceptedKeys_.empty()) return !apiKey.empty() && !secretKey.empty();
  for (const auto& [api, secret] : acceptedKeys_) {
    if (api == apiKey && secret == secretKey) return true;
  }
  return false;
}

std::string AccessTokens::Signature(const std::string& id) const {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  HMAC(EVP_sha256(), secret_.data(), static_cast<int>(secret_.size()),
       reinterpret_cast<const unsigned char*>(id.data()), id.size(), digest, &length);
  return Hex(digest, 16);
}

std::string AccessTokens::Issue() const {
  const std::string id = RandomHex(16);
  return kPrefix + id + "." + Signature(id);
}

bool AccessTokens::Valid(const std::string& token) const {
  const std::size_t prefix = sizeof kPrefix - 1;
  if (token.size() != prefix + 32 + 1 + 32 || token.compare(0, prefix, kPrefix) != 0) return false;
  const std::string id = token.substr(prefix, 32);
  const std::string signature = token.substr(prefix + 33);
  const std::string expected = Signature(id);
  return token[prefix + 32] == '.' &&
         CRYPTO_memcmp(signature.data(), expected.data(), expected.size()) == 0;
}

}  // namespace tarnwick::service
