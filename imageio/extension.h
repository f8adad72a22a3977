// Save formats and file-name extensions of image files: which encoder and
// which extension a save format number means, which format a choice in the
// save dialog means, and how a missing extension is appended.
#pragma once

#include <cstddef>

#include "qellib.h"

constexpr int save_format_count = QEL_TIFF + 1;

struct SaveFormat {
  const wchar_t* mime_type;   // the encoder is looked up by this exact text
  const wchar_t* extension;   // lower case, with the dot, always 4 characters
};

const SaveFormat* save_format(int format);            // nullptr outside 0..4
int  save_format_for_filter(int filter_index);        // save dialog type 1..6 -> format; -1 saves nothing
bool filter_forces_full_quality(int filter_index);    // the JPEG entry saves at quality 100

// Appends `extension` unless the last four characters, A-Z folded to a-z,
// already are it. `capacity` counts the terminating zero. False (name left as
// it was) when the longer name would not fit.
bool AppendExtension(wchar_t* name, std::size_t capacity, const wchar_t* extension);
