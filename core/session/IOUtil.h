// Folder helpers (file-system errors are ignored: a folder that cannot be read counts as empty)
// and the unpacking of zip archives (theme packages) into a folder.
//
// Unpacking checks the whole archive before any byte is written, and refuses it when an entry
// would land outside the destination (absolute paths, "..", backslash or drive-letter forms),
// is a link or a special file, is encrypted or uses a method the reader cannot decode, collides
// with a folder (or passes through a link) in the destination, or when the sizes declared in the
// archive pass the limits (per entry, in total, number of entries, or an expansion ratio that
// only a "zip bomb" reaches). Entries are then unpacked into a hidden staging folder inside the
// destination and moved into place only when every entry has been read and its checksum
// verified, so a refused or damaged archive leaves the destination as it was.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/foundation/Sandbox.h"
#include "platform/foundation/Status.h"

namespace nvx {

class IOUtil {
 public:
  // The number of entries directly in the folder.
  static int filesCountOfDir(const platform::Path& dir);
  // The names of the entries directly in the folder, or with deep the relative paths of every
  // entry below it (sorted).
  static std::vector<std::string> subFileNamesOfDir(const platform::Path& dir, bool inDeep);
  // Copies every entry directly in from to the same name in to; an entry that cannot be copied
  // (for example because the name exists there) is skipped. True when to then holds as many
  // entries as from.
  static bool copyFilesFromDir(const platform::Path& from, const platform::Path& to);
  // Deletes the path with everything below it.
  static void removeDir(const platform::Path& path);
  // Deletes every deletable entry directly in the folder. True when the folder is then empty
  // (a folder that cannot be read counts as empty).
  static bool clearDir(const platform::Path& dir);

  // What an archive may hold.
  struct UnzipLimits {
    uint64_t maxEntryBytes = 64ull << 20;    // unpacked size of one entry
    uint64_t maxTotalBytes = 256ull << 20;   // unpacked size of all entries
    uint64_t maxEntries = 4096;
    // An entry that unpacks to more than ratioFloorBytes may be at most maxRatio times its
    // packed size.
    uint64_t maxRatio = 100;
    uint64_t ratioFloorBytes = 1ull << 20;
  };

  // Unpacks the archive into the folder (made when missing), replacing existing files. True when
  // every entry was unpacked; false when the archive cannot be opened, is refused (see above) or
  // cannot be unpacked, and then nothing in the folder has changed.
  static bool unzip(const platform::Path& archive, const platform::Path& destDir);
  // The same with given limits; the error says why the archive was refused or failed.
  static platform::Status unzipWithLimits(const platform::Path& archive, const platform::Path& destDir,
                                          const UnzipLimits& limits);
};

}  // namespace nvx
