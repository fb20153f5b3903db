#include "platform/foundation/Sandbox.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>

namespace platform {
namespace {

mode_t modeOf(const Path& p) {
  struct stat st {};
  EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
  return st.st_mode & 0777;
}

TEST(SandboxTest, HomeFolderHasTheStandardFolders) {
  Path root = Sandbox::makeTempRoot("nvx-sandbox-test-");
  ASSERT_TRUE(fs::isDirectory(root));
  EXPECT_TRUE(fs::list(root).empty());
  Sandbox::init(root);
  EXPECT_EQ(Sandbox::root(), root);
  EXPECT_EQ(Sandbox::documents(), root / "Documents");
  EXPECT_EQ(Sandbox::caches(), root / "Library" / "Caches");
  EXPECT_EQ(Sandbox::tmp(), root / "tmp");
  EXPECT_EQ(fs::list(root, true),
            (std::vector<std::string>{"Documents", "Library", "Library/Caches", "tmp"}));
  Path other = Sandbox::makeTempRoot("nvx-sandbox-test-");
  EXPECT_NE(other, root);
  EXPECT_TRUE(fs::removeTree(root));
  EXPECT_TRUE(fs::removeTree(other));
}

TEST(SandboxTest, BundleComesFromTheEnvironmentThenTheSettingThenTheBuild) {
  const char* saved = std::getenv("NVX_RESOURCES");
  std::string keep = saved ? saved : "";
  ::unsetenv("NVX_RESOURCES");
  Path built = Sandbox::bundle();
  EXPECT_FALSE(built.empty());
  Sandbox::setBundle("/opt/res");
  EXPECT_EQ(Sandbox::bundle(), Path("/opt/res"));
  ::setenv("NVX_RESOURCES", "/env/res", 1);
  EXPECT_EQ(Sandbox::bundle(), Path("/env/res"));
  ::unsetenv("NVX_RESOURCES");
  Sandbox::setBundle({});
  EXPECT_EQ(Sandbox::bundle(), built);
  if (saved) ::setenv("NVX_RESOURCES", keep.c_str(), 1);
}

TEST(SandboxTest, WriteAtomicMakesParentsReplacesAndKeepsFilesPrivate) {
  Path p = Sandbox::documents() / "a" / "b" / "file.json";
  ASSERT_TRUE(fs::writeAtomic(p, "first"));
  EXPECT_EQ(fs::read(p), "first");
  EXPECT_EQ(modeOf(p), 0600u);
  ASSERT_TRUE(fs::writeAtomic(p, std::string("sec\0ond", 7)));
  EXPECT_EQ(fs::read(p), std::string("sec\0ond", 7));
  EXPECT_EQ(fs::size(p), 7u);
  ASSERT_TRUE(fs::writeAtomic(p, ""));
  EXPECT_EQ(fs::read(p), "");
  EXPECT_EQ(fs::list(p.parent_path()), std::vector<std::string>{"file.json"});  // no temp left
  // A file cannot be written where a folder stands, and the folder is untouched.
  EXPECT_FALSE(fs::writeAtomic(Sandbox::documents() / "a", "x"));
  EXPECT_TRUE(fs::isDirectory(Sandbox::documents() / "a" / "b"));
}

TEST(SandboxTest, AppendCreatesPrivateFileAndAppends) {
  Path p = Sandbox::tmp() / "NVXLog" / "log.txt";
  ASSERT_TRUE(fs::append(p, "one\n"));
  ASSERT_TRUE(fs::append(p, "two\n"));
  EXPECT_EQ(fs::read(p), "one\ntwo\n");
  EXPECT_EQ(modeOf(p), 0600u);
}

TEST(SandboxTest, ReadListCopyRemoveAndSize) {
  Path d = Sandbox::documents();
  EXPECT_EQ(fs::read(d / "missing"), std::nullopt);
  EXPECT_EQ(fs::read(d), std::nullopt);  // a folder is not a file
  EXPECT_EQ(fs::size(d / "missing"), std::nullopt);
  ASSERT_TRUE(fs::writeAtomic(d / "src" / "b.txt", "bb"));
  ASSERT_TRUE(fs::writeAtomic(d / "src" / "a.txt", "a"));
  ASSERT_TRUE(fs::writeAtomic(d / "src" / "sub" / "c.txt", "ccc"));
  EXPECT_EQ(fs::list(d / "src"), (std::vector<std::string>{"a.txt", "b.txt", "sub"}));
  EXPECT_EQ(fs::list(d / "src", true), (std::vector<std::string>{"a.txt", "b.txt", "sub", "sub/c.txt"}));
  EXPECT_TRUE(fs::list(d / "missing").empty());

  EXPECT_TRUE(fs::copyEntry(d / "src", d / "copy"));
  EXPECT_EQ(fs::read(d / "copy" / "sub" / "c.txt"), "ccc");
  EXPECT_TRUE(fs::copyEntry(d / "src" / "a.txt", d / "other" / "a2.txt"));
  EXPECT_EQ(fs::read(d / "other" / "a2.txt"), "a");
  // An existing destination is never overwritten by a copy.
  EXPECT_FALSE(fs::copyEntry(d / "src" / "b.txt", d / "other" / "a2.txt"));
  EXPECT_EQ(fs::read(d / "other" / "a2.txt"), "a");
  EXPECT_FALSE(fs::copyEntry(d / "missing", d / "x"));

  EXPECT_TRUE(fs::removeTree(d / "src"));
  EXPECT_FALSE(fs::exists(d / "src"));
  EXPECT_TRUE(fs::removeTree(d / "src"));  // already gone
  EXPECT_TRUE(fs::exists(d / "copy" / "a.txt"));
}

// The writer is killed at random moments while it replaces a large file again and again; the
// file must always hold one whole version, never a mix or a cut.
TEST(SandboxTest, WriteAtomicSurvivesTheWriterBeingKilled) {
  Path p = Sandbox::documents() / "defaults.json";
  // Version n: a fixed-width header, then filler that differs between consecutive versions.
  constexpr size_t kSize = 256 << 10;
  std::string payload[2];
  for (int i = 0; i < 2; ++i) payload[i] = std::string(kSize, i ? 'b' : 'a');
  auto stamp = [&](int n) -> const std::string& {
    std::string& s = payload[n % 2];
    char header[32];
    std::snprintf(header, sizeof header, "version %010d\n", n);
    s.replace(0, 19, header);
    return s;
  };
  auto versionOf = [&](const std::string& s) {  // -1: not a whole version
    if (s.size() != kSize || s.rfind("version ", 0) != 0) return -1;
    int n = std::atoi(s.c_str() + 8);
    char fill = n % 2 ? 'b' : 'a';
    return s.find_first_not_of(fill, 19) == std::string::npos ? n : -1;
  };
  ASSERT_TRUE(fs::writeAtomic(p, stamp(0)));

  std::mt19937 rng(12345);
  int midWrite = 0;
  int last = 0;
  for (int round = 0; round < 16; ++round) {
    int done[2];
    ASSERT_EQ(::pipe(done), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(done[0]);
      for (int n = last + 1;; ++n) {
        if (fs::writeAtomic(p, stamp(n))) {
          char c = 1;
          if (::write(done[1], &c, 1) != 1) ::_exit(1);
        }
      }
    }
    ::close(done[1]);
    // Time two writes of the child, then kill it at a random point of a later one.
    char c;
    ASSERT_EQ(::read(done[0], &c, 1), 1);
    auto t1 = std::chrono::steady_clock::now();
    ASSERT_EQ(::read(done[0], &c, 1), 1);
    auto cycle = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t1);
    std::this_thread::sleep_for(std::chrono::microseconds(rng() % (cycle.count() + 1)));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(done[0]);

    size_t entries = 0;
    for (auto& e : std::filesystem::directory_iterator(p.parent_path())) {
      (void)e;
      ++entries;
    }
    if (entries > 1) ++midWrite;  // the dead writer's temp file is there
    auto content = fs::read(p);
    ASSERT_TRUE(content.has_value());
    int v = versionOf(*content);
    ASSERT_GT(v, last) << "round " << round << ": torn or old file of " << content->size() << " bytes";
    last = v;
  }
  EXPECT_GT(midWrite, 0);
  // The dead writers' temp files are not listed, and the next write clears them.
  EXPECT_EQ(fs::list(p.parent_path()), std::vector<std::string>{"defaults.json"});
  ASSERT_TRUE(fs::writeAtomic(p, "after"));
  size_t entries = 0;
  for (auto& e : std::filesystem::directory_iterator(p.parent_path())) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1u);
  EXPECT_EQ(fs::read(p), "after");
}

}  // namespace
}  // namespace platform
