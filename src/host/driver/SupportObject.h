#pragma once

#include "velm/ParentInt.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace velm::host {

// The reference driver's support object: static strings, folders, a structured log, message
// boxes answered from a script, and navigation commands, all recorded for whoever runs the item.
class SupportObject : public ParentInt {
public:
    // One entry of the driver's log.
    struct LogEntry {
        std::string level;  // "note", "warning" or "error"
        std::string module;
        std::string routine;
        std::string text;
        std::int32_t number = 0;
        std::int32_t line = 0;
    };
    // One message box the component asked for, with the answer it got.
    struct MessageBox {
        std::string text;
        std::int32_t style = 0;
        std::string title;
        std::int32_t answer = 0;
    };

    static constexpr std::int32_t kOk = 1;
    static constexpr std::int32_t kNoMessageFunction = 99999;

    // staticStrings: the static-strings document handed out for "HDStatic.xml".
    SupportObject(std::string staticStrings, std::filesystem::path supportDir, std::filesystem::path resourceDir);

    std::string GetLocalizePath(const std::string& vInfo) override;
    std::string GetExamTitle(const std::string& vInfo) override;
    std::string GetExamName(const std::string& vInfo) override;
    std::string GetSupportFileDir(const std::string& vInfo) override;
    std::string GetGraphicsPath(const std::string& vInfo) override;
    std::int32_t ShowMessage(const std::string& sMessageText, std::int32_t MsgBoxStyle,
                             const std::string& sApplicationTitle) override;
    bool LogError(std::int32_t lNumber, const std::string& sDescription, const std::string& sApp,
                  const std::string& sModule, const std::string& sRoutine, std::int32_t lErl) override;
    void LogNote(const std::string& ModuleName, const std::string& Routine, const std::string& OtherInfo) override;
    void LogWarning(const std::string& ModuleName, const std::string& Routine, const std::string& OtherInfo) override;
    void Navigate(std::int32_t Command) override;

    // Asks a person to answer a message box before the script and the policy are asked; an empty
    // answer (nobody there) leaves it to them.
    std::function<std::optional<std::int32_t>(const std::string& text, std::int32_t style, const std::string& title)>
        askPerson;

    // Answers for the next message boxes, in order; once they run out every box gets the policy answer.
    void scriptAnswers(std::deque<std::int32_t> answers) { scriptedAnswers_ = std::move(answers); }
    // The answer once the script has run out (OK unless set; 99999 means no message function).
    void setPolicyAnswer(std::int32_t answer) { policyAnswer_ = answer; }
    // Forgets the log and the messages so far, so a long batch keeps no record of each call.
    void clearRecords()
    {
        log_.clear();
        messages_.clear();
    }
    // A second folder GetGraphicsPath looks in after the resources: where case files are kept.
    void setCaseDir(std::filesystem::path caseDir) { caseDir_ = std::move(caseDir); }
    // Where error entries are echoed as they arrive; none unless set.
    void setErrorStream(std::ostream* stream) { errorStream_ = stream; }

    // Everything logged so far, oldest first.
    const std::vector<LogEntry>& log() const { return log_; }
    // Every message box so far, oldest first.
    const std::vector<MessageBox>& messages() const { return messages_; }
    // Every navigation command so far.
    const std::vector<std::int32_t>& navigations() const { return navigations_; }
    // The log as JSON lines, one object per entry.
    std::string logJsonLines() const;
    // The notes of one routine, in order.
    std::vector<std::string> notesOf(const std::string& routine) const;

private:
    std::string staticStrings_;
    std::filesystem::path supportDir_;
    std::filesystem::path resourceDir_;
    std::filesystem::path caseDir_;
    std::deque<std::int32_t> scriptedAnswers_;
    std::int32_t policyAnswer_ = kOk;
    std::ostream* errorStream_ = nullptr;
    std::vector<LogEntry> log_;
    std::vector<MessageBox> messages_;
    std::vector<std::int32_t> navigations_;
};

}  // namespace velm::host
