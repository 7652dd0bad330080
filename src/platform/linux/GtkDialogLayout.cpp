#include "platform/linux/GtkDialogLayout.h"

namespace lumevra {

namespace {

// The dialog's look, scoped to its window: light grey face, small text,
// compact controls so that they fit their fixed places.
constexpr const char* kStyle = R"(
#lumevra-config { background-color: #F0F0F0; }
#lumevra-config * { font-family: Tahoma, sans-serif; font-size: 8pt; }
#lumevra-config button { padding: 0 6px; min-height: 0; }
#lumevra-config checkbutton { padding: 0; min-height: 0; }
#lumevra-config scale { padding: 0 4px; min-height: 0; }
#lumevra-config scrolledwindow, #lumevra-config viewport { background: transparent; border: none; }
#lumevra-config .lumevra-title { font-weight: bold; }
)";

struct Rect {
  double x, y, w, h;
};

void FillRect(cairo_t* cr, Rect r, double grey) {
  cairo_set_source_rgb(cr, grey, grey, grey);
  cairo_rectangle(cr, r.x, r.y, r.w, r.h);
  cairo_fill(cr);
}

void FrameRect(cairo_t* cr, Rect r, double grey) {
  cairo_set_source_rgb(cr, grey, grey, grey);
  cairo_set_line_width(cr, 1.0);
  cairo_rectangle(cr, r.x + 0.5, r.y + 0.5, r.w - 1, r.h - 1);
  cairo_stroke(cr);
}

// The picture group's frames: drawn under its children.
gboolean DrawPictureGroup(GtkWidget*, cairo_t* cr, gpointer) {
  FillRect(cr, {11, 10, 259, 195}, 0.85);  // shadow shapes
  FillRect(cr, {10, 9, 259, 195}, 0.78);
  FillRect(cr, {8, 7, 259, 195}, 0.94);  // framed panel
  FrameRect(cr, {8, 7, 259, 195}, 0.63);
  FillRect(cr, {16, 14, 243, 180}, 1.0);  // white panel behind the preview
  FrameRect(cr, {8, 210, 259, 17}, 0.63);  // title frame
  FrameRect(cr, {8, 230, 259, 65}, 0.63);  // description frame
  return FALSE;
}

gboolean DrawOptionPanel(GtkWidget* widget, cairo_t* cr, gpointer) {
  const double w = gtk_widget_get_allocated_width(widget);
  const double h = gtk_widget_get_allocated_height(widget);
  FillRect(cr, {0, 0, w, h}, 1.0);
  cairo_set_source_rgb(cr, 0xD0 / 255.0, 0xD0 / 255.0, 0xD0 / 255.0);
  cairo_set_line_width(cr, 1.0);
  cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
  cairo_stroke(cr);
  return FALSE;
}

// A label of fixed size that cuts off what does not fit (no wrapping): the
// label inside a clipping box of that size.
std::pair<GtkWidget*, GtkWidget*> FixedLabel(const char* text, int width, int height, bool bold) {
  GtkWidget* label = gtk_label_new(text);
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  gtk_label_set_yalign(GTK_LABEL(label), 0.0f);
  if (bold) gtk_style_context_add_class(gtk_widget_get_style_context(label), "lumevra-title");
  GtkWidget* clip = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(clip), GTK_POLICY_EXTERNAL, GTK_POLICY_EXTERNAL);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(clip), GTK_SHADOW_NONE);
  gtk_widget_set_size_request(clip, width, height);
  gtk_container_add(GTK_CONTAINER(clip), label);
  return {label, clip};
}

}  // namespace

GtkWidget* GtkDialogLayout::Find(const std::string& name) const {
  for (const auto& [n, w] : controls)
    if (n == name) return w;
  return nullptr;
}

