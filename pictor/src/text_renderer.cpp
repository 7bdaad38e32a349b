#include "text_renderer.h"

#include <cmath>
#include <map>
#include <memory>
#include <tuple>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include "bitmap_font.h"
#include "text_geometry.h"

namespace pictor {

namespace {

bool builtinOnly = false;

// Process-wide FreeType library and the faces fontconfig chose, kept open.
class FontLibrary {
  public:
    ~FontLibrary() {
        for (auto& [key, face] : faces_)
            if (face) FT_Done_Face(face);
        if (library_) FT_Done_FreeType(library_);
        if (usedFontconfig_) FcFini(); // releases fontconfig's own caches
    }

    // The face for the request, or nullptr when no scalable font exists.
    FT_Face face(const FontRequest& request) {
        if (!ready()) return nullptr;
        const auto key = std::make_tuple(request.face, request.weight, request.italic);
        if (auto it = faces_.find(key); it != faces_.end()) return it->second;
        FT_Face chosen = match(request);
        faces_[key] = chosen;
        return chosen;
    }

  private:
    bool ready() {
        if (!tried_) {
            tried_ = true;
            if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
        }
        return library_ != nullptr;
    }

    FT_Face match(const FontRequest& request) {
        usedFontconfig_ = true;
        FcPattern* pattern = FcPatternCreate();
        if (!pattern) return nullptr;
        FcPatternAddString(pattern, FC_FAMILY,
                           reinterpret_cast<const FcChar8*>(request.face.c_str()));
        FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(request.weight));
        FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* found = FcFontMatch(nullptr, pattern, &result);
        FcPatternDestroy(pattern);
        if (!found) return nullptr;
        FcChar8* file = nullptr;
        int index = 0;
        FT_Face face = nullptr;
        if (FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch) {
            FcPatternGetInteger(found, FC_INDEX, 0, &index);
            if (FT_New_Face(library_, reinterpret_cast<const char*>(file), index, &face) != 0 ||
                !FT_IS_SCALABLE(face)) {
                if (face) FT_Done_Face(face);
                face = nullptr;
            }
        }
        FcPatternDestroy(found);
        return face;
    }

    bool tried_ = false;
    bool usedFontconfig_ = false;
    FT_Library library_ = nullptr;
    std::map<std::tuple<std::string, int, bool>, FT_Face> faces_;
};

FontLibrary& fonts() {
    static FontLibrary library;
    return library;
}

struct VerticalMetrics {
    double ascentPx;
    double cellHeightPx;
};

// Sizes the face so that its cell (Windows ascent + descent) is the asked
// height, or its em is, for a negative height; the width scales the
// average character width. Returns the cell metrics in pixels.
VerticalMetrics sizeFace(FT_Face face, const FontRequest& request) {
    const double unitsPerEm = face->units_per_EM;
    double ascentUnits = face->ascender, descentUnits = -face->descender,
           averageUnits = 0.5 * unitsPerEm;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            ascentUnits = os2->usWinAscent;
            descentUnits = os2->usWinDescent;
        }
        if (os2->xAvgCharWidth > 0) averageUnits = os2->xAvgCharWidth;
    }
    const double cellUnits = std::max(1.0, ascentUnits + descentUnits);
    const int height = request.cellHeightPx == 0 ? 16 : request.cellHeightPx;
    const double emPx = height > 0 ? height * unitsPerEm / cellUnits : -height;
    const double emWidthPx =
        request.averageWidthPx > 0 ? request.averageWidthPx * unitsPerEm / averageUnits : emPx;
    FT_Set_Char_Size(face, std::lround(std::max(emWidthPx, 1.0) * 64),
                     std::lround(std::max(emPx, 1.0) * 64), 72, 72);
    return {std::round(ascentUnits * emPx / unitsPerEm), std::round(cellUnits * emPx / unitsPerEm)};
}

void decorate(Canvas& canvas, const TextFrame& frame, const FontRequest& request, double advancePx,
              VerticalMetrics m, uint32_t pixel) {
    const double thickness = std::max(1.0, std::round(m.cellHeightPx / 16.0));
    if (request.underline) {
        const double v = m.ascentPx + std::max(1.0, std::round(m.cellHeightPx / 12.0));
        frame.fillBand(canvas, 0, advancePx, v, v + thickness, pixel);
    }
    if (request.strikeOut) {
        const double v = std::round(m.ascentPx * 0.65);
        frame.fillBand(canvas, 0, advancePx, v, v + thickness, pixel);
    }
}

double scalableAdvancePx(FT_Face face, const std::u32string& text) {
    double advancePx = 0;
    for (char32_t c : text) {
        FT_Set_Transform(face, nullptr, nullptr);
        if (FT_Load_Char(face, c, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) == 0)
            advancePx += face->glyph->advance.x / 64.0;
    }
    return advancePx;
}

int builtinScale(const FontRequest& request) {
    const int height = request.cellHeightPx == 0 ? 16 : std::abs(request.cellHeightPx);
    return std::max(1, static_cast<int>(std::lround(double(height) / kBitmapFontCellHeight)));
}

