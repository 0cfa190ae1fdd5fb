// The message font on POSIX: the face fontconfig matches to bold "Arial", rendered by
// FreeType in monochrome at the size the 768 x 576 mapping gives a 75-unit font.
#pragma once

#include <cstdint>

namespace zunk {
namespace posix {

struct MessageFont;

// The font for a width x height layer: 75 reference units high, scaled by height / 576
// vertically and width / 768 horizontally. Null when no face could be loaded.
MessageFont* MessageFontCreate(int32_t width, int32_t height);
void MessageFontDestroy(MessageFont* font);

// The text's advance width and the font's cell height, in layer pixels.
void MessageFontExtent(MessageFont* font,
                       const char* text,
                       int32_t length,
                       int32_t* cx,
                       int32_t* cy);

// Draws the text with its cell's top-left at (x, y) in layer pixels: every glyph pixel
// becomes `bgrx`, every other pixel stays. Clipped to the layer.
void MessageFontDraw(MessageFont* font,
                     uint32_t* pixels,
                     int32_t width,
                     int32_t height,
                     int32_t x,
                     int32_t y,
                     const char* text,
                     int32_t length,
                     uint32_t bgrx);

// The file fontconfig chose for the message font, or an empty string. For tests.
const char* MessageFontFile();

}  // namespace posix
}  // namespace zunk
