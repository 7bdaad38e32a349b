// The world view of the location picker: the small map stretched over the
// canvas with parallels and meridians, or a crop of the big map (the medium
// one when the big map is not installed) around a clicked point at twice
// the map's own scale; and the mapping from a canvas pixel to the longitude
// and latitude under it.
#pragma once

#include "tarvo/views/world_map_files.h"

#include <filesystem>

namespace tarvo {

struct WorldViewFrame {
    bool zoomed = false;
    WorldMap map = WorldMap::Small;
    int canvasWidth = 0, canvasHeight = 0; // W, H in pixels
    // The crop of the zoomed view in map pixels (x1 <= x2, y1 <= y2).
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct LonLatDeg {
    double lon = 0; // degrees, east positive
    double lat = 0; // degrees, north positive
};

WorldViewFrame wholeWorldFrame(int canvasWidth, int canvasHeight);

/*
** zoomedFrame: the zoomed view around canvas pixel (mx, my) of the whole
** world view.
**
** Given:   mx, my  the clicked pixel; W, H the canvas size (pixels);
**          map     the big map, or the medium one when the big one is not
**                  installed
** Returned: the crop x2 = round(mapW mx / W + W / 4), x1 = round(x2 - W / 2),
**          y2 = round(mapH my / H + H / 4), y1 = round(y2 - H / 2), in map
**          pixels, W/2 x H/2 map pixels shown over the canvas
** Notes:   a crop that would reach beyond the map's edge is moved inside
**          it (the clicked point is then off the centre), so the view never
**          shows what lies outside the picture; the mapping of
**          cursorLocation follows the moved crop.
*/
WorldViewFrame zoomedFrame(int mx, int my, int canvasWidth, int canvasHeight, WorldMap map);

// The longitude and latitude under canvas pixel (mx, my): the spans are
// 360 x 180 degrees about (0, 0) in the whole world view, and W 180 / mapW by
// H 90 / mapH degrees about the crop's centre in the zoomed view.
LonLatDeg cursorLocation(const WorldViewFrame& frame, int mx, int my);

// Draws the frame on the current pictor window: the whole world view with
// its 19 parallels (every 10 degrees) and 25 meridians (every 15 degrees),
// solid at the poles, the equator, the date line and the zero meridian,
// dotted elsewhere; or the crop of the zoomed view. Returns pictor's result
// of the picture operation (0, or an error code when the map could not be
// loaded: the canvas then stays as it was).
int drawWorldView(const WorldViewFrame& frame, const std::filesystem::path& imageDirectory);

} // namespace tarvo
