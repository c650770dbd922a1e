// A program folder holding a copy of the staged draft.dat, connected.
#pragma once

#include "../data/TempFolder.h"
#include "DataModule.h"

#include <filesystem>
#include <memory>

namespace sonvela::test {

struct StagedStore {
    StagedStore() {
        std::filesystem::copy_file(std::string(SONVELA_STAGE_DIR) + "/draft.dat",
                                   folder.File("draft.dat"));
        store = TDM::Connect(folder.WithSeparator());
    }
    TempFolder folder;
    std::unique_ptr<TDM> store;
};

} // namespace sonvela::test
