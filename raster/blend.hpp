// How the antialiased raster lays a colour over a pixel: a linear blend of the 8-bit sRGB
// values, weighted by the coverage in 256ths, each channel
//   out = floor((under * (256 - w) + over * w + 128) / 256),  w in 0 .. 256,
// so that w = 256 gives the colour itself and w = 0 leaves the pixel as it was. No gamma,
// no floating point: the same integers on every processor and in the browser.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace trazo {

// The same sum as under + floor(((over - under) * w + 128) / 256): one product a channel
// rather than two. Red and blue side by side in one word, then green, each worked modulo
// 2^32: a lane's difference may borrow from the lane above, but the borrow only moves bits
// that the mask drops, and the lane's own eight bits come out exact.
inline std::uint32_t blendPixel(std::uint32_t under, std::uint32_t over, std::uint32_t weight) {
  const std::uint32_t underRedBlue = under & 0xFF00FFu, underGreen = under & 0xFF00u;
  const std::uint32_t redBlue = ((((over & 0xFF00FFu) - underRedBlue) * weight + 0x800080u) >> 8) + underRedBlue;
  const std::uint32_t green = ((((over & 0xFF00u) - underGreen) * weight + 0x8000u) >> 8) + underGreen;
  return 0xFF000000u | (redBlue & 0xFF00FFu) | (green & 0xFF00u);
}

// The two pixels a step of a walk shares its ink between, each blended with its own weight:
// the numbers blendPixel gives each. With SSE2 both go through one register, a channel to
// each 16-bit lane, worked modulo 2^16: the product's bits 8 .. 15, the only ones the lane
// keeps, are exact there, as in blendPixel's wider lanes.
inline void blendPixelPair(std::uint32_t& first, std::uint32_t firstWeight, std::uint32_t& second,
                           std::uint32_t secondWeight, std::uint32_t over) {
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i under = _mm_unpacklo_epi8(
      _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(first)), _mm_cvtsi32_si128(static_cast<int>(second))),
      zero);
  const __m128i colour = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(over)), zero);
  const __m128i weights = _mm_unpacklo_epi64(_mm_set1_epi16(static_cast<short>(firstWeight)),
                                             _mm_set1_epi16(static_cast<short>(secondWeight)));
  const __m128i part =
      _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(colour, under), weights), _mm_set1_epi16(128)), 8);
  const __m128i channels = _mm_and_si128(_mm_add_epi16(part, under), _mm_set1_epi16(0xFF));
  const __m128i pixels =
      _mm_or_si128(_mm_packus_epi16(channels, channels), _mm_set1_epi32(static_cast<int>(0xFF000000u)));
  first = static_cast<std::uint32_t>(_mm_cvtsi128_si32(pixels));
  second = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_epi64(pixels, 32)));
#else
  first = blendPixel(first, over, firstWeight);
  second = blendPixel(second, over, secondWeight);
#endif
}

}  // namespace trazo
