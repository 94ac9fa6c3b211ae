#include "support/base64.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <thread>

#include "support/text_helpers.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TARNWICK_HAVE_SSSE3_KERNEL 1
#endif

namespace tarnwick {
namespace {

constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Every 12-bit value as its two base64 characters, so that three bytes take two lookups.
const std::array<std::array<char, 2>, 4096>& Base64Pairs() {
  static const auto pairs = [] {
    std::array<std::array<char, 2>, 4096> table{};
    for (int v = 0; v < 4096; ++v) table[v] = {kBase64Alphabet[v >> 6], kBase64Alphabet[v & 63]};
    return table;
  }();
  return pairs;
}

// The four base64 characters of one three-byte group, given as a 24-bit value.
inline void WriteGroup(std::uint32_t v, char* out) {
  const auto& pairs = Base64Pairs();
  std::memcpy(out, pairs[v >> 12].data(), 2);
  std::memcpy(out + 2, pairs[v & 0xFFF].data(), 2);
}

// Every 12-bit value as its two base64 characters already percent-encoded for a form ("+"
// and "/" become "%2B" and "%2F"): up to six characters, padded to eight bytes.
using FormPair = std::array<char, 8>;

const std::array<FormPair, 4096>& Base64FormPairs() {
  static const auto pairs = [] {
    std::array<FormPair, 4096> table{};
    for (int v = 0; v < 4096; ++v) {
      const std::string text =
          UrlEncode(std::string{kBase64Alphabet[v >> 6], kBase64Alphabet[v & 63]});
      std::copy(text.begin(), text.end(), table[v].begin());
    }
    return table;
  }();
  return pairs;
}

// How many of the two sextets in a 12-bit value are 62 or 63 ("+" or "/"), each of which
// grows by two characters in the form text.
inline unsigned EscapesInPair(std::uint32_t v12) {
  return (((v12 >> 6) + 2) >> 6) + (((v12 & 63) + 2) >> 6);
}

// Where an encoding pass has got to: input consumed, base64 and form text written.
struct Cursor {
  std::size_t in;
  char* base64;
  char* form;
};

// Three bytes at a time. Every pair is stored with a full eight-byte copy: the caller leaves
// that much room past the end.
void EncodeGroupsScalar(const unsigned char* in, std::size_t end, Cursor& at) {
  const auto& formPairs = Base64FormPairs();
  char* b = at.base64;
  char* o = at.form;
  for (std::size_t i = at.in; i < end; i += 3, b += 4) {
    const std::uint32_t v = (in[i] << 16) | (in[i + 1] << 8) | in[i + 2];
    WriteGroup(v, b);
    std::memcpy(o, formPairs[v >> 12].data(), sizeof(FormPair));
    o += 2 + 2 * EscapesInPair(v >> 12);
    std::memcpy(o, formPairs[v & 0xFFF].data(), sizeof(FormPair));
    o += 2 + 2 * EscapesInPair(v & 0xFFF);
  }
  at = {end, b, o};
}

#ifdef TARNWICK_HAVE_SSSE3_KERNEL
// How eight base64 characters spread out in the form text: for each set of escaped positions,
// a shuffle that takes each character in turn, with "%" (source byte 8) and "2" (byte 9)
// before an escaped one, and the width of the result (up to 24 bytes, in two 16-byte halves).
struct Expansion {
  alignas(16) unsigned char first[16];
  alignas(16) unsigned char rest[16];
  unsigned width;
};

const std::array<Expansion, 256>& Expansions() {
  static const auto expansionTable = [] {
    std::array<Expansion, 256> expansions{};
    for (unsigned escaped = 0; escaped < 256; ++escaped) {
      unsigned char order[32];
      std::memset(order, 0x80, sizeof order);  // 0x80 selects a zero byte
      unsigned width = 0;
      for (unsigned j = 0; j < 8; ++j) {
        if (escaped & (1u << j)) {
          order[width++] = 8;
          order[width++] = 9;
        }
        order[width++] = static_cast<unsigned char>(j);
      }
      Expansion& e = expansions[escaped];
      std::memcpy(e.first, order, 16);
      std::memcpy(e.rest, order + 16, 16);
      e.width = width;
    }
    return expansions;
  }();
  return expansionTable;
}

// Twelve bytes at a time with SSSE3. The four groups are spread into sixteen sextets with one
// shuffle and two multiplies; each sextet becomes its character by adding an offset that a
// second shuffle looks up by range (A-Z, a-z, 0-9, "+", "/"). For the form text "+" and "/"
// turn into their escape's last letter, and each half of the block is spread out by its entry
// in the expansion table, without a branch: escapes fall at random. Each step loads sixteen
// bytes, so it stops while sixteen remain before `end`, and stores up to 32 bytes past the
// form text it writes.
__attribute__((target("ssse3"))) void EncodeBlocksSsse3(const unsigned char* in, std::size_t end,
                                                        Cursor& at) {
  const auto& expansions = Expansions();
  const __m128i spread = _mm_set_epi8(10, 11, 9, 10, 7, 8, 6, 7, 4, 5, 3, 4, 1, 2, 0, 1);
  const __m128i highMask = _mm_set1_epi32(0x0fc0fc00);
  const __m128i highShift = _mm_set1_epi32(0x04000040);
  const __m128i lowMask = _mm_set1_epi32(0x003f03f0);
  const __m128i lowShift = _mm_set1_epi32(0x01000010);
  // Offsets from a sextet to its character, by range: 0-25, 26-51, 52-61, 62, 63.
  const __m128i offsets =
      _mm_setr_epi8(65, 71, -4, -4, -4, -4, -4, -4, -4, -4, -4, -4, -19, -16, 0, 0);
  const __m128i plus = _mm_set1_epi8('+');
  const __m128i slash = _mm_set1_epi8('/');
  const __m128i plusToLetter = _mm_set1_epi8('B' - '+');
  const __m128i slashToLetter = _mm_set1_epi8('F' - '/');
  const __m128i percentTwo = _mm_setr_epi8('%', '2', 0, 0, 0, 0, 0, 0, '%', '2', 0, 0, 0, 0, 0, 0);
  std::size_t i = at.in;
  char* b = at.base64;
  char* o = at.form;
  for (; i + 16 <= end; i += 12, b += 16) {
    const __m128i bytes =
        _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i)), spread);
    const __m128i high = _mm_mulhi_epu16(_mm_and_si128(bytes, highMask), highShift);
    const __m128i low = _mm_mullo_epi16(_mm_and_si128(bytes, lowMask), lowShift);
    const __m128i values = _mm_or_si128(high, low);
    const __m128i range = _mm_sub_epi8(_mm_subs_epu8(values, _mm_set1_epi8(51)),
                                       _mm_cmpgt_epi8(values, _mm_set1_epi8(25)));
    const __m128i text = _mm_add_epi8(values, _mm_shuffle_epi8(offsets, range));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(b), text);

    const __m128i isPlus = _mm_cmpeq_epi8(text, plus);
    const __m128i isSlash = _mm_cmpeq_epi8(text, slash);
    const auto escaped = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(isPlus, isSlash)));
    const __m128i letters = _mm_add_epi8(text, _mm_or_si128(_mm_and_si128(isPlus, plusToLetter),
                                                            _mm_and_si128(isSlash, slashToLetter)));
    const __m128i halves[2] = {_mm_unpacklo_epi64(letters, percentTwo),
                               _mm_unpackhi_epi64(letters, percentTwo)};
    for (int h = 0; h < 2; ++h) {
      const Expansion& e = expansions[(escaped >> (8 * h)) & 0xFF];
      _mm_storeu_si128(
          reinterpret_cast<__m128i*>(o),
          _mm_shuffle_epi8(halves[h], _mm_load_si128(reinterpret_cast<const __m128i*>(e.first))));
      _mm_storeu_si128(
          reinterpret_cast<__m128i*>(o + 16),
          _mm_shuffle_epi8(halves[h], _mm_load_si128(reinterpret_cast<const __m128i*>(e.rest))));
      o += e.width;
    }
  }
  at = {i, b, o};
}

