#include "app/ui/ZBarReaderViewController.h"

#include <gtest/gtest.h>

#include "app/ui/testing/BarcodeTestFrame.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/Camera.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::RunLoop;
using platform::media::Camera;
using platform::ui::Inspector;
using platform::ui::ViewController;

class Host : public ViewController {
 public:
  std::string className() const override { return "Host"; }
};

class Reads : public ZBarReaderDelegate {
 public:
  void imagePickerControllerDidFinishPickingMediaWithInfo(ZBarReaderViewController&,
                                                           const platform::ui::MediaInfo& info) override {
    const auto* symbols = info.get<ZBarSymbolSet>(ZBarReaderViewController::kResultsKey);
    texts.push_back(symbols && !symbols->empty() ? symbols->front().data : "<none>");
    withPicture.push_back(info.image(platform::ui::MediaInfo::kOriginalImage).has_value());
  }
  std::vector<std::string> texts;
  std::vector<bool> withPicture;
};

class ZBarReaderViewControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = platform::ui::Window::create();
    host = std::make_shared<Host>();
    window->setRootViewController(host);
    window->makeKeyAndVisible();
    reader = ZBarReaderViewController::create();
    reads = std::make_shared<Reads>();
    reader->setReaderDelegate(reads);
  }
  void settle() { RunLoop::main().advance(ViewController::kTransitionSeconds); }

  std::shared_ptr<platform::ui::Window> window;
  std::shared_ptr<Host> host;
  std::shared_ptr<ZBarReaderViewController> reader;
  std::shared_ptr<Reads> reads;
};

TEST_F(ZBarReaderViewControllerTest, ScansOnlyWhileOnScreen) {
  ASSERT_TRUE(Camera::shared().show(testing::barcodeFrame(ZXing::BarcodeFormat::Code128, "early")).isOk());
  EXPECT_FALSE(reader->isScanning());
  host->presentModal(reader, true);
  EXPECT_TRUE(reader->isScanning());
  ASSERT_TRUE(Camera::shared().show(testing::barcodeFrame(ZXing::BarcodeFormat::Code128, "A-42")).isOk());
  EXPECT_EQ(reads->texts, std::vector<std::string>{"A-42"});
  EXPECT_EQ(reads->withPicture, std::vector<bool>{true}) << "the frame comes along as the original picture";

  reader->dismissModal(true);
  EXPECT_FALSE(reader->isScanning()) << "the capture stops as soon as the reader starts to leave";
  ASSERT_TRUE(Camera::shared().show(testing::barcodeFrame(ZXing::BarcodeFormat::Code128, "late")).isOk());
  EXPECT_EQ(reads->texts.size(), 1u);
}

TEST_F(ZBarReaderViewControllerTest, OwnCancelControlTakesTheReaderAway) {
  host->presentModal(reader, true);
  settle();
  ASSERT_TRUE(Inspector().tap(ZBarReaderViewController::kCancelTitle).isOk());
  settle();
  EXPECT_EQ(host->presentedViewController(), nullptr);
  EXPECT_TRUE(reads->texts.empty());

  auto quiet = ZBarReaderViewController::create();
  quiet->setShowsZBarControls(false);
  host->presentModal(quiet, true);
  settle();
  EXPECT_EQ(Inspector().byText(ZBarReaderViewController::kCancelTitle), nullptr);
}

TEST_F(ZBarReaderViewControllerTest, TurnsOnlyToTheOrientationsOfItsMask) {
  using platform::ui::Orientation;
  using platform::ui::OrientationMask::Portrait;
  using platform::ui::OrientationMask::PortraitUpsideDown;
  reader->setSupportedOrientationsMask(Portrait | PortraitUpsideDown);
  EXPECT_EQ(reader->supportedOrientations(), 6);
  EXPECT_TRUE(reader->shouldAutorotateTo(Orientation::Portrait));
  EXPECT_TRUE(reader->shouldAutorotateTo(Orientation::PortraitUpsideDown));
  EXPECT_FALSE(reader->shouldAutorotateTo(Orientation::LandscapeLeft));
  EXPECT_FALSE(reader->shouldAutorotateTo(Orientation::LandscapeRight));
}

}  // namespace
}  // namespace nvx
