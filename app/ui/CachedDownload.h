// Downloads that fetch an address once and keep its bytes in a file of a temporary sub-folder
// (AppDirs), and the image-view loaders built on them. The bytes always reach the block on the
// main run loop, after the download's operation has returned.
//
// Only the body of a successful reply (status 2xx, not empty) counts as downloaded bytes: an
// error page is never cached as a picture. Cache files are written atomically, so two downloads
// of the same address at once leave one whole file (the later one), never a mix. A cache file is
// served as it is, without any test of age, until its folder is emptied.
//
// The queue: isCurrentQueue true on the main thread runs the download on the main run loop
// (which it holds until the bytes have arrived); otherwise the download runs on the client's
// shared queue (OperationQueueExt::sharedQueue).
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Sandbox.h"
#include "platform/ui/ImageView.h"

namespace nvx {

class CachedDownload {
 public:
  // The downloaded or cached bytes; nothing when the download failed.
  using Block = std::function<void(std::optional<std::string> bytes)>;

  // The file saveName in the temporary sub-folder subDir holds the bytes of url: when it exists
  // the block gets its bytes and the result is false; otherwise a download is queued, its bytes
  // are written to that file and handed to the block, and the result is true. A saveName that is
  // not a plain file name (empty, ".", "..", or holding "/") is refused: nothing is downloaded,
  // the block gets nothing and the result is false.
  static bool cacheQueueDownloadWithSaveName(const std::string& url, std::string_view saveName,
                                             std::string_view subDir, bool isCurrentQueue, Block block);
  // Downloads url without the cache and hands the bytes to the block.
  static void cacheQueueDownloadInCurrentQueue(const std::string& url, bool isCurrentQueue, Block block);
  // The cached download of the address urlText under its MD5 name (cacheFileName) in subDir;
  // returns that file's path at once, whether or not the file exists yet.
  static platform::Path urlMD5PathCacheQueueDownloadInAppSubDir(const std::string& urlText, std::string_view subDir,
                                                                bool isCurrentQueue, Block block);
  // The same on the shared queue.
  static platform::Path urlMD5PathCacheQueueDownloadInAppSubDir(const std::string& urlText, std::string_view subDir,
                                                                Block block);

  // The view's picture from the MD5-named cached download of url into subDir (the picture
  // cache "ImageCache" when not given; the shared queue when isCurrentQueue is not given). Bytes
  // that are no picture, or none, clear the picture. The view is held weakly meanwhile.
  static void loadImageWithDownloadUrl(const std::shared_ptr<platform::ui::ImageView>& view, const std::string& url,
                                       std::string_view subDir, bool isCurrentQueue);
  static void loadImageWithDownloadUrl(const std::shared_ptr<platform::ui::ImageView>& view, const std::string& url,
                                       bool isCurrentQueue);
  static void loadImageWithDownloadUrl(const std::shared_ptr<platform::ui::ImageView>& view, const std::string& url);

  // The cache file name of an address: the lower-case hex MD5 of its UTF-8 bytes.
  static std::string cacheFileName(std::string_view url);
  // A synchronous GET: the body of a 2xx reply that is not empty, else nothing.
  static std::optional<std::string> download(const std::string& url);
};

}  // namespace nvx
