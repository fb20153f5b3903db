#include "net/PageResultEntity.h"

#include "app/core/UserDefaultsExt.h"

namespace nvx {

namespace {

int64_t number(const platform::Json& json, std::string_view key) {
  return platform::json::integer(json, key).value_or(0);
}

}  // namespace

PageResultEntity PageResultEntity::initWithJson(const platform::Json& json) {
  PageResultEntity page;
  if (!json.is_object()) return page;
  page.startPage_ = number(json, "startPage");
  page.pageSize_ = number(json, "pageSize");
  page.totalPage_ = number(json, "totalPage");
  page.totalRecord_ = number(json, "totalRecord");
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
