#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace platform {

// One pixel's colour.
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A 16 x 16 image, the size of every frame bitmap; (0, 0) is the top-left pixel.
class Bitmap {
public:
    static constexpr int kSize = 16;

    // An image of one colour, black unless given.
    explicit Bitmap(Rgb fill = {});

    // The pixel at column x, row y; outside the image raises 9.
    Rgb pixel(int x, int y) const;
    // Sets the pixel at column x, row y; outside the image raises 9.
    void setPixel(int x, int y, Rgb colour);

    friend bool operator==(const Bitmap&, const Bitmap&) = default;

private:
    static std::size_t indexOf(int x, int y);

    std::array<Rgb, std::size_t{kSize} * kSize> pixels_{};
};

// The image as a Windows BMP file: file and info headers, 24 bits per pixel, rows bottom-up,
// each padded to four bytes.
std::vector<std::uint8_t> encodeBitmap(const Bitmap& image);

// The image in BMP bytes of the layout encodeBitmap writes; nothing for any other bytes.
std::optional<Bitmap> decodeBitmap(const std::vector<std::uint8_t>& bytes);

// Writes the image to path as a BMP file, replacing any file there; a file that cannot be
// written raises 75 "Path/File access error".
void writeBitmap(const std::filesystem::path& path, const Bitmap& image);

// The image in the BMP file at path; nothing when the file is missing or not such a bitmap.
std::optional<Bitmap> readBitmap(const std::filesystem::path& path);

}  // namespace platform
