// The request routine's transport on WinHTTP. Redirects and the cookies that travel along them
// are followed here rather than by WinHTTP, so that the hop limit, the verbs of later hops and
// the cookie rules are the same as on every other system; WinHTTP's own cookie jar stays off.

// windows.h first: the other two build on its types.
#include <windows.h>

#include <wincrypt.h>
#include <winhttp.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

#include "support/http_cookies.h"
#include "support/http_exchange.h"
#include "support/http_request.h"
#include "support/http_url.h"
#include "support/paths.h"
#include "support/text_helpers.h"
#include "support/wide_text.h"

namespace tarnwick {
namespace {

using http_exchange::BodyFits;
using http_exchange::Plan;
using http_exchange::StatusOf;
using http_exchange::Target;
using Clock = std::chrono::steady_clock;

struct InternetCloser {
  void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using Internet = std::unique_ptr<void, InternetCloser>;

struct StoreCloser {
  void operator()(HCERTSTORE store) const { CertCloseStore(store, 0); }
};
using CertificateStore = std::unique_ptr<void, StoreCloser>;

struct ChainFreer {
  void operator()(PCCERT_CHAIN_CONTEXT chain) const { CertFreeCertificateChain(chain); }
};
struct CertificateFreer {
  void operator()(PCCERT_CONTEXT certificate) const { CertFreeCertificateContext(certificate); }
};

// The certificates of a PEM file, in a store of their own; null when the file holds none.
CertificateStore ExtraCertificates(const std::string& caFile) {
  std::ifstream file(Utf8Path(caFile), std::ios::binary);
  const std::string pem{std::istreambuf_iterator<char>(file), {}};
  CertificateStore store(CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, 0, nullptr));
  if (!store) return nullptr;
  constexpr std::string_view kEnd = "-----END CERTIFICATE-----";
  bool any = false;
  for (std::size_t begin = pem.find("-----BEGIN CERTIFICATE-----"); begin != std::string::npos;
       begin = pem.find("-----BEGIN CERTIFICATE-----", begin + 1)) {
    const std::size_t end = pem.find(kEnd, begin);
    if (end == std::string::npos) break;
    const DWORD blockSize = static_cast<DWORD>(end + kEnd.size() - begin);
    DWORD derSize = 0;
    if (!CryptStringToBinaryA(pem.data() + begin, blockSize, CRYPT_STRING_BASE64HEADER, nullptr,
                              &derSize, nullptr, nullptr)) {
      continue;
    }
    std::string der(derSize, '\0');
    if (CryptStringToBinaryA(pem.data() + begin, blockSize, CRYPT_STRING_BASE64HEADER,
                             reinterpret_cast<BYTE*>(der.data()), &derSize, nullptr, nullptr) &&
        CertAddEncodedCertificateToStore(store.get(), X509_ASN_ENCODING | PKCS_7_ASN_ENCODING,
                                         reinterpret_cast<const BYTE*>(der.data()), derSize,
                                         CERT_STORE_ADD_ALWAYS, nullptr)) {
      any = true;
    }
  }
  return any ? std::move(store) : nullptr;
}

// WinHTTP was told to accept an unknown root for this exchange, so the server's chain is judged
// here: it must end in the system's roots or in one of the extra certificates, be sound in
// every other respect, and name the host.
bool ServerIsTrusted(HINTERNET request, const std::string& caFile, const std::string& host) {
  PCCERT_CONTEXT raw = nullptr;
  DWORD size = sizeof raw;
  if (!WinHttpQueryOption(request, WINHTTP_OPTION_SERVER_CERT_CONTEXT, &raw, &size) || !raw) {
    return false;
  }
  const std::unique_ptr<const CERT_CONTEXT, CertificateFreer> server(raw);
  const CertificateStore extra = ExtraCertificates(caFile);

  CERT_CHAIN_PARA chainPara{};
  chainPara.cbSize = sizeof chainPara;
  char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
  char* usages[] = {serverAuth};
  chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
  chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
  PCCERT_CHAIN_CONTEXT rawChain = nullptr;
  if (!CertGetCertificateChain(nullptr, server.get(), nullptr, extra.get(), &chainPara, 0, nullptr,
                               &rawChain)) {
    return false;
  }
  const std::unique_ptr<const CERT_CHAIN_CONTEXT, ChainFreer> chain(rawChain);

  DWORD errors = chain->TrustStatus.dwErrorStatus;
  errors &= ~(CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION);
  bool rootFromFile = false;
  if ((errors & CERT_TRUST_IS_UNTRUSTED_ROOT) && extra && chain->cChain > 0) {
    const CERT_SIMPLE_CHAIN* simple = chain->rgpChain[0];
    const CERT_CONTEXT* root = simple->rgpElement[simple->cElement - 1]->pCertContext;
    PCCERT_CONTEXT found = CertFindCertificateInStore(
        extra.get(), X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0, CERT_FIND_EXISTING, root, nullptr);
    if (found) {
      CertFreeCertificateContext(found);
      rootFromFile = true;
      errors &= ~CERT_TRUST_IS_UNTRUSTED_ROOT;
    }
  }
  if (errors != 0) return false;

  std::wstring serverName = Widen(host);
  HTTPSPolicyCallbackData ssl{};
  ssl.cbStruct = sizeof ssl;
  ssl.dwAuthType = AUTHTYPE_SERVER;
  ssl.fdwChecks = rootFromFile ? SECURITY_FLAG_IGNORE_UNKNOWN_CA : 0;
  ssl.pwszServerName = serverName.data();
  CERT_CHAIN_POLICY_PARA policy{};
  policy.cbSize = sizeof policy;
  policy.dwFlags = rootFromFile ? CERT_CHAIN_POLICY_ALLOW_UNKNOWN_CA_FLAG : 0;
  policy.pvExtraPolicyPara = &ssl;
  CERT_CHAIN_POLICY_STATUS status{};
  status.cbSize = sizeof status;
  return CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.get(), &policy, &status) &&
         status.dwError == 0;
}

// Where a Location header leads from `url`: an absolute http(s) address, one relative to the
// scheme, the host or the current folder. Empty for any other scheme.
std::string ResolveLocation(const std::string& url, std::string location) {
  location = Trim(location);
  const std::string lower = AsciiLower(location);
  if (lower.starts_with("http://") || lower.starts_with("https://")) return location;
  const std::size_t schemeEnd = location.find_first_not_of(
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-.");
  if (schemeEnd > 0 && schemeEnd != std::string::npos && location[schemeEnd] == ':') {
    return {};  // a scheme other than http(s)
  }
  const bool secure = IsSecureUrl(url);
  const std::string scheme = secure ? "https:" : "http:";
  if (location.starts_with("//")) return scheme + location;
  const auto target = http_exchange::TargetOf(url);
  if (!target) return {};
  const int defaultPort = secure ? 443 : 80;
  std::string origin = scheme + "//" + target->host +
                       (target->port == defaultPort ? "" : ":" + std::to_string(target->port));
  if (location.starts_with('/')) return origin + location;
  std::string folder = target->path.substr(0, target->path.find('?'));
  folder = folder.substr(0, folder.rfind('/') + 1);
  return origin + folder + location;
}

std::string RawHeaders(HINTERNET request) {
  DWORD bytes = 0;
  WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                      nullptr, &bytes, WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return {};
  std::wstring wide(bytes / sizeof(wchar_t), L'\0');
  if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                           wide.data(), &bytes, WINHTTP_NO_HEADER_INDEX)) {
    return {};
  }
  wide.resize(bytes / sizeof(wchar_t));
  return Narrow(wide);
}

