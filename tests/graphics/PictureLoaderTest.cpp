#include "graphics/PictureLoader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "graphics/GifDecoder.h"
#include "graphics/JpegWriter.h"
#include "support/PictureFixtures.h"
#include "support/TestFiles.h"

namespace lumevra {
namespace {

using test::Le16;
using test::Le32;
using test::MakeBmp;
using test::MakeGif;
using test::MakePng;

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;
constexpr uint32_t kBlack = 0xFF000000;

TEST(PictureLoaderTest, DetectsFormatByLeadingBytes) {
  struct Case {
    std::string bytes;
    PictureFormat format;
  };
  const Case cases[] = {
      {std::string("\xFF\xD8\xFF\xE0", 4), PictureFormat::Jpeg},
      {std::string("\x89PNG\r\n\x1A\n", 8), PictureFormat::Png},
      {"GIF87a", PictureFormat::Gif},
      {"GIF89a", PictureFormat::Gif},
      {"BMxxxx", PictureFormat::Bmp},
      {"GIF88a", PictureFormat::Unknown},
      {std::string("\x89PNG\r\n\x1A", 7), PictureFormat::Unknown},
      {std::string("\xFF\xD8", 2), PictureFormat::Unknown},
      {"", PictureFormat::Unknown},
      {"hello.png", PictureFormat::Unknown},
  };
  for (const Case& c : cases) EXPECT_EQ(DetectPictureFormat(c.bytes), c.format) << c.bytes;
}

// ---- PNG

TEST(PictureLoaderTest, PngKeepsEveryPixelAndItsAlpha) {
  const std::vector<uint32_t> pixels = {0xFF112233, 0x80FF0000, 0x0000FF00, 0x40123456, kWhite, 0xC0ABCDEF};
  const DecodedPicture picture = DecodePicture(MakePng(3, 2, pixels, true));
  EXPECT_EQ(picture.width, 3);
  EXPECT_EQ(picture.height, 2);
  EXPECT_TRUE(picture.hasAlpha);
  EXPECT_EQ(picture.pixels, pixels);
}

TEST(PictureLoaderTest, PngWithoutAlphaIsOpaque) {
  const DecodedPicture rgb = DecodePicture(MakePng(2, 1, {0x00123456, 0x7F654321}, false));
  EXPECT_FALSE(rgb.hasAlpha);
  EXPECT_EQ(rgb.pixels, (std::vector<uint32_t>{0xFF123456, 0xFF654321}));

  const DecodedPicture grey = DecodePicture(test::MakeGreyPng(3, 1, {0, 128, 255}));
  EXPECT_FALSE(grey.hasAlpha);
  EXPECT_EQ(grey.pixels, (std::vector<uint32_t>{kBlack, 0xFF808080, kWhite}));
}

// ---- GIF

const std::vector<uint32_t> kPalette = {kRed, kGreen, kBlue, kWhite};

test::GifFrameSpec Frame(int32_t left, int32_t top, int32_t width, int32_t height, std::vector<uint8_t> indices) {
  test::GifFrameSpec frame;
  frame.left = left, frame.top = top, frame.width = width, frame.height = height;
  frame.indices = std::move(indices);
  return frame;
}

TEST(PictureLoaderTest, GifTransparentIndexBecomesAlphaZero) {
  test::GifFrameSpec frame = Frame(0, 0, 3, 2, {0, 1, 2, 3, 2, 1});
  frame.transparentIndex = 2;
  const DecodedPicture picture = DecodePicture(MakeGif(3, 2, kPalette, {frame}));
  EXPECT_TRUE(picture.hasAlpha);
  EXPECT_EQ(picture.pixels, (std::vector<uint32_t>{kRed, kGreen, 0, kWhite, 0, kGreen}));

  frame.transparentIndex = -1;
  const DecodedPicture opaque = DecodePicture(MakeGif(3, 2, kPalette, {frame}));
  EXPECT_FALSE(opaque.hasAlpha);
  EXPECT_EQ(opaque.pixels, (std::vector<uint32_t>{kRed, kGreen, kBlue, kWhite, kBlue, kGreen}));
}

TEST(PictureLoaderTest, GifFirstFrameIsPlacedOnTheLogicalScreen) {
  // A 2 x 2 frame at (1, 1) of a 4 x 3 screen, with its own palette.
  test::GifFrameSpec frame = Frame(1, 1, 2, 2, {0, 1, 1, 0});
  frame.localPalette = {kBlue, kWhite};
  const DecodedPicture picture = DecodePicture(MakeGif(4, 3, kPalette, {frame}));
  ASSERT_EQ(picture.width, 4);
  ASSERT_EQ(picture.height, 3);
  EXPECT_TRUE(picture.hasAlpha);  // the uncovered screen is transparent
  EXPECT_EQ(picture.pixels, (std::vector<uint32_t>{0, 0, 0, 0,  //
                                                   0, kBlue, kWhite, 0,  //
                                                   0, kWhite, kBlue, 0}));
}

TEST(PictureLoaderTest, GifWithoutScreenSizeTakesTheFirstFrames) {
  test::GifFrameSpec frame = Frame(0, 0, 2, 2, {0, 1, 2, 3});
  const DecodedPicture picture = DecodePicture(MakeGif(0, 0, kPalette, {frame}));
  EXPECT_EQ(picture.width, 2);
  EXPECT_EQ(picture.height, 2);
  EXPECT_EQ(picture.pixels, (std::vector<uint32_t>{kRed, kGreen, kBlue, kWhite}));
  // Offsets that make a screen the file could never fill are a damaged
  // header, as a declared screen of that size is (a few bytes must not
  // make a gigabyte canvas).
  const std::string far = MakeGif(0, 0, kPalette, {Frame(16000, 16000, 2, 2, {0, 1, 2, 3})});
  EXPECT_THROW(DecodePicture(far), PictureError);
  EXPECT_THROW(DecodeGifAnimation(far, kObjectPictureLimits, 8), PictureError);
  const DecodedPicture near = DecodePicture(MakeGif(0, 0, kPalette, {Frame(3, 1, 2, 2, {0, 1, 2, 3})}));
  EXPECT_EQ(near.width, 5);
  EXPECT_EQ(near.height, 3);
}

TEST(PictureLoaderTest, GifInterlacedRowsComeBackInOrder) {
  test::GifFrameSpec frame = Frame(0, 0, 2, 11, {});
  frame.interlaced = true;
  for (int y = 0; y < 11; ++y) frame.indices.insert(frame.indices.end(), 2, static_cast<uint8_t>(y % 4));
  const DecodedPicture picture = DecodePicture(MakeGif(2, 11, kPalette, {frame}));
  for (int y = 0; y < 11; ++y) {
    EXPECT_EQ(picture.pixels[y * 2], kPalette[y % 4]) << "row " << y;
    EXPECT_EQ(picture.pixels[y * 2 + 1], kPalette[y % 4]) << "row " << y;
  }
}

TEST(PictureLoaderTest, GifAnimationKeepsEveryFrameWithItsControl) {
  test::GifFrameSpec first = Frame(0, 0, 2, 1, {0, 1});
  first.delayCs = 10;
  test::GifFrameSpec second = Frame(1, 0, 1, 1, {3});
  second.delayCs = 25;
  second.transparentIndex = 3;
  const std::string gif = MakeGif(2, 1, kPalette, {first, second});

  const GifAnimation animation = DecodeGifAnimation(gif);
  EXPECT_TRUE(animation.complete);
  EXPECT_EQ(animation.globalPalette, kPalette);
  ASSERT_EQ(animation.frames.size(), 2u);
  EXPECT_EQ(animation.frames[0].delayCs, 10);
  EXPECT_EQ(animation.frames[0].transparentIndex, -1);
  EXPECT_EQ(animation.frames[1].delayCs, 25);
  EXPECT_EQ(animation.frames[1].transparentIndex, 3);
  EXPECT_EQ(animation.frames[1].left, 1);

  // The second frame's only pixel is transparent: painting it changes nothing.
  std::vector<uint32_t> canvas = {kBlack, kBlack};
  PaintGifFrame(animation.frames[0], 2, 1, canvas.data());
  PaintGifFrame(animation.frames[1], 2, 1, canvas.data());
  EXPECT_EQ(canvas, (std::vector<uint32_t>{kRed, kGreen}));

  // Damage in a later frame keeps the frames before it.
  const GifAnimation cut = DecodeGifAnimation(gif.substr(0, gif.size() - 4));
  EXPECT_FALSE(cut.complete);
  EXPECT_EQ(cut.frames.size(), 1u);
  EXPECT_EQ(DecodePicture(gif.substr(0, gif.size() - 4)).pixels, (std::vector<uint32_t>{kRed, kGreen}));
}

// ---- BMP

TEST(PictureLoaderTest, Bmp8BitPaletteBottomUpWithPadding) {
  // Three colours; index 7 lies past the palette and shows black.
  const std::vector<uint32_t> palette = {0x112233, 0x445566, 0x778899};
  const std::string rows = std::string("\x02\x01\x07\x00", 4)     // bottom row first
                           + std::string("\x00\x01\x02\x00", 4);  // top row
  const DecodedPicture picture = DecodePicture(MakeBmp(3, 2, 8, 0, palette, rows));
  EXPECT_FALSE(picture.hasAlpha);
  EXPECT_EQ(picture.pixels,
            (std::vector<uint32_t>{0xFF112233, 0xFF445566, 0xFF778899, 0xFF778899, 0xFF445566, kBlack}));
}

TEST(PictureLoaderTest, Bmp1And4BitPalettes) {
  const std::string oneBit = std::string("\xB3\x80\x00\x00", 4);  // 1011001110
  const DecodedPicture mono = DecodePicture(MakeBmp(10, 1, 1, 0, {0x000000, 0xFFFFFF}, oneBit));
  const std::vector<int> bits = {1, 0, 1, 1, 0, 0, 1, 1, 1, 0};
  for (int x = 0; x < 10; ++x) EXPECT_EQ(mono.pixels[x], bits[x] ? kWhite : kBlack) << x;

  std::vector<uint32_t> sixteen(16, 0);
  sixteen[1] = 0xFF0000, sixteen[15] = 0x00FF00, sixteen[2] = 0x0000FF;
  const DecodedPicture four = DecodePicture(MakeBmp(3, 1, 4, 0, sixteen, std::string("\x1F\x20\x00\x00", 4)));
  EXPECT_EQ(four.pixels, (std::vector<uint32_t>{kRed, kGreen, kBlue}));
}

TEST(PictureLoaderTest, Bmp24BitBottomUpWithRowPadding) {
  // Three pixels of three bytes, padded to 12 bytes a row.
  const std::string bottom = std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x00\x00\x00", 12);
  const std::string top = std::string("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\xEE\xEE\xEE", 12);
  const DecodedPicture picture = DecodePicture(MakeBmp(3, 2, 24, 0, {}, bottom + top));
  EXPECT_EQ(picture.pixels,
            (std::vector<uint32_t>{kBlue, kGreen, kRed, 0xFF030201, 0xFF060504, 0xFF090807}));
}

TEST(PictureLoaderTest, Bmp32BitTopDownKeepsAlpha) {
  const std::string rows = Le32(0x80FF0000) + Le32(0x00000000) + Le32(0xFF00FF00) + Le32(0x400000FF);
  const DecodedPicture picture = DecodePicture(MakeBmp(2, -2, 32, 0, {}, rows));
  EXPECT_TRUE(picture.hasAlpha);
  EXPECT_EQ(picture.pixels, (std::vector<uint32_t>{0x80FF0000, 0, kGreen, 0x400000FF}));

  // An alpha byte that is zero everywhere is unused, not transparent.
  const std::string unused = Le32(0x00FF0000) + Le32(0x0000FF00);
  const DecodedPicture opaque = DecodePicture(MakeBmp(2, 1, 32, 0, {}, unused));
  EXPECT_FALSE(opaque.hasAlpha);
  EXPECT_EQ(opaque.pixels, (std::vector<uint32_t>{kRed, kGreen}));
}

TEST(PictureLoaderTest, Bmp16BitPlainAndBitFields) {
  const DecodedPicture plain = DecodePicture(MakeBmp(2, 1, 16, 0, {}, Le16(0x7C00) + Le16(0x001F)));
  EXPECT_EQ(plain.pixels, (std::vector<uint32_t>{kRed, kBlue}));
  const DecodedPicture fields =
      DecodePicture(MakeBmp(2, 1, 16, 3, {}, Le16(0xF800) + Le16(0x07E0), {0xF800, 0x07E0, 0x001F}));
  EXPECT_EQ(fields.pixels, (std::vector<uint32_t>{kRed, kGreen}));
}

// ---- JPEG

DecodedPicture Quadrants(int32_t side, uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  DecodedPicture picture{side, side, {}, false};
  for (int32_t y = 0; y < side; ++y) {
    for (int32_t x = 0; x < side; ++x) {
      const bool right = x >= side / 2, low = y >= side / 2;
      picture.pixels.push_back(low ? (right ? d : c) : (right ? b : a));
    }
  }
  return picture;
}

void ExpectClose(uint32_t actual, uint32_t expected, int tolerance) {
  for (int shift : {0, 8, 16}) {
    const int got = (actual >> shift) & 0xFF, want = (expected >> shift) & 0xFF;
    EXPECT_NEAR(got, want, tolerance) << std::hex << actual << " vs " << expected;
  }
  EXPECT_EQ(actual >> 24, 0xFFu);
}

TEST(PictureLoaderTest, JpegDecodesToCloseColours) {
  const DecodedPicture source = Quadrants(32, kRed, kGreen, kBlue, 0xFF808080);
  const DecodedPicture picture = DecodeJpeg(EncodeJpeg(source, 95));
  ASSERT_EQ(picture.width, 32);
  ASSERT_EQ(picture.height, 32);
  EXPECT_FALSE(picture.hasAlpha);
  ExpectClose(picture.pixels[8 * 32 + 8], kRed, 12);
  ExpectClose(picture.pixels[8 * 32 + 24], kGreen, 12);
  ExpectClose(picture.pixels[24 * 32 + 8], kBlue, 12);
  ExpectClose(picture.pixels[24 * 32 + 24], 0xFF808080, 12);
}

TEST(PictureLoaderTest, JpegInvertedCmykBecomesRgb) {
  std::vector<uint8_t> cmyk;
  for (int i = 0; i < 16 * 16; ++i) cmyk.insert(cmyk.end(), {0, 255, 255, 0});  // red ink
  const DecodedPicture picture = DecodePicture(test::MakeInvertedCmykJpeg(16, 16, cmyk));
  ASSERT_EQ(picture.pixels.size(), 256u);
  ExpectClose(picture.pixels[8 * 16 + 8], kRed, 6);
}

// ---- Files

TEST(PictureLoaderTest, DecodesFilesAndNamesTheFileInErrors) {
  test::TempFolder folder;
  test::WriteFile(folder / "a.bin", MakePng(1, 1, {kBlue}, false));
  EXPECT_EQ(DecodePictureFile(folder / "a.bin").pixels, std::vector<uint32_t>{kBlue});

  test::WriteFile(folder / "bad.png", "not a picture");
  try {
    DecodePictureFile(folder / "bad.png");
    FAIL() << "no error";
  } catch (const PictureError& e) {
    EXPECT_NE(std::string(e.what()).find("bad.png"), std::string::npos) << e.what();
  }
  EXPECT_THROW(DecodePictureFile(folder / "missing.png"), PictureError);
}

// ---- Damaged input

std::string BigEndian32(uint32_t v) {
  return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                     static_cast<char>(v)};
}

// A PNG signature and header chunk with a correct checksum, and nothing else.
std::string PngHeader(uint32_t width, uint32_t height) {
  const std::string chunk = "IHDR" + BigEndian32(width) + BigEndian32(height) + std::string("\x08\x06\x00\x00\x00", 5);
  uint32_t crc = 0xFFFFFFFF;
  for (unsigned char byte : chunk) {
    crc ^= byte;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0u - (crc & 1)));
  }
  return std::string("\x89PNG\r\n\x1A\n", 8) + BigEndian32(13) + chunk + BigEndian32(~crc);
}

