// The ways a saver's frame reaches a GDI window, timed per frame in one run
// on a window of 1920 x 1080 (or the virtual screen, if smaller):
// - 1:1: the frame copied into a DIB section and BitBlt from it, against
//   SetDIBitsToDevice from the frame's memory, alone and with the copy kept
//   for repaints (and the copy and the BitBlt each alone);
// - scaled (a 1280 x 720 frame stretched over the window): the copy and
//   StretchBlt, against StretchDIBits from the frame's memory, alone and
//   with the copy kept;
// - the black around the places: the whole client filled, as the frame's
//   place excluded leaves it (nothing to fill), and no fill at all.
// Google Benchmark is not built for Windows, so this program times itself:
// rounds of every way in turn, the median round of each reported, with
// ratios to the first way of its group (figures from one run mean the same
// on every machine; the absolute ones do not).
// Usage: present_paths [frames per round] [rounds]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/GdiFrameDraw.h"
#include "platform/win32/GdiMeasureWindow.h"

namespace {

using namespace lumevra;
using Clock = std::chrono::steady_clock;

std::vector<uint32_t> MakeFrame(int32_t width, int32_t height) {
  std::vector<uint32_t> frame(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint32_t>(i * 2654435761u) | 0xFF000000u;
  return frame;
}

struct Way {
  std::string group;
  std::string name;
  std::function<void()> frame;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int framesPerRound = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
  try {
    const PixelSize screen = GdiMeasureWindow::VirtualScreen();
    const int32_t width = std::min(1920, screen.cx), height = std::min(1080, screen.cy);
    GdiMeasureWindow window(width, height);
    void* dc = window.Dc();
    const PixelSize client = window.ClientSize();

    const std::vector<uint32_t> big = MakeFrame(client.cx, client.cy);
    const PixelView full{big.data(), client.cx, client.cy, client.cx};
    const int32_t smallWidth = client.cx * 2 / 3, smallHeight = client.cy * 2 / 3;
    const std::vector<uint32_t> small = MakeFrame(smallWidth, smallHeight);
    const PixelView scaled{small.data(), smallWidth, smallHeight, smallWidth};
    const PixelRect place{0, 0, client.cx, client.cy};
    const PixelRect none[] = {{0, 0, 0, 0}};
    DibFrame section;

    std::vector<Way> ways = {
        {"1:1", "copy into a DIB section + BitBlt", [&] {
           section.Copy(full);
           section.Draw(dc, place);
         }},
        {"1:1", "SetDIBitsToDevice from the frame", [&] { DrawFromMemory(dc, full, place); }},
        {"1:1", "SetDIBitsToDevice, then the copy kept", [&] {
           DrawFromMemory(dc, full, place);
           section.Copy(full);
         }},
        {"1:1", "copy into a DIB section alone", [&] { section.Copy(full); }},
        {"1:1", "BitBlt from the DIB section alone", [&] { section.Draw(dc, place); }},
        {"scaled", "copy into a DIB section + StretchBlt", [&] {
           section.Copy(scaled);
           section.Draw(dc, place);
         }},
        {"scaled", "StretchDIBits from the frame", [&] { DrawFromMemory(dc, scaled, place); }},
        {"scaled", "StretchDIBits, then the copy kept", [&] {
           DrawFromMemory(dc, scaled, place);
           section.Copy(scaled);
         }},
        {"fill", "black over the whole client", [&] { FillAroundPlaces(dc, client, std::span(none, 0)); }},
        {"fill", "black around a place covering the client", [&] {
           FillAroundPlaces(dc, client, std::span(&place, 1));
         }},
        {"fill", "SetDIBitsToDevice alone, for scale", [&] { DrawFromMemory(dc, full, place); }},
    };

    for (Way& way : ways) way.frame();  // warm up: sections made, pages touched
    // Milliseconds per frame of each way, one entry a round.
    std::vector<std::vector<double>> roundMs(ways.size());
    for (int r = 0; r < rounds; ++r) {
      for (size_t i = 0; i < ways.size(); ++i) {
        const Way& way = ways[i];
        window.PumpMessages();
        GdiMeasureWindow::Flush();
        const Clock::time_point start = Clock::now();
        for (int f = 0; f < framesPerRound; ++f) {
          way.frame();
          GdiMeasureWindow::Flush();
          window.PumpMessages();  // as the saver's loop does between frames
        }
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        roundMs[i].push_back(ms / framesPerRound);
      }
    }

    std::printf("window %d x %d, %d rounds of %d frames, median ms per frame\n", client.cx, client.cy, rounds,
                framesPerRound);
    double base = 0;
    std::string group;
    for (size_t i = 0; i < ways.size(); ++i) {
      const Way& way = ways[i];
      const double ms = Median(roundMs[i]);
      if (way.group != group) {
        group = way.group;
        base = ms;
      }
      std::printf("%-7s %-42s %8.3f ms  ratio %.2f\n", way.group.c_str(), way.name.c_str(), ms, ms / base);
    }
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "present_paths: %s\n", e.what());
    return 1;
  }
}
