#pragma once
// The replies of the service, shaped as the cloud shapes them: the REST endpoints' layout (the
// "key" layout, errors as error_code and error_msg) and the demonstration endpoint's (the result
// under "data", errors as errno and msg). Pure functions of what was recognised.

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tarnwick::service {

using Json = nlohmann::ordered_json;

enum class Layout { Key, Demo };

// What a recognition request asks for; the REST path's last part or the demo's `type` names it.
enum class Kind { General, Accurate, Handwriting, Office, Licence, IdCard, BankCard };

// The kind named by a REST path's last part or by a demo `type` (the full address of a REST
// endpoint, or "business_license"). False for anything else.
bool KindFromName(const std::string& name, Kind& kind);

struct ServiceError {
  int code;
  const char* message;
};

namespace errors {
inline constexpr ServiceError kUnknownMethod{3, "Unsupported openapi method"};
inline constexpr ServiceError kQpsLimit{18, "Open api qps request limit reached"};
inline constexpr ServiceError kInvalidToken{110, "Access token invalid or no longer valid"};
inline constexpr ServiceError kMissingParameter{216101, "not enough param"};
inline constexpr ServiceError kBadParameter{216100, "invalid param"};
inline constexpr ServiceError kEmptyImage{216200, "empty image"};
inline constexpr ServiceError kBadImageFormat{216201, "image format error"};
inline constexpr ServiceError kBadImageSize{216202, "image size error"};
inline constexpr ServiceError kInternal{282000, "internal error"};
inline constexpr ServiceError kBadUrl{282111, "url format illegal"};
inline constexpr ServiceError kUrlNotAllowed{
    282111, "url format illegal: only addresses on this machine are fetched"};
inline constexpr ServiceError kUrlNoAnswer{282112, "url download timeout"};
inline constexpr ServiceError kUrlTooLarge{282114, "url size error"};
inline constexpr ServiceError kUnknownRequestId{282808, "request id not exist"};
inline constexpr ServiceError kDemoTooFrequent{107, "请求Demo过于频繁，请稍后再试"};
}  // namespace errors

Json ErrorReply(const ServiceError& error, Layout layout);

// The recognition reply of a kind from the engine's lines.
// `direction` is the cloud's: quarter turns counter-clockwise, or -1 when not asked for.
Json RecognitionReply(Kind kind, Layout layout, const std::vector<std::string>& lines,
                      int direction);

Json TokenReply(const std::string& token);
Json TokenError(const char* error, const char* description);

Json TableSubmitted(const std::string& requestId);
// ret_code 1 waiting, 2 running, 3 done; the address is empty until done.
Json TableStatus(const std::string& requestId, int retCode, int percent,
                 const std::string& downloadAddress);

}  // namespace tarnwick::service
