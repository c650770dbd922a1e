#include "DocumentNames.h"

#include <algorithm>
#include <cctype>

namespace sonvela {
namespace {

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool EndsWithUpper(std::string_view path, std::string_view upperSuffix) {
    return path.size() >= upperSuffix.size() &&
           Upper(path.substr(path.size() - upperSuffix.size())) == upperSuffix;
}

std::size_t FileNameStart(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? 0 : slash + 1;
}

} // namespace

DocumentKind KindForOpen(std::string_view path) {
    const std::string_view name = path.substr(FileNameStart(path));
    const std::size_t dot = name.find_last_of('.');
    const std::string extension = dot == std::string_view::npos ? "" : Upper(name.substr(dot));
    return extension == ".TXT" ? DocumentKind::Text : DocumentKind::Word;
}

DocumentKind KindForHistory(std::string_view path) {
    if (EndsWithUpper(path, ".TXT"))
        return DocumentKind::Text;
    if (EndsWithUpper(path, ".DOC"))
        return DocumentKind::Word;
    return DocumentKind::Other;
}

bool IsWordDocument(std::string_view path) {
    return EndsWithUpper(path, ".DOC");
}

std::string UntitledSaveName(std::string_view chosen) {
    std::string name(chosen);
    if (!EndsWithUpper(name, ".TXT"))
        name += ".txt";
    return name;
}

std::string TextNameForDocument(std::string_view documentPath) {
    const std::size_t nameStart = FileNameStart(documentPath);
    const std::size_t dot = documentPath.find_last_of('.');
    const std::string_view stem = dot == std::string_view::npos || dot < nameStart
                                      ? documentPath
                                      : documentPath.substr(0, dot);
    return std::string(stem) + ".txt";
}

} // namespace sonvela
