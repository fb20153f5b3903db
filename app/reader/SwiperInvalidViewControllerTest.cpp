#include "app/reader/SwiperInvalidViewController.h"

#include <gtest/gtest.h>

#include "core/shell/ScreenRegistry.h"
#include "app/ui/NVXBaseViewController.h"
#include "app/ui/testing/TestPictureBundle.h"
#include "net/testing/MainApiTestFixture.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/net/testing/HeldPorts.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Label.h"
#include "reader/DHSwiperController.h"
#include "reader/SwiperDriverFactory.h"
#include "app/reader/ReaderScreens.h"
#include "app/reader/SwiperCardHelpViewController.h"

namespace nvx::reader {
namespace {

using platform::ui::IndexPath;
using platform::ui::Rect;
using Names = std::vector<std::string>;

// A driver that does nothing: the chooser only switches models.
class QuietDriver : public CTSwiperController {
 public:
  void startCSwiper() override {}
  void stopCSwiper() override {}
  void deleteCSwiper() override {}
  void getCSwiperKsn() override {}
  int32_t getCSwiperState() const override { return 0; }
  bool isDevicePresent() const override { return false; }
};

// The business screen that ran the reader gate.
class PayScreen : public NVXBaseViewController {
 public:
  std::string className() const override { return "PayScreen"; }
  void theNextStep() override { ++nextSteps; }
  int nextSteps = 0;
};

class HubServices : public testing::AppWindowServices {
 public:
  std::shared_ptr<DHSwiperController> swiper() override { return hub; }
  std::shared_ptr<DHSwiperController> hub;
};

class ChooserTest : public testing::MainApiTestFixture {
 protected:
  void SetUp() override {
    MainApiTestFixture::SetUp();
    pictures_.emplace(std::vector<std::string>{"swiper_expand_up.png", "swiper_expand_down.png", "swiper_image.png"});
    readerPorts_.publish();
    for (const char* id : {"0001", "0002", "0003", "0004", "0005", "0006", "0008"}) {
      SwiperDriverFactory::shared().add(id, [] { return std::make_shared<QuietDriver>(); });
    }
    hubServices = std::make_shared<HubServices>();
    services = hubServices;
    AppServices::install(hubServices);
    hubServices->hub = DHSwiperController::create();
    ui::registerScreens();
  }

  void TearDown() override {
    hubServices->hub.reset();
    MainApiTestFixture::TearDown();
  }

  // The hub opens the chooser for the gate's screen, as after a reader without a serial number.
  std::shared_ptr<SwiperInvalidViewController> open(std::initializer_list<const char*> ids) {
    pay = std::make_shared<PayScreen>();
    services->navigation->push(pay, false);
    hub().setNextStepTarget(pay);
    std::vector<Unit> units;
    for (const char* id : ids) {
      Unit u;
      u.setUnitid(std::string(id));
      u.setUnitname(std::string("型号") + id);
      units.push_back(u);
    }
    hub().showUnitListView(units);
    platform::RunLoop::main().advance(1.0);   // the push's animation
    return std::dynamic_pointer_cast<SwiperInvalidViewController>(services->navigation->topViewController());
  }

  DHSwiperController& hub() { return *hubServices->hub; }

  // Row texts of a section, a "✓" after the checked ones.
  Names rows(SwiperInvalidViewController& chooser, int section) {
    Names out;
    auto& table = *chooser.tableView();
    for (int row = 0; row < table.numberOfRows(section); ++row) {
      auto cell = table.cellForRow(IndexPath{section, row});
      std::string text = cell->textLabelIfMade() ? cell->textLabelIfMade()->text() : "";
      if (cell->accessoryType() == platform::ui::TableViewCellAccessoryType::Checkmark) text += " ✓";
      out.push_back(text);
    }
    return out;
  }

  std::shared_ptr<platform::ui::Button> toggle(SwiperInvalidViewController& chooser) {
    return std::dynamic_pointer_cast<platform::ui::Button>(
        chooser.tableView()->cellForRow(IndexPath{UnitChooserModel::kOtherSection, 0})->accessoryView());
  }

