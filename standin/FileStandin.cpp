#include "standin/FileStandin.h"

namespace standin {

namespace {

bool endsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::string contentTypeOf(std::string_view path) {
  if (endsWith(path, ".png")) return "image/png";
  if (endsWith(path, ".jpg") || endsWith(path, ".jpeg")) return "image/jpeg";
  return "application/octet-stream";
}

}  // namespace

FileStandin::FileStandin() {
  http().route("GET", "/*", [this](const HttpStandin::Request& request) {
    std::unique_lock<std::mutex> lock(mutex_);
    ++hits_[request.path];
    released_.wait_for(lock, std::chrono::seconds(10), [this] { return !held_; });
    auto it = files_.find(request.path);
    if (it == files_.end()) return HttpStandin::Reply::text("not found", 404);
    HttpStandin::Reply reply;
    reply.status = it->second.status;
    reply.body = it->second.body;
    reply.contentType = contentTypeOf(request.path);
    return reply;
  });
}

FileStandin::~FileStandin() { stop(); }

void FileStandin::stop() {
  release();
  StandinServer::stop();
}

void FileStandin::hold() {
  std::lock_guard<std::mutex> lock(mutex_);
  held_ = true;
}

void FileStandin::release() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    held_ = false;
  }
  released_.notify_all();
}

std::string FileStandin::urlOf(std::string_view path) const { return baseUrl() + std::string(path); }

void FileStandin::put(std::string path, std::string body, int status) {
  std::lock_guard<std::mutex> lock(mutex_);
  files_[std::move(path)] = File{std::move(body), status};
}

void FileStandin::remove(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  files_.erase(path);
}

size_t FileStandin::hits(std::string_view path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = hits_.find(path);
  return it == hits_.end() ? 0 : it->second;
}

size_t FileStandin::totalHits() const {
  std::lock_guard<std::mutex> lock(mutex_);
  size_t total = 0;
  for (const auto& [path, count] : hits_) total += count;
  return total;
}

}  // namespace standin
