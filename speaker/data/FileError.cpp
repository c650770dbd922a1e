#include "FileError.h"

#include <cerrno>
#include <cstring>

namespace sonvela {

std::string FileErrorCause(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return "不存在";
    case EACCES:
    case EPERM:
        return "权限不足";
    case ENOSPC:
    case EDQUOT:
        return "磁盘已满";
    case EROFS:
        return "只读";
    case EISDIR:
        return "是文件夹";
    case ENAMETOOLONG:
        return "文件名太长";
    case ELOOP:
        return "符号链接层数过多";
    case EIO:
        return "读写错误";
    case EBUSY:
    case ETXTBSY:
        return "文件正被使用";
    case EMFILE:
    case ENFILE:
        return "打开的文件过多";
    case ENOMEM:
        return "内存不足";
    case EFBIG:
        return "文件太大";
    default:
        return "系统错误";
    }
}

FileError::FileError(int error, const std::string& action, const std::string& path,
                     const std::string& cause)
    : std::system_error(error, std::generic_category(), action + " " + path),
      cause_(cause.empty() ? FileErrorCause(error) : cause) {
    // The system's wording in brackets: strerror_r's GNU form returns the
    // text, which may or may not live in the buffer.
    char buffer[256];
    const char* systemText = ::strerror_r(error, buffer, sizeof buffer);
    text_ = action + " " + path + "：" + cause_ + "（" + systemText + "）";
}

} // namespace sonvela
