// Routing of the control classes: notifications, commands, owner-drawn buttons, timers, sliders,
// panel scrolling and the wheel, through a real parent form and real child windows.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/dispatch/Controls.h"
#include "toolkit/dispatch/Dispatch.h"
#include "toolkit/elements/Form.h"
#include "tests/toolkit/test_support.h"

using namespace TivraUtility;

namespace {

using zerlo_test::Calls;
using zerlo_test::Log;

void Note(const std::string& call) { Calls().push_back(call); }

class PlainForm : public Form {
 public:
  PlainForm() : Form(GetModuleHandleW(nullptr)) {
    width = 400;
    height = 300;
  }
};

class ControlTest : public zerlo_test::FormFixture<PlainForm> {
 protected:
  void SetUp() override {
    Calls().clear();
    FormFixture::SetUp();
  }

  template <class Control>
  void Place(Control& control, int left, int top, int width, int height) {
    control.x = left;
    control.y = top;
    control.width = width;
    control.height = height;
    control.Create();
    ASSERT_TRUE(control.created);
  }

  LRESULT Notify(GUIElement& from, UINT code) {
    NMHDR header{};
    header.hwndFrom = from.handle;
    header.idFrom = static_cast<UINT_PTR>(from.id);
    header.code = code;
    return SendMessageW(form_.handle, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
  }

  void Command(GUIElement& from, WORD code) {
    SendMessageW(form_.handle, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(from.id), code),
                 reinterpret_cast<LPARAM>(from.handle));
  }
};

using ControlNotification = ControlTest;

TEST_F(ControlNotification, SpinValueIsClampedToTheRange) {
  NumericBox box(&form_);
  Place(box, 10, 10, 40, 20);
  box.onValue = [](GUIElement*, int value) { Note("value " + std::to_string(value)); };
  box.onChange = [](GUIElement*) { Note("change"); return 0; };
  const struct {
    int position;
    int delta;
    int minimum;
    int maximum;
    int expected;
  } rows[] = {
      {9, 5, 0, 10, 10},
      {1, -5, 0, 10, 0},
      {3, 4, 0, 10, 7},
      {INT_MAX, 1, INT_MIN, INT_MAX, INT_MAX},
      {INT_MIN, -1, INT_MIN, INT_MAX, INT_MIN},
  };
  for (const auto& row : rows) {
    Calls().clear();
    box.minValue = row.minimum;
    box.maxValue = row.maximum;
    NMUPDOWN change{};
    change.hdr.hwndFrom = box.handle;
    change.hdr.code = static_cast<UINT>(UDN_DELTAPOS);
    change.iPos = row.position;
    change.iDelta = row.delta;
    SendMessageW(form_.handle, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(Calls(), (Log{"value " + std::to_string(row.expected), "change"}))
        << row.position << " + " << row.delta;
  }
}

TEST_F(ControlNotification, CalendarSelectionIsReadWithoutItsTime) {
  static SYSTEMTIME reported;
  Calendar calendar(&form_);
  Place(calendar, 10, 10, 100, 80);
  calendar.onDateSelected = [](GUIElement*, SYSTEMTIME date) { reported = date; Note("date"); };
  calendar.onChange = [](GUIElement*) { Note("change"); return 0; };
  SYSTEMTIME native{2024, 3, 5, 15, 13, 45, 30, 500};
  SendMessageW(calendar.handle, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&native));

  Notify(calendar, static_cast<UINT>(MCN_SELECT));

  EXPECT_EQ(Calls(), (Log{"date", "change"}));
  const SYSTEMTIME expected{2024, 3, 5, 15, 0, 0, 0, 0};
  for (const SYSTEMTIME* date : {&reported, &calendar.selectedDate}) {
    EXPECT_EQ(date->wYear, expected.wYear);
    EXPECT_EQ(date->wMonth, expected.wMonth);
    EXPECT_EQ(date->wDay, expected.wDay);
    EXPECT_EQ(date->wHour, 0);
    EXPECT_EQ(date->wMinute, 0);
    EXPECT_EQ(date->wSecond, 0);
    EXPECT_EQ(date->wMilliseconds, 0);
  }
}

TEST_F(ControlNotification, TabSelectionReportsTheControlsIndex) {
  TabControl tab(&form_);
  Place(tab, 10, 10, 100, 30);
  tab.onTabSelected = [](GUIElement*, int index) { Note("tab " + std::to_string(index)); };
  SendMessageW(tab.handle, TCM_SETCURSEL, 2, 0);
  Notify(tab, static_cast<UINT>(TCN_SELCHANGE));
  EXPECT_EQ(Calls(), Log{"tab 2"});
}

TEST_F(ControlNotification, CodeForAnotherClassDoesNothing) {
  NumericBox box(&form_);
  Place(box, 10, 10, 40, 20);
  TabControl tab(&form_);
  Place(tab, 60, 10, 100, 30);
  box.onChange = [](GUIElement*) { Note("box change"); return 0; };
  tab.onTabSelected = [](GUIElement*, int) { Note("tab"); };
  const struct {
    GUIElement* from;
    UINT code;
  } rows[] = {
      {&box, static_cast<UINT>(TCN_SELCHANGE)},
      {&box, static_cast<UINT>(MCN_SELECT)},
      {&tab, static_cast<UINT>(UDN_DELTAPOS)},
      {&box, static_cast<UINT>(NM_CLICK)},
  };
  for (const auto& row : rows) {
    Calls().clear();
    Notify(*row.from, row.code);
    EXPECT_EQ(Calls(), Log{}) << "code " << static_cast<int>(row.code);
  }
}

using ControlCommand = ControlTest;

TEST_F(ControlCommand, CheckBoxFlipsBeforeItsCommandRuns) {
  CheckBox box(&form_);
  Place(box, 10, 10, 80, 20);
  box.onCommand = [](GUIElement* element) {
    auto* self = dynamic_cast<CheckBox*>(element);
    Note("command checked=" + std::to_string(self->checked) +
         " native=" + std::to_string(IsDlgButtonChecked(self->parent->handle, self->id)));
  };
  Command(box, BN_CLICKED);
  Command(box, BN_CLICKED);
  EXPECT_EQ(Calls(), (Log{"command checked=1 native=1", "command checked=0 native=0"}));
}

TEST_F(ControlCommand, CodesDecideWhichCommandsRun) {
  Button button(&form_);
  Place(button, 10, 10, 60, 20);
  ComboBox combo(&form_);
  Place(combo, 80, 10, 60, 20);
  ListBox list(&form_);
  Place(list, 150, 10, 60, 40);
  NumericBox box(&form_);
  Place(box, 220, 10, 40, 20);
  for (CommandElement* element : std::vector<CommandElement*>{&button, &combo, &list}) {
    element->onCommand = [](GUIElement* self) { Note(self->kind); };
  }
  box.onChange = [](GUIElement*) { Note("numericbox"); return 0; };

  const struct {
    GUIElement* from;
    WORD code;
    Log expected;
    bool droppedDown;
  } rows[] = {
      {&button, BN_CLICKED, {"button"}, false},
      {&button, 5, {"button"}, false},
      {&list, LBN_SELCHANGE, {"listbox"}, false},
      {&list, LBN_DBLCLK, {}, false},
      {&combo, CBN_SELCHANGE, {"combobox"}, false},
      {&combo, CBN_DROPDOWN, {}, false},
      {&combo, 0, {}, true},
      {&box, 0, {}, false},  // no command element
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.from->kind << " code " << row.code);
    Calls().clear();
    SendMessageW(combo.handle, CB_SHOWDROPDOWN, FALSE, 0);
    Command(*row.from, row.code);
    EXPECT_EQ(Calls(), row.expected);
    EXPECT_EQ(SendMessageW(combo.handle, CB_GETDROPPEDSTATE, 0, 0) != 0, row.droppedDown);
  }
}

