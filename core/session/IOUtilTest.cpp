#include "core/session/IOUtil.h"

#include <gtest/gtest.h>
#include <minizip/zip.h>
#include <sys/stat.h>
#include <zlib.h>

#include <filesystem>
#include <map>

namespace nvx {
namespace {

using platform::Path;
using platform::Sandbox;
namespace fs = platform::fs;
namespace stdfs = std::filesystem;

// ------------------------------------------------------------------------------------------------
// Folder helpers

TEST(IOUtilTest, CountsAndNamesEntriesShallowOrDeep) {
  const Path dir = Sandbox::tmp() / "pack";
  ASSERT_TRUE(fs::writeAtomic(dir / "a.png", "a"));
  ASSERT_TRUE(fs::writeAtomic(dir / "sub" / "b.png", "b"));
  ASSERT_TRUE(fs::mkdirs(dir / "empty"));

  EXPECT_EQ(IOUtil::filesCountOfDir(dir), 3);
  EXPECT_EQ(IOUtil::subFileNamesOfDir(dir, false), (std::vector<std::string>{"a.png", "empty", "sub"}));
  EXPECT_EQ(IOUtil::subFileNamesOfDir(dir, true),
            (std::vector<std::string>{"a.png", "empty", "sub", "sub/b.png"}));

  // What cannot be read counts as empty.
  EXPECT_EQ(IOUtil::filesCountOfDir(dir / "missing"), 0);
  EXPECT_EQ(IOUtil::filesCountOfDir(dir / "a.png"), 0);
  EXPECT_TRUE(IOUtil::subFileNamesOfDir(dir / "missing", true).empty());
}

TEST(IOUtilTest, CopySkipsTakenNamesAndSucceedsOnlyWhenTheCountsMatch) {
  const Path from = Sandbox::tmp() / "from";
  ASSERT_TRUE(fs::writeAtomic(from / "a.png", "new a"));
  ASSERT_TRUE(fs::writeAtomic(from / "sub" / "b.png", "b"));

  // Into a new folder: everything arrives, folders with their contents.
  const Path fresh = Sandbox::tmp() / "fresh";
  EXPECT_TRUE(IOUtil::copyFilesFromDir(from, fresh));
  EXPECT_EQ(fs::read(fresh / "a.png"), "new a");
  EXPECT_EQ(fs::read(fresh / "sub" / "b.png"), "b");

  // A same-named file is skipped, not replaced; the counts still match.
  const Path same = Sandbox::tmp() / "same";
  ASSERT_TRUE(fs::writeAtomic(same / "a.png", "old a"));
  EXPECT_TRUE(IOUtil::copyFilesFromDir(from, same));
  EXPECT_EQ(fs::read(same / "a.png"), "old a");
  EXPECT_EQ(fs::read(same / "sub" / "b.png"), "b");

  // A folder that already holds other files: every copy succeeds, the answer is still NO.
  const Path busy = Sandbox::tmp() / "busy";
  ASSERT_TRUE(fs::writeAtomic(busy / "other.png", "o"));
  EXPECT_FALSE(IOUtil::copyFilesFromDir(from, busy));
  EXPECT_EQ(fs::read(busy / "a.png"), "new a");
  EXPECT_EQ(fs::read(busy / "sub" / "b.png"), "b");
}

TEST(IOUtilTest, ClearEmptiesTheFolderButKeepsItAndRemoveDeletesTheTree) {
  const Path dir = Sandbox::tmp() / "mall_area_image";
  ASSERT_TRUE(fs::writeAtomic(dir / "a", "a"));
  ASSERT_TRUE(fs::writeAtomic(dir / "deep" / "er" / "b", "b"));
  ASSERT_TRUE(fs::writeAtomic(Sandbox::tmp() / "outside", "o"));
  stdfs::create_symlink(Sandbox::tmp() / "outside", dir / "link");

  EXPECT_TRUE(IOUtil::clearDir(dir));
  EXPECT_TRUE(fs::isDirectory(dir));
  EXPECT_EQ(IOUtil::filesCountOfDir(dir), 0);
  EXPECT_EQ(fs::read(Sandbox::tmp() / "outside"), "o");   // a link goes, not what it points to
  EXPECT_TRUE(IOUtil::clearDir(dir));                    // already empty
  EXPECT_TRUE(IOUtil::clearDir(Sandbox::tmp() / "none")); // cannot be read: counts as empty

  ASSERT_TRUE(fs::writeAtomic(dir / "x" / "y", "y"));
  IOUtil::removeDir(dir);
  EXPECT_FALSE(fs::exists(dir));
  IOUtil::removeDir(dir);   // nothing there: nothing happens
  EXPECT_EQ(fs::read(Sandbox::tmp() / "outside"), "o");
}

// ------------------------------------------------------------------------------------------------
// Unpacking: archives written here with the zip writer.

struct ZipItem {
  enum class Kind { File, Folder, Link };
  std::string name;
  std::string data;  // a file's bytes or a link's target
  Kind kind = Kind::File;
  // Stored as is with this size in the directory instead of its real one.
  std::optional<uint64_t> declaredSize;
  bool badChecksum = false;
  const char* password = nullptr;
};

ZipItem file(std::string name, std::string data) {
  ZipItem item;
  item.name = std::move(name);
  item.data = std::move(data);
  return item;
}
ZipItem folder(std::string name) {
  ZipItem item = file(std::move(name), "");
  item.kind = ZipItem::Kind::Folder;
  return item;
}
ZipItem link(std::string name, std::string target) {
  ZipItem item = file(std::move(name), std::move(target));
  item.kind = ZipItem::Kind::Link;
  return item;
}
// A stored file whose directory record claims another size.
ZipItem declared(std::string name, std::string data, uint64_t size) {
  ZipItem item = file(std::move(name), std::move(data));
  item.declaredSize = size;
  return item;
}
ZipItem withBadChecksum(std::string name, std::string data) {
  ZipItem item = file(std::move(name), std::move(data));
  item.badChecksum = true;
  return item;
}
ZipItem encrypted(std::string name, std::string data) {
  ZipItem item = file(std::move(name), std::move(data));
  item.password = "secret";
  return item;
}

// Writes the archive in Documents (apart from the folders under test) and returns its path.
Path writeZip(const std::string& fileName, const std::vector<ZipItem>& items) {
  const Path path = Sandbox::documents() / fileName;
  zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  EXPECT_NE(zip, nullptr);
  if (!zip) return path;
  for (const auto& item : items) {
    zip_fileinfo info{};
    const unsigned mode = item.kind == ZipItem::Kind::Folder ? 040755u
                          : item.kind == ZipItem::Kind::Link ? 0120777u
                                                             : 0100644u;
    info.external_fa = static_cast<uLong>(mode) << 16;
    const bool raw = item.declaredSize || item.badChecksum;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(item.data.data()), static_cast<uInt>(item.data.size()));
    const bool deflate = !raw && item.kind == ZipItem::Kind::File;
    const uLong unixVersion = (3u << 8) | 20u;
    int rc = zipOpenNewFileInZip4_64(zip, item.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                     deflate ? Z_DEFLATED : 0, deflate ? Z_BEST_COMPRESSION : 0, raw ? 1 : 0,
                                     -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, item.password, crc, unixVersion, 0, 0);
    EXPECT_EQ(rc, ZIP_OK) << item.name;
    if (!item.data.empty()) {
      EXPECT_EQ(zipWriteInFileInZip(zip, item.data.data(), static_cast<unsigned>(item.data.size())), ZIP_OK);
    }
    if (raw) {
      EXPECT_EQ(zipCloseFileInZipRaw64(zip, item.declaredSize.value_or(item.data.size()), item.badChecksum ? crc ^ 1u : crc),
                ZIP_OK);
    } else {
      EXPECT_EQ(zipCloseFileInZip(zip), ZIP_OK);
    }
  }
  EXPECT_EQ(zipClose(zip, nullptr), ZIP_OK);
  return path;
}

// Everything below dir: path -> "dir", "file:<bytes>" or "link:<target>" (links not followed).
std::map<std::string, std::string> snapshot(const Path& dir) {
  std::map<std::string, std::string> tree;
  std::error_code ec;
  for (auto it = stdfs::recursive_directory_iterator(dir, ec); !ec && it != stdfs::recursive_directory_iterator();
       it.increment(ec)) {
    const std::string key = it->path().lexically_relative(dir).generic_string();
    if (it->is_symlink()) {
      tree[key] = "link:" + stdfs::read_symlink(it->path()).string();
    } else if (it->is_directory()) {
      tree[key] = "dir";
    } else {
      tree[key] = "file:" + fs::read(it->path()).value_or("?");
    }
  }
  return tree;
}

unsigned permissionsOf(const Path& path) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0) return 0;
  return st.st_mode & 0777u;
}