bool drawScalable(Canvas& canvas, const FontRequest& request, const std::u32string& text,
                  const TextFrame& frame, uint32_t pixel, Background background) {
    FT_Face face = fonts().face(request);
    if (!face) return false;
    const VerticalMetrics m = sizeFace(face, request);
    const double angle = request.angleDegrees * M_PI / 180.0;
    FT_Matrix rotation;
    rotation.xx = static_cast<FT_Fixed>(std::lround(std::cos(angle) * 65536.0));
    rotation.xy = static_cast<FT_Fixed>(std::lround(-std::sin(angle) * 65536.0));
    rotation.yx = static_cast<FT_Fixed>(std::lround(std::sin(angle) * 65536.0));
    rotation.yy = static_cast<FT_Fixed>(std::lround(std::cos(angle) * 65536.0));

    // Total advance first: an opaque background goes under the glyphs.
    const double advancePx = scalableAdvancePx(face, text);
    if (background.opaque)
        frame.fillBand(canvas, 0, advancePx, 0, m.cellHeightPx, background.pixel);

    const PointF origin = frame.at(0, m.ascentPx); // baseline start
    const double baseX = std::floor(origin.x), baseY = std::floor(origin.y);
    FT_Vector pen{std::lround((origin.x - baseX) * 64), -std::lround((origin.y - baseY) * 64)};
    for (char32_t c : text) {
        FT_Set_Transform(face, &rotation, &pen);
        if (FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) continue;
        const FT_GlyphSlot g = face->glyph;
        const FT_Bitmap& bm = g->bitmap;
        if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
            const long left = static_cast<long>(baseX) + g->bitmap_left;
            const long top = static_cast<long>(baseY) - g->bitmap_top;
            for (unsigned r = 0; r < bm.rows; ++r) {
                const unsigned char* bits = bm.buffer + static_cast<long>(r) * bm.pitch;
                for (unsigned i = 0; i < bm.width; ++i) {
                    if (bits[i >> 3] & (0x80 >> (i & 7)))
                        canvas.set(static_cast<int>(left + i), static_cast<int>(top + r), pixel);
                }
            }
        }
        pen.x += g->advance.x;
        pen.y += g->advance.y;
    }
    FT_Set_Transform(face, nullptr, nullptr);
    decorate(canvas, frame, request, advancePx, m, pixel);
    return true;
}

void drawBuiltin(Canvas& canvas, const FontRequest& request, const std::u32string& text,
                 const TextFrame& frame, uint32_t pixel, Background background) {
    const int scale = builtinScale(request);
    const int cellW = kBitmapFontCellWidth * scale, cellH = kBitmapFontCellHeight * scale;
    const double advancePx = double(cellW) * text.size();
    if (background.opaque) frame.fillBand(canvas, 0, advancePx, 0, cellH, background.pixel);
    for (size_t n = 0; n < text.size(); ++n) {
        char32_t c = text[n];
        if (c < kBitmapFontFirstChar || c >= kBitmapFontFirstChar + kBitmapFontGlyphCount) c = '?';
        const uint8_t* glyph = kBitmapFontGlyphs[c - kBitmapFontFirstChar];
        for (int row = 0; row < kBitmapFontCellHeight; ++row)
            for (int col = 0; col < kBitmapFontCellWidth; ++col) {
                if (!(glyph[row] & (1u << (kBitmapFontCellWidth - 1 - col)))) continue;
                for (int sy = 0; sy < scale; ++sy)
                    for (int sx = 0; sx < scale; ++sx) {
                        const PointF p =
                            frame.at(double(n) * cellW + col * scale + sx, row * scale + sy);
                        canvas.set(static_cast<int>(std::lround(p.x)),
                                   static_cast<int>(std::lround(p.y)), pixel);
                    }
            }
    }
    decorate(canvas, frame, request, advancePx, {double(kBitmapFontAscent * scale), double(cellH)},
             pixel);
}

} // namespace

void useBuiltinFontOnly(bool on) {
    builtinOnly = on;
}

bool scalableFontsAvailable() {
    return fonts().face(FontRequest{}) != nullptr;
}

std::u32string decodeText(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead >= 0xF0 && lead <= 0xF4   ? 3
                          : lead >= 0xE0 && lead <= 0xEF ? 2
                          : lead >= 0xC2 && lead <= 0xDF ? 1
                                                         : 0;
        char32_t cp = extra == 3 ? (lead & 0x07u) : extra == 2 ? (lead & 0x0Fu) : (lead & 0x1Fu);
        bool valid = extra > 0 && i + extra < text.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto b = static_cast<unsigned char>(text[i + k]);
            valid = (b & 0xC0) == 0x80;
            cp = (cp << 6) | (b & 0x3Fu);
        }
        valid = valid && !(extra == 2 && cp < 0x800) &&
                !(extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) && !(cp >= 0xD800 && cp <= 0xDFFF);
        if (valid) {
            out.push_back(cp);
            i += static_cast<size_t>(extra) + 1;
        } else {
            out.push_back(lead); // ASCII, or a stray byte read as Latin-1
            ++i;
        }
    }
    return out;
}

double textAdvancePx(const FontRequest& font, std::string_view text) {
    const std::u32string codes = decodeText(text);
    if (!builtinOnly) {
        if (FT_Face face = fonts().face(font)) {
            sizeFace(face, font);
            return scalableAdvancePx(face, codes);
        }
    }
    return double(kBitmapFontCellWidth * builtinScale(font)) * codes.size();
}

void drawTextRow(Canvas& canvas, const FontRequest& font, std::string_view text, int x, int y,
                 uint32_t pixel, Background background) {
    const std::u32string codes = decodeText(text);
    const TextFrame frame(PointF{double(x), double(y)}, font.angleDegrees);
    if (!builtinOnly && drawScalable(canvas, font, codes, frame, pixel, background)) return;
    drawBuiltin(canvas, font, codes, frame, pixel, background);
}

} // namespace pictor
