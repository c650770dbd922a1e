#include "DatastoreFixture.h"

#include "AtomicFile.h"
#include "Database.h"

#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace sonvela::test {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sonvela-db-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

void BuildShippedDatabase(const TempFolder& folder) {
    BuildDatabase(folder.File("draft.dat"),
                  {SONVELA_SOURCE_DIR "/speaker/data/sql/schema.sql",
                   SONVELA_SOURCE_DIR "/speaker/data/sql/shipped-rows.sql"});
}

std::map<std::string, std::string> Snapshot(const TempFolder& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        const std::string path = entry.path().string();
        files[entry.path().filename().string()] = ReadWholeFile(path).value_or("<unreadable>");
    }
    return files;
}

} // namespace sonvela::test
