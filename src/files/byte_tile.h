// Transposing a square of 16 x 16 bytes, which the image encoder and decoder
// use to move cells between the store's rows and an image's frame records.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>

namespace vqled {

constexpr int kByteTile = 16;

// Byte c of in[t] becomes byte t of out[c], by interleaving in four steps.
inline void TransposeByteTile(const __m128i in[kByteTile], __m128i out[kByteTile]) {
  // Step 1: row pairs; columns 0..7 in lo[p], 8..15 in hi[p], 2 bytes each.
  __m128i lo[8], hi[8];
  for (int p = 0; p < 8; ++p) {
    lo[p] = _mm_unpacklo_epi8(in[2 * p], in[2 * p + 1]);
    hi[p] = _mm_unpackhi_epi8(in[2 * p], in[2 * p + 1]);
  }
  // Step 2: row quads; quad[g][q] holds columns 4g..4g+3 of rows 4q..4q+3.
  __m128i quad[4][4];
  for (int q = 0; q < 4; ++q) {
    quad[0][q] = _mm_unpacklo_epi16(lo[2 * q], lo[2 * q + 1]);
    quad[1][q] = _mm_unpackhi_epi16(lo[2 * q], lo[2 * q + 1]);
    quad[2][q] = _mm_unpacklo_epi16(hi[2 * q], hi[2 * q + 1]);
    quad[3][q] = _mm_unpackhi_epi16(hi[2 * q], hi[2 * q + 1]);
  }
  for (int g = 0; g < 4; ++g) {
    // Step 3: row octets; half[s][h] holds columns 4g+2h, 4g+2h+1 of rows 8s..8s+7.
    __m128i half[2][2];
    for (int s = 0; s < 2; ++s) {
      half[s][0] = _mm_unpacklo_epi32(quad[g][2 * s], quad[g][2 * s + 1]);
      half[s][1] = _mm_unpackhi_epi32(quad[g][2 * s], quad[g][2 * s + 1]);
    }
    // Step 4: all 16 rows of one column.
    for (int h = 0; h < 2; ++h) {
      out[4 * g + 2 * h] = _mm_unpacklo_epi64(half[0][h], half[1][h]);
      out[4 * g + 2 * h + 1] = _mm_unpackhi_epi64(half[0][h], half[1][h]);
    }
  }
}

}  // namespace vqled

#endif
