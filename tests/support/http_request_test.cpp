#include "support/http_request.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/http_url.h"
#include "support/local_server.h"
#include "support/raw_http_recorder.h"

namespace tarnwick {
namespace {

using testing::LocalServer;
using testing::RawHttpRecorder;
using testing::RawRequest;
using testing::Scheme;

// The header lines that the exchange composes, without the ones the transport adds itself.
std::vector<std::string> ComposedLines(const RawRequest& request) {
  std::vector<std::string> lines;
  for (const std::string& line : request.headerLines) {
    if (line.starts_with("Host:") || line.starts_with("User-Agent:") ||
        line.starts_with("Content-Length:")) {
      continue;
    }
    lines.push_back(line);
  }
  return lines;
}

std::string HeaderValue(const RawRequest& request, std::string_view name) {
  for (const std::string& line : request.headerLines) {
    if (line.starts_with(name)) return line.substr(name.size());
  }
  return "<absent>";
}

TEST(UrlParts, DeriveHostPortAndPathByTheProgramsRules) {
  struct Case {
    const char* url;
    const char* host;
    const char* hostWithPort;
    int port;
    const char* path;
  } cases[] = {
      {"HTTPS://AIP.Example.COM/Rest/X?a=B", "aip.example.com", "aip.example.com", 443,
       "/Rest/X?a=B"},
      {"http://h.example:8443/a?b=1", "h.example", "h.example:8443", 8443, "/a?b=1"},
      {"http://h.example", "h.example", "h.example", 80, "/"},
      {"http://h.example?x=1", "h.example?x=1", "h.example?x=1", 80, "/"},
      {"h.example/p", "h.example", "h.example", 80, "/p"},
      {"https://h.example:9/", "h.example", "h.example:9", 9, "/"},
      // Hosts short enough to be found inside the scheme.
      {"http://t/x", "t", "t", 80, "/x"},
      {"https://s/", "s", "s", 443, "/"},
      {"http://h:11633/", "h", "h:11633", 11633, "/"},
      {"HTTP://P/Q", "p", "p", 80, "/Q"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UrlHost(c.url, KeepPort::No), c.host) << c.url;
    EXPECT_EQ(UrlHost(c.url, KeepPort::Yes), c.hostWithPort) << c.url;
    EXPECT_EQ(UrlPort(c.url), c.port) << c.url;
    EXPECT_EQ(UrlPath(c.url), c.path) << c.url;
  }
  EXPECT_TRUE(IsSecureUrl("HTTPS://x"));
  EXPECT_FALSE(IsSecureUrl("http://x"));
}

TEST(HttpRequest, SendsTheDefaultHeaderBlockInOrder) {
  RawHttpRecorder recorder;
  const std::string url = "http://127.0.0.1:" + std::to_string(recorder.port()) + "/a?b=1";
  EXPECT_EQ(HttpRequest({.url = url}), "ok");
  const RawRequest request = recorder.requests().at(0);
  EXPECT_EQ(request.requestLine, "GET /a?b=1 HTTP/1.1");
  EXPECT_EQ(ComposedLines(request),
            (std::vector<std::string>{"Accept: */*", "Referer: " + url, "Accept-Language: zh-cn",
                                      "Content-Type: application/x-www-form-urlencoded"}));
  EXPECT_EQ(HeaderValue(request, "User-Agent: "),
            "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
  EXPECT_EQ(HeaderValue(request, "Host: "), "127.0.0.1:" + std::to_string(recorder.port()));
  EXPECT_EQ(request.body, "");
}

TEST(HttpRequest, ChoosesTheVerbAndBodyFromMethodAndBodies) {
  struct Case {
    int method;
    const char* postText;
    const char* postBytes;
    const char* requestLineStart;
    const char* body;
  } cases[] = {
      {0, "ignored", "", "GET ", ""},
      {1, "a=1&b=%2B", "", "POST ", "a=1&b=%2B"},
      {1, "text", "bytes", "POST ", "bytes"},
      {2, "head body", "", "HEAD ", "head body"},
      {3, "x", "", "GET ", ""},
      {-1, "x", "", "GET ", ""},
  };
  for (const Case& c : cases) {
    RawHttpRecorder recorder;
    const std::string url = "http://127.0.0.1:" + std::to_string(recorder.port()) + "/v";
    HttpRequest({.url = url, .method = c.method, .postText = c.postText, .postBytes = c.postBytes});
    const RawRequest request = recorder.requests().at(0);
    EXPECT_TRUE(request.requestLine.starts_with(c.requestLineStart))
        << c.method << ": " << request.requestLine;
    EXPECT_EQ(request.body, c.body) << c.method;
  }
}

TEST(HttpRequest, DerivesHostAndPathFromTheAddress) {
  RawHttpRecorder recorder;
  const std::string port = std::to_string(recorder.port());
  HttpRequest({.url = "HTTP://LOCALHOST:" + port + "/Path/To?Q=V"});
  HttpRequest({.url = "http://127.0.0.1:" + port + "?dropped=1"});
  HttpRequest({.url = "http://127.0.0.1:" + port});
  const auto requests = recorder.requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].requestLine, "GET /Path/To?Q=V HTTP/1.1");
  EXPECT_EQ(HeaderValue(requests[0], "Host: "), "localhost:" + port);
  EXPECT_EQ(requests[1].requestLine, "GET / HTTP/1.1");
  EXPECT_EQ(requests[2].requestLine, "GET / HTTP/1.1");
}

TEST(HttpRequest, AddsOnlyTheDefaultHeadersTheCallerLeftOut) {
  struct Case {
    const char* extraHeaders;
    std::vector<std::string> expectedStart;
    const char* agent;
  } cases[] = {
      {"Accept: text/html", {"Accept: text/html", "Referer: "}, nullptr},
      {"accept: x", {"accept: x", "Accept: */*", "Referer: "}, nullptr},
      {"user-agent: X", {"user-agent: X", "Accept: */*"}, "X"},
      {"User-Agent: Mine\r\nReferer: r", {"User-Agent: Mine", "Referer: r", "Accept: */*"}, "Mine"},
  };
  for (const Case& c : cases) {
    if (c.agent) {
      EXPECT_EQ(RequestAgent(c.extraHeaders), c.agent);
    }
    RawHttpRecorder recorder;
    const std::string url = "http://127.0.0.1:" + std::to_string(recorder.port()) + "/";
    HttpRequest({.url = url, .extraHeaders = c.extraHeaders});
    const RawRequest request = recorder.requests().at(0);
    std::vector<std::string> lines = request.headerLines;
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const std::string& l) {
                                 return l.starts_with("Host:") || l.starts_with("User-Agent: Moz");
                               }),
                lines.end());
    ASSERT_GE(lines.size(), c.expectedStart.size());
    for (std::size_t i = 0; i < c.expectedStart.size(); ++i) {
      EXPECT_TRUE(lines[i].starts_with(c.expectedStart[i]))
          << c.extraHeaders << " line " << i << ": " << lines[i];
    }
  }
  EXPECT_EQ(ComposeRequestHeaders("", "http://u/", "Cookie: a=1"),
            "Accept: */*\r\nReferer: http://u/\r\nAccept-Language: zh-cn\r\n"
            "Content-Type: application/x-www-form-urlencoded\r\nCookie: a=1");
}

