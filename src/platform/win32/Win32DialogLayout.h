// The configuration dialog's controls on Windows, laid out in pixels of a
// 96-DPI screen on a 456 x 347 client area, and that layout scaled to the DPI
// of the dialog's monitor: what each control is and where it sits.
// Supports: the picture group (preview area inside its frames, bold title,
// description), the white option panel (speed slider 0..20 with marks every
// 5, Reset, the check boxes, the separator, Auto Preview), the clock-corner
// list, the OK and Cancel buttons and, below them all, "Show on every
// monitor", each under its control name; any DPI, every position, size,
// frame line and the font scaled alike from the 96-DPI layout.
// Does not support: other layouts, scaling with the system's text size alone.
#pragma once

#include <string>
#include <vector>

namespace lumevra {

struct Win32DialogControl {
  enum Kind { Label, TitleLabel, Slider, PushButton, CheckBox, Separator, DropDownList, Preview };
  const char* name;
  Kind kind;
  const wchar_t* text;
  int x, y, width, height;  // in client coordinates
  bool onOptionPanel;       // painted on the white panel
};

// What the form paints itself beneath the controls, in order: filled
// rectangles and frames (lines one 96-DPI pixel wide) in shades of grey.
struct Win32DialogShape {
  enum Kind { Fill, Frame };
  Kind kind;
  int grey;  // 0..255
  int x, y, width, height;
};

struct Win32DialogLayout {
  static constexpr int kClientWidth = 456;
  static constexpr int kClientHeight = 347;
  static constexpr int kPreviewLeft = 9 + 16;
  static constexpr int kPreviewTop = 11 + 14;
  static constexpr int kPreviewWidth = 243;
  static constexpr int kPreviewHeight = 180;
  // The option panel's rectangle.
  static constexpr int kPanelLeft = 289, kPanelTop = 19, kPanelWidth = 160, kPanelHeight = 230;
  // The controls' Tahoma, 8 points at 96 DPI.
  static constexpr int kFontHeight = 11;
};

// Every control in creation (tab) order.
const std::vector<Win32DialogControl>& DialogControls();

// The form's painted shapes, at 96 DPI.
const std::vector<Win32DialogShape>& DialogShapes();

// The clock-corner list's items.
const std::vector<const wchar_t*>& ClockCornerItems();

// A length or position of the 96-DPI layout at `dpi` (as MulDiv rounds:
// halves away from zero). A DPI of 0 or less counts as 96.
int ScaleToDpi(int value, int dpi);

// The whole layout at one DPI. Rectangles scale by their edges, so controls
// that touch or stand apart at 96 DPI still do at any other.
struct Win32ScaledDialogLayout {
  int dpi = 96;
  int clientWidth = 0, clientHeight = 0;
  int fontHeight = 0;  // the em height in pixels
  int lineWidth = 1;   // of the painted frames
  std::vector<Win32DialogControl> controls;  // as DialogControls(), moved and sized
  std::vector<Win32DialogShape> shapes;      // as DialogShapes()
  Win32DialogControl preview{};              // the preview's place among the controls
};

Win32ScaledDialogLayout ScaledDialogLayout(int dpi);

}  // namespace lumevra
