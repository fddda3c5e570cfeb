// Contracts between the parts of the window system core (windows and messages, GDI raster,
// menus). Nothing outside platform/ includes this header.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace winplat {

// ---- Handles (core/handles.cpp) ----------------------------------------------------------
// Every native object gets a fresh, never reused, non-zero handle value, so a stale or
// foreign handle is simply not found and the call fails quietly.
std::uintptr_t NewHandleValue();

// ---- Pixel surfaces (owned by the GDI part) ---------------------------------------------
// 32-bit pixels 0x00RRGGBB, row-major. A new surface is black (all bits zero).
struct Surface {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  // Text layer, beside the pixels, for screens that show characters (the terminal): where text
  // output put the top-left corner of a character cell, that character (0: none) and its text
  // colour. Fills clear it, copies carry it, text output writes it.
  std::vector<std::uint32_t> glyphChars;
  std::vector<std::uint32_t> glyphColors;
  void Resize(int w, int h);  // keeps nothing; the result is black, without text
  bool HasTextLayer() const { return glyphChars.size() == pixels.size() && glyphColors.size() == pixels.size(); }
  // Clears the text layer in r (surface coordinates, inside the surface).
  void ClearText(int left, int top, int right, int bottom);
};

// ---- Window drawing targets (implemented by the windows part) ---------------------------
// Where a device context of a window draws: the window's backing surface, the position of
// the client area's origin in that surface, and the rectangle (surface coordinates) that
// drawing is clipped to. A window surface covers the whole window (non-client area included).
struct WindowTarget {
  Surface* surface = nullptr;
  POINT origin{0, 0};
  RECT clip{0, 0, 0, 0};
};
// client=true: the client area (clipped to it); false: the whole window (non-client too).
bool GetWindowTarget(HWND hwnd, bool client, WindowTarget* out);
// Drawing reached the window's surface in this rectangle (surface coordinates): the next
// present shows it.
void SurfaceChanged(HWND hwnd, const RECT& surfaceRect);

// ---- Window device contexts (implemented by the GDI part) -------------------------------
// A DC that draws into a window. clip (client coordinates) further limits drawing, e.g. to
// the update region handed out by BeginPaint; null means the whole client area.
HDC CreateWindowDC(HWND hwnd, bool client, const RECT* clip);
void DestroyWindowDC(HDC hdc);

// ---- Menus (implemented by the menu part, called by the windows part) --------------------
// Height of the menu bar row that a window with this menu attached has above its client
// area (0 without a menu). SetMenu changes it and then calls SetWindowPos(hwnd, ...,
// SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED), so the windows
// part recomputes the client area there (WM_NCCALCSIZE); the window rectangle stays.
int MenuBarHeight(HWND hwnd);
// Paint the menu bar of hwnd into its non-client area.
void PaintMenuBar(HWND hwnd);
// Keyboard input for the top-level window `top` (the focus window's top-level window).
// Returns true when the menu system consumed the event (the window must not see it).
bool MenuKeyEvent(HWND top, unsigned vk, bool down);
// Mouse input at screen pixel (x, y); returns true when consumed by the menu system.
bool MenuMouseEvent(int x, int y, int button, bool down);
// Draw open drop-down menus over the composed desktop frame (pixels 0x00RRGGBB).
void ComposeMenus(Surface& desktop);
// A window is going away: forget menu state that refers to it.
void MenuWindowDestroyed(HWND hwnd);
// Menu mode is active: a bar item is highlighted or a drop-down menu is open.
bool IsMenuOpen();

}  // namespace winplat
