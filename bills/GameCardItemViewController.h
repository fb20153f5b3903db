// The game-card type list, or the denominations of one type.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "bills/BillItemPickerViewController.h"

namespace nvx {

class GameCardItemViewController;

class GameCardItemItemViewControllerDelegate {
 public:
  virtual ~GameCardItemItemViewControllerDelegate() = default;
  virtual void gameCardItemViewController(GameCardItemViewController& picker, const std::string& itemName,
                                          const std::string& itemType) = 0;
};

class GameCardItemViewController : public BillItemPickerViewController {
 public:
  static constexpr const char* kClassName = "GameCardItemViewController";

  std::string className() const override { return kClassName; }
  void viewDidLoad() override;

  const std::string& gameCardItemTitle() const { return gameCardItemTitle_; }
  void setGameCardItemTitle(std::string v) { gameCardItemTitle_ = std::move(v); }
  // Set: the denominations of this type; missing: the types.
  const std::optional<std::string>& gameCardType() const { return gameCardType_; }
  void setGameCardType(std::optional<std::string> v) { gameCardType_ = std::move(v); }
  void setDelegateData(std::weak_ptr<GameCardItemItemViewControllerDelegate> d) { delegateData_ = std::move(d); }
  bool listsDenominations() const { return gameCardType_.has_value(); }
  // The entries listed: card types ({cardType, cardDesc}) or denominations (GameCardAmountParse's keys).
  const std::vector<platform::Json>& gameCardItemArray() const { return entries(); }
  const std::shared_ptr<CustomTableView>& gameCardItemTableView() const { return itemTableView(); }
  // The two lists this screen fetches (one of them, when its view loads).
  void requestGameCardNameList();
  void requestGameCardMoneyList();

 protected:
  std::string headerText() const override { return gameCardItemTitle_; }
  std::optional<Item> itemOf(const platform::Json& entry) const override;
  std::string rowText(const Item& item) const override { return "      " + item.name; }
  void report(const Item& item) override;

 private:
  std::string gameCardItemTitle_;
  std::optional<std::string> gameCardType_;
  std::weak_ptr<GameCardItemItemViewControllerDelegate> delegateData_;
};

}  // namespace nvx
