// System metrics and colours, cursors and icons, scroll bars, dialog helpers, rectangles.
#include "user_internal.h"

#include <algorithm>
#include <map>

using namespace winplat;
using namespace winplat::user;

// ---- System metrics and colours ---------------------------------------------------------------

int GetSystemMetrics(int index) {
  Screen& s = CurrentScreen();
  // Captions and borders belong to the desktop around a window and take no pixels of the
  // virtual screen.
  switch (index) {
    case SM_CXSCREEN: case SM_CXFULLSCREEN: case SM_CXMAXIMIZED: case SM_CXVIRTUALSCREEN:
      return s.Width();
    case SM_CYSCREEN: case SM_CYFULLSCREEN: case SM_CYMAXIMIZED: case SM_CYVIRTUALSCREEN:
      return s.Height();
    case SM_XVIRTUALSCREEN: case SM_YVIRTUALSCREEN: return 0;
    case SM_CYMENU: return s.DefaultFont().height + 3;
    case SM_CXVSCROLL: case SM_CYHSCROLL: case SM_CYVSCROLL: case SM_CXHSCROLL: return 17;
    case SM_CXBORDER: case SM_CYBORDER: return 1;
    case SM_CYCAPTION: case SM_CXDLGFRAME: case SM_CYDLGFRAME: case SM_CXFRAME: case SM_CYFRAME:
    case SM_CXEDGE: case SM_CYEDGE: case SM_CXSIZE: case SM_CYSIZE:
      return 0;
    case SM_CXICON: case SM_CYICON: case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CXSMICON: case SM_CYSMICON: return 16;
    case SM_CXMIN: case SM_CYMIN: return 1;
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: return 4;
    case SM_MOUSEPRESENT: case SM_CMONITORS: return 1;
    case SM_SWAPBUTTON: return 0;
    default: return 0;
  }
}

DWORD GetSysColor(int index) {
  switch (index) {
    case COLOR_SCROLLBAR: return RGB(200, 200, 200);
    case COLOR_BACKGROUND: return RGB(0, 0, 0);
    case COLOR_ACTIVECAPTION: return RGB(153, 180, 209);
    case COLOR_INACTIVECAPTION: return RGB(191, 205, 219);
    case COLOR_MENU: return RGB(240, 240, 240);
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_WINDOWFRAME: return RGB(100, 100, 100);
    case COLOR_MENUTEXT: return RGB(0, 0, 0);
    case COLOR_WINDOWTEXT: return RGB(0, 0, 0);
    case COLOR_CAPTIONTEXT: return RGB(0, 0, 0);
    case COLOR_ACTIVEBORDER: return RGB(180, 180, 180);
    case COLOR_INACTIVEBORDER: return RGB(244, 247, 252);
    case COLOR_APPWORKSPACE: return RGB(171, 171, 171);
    case COLOR_HIGHLIGHT: return RGB(0, 120, 215);
    case COLOR_HIGHLIGHTTEXT: return RGB(255, 255, 255);
    case COLOR_BTNFACE: return RGB(240, 240, 240);
    case COLOR_BTNSHADOW: return RGB(160, 160, 160);
    case COLOR_GRAYTEXT: return RGB(109, 109, 109);
    case COLOR_BTNTEXT: return RGB(0, 0, 0);
    case COLOR_INACTIVECAPTIONTEXT: return RGB(0, 0, 0);
    case COLOR_BTNHIGHLIGHT: return RGB(255, 255, 255);
    case COLOR_3DDKSHADOW: return RGB(105, 105, 105);
    case COLOR_3DLIGHT: return RGB(227, 227, 227);
    case COLOR_INFOTEXT: return RGB(0, 0, 0);
    case COLOR_INFOBK: return RGB(255, 255, 225);
    case COLOR_HOTLIGHT: return RGB(0, 102, 204);
    case COLOR_GRADIENTACTIVECAPTION: return RGB(185, 209, 234);
    case COLOR_GRADIENTINACTIVECAPTION: return RGB(215, 228, 242);
    case COLOR_MENUHILIGHT: return RGB(51, 153, 255);
    case COLOR_MENUBAR: return RGB(240, 240, 240);
    default: return 0;
  }
}

HBRUSH GetSysColorBrush(int index) {
  if (index < 0 || index > COLOR_MENUBAR) return nullptr;
  // One brush per colour for the life of the process, made through the GDI part.
  static std::map<int, HBRUSH>* brushes = new std::map<int, HBRUSH>();
  auto it = brushes->find(index);
  if (it != brushes->end()) return it->second;
  HBRUSH b = CreateSolidBrush(GetSysColor(index));
  (*brushes)[index] = b;
  return b;
}

// ---- Cursors and icons --------------------------------------------------------------------------