TEST(IOUtilUnzipTest, UnpacksFoldersAndFilesAndReplacesExistingFiles) {
  const Path dest = Sandbox::tmp() / "theme";
  ASSERT_TRUE(fs::writeAtomic(dest / "top.txt", "old top"));
  ASSERT_TRUE(fs::writeAtomic(dest / "other.txt", "kept"));
  const std::string big(300 * 1024, 'x');   // several read buffers
  const Path zip = writeZip("theme.zip", {
                                             folder("pictures/"),
                                             file("pictures/a.png", std::string("\x89PNG\r\n\x1a\n\0\0", 10)),
                                             file("pictures/sub/b.txt", "b"),
                                             file("./notes//c.txt", "c"),
                                             folder("empty/"),
                                             file("top.txt", "new top"),
                                             file("big.bin", big),
                                             file("dup.txt", "first"),
                                             file("dup.txt", "second"),
                                         });

  EXPECT_TRUE(IOUtil::unzip(zip, dest));
  const std::map<std::string, std::string> expected = {
      {"big.bin", "file:" + big},
      {"dup.txt", "file:second"},
      {"empty", "dir"},
      {"notes", "dir"},
      {"notes/c.txt", "file:c"},
      {"other.txt", "file:kept"},
      {"pictures", "dir"},
      {"pictures/a.png", "file:" + std::string("\x89PNG\r\n\x1a\n\0\0", 10)},
      {"pictures/sub", "dir"},
      {"pictures/sub/b.txt", "file:b"},
      {"top.txt", "file:new top"},
  };
  EXPECT_EQ(snapshot(dest), expected);   // no staging folder left behind
  EXPECT_EQ(permissionsOf(dest / "pictures" / "a.png"), 0600u);

  // Into a folder that does not exist yet.
  EXPECT_TRUE(IOUtil::unzip(zip, Sandbox::tmp() / "new" / "place"));
  EXPECT_EQ(fs::read(Sandbox::tmp() / "new" / "place" / "pictures" / "sub" / "b.txt"), "b");
}

