// Text files of one-line records in one folder: records separated by a single "\n", none after
// the last. An append writes at the end of the file and reads only its last bytes, so it costs
// the same however many records the file holds.
//
// A process killed in the middle of an append leaves at most the beginning of that one record at
// the end of its file. Before each append the file's length is noted in a marker file of the
// same folder, and cleared after it; recover() cuts a file back to the noted length, so a record
// is there whole or not at all. Records already in the file are never rewritten by an append.
//
// Not thread-safe: the caller serialises the operations on one folder.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Sandbox.h"

namespace nvx {

class RecordFiles {
 public:
  // The marker of an append under way.
  static constexpr std::string_view kAppendMarker = ".RecordFilesAppending";

  explicit RecordFiles(platform::Path folder) : folder_(std::move(folder)) {}

  platform::Path path(std::string_view name) const { return folder_ / std::string(name); }

  // Cuts back the record that an append cut short when the process ended in it. Run before any
  // other use in a run of the process. True when a file was shortened.
  bool recover() const;

  // Appends one record: blanks and line ends at the end of the file are dropped, "\n" follows
  // when anything is left, then the record as it stands. The file's size after it, or nothing
  // when it could not be written (the file keeps its records).
  std::optional<uint64_t> append(std::string_view name, std::string_view record) const;

  // Flushes the file's data to the disk (an append leaves that to the system).
  void sync(std::string_view name) const;

  // The text with its first `leading` lines kept, followed by the newest of the other records
  // that fit in keepBytes (at least the newest one); `dropped` counts the records left out.
  struct Kept {
    std::string text;
    size_t dropped = 0;
  };
  static Kept keepNewest(std::string_view text, size_t leading, uint64_t keepBytes);

 private:
  platform::Path folder_;
};

}  // namespace nvx