// The JPEG with the frame header's height and width replaced.
std::string JpegWithSize(std::string jpeg, uint16_t width, uint16_t height) {
  const size_t sof = jpeg.find("\xFF\xC0");
  if (sof == std::string::npos) throw std::runtime_error("no frame header");
  jpeg[sof + 5] = static_cast<char>(height >> 8), jpeg[sof + 6] = static_cast<char>(height);
  jpeg[sof + 7] = static_cast<char>(width >> 8), jpeg[sof + 8] = static_cast<char>(width);
  return jpeg;
}

std::string WithBytes(std::string bytes, size_t at, const std::string& replacement) {
  return bytes.replace(at, replacement.size(), replacement);
}

TEST(PictureLoaderTest, DamagedInputRaisesPictureError) {
  const std::string png = MakePng(4, 4, std::vector<uint32_t>(16, kRed), true);
  const std::string jpeg = EncodeJpeg(Quadrants(16, kRed, kGreen, kBlue, kWhite), 90);
  // Screen descriptor at 6, global palette at 13, image descriptor at 25.
  const std::string gif = MakeGif(4, 4, kPalette, {Frame(0, 0, 4, 4, std::vector<uint8_t>(16, 1))});
  const std::string bmp = MakeBmp(4, 4, 24, 0, {}, std::string(48, '\x7F'));

  struct Case {
    const char* name;
    std::string bytes;
    const char* message;  // a part of the expected message
  };
  const Case cases[] = {
      {"empty", "", "Unknown"},
      {"wrong magic", "GIF88a" + gif.substr(6), "Unknown"},
      {"png signature only", png.substr(0, 8), "PNG"},
      {"png inside header", png.substr(0, 20), "PNG"},
      {"png after header", png.substr(0, 33), "PNG"},
      {"png half", png.substr(0, png.size() / 2), "PNG"},
      {"png before end chunk", png.substr(0, png.size() - 13), "PNG"},
      {"png 100000 x 100000", PngHeader(100000, 100000), "limit"},
      {"png 8000 x 8000 in 33 bytes", PngHeader(8000, 8000), "truncated"},
      {"png zero width", PngHeader(0, 5), "PNG"},
      {"jpeg start only", jpeg.substr(0, 3), "JPEG"},
      {"jpeg inside tables", jpeg.substr(0, 100), "JPEG"},
      {"jpeg half", jpeg.substr(0, jpeg.size() / 2), "JPEG"},
      {"jpeg without end marker", jpeg.substr(0, jpeg.size() - 2), "JPEG"},
      {"jpeg 60000 x 60000", JpegWithSize(jpeg, 60000, 60000), "too large"},
      {"jpeg 8000 x 8000", JpegWithSize(jpeg, 8000, 8000), "truncated"},
      {"jpeg zero height", JpegWithSize(jpeg, 16, 0), "JPEG"},
      {"gif signature only", gif.substr(0, 6), "GIF"},
      {"gif inside screen", gif.substr(0, 10), "GIF"},
      {"gif inside palette", gif.substr(0, 20), "GIF"},
      {"gif inside image descriptor", gif.substr(0, 30), "GIF"},
      {"gif inside image data", gif.substr(0, gif.size() - 4), "GIF"},
      {"gif without block end", gif.substr(0, gif.size() - 2), "GIF"},
      {"gif no image", gif.substr(0, 25) + ";", "no image"},
      {"gif screen 65535 x 65535", WithBytes(gif, 6, Le16(65535) + Le16(65535)), "too large"},
      {"gif screen 8000 x 8000", WithBytes(gif, 6, Le16(8000) + Le16(8000)), "truncated"},
      {"gif frame 8000 x 8000", WithBytes(gif, 30, Le16(8000) + Le16(8000)), "truncated"},
      {"gif frame 0 x 0", WithBytes(gif, 30, Le16(0) + Le16(0)), "no pixels"},
      {"bmp magic only", bmp.substr(0, 2), "truncated"},
      {"bmp file header only", bmp.substr(0, 14), "truncated"},
      {"bmp inside info header", bmp.substr(0, 30), "truncated"},
      {"bmp without pixels", bmp.substr(0, 54), "truncated"},
      {"bmp last byte missing", bmp.substr(0, bmp.size() - 1), "truncated"},
      {"bmp 100000 x 100000", WithBytes(bmp, 18, Le32(100000) + Le32(100000)), "too large"},
      {"bmp 8000 x 8000", WithBytes(bmp, 18, Le32(8000) + Le32(8000)), "truncated"},
      {"bmp height -2^31", WithBytes(bmp, 22, Le32(0x80000000)), "too large"},
      {"bmp zero width", WithBytes(bmp, 18, Le32(0)), "no pixels"},
      {"bmp run-length", WithBytes(bmp, 30, Le32(1)), "run-length"},
      {"bmp 7 bits", WithBytes(bmp, 28, Le16(7)), "unsupported"},
      {"bmp header of 99 bytes", WithBytes(bmp, 14, Le32(99)), "unsupported header"},
      {"bmp 1000 colours", WithBytes(WithBytes(bmp, 28, Le16(8)), 46, Le32(1000)), "palette"},
      {"bmp pixels past the end", WithBytes(bmp, 10, Le32(0x7FFFFFF0)), "truncated"},
      {"bmp pixels over the header", WithBytes(bmp, 10, Le32(0)), "overlap"},
  };
  for (const Case& c : cases) {
    try {
      DecodePicture(c.bytes);
      ADD_FAILURE() << c.name << ": decoded";
    } catch (const PictureError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.name << ": " << e.what();
    }
  }
  EXPECT_THROW(DecodeJpeg(png), PictureError);
  EXPECT_THROW(DecodeJpeg(""), PictureError);
}

