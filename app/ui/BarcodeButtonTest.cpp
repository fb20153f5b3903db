#include "app/ui/BarcodeButton.h"

#include <gtest/gtest.h>

#include "core/shell/AppServices.h"
#include "app/ui/testing/BarcodeTestFrame.h"
#include "net/testing/MainApiTestFixture.h"
#include "platform/device/Device.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/Camera.h"
#include "platform/ui/Application.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::RunLoop;
using platform::media::Camera;
using platform::ui::Inspector;
using platform::ui::ViewController;
using ZXing::BarcodeFormat;

class BarcodeButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The application's window and navigation stack; its root screen stands for the utility-bill
    // form with the camera button.
    services = std::make_shared<testing::AppWindowServices>();
    AppServices::install(services);
    button = BarcodeButton::barcodeButtonWithOrigin(platform::ui::Point{270, 10},
                                                    [this](std::optional<std::string> text) { texts.push_back(text); });
    services->screen->view()->addSubview(button);
  }
  void TearDown() override { AppServices::install(nullptr); }

  void settle() { RunLoop::main().advance(ViewController::kTransitionSeconds); }
  std::shared_ptr<ViewController> top() const { return services->navigation->topViewController(); }
  static void see(const platform::media::CameraFrame& frame) { ASSERT_TRUE(Camera::shared().show(frame).isOk()); }

  std::shared_ptr<testing::AppWindowServices> services;
  std::shared_ptr<BarcodeButton> button;
  std::vector<std::optional<std::string>> texts;
};

TEST_F(BarcodeButtonTest, SizesItselfToItsPictures) {
  EXPECT_EQ(button->frame(), (platform::ui::Rect{270, 10, 30, 30}));
  ASSERT_TRUE(button->image(platform::ui::ControlState::Normal).has_value());
  EXPECT_EQ(button->image(platform::ui::ControlState::Normal)->name, "camera.png");
  EXPECT_EQ(button->image(platform::ui::ControlState::Highlighted)->name, "camera-down.png");
  EXPECT_EQ(button->barReader(), nullptr) << "the reader is made at the first tap";
}

TEST_F(BarcodeButtonTest, WithoutACameraTheTapSaysSo) {
  Camera::shared().setAvailable(false);
  ASSERT_TRUE(Inspector().tapControl(*button).isOk());
  auto alert = Inspector().topAlert();
  ASSERT_NE(alert, nullptr);
  EXPECT_EQ(alert->title(), "");
  EXPECT_EQ(alert->message(), "您的设备没有摄像头");
  ASSERT_EQ(alert->numberOfButtons(), 1);
  EXPECT_EQ(alert->buttonTitleAtIndex(0), "确定");
  EXPECT_EQ(top(), services->screen);
  EXPECT_EQ(button->barReader(), nullptr);
  ASSERT_TRUE(Inspector().answerAlert("确定").isOk());
  EXPECT_EQ(top(), services->screen);
}

TEST_F(BarcodeButtonTest, ScanPushesTheReaderAndHandsBackTheFirstCode128Read) {
  platform::ui::Application::shared().setStatusBarHidden(true);
  ASSERT_TRUE(Inspector().tapControl(*button).isOk());
  auto reader = button->barReader();
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ(top(), reader) << "pushed on the application's stack";
  EXPECT_TRUE(services->navigation->lastTransitionAnimated());
  EXPECT_EQ(services->screen->presentedViewController(), nullptr) << "not presented modally";
  EXPECT_EQ(reader->title(), "扫描条形码");
  EXPECT_FALSE(platform::ui::Application::shared().isStatusBarHidden());
  EXPECT_EQ(reader->supportedOrientationsMask(), 6);
  EXPECT_FALSE(reader->showsZBarControls());
  EXPECT_EQ(Inspector().byText("取消"), nullptr) << "zbar's own controls are hidden";
  ASSERT_NE(Inspector().byText("请将条形码置于取景框内"), nullptr);
  settle();

  see(testing::barcodeFrame(BarcodeFormat::ITF, "12345678"));
  see(testing::blankFrame());
  EXPECT_TRUE(texts.empty()) << "Interleaved 2 of 5 is switched off";
  EXPECT_EQ(top(), reader);

  see(testing::barcodeFrame(BarcodeFormat::Code128, "0571202306010042"));
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], "0571202306010042");
  see(testing::barcodeFrame(BarcodeFormat::Code128, "999"));   // while the reader leaves
  settle();
  EXPECT_EQ(top(), services->screen);
  EXPECT_EQ(texts.size(), 1u) << "one reading, one completion";
  EXPECT_FALSE(Camera::shared().isCapturing());
}