TEST(HttpRequest, SendsSuppliedCookiesAndCapturesWhatTheReplySets) {
  RawHttpRecorder recorder(
      "HTTP/1.1 200 OK\r\nSET-COOKIE: b=3; path=/\r\nset-cookie: a=deleted\r\n"
      "Content-Length: 4\r\nConnection: close\r\n\r\nbody");
  const std::string url = "http://127.0.0.1:" + std::to_string(recorder.port()) + "/";
  std::string cookies = "a=1; b=2";
  std::string returnedCookies = "stale";
  std::string returnedHeaders;
  EXPECT_EQ(HttpRequest({.url = url,
                         .cookies = &cookies,
                         .returnedCookies = &returnedCookies,
                         .returnedHeaders = &returnedHeaders}),
            "body");
  EXPECT_EQ(HeaderValue(recorder.requests().at(0), "Cookie: "), "a=1; b=2");
  EXPECT_EQ(cookies, "b=3");
  EXPECT_EQ(returnedCookies, "b=3");
  EXPECT_NE(returnedHeaders.find("Set-Cookie: b=3; path=/\r\nSet-Cookie: a=deleted\r\n"),
            std::string::npos);
  EXPECT_TRUE(returnedHeaders.starts_with("HTTP/1.1 200 OK\r\n"));
  EXPECT_TRUE(returnedHeaders.ends_with("\r\n\r\n"));
}