bool HaveSsse3() {
  static const bool have = __builtin_cpu_supports("ssse3");
  return have;
}
#endif

// Encodes the whole three-byte groups of `bytes` into base64 at `base64` and appends the same
// text percent-encoded to `form`.
void EncodeGroupsForForm(std::string_view bytes, char* base64, std::string& form) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t whole = bytes.size() / 3 * 3;
  const std::size_t base64Size = whole / 3 * 4;
  // Room for the form text as random bytes need it (one character in 32 is "+" or "/", and
  // grows by two); a chunk that could overflow it makes room first. Pairs and blocks are
  // stored with full-width copies, so some slack stays at the end.
  constexpr std::size_t kGroupsPerChunk = 4096;
  constexpr std::size_t kMostPerGroup = 12;
  constexpr std::size_t kSlack = 64;
  std::size_t formSize = form.size();
  form.resize(formSize + base64Size + base64Size / 16 + kGroupsPerChunk * kMostPerGroup);
  Cursor at{0, base64, nullptr};
  while (at.in < whole) {
    const std::size_t chunkEnd = std::min(whole, at.in + 3 * kGroupsPerChunk);
    const std::size_t mostNeeded = (chunkEnd - at.in) / 3 * kMostPerGroup + kSlack;
    if (form.size() - formSize < mostNeeded) form.resize(formSize + mostNeeded + form.size() / 4);
    at.form = form.data() + formSize;
#ifdef TARNWICK_HAVE_SSSE3_KERNEL
    // The block kernel may read up to four bytes past the chunk, never past the input.
    if (HaveSsse3()) EncodeBlocksSsse3(in, std::min(chunkEnd + 4, bytes.size()), at);
#endif
    EncodeGroupsScalar(in, chunkEnd, at);
    formSize = static_cast<std::size_t>(at.form - form.data());
  }
  form.resize(formSize);
}

}  // namespace

