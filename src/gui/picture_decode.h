#pragma once
// Decoding a machine's picture for the size it is shown at: a picture larger than that is
// decoded straight to the smaller size (the PNG reader scales row by row), so an 8000 x 8000
// title costs what the frame shows, not 256 MB.

#include "info/machine_info.h"

#include <QImage>
#include <QSize>

#include <string>

namespace orvel::gui {

// The picture in bytes (PNG, or the ".ico" of an icon), fitted inside bound keeping its aspect
// ratio (never made larger); a null image when it does not decode.
QImage decode_picture(const std::string& bytes, QSize bound);

// A found picture read through the archives' index and decoded as above; a null image when it
// was not found, cannot be read or does not decode.
QImage load_shown_picture(const PictureLocation& location, QSize bound, ZipIndex* archives);

} // namespace orvel::gui
