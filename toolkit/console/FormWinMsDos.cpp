#include "toolkit/console/FormWinMsDos.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "toolkit/dispatch/Menus.h"

namespace TivraUtility {

namespace {

FormWinMsDos* AsConsole(GUIElement* element) { return dynamic_cast<FormWinMsDos*>(element); }

// The five callbacks the console installs: each calls the matching virtual operation, so that a
// derived form's overrides apply.
int ConsoleCreated(GUIElement* element, HWND) {
  if (FormWinMsDos* form = AsConsole(element)) {
    form->SetupScreen();
    form->OnStart();
  }
  return 0;
}

int ConsoleKeyDown(GUIElement* element, UINT virtualKey) {
  if (FormWinMsDos* form = AsConsole(element)) form->OnKeyDownInput(static_cast<int>(virtualKey));
  return 0;
}

bool ConsoleChar(GUIElement* element, UINT character) {
  FormWinMsDos* form = AsConsole(element);
  return form == nullptr || form->OnCharInput(static_cast<int>(character));
}

int ConsoleResized(GUIElement* element) {
  if (FormWinMsDos* form = AsConsole(element)) form->FitWindow();
  return 0;
}

bool ConsoleCloseRequested(GUIElement* element) {
  FormWinMsDos* form = AsConsole(element);
  return form == nullptr || form->ReleaseHotKeys();
}

constexpr unsigned char Blank = 32;

}  // namespace

FormWinMsDos::FormWinMsDos(HINSTANCE instance, std::string title) : Form(instance) {
  InitialiseScreen(title);
  Create();
  if (created && handle != nullptr) {
    SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(consoleFont_->GetFont()), TRUE);
  }
  // Shrinking by one pixel raises a size notification: FitWindow gives the window its final
  // size and centres it.
  const int shrunkWidth = GetWidth() - 1;
  const int shrunkHeight = GetHeight() - 1;
  SetSize(shrunkWidth, shrunkHeight);
}

FormWinMsDos::FormWinMsDos(HINSTANCE instance, std::string title, WithoutWindow cell)
    : Form(instance) {
  InitialiseScreen(title);
  cellWidth = cell.cellWidth;
  cellHeight = cell.cellHeight;
}

void FormWinMsDos::InitialiseScreen(const std::string& title) {
  cellWidth = 0;
  cellHeight = 0;
  lastKey = 0;
  suppressRepaint = false;
  surface = nullptr;
  consoleFont_ = new FontDescription("Lucida Console", 16);
  font = consoleFont_;
  SetBackgroundColor(0x000000);
  defaultTextColor = 0xFFFFFF;
  textColor = 0xFFFFFF;
  backColor = backgroundColor;
  waitingKey = false;
  Clear();
  SetSize(800, 500);
  SetText(title);
  minimizeBox = true;
  resizable = true;
  onCreate = ConsoleCreated;
  onKeyDown = ConsoleKeyDown;
  onChar = ConsoleChar;
  onSize = ConsoleResized;
  onClose = ConsoleCloseRequested;
}

FormWinMsDos::~FormWinMsDos() {
  if (handle != nullptr) {
    DestroyCaret();
    // Closes a window that is still open; a window already destroyed gets no request.
    if (!destroyed) SendMessageW(handle, WM_CLOSE, 0, 0);
  }
  created = false;
  font = nullptr;
  delete consoleFont_;
  consoleFont_ = nullptr;
  if (surface != nullptr) {
    surface->EndDrawing();
    delete surface;
    surface = nullptr;
  }
}

// ---- The screen model ------------------------------------------------------------------------

int FormWinMsDos::PixelColumn() const { return cellWidth == 0 ? 0 : cursorX / cellWidth; }
int FormWinMsDos::PixelRow() const { return cellHeight == 0 ? 0 : cursorY / cellHeight; }

void FormWinMsDos::MoveToCell(int column, int row) {
  cursorX = column * cellWidth;
  cursorY = row * cellHeight;
  PlaceCaret(cursorX, cursorY);
}

void FormWinMsDos::Clear() {
  cursorX = cursorY = cursorCol = cursorRow = 0;
  cellChars.fill(Blank);
  cellTextColors.fill(defaultTextColor);
  cellBackColors.fill(backgroundColor);
  PlaceCaret(0, 0);
  RequestRepaint();
}

void FormWinMsDos::ScrollUp() {
  constexpr int kept = CellCount - Columns;
  std::copy(cellChars.begin() + Columns, cellChars.end(), cellChars.begin());
  std::copy(cellTextColors.begin() + Columns, cellTextColors.end(), cellTextColors.begin());
  std::copy(cellBackColors.begin() + Columns, cellBackColors.end(), cellBackColors.begin());
  std::fill(cellChars.begin() + kept, cellChars.end(), Blank);
  std::fill(cellTextColors.begin() + kept, cellTextColors.end(), defaultTextColor);
  std::fill(cellBackColors.begin() + kept, cellBackColors.end(), backgroundColor);
}