  // After the fixture has read the project files through the real bundle.
  std::optional<testing::TestPictureBundle> pictures_;
  // The box's ports, held for the test (the box detector listens from the hub's creation).
  platform::net::testing::HeldReaderPorts readerPorts_;
  std::shared_ptr<HubServices> hubServices;
  std::shared_ptr<PayScreen> pay;
  platform::ui::Inspector inspector;
};

TEST_F(ChooserTest, ListsTheModelsTheBoxOnlyWhileItIsThere) {
  auto chooser = open({"0001", "0004", "0002", "0007", "0003", "0008"});
  ASSERT_TRUE(chooser);
  EXPECT_EQ(chooser->title(), "设置");
  EXPECT_EQ(chooser->tableView()->frame(), (Rect{0, 0, 320, 568 - 64}));
  EXPECT_EQ(chooser->tableView()->style(), platform::ui::TableViewStyle::Grouped);
  EXPECT_TRUE(inspector.byText("设置插上的刷卡器型号"));
  EXPECT_EQ(rows(*chooser, 0), (Names{"型号0001", "型号0002", "型号0003"}));
  EXPECT_EQ(rows(*chooser, 1), Names{"其他设备"});
  EXPECT_EQ(chooser->tableView()->numberOfRows(2), 1);
  auto picture = chooser->tableView()->cellForRow(IndexPath{2, 0})->viewWithTag(9999);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->frame(), (Rect{66, 36, 168, 60}));

  auto button = toggle(*chooser);
  ASSERT_TRUE(button);
  EXPECT_EQ(button->frame().size(), (platform::ui::Size{24, 24}));
  EXPECT_EQ(button->backgroundImage(platform::ui::ControlState::Normal)->name, "swiper_expand_down.png");
  ASSERT_TRUE(inspector.tapControl(*button).isOk());
  EXPECT_EQ(rows(*chooser, 1), (Names{"其他设备", "型号0004", "型号0008"}));
  EXPECT_EQ(toggle(*chooser)->backgroundImage(platform::ui::ControlState::Normal)->name, "swiper_expand_up.png");

  auto& detector = TaviDetector::sharedDetector();
  detector.performConnected();
  EXPECT_EQ(rows(*chooser, 1), (Names{"其他设备", "型号0004", "型号0008", "型号0007"}));
  detector.performDisConnected();
  EXPECT_EQ(rows(*chooser, 1), (Names{"其他设备", "型号0004", "型号0008"}));

  ASSERT_TRUE(inspector.tapControl(*toggle(*chooser)).isOk());
  EXPECT_EQ(rows(*chooser, 1), Names{"其他设备"});

