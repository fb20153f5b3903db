#include "app/ui/ZBarImageScanner.h"

#include <gtest/gtest.h>

#include "app/ui/testing/BarcodeTestFrame.h"

namespace nvx {
namespace {

using ZXing::BarcodeFormat;
using testing::barcodeFrame;

struct ScanCase {
  const char* what;
  platform::media::CameraFrame frame;
  bool i25Off;
  std::vector<std::string> texts;
};

TEST(ZBarImageScanner, ReadsWhatAnotherLibraryDrew) {
  const std::vector<ScanCase> cases = {
      {"Code 128 bill number", barcodeFrame(BarcodeFormat::Code128, "0571202306010042"), false, {"0571202306010042"}},
      {"Code 128 with letters", barcodeFrame(BarcodeFormat::Code128, "NVX-bill 7"), true, {"NVX-bill 7"}},
      {"Interleaved 2 of 5 by default", barcodeFrame(BarcodeFormat::ITF, "12345678"), false, {"12345678"}},
      {"Interleaved 2 of 5 switched off", barcodeFrame(BarcodeFormat::ITF, "12345678"), true, {}},
      {"nothing", testing::blankFrame(), false, {}},
  };
  for (const ScanCase& c : cases) {
    ZBarImageScanner scanner;
    if (c.i25Off) {
      ASSERT_TRUE(scanner.setSymbology(ZBarImageScanner::kSymbologyI25, ZBarImageScanner::kConfigEnable, 0));
    }
    std::vector<std::string> texts;
    for (const ZBarSymbol& s : scanner.scanImage(c.frame)) texts.push_back(s.data);
    EXPECT_EQ(texts, c.texts) << c.what;
  }
}

TEST(ZBarImageScanner, TellsTheSymbologyAndReadsTheSameFrameAgain) {
  ZBarImageScanner scanner;
  auto frame = barcodeFrame(BarcodeFormat::Code128, "A1");
  for (int pass = 0; pass < 2; ++pass) {
    ZBarSymbolSet symbols = scanner.scanImage(frame);
    ASSERT_EQ(symbols.size(), 1u) << "pass " << pass;
    EXPECT_EQ(symbols[0].type, ZBarImageScanner::kSymbologyCode128);
    EXPECT_EQ(symbols[0].typeName, "CODE-128");
  }
}

TEST(ZBarImageScanner, MalformedFramesGiveNothing) {
  ZBarImageScanner scanner;
  platform::media::CameraFrame bad = barcodeFrame(BarcodeFormat::Code128, "A1");
  bad.rgba.resize(bad.rgba.size() / 2);
  EXPECT_TRUE(scanner.scanImage(bad).empty());
  EXPECT_TRUE(scanner.scanImage(platform::media::CameraFrame{}).empty());
}

}  // namespace
}  // namespace nvx
