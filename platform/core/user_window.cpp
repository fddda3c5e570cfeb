// Window classes and windows: creation, destruction, attributes, geometry, showing,
// activation and focus.
#include "user_internal.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

namespace winplat::user {

State& S() {
  static State* state = new State();  // lives to the end of the process
  return *state;
}

HWND ToHwnd(std::uintptr_t v) { return reinterpret_cast<HWND>(v); }

Window* Find(HWND hwnd) {
  if (!hwnd) return nullptr;
  auto& w = S().windows;
  auto it = w.find(reinterpret_cast<std::uintptr_t>(hwnd));
  return it == w.end() ? nullptr : it->second.get();
}

Window* FindValid(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

namespace {

bool SameName(const std::wstring& a, LPCWSTR b) {
  std::size_t n = std::wcslen(b);
  if (a.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i)
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  return true;
}

Window* NewWindowRecord() {
  auto w = std::make_unique<Window>();
  w->hwnd = ToHwnd(NewHandleValue());
  Window* raw = w.get();
  S().windows[reinterpret_cast<std::uintptr_t>(raw->hwnd)] = std::move(w);
  return raw;
}

}  // namespace

std::shared_ptr<WindowClass> FindClass(LPCWSTR name) {
  EnsureInitialized();
  if (!name) return nullptr;
  for (auto& c : S().classes) {
    if (IS_INTRESOURCE(name)) {
      if (c->atom == static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(name))) return c;
    } else if (SameName(c->name, name)) {
      return c;
    }
  }
  return nullptr;
}

void EnsureInitialized() {
  static bool done = false;
  if (done) return;
  done = true;
  Window* d = NewWindowRecord();
  d->style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN;
  Screen& screen = CurrentScreen();
  d->rect = RECT{0, 0, screen.Width(), screen.Height()};
  d->client = d->rect;
  S().desktop = d->hwnd;
  RegisterSystemClasses();
}

// ---- Geometry helpers ------------------------------------------------------------------------

POINT ClientOriginOnScreen(const Window* w) {
  POINT p{w->rect.left + w->client.left, w->rect.top + w->client.top};
  if (w->parent) {
    if (const Window* parent = Find(w->parent)) {
      POINT o = ClientOriginOnScreen(parent);
      p.x += o.x;
      p.y += o.y;
    }
  }
  return p;
}

RECT WindowRectOnScreen(const Window* w) {
  RECT r = w->rect;
  if (w->parent) {
    if (const Window* parent = Find(w->parent)) {
      POINT o = ClientOriginOnScreen(parent);
      OffsetRect(&r, o.x, o.y);
    }
  }
  return r;
}

bool IsVisibleOnScreen(const Window* w) {
  while (w) {
    if (!(w->style & WS_VISIBLE)) return false;
    if (!w->parent) return true;
    w = Find(w->parent);
  }
  return false;
}

HWND RootOf(HWND hwnd) {
  Window* w = Find(hwnd);
  while (w && w->parent) {
    Window* p = Find(w->parent);
    if (!p) break;
    w = p;
  }
  return w ? w->hwnd : nullptr;
}

void MarkDirty(const RECT& r) {
  State& s = S();
  if (IsRectEmpty(&r)) return;
  if (IsRectEmpty(&s.dirty)) s.dirty = r;
  else UnionRect(&s.dirty, &s.dirty, &r);
}

void MarkAllDirty() { S().desktopDirty = true; }

LRESULT Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return SendMessageW(hwnd, msg, wp, lp); }

// ---- Activation and focus ------------------------------------------------------------------

namespace {

void SetFocusInternal(HWND hwnd) {
  State& s = S();
  HWND old = s.focus;
  if (old == hwnd) return;
  s.focus = hwnd;
  if (old && Find(old)) Send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (hwnd && s.focus == hwnd && Find(hwnd)) {
    Send(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  }
}

}  // namespace

void ActivateWindow(HWND hwnd, UINT how) {
  State& s = S();
  HWND prev = s.active;
  if (prev == hwnd) return;
  s.active = hwnd;
  if (prev && Find(prev)) {
    Send(prev, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(hwnd));
    Send(prev, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hwnd));
  }
  if (!hwnd) {
    if (prev && Find(prev)) Send(prev, WM_ACTIVATEAPP, FALSE, 0);
    if (s.focus) SetFocusInternal(nullptr);
    MarkAllDirty();
    return;
  }
  if (!prev) Send(hwnd, WM_ACTIVATEAPP, TRUE, 0);
  if (s.active != hwnd || !Find(hwnd)) return;
  Send(hwnd, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(prev));
  Send(hwnd, WM_ACTIVATE, how, reinterpret_cast<LPARAM>(prev));
  MarkAllDirty();
}

void ActivateOtherThan(HWND hwnd) {
  State& s = S();
  for (HWND h : s.topLevels) {
    if (h == hwnd) continue;
    Window* w = Find(h);
    if (!w || w->destroying || !(w->style & WS_VISIBLE) || (w->style & WS_DISABLED)) continue;
    if (w->cls && SameName(w->cls->name, TOOLTIPS_CLASSW)) continue;
    ActivateWindow(h, WA_ACTIVE);
    return;
  }
  ActivateWindow(nullptr, WA_INACTIVE);
}

}  // namespace winplat::user

