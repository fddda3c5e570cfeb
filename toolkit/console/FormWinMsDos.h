// The 80 x 25 character console form: a grid of cells, each with its own character, text colour
// and background colour, a cursor kept in pixels and in cells, the printing and typing rules, and
// the window half that measures the cell from the window's default font, fits the window to the
// grid, paints single cells at once and the whole screen through an off-screen image.
//
// The screen model reaches the window only through three hooks (RefreshCell, RequestRepaint,
// PlaceCaret) and the close request (RequestClose). Each does nothing while the form has no
// window, so a derived class can override them with recorders and drive the whole screen model
// against the in-memory grid.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "toolkit/drawing/FontDescription.h"
#include "toolkit/drawing/PaintSurface.h"
#include "toolkit/elements/Form.h"

namespace TivraUtility {

class GUIElement;
class SubMenu;

class FormWinMsDos : public Form {
 public:
  static constexpr int Columns = 80;
  static constexpr int Rows = 25;
  static constexpr int CellCount = Columns * Rows;

  // Creates the window: console font, white on black, the screen cleared, fitted to 80 x 25
  // cells and centred. The title becomes the caption.
  FormWinMsDos(HINSTANCE instance, std::string title);
  ~FormWinMsDos() override;

  // Slot 17: the full redraw of the screen from the grid, unless a single-cell refresh asked to
  // skip it.
  int Paint() override;

  // Slots 30..43.
  virtual void OnArrowLeft();
  virtual void OnArrowRight();
  virtual void OnArrowUp();
  virtual void OnArrowDown();
  virtual void OnEscape();
  virtual void OnStart();
  virtual bool OnKeyRead(int ch);  // true ends the key wait
  virtual void SetupScreen();
  virtual bool ReleaseHotKeys();
  virtual void FitWindow();
  virtual bool OnCharInput(int ch);
  virtual void OnKeyDownInput(int key);
  virtual void OnMenuCommand(SubMenu* item);
  virtual void OnHotKey(UINT modifiers, UINT key);

  // The window hooks of the screen model; each does nothing while there is no window.
  virtual void RefreshCell(unsigned char ch);  // paint the cell under the pixel cursor now
  virtual void RequestRepaint();               // redraw the whole screen at the next paint
  virtual void PlaceCaret(int px, int py);     // move the caret to a pixel position
  // Sends the window its close request (handled before this returns) and marks the form as no
  // longer created.
  virtual void RequestClose();

  // Screen operations.
  void Clear();
  void Print(const char* text);
  void ScrollUp();
  void GotoCell(int column, int row);  // column 0..79, row 0..24: not checked
  void PrintInDefaultColors(const char* text);
  void PrintProgress(int value);  // "value/60" in the default colours
  // Paints the cell under the pixel cursor, in that cell's colours, with the given character.
  void PaintCell(const std::string& text);
  // Hides the caret of the form's window, when there is one.
  void HideConsoleCaret();

  // The pixel cursor as a cell: x / cellWidth and y / cellHeight, 0 while the cell size is 0.
  int PixelColumn() const;
  int PixelRow() const;
  static constexpr int CellIndex(int column, int row) { return row * Columns + column; }

  // The screen's state. textColor, backColor, defaultTextColor and waitingKey are set by the
  // application directly; the rest belongs to the form.
  bool waitingKey = false;
  bool suppressRepaint = false;
  int lastKey = 0;
  int cursorX = 0;
  int cursorY = 0;
  int cursorCol = 0;
  int cursorRow = 0;
  int cellWidth = 0;
  int cellHeight = 0;
  PaintSurface* surface = nullptr;  // owned
  std::array<unsigned char, CellCount> cellChars{};
  std::array<COLORREF, CellCount> cellTextColors{};
  std::array<COLORREF, CellCount> cellBackColors{};
  COLORREF defaultTextColor = 0xFFFFFF;
  COLORREF textColor = 0xFFFFFF;
  COLORREF backColor = 0x000000;

 protected:
  // A console with no window at all: the grid, the rules and the given cell size, nothing
  // native. For screen models driven in memory.
  struct WithoutWindow {
    int cellWidth;
    int cellHeight;
  };
  FormWinMsDos(HINSTANCE instance, std::string title, WithoutWindow cell);

 private:
  void InitialiseScreen(const std::string& title);
  void MoveToCell(int column, int row);
  FontDescription* consoleFont_ = nullptr;  // owned; also lent to `font`
};

// Command callback of menu items: walks up the item's parents to the first console form and hands
// it the item through OnMenuCommand; does nothing without such a form.
void ForwardMenuCommand(GUIElement* item);

}  // namespace TivraUtility
