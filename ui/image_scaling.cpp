// Separable resampling: each output pixel of an axis is a weighted sum of source pixels ("taps"),
// the horizontal pass first, then the vertical one.
#include "ui/image_scaling.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace ui {
namespace {

struct Tap {
  int32_t index;
  float weight;
};
using Taps = std::vector<std::vector<Tap>>;

// Shrinking: each output pixel averages the source span it covers, partly covered pixels by the
// part they give.
Taps AreaTaps(int32_t from, int32_t to) {
  Taps taps(static_cast<size_t>(to));
  const double ratio = static_cast<double>(from) / to;
  for (int32_t i = 0; i < to; ++i) {
    const double start = i * ratio, end = (i + 1) * ratio;
    const int32_t last = std::min(from, static_cast<int32_t>(std::ceil(end)));
    for (int32_t j = static_cast<int32_t>(std::floor(start)); j < last; ++j) {
      const double overlap = std::min(end, j + 1.0) - std::max(start, static_cast<double>(j));
      if (overlap > 0) taps[static_cast<size_t>(i)].push_back({j, static_cast<float>(overlap / ratio)});
    }
  }
  return taps;
}

// Growing: pixel centres map onto the source and take its two nearest pixels; the edges hold.
Taps BilinearTaps(int32_t from, int32_t to) {
  Taps taps(static_cast<size_t>(to));
  const double ratio = static_cast<double>(from) / to;
  for (int32_t i = 0; i < to; ++i) {
    const double x = std::clamp((i + 0.5) * ratio - 0.5, 0.0, from - 1.0);
    const int32_t j = static_cast<int32_t>(x);
    const float f = static_cast<float>(x - j);
    taps[static_cast<size_t>(i)] = {{j, 1.0f - f}, {std::min(j + 1, from - 1), f}};
  }
  return taps;
}

Taps TapsFor(int32_t from, int32_t to) { return to < from ? AreaTaps(from, to) : BilinearTaps(from, to); }

using Channels = std::array<float, 3>;

Channels ChannelsOf(uint32_t raw) {
  return {static_cast<float>(raw >> 16 & 0xFF), static_cast<float>(raw >> 8 & 0xFF),
          static_cast<float>(raw & 0xFF)};
}

uint32_t RawOf(const Channels& c) {
  uint32_t raw = 0;
  for (float v : c) raw = raw << 8 | static_cast<uint32_t>(std::clamp(std::lround(v), 0L, 255L));
  return raw;
}

}  // namespace

Bitmap ScaleImage(const Bitmap& image, Size size) {
  if (image.Extent() == size) return image;
  if (image.Empty() || size.cx <= 0 || size.cy <= 0) return Bitmap();
  const Taps across = TapsFor(image.Width(), size.cx);
  const Taps down = TapsFor(image.Height(), size.cy);

  // Rows stretched to the new width, kept in floating point for the second pass.
  std::vector<Channels> wide(static_cast<size_t>(size.cx) * static_cast<size_t>(image.Height()));
  for (int32_t y = 0; y < image.Height(); ++y) {
    const uint32_t* row = image.Row(y);
    for (int32_t x = 0; x < size.cx; ++x) {
      Channels sum{};
      for (const Tap& tap : across[static_cast<size_t>(x)]) {
        const Channels c = ChannelsOf(row[tap.index]);
        for (size_t k = 0; k < 3; ++k) sum[k] += c[k] * tap.weight;
      }
      wide[static_cast<size_t>(y) * static_cast<size_t>(size.cx) + static_cast<size_t>(x)] = sum;
    }
  }

  Bitmap result(size.cx, size.cy);
  for (int32_t y = 0; y < size.cy; ++y) {
    uint32_t* out = result.Row(y);
    for (int32_t x = 0; x < size.cx; ++x) {
      Channels sum{};
      for (const Tap& tap : down[static_cast<size_t>(y)]) {
        const Channels& c =
            wide[static_cast<size_t>(tap.index) * static_cast<size_t>(size.cx) + static_cast<size_t>(x)];
        for (size_t k = 0; k < 3; ++k) sum[k] += c[k] * tap.weight;
      }
      out[x] = RawOf(sum);
    }
  }
  return result;
}

}  // namespace ui
