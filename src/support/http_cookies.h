#pragma once
// Cookie texts as the request routine keeps them: "name=value" pairs joined by "; ".

#include <string>
#include <string_view>

namespace tarnwick {

// Makes every spelling of Set-Cookie in a raw reply header block read "Set-Cookie".
std::string NormalizeSetCookieNames(std::string_view rawHeaders);

// The cookies that a raw reply header block sets, as "a=1; b=2".
std::string CollectCookies(std::string_view rawHeaders);

// The cookies just received (in their order) followed by the old ones the reply did not mention;
// a cookie whose new value is "deleted" disappears together with its old value.
std::string MergeCookies(std::string_view oldCookies, std::string_view newCookies);

}  // namespace tarnwick
