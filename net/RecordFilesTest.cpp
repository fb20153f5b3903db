#include "net/RecordFiles.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include <gtest/gtest.h>

#include "platform/foundation/Sandbox.h"

namespace nvx {
namespace {

platform::Path folder() { return platform::Sandbox::tmp() / "records"; }

std::string fileText(std::string_view name) {
  return platform::fs::read(folder() / std::string(name)).value_or("<missing>");
}

TEST(RecordFilesTest, AppendDropsBlanksAtTheEndsAndSeparatesRecordsByOneLineEnd) {
  struct Case {
    const char* name;
    std::optional<std::string> before;  // nothing: no file yet
    std::string record;
    std::string after;
  };
  const Case cases[] = {
      {"no file", std::nullopt, "a,1", "a,1"},
      {"empty file", "", "a,1", "a,1"},
      {"blanks only", " \r\n\t\n", "a,1", "a,1"},
      {"one record", "a,1", "b,2", "a,1\nb,2"},
      {"after a header block's line end", "h1\nh2\n", "b,2", "h1\nh2\nb,2"},
      {"trailing blanks and line ends", "a,1 \r\n\n\t", "b", "a,1\nb"},
      {"leading blanks", "  \n a,1\nx", "b", "a,1\nx\nb"},
      {"more trailing blanks than one read", "a" + std::string(700, ' ') + "\n", "b", "a\nb"},
      {"the record as it stands", "a", "%@%d,\xE4\xB8\xAD ", "a\n%@%d,\xE4\xB8\xAD "},
  };
  const RecordFiles files(folder());
  for (const auto& c : cases) {
    (void)platform::fs::removeTree(folder());
    if (c.before) {
      ASSERT_TRUE(platform::fs::writeAtomic(folder() / "f.txt", *c.before));
    }
    const auto size = files.append("f.txt", c.record);
    EXPECT_EQ(fileText("f.txt"), c.after) << c.name;
    EXPECT_EQ(size, c.after.size()) << c.name;
  }
  const auto mode = std::filesystem::status(folder() / "f.txt").permissions();
  EXPECT_EQ(mode & std::filesystem::perms::all, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(RecordFilesTest, KeepNewestKeepsTheLeadingLinesAndTheNewestRecordsThatFit) {
  struct Case {
    const char* name;
    std::string text;
    size_t leading;
    uint64_t keepBytes;
    std::string kept;
    size_t dropped;
  };
  const Case cases[] = {
      {"everything fits", "a\nb\nc", 0, 100, "a\nb\nc", 0},
      {"oldest go first", "aa\nbb\ncc\ndd", 0, 6, "cc\ndd", 2},
      {"a line end counts", "aa\nbb\ncc", 0, 5, "cc", 2},
      {"the newest stays even when too big", "a\nbbbbbbbb", 0, 3, "bbbbbbbb", 1},
      {"leading lines stay", "h1\nh2\nr1\nr2\nr3", 2, 3, "h1\nh2\nr3", 2},
      {"leading lines only", "h1\nh2", 2, 0, "h1\nh2", 0},
      {"blank lines are no records", "a\n\n \nb\nc\n\n", 0, 2, "c", 2},
  };
  for (const auto& c : cases) {
    const RecordFiles::Kept kept = RecordFiles::keepNewest(c.text, c.leading, c.keepBytes);
    EXPECT_EQ(kept.text, c.kept) << c.name;
    EXPECT_EQ(kept.dropped, c.dropped) << c.name;
  }
}

TEST(RecordFilesTest, RecoverCutsBackOnlyTheAppendTheMarkerNotes) {
  const RecordFiles files(folder());
  ASSERT_TRUE(files.append("f.txt", "a,1"));
  ASSERT_TRUE(files.append("g.txt", "g,1"));
  EXPECT_FALSE(files.recover()) << "no append under way";

  auto markerSays = [&](const std::string& note) {
    ASSERT_TRUE(platform::fs::writeAtomic(folder() / std::string(RecordFiles::kAppendMarker), note));
  };
  struct Case {
    const char* name;
    std::string note;
    std::string fileBefore;
    std::string fileAfter;
  };
  const Case cases[] = {
      {"a cut-off record", "3 f.txt", "a,1\nb,2,par", "a,1"},
      {"a cut-off first record", "0 f.txt", "b,2", ""},
      {"killed before it wrote", "3 f.txt", "a,1", "a,1"},
      {"another file's append", "3 g.txt", "a,1\nb,2", "a,1\nb,2"},
      {"a note that names no file of the folder", "3 ../f.txt", "a,1\nb", "a,1\nb"},
      {"not a note", "x f.txt", "a,1\nb", "a,1\nb"},
      {"a negative length", "-1 f.txt", "a,1\nb", "a,1\nb"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(platform::fs::writeAtomic(folder() / "f.txt", c.fileBefore));
    markerSays(c.note);
    EXPECT_EQ(files.recover(), c.fileBefore != c.fileAfter) << c.name;
    EXPECT_EQ(fileText("f.txt"), c.fileAfter) << c.name;
    EXPECT_EQ(fileText("g.txt"), "g,1") << c.name;
    EXPECT_FALSE(files.recover()) << c.name << ": the note is cleared";
  }
}

// A writer appends large records and is cut off inside an append at a chosen byte (the file-size
// limit kills it there, or the append gives up at it); after recover() the file holds the records
// in order, each whole, and every record whose append had returned.
TEST(RecordFilesTest, AKilledWriterLeavesWholeRecordsAndLosesNoneItWrote) {
  const RecordFiles files(folder());
  // Record n: its number, then a filler of one letter long enough to span several pages, then
  // its number again; a cut anywhere shows.
  auto record = [](int n) {
    const std::string number = std::to_string(n);
    return number + "," + std::string(12000 + n % 3000, char('a' + n % 26)) + "," + number;
  };
  auto wholeRecordNumber = [&](std::string_view line) {
    const size_t comma = line.find(',');
    if (comma == std::string_view::npos) return -1;
    const int n = std::atoi(std::string(line.substr(0, comma)).c_str());
    return line == record(n) ? n : -1;
  };
  std::mt19937 random(20240611);
  int written = 0;  // records whose append returned, over all rounds
  for (int round = 0; round < 12; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // One whole append, then one cut at a byte of its record (round 0: before its first byte).
      if (!files.append("f.txt", record(written))) ::_exit(2);
      const auto size = static_cast<rlim_t>(std::filesystem::file_size(folder() / "f.txt"));
      const rlim_t cut = size + (round == 0 ? 0 : 1 + random() % (record(written + 1).size() + 1));
      const rlimit noCore{0, 0};
      const rlimit limit{cut, cut};
      if (::setrlimit(RLIMIT_CORE, &noCore) != 0 || ::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(3);
      ::_exit(files.append("f.txt", record(written + 1)) ? 4 : 5);
    }
    if (round != 0) (void)random();  // step as the child did, so each round cuts elsewhere
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ;
    ASSERT_TRUE(killed || (WIFEXITED(status) && WEXITSTATUS(status) == 5))
        << "round " << round << ": the writer was not cut inside its append (status " << status << ")";
    const int last = written;  // the whole append returned

    (void)files.recover();
    const std::string text = fileText("f.txt");
    int expected = 0;
    for (size_t at = 0; at < text.size();) {
      size_t end = text.find('\n', at);
      if (end == std::string::npos) end = text.size();
      ASSERT_EQ(wholeRecordNumber(std::string_view(text).substr(at, end - at)), expected)
          << "round " << round << ": a cut or missing record at byte " << at;
      ++expected;
      at = end + 1;
    }
    ASSERT_GT(expected, last) << "round " << round << ": a record whose append returned is missing";
    written = expected;
  }
}

}  // namespace
}  // namespace nvx
