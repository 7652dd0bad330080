#include "support/ProjectFixture.h"

#include "graphics/JpegWriter.h"

namespace lumevra::test {

std::string SolidJpeg(int32_t width, int32_t height, uint32_t color) {
  DecodedPicture p;
  p.width = width;
  p.height = height;
  p.pixels.assign(static_cast<size_t>(width) * height, color);
  return EncodeJpeg(p, 95);
}

ProjectData SmallProject() {
  ProjectData d;
  d.Title = "Lake at dawn";
  d.Description = "Caf\xE9 by the water";
  d.ThumbnailJpeg = SolidJpeg(4, 3, 0xFF336699);
  d.BackgroundJpeg = SolidJpeg(8, 6, 0xFF808080);
  for (int i = 0; i < 8; ++i) {
    WaveParams& w = d.Waves[i];
    w.Amplitude = 3 + i;
    w.WaveCount = 10 + i;
    w.Speed = 20 + i;
    w.Direction = i % 6;
    w.HorzSway = i % 2 == 0;
    w.VertWave = i % 3 == 0;
    w.Perspective = i % 2 == 1;
    w.Period = 360 - i;
    w.Jitter = i;
    w.ReservedFlag = i == 7;
    w.Reflection = i == 2;
  }
  // Row 0: 2 x none, then layers 1..6; the rest: layer 3 then none.
  std::vector<uint8_t> codes = {0, 0, 1, 2, 3, 4, 5, 6};
  for (int i = 0; i < 8 * 5; ++i) codes.push_back(i < 20 ? 3 : 0);
  d.MaskCodes = EncodeMask(8, 6, codes);
  d.Weather = WeatherParams{1, 300, 12, 0, 10, 0};
  d.Sounds[0].SoundFile = "C:\\Sounds\\birds.wav";
  d.Sounds[0].PlayMode = 1;
  d.Sounds[0].PauseMin = 5;
  d.Sounds[0].PauseMax = 9;
  d.Sounds[1].SoundFile = "waves.WAV";
  d.Sounds[1].PlayMode = 2;
  d.Sounds[1].PauseMin = 3;
  d.ObjectsText = "[Obj0]\r\nObjType=TXT\r\n";
  d.BuildInfoText = BuildInfoText("C:\\Program Files\\My Saver.scr", "C:\\m.mp3", true, false,
                                  "C:\\out\\saver.exe", "", false, true);
  return d;
}

}  // namespace lumevra::test
