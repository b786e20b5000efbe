#include "qti/Languages.h"

#include <utility>

namespace quorin::qti {
namespace {

// The language's primary subtag and the static strings' identifier of that language.
constexpr std::pair<const char*, const char*> kLanguages[] = {
    {"en", "ENU"}, {"de", "DEU"}, {"fr", "FRA"}, {"es", "ESN"}, {"it", "ITA"}, {"nl", "NLD"}, {"pt", "PTB"},
    {"sv", "SVE"}, {"da", "DAN"}, {"nb", "NOR"}, {"fi", "FIN"}, {"pl", "PLK"}, {"cs", "CSY"}, {"hu", "HUN"},
    {"tr", "TRK"}, {"ru", "RUS"}, {"ja", "JPN"}, {"zh", "CHS"}, {"ko", "KOR"}};

}  // namespace

const char* languageIdOf(std::string_view primarySubtag)
{
    for (const auto& [subtag, id] : kLanguages) {
        if (primarySubtag == subtag)
            return id;
    }
    return nullptr;
}

const char* languageTagOf(std::string_view languageId)
{
    for (const auto& [subtag, id] : kLanguages) {
        if (languageId == id)
            return subtag;
    }
    return nullptr;
}

}  // namespace quorin::qti
