#include "bills/GameCardItemViewController.h"

#include "bills/GameCardAmountParse.h"
#include "bills/GameCardTypeParse.h"
#include "core/text/UrlEscaping.h"
#include "platform/foundation/Strings.h"

namespace nvx {

void GameCardItemViewController::viewDidLoad() {
  BillItemPickerViewController::viewDidLoad();
  setTitle(platform::Strings::localized("GameCardRecharge"));
  if (listsDenominations()) {
    requestGameCardMoneyList();
  } else {
    requestGameCardNameList();
  }
}

void GameCardItemViewController::requestGameCardNameList() { requestList("getGameCardType"); }

void GameCardItemViewController::requestGameCardMoneyList() {
  requestList("getGameCardAmountByCard/" + text::encodeURLString(gameCardType_.value_or("")));
}

std::optional<BillItemPickerViewController::Item> GameCardItemViewController::itemOf(const platform::Json& entry) const {
  std::optional<std::string> name;
  std::optional<std::string> code;
  if (listsDenominations()) {
    GameCardAmountParse parse = GameCardAmountParse::initWithDic(entry);
    name = parse.cardName;
    code = parse.cardCode;
  } else {
    GameCardTypeParse parse = GameCardTypeParse::initWithDic(entry);
    name = parse.cardDesc;
    code = parse.cardType;
  }
  if (!name || !code) return std::nullopt;
  return Item{*name, *code};
}

void GameCardItemViewController::report(const Item& item) {
  if (auto delegate = delegateData_.lock()) delegate->gameCardItemViewController(*this, item.name, item.code);
}

}  // namespace nvx
