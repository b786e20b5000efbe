#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace velm::host {

// One fault of an item file: where it is (line 0 when it cannot be located), how bad, and what.
struct LintFinding {
    std::filesystem::path file;
    std::size_t line = 0;
    bool error = true;  // false: a warning
    std::string message;
};

// Checks item files before an exam goes out: that each initialises through the component and
// that what the component would only find out in front of a candidate holds (choices, limits,
// identifiers, answer keys and weights, HTML texts, images, exhibit files, static strings).
class ItemLint {
public:
    // staticStrings: the static-strings document items are checked against; resourceDir: where
    // images and exhibit files are looked for, the item's own folder when empty.
    ItemLint(std::string staticStrings, std::filesystem::path resourceDir);

    // Whether the file is an XML document whose document element is "MultipleChoiceItem".
    static bool isItemFile(const std::filesystem::path& file);
    // The faults of one item file, in the order of its text.
    std::vector<LintFinding> check(const std::filesystem::path& file) const;

private:
    class Run;

    std::string staticStrings_;
    pugi::xml_document statics_;
    std::filesystem::path resourceDir_;
};

}  // namespace velm::host
