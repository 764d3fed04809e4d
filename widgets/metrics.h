// The system DPI and the forms' font. Layout written at creation (form client
// sizes, control bounds) is in pixels at 96 DPI and scaled here; everything
// read back from a window is in device pixels. The programs are system-DPI
// aware (app.manifest), so the DPI is fixed for the life of the process.
#pragma once

#include <windows.h>

namespace widgets {

int SystemDpi();

// Pixels at 96 DPI to device pixels.
int Scale(int designPixels);

enum class FontStyle { Normal, Bold, Underline };

// Tahoma 8 pt (11 px at 96 DPI), the face of our forms. Owned by the
// library and kept until exit; GUI thread only.
HFONT FormFont(FontStyle style = FontStyle::Normal);

}  // namespace widgets
