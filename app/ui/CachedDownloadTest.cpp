#include "app/ui/CachedDownload.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>

#include "core/session/AppDirs.h"
#include "core/crypto/Digest.h"
#include "platform/foundation/RunLoop.h"
#include "platform/net/HttpRequest.h"
#include "platform/net/testing/HeldPorts.h"
#include "standin/FileStandin.h"

namespace nvx {
namespace {

using platform::Path;
using platform::RunLoop;
namespace fs = platform::fs;

// What a block received, and whether it ran on the main thread.
struct Received {
  int calls = 0;
  std::optional<std::string> bytes;
  bool onMain = false;
  CachedDownload::Block block() {
    return [this](std::optional<std::string> b) {
      ++calls;
      bytes = std::move(b);
      onMain = RunLoop::main().isMainThread();
    };
  }
};

class CachedDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    picture_ = fs::read(platform::Sandbox::bundle() / "pictures" / "back_btn_normal.png").value_or("");
    ASSERT_FALSE(picture_.empty());
    files_.put("/logo.png", picture_);
    ASSERT_TRUE(files_.start().isOk());
  }

  // Downloads take real time on the loopback network; the virtual clock does not move meanwhile.
  bool await(const std::function<bool()>& done) {
    return RunLoop::main().drainIoUntil(done, std::chrono::milliseconds(5000));
  }

  std::string picture_;
  standin::FileStandin files_;
};

TEST_F(CachedDownloadTest, TheSecondDownloadIsServedFromTheFileWithoutARequest) {
  const std::string url = files_.urlOf("/logo.png");
  const Path file = Path(platform::Sandbox::tmp()) / "ImageCache" / md5Hex(url);
  EXPECT_EQ(CachedDownload::cacheFileName(url), md5Hex(url));
  EXPECT_EQ(CachedDownload::cacheFileName(url).size(), 32u);

  Received first;
  EXPECT_TRUE(CachedDownload::cacheQueueDownloadWithSaveName(url, md5Hex(url), "ImageCache", false, first.block()));
  ASSERT_TRUE(await([&] { return first.calls == 1; }));
  EXPECT_EQ(first.bytes, picture_);
  EXPECT_TRUE(first.onMain);
  EXPECT_EQ(fs::read(file), picture_);
  struct stat st{};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777u, 0600u);
  EXPECT_EQ(files_.hits("/logo.png"), 1u);

  // From the file: NO, the block still runs later on the main loop, the server sees nothing.
  Received second;
  EXPECT_FALSE(CachedDownload::cacheQueueDownloadWithSaveName(url, md5Hex(url), "ImageCache", false, second.block()));
  EXPECT_EQ(second.calls, 0);
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(second.calls, 1);
  EXPECT_EQ(second.bytes, picture_);
  EXPECT_EQ(files_.hits("/logo.png"), 1u);

  // The MD5-path form answers the file's path at once, for a file still to come as well.
  const std::string other = files_.urlOf("/other.png");
  files_.put("/other.png", "other bytes");
  Received third;
  const Path path = CachedDownload::urlMD5PathCacheQueueDownloadInAppSubDir(other, "mall_area_image", third.block());
  EXPECT_EQ(path, platform::Sandbox::tmp() / "mall_area_image" / md5Hex(other));
  ASSERT_TRUE(await([&] { return third.calls == 1; }));
  EXPECT_EQ(fs::read(path), "other bytes");
  EXPECT_EQ(CachedDownload::urlMD5PathCacheQueueDownloadInAppSubDir(url, "ImageCache", {}), file);
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(files_.totalHits(), 2u);
}

