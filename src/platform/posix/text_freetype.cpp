// The message font through fontconfig and FreeType. Glyphs are hinted and rendered one
// bit per pixel, so a glyph pixel is exactly the text colour and the background shows
// unchanged between them; advances are whole pixels and no kerning is applied, as in the
// system's own text output.
#include "platform/posix/text_freetype.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

#include "platform/posix/cp1251.h"

namespace zunk {
namespace posix {

struct MessageFont {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  int32_t ascent = 0;   // pixels from the cell's top to the baseline
  int32_t descent = 0;  // pixels from the baseline to the cell's bottom
};

namespace {

constexpr int32_t kFontHeight = 75;  // reference units, the em height

struct FontFile {
  std::string path;
  int index = 0;
};

FontFile Match(FcConfig* config) {
  FontFile f;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("Arial"));
  if (!pattern)
    return f;
  FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_BOLD);
  FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match)
    return f;
  FcChar8* path = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path)
    f.path = reinterpret_cast<const char*>(path);
  FcPatternGetInteger(match, FC_INDEX, 0, &f.index);
  FcPatternDestroy(match);
  return f;
}

// Bold "Arial" as fontconfig resolves it (a metric-compatible face where Arial itself is
// not installed), looked up once per process. The lookup uses a configuration of its own,
// released at once: the host's own use of fontconfig is left alone, and nothing of it
// outlives an unloaded module.
// fontconfig keeps tables of its own once used; they go when the module unloads (a
// library that goes with it would otherwise leave them behind, unreachable).
struct FontconfigRelease {
  bool used = false;
  ~FontconfigRelease() {
    if (used)
      FcFini();
  }
} fontconfigRelease;

const FontFile& MatchedFont() {
  static const FontFile file = [] {
    fontconfigRelease.used = true;
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config)
      return FontFile{};
    FontFile f = Match(config);
    FcConfigDestroy(config);
    return f;
  }();
  return file;
}

// Loads and renders one character; null when the face has no usable glyph for it.
FT_GlyphSlot RenderGlyph(MessageFont* font, uint8_t byte) {
  FT_UInt index = FT_Get_Char_Index(font->face, Cp1251ToUnicode(byte));
  if (FT_Load_Glyph(font->face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0)
    return nullptr;
  return font->face->glyph;
}

int32_t Pixels(FT_Pos v) {
  return static_cast<int32_t>((v + 32) >> 6);
}

}  // namespace

const char* MessageFontFile() {
  return MatchedFont().path.c_str();
}

MessageFont* MessageFontCreate(int32_t width, int32_t height) {
  const FontFile& file = MatchedFont();
  if (file.path.empty() || width <= 0 || height <= 0)
    return nullptr;
  MessageFont* font = new MessageFont;
  if (FT_Init_FreeType(&font->library) != 0 ||
      FT_New_Face(font->library, file.path.c_str(), file.index, &font->face) != 0) {
    MessageFontDestroy(font);
    return nullptr;
  }
  // 26.6 sizes at 72 dpi, so a point is a pixel.
  const FT_F26Dot6 x = static_cast<FT_F26Dot6>(int64_t{kFontHeight} * 64 * width / 768);
  const FT_F26Dot6 y = static_cast<FT_F26Dot6>(int64_t{kFontHeight} * 64 * height / 576);
  if (FT_Set_Char_Size(font->face, x > 0 ? x : 1, y > 0 ? y : 1, 72, 72) != 0) {
    MessageFontDestroy(font);
    return nullptr;
  }
  font->ascent = Pixels(font->face->size->metrics.ascender);
  font->descent = -Pixels(font->face->size->metrics.descender);
  return font;
}

void MessageFontDestroy(MessageFont* font) {
  if (!font)
    return;
  if (font->face)
    FT_Done_Face(font->face);
  if (font->library)
    FT_Done_FreeType(font->library);
  delete font;
}

void MessageFontExtent(MessageFont* font,
                       const char* text,
                       int32_t length,
                       int32_t* cx,
                       int32_t* cy) {
  *cx = 0;
  *cy = 0;
  if (!font)
    return;
  int64_t advance = 0;
  for (int32_t i = 0; i < length; ++i) {
    if (FT_GlyphSlot g = RenderGlyph(font, static_cast<uint8_t>(text[i])))
      advance += Pixels(g->advance.x);
  }
  *cx = static_cast<int32_t>(advance);
  *cy = font->ascent + font->descent;
}

void MessageFontDraw(MessageFont* font,
                     uint32_t* pixels,
                     int32_t width,
                     int32_t height,
                     int32_t x,
                     int32_t y,
                     const char* text,
                     int32_t length,
                     uint32_t bgrx) {
  if (!font || !pixels)
    return;
  const int64_t baseline = int64_t{y} + font->ascent;
  int64_t pen = x;
  for (int32_t i = 0; i < length && pen < width; ++i) {
    FT_GlyphSlot g = RenderGlyph(font, static_cast<uint8_t>(text[i]));
    if (!g)
      continue;
    const FT_Bitmap& bm = g->bitmap;
    if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
      const int64_t left = pen + g->bitmap_left;
      const int64_t top = baseline - g->bitmap_top;
      for (unsigned int r = 0; r < bm.rows; ++r) {
        const int64_t py = top + r;
        if (py < 0 || py >= height)
          continue;
        const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(r) * bm.pitch;
        uint32_t* out = pixels + py * width;
        for (unsigned int c = 0; c < bm.width; ++c) {
          const int64_t px = left + c;
          if (px >= 0 && px < width && (row[c >> 3] & (0x80 >> (c & 7))))
            out[px] = bgrx;
        }
      }
    }
    pen += Pixels(g->advance.x);
  }
}

}  // namespace posix
}  // namespace zunk
