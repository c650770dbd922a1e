// A save keeps the file what it was: its links, owner, mode and ACL; it
// refuses what it must not write; and a killed save leaves the old file or
// the new one, never part of one, and no pile of temporary files.
#include "AtomicFile.h"

#include "AsNormalUser.h"
#include "FileError.h"
#include "TempFolder.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>

using namespace sonvela;
namespace fs = std::filesystem;

namespace {

std::string Read(const std::string& path) {
    return ReadWholeFile(path).value_or("<unreadable>");
}

int CountSaveTemporaries(const std::string& folder) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        count += IsSaveTemporaryName(entry.path().filename().string()) ? 1 : 0;
    return count;
}

std::string CauseOfSaving(const std::string& path, const std::string& bytes) {
    try {
        WriteFileAtomically(path, bytes);
    } catch (const FileError& error) {
        return error.Cause();
    }
    return "saved";
}

// An access ACL granting "nobody" read access: the kernel's xattr form
// (version 2, then tag, permissions and id of each entry).
std::string AclGrantingNobodyRead() {
    std::string acl;
    auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            acl += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    put(2, 4);
    const std::uint32_t entries[][3] = {{0x01, 6, 0xFFFFFFFF},
                                        {0x02, 4, test::kNobody},
                                        {0x04, 4, 0xFFFFFFFF},
                                        {0x10, 4, 0xFFFFFFFF},
                                        {0x20, 0, 0xFFFFFFFF}};
    for (const auto& e : entries) {
        put(e[0], 2);
        put(e[1], 2);
        put(e[2], 4);
    }
    return acl;
}

std::string AclOf(const std::string& path) {
    char buffer[256];
    const ssize_t n = ::getxattr(path.c_str(), "system.posix_acl_access", buffer, sizeof buffer);
    return n < 0 ? std::string() : std::string(buffer, static_cast<std::size_t>(n));
}

} // namespace

TEST(AtomicFile, ASymbolicLinkStaysALinkAndItsTargetGetsTheText) {
    test::TempFolder folder;
    fs::create_directory(folder.File("real"));
    const std::string target = folder.File("real/报价单.txt");
    WriteFileAtomically(target, "old");
    const std::string link = folder.File("link.txt");
    fs::create_symlink("real/报价单.txt", link);
    WriteFileAtomically(link, "new");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Read(target), "new");
    // A dangling link creates its target, as an editor does.
    const std::string dangling = folder.File("dangling.txt");
    fs::create_symlink("real/later.txt", dangling);
    WriteFileAtomically(dangling, "born");
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(Read(folder.File("real/later.txt")), "born");
}

TEST(AtomicFile, AHardLinkedFileIsWrittenInPlaceAndStaysOneFile) {
    test::TempFolder folder;
    const std::string first = folder.File("a.txt");
    const std::string second = folder.File("b.txt");
    WriteFileAtomically(first, std::string(5000, 'x'));
    fs::create_hard_link(first, second);
    WriteFileAtomically(second, "shorter");
    EXPECT_EQ(Read(first), "shorter");
    EXPECT_EQ(fs::hard_link_count(first), 2u);
    WriteFileAtomically(first, std::string(9000, 'y'));
    EXPECT_EQ(Read(second), std::string(9000, 'y'));
    EXPECT_EQ(CountSaveTemporaries(folder.File("")), 0) << "the backup copy is removed";
}

TEST(AtomicFile, ModeOwnerAndAclSurviveASave) {
    test::TempFolder folder;
    const std::string path = folder.File("a.txt");
    WriteFileAtomically(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    const std::string acl = AclGrantingNobodyRead();
    const bool aclSupported =
        ::setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) == 0;
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(path.c_str(), test::kNobody, test::kNobody), 0);
    }
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    const std::string aclBefore = AclOf(path);

    WriteFileAtomically(path, "new");

    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(Read(path), "new");
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    if (aclSupported) {
        EXPECT_EQ(AclOf(path), aclBefore);
    } else {
        std::cout << "this file system keeps no ACLs: the ACL part was not checked\n";
    }
}