// The announced body length, or -1 when the reply announces none.
long long ContentLength(HINTERNET request) {
  wchar_t text[32] = {};
  DWORD bytes = sizeof text;
  if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX,
                           text, &bytes, WINHTTP_NO_HEADER_INDEX)) {
    return -1;
  }
  wchar_t* end = nullptr;
  const long long length = std::wcstoll(text, &end, 10);
  return (end == text || length < 0) ? -1 : length;
}

// A server vouched for only by the caller's extra certificates is checked once the handshake
// is done and before a byte of the request goes out: WinHTTP reports that moment to a status
// callback, and closing the request there cancels the send on Windows. (Wine sends anyway; the
// reply is then refused by the check after sending.)
struct ServerCheck {
  const std::string& caFile;
  const std::string& host;
  bool checked = false;
  bool refused = false;
};

void CALLBACK CheckServerBeforeSending(HINTERNET request, DWORD_PTR context, DWORD status, LPVOID,
                                       DWORD) {
  if (status != WINHTTP_CALLBACK_STATUS_SENDING_REQUEST || context == 0) return;
  auto* check = reinterpret_cast<ServerCheck*>(context);
  if (check->checked) return;
  check->checked = true;
  if (ServerIsTrusted(request, check->caFile, check->host)) return;
  check->refused = true;
  WinHttpCloseHandle(request);
}

