#include "platform/Bitmap.h"

#include "platform/Files.h"
#include "vb/ComError.h"

#include <fstream>
#include <iterator>

namespace platform {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::size_t kPixelOffset = kFileHeaderSize + kInfoHeaderSize;
constexpr std::size_t kRowSize = (std::size_t{Bitmap::kSize} * 3 + 3) / 4 * 4;
constexpr std::size_t kFileSize = kPixelOffset + kRowSize * Bitmap::kSize;
constexpr std::uint32_t kPixelsPerMetre = 3780;  // 96 dots per inch

void put16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    put16(out, static_cast<std::uint16_t>(value));
    put16(out, static_cast<std::uint16_t>(value >> 16));
}

std::uint32_t get32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t get16(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

}  // namespace

Bitmap::Bitmap(Rgb fill)
{
    pixels_.fill(fill);
}

Rgb Bitmap::pixel(int x, int y) const
{
    return pixels_[indexOf(x, y)];
}

void Bitmap::setPixel(int x, int y, Rgb colour)
{
    pixels_[indexOf(x, y)] = colour;
}

std::size_t Bitmap::indexOf(int x, int y)
{
    if (x < 0 || x >= kSize || y < 0 || y >= kSize)
        vb::raise(vb::err::kSubscriptOutOfRange);
    return static_cast<std::size_t>(y) * kSize + static_cast<std::size_t>(x);
}

std::vector<std::uint8_t> encodeBitmap(const Bitmap& image)
{
    std::vector<std::uint8_t> out;
    out.reserve(kFileSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, kFileSize);
    put32(out, 0);
    put32(out, kPixelOffset);
    put32(out, kInfoHeaderSize);
    put32(out, Bitmap::kSize);
    put32(out, Bitmap::kSize);  // a positive height means rows run bottom-up
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);  // uncompressed
    put32(out, kRowSize * Bitmap::kSize);
    put32(out, kPixelsPerMetre);
    put32(out, kPixelsPerMetre);
    put32(out, 0);
    put32(out, 0);
    for (int y = Bitmap::kSize - 1; y >= 0; --y) {
        for (int x = 0; x < Bitmap::kSize; ++x) {
            const Rgb colour = image.pixel(x, y);
            out.push_back(colour.blue);
            out.push_back(colour.green);
            out.push_back(colour.red);
        }
        out.resize(out.size() + kRowSize - std::size_t{Bitmap::kSize} * 3, 0);
    }
    return out;
}

std::optional<Bitmap> decodeBitmap(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.size() != kFileSize || bytes[0] != 'B' || bytes[1] != 'M')
        return std::nullopt;
    if (get32(bytes, 10) != kPixelOffset || get32(bytes, 14) != kInfoHeaderSize || get32(bytes, 18) != Bitmap::kSize
        || get32(bytes, 22) != Bitmap::kSize || get16(bytes, 28) != 24 || get32(bytes, 30) != 0)
        return std::nullopt;
    Bitmap image;
    for (int y = 0; y < Bitmap::kSize; ++y) {
        const std::size_t row = kPixelOffset + kRowSize * static_cast<std::size_t>(Bitmap::kSize - 1 - y);
        for (int x = 0; x < Bitmap::kSize; ++x) {
            const std::size_t at = row + static_cast<std::size_t>(x) * 3;
            image.setPixel(x, y, Rgb{bytes[at + 2], bytes[at + 1], bytes[at]});
        }
    }
    return image;
}

void writeBitmap(const std::filesystem::path& path, const Bitmap& image)
{
    const auto bytes = encodeBitmap(image);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file)
        throw vb::ComError::runtime(vb::err::kPathFileAccess);
}

std::optional<Bitmap> readBitmap(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return decodeBitmap(bytes);
}

}  // namespace platform
