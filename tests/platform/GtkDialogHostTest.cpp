#include "platform/linux/GtkDialogHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "XPixels.h"

namespace lumevra {
namespace {

// A dialog logic that logs every event and runs a script at show time.
struct FakeDialog : DialogEvents {
  void OnShow() override {
    log.push_back("OnShow");
    if (onShow) onShow();
  }
  void OnClick(std::string_view c) override { log.push_back("Click " + std::string(c)); }
  void OnChange(std::string_view c) override { log.push_back("Change " + std::string(c)); }
  void OnTimer() override {
    ++timers;
    if (onTimer) onTimer();
  }
  void OnClose() override { log.push_back("OnClose"); }

  std::function<void()> onShow, onTimer;
  std::vector<std::string> log;
  int timers = 0;
};

using Log = std::vector<std::string>;

// Runs `step` from the main loop after `ms`, once.
void After(guint ms, std::function<void()> step) {
  auto* heap = new std::function<void()>(std::move(step));
  g_timeout_add(
      ms,
      [](gpointer data) -> gboolean {
        auto* f = static_cast<std::function<void()>*>(data);
        (*f)();
        delete f;
        return G_SOURCE_REMOVE;
      },
      heap);
}

class GtkDialogHostTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!test::HaveDisplay()) GTEST_SKIP() << "needs an X display";
  }
  GtkDialogHost host;
  FakeDialog dialog;
};

TEST_F(GtkDialogHostTest, ValuesSetFromTheLogicReadBackAndRaiseNothing) {
  dialog.onShow = [&] {
    for (const char* box : {"stretch", "proportional", "sound", "music", "showClock", "autoPreview"}) {
      host.SetChecked(box, true);
      EXPECT_TRUE(host.Checked(box)) << box;
      host.SetChecked(box, false);
      EXPECT_FALSE(host.Checked(box)) << box;
    }
    const struct {
      const char* control;
      int32_t set, read;
    } positions[] = {{"speed", 7, 7}, {"speed", 25, 20}, {"speed", -3, 0}, {"clockCorner", 2, 2},
                     {"clockCorner", 4, -1}, {"clockCorner", 0, 0}, {"nothing", 3, 0}};
    for (const auto& p : positions) {
      host.SetPosition(p.control, p.set);
      EXPECT_EQ(host.Position(p.control), p.read) << p.control << " " << p.set;
    }
    host.SetText("title", u"Sunset \u00e9t\u00e9");
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(host.Control("title"))), "Sunset \xC3\xA9t\xC3\xA9");
    host.SetText("description", u"one\r\ntwo");
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(host.Control("description"))), "one\ntwo");
    host.SetEnabled("proportional", false);
    EXPECT_FALSE(gtk_widget_get_sensitive(host.Control("proportional")));
    host.Close();
  };
  host.Run(dialog);
  EXPECT_EQ(dialog.log, (Log{"OnShow", "OnClose"}));
  EXPECT_EQ(host.Window(), nullptr);
}

TEST_F(GtkDialogHostTest, UserActionsArriveByControlName) {
  dialog.onShow = [&] {
    // What a user's clicks and drags do to the widgets.
    gtk_button_clicked(GTK_BUTTON(host.Control("stretch")));
    gtk_button_clicked(GTK_BUTTON(host.Control("autoPreview")));
    gtk_button_clicked(GTK_BUTTON(host.Control("reset")));
    GtkRange* slider = GTK_RANGE(host.Control("speed"));
    gtk_range_set_value(slider, 3.0);
    gtk_range_set_value(slider, 3.2);  // the same whole position: no second change
    gtk_combo_box_set_active(GTK_COMBO_BOX(host.Control("clockCorner")), 3);
    gtk_button_clicked(GTK_BUTTON(host.Control("ok")));
    gtk_button_clicked(GTK_BUTTON(host.Control("cancel")));
    EXPECT_TRUE(host.Checked("stretch"));
    EXPECT_EQ(host.Position("speed"), 3);
    host.Close();
  };
  host.Run(dialog);
  EXPECT_EQ(dialog.log, (Log{"OnShow", "Click stretch", "Click autoPreview", "Click reset", "Change speed",
                             "Click clockCorner", "Click ok", "Click cancel", "OnClose"}));
}

TEST_F(GtkDialogHostTest, TimerTicksUntilStoppedFromItsOwnHandler) {
  dialog.onShow = [&] { host.SetTimer(true, 1); };
  dialog.onTimer = [&] {
    if (dialog.timers == 2) host.SetTimer(true, 1);  // restarted from inside: still one timer
    if (dialog.timers == 4) {
      host.SetTimer(false, 1);
      After(100, [&] { host.Close(); });
    }
  };
  host.Run(dialog);
  EXPECT_EQ(dialog.timers, 4);
}

TEST_F(GtkDialogHostTest, CloseBoxEndsTheDialogWithOneOnClose) {
  // Closed once the preview timer has ticked (a fixed delay could pass before the
  // idle-priority timer runs on a loaded machine).
  dialog.onShow = [&] { host.SetTimer(true, 5); };
  dialog.onTimer = [&] {
    if (dialog.timers != 1) return;
    After(0, [&] {
      gtk_window_close(GTK_WINDOW(host.Window()));
      host.Close();  // the logic closing as well changes nothing
    });
  };
  host.Run(dialog);
  EXPECT_EQ(dialog.log, (Log{"OnShow", "OnClose"}));
  EXPECT_GE(dialog.timers, 1);
}

