// The terminal screen's picture model: the composed frame read as a grid of character blocks
// (one block of 10x19 pixels per terminal cell), and colours brought down to what the
// terminal can show. No terminal I/O here.
#pragma once

#include <cstdint>
#include <vector>

#include "../screen.h"

namespace winplat::terminalscreen {

inline constexpr int kCellW = 10;  // a console cell: average width 7 + 3
inline constexpr int kCellH = 19;  // default font height 16 + 3

struct Cell {
  char32_t ch = U' ';
  std::uint32_t fg = 0, bg = 0;  // 0x00RRGGBB
  bool operator==(const Cell&) const = default;
};

// Where terminal cell (0, 0) lies in the frame: cell (c, r) is the block whose top-left pixel
// is (c*kCellW + dx, r*kCellH + dy). The grid is anchored on the foreground window, so a
// window that is not placed on a multiple of the block size still maps cell for cell.
struct Grid {
  int dx = 0, dy = 0;
};
Grid GridFor(const ScreenRect& activeWindow);

// Reads the cells of terminal row `row` from the frame into `out` (cols cells): each
// character from the text layer, its text colour from the layer, its background from the
// block's bottom-right pixel (where no glyph has ink). Text drawn at a narrower pitch than
// a block (a menu bar) keeps its order: each character takes the next free cell.
void ReadRow(const Frame& frame, const Grid& grid, int row, int cols, Cell* out);

// The cell that holds pixel (x, y), and the pixel in the middle of a cell.
inline int CellCol(const Grid& g, int x) { return (x - g.dx) >= 0 ? (x - g.dx) / kCellW : -1 - (g.dx - x - 1) / kCellW; }
inline int CellRow(const Grid& g, int y) { return (y - g.dy) >= 0 ? (y - g.dy) / kCellH : -1 - (g.dy - y - 1) / kCellH; }
inline int CellCenterX(const Grid& g, int col) { return col * kCellW + g.dx + kCellW / 2; }
inline int CellCenterY(const Grid& g, int row) { return row * kCellH + g.dy + kCellH / 2; }

// Colour reduction. Palette indices as terminals number them.
int Nearest256(std::uint32_t rgb);  // the 6x6x6 cube and the grey ramp (16..255)
int Nearest16(std::uint32_t rgb);   // 0..15: black, red, green, yellow, blue, magenta, cyan, white, then bright
int Nearest8(std::uint32_t rgb);    // 0..7
std::uint32_t Rgb256(int index);    // the colour of a palette index 16..255

}  // namespace winplat::terminalscreen