TEST(IOUtilUnzipTest, WhatIsNoArchiveIsRefusedWithoutTouchingTheFolder) {
  const Path dest = Sandbox::tmp() / "dest";
  ASSERT_TRUE(fs::writeAtomic(dest / "keep.txt", "keep"));
  const auto before = snapshot(dest);

  ASSERT_TRUE(fs::writeAtomic(Sandbox::documents() / "text.zip", "PK\x03\x04 but not really an archive"));
  const Path valid = writeZip("valid.zip", {file("a.txt", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa")});
  auto bytes = fs::read(valid);
  ASSERT_TRUE(bytes);
  ASSERT_TRUE(fs::writeAtomic(Sandbox::documents() / "cut.zip", bytes->substr(0, bytes->size() / 2)));

  for (const Path& path : {Sandbox::documents() / "text.zip", Sandbox::documents() / "cut.zip",
                           Sandbox::documents() / "missing.zip", Sandbox::documents()}) {
    EXPECT_FALSE(IOUtil::unzip(path, dest)) << path;
    EXPECT_EQ(snapshot(dest), before) << path;
  }
  EXPECT_FALSE(IOUtil::unzip(Sandbox::documents() / "missing.zip", Sandbox::tmp() / "never"));
  EXPECT_FALSE(fs::exists(Sandbox::tmp() / "never"));
}

// Every archive here is refused before a byte is written: the destination (and the folders
// around it) stay exactly as they were, even where good entries come first.
TEST(IOUtilUnzipTest, MaliciousArchivesAreRefusedAndWriteNothing) {
  const ZipItem first = file("first.txt", "written only if the archive is accepted");
  const std::string zeros(2 << 20, '\0');
  struct Case {
    const char* what;
    std::vector<ZipItem> items;
    const char* reason;
    IOUtil::UnzipLimits limits = {};
    bool defaultLimits = true;
  };
  IOUtil::UnzipLimits small;
  small.maxTotalBytes = 100;
  small.maxEntries = 3;
  std::vector<Case> cases = {
      {"parent folder", {first, file("../evil.txt", "x")}, "\"..\""},
      {"parent folder inside the path", {first, file("pictures/../../../evil.txt", "x")}, "\"..\""},
      {"parent folder after a dot", {first, file("./../evil.txt", "x")}, "\"..\""},
      {"parent folder as a folder entry", {first, folder("../evilfolder/")}, "\"..\""},
      {"absolute path", {first, file("/tmp/nvx-evil.txt", "x")}, "absolute"},
      {"absolute path with two slashes", {first, file("//tmp/nvx-evil.txt", "x")}, "absolute"},
      {"backslash parent folder", {first, file("..\\evil.txt", "x")}, "backslash"},
      {"backslash inside the path", {first, file("pictures\\..\\..\\evil.txt", "x")}, "backslash"},
      {"drive letter", {first, file("C:/evil.txt", "x")}, "drive-letter"},
      {"drive letter with backslash", {first, file("C:\\evil.txt", "x")}, "backslash"},
      {"link alone", {first, link("etc", "/etc")}, "symbolic link"},
      {"file through a link", {first, link("up", ".."), file("up/evil.txt", "x")}, "symbolic link"},
      {"file and folder of one name", {first, file("pictures", "x"), file("pictures/a.png", "y")},
       "both a file and a folder"},
      {"entry larger than the limit", {first, declared("huge.bin", "tiny", 1ull << 30)},
       "entry larger than the limit"},
      {"ratio bomb", {first, file("zeros.bin", zeros)}, "expansion ratio"},
      {"total larger than the limit",
       {first, file("b.txt", std::string(40, 'b')), file("c.txt", std::string(40, 'c'))},
       "archive larger than the limit",
       small,
       false},
      {"too many entries", {first, file("b", "b"), file("c", "c"), file("d", "d")}, "too many entries", small, false},
      {"encrypted", {first, encrypted("secret.txt", "x")},
       "encrypted"},
  };

  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Path area = Sandbox::tmp() / ("area" + std::to_string(n));
    const Path dest = area / "one" / "two" / "dest";
    ASSERT_TRUE(fs::writeAtomic(dest / "keep.txt", "keep"));
    ASSERT_TRUE(fs::writeAtomic(dest / "pictures" / "old.png", "old"));
    const auto before = snapshot(area);
    const Path zip = writeZip("case" + std::to_string(n++) + ".zip", c.items);

    platform::Status status = IOUtil::unzipWithLimits(zip, dest, c.limits);
    EXPECT_FALSE(status.isOk());
    EXPECT_NE(status.message().find(c.reason), std::string::npos) << status.message();
    EXPECT_EQ(snapshot(area), before);
    if (c.defaultLimits) {
      EXPECT_FALSE(IOUtil::unzip(zip, dest));
      EXPECT_EQ(snapshot(area), before);
    }
  }
  EXPECT_FALSE(fs::exists("/tmp/nvx-evil.txt"));
}

TEST(IOUtilUnzipTest, DamagedEntriesLeaveTheDestinationAsItWas) {
  // Each archive passes the checks; an entry's data then fails to match its directory record.
  struct Case {
    const char* what;
    ZipItem bad;
  };
  const Case cases[] = {
      {"wrong checksum", withBadChecksum("b.txt", "0123456789")},
      {"declared shorter than its data", declared("b.txt", "0123456789", 3)},
      {"declared longer than its data", declared("b.txt", "0123456789", 20)},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Path dest = Sandbox::tmp() / ("damaged" + std::to_string(n));
    ASSERT_TRUE(fs::writeAtomic(dest / "a.txt", "old a"));
    const auto before = snapshot(dest);
    const Path zip = writeZip("damaged" + std::to_string(n++) + ".zip",
                              {file("a.txt", "new a"), folder("made/"), c.bad, file("c.txt", "c")});
    platform::Status status = IOUtil::unzipWithLimits(zip, dest, {});
    EXPECT_FALSE(status.isOk());
    EXPECT_NE(status.message().find("damaged entry \"b.txt\""), std::string::npos) << status.message();
    EXPECT_EQ(snapshot(dest), before);
  }
  // A destination that did not exist is not left behind either.
  const Path zip = writeZip("damaged-new.zip", {file("a.txt", "a"), cases[0].bad});
  EXPECT_FALSE(IOUtil::unzip(zip, Sandbox::tmp() / "fresh"));
  EXPECT_FALSE(fs::exists(Sandbox::tmp() / "fresh"));
}

// An archive whose folder entry the file system cannot make (its path passes PATH_MAX inside the
// destination, though every check of the name passes) used to have its files moved into place
// before the folder failed: the call failed with the destination already changed.
TEST(IOUtilUnzipTest, AFolderTheFileSystemRefusesStopsEverythingBeforeTheDestinationChanges) {
  std::string longFolder;
  for (int i = 0; i < 16; ++i) longFolder += std::string(254, 'd') + "/";
  const Path zip = writeZip("long-folder.zip", {file("a.txt", "new a"), folder(longFolder), file("b.txt", "b")});

  const Path dest = Sandbox::tmp() / "dest";
  ASSERT_TRUE(fs::writeAtomic(dest / "a.txt", "old a"));
  const auto before = snapshot(dest);
  EXPECT_FALSE(IOUtil::unzip(zip, dest));
  EXPECT_EQ(snapshot(dest), before);

  EXPECT_FALSE(IOUtil::unzip(zip, Sandbox::tmp() / "fresh"));
  EXPECT_FALSE(fs::exists(Sandbox::tmp() / "fresh"));
}

TEST(IOUtilUnzipTest, TheDestinationsOwnLinksAndFoldersAreNeverWrittenThrough) {
  const Path outside = Sandbox::tmp() / "outside";
  ASSERT_TRUE(fs::mkdirs(outside));
  const Path dest = Sandbox::tmp() / "dest";
  ASSERT_TRUE(fs::mkdirs(dest / "taken"));
  ASSERT_TRUE(fs::writeAtomic(dest / "plain", "a file"));
  stdfs::create_symlink(outside, dest / "out");
  const auto before = snapshot(dest);

  struct Case {
    const char* what;
    std::vector<ZipItem> items;
  };
  const Case cases[] = {
      {"file under a link", {file("ok.txt", "ok"), file("out/evil.txt", "x")}},
      {"folder entry on a link", {folder("out/")}},
      {"file over a folder", {file("ok.txt", "ok"), file("taken", "x")}},
      {"folder over a file", {folder("plain/")}},
      {"file under a file", {file("plain/x.txt", "x")}},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Path zip = writeZip("dest" + std::to_string(n++) + ".zip", c.items);
    EXPECT_FALSE(IOUtil::unzip(zip, dest));
    EXPECT_EQ(snapshot(dest), before);
    EXPECT_TRUE(snapshot(outside).empty());
  }
}

}  // namespace
}  // namespace nvx
