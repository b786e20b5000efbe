#include "itemwindow/FrameImageList.h"

#include "platform/Files.h"

#include <string>

namespace quorin {
namespace {

using platform::Bitmap;
using platform::Rgb;

constexpr Rgb kBackground{0x99, 0xcc, 0xff};
constexpr Rgb kFrameDark{0x1f, 0x4e, 0x8c};
constexpr Rgb kFrameLight{0x5a, 0x8f, 0xd0};
constexpr Rgb kHighlight{0xff, 0xff, 0xff};

// The frame's colour at a distance from its outer border: dark at the border, lighter inwards.
Rgb frameShade(int depth)
{
    if (depth <= 0)
        return kFrameDark;
    if (depth == 1)
        return kHighlight;
    const int mix = depth > 8 ? 8 : depth;
    const auto blend = [mix](std::uint8_t from, std::uint8_t to) {
        return static_cast<std::uint8_t>(from + (to - from) * mix / 8);
    };
    return {blend(kFrameLight.red, kBackground.red), blend(kFrameLight.green, kBackground.green),
            blend(kFrameLight.blue, kBackground.blue)};
}

// An image whose pixel at (x, y) is paint(x, y).
template <class Paint>
Bitmap painted(Paint paint)
{
    Bitmap image;
    for (int y = 0; y < Bitmap::kSize; ++y) {
        for (int x = 0; x < Bitmap::kSize; ++x)
            image.setPixel(x, y, paint(x, y));
    }
    return image;
}

constexpr int kLast = Bitmap::kSize - 1;

// A corner shades by the distance to the two borders it joins, so it meets both tiles.
Bitmap corner(bool right, bool bottom)
{
    return painted([=](int x, int y) {
        const int dx = right ? kLast - x : x;
        const int dy = bottom ? kLast - y : y;
        return frameShade(dx < dy ? dx : dy);
    });
}

// A tree node box: a frame with a minus, and a plus when collapsed.
Bitmap node(bool collapsed)
{
    return painted([=](int x, int y) {
        const bool border = x == 3 || x == 12 || y == 3 || y == 12;
        const bool inside = x > 3 && x < 12 && y > 3 && y < 12;
        const bool minus = inside && y == 7 && x > 4 && x < 11;
        const bool plus = collapsed && inside && x == 7 && y > 4 && y < 11;
        if (border && x >= 3 && x <= 12 && y >= 3 && y <= 12)
            return kFrameDark;
        return minus || plus ? kFrameDark : kBackground;
    });
}

}  // namespace

Bitmap FrameImageList::image(std::string_view tag)
{
    // Horizontal tiles repeat along x, so they vary by row; vertical ones by column.
    if (tag == "Top_Bar_tile" || tag == "AreaTitle_Bar_tile")
        return painted([](int, int y) { return frameShade(y); });
    if (tag == "Bottom_Tile" || tag == "Bottom_bar_tile")
        return painted([](int, int y) { return frameShade(kLast - y); });
    if (tag == "Left_vert_bar_tile")
        return painted([](int x, int) { return frameShade(x); });
    if (tag == "Rt_vert_bar_tile")
        return painted([](int x, int) { return frameShade(kLast - x); });
    if (tag == "Left_corner")
        return corner(false, false);
    if (tag == "Rt_corner")
        return corner(true, false);
    if (tag == "Lt_Lower_Corner")
        return corner(false, true);
    if (tag == "Rt_Lower_Corner")
        return corner(true, true);
    if (tag == "CollapsedNode" || tag == "ExpandedNode")
        return node(tag == "CollapsedNode");
    return Bitmap(kBackground);
}

std::filesystem::path FrameImageList::fileOf(const std::filesystem::path& supportDir, std::string_view tag)
{
    return supportDir.string() + std::string(tag) + "hdt.bmp";
}

void FrameImageList::writeMissing(const std::filesystem::path& supportDir)
{
    if (platform::fileExists(fileOf(supportDir, kMarkerTag)))
        return;
    for (const auto tag : kTags) {
        const auto file = fileOf(supportDir, tag);
        if (!platform::fileExists(file))
            platform::writeBitmap(file, image(tag));
    }
}

}  // namespace quorin