// Every single byte of each fixture spoiled in turn, and every length cut:
// each result is a picture or a PictureError, never a crash or another error.
// A picture's limit is its use's: a background may be larger than an object.
TEST(PictureLoaderTest, EachUseHasItsOwnSizeLimit) {
  auto monoBmp = [](int32_t width, int32_t height) {
    const size_t stride = static_cast<size_t>((width + 31) / 32 * 4);
    return MakeBmp(width, height, 1, 0, {0x000000, 0xFFFFFF}, std::string(stride * height, '\x55'));
  };
  struct Case {
    const char* name;
    std::string bytes;
    bool background, object;
  };
  const Case cases[] = {
      {"4096 x 4096", monoBmp(4096, 4096), true, true},
      {"4097 x 4096: more pixels than an object's", monoBmp(4097, 4096), true, false},
      {"8193 x 8: wider than an object", monoBmp(8193, 8), true, false},
      {"16384 x 8", monoBmp(16384, 8), true, false},
      {"16385 x 8: wider than a background", monoBmp(16385, 8), false, false},
      {"16384 x 4097: more pixels than a background", monoBmp(16384, 4097), false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const auto& [limits, accepted] :
         {std::pair{kBackgroundPictureLimits, c.background}, std::pair{kObjectPictureLimits, c.object}}) {
      if (accepted) {
        EXPECT_NO_THROW(DecodePicture(c.bytes, limits));
      } else {
        try {
          DecodePicture(c.bytes, limits);
          ADD_FAILURE() << "decoded";
        } catch (const PictureError& e) {
          EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos) << e.what();
        }
      }
    }
  }
}