namespace {

HICON StockHandle(std::map<unsigned, HICON>& table, LPCWSTR name, unsigned first, unsigned last) {
  if (!IS_INTRESOURCE(name)) {
    SetLastError(1813);  // ERROR_RESOURCE_TYPE_NOT_FOUND
    return nullptr;
  }
  auto id = static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(name));
  if (id < first || id > last) {
    SetLastError(1813);
    return nullptr;
  }
  auto it = table.find(id);
  if (it != table.end()) return it->second;
  HICON h = reinterpret_cast<HICON>(NewHandleValue());
  table[id] = h;
  return h;
}

}  // namespace

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
  static std::map<unsigned, HICON>* table = new std::map<unsigned, HICON>();
  if (instance) {
    SetLastError(1813);
    return nullptr;
  }
  return StockHandle(*table, name, 32512, 32651);
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
  static std::map<unsigned, HICON>* table = new std::map<unsigned, HICON>();
  if (instance) {
    SetLastError(1813);
    return nullptr;
  }
  return StockHandle(*table, name, 32512, 32518);
}

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR old = S().cursor;
  S().cursor = cursor;
  return old;
}

HCURSOR GetCursor() { return S().cursor; }

BOOL MessageBeep(UINT) { return TRUE; }

// ---- Scroll bars ----------------------------------------------------------------------------------

namespace {

ScrollBarInfo* Bar(HWND hwnd, int bar) {
  Window* w = FindValid(hwnd);
  if (!w) return nullptr;
  if (bar != SB_HORZ && bar != SB_VERT) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  ScrollBarInfo& b = w->bars[bar];
  if (!b.used && (w->style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL))) {
    b.used = true;
    b.min = 0;
    b.max = 100;
  }
  return &b;
}

void Clamp(ScrollBarInfo& b) {
  if (b.max < b.min) b.max = b.min;
  UINT range = static_cast<UINT>(b.max - b.min + 1);
  if (b.page > range) b.page = range;
  int top = b.max - std::max(static_cast<int>(b.page) - 1, 0);
  b.pos = std::clamp(b.pos, b.min, std::max(b.min, top));
}

}  // namespace

int SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO si, BOOL) {
  ScrollBarInfo* b = Bar(hwnd, bar);
  if (!b || !si) return 0;
  b->used = true;
  if (si->fMask & SIF_RANGE) {
    b->min = si->nMin;
    b->max = si->nMax;
  }
  if (si->fMask & SIF_PAGE) b->page = si->nPage;
  if (si->fMask & SIF_POS) b->pos = si->nPos;
  Clamp(*b);
  return b->pos;
}

int GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO si) {
  ScrollBarInfo* b = Bar(hwnd, bar);
  if (!b || !si) return FALSE;
  if (!b->used) {
    SetLastError(1447);  // ERROR_NO_SCROLLBARS
    return FALSE;
  }
  if (si->fMask & SIF_RANGE) {
    si->nMin = b->min;
    si->nMax = b->max;
  }
  if (si->fMask & SIF_PAGE) si->nPage = b->page;
  if (si->fMask & SIF_POS) si->nPos = b->pos;
  if (si->fMask & SIF_TRACKPOS) si->nTrackPos = b->pos;
  return TRUE;
}

int GetScrollPos(HWND hwnd, int bar) {
  ScrollBarInfo* b = Bar(hwnd, bar);
  return b ? b->pos : 0;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
  ScrollBarInfo* b = Bar(hwnd, bar);
  if (!b) return 0;
  int old = b->pos;
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, pos, 0};
  SetScrollInfo(hwnd, bar, &si, redraw);
  return old;
}

BOOL SetScrollRange(HWND hwnd, int bar, int lo, int hi, BOOL redraw) {
  if (!Bar(hwnd, bar)) return FALSE;
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE, lo, hi, 0, 0, 0};
  SetScrollInfo(hwnd, bar, &si, redraw);
  return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, LPINT lo, LPINT hi) {
  ScrollBarInfo* b = Bar(hwnd, bar);
  if (!b || !lo || !hi) return FALSE;
  *lo = b->min;
  *hi = b->max;
  return TRUE;
}

// ---- Dialog helpers ------------------------------------------------------------------------------

HWND GetDlgItem(HWND dlg, int id) {
  Window* w = FindValid(dlg);
  if (!w) return nullptr;
  for (HWND c : w->children)
    if (Window* cw = Find(c); cw && static_cast<int>(cw->id) == id) return c;
  SetLastError(1421);  // ERROR_CONTROL_ID_NOT_FOUND
  return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
  Window* w = FindValid(hwnd);
  if (!w || !w->parent) return 0;
  return static_cast<int>(w->id);
}

LRESULT SendDlgItemMessageW(HWND dlg, int id, UINT msg, WPARAM wp, LPARAM lp) {
  HWND item = GetDlgItem(dlg, id);
  return item ? SendMessageW(item, msg, wp, lp) : 0;
}

UINT IsDlgButtonChecked(HWND dlg, int id) {
  return static_cast<UINT>(SendDlgItemMessageW(dlg, id, BM_GETCHECK, 0, 0));
}

