#pragma once
// Character accuracy of recognised text against the known text: 1 - (edit distance over code
// points) / (code points of the known text), the usual OCR figure. Spaces are left out of both,
// since Chinese text has none and the engine's spacing of Latin words is not what is measured.

#include <algorithm>
#include <string>
#include <vector>

namespace tarnwick::service::testing {

inline std::u32string CodePoints(const std::string& utf8) {
  std::u32string points;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t value = length == 1 ? lead : lead & (0xFF >> (length + 1));
    for (int k = 1; k < length && i + k < utf8.size(); ++k) {
      value = (value << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    if (value != U' ') points += value;
    i += length;
  }
  return points;
}

inline double CharacterAccuracy(const std::string& recognised, const std::string& known) {
  const std::u32string a = CodePoints(recognised);
  const std::u32string b = CodePoints(known);
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
      diagonal = above;
    }
  }
  if (b.empty()) return a.empty() ? 1.0 : 0.0;
  return 1.0 - std::min<double>(1.0, static_cast<double>(row[b.size()]) / b.size());
}

}  // namespace tarnwick::service::testing
