#pragma once

#include <string>

namespace platform {

// A font description: name, size in points, bold.
class Font {
public:
    // The system's default font, "MS Sans Serif" 8.25 points, regular.
    Font() = default;
    // A font of that name, size in points and weight.
    Font(std::string name, float size, bool bold = false);

    // The face name.
    const std::string& name() const { return name_; }
    // The size in points.
    float size() const { return size_; }
    // Whether the font is bold.
    bool bold() const { return bold_; }
    // Sets the face name.
    void setName(std::string name) { name_ = std::move(name); }
    // Sets the size in points; a negative size counts as 0.
    void setSize(float size);
    // Sets the weight.
    void setBold(bool bold) { bold_ = bold; }

    friend bool operator==(const Font&, const Font&) = default;

private:
    std::string name_ = "MS Sans Serif";
    float size_ = 8.25f;
    bool bold_ = false;
};

}  // namespace platform