using namespace winplat;
using namespace winplat::user;

// ---- Classes --------------------------------------------------------------------------------

static ATOM RegisterClassCommon(const WNDCLASSEXW& wc, bool system) {
  EnsureInitialized();
  if (!wc.lpszClassName || !wc.lpfnWndProc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  for (auto& c : S().classes) {
    if (!IS_INTRESOURCE(wc.lpszClassName) && SameName(c->name, wc.lpszClassName) &&
        (c->system == system)) {
      if (!c->system) {
        SetLastError(1410);  // ERROR_CLASS_ALREADY_EXISTS
        return 0;
      }
    }
  }
  auto c = std::make_shared<WindowClass>();
  if (IS_INTRESOURCE(wc.lpszClassName)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  c->name = wc.lpszClassName;
  c->atom = S().nextAtom++;
  c->style = wc.style;
  c->proc = wc.lpfnWndProc;
  c->clsExtra = std::max(0, wc.cbClsExtra);
  c->wndExtra = std::max(0, wc.cbWndExtra);
  c->extra.assign(static_cast<std::size_t>(c->clsExtra), 0);
  c->instance = wc.hInstance;
  c->icon = wc.hIcon;
  c->iconSmall = wc.hIconSm;
  c->cursor = wc.hCursor;
  c->brush = wc.hbrBackground;
  if (wc.lpszMenuName && !IS_INTRESOURCE(wc.lpszMenuName)) c->menuName = wc.lpszMenuName;
  c->system = system;
  // A class of the program hides a system class of the same name.
  S().classes.insert(S().classes.begin(), c);
  return c->atom;
}

namespace winplat::user {
void RegisterSystemClasses() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS | CS_GLOBALCLASS;
  wc.lpfnWndProc = ToolTipProc;
  wc.lpszClassName = TOOLTIPS_CLASSW;
  RegisterClassCommon(wc, true);
  wc.lpfnWndProc = ButtonProc;
  wc.lpszClassName = L"Button";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
  RegisterClassCommon(wc, true);
}
}  // namespace winplat::user

ATOM RegisterClassExW(const WNDCLASSEXW* wc) {
  if (!wc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return RegisterClassCommon(*wc, false);
}

ATOM RegisterClassW(const WNDCLASSW* wc) {
  if (!wc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WNDCLASSEXW ex{};
  ex.cbSize = sizeof(ex);
  ex.style = wc->style;
  ex.lpfnWndProc = wc->lpfnWndProc;
  ex.cbClsExtra = wc->cbClsExtra;
  ex.cbWndExtra = wc->cbWndExtra;
  ex.hInstance = wc->hInstance;
  ex.hIcon = wc->hIcon;
  ex.hCursor = wc->hCursor;
  ex.hbrBackground = wc->hbrBackground;
  ex.lpszMenuName = wc->lpszMenuName;
  ex.lpszClassName = wc->lpszClassName;
  return RegisterClassCommon(ex, false);
}

BOOL UnregisterClassW(LPCWSTR name, HINSTANCE) {
  EnsureInitialized();
  auto c = FindClass(name);
  if (!c || c->system) {
    SetLastError(1411);  // ERROR_CLASS_DOES_NOT_EXIST
    return FALSE;
  }
  for (auto& [v, w] : S().windows) {
    if (w->cls == c) {
      SetLastError(1412);  // ERROR_CLASS_HAS_WINDOWS
      return FALSE;
    }
  }
  auto& cl = S().classes;
  cl.erase(std::remove(cl.begin(), cl.end(), c), cl.end());
  return TRUE;
}

BOOL GetClassInfoW(HINSTANCE, LPCWSTR name, LPWNDCLASSW out) {
  auto c = FindClass(name);
  if (!c || !out) {
    SetLastError(1411);
    return FALSE;
  }
  out->style = c->style;
  out->lpfnWndProc = c->proc;
  out->cbClsExtra = c->clsExtra;
  out->cbWndExtra = c->wndExtra;
  out->hInstance = c->instance;
  out->hIcon = c->icon;
  out->hCursor = c->cursor;
  out->hbrBackground = c->brush;
  out->lpszMenuName = nullptr;
  out->lpszClassName = name;
  return c->atom;
}

ULONG_PTR GetClassLongPtrW(HWND hwnd, int index) {
  Window* w = FindValid(hwnd);
  if (!w || !w->cls) return 0;
  WindowClass& c = *w->cls;
  switch (index) {
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(c.brush);
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(c.cursor);
    case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(c.icon);
    case GCLP_HMODULE: return reinterpret_cast<ULONG_PTR>(c.instance);
    case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(c.proc);
    case GCL_STYLE: return c.style;
    case GCL_CBWNDEXTRA: return static_cast<ULONG_PTR>(c.wndExtra);
    case GCL_CBCLSEXTRA: return static_cast<ULONG_PTR>(c.clsExtra);
    default:
      if (index >= 0 && static_cast<std::size_t>(index) + sizeof(ULONG_PTR) <= c.extra.size()) {
        ULONG_PTR v;
        std::memcpy(&v, c.extra.data() + index, sizeof v);
        return v;
      }
      SetLastError(1413);  // ERROR_INVALID_INDEX
      return 0;
  }
}

ULONG_PTR SetClassLongPtrW(HWND hwnd, int index, LONG_PTR value) {
  Window* w = FindValid(hwnd);
  if (!w || !w->cls) return 0;
  WindowClass& c = *w->cls;
  ULONG_PTR old = GetClassLongPtrW(hwnd, index);
  switch (index) {
    case GCLP_HBRBACKGROUND: c.brush = reinterpret_cast<HBRUSH>(value); break;
    case GCLP_HCURSOR: c.cursor = reinterpret_cast<HCURSOR>(value); break;
    case GCLP_HICON: c.icon = reinterpret_cast<HICON>(value); break;
    case GCLP_HMODULE: c.instance = reinterpret_cast<HINSTANCE>(value); break;
    case GCLP_WNDPROC: c.proc = reinterpret_cast<WNDPROC>(value); break;
    case GCL_STYLE: c.style = static_cast<UINT>(value); break;
    default:
      if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= c.extra.size()) {
        std::memcpy(c.extra.data() + index, &value, sizeof value);
        break;
      }
      SetLastError(1413);
      return 0;
  }
  return old;
}

int GetClassNameW(HWND hwnd, LPWSTR buf, int max) {
  Window* w = FindValid(hwnd);
  if (!w || !w->cls || !buf || max <= 0) return 0;
  int n = std::min<int>(max - 1, static_cast<int>(w->cls->name.size()));
  std::copy_n(w->cls->name.data(), n, buf);
  buf[n] = 0;
  return n;
}

// ---- Creation and destruction -----------------------------------------------------------------

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
  EnsureInitialized();
  State& s = S();
  auto cls = FindClass(className);
  if (!cls) {
    SetLastError(1407);  // ERROR_CANNOT_FIND_WND_CLASS
    return nullptr;
  }
  if (parent == HWND_MESSAGE) parent = nullptr;
  if (parent == s.desktop) parent = nullptr;
  Window* parentWin = nullptr;
  if (parent) {
    parentWin = Find(parent);
    if (!parentWin || parentWin->destroying) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
  }
  bool child = (style & WS_CHILD) != 0;
  if (child && !parentWin) {
    SetLastError(1406);  // ERROR_TLW_WITH_WSCHILD
    return nullptr;
  }

  // Geometry. Top-level windows with CW_USEDEFAULT get a staggered default place and a size of
  // three quarters of the screen; children get zero.
  Screen& screen = CurrentScreen();
  if (x == CW_USEDEFAULT) {
    if (child) {
      x = y = 0;
    } else {
      static int stagger = 0;
      x = y = 26 * (stagger++ % 8);
    }
  }
  if (width == CW_USEDEFAULT) {
    if (child) {
      width = height = 0;
    } else {
      width = screen.Width() * 3 / 4;
      height = screen.Height() * 3 / 4;
    }
  }
  width = std::max(0, width);
  height = std::max(0, height);

  Window* w = NewWindowRecord();
  HWND hwnd = w->hwnd;
  w->cls = cls;
  w->style = style & ~WS_VISIBLE;
  if (!child && !(style & WS_POPUP)) w->style |= WS_CLIPSIBLINGS | WS_CAPTION;
  w->exStyle = exStyle;
  w->instance = instance;
  w->proc = cls->proc;
  w->extra.assign(static_cast<std::size_t>(cls->wndExtra), 0);
  if (child) {
    w->parent = parent;
    w->id = reinterpret_cast<UINT_PTR>(menu);
    parentWin->children.push_back(hwnd);
  } else {
    w->owner = parent ? RootOf(parent) : nullptr;
    s.topLevels.insert(s.topLevels.begin(), hwnd);
    w->needSize = true;
  }
  w->rect = RECT{x, y, x + width, y + height};
  w->client = RECT{0, 0, width, height};
  w->surface.Resize(width, height);
  if (!child && menu) SetMenu(hwnd, menu);

  CREATESTRUCTW cs{};
  cs.lpCreateParams = param;
  cs.hInstance = instance;
  cs.hMenu = menu;
  cs.hwndParent = parent;
  cs.cx = width;
  cs.cy = height;
  cs.x = x;
  cs.y = y;
  cs.style = static_cast<LONG>(style);
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;

  if (!child || (style & WS_THICKFRAME)) {
    MINMAXINFO mmi{};
    Send(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    if (!Find(hwnd)) return nullptr;
  }
  if (!Send(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    if (Find(hwnd)) DestroyWindow(hwnd);
    SetLastError(1400);
    return nullptr;
  }
  if (!Find(hwnd)) return nullptr;
  {
    RECT rc = w->rect;
    Send(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&rc));
    if (!(w = Find(hwnd))) return nullptr;
    w->client = RECT{rc.left - w->rect.left, rc.top - w->rect.top, rc.right - w->rect.left,
                     rc.bottom - w->rect.top};
    if (w->client.right < w->client.left) w->client.right = w->client.left;
    if (w->client.bottom < w->client.top) w->client.bottom = w->client.top;
  }
  if (Send(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    if (Find(hwnd)) DestroyWindow(hwnd);
    return nullptr;
  }
  if (!(w = Find(hwnd))) return nullptr;
  if (child) {
    Send(hwnd, WM_SIZE, SIZE_RESTORED,
         MAKELPARAM(w->client.right - w->client.left, w->client.bottom - w->client.top));
    if (!(w = Find(hwnd))) return nullptr;
    Send(hwnd, WM_MOVE, 0,
         MAKELPARAM(w->rect.left + w->client.left, w->rect.top + w->client.top));
    if (!(w = Find(hwnd))) return nullptr;
    if (!(exStyle & WS_EX_NOPARENTNOTIFY) && Find(parent))
      Send(parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, w->id), reinterpret_cast<LPARAM>(hwnd));
    if (!Find(hwnd)) return nullptr;
  }
  if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
  return Find(hwnd) ? hwnd : nullptr;
}

namespace {

void CollectTree(HWND hwnd, std::vector<HWND>& out) {
  out.push_back(hwnd);
  if (Window* w = Find(hwnd))
    for (HWND c : w->children) CollectTree(c, out);
}

}  // namespace

BOOL DestroyWindow(HWND hwnd) {
  State& s = S();
  Window* w = FindValid(hwnd);
  if (!w || hwnd == s.desktop) return FALSE;
  if (w->destroying) return TRUE;
  bool child = w->parent != nullptr;

  // Owned windows go first.
  if (!child) {
    std::vector<HWND> owned;
    for (HWND h : s.topLevels)
      if (Window* o = Find(h); o && o->owner == hwnd && !o->destroying) owned.push_back(h);
    for (HWND h : owned)
      if (Find(h)) DestroyWindow(h);
    if (!(w = Find(hwnd))) return TRUE;
  }

  if (child && !(w->exStyle & WS_EX_NOPARENTNOTIFY) && Find(w->parent))
    Send(w->parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, w->id), reinterpret_cast<LPARAM>(hwnd));
  if (!(w = Find(hwnd))) return TRUE;

  if (w->style & WS_VISIBLE) {
    SetWindowPosInternal(hwnd, nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER);
    if (!(w = Find(hwnd))) return TRUE;
  }
  if (!child && s.active == hwnd) ActivateOtherThan(hwnd);
  if (!(w = Find(hwnd))) return TRUE;

  std::vector<HWND> tree;
  CollectTree(hwnd, tree);
  for (HWND h : tree)
    if (Window* t = Find(h)) t->destroying = true;
  if (s.focus && std::find(tree.begin(), tree.end(), s.focus) != tree.end()) s.focus = nullptr;
  if (s.capture && std::find(tree.begin(), tree.end(), s.capture) != tree.end()) s.capture = nullptr;

  // WM_DESTROY parent before children, WM_NCDESTROY children before parent.
  for (HWND h : tree)
    if (Find(h)) Send(h, WM_DESTROY, 0, 0);
  for (auto it = tree.rbegin(); it != tree.rend(); ++it)
    if (Find(*it)) Send(*it, WM_NCDESTROY, 0, 0);

  for (HWND h : tree) {
    DropWindowResources(h);
    MenuWindowDestroyed(h);
  }
  if (Window* p = child ? Find(w->parent) : nullptr) {
    auto& c = p->children;
    c.erase(std::remove(c.begin(), c.end(), hwnd), c.end());
  }
  auto& tl = s.topLevels;
  tl.erase(std::remove(tl.begin(), tl.end(), hwnd), tl.end());
  if (s.active == hwnd) s.active = nullptr;
  for (HWND h : tree) s.windows.erase(reinterpret_cast<std::uintptr_t>(h));
  MarkAllDirty();
  return TRUE;
}

BOOL IsWindow(HWND hwnd) { return Find(hwnd) != nullptr; }

BOOL IsChild(HWND parent, HWND hwnd) {
  Window* w = Find(hwnd);
  while (w && w->parent) {
    if (w->parent == parent) return TRUE;
    w = Find(w->parent);
  }
  return FALSE;
}

HWND GetParent(HWND hwnd) {
  Window* w = FindValid(hwnd);
  if (!w) return nullptr;
  if (w->style & WS_CHILD) return w->parent;
  if (w->style & WS_POPUP) return w->owner;
  return nullptr;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
  Window* w = FindValid(hwnd);
  if (!w || hwnd == S().desktop) return nullptr;
  switch (flags) {
    case GA_PARENT: return w->parent ? w->parent : S().desktop;
    case GA_ROOT: return RootOf(hwnd);
    case GA_ROOTOWNER: {
      HWND h = RootOf(hwnd);
      while (Window* r = Find(h)) {
        if (!r->owner) break;
        h = RootOf(r->owner);
      }
      return h;
    }
    default: return nullptr;
  }
}

HWND GetDesktopWindow() {
  EnsureInitialized();
  return S().desktop;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
  State& s = S();
  Window* w = FindValid(hwnd);
  if (!w) return nullptr;
  if (cmd == GW_CHILD) {
    const auto& list = hwnd == s.desktop ? s.topLevels : w->children;
    return list.empty() ? nullptr : list.front();
  }
  if (cmd == GW_OWNER) return w->owner;
  const std::vector<HWND>* siblings = &s.topLevels;
  if (w->parent) {
    Window* p = Find(w->parent);
    if (!p) return nullptr;
    siblings = &p->children;
  }
  auto it = std::find(siblings->begin(), siblings->end(), hwnd);
  if (it == siblings->end()) return nullptr;
  switch (cmd) {
    case GW_HWNDFIRST: return siblings->front();
    case GW_HWNDLAST: return siblings->back();
    case GW_HWNDNEXT: return (it + 1) == siblings->end() ? nullptr : *(it + 1);
    case GW_HWNDPREV: return it == siblings->begin() ? nullptr : *(it - 1);
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
  }
}

static HWND ChildFromPoint(HWND hwnd, POINT screen) {
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  for (HWND c : w->children) {
    Window* cw = Find(c);
    if (!cw || !(cw->style & WS_VISIBLE)) continue;
    RECT r = WindowRectOnScreen(cw);
    if (PtInRect(&r, screen)) {
      if (cw->style & WS_DISABLED) return hwnd;
      return ChildFromPoint(c, screen);
    }
  }
  return hwnd;
}

HWND WindowFromPoint(POINT p) {
  EnsureInitialized();
  for (HWND h : S().topLevels) {
    Window* w = Find(h);
    if (!w || !(w->style & WS_VISIBLE)) continue;
    if (w->cls && SameName(w->cls->name, TOOLTIPS_CLASSW)) continue;
    if (PtInRect(&w->rect, p)) return ChildFromPoint(h, p);
  }
  return nullptr;
}

// ---- Text and attributes -------------------------------------------------------------------

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
  if (!FindValid(hwnd)) return FALSE;
  return static_cast<BOOL>(Send(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextW(HWND hwnd, LPWSTR buf, int max) {
  if (!FindValid(hwnd) || !buf || max <= 0) return 0;
  buf[0] = 0;
  return static_cast<int>(Send(hwnd, WM_GETTEXT, static_cast<WPARAM>(max), reinterpret_cast<LPARAM>(buf)));
}

int GetWindowTextLengthW(HWND hwnd) {
  if (!FindValid(hwnd)) return 0;
  return static_cast<int>(Send(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index) {
  Window* w = FindValid(hwnd);
  if (!w) return 0;
  switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(w->parent ? w->parent : w->owner);
    case GWLP_ID: return static_cast<LONG_PTR>(w->id);
    case GWL_STYLE: return static_cast<LONG_PTR>(static_cast<LONG>(w->style));
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(static_cast<LONG>(w->exStyle));
    case GWLP_USERDATA: return w->userData;
    default:
      if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= w->extra.size()) {
        LONG_PTR v;
        std::memcpy(&v, w->extra.data() + index, sizeof v);
        return v;
      }
      SetLastError(1413);
      return 0;
  }
}

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
  Window* w = FindValid(hwnd);
  if (!w) return 0;
  LONG_PTR old = 0;
  switch (index) {
    case GWLP_WNDPROC:
      old = reinterpret_cast<LONG_PTR>(w->proc);
      w->proc = reinterpret_cast<WNDPROC>(value);
      break;
    case GWLP_HINSTANCE:
      old = reinterpret_cast<LONG_PTR>(w->instance);
      w->instance = reinterpret_cast<HINSTANCE>(value);
      break;
    case GWLP_HWNDPARENT:
      old = reinterpret_cast<LONG_PTR>(w->parent ? w->parent : w->owner);
      if (!w->parent) w->owner = reinterpret_cast<HWND>(value);
      break;
    case GWLP_ID:
      old = static_cast<LONG_PTR>(w->id);
      w->id = static_cast<UINT_PTR>(value);
      break;
    case GWL_STYLE: {
      old = static_cast<LONG_PTR>(static_cast<LONG>(w->style));
      DWORD keepVisible = w->style & WS_VISIBLE;
      w->style = (static_cast<DWORD>(value) & ~WS_VISIBLE) | keepVisible;
      if ((static_cast<DWORD>(value) & WS_VISIBLE) && !keepVisible) w->style |= WS_VISIBLE;
      if (!(static_cast<DWORD>(value) & WS_VISIBLE)) w->style &= ~WS_VISIBLE;
      MarkAllDirty();
      break;
    }
    case GWL_EXSTYLE:
      old = static_cast<LONG_PTR>(static_cast<LONG>(w->exStyle));
      w->exStyle = static_cast<DWORD>(value);
      break;
    case GWLP_USERDATA:
      old = w->userData;
      w->userData = value;
      break;
    default:
      if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= w->extra.size()) {
        std::memcpy(&old, w->extra.data() + index, sizeof old);
        std::memcpy(w->extra.data() + index, &value, sizeof value);
        break;
      }
      SetLastError(1413);
      return 0;
  }
  return old;
}

LONG GetWindowLongW(HWND hwnd, int index) {
  Window* w = FindValid(hwnd);
  if (!w) return 0;
  if (index >= 0) {
    if (static_cast<std::size_t>(index) + sizeof(LONG) <= w->extra.size()) {
      LONG v;
      std::memcpy(&v, w->extra.data() + index, sizeof v);
      return v;
    }
    SetLastError(1413);
    return 0;
  }
  return static_cast<LONG>(GetWindowLongPtrW(hwnd, index));
}

LONG SetWindowLongW(HWND hwnd, int index, LONG value) {
  Window* w = FindValid(hwnd);
  if (!w) return 0;
  if (index >= 0) {
    if (static_cast<std::size_t>(index) + sizeof(LONG) <= w->extra.size()) {
      LONG old;
      std::memcpy(&old, w->extra.data() + index, sizeof old);
      std::memcpy(w->extra.data() + index, &value, sizeof value);
      return old;
    }
    SetLastError(1413);
    return 0;
  }
  return static_cast<LONG>(SetWindowLongPtrW(hwnd, index, value));
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (!proc) return 0;
  return proc(hwnd, msg, wp, lp);
}

// ---- Geometry --------------------------------------------------------------------------------

BOOL GetWindowRect(HWND hwnd, LPRECT out) {
  Window* w = FindValid(hwnd);
  if (!w || !out) return FALSE;
  *out = WindowRectOnScreen(w);
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT out) {
  Window* w = FindValid(hwnd);
  if (!w || !out) return FALSE;
  *out = RECT{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT p) {
  Window* w = FindValid(hwnd);
  if (!w || !p) return FALSE;
  POINT o = ClientOriginOnScreen(w);
  p->x += o.x;
  p->y += o.y;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT p) {
  Window* w = FindValid(hwnd);
  if (!w || !p) return FALSE;
  POINT o = ClientOriginOnScreen(w);
  p->x -= o.x;
  p->y -= o.y;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT pts, UINT count) {
  POINT o1{0, 0}, o2{0, 0};
  if (from) {
    Window* w = FindValid(from);
    if (!w) return 0;
    o1 = ClientOriginOnScreen(w);
  }
  if (to) {
    Window* w = FindValid(to);
    if (!w) return 0;
    o2 = ClientOriginOnScreen(w);
  }
  int dx = o1.x - o2.x, dy = o1.y - o2.y;
  for (UINT i = 0; i < count; ++i) {
    pts[i].x += dx;
    pts[i].y += dy;
  }
  if (dx == 0 && dy == 0) SetLastError(0);
  return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

namespace winplat::user {

BOOL SetWindowPosInternal(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
  State& s = S();
  Window* w = FindValid(hwnd);
  if (!w || hwnd == s.desktop) return FALSE;
  bool child = w->parent != nullptr;
  if (child) flags |= 0;  // children activate nothing on their own below
  WINDOWPOS wp{hwnd, after, x, y, cx, cy, flags};
  if (!(flags & SWP_NOSENDCHANGING)) {
    Send(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    if (!(w = Find(hwnd))) return FALSE;
  }
  flags = wp.flags;
  RECT old = w->rect;
  RECT oldClient = w->client;
  RECT nr = old;
  if (!(flags & SWP_NOMOVE)) OffsetRect(&nr, wp.x - old.left, wp.y - old.top);
  if (!(flags & SWP_NOSIZE)) {
    nr.right = nr.left + std::max(0, wp.cx);
    nr.bottom = nr.top + std::max(0, wp.cy);
  }
  bool visible = (w->style & WS_VISIBLE) != 0;
  bool showing = (flags & SWP_SHOWWINDOW) && !visible;
  bool hiding = (flags & SWP_HIDEWINDOW) && visible;
  bool moved = nr.left != old.left || nr.top != old.top;
  bool sized = (nr.right - nr.left) != (old.right - old.left) ||
               (nr.bottom - nr.top) != (old.bottom - old.top);
  bool frame = (flags & SWP_FRAMECHANGED) != 0;

  bool zChanged = false;
  if (!(flags & SWP_NOZORDER)) {
    std::vector<HWND>* list = &s.topLevels;
    if (child) {
      Window* p = Find(w->parent);
      list = p ? &p->children : nullptr;
    }
    if (list) {
      auto it = std::find(list->begin(), list->end(), hwnd);
      std::size_t oldIndex = static_cast<std::size_t>(it - list->begin());
      if (it != list->end()) list->erase(it);
      std::size_t index = 0;
      if (after == HWND_BOTTOM) index = list->size();
      else if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) index = 0;
      else {
        auto a = std::find(list->begin(), list->end(), after);
        index = a == list->end() ? 0 : static_cast<std::size_t>(a - list->begin()) + 1;
      }
      list->insert(list->begin() + static_cast<std::ptrdiff_t>(index), hwnd);
      zChanged = index != oldIndex;
      if (after == HWND_TOPMOST) w->exStyle |= WS_EX_TOPMOST;
      if (after == HWND_NOTOPMOST) w->exStyle &= ~WS_EX_TOPMOST;
    }
  }

  bool activate = !(flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW)) && !child;
  if (!moved && !sized && !showing && !hiding && !frame && !zChanged) {
    if (activate && visible && s.active != hwnd) ActivateWindow(hwnd, WA_ACTIVE);
    return TRUE;
  }

  RECT oldScreen = WindowRectOnScreen(w);
  if (sized || frame) {
    NCCALCSIZE_PARAMS p{};
    p.rgrc[0] = nr;
    p.rgrc[1] = old;
    p.rgrc[2] = RECT{old.left + oldClient.left, old.top + oldClient.top,
                     old.left + oldClient.right, old.top + oldClient.bottom};
    p.lppos = &wp;
    Send(hwnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&p));
    if (!(w = Find(hwnd))) return FALSE;
    RECT c = p.rgrc[0];
    w->client = RECT{c.left - nr.left, c.top - nr.top, c.right - nr.left, c.bottom - nr.top};
    if (w->client.right < w->client.left) w->client.right = w->client.left;
    if (w->client.bottom < w->client.top) w->client.bottom = w->client.top;
  }
  w->rect = nr;
  if (sized) {
    Surface old_surface = std::move(w->surface);
    w->surface = Surface();
    w->surface.Resize(nr.right - nr.left, nr.bottom - nr.top);
    int cw = std::min(old_surface.width, w->surface.width);
    int ch = std::min(old_surface.height, w->surface.height);
    bool text = old_surface.HasTextLayer() && w->surface.HasTextLayer();
    for (int row = 0; row < ch; ++row) {
      std::ptrdiff_t from = static_cast<std::ptrdiff_t>(row) * old_surface.width;
      std::ptrdiff_t to = static_cast<std::ptrdiff_t>(row) * w->surface.width;
      std::copy_n(old_surface.pixels.begin() + from, cw, w->surface.pixels.begin() + to);
      if (text) {  // the characters stay with their pixels
        std::copy_n(old_surface.glyphChars.begin() + from, cw, w->surface.glyphChars.begin() + to);
        std::copy_n(old_surface.glyphColors.begin() + from, cw, w->surface.glyphColors.begin() + to);
      }
    }
  }
  if (showing) w->style |= WS_VISIBLE;
  if (hiding) w->style &= ~WS_VISIBLE;

  int newCw = w->client.right - w->client.left, newCh = w->client.bottom - w->client.top;
  int oldCw = oldClient.right - oldClient.left, oldCh = oldClient.bottom - oldClient.top;
  bool clientSized = newCw != oldCw || newCh != oldCh;
  bool clientMoved = (nr.left + w->client.left) != (old.left + oldClient.left) ||
                     (nr.top + w->client.top) != (old.top + oldClient.top);

  if (showing) {
    w->ncPaint = true;
    InvalidateClient(w, nullptr, true, true);
  } else if (!hiding && (w->style & WS_VISIBLE) && !(flags & SWP_NOREDRAW)) {
    UINT cs = w->cls ? w->cls->style : 0;
    if (frame || sized) w->ncPaint = true;
    if (clientSized) {
      if (((cs & CS_HREDRAW) && newCw != oldCw) || ((cs & CS_VREDRAW) && newCh != oldCh)) {
        InvalidateClient(w, nullptr, true, true);
      } else {
        if (newCw > oldCw) {
          RECT r{oldCw, 0, newCw, newCh};
          InvalidateClient(w, &r, true, true);
        }
        if (newCh > oldCh) {
          RECT r{0, oldCh, newCw, newCh};
          InvalidateClient(w, &r, true, true);
        }
      }
    }
  }
  if ((moved || sized || hiding) && child) {
    if (Window* p = Find(w->parent); p && (oldClient.right > 0 || true)) {
      RECT r = old;
      InvalidateClient(p, &r, true, false);
    }
  }
  MarkDirty(oldScreen);
  MarkAllDirty();

  if (hiding) {
    if (s.focus && (s.focus == hwnd || IsChild(hwnd, s.focus))) {
      if (child) SetFocus(w->parent);
    }
    if (!child && s.active == hwnd && !(flags & SWP_NOACTIVATE)) ActivateOtherThan(hwnd);
    if (!(w = Find(hwnd))) return TRUE;
  }
  if (activate && (w->style & WS_VISIBLE)) {
    ActivateWindow(hwnd, WA_ACTIVE);
    if (!(w = Find(hwnd))) return TRUE;
  }
  if ((w->style & WS_VISIBLE) && !(flags & SWP_NOREDRAW)) {
    EraseNow(hwnd);
    if (!(w = Find(hwnd))) return TRUE;
  }

  wp.x = nr.left;
  wp.y = nr.top;
  wp.cx = nr.right - nr.left;
  wp.cy = nr.bottom - nr.top;
  wp.flags = flags;
  if (!clientSized) wp.flags |= kNoClientSize;
  if (!clientMoved) wp.flags |= kNoClientMove;
  Send(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  return TRUE;
}

}  // namespace winplat::user

BOOL SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
  return SetWindowPosInternal(hwnd, after, x, y, cx, cy, flags);
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPosInternal(hwnd, nullptr, x, y, width, height,
                              SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  State& s = S();
  Window* w = FindValid(hwnd);
  if (!w) return FALSE;
  bool wasVisible = (w->style & WS_VISIBLE) != 0;
  bool child = w->parent != nullptr;
  if (cmd == SW_HIDE) {
    if (!wasVisible) return FALSE;
    Send(hwnd, WM_SHOWWINDOW, FALSE, 0);
    if (!Find(hwnd)) return TRUE;
    SetWindowPosInternal(hwnd, nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER |
                             (s.active == hwnd ? 0 : SWP_NOACTIVATE));
    return TRUE;
  }
  if (cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED || cmd == SW_SHOWMINNOACTIVE) {
    // Nothing of ours is ever minimised: the window simply stays as it is.
    if (!wasVisible) cmd = SW_SHOWNOACTIVATE;
    else return TRUE;
  }
  UINT flags = SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE;
  if (child || cmd == SW_SHOWNA || cmd == SW_SHOWNOACTIVATE) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
  if (!wasVisible) {
    Send(hwnd, WM_SHOWWINDOW, TRUE, 0);
    if (!Find(hwnd)) return FALSE;
  }
  if (cmd == SW_MAXIMIZE) {
    Screen& screen = CurrentScreen();
    w->style |= WS_MAXIMIZE;
    SetWindowPosInternal(hwnd, nullptr, 0, 0, screen.Width(), screen.Height(),
                         (flags & ~(SWP_NOSIZE | SWP_NOMOVE)));
  } else {
    SetWindowPosInternal(hwnd, nullptr, 0, 0, 0, 0, flags);
  }
  if ((w = Find(hwnd)) && w->needSize) {
    w->needSize = false;
    Send(hwnd, WM_SIZE, SIZE_RESTORED,
         MAKELPARAM(w->client.right - w->client.left, w->client.bottom - w->client.top));
    if ((w = Find(hwnd))) {
      POINT o = ClientOriginOnScreen(w);
      if (w->parent) o = POINT{w->rect.left + w->client.left, w->rect.top + w->client.top};
      Send(hwnd, WM_MOVE, 0, MAKELPARAM(o.x, o.y));
    }
  }
  return wasVisible;
}

BOOL IsWindowVisible(HWND hwnd) {
  Window* w = Find(hwnd);
  return w && IsVisibleOnScreen(w);
}

BOOL IsWindowEnabled(HWND hwnd) {
  Window* w = FindValid(hwnd);
  return w && !(w->style & WS_DISABLED);
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  Window* w = FindValid(hwnd);
  if (!w) return FALSE;
  bool wasDisabled = (w->style & WS_DISABLED) != 0;
  if (enable && wasDisabled) {
    w->style &= ~WS_DISABLED;
    Send(hwnd, WM_ENABLE, TRUE, 0);
  } else if (!enable && !wasDisabled) {
    Send(hwnd, WM_CANCELMODE, 0, 0);
    if (!(w = Find(hwnd))) return FALSE;
    w->style |= WS_DISABLED;
    State& s = S();
    if (s.focus == hwnd || IsChild(hwnd, s.focus)) SetFocus(nullptr);
    Send(hwnd, WM_ENABLE, FALSE, 0);
  }
  return wasDisabled;
}

BOOL IsIconic(HWND hwnd) {
  Window* w = Find(hwnd);
  return w && (w->style & WS_MINIMIZE);
}

BOOL IsZoomed(HWND hwnd) {
  Window* w = Find(hwnd);
  return w && (w->style & WS_MAXIMIZE);
}

// ---- Focus and activation ------------------------------------------------------------------

HWND SetFocus(HWND hwnd) {
  State& s = S();
  HWND old = s.focus;
  if (hwnd) {
    Window* w = FindValid(hwnd);
    if (!w || w->destroying) return nullptr;
    if (w->style & WS_DISABLED) return nullptr;
    HWND root = RootOf(hwnd);
    if (root != s.active) {
      Window* r = Find(root);
      if (!r || !(r->style & WS_VISIBLE)) {
        // Focus may go to a hidden window's tree only when it is active.
      } else {
        ActivateWindow(root, WA_ACTIVE);
        if (!Find(hwnd)) return nullptr;
        old = s.focus == hwnd ? old : s.focus;
      }
    }
  }
  if (s.focus != hwnd) {
    HWND before = s.focus;
    SetFocusInternal(hwnd);
    return before;
  }
  return old;
}

HWND GetFocus() { return S().focus; }
HWND GetActiveWindow() { return S().active; }
HWND GetForegroundWindow() { return S().active; }

BOOL SetForegroundWindow(HWND hwnd) {
  Window* w = FindValid(hwnd);
  if (!w) return FALSE;
  HWND root = RootOf(hwnd);
  if (S().active != root) ActivateWindow(root, WA_ACTIVE);
  return TRUE;
}

HWND SetActiveWindow(HWND hwnd) {
  HWND prev = S().active;
  if (hwnd) {
    Window* w = FindValid(hwnd);
    if (!w || w->parent) return nullptr;
  }
  ActivateWindow(hwnd, WA_ACTIVE);
  return prev;
}

HWND SetCapture(HWND hwnd) {
  State& s = S();
  HWND prev = s.capture;
  if (hwnd && !FindValid(hwnd)) return nullptr;
  s.capture = hwnd;
  if (prev && prev != hwnd && Find(prev))
    Send(prev, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  return prev;
}

BOOL ReleaseCapture() {
  State& s = S();
  HWND prev = s.capture;
  s.capture = nullptr;
  if (prev && Find(prev)) Send(prev, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() { return S().capture; }