TEST_F(CachedDownloadTest, FailedDownloadsGiveNothingWriteNothingAndAreTriedAgain) {
  files_.put("/missing-page.png", picture_, 404);   // an error page that happens to be a picture
  files_.put("/error.png", "oops", 500);
  files_.put("/empty.png", "");
  struct Case {
    const char* what;
    std::string url;
  };
  const platform::net::testing::HeldPort refusing;  // nobody listens there for the test's life
  const Case cases[] = {
      {"not found", files_.urlOf("/nothing.png")},
      {"error page with a picture", files_.urlOf("/missing-page.png")},
      {"server error", files_.urlOf("/error.png")},
      {"empty body", files_.urlOf("/empty.png")},
      {"no server", platform::net::testing::refusedUrl(refusing, "/logo.png")},
      {"no address", "not a url"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (int attempt = 0; attempt < 2; ++attempt) {
      Received got;
      EXPECT_TRUE(CachedDownload::cacheQueueDownloadWithSaveName(c.url, "f", "fails", false, got.block()));
      ASSERT_TRUE(await([&] { return got.calls == 1; }));
      EXPECT_EQ(got.bytes, std::nullopt);
      EXPECT_FALSE(fs::exists(platform::Sandbox::tmp() / "fails" / "f"));
    }
  }
  EXPECT_EQ(files_.hits("/missing-page.png"), 2u);
  EXPECT_EQ(fs::list(platform::Sandbox::tmp() / "fails"), std::vector<std::string>{});
}

TEST_F(CachedDownloadTest, SaveNamesThatAreNoPlainFileNameAreRefused) {
  const std::string url = files_.urlOf("/logo.png");
  for (const char* name : {"", ".", "..", "../escaped.png", "a/b.png"}) {
    SCOPED_TRACE(name);
    Received got;
    EXPECT_FALSE(CachedDownload::cacheQueueDownloadWithSaveName(url, name, "names", false, got.block()));
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(got.calls, 1);
    EXPECT_EQ(got.bytes, std::nullopt);
  }
  EXPECT_EQ(files_.totalHits(), 0u);
  EXPECT_FALSE(fs::exists(platform::Sandbox::tmp() / "escaped.png"));
}

TEST_F(CachedDownloadTest, TheQueueFlagChoosesTheMainLoopOrTheSharedQueue) {
  // The request hook runs on the thread that starts the request: it tells where downloads run.
  std::atomic<int> onMain{0};
  std::atomic<int> offMain{0};
  platform::net::HttpRequest::addPreStartHook([&](platform::net::HttpRequest&) {
    (RunLoop::main().isMainThread() ? onMain : offMain)++;
  });
  const std::string url = files_.urlOf("/logo.png");

  Received current;
  EXPECT_TRUE(CachedDownload::cacheQueueDownloadWithSaveName(url, "a", "queues", true, current.block()));
  EXPECT_EQ(files_.hits("/logo.png"), 0u);   // queued on the main loop, not run inside the call
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(current.calls, 1);
  EXPECT_EQ(current.bytes, picture_);
  EXPECT_EQ(onMain.load(), 1);

  Received shared;
  EXPECT_TRUE(CachedDownload::cacheQueueDownloadWithSaveName(url, "b", "queues", false, shared.block()));
  ASSERT_TRUE(await([&] { return shared.calls == 1; }));
  EXPECT_TRUE(shared.onMain);
  EXPECT_EQ(offMain.load(), 1);

  // Without the cache: every call downloads, nothing is written.
  Received plain1, plain2;
  CachedDownload::cacheQueueDownloadInCurrentQueue(url, true, plain1.block());
  CachedDownload::cacheQueueDownloadInCurrentQueue(url, false, plain2.block());
  ASSERT_TRUE(await([&] { return plain1.calls == 1 && plain2.calls == 1; }));
  EXPECT_EQ(plain1.bytes, picture_);
  EXPECT_EQ(plain2.bytes, picture_);
  EXPECT_EQ(onMain.load(), 2);
  EXPECT_EQ(offMain.load(), 2);
  EXPECT_EQ(files_.hits("/logo.png"), 4u);
  EXPECT_EQ(fs::list(platform::Sandbox::tmp() / "queues"), (std::vector<std::string>{"a", "b"}));
}

TEST_F(CachedDownloadTest, DownloadsOfOneAddressAtOnceLeaveOneWholeFile) {
  const std::string url = files_.urlOf("/logo.png");
  std::vector<Received> got(6);
  for (auto& r : got) CachedDownload::urlMD5PathCacheQueueDownloadInAppSubDir(url, "ImageCache", r.block());
  ASSERT_TRUE(await([&] {
    for (const auto& r : got) {
      if (r.calls != 1) return false;
    }
    return true;
  }));
  for (const auto& r : got) EXPECT_EQ(r.bytes, picture_);
  EXPECT_EQ(fs::list(platform::Sandbox::tmp() / "ImageCache"), std::vector<std::string>{md5Hex(url)});
  EXPECT_EQ(AppDirs::localCacheImageData(md5Hex(url)), picture_);
}

TEST_F(CachedDownloadTest, ImageViewsShowTheDownloadedPictureOrNone) {
  const std::string url = files_.urlOf("/logo.png");
  auto view = platform::ui::ImageView::create(platform::ui::Rect{0, 0, 60, 30});
  CachedDownload::loadImageWithDownloadUrl(view, url);
  ASSERT_TRUE(await([&] { return view->image().has_value(); }));
  EXPECT_EQ(view->image()->size, (platform::ui::Size{60, 30}));
  EXPECT_EQ(AppDirs::localCacheImageData(md5Hex(url)), picture_);

  // From the cache into another view, on the main loop.
  auto again = platform::ui::ImageView::create();
  CachedDownload::loadImageWithDownloadUrl(again, url, true);
  RunLoop::main().runUntilIdle();
  ASSERT_TRUE(again->image());
  EXPECT_EQ(files_.hits("/logo.png"), 1u);

  // Bytes that are no picture clear the picture shown; so does a failed download.
  files_.put("/text.png", "just text");
  CachedDownload::loadImageWithDownloadUrl(again, files_.urlOf("/text.png"), "mall_area_image", false);
  ASSERT_TRUE(await([&] { return !again->image(); }));
  EXPECT_EQ(fs::read(platform::Sandbox::tmp() / "mall_area_image" / md5Hex(files_.urlOf("/text.png"))), "just text");
  view->setImage(platform::ui::Image::named("add.png"));
  CachedDownload::loadImageWithDownloadUrl(view, files_.urlOf("/gone.png"), false);
  ASSERT_TRUE(await([&] { return !view->image(); }));

  // A view that is gone before the bytes arrive is left alone.
  auto gone = platform::ui::ImageView::create();
  CachedDownload::loadImageWithDownloadUrl(gone, files_.urlOf("/other.png"));
  gone.reset();
  ASSERT_TRUE(await([&] { return files_.hits("/other.png") == 1; }));
  RunLoop::main().runUntilIdle();
}

}  // namespace
}  // namespace nvx