TEST_F(GtkDialogHostTest, ControlsSitAtTheirPlaces) {
  const struct {
    const char* control;
    int x, y, width;
  } places[] = {
      {"pictureGroup", 9, 11, 280},      {"preview", 25, 25, 243}, {"optionsPanel", 289, 19, 160},
      {"speed", 294, 44, 148},   {"reset", 328, 70, 82}, {"stretch", 296, 99, -1},
      {"autoPreview", 296, 225, -1}, {"clockCorner", 312, 191, 129}, {"ok", 292, 282, 75},
      {"cancel", 372, 282, 75},          {"allMonitors", 12, 325, -1},
  };
  dialog.onShow = [&] {
    After(200, [&] {
      GtkWidget* window = host.Window();
      GtkAllocation all;
      gtk_widget_get_allocation(gtk_bin_get_child(GTK_BIN(window)), &all);
      EXPECT_EQ(all.width, 456);
      EXPECT_EQ(all.height, 347);
      for (const auto& p : places) {
        GtkWidget* w = host.Control(p.control);
        int x = -1, y = -1;
        gtk_widget_translate_coordinates(w, window, 0, 0, &x, &y);
        EXPECT_EQ(x, p.x) << p.control;
        EXPECT_EQ(y, p.y) << p.control;
        if (p.width > 0) {
          EXPECT_EQ(gtk_widget_get_allocated_width(w), p.width) << p.control;
        }
      }
      EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(window)), "Configuration");
      EXPECT_FALSE(gtk_window_get_resizable(GTK_WINDOW(window)));
      host.Close();
    });
  };
  host.Run(dialog);
}

TEST_F(GtkDialogHostTest, PreviewShowsThePictureInScreenOrderCutToTheImage) {
  GdkPixbuf* shown = nullptr;
  const struct {
    int32_t width, height;
  } sizes[] = {{243, 180}, {300, 200}, {10, 10}};
  std::vector<uint32_t> pixels(300 * 200, 0x00302010);  // B 0x10, G 0x20, R 0x30, A 0
  int round = 0;
  dialog.onShow = [&] {
    for (const auto& s : sizes) {
      host.ShowPreview({pixels.data(), s.width, s.height, s.width});
      shown = gtk_image_get_pixbuf(GTK_IMAGE(host.Control("preview")));
      ASSERT_NE(shown, nullptr);
      EXPECT_EQ(gdk_pixbuf_get_width(shown), 243);
      EXPECT_EQ(gdk_pixbuf_get_height(shown), 180);
      const guchar* p = gdk_pixbuf_get_pixels(shown);
      EXPECT_EQ((p[0] << 16) | (p[1] << 8) | p[2], 0x302010) << round;
      // Beyond a small picture the image stays white.
      const guchar* last = p + 179 * gdk_pixbuf_get_rowstride(shown) + 242 * gdk_pixbuf_get_n_channels(shown);
      EXPECT_EQ((last[0] << 16) | (last[1] << 8) | last[2], s.width < 243 ? 0xFFFFFF : 0x302010) << round;
      ++round;
    }
    host.ShowPreview({nullptr, 5, 5, 5});  // nothing to show: the last picture stays
    EXPECT_EQ(gtk_image_get_pixbuf(GTK_IMAGE(host.Control("preview"))), shown);
    host.Close();
  };
  host.Run(dialog);
  EXPECT_EQ(round, 3);
}

TEST_F(GtkDialogHostTest, ErrorBoxIsModalAndTheDialogStaysOpen) {
  std::string boxText;
  dialog.onShow = [&] {
    After(100, [&] {
      // Answer the box the way a user would.
      GList* windows = gtk_window_list_toplevels();
      for (GList* l = windows; l != nullptr; l = l->next) {
        if (!GTK_IS_MESSAGE_DIALOG(l->data)) continue;
        gchar* text = nullptr;
        g_object_get(l->data, "text", &text, nullptr);
        boxText = text ? text : "";
        g_free(text);
        gtk_dialog_response(GTK_DIALOG(l->data), GTK_RESPONSE_OK);
      }
      g_list_free(windows);
    });
    host.ShowError(u"Unable to write to /x/y.ini");
    EXPECT_NE(host.Window(), nullptr);
    EXPECT_TRUE(gtk_widget_get_visible(host.Window()));
    host.Close();
  };
  host.Run(dialog);
  EXPECT_EQ(boxText, "Unable to write to /x/y.ini");
  EXPECT_EQ(dialog.log, (Log{"OnShow", "OnClose"}));
}

TEST(GtkDialogHostNoDisplay, RunThrowsAClearError) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // In a fresh process: GTK keeps its display once it has one.
  EXPECT_EXIT(
      {
        setenv("DISPLAY", ":9999", 1);
        unsetenv("WAYLAND_DISPLAY");
        GtkDialogHost host;
        FakeDialog dialog;
        try {
          host.Run(dialog);
        } catch (const std::runtime_error& e) {
          std::_Exit(std::string(e.what()).find("no display") != std::string::npos && dialog.log.empty() ? 3 : 4);
        }
        std::_Exit(5);
      },
      ::testing::ExitedWithCode(3), "");
}

}  // namespace
}  // namespace lumevra
