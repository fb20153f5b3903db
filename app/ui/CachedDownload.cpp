#include "app/ui/CachedDownload.h"

#include "core/session/AppDirs.h"
#include "core/crypto/Digest.h"
#include "core/session/OperationQueueExt.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/net/HttpRequest.h"

namespace nvx {

namespace {

constexpr std::string_view kTag = "CachedDownload";

// Runs the operation on the queue chosen by isCurrentQueue.
void enqueue(bool isCurrentQueue, platform::Task operation) {
  if (isCurrentQueue && platform::RunLoop::main().isMainThread()) {
    platform::dispatchMain(std::move(operation));
  } else {
    OperationQueueExt::sharedQueue().add(std::move(operation));
  }
}

// Hands the bytes to the block on the main run loop.
void deliver(CachedDownload::Block block, std::optional<std::string> bytes) {
  if (!block) return;
  platform::dispatchMain([block = std::move(block), bytes = std::move(bytes)]() mutable {
    auto call = std::move(block);
    call(std::move(bytes));
  });
}

bool isPlainFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

}  // namespace

std::string CachedDownload::cacheFileName(std::string_view url) { return md5Hex(url); }

std::optional<std::string> CachedDownload::download(const std::string& url) {
  auto request = platform::net::HttpRequest::make(url);
  request->startSynchronous();
  if (request->error()) {
    platform::log::info(kTag, "download failed: " + request->error()->message);
    return std::nullopt;
  }
  const int status = request->statusCode();
  if (status < 200 || status > 299) {
    platform::log::info(kTag, "download answered with status " + std::to_string(status));
    return std::nullopt;
  }
  if (request->responseData().empty()) return std::nullopt;
  return request->responseData();
}

bool CachedDownload::cacheQueueDownloadWithSaveName(const std::string& url, std::string_view saveName,
                                                    std::string_view subDir, bool isCurrentQueue, Block block) {
  if (!isPlainFileName(saveName)) {
    platform::log::warning(kTag, "refused a cache file name that is not a plain file name");
    deliver(std::move(block), std::nullopt);
    return false;
  }
  if (auto cached = AppDirs::localDataInAppSubDir(saveName, subDir)) {
    deliver(std::move(block), std::move(cached));
    return false;
  }
  platform::Path file = AppDirs::localPathInAppSubDir(saveName, subDir);
  enqueue(isCurrentQueue, [url, file, block = std::move(block)]() mutable {
    std::optional<std::string> bytes = download(url);
    if (bytes && !platform::fs::writeAtomic(file, *bytes)) {
      platform::log::warning(kTag, "cannot write the cache file " + file.filename().string());
    }
    deliver(std::move(block), std::move(bytes));
  });
  return true;
}

void CachedDownload::cacheQueueDownloadInCurrentQueue(const std::string& url, bool isCurrentQueue, Block block) {
  enqueue(isCurrentQueue, [url, block = std::move(block)]() mutable { deliver(std::move(block), download(url)); });
}

platform::Path CachedDownload::urlMD5PathCacheQueueDownloadInAppSubDir(const std::string& urlText,
                                                                       std::string_view subDir, bool isCurrentQueue,
                                                                       Block block) {
  const std::string name = cacheFileName(urlText);
  cacheQueueDownloadWithSaveName(urlText, name, subDir, isCurrentQueue, std::move(block));
  return AppDirs::localPathInAppSubDir(name, subDir);
}

platform::Path CachedDownload::urlMD5PathCacheQueueDownloadInAppSubDir(const std::string& urlText,
                                                                       std::string_view subDir, Block block) {
  return urlMD5PathCacheQueueDownloadInAppSubDir(urlText, subDir, false, std::move(block));
}

void CachedDownload::loadImageWithDownloadUrl(const std::shared_ptr<platform::ui::ImageView>& view,
                                              const std::string& url, std::string_view subDir, bool isCurrentQueue) {
  std::weak_ptr<platform::ui::ImageView> weak = view;
  urlMD5PathCacheQueueDownloadInAppSubDir(url, subDir, isCurrentQueue, [weak](std::optional<std::string> bytes) {
    auto target = weak.lock();
    if (!target) return;
    target->setImage(bytes ? platform::ui::Image::fromBytes(*bytes) : std::nullopt);
  });
}

void CachedDownload::loadImageWithDownloadUrl(const std::shared_ptr<platform::ui::ImageView>& view,
                                              const std::string& url, bool isCurrentQueue) {
  loadImageWithDownloadUrl(view, url, AppDirs::kImageCacheDir, isCurrentQueue);
}

void CachedDownload::loadImageWithDownloadUrl(const std::shared_ptr<platform::ui::ImageView>& view,
                                              const std::string& url) {
  loadImageWithDownloadUrl(view, url, false);
}

}  // namespace nvx
