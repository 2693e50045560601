// Internal: sixteen bytes of a text checked against a layout and their digits
// paired in a few vector instructions, with SSE2, which every x86-64 has.
// Elsewhere the readers read step by step.
#ifndef ORVIK_CHRONO_SRC_TEXT_VECTOR_H_
#define ORVIK_CHRONO_SRC_TEXT_VECTOR_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orvik::chrono::internal {

// What a reader's shortcut for the layouts that writers use most made of a
// text, which its reading of record, step by step, reads alike.
enum class Shortcut : std::uint8_t {
  Read,    // read, into what the reading of record gives
  Misfit,  // known to depart from the shortcut's layout where the reading of
           // record checks first, which it need not check again
  Other,   // left whole to the reading of record
};

}  // namespace orvik::chrono::internal

namespace orvik::chrono::internal::vector {

using Bytes = std::array<unsigned char, 16>;

// A layout of sixteen bytes, each a digit ('9'), a byte that stands for itself
// (any other but '?'), or one that the layout leaves open ('?'); and the
// bounds of the two digits from some bytes on.
struct Layout {
  Bytes Expected;  // '0' for a digit, the byte itself, or 0 where open
  Bytes Largest;   // what a byte XOR Expected may be: 9, 0, or 255 where open
  Bytes Digits;    // 255 for a digit, else 0
  Bytes Least;     // the least value of the two digits from a byte on, else 0
  Bytes Range;     // the largest less the least, else 255
};

// The layout of `text` (sixteen bytes), with bounds: the two digits from
// byte `at[i]` on are `least[i]` to `largest[i]`.
template <std::size_t kCount>
consteval Layout MakeLayout(std::string_view text, const std::array<std::size_t, kCount>& at,
                            const std::array<unsigned, kCount>& largest, const std::array<unsigned, kCount>& least) {
  Layout layout{};
  for (std::size_t i = 0; i < 16; ++i) {
    const char c = text[i];
    layout.Expected.at(i) = c == '9' ? '0' : c == '?' ? 0 : static_cast<unsigned char>(c);
    layout.Largest.at(i) = c == '9' ? 9 : c == '?' ? 255 : 0;
    layout.Digits.at(i) = c == '9' ? 255 : 0;
    layout.Range.at(i) = 255;
  }
  for (std::size_t i = 0; i < kCount; ++i) {
    layout.Least.at(at[i]) = static_cast<unsigned char>(least[i]);
    layout.Range.at(at[i]) = static_cast<unsigned char>(largest[i] - least[i]);
  }
  return layout;
}

#if defined(__SSE2__)
// The intrinsics are SSE2's, which every x86-64 has; elsewhere this block is
// left out and the readers read step by step.
using Vector = __m128i;

inline Vector Load(const char* at) {
  Vector v;
  std::memcpy(&v, at, sizeof v);
  return v;
}

inline Vector Load(const Bytes& bytes) { return Load(reinterpret_cast<const char*>(bytes.data())); }

// The bytes of the sixteen at `text` that depart from `layout`: 0 where none.
[[gnu::always_inline]] inline Vector Departures(const char* text, const Layout& layout) {
  return _mm_subs_epu8(_mm_xor_si128(Load(text), Load(layout.Expected)), Load(layout.Largest));
}

// The value of the two digits from each digit of a text on; the bytes that
// depart from a layout, and the pairs outside their bounds: 0 where none.
struct Checked {
  Vector Pairs;
  Vector Departures;
  Vector OutOfBounds;
};

// Checks the sixteen bytes at `text` against `layout`, the bounds too.
[[gnu::always_inline]] inline Checked Check(const char* text, const Layout& layout) {
  const Vector read = _mm_xor_si128(Load(text), Load(layout.Expected));
  // Ten times each digit, kept in its byte (9 * 10 < 256) where it is one,
  // and the next digit.
  const Vector digits = _mm_and_si128(read, Load(layout.Digits));
  const Vector tens = _mm_add_epi8(_mm_slli_epi16(digits, 1), _mm_slli_epi16(digits, 3));
  const Vector pairs = _mm_add_epi8(tens, _mm_srli_si128(digits, 1));
  // Below the least, a pair wraps above the range.
  const Vector bounds = _mm_subs_epu8(_mm_sub_epi8(pairs, Load(layout.Least)), Load(layout.Range));
  return {pairs, _mm_subs_epu8(read, Load(layout.Largest)), bounds};
}

// Whether every byte of `v` is 0.
[[gnu::always_inline]] inline bool IsZero(Vector v) {
  return _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128())) == 0xFFFF;
}

[[gnu::always_inline]] inline Vector Or(Vector a, Vector b) { return _mm_or_si128(a, b); }

// The byte `kAt` of a vector.
template <int kAt>
[[gnu::always_inline]] inline unsigned ByteAt(Vector v) {
  const auto lane = static_cast<unsigned>(_mm_extract_epi16(v, kAt / 2));
  return kAt % 2 == 0 ? lane & 0xFFU : lane >> 8U;
}
#endif

}  // namespace orvik::chrono::internal::vector

#endif  // ORVIK_CHRONO_SRC_TEXT_VECTOR_H_
