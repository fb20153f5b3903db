// A plain file server on loopback for the picture downloads: serves the files put into it by
// path, answers a status of a test's choice for a path, 404 for anything else, and counts the
// requests for each path, so a test can tell a cached picture from a fresh download.
#pragma once
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/foundation/Status.h"
#include "standin/HttpStandin.h"

namespace standin {

class FileStandin final : public StandinServer {
 public:
  FileStandin();
  ~FileStandin() override;  // stops

  // Held requests are let go and the server stops.
  void stop() override;
  // baseUrl() ("http://127.0.0.1:<port>") followed by the path ("/logo.png").
  std::string urlOf(std::string_view path) const;

  // Serves body at path (GET) with the status; the content type follows the path's extension
  // (".png", ".jpg"/".jpeg", else "application/octet-stream").
  void put(std::string path, std::string body, int status = 200);
  // Drops the file: the path answers 404 again.
  void remove(const std::string& path);

  // While held, requests are counted and then wait for release() (or stop(), or 10 s) before
  // they are answered: a test can act while a download is at the server.
  void hold();
  void release();

  // GET requests received for the path (whatever was answered), and for any path.
  size_t hits(std::string_view path) const;
  size_t totalHits() const;

 private:
  struct File {
    std::string body;
    int status = 200;
  };

  mutable std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;
  std::map<std::string, File, std::less<>> files_;
  std::map<std::string, size_t, std::less<>> hits_;
};

}  // namespace standin