TEST(HttpRequest, EmptySuppliedCookiesSendNoCookieLineButStillMerge) {
  RawHttpRecorder recorder(
      "HTTP/1.1 200 OK\r\nSet-Cookie: n=1\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
  const std::string url = "http://127.0.0.1:" + std::to_string(recorder.port()) + "/";
  std::string cookies;
  HttpRequest({.url = url, .cookies = &cookies});
  EXPECT_EQ(HeaderValue(recorder.requests().at(0), "Cookie: "), "<absent>");
  EXPECT_EQ(cookies, "n=1");
}

TEST(HttpRequest, ReturnsErrorBodiesAndFollowsRedirectsUnlessAsked) {
  LocalServer local;
  local.server().Get("/missing", [](const httplib::Request&, httplib::Response& response) {
    response.status = 404;
    response.set_content("<html>not here</html>", "text/html");
  });
  local.server().Get("/moved", [](const httplib::Request&, httplib::Response& response) {
    response.set_redirect("/target");
    response.set_header("Set-Cookie", "hop=1");
  });
  local.server().Get("/target", [](const httplib::Request& request, httplib::Response& response) {
    response.set_content("arrived with " + request.get_header_value("Cookie"), "text/plain");
  });
  local.Start();
  EXPECT_EQ(HttpRequest({.url = local.base() + "/missing"}), "<html>not here</html>");
  EXPECT_EQ(HttpRequest({.url = local.base() + "/moved"}), "arrived with hop=1");
  std::string headers;
  EXPECT_EQ(HttpRequest(
                {.url = local.base() + "/moved", .returnedHeaders = &headers, .noRedirect = true}),
            "");
  EXPECT_TRUE(headers.starts_with("HTTP/1.1 302")) << headers;
  // A HEAD reply announces a body but sends none: the exchange ends with the headers.
  EXPECT_EQ(HttpRequest({.url = local.base() + "/moved",
                         .method = kHttpHead,
                         .postText = "b=1",
                         .returnedHeaders = &headers}),
            "");
  EXPECT_TRUE(headers.starts_with("HTTP/1.1 200")) << headers;
}

TEST(HttpRequest, UnreachableHostGivesEmptyBytesAndBlankHeaders) {
  int freePort = 0;
  {
    RawHttpRecorder closed;
    freePort = closed.port();
  }
  std::string headers = "unchanged";
  std::string returnedCookies = "unchanged";
  EXPECT_EQ(HttpRequest({.url = "http://127.0.0.1:" + std::to_string(freePort) + "/",
                         .returnedCookies = &returnedCookies,
                         .returnedHeaders = &headers}),
            "");
  EXPECT_EQ(headers, std::string(5000, ' '));
  EXPECT_EQ(returnedCookies, "");
}

TEST(HttpRequest, OversizedHeaderBlockIsNotCapturedButTheBodyIs) {
  // Many ordinary lines rather than one long one: some transports cut a single line short.
  std::string padding;
  for (int i = 0; i < 100; ++i)
    padding += "X-Pad-" + std::to_string(i) + ": " + std::string(50, 'p') + "\r\n";
  RawHttpRecorder recorder("HTTP/1.1 200 OK\r\nSet-Cookie: big=1\r\n" + padding +
                           "Content-Length: 4\r\nConnection: close\r\n\r\nbody");
  std::string headers;
  std::string returnedCookies = "x";
  EXPECT_EQ(HttpRequest({.url = "http://127.0.0.1:" + std::to_string(recorder.port()) + "/",
                         .returnedCookies = &returnedCookies,
                         .returnedHeaders = &headers}),
            "body");
  EXPECT_EQ(headers, std::string(5000, ' '));
  EXPECT_EQ(returnedCookies, "");
}

TEST(HttpRequest, SpeaksTlsAndVerifiesTheCertificate) {
  LocalServer local(Scheme::Https);
  local.server().Post("/Echo", [](const httplib::Request& request, httplib::Response& response) {
    response.set_content(request.method + " " + request.body, "text/plain");
  });
  local.Start();
  const std::string url = "HTTPS://LOCALHOST:" + std::to_string(local.port()) + "/Echo";
  const HttpTransport trusting{.caFile = testing::ThrowawayCertificate().certificateFile};
  EXPECT_EQ(HttpRequest({.url = url, .method = kHttpPost, .postText = "x=1"}, trusting),
            "POST x=1");
  EXPECT_EQ(HttpRequest({.url = url, .method = kHttpPost, .postText = "x=1"}), "");
}

TEST(HttpRequest, SendsTheRequestThroughTheGivenProxy) {
  // WinHTTP spells out the default port in the address it gives the proxy; both spellings name
  // the same place.
  const auto requestLine = [](const RawRequest& request) {
    std::string line = request.requestLine;
    if (const std::size_t at = line.find(":80/"); at != std::string::npos) line.erase(at, 3);
    return line;
  };
  RawHttpRecorder proxy;
  const std::string proxyAddress = "127.0.0.1:" + std::to_string(proxy.port());
  EXPECT_EQ(HttpRequest({.url = "http://origin.invalid/p?q=1", .proxy = proxyAddress}), "ok");
  EXPECT_EQ(requestLine(proxy.requests().at(0)), "GET http://origin.invalid/p?q=1 HTTP/1.1");
  HttpRequest({.url = "http://t/x", .proxy = proxyAddress});
  EXPECT_EQ(requestLine(proxy.requests().at(1)), "GET http://t/x HTTP/1.1");
}

}  // namespace
}  // namespace tarnwick
