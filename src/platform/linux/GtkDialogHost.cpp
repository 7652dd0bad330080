#include "platform/linux/GtkDialogHost.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "base/AnsiText.h"

namespace lumevra {

namespace {

// Line breaks of 8-bit project text are CR LF.
std::string DisplayText(std::u16string_view text) {
  std::string utf8 = Utf16ToUtf8(text);
  utf8.erase(std::remove(utf8.begin(), utf8.end(), '\r'), utf8.end());
  return utf8;
}

bool ValidPicture(const PixelView& p) {
  return p.pixels != nullptr && p.width > 0 && p.height > 0 && p.stride >= p.width;
}

}  // namespace

GtkDialogHost::~GtkDialogHost() {
  StopTimer();
  if (layout_.window != nullptr) gtk_widget_destroy(layout_.window);
}

GtkWidget* GtkDialogHost::Control(std::string_view control) const {
  return layout_.Find(std::string(control));
}

const GtkDialogHost::Connection* GtkDialogHost::ConnectionOf(GtkWidget* widget) const {
  for (const auto& c : connections_)
    if (c->widget == widget) return c.get();
  return nullptr;
}

GtkDialogHost::Quiet::Quiet(const GtkDialogHost& host, GtkWidget* widget) : connection_(host.ConnectionOf(widget)) {
  if (connection_ != nullptr) g_signal_handler_block(connection_->widget, connection_->handler);
}

GtkDialogHost::Quiet::~Quiet() {
  if (connection_ != nullptr) g_signal_handler_unblock(connection_->widget, connection_->handler);
}

void GtkDialogHost::Connect() {
  for (const auto& [name, widget] : layout_.controls) {
    auto c = std::make_unique<Connection>(Connection{this, std::string(name), widget, 0});
    if (GTK_IS_TOGGLE_BUTTON(widget)) c->handler = g_signal_connect(widget, "toggled", G_CALLBACK(OnToggled), c.get());
    else if (GTK_IS_BUTTON(widget)) c->handler = g_signal_connect(widget, "clicked", G_CALLBACK(OnClicked), c.get());
    else if (GTK_IS_COMBO_BOX(widget)) c->handler = g_signal_connect(widget, "changed", G_CALLBACK(OnListChanged), c.get());
    else if (GTK_IS_RANGE(widget)) c->handler = g_signal_connect(widget, "value-changed", G_CALLBACK(OnSliderChanged), c.get());
    else continue;
    connections_.push_back(std::move(c));
  }
  g_signal_connect(layout_.window, "delete-event", G_CALLBACK(OnDelete), this);
}

void GtkDialogHost::Run(DialogEvents& events) {
  if (events_ != nullptr) throw std::logic_error("the configuration dialog is already running");
  if (!gtk_init_check(nullptr, nullptr))
    throw std::runtime_error("no display: cannot open the configuration dialog (GTK could not open the display)");
  layout_ = BuildDialogLayout();
  Connect();
  sliderPosition_ = 0;
  events_ = &events;
  closed_ = false;
  struct Cleanup {
    GtkDialogHost& host;
    ~Cleanup() {
      host.closed_ = true;
      host.StopTimer();
      host.events_ = nullptr;
      if (host.layout_.window != nullptr) gtk_widget_destroy(host.layout_.window);
      host.layout_ = {};
      host.connections_.clear();
      // Let the window really go before Run returns.
      while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    }
  } cleanup{*this};

  gtk_widget_show_all(layout_.window);
  Guarded([](DialogEvents& e, const std::string&) { e.OnShow(); }, {});
  if (!closed_) {
    loop_ = g_main_loop_new(nullptr, FALSE);
    g_main_loop_run(loop_);
    g_main_loop_unref(loop_);
    loop_ = nullptr;
  }
  closed_ = true;
  StopTimer();
  events.OnClose();
}

void GtkDialogHost::Close() {
  closed_ = true;
  StopTimer();
  if (loop_ != nullptr) g_main_loop_quit(loop_);
}

void GtkDialogHost::Guarded(void (*call)(DialogEvents&, const std::string&), const std::string& name) {
  if (closed_ || events_ == nullptr) return;
  try {
    call(*events_, name);
  } catch (const std::exception& e) {
    ShowError(Utf8ToUtf16(e.what()));
  } catch (...) {
    ShowError(u"Unknown error");
  }
}

void GtkDialogHost::OnToggled(GtkToggleButton*, gpointer data) {
  auto* c = static_cast<Connection*>(data);
  c->host->Guarded([](DialogEvents& e, const std::string& n) { e.OnClick(n); }, c->event);
}

void GtkDialogHost::OnClicked(GtkButton*, gpointer data) {
  auto* c = static_cast<Connection*>(data);
  c->host->Guarded([](DialogEvents& e, const std::string& n) { e.OnClick(n); }, c->event);
}

void GtkDialogHost::OnListChanged(GtkComboBox*, gpointer data) {
  auto* c = static_cast<Connection*>(data);
  c->host->Guarded([](DialogEvents& e, const std::string& n) { e.OnClick(n); }, c->event);
}

void GtkDialogHost::OnSliderChanged(GtkRange* range, gpointer data) {
  auto* c = static_cast<Connection*>(data);
  // Dragging passes through fractions: only a new whole position counts.
  const auto position = static_cast<int32_t>(std::lround(gtk_range_get_value(range)));
  if (position == c->host->sliderPosition_) return;
  c->host->sliderPosition_ = position;
  c->host->Guarded([](DialogEvents& e, const std::string& n) { e.OnChange(n); }, c->event);
}

gboolean GtkDialogHost::OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  auto* host = static_cast<GtkDialogHost*>(data);
  if (!host->closed_) host->Close();
  return TRUE;  // Run destroys the window after OnClose
}

