#include "itemwindow/ItemLayout.h"

#include "vb/Variant.h"

namespace quorin {
namespace {

constexpr float kStemToExhibits = 75;
constexpr float kBetweenExhibits = 100;
constexpr float kExhibitsToChoices = 150;
constexpr float kFirstChoiceTop = 50;
constexpr float kBoxToText = 25;
constexpr float kChoiceTextInset = 1100;

platform::Bounds placed(float left, float top, float width, float height)
{
    platform::Bounds bounds;
    bounds.move(left, top, width, height);
    return bounds;
}

std::int32_t twips(std::int32_t pixels, float twipsPerPixelY)
{
    return vb::toInt32(static_cast<double>(pixels) * twipsPerPixelY);
}

}  // namespace

FrameLayout ItemLayout::frame(float width, float height, const FrameStrips& strips, bool caseStudy)
{
    const float sw = width;
    const float sh = height;
    const float t = strips.title;
    const float l = strips.leftEdge;
    const float r = strips.rightEdge;
    const float b = strips.buttonBar;
    const float d = strips.bottom;
    FrameLayout frame;
    if (caseStudy) {
        frame.buttons = placed(0, sh - b, sw, b);
        frame.itemArea = placed(0, 0, sw, sh - b);
        return frame;
    }
    frame.title = placed(0, 0, sw, t);
    frame.leftEdge = placed(0, t, l, sh - t - d);
    frame.rightEdge = placed(sw - r, t, r, sh - t - d);
    frame.bottom = placed(0, sh - d, sw, d);
    frame.buttons = placed(l, sh - b - d, sw - (l + r), b);
    frame.itemArea = placed(l, t, sw - (l + r), sh - (b + t + d));
    return frame;
}

float ItemLayout::stemWidth(float itemAreaWidth, std::int16_t horzSpacing, std::int16_t vertSpacing)
{
    return platform::Bounds::extent(itemAreaWidth - vertSpacing - horzSpacing);
}

float ItemLayout::choiceTextWidth(float itemAreaWidth)
{
    return platform::Bounds::extent(itemAreaWidth - kChoiceTextInset);
}

ContentLayout ItemLayout::content(const ContentMeasures& m)
{
    ContentLayout layout;
    const std::int32_t stemHeight = twips(m.stemPixels, m.twipsPerPixelY);
    layout.stem =
        placed(0, 0, stemWidth(m.itemAreaWidth, m.horzSpacing, m.vertSpacing), static_cast<float>(stemHeight));

    layout.exhibits = m.exhibits;
    const auto count = static_cast<std::int16_t>(m.exhibits.size() + 1);
    for (std::size_t i = 0; i < layout.exhibits.size(); ++i) {
        auto& button = layout.exhibits[i];
        if (i == 0) {
            button.top = layout.stem.top + static_cast<float>(stemHeight) + kStemToExhibits;
            button.left = (m.windowWidth
                           - (static_cast<float>(m.horzSpacing) / 2 * count - 1 + static_cast<float>(m.exhibitsWidth)))
                          / 2;
            continue;
        }
        const auto& previous = layout.exhibits[i - 1];
        button.top = previous.top;
        button.left = previous.left + previous.width + kBetweenExhibits;
    }

    layout.boxes = m.boxes;
    layout.texts.resize(m.boxes.size());
    for (std::size_t i = 0; i < m.boxes.size(); ++i) {
        auto& box = layout.boxes[i];
        const float height = static_cast<float>(twips(m.choicePixels[i], m.twipsPerPixelY));
        if (i == 0) {
            box.move(m.vertSpacing, kFirstChoiceTop, std::nullopt, std::nullopt);
            layout.texts[0] =
                placed(box.left + box.width + kBoxToText, box.top, choiceTextWidth(m.itemAreaWidth), height);
            continue;
        }
        const auto& previous = layout.texts[i - 1];
        box.move(layout.boxes[0].left, previous.top + static_cast<float>(m.choicePixels[i - 1] + 1) * m.twipsPerPixelY,
                 std::nullopt, std::nullopt);
        layout.texts[i] = placed(previous.left, box.top, previous.width, height);
    }

    const auto& last = layout.texts.back();
    const float choicesTop = layout.exhibits.empty()
                                 ? layout.stem.top + static_cast<float>(stemHeight)
                                 : layout.exhibits[0].top + layout.exhibits[0].height + kExhibitsToChoices;
    layout.choices =
        placed(0, choicesTop, m.itemAreaWidth,
               last.top + m.horzSpacing + static_cast<float>(twips(m.choicePixels.back(), m.twipsPerPixelY)));
    layout.scrollingHeight =
        vb::toInt32(static_cast<double>(layout.choices.height) + layout.choices.top + m.horzSpacing);
    return layout;
}

}  // namespace quorin
