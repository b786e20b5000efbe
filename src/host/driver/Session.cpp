#include "host/driver/Session.h"

#include "host/driver/HeadlessCalculator.h"
#include "host/driver/ResponseBytes.h"
#include "platform/ComponentRegistry.h"
#include "platform/EventLoop.h"
#include "platform/InProcessServer.h"
#include "platform/RegistryFile.h"
#include "vb/ComError.h"
#include "vb/Text.h"

#include <algorithm>

namespace velm::host {
namespace {

constexpr const char* kPluginFileName = "libQuorinMultipleChoice.so";
constexpr const char* kCaseStudyPluginFileName = "libQuorinCaseStudy.so";

std::shared_ptr<DisplayInt> createDisplay(std::string_view progId, const std::filesystem::path& plugin)
{
    auto& registry = platform::ComponentRegistry::instance();
    try {
        return registry.createAs<DisplayInt>(progId);
    } catch (const vb::ComError& error) {
        if (error.number != vb::err::kCannotCreateObject || plugin.empty() || !std::filesystem::exists(plugin))
            throw;
    }
    registry.registerServer(plugin);
    return registry.createAs<DisplayInt>(progId);
}

// Items bound to a case study create ours by name. It is registered only when the registry
// lacks a usable entry, so that runs side by side do not rewrite the registry file.
void installCaseStudy(const std::filesystem::path& library)
{
    std::error_code error;
    if (!std::filesystem::exists(library, error))
        return;
    const auto entry =
        platform::RegistryFile::load(platform::RegistryFile::defaultPath()).findByProgId(Session::kCaseStudyProgId);
    if (entry && std::filesystem::exists(entry->library, error))
        return;
    platform::ComponentRegistry::instance().registerServer(library);
}

}  // namespace

std::string stateTextOf(const ByteArray& bytes)
{
    std::string text = vb::textFromBytes(bytes);
    const auto end = text.find_last_not_of('\0');
    text.erase(end == std::string::npos ? 0 : end + 1);
    return text;
}

Session::Session(SessionSettings settings) : settings_(std::move(settings))
{
    HeadlessCalculator::install();
    support_ = std::make_shared<SupportObject>(settings_.staticStrings, settings_.supportDir, settings_.resourceDir);
    support_->setCaseDir(settings_.caseDir);
    driverWindow_ = platform::WindowSystem::instance().createWindow("VelmDriver", "velm-host");
    platform::WindowSystem::instance().showWindow(driverWindow_, platform::kSwShow);
}

Session::~Session()
{
    if (display_ && !freed_) {
        try {
            display_->FreeExternalDisplay();
        } catch (const vb::ComError&) {
            // A display that cannot report its failure is dropped all the same.
        }
    }
    display_.reset();
    platform::WindowSystem::instance().destroyWindow(driverWindow_);
}

std::filesystem::path Session::pluginPath() const
{
    if (!settings_.pluginPath.empty())
        return settings_.pluginPath;
    // In the build tree the plug-ins stand beside the program; installed, in their own folder.
    const auto programDir = platform::libraryPathOf(reinterpret_cast<const void*>(&createDisplay)).parent_path();
    if (std::filesystem::exists(programDir / kPluginFileName))
        return programDir / kPluginFileName;
    return (programDir / QUORIN_INSTALLED_PLUGIN_DIR / kPluginFileName).lexically_normal();
}

void Session::start(std::string_view progId)
{
    freed_ = false;
    const auto plugin = pluginPath();
    display_ = createDisplay(progId, plugin);
    installCaseStudy(plugin.parent_path() / kCaseStudyPluginFileName);
    display_->ExternalSupport(support_);
    display_->SetParentWnd(driverWindow_);
}

DisplayInt& Session::display() const
{
    if (!display_)
        vb::raise(vb::err::kObjectNotSet);
    return *display_;
}

bool Session::initialize(std::string_view itemXml, std::int32_t options)
{
    const auto bytes = vb::bytesFromText(itemXml);
    return display().InitExternalDisplay(bytes, static_cast<std::int32_t>(bytes.size()), options);
}

void Session::runUntilIdle()
{
    platform::EventLoop::current().runUntilIdle();
}

ByteArray Session::saveState()
{
    const std::int32_t size = display().GetExternalStateBytes();
    ByteArray buffer(static_cast<std::size_t>(std::max(size, 0)));
    if (!buffer.empty())
        display().GetExternalStateArray(buffer, size);
    return buffer;
}

std::string Session::stateText()
{
    return stateTextOf(saveState());
}

void Session::restoreState(const ByteArray& bytes)
{
    display().SetExternalStateArray(bytes, static_cast<std::int32_t>(bytes.size()));
}

std::pair<std::int32_t, std::string> Session::response(std::int32_t type)
{
    bool isAscii = false;
    const std::int32_t size = display().GetResponseBytes(type, isAscii);
    if (size <= 0)
        return {size, {}};
    ByteArray buffer(static_cast<std::size_t>(size));
    display().GetResponse(type, buffer, size);
    return {size, vb::textFromBytes(buffer)};
}

std::int32_t Session::status()
{
    return displayStatus().state;
}

DisplayStatus Session::displayStatus()
{
    DisplayStatus status;
    display().GetExternalDisplayStatus(status.state, status.viewedAll, status.message);
    return status;
}

ScoreResult Session::score()
{
    ScoreResult score;
    score.result =
        display().ScoreExternalDisplay(score.correct, score.incorrect, score.notAttempted, score.notScored, score.raw);
    return score;
}

ScoreResult Session::rescore(std::string_view responseText)
{
    const auto bytes = responseBytes(responseText);
    ScoreResult score;
    score.result = display().RescoreExternalDisplay(bytes, static_cast<std::int32_t>(bytes.size()), score.correct,
                                                    score.incorrect, score.notAttempted, score.notScored, score.raw);
    return score;
}

ScoreInfo Session::scoreInfo()
{
    ScoreInfo info;
    info.result = display().GetScoreInfo(info.items, info.max, info.min);
    return info;
}

bool Session::free()
{
    freed_ = true;
    return display().FreeExternalDisplay();
}

void Session::release()
{
    display_.reset();
}

}  // namespace velm::host
