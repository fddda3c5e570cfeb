// Menus: menu objects and their items, the menu bar of a window, and the menu mode (which bar
// item is highlighted, which drop-down menus are open) that keyboard and mouse drive.
//
// The bar is drawn into the window's non-client row; open drop-down menus are drawn over the
// composed desktop frame, so every screen shows them the same way.
#include "internal.h"
#include "screen.h"

#include <algorithm>
#include <cwctype>
#include <string>
#include <unordered_map>
#include <vector>

namespace winplat {
namespace {

// ---- Model --------------------------------------------------------------------------------

// The flags an item keeps; the rest of what AppendMenuW is given only selects the operation.
constexpr UINT kItemFlagMask = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_SEPARATOR |
                               MF_MENUBARBREAK | MF_MENUBREAK | MF_DEFAULT | MF_RIGHTJUSTIFY |
                               MF_OWNERDRAW | MF_BITMAP | MF_USECHECKBITMAPS;

struct MenuItem {
  UINT flags = 0;     // kItemFlagMask bits
  UINT_PTR id = 0;    // command identifier; for MF_POPUP the sub-menu handle
  std::wstring text;  // as given: "&" marks the mnemonic, "\t" starts the shortcut hint

  bool IsPopup() const { return (flags & MF_POPUP) != 0; }
  bool IsSeparator() const { return (flags & MF_SEPARATOR) != 0; }
  bool IsEnabled() const { return (flags & (MF_GRAYED | MF_DISABLED)) == 0; }
  HMENU Sub() const { return IsPopup() ? reinterpret_cast<HMENU>(id) : nullptr; }
};

struct MenuObject {
  bool popup = false;
  std::vector<MenuItem> items;
};

struct Registry {
  std::unordered_map<std::uintptr_t, MenuObject> menus;
  std::unordered_map<HWND, HMENU> windowMenus;  // the bar attached to each window
};

Registry& Reg() {
  static Registry registry;
  return registry;
}

MenuObject* Find(HMENU h) {
  if (!h) return nullptr;
  auto it = Reg().menus.find(reinterpret_cast<std::uintptr_t>(h));
  return it == Reg().menus.end() ? nullptr : &it->second;
}

HMENU NewMenu(bool popup) {
  std::uintptr_t value = NewHandleValue();
  Reg().menus[value].popup = popup;
  return reinterpret_cast<HMENU>(value);
}

// Whether `inner` is `outer` or is reachable through its sub-menus.
bool Contains(HMENU outer, HMENU inner) {
  if (outer == inner) return true;
  const MenuObject* m = Find(outer);
  if (!m) return false;
  for (const MenuItem& item : m->items)
    if (item.IsPopup() && Contains(item.Sub(), inner)) return true;
  return false;
}

// An item by position, or by command identifier searched through the sub-menus depth first.
struct ItemRef {
  HMENU menu = nullptr;
  int index = -1;
  MenuItem* item = nullptr;
};

ItemRef FindItemByCommand(HMENU h, UINT id, int depth) {
  MenuObject* m = Find(h);
  if (!m || depth > 32) return {};
  for (int i = 0; i < static_cast<int>(m->items.size()); ++i) {
    MenuItem& item = m->items[i];
    if (item.IsPopup()) {
      ItemRef inner = FindItemByCommand(item.Sub(), id, depth + 1);
      if (inner.item) return inner;
    }
    if (static_cast<UINT>(item.id) == id) return {h, i, &item};
  }
  return {};
}

ItemRef FindItem(HMENU h, UINT which, UINT flags) {
  if (flags & MF_BYPOSITION) {
    MenuObject* m = Find(h);
    if (!m || which >= m->items.size()) return {};
    return {h, static_cast<int>(which), &m->items[which]};
  }
  return FindItemByCommand(h, which, 0);
}

// ---- Captions ------------------------------------------------------------------------------

struct Caption {
  std::wstring label;  // "&" markers removed, "&&" made one "&"
  int mnemonicAt = -1; // index in label of the underlined letter
  std::wstring hint;   // what follows the tab, shown right-aligned
};

Caption ParseCaption(const std::wstring& text) {
  Caption c;
  std::wstring::size_type tab = text.find(L'\t');
  std::wstring head = text.substr(0, tab);
  if (tab != std::wstring::npos) c.hint = text.substr(tab + 1);
  for (std::size_t i = 0; i < head.size(); ++i) {
    if (head[i] == L'&' && i + 1 < head.size()) {
      ++i;
      if (head[i] != L'&' && c.mnemonicAt < 0) c.mnemonicAt = static_cast<int>(c.label.size());
    }
    c.label += head[i];
  }
  return c;
}

wchar_t Mnemonic(const MenuItem& item) {
  if (item.IsSeparator()) return 0;
  Caption c = ParseCaption(item.text);
  return c.mnemonicAt < 0 ? 0 : static_cast<wchar_t>(std::towupper(c.label[c.mnemonicAt]));
}

// ---- Colours and metrics -------------------------------------------------------------------

// The system colours of menus.
COLORREF MenuBack() { return GetSysColor(COLOR_MENU); }
COLORREF MenuText() { return GetSysColor(COLOR_MENUTEXT); }
COLORREF HighlightBack() { return GetSysColor(COLOR_HIGHLIGHT); }
COLORREF HighlightText() { return GetSysColor(COLOR_HIGHLIGHTTEXT); }
COLORREF GrayText() { return GetSysColor(COLOR_GRAYTEXT); }
COLORREF Shadow() { return GetSysColor(COLOR_BTNSHADOW); }
COLORREF Light() { return GetSysColor(COLOR_BTNHIGHLIGHT); }
COLORREF Frame() { return GetSysColor(COLOR_3DDKSHADOW); }

struct Metrics {
  int fontHeight = 16;
  int avgWidth = 7;
  int ascent = 13;
  int barHeight() const { return fontHeight + 3; }
  int barPad() const { return avgWidth; }
  int border() const { return 2; }
  int itemHeight() const { return fontHeight + 4; }
  int separatorHeight() const { return 7; }
  int checkColumn() const { return 2 * avgWidth + 2; }
  int hintGap() const { return 3 * avgWidth; }
  int rightPad() const { return 2 * avgWidth; }
};

Metrics BaseMetrics() {
  Metrics m;
  DefaultFontMetrics f = CurrentScreen().DefaultFont();
  m.fontHeight = f.height > 0 ? f.height : 16;
  m.avgWidth = f.averageWidth > 0 ? f.averageWidth : 7;
  m.ascent = m.fontHeight * 13 / 16;
  return m;
}

// Text measurement through a device context of the window, with the font metrics as a
// fallback when there is none.
class Measure {
 public:
  explicit Measure(HWND hwnd) : metrics_(BaseMetrics()) {
    // A screen that shows characters gives each one a cell: menu texts are laid out at the
    // cell pitch there, so that every character lands in a cell of its own.
    if (CurrentScreen().ShowsText()) pitch_ = CurrentScreen().DefaultFont().averageWidth + 3;
    if (hwnd) dc_ = CreateWindowDC(hwnd, false, nullptr);
    TEXTMETRICW tm{};
    if (dc_ && GetTextMetricsW(dc_, &tm) && tm.tmHeight > 0) metrics_.ascent = tm.tmAscent;
  }
  ~Measure() {
    if (dc_) DestroyWindowDC(dc_);
  }
  Measure(const Measure&) = delete;
  Measure& operator=(const Measure&) = delete;