GtkDialogLayout BuildDialogLayout() {
  GtkDialogLayout d;
  d.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_widget_set_name(d.window, "lumevra-config");
  gtk_window_set_title(GTK_WINDOW(d.window), "Configuration");
  gtk_window_set_resizable(GTK_WINDOW(d.window), FALSE);
  gtk_window_set_position(GTK_WINDOW(d.window), GTK_WIN_POS_CENTER);
  gtk_window_set_type_hint(GTK_WINDOW(d.window), GDK_WINDOW_TYPE_HINT_DIALOG);

  GtkCssProvider* css = gtk_css_provider_new();
  gtk_css_provider_load_from_data(css, kStyle, -1, nullptr);
  gtk_style_context_add_provider_for_screen(gtk_widget_get_screen(d.window), GTK_STYLE_PROVIDER(css),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(css);

  GtkWidget* form = gtk_fixed_new();
  gtk_widget_set_size_request(form, GtkDialogLayout::kClientWidth, GtkDialogLayout::kClientHeight);
  gtk_container_add(GTK_CONTAINER(d.window), form);
  d.controls.emplace_back("window", d.window);

  auto place = [&d](GtkWidget* parent, const char* name, GtkWidget* w, int x, int y, int width = -1,
                    int height = -1) {
    if (width > 0 || height > 0) gtk_widget_set_size_request(w, width, height);
    gtk_fixed_put(GTK_FIXED(parent), w, x, y);
    d.controls.emplace_back(name, w);
    return w;
  };
  auto placeLabel = [&d](GtkWidget* parent, const char* name, std::pair<GtkWidget*, GtkWidget*> label, int x,
                         int y) {
    gtk_fixed_put(GTK_FIXED(parent), label.second, x, y);
    d.controls.emplace_back(name, label.first);
  };

  // The picture group.
  GtkWidget* panel1 = place(form, "pictureGroup", gtk_fixed_new(), 9, 11, 280, 306);
  gtk_widget_set_can_focus(panel1, TRUE);
  g_signal_connect(panel1, "draw", G_CALLBACK(DrawPictureGroup), nullptr);
  place(panel1, "preview", gtk_image_new(), 16, 14, GtkDialogLayout::kPreviewWidth,
        GtkDialogLayout::kPreviewHeight);
  placeLabel(panel1, "title", FixedLabel("Title", 257, 13, true), 11, 212);
  placeLabel(panel1, "description", FixedLabel("Description", 251, 54, false), 12, 233);

  // The option panel.
  GtkWidget* panel3 = place(form, "optionsPanel", gtk_fixed_new(), 289, 19, 160, 230);
  g_signal_connect(panel3, "draw", G_CALLBACK(DrawOptionPanel), nullptr);
  place(panel3, "speedLabel", gtk_label_new("Speed"), 65, 6);
  GtkWidget* speed = gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, 0, 20, 1);
  gtk_scale_set_draw_value(GTK_SCALE(speed), FALSE);
  gtk_range_set_round_digits(GTK_RANGE(speed), 0);
  gtk_range_set_increments(GTK_RANGE(speed), 1, 5);
  for (int mark = 0; mark <= 20; mark += 5) gtk_scale_add_mark(GTK_SCALE(speed), mark, GTK_POS_BOTTOM, nullptr);
  gtk_range_set_value(GTK_RANGE(speed), 0);
  place(panel3, "speed", speed, 5, 25, 148, 20);
  place(panel3, "reset", gtk_button_new_with_label("Reset"), 39, 51, 82, 19);
  place(panel3, "stretch", gtk_check_button_new_with_label("Stretch"), 7, 80);
  place(panel3, "proportional", gtk_check_button_new_with_label("Proportional"), 7, 98);
  place(panel3, "sound", gtk_check_button_new_with_label("Sound"), 7, 117);
  place(panel3, "music", gtk_check_button_new_with_label("Music"), 7, 135);
  place(panel3, "showClock", gtk_check_button_new_with_label("Show Clock"), 7, 153);
  place(panel3, "separator", gtk_separator_new(GTK_ORIENTATION_HORIZONTAL), 7, 198, 146, 1);
  place(panel3, "autoPreview", gtk_check_button_new_with_label("Auto Preview"), 7, 206);

  // Over the option panel, but a control of the form itself.
  GtkWidget* corner = gtk_combo_box_text_new();
  for (const char* item : {"Top Left", "Top Right", "Bottom Left", "Bottom Right"})
    gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(corner), item);
  place(form, "clockCorner", corner, 312, 191, 129, -1);
  place(form, "ok", gtk_button_new_with_label("OK"), 292, 282, 75, 25);
  place(form, "cancel", gtk_button_new_with_label("Cancel"), 372, 282, 75, 25);
  place(form, "allMonitors", gtk_check_button_new_with_label("Show on every monitor"), 12, 325);
  return d;
}

}  // namespace lumevra
