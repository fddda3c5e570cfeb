// Small pieces the real screens share: the virtual-key codes they produce, text conversion
// for captions and addresses, and starting the desktop's opener detached from us.
// Header-only so that each screen library stays self-contained.
#pragma once

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstdint>
#include <string>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace winplat::screenos {

// Virtual-key codes, as the Win32 API numbers them.
enum Vk : unsigned {
  kBack = 0x08, kTab = 0x09, kReturn = 0x0D, kShift = 0x10, kControl = 0x11, kMenu = 0x12,
  kPause = 0x13, kCapital = 0x14, kEscape = 0x1B, kSpace = 0x20, kPrior = 0x21, kNext = 0x22,
  kEnd = 0x23, kHome = 0x24, kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28,
  kSnapshot = 0x2C, kInsert = 0x2D, kDelete = 0x2E, kLWin = 0x5B, kRWin = 0x5C, kApps = 0x5D,
  kNumpad0 = 0x60, kMultiply = 0x6A, kAdd = 0x6B, kSeparator = 0x6C, kSubtract = 0x6D,
  kDecimal = 0x6E, kDivide = 0x6F, kF1 = 0x70, kNumLock = 0x90, kScroll = 0x91,
  kOem1 = 0xBA /* ;: */, kOemPlus = 0xBB, kOemComma = 0xBC, kOemMinus = 0xBD, kOemPeriod = 0xBE,
  kOem2 = 0xBF /* /? */, kOem3 = 0xC0 /* `~ */, kOem4 = 0xDB /* [{ */, kOem5 = 0xDC /* \| */,
  kOem6 = 0xDD /* ]} */, kOem7 = 0xDE /* '" */, kOem102 = 0xE2 /* <> */,
  kPacket = 0xE7,  // a character that came without a key of its own (input method, paste)
};

// The key a printable ASCII character is on, on the reference layout; 0 when none.
inline unsigned VkForAscii(char32_t c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned>(c - 'a' + 'A');
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned>(c);
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c);
  switch (c) {
    case ' ': return kSpace;
    case ';': case ':': return kOem1;
    case '=': case '+': return kOemPlus;
    case ',': case '<': return kOemComma;
    case '-': case '_': return kOemMinus;
    case '.': case '>': return kOemPeriod;
    case '/': case '?': return kOem2;
    case '`': case '~': return kOem3;
    case '[': case '{': return kOem4;
    case '\\': case '|': return kOem5;
    case ']': case '}': return kOem6;
    case '\'': case '"': return kOem7;
    case '!': return '1'; case '@': return '2'; case '#': return '3'; case '$': return '4';
    case '%': return '5'; case '^': return '6'; case '&': return '7'; case '*': return '8';
    case '(': return '9'; case ')': return '0';
    default: return 0;
  }
}

// Characters typed with Shift on the reference layout.
inline bool AsciiNeedsShift(char32_t c) {
  if (c >= 'A' && c <= 'Z') return true;
  switch (c) {
    case ':': case '+': case '<': case '_': case '>': case '?': case '~': case '{': case '|':
    case '}': case '"': case '!': case '@': case '#': case '$': case '%': case '^': case '&':
    case '*': case '(': case ')': return true;
    default: return false;
  }
}

inline std::string ToUtf8(const std::wstring& text) {
  std::string out;
  for (wchar_t wc : text) {
    auto c = static_cast<std::uint32_t>(wc);
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// Decodes UTF-8 into code points; malformed bytes become U+FFFD.
inline std::u32string FromUtf8(const char* s) {
  std::u32string out;
  auto p = reinterpret_cast<const unsigned char*>(s);
  while (*p) {
    unsigned char b = *p;
    int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    if (extra < 0) { out += U'\uFFFD'; ++p; continue; }
    char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    ++p;
    bool ok = true;
    for (int i = 0; i < extra; ++i, ++p) {
      if ((*p & 0xC0) != 0x80) { ok = false; break; }
      c = (c << 6) | (*p & 0x3F);
    }
    out += ok ? c : U'\uFFFD';
  }
  return out;
}

// Starts `program target` with no shell, in a session of its own, with standard input,
// output and error on /dev/null, and without waiting for it; a helper thread reaps it so no
// zombie stays. Returns a value above 32 when it was started, else a Win32-style error code
// (2: the opener is not installed, 31: no program could be started).
inline std::intptr_t SpawnDetached(const char* program, const std::string& target) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  if (posix_spawn_file_actions_init(&actions) != 0) return 31;
  if (posix_spawnattr_init(&attr) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return 31;
  }
  for (int fd : {0, 1, 2})
    posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
  // A child of ours must not inherit our signal mask or our handlers' dispositions.
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  std::string prog = program, arg = target;
  char* argv[] = {prog.data(), arg.data(), nullptr};
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, program, &actions, &attr, argv, environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return rc == ENOENT ? 2 : 31;
  std::thread([pid] {
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return 42;
}

// The desktop's opener; ZERLO_OPENER overrides it (tests point it at a recorder).
inline const char* Opener() {
  const char* o = std::getenv("ZERLO_OPENER");
  return o && *o ? o : "xdg-open";
}

}  // namespace winplat::screenos
