// Build tool: make_draft_db <out.dat> <sql files...>
//
// Creates the program's initial database from the schema and the shipped
// rows. The new file appears only when complete, so an interrupted or failed
// build never leaves a half-built draft.dat in the program folder.
#include "Database.h"

#include <exception>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: make_draft_db <out.dat> <sql files...>\n";
        return 2;
    }
    const std::vector<std::string> sqlFiles(argv + 2, argv + argc);
    try {
        sonvela::BuildDatabase(argv[1], sqlFiles);
    } catch (const std::exception& fault) {
        std::cerr << "make_draft_db: " << fault.what() << '\n';
        return 1;
    }
    return 0;
}