TEST(PictureLoaderTest, AGifsFramesStopAtTheFramePixelBudget) {
  std::vector<test::GifFrameSpec> frames;
  for (int i = 0; i < 4; ++i) frames.push_back(Frame(0, 0, 20, 20, std::vector<uint8_t>(400, i)));
  const std::string gif = MakeGif(20, 20, kPalette, frames);
  EXPECT_EQ(DecodeGifAnimation(gif).frames.size(), 4u);
  // 1000 pixels of frames hold two of 400; the third would pass them.
  const GifAnimation cut = DecodeGifAnimation(gif, PictureLimits{100, 10000, 1000});
  EXPECT_EQ(cut.frames.size(), 2u);
  EXPECT_FALSE(cut.complete);
}

TEST(PictureLoaderTest, SpoiledBytesDecodeOrRaisePictureError) {
  test::GifFrameSpec frame = Frame(0, 0, 5, 3, {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2});
  frame.transparentIndex = 1;
  std::vector<uint32_t> pixels;
  for (uint32_t i = 0; i < 15; ++i) pixels.push_back(0x10203040u * i);
  const std::string fixtures[] = {
      MakePng(5, 3, pixels, true),
      EncodeJpeg(Quadrants(16, kRed, kGreen, kBlue, kWhite), 75),
      MakeGif(5, 3, kPalette, {frame, frame}),
      MakeBmp(5, 3, 8, 0, {0x112233, 0x445566}, std::string(24, '\x01')),
      MakeBmp(5, 3, 32, 3, {}, std::string(60, '\x11'), {0xFF0000, 0xFF00, 0xFF}),
  };
  size_t decoded = 0, refused = 0;
  for (const std::string& fixture : fixtures) {
    std::vector<std::string> variants;
    for (size_t i = 0; i < fixture.size(); ++i) {
      for (unsigned char mask : {0xFF, 0x80, 0x01}) {
        std::string spoiled = fixture;
        spoiled[i] = static_cast<char>(spoiled[i] ^ mask);
        variants.push_back(std::move(spoiled));
      }
      variants.push_back(fixture.substr(0, i));
    }
    for (const std::string& bytes : variants) {
      try {
        const DecodedPicture picture = DecodePicture(bytes);
        ASSERT_EQ(picture.pixels.size(), static_cast<size_t>(picture.width) * picture.height);
        ++decoded;
      } catch (const PictureError&) {
        ++refused;
      }
    }
  }
  EXPECT_GT(decoded, 0u);
  EXPECT_GT(refused, 0u);
}

}  // namespace
}  // namespace lumevra
