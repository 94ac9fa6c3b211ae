#pragma once
// Converting text between two encodings with the system's own converter: iconv on Linux, the
// code page functions on Windows. Encodings are named as iconv names them ("UTF-8",
// "CP936"). A sequence that the source mangles or the target lacks becomes one "?", standing
// for as many source bytes as `sequenceLength` gives for that place; everything else converts.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

using SequenceLength = std::size_t (*)(std::string_view text, std::size_t at);

// Nothing when the system does not know one of the encodings.
std::optional<std::string> ConvertEncoding(std::string_view input, const std::string& from,
                                           const std::string& to, SequenceLength sequenceLength);

}  // namespace tarnwick
