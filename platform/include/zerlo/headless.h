// Test accessors of the headless screen: what it last presented and what it was asked to
// open. Everything here reads the headless screen in use; when another screen is in use the
// accessors report nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zerlo::headless {

struct ShellRequest {
  std::wstring verb;
  std::wstring target;
};

// Requests handed to the shell since the start (or the last ClearShellRequests), oldest first.
std::vector<ShellRequest> ShellRequests();
void ClearShellRequests();

struct PresentedFrame {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, row-major
  bool caretVisible = false;
  int caretLeft = 0, caretTop = 0, caretRight = 0, caretBottom = 0;
  int activeLeft = 0, activeTop = 0, activeRight = 0, activeBottom = 0;
  std::wstring activeCaption;
  std::uint32_t Pixel(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
  }
};

// Number of frames presented so far.
int PresentCount();
// The last frame presented; false (and an empty frame) before the first one.
bool LastFrame(PresentedFrame* out);

}  // namespace zerlo::headless
