#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace vb {

// The base of the numbers a component gives its own errors (0x80040000 as a signed Long).
inline constexpr std::int32_t kObjectErrorBase = static_cast<std::int32_t>(0x80040000u);

// Run-time error numbers of the VB runtime that this code base raises.
namespace err {
inline constexpr std::int32_t kInvalidProcedureCall = 5;
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kSubscriptOutOfRange = 9;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kFileNotFound = 53;
inline constexpr std::int32_t kPathFileAccess = 75;
inline constexpr std::int32_t kObjectNotSet = 91;
inline constexpr std::int32_t kInvalidUseOfNull = 94;
inline constexpr std::int32_t kCannotCreateObject = 429;
inline constexpr std::int32_t kNotSupported = 438;
}  // namespace err

// An error as a COM call reports it: number, description, source and line number.
class ComError : public std::exception {
public:
    ComError(std::int32_t number, std::string description, std::string source = {}, std::int32_t line = 0);

    // A run-time fault with the runtime's own description for that number and no source.
    static ComError runtime(std::int32_t number);

    const char* what() const noexcept override { return description.c_str(); }

    std::int32_t number;
    std::string description;
    std::string source;
    std::int32_t line;
};

// The runtime's description of a run-time error number; "Application-defined or object-defined error" otherwise.
const char* runtimeDescription(std::int32_t number);

// Throws the run-time fault with that number.
[[noreturn]] void raise(std::int32_t number);

}  // namespace vb