  int Width(const std::wstring& s, std::size_t count = std::wstring::npos) const {
    count = std::min(count, s.size());
    if (count == 0) return 0;
    if (pitch_ > 0) return static_cast<int>(count) * pitch_;
    SIZE size{0, 0};
    if (dc_ && GetTextExtentPoint32W(dc_, s.c_str(), static_cast<int>(count), &size) && size.cx > 0)
      return size.cx;
    return static_cast<int>(count) * metrics_.avgWidth;
  }
  const Metrics& metrics() const { return metrics_; }
  HDC dc() const { return dc_; }
  bool CellPitch() const { return pitch_ > 0; }
  // Draws text at (x, y) with the advances that Width measures.
  void Text(HDC dc, int x, int y, const std::wstring& s) const {
    if (s.empty()) return;
    std::vector<INT> advances;
    if (pitch_ > 0) advances.assign(s.size(), pitch_);
    ExtTextOutW(dc, x, y, 0, nullptr, s.c_str(), static_cast<UINT>(s.size()),
                advances.empty() ? nullptr : advances.data());
  }

 private:
  int pitch_ = 0;
  Metrics metrics_;
  HDC dc_ = nullptr;
};

// ---- Menu mode -----------------------------------------------------------------------------

// A character of an open menu for screens that show characters: its cell's top-left corner
// (menu coordinates) and its colour.
struct MenuGlyph {
  int x = 0, y = 0;
  wchar_t ch = 0;
  COLORREF color = 0;
};

struct OpenLevel {
  HMENU menu = nullptr;
  int hot = -1;                  // highlighted item, -1 none
  RECT rect{0, 0, 0, 0};         // screen rectangle
  std::vector<RECT> itemRects;   // screen rectangles of the items
  bool dirty = true;             // the cached picture must be drawn again
  std::vector<std::uint32_t> picture;
  std::vector<MenuGlyph> glyphs;
};

struct MenuMode {
  HWND wnd = nullptr;            // window whose bar is in menu mode; null: none
  int barHot = -1;               // highlighted bar item
  std::vector<OpenLevel> open;   // open drop-down menus, outermost first
  bool altDown = false;
  bool altTap = false;           // Alt went down and nothing else happened since
  bool shiftDown = false;
  bool swallowMouseUp = false;   // the press went to the menu system; so does its release
  int pressedBarCommand = -1;    // a command item of the bar pressed with the mouse
};

MenuMode& Mode() {
  static MenuMode mode;
  return mode;
}

bool Active() { return Mode().wnd != nullptr; }

HMENU BarOf(HWND hwnd) {
  auto it = Reg().windowMenus.find(hwnd);
  return it == Reg().windowMenus.end() ? nullptr : it->second;
}

// Bar item rectangles in window coordinates (the bar is the window's top row).
std::vector<RECT> BarItemRects(HWND hwnd, const Measure& measure) {
  std::vector<RECT> rects;
  const MenuObject* bar = Find(BarOf(hwnd));
  if (!bar) return rects;
  const Metrics& m = measure.metrics();
  int x = 0;
  for (const MenuItem& item : bar->items) {
    int w = item.IsSeparator() ? m.avgWidth : measure.Width(ParseCaption(item.text).label) + 2 * m.barPad();
    rects.push_back(RECT{x, 0, x + w, m.barHeight()});
    x += w;
  }
  return rects;
}

RECT WindowRectOf(HWND hwnd) {
  RECT r{0, 0, 0, 0};
  GetWindowRect(hwnd, &r);
  return r;
}

RECT Offset(RECT r, int dx, int dy) { return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }
bool Inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// The desktop must show a rectangle (screen coordinates) again.
void OverlayChanged(const RECT& screenRect) {
  HWND w = Mode().wnd;
  if (!w) return;
  RECT wr = WindowRectOf(w);
  SurfaceChanged(w, Offset(screenRect, -wr.left, -wr.top));
}

// Places a drop-down menu and its items on the screen.
void LayoutLevel(OpenLevel& level, POINT anchor, const RECT& avoid, bool cascade) {
  level.itemRects.clear();
  const MenuObject* menu = Find(level.menu);
  Measure measure(Mode().wnd);
  const Metrics& m = measure.metrics();
  int labelW = 0, hintW = 0, height = 2 * m.border();
  if (menu) {
    for (const MenuItem& item : menu->items) {
      Caption c = ParseCaption(item.text);
      labelW = std::max(labelW, measure.Width(c.label) + (item.IsPopup() ? m.avgWidth * 2 : 0));
      hintW = std::max(hintW, measure.Width(c.hint));
      height += item.IsSeparator() ? m.separatorHeight() : m.itemHeight();
    }
  }
  int width = 2 * m.border() + m.checkColumn() + labelW + (hintW ? m.hintGap() + hintW : 0) + m.rightPad();
  int screenW = CurrentScreen().Width(), screenH = CurrentScreen().Height();
  int left = anchor.x, top = anchor.y;
  if (left + width > screenW) left = cascade ? avoid.left - width : screenW - width;
  if (top + height > screenH) top = cascade ? screenH - height : avoid.top - height;
  left = std::max(left, 0);
  top = std::max(top, 0);
  level.rect = RECT{left, top, left + width, top + height};
  int y = top + m.border();
  if (menu) {
    for (const MenuItem& item : menu->items) {
      int h = item.IsSeparator() ? m.separatorHeight() : m.itemHeight();
      level.itemRects.push_back(RECT{left + m.border(), y, left + width - m.border(), y + h});
      y += h;
    }
  }
  level.dirty = true;
}

void RepaintBar() {
  if (Mode().wnd) PaintMenuBar(Mode().wnd);
}

bool Selectable(const MenuItem& item) { return !item.IsSeparator() && item.IsEnabled(); }

// The next selectable item from `from` in direction `step`, wrapping; -1 when there is none.
int NextSelectable(HMENU h, int from, int step) {
  const MenuObject* m = Find(h);
  if (!m || m->items.empty()) return -1;
  int n = static_cast<int>(m->items.size());
  int i = from;
  for (int k = 0; k < n; ++k) {
    i = from < 0 && k == 0 ? (step > 0 ? 0 : n - 1) : ((i + step) % n + n) % n;
    if (Selectable(m->items[i])) return i;
  }
  return -1;
}

void CloseLevelsFrom(std::size_t depth) {
  MenuMode& mode = Mode();
  while (mode.open.size() > depth) {
    RECT r = mode.open.back().rect;
    mode.open.pop_back();
    OverlayChanged(r);
  }
}

void LeaveMenuMode() {
  MenuMode& mode = Mode();
  if (!mode.wnd) return;
  CloseLevelsFrom(0);
  HWND w = mode.wnd;
  mode.wnd = nullptr;
  mode.barHot = -1;
  mode.pressedBarCommand = -1;
  if (IsWindow(w)) PaintMenuBar(w);
}

void Choose(UINT_PTR id) {
  HWND w = Mode().wnd;
  LeaveMenuMode();
  if (w) PostMessageW(w, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
}

// Opens the sub-menu of item `index` of the innermost open level (or of the bar when none).
void OpenSubMenu(HMENU sub, bool selectFirst) {
  MenuMode& mode = Mode();
  OpenLevel level;
  level.menu = sub;
  if (mode.open.empty()) {
    Measure measure(mode.wnd);
    std::vector<RECT> bar = BarItemRects(mode.wnd, measure);
    RECT wr = WindowRectOf(mode.wnd);
    RECT item = mode.barHot >= 0 && mode.barHot < static_cast<int>(bar.size())
                    ? Offset(bar[mode.barHot], wr.left, wr.top)
                    : RECT{wr.left, wr.top, wr.left, wr.top + measure.metrics().barHeight()};
    LayoutLevel(level, POINT{item.left, item.bottom}, item, false);
  } else {
    OpenLevel& parent = mode.open.back();
    RECT item = parent.itemRects[parent.hot];
    LayoutLevel(level, POINT{parent.rect.right - 3, item.top - 2}, parent.rect, true);
  }
  level.hot = selectFirst ? NextSelectable(sub, -1, 1) : -1;
  mode.open.push_back(std::move(level));
  OverlayChanged(mode.open.back().rect);
}

// Enters menu mode on `hwnd` with bar item `index` highlighted, its menu closed.
void EnterBar(HWND hwnd, int index) {
  MenuMode& mode = Mode();
  if (mode.wnd && mode.wnd != hwnd) LeaveMenuMode();
  CloseLevelsFrom(0);
  mode.wnd = hwnd;
  mode.barHot = index;
  RepaintBar();
}

const MenuItem* BarItem(int index) {
  const MenuObject* bar = Find(BarOf(Mode().wnd));
  if (!bar || index < 0 || index >= static_cast<int>(bar->items.size())) return nullptr;
  return &bar->items[index];
}

// Highlights bar item `index` and opens its menu; a command item of the bar is chosen instead
// when `chooseCommand` is set.
void OpenBarItem(HWND hwnd, int index, bool selectFirst, bool chooseCommand) {
  EnterBar(hwnd, index);
  const MenuItem* item = BarItem(index);
  if (!item || !item->IsEnabled() || item->IsSeparator()) return;
  if (item->IsPopup()) {
    OpenSubMenu(item->Sub(), selectFirst);
  } else if (chooseCommand) {
    Choose(item->id);
  }
}

void SetHot(std::size_t depth, int hot) {
  MenuMode& mode = Mode();
  if (depth >= mode.open.size() || mode.open[depth].hot == hot) return;
  mode.open[depth].hot = hot;
  mode.open[depth].dirty = true;
  OverlayChanged(mode.open[depth].rect);
}

int BarCount() {
  const MenuObject* bar = Find(BarOf(Mode().wnd));
  return bar ? static_cast<int>(bar->items.size()) : 0;
}

void MoveToBarNeighbour(int step, bool openIt) {
  MenuMode& mode = Mode();
  int n = BarCount();
  if (n == 0) return;
  int next = ((mode.barHot + step) % n + n) % n;
  if (openIt) {
    OpenBarItem(mode.wnd, next, true, false);
  } else {
    EnterBar(mode.wnd, next);
  }
}

// ---- Keyboard -----------------------------------------------------------------------------

constexpr unsigned kVkReturn = 0x0D, kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12,
                   kVkEscape = 0x1B, kVkEnd = 0x23, kVkHome = 0x24, kVkLeft = 0x25, kVkUp = 0x26,
                   kVkRight = 0x27, kVkDown = 0x28, kVkF10 = 0x79, kVkLShift = 0xA0,
                   kVkRShift = 0xA1, kVkLControl = 0xA2, kVkRControl = 0xA3, kVkLMenu = 0xA4,
                   kVkRMenu = 0xA5;

bool IsAlt(unsigned vk) { return vk == kVkMenu || vk == kVkLMenu || vk == kVkRMenu; }
bool IsShift(unsigned vk) { return vk == kVkShift || vk == kVkLShift || vk == kVkRShift; }
bool IsControl(unsigned vk) { return vk == kVkControl || vk == kVkLControl || vk == kVkRControl; }

// The character a key types on the common US layout, upper case; 0 for none.
wchar_t KeyChar(unsigned vk, bool shift) {
  if (vk >= 'A' && vk <= 'Z') return static_cast<wchar_t>(vk);
  if (vk >= '0' && vk <= '9') return shift ? L")!@#$%^&*("[vk - '0'] : static_cast<wchar_t>(vk);
  if (vk == 0x20) return L' ';
  struct Oem { unsigned vk; wchar_t plain, shifted; };
  static const Oem oem[] = {{0xBA, L';', L':'}, {0xBB, L'=', L'+'}, {0xBC, L',', L'<'},
                            {0xBD, L'-', L'_'}, {0xBE, L'.', L'>'}, {0xBF, L'/', L'?'},
                            {0xC0, L'`', L'~'}, {0xDB, L'[', L'{'}, {0xDC, L'\\', L'|'},
                            {0xDD, L']', L'}'}, {0xDE, L'\'', L'"'}};
  for (const Oem& o : oem)
    if (o.vk == vk) return shift ? o.shifted : o.plain;
  return 0;
}

// Items of a menu whose mnemonic is `ch`.
std::vector<int> MnemonicMatches(HMENU h, wchar_t ch) {
  std::vector<int> found;
  const MenuObject* m = Find(h);
  if (!m || !ch) return found;
  for (int i = 0; i < static_cast<int>(m->items.size()); ++i)
    if (Mnemonic(m->items[i]) == static_cast<wchar_t>(std::towupper(ch))) found.push_back(i);
  return found;
}

// Chooses item `index` of the innermost open level: a command posts WM_COMMAND, a sub-menu
// opens with its first item highlighted, a disabled item does nothing.
void ActivateItem(int index) {
  MenuMode& mode = Mode();
  OpenLevel& level = mode.open.back();
  const MenuObject* m = Find(level.menu);
  if (!m || index < 0 || index >= static_cast<int>(m->items.size())) return;
  const MenuItem item = m->items[index];
  if (!Selectable(item)) return;
  if (item.IsPopup()) {
    SetHot(mode.open.size() - 1, index);
    CloseLevelsFrom(mode.open.size());
    OpenSubMenu(item.Sub(), true);
  } else {
    Choose(item.id);
  }
}

void KeyInBar(unsigned vk) {
  MenuMode& mode = Mode();
  switch (vk) {
    case kVkLeft: MoveToBarNeighbour(-1, false); return;
    case kVkRight: MoveToBarNeighbour(1, false); return;
    case kVkDown:
    case kVkUp:
    case kVkReturn: OpenBarItem(mode.wnd, mode.barHot, true, true); return;
    case kVkEscape: LeaveMenuMode(); return;
    default: break;
  }
  std::vector<int> found = MnemonicMatches(BarOf(mode.wnd), KeyChar(vk, mode.shiftDown));
  if (!found.empty()) OpenBarItem(mode.wnd, found.front(), true, true);
}

void KeyInMenu(unsigned vk) {
  MenuMode& mode = Mode();
  std::size_t depth = mode.open.size() - 1;
  OpenLevel& level = mode.open.back();
  const MenuObject* m = Find(level.menu);
  switch (vk) {
    case kVkUp:
    case kVkDown: {
      int next = NextSelectable(level.menu, level.hot, vk == kVkDown ? 1 : -1);
      if (next >= 0) SetHot(depth, next);
      return;
    }
    case kVkHome: {
      int next = NextSelectable(level.menu, -1, 1);
      if (next >= 0) SetHot(depth, next);
      return;
    }
    case kVkEnd: {
      int next = NextSelectable(level.menu, -1, -1);
      if (next >= 0) SetHot(depth, next);
      return;
    }
    case kVkRight:
      if (m && level.hot >= 0 && m->items[level.hot].IsPopup() && Selectable(m->items[level.hot])) {
        ActivateItem(level.hot);
      } else {
        MoveToBarNeighbour(1, true);
      }
      return;
    case kVkLeft:
      if (depth > 0) {
        CloseLevelsFrom(depth);
      } else {
        MoveToBarNeighbour(-1, true);
      }
      return;
    case kVkReturn:
      if (level.hot >= 0) ActivateItem(level.hot);
      return;
    case kVkEscape:
      CloseLevelsFrom(depth);
      RepaintBar();
      return;
    default: break;
  }
  std::vector<int> found = MnemonicMatches(level.menu, KeyChar(vk, mode.shiftDown));
  if (found.size() == 1) {
    SetHot(depth, found.front());
    ActivateItem(found.front());
  } else if (found.size() > 1) {
    // Several items share the letter: each press moves to the next of them.
    auto after = std::upper_bound(found.begin(), found.end(), level.hot);
    SetHot(depth, after == found.end() ? found.front() : *after);
  }
}

// ---- Mouse --------------------------------------------------------------------------------

struct Hit {
  enum Kind { kNothing, kLevel, kBar } kind = kNothing;
  std::size_t depth = 0;  // kLevel
  HWND wnd = nullptr;     // kBar
  int item = -1;          // item under the pointer, -1 none
};

bool BarRowHit(HWND w, int x, int y, Hit* hit) {
  if (!BarOf(w) || !IsWindow(w) || !IsWindowVisible(w)) return false;
  RECT wr = WindowRectOf(w);
  Measure measure(w);
  RECT row{wr.left, wr.top, wr.right, wr.top + measure.metrics().barHeight()};
  if (!Inside(row, x, y)) return false;
  hit->kind = Hit::kBar;
  hit->wnd = w;
  std::vector<RECT> items = BarItemRects(w, measure);
  for (int i = 0; i < static_cast<int>(items.size()); ++i)
    if (Inside(Offset(items[i], wr.left, wr.top), x, y)) hit->item = i;
  return true;
}

Hit HitTest(int x, int y) {
  MenuMode& mode = Mode();
  Hit hit;
  for (std::size_t d = mode.open.size(); d-- > 0;) {
    const OpenLevel& level = mode.open[d];
    if (!Inside(level.rect, x, y)) continue;
    hit.kind = Hit::kLevel;
    hit.depth = d;
    for (int i = 0; i < static_cast<int>(level.itemRects.size()); ++i)
      if (Inside(level.itemRects[i], x, y)) hit.item = i;
    return hit;
  }
  if (mode.wnd && BarRowHit(mode.wnd, x, y, &hit)) return hit;
  // The foreground window is the one a click reaches first when bars overlap.
  HWND front = GetForegroundWindow();
  if (front && front != mode.wnd && BarRowHit(front, x, y, &hit)) return hit;
  for (const auto& [w, menu] : Reg().windowMenus)
    if (w != front && w != mode.wnd && BarRowHit(w, x, y, &hit)) return hit;
  return hit;
}

const MenuItem* LevelItem(std::size_t depth, int index) {
  MenuMode& mode = Mode();
  if (depth >= mode.open.size()) return nullptr;
  const MenuObject* m = Find(mode.open[depth].menu);
  if (!m || index < 0 || index >= static_cast<int>(m->items.size())) return nullptr;
  return &m->items[index];
}

// The pointer rests on item `index` of level `depth`: highlight it, close what was open below
// it and open its sub-menu.
void HoverItem(std::size_t depth, int index) {
  MenuMode& mode = Mode();
  const MenuItem* item = LevelItem(depth, index);
  if (item && item->IsSeparator()) index = -1;
  if (mode.open[depth].hot == index && mode.open.size() == depth + 1) return;
  CloseLevelsFrom(depth + 1);
  SetHot(depth, index);
  if (index >= 0 && item && item->IsPopup() && item->IsEnabled()) OpenSubMenu(item->Sub(), false);
}

bool MouseMove(int x, int y) {
  MenuMode& mode = Mode();
  if (!Active()) return false;
  Hit hit = HitTest(x, y);
  if (hit.kind == Hit::kLevel) {
    if (hit.item >= 0) HoverItem(hit.depth, hit.item);
  } else if (hit.kind == Hit::kBar && hit.wnd == mode.wnd && hit.item >= 0 && !mode.open.empty() &&
             hit.item != mode.barHot) {
    OpenBarItem(mode.wnd, hit.item, false, false);
  } else if (!mode.open.empty()) {
    // Off the menus: only the innermost menu loses its highlight, unless it opened a sub-menu.
    std::size_t last = mode.open.size() - 1;
    const MenuItem* item = LevelItem(last, mode.open[last].hot);
    if (!(item && item->IsPopup())) SetHot(last, -1);
  }
  return true;
}

bool MouseDown(int x, int y) {
  MenuMode& mode = Mode();
  Hit hit = HitTest(x, y);
  if (hit.kind == Hit::kLevel) {
    if (hit.item >= 0) HoverItem(hit.depth, hit.item);
    return true;
  }
  if (hit.kind == Hit::kBar) {
    mode.swallowMouseUp = true;
    if (hit.item < 0) {
      LeaveMenuMode();
      return true;
    }
    if (mode.wnd == hit.wnd && mode.barHot == hit.item && !mode.open.empty()) {
      LeaveMenuMode();  // a second click on the open menu's bar item closes it
      return true;
    }
    OpenBarItem(hit.wnd, hit.item, false, false);
    const MenuItem* item = BarItem(hit.item);
    mode.pressedBarCommand = item && !item->IsPopup() ? hit.item : -1;
    return true;
  }
  if (!Active()) return false;
  LeaveMenuMode();  // a click elsewhere closes the menus and goes nowhere else
  mode.swallowMouseUp = true;
  return true;
}

bool MouseUp(int x, int y) {
  MenuMode& mode = Mode();
  bool swallow = mode.swallowMouseUp;
  mode.swallowMouseUp = false;
  Hit hit = HitTest(x, y);
  if (hit.kind == Hit::kLevel) {
    const MenuItem* item = LevelItem(hit.depth, hit.item);
    if (item && Selectable(*item) && !item->IsPopup()) Choose(item->id);
    return true;
  }
  if (hit.kind == Hit::kBar && Active() && hit.wnd == mode.wnd && hit.item >= 0 &&
      hit.item == mode.pressedBarCommand) {
    const MenuItem* item = BarItem(hit.item);
    mode.pressedBarCommand = -1;
    if (item && Selectable(*item)) {
      Choose(item->id);
    } else {
      LeaveMenuMode();
    }
    return true;
  }
  return swallow || Active() || hit.kind == Hit::kBar;
}

// ---- Drawing ------------------------------------------------------------------------------

void Fill(HDC dc, const RECT& r, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

// Draws a caption's label at (x, y) with its mnemonic letter underlined.
// Records where each character of `text` lands, for screens that show characters.
void RecordGlyphs(std::vector<MenuGlyph>* glyphs, const Measure& measure, const std::wstring& text, int x, int y,
                  COLORREF color) {
  if (!glyphs) return;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] != L' ') glyphs->push_back(MenuGlyph{x + measure.Width(text, i), y, text[i], color});
}

void DrawLabel(HDC dc, const Measure& measure, const Caption& c, int x, int y, COLORREF color,
               std::vector<MenuGlyph>* glyphs = nullptr) {
  RecordGlyphs(glyphs, measure, c.label, x, y, color);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, color);
  measure.Text(dc, x, y, c.label);
  // A screen of character cells has no room for the underline inside a cell.
  if (c.mnemonicAt >= 0 && !measure.CellPitch()) {
    int from = x + measure.Width(c.label, c.mnemonicAt);
    int to = x + measure.Width(c.label, c.mnemonicAt + 1);
    int under = y + measure.metrics().ascent + 1;
    Fill(dc, RECT{from, under, std::max(to, from + 1), under + 1}, color);
  }
}

// A tick, 8 pixels wide and 7 high, with its top-left corner at (x, y).
void DrawCheck(HDC dc, int x, int y, COLORREF color) {
  static const char* const rows[] = {".......#", "......##", "#....###", "##..###.",
                                     "######..", ".####...", "..##...."};
  for (int r = 0; r < 7; ++r)
    for (int c = 0; c < 8; ++c)
      if (rows[r][c] == '#') SetPixel(dc, x + c, y + r, color);
}

// A small arrow pointing right, 4 pixels wide and 7 high.
void DrawArrow(HDC dc, int x, int y, COLORREF color) {
  for (int c = 0; c < 4; ++c) Fill(dc, RECT{x + c, y + c, x + c + 1, y + 7 - c}, color);
}

// Draws a drop-down menu into `dc` with its top-left corner at the origin.
void DrawLevel(HDC dc, const Measure& measure, const OpenLevel& level, std::vector<MenuGlyph>* glyphs) {
  const Metrics& m = measure.metrics();
  int w = level.rect.right - level.rect.left, h = level.rect.bottom - level.rect.top;
  Fill(dc, RECT{0, 0, w, h}, MenuBack());
  Fill(dc, RECT{0, 0, w, 1}, Light());
  Fill(dc, RECT{0, 0, 1, h}, Light());
  Fill(dc, RECT{0, h - 1, w, h}, Frame());
  Fill(dc, RECT{w - 1, 0, w, h}, Frame());
  const MenuObject* menu = Find(level.menu);
  if (!menu) return;
  for (int i = 0; i < static_cast<int>(menu->items.size()) && i < static_cast<int>(level.itemRects.size()); ++i) {
    const MenuItem& item = menu->items[i];
    RECT r = Offset(level.itemRects[i], -level.rect.left, -level.rect.top);
    if (item.IsSeparator()) {
      int mid = (r.top + r.bottom) / 2;
      Fill(dc, RECT{r.left + 1, mid - 1, r.right - 1, mid}, Shadow());
      Fill(dc, RECT{r.left + 1, mid, r.right - 1, mid + 1}, Light());
      continue;
    }
    bool hot = i == level.hot;
    COLORREF text = !item.IsEnabled() ? GrayText() : hot ? HighlightText() : MenuText();
    if (hot) Fill(dc, r, HighlightBack());
    int textY = r.top + (r.bottom - r.top - m.fontHeight) / 2;
    if (item.flags & MF_CHECKED)
      DrawCheck(dc, r.left + (m.checkColumn() - 8) / 2, r.top + (r.bottom - r.top - 7) / 2, text);
    Caption c = ParseCaption(item.text);
    DrawLabel(dc, measure, c, r.left + m.checkColumn(), textY, text, glyphs);
    if (!c.hint.empty()) {
      int hx = r.right - m.rightPad() - measure.Width(c.hint);
      SetTextColor(dc, text);
      RecordGlyphs(glyphs, measure, c.hint, hx, textY, text);
      measure.Text(dc, hx, textY, c.hint);
    }
    if (item.IsPopup()) DrawArrow(dc, r.right - m.avgWidth - 2, r.top + (r.bottom - r.top - 7) / 2, text);
  }
}

// A colour as a pixel of a surface (0x00RRGGBB).
std::uint32_t ToPixel(COLORREF c) {
  return (static_cast<std::uint32_t>(GetRValue(c)) << 16) | (static_cast<std::uint32_t>(GetGValue(c)) << 8) |
         GetBValue(c);
}

// Draws the picture of an open menu through GDI into a memory bitmap and keeps its pixels.
void RenderLevel(OpenLevel& level) {
  int w = level.rect.right - level.rect.left, h = level.rect.bottom - level.rect.top;
  level.picture.assign(static_cast<std::size_t>(std::max(w, 0)) * std::max(h, 0), ToPixel(MenuBack()));
  level.dirty = false;
  if (w <= 0 || h <= 0) return;
  Measure measure(Mode().wnd);
  if (!measure.dc()) return;
  HDC mem = CreateCompatibleDC(measure.dc());
  HBITMAP bitmap = CreateCompatibleBitmap(measure.dc(), w, h);
  if (!mem || !bitmap) {
    if (bitmap) DeleteObject(bitmap);
    if (mem) DeleteDC(mem);
    return;
  }
  HGDIOBJ oldBitmap = SelectObject(mem, bitmap);
  HGDIOBJ oldFont = SelectObject(mem, GetCurrentObject(measure.dc(), OBJ_FONT));
  level.glyphs.clear();
  DrawLevel(mem, measure, level, &level.glyphs);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      level.picture[static_cast<std::size_t>(y) * w + x] = ToPixel(GetPixel(mem, x, y));
    }
  }
  SelectObject(mem, oldFont);
  SelectObject(mem, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(mem);
}

}  // namespace

