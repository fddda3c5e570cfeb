#include "terminal_screen.h"

#include <curses.h>
#include <term.h>

#include <fcntl.h>
#include <langinfo.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "../screen_os.h"
#include "terminal_cells.h"
#include "terminal_keys.h"

namespace winplat {
namespace {

using namespace terminalscreen;

constexpr int kMinCols = 80, kMinRows = 26;  // an 80x25 console and its menu bar

// ---- Giving the terminal back: on every way out, from signal handlers too ---------------
std::atomic<bool> gActive{false};
int gOutFd = -1;
bool gTitlePushed = false;
volatile sig_atomic_t gInWait = 0;
volatile sig_atomic_t gPendingSignal = 0;
int gWakePipe[2] = {-1, -1};
constexpr int kQuitSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
struct sigaction gOldActions[65];

void WriteAll(int fd, const char* s, size_t n) {
  while (n > 0) {
    ssize_t w = write(fd, s, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return;
    s += w;
    n -= static_cast<size_t>(w);
  }
}

void RestoreTerminal() {
  if (!gActive.exchange(false)) return;
  endwin();
  if (gTitlePushed) WriteAll(gOutFd, "\033[23;0t", 7);  // the title the terminal had before
}

[[noreturn]] void DieBySignal(int sig) {
  RestoreTerminal();
  signal(sig, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, sig);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  raise(sig);
  _exit(128 + sig);
}

void OnQuitSignal(int sig) {
  if (gInWait) {  // the waiting loop restores the terminal between two complete writes
    gPendingSignal = sig;
    int saved = errno;
    [[maybe_unused]] ssize_t w = write(gWakePipe[1], "x", 1);
    errno = saved;
    return;
  }
  DieBySignal(sig);
}

void OnCrash(int sig, siginfo_t* info, void*) {
  // Give the terminal back first, so whatever reports the crash next is readable.
  RestoreTerminal();
  sigaction(sig, &gOldActions[sig], nullptr);
  // A fault caught here happens again on return, now with the previous handler (a sanitizer
  // report or the default core dump); a signal that was sent is sent again.
  if (info->si_code <= 0 || sig == SIGABRT) raise(sig);
}

void InstallHandlers() {
  struct sigaction sa {};
  sigemptyset(&sa.sa_mask);
  sa.sa_handler = OnQuitSignal;
  for (int s : kQuitSignals) sigaction(s, &sa, &gOldActions[s]);
  struct sigaction crash {};
  sigemptyset(&crash.sa_mask);
  crash.sa_sigaction = OnCrash;
  crash.sa_flags = SA_SIGINFO;
  for (int s : kCrashSignals) sigaction(s, &crash, &gOldActions[s]);
}

void RemoveHandlers() {
  for (int s : kQuitSignals) sigaction(s, &gOldActions[s], nullptr);
  for (int s : kCrashSignals) sigaction(s, &gOldActions[s], nullptr);
}

bool XtermLike(const char* term) {
  static const char* const kFamilies[] = {"xterm", "rxvt", "screen", "tmux", "alacritty", "foot",
                                          "kitty", "vte", "gnome", "konsole", "st-", "mintty", "wezterm"};
  for (const char* f : kFamilies)
    if (std::strncmp(term, f, std::strlen(f)) == 0) return true;
  return false;
}

bool Utf8Locale() {
  const char* cs = nl_langinfo(CODESET);
  return cs && (std::strcmp(cs, "UTF-8") == 0 || std::strcmp(cs, "utf8") == 0);
}

// The terminal type to drive: the environment's, or its direct-colour variant when the
// terminal says it shows 24-bit colour but its usual description offers only a palette.
std::string ChooseTerm(const char* term, int fd) {
  std::string chosen = term;
  const char* ct = std::getenv("COLORTERM");
  if (!ct || (std::strcmp(ct, "truecolor") != 0 && std::strcmp(ct, "24bit") != 0)) return chosen;
  int err = 0;
  auto direct = [&](const std::string& name) {
    if (setupterm(name.c_str(), fd, &err) != OK) return false;
    bool yes = tigetflag(const_cast<char*>("RGB")) > 0 || tigetnum(const_cast<char*>("colors")) >= (1 << 24);
    del_curterm(cur_term);
    cur_term = nullptr;
    return yes;
  };
  if (direct(chosen)) return chosen;
  std::string candidate = chosen.substr(0, chosen.find('-')) + "-direct";
  if (direct(candidate)) return candidate;
  return chosen;
}

class TerminalScreen final : public Screen {
 public:
  ~TerminalScreen() override;
  bool Init(FILE* in, FILE* out, const std::string& term);

  const char* Name() const override { return "terminal"; }
  bool ShowsText() const override { return true; }
  int Width() const override { return cols_ * kCellW; }
  int Height() const override { return rows_ * kCellH; }
  DefaultFontMetrics DefaultFont() const override { return {16, 7}; }
  void Present(const Frame& frame) override;
  bool Wait(int timeoutMs, InputSink& sink) override;
  std::intptr_t Open(const std::wstring& target) override {
    // Detached, in its own session, with /dev/null for its standard streams: the opener
    // and whatever it starts never write over our screen or read our keys.
    return screenos::SpawnDetached(screenos::Opener(), screenos::ToUtf8(target));
  }

 private:
  enum class Colors { Direct, Palette256, Palette16, Palette8, None };
  int PairFor(std::uint32_t fg, std::uint32_t bg);
  void Put(int row, int col, const Cell& cell);
  void RedrawAll();
  void ShowSizeMessage();
  void PlaceCursor();
  void Flush();
  bool DrainInput(InputSink& sink);
  void Deliver(const std::vector<KeyEvent>& keys, InputSink& sink);
  void HandleMouse(InputSink& sink);
  void HandleResize(InputSink& sink);
  [[noreturn]] void Lost();

  SCREEN* screen_ = nullptr;
  FILE* in_ = nullptr;
  FILE* out_ = nullptr;
  bool ownIn_ = false;
  int cols_ = 0, rows_ = 0;
  Colors colors_ = Colors::None;
  std::vector<Cell> model_;  // what the terminal shows, cols_ x rows_
  Grid grid_;
  bool haveGrid_ = false;
  int needCols_ = kMinCols, needRows_ = kMinRows;
  bool tooSmall_ = false;
  bool caretShown_ = false;
  int caretCol_ = 0, caretRow_ = 0;
  int cursorMode_ = -1;
  bool titles_ = false;
  std::string title_;
};

TerminalScreen::~TerminalScreen() {
  RestoreTerminal();
  if (screen_) delscreen(screen_);
  RemoveHandlers();
  if (ownIn_ && in_) std::fclose(in_);
}

bool TerminalScreen::Init(FILE* in, FILE* out, const std::string& term) {
  in_ = in;
  out_ = out;
  ownIn_ = in != stdin;
  gOutFd = fileno(out);
  if (gWakePipe[0] < 0 && pipe2(gWakePipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  // Our handlers go in first, so the library keeps its hands off Ctrl-C and SIGTERM.
  InstallHandlers();
  screen_ = newterm(term.c_str(), out, in);
  if (!screen_) {
    RemoveHandlers();
    return false;
  }
  set_term(screen_);
  gActive = true;
  static bool atExitSet = false;
  if (!atExitSet) {
    std::atexit(RestoreTerminal);
    atExitSet = true;
  }
  cbreak();  // Ctrl-C stays a signal
  noecho();
  nonl();
  intrflush(stdscr, FALSE);
  keypad(stdscr, TRUE);
  nodelay(stdscr, TRUE);
  leaveok(stdscr, FALSE);
  if (!std::getenv("ESCDELAY")) set_escdelay(25);  // Esc alone answers at once
  mousemask(BUTTON1_PRESSED | BUTTON1_RELEASED | BUTTON1_CLICKED | BUTTON3_PRESSED | BUTTON3_RELEASED |
                BUTTON3_CLICKED | BUTTON4_PRESSED | BUTTON5_PRESSED,
            nullptr);
  mouseinterval(0);
  if (has_colors() && start_color() == OK) {
    colors_ = COLORS >= (1 << 24) ? Colors::Direct
              : COLORS >= 256     ? Colors::Palette256
              : COLORS >= 16      ? Colors::Palette16
              : COLORS >= 8       ? Colors::Palette8
                                  : Colors::None;
  }
  cols_ = COLS;
  rows_ = LINES;
  model_.assign(static_cast<size_t>(cols_) * rows_, Cell{});
  titles_ = XtermLike(term.c_str());
  if (titles_) {
    std::fflush(out_);
    WriteAll(gOutFd, "\033[22;0t", 7);  // keep the terminal's own title to give it back
    gTitlePushed = true;
  }
  curs_set(0);
  cursorMode_ = 0;
  erase();
  refresh();
  return true;
}

int TerminalScreen::PairFor(std::uint32_t fg, std::uint32_t bg) {
  int f = 0, b = 0;
  switch (colors_) {
    case Colors::Direct: {
      // Values below 8 would select the terminal's palette, not a 24-bit colour.
      auto direct = [](std::uint32_t c) { return static_cast<int>(c > 0 && c < 8 ? 8 : c); };
      f = direct(fg), b = direct(bg);
      break;
    }
    case Colors::Palette256: f = Nearest256(fg), b = Nearest256(bg); break;
    case Colors::Palette16: f = Nearest16(fg), b = Nearest16(bg); break;
    case Colors::Palette8: f = Nearest8(fg), b = Nearest8(bg); break;
    case Colors::None: return 0;
  }
  int pair = alloc_pair(f, b);
  return pair < 0 ? 0 : pair;
}

void TerminalScreen::Put(int row, int col, const Cell& cell) {
  wchar_t wch[2] = {static_cast<wchar_t>(cell.ch), 0};
  if (wcwidth(wch[0]) != 1) wch[0] = cell.ch == U' ' ? L' ' : L'?';
  attr_t attrs = A_NORMAL;
  if (colors_ == Colors::None) {  // no colours: light backgrounds become reverse video
    auto luma = [](std::uint32_t c) { return ((c >> 16) & 0xFF) * 3 + ((c >> 8) & 0xFF) * 6 + (c & 0xFF); };
    if (luma(cell.bg) > luma(cell.fg)) attrs |= A_REVERSE;
  }
  int pair = PairFor(cell.fg, cell.bg);
  cchar_t cc;
  setcchar(&cc, wch, attrs, 0, &pair);
  mvwadd_wch(stdscr, row, col, &cc);
}

void TerminalScreen::RedrawAll() {
  if (tooSmall_) {
    ShowSizeMessage();
    return;
  }
  erase();
  for (int r = 0; r < rows_; ++r)
    for (int c = 0; c < cols_; ++c) Put(r, c, model_[static_cast<size_t>(r) * cols_ + c]);
  Flush();
}

void TerminalScreen::ShowSizeMessage() {
  erase();
  char msg[3][120];
  std::snprintf(msg[0], sizeof msg[0], "Terminale troppo piccolo: %dx%d", cols_, rows_);
  std::snprintf(msg[1], sizeof msg[1], "ne servono almeno %dx%d.", needCols_, needRows_);
  std::snprintf(msg[2], sizeof msg[2], "Allargare la finestra, o Esc per uscire.");
  int top = std::max(0, rows_ / 2 - 1);
  for (int i = 0; i < 3 && top + i < rows_; ++i) {
    int len = static_cast<int>(std::strlen(msg[i]));
    mvaddnstr(top + i, std::max(0, (cols_ - len) / 2), msg[i], cols_);
  }
  if (cursorMode_ != 0) curs_set(0), cursorMode_ = 0;
  refresh();
}

void TerminalScreen::PlaceCursor() {
  bool show = caretShown_ && caretCol_ >= 0 && caretCol_ < cols_ && caretRow_ >= 0 && caretRow_ < rows_;
  if (show) wmove(stdscr, caretRow_, caretCol_);
  int mode = show ? 1 : 0;
  if (mode != cursorMode_) {
    curs_set(mode);
    cursorMode_ = mode;
  }
}

void TerminalScreen::Flush() {
  PlaceCursor();
  wnoutrefresh(stdscr);
  doupdate();
}

void TerminalScreen::Present(const Frame& frame) {
  ScreenRect win = frame.activeWindow;
  if (!win.empty()) {
    needCols_ = std::max(kMinCols, (win.right - win.left + kCellW - 1) / kCellW);
    needRows_ = std::max(kMinRows, (win.bottom - win.top + kCellH - 1) / kCellH);
  }
  bool small = cols_ < needCols_ || rows_ < needRows_;
  Grid grid = GridFor(win);
  bool full = !haveGrid_ || grid.dx != grid_.dx || grid.dy != grid_.dy;
  grid_ = grid;
  haveGrid_ = true;

  // Rows whose blocks the change touches (a row is read whole: a narrow-pitch text run
  // spreads over the row). The caret's old and new rows follow it anyway.
  int r0 = 0, r1 = rows_ - 1;
  if (!full) {
    if (frame.changed.empty()) r1 = -1;
    else r0 = std::max(0, CellRow(grid, frame.changed.top)), r1 = std::min(rows_ - 1, CellRow(grid, frame.changed.bottom - 1));
  }
  std::vector<Cell> row(static_cast<size_t>(cols_));
  for (int r = r0; r <= r1; ++r) {
    ReadRow(frame, grid, r, cols_, row.data());
    for (int c = 0; c < cols_; ++c) {
      Cell& shown = model_[static_cast<size_t>(r) * cols_ + c];
      if (shown == row[static_cast<size_t>(c)] && !full) continue;
      shown = row[static_cast<size_t>(c)];
      if (!small) Put(r, c, shown);
    }
  }

  caretShown_ = frame.caretVisible && !frame.caret.empty();
  if (caretShown_) {
    caretCol_ = CellCol(grid, frame.caret.left);
    caretRow_ = CellRow(grid, frame.caret.top);
  }
  if (titles_) {
    std::string title = screenos::ToUtf8(frame.activeCaption);
    for (char& ch : title)
      if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F) ch = ' ';
    if (title != title_) {
      title_ = title;
      std::fflush(out_);
      std::string seq = "\033]2;" + title + "\007";
      WriteAll(gOutFd, seq.data(), seq.size());
    }
  }
  if (small != tooSmall_) {
    tooSmall_ = small;
    if (!small) clearok(curscr, TRUE);
    RedrawAll();
    return;
  }
  if (!small) Flush();
}

void TerminalScreen::Deliver(const std::vector<KeyEvent>& keys, InputSink& sink) {
  for (const KeyEvent& k : keys) sink.Key(k.vk, k.down, k.ch);
}

void TerminalScreen::HandleMouse(InputSink& sink) {
  MEVENT me;
  if (getmouse(&me) != OK || !haveGrid_) return;
  int x = CellCenterX(grid_, me.x), y = CellCenterY(grid_, me.y);
  mmask_t s = me.bstate;
  if (s & BUTTON4_PRESSED) return sink.Wheel(x, y, 120);
  if (s & BUTTON5_PRESSED) return sink.Wheel(x, y, -120);
  sink.Mouse(x, y, 0, false);  // the pointer is where the click is
  if (s & BUTTON1_PRESSED) sink.Mouse(x, y, 1, true);
  if (s & BUTTON1_RELEASED) sink.Mouse(x, y, 1, false);
  if (s & BUTTON1_CLICKED) sink.Mouse(x, y, 1, true), sink.Mouse(x, y, 1, false);
  if (s & BUTTON3_PRESSED) sink.Mouse(x, y, 2, true);
  if (s & BUTTON3_RELEASED) sink.Mouse(x, y, 2, false);
  if (s & BUTTON3_CLICKED) sink.Mouse(x, y, 2, true), sink.Mouse(x, y, 2, false);
}

void TerminalScreen::HandleResize(InputSink& sink) {
  int cols = COLS, rows = LINES;
  std::vector<Cell> model(static_cast<size_t>(cols) * rows);
  for (int r = 0; r < std::min(rows, rows_); ++r)
    for (int c = 0; c < std::min(cols, cols_); ++c)
      model[static_cast<size_t>(r) * cols + c] = model_[static_cast<size_t>(r) * cols_ + c];
  model_ = std::move(model);
  cols_ = cols;
  rows_ = rows;
  tooSmall_ = cols_ < needCols_ || rows_ < needRows_;
  haveGrid_ = false;  // the next frame is read whole
  clearok(curscr, TRUE);
  RedrawAll();
  sink.Resized();
}

bool TerminalScreen::DrainInput(InputSink& sink) {
  bool delivered = false;
  bool havePending = false;
  int pendingRc = ERR;
  wint_t pending = 0;
  for (;;) {
    wint_t wc = 0;
    int rc;
    if (havePending) {
      rc = pendingRc, wc = pending, havePending = false;
    } else {
      rc = wget_wch(stdscr, &wc);
    }
    if (rc == ERR) break;
    if (rc == KEY_CODE_YES && wc == KEY_RESIZE) {
      HandleResize(sink);
      delivered = true;
      continue;
    }
    bool alt = false;
    if (rc == OK && wc == 27) {
      // Alt+key arrives as Esc and the key together; Esc alone is Esc.
      wint_t next = 0;
      int nrc = wget_wch(stdscr, &next);
      if (nrc == OK && next >= 0x20 && next < 0x7F) {
        alt = true;
        wc = next;
      } else if (nrc != ERR) {
        havePending = true, pendingRc = nrc, pending = next;
      }
    }
    if (tooSmall_) {
      // Only leaving is possible while the picture does not fit.
      if (rc == OK && wc == 27 && !alt) {
        sink.CloseRequested();
        delivered = true;
      }
      continue;
    }
    if (rc == KEY_CODE_YES && wc == KEY_MOUSE) {
      HandleMouse(sink);
      delivered = true;
      continue;
    }
    auto keys = KeysFor(rc == KEY_CODE_YES, static_cast<unsigned>(wc), alt);
    if (!keys.empty()) {
      Deliver(keys, sink);
      delivered = true;
    }
  }
  return delivered;
}

void TerminalScreen::Lost() {
  // Nobody is there to answer: give back what can be given back and leave.
  DieBySignal(SIGHUP);
}

bool TerminalScreen::Wait(int timeoutMs, InputSink& sink) {
  auto now = [] {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
  };
  long long deadline = timeoutMs < 0 ? -1 : now() + timeoutMs;
  int fd = fileno(in_);
  for (;;) {
    if (DrainInput(sink)) return true;
    int ms = -1;
    if (deadline >= 0) {
      long long left = deadline - now();
      if (left <= 0) return false;
      ms = static_cast<int>(std::min<long long>(left, 1 << 30));
    }
    pollfd fds[2] = {{fd, POLLIN, 0}, {gWakePipe[0], POLLIN, 0}};
    gInWait = 1;
    int n = gPendingSignal ? 0 : poll(fds, 2, ms);
    gInWait = 0;
    if (gPendingSignal) DieBySignal(gPendingSignal);
    if (n < 0) continue;  // a resize: the library has queued it for the next read
    if (n == 0) continue;
    if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
      if (!(fds[0].revents & POLLIN)) Lost();
    }
    if (fds[0].revents & POLLIN) {
      int avail = 0;
      if (ioctl(fd, FIONREAD, &avail) != 0 || avail == 0) {
        // Readable with nothing to read: the terminal hung up. The library may still hold
        // bytes of its own, so try it first.
        if (DrainInput(sink)) return true;
        Lost();
      }
    }
  }
}

}  // namespace

std::unique_ptr<Screen> MakeTerminalScreen() {
  if (!isatty(STDOUT_FILENO)) return nullptr;
  const char* term = std::getenv("TERM");
  if (!term || !*term || std::strcmp(term, "dumb") == 0) return nullptr;
  FILE* in = stdin;
  if (!isatty(STDIN_FILENO)) {
    int fd = open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (fd < 0) return nullptr;
    in = fdopen(fd, "r");
    if (!in) {
      close(fd);
      return nullptr;
    }
  }
  // Characters beyond ASCII need the multibyte encoding of the terminal: take the
  // environment's; where it names none (C, POSIX) the terminal is taken to be UTF-8.
  if (!std::setlocale(LC_CTYPE, "") || !Utf8Locale()) {
    const char* l = std::setlocale(LC_CTYPE, nullptr);
    if (!l || std::strcmp(l, "C") == 0 || std::strcmp(l, "POSIX") == 0) std::setlocale(LC_CTYPE, "C.UTF-8");
  }
  std::string chosen = ChooseTerm(term, STDOUT_FILENO);
  auto screen = std::make_unique<TerminalScreen>();
  if (!screen->Init(in, stdout, chosen)) return nullptr;  // closes what it opened
  return screen;
}

namespace {
[[maybe_unused]] const bool kRegistered = (RegisterScreenFactory("terminal", &MakeTerminalScreen), true);
}  // namespace

}  // namespace winplat
