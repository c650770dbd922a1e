// File-system faults told in the operator's language.
//
// The error report shows an exception's text as it stands, so the text of a
// file fault is composed here: what the program was doing, the file, the
// cause in Chinese for the causes an operator meets (a missing file, no
// permission, a full disk, a read-only file, a folder) and the system's own
// wording after it for whoever has to look further.
#pragma once

#include <string>
#include <system_error>

namespace sonvela {

// The cause of a system error number in Chinese, e.g. "权限不足".
std::string FileErrorCause(int error);

class FileError : public std::system_error {
public:
    // `action` says what failed ("无法保存文件"); `cause` overrides the
    // cause derived from `error` where the program knows better ("只读").
    FileError(int error, const std::string& action, const std::string& path,
              const std::string& cause = {});

    const char* what() const noexcept override { return text_.c_str(); }
    const std::string& Cause() const { return cause_; }

private:
    std::string cause_;
    std::string text_;
};

// Causes the program finds itself rather than through a system call.
inline constexpr const char* kCauseReadOnly = "只读";
inline constexpr const char* kCauseNotRegular = "不是普通文件";

} // namespace sonvela
