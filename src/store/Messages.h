#pragma once

// The program's own texts, written once.
namespace pelsid::msg {

inline constexpr const char* kVerifyBufferDeleteTitle = "Verify Buffer Delete";
inline constexpr const char* kVerifyBufferDelete =
    "Packets exist in the buffer.  Do you wish to overwrite?";
inline constexpr const char* kWarningTitle = "Warning";
inline constexpr const char* kNotPelsidFile = "This is not a pelsid format file";
inline constexpr const char* kExceededPrefix = "Packets in file exceeded buffer.  Only the first ";
inline constexpr const char* kExceededSuffix = " packets will be used.";
// Title of a message box that names none of its own: the program's name.
inline constexpr const char* kProgramTitle = "pelsid";
inline constexpr const char* kErrorTitle = "Error";

}  // namespace pelsid::msg
