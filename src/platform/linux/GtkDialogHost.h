// The configuration dialog on GTK 3.
// Supports: the controls of GtkDialogLayout addressed by the ids
// of ui/DialogHost.h;
// user actions as OnClick (check boxes, buttons, a new list choice) and OnChange
// (the slider, once per whole position); values set from here raise nothing;
// a timer at low priority, so that painting and input go first (the logic
// paces itself inside the timer); the preview picture; a modal error box;
// the close box ending the dialog like Close. An error escaping a handler is
// shown in the error box and the dialog goes on, as a framework would.
// Does not support: running without a display (Run throws), two dialogs at
// once, control values before Run creates the controls (they are ignored).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "graphics/PixelView.h"
#include "platform/linux/GtkDialogLayout.h"
#include "ui/DialogHost.h"

namespace lumevra {

class GtkDialogHost final : public DialogHost {
public:
  GtkDialogHost() = default;
  ~GtkDialogHost() override;
  GtkDialogHost(const GtkDialogHost&) = delete;
  GtkDialogHost& operator=(const GtkDialogHost&) = delete;

  // Throws std::runtime_error when GTK cannot open a display.
  void Run(DialogEvents& events) override;
  void SetText(std::string_view control, std::u16string_view text) override;
  int32_t Position(std::string_view control) override;
  void SetPosition(std::string_view control, int32_t position) override;
  bool Checked(std::string_view control) override;
  void SetChecked(std::string_view control, bool checked) override;
  void SetEnabled(std::string_view control, bool enabled) override;
  void SetFocus(std::string_view control) override;
  void ShowPreview(const PixelView& picture) override;
  void SetTimer(bool enabled, uint32_t intervalMs) override;
  void ShowError(std::u16string_view message) override;
  void Close() override;

  // The dialog window while Run runs, else null (for tests).
  GtkWidget* Window() const { return layout_.window; }
  // A control by name while Run runs, else null (for tests).
  GtkWidget* Control(std::string_view control) const;

private:
  struct Connection {
    GtkDialogHost* host;
    std::string event;  // the name the logic hears
    GtkWidget* widget;
    gulong handler;
  };
  // Blocks the control's user signal for as long as it lives.
  class Quiet {
  public:
    Quiet(const GtkDialogHost& host, GtkWidget* widget);
    ~Quiet();

  private:
    const Connection* connection_;
  };

  void Connect();
  const Connection* ConnectionOf(GtkWidget* widget) const;
  void StopTimer();
  void Guarded(void (*call)(DialogEvents&, const std::string&), const std::string& name);

  static void OnToggled(GtkToggleButton*, gpointer data);
  static void OnClicked(GtkButton*, gpointer data);
  static void OnListChanged(GtkComboBox*, gpointer data);
  static void OnSliderChanged(GtkRange*, gpointer data);
  static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data);
  static gboolean OnTimer(gpointer data);

  GtkDialogLayout layout_;
  std::vector<std::unique_ptr<Connection>> connections_;
  DialogEvents* events_ = nullptr;
  GMainLoop* loop_ = nullptr;
  bool closed_ = true;
  guint timer_ = 0;
  int32_t sliderPosition_ = 0;
  bool showingError_ = false;
};

}  // namespace lumevra