// One request and its reply on one hop of the exchange. The deadline covers the whole exchange;
// no single wait may run past it, nor past the stall time-out.
class Hop {
 public:
  Hop(HINTERNET session, const HttpTransport& transport, Clock::time_point deadline)
      : session_(session), transport_(transport), deadline_(deadline) {}

  bool Send(const Target& to, std::string_view verb, const std::vector<std::string>& headerLines,
            std::string_view body) {
    connection_.reset(
        WinHttpConnect(session_, Widen(to.host).c_str(), static_cast<INTERNET_PORT>(to.port), 0));
    if (!connection_) return false;
    request_.reset(
        WinHttpOpenRequest(connection_.get(), Widen(verb).c_str(), Widen(to.path).c_str(), nullptr,
                           WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                           (to.secure ? WINHTTP_FLAG_SECURE : 0) | WINHTTP_FLAG_ESCAPE_DISABLE |
                               WINHTTP_FLAG_ESCAPE_DISABLE_QUERY));
    if (!request_) return false;
    // Nothing outlives the call, so a kept-alive connection would only add a header line.
    DWORD features =
        WINHTTP_DISABLE_REDIRECTS | WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_KEEP_ALIVE;
    WinHttpSetOption(request_.get(), WINHTTP_OPTION_DISABLE_FEATURE, &features, sizeof features);
    if (to.secure && !transport_.caFile.empty()) {
      DWORD flags = SECURITY_FLAG_IGNORE_UNKNOWN_CA;
      WinHttpSetOption(request_.get(), WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof flags);
    }
    for (const std::string& line : headerLines) {
      if (!WinHttpAddRequestHeaders(request_.get(), Widen(line).c_str(), static_cast<DWORD>(-1),
                                    WINHTTP_ADDREQ_FLAG_ADD)) {
        return false;
      }
    }
    if (!LimitWaits() || body.size() > MAXDWORD) return false;
    const bool checkServer = to.secure && !transport_.caFile.empty();
    ServerCheck check{transport_.caFile, to.host};
    if (checkServer && WinHttpSetStatusCallback(request_.get(), CheckServerBeforeSending,
                                                WINHTTP_CALLBACK_FLAG_SEND_REQUEST,
                                                0) == WINHTTP_INVALID_STATUS_CALLBACK) {
      return false;
    }
    const auto size = static_cast<DWORD>(body.size());
    const bool sent = WinHttpSendRequest(request_.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                                         const_cast<char*>(body.data()), size, size,
                                         checkServer ? reinterpret_cast<DWORD_PTR>(&check) : 0);
    if (check.refused) {
      request_.release();  // closed by the check
      return false;
    }
    if (!sent) return false;
    // Had the callback not run, nothing would have vouched for the server yet.
    if (checkServer && !check.checked &&
        !ServerIsTrusted(request_.get(), transport_.caFile, to.host)) {
      return false;
    }
    if (!LimitWaits() || !WinHttpReceiveResponse(request_.get(), nullptr)) return false;
    headers_ = RawHeaders(request_.get());
    // WinHTTP takes a reply without a status line for one from before HTTP/1.0.
    return headers_.starts_with("HTTP/1.");
  }

  const std::string& headers() const { return headers_; }

  // The whole body, or nothing when it breaks off, stalls, runs out of time or outgrows `limit`.
  // A reply to HEAD, and a 204 or 304, announce a length they never send.
  std::optional<std::string> ReadBody(std::size_t limit, bool bodiless) {
    const long long announced = bodiless ? -1 : ContentLength(request_.get());
    if (announced > 0 && static_cast<unsigned long long>(announced) > limit) return std::nullopt;
    std::string body;
    char buffer[16384];
    while (true) {
      // Only what has arrived is read, so that a reply trickling in cannot hold a read past
      // the deadline.
      DWORD available = 0;
      if (!LimitWaits() || !WinHttpQueryDataAvailable(request_.get(), &available)) {
        return std::nullopt;
      }
      if (available == 0) break;
      DWORD read = 0;
      const DWORD wanted = std::min<DWORD>(available, sizeof buffer);
      if (!WinHttpReadData(request_.get(), buffer, wanted, &read)) return std::nullopt;
      if (read == 0) break;
      if (!BodyFits(body.size(), read, limit)) return std::nullopt;
      body.append(buffer, read);
    }
    if (announced >= 0 && body.size() != static_cast<unsigned long long>(announced)) {
      return std::nullopt;  // closed before the announced length arrived
    }
    return body;
  }