// ---- Contracts with the windows part ------------------------------------------------------

int MenuBarHeight(HWND hwnd) {
  if (!BarOf(hwnd)) return 0;
  return BaseMetrics().barHeight();
}

void PaintMenuBar(HWND hwnd) {
  if (!BarOf(hwnd)) return;
  Measure measure(hwnd);
  HDC dc = measure.dc();
  if (!dc) return;
  const Metrics& m = measure.metrics();
  RECT wr = WindowRectOf(hwnd);
  Fill(dc, RECT{0, 0, wr.right - wr.left, m.barHeight()}, MenuBack());
  const MenuObject* bar = Find(BarOf(hwnd));
  if (!bar) return;
  std::vector<RECT> rects = BarItemRects(hwnd, measure);
  const MenuMode& mode = Mode();
  for (int i = 0; i < static_cast<int>(bar->items.size()); ++i) {
    const MenuItem& item = bar->items[i];
    if (item.IsSeparator()) continue;
    bool hot = mode.wnd == hwnd && mode.barHot == i;
    COLORREF text = !item.IsEnabled() ? GrayText() : hot ? HighlightText() : MenuText();
    if (hot) Fill(dc, rects[i], HighlightBack());
    DrawLabel(dc, measure, ParseCaption(item.text), rects[i].left + m.barPad(),
              (m.barHeight() - m.fontHeight) / 2, text);
  }
}

