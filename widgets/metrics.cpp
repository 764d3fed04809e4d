#include "widgets/metrics.h"

#include "widgets/pictures.h"

namespace widgets {

int SystemDpi() {
  static const int dpi = [] {
    WindowDc screen(nullptr);
    const int value = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return value > 0 ? value : 96;
  }();
  return dpi;
}

int Scale(int designPixels) { return MulDiv(designPixels, SystemDpi(), 96); }

HFONT FormFont(FontStyle style) {
  static UniqueHfont fonts[3];
  UniqueHfont& font = fonts[static_cast<int>(style)];
  if (!font) {
    LOGFONTW lf{};
    lf.lfHeight = -Scale(11);
    lf.lfWeight = style == FontStyle::Bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = style == FontStyle::Underline;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    wcscpy(lf.lfFaceName, L"Tahoma");
    font.reset(CreateFontIndirectW(&lf));
  }
  // Without a font the controls would fall back to the bitmap System font;
  // the stock GUI font at least looks like the rest of Windows.
  return font ? font.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace widgets
