// The demo scene's object pictures: a soft morning sun with a real alpha
// channel, and a gull flapping its wings as an animated GIF.
#pragma once

#include "GifWriter.h"
#include "graphics/PictureLoader.h"

namespace lumevra::demo {

// A bright disc in a warm glow that fades to nothing at the edges.
DecodedPicture PaintSun();

// A gull flying to the right, one wing beat over the frames, index 0
// transparent.
IndexedAnimation PaintGull();

}  // namespace lumevra::demo
