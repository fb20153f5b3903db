#include "platform/foundation/UserDefaults.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <thread>

#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/testing/Testing.h"

namespace platform {
namespace {

UserDefaults& defaults() { return UserDefaults::standard(); }

// Each stored value read through every typed getter.
struct Reading {
  const char* stored;   // JSON of the stored value
  std::optional<std::string> string;
  bool boolean;
  int64_t integer;
  double real;
  bool isArray, isDictionary;
};

TEST(UserDefaults, TypedReadsConvertLikeThePlatform) {
  const Reading cases[] = {
      {R"("YES")", "YES", true, 0, 0.0, false, false},
      {R"("1")", "1", true, 1, 1.0, false, false},
      {R"("true")", "true", true, 0, 0.0, false, false},
      {R"("NO")", "NO", false, 0, 0.0, false, false},
      {R"(" 42 apples")", " 42 apples", true, 42, 42.0, false, false},
      {R"("3.75")", "3.75", true, 3, 3.75, false, false},
      {"7", "7", true, 7, 7.0, false, false},
      {"0", "0", false, 0, 0.0, false, false},
      {"2.5", "2.5", true, 2, 2.5, false, false},
      {"true", "1", true, 1, 1.0, false, false},
      {"false", "0", false, 0, 0.0, false, false},
      {R"(["a"])", std::nullopt, false, 0, 0.0, true, false},
      {R"({"k":"v"})", std::nullopt, false, 0, 0.0, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    defaults().set("k", *json::parse(c.stored));
    EXPECT_TRUE(defaults().contains("k"));
    EXPECT_EQ(defaults().object("k"), json::parse(c.stored));
    EXPECT_EQ(defaults().string("k"), c.string);
    EXPECT_EQ(defaults().boolean("k"), c.boolean);
    EXPECT_EQ(defaults().integer("k"), c.integer);
    EXPECT_DOUBLE_EQ(defaults().real("k"), c.real);
    EXPECT_EQ(defaults().array("k").has_value(), c.isArray);
    EXPECT_EQ(defaults().dictionary("k").has_value(), c.isDictionary);
    EXPECT_EQ(defaults().data("k"), std::nullopt);
  }
}

TEST(UserDefaults, MissingKeysReadAsNothing) {
  EXPECT_FALSE(defaults().contains("none"));
  EXPECT_EQ(defaults().object("none"), std::nullopt);
  EXPECT_EQ(defaults().string("none"), std::nullopt);
  EXPECT_FALSE(defaults().boolean("none"));
  EXPECT_EQ(defaults().integer("none"), 0);
  EXPECT_EQ(defaults().real("none"), 0.0);
  EXPECT_EQ(defaults().data("none"), std::nullopt);

  defaults().set("unitid", "0002");
  defaults().remove("unitid");
  EXPECT_FALSE(defaults().contains("unitid"));
  defaults().set("series", 3);
  defaults().set("series", Json());   // storing nothing removes
  EXPECT_FALSE(defaults().contains("series"));
}

TEST(UserDefaults, DataIsKeptApartFromTextsAndDictionaries) {
  std::string bytes("\x00\x01\xFE\xFFkeyed", 9);
  defaults().setData("blob", bytes);
  EXPECT_EQ(defaults().data("blob"), bytes);
  EXPECT_EQ(defaults().string("blob"), std::nullopt);
  EXPECT_EQ(defaults().dictionary("blob"), std::nullopt);
  defaults().setData("empty", "");
  EXPECT_EQ(defaults().data("empty"), "");
  EXPECT_TRUE(defaults().contains("empty"));
}

TEST(UserDefaults, SurviveARestartWithOrWithoutSynchronize) {
  defaults().set("nuvexa.loginname", "13800138000");
  defaults().set("series", 3);
  ASSERT_TRUE(defaults().synchronize());
  defaults().set("start_help_page", "3.1");   // not synchronized: saved at the normal end of the run
  defaults().setData("blob", std::string("\x00z", 2));

  testing::restart();
  EXPECT_EQ(defaults().string("nuvexa.loginname"), "13800138000");
  EXPECT_EQ(defaults().integer("series"), 3);
  EXPECT_EQ(defaults().string("start_help_page"), "3.1");
  EXPECT_EQ(defaults().data("blob"), std::string("\x00z", 2));
  // Insertion order is kept in the file.
  auto file = json::parse(fs::read(UserDefaults::file()).value_or(""));
  ASSERT_TRUE(file);
  EXPECT_EQ(file->begin().key(), "nuvexa.loginname");

  Process::current().reset(ResetKind::Fresh);
  EXPECT_FALSE(defaults().contains("nuvexa.loginname"));
}

TEST(UserDefaults, ResetStandardFlushesAndReloadsButNeverErases) {
  defaults().set("a", "1");
  ASSERT_TRUE(defaults().synchronize());
  defaults().set("b", "2");   // pending
  UserDefaults::resetStandard();
  EXPECT_EQ(defaults().string("a"), "1");
  EXPECT_EQ(defaults().string("b"), "2");
  EXPECT_TRUE(fs::read(UserDefaults::file()).value_or("").find("\"b\"") != std::string::npos);

  // Changes made to the file behind the object's back are picked up.
  ASSERT_TRUE(fs::writeAtomic(UserDefaults::file(), R"({"a":"1","b":"2","c":"3"})"));
  UserDefaults::resetStandard();
  EXPECT_EQ(defaults().string("c"), "3");

  // Before any use it is a no-op.
  testing::restart();
  UserDefaults::resetStandard();
  EXPECT_EQ(defaults().string("c"), "3");
}

TEST(UserDefaults, ResetStandardKeepsValuesWhenTheWriteFails) {
  defaults().set("kept", "yes");
  // A folder where the file should be makes the write fail.
  ASSERT_TRUE(fs::mkdirs(UserDefaults::file()));
  log::Capture capture;
  EXPECT_FALSE(defaults().synchronize());
  UserDefaults::resetStandard();
  EXPECT_EQ(defaults().string("kept"), "yes");
  ASSERT_TRUE(fs::removeTree(UserDefaults::file()));
  EXPECT_TRUE(defaults().synchronize());
  testing::restart();
  EXPECT_EQ(defaults().string("kept"), "yes");
}

TEST(UserDefaults, UnreadableFileStartsEmptyAndIsNotOverwrittenUntilAChange) {
  const std::string broken = R"({"nuvexa.loginname":"138001)";
  ASSERT_TRUE(fs::writeAtomic(UserDefaults::file(), broken));
  testing::restart();
  log::Capture capture;
  EXPECT_FALSE(defaults().contains("nuvexa.loginname"));
  EXPECT_TRUE(capture.contains("standard.json"));

  EXPECT_TRUE(defaults().synchronize());
  UserDefaults::resetStandard();
  testing::restart();
  EXPECT_EQ(fs::read(UserDefaults::file()), broken);

  defaults().set("fresh", 1);
  EXPECT_TRUE(defaults().synchronize());
  testing::restart();
  EXPECT_EQ(defaults().integer("fresh"), 1);
}

// The writer is killed again and again, each time at a seeded random byte inside a save of a
// large file (a file-size limit stops the process the moment a write reaches it, so the cut lands
// exactly where chosen, without timing); after each kill the next run must read one whole version,
// the last saved one, never a cut or a mix (a writer that rewrote the file in place would leave it torn).
TEST(UserDefaults, KilledWriterLeavesTheOldOrTheNewFile) {
  auto blob = [](int64_t generation) {
    return std::string(1000000 + static_cast<size_t>(generation % 7), char('a' + generation % 26));
  };
  defaults().set("generation", 0);
  defaults().set("blob", blob(0));
  ASSERT_TRUE(defaults().synchronize());

  std::mt19937 rng(20240517);
  int64_t last = 0;
  int killedInWrite = 0;
  for (int round = 0; round < 16; ++round) {
    const auto size = std::filesystem::file_size(UserDefaults::file());
    ASSERT_GT(size, 2u);
    const rlim_t cut = 1 + static_cast<rlim_t>(rng() % (size - 1));
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // One whole save, then one that is cut at the chosen byte.
      defaults().set("generation", last + 1);
      defaults().set("blob", blob(last + 1));
      if (!defaults().synchronize()) ::_exit(2);
      defaults().set("generation", last + 2);
      defaults().set("blob", blob(last + 2));
      const rlimit noCore{0, 0};
      const rlimit limit{cut, cut};
      if (::setrlimit(RLIMIT_CORE, &noCore) != 0 || ::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(3);
      // Killed by the limit, or the save gives up at it; a save that went through was not cut.
      ::_exit(defaults().synchronize() ? 4 : 5);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ;
    ASSERT_TRUE(killed || (WIFEXITED(status) && WEXITSTATUS(status) == 5))
        << "round " << round << ": the writer was not cut at byte " << cut << " (status " << status << ")";
    killedInWrite += killed;

    testing::restart();
    const int64_t g = defaults().integer("generation");
    ASSERT_GT(g, last) << "round " << round << ": an old or unreadable file";
    const std::optional<std::string> read = defaults().string("blob");
    ASSERT_TRUE(read == blob(g)) << "round " << round << ": a blob of " << (read ? read->size() : 0)
                                  << " bytes does not belong to generation " << g;
    last = g;
  }
  EXPECT_GT(killedInWrite, 0) << "no kill landed inside a write";
}

TEST(UserDefaults, ConcurrentUseIsSafe) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < 200; ++i) {
        std::string key = "k" + std::to_string(t);
        defaults().set(key, i);
        (void)defaults().integer(key);
        (void)defaults().string("k0");
        if (i % 50 == 0) (void)defaults().synchronize();
      }
    });
  }
  for (auto& t : threads) t.join();
  for (int t = 0; t < 4; ++t) EXPECT_EQ(defaults().integer("k" + std::to_string(t)), 199);
  UserDefaults::resetStandard();
  for (int t = 0; t < 4; ++t) EXPECT_EQ(defaults().integer("k" + std::to_string(t)), 199);
}

}  // namespace
}  // namespace platform
