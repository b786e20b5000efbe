#include "vb/ComError.h"

#include <utility>

namespace vb {

ComError::ComError(std::int32_t number, std::string description, std::string source, std::int32_t line)
    : number(number)
    , description(std::move(description))
    , source(std::move(source))
    , line(line)
{
}

ComError ComError::runtime(std::int32_t number)
{
    return ComError(number, runtimeDescription(number));
}

const char* runtimeDescription(std::int32_t number)
{
    switch (number) {
    case err::kInvalidProcedureCall: return "Invalid procedure call or argument";
    case err::kOverflow: return "Overflow";
    case err::kOutOfMemory: return "Out of memory";
    case err::kSubscriptOutOfRange: return "Subscript out of range";
    case err::kTypeMismatch: return "Type mismatch";
    case err::kFileNotFound: return "File not found";
    case err::kPathFileAccess: return "Path/File access error";
    case err::kObjectNotSet: return "Object variable or With block variable not set";
    case err::kInvalidUseOfNull: return "Invalid use of Null";
    case err::kCannotCreateObject: return "ActiveX component can't create object";
    case err::kNotSupported: return "Object doesn't support this property or method";
    default: return "Application-defined or object-defined error";
    }
}

void raise(std::int32_t number)
{
    throw ComError::runtime(number);
}

}  // namespace vb
