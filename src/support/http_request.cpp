#include "support/http_request.h"

#include <cstdlib>

#include "support/http_cookies.h"
#include "support/http_exchange.h"
#include "support/http_url.h"
#include "support/text_helpers.h"

namespace tarnwick {
namespace {

constexpr std::string_view kDefaultAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
constexpr std::string_view kVerbs[] = {"GET", "POST", "HEAD"};

std::vector<std::string> SplitHeaderBlock(std::string_view block) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= block.size()) {
    std::size_t end = block.find("\r\n", start);
    if (end == std::string_view::npos) end = block.size();
    if (end > start) lines.emplace_back(block.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// Bytes a request line may not hold raw are escaped, so that the path reaches the server as it
// was written whichever transport carries it.
std::string EscapeForUrl(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char ch : path) {
    const auto c = static_cast<unsigned char>(ch);
    if (c <= 0x20 || c >= 0x7F) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

}  // namespace

std::string RequestAgent(std::string_view extraHeaders) {
  if (FindIgnoringCase(extraHeaders, "User-Agent:") == std::string_view::npos) {
    return std::string(kDefaultAgent);
  }
  std::string agent = Trim(TextBetween(std::string(extraHeaders) + "\r\n", "User-Agent:", "\r\n"));
  if (agent.empty()) {
    const std::size_t colon = extraHeaders.find(':');
    agent = Trim(extraHeaders.substr(colon + 1));
  }
  return agent;
}

std::string ComposeRequestHeaders(std::string_view extraHeaders, std::string_view url,
                                  std::string_view cookies) {
  std::string block(extraHeaders);
  const auto lacks = [&block](std::string_view name) {
    return block.find(name) == std::string::npos;
  };
  if (block.empty()) {
    block = "Accept: */*";
  } else if (lacks("Accept:")) {
    block += "\r\nAccept: */*";
  }
  if (lacks("Referer:")) block.append("\r\nReferer: ").append(url);
  if (lacks("Accept-Language:")) block += "\r\nAccept-Language: zh-cn";
  if (lacks("Content-Type:")) block += "\r\nContent-Type: application/x-www-form-urlencoded";
  if (!cookies.empty()) {
    block += cookies.find("Cookie:") != std::string_view::npos ? "\r\n" : "\r\nCookie: ";
    block += cookies;
  }
  return block;
}

namespace http_exchange {

std::optional<Target> TargetOf(std::string_view url) {
  Target target;
  target.secure = IsSecureUrl(url);
  target.host = UrlHost(url, KeepPort::No);
  // A query written straight after the host is not sent.
  target.host = target.host.substr(0, target.host.find('?'));
  target.port = UrlPort(url);
  if (target.host.empty() || target.port <= 0 || target.port > 65535) return std::nullopt;
  target.path = EscapeForUrl(UrlPath(url));
  return target;
}

std::optional<Plan> PlanRequest(const HttpRequestArgs& args) {
  auto target = TargetOf(args.url);
  if (!target) return std::nullopt;
  Plan plan;
  plan.method = (args.method < kHttpGet || args.method > kHttpHead) ? kHttpGet : args.method;
  plan.verb = kVerbs[plan.method];
  plan.target = std::move(*target);
  plan.agent = RequestAgent(args.extraHeaders);
  plan.headerLines = SplitHeaderBlock(ComposeRequestHeaders(
      args.extraHeaders, args.url, args.cookies ? std::string_view(*args.cookies) : ""));
  plan.body = plan.method == kHttpGet   ? std::string_view()
              : !args.postBytes.empty() ? args.postBytes
                                        : args.postText;
  return plan;
}

int StatusOf(std::string_view headers) {
  const std::size_t space = headers.find(' ');
  return space == std::string_view::npos ? 0 : std::atoi(headers.data() + space + 1);
}

std::string FinishExchange(const HttpRequestArgs& args, std::string_view rawHeaders,
                           std::string body) {
  const bool headersComplete = rawHeaders.ends_with("\r\n\r\n") || rawHeaders.ends_with("\n\n");
  std::string headers = (headersComplete && rawHeaders.size() < kHeaderRoom)
                            ? NormalizeSetCookieNames(rawHeaders)
                            : std::string(kHeaderRoom, ' ');
  std::string cookies = CollectCookies(headers);
  if (args.cookies) {
    cookies = MergeCookies(*args.cookies, cookies);
    *args.cookies = cookies;
  }
  if (args.returnedCookies) *args.returnedCookies = std::move(cookies);
  if (args.returnedHeaders) *args.returnedHeaders = std::move(headers);
  return body;
}

}  // namespace http_exchange
}  // namespace tarnwick