bool MenuKeyEvent(HWND top, unsigned vk, bool down) {
  MenuMode& mode = Mode();
  if (IsShift(vk)) {
    mode.shiftDown = down;
    if (down) mode.altTap = false;
    return Active();
  }
  if (IsAlt(vk)) {
    if (down) {
      if (!mode.altDown) mode.altTap = true;
      mode.altDown = true;
      return Active();
    }
    mode.altDown = false;
    bool tap = mode.altTap;
    mode.altTap = false;
    if (!tap) return Active();
    if (Active()) {
      LeaveMenuMode();  // Alt pressed and released again leaves the menus
      return true;
    }
    const MenuObject* bar = Find(BarOf(top));
    if (bar && !bar->items.empty()) EnterBar(top, 0);
    return false;  // the window saw the Alt press; it sees its release too
  }
  if (down) mode.altTap = false;
  if (!down) return Active();  // releases belong to the menu system while it is active

  if (!Active()) {
    const MenuObject* bar = Find(BarOf(top));
    if (!bar || bar->items.empty() || IsControl(vk)) return false;
    if (vk == kVkF10 && !mode.shiftDown) {
      EnterBar(top, 0);
      return true;
    }
    if (mode.altDown) {
      std::vector<int> found = MnemonicMatches(BarOf(top), KeyChar(vk, mode.shiftDown));
      if (found.empty()) return false;
      OpenBarItem(top, found.front(), true, true);
      return true;
    }
    return false;
  }

  if (vk == kVkF10 || IsControl(vk)) {
    if (vk == kVkF10) LeaveMenuMode();
    return true;
  }
  if (mode.open.empty()) {
    KeyInBar(vk);
  } else {
    KeyInMenu(vk);
  }
  return true;
}

