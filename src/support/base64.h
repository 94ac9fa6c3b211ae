#pragma once
// Base64 for pictures on their way to the service: the plain text, and the same text already
// percent-encoded for a form body.

#include <string>
#include <string_view>

namespace tarnwick {

// Standard base64 with "=" padding.
std::string Base64Encode(std::string_view bytes);

// Base64Encode(bytes); its UrlEncode is appended to `formBody` on the way, which for a picture
// of several megabytes costs far less than encoding the base64 text afterwards.
std::string Base64EncodeForForm(std::string_view bytes, std::string& formBody);

}  // namespace tarnwick