TEST(AtomicFile, ReadOnlyFilesFoldersAndFifosAreRefusedAndLeftAsTheyAre) {
    test::TempFolder folder;
    const std::string readOnly = folder.File("ro.txt");
    WriteFileAtomically(readOnly, "keep");
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    EXPECT_EQ(CauseOfSaving(readOnly, "lost"), kCauseReadOnly);
    EXPECT_EQ(Read(readOnly), "keep");

    fs::create_directory(folder.File("dir.txt"));
    EXPECT_EQ(CauseOfSaving(folder.File("dir.txt"), "x"), "是文件夹");
    EXPECT_EQ(CauseOfSaving(folder.File("none/x.txt"), "x"), "不存在");

    // Neither reading nor writing a FIFO waits for the other end.
    const std::string fifo = folder.File("x.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const auto start = std::chrono::steady_clock::now();
    try {
        ReadRegularFile(fifo);
        ADD_FAILURE() << "a FIFO was read";
    } catch (const FileError& error) {
        EXPECT_EQ(error.Cause(), kCauseNotRegular);
        EXPECT_NE(std::string(error.what()).find(fifo), std::string::npos);
    }
    EXPECT_EQ(CauseOfSaving(fifo, "x"), kCauseNotRegular);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_FALSE(ReadWholeFile(folder.File("dir.txt")).has_value());
}

TEST(AtomicFile, AsANormalUserAFolderThatMayNotBeWrittenStillTakesTheSave) {
    test::TempFolder folder;
    const std::string path = folder.File("a.txt");
    WriteFileAtomically(path, "old");
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(path.c_str(), test::kNobody, test::kNobody), 0);
        ASSERT_EQ(::chmod(folder.File("").c_str(), 0755), 0);
    } else {
        ASSERT_EQ(::chmod(folder.File("").c_str(), 0555), 0);
    }
    const std::string problem = test::AsNormalUser([&]() -> std::string {
        try {
            WriteFileAtomically(path, "new text");
        } catch (const std::exception& e) {
            return e.what();
        }
        return Read(path) == "new text" ? "" : "the file holds " + Read(path);
    });
    ::chmod(folder.File("").c_str(), 0700);
    EXPECT_EQ(problem, "");
    EXPECT_EQ(Read(path), "new text");
}

TEST(AtomicFile, LeftoversOfKilledSavesGoAtTheNextSaveButALiveSaveIsSpared) {
    test::TempFolder folder;
    const std::string path = folder.File("a.txt");
    WriteFileAtomically(path, "old");
    const std::string dead = folder.File(".a.txt.sonvela-save-Ab12Cd");
    const std::string live = folder.File(".a.txt.sonvela-save-Zz99Yy");
    const std::string other = folder.File(".b.txt.sonvela-save-Ab12Cd");
    for (const std::string& leftover : {dead, live, other})
        WriteFileAtomically(leftover, std::string(1000, 'z'));
    const int liveFd = ::open(live.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(liveFd, LOCK_EX), 0);
    WriteFileAtomically(path, "new");
    ::close(liveFd);
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(live));
    EXPECT_TRUE(fs::exists(other)) << "another file's save is not ours to clean";
    EXPECT_TRUE(IsSaveTemporaryName(".a.txt.sonvela-save-Ab12Cd"));
    EXPECT_FALSE(IsSaveTemporaryName("a.txt"));
    EXPECT_FALSE(IsSaveTemporaryName(".a.txt.sonvela-save-toolong"));
}

TEST(AtomicFile, TwoHundredKilledSavesLeaveAWholeFileAndAtMostOneTemporary) {
    test::TempFolder folder;
    const std::string path = folder.File("big.txt");
    const std::string oldText(1 << 20, 'o');
    const std::string newText((1 << 20) + 77, 'n');
    WriteFileAtomically(path, oldText);
    std::mt19937 random(2026);
    int killedMidway = 0;
    for (int round = 0; round < 200; ++round) {
        const std::string& next = Read(path) == oldText ? newText : oldText;
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                WriteFileAtomically(path, next);
            } catch (...) {
                ::_exit(1);
            }
            ::_exit(0);
        }
        // Anywhere from before the save has begun to after it has ended.
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 30000)(random));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        killedMidway += WIFSIGNALED(status) ? 1 : 0;
        const std::string now = Read(path);
        ASSERT_TRUE(now == oldText || now == newText)
            << "round " << round << ": a file of " << now.size() << " bytes";
        ASSERT_LE(CountSaveTemporaries(folder.File("")), 1) << "round " << round;
    }
    std::cout << killedMidway << " of 200 saves killed before they ended\n";
    WriteFileAtomically(path, "last");
    EXPECT_EQ(CountSaveTemporaries(folder.File("")), 0);
}