void FormWinMsDos::GotoCell(int column, int row) {
  // A position off the grid would make the next Print write outside it: keep it on the grid.
  column = std::clamp(column, 0, Columns - 1);
  row = std::clamp(row, 0, Rows - 1);
  MoveToCell(column, row);
}

void FormWinMsDos::Print(const char* text) {
  cursorCol = PixelColumn();
  cursorRow = PixelRow();
  if (text == nullptr) return;
  for (const char* p = text; *p != '\0'; ++p) {
    const auto b = static_cast<unsigned char>(*p);
    const int c = PixelColumn();
    const int r = PixelRow();
    int newColumn = 0;
    int newRow = r;
    if (b == '\n') {
      if (r + 1 > Rows - 1) {
        ScrollUp();
        RequestRepaint();
      } else {
        newRow = r + 1;
      }
    } else {
      const int i = CellIndex(c, r);
      cellChars[i] = b;
      cellTextColors[i] = textColor;
      cellBackColors[i] = backColor;
      RefreshCell(b);
      if (c + 1 < Columns) {
        newColumn = c + 1;
      } else if (r + 1 > Rows - 1) {
        ScrollUp();
        RequestRepaint();
      } else {
        newRow = r + 1;
      }
    }
    MoveToCell(newColumn, newRow);
  }
  cursorCol = PixelColumn();
  cursorRow = PixelRow();
}

void FormWinMsDos::PrintInDefaultColors(const char* text) {
  char buffer[256] = {};
  std::snprintf(buffer, sizeof buffer, "%s", text != nullptr ? text : "");
  const COLORREF savedText = textColor;
  const COLORREF savedBack = backColor;
  textColor = defaultTextColor;
  backColor = backgroundColor;
  Print(buffer);
  textColor = savedText;
  backColor = savedBack;
}

void FormWinMsDos::PrintProgress(int value) {
  char buffer[256] = {};
  std::snprintf(buffer, sizeof buffer, "%d/60", value);
  PrintInDefaultColors(buffer);
}

bool FormWinMsDos::OnCharInput(int ch) {
  if (waitingKey) {
    lastKey = ch;
    const bool endsWait = OnKeyRead(ch);
    waitingKey = !endsWait;
    return true;
  }
  switch (ch) {
    case 8: {  // Backspace: never leaves its row
      if (cursorCol == 0) return true;
      cursorCol = std::max(0, cursorCol - 1);
      const int i = CellIndex(cursorCol, cursorRow);
      cellChars[i] = Blank;
      cellTextColors[i] = defaultTextColor;
      cellBackColors[i] = backgroundColor;
      MoveToCell(cursorCol, cursorRow);
      RefreshCell(cellChars[i]);
      break;
    }
    case 13:  // Enter: next row, nothing stored
      ++cursorRow;
      cursorCol = 0;
      break;
    case 9:  // Tab: eight columns on, the cells passed over keep their contents
      cursorCol += 8;
      break;
    default: {
      const int i = CellIndex(cursorCol, cursorRow);
      const auto byte = static_cast<unsigned char>(ch & 0xFF);
      cellChars[i] = byte;
      cellTextColors[i] = textColor;
      cellBackColors[i] = backColor;
      // The typed cell is painted where it is stored, even after GotoCell has moved the pixel
      // cursor elsewhere.
      MoveToCell(cursorCol, cursorRow);
      RefreshCell(byte);
      ++cursorCol;
      break;
    }
  }
  if (cursorCol > Columns - 1) {
    ++cursorRow;
    cursorCol = 0;
  }
  if (cursorRow > Rows - 1) {
    cursorRow = Rows - 1;
    ScrollUp();
    RequestRepaint();
  }
  MoveToCell(cursorCol, cursorRow);
  return true;
}

void FormWinMsDos::OnKeyDownInput(int key) {
  switch (key) {
    case VK_ESCAPE: OnEscape(); break;
    case VK_LEFT: OnArrowLeft(); break;
    case VK_UP: OnArrowUp(); break;
    case VK_RIGHT: OnArrowRight(); break;
    case VK_DOWN: OnArrowDown(); break;
    default: break;
  }
}

void FormWinMsDos::OnArrowLeft() {}
void FormWinMsDos::OnArrowRight() {}
void FormWinMsDos::OnArrowUp() {}
void FormWinMsDos::OnArrowDown() {}
void FormWinMsDos::OnEscape() {}
void FormWinMsDos::OnStart() {}
bool FormWinMsDos::OnKeyRead(int) { return true; }
void FormWinMsDos::OnMenuCommand(SubMenu*) {}

// ---- The window half -------------------------------------------------------------------------

void FormWinMsDos::SetupScreen() {
  delete surface;
  surface = new PaintSurface(this);
  surface->dc = handle != nullptr ? BeginPaint(handle, &surface->paintInfo) : nullptr;
  // The metrics of the device context as painting hands it out: the window's default font.
  TEXTMETRICW metrics{};
  int fontHeight = -1;
  int averageWidth = -1;
  if (surface->dc != nullptr && GetTextMetricsW(surface->dc, &metrics)) fontHeight = metrics.tmHeight;
  if (surface->dc != nullptr && GetTextMetricsW(surface->dc, &metrics)) {
    averageWidth = metrics.tmAveCharWidth;
  }
  cellHeight = fontHeight + 3;
  cellWidth = averageWidth + 3;
  surface->EndDrawing();
  if (handle != nullptr) CreateCaret(handle, nullptr, 2, cellHeight);
  Clear();
  if (handle != nullptr) ShowCaret(handle);
}

