// The parts of the real screens that decide what the user sees and what a key means, checked
// without a display or a terminal: reading character blocks out of a frame, bringing colours
// down to a palette, and translating keys.
#include <gtest/gtest.h>

#include <curses.h>

#include <vector>

#include "platform/screens/screen_os.h"
#include "terminal_cells.h"
#include "terminal_keys.h"
#include "window_keys.h"

namespace {

using namespace winplat;
using namespace winplat::terminalscreen;
namespace vk = winplat::screenos;

// A frame of w x h pixels of one colour, with a text layer to write into.
struct TestFrame {
  int w, h;
  std::vector<std::uint32_t> pixels, chars, colors;
  TestFrame(int w_, int h_, std::uint32_t bg)
      : w(w_), h(h_), pixels(static_cast<size_t>(w_) * h_, bg), chars(pixels.size()), colors(pixels.size()) {}
  void Fill(int x, int y, int cw, int ch, std::uint32_t c) {
    for (int yy = y; yy < y + ch; ++yy)
      for (int xx = x; xx < x + cw; ++xx) pixels[static_cast<size_t>(yy) * w + xx] = c;
  }
  void Char(int x, int y, char32_t c, std::uint32_t color, std::uint32_t inkAt = 0, bool ink = false) {
    chars[static_cast<size_t>(y) * w + x] = c;
    colors[static_cast<size_t>(y) * w + x] = color;
    if (ink) pixels[static_cast<size_t>(y + 5) * w + x + 2] = inkAt;  // some ink inside the glyph
  }
  Frame frame(ScreenRect active) const {
    Frame f;
    f.width = w, f.height = h, f.pixels = pixels.data();
    f.glyphChars = chars.data(), f.glyphColors = colors.data();
    f.activeWindow = active;
    f.changed = {0, 0, w, h};
    return f;
  }
};

std::u32string Chars(const std::vector<Cell>& row) {
  std::u32string s;
  for (const Cell& c : row) s += c.ch;
  return s;
}

TEST(TerminalCells, BlocksOfAnAlignedWindowAreCellsWithTheirColours) {
  TestFrame t(40, 38, 0x000080);
  t.Fill(10, 19, 10, 19, 0xFFFF00);  // a highlighted cell
  t.Char(0, 0, U'A', 0xFFFFFF, 0xFFFFFF, true);
  t.Char(10, 19, U'b', 0x000080, 0x000080, true);
  t.Char(20, 19, 0xE8, 0xC0C0C0);  // a Latin-1 byte: the same code point
  Frame f = t.frame({0, 0, 40, 38});
  Grid g = GridFor(f.activeWindow);
  std::vector<Cell> row0(4), row1(4);
  ReadRow(f, g, 0, 4, row0.data());
  ReadRow(f, g, 1, 4, row1.data());
  EXPECT_EQ(Chars(row0), U"A   ");
  EXPECT_EQ(Chars(row1), U" b\u00E8 ");
  EXPECT_EQ(row0[0].fg, 0xFFFFFFu);
  EXPECT_EQ(row0[0].bg, 0x000080u) << "the background is taken where the glyph has no ink";
  EXPECT_EQ(row1[1].bg, 0xFFFF00u);
  EXPECT_EQ(row1[1].fg, 0x000080u);
  EXPECT_EQ(row1[0].bg, 0x000080u);
  EXPECT_EQ(row1[3].fg, row1[3].bg) << "a cell without text is blank in its background";
}

TEST(TerminalCells, AWindowOffTheBlockGridIsReadFromItsOwnCorner) {
  // A window centred on an odd number of columns starts half a block in.
  TestFrame t(45, 40, 0x008080);
  t.Fill(5, 9, 30, 19, 0x000080);
  t.Char(5, 9, U'x', 0xFFFFFF);
  t.Char(15, 9, U'y', 0xFFFFFF);
  t.Char(25, 9, U'z', 0xFFFFFF);
  Frame f = t.frame({5, 9, 35, 28});
  Grid g = GridFor(f.activeWindow);
  std::vector<Cell> row(4);
  ReadRow(f, g, CellRow(g, 9), 4, row.data());
  int first = CellCol(g, 5);
  EXPECT_EQ(row[static_cast<size_t>(first)].ch, U'x');
  EXPECT_EQ(row[static_cast<size_t>(first + 1)].ch, U'y');
  EXPECT_EQ(row[static_cast<size_t>(first + 2)].ch, U'z');
  EXPECT_EQ(row[static_cast<size_t>(first)].bg, 0x000080u);
  // The middle of a cell maps back into that cell.
  EXPECT_EQ(CellCol(g, CellCenterX(g, first + 1)), first + 1);
  EXPECT_EQ(CellRow(g, CellCenterY(g, 0)), 0);
}

TEST(TerminalCells, NarrowPitchTextKeepsEveryCharacterInOrder) {
  // A menu bar draws at 7 pixels a character, closer than a block: nothing may be lost.
  TestFrame t(100, 19, 0xC0C0C0);
  const char32_t* text = U"File ?";
  for (int i = 0; text[i]; ++i)
    if (text[i] != U' ') t.Char(7 + 7 * i, 2, text[i], 0x000000);
  Frame f = t.frame({0, 0, 100, 19});
  std::vector<Cell> row(10);
  ReadRow(f, GridFor(f.activeWindow), 0, 10, row.data());
  EXPECT_EQ(Chars(row), U"File ?    ");
}

TEST(TerminalCells, ControlCodesInTheTextLayerShowAsBlanks) {
  TestFrame t(20, 19, 0);
  t.Char(0, 0, 0x07, 0xFFFFFF);
  t.Char(10, 0, 0x85, 0xFFFFFF);
  Frame f = t.frame({0, 0, 20, 19});
  std::vector<Cell> row(2);
  ReadRow(f, GridFor(f.activeWindow), 0, 2, row.data());
  EXPECT_EQ(Chars(row), U"  ");
}

TEST(TerminalColours, ReductionKeepsTheColourThePaletteHas) {
  struct Case { std::uint32_t rgb; int i256, i16, i8; } cases[] = {
      {0x000000, 16, 0, 0},   {0xFFFFFF, 231, 15, 7},  {0x000080, 18, 4, 4},   {0xFFFF00, 226, 11, 3},
      {0x808080, 244, 8, 7},  {0xC0C0C0, 250, 7, 7},   {0x800000, 88, 1, 1},   {0x008080, 30, 6, 6},
      {0x00FF00, 46, 10, 2},  {0x121212, 233, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rgb);
    EXPECT_EQ(Nearest256(c.rgb), c.i256);
    EXPECT_EQ(Nearest16(c.rgb), c.i16);
    EXPECT_EQ(Nearest8(c.rgb), c.i8);
  }
  // Every palette colour comes back as itself.
  for (int i = 16; i < 256; ++i) EXPECT_EQ(Rgb256(Nearest256(Rgb256(i))), Rgb256(i)) << i;
}

TEST(TerminalKeys, InputItemsBecomeKeyPresses) {
  using K = KeyEvent;
  struct Case { const char* what; bool keyCode; unsigned code; bool alt; std::vector<K> keys; } cases[] = {
      {"Down", true, KEY_DOWN, false, {{vk::kDown, true, 0}, {vk::kDown, false, 0}}},
      {"F10", true, static_cast<unsigned>(KEY_F(10)), false, {{vk::kF1 + 9, true, 0}, {vk::kF1 + 9, false, 0}}},
      {"Enter", false, '\r', false, {{vk::kReturn, true, 13}, {vk::kReturn, false, 0}}},
      {"keypad Enter", true, KEY_ENTER, false, {{vk::kReturn, true, 13}, {vk::kReturn, false, 0}}},
      {"Esc", false, 27, false, {{vk::kEscape, true, 27}, {vk::kEscape, false, 0}}},
      {"Backspace", false, 127, false, {{vk::kBack, true, 8}, {vk::kBack, false, 0}}},
      {"a", false, 'a', false, {{'A', true, L'a'}, {'A', false, 0}}},
      {"A", false, 'A', false, {{vk::kShift, true, 0}, {'A', true, L'A'}, {'A', false, 0}, {vk::kShift, false, 0}}},
      {"Alt+f", false, 'f', true, {{vk::kMenu, true, 0}, {'F', true, L'f'}, {'F', false, 0}, {vk::kMenu, false, 0}}},
      {"Ctrl+Q", false, 17, false, {{vk::kControl, true, 0}, {'Q', true, 17}, {'Q', false, 0}, {vk::kControl, false, 0}}},
      {"Shift+Tab", true, KEY_BTAB, false, {{vk::kShift, true, 0}, {vk::kTab, true, 9}, {vk::kTab, false, 0}, {vk::kShift, false, 0}}},
      {"?", false, '?', false, {{vk::kShift, true, 0}, {vk::kOem2, true, L'?'}, {vk::kOem2, false, 0}, {vk::kShift, false, 0}}},
      {"3", false, '3', false, {{'3', true, L'3'}, {'3', false, 0}}},
      {"e grave", false, 0xE8, false, {{vk::kPacket, true, 0xE8}, {vk::kPacket, false, 0}}},
      {"beyond Latin-1", false, 0x20AC, false, {}},
      {"mouse is not a key", true, KEY_MOUSE, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(KeysFor(c.keyCode, c.code, c.alt), c.keys);
  }
}

TEST(WindowKeys, KeysHaveTheirCodesOnEveryLayout) {
  using windowscreen::VkFromSdl;
  struct Case { const char* what; SDL_Keycode sym; SDL_Scancode sc; bool numLock; unsigned vk; } cases[] = {
      {"a on a reference layout", SDLK_a, SDL_SCANCODE_A, false, 'A'},
      {"q typed where a is on the reference layout (AZERTY)", SDLK_q, SDL_SCANCODE_A, false, 'Q'},
      {"z typed where y is (QWERTZ)", SDLK_z, SDL_SCANCODE_Y, false, 'Z'},
      {"a Cyrillic letter falls back to the key's place", 0x444, SDL_SCANCODE_A, false, 'A'},
      {"e grave on an Italian layout falls back to the key's place", 0xE8, SDL_SCANCODE_LEFTBRACKET, false, vk::kOem4},
      {"Down", SDLK_DOWN, SDL_SCANCODE_DOWN, false, vk::kDown},
      {"Escape", SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, false, vk::kEscape},
      {"Return", SDLK_RETURN, SDL_SCANCODE_RETURN, false, vk::kReturn},
      {"keypad Enter", SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, false, vk::kReturn},
      {"F10", SDLK_F10, SDL_SCANCODE_F10, false, vk::kF1 + 9},
      {"left Alt", SDLK_LALT, SDL_SCANCODE_LALT, false, vk::kMenu},
      {"right Shift", SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, false, vk::kShift},
      {"keypad 2 with Num Lock", SDLK_KP_2, SDL_SCANCODE_KP_2, true, vk::kNumpad0 + 2},
      {"keypad 2 without Num Lock", SDLK_KP_2, SDL_SCANCODE_KP_2, false, vk::kDown},
      {"digit 1", SDLK_1, SDL_SCANCODE_1, false, '1'},
      {"comma", SDLK_COMMA, SDL_SCANCODE_COMMA, false, vk::kOemComma},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(VkFromSdl(c.sym, c.sc, c.numLock), c.vk);
  }
  EXPECT_EQ(windowscreen::ControlCharFor(vk::kEscape, 0), 27);
  EXPECT_EQ(windowscreen::ControlCharFor('C', KMOD_LCTRL), 3);
  EXPECT_EQ(windowscreen::ControlCharFor('C', KMOD_LCTRL | KMOD_LALT), 0) << "AltGr types text, no control code";
  EXPECT_EQ(windowscreen::ControlCharFor(vk::kDown, 0), 0);
}

TEST(ScreenText, CaptionsAndAddressesSurviveUtf8) {
  const std::wstring caption = L"Zerlo01 \u00E8 \u20AC";
  EXPECT_EQ(screenos::ToUtf8(caption), "Zerlo01 \xC3\xA8 \xE2\x82\xAC");
  EXPECT_EQ(screenos::FromUtf8("\xC3\xA8z\xFF"), U"\u00E8z\uFFFD");
}

}  // namespace
