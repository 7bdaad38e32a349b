// Pictures into the canvas, and the canvas into a BMP file.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <strings.h>
#include <sys/stat.h>

#include "api_common.h"
#include "bmp_reader.h"
#include "bmp_writer.h"
#include "picture_cache.h"
#include "screen_update.h"
#include "stretch_copy.h"
#include "string_handover.h"

using namespace pictor;

namespace {

// The system clipboard is not reachable from a terminal program; the name
// that would address it is refused like a file that cannot be loaded.
constexpr std::string_view kClipboardName = "CLIPBOARD";

struct CropRequest {
    bool whole = true;
    long long x1 = 0, y1 = 0, x2 = 0, y2 = 0; // inclusive picture pixels
};

int drawPicture(int window, const char* file, int width, int height, CropRequest crop) {
    StringArgument fileArg(file);
    int error = 0;
    WindowRecord* w = drawableWindow(window, error);
    if (!w) return error;
    if (fileArg.missing()) return PICTOR_ERR_ARGUMENT;
    if (!crop.whole && (crop.x2 < crop.x1 || crop.y2 < crop.y1)) return PICTOR_ERR_ARGUMENT;
    if (fileArg.view() == kClipboardName) return PICTOR_ERR_PLATFORM;
    std::string why;
    const std::shared_ptr<const Picture> loaded = loadPicture(std::string(fileArg.view()), why);
    if (!loaded) return PICTOR_ERR_PLATFORM;
    const Picture& picture = *loaded;
    const long long targetW =
        width == 0 ? picture.width : WindowRecord::clampPixel(std::round(width * w->xScale));
    const long long targetH =
        height == 0 ? picture.height : WindowRecord::clampPixel(std::round(height * w->yScale));
    SourceRect source{0, 0, picture.width, picture.height};
    if (!crop.whole) source = {crop.x1, crop.y1, crop.x2 - crop.x1 + 1, crop.y2 - crop.y1 + 1};
    stretchCopy(w->canvas, {w->lprX, w->lprY, targetW, targetH}, picture, source, w->stretchMode);
    requestRectUpdate(*w, w->lprX, w->lprY, w->lprX + targetW, w->lprY + targetH);
    return 0;
}

bool fileExistsAnyCase(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) return true;
    const size_t slash = path.find_last_of('/');
    const std::string dir =
        slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    DIR* d = opendir(dir.c_str());
    if (!d) return false;
    bool found = false;
    while (const dirent* e = readdir(d)) {
        if (strcasecmp(e->d_name, name.c_str()) == 0) {
            found = true;
            break;
        }
    }
    closedir(d);
    return found;
}

} // namespace

extern "C" {

int DisplayBitmapEx(int window, const char* file) {
    return drawPicture(window, file, 0, 0, {});
}
int DisplayBitmap(const char* file) {
    return DisplayBitmapEx(currentWindowNumber(), file);
}

int StretchBitmapEx(int window, const char* file, int width, int height) {
    return drawPicture(window, file, width, height, {});
}
int StretchBitmap(const char* file, int width, int height) {
    return StretchBitmapEx(currentWindowNumber(), file, width, height);
}

int CropBitmapEx(int window, const char* file, int width, int height, int x1, int y1, int x2,
                 int y2) {
    return drawPicture(window, file, width, height, {false, x1, y1, x2, y2});
}
int CropBitmap(const char* file, int width, int height, int x1, int y1, int x2, int y2) {
    return CropBitmapEx(currentWindowNumber(), file, width, height, x1, y1, x2, y2);
}

int SaveGfxWindowEx(int window, const char* file) {
    StringArgument fileArg(file);
    WindowRecord* w = openWindow(window);
    if (!w) return PICTOR_ERR_WINDOW;
    if (fileArg.missing() || fileArg.view().empty()) return PICTOR_ERR_ARGUMENT;
    // Both dimensions even: an odd last column or row is dropped.
    const int width = w->canvas.width & ~1, height = w->canvas.height & ~1;
    if (width <= 0 || height <= 0) return PICTOR_ERR_ARGUMENT;
    if (fileArg.view() == kClipboardName) return PICTOR_ERR_PLATFORM;
    std::vector<uint8_t> bytes;
    try {
        bytes = encodeBmp24(w->canvas, width, height);
    } catch (const std::bad_alloc&) {
        return PICTOR_ERR_PLATFORM;
    }
    const int failure = writeFileReplacing(std::string(fileArg.view()), bytes);
    if (failure != 0) return PICTOR_ERR_FILE_BASE + failure;
    return saveDepthFor(kCanvasColourBits);
}
int SaveGfxWindow(const char* file) {
    return SaveGfxWindowEx(currentWindowNumber(), file);
}

char* PictorStringCopy(const char* text) {
    if (!text) return nullptr;
    const size_t n = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(n));
    if (copy) std::memcpy(copy, text, n);
    return copy;
}

int PictorFirstFreePicture(const char* prefix, const char* suffix, int first, int last) {
    if (!prefix || !suffix || first < 0 || last > 999 || first > last) return -1;
    for (int n = first; n <= last; ++n) {
        char number[16];
        std::snprintf(number, sizeof number, "%03d", n);
        if (!fileExistsAnyCase(std::string(prefix) + number + suffix)) return n;
    }
    return -1;
}

} // extern "C"
