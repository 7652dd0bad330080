// The configuration dialog's controls on Windows at fixed pixel positions on
// a 456 x 347 client area: what each control is and where it sits.
// Supports: the picture group (preview area inside its frames, bold title,
// description), the white option panel (speed slider 0..20 with marks every
// 5, Reset, the check boxes, the separator, Auto Preview), the clock-corner
// list, the OK and Cancel buttons and, below them all, "Show on every
// monitor", each under its control name.
// Does not support: other layouts, scaling with the system's text size.
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

struct Win32DialogLayout {
  static constexpr int kClientWidth = 456;
  static constexpr int kClientHeight = 347;
  static constexpr int kPreviewLeft = 9 + 16;
  static constexpr int kPreviewTop = 11 + 14;
  static constexpr int kPreviewWidth = 243;
  static constexpr int kPreviewHeight = 180;
  // The option panel's rectangle.
  static constexpr int kPanelLeft = 289, kPanelTop = 19, kPanelWidth = 160, kPanelHeight = 230;
};

// Every control in creation (tab) order.
const std::vector<Win32DialogControl>& DialogControls();

// The clock-corner list's items.
const std::vector<const wchar_t*>& ClockCornerItems();

}  // namespace lumevra