TEST_F(ControlCommand, TimerMessageRunsItsTimer) {
  Timer timer(&form_);
  timer.onTimer = [](GUIElement*) { Note("tick"); };
  Button button(&form_);
  const struct {
    WPARAM id;
    Log expected;
  } rows[] = {{static_cast<WPARAM>(timer.id), {"tick"}}, {static_cast<WPARAM>(button.id), {}}, {0, {}}};
  for (const auto& row : rows) {
    Calls().clear();
    SendMessageW(form_.handle, WM_TIMER, row.id, 0);
    EXPECT_EQ(Calls(), row.expected) << "id " << row.id;
  }
}

using ControlTeardown = ControlTest;

template <class Control>
std::unique_ptr<GUIElement> MakeControl(GUIElement* parent) {
  auto control = std::make_unique<Control>(parent);
  control->x = 10;
  control->y = 10;
  control->width = 60;
  control->height = 20;
  control->onDestroy = [](GUIElement* element) { Note("destroyed " + element->kind); return 0; };
  control->Create();
  return control;
}

// A deleted control takes its window (or its timer) with it: no window is left subclassed to a
// procedure whose element is gone, and the dying element is not called back.
TEST_F(ControlTeardown, DeletedControlLeavesNoWindowOrTimerBehind) {
  const struct {
    std::unique_ptr<GUIElement> (*make)(GUIElement* parent);
    bool ownsWindow;
  } rows[] = {
      {&MakeControl<Button>, true},     {&MakeControl<CheckBox>, true},
      {&MakeControl<ComboBox>, true},   {&MakeControl<ListBox>, true},
      {&MakeControl<NumericBox>, true}, {&MakeControl<Calendar>, true},
      {&MakeControl<TabControl>, true}, {&MakeControl<Slider>, true},
      {&MakeControl<PanelChildren>, true}, {&MakeControl<Timer>, false},
  };
  for (const auto& row : rows) {
    std::unique_ptr<GUIElement> control = row.make(&form_);
    SCOPED_TRACE(control->kind);
    ASSERT_TRUE(control->created);
    const HWND window = control->handle;
    const auto timerId = static_cast<UINT_PTR>(control->id);
    if (row.ownsWindow) {
      ASSERT_TRUE(IsWindow(window));
    }
    Calls().clear();
    control.reset();
    if (row.ownsWindow) {
      EXPECT_FALSE(IsWindow(window));
    } else {
      EXPECT_FALSE(KillTimer(form_.handle, timerId));  // already killed
    }
    EXPECT_EQ(Calls(), Log{});
    EXPECT_TRUE(IsWindow(form_.handle));
  }
}

