// The in-memory picture writers of the graphics tests, built into this
// test program as well: the object tests load the same small pictures.
#include "graphics/PictureFixtures.cpp"  // NOLINT(bugprone-suspicious-include)
