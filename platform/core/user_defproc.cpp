// The default window procedure.
#include "user_internal.h"

#include <algorithm>
#include <cstring>

using namespace winplat;
using namespace winplat::user;

namespace {

HBRUSH RealBrush(HBRUSH brush) {
  auto v = reinterpret_cast<std::uintptr_t>(brush);
  if (v >= 1 && v <= COLOR_MENUBAR + 1) return GetSysColorBrush(static_cast<int>(v - 1));
  return brush;
}

LRESULT OnWindowPosChanged(HWND hwnd, const WINDOWPOS* wp) {
  Window* w = Find(hwnd);
  if (!w || !wp) return 0;
  if (!(wp->flags & kNoClientMove)) {
    POINT o{w->rect.left + w->client.left, w->rect.top + w->client.top};
    if (!w->parent) o = ClientOriginOnScreen(w);
    SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(o.x, o.y));
    if (!(w = Find(hwnd))) return 0;
  }
  if (!(wp->flags & kNoClientSize)) {
    WPARAM kind = (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
    SendMessageW(hwnd, WM_SIZE, kind,
                 MAKELPARAM(w->client.right - w->client.left, w->client.bottom - w->client.top));
  }
  return 0;
}

}  // namespace

LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Window* w = Find(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lp);
      if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) w->text = cs->lpszName;
      return TRUE;
    }
    case WM_NCCALCSIZE: {
      RECT* r = wp ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0] : reinterpret_cast<RECT*>(lp);
      if (r && !w->parent) {
        r->top = std::min<LONG>(r->bottom, r->top + MenuBarHeight(hwnd));
      }
      return 0;
    }
    case WM_NCHITTEST: {
      POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      RECT wr = WindowRectOnScreen(w);
      if (!PtInRect(&wr, p)) return HTNOWHERE;
      POINT o = ClientOriginOnScreen(w);
      RECT cr{o.x, o.y, o.x + (w->client.right - w->client.left), o.y + (w->client.bottom - w->client.top)};
      if (PtInRect(&cr, p)) return HTCLIENT;
      return w->parent ? HTBORDER : HTMENU;
    }
    case WM_NCPAINT:
      if (!w->parent && MenuBarHeight(hwnd) > 0) PaintMenuBar(hwnd);
      return 0;
    case WM_NCACTIVATE:
      return TRUE;
    case WM_ERASEBKGND: {
      HBRUSH brush = w->cls ? RealBrush(w->cls->brush) : nullptr;
      if (!brush) return 0;
      RECT r{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
      FillRect(reinterpret_cast<HDC>(wp), &r, brush);
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      return 0;
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == SC_CLOSE) {
        SendMessageW(hwnd, WM_CLOSE, 0, 0);
      }
      return 0;
    case WM_SYSKEYDOWN:
      if (wp == VK_F4 && (GetKeyState(VK_MENU) & 0x8000)) {
        HWND root = RootOf(hwnd);
        SendMessageW(root, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return 0;
    case WM_WINDOWPOSCHANGED:
      return OnWindowPosChanged(hwnd, reinterpret_cast<const WINDOWPOS*>(lp));
    case WM_WINDOWPOSCHANGING:
      return 0;
    case WM_GETMINMAXINFO: {
      auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
      if (mmi) {
        Screen& s = CurrentScreen();
        mmi->ptMaxSize = POINT{s.Width(), s.Height()};
        mmi->ptMaxPosition = POINT{0, 0};
        mmi->ptMinTrackSize = POINT{1, 1};
        mmi->ptMaxTrackSize = POINT{s.Width(), s.Height()};
      }
      return 0;
    }
    case WM_SETTEXT: {
      auto* text = reinterpret_cast<LPCWSTR>(lp);
      w->text = text ? text : L"";
      if (!w->parent) MarkAllDirty();
      return TRUE;
    }
    case WM_GETTEXT: {
      auto* buf = reinterpret_cast<LPWSTR>(lp);
      int max = static_cast<int>(wp);
      if (!buf || max <= 0) return 0;
      int n = std::min<int>(max - 1, static_cast<int>(w->text.size()));
      std::copy_n(w->text.data(), n, buf);
      buf[n] = 0;
      return n;
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->text.size());
    case WM_SETFONT:
      w->font = reinterpret_cast<HFONT>(wp);
      if (LOWORD(lp)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(w->font);
    case WM_SETICON: {
      HICON old = w->icon;
      w->icon = reinterpret_cast<HICON>(lp);
      return reinterpret_cast<LRESULT>(old);
    }
    case WM_GETICON:
      return reinterpret_cast<LRESULT>(w->icon);
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE && GetActiveWindow() == hwnd) {
        HWND f = GetFocus();
        if (!f || RootOf(f) != hwnd) SetFocus(hwnd);
      }
      return 0;
    case WM_MOUSEACTIVATE:
      if (w->parent) {
        LRESULT r = SendMessageW(w->parent, WM_MOUSEACTIVATE, wp, lp);
        if (r) return r;
      }
      return 1;  // MA_ACTIVATE
    case WM_SETCURSOR:
      if (w->parent) {
        if (SendMessageW(w->parent, WM_SETCURSOR, wp, lp)) return TRUE;
        if (!(w = Find(hwnd))) return FALSE;
      }
      if (LOWORD(lp) == HTCLIENT) {
        if (w->cls && w->cls->cursor) SetCursor(w->cls->cursor);
        return TRUE;
      }
      if (static_cast<short>(LOWORD(lp)) != HTERROR) SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      return FALSE;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
      if (w->parent) return SendMessageW(w->parent, msg, wp, lp);
      return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wp);
      bool window = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, GetSysColor(window ? COLOR_WINDOW : COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(window ? COLOR_WINDOW : COLOR_BTNFACE));
    }
    case WM_QUERYENDSESSION:
    case WM_QUERYOPEN:
      return TRUE;
    case WM_GETDLGCODE:
      return 0;
    default:
      return 0;
  }
}
