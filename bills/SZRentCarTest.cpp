// The car-rental page against the partner's site on the page stand-in, and the reader of the
// partner's own-scheme links.
#include <gtest/gtest.h>

#include "bills/CarRentalConfig.h"
#include "bills/CarRentalLink.h"
#include "bills/SZRentCarViewContrllerViewController.h"
#include "bills/testing/BillsTestFixture.h"
#include "core/text/UrlEscaping.h"
#include "platform/device/UrlOpener.h"
#include "standin/CarRentalPartner.h"
#include "standin/PageStandin.h"

namespace nvx {
namespace {

using Kind = CarRentalLink::Kind;
using platform::RunLoop;
using standin::CarRentalPartner;

TEST(CarRentalLinkTest, OwnSchemeLinksAreReadAndNeverLoad) {
  const std::string close = CarRentalPartner::ownSchemeLink(R"({"type":"0"})");
  const std::string site = CarRentalPartner::ownSchemeLink(R"({"type":"1"})");
  struct Case {
    std::string url;
    Kind kind;
    std::string mobile;
  };
  const Case cases[] = {
      // Other schemes load, whatever they carry.
      {"https://partner.example/x?params=%7B%22type%22%3A%220%22%7D", Kind::Load, ""},
      {"nvx", Kind::Load, ""},
      {"tel:nvx", Kind::Load, ""},
      {close, Kind::Close, ""},
      {site, Kind::ServiceSite, ""},
      {"NVXrent://a?params=%7B%22type%22%3A%220%22%7D", Kind::Close, ""},
      {CarRentalPartner::ownSchemeLink(R"({"type":"2","params":{"mobile":"4006-123-789"}})"), Kind::Call,
       "4006-123-789"},
      {CarRentalPartner::ownSchemeLink(R"({"type":"2","params":{"mobile":"+8613800000000"}})"), Kind::Call,
       "+8613800000000"},
      // The first parameters count.
      {site + "params=" + "%7B%22type%22%3A%220%22%7D", Kind::ServiceSite, ""},
      // Swallowed: nothing to read, or nothing known.
      {"nvxrent://page", Kind::Ignore, ""},
      {"nvxrent://page?params=", Kind::Ignore, ""},
      {"nvxrent://page?params=%20%20", Kind::Ignore, ""},
      {"nvxrent://page?params=%FF%FE", Kind::Ignore, ""},
      {"nvxrent://page?params=%7B%22type%22", Kind::Ignore, ""},
      {CarRentalPartner::ownSchemeLink(R"(["0"])"), Kind::Ignore, ""},
      {CarRentalPartner::ownSchemeLink(R"({"type":0})"), Kind::Ignore, ""},
      {CarRentalPartner::ownSchemeLink(R"({"type":"3"})"), Kind::Ignore, ""},
      {CarRentalPartner::ownSchemeLink(R"({"type":"2"})"), Kind::Ignore, ""},
      {CarRentalPartner::ownSchemeLink(R"({"type":"2","params":{"mobile":4006123789}})"), Kind::Ignore, ""},
      // The dialler gets numbers only.
      {CarRentalPartner::ownSchemeLink(R"({"type":"2","params":{"mobile":"400;https://x"}})"), Kind::Ignore, ""},
      {CarRentalPartner::ownSchemeLink(R"({"type":"2","params":{"mobile":"4006--12"}})"), Kind::Ignore, ""},
      {CarRentalPartner::ownSchemeLink(R"({"type":"2","params":{"mobile":"123456789012345678901"}})"), Kind::Ignore,
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    const CarRentalLink link = CarRentalLink::read(c.url);
    EXPECT_EQ(link.kind, c.kind);
    EXPECT_EQ(link.mobile, c.mobile);
  }
}

TEST(CarRentalLinkTest, ThePageAddressCarriesTheLoginNameThePartnerCanRead) {
  CarRentalConfig::current().setPartnerSite("https://cars.example/");
  const std::string prefix = "https://cars.example/html5/indexNvx.html?mobile=";
  bool escapedReserved = false;
  std::vector<std::string> names = {"", "13800000000", "张三"};
  for (int i = 0; i < 40; ++i) names.push_back("1390000" + std::to_string(1000 + i));
  for (const auto& name : names) {
    SCOPED_TRACE(name);
    auto address = SZRentCarViewContrllerViewController::pageAddress(name);
    ASSERT_TRUE(address);
    ASSERT_TRUE(address->starts_with(prefix));
    const std::string escaped = address->substr(prefix.size());
    // Nothing in the value can end it or change its meaning.
    EXPECT_EQ(escaped.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789%"),
              std::string::npos);
    escapedReserved = escapedReserved || escaped.find("%2B") != std::string::npos ||
                      escaped.find("%2F") != std::string::npos;
    auto base64 = text::originalURLString(escaped);
    ASSERT_TRUE(base64);
    if (name.empty()) {
      EXPECT_EQ(base64->size(), 12u);   // one block of padding
    }
    EXPECT_EQ(CarRentalPartner::decipher(*base64), name);
  }
  EXPECT_TRUE(escapedReserved);
}

class SZRentCarTest : public testing::BillsTestFixture {
 protected:
  void SetUp() override {
    BillsTestFixture::SetUp();
    ASSERT_TRUE(pages.start().isOk());
    partner.emplace(pages);
    pages.setPage("/", "<html><head><title>诺维萨</title></head><body>诺维萨</body></html>");
    CarRentalConfig::current().setPartnerSite(pages.url(""));
    CarRentalConfig::current().setServiceSite(pages.url("/"));
  }
  void TearDown() override {
    pages.stop();
    BillsTestFixture::TearDown();
  }

  std::shared_ptr<SZRentCarViewContrllerViewController> openPage() {
    auto screen = std::make_shared<SZRentCarViewContrllerViewController>();
    services->navigation->push(screen, false);
    EXPECT_TRUE(pump([&] { return screen->zucheWeb() && screen->zucheWeb()->hasPage(); }, 5));
    return screen;
  }
  bool loadedTitle(SZRentCarViewContrllerViewController& screen, const std::string& title) {
    return pump([&] { return !screen.zucheWeb()->isLoading() && screen.zucheWeb()->pageTitle() == title; }, 5);
  }

  standin::PageStandin pages;
  std::optional<CarRentalPartner> partner;
};

TEST_F(SZRentCarTest, ThePartnerSiteKnowsTheUserAndItsLinksWorkThroughTheClient) {
  auto screen = openPage();
  EXPECT_EQ(screen->title(), "租车服务");
  EXPECT_EQ(screen->stepIdentifier(), "ZCFW_1");
  EXPECT_TRUE(services->navigation->isNavigationBarHidden());
  EXPECT_EQ(partner->visitors(), (std::vector<std::optional<std::string>>{std::string(kLoginName)}));
  auto web = screen->zucheWeb();
  EXPECT_NE(web->pageText().find(std::string("欢迎 ") + kLoginName), std::string::npos);
  EXPECT_TRUE(web->scalesPageToFit());
  EXPECT_EQ(web->dataDetectorTypes(), platform::ui::WebDataDetector::All);

  // The call link: the alert names the number the dialler gets.
  ASSERT_TRUE(inspector().followLink(*web, "预订电话").isOk());
  auto alert = inspector().topAlert();
  ASSERT_TRUE(alert);
  EXPECT_EQ(alert->tag(), SZRentCarViewContrllerViewController::kCallAlertTag);
  EXPECT_EQ(alert->message(), std::string("呼叫") + std::string(CarRentalPartner::kBookingLine));
  ASSERT_TRUE(inspector().answerAlert("确定").isOk());
  EXPECT_EQ(platform::UrlOpener::shared().opened(),
            (std::vector<std::string>{"tel:" + std::string(CarRentalPartner::kBookingLine)}));
  EXPECT_EQ(screen->mobileNum(), CarRentalPartner::kBookingLine);
  ASSERT_TRUE(inspector().followLink(*web, "预订电话").isOk());
  ASSERT_TRUE(inspector().answerAlert("取消").isOk());
  EXPECT_EQ(platform::UrlOpener::shared().opened().size(), 1u);
  EXPECT_FALSE(web->isLoading());

  // A plain link loads; the site link shows the service's site; the close link leaves.
  ASSERT_TRUE(inspector().followLink(*web, "车型").isOk());
  ASSERT_TRUE(loadedTitle(*screen, "车型"));
  web->goBack();
  ASSERT_TRUE(loadedTitle(*screen, "租车"));
  ASSERT_TRUE(inspector().followLink(*web, "官网").isOk());
  ASSERT_TRUE(loadedTitle(*screen, "诺维萨"));
  web->goBack();
  ASSERT_TRUE(loadedTitle(*screen, "租车"));
  ASSERT_TRUE(inspector().followLink(*web, "返回").isOk());
  RunLoop::main().advance(1);
  EXPECT_NE(top(), screen);
}

TEST_F(SZRentCarTest, ALoadFailureLeavesThePageOnlyWhenThereIsNothingToGoBackTo) {
  // The first page fails: its alert's button leaves.
  pages.stop();
  auto screen = std::make_shared<SZRentCarViewContrllerViewController>();
  services->navigation->push(screen, false);
  ASSERT_TRUE(pump([&] { return inspector().topAlert() != nullptr; }, 5));
  EXPECT_EQ(inspector().topAlert()->message(), "网络连接失败");
  ASSERT_TRUE(inspector().answerAlert("确定").isOk());
  RunLoop::main().advance(1);
  EXPECT_NE(top(), screen);

  // After a step inside the site a failure keeps the page.
  ASSERT_TRUE(pages.start().isOk());
  CarRentalConfig::current().setPartnerSite(pages.url(""));
  auto again = openPage();
  ASSERT_TRUE(inspector().followLink(*again->zucheWeb(), "车型").isOk());
  ASSERT_TRUE(loadedTitle(*again, "车型"));
  pages.stop();
  again->zucheWeb()->loadRequest(platform::ui::WebRequest{CarRentalConfig::current().partnerSite() + "/html5/x.html"});
  ASSERT_TRUE(pump([&] { return inspector().topAlert() != nullptr; }, 5));
  ASSERT_TRUE(inspector().answerAlert("确定").isOk());
  RunLoop::main().advance(1);
  EXPECT_EQ(top(), again);
}

}  // namespace
}  // namespace nvx
