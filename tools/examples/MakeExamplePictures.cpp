// Draws the pictures and the sound of the example scene (examples/lake), so
// that the repository ships no third-party media: a dusk lake (JPEG), its
// layer mask (PNG), a moon with soft alpha (PNG), a bird on a key colour
// (BMP) and a short chime (WAV).
//
//   make_example_pictures OUTDIR
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

#include "graphics/JpegWriter.h"
#include "graphics/PictureLoader.h"
#include "graphics/PngWriter.h"
#include "package/ProjectRecords.h"

namespace {

namespace fs = std::filesystem;
using lumevra::DecodedPicture;

constexpr int W = 640, H = 400, Horizon = 230;

uint32_t Argb(int a, int r, int g, int b) {
  auto c = [](int v) { return static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
  return (c(a) << 24) | (c(r) << 16) | (c(g) << 8) | c(b);
}

DecodedPicture Blank(int w, int h, uint32_t color) {
  DecodedPicture p;
  p.width = w;
  p.height = h;
  p.pixels.assign(static_cast<size_t>(w) * h, color);
  return p;
}

// Sky fading from deep blue to orange, dark hills, and the lake below.
DecodedPicture Lake() {
  DecodedPicture p = Blank(W, H, 0);
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      uint32_t c;
      const double hill = Horizon - 40 - 30 * std::sin(x / 70.0) - 15 * std::sin(x / 23.0 + 1);
      if (y < hill) {
        const double t = static_cast<double>(y) / Horizon;
        c = Argb(255, static_cast<int>(30 + 220 * t), static_cast<int>(40 + 110 * t), static_cast<int>(110 - 40 * t));
      } else if (y < Horizon) {
        c = Argb(255, 25, 35 + (x * 7 % 13), 30);
      } else {
        const double t = static_cast<double>(y - Horizon) / (H - Horizon);
        const int glint = ((x / 9 + y / 3) % 11 == 0) ? 40 : 0;
        c = Argb(255, static_cast<int>(60 + 80 * (1 - t)) + glint, static_cast<int>(70 + 50 * (1 - t)) + glint,
                 static_cast<int>(120 + 40 * t) + glint);
      }
      p.pixels[static_cast<size_t>(y) * W + x] = c;
    }
  }
  return p;
}

// Layer 1 (code 1) for the far water, layer 2 (code 2) for the near water,
// and a reed bed on the right with no layer.
DecodedPicture LakeMask() {
  DecodedPicture p = Blank(W, H, 0xFF000000);
  for (int y = Horizon; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const bool reeds = x > 560 && y > 330;
      const int code = reeds ? 0 : (y < 300 ? 1 : 2);
      p.pixels[static_cast<size_t>(y) * W + x] = 0xFF000000 | lumevra::MaskColor(code);
    }
  return p;
}

DecodedPicture Moon() {
  const int s = 48;
  DecodedPicture p = Blank(s, s, 0);
  for (int y = 0; y < s; ++y)
    for (int x = 0; x < s; ++x) {
      const double d = std::hypot(x - s / 2.0 + 0.5, y - s / 2.0 + 0.5) / (s / 2.0);
      const int a = d < 0.8 ? 255 : d < 1 ? static_cast<int>(255 * (1 - d) / 0.2) : 0;
      p.pixels[static_cast<size_t>(y) * s + x] = Argb(a, 250, 245, 215);
    }
  p.hasAlpha = true;
  return p;
}

// A simple bird silhouette on a magenta key colour (its bottom-left pixel).
DecodedPicture Bird() {
  const int w = 40, h = 20;
  DecodedPicture p = Blank(w, h, Argb(255, 255, 0, 255));
  for (int x = 0; x < w; ++x) {
    const int y = static_cast<int>(10 - 7 * std::sin(3.14159 * x / (w - 1)));
    for (int t = 0; t < 2; ++t)
      if (y + t < h) p.pixels[static_cast<size_t>(y + t) * w + x] = Argb(255, 20, 20, 30);
  }
  return p;
}

void WritePng(const fs::path& file, const DecodedPicture& p) {
  std::ofstream(file, std::ios::binary) << lumevra::EncodePng(p, true);
}

void Put16(std::string& s, uint16_t v) { s += static_cast<char>(v & 0xFF), s += static_cast<char>(v >> 8); }
void Put32(std::string& s, uint32_t v) { Put16(s, v & 0xFFFF), Put16(s, v >> 16); }

void WriteBmp24(const fs::path& file, const DecodedPicture& p) {
  const int stride = (p.width * 3 + 3) / 4 * 4;
  std::string s = "BM";
  Put32(s, 54 + stride * p.height);
  Put32(s, 0);
  Put32(s, 54);
  Put32(s, 40);
  Put32(s, p.width);
  Put32(s, p.height);
  Put16(s, 1);
  Put16(s, 24);
  Put32(s, 0);
  Put32(s, stride * p.height);
  Put32(s, 2835);
  Put32(s, 2835);
  Put32(s, 0);
  Put32(s, 0);
  for (int y = p.height - 1; y >= 0; --y) {
    for (int x = 0; x < p.width; ++x) {
      const uint32_t c = p.pixels[static_cast<size_t>(y) * p.width + x];
      s += static_cast<char>(c & 0xFF), s += static_cast<char>((c >> 8) & 0xFF), s += static_cast<char>((c >> 16) & 0xFF);
    }
    s.append(static_cast<size_t>(stride - p.width * 3), '\0');
  }
  std::ofstream(file, std::ios::binary) << s;
}

// Two soft bell tones, 8-bit mono at 11025 Hz.
void WriteChime(const fs::path& file) {
  const int rate = 11025, n = rate * 6 / 10;
  std::string data;
  for (int i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / rate;
    const double v = std::exp(-4 * t) * (0.5 * std::sin(2 * std::numbers::pi * 880 * t) + 0.3 * std::sin(2 * std::numbers::pi * 1320 * t));
    data += static_cast<char>(128 + static_cast<int>(100 * v));
  }
  std::string s = "RIFF";
  Put32(s, 36 + n);
  s += "WAVEfmt ";
  Put32(s, 16);
  Put16(s, 1);
  Put16(s, 1);
  Put32(s, rate);
  Put32(s, rate);
  Put16(s, 1);
  Put16(s, 8);
  s += "data";
  Put32(s, n);
  s += data;
  std::ofstream(file, std::ios::binary) << s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_example_pictures OUTDIR\n";
    return 2;
  }
  try {
    const fs::path out = argv[1];
    fs::create_directories(out);
    std::ofstream(out / "lake.jpg", std::ios::binary) << lumevra::EncodeJpeg(Lake(), 88);
    WritePng(out / "lake-mask.png", LakeMask());
    WritePng(out / "moon.png", Moon());
    WriteBmp24(out / "bird.bmp", Bird());
    WriteChime(out / "chime.wav");
  } catch (const std::exception& e) {
    std::cerr << "make_example_pictures: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
