// The request routine's transport on libcurl, with OpenSSL underneath for the trust store.

#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

#include <map>
#include <memory>
#include <mutex>

#include "support/http_exchange.h"
#include "support/http_request.h"
#include "support/text_helpers.h"

namespace tarnwick {
namespace {

using http_exchange::BodyFits;
using http_exchange::StatusOf;

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

bool IsFollowedRedirect(const Reply& reply) {
  const int status = StatusOf(reply.headers);
  return reply.followsRedirects && status >= 300 && status < 400 &&
         FindIgnoringCase(reply.headers, "\nLocation:") != std::string::npos;
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto* reply = static_cast<Reply*>(user);
  if (!BodyFits(reply->body.size(), size * count, reply->maxBodyBytes)) return 0;  // stops it
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

// One request header per line. libcurl drops a header given as "Name:" with no value; "Name;"
// is its way of sending such a header empty.
curl_slist* HeaderList(const std::vector<std::string>& lines) {
  curl_slist* list = nullptr;
  for (std::string line : lines) {
    if (line.back() == ':') line.back() = ';';
    list = curl_slist_append(list, line.c_str());
  }
  // The request is sent in one go, as it always was, without waiting for "100 Continue".
  return curl_slist_append(list, "Expect:");
}

}  // namespace

std::string HttpRequest(const HttpRequestArgs& args, const HttpTransport& transport) {
  InitCurlOnce();
  const auto plan = http_exchange::PlanRequest(args);
  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  if (!curl || !plan) return {};

  const http_exchange::Target& to = plan->target;
  const int defaultPort = to.secure ? 443 : 80;
  const std::string target = std::string(to.secure ? "https://" : "http://") + to.host +
                             (to.port == defaultPort ? "" : ":" + std::to_string(to.port)) +
                             to.path;
  std::unique_ptr<curl_slist, SlistDeleter> headers(HeaderList(plan->headerLines));
  const std::string proxy =
      args.proxy.empty() ? std::string() : "http://" + std::string(args.proxy);
  Reply reply;
  reply.maxBodyBytes = args.maxReplyBytes;

  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_URL, target.c_str());
  curl_easy_setopt(c, CURLOPT_USERAGENT, plan->agent.c_str());
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, args.noRedirect ? 0L : 1L);
  curl_easy_setopt(c, CURLOPT_MAXREDIRS, static_cast<long>(http_exchange::kMaxRedirects));
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

  if (plan->method == kHttpGet) {
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
  } else {
    if (plan->method == kHttpHead) {
      // A HEAD that carries a body, which libcurl's own HEAD would not send.
      curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, "HEAD");
      reply.endsWithHeaders = true;
      reply.followsRedirects = !args.noRedirect;
    }
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(plan->body.size()));
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, plan->body.data());
  }

  const CURLcode result = curl_easy_perform(c);
  // A transfer broken off midway is a failure, not a shorter reply.
  if (result != CURLE_OK && !reply.complete) reply.body.clear();
  return http_exchange::FinishExchange(args, reply.headers, std::move(reply.body));
}

}  // namespace tarnwick
