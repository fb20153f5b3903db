// The paging block of a paged list reply (startPage, pageSize, totalPage, totalRecord).
#pragma once
#include <cstdint>
#include <string>

#include "platform/foundation/Archive.h"
#include "platform/foundation/Json.h"

namespace nvx {

class PageResultEntity : public platform::Archivable {
 public:
  static constexpr const char* kArchiveClass = "PageResultEntity";

  PageResultEntity() = default;
  // Reads the four numbers (numbers or numeric texts); anything but an object leaves them 0.
  static PageResultEntity initWithJson(const platform::Json& json);
  explicit PageResultEntity(const platform::Unarchiver& coder);

  int64_t startPage() const { return startPage_; }
  void setStartPage(int64_t v) { startPage_ = v; }
  int64_t pageSize() const { return pageSize_; }
  void setPageSize(int64_t v) { pageSize_ = v; }
  int64_t totalPage() const { return totalPage_; }
  void setTotalPage(int64_t v) { totalPage_ = v; }
  int64_t totalRecord() const { return totalRecord_; }
  void setTotalRecord(int64_t v) { totalRecord_ = v; }

  // "\nstartPage : %@\npageSize : %@\ntotalPage : %@\ntotalRecord : %@\n"
  std::string description() const;

  std::string archiveClass() const override { return kArchiveClass; }
  void encode(platform::Archiver& coder) const override;
  static void registerArchiveClass();

 private:
  int64_t startPage_ = 0;
  int64_t pageSize_ = 0;
  int64_t totalPage_ = 0;
  int64_t totalRecord_ = 0;
};

}  // namespace nvx