// A control whose window went with its form's is deleted without touching any window.
TEST_F(ControlTeardown, ControlOutlivingItsWindowIsDeletedQuietly) {
  auto button = MakeControl<Button>(&form_);
  const HWND window = button->handle;
  DestroyWindow(form_.handle);
  ASSERT_FALSE(IsWindow(window));
  Calls().clear();
  button.reset();
  EXPECT_EQ(Calls(), Log{});
}

// An owner-draw request for a button, drawn into a bitmap that can be read back.
class OwnerDraw {
 public:
  OwnerDraw(int width, int height) : width_(width), height_(height) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    previous_ = SelectObject(dc_, bitmap_);
    Clear(0x00FFFF);
  }
  ~OwnerDraw() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  void Clear(COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    RECT all{0, 0, width_, height_};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
  }
  LRESULT Send(HWND form, const GUIElement& button, UINT type, UINT state, COLORREF text, COLORREF back) {
    SetTextColor(dc_, text);
    SetBkColor(dc_, back);
    DRAWITEMSTRUCT item{};
    item.CtlType = type;
    item.CtlID = static_cast<UINT>(button.id);
    item.itemState = state;
    item.hwndItem = button.handle;
    item.hDC = dc_;
    item.rcItem = RECT{0, 0, width_, height_};
    return SendMessageW(form, WM_DRAWITEM, static_cast<WPARAM>(button.id), reinterpret_cast<LPARAM>(&item));
  }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y) & 0xFFFFFF; }
  int Count(COLORREF color, int top = 0, int bottom = -1) const {
    int count = 0;
    for (int y = top; y < (bottom < 0 ? height_ : bottom); ++y) {
      for (int x = 0; x < width_; ++x) count += At(x, y) == color ? 1 : 0;
    }
    return count;
  }

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

