#include "terminal_cells.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace winplat::terminalscreen {

namespace {

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

int R(std::uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
int G(std::uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
int B(std::uint32_t c) { return static_cast<int>(c & 0xFF); }

// A perceptual weighting good enough to pick among palette entries.
long Distance(std::uint32_t a, std::uint32_t b) {
  long dr = R(a) - R(b), dg = G(a) - G(b), db = B(a) - B(b);
  return 2 * dr * dr + 4 * dg * dg + 3 * db * db;
}

// The 16 classic colours in terminal order (red is bit 0, green bit 1, blue bit 2).
std::uint32_t Classic(int i) {
  if (i == 7) return 0xC0C0C0;
  if (i == 8) return 0x808080;
  int level = i < 8 ? 0x80 : 0xFF;
  std::uint32_t r = (i & 1) ? level : 0, g = (i & 2) ? level : 0, b = (i & 4) ? level : 0;
  return (r << 16) | (g << 8) | b;
}

// Among a handful of far-apart colours a plain distance keeps greys grey.
long PlainDistance(std::uint32_t a, std::uint32_t b) {
  long dr = R(a) - R(b), dg = G(a) - G(b), db = B(a) - B(b);
  return dr * dr + dg * dg + db * db;
}

template <int N>
int NearestClassic(std::uint32_t rgb) {
  int best = 0;
  long bestD = LONG_MAX;
  for (int i = 0; i < N; ++i) {
    long d = PlainDistance(rgb, Classic(i));
    if (d < bestD) bestD = d, best = i;
  }
  return best;
}

constexpr int kCube[6] = {0, 95, 135, 175, 215, 255};

}  // namespace

Grid GridFor(const ScreenRect& w) {
  if (w.empty()) return {};
  // The cell nearest to the window's corner becomes the window's first cell.
  int col = FloorDiv(w.left + kCellW / 2, kCellW), row = FloorDiv(w.top + kCellH / 2, kCellH);
  return {w.left - col * kCellW, w.top - row * kCellH};
}

void ReadRow(const Frame& f, const Grid& g, int row, int cols, Cell* out) {
  std::fill(out, out + cols, Cell{});
  if (!f.pixels || f.width <= 0 || f.height <= 0) return;
  auto pixel = [&](int x, int y) {
    x = std::clamp(x, 0, f.width - 1);
    y = std::clamp(y, 0, f.height - 1);
    return f.pixels[static_cast<size_t>(y) * f.width + x] & 0xFFFFFFu;
  };
  for (int c = 0; c < cols; ++c) {
    int x = c * kCellW + g.dx, y = row * kCellH + g.dy;
    bool inside = x + kCellW > 0 && x < f.width && y + kCellH > 0 && y < f.height;
    out[c].bg = inside ? pixel(x + kCellW - 1, y + kCellH - 1) : 0;
    out[c].fg = out[c].bg;
  }
  if (!f.glyphChars || !f.glyphColors) return;
  int y0 = std::max(0, row * kCellH + g.dy), y1 = std::min(f.height, row * kCellH + g.dy + kCellH);
  if (y0 >= y1) return;
  // Glyph origins in this band of pixel rows, left to right.
  struct Origin { int x; std::uint32_t ch, color; };
  std::vector<Origin> origins;
  for (int y = y0; y < y1; ++y) {
    const std::uint32_t* chars = f.glyphChars + static_cast<size_t>(y) * f.width;
    for (int x = 0; x < f.width; ++x)
      if (chars[x]) origins.push_back({x, chars[x], f.glyphColors[static_cast<size_t>(y) * f.width + x]});
  }
  std::stable_sort(origins.begin(), origins.end(), [](const Origin& a, const Origin& b) { return a.x < b.x; });
  // Text pushed right by the narrower pitch keeps a gap wider than a block as a blank.
  int next = INT_MIN, prevX = INT_MIN / 2;
  for (const Origin& o : origins) {
    int c = std::max(FloorDiv(o.x - g.dx, kCellW), o.x - prevX > kCellW ? next + 1 : next);
    next = c + 1;
    prevX = o.x;
    if (c < 0 || c >= cols) continue;
    char32_t ch = o.ch < 0x20 || (o.ch >= 0x7F && o.ch < 0xA0) ? U' ' : static_cast<char32_t>(o.ch);
    out[c].ch = ch;
    out[c].fg = o.color & 0xFFFFFFu;
  }
}

int Nearest256(std::uint32_t rgb) {
  auto level = [](int v) {
    int best = 0;
    for (int i = 1; i < 6; ++i)
      if (std::abs(kCube[i] - v) < std::abs(kCube[best] - v)) best = i;
    return best;
  };
  int ri = level(R(rgb)), gi = level(G(rgb)), bi = level(B(rgb));
  int cube = 16 + 36 * ri + 6 * gi + bi;
  int grey = (R(rgb) + G(rgb) + B(rgb)) / 3;
  int gi2 = std::clamp((grey - 8 + 5) / 10, 0, 23);
  int ramp = 232 + gi2;
  return Distance(rgb, Rgb256(ramp)) < Distance(rgb, Rgb256(cube)) ? ramp : cube;
}

std::uint32_t Rgb256(int index) {
  if (index < 16) return Classic(std::max(index, 0));
  if (index >= 232) {
    std::uint32_t v = static_cast<std::uint32_t>(8 + 10 * (index - 232));
    return (v << 16) | (v << 8) | v;
  }
  int i = index - 16;
  return (static_cast<std::uint32_t>(kCube[i / 36]) << 16) | (static_cast<std::uint32_t>(kCube[(i / 6) % 6]) << 8) |
         static_cast<std::uint32_t>(kCube[i % 6]);
}

int Nearest16(std::uint32_t rgb) { return NearestClassic<16>(rgb); }
int Nearest8(std::uint32_t rgb) { return NearestClassic<8>(rgb); }

}  // namespace winplat::terminalscreen
