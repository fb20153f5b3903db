// Test-only: the main-API stand-in the client is pointed at and a file server for the pictures
// and packages it names, both on loopback.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "net/ServerConfig.h"
#include "standin/FileStandin.h"
#include "standin/MainApiStandin.h"
#include "standin/mainapi/ThemeRoutes.h"

namespace nvx::testing {

struct ThemeStandins {
  // Starts both; callers wrap it in ASSERT_NO_FATAL_FAILURE.
  void start() {
    auto settings = standin::MainApiStandin::Settings::fromProjectFiles();
    ASSERT_TRUE(settings.isOk()) << settings.error();
    server = std::make_unique<standin::MainApiStandin>(settings.value());
    ASSERT_TRUE(server->start().isOk());
    ServerConfig::current().setMainApiBase(server->apiBaseAddress());
    ASSERT_TRUE(files.start().isOk());
  }
  void stop() {
    files.stop();
    if (server) server->stop();
  }
  standin::ThemeState& state() { return server->feature<standin::ThemeState>(); }

  std::unique_ptr<standin::MainApiStandin> server;
  standin::FileStandin files;
};

}  // namespace nvx::testing
