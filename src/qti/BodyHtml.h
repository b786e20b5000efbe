#pragma once

#include "qti/ItemImport.h"

#include <pugixml.hpp>

#include <optional>
#include <string>
#include <vector>

namespace quorin::qti {

// The HTML texts of our item made from a normalised item body: the stem, the choices and the
// instructions, each "<html><body>…</body></html>" so the window shows it, images named by file
// name. Throws ImportRefusal for content that needs what does not cross (template variables).
class BodyHtml {
public:
    // Notes on what is left out are appended to notes.
    explicit BodyHtml(std::vector<std::string>& notes);

    // The body with the interaction in place of its prompt, without rubric blocks and feedback;
    // rubric blocks for the candidate are kept as the instructions.
    std::string stemOf(pugi::xml_node body, pugi::xml_node interaction);
    // The candidate's rubric blocks of the last stem; nothing when it had none.
    std::optional<std::string> instructions() const { return instructions_; }
    // A simpleChoice's content, without its feedback.
    std::string choiceOf(pugi::xml_node choice);
    // Every image the texts made so far name, once each.
    const std::vector<ImageReference>& images() const { return images_; }

private:
    std::string htmlOf(pugi::xml_node container);
    void takeOutRubricBlocks(pugi::xml_node body);
    void takeOutFeedback(pugi::xml_node container);
    void prepare(pugi::xml_node element);
    void nameImage(pugi::xml_attribute reference);

    std::vector<std::string>& notes_;
    std::optional<std::string> instructions_;
    std::vector<ImageReference> images_;
    bool feedbackNoted_ = false;
};

}  // namespace quorin::qti