using ControlOwnerDraw = ControlTest;

TEST_F(ControlOwnerDraw, FrameAndTextColoursFollowTheState) {
  Button button(&form_);
  button.text = L"WWW";
  Place(button, 10, 10, 80, 24);
  constexpr COLORREF text = 0x123456;
  constexpr COLORREF back = 0xABCDEF;
  const struct {
    UINT state;
    COLORREF frame;
    COLORREF textDrawn;
  } rows[] = {
      {0, text, text},
      {ODS_SELECTED, 0xFFFFFF - text, text},
      {ODS_DISABLED, 0x696969, 0x969696},
      {ODS_DISABLED | ODS_SELECTED, 0x696969, 0x969696},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << "state " << row.state);
    OwnerDraw draw(80, 24);
    EXPECT_EQ(draw.Send(form_.handle, button, ODT_BUTTON, row.state, text, back), 1);
    for (POINT corner : {POINT{0, 0}, POINT{79, 0}, POINT{0, 23}, POINT{79, 23}, POINT{40, 0}, POINT{0, 12}}) {
      EXPECT_EQ(draw.At(corner.x, corner.y), row.frame) << corner.x << "," << corner.y;
    }
    EXPECT_EQ(draw.At(2, 2), back);
    EXPECT_GT(draw.Count(row.textDrawn, 1, 23), 0);
    if (row.textDrawn != text) {
      EXPECT_EQ(draw.Count(text), 0);
    }
  }
}

TEST_F(ControlOwnerDraw, FocusRectangleLiesThreePixelsInside) {
  Button button(&form_);
  Place(button, 10, 10, 60, 30);
  OwnerDraw plain(60, 30);
  plain.Send(form_.handle, button, ODT_BUTTON, 0, 0x000000, 0xFFFFFF);
  OwnerDraw focused(60, 30);
  focused.Send(form_.handle, button, ODT_BUTTON, ODS_FOCUS, 0x000000, 0xFFFFFF);
  auto changedInRow = [&](int y) {
    int changed = 0;
    for (int x = 1; x < 59; ++x) changed += plain.At(x, y) != focused.At(x, y) ? 1 : 0;
    return changed;
  };
  auto changedInColumn = [&](int x) {
    int changed = 0;
    for (int y = 1; y < 29; ++y) changed += plain.At(x, y) != focused.At(x, y) ? 1 : 0;
    return changed;
  };
  EXPECT_GT(changedInRow(3), 0);
  EXPECT_GT(changedInRow(26), 0);
  EXPECT_GT(changedInColumn(3), 0);
  EXPECT_GT(changedInColumn(56), 0);
  for (int line : {1, 2, 27, 28}) EXPECT_EQ(changedInRow(line), 0) << "row " << line;
  for (int line : {4, 25}) EXPECT_LE(changedInRow(line), 2) << "row " << line;  // the sides only
}

TEST_F(ControlOwnerDraw, OtherItemsAreLeftToTheDefault) {
  Button button(&form_);
  Place(button, 10, 10, 60, 20);
  CheckBox box(&form_);
  Place(box, 80, 10, 60, 20);
  const struct {
    const GUIElement* element;
    UINT type;
  } rows[] = {{&button, ODT_LISTBOX}, {&button, ODT_MENU}, {&box, ODT_BUTTON}};
  for (const auto& row : rows) {
    OwnerDraw draw(60, 20);
    draw.Send(form_.handle, *row.element, row.type, ODS_FOCUS, 0x000000, 0xFFFFFF);
    EXPECT_EQ(draw.Count(0x00FFFF), 60 * 20) << "type " << row.type;
  }
}

