#include "app/ui/AsynImageView.h"

#include <gtest/gtest.h>

#include "core/session/AppDirs.h"
#include "core/crypto/Digest.h"
#include "platform/foundation/RunLoop.h"
#include "platform/net/testing/HeldPorts.h"
#include "standin/FileStandin.h"

namespace nvx {
namespace {

using namespace std::chrono_literals;
using platform::RunLoop;
using platform::ui::Image;
using platform::ui::Rect;
using platform::ui::Size;
namespace fs = platform::fs;

struct RecordingDelegate : AsynImageViewDelegate {
  std::vector<std::string> events;
  std::optional<Image> image;
  void AsynImageViewDidStart(AsynImageView&) override { events.push_back("start"); }
  void AsynImageViewDidFinished(AsynImageView&, const std::optional<Image>& picture) override {
    events.push_back(picture ? "finished" : "finished without picture");
    image = picture;
  }
  void AsynImageViewDidFailed(AsynImageView&) override { events.push_back("failed"); }
};

class AsynImageViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    picture_ = fs::read(platform::Sandbox::bundle() / "pictures" / "back_btn_normal.png").value_or("");
    ASSERT_FALSE(picture_.empty());
    files_.put("/logo.png", picture_);
    files_.put("/second.png", picture_);
    files_.put("/text.png", "no picture");
    files_.put("/missing.png", picture_, 404);
    ASSERT_TRUE(files_.start().isOk());
  }

  bool await(const std::function<bool()>& done) { return RunLoop::main().drainIoUntil(done, 5000ms); }
  // Holds the server's replies until the request for path has arrived.
  void holdUntilAtServer(std::string_view path, size_t hits = 1) {
    EXPECT_TRUE(await([&] { return files_.hits(path) >= hits; }));
  }
  // Lets the held replies go and gives them time to come back.
  void releaseAndSettle() {
    files_.release();
    RunLoop::main().drainIo(200ms);
  }

  std::string picture_;
  standin::FileStandin files_;
};

TEST_F(AsynImageViewTest, CachedViewsStoreThePictureAndLoadItOnlyOnce) {
  const std::string url = files_.urlOf("/logo.png");
  auto first = AsynImageView::create(Rect{0, 0, 60, 30});
  EXPECT_TRUE(first->isCached());
  EXPECT_EQ(first->kind(), "AsynImageView");
  first->setImageUrl(url);
  EXPECT_EQ(first->urlString(), url);
  EXPECT_TRUE(first->imageRequest());
  ASSERT_TRUE(await([&] { return first->image().has_value(); }));
  EXPECT_EQ(first->image()->size, (Size{60, 30}));
  EXPECT_FALSE(first->imageRequest());
  EXPECT_EQ(AppDirs::localCacheImageData(md5Hex(url)), picture_);

  // A second view of the same address: from the cache, no request.
  auto second = AsynImageView::create(Rect{0, 0, 60, 30});
  second->setImageUrl(url);
  EXPECT_FALSE(second->imageRequest());
  EXPECT_FALSE(second->image());   // arrives on the loop, as a reply would
  RunLoop::main().runUntilIdle();
  ASSERT_TRUE(second->image());
  EXPECT_EQ(second->image()->size, (Size{60, 30}));
  EXPECT_EQ(files_.hits("/logo.png"), 1u);
}

