#include "host/driver/SupportObject.h"

#include "host/driver/Json.h"
#include "platform/ProgramLauncher.h"

#include <system_error>

namespace velm::host {

SupportObject::SupportObject(std::string staticStrings, std::filesystem::path supportDir,
                             std::filesystem::path resourceDir)
    : staticStrings_(std::move(staticStrings))
    , supportDir_(std::move(supportDir))
    , resourceDir_(std::move(resourceDir))
{
}

std::string SupportObject::GetLocalizePath(const std::string& vInfo)
{
    return vInfo == "HDStatic.xml" ? staticStrings_ : std::string("0");
}

std::string SupportObject::GetExamTitle(const std::string&)
{
    return "Quorin reference exam";
}

std::string SupportObject::GetExamName(const std::string&)
{
    return "reference";
}

std::string SupportObject::GetSupportFileDir(const std::string&)
{
    // Callers use the folder as a plain prefix, so it always ends with a separator.
    return (supportDir_ / "").string();
}

std::string SupportObject::GetGraphicsPath(const std::string& vInfo)
{
    if (vInfo.empty())
        return {};
    // The programs this driver supplies (its calculator) are started by their file name.
    if (platform::ProgramLauncher::instance().isRegistered(vInfo))
        return vInfo;
    for (const auto& folder : {resourceDir_, caseDir_}) {
        if (folder.empty())
            continue;
        const auto path = folder / std::filesystem::path(vInfo).filename();
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error))
            return path.string();
    }
    return {};
}

std::int32_t SupportObject::ShowMessage(const std::string& sMessageText, std::int32_t MsgBoxStyle,
                                        const std::string& sApplicationTitle)
{
    std::int32_t answer = policyAnswer_;
    if (const auto personal = askPerson ? askPerson(sMessageText, MsgBoxStyle, sApplicationTitle) : std::nullopt) {
        answer = *personal;
    } else if (!scriptedAnswers_.empty()) {
        answer = scriptedAnswers_.front();
        scriptedAnswers_.pop_front();
    }
    messages_.push_back({sMessageText, MsgBoxStyle, sApplicationTitle, answer});
    return answer;
}

bool SupportObject::LogError(std::int32_t lNumber, const std::string& sDescription, const std::string& sApp,
                             const std::string& sModule, const std::string& sRoutine, std::int32_t lErl)
{
    log_.push_back({"error", sModule.empty() ? sApp : sModule, sRoutine, sDescription, lNumber, lErl});
    if (errorStream_)
        *errorStream_ << "error " << lNumber << " in " << sRoutine << ": " << sDescription << '\n';
    return true;
}

void SupportObject::LogNote(const std::string& ModuleName, const std::string& Routine, const std::string& OtherInfo)
{
    log_.push_back({"note", ModuleName, Routine, OtherInfo});
}

void SupportObject::LogWarning(const std::string& ModuleName, const std::string& Routine, const std::string& OtherInfo)
{
    log_.push_back({"warning", ModuleName, Routine, OtherInfo});
}

void SupportObject::Navigate(std::int32_t Command)
{
    navigations_.push_back(Command);
}

std::string SupportObject::logJsonLines() const
{
    std::string lines;
    for (const auto& entry : log_) {
        nlohmann::ordered_json line = {
            {"level", entry.level}, {"module", entry.module}, {"routine", entry.routine}, {"text", entry.text}};
        if (entry.level == "error") {
            line["number"] = entry.number;
            line["line"] = entry.line;
        }
        lines += jsonText(line) + "\n";
    }
    return lines;
}

std::vector<std::string> SupportObject::notesOf(const std::string& routine) const
{
    std::vector<std::string> notes;
    for (const auto& entry : log_) {
        if (entry.level == "note" && entry.routine == routine)
            notes.push_back(entry.text);
    }
    return notes;
}

}  // namespace velm::host