using ControlScroll = ControlTest;

TEST_F(ControlScroll, SliderReportsItsPositionAtTheEndOfAMove) {
  Slider slider(&form_);
  Place(slider, 10, 10, 100, 20);
  slider.onPosition = [](GUIElement*, int position) { Note("position " + std::to_string(position)); };
  slider.onChange = [](GUIElement*) { Note("change"); return 0; };
  SendMessageW(slider.handle, TBM_SETPOS, TRUE, 7);
  const struct {
    WORD code;
    Log expected;
  } rows[] = {{SB_ENDSCROLL, {"position 7", "change"}}, {SB_THUMBTRACK, {}}};
  for (const auto& row : rows) {
    Calls().clear();
    SendMessageW(form_.handle, WM_HSCROLL, MAKEWPARAM(row.code, 0), reinterpret_cast<LPARAM>(slider.handle));
    EXPECT_EQ(Calls(), row.expected) << "code " << row.code;
  }
  EXPECT_EQ(slider.position, 7);
}

class ScrollingPanel : public PanelChildren {
 public:
  explicit ScrollingPanel(GUIElement* parentElement) : PanelChildren(parentElement) {
    verticalScrolling = true;
    horizontalScrolling = true;
    onVerticalScroll = [](GUIElement*, int delta) { Note("vertical " + std::to_string(delta)); };
    onHorizontalScroll = [](GUIElement*, int delta) { Note("horizontal " + std::to_string(delta)); };
  }
  // Range 0..14 with a page of 10: the bar stops at 5.
  void SetBar(int bar, int position) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = 14;
    info.nPage = 10;
    info.nPos = position;
    SetScrollInfo(handle, bar, &info, TRUE);
  }
  int Position(int bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    GetScrollInfo(handle, bar, &info);
    return info.nPos;
  }
};

TEST_F(ControlScroll, PanelReportsTheRequestedMoveAndScrollsBySteps) {
  ScrollingPanel panel(&form_);
  Place(panel, 10, 10, 200, 120);
  const struct {
    UINT message;
    WORD code;
    int start;
    int end;
    Log expected;
  } rows[] = {
      {WM_VSCROLL, SB_PAGEDOWN, 0, 5, {"vertical -10"}},
      {WM_VSCROLL, SB_LINEDOWN, 2, 3, {"vertical -1"}},
      {WM_VSCROLL, SB_LINEUP, 0, 0, {"vertical 1"}},
      {WM_VSCROLL, SB_PAGEUP, 5, 0, {"vertical 10"}},
      {WM_VSCROLL, SB_TOP, 3, 0, {"vertical 3"}},  // a requested 0 is reported too
      {WM_VSCROLL, SB_BOTTOM, 0, 5, {"vertical -14"}},
      {WM_VSCROLL, SB_THUMBPOSITION, 3, 3, {}},
      {WM_VSCROLL, SB_ENDSCROLL, 3, 3, {}},
      {WM_HSCROLL, SB_LINERIGHT, 1, 2, {"horizontal -1"}},
      {WM_HSCROLL, SB_PAGELEFT, 5, 0, {"horizontal 10"}},
      {WM_HSCROLL, SB_TOP, 3, 3, {}},  // no top or bottom for the horizontal bar
      {WM_HSCROLL, SB_BOTTOM, 3, 3, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << (row.message == WM_VSCROLL ? "vertical" : "horizontal")
                                      << " code " << row.code << " from " << row.start);
    const int bar = row.message == WM_VSCROLL ? SB_VERT : SB_HORZ;
    panel.SetBar(bar, row.start);
    ASSERT_EQ(panel.Position(bar), row.start);
    Calls().clear();
    LastScrollPanel = nullptr;
    SendMessageW(panel.handle, row.message, MAKEWPARAM(row.code, 0), 0);
    EXPECT_EQ(panel.Position(bar), row.end);
    EXPECT_EQ(Calls(), row.expected);
    EXPECT_EQ(LastScrollPanel, row.message == WM_VSCROLL ? &panel : nullptr);
  }
}