bool MenuMouseEvent(int x, int y, int button, bool down) {
  if (button == 0) return MouseMove(x, y);
  return down ? MouseDown(x, y) : MouseUp(x, y);
}

void ComposeMenus(Surface& desktop) {
  for (OpenLevel& level : Mode().open) {
    if (level.dirty) RenderLevel(level);
    int w = level.rect.right - level.rect.left, h = level.rect.bottom - level.rect.top;
    for (int y = 0; y < h; ++y) {
      int dy = level.rect.top + y;
      if (dy < 0 || dy >= desktop.height) continue;
      for (int x = 0; x < w; ++x) {
        int dx = level.rect.left + x;
        if (dx < 0 || dx >= desktop.width) continue;
        desktop.pixels[static_cast<std::size_t>(dy) * desktop.width + dx] =
            level.picture[static_cast<std::size_t>(y) * w + x];
      }
    }
    if (!desktop.HasTextLayer()) continue;
    RECT r{std::max<LONG>(level.rect.left, 0), std::max<LONG>(level.rect.top, 0),
           std::min<LONG>(level.rect.right, desktop.width), std::min<LONG>(level.rect.bottom, desktop.height)};
    if (r.right > r.left && r.bottom > r.top) desktop.ClearText(r.left, r.top, r.right, r.bottom);
    for (const MenuGlyph& g : level.glyphs) {
      int gx = level.rect.left + g.x, gy = level.rect.top + g.y;
      if (gx < 0 || gy < 0 || gx >= desktop.width || gy >= desktop.height) continue;
      std::size_t at = static_cast<std::size_t>(gy) * desktop.width + gx;
      desktop.glyphChars[at] = g.ch;
      desktop.glyphColors[at] = ToPixel(g.color);
    }
  }
}

