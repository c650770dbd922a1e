#include "WindowTestSupport.h"

#include "GbkText.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace sonvela::test {

namespace fs = std::filesystem;

ProgramFolder::ProgramFolder(bool withSamples) {
    const fs::path stage(SONVELA_STAGE_DIR);
    fs::copy_file(stage / "draft.dat", fs::path(Path()) / "draft.dat");
    if (withSamples) {
        for (const char* name : {"报价单.txt", "基本介绍.txt"})
            fs::copy_file(stage / name, fs::path(Path()) / name);
    }
}

std::string ProgramFolder::Path() const {
    return dir_.path().toStdString() + "/";
}

std::string StagedSampleUtf8(const std::string& name) {
    std::ifstream file(fs::path(SONVELA_STAGE_DIR) / name, std::ios::binary);
    const std::string gbk((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return GbkToUtf8(gbk);
}

} // namespace sonvela::test