TEST_F(BarcodeButtonTest, BackReturnsToTheFormWithoutAText) {
  ASSERT_TRUE(Inspector().tapControl(*button).isOk());
  settle();
  auto reader = button->barReader();
  auto back = std::dynamic_pointer_cast<platform::ui::Control>(reader->navigationItem().leftBarButtonItem()->customView());
  ASSERT_NE(back, nullptr);
  EXPECT_TRUE(back->isExclusiveTouch());
  ASSERT_TRUE(Inspector().tapControl(*back).isOk());
  settle();
  EXPECT_EQ(top(), services->screen);
  see(testing::barcodeFrame(BarcodeFormat::Code128, "0571"));
  EXPECT_TRUE(texts.empty());

  // The same reader serves the next scan.
  ASSERT_TRUE(Inspector().tapControl(*button).isOk());
  settle();
  EXPECT_EQ(button->barReader(), reader);
  EXPECT_EQ(top(), reader);
  see(testing::barcodeFrame(BarcodeFormat::Code128, "0571"));
  EXPECT_EQ(texts, (std::vector<std::optional<std::string>>{"0571"}));
}

TEST_F(BarcodeButtonTest, OverlayLabelStaysAtItsPointOnEveryScreen) {
  for (double height : {480.0, 568.0}) {
    platform::Device::screen().bounds = platform::ScreenSize{320, height};
    auto overlay = button->customCamerOverlayView();
    EXPECT_EQ(overlay->frame(), (platform::ui::Rect{0, 0, 320, height - 44}));
    EXPECT_EQ(overlay->backgroundColor(), platform::ui::Color::clear());
    std::shared_ptr<platform::ui::Label> label;
    for (const auto& v : overlay->subviews()) {
      if (auto l = std::dynamic_pointer_cast<platform::ui::Label>(v)) label = l;
    }
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->center(), (platform::ui::Point{160, 330})) << "screen height " << height;
    EXPECT_EQ(label->frame().width, 320);
    EXPECT_EQ(label->frame().height, 21);
    EXPECT_EQ(label->text(), "请将条形码置于取景框内");
    EXPECT_EQ(label->textColor(), platform::ui::Color::white());
    EXPECT_EQ(label->font(), platform::ui::Font::boldSystem(21));
    EXPECT_EQ(label->textAlignment(), platform::ui::TextAlignment::Center);
  }
}

TEST_F(BarcodeButtonTest, AReadingWithoutSymbolsHandsOverNoText) {
  ASSERT_TRUE(Inspector().tapControl(*button).isOk());
  settle();
  button->imagePickerControllerDidFinishPickingMediaWithInfo(*button->barReader(), platform::ui::MediaInfo{});
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], std::nullopt);
}

TEST_F(BarcodeButtonTest, AReaderOutlivingItsButtonCallsNobody) {
  ASSERT_TRUE(Inspector().tapControl(*button).isOk());
  settle();
  auto reader = button->barReader();
  button->removeFromSuperview();
  button.reset();
  see(testing::barcodeFrame(BarcodeFormat::Code128, "0571"));
  EXPECT_TRUE(texts.empty());
  EXPECT_EQ(top(), reader);
}

}  // namespace
}  // namespace nvx
