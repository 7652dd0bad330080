// Fitting the background picture and its layer mask to the saver window.
#pragma once

#include <cstdint>
#include <span>

#include "graphics/Bitmap32.h"
#include "graphics/PixelView.h"
#include "package/ProjectRecords.h"

namespace lumevra {

// Resizes the picture to W x H (proportional: the largest size of the
// picture's shape inside W x H) by smooth resizing, the mask to the same size
// by nearest neighbour so that only its own colours survive, and rescales the
// pixel-measured wave fields (Amplitude with the width, Jitter with the
// height). A W or H <= 0 or an empty picture changes nothing.
// The size a picture of `picture` size takes fitted to `screen`: the
// screen's size, or (proportional) the largest size of the picture's shape
// inside it, at least 1 x 1.
PixelSize FittedSize(bool proportional, PixelSize picture, PixelSize screen);

void FitPicture(bool proportional, Bitmap32& background, Bitmap32& mask, std::span<WaveParams> waves, int32_t W,
                int32_t H);

class Project;

// The saver window's fitting of a loaded project to its client size: the
// project's Background, Mask and eight wave layers, in place.
void FitBackground(bool proportional, Project& project, int32_t W, int32_t H);

}  // namespace lumevra