TEST_F(ControlScroll, WindowContentMovesByTheClampedAmount) {
  ScrollingPanel panel(&form_);
  Place(panel, 10, 10, 200, 120);
  panel.SetBar(SB_VERT, 0);
  UpdateWindow(panel.handle);
  HDC dc = GetDC(panel.handle);
  HBRUSH red = CreateSolidBrush(0x0000FF);
  RECT band{20, 20, 60, 23};  // rows 20..22
  FillRect(dc, &band, red);
  DeleteObject(red);

  SendMessageW(panel.handle, WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);

  for (int row = 13; row <= 23; ++row) {
    const bool inBand = row >= 15 && row <= 17;  // moved up by 5, not by 10
    EXPECT_EQ((GetPixel(dc, 30, row) & 0xFFFFFF) == 0x0000FF, inBand) << "row " << row;
  }
  ReleaseDC(panel.handle, dc);
}

TEST_F(ControlScroll, WheelScrollsThePanelUnderItOrTheLastOneClicked) {
  ScrollingPanel panel(&form_);
  Place(panel, 10, 10, 200, 120);
  panel.SetBar(SB_VERT, 2);
  const WPARAM up = MAKEWPARAM(0, WHEEL_DELTA);
  const WPARAM down = MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA));
  const struct {
    UINT message;  // a click or the wheel
    HWND target;
    WPARAM wParam;
    int position;
    Log expected;
  } steps[] = {
      {WM_MOUSEWHEEL, panel.handle, down, 5, {"vertical -10"}},
      {WM_MOUSEWHEEL, panel.handle, up, 0, {"vertical 10"}},
      {WM_MOUSEWHEEL, form_.handle, down, 0, {}},  // no panel clicked yet
      {WM_LBUTTONDOWN, panel.handle, 0, 0, {}},
      {WM_MOUSEWHEEL, form_.handle, down, 5, {"vertical -10"}},
      {WM_LBUTTONDOWN, form_.handle, 0, 5, {}},  // a click elsewhere forgets the panel
      {WM_MOUSEWHEEL, form_.handle, up, 5, {}},
      {WM_LBUTTONDOWN, panel.handle, 0, 5, {}},
      {WM_ACTIVATE, form_.handle, WA_ACTIVE, 5, {}},  // activation forgets it too
      {WM_MOUSEWHEEL, form_.handle, up, 5, {}},
  };
  LastScrollPanel = nullptr;
  int index = 0;
  for (const auto& step : steps) {
    Calls().clear();
    SendMessageW(step.target, step.message, step.wParam, 0);
    EXPECT_EQ(panel.Position(SB_VERT), step.position) << "step " << index;
    EXPECT_EQ(Calls(), step.expected) << "step " << index;
    ++index;
  }
}

TEST_F(ControlScroll, PanelDeletedByItsOwnClickIsNotRemembered) {
  auto* panel = new ScrollingPanel(&form_);
  Place(*panel, 10, 10, 200, 120);
  const HWND window = panel->handle;
  panel->onLeftButtonDown = [](GUIElement* self, HWND, int, int) {
    delete self;
    return 0;
  };
  LastScrollPanel = nullptr;
  SendMessageW(window, WM_LBUTTONDOWN, 0, 0);
  EXPECT_EQ(LastScrollPanel, nullptr);
  Calls().clear();
  SendMessageW(form_.handle, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(Calls(), Log{});
  DestroyWindow(window);
}

}  // namespace
