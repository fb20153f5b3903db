// Test-only support of the payment flow: operations answering from a script, a result page that
// records what the pay screen gave it, screen services that record the way back to a calling
// app, and a reader driver under the test's hand.
#pragma once
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/testing/TestScreenServices.h"
#include "pay/PayOperations.h"
#include "pay/PayResultScreen.h"
#include "pay/Tools.h"
#include "platform/foundation/RunLoop.h"
#include "reader/CTSwiperController.h"

namespace nvx::testing {

// Answers each request with the next scripted reply (NotSent when the script is empty) and keeps
// what each request carried.
class FakePayOperations : public PayOperations {
 public:
  struct Call {
    std::string url;
    std::vector<platform::net::PostField> fields;
    CardFields card;
  };

  Prepared commit(const Tools& tools, const CardFields& card) override {
    return prepare(commits, tools.url(), tools.infoDic(), card);
  }
  Prepared feeInquiry(const Tools& tools, const CardFields& card) override {
    return prepare(inquiries, tools.searFeeUrl(), tools.requestSearchFeeInfoDic(), card);
  }
  void getParameter(std::string key, std::string dictCode,
                    std::function<void(std::optional<platform::Json>)> completion) override {
    parameters.push_back(key + "/" + dictCode);
    platform::dispatchMain([completion = std::move(completion), answer = parameter] { completion(answer); });
  }

  void handleExpiredLogin() override { ++expiredLogins; }

  static std::optional<std::string> value(const Call& call, std::string_view key) {
    for (const auto& f : call.fields) {
      if (f.key == key) return f.value;
    }
    return std::nullopt;
  }

  std::deque<PayReply> replies;
  std::vector<Call> commits;
  std::vector<Call> inquiries;
  std::vector<std::string> parameters;
  int expiredLogins = 0;
  std::optional<platform::Json> parameter;
  std::shared_ptr<std::atomic<int>> sends = std::make_shared<std::atomic<int>>(0);

 private:
  Prepared prepare(std::vector<Call>& calls, const std::string& url, const Tools::FieldDict& stored,
                   const CardFields& card) {
    auto fields = stored;
    fields.push_back({"otrack", card.otrack});
    fields.push_back({"rnd", card.rnd});
    if (card.pinkey) fields.push_back({"pinkey", *card.pinkey});
    calls.push_back({url, fields, card});
    PayReply reply = PayReply::failed(PayReply::Kind::NotSent);
    if (!replies.empty()) {
      reply = replies.front();
      replies.pop_front();
    }
    return {[reply, sends = sends] {
              ++*sends;
              return reply;
            },
            fields};
  }
};

// The receipt or the checkout result as a recording screen.
class RecordingResultScreen : public NamedTestScreen, public PayResultScreen {
 public:
  explicit RecordingResultScreen(std::string name) : NamedTestScreen(std::move(name)) {}
  void setBusinessType(int type) override { businessType = type; }
  void setTransactionData(platform::Json data) override { transactionData = std::move(data); }
  void setRetData(platform::Json data) override { retData = std::move(data); }
  void setTransactionBusId(std::string busid) override { transactionBusId = std::move(busid); }
  void setRetStatus(std::string code, std::string message) override { retStatus = code + "/" + message; }
  void setCreditCardNumber(std::optional<std::string> number) override { creditCardNumber = std::move(number); }
  void setInfo(std::shared_ptr<TransactionInfoSource> i) override { info = std::move(i); }

  int businessType = -1;
  platform::Json transactionData;
  platform::Json retData;
  std::string transactionBusId;
  std::optional<std::string> retStatus;
  std::optional<std::string> creditCardNumber;
  std::shared_ptr<TransactionInfoSource> info;
};

// The screen services with the way back to a calling app recorded.
class PayTestServices : public TestScreenServices {
 public:
  void returnToCallingApp(bool failed) override { returns.push_back(failed); }
  bool alertOpenLimitWithCancelAction(std::function<void()> cancelAction) override {
    if (!offersLimitAlert) return false;
    limitCancel = std::move(cancelAction);
    return true;
  }
  void gotoWhiteList() override { ++whiteListStarts; }
  // The card result goes on to the screen that listens, as the application delegate passes it.
  void onDecodeCompleted(const std::optional<std::string>& formatID, const std::string& ksn,
                         const std::string& encTracks, int32_t track1Length, int32_t track2Length,
                         int32_t track3Length, const std::string& randomNumber, const std::string& maskedPAN,
                         const std::string& expiryDate, const std::optional<std::string>& cardHolderName) override {
    forward([&](auto& l) {
      l.onDecodeCompleted(formatID, ksn, encTracks, track1Length, track2Length, track3Length, randomNumber,
                          maskedPAN, expiryDate, cardHolderName);
    });
  }

  std::vector<bool> returns;
  bool offersLimitAlert = false;
  std::function<void()> limitCancel;
  int whiteListStarts = 0;
};

// A reader driver that records what the hub asks and has the state the test gives it.
class ScriptedPayDriver : public reader::CTSwiperController {
 public:
  void startCSwiper() override { ++starts; }
  void stopCSwiper() override { ++stops; }
  void deleteCSwiper() override {}
  void getCSwiperKsn() override {}
  int32_t getCSwiperState() const override { return state; }
  bool isDevicePresent() const override { return true; }

  int starts = 0;
  int stops = 0;
  int32_t state = 0;
};

}  // namespace nvx::testing