bool FormWinMsDos::ReleaseHotKeys() {
  const int count = static_cast<int>(hotKeys.size());
  for (int id = 1; id <= count; ++id) UnregisterHotKey(handle, id);
  return true;
}

void FormWinMsDos::FitWindow() {
  const int gridWidth = Columns * cellWidth;
  const int gridHeight = Rows * cellHeight;
  const int windowWidth = GetWidth();
  const int frameWidth = std::max(0, windowWidth - GetClientWidth());
  const int windowHeight = GetHeight();
  const int frameHeight = std::max(0, windowHeight - GetClientHeight());
  const int targetWidth = gridWidth + frameWidth;
  const int targetHeight = gridHeight + frameHeight;
  // A size that is already right is not set again, so the nested size notification that a
  // resize raises ends the fitting whatever the platform reports for an unchanged size.
  if (!created || GetWidth() != targetWidth || GetHeight() != targetHeight) {
    SetSize(targetWidth, targetHeight);
  }
  const int left = (GetSystemMetrics(SM_CXSCREEN) - GetWidth()) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - GetHeight()) / 2;
  if (!created) {
    SetPosition(left, top);
    return;
  }
  const POINT now = GetPosition();
  if (now.x != left || now.y != top) SetPosition(left, top);
}

int FormWinMsDos::Paint() {
  if (created) {
    if (suppressRepaint) {
      suppressRepaint = false;
    } else if (surface != nullptr && handle != nullptr) {
      InvalidateRect(handle, nullptr, TRUE);
      surface->dc = BeginPaint(handle, &surface->paintInfo);
      surface->BeginBuffering();
      const int column = PixelColumn();
      const int row = PixelRow();
      for (int r = 0; r < Rows; ++r) {
        for (int c = 0; c < Columns; ++c) {
          cursorX = c * cellWidth;
          cursorY = r * cellHeight;
          SetCaretPos(cursorX, cursorY);
          const int i = CellIndex(c, r);
          // Blanks on the form's background stay the bitmap's black: they are not drawn.
          if (cellChars[i] > Blank || cellBackColors[i] != backgroundColor) {
            PaintCell(std::string(1, static_cast<char>(cellChars[i])));
          }
        }
      }
      cursorX = column * cellWidth;
      cursorY = row * cellHeight;
      SetCaretPos(cursorX, cursorY);
      surface->EndDrawing();
    }
  }
  return Form::Paint();
}

void FormWinMsDos::PaintCell(const std::string& text) {
  const int c = PixelColumn();
  const int r = PixelRow();
  if (c < 0 || c >= Columns || r < 0 || r >= Rows) return;
  if (surface == nullptr || surface->dc == nullptr) return;
  const int i = CellIndex(c, r);
  const COLORREF foreground = cellTextColors[i];
  const COLORREF background = cellBackColors[i];
  surface->FillRectangle(1, background, cursorX, cursorY, cellWidth, cellHeight, background);
  surface->DrawNarrowText(cursorX, cursorY, 0, 0, text, foreground, consoleFont_, TextAlignLeft);
}

void FormWinMsDos::RefreshCell(unsigned char ch) {
  if (surface == nullptr || handle == nullptr) return;
  suppressRepaint = true;
  Paint();
  // Paint clears the flag only while the window is created; never leave it set for a later paint.
  suppressRepaint = false;
  // Validating the whole client area cancels a pending full redraw; a pending erase (after
  // Clear) is carried out here with the class brush.
  InvalidateRect(handle, nullptr, FALSE);
  surface->dc = BeginPaint(handle, &surface->paintInfo);
  PaintCell(std::string(1, static_cast<char>(ch)));
  surface->EndDrawing();
}

void FormWinMsDos::RequestRepaint() {
  if (handle != nullptr) InvalidateRect(handle, nullptr, TRUE);
}

void FormWinMsDos::PlaceCaret(int px, int py) {
  if (handle != nullptr) SetCaretPos(px, py);
}

void FormWinMsDos::RequestClose() {
  if (handle != nullptr && !destroyed) SendMessageW(handle, WM_CLOSE, 0, 0);
  created = false;
}

void FormWinMsDos::HideConsoleCaret() {
  if (handle != nullptr) HideCaret(handle);
}

void FormWinMsDos::OnHotKey(UINT, UINT key) {
  if (key == VK_ESCAPE) RequestClose();
}

void ForwardMenuCommand(GUIElement* item) {
  if (item == nullptr) return;
  auto* menuItem = dynamic_cast<SubMenu*>(item);
  for (GUIElement* element = item->parent; element != nullptr; element = element->parent) {
    if (FormWinMsDos* form = dynamic_cast<FormWinMsDos*>(element)) {
      form->OnMenuCommand(menuItem);
      return;
    }
  }
}

}  // namespace TivraUtility