void MenuWindowDestroyed(HWND hwnd) {
  MenuMode& mode = Mode();
  if (mode.wnd == hwnd) {
    mode.open.clear();
    mode.wnd = nullptr;
    mode.barHot = -1;
    mode.pressedBarCommand = -1;
  }
  auto it = Reg().windowMenus.find(hwnd);
  if (it == Reg().windowMenus.end()) return;
  HMENU menu = it->second;
  Reg().windowMenus.erase(it);
  DestroyMenu(menu);
}

bool IsMenuOpen() { return Active(); }

}  // namespace winplat

// ---- The API -------------------------------------------------------------------------------

using winplat::Find;
using winplat::FindItem;
using winplat::MenuItem;
using winplat::MenuObject;
using winplat::Reg;

HMENU CreateMenu() { return winplat::NewMenu(false); }

HMENU CreatePopupMenu() { return winplat::NewMenu(true); }

BOOL IsMenu(HMENU hMenu) { return Find(hMenu) ? TRUE : FALSE; }

BOOL DestroyMenu(HMENU hMenu) {
  MenuObject* m = Find(hMenu);
  if (!m) return FALSE;
  std::vector<MenuItem> items = std::move(m->items);
  Reg().menus.erase(reinterpret_cast<std::uintptr_t>(hMenu));
  auto& mode = winplat::Mode();
  for (const auto& level : mode.open)
    if (level.menu == hMenu) {
      winplat::LeaveMenuMode();
      break;
    }
  for (const MenuItem& item : items)
    if (item.IsPopup()) DestroyMenu(item.Sub());
  return TRUE;
}

