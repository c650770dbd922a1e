// A temporary program folder holding a freshly built draft.dat, made from the
// same .sql files as the shipped one.
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace sonvela::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The folder with a trailing separator, as TDM::Connect takes it.
    std::string WithSeparator() const { return path_.string() + "/"; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Builds draft.dat in the folder from the shipped schema and rows.
void BuildShippedDatabase(const TempFolder& folder);

// Every file of the folder with its bytes: to show that nothing was created
// or changed.
std::map<std::string, std::string> Snapshot(const TempFolder& folder);

} // namespace sonvela::test