  // Opened while the box is there: it is listed from the start.
  services->navigation->pop(false);
  detector.performConnected();
  auto again = open({"0001", "0007"});
  ASSERT_TRUE(inspector.tapControl(*toggle(*again)).isOk());
  EXPECT_EQ(rows(*again, 1), (Names{"其他设备", "型号0007"}));
}

TEST_F(ChooserTest, TheChoiceIsMarkedAndSavedAndThePaymentCarriesOn) {
  platform::UserDefaults::standard().set("unitid", "0003");
  auto chooser = open({"0001", "0002", "0003", "0004"});
  ASSERT_TRUE(chooser);
  EXPECT_EQ(rows(*chooser, 0), (Names{"型号0001", "型号0002", "型号0003 ✓"}));
  EXPECT_TRUE(chooser->saveButton()->isEnabled());

  // The header row and the picture choose nothing.
  ASSERT_TRUE(inspector.tapCell(1, 0).isOk());
  ASSERT_TRUE(inspector.tapCell(2, 0).isOk());
  EXPECT_EQ(chooser->model().currentUnit(), "0003");

  ASSERT_TRUE(inspector.tapControl(*toggle(*chooser)).isOk());
  ASSERT_TRUE(inspector.tapCellWithText("型号0004").isOk());
  EXPECT_EQ(chooser->model().currentUnit(), "0004");
  EXPECT_EQ(rows(*chooser, 0), (Names{"型号0001", "型号0002", "型号0003"}));
  EXPECT_EQ(rows(*chooser, 1), (Names{"其他设备", "型号0004 ✓"}));

  std::weak_ptr<SwiperInvalidViewController> weak = chooser;
  chooser.reset();
  ASSERT_TRUE(inspector.tap("保存").isOk());
  platform::RunLoop::main().advance(1.0);
  EXPECT_EQ(services->navigation->topViewController(), pay);
  EXPECT_TRUE(weak.expired());
  EXPECT_EQ(hub().defaultUnitid(), "0004");
  EXPECT_TRUE(hub().swiper());
  EXPECT_EQ(platform::UserDefaults::standard().string("unitid"), "0004");
  EXPECT_EQ(pay->nextSteps, 1);
}

TEST_F(ChooserTest, NoChoiceNoSave) {
  auto chooser = open({"0001", "0002"});
  ASSERT_TRUE(chooser);
  EXPECT_EQ(rows(*chooser, 0), (Names{"型号0001", "型号0002"}));
  EXPECT_FALSE(chooser->saveButton()->isEnabled());
  EXPECT_FALSE(inspector.tap("保存").isOk());
  ASSERT_TRUE(inspector.tapCell(0, 1).isOk());
  EXPECT_TRUE(chooser->saveButton()->isEnabled());

  // The footer: the service's number and the big button centred at (160, 40).
  auto note = std::dynamic_pointer_cast<platform::ui::Label>(inspector.containingText("*如有疑问,请联系诺维萨客服:"));
  ASSERT_TRUE(note);
  EXPECT_EQ(note->text(), "*如有疑问,请联系诺维萨客服:400-000-0000");
  EXPECT_EQ(note->frame(), (Rect{10, -12, 310, 30}));
  EXPECT_EQ(chooser->saveButton()->center(), (platform::ui::Point{160, 40}));
  EXPECT_TRUE(chooser->saveButton()->isExclusiveTouch());
}

TEST_F(ChooserTest, AnEmptyListStillOpensTheChooser) {
  auto chooser = open({});
  ASSERT_TRUE(chooser);
  EXPECT_EQ(chooser->tableView()->numberOfRows(0), 0);
  EXPECT_EQ(rows(*chooser, 1), Names{"其他设备"});
}

// --- the reader help page ---

TEST_F(ChooserTest, TheHelpPageShowsTheServiceDescription) {
  server->script("getBusiDesc", standin::MainApiStandin::Scripted::success(
                                    platform::Json::array({{{"aContent", "<title>帮助</title><p>请将刷卡器插入耳机孔</p>"}}})));
  auto help = ScreenRegistry::shared().create("SwiperCardHelpViewController");
  auto screen = std::dynamic_pointer_cast<SwiperCardHelpViewController>(help);
  ASSERT_TRUE(screen);
  services->navigation->push(screen, false);
  EXPECT_EQ(screen->title(), "刷卡器使用帮助");
  auto web = screen->webView();
  EXPECT_EQ(web->frame(), screen->view()->bounds());
  EXPECT_TRUE(web->scalesPageToFit());
  EXPECT_FALSE(web->isOpaque());
  EXPECT_EQ(web->dataDetectorTypes(), platform::ui::WebDataDetector::None);
  EXPECT_EQ(web->contentStretch(), (Rect{-50, 0, 420, 568 - 64}));
  ASSERT_TRUE(await([&] { return static_cast<bool>(web->hasPage()); }));
  EXPECT_EQ(web->pageText(), "请将刷卡器插入耳机孔");
  auto verdict = server->lastVerdict("getBusiDesc");
  ASSERT_TRUE(verdict);
  EXPECT_TRUE(verdict->identityOk);
  auto request = server->http().lastRequest();
  EXPECT_NE(request->query.find("busId=B00001_1"), std::string::npos) << request->query;
}

TEST_F(ChooserTest, AHelpPagePoppedBeforeItsTextArrivesIsReleased) {
  auto late = standin::MainApiStandin::Scripted::success(platform::Json::array({{{"aContent", "<p>迟到</p>"}}}));
  late.held = true;
  server->script("getBusiDesc", late);
  std::weak_ptr<SwiperCardHelpViewController> weak;
  {
    auto screen = SwiperCardHelpViewController::create();
    weak = screen;
    services->navigation->push(screen, false);
    services->navigation->pop(false);
  }
  platform::RunLoop::main().runUntilIdle();
  EXPECT_TRUE(weak.expired());
  // The text comes only after the screen has gone.
  ASSERT_TRUE(await([&] { return server->http().heldCount() == 1; }));
  server->http().releaseHeld();
  ASSERT_TRUE(await([&] { return !indicatorShown(); }));
  EXPECT_EQ(services->navigation->topViewController(), services->screen);
}

}  // namespace
}  // namespace nvx::reader