BOOL InsertMenuW(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem) {
  MenuObject* m = Find(hMenu);
  if (!m) return FALSE;
  MenuItem item;
  item.flags = uFlags & winplat::kItemFlagMask;
  // A string item without a text is a separator, as on the real platform.
  if (!lpNewItem && !(item.flags & MF_POPUP)) item.flags |= MF_SEPARATOR;
  if (item.IsSeparator()) item.flags |= MF_GRAYED | MF_DISABLED;  // never chosen
  item.id = uIDNewItem;
  if (item.IsPopup()) {
    HMENU sub = reinterpret_cast<HMENU>(uIDNewItem);
    // A sub-menu must exist and must not hold the menu it is put into.
    if (!Find(sub) || winplat::Contains(sub, hMenu)) return FALSE;
  }
  if (!item.IsSeparator() && lpNewItem) item.text = lpNewItem;
  std::size_t at = m->items.size();
  if (uPosition != static_cast<UINT>(-1)) {
    if (uFlags & MF_BYPOSITION) {
      at = std::min<std::size_t>(uPosition, m->items.size());
    } else {
      winplat::ItemRef ref = winplat::FindItemByCommand(hMenu, uPosition, 0);
      if (ref.item) {
        m = Find(ref.menu);
        at = static_cast<std::size_t>(ref.index);
      }
    }
  }
  m->items.insert(m->items.begin() + static_cast<std::ptrdiff_t>(at), item);
  return TRUE;
}

