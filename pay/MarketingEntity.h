// The marketing item the main API offers for a business just paid: a text the receipt shows in
// its box and, when the user taps the box, what it opens (an advert page, another business, the
// client's store page or a mall theme page). Every field is a text; the reply's keys are the
// field names. A plain value: copies are independent; it archives under "nvx_" keys.
#pragma once
#include <string>
#include <string_view>

#include "platform/foundation/Archive.h"
#include "platform/foundation/Json.h"

namespace nvx {

class MarketingEntity : public platform::Archivable {
 public:
  static constexpr const char* kArchiveClass = "MarketingEntity";

  // The kinds of aType.
  enum class Kind { AdvertPage = 1, Business = 2, StorePage = 3, Nothing = 4, MallTheme = 5 };

  MarketingEntity() = default;
  // Each field from its key; a missing key (or anything but an object) leaves it empty. A number
  // where a text belongs reads as its text ("aType": 2 as "2").
  static MarketingEntity initWithJson(const platform::Json& json);
  // initWithCoder: the "nvx_" keys.
  explicit MarketingEntity(const platform::Unarchiver& coder);

  const std::string& aId() const { return aId_; }
  void setAId(std::string v) { aId_ = std::move(v); }
  const std::string& aName() const { return aName_; }
  void setAName(std::string v) { aName_ = std::move(v); }
  const std::string& aImg() const { return aImg_; }
  void setAImg(std::string v) { aImg_ = std::move(v); }
  // "1" advert page, "2" business, "3" store page, "4" nothing, "5" mall theme page.
  const std::string& aType() const { return aType_; }
  void setAType(std::string v) { aType_ = std::move(v); }
  const std::string& aUrl() const { return aUrl_; }
  void setAUrl(std::string v) { aUrl_ = std::move(v); }
  const std::string& aContent() const { return aContent_; }
  void setAContent(std::string v) { aContent_ = std::move(v); }
  const std::string& reqSys() const { return reqSys_; }
  void setReqSys(std::string v) { reqSys_ = std::move(v); }
  // The business code a kind-"2" item opens.
  const std::string& note() const { return note_; }
  void setNote(std::string v) { note_ = std::move(v); }
  // The text the receipt shows; also the notice text of an advert page.
  const std::string& content() const { return content_; }
  void setContent(std::string v) { content_ = std::move(v); }

  // What a tap on the item can open: the kind of aType when the item carries what that kind
  // needs (an http or https address for the pages, a business code for a business); Nothing
  // for any other item, an unknown kind included.
  Kind openableKind() const;

  // "\n" then "<field> : <value>\n" per field, in the order of the fields above.
  std::string description() const;

  std::string archiveClass() const override { return kArchiveClass; }
  // encodeWithCoder
  void encode(platform::Archiver& coder) const override;
  static void registerArchiveClass();

  // Field by field.
  bool operator==(const MarketingEntity& other) const;

 private:
  std::string aId_;
  std::string aName_;
  std::string aImg_;
  std::string aType_;
  std::string aUrl_;
  std::string aContent_;
  std::string reqSys_;
  std::string note_;
  std::string content_;
};

}  // namespace nvx
