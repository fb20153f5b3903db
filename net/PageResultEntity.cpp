#include "net/PageResultEntity.h"

#include "core/session/UserDefaultsExt.h"

namespace nvx {

PageResultEntity PageResultEntity::initWithJson(const platform::Json& json) {
  using platform::json::integer;
  PageResultEntity page;
  page.startPage_ = integer(json, "startPage").value_or(0);
  page.pageSize_ = integer(json, "pageSize").value_or(0);
  page.totalPage_ = integer(json, "totalPage").value_or(0);
  page.totalRecord_ = integer(json, "totalRecord").value_or(0);
  return page;
}

PageResultEntity::PageResultEntity(const platform::Unarchiver& coder)
    : startPage_(coder.integer(archiveKey("startPage"))),
      pageSize_(coder.integer(archiveKey("pageSize"))),
      totalPage_(coder.integer(archiveKey("totalPage"))),
      totalRecord_(coder.integer(archiveKey("totalRecord"))) {}

std::string PageResultEntity::description() const {
  return "\nstartPage : " + std::to_string(startPage_) + "\npageSize : " + std::to_string(pageSize_) +
         "\ntotalPage : " + std::to_string(totalPage_) + "\ntotalRecord : " + std::to_string(totalRecord_) + "\n";
}

void PageResultEntity::encode(platform::Archiver& coder) const {
  coder.setInt(archiveKey("startPage"), startPage_);
  coder.setInt(archiveKey("pageSize"), pageSize_);
  coder.setInt(archiveKey("totalPage"), totalPage_);
  coder.setInt(archiveKey("totalRecord"), totalRecord_);
}

void PageResultEntity::registerArchiveClass() { platform::registerArchivable<PageResultEntity>(kArchiveClass); }

}  // namespace nvx
