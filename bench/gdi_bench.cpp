// The console's full redraw through the Win32 API: 2000 cells (80 x 25 cells of 10 x 19
// pixels) painted into an 800 x 475 memory bitmap, each a filled rectangle made with a fresh
// pen and brush plus one glyph in the console font, then one BitBlt onto a window.
// Baselines in the same run: plain memory fill of a buffer of the same size, the cells
// without text, and the copy alone.
#include <windows.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kColumns = 80, kRows = 25, kCellW = 10, kCellH = 19;
constexpr int kWidth = kColumns * kCellW, kHeight = kRows * kCellH;  // 800 x 475
constexpr int kCells = kColumns * kRows;

LRESULT CALLBACK BenchProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The window, its DC, the off-screen bitmap and the console font, made once.
struct Scene {
  HWND hwnd = nullptr;
  HDC window = nullptr;
  HDC memory = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ oldBitmap = nullptr;
  HFONT font = nullptr;

  Scene() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = BenchProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"ZerloGdiBench";
    RegisterClassW(&wc);
    hwnd = CreateWindowExW(0, L"ZerloGdiBench", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                           kWidth + 40, kHeight + 80, nullptr, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
    window = GetDC(hwnd);
    memory = CreateCompatibleDC(window);
    bitmap = CreateCompatibleBitmap(window, kWidth, kHeight);
    oldBitmap = SelectObject(memory, bitmap);
    font = CreateFontW(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_OUTLINE_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, 0, L"Lucida Console");
  }
  ~Scene() {
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    DeleteObject(font);
    ReleaseDC(hwnd, window);
    DestroyWindow(hwnd);
  }
  bool ok() const { return hwnd && window && memory && bitmap && font; }
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

COLORREF CellBack(int i) { return (i % 7 == 0) ? RGB(0, 128, 0) : RGB(0, 0, 0); }
COLORREF CellText(int i) { return (i % 5 == 0) ? RGB(255, 255, 0) : RGB(255, 255, 255); }

// One cell as the console form paints it: a rectangle with a new pen and brush, then the
// character with TextOutW in the console font on a transparent background.
void PaintCell(HDC dc, HFONT font, int i, bool withText) {
  const int x = (i % kColumns) * kCellW, y = (i / kColumns) * kCellH;
  const COLORREF back = CellBack(i);
  HPEN pen = CreatePen(PS_SOLID, 1, back);
  HBRUSH brush = CreateSolidBrush(back);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  Rectangle(dc, x, y, x + kCellW, y + kCellH);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
  if (!withText) return;
  SetBkMode(dc, TRANSPARENT);
  const wchar_t ch = static_cast<wchar_t>(L'!' + i % 94);
  HGDIOBJ oldFont = SelectObject(dc, font);
  COLORREF oldColor = SetTextColor(dc, CellText(i));
  TextOutW(dc, x, y, &ch, 1);
  SetTextColor(dc, oldColor);
  SelectObject(dc, oldFont);
}

void Report(benchmark::State& state) {
  state.counters["per_cell"] = benchmark::Counter(
      kCells, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ScreenOfCells(benchmark::State& state) {
  Scene& s = TheScene();
  if (!s.ok()) {
    state.SkipWithError("no window");
    return;
  }
  for (int i = 0; i < kCells; ++i) PaintCell(s.memory, s.font, i, true);  // glyphs cached
  for (auto _ : state) {
    for (int i = 0; i < kCells; ++i) PaintCell(s.memory, s.font, i, true);
    BitBlt(s.window, 0, 0, kWidth, kHeight, s.memory, 0, 0, SRCCOPY);
  }
  Report(state);
}
BENCHMARK(BM_ScreenOfCells)->Unit(benchmark::kMicrosecond);

// The same with the off-screen DC and bitmap made and released per redraw, as the paint
// surface's buffering does.
void BM_ScreenOfCellsWithFreshBitmap(benchmark::State& state) {
  Scene& s = TheScene();
  if (!s.ok()) {
    state.SkipWithError("no window");
    return;
  }
  for (auto _ : state) {
    HDC memory = CreateCompatibleDC(s.window);
    HBITMAP bitmap = CreateCompatibleBitmap(s.window, kWidth, kHeight);
    HGDIOBJ old = SelectObject(memory, bitmap);
    for (int i = 0; i < kCells; ++i) PaintCell(memory, s.font, i, true);
    BitBlt(s.window, 0, 0, kWidth, kHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
  }
  Report(state);
}
BENCHMARK(BM_ScreenOfCellsWithFreshBitmap)->Unit(benchmark::kMicrosecond);

void BM_CellsWithoutText(benchmark::State& state) {
  Scene& s = TheScene();
  if (!s.ok()) {
    state.SkipWithError("no window");
    return;
  }
  for (auto _ : state)
    for (int i = 0; i < kCells; ++i) PaintCell(s.memory, s.font, i, false);
  Report(state);
}
BENCHMARK(BM_CellsWithoutText)->Unit(benchmark::kMicrosecond);

void BM_BitBltOnly(benchmark::State& state) {
  Scene& s = TheScene();
  if (!s.ok()) {
    state.SkipWithError("no window");
    return;
  }
  for (auto _ : state) BitBlt(s.window, 0, 0, kWidth, kHeight, s.memory, 0, 0, SRCCOPY);
}
BENCHMARK(BM_BitBltOnly)->Unit(benchmark::kMicrosecond);

// Baseline: filling a plain buffer of the bitmap's size, no GDI at all.
void BM_BaselinePlainFill(benchmark::State& state) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kWidth) * kHeight);
  std::uint32_t value = 0;
  for (auto _ : state) {
    std::fill(pixels.begin(), pixels.end(), ++value);
    benchmark::DoNotOptimize(pixels.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_BaselinePlainFill)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