BOOL AppendMenuW(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem) {
  return InsertMenuW(hMenu, static_cast<UINT>(-1), uFlags | MF_BYPOSITION, uIDNewItem, lpNewItem);
}

BOOL RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags) {
  winplat::ItemRef ref = FindItem(hMenu, uPosition, uFlags);
  if (!ref.item) return FALSE;
  winplat::LeaveMenuMode();
  MenuObject* m = Find(ref.menu);
  m->items.erase(m->items.begin() + ref.index);
  return TRUE;
}

BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags) {
  winplat::ItemRef ref = FindItem(hMenu, uPosition, uFlags);
  if (!ref.item) return FALSE;
  HMENU sub = ref.item->Sub();
  RemoveMenu(hMenu, uPosition, uFlags);
  if (sub) DestroyMenu(sub);
  return TRUE;
}

BOOL SetMenu(HWND hWnd, HMENU hMenu) {
  if (!IsWindow(hWnd) || (GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD)) return FALSE;
  if (hMenu && !Find(hMenu)) return FALSE;
  if (winplat::Mode().wnd == hWnd) winplat::LeaveMenuMode();
  if (hMenu) {
    Reg().windowMenus[hWnd] = hMenu;
  } else {
    Reg().windowMenus.erase(hWnd);
  }
  // The window keeps its rectangle; its client area gives up (or takes back) the bar row.
  SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  winplat::PaintMenuBar(hWnd);
  return TRUE;
}

HMENU GetMenu(HWND hWnd) {
  if (!IsWindow(hWnd)) return nullptr;
  return winplat::BarOf(hWnd);
}

BOOL DrawMenuBar(HWND hWnd) {
  if (!IsWindow(hWnd)) return FALSE;
  winplat::PaintMenuBar(hWnd);
  return TRUE;
}

DWORD CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck) {
  winplat::ItemRef ref = FindItem(hMenu, uIDCheckItem, uCheck);
  if (!ref.item) return static_cast<DWORD>(-1);
  DWORD previous = ref.item->flags & MF_CHECKED;
  ref.item->flags = (ref.item->flags & ~static_cast<UINT>(MF_CHECKED)) | (uCheck & MF_CHECKED);
  for (auto& level : winplat::Mode().open)
    if (level.menu == ref.menu) level.dirty = true;
  return previous;
}

BOOL EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable) {
  winplat::ItemRef ref = FindItem(hMenu, uIDEnableItem, uEnable);
  if (!ref.item) return -1;
  BOOL previous = static_cast<BOOL>(ref.item->flags & (MF_GRAYED | MF_DISABLED));
  ref.item->flags = (ref.item->flags & ~static_cast<UINT>(MF_GRAYED | MF_DISABLED)) |
                    (uEnable & (MF_GRAYED | MF_DISABLED));
  for (auto& level : winplat::Mode().open)
    if (level.menu == ref.menu) level.dirty = true;
  return previous;
}

UINT GetMenuState(HMENU hMenu, UINT uId, UINT uFlags) {
  winplat::ItemRef ref = FindItem(hMenu, uId, uFlags);
  if (!ref.item) return static_cast<UINT>(-1);
  UINT state = ref.item->flags;
  const auto& mode = winplat::Mode();
  if (mode.wnd && winplat::BarOf(mode.wnd) == ref.menu && mode.barHot == ref.index) state |= MF_HILITE;
  for (const auto& level : mode.open)
    if (level.menu == ref.menu && level.hot == ref.index) state |= MF_HILITE;
  if (ref.item->IsPopup()) {
    const MenuObject* sub = Find(ref.item->Sub());
    UINT count = sub ? static_cast<UINT>(sub->items.size()) : 0;
    return (std::min(count, 255u) << 8) | (state & 0xFF);
  }
  return state;
}

int GetMenuItemCount(HMENU hMenu) {
  const MenuObject* m = Find(hMenu);
  return m ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU hMenu, int nPos) {
  const MenuObject* m = Find(hMenu);
  if (!m || nPos < 0 || nPos >= static_cast<int>(m->items.size()) || m->items[nPos].IsPopup())
    return static_cast<UINT>(-1);
  return static_cast<UINT>(m->items[nPos].id);
}

HMENU GetSubMenu(HMENU hMenu, int nPos) {
  const MenuObject* m = Find(hMenu);
  if (!m || nPos < 0 || nPos >= static_cast<int>(m->items.size())) return nullptr;
  return m->items[nPos].Sub();
}

int GetMenuStringW(HMENU hMenu, UINT uIDItem, LPWSTR lpString, int cchMax, UINT flags) {
  winplat::ItemRef ref = FindItem(hMenu, uIDItem, flags);
  if (lpString && cchMax > 0) lpString[0] = L'\0';
  if (!ref.item) return 0;
  const std::wstring& text = ref.item->text;
  if (!lpString || cchMax <= 0) return static_cast<int>(text.size());
  int n = std::min(static_cast<int>(text.size()), cchMax - 1);
  std::copy(text.begin(), text.begin() + n, lpString);
  lpString[n] = L'\0';
  return n;
}

BOOL GetMenuItemRect(HWND hWnd, HMENU hMenu, UINT uItem, LPRECT lprcItem) {
  if (!lprcItem || !Find(hMenu)) return FALSE;
  const auto& mode = winplat::Mode();
  for (const auto& level : mode.open) {
    if (level.menu == hMenu && uItem < level.itemRects.size()) {
      *lprcItem = level.itemRects[uItem];
      return TRUE;
    }
  }
  if (!IsWindow(hWnd) || winplat::BarOf(hWnd) != hMenu) return FALSE;
  winplat::Measure measure(hWnd);
  std::vector<RECT> rects = winplat::BarItemRects(hWnd, measure);
  if (uItem >= rects.size()) return FALSE;
  RECT wr = winplat::WindowRectOf(hWnd);
  *lprcItem = winplat::Offset(rects[uItem], wr.left, wr.top);
  return TRUE;
}

BOOL EndMenu() {
  winplat::LeaveMenuMode();
  return TRUE;
}
