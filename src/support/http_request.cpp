#include "support/http_request.h"

#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>

#include "support/http_cookies.h"
#include "support/http_url.h"
#include "support/text_helpers.h"

namespace tarnwick {
namespace {

constexpr std::string_view kDefaultAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
// The reply header block is captured into room for this many characters, terminator included;
// a larger block is not captured and reads as this many spaces.
constexpr std::size_t kHeaderRoom = 5000;
constexpr long kMaxRedirects = 20;

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct SlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

struct Reply {
  std::size_t maxBodyBytes = kDefaultMaxReplyBytes;
  std::string body;
  std::string headers;
  // A HEAD reply announces a body it never sends; the exchange ends with its header block.
  bool endsWithHeaders = false;
  bool followsRedirects = false;
  bool complete = false;
};

int StatusOf(std::string_view headers) {
  const std::size_t space = headers.find(' ');
  return space == std::string_view::npos ? 0 : std::atoi(headers.data() + space + 1);
}

bool IsFollowedRedirect(const Reply& reply) {
  const int status = StatusOf(reply.headers);
  return reply.followsRedirects && status >= 300 && status < 400 &&
         FindIgnoringCase(reply.headers, "\nLocation:") != std::string::npos;
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto* reply = static_cast<Reply*>(user);
  if (size * count > reply->maxBodyBytes - reply->body.size()) return 0;  // stops the transfer
  reply->body.append(data, size * count);
  return size * count;
}

// Each response of a redirect chain (and an interim 1xx) starts with its status line; only the
// last response's block is kept, as the reply's own header block.
size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  auto* reply = static_cast<Reply*>(user);
  const std::string_view line(data, size * count);
  if (line.starts_with("HTTP/")) reply->headers.clear();
  reply->headers.append(line);
  const bool blockEnds = line == "\r\n" || line == "\n";
  if (blockEnds && reply->endsWithHeaders && StatusOf(reply->headers) >= 200 &&
      !IsFollowedRedirect(*reply)) {
    reply->complete = true;
    return 0;  // stops the transfer here
  }
  return size * count;
}

// Reading the system's certificate bundle anew for every exchange would cost more than the
// exchange itself, so each process builds its trust store once per extra certificate file and
// hands it to every TLS context: the system's certificates, looked up in its certificate
// folder as needed, and the extra file's, if any.
X509_STORE* TrustStore(const std::string& caFile) {
  static std::mutex mutex;
  // Never destroyed: contexts may still hold the stores while the process exits.
  static auto* stores = new std::map<std::string, X509_STORE*>;
  std::lock_guard lock(mutex);
  X509_STORE*& store = (*stores)[caFile];
  if (!store) {
    store = X509_STORE_new();
    X509_STORE_set_default_paths(store);
    if (!caFile.empty()) X509_STORE_load_file(store, caFile.c_str());
  }
  return store;
}

CURLcode UseTrustStore(CURL*, void* sslContext, void* caFile) {
  SSL_CTX_set1_cert_store(static_cast<SSL_CTX*>(sslContext),
                          TrustStore(*static_cast<const std::string*>(caFile)));
  return CURLE_OK;
}

// libcurl takes the request target from its URL; bytes a URL may not hold raw are escaped so
// that the path reaches the server as it was written.
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

// One request header per line. libcurl drops a header given as "Name:" with no value; "Name;"
// is its way of sending such a header empty.
curl_slist* HeaderList(std::string_view block) {
  curl_slist* list = nullptr;
  std::size_t start = 0;
  while (start <= block.size()) {
    std::size_t end = block.find("\r\n", start);
    if (end == std::string_view::npos) end = block.size();
    std::string line(block.substr(start, end - start));
    if (!line.empty()) {
      if (line.back() == ':') line.back() = ';';
      list = curl_slist_append(list, line.c_str());
    }
    start = end + 2;
  }
  // The request is sent in one go, as it always was, without waiting for "100 Continue".
  return curl_slist_append(list, "Expect:");
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

std::string HttpRequest(const HttpRequestArgs& args, const HttpTransport& transport) {
  InitCurlOnce();
  const int method = (args.method < kHttpGet || args.method > kHttpHead) ? kHttpGet : args.method;
  const bool secure = IsSecureUrl(args.url);

  std::string host = UrlHost(args.url, KeepPort::No);
  host = host.substr(0, host.find('?'));  // a query straight after the host is not sent
  const int port = UrlPort(args.url);
  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  if (!curl || host.empty() || port <= 0 || port > 65535) return {};

  const int defaultPort = secure ? 443 : 80;
  const std::string target = std::string(secure ? "https://" : "http://") + host +
                             (port == defaultPort ? "" : ":" + std::to_string(port)) +
                             EscapeForUrl(UrlPath(args.url));
  const std::string agent = RequestAgent(args.extraHeaders);
  const std::string headerBlock = ComposeRequestHeaders(
      args.extraHeaders, args.url, args.cookies ? std::string_view(*args.cookies) : "");
  std::unique_ptr<curl_slist, SlistDeleter> headers(HeaderList(headerBlock));
  const std::string_view body = method == kHttpGet        ? std::string_view()
                                : !args.postBytes.empty() ? args.postBytes
                                                          : args.postText;
  const std::string proxy =
      args.proxy.empty() ? std::string() : "http://" + std::string(args.proxy);
  Reply reply;
  reply.maxBodyBytes = args.maxReplyBytes;

  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_URL, target.c_str());
  curl_easy_setopt(c, CURLOPT_USERAGENT, agent.c_str());
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, args.noRedirect ? 0L : 1L);
  curl_easy_setopt(c, CURLOPT_MAXREDIRS, kMaxRedirects);
  // An empty proxy also keeps proxy settings of the environment out of the exchange.
  curl_easy_setopt(c, CURLOPT_PROXY, proxy.c_str());
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, transport.connectTimeoutSeconds);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, transport.stallTimeoutSeconds);
  curl_easy_setopt(c, CURLOPT_TIMEOUT, transport.totalTimeoutSeconds);
  // A reply that announces its size is refused before its body arrives.
  curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(args.maxReplyBytes));
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(c, CURLOPT_CAINFO, nullptr);
  curl_easy_setopt(c, CURLOPT_CAPATH, nullptr);
  curl_easy_setopt(c, CURLOPT_SSL_CTX_FUNCTION, UseTrustStore);
  curl_easy_setopt(c, CURLOPT_SSL_CTX_DATA, &transport.caFile);
  // Without a caller's cookie store, cookies set along a redirect chain still travel with it;
  // nothing is kept after the call.
  if (!args.cookies) curl_easy_setopt(c, CURLOPT_COOKIEFILE, "");
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &reply);
  curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(c, CURLOPT_HEADERDATA, &reply);

  if (method == kHttpGet) {
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
  } else {
    if (method == kHttpHead) {
      // A HEAD that carries a body, which libcurl's own HEAD would not send.
      curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, "HEAD");
      reply.endsWithHeaders = true;
      reply.followsRedirects = !args.noRedirect;
    }
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, body.data());
  }

  const CURLcode result = curl_easy_perform(c);
  // A transfer broken off midway is a failure, not a shorter reply.
  if (result != CURLE_OK && !reply.complete) reply.body.clear();

  const bool headersComplete =
      reply.headers.ends_with("\r\n\r\n") || reply.headers.ends_with("\n\n");
  std::string rawHeaders = (headersComplete && reply.headers.size() < kHeaderRoom)
                               ? NormalizeSetCookieNames(reply.headers)
                               : std::string(kHeaderRoom, ' ');
  std::string cookies = CollectCookies(rawHeaders);
  if (args.cookies) {
    cookies = MergeCookies(*args.cookies, cookies);
    *args.cookies = cookies;
  }
  if (args.returnedCookies) *args.returnedCookies = std::move(cookies);
  if (args.returnedHeaders) *args.returnedHeaders = std::move(rawHeaders);
  return std::move(reply.body);
}

}  // namespace tarnwick