gboolean GtkDialogHost::OnTimer(gpointer data) {
  auto* host = static_cast<GtkDialogHost*>(data);
  const guint self = host->timer_;
  // No ticks under the error box: a failing tick would stack boxes.
  if (!host->showingError_) host->Guarded([](DialogEvents& e, const std::string&) { e.OnTimer(); }, {});
  // The handler may have stopped or restarted the timer.
  return host->timer_ == self && self != 0 ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

void GtkDialogHost::StopTimer() {
  if (timer_ == 0) return;
  g_source_remove(timer_);
  timer_ = 0;
}

void GtkDialogHost::SetTimer(bool enabled, uint32_t intervalMs) {
  StopTimer();
  if (!enabled || closed_) return;
  // Below painting and input, like a system timer message.
  timer_ = g_timeout_add_full(G_PRIORITY_DEFAULT_IDLE, std::max<uint32_t>(intervalMs, 1), OnTimer, this, nullptr);
}

void GtkDialogHost::SetText(std::string_view control, std::u16string_view text) {
  GtkWidget* w = Control(control);
  if (w == nullptr) return;
  const std::string utf8 = DisplayText(text);
  if (GTK_IS_LABEL(w)) gtk_label_set_text(GTK_LABEL(w), utf8.c_str());
  else if (GTK_IS_BUTTON(w)) gtk_button_set_label(GTK_BUTTON(w), utf8.c_str());
  else if (GTK_IS_WINDOW(w)) gtk_window_set_title(GTK_WINDOW(w), utf8.c_str());
}

int32_t GtkDialogHost::Position(std::string_view control) {
  GtkWidget* w = Control(control);
  if (w == nullptr) return 0;
  if (GTK_IS_COMBO_BOX(w)) return gtk_combo_box_get_active(GTK_COMBO_BOX(w));
  if (GTK_IS_RANGE(w)) return static_cast<int32_t>(std::lround(gtk_range_get_value(GTK_RANGE(w))));
  return 0;
}

void GtkDialogHost::SetPosition(std::string_view control, int32_t position) {
  GtkWidget* w = Control(control);
  if (w == nullptr) return;
  const Quiet quiet(*this, w);
  if (GTK_IS_COMBO_BOX(w)) {
    const int count = gtk_tree_model_iter_n_children(gtk_combo_box_get_model(GTK_COMBO_BOX(w)), nullptr);
    // An index outside the list selects nothing, as a list control does.
    gtk_combo_box_set_active(GTK_COMBO_BOX(w), position >= 0 && position < count ? position : -1);
  } else if (GTK_IS_RANGE(w)) {
    gtk_range_set_value(GTK_RANGE(w), position);
    sliderPosition_ = static_cast<int32_t>(std::lround(gtk_range_get_value(GTK_RANGE(w))));
  }
}

bool GtkDialogHost::Checked(std::string_view control) {
  GtkWidget* w = Control(control);
  return w != nullptr && GTK_IS_TOGGLE_BUTTON(w) && gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(w));
}

