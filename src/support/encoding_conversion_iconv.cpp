#include <iconv.h>

#include <cerrno>

#include "support/encoding_conversion.h"

namespace tarnwick {

std::optional<std::string> ConvertEncoding(std::string_view input, const std::string& from,
                                           const std::string& to, SequenceLength sequenceLength) {
  const iconv_t handle = iconv_open(to.c_str(), from.c_str());
  if (handle == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  out.resize(input.size() * 2 + 16);
  std::size_t written = 0;
  std::size_t consumed = 0;
  while (consumed < input.size()) {
    char* in = const_cast<char*>(input.data() + consumed);
    std::size_t inLeft = input.size() - consumed;
    char* o = out.data() + written;
    std::size_t outLeft = out.size() - written;
    const std::size_t rc = iconv(handle, &in, &inLeft, &o, &outLeft);
    consumed = input.size() - inLeft;
    written = out.size() - outLeft;
    if (rc != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // EILSEQ or EINVAL: the sequence here is malformed or has no place in the target.
    if (written == out.size()) out.resize(out.size() * 2);
    out[written++] = '?';
    consumed += sequenceLength(input, consumed);
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(handle);
  out.resize(written);
  return out;
}

}  // namespace tarnwick
