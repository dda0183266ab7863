// Turning photos upright: the EXIF orientation that phone cameras record in JPEG
// files, and turns by quarter circles.
#pragma once

#include <cstddef>

#include "cli/photo_io.h"

// The EXIF orientation (1..8) of a JPEG file's bytes; 1 (as stored) when there is none
// or the data is malformed.
int jpeg_exif_orientation(unsigned char const* data, std::size_t size);

// The photo as a viewer shows it for an EXIF orientation 1..8 (others: unchanged).
Photo oriented(Photo const& photo, int orientation);

// The photo turned clockwise by quarter_turns x 90 degrees.
Photo turned(Photo const& photo, int quarter_turns);
