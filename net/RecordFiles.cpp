#include "net/RecordFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <vector>

#include "platform/foundation/Log.h"

namespace nvx {

namespace {

constexpr std::string_view kTag = "RecordFiles";
// The marker is rewritten in place at a fixed width, within one page: the system copies such a
// write whole or not at all, also when the process is killed during it.
constexpr size_t kMarkerWidth = 128;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }

 private:
  int fd_;
};

bool writeAllAt(int fd, std::string_view bytes, off_t offset) {
  while (!bytes.empty()) {
    ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), offset);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
    offset += n;
  }
  return true;
}

// The length of the file without its trailing blanks, reading backwards from its end.
std::optional<off_t> lengthWithoutTrailingBlanks(int fd, off_t size) {
  char chunk[256];
  off_t end = size;
  while (end > 0) {
    const off_t from = end > off_t(sizeof chunk) ? end - off_t(sizeof chunk) : 0;
    const auto want = static_cast<size_t>(end - from);
    ssize_t n = ::pread(fd, chunk, want, from);
    if (n < 0 && errno == EINTR) continue;
    if (n != static_cast<ssize_t>(want)) return std::nullopt;
    for (size_t i = want; i-- > 0;) {
      if (!isBlank(chunk[i])) return from + static_cast<off_t>(i) + 1;
    }
    end = from;
  }
  return 0;
}

// "<length> <name>" padded to the marker's width; all blanks when no append is under way.
std::string markerText(std::optional<std::pair<off_t, std::string_view>> appending) {
  std::string text;
  if (appending) text = std::to_string(appending->first) + " " + std::string(appending->second);
  text.resize(kMarkerWidth, ' ');
  text.back() = '\n';
  return text;
}

}  // namespace

bool RecordFiles::recover() const {
  const platform::Path marker = path(kAppendMarker);
  auto text = platform::fs::read(marker);
  if (!text) return false;
  bool shortened = false;
  const std::string_view note = *text;
  const size_t blank = note.find(' ');
  off_t length = -1;
  if (blank != std::string_view::npos) {
    auto [end, error] = std::from_chars(note.data(), note.data() + blank, length);
    if (error != std::errc() || end != note.data() + blank) length = -1;
  }
  if (length >= 0) {
    const size_t nameEnd = note.find_first_of(" \n", blank + 1);
    const std::string name(note.substr(blank + 1, nameEnd == std::string_view::npos ? nameEnd : nameEnd - blank - 1));
    if (!name.empty() && name.find('/') == std::string::npos && name != "." && name != "..") {
      const platform::Path file = path(name);
      struct stat st {};
      if (::stat(file.c_str(), &st) == 0 && st.st_size > length) {
        shortened = ::truncate(file.c_str(), length) == 0;
        platform::log::warning(kTag, shortened ? "dropped the cut-off end of " + name
                                               : "could not drop the cut-off end of " + name);
      }
    }
  }
  (void)platform::fs::writeAtomic(marker, markerText(std::nullopt));
  return shortened;
}

std::optional<uint64_t> RecordFiles::append(std::string_view name, std::string_view record) const {
  const platform::Path file = path(name);
  Fd fd([&] {
    int opened = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (opened < 0 && errno == ENOENT && platform::fs::mkdirs(folder_)) {
      opened = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    }
    return opened;
  }());
  struct stat st {};
  if (!fd || ::fstat(fd.get(), &st) != 0) {
    platform::log::warning(kTag, "cannot open " + std::string(name));
    return std::nullopt;
  }
  char first = 0;
  if (st.st_size > 0 && ::pread(fd.get(), &first, 1, 0) == 1 && isBlank(first)) {
    // Blanks at the start of a file (left by a writer other than this one) are dropped once by
    // rewriting it; later appends find it clean.
    std::optional<std::string> text = platform::fs::read(file);
    std::string_view clean = text ? std::string_view(*text) : std::string_view();
    while (!clean.empty() && isBlank(clean.front())) clean.remove_prefix(1);
    if (!text || !platform::fs::writeAtomic(file, clean)) {
      platform::log::warning(kTag, "cannot rewrite " + std::string(name));
      return std::nullopt;
    }
    return append(name, record);
  }
  const std::optional<off_t> keep = lengthWithoutTrailingBlanks(fd.get(), st.st_size);
  if (!keep) {
    platform::log::warning(kTag, "cannot read " + std::string(name));
    return std::nullopt;
  }
  Fd marker(::open(path(kAppendMarker).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
  if (!marker || !writeAllAt(marker.get(), markerText(std::pair(*keep, name)), 0)) {
    // Without the note a cut-off record could not be recognised later: write nothing.
    platform::log::warning(kTag, "cannot note the append to " + std::string(name));
    return std::nullopt;
  }
  std::string bytes;
  bytes.reserve(record.size() + 1);
  if (*keep > 0) bytes += '\n';
  bytes.append(record);
  bool ok = (*keep == st.st_size || ::ftruncate(fd.get(), *keep) == 0) && writeAllAt(fd.get(), bytes, *keep);
  if (!ok) {
    platform::log::warning(kTag, "cannot append to " + std::string(name));
    if (::ftruncate(fd.get(), *keep) != 0) return std::nullopt;  // the marker still names the cut
  }
  (void)writeAllAt(marker.get(), markerText(std::nullopt), 0);
  if (!ok) return std::nullopt;
  return static_cast<uint64_t>(*keep) + bytes.size();
}

void RecordFiles::sync(std::string_view name) const {
  Fd fd(::open(path(name).c_str(), O_RDONLY | O_CLOEXEC));
  if (fd) (void)::fdatasync(fd.get());
}

RecordFiles::Kept RecordFiles::keepNewest(std::string_view text, size_t leading, uint64_t keepBytes) {
  // Blank lines at the end are no record (the next append drops them anyway).
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  std::vector<std::string_view> lines;
  for (size_t at = 0; at <= text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  Kept kept;
  const size_t head = std::min(leading, lines.size());
  size_t first = lines.size();  // the oldest record kept
  uint64_t bytes = 0;
  while (first > head) {
    const uint64_t more = lines[first - 1].size() + 1;
    if (first < lines.size() && bytes + more > keepBytes) break;
    bytes += more;
    --first;
  }
  std::vector<std::string_view> keptLines(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(head));
  keptLines.insert(keptLines.end(), lines.begin() + static_cast<std::ptrdiff_t>(first), lines.end());
  for (size_t i = head; i < first; ++i) {
    if (lines[i].find_first_not_of(" \t\r\n") != std::string_view::npos) ++kept.dropped;
  }
  for (size_t i = 0; i < keptLines.size(); ++i) {
    if (i > 0) kept.text += '\n';
    kept.text.append(keptLines[i]);
  }
  return kept;
}

}  // namespace nvx
