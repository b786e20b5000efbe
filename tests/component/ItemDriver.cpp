#include "ItemDriver.h"

#include <algorithm>
#include <filesystem>

namespace quorin::test {
namespace {

constexpr std::int32_t kUnwrittenTail = 12;
constexpr std::int16_t kJunk = 9;

}  // namespace

std::ostream& operator<<(std::ostream& out, const Score& score)
{
    return out << "{result " << score.result << ", correct " << score.correct << ", incorrect " << score.incorrect
               << ", notAttempted " << score.notAttempted << ", notScored " << score.notScored << ", raw "
               << score.raw << "}";
}

ItemDriver::ItemDriver(std::string staticStrings)
    : support_(std::make_shared<velm::host::SupportObject>(
          std::move(staticStrings), std::filesystem::temp_directory_path() / "quorin-component-tests", ""))
    , component_(clsMultipleChoice::create())
    , parentWindow_(platform::WindowSystem::instance().createWindow("VelmDriver", "Velm driver"))
{
    display().ExternalSupport(support_);
    display().SetParentWnd(parentWindow_);
}

ItemDriver::~ItemDriver()
{
    component_.reset();
    platform::WindowSystem::instance().destroyWindow(parentWindow_);
}

bool ItemDriver::init(const std::string& itemXml, std::int32_t options)
{
    const auto definition = bytes(itemXml);
    return display().InitExternalDisplay(definition, static_cast<std::int32_t>(definition.size()), options);
}

vb::ByteArray ItemDriver::savedState()
{
    const std::int32_t size = display().GetExternalStateBytes();
    vb::ByteArray buffer(static_cast<std::size_t>(std::max(size, 0)), 0);
    if (!buffer.empty())
        display().GetExternalStateArray(buffer, size);
    return buffer;
}

std::string ItemDriver::state()
{
    auto buffer = savedState();
    buffer.resize(buffer.size() > kUnwrittenTail ? buffer.size() - kUnwrittenTail : 0);
    return vb::textFromBytes(buffer);
}

void ItemDriver::restore(const std::string& stateText)
{
    const auto state = bytes(stateText);
    display().SetExternalStateArray(state, static_cast<std::int32_t>(state.size()));
}

std::string ItemDriver::response(std::int32_t lRespType)
{
    bool isAscii = false;
    const std::int32_t size = display().GetResponseBytes(lRespType, isAscii);
    if (size <= 0)
        return {};
    vb::ByteArray buffer(static_cast<std::size_t>(size), 0);
    display().GetResponse(lRespType, buffer, size);
    return vb::textFromBytes(buffer);
}

Score ItemDriver::score()
{
    Score score{false, kJunk, kJunk, kJunk, kJunk, kJunk};
    score.result = display().ScoreExternalDisplay(score.correct, score.incorrect, score.notAttempted,
                                                   score.notScored, score.raw);
    return score;
}

Score ItemDriver::rescoreBytes(const vb::ByteArray& response)
{
    Score score{false, kJunk, kJunk, kJunk, kJunk, kJunk};
    score.result = display().RescoreExternalDisplay(response, static_cast<std::int32_t>(response.size()),
                                                    score.correct, score.incorrect, score.notAttempted,
                                                    score.notScored, score.raw);
    return score;
}

std::vector<velm::host::SupportObject::LogEntry> ItemDriver::errors() const
{
    std::vector<velm::host::SupportObject::LogEntry> entries;
    for (const auto& entry : support_->log()) {
        if (entry.level == "error")
            entries.push_back(entry);
    }
    return entries;
}

std::vector<std::string> ItemDriver::errorRoutines() const
{
    std::vector<std::string> routines;
    for (const auto& entry : errors())
        routines.push_back(entry.routine);
    return routines;
}

}  // namespace quorin::test