 private:
  // Every blocking call waits at most the stall time-out, and never past the deadline.
  bool LimitWaits() {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
    if (left <= 0) return false;
    // WinHTTP reads a zero wait as no limit at all.
    const long long stall = std::max(1L, transport_.stallTimeoutSeconds) * 1000LL;
    DWORD wait = static_cast<DWORD>(std::min<long long>(left, stall));
    WinHttpSetOption(request_.get(), WINHTTP_OPTION_SEND_TIMEOUT, &wait, sizeof wait);
    WinHttpSetOption(request_.get(), WINHTTP_OPTION_RECEIVE_TIMEOUT, &wait, sizeof wait);
    WinHttpSetOption(request_.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &wait, sizeof wait);
    return true;
  }

  HINTERNET session_;
  const HttpTransport& transport_;
  Clock::time_point deadline_;
  Internet connection_;
  Internet request_;
  std::string headers_;
};

bool IsRedirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The value of the first header line named `name` (with its colon) in a raw block.
std::string HeaderValue(const std::string& headers, std::string_view name) {
  const std::size_t at = FindIgnoringCase(headers, "\r\n" + std::string(name));
  if (at == std::string::npos) return {};
  const std::size_t start = at + 2 + name.size();
  return Trim(std::string_view(headers).substr(start, headers.find("\r\n", start) - start));
}

}  // namespace

std::string HttpRequest(const HttpRequestArgs& args, const HttpTransport& transport) {
  auto plan = http_exchange::PlanRequest(args);
  if (!plan) return {};
  const Clock::time_point deadline =
      Clock::now() + std::chrono::seconds(std::max(1L, transport.totalTimeoutSeconds));
  const std::wstring proxy = Widen(args.proxy);
  // The agent travels as one of the request's own header lines, where the caller placed it.
  const Internet session(WinHttpOpen(
      nullptr, proxy.empty() ? WINHTTP_ACCESS_TYPE_NO_PROXY : WINHTTP_ACCESS_TYPE_NAMED_PROXY,
      proxy.empty() ? WINHTTP_NO_PROXY_NAME : proxy.c_str(), WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return http_exchange::FinishExchange(args, {}, {});
  const int connectMs = static_cast<int>(std::max(1L, transport.connectTimeoutSeconds) * 1000);
  const int stallMs = static_cast<int>(std::max(1L, transport.stallTimeoutSeconds) * 1000);
  WinHttpSetTimeouts(session.get(), connectMs, connectMs, stallMs, stallMs);

  std::vector<std::string> headerLines = plan->headerLines;
  const bool namesAgent = std::any_of(headerLines.begin(), headerLines.end(), [](const auto& l) {
    return AsciiLower(l.substr(0, 11)) == "user-agent:";
  });
  if (!namesAgent) headerLines.insert(headerLines.begin(), "User-Agent: " + plan->agent);

  std::string url(args.url);
  Target to = plan->target;
  std::string_view verb = plan->verb;
  std::string_view body = plan->body;
  // Without a caller's cookie store, cookies set along a redirect chain travel with it.
  std::string chainCookies;
  for (int hop = 0;; ++hop) {
    std::vector<std::string> lines = headerLines;
    if (!chainCookies.empty()) lines.push_back("Cookie: " + chainCookies);
    Hop exchange(session.get(), transport, deadline);
    if (!exchange.Send(to, verb, lines, body)) {
      return http_exchange::FinishExchange(args, exchange.headers(), {});
    }
    const std::string& headers = exchange.headers();
    const int status = StatusOf(headers);
    const std::string location = HeaderValue(headers, "Location:");
    if (args.noRedirect || !IsRedirect(status) || location.empty()) {
      const bool bodiless = verb == "HEAD" || status == 204 || status == 304;
      std::optional<std::string> reply = exchange.ReadBody(args.maxReplyBytes, bodiless);
      return http_exchange::FinishExchange(args, headers, reply ? std::move(*reply) : "");
    }
    url = ResolveLocation(url, location);
    const auto next = http_exchange::TargetOf(url);
    if (hop >= http_exchange::kMaxRedirects || !next) {
      return http_exchange::FinishExchange(args, headers, {});
    }
    if (!args.cookies) {
      chainCookies = MergeCookies(chainCookies, CollectCookies(NormalizeSetCookieNames(headers)));
    }
    // As browsers do: a 303, and a 301 or 302 after a POST, go on as a GET without the body.
    if (status == 303 || ((status == 301 || status == 302) && verb == "POST")) {
      if (verb != "HEAD") verb = "GET";
      body = {};
    }
    to = *next;
  }
}

}  // namespace tarnwick