TEST_F(AsynImageViewTest, CachedViewsFallBackToTheDefaultPictureAndStoreOnlySuccessfulReplies) {
  struct Case {
    const char* what;
    std::string url;
    std::string defaultName;
    std::optional<std::string> shownAfter;   // picture name, "" = the one shown before
  };
  const platform::net::testing::HeldPort refusing;  // nobody listens there for the test's life
  const std::string noServer = platform::net::testing::refusedUrl(refusing, "/x.png");
  const Case cases[] = {
      {"no picture in the reply", files_.urlOf("/text.png"), "add.png", "add.png"},
      {"no picture and no default: unchanged", files_.urlOf("/text.png"), "", ""},
      {"error page", files_.urlOf("/nothing.png"), "add.png", "add.png"},
      {"no server", noServer, "add.png", "add.png"},
      {"no server and no default: unchanged", noServer, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto view = AsynImageView::create(Rect{0, 0, 30, 30});
    view->setImage(Image::named("top_bg.png"));
    view->setDefaultImageName(c.defaultName);
    view->setImageUrl(c.url);
    ASSERT_TRUE(await([&] { return !view->imageRequest(); }));
    ASSERT_TRUE(view->image());
    EXPECT_EQ(view->image()->name, c.shownAfter->empty() ? "top_bg.png" : *c.shownAfter);
  }

  // Any reply finishes the download: an error page that holds a picture is shown, but only the
  // 2xx reply is stored.
  auto view = AsynImageView::create(Rect{0, 0, 60, 30});
  view->setImageUrl(files_.urlOf("/missing.png"));
  ASSERT_TRUE(await([&] { return view->image().has_value(); }));
  EXPECT_EQ(view->image()->size, (Size{60, 30}));
  EXPECT_EQ(fs::list(AppDirs::localCacheImageDir()), std::vector<std::string>{md5Hex(files_.urlOf("/text.png"))});
  view->setImageUrl(files_.urlOf("/missing.png"));
  ASSERT_TRUE(await([&] { return !view->imageRequest(); }));
  EXPECT_EQ(files_.hits("/missing.png"), 2u);
}

TEST_F(AsynImageViewTest, UncachedViewsTellTheirDelegateAndNeverTouchTheCache) {
  auto delegate = std::make_shared<RecordingDelegate>();
  auto view = AsynImageView::create(Rect{0, 0, 60, 30}, false);
  view->setDelegate(delegate);
  EXPECT_FALSE(view->isCached());

  view->setImageUrl(files_.urlOf("/logo.png"));
  ASSERT_TRUE(await([&] { return delegate->events.size() == 2; }));
  EXPECT_EQ(delegate->events, (std::vector<std::string>{"start", "finished"}));
  ASSERT_TRUE(delegate->image);
  EXPECT_EQ(delegate->image->size, (Size{60, 30}));
  EXPECT_FALSE(view->image());   // the delegate shows it, not the view

  delegate->events.clear();
  view->setImageUrl(files_.urlOf("/logo.png"));   // every time over the network
  view->setDefaultImageName("add.png");
  ASSERT_TRUE(await([&] { return delegate->events.size() == 2; }));
  EXPECT_EQ(files_.hits("/logo.png"), 2u);

  delegate->events.clear();
  view->setImageUrl(files_.urlOf("/text.png"));
  ASSERT_TRUE(await([&] { return delegate->events.size() == 2; }));
  EXPECT_EQ(delegate->events, (std::vector<std::string>{"start", "finished without picture"}));

  delegate->events.clear();
  const platform::net::testing::HeldPort refusing;
  view->setImageUrl(platform::net::testing::refusedUrl(refusing, "/x.png"));
  ASSERT_TRUE(await([&] { return delegate->events.size() == 2; }));
  EXPECT_EQ(delegate->events, (std::vector<std::string>{"start", "failed"}));
  EXPECT_FALSE(view->image());
  EXPECT_TRUE(fs::list(AppDirs::localCacheImageDir()).empty());

  // A delegate that is gone is simply not told.
  delegate.reset();
  view->setImageUrl(files_.urlOf("/logo.png"));
  ASSERT_TRUE(await([&] { return !view->imageRequest(); }));
}

TEST_F(AsynImageViewTest, AViewThatCannotBeRefreshedKeepsItsFirstAddressButStopsItsDownload) {
  auto delegate = std::make_shared<RecordingDelegate>();
  auto view = AsynImageView::create(Rect{0, 0, 60, 30}, false);
  view->setDelegate(delegate);
  view->setCanBeRefreshed(false);

  files_.hold();
  view->setImageUrl(files_.urlOf("/logo.png"));
  holdUntilAtServer("/logo.png");
  view->setImageUrl(files_.urlOf("/second.png"));
  EXPECT_EQ(view->urlString(), files_.urlOf("/logo.png"));
  EXPECT_FALSE(view->imageRequest());
  releaseAndSettle();
  EXPECT_EQ(delegate->events, std::vector<std::string>{"start"});   // the reply never reaches the view
  EXPECT_EQ(files_.hits("/second.png"), 0u);

  // A refreshable view takes a new address; an empty one only stops the download.
  view->setCanBeRefreshed(true);
  delegate->events.clear();
  files_.hold();
  view->setImageUrl(files_.urlOf("/second.png"));
  holdUntilAtServer("/second.png");
  view->setImageUrl("");
  EXPECT_EQ(view->urlString(), files_.urlOf("/second.png"));
  EXPECT_FALSE(view->imageRequest());
  releaseAndSettle();
  EXPECT_EQ(delegate->events, std::vector<std::string>{"start"});
}

TEST_F(AsynImageViewTest, CancelAndDestructionStopEverythingStillToCome) {
  // A cached view: cancel stops a network download and a delivery from the cache alike.
  auto view = AsynImageView::create(Rect{0, 0, 60, 30});
  files_.hold();
  view->setImageUrl(files_.urlOf("/logo.png"));
  holdUntilAtServer("/logo.png");
  view->cancel();
  EXPECT_FALSE(view->imageRequest());
  releaseAndSettle();
  EXPECT_FALSE(view->image());
  EXPECT_TRUE(fs::list(AppDirs::localCacheImageDir()).empty());

  ASSERT_TRUE(fs::writeAtomic(AppDirs::localCacheImagePath(md5Hex(files_.urlOf("/second.png"))), picture_));
  view->setImageUrl(files_.urlOf("/second.png"));
  view->cancel();
  RunLoop::main().runUntilIdle();
  EXPECT_FALSE(view->image());

  // A view destroyed with its download at the server: nothing reaches it or its delegate.
  auto delegate = std::make_shared<RecordingDelegate>();
  auto doomed = AsynImageView::create(Rect{0, 0, 60, 30}, false);
  doomed->setDelegate(delegate);
  files_.hold();
  doomed->setImageUrl(files_.urlOf("/text.png"));
  std::weak_ptr<platform::net::HttpRequest> request = doomed->imageRequest();
  holdUntilAtServer("/text.png");
  EXPECT_EQ(delegate->events, std::vector<std::string>{"start"});
  doomed.reset();
  releaseAndSettle();
  EXPECT_EQ(delegate->events, std::vector<std::string>{"start"});
  EXPECT_TRUE(request.expired());
}

}  // namespace
}  // namespace nvx
