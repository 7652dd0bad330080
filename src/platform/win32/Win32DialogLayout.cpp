#include "platform/win32/Win32DialogLayout.h"

#include <windows.h>

#include <algorithm>

namespace lumevra {

namespace {

// Positions inside a panel, moved to client coordinates.
constexpr int kGroupX = 9, kGroupY = 11;
constexpr int kPanelX = Win32DialogLayout::kPanelLeft, kPanelY = Win32DialogLayout::kPanelTop;

}  // namespace

const std::vector<Win32DialogControl>& DialogControls() {
  using C = Win32DialogControl;
  static const std::vector<C> controls = {
      {"preview", C::Preview, L"", Win32DialogLayout::kPreviewLeft, Win32DialogLayout::kPreviewTop,
       Win32DialogLayout::kPreviewWidth, Win32DialogLayout::kPreviewHeight, false},
      {"title", C::TitleLabel, L"Title", kGroupX + 11, kGroupY + 212, 257, 13, false},
      {"description", C::Label, L"Description", kGroupX + 12, kGroupY + 233, 251, 54, false},
      {"speedLabel", C::Label, L"Speed", kPanelX + 65, kPanelY + 6, 40, 13, true},
      {"speed", C::Slider, L"", kPanelX + 5, kPanelY + 25, 148, 24, true},
      {"reset", C::PushButton, L"Reset", kPanelX + 39, kPanelY + 51, 82, 19, true},
      {"stretch", C::CheckBox, L"Stretch", kPanelX + 7, kPanelY + 80, 140, 17, true},
      {"proportional", C::CheckBox, L"Proportional", kPanelX + 7, kPanelY + 98, 140, 17, true},
      {"sound", C::CheckBox, L"Sound", kPanelX + 7, kPanelY + 117, 140, 17, true},
      {"music", C::CheckBox, L"Music", kPanelX + 7, kPanelY + 135, 140, 17, true},
      {"showClock", C::CheckBox, L"Show Clock", kPanelX + 7, kPanelY + 153, 140, 17, true},
      {"separator", C::Separator, L"", kPanelX + 7, kPanelY + 198, 146, 2, true},
      {"autoPreview", C::CheckBox, L"Auto Preview", kPanelX + 7, kPanelY + 206, 140, 17, true},
      // Over the option panel, but a control of the form itself.
      {"clockCorner", C::DropDownList, L"", 312, 191, 129, 120, false},
      {"ok", C::PushButton, L"OK", 292, 282, 75, 25, false},
      {"cancel", C::PushButton, L"Cancel", 372, 282, 75, 25, false},
      {"allMonitors", C::CheckBox, L"Show on every monitor", 12, 325, 200, 17, false},
  };
  return controls;
}

const std::vector<Win32DialogShape>& DialogShapes() {
  using S = Win32DialogShape;
  static const std::vector<S> shapes = {
      // The picture group: shadow shapes, the framed panel, the title and
      // description frames.
      {S::Fill, 0xD9, kGroupX + 11, kGroupY + 10, 259, 195},
      {S::Fill, 0xC7, kGroupX + 10, kGroupY + 9, 259, 195},
      {S::Fill, 0xF0, kGroupX + 8, kGroupY + 7, 259, 195},
      {S::Frame, 0xA0, kGroupX + 8, kGroupY + 7, 259, 195},
      {S::Frame, 0xA0, kGroupX + 8, kGroupY + 210, 259, 17},
      {S::Frame, 0xA0, kGroupX + 8, kGroupY + 230, 259, 65},
      // The option panel.
      {S::Fill, 0xFF, kPanelX, kPanelY, Win32DialogLayout::kPanelWidth, Win32DialogLayout::kPanelHeight},
      {S::Frame, 0xD0, kPanelX, kPanelY, Win32DialogLayout::kPanelWidth, Win32DialogLayout::kPanelHeight},
  };
  return shapes;
}

const std::vector<const wchar_t*>& ClockCornerItems() {
  static const std::vector<const wchar_t*> items = {L"Top Left", L"Top Right", L"Bottom Left", L"Bottom Right"};
  return items;
}

int ScaleToDpi(int value, int dpi) { return dpi <= 0 || dpi == 96 ? value : MulDiv(value, dpi, 96); }

Win32ScaledDialogLayout ScaledDialogLayout(int dpi) {
  if (dpi <= 0) dpi = 96;
  Win32ScaledDialogLayout layout;
  layout.dpi = dpi;
  layout.clientWidth = ScaleToDpi(Win32DialogLayout::kClientWidth, dpi);
  layout.clientHeight = ScaleToDpi(Win32DialogLayout::kClientHeight, dpi);
  layout.fontHeight = ScaleToDpi(Win32DialogLayout::kFontHeight, dpi);
  layout.lineWidth = std::max(1, ScaleToDpi(1, dpi));
  // Both edges scaled, the size their difference.
  auto place = [dpi](auto& r) {
    const int left = ScaleToDpi(r.x, dpi), top = ScaleToDpi(r.y, dpi);
    r.width = ScaleToDpi(r.x + r.width, dpi) - left;
    r.height = ScaleToDpi(r.y + r.height, dpi) - top;
    r.x = left;
    r.y = top;
  };
  layout.controls = DialogControls();
  for (auto& c : layout.controls) {
    place(c);
    if (c.kind == Win32DialogControl::Preview) layout.preview = c;
  }
  layout.shapes = DialogShapes();
  for (auto& s : layout.shapes) place(s);
  return layout;
}

}  // namespace lumevra
