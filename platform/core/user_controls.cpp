// The system window classes of the stand-in: tool tips (common controls) and buttons.
#include "user_internal.h"

#include <algorithm>

using namespace winplat;
using namespace winplat::user;

namespace winplat::user {

namespace {

// The part of TOOLINFOW that every caller fills, up to and including lpszText.
constexpr UINT kMinToolInfoSize = 44;

bool HasLParam(const TOOLINFOW* ti) {
  return ti->cbSize >= offsetof(TOOLINFOW, lParam) + sizeof(LPARAM);
}

Tool* FindTool(Window* w, const TOOLINFOW* ti) {
  for (Tool& t : w->tools)
    if (t.hwnd == ti->hwnd && t.id == ti->uId) return &t;
  return nullptr;
}

void SetText(Tool& t, const TOOLINFOW* ti) {
  t.callbackText = ti->lpszText == LPSTR_TEXTCALLBACKW;
  t.text.clear();
  if (!t.callbackText && ti->lpszText && !IS_INTRESOURCE(ti->lpszText)) t.text = ti->lpszText;
}

void CopyOut(const Tool& t, TOOLINFOW* ti) {
  ti->uFlags = t.flags;
  ti->rect = t.rect;
  ti->hinst = t.instance;
  if (HasLParam(ti)) ti->lParam = t.lParam;
  if (ti->lpszText && ti->lpszText != LPSTR_TEXTCALLBACKW && !IS_INTRESOURCE(ti->lpszText)) {
    if (t.callbackText) {
      ti->lpszText = LPSTR_TEXTCALLBACKW;
    } else {
      std::size_t n = std::min<std::size_t>(t.text.size(), 1023);
      std::copy_n(t.text.data(), n, ti->lpszText);
      ti->lpszText[n] = 0;
    }
  }
}

}  // namespace

LRESULT CALLBACK ToolTipProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  auto* ti = reinterpret_cast<TOOLINFOW*>(lp);
  switch (msg) {
    case TTM_ADDTOOLW: {
      if (!ti || ti->cbSize < kMinToolInfoSize) return FALSE;
      Tool t;
      t.flags = ti->uFlags;
      t.hwnd = ti->hwnd;
      t.id = ti->uId;
      t.rect = ti->rect;
      t.instance = ti->hinst;
      SetText(t, ti);
      if (HasLParam(ti)) t.lParam = ti->lParam;
      w->tools.push_back(t);
      return TRUE;
    }
    case TTM_DELTOOLW: {
      if (!ti || ti->cbSize < kMinToolInfoSize) return 0;
      auto& v = w->tools;
      v.erase(std::remove_if(v.begin(), v.end(), [&](const Tool& t) { return t.hwnd == ti->hwnd && t.id == ti->uId; }),
              v.end());
      return 0;
    }
    case TTM_NEWTOOLRECTW: {
      if (!ti || ti->cbSize < kMinToolInfoSize) return 0;
      if (Tool* t = FindTool(w, ti)) t->rect = ti->rect;
      return 0;
    }
    case TTM_UPDATETIPTEXTW: {
      if (!ti || ti->cbSize < kMinToolInfoSize) return 0;
      if (Tool* t = FindTool(w, ti)) SetText(*t, ti);
      return 0;
    }
    case TTM_SETTOOLINFOW: {
      if (!ti || ti->cbSize < kMinToolInfoSize) return 0;
      if (Tool* t = FindTool(w, ti)) {
        t->flags = ti->uFlags;
        t->rect = ti->rect;
        t->instance = ti->hinst;
        SetText(*t, ti);
        if (HasLParam(ti)) t->lParam = ti->lParam;
      }
      return 0;
    }
    case TTM_GETTOOLCOUNT:
      return static_cast<LRESULT>(w->tools.size());
    case TTM_GETTOOLINFOW: {
      if (!ti || ti->cbSize < kMinToolInfoSize) return FALSE;
      Tool* t = FindTool(w, ti);
      if (!t) return FALSE;
      CopyOut(*t, ti);
      return TRUE;
    }
    case TTM_GETTEXTW: {
      if (!ti || ti->cbSize < kMinToolInfoSize) return 0;
      Tool* t = FindTool(w, ti);
      if (!t || !ti->lpszText) return 0;
      std::size_t max = wp ? static_cast<std::size_t>(wp) : 80;
      std::size_t n = std::min(t->text.size(), max - 1);
      std::copy_n(t->text.data(), n, ti->lpszText);
      ti->lpszText[n] = 0;
      return 0;
    }
    case TTM_ACTIVATE:
    case TTM_SETDELAYTIME:
    case TTM_SETMAXTIPWIDTH:
    case TTM_POP:
      return 0;
    case WM_ERASEBKGND:
      return 1;
    default:
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  DWORD kind = w->style & 0x0F;
  switch (msg) {
    case BM_GETCHECK:
      return w->buttonState & 3;
    case BM_SETCHECK:
      w->buttonState = (w->buttonState & ~3u) | (static_cast<UINT>(wp) & 3u);
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case BM_GETSTATE:
      return w->buttonState;
    case BM_SETSTATE:
      w->buttonState = wp ? (w->buttonState | BST_PUSHED) : (w->buttonState & ~static_cast<UINT>(BST_PUSHED));
      return 0;
    case BM_CLICK:
    case WM_LBUTTONUP: {
      if (kind == BS_AUTOCHECKBOX) w->buttonState ^= BST_CHECKED;
      else if (kind == BS_AUTO3STATE) w->buttonState = (w->buttonState & ~3u) | (((w->buttonState & 3u) + 1) % 3);
      else if (kind == BS_AUTORADIOBUTTON) w->buttonState = (w->buttonState & ~3u) | BST_CHECKED;
      if (HWND parent = w->parent)
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(w->id, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
      return 0;
    }
    case WM_GETDLGCODE:
      if (kind == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
      if (kind == BS_PUSHBUTTON || kind == BS_OWNERDRAW) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
      if (kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON) return DLGC_BUTTON | DLGC_RADIOBUTTON;
      return DLGC_BUTTON;
    default:
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

}  // namespace winplat::user

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* icc) {
  if (!icc || icc->dwSize != sizeof(INITCOMMONCONTROLSEX)) return FALSE;
  EnsureInitialized();
  return TRUE;
}

void InitCommonControls() { EnsureInitialized(); }
