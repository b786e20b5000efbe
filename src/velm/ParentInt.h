#pragma once

#include <cstdint>
#include <string>

namespace velm {

// The driver's support object, as every item display receives it. Members in slot order.
class ParentInt {
public:
    virtual ~ParentInt();

    // "HDStatic.xml": the static-strings document; "0" when there is none.
    virtual std::string GetLocalizePath(const std::string& vInfo) = 0;
    virtual std::string GetExamTitle(const std::string& vInfo) = 0;
    virtual std::string GetExamName(const std::string& vInfo) = 0;
    // The support-file folder, ending with a path separator.
    virtual std::string GetSupportFileDir(const std::string& vInfo) = 0;
    // The full path of a file of the item's resources; "" when there is none.
    virtual std::string GetGraphicsPath(const std::string& vInfo) = 0;
    // Shows a message box; the button pressed, or 99999 when no message function exists.
    virtual std::int32_t ShowMessage(const std::string& sMessageText, std::int32_t MsgBoxStyle,
                                     const std::string& sApplicationTitle) = 0;
    virtual bool LogError(std::int32_t lNumber, const std::string& sDescription, const std::string& sApp,
                          const std::string& sModule, const std::string& sRoutine, std::int32_t lErl) = 0;
    virtual void LogNote(const std::string& ModuleName, const std::string& Routine, const std::string& OtherInfo) = 0;
    virtual void LogWarning(const std::string& ModuleName, const std::string& Routine,
                            const std::string& OtherInfo) = 0;
    virtual void Navigate(std::int32_t Command) = 0;
};

}  // namespace velm