BOOL CheckDlgButton(HWND dlg, int id, UINT check) {
  HWND item = GetDlgItem(dlg, id);
  if (!item) return FALSE;
  SendMessageW(item, BM_SETCHECK, check, 0);
  return TRUE;
}

HWND GetNextDlgTabItem(HWND dlg, HWND ctl, BOOL previous) {
  Window* w = FindValid(dlg);
  if (!w) return nullptr;
  if (ctl && ctl != dlg && !IsChild(dlg, ctl)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const std::vector<HWND>& kids = w->children;
  if (kids.empty()) return nullptr;
  auto stop = [](HWND h) {
    Window* c = Find(h);
    return c && (c->style & WS_TABSTOP) && (c->style & WS_VISIBLE) && !(c->style & WS_DISABLED);
  };
  // The starting point is the control's direct child of dlg; without one, the search starts
  // past the end in the direction of travel.
  HWND start = ctl;
  while (start && start != dlg) {
    Window* sw = Find(start);
    if (!sw || sw->parent == dlg) break;
    start = sw->parent;
  }
  int n = static_cast<int>(kids.size());
  int index = -1;
  if (start && start != dlg) {
    auto it = std::find(kids.begin(), kids.end(), start);
    if (it != kids.end()) index = static_cast<int>(it - kids.begin());
  }
  if (index < 0) index = previous ? 0 : n - 1;
  for (int step = 1; step <= n; ++step) {
    int i = previous ? ((index - step) % n + n) % n : (index + step) % n;
    if (stop(kids[static_cast<std::size_t>(i)])) return kids[static_cast<std::size_t>(i)];
  }
  return ctl;
}

BOOL IsDialogMessageW(HWND dlg, LPMSG msg) {
  if (!msg || !FindValid(dlg)) return FALSE;
  if (msg->hwnd != dlg && !IsChild(dlg, msg->hwnd)) return FALSE;
  if (msg->message == WM_KEYDOWN) {
    LRESULT code = SendMessageW(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
    switch (msg->wParam) {
      case VK_TAB:
        if (!(code & (DLGC_WANTTAB | DLGC_WANTALLKEYS))) {
          HWND focus = GetFocus();
          HWND next = GetNextDlgTabItem(dlg, focus == dlg ? nullptr : focus,
                                        (GetKeyState(VK_SHIFT) & 0x8000) != 0);
          if (next) SetFocus(next);
          return TRUE;
        }
        break;
      case VK_ESCAPE:
        if (!(code & DLGC_WANTALLKEYS)) {
          SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                       reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDCANCEL)));
          return TRUE;
        }
        break;
      case VK_RETURN:
        if (!(code & DLGC_WANTALLKEYS)) {
          SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
          return TRUE;
        }
        break;
      default:
        break;
    }
  }
  TranslateMessage(msg);
  DispatchMessageW(msg);
  return TRUE;
}

// ---- Rectangles ------------------------------------------------------------------------------------

BOOL SetRect(LPRECT r, int l, int t, int rt, int b) {
  if (!r) return FALSE;
  *r = RECT{l, t, rt, b};
  return TRUE;
}

BOOL SetRectEmpty(LPRECT r) {
  if (!r) return FALSE;
  *r = RECT{0, 0, 0, 0};
  return TRUE;
}

BOOL CopyRect(LPRECT dst, const RECT* src) {
  if (!dst || !src) return FALSE;
  *dst = *src;
  return TRUE;
}

BOOL OffsetRect(LPRECT r, int dx, int dy) {
  if (!r) return FALSE;
  r->left += dx;
  r->right += dx;
  r->top += dy;
  r->bottom += dy;
  return TRUE;
}

BOOL InflateRect(LPRECT r, int dx, int dy) {
  if (!r) return FALSE;
  r->left -= dx;
  r->right += dx;
  r->top -= dy;
  r->bottom += dy;
  return TRUE;
}

BOOL IsRectEmpty(const RECT* r) { return !r || r->right <= r->left || r->bottom <= r->top; }

BOOL IntersectRect(LPRECT dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
         std::min(a->bottom, b->bottom)};
  if (IsRectEmpty(&r)) {
    *dst = RECT{0, 0, 0, 0};
    return FALSE;
  }
  *dst = r;
  return TRUE;
}

BOOL UnionRect(LPRECT dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  if (IsRectEmpty(a)) {
    if (IsRectEmpty(b)) {
      *dst = RECT{0, 0, 0, 0};
      return FALSE;
    }
    *dst = *b;
    return TRUE;
  }
  if (IsRectEmpty(b)) {
    *dst = *a;
    return TRUE;
  }
  *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
              std::max(a->bottom, b->bottom)};
  return TRUE;
}

BOOL EqualRect(const RECT* a, const RECT* b) {
  if (!a || !b) return FALSE;
  return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL PtInRect(const RECT* r, POINT p) {
  return r && p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom;
}
