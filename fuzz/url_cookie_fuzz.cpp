// The address and cookie helpers against references written literally from the program's
// rules, step by step, without the shortcuts of the real ones.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/http_cookies.h"
#include "support/http_url.h"
#include "support/text_helpers.h"

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return text;
}

std::size_t FindNoCase(const std::string& text, const std::string& needle, std::size_t from) {
  return Lower(text).find(Lower(needle), from);
}

std::string Between(const std::string& text, const std::string& left, const std::string& right) {
  const std::size_t l = text.find(left);
  if (l == std::string::npos) return {};
  const std::size_t r = text.find(right, l + left.size());
  if (r == std::string::npos) return {};
  return text.substr(l + left.size(), r - l - left.size());
}

std::string ReferenceHost(const std::string& url, bool keepPort) {
  std::string text = Lower(url);
  if (text.empty() || text.back() != '/') text += "/";
  std::string marker = "https://";
  if (text.rfind("https://", 0) != 0) {
    if (text.find("http://") == std::string::npos) text = "http://" + text;
    marker = "http://";
  }
  std::string host = Between(text, marker, "/");
  if (!keepPort) host = host.substr(0, host.find(':'));
  return host;
}

std::string ReferencePath(const std::string& url) {
  std::size_t from = 0;
  if (Lower(url).rfind("https://", 0) == 0) {
    from = 8;
  } else if (FindNoCase(url, "http://", 0) != std::string::npos) {
    from = FindNoCase(url, "http://", 0) + 7;
  }
  const std::size_t host = FindNoCase(url, ReferenceHost(url, false), from);
  const std::size_t slash = url.find('/', host == std::string::npos ? 0 : host);
  return slash == std::string::npos ? "/" : url.substr(slash);
}

std::string RemoveSpaces(const std::string& text) {
  return tarnwick::ReplaceAll(tarnwick::ReplaceAll(text, " ", ""), "\xE3\x80\x80", "");
}

std::vector<std::string> SplitAt(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = text.find(separator, start);
    if (at == std::string::npos) break;
    parts.push_back(text.substr(start, at - start));
    start = at + separator.size();
  }
  parts.push_back(text.substr(start));
  return parts;
}

std::string NameOf(const std::string& part) {
  return tarnwick::Trim(part.substr(0, part.find('=')));
}

std::string ReferenceMerge(const std::string& oldText, const std::string& newText) {
  std::vector<std::string> oldParts = SplitAt(RemoveSpaces(oldText), ";");
  std::vector<std::string> newParts = SplitAt(RemoveSpaces(newText), ";");
  if (oldParts.back().empty()) oldParts.pop_back();
  if (newParts.back().empty()) newParts.pop_back();
  for (const std::string& part : oldParts) {
    bool named = false;
    for (const std::string& other : newParts) named = named || NameOf(other) == NameOf(part);
    if (!named) newParts.push_back(part);
  }
  std::string joined;
  for (const std::string& part : newParts) {
    if (part.size() >= 8 && part.substr(part.size() - 8) == "=deleted") continue;
    joined += part + "; ";
  }
  if (!joined.empty()) joined.resize(joined.size() - 2);
  std::vector<std::string> unique;
  for (const std::string& part : SplitAt(joined, "; ")) {
    bool seen = false;
    for (const std::string& kept : unique) seen = seen || kept == part;
    if (!seen) unique.push_back(part);
  }
  std::string result;
  for (std::size_t i = 0; i < unique.size(); ++i) result += (i ? "; " : "") + unique[i];
  return result;
}

std::string ReferenceCollect(const std::string& headers) {
  std::string cookies;
  for (const std::string& line : SplitAt(headers, "\r\n")) {
    if (line.find("Set-Cookie") == std::string::npos) continue;
    std::string value;
    if (line.find(';') != std::string::npos) {
      value = tarnwick::Trim(Between(line, "Set-Cookie:", ";"));
    } else {
      // One pass from the left: what the removals join together is not looked at again.
      std::string rest;
      const std::string lower = Lower(line);
      for (std::size_t at = 0; at < line.size();) {
        if (lower.compare(at, 11, "set-cookie:") == 0) {
          at += 11;
        } else {
          rest += line[at++];
        }
      }
      value = tarnwick::Trim(rest);
    }
    cookies += value + "; ";
  }
  if (!cookies.empty()) cookies.resize(cookies.size() - 2);
  return cookies;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string url = input.ConsumeRandomLengthString(128);
  const std::string oldCookies = input.ConsumeRandomLengthString(128);
  const std::string newCookies = input.ConsumeRandomLengthString(128);
  const std::string headers = input.ConsumeRemainingBytesAsString();

  using tarnwick::KeepPort;
  if (tarnwick::UrlHost(url, KeepPort::No) != ReferenceHost(url, false)) std::abort();
  if (tarnwick::UrlHost(url, KeepPort::Yes) != ReferenceHost(url, true)) std::abort();
  if (tarnwick::UrlPath(url) != ReferencePath(url)) std::abort();
  tarnwick::UrlPort(url);

  if (tarnwick::MergeCookies(oldCookies, newCookies) != ReferenceMerge(oldCookies, newCookies)) {
    std::abort();
  }
  const std::string normalized = tarnwick::NormalizeSetCookieNames(headers);
  if (Lower(normalized) != Lower(headers)) std::abort();
  if (tarnwick::CollectCookies(normalized) != ReferenceCollect(normalized)) std::abort();
  return 0;
}
