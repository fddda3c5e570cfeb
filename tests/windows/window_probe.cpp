// window_probe: reports where a top-level window's client area is and how big
// its console cell is, for the smoke test that drives zerlo.exe under Wine.
//
//   window_probe CAPTION [TIMEOUT_MS]
//
// Waits until a visible top-level window with exactly that caption exists and
// its client size has stopped changing, then prints key=value lines:
//   window, client_width, client_height, client_x, client_y (the client
//   area's top-left corner in screen coordinates), cell_width, cell_height.
// The cell is measured as the console form measures it: the text metrics of a
// device context of the window with no font selected (the window's default
// font), plus 3 pixels in each direction.
// Exit status: 0 found, 1 bad arguments, 2 no such window in time,
// 3 the metrics could not be read.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::wstring Widen(const char* text) {
    std::wstring wide;
    for (const char* p = text; *p != '\0'; ++p) {
        wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*p)));
    }
    return wide;
}

HWND FindVisible(const std::wstring& caption) {
    HWND window = FindWindowW(nullptr, caption.c_str());
    return (window != nullptr && IsWindowVisible(window)) ? window : nullptr;
}

bool ClientSize(HWND window, SIZE& size) {
    RECT client{};
    if (!GetClientRect(window, &client)) {
        return false;
    }
    size.cx = client.right - client.left;
    size.cy = client.bottom - client.top;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: window_probe CAPTION [TIMEOUT_MS]\n");
        return 1;
    }
    const std::wstring caption = Widen(argv[1]);
    const DWORD timeout = argc == 3 ? static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)) : 30000;
    const DWORD poll = 100;
    const DWORD settle = 500;  // the size must hold this long

    const DWORD start = GetTickCount();
    HWND window = nullptr;
    SIZE last{-1, -1};
    DWORD stableSince = 0;
    for (;;) {
        const DWORD now = GetTickCount();
        if (now - start > timeout) {
            break;
        }
        window = FindVisible(caption);
        SIZE size{};
        if (window != nullptr && ClientSize(window, size)) {
            if (size.cx != last.cx || size.cy != last.cy) {
                last = size;
                stableSince = now;
            } else if (now - stableSince >= settle) {
                break;
            }
        } else {
            last = SIZE{-1, -1};
        }
        Sleep(poll);
    }
    if (window == nullptr || last.cx < 0) {
        std::fprintf(stderr, "window_probe: no visible window \"%s\" within %lu ms\n", argv[1],
                     static_cast<unsigned long>(timeout));
        return 2;
    }

    POINT origin{0, 0};
    ClientToScreen(window, &origin);

    HDC dc = GetDC(window);
    TEXTMETRICW metrics{};
    const bool measured = dc != nullptr && GetTextMetricsW(dc, &metrics);
    if (dc != nullptr) {
        ReleaseDC(window, dc);
    }
    if (!measured) {
        std::fprintf(stderr, "window_probe: cannot read the window's text metrics\n");
        return 3;
    }

    std::printf("window=%p\n", static_cast<void*>(window));
    std::printf("client_width=%ld\nclient_height=%ld\n", last.cx, last.cy);
    std::printf("client_x=%ld\nclient_y=%ld\n", origin.x, origin.y);
    std::printf("cell_width=%ld\ncell_height=%ld\n", metrics.tmAveCharWidth + 3, metrics.tmHeight + 3);
    std::fflush(stdout);
    return 0;
}
