#pragma once

#include "platform/Bitmap.h"

#include <array>
#include <filesystem>
#include <string_view>

namespace quorin {

// The twelve 16 x 16 frame bitmaps of the item window (its image list), each saved as tag +
// "hdt.bmp" in the driver's support folder, where the frame pages find them.
class FrameImageList {
public:
    // The image tags, in list order.
    static constexpr std::array<std::string_view, 12> kTags = {
        "CollapsedNode",      "Rt_Lower_Corner", "Bottom_Tile",  "ExpandedNode",
        "Lt_Lower_Corner",    "Left_corner",     "Top_Bar_tile", "AreaTitle_Bar_tile",
        "Left_vert_bar_tile", "Bottom_bar_tile", "Rt_corner",    "Rt_vert_bar_tile"};
    // The file whose presence means the images were written already.
    static constexpr std::string_view kMarkerTag = "Lt_Lower_Corner";

    // The picture of a tag; a blank image for a tag the list does not hold.
    static platform::Bitmap image(std::string_view tag);
    // The file an image is saved to in the support folder.
    static std::filesystem::path fileOf(const std::filesystem::path& supportDir, std::string_view tag);
    // Saves every image whose file is missing, unless the marker file exists; existing files
    // are never overwritten. A file that cannot be written raises 75.
    static void writeMissing(const std::filesystem::path& supportDir);
};

}  // namespace quorin
