// A writer killed at any moment never corrupts draft.dat nor loses a post it
// had finished: a child process appends drafts and reports each id once Post
// has returned; the parent kills it at random moments and checks the file
// after every kill.
#include "DataModule.h"
#include "DatastoreFixture.h"

#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <poll.h>
#include <random>
#include <set>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace sonvela {
namespace {

using Clock = std::chrono::steady_clock;

// The child: appends drafts for ever, reporting each id through `fd`.
[[noreturn]] void RunWriter(const std::string& folder, int fd, unsigned seed) {
    try {
        auto dm = TDM::Connect(folder);
        std::mt19937 random(seed);
        for (;;) {
            // Texts of a few pages, so a post spans several pages of the file.
            const std::string memory(1000 + random() % 9000,
                                     'a' + static_cast<char>(random() % 26));
            dm->Q_draft.Append();
            dm->Q_draft.SetText("name", "crash");
            dm->Q_draft.SetInteger("orderno", 0);
            dm->Q_draft.SetText("memory", memory);
            dm->Q_draft.Post();
            const std::int64_t id = dm->Q_draft.AsInteger("id");
            if (::write(fd, &id, sizeof id) != sizeof id)
                ::_exit(4);
        }
    } catch (const std::exception& fault) {
        std::fprintf(stderr, "writer: %s\n", fault.what());
    }
    ::_exit(3);
}

// Reads whole ids from the pipe until `until` (or, without one, until the
// writer's end is closed).
void ReadIds(int fd, std::set<std::int64_t>& ids, std::optional<Clock::time_point> until) {
    for (;;) {
        int timeout = -1;
        if (until) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(*until - Clock::now());
            if (left.count() <= 0)
                return;
            timeout = static_cast<int>(left.count());
        }
        pollfd waiting{fd, POLLIN, 0};
        if (::poll(&waiting, 1, timeout) <= 0)
            return;
        std::int64_t id = 0;
        if (::read(fd, &id, sizeof id) != sizeof id)
            return; // the writer's end is closed
        ids.insert(id);
    }
}

TEST(CrashTest, AKilledWriterLeavesAnIntactFileWithEveryReportedPost) {
    test::TempFolder folder;
    test::BuildShippedDatabase(folder);
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));

    constexpr std::size_t kPosts = 200;
    const auto deadline = Clock::now() + std::chrono::seconds(50);
    std::set<std::int64_t> reported;
    int kills = 0;
    Clock::duration alive{};

    while (reported.size() < kPosts && Clock::now() < deadline) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const unsigned childSeed = static_cast<unsigned>(random());
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(fds[0]);
            RunWriter(folder.WithSeparator(), fds[1], childSeed);
        }
        ::close(fds[1]);

        // Kill within about three posts' time, measured as we go, so the
        // kills land at every stage of a post: before, during and after.
        const auto start = Clock::now();
        const auto perPost = reported.empty() ? std::chrono::milliseconds(20)
                                              : alive / static_cast<long>(reported.size());
        const auto killAfter = std::chrono::duration_cast<Clock::duration>(
            perPost * std::uniform_real_distribution<double>(0.0, 3.0)(random));
        ReadIds(fds[0], reported, start + killAfter);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        alive += Clock::now() - start;
        ReadIds(fds[0], reported, std::nullopt);
        ::close(fds[0]);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed on its own, status " << status;
        ++kills;

        const Database db = Database::OpenExisting(folder.File("draft.dat"));
        ASSERT_EQ(ValueToUtf8(db.QueryValue("PRAGMA integrity_check").value()), "ok")
            << "after kill " << kills;
        std::set<std::int64_t> stored;
        Statement ids = db.Prepare("select id from draft");
        while (ids.Step())
            stored.insert(ValueToInteger(ids.Column(0), 0));
        for (std::int64_t id : reported)
            ASSERT_TRUE(stored.count(id)) << "posted id " << id << " lost after kill " << kills;
    }

    EXPECT_GE(reported.size(), kPosts);
    std::printf("crash: %zu posts, %d kills, integrity ok\n", reported.size(), kills);
}

} // namespace
} // namespace sonvela
