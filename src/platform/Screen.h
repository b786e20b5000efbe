#pragma once

namespace platform {

// The process-wide screen measures: twips per pixel on each axis (15 unless a test sets them).
class Screen {
public:
    // The screen of this process.
    static Screen& instance();

    // Twips per horizontal pixel.
    float twipsPerPixelX() const { return twipsPerPixelX_; }
    // Twips per vertical pixel.
    float twipsPerPixelY() const { return twipsPerPixelY_; }
    // Sets twips per horizontal pixel; a value that is not positive is ignored.
    void setTwipsPerPixelX(float twips);
    // Sets twips per vertical pixel; a value that is not positive is ignored.
    void setTwipsPerPixelY(float twips);
    // Back to 15 twips per pixel on both axes.
    void reset();

private:
    Screen() = default;

    float twipsPerPixelX_ = 15.0f;
    float twipsPerPixelY_ = 15.0f;
};

}  // namespace platform