std::string Base64Encode(std::string_view bytes) {
  std::string out((bytes.size() + 2) / 3 * 4, '\0');
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  char* o = out.data();
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3, o += 4) {
    WriteGroup((in[i] << 16) | (in[i + 1] << 8) | in[i + 2], o);
  }
  const std::size_t rest = bytes.size() - i;
  if (rest > 0) {
    const std::uint32_t v = (in[i] << 16) | (rest == 2 ? in[i + 1] << 8 : 0);
    o[0] = kBase64Alphabet[v >> 18];
    o[1] = kBase64Alphabet[(v >> 12) & 63];
    o[2] = rest == 2 ? kBase64Alphabet[(v >> 6) & 63] : '=';
    o[3] = '=';
  }
  return out;
}

std::string Base64EncodeForForm(std::string_view bytes, std::string& formBody) {
  const std::size_t whole = bytes.size() / 3 * 3;
  std::string base64((bytes.size() + 2) / 3 * 4, '\0');
  // A picture of a megabyte or more is encoded in two halves at once, on a second core; the
  // window's thread waits for both, so nothing else runs meanwhile.
  constexpr std::size_t kSplitFrom = 1 << 20;
  bool encoded = false;
  if (whole >= kSplitFrom && std::thread::hardware_concurrency() > 1) {
    const std::size_t half = whole / 2 / 3 * 3;
    // Room for both halves at once, so that joining them copies only the second.
    formBody.reserve(formBody.size() + base64.size() + base64.size() / 8);
    std::string secondForm;
    try {
      std::thread second([&] {
        EncodeGroupsForForm(bytes.substr(half, whole - half), base64.data() + half / 3 * 4,
                            secondForm);
      });
      EncodeGroupsForForm(bytes.substr(0, half), base64.data(), formBody);
      second.join();
      formBody += secondForm;
      encoded = true;
    } catch (const std::system_error&) {
      // No thread to be had: the whole picture on this one.
    }
  }
  if (!encoded) EncodeGroupsForForm(bytes.substr(0, whole), base64.data(), formBody);
  // The last, padded group.
  const std::string last = Base64Encode(bytes.substr(whole));
  std::copy(last.begin(), last.end(), base64.data() + whole / 3 * 4);
  AppendUrlEncoded(formBody, last);
  return base64;
}

}  // namespace tarnwick
