// The configuration dialog's window and controls, laid out in GTK 3 at fixed
// pixel positions on a 456 x 347 client area.
// Supports: the picture group (preview image inside its frames, bold title,
// description), the white option panel (speed slider 0..20 with marks every
// 5, Reset, the check boxes, the separator, Auto Preview), the clock-corner
// list and the OK and Cancel buttons, each under its control name.
// Does not support: other layouts or translated captions (the logic sets the
// texts it changes), keyboard accelerators.
#pragma once

#include <gtk/gtk.h>

#include <string>
#include <utility>
#include <vector>

namespace lumevra {

struct GtkDialogLayout {
  static constexpr int kClientWidth = 456;
  static constexpr int kClientHeight = 347;
  static constexpr int kPreviewWidth = 243;
  static constexpr int kPreviewHeight = 180;

  GtkWidget* window = nullptr;
  // Every control by its name, in creation order.
  std::vector<std::pair<std::string, GtkWidget*>> controls;

  GtkWidget* Find(const std::string& name) const;
};

// Builds the hidden window; the caller shows and destroys it.
GtkDialogLayout BuildDialogLayout();

}  // namespace lumevra
