// Connecting to a draft.dat that cannot be used fails with
// DataConnectionError and leaves the folder exactly as it was.
#include "DataModule.h"
#include "DatastoreFixture.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sonvela {
namespace {

void WriteFile(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

void ExpectConnectionFailsUntouched(const test::TempFolder& folder) {
    const auto before = test::Snapshot(folder);
    EXPECT_THROW(TDM::Connect(folder.WithSeparator()), DataConnectionError);
    EXPECT_EQ(test::Snapshot(folder), before);
}

TEST(Connection, AMissingFileIsNeverCreated) {
    test::TempFolder folder;
    ExpectConnectionFailsUntouched(folder);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST(Connection, FilesThatAreNotTheProgramsDatabaseAreLeftAlone) {
    test::TempFolder folder;
    const std::string path = folder.File("draft.dat");
    SCOPED_TRACE("a text file");
    WriteFile(path, "这不是数据库\nnot a database at all, but long enough to have a header\n");
    ExpectConnectionFailsUntouched(folder);

    SCOPED_TRACE("an empty file");
    WriteFile(path, "");
    ExpectConnectionFailsUntouched(folder);

    SCOPED_TRACE("a database without the tables");
    std::filesystem::remove(path);
    Database::OpenOrCreate(path).ExecuteScript("CREATE TABLE notes (id INTEGER PRIMARY KEY, x);");
    ExpectConnectionFailsUntouched(folder);

    SCOPED_TRACE("a database lacking one column");
    std::filesystem::remove(path);
    test::BuildShippedDatabase(folder);
    Database::OpenExisting(path).ExecuteScript("ALTER TABLE telltime DROP COLUMN speaker;");
    ExpectConnectionFailsUntouched(folder);
}

TEST(Connection, ALockedFileFails) {
    test::TempFolder folder;
    test::BuildShippedDatabase(folder);
    const Database other = Database::OpenExisting(folder.File("draft.dat"));
    other.ExecuteScript("BEGIN EXCLUSIVE; UPDATE draft SET name = 'x';");
    ExpectConnectionFailsUntouched(folder);
    other.ExecuteScript("ROLLBACK");
    EXPECT_NO_THROW(TDM::Connect(folder.WithSeparator()));
}

// Makes a file unwritable even for root (the immutable attribute) while it
// lives; false when the file system or the process cannot.
class Immutable {
public:
    explicit Immutable(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY)) {
        set_ = fd_ >= 0 && SetFlag(true);
    }
    ~Immutable() {
        if (set_)
            SetFlag(false);
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool IsSet() const { return set_; }

private:
    bool SetFlag(bool on) {
        int flags = 0;
        if (::ioctl(fd_, FS_IOC_GETFLAGS, &flags) != 0)
            return false;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        return ::ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0;
    }
    int fd_;
    bool set_ = false;
};

TEST(Connection, AWriteProtectedFileFails) {
    test::TempFolder folder;
    test::BuildShippedDatabase(folder);
    const std::string path = folder.File("draft.dat");
    if (::geteuid() == 0) {
        const Immutable guard(path);
        if (!guard.IsSet())
            GTEST_SKIP() << "cannot write-protect a file against root here";
        ExpectConnectionFailsUntouched(folder);
    } else {
        std::filesystem::permissions(path, std::filesystem::perms::owner_read);
        ExpectConnectionFailsUntouched(folder);
        std::filesystem::permissions(path, std::filesystem::perms::none);
        ExpectConnectionFailsUntouched(folder); // unreadable
    }
}

// The operator is told why, in Chinese, below "数据连接失败!".
TEST(Connection, EachFailureNamesItsReason) {
    struct Case {
        const char* reason;
        std::function<void(const test::TempFolder&, const std::string&)> make;
    };
    const Case cases[] = {
        {"文件不存在", [](const auto&, const auto&) {}},
        {"是空文件", [](const auto&, const auto& path) { WriteFile(path, ""); }},
        {"不是数据库文件",
         [](const auto&, const auto& path) {
             WriteFile(path, std::string(2048, 'x') + "这不是数据库");
         }},
        {"缺少数据表",
         [](const auto&, const auto& path) {
             Database::OpenOrCreate(path).ExecuteScript("CREATE TABLE notes (id INTEGER);");
         }},
        {"缺少数据列",
         [](const auto& folder, const auto& path) {
             test::BuildShippedDatabase(folder);
             Database::OpenExisting(path).ExecuteScript(
                 "ALTER TABLE telltime DROP COLUMN speaker;");
         }},
        {"文件已损坏",
         [](const auto& folder, const auto& path) {
             test::BuildShippedDatabase(folder);
             std::filesystem::resize_file(path, std::filesystem::file_size(path) / 3);
         }},
        {"只读",
         [](const auto& folder, const auto& path) {
             test::BuildShippedDatabase(folder);
             std::filesystem::permissions(path, std::filesystem::perms::owner_read);
         }},
        {"是文件夹",
         [](const auto&, const auto& path) { std::filesystem::create_directory(path); }},
        {"不是普通文件",
         [](const auto&, const auto& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        test::TempFolder folder;
        c.make(folder, folder.File("draft.dat"));
        try {
            TDM::Connect(folder.WithSeparator());
            ADD_FAILURE() << "connected";
        } catch (const DataConnectionError& fault) {
            EXPECT_EQ(fault.Reason(), c.reason) << fault.what();
        }
    }
}

TEST(Connection, TheShippedFileConnectsAndIsNotChangedByIt) {
    test::TempFolder folder;
    test::BuildShippedDatabase(folder);
    const auto before = test::Snapshot(folder);
    {
        const auto dm = TDM::Connect(folder.WithSeparator());
        EXPECT_EQ(dm->Conn1.Path(), folder.File("draft.dat"));
    }
    EXPECT_EQ(test::Snapshot(folder), before);
}

} // namespace
} // namespace sonvela
