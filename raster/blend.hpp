// How the antialiased raster lays a colour over a pixel: a linear blend of the 8-bit sRGB
// values, weighted by the coverage in 256ths, each channel
//   out = floor((under * (256 - w) + over * w + 128) / 256),  w in 0 .. 256,
// so that w = 256 gives the colour itself and w = 0 leaves the pixel as it was. No gamma,
// no floating point: the same integers on every processor and in the browser.
#pragma once

#include <array>
#include <cstddef>
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

// How a step of a walk shares its ink (0 .. 256) between its two pixels: the near one takes
// (256 - past) * ink / 256 and the far one past * ink / 256, both rounded down, where
// `past` (0 .. 255) is how far the walk's line lies past the near pixel, in 256ths.
inline std::uint32_t nearWeight(std::uint32_t past, std::uint32_t ink) { return ((256 - past) * ink) >> 8; }
inline std::uint32_t farWeight(std::uint32_t past, std::uint32_t ink) { return (past * ink) >> 8; }

// Where a step's far pixel lies against its near one in memory: right after it, right
// before it, or anywhere (a row away, given when blending).
enum class FarPixel { next, previous, apart };

#if defined(__SSE2__)
namespace blend_lanes {

// For each `past`, 256 - past in the four low 16-bit lanes and past in the four high ones:
// the weights of full ink, one to each channel of the near and of the far pixel.
struct alignas(16) Lanes {
  std::uint16_t lane[8];
};
constexpr std::array<Lanes, 257> fullInkLanes() {
  std::array<Lanes, 257> table{};
  for (std::uint16_t past = 0; past <= 256; ++past) {
    for (int i = 0; i < 4; ++i) {
      table[past].lane[i] = static_cast<std::uint16_t>(256 - past);
      table[past].lane[i + 4] = past;
    }
  }
  return table;
}
inline constexpr std::array<Lanes, 257> kFullInk = fullInkLanes();

// Both weights for one step. Dashes give only full ink, half ink at their soft ends, and
// none in their gaps: halving each weight is exact, as both are floors of a product by ink.
inline __m128i weights(std::uint32_t past, std::uint32_t ink) {
  const __m128i full = _mm_load_si128(reinterpret_cast<const __m128i*>(kFullInk[past].lane));
  if (ink == 256) return full;
  if (ink == 128) return _mm_srli_epi16(full, 1);
  return _mm_unpacklo_epi64(_mm_set1_epi16(static_cast<short>(nearWeight(past, ink))),
                            _mm_set1_epi16(static_cast<short>(farWeight(past, ink))));
}

// Pixels one channel to a 16-bit lane, blended with the weights lane by lane, modulo 2^16:
// the product's bits 8 .. 15, the only ones a lane keeps, are exact there, as in
// blendPixel's wider lanes.
inline __m128i blend(__m128i under, __m128i colour, __m128i weights) {
  const __m128i part =
      _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(colour, under), weights), _mm_set1_epi16(128)), 8);
  const __m128i channels = _mm_and_si128(_mm_add_epi16(part, under), _mm_set1_epi16(0xFF));
  return _mm_or_si128(_mm_packus_epi16(channels, channels), _mm_set1_epi32(static_cast<int>(0xFF000000u)));
}

}  // namespace blend_lanes
#endif

// One colour laid over the two pixels of each step of a walk, each by its own weight: the
// numbers blendPixel gives each. With SSE2 both pixels go through one register, and pixels
// side by side in memory are read and written together.
class PairBlend {
 public:
#if defined(__SSE2__)
  explicit PairBlend(std::uint32_t colour)
      : lanes_(_mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(colour)), _mm_setzero_si128())) {}
#else
  explicit PairBlend(std::uint32_t colour) : colour_(colour) {}
#endif

  // The far pixel is `near + farStep` (FarPixel::apart), or as `kFar` places it.
  template <FarPixel kFar>
  void blend(std::uint32_t* near, std::ptrdiff_t farStep, std::uint32_t past, std::uint32_t ink) const {
#if defined(__SSE2__)
    using namespace blend_lanes;
    const __m128i zero = _mm_setzero_si128();
    const __m128i w = weights(past, ink);
    if constexpr (kFar == FarPixel::next) {
      const __m128i under = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(near)), zero);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(near), blend_lanes::blend(under, lanes_, w));
    } else if constexpr (kFar == FarPixel::previous) {
      std::uint32_t* const left = near - 1;
      const __m128i under = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(left)), zero);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(left),
                       blend_lanes::blend(under, lanes_, _mm_shuffle_epi32(w, _MM_SHUFFLE(1, 0, 3, 2))));
    } else {
      std::uint32_t* const far = near + farStep;
      const __m128i under = _mm_unpacklo_epi8(
          _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(*near)), _mm_cvtsi32_si128(static_cast<int>(*far))),
          zero);
      const __m128i pixels = blend_lanes::blend(under, lanes_, w);
      *near = static_cast<std::uint32_t>(_mm_cvtsi128_si32(pixels));
      *far = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_epi64(pixels, 32)));
    }
#else
    std::uint32_t* const far = kFar == FarPixel::next       ? near + 1
                               : kFar == FarPixel::previous ? near - 1
                                                            : near + farStep;
    *near = blendPixel(*near, colour_, nearWeight(past, ink));
    *far = blendPixel(*far, colour_, farWeight(past, ink));
#endif
  }

 private:
#if defined(__SSE2__)
  __m128i lanes_;  // the colour, a channel to each 16-bit lane, twice
#else
  std::uint32_t colour_;
#endif
};

}  // namespace trazo