void GtkDialogHost::SetChecked(std::string_view control, bool checked) {
  GtkWidget* w = Control(control);
  if (w == nullptr || !GTK_IS_TOGGLE_BUTTON(w)) return;
  const Quiet quiet(*this, w);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w), checked);
}

void GtkDialogHost::SetEnabled(std::string_view control, bool enabled) {
  if (GtkWidget* w = Control(control)) gtk_widget_set_sensitive(w, enabled);
}

void GtkDialogHost::SetFocus(std::string_view control) {
  if (GtkWidget* w = Control(control)) gtk_widget_grab_focus(w);
}

void GtkDialogHost::ShowPreview(const PixelView& picture) {
  GtkWidget* image = Control("preview");
  if (image == nullptr || !ValidPicture(picture)) return;
  // The image keeps its place: the picture sits at its top left, cut to it.
  GdkPixbuf* pixbuf =
      gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, GtkDialogLayout::kPreviewWidth, GtkDialogLayout::kPreviewHeight);
  if (pixbuf == nullptr) return;
  gdk_pixbuf_fill(pixbuf, 0xFFFFFFFFu);
  guchar* out = gdk_pixbuf_get_pixels(pixbuf);
  const int outStride = gdk_pixbuf_get_rowstride(pixbuf);
  const int w = std::min(picture.width, GtkDialogLayout::kPreviewWidth);
  const int h = std::min(picture.height, GtkDialogLayout::kPreviewHeight);
  for (int y = 0; y < h; ++y) {
    const uint32_t* row = picture.pixels + static_cast<size_t>(y) * static_cast<size_t>(picture.stride);
    guchar* dst = out + static_cast<size_t>(y) * static_cast<size_t>(outStride);
    for (int x = 0; x < w; ++x) {
      // B, G, R, A in memory -> R, G, B; the fourth byte is not a coverage.
      const auto* bgra = reinterpret_cast<const uint8_t*>(row + x);
      dst[3 * x + 0] = bgra[2];
      dst[3 * x + 1] = bgra[1];
      dst[3 * x + 2] = bgra[0];
    }
  }
  gtk_image_set_from_pixbuf(GTK_IMAGE(image), pixbuf);
  g_object_unref(pixbuf);
}

void GtkDialogHost::ShowError(std::u16string_view message) {
  if (layout_.window == nullptr) return;
  const std::string text = Utf16ToUtf8(message);
  GtkWidget* box = gtk_message_dialog_new(GTK_WINDOW(layout_.window),
                                          static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
                                          GTK_MESSAGE_ERROR, GTK_BUTTONS_OK, "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(box), gtk_window_get_title(GTK_WINDOW(layout_.window)));
  const bool outer = showingError_;
  showingError_ = true;
  gtk_dialog_run(GTK_DIALOG(box));
  showingError_ = outer;
  gtk_widget_destroy(box);
}

}  // namespace lumevra
