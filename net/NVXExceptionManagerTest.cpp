#include "net/NVXExceptionManager.h"

#include <gtest/gtest.h>

#include "core/testing/TestTimeZone.h"
#include "core/session/User.h"
#include "net/BaseService.h"
#include "net/DataStatistics.h"
#include "net/ServerConfig.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/testing/Settle.h"
#include "standin/HttpStandin.h"
#include "standin/MainApiStandin.h"

namespace nvx {
namespace {

using platform::fs::read;
using platform::fs::writeAtomic;
using standin::HttpStandin;

UncaughtException sample(std::string reason = "index 7 out of range") {
  UncaughtException e;
  e.name = "std::out_of_range";
  e.reason = std::move(reason);
  e.addresses = {"0   nvx-client  0x0000000000401000 main + 16", "1   libc.so.6  0x00007f0000029d90 start + 128"};
  return e;
}

class NVXExceptionManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    User::currentUser().setLoginName("13800000000");
    User::currentUser().setPsamId("ABCDEF0123456789");
  }
  std::shared_ptr<NVXExceptionManager> manager = NVXExceptionManager::sharedManager();
  testing::ScopedTimeZone shanghai{"Asia/Shanghai"};
};

TEST_F(NVXExceptionManagerTest, OneSharedManagerWritingIntoTheLogFolder) {
  EXPECT_EQ(NVXExceptionManager::sharedNVXExceptionManager(), manager);
  const platform::Path file = NVXExceptionManager::crashFilePath();
  EXPECT_EQ(file.filename(), "nvxcrash.log");
  EXPECT_EQ(file.parent_path().filename(), "NVXLog");
  EXPECT_TRUE(platform::fs::isDirectory(file.parent_path())) << "the folder is made on demand";
}

TEST_F(NVXExceptionManagerTest, RecordHoldsTheTimeTheDeviceTheSessionAndTheDetails) {
  const DataStatistics& profile = DataStatistics::sharedDataStatistics();
  const std::string expected =
      "[2013-06-01 10:00 crash std::out_of_range]\n"
      "     Info：客户端版本号：" + profile.appVersion().value_or("") + "     iOS：" + profile.iosVersion() +
      "       UA：" + profile.UA() + "       分辨率：" + profile.resolution() + "       设备ID：" + profile.deviceId() +
      "     刷卡器ID：ABCDEF0123456789       刷卡器型号：" + profile.unitId().value_or("") + "       运营商：" +
      profile.carrierName() + "       用户ID：13800000000\n"
      "     Reason：index 7 out of range\n"
      "{\n"
      "    UncaughtExceptionHandlerAddressesKey = (\n"
      "0   nvx-client  0x0000000000401000 main + 16\n"
      "1   libc.so.6  0x00007f0000029d90 start + 128\n"
      "    );\n"
      "}\n";
  EXPECT_EQ(manager->crashRecord(sample()), expected);

  UncaughtException signal = sample();
  signal.name = std::string(UncaughtExceptionHandler::kSignalExceptionName);
  signal.signal = 11;
  EXPECT_NE(manager->crashRecord(signal).find("    );\n    UncaughtExceptionHandlerSignalKey = 11;\n}\n"),
            std::string::npos);
}

TEST_F(NVXExceptionManagerTest, RecordsAreSeparatedByExactlyOneLineEnd) {
  const platform::Path file = NVXExceptionManager::crashFilePath();
  const std::string one = manager->crashRecord(sample());
  const std::string trimmedOne = one.substr(0, one.size() - 1);
  struct Case {
    const char* what;
    std::optional<std::string> before;
    std::string after;
  };
  const std::vector<Case> cases = {
      {"no file", std::nullopt, one},
      {"an empty file", "", one},
      {"blanks only", " \n\t\n  ", one},
      {"one record", one, trimmedOne + "\n" + one},
      {"a record with blank lines around it", "\n\n  " + one + "\n\n\n", trimmedOne + "\n" + one},
  };
  for (const Case& c : cases) {
    platform::fs::removeTree(file);
    if (c.before) {
      ASSERT_TRUE(writeAtomic(file, *c.before));
    }
    manager->handleExceptionBeforeCrashOut(sample());
    EXPECT_EQ(read(file).value_or("<missing>"), c.after) << c.what;
  }
}

TEST_F(NVXExceptionManagerTest, SecretsInAReasonNeverReachTheFile) {
  struct Case {
    std::string reason;
    std::string written;
  };
  const std::vector<Case> cases = {
      {"card 6222021234567890123 declined", "card ******************* declined"},
      {"track ;6222021234567890123=49121010000000000?", "track ;*******************=*****************?"},
      {"key 0123456789ABCDEF0123456789ABCDEF", "key ********************************"},
      {"pin block 041234FEDCBA9876", "pin block ****************"},
      {"phone 13800000000, order 20130601", "phone 13800000000, order 20130601"},
      {"bad value deadbeef", "bad value deadbeef"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NVXExceptionManager::redacted(c.reason), c.written) << c.reason;
  }
  const platform::Path file = NVXExceptionManager::crashFilePath();
  manager->handleExceptionBeforeCrashOut(sample("card 6222021234567890123 declined"));
  std::string text = read(file).value_or("");
  EXPECT_EQ(text.find("6222021234567890123"), std::string::npos);
  EXPECT_NE(text.find("     Reason：card ******************* declined\n"), std::string::npos);
}

// The main API's upload operation, judged as the server would.
class UploadTest : public NVXExceptionManagerTest {
 protected:
  void SetUp() override {
    NVXExceptionManagerTest::SetUp();
    User::currentUser().setUserToken("token-1");
    auto settings = standin::MainApiStandin::Settings::fromProjectFiles();
    ASSERT_TRUE(settings.isOk()) << settings.error();
    const std::string salt = settings->vercodeSalt;
    server.route("POST", "/iphone/uploadErrorLog.json", [this, salt](const HttpStandin::Request& request) {
      auto uid = request.formValue("uid");
      bool identity = uid && request.formValue("vercode") == standin::MainApiStandin::vercodeFor(*uid, salt);
      if (!identity) return HttpStandin::Reply::json(R"({"retStatus":{"retCode":"2001","errMsg":"身份校验失败"}})");
      std::lock_guard<std::mutex> lock(mutex);
      return HttpStandin::Reply::json(reply);
    });
    ASSERT_TRUE(server.start().isOk());
    ServerConfig::current().setMainApiBase(server.baseUrl() + "/iphone/");
  }
  void TearDown() override { server.stop(); }

  void answer(std::string body) {
    std::lock_guard<std::mutex> lock(mutex);
    reply = std::move(body);
  }
  // Runs the upload and the main loop until the completion has judged the reply.
  void upload() {
    platform::log::Capture log;
    manager->uploadExceptionFile();
    const platform::Path file = NVXExceptionManager::crashFilePath();
    ASSERT_TRUE(platform::RunLoop::main().drainIoUntil(
        [&] { return read(file) == "" || log.contains("crash log kept"); }, std::chrono::seconds(10)));
  }

  std::mutex mutex;
  std::string reply = R"({"retStatus":{"retCode":"0000","errMsg":"成功"}})";
  HttpStandin server;
};

TEST_F(UploadTest, SuccessSendsTheFileWithTheIdentityAndEmptiesIt) {
  const platform::Path file = NVXExceptionManager::crashFilePath();
  manager->handleExceptionBeforeCrashOut(sample());
  const std::string log = read(file).value();
  upload();
  ASSERT_EQ(server.requestCount(), 1u);
  const HttpStandin::Request request = *server.lastRequest();
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.query, "") << "the identity travels in the form";
  EXPECT_EQ(request.formValue("userToken"), "token-1");
  EXPECT_EQ(request.formValue("uid"), BaseService::uid());
  EXPECT_EQ(request.formValue("loginName"), "13800000000");
  EXPECT_EQ(request.formValue("imei"), DataStatistics::sharedDataStatistics().deviceId());
  EXPECT_EQ(request.formValue("logLevel"), "crash");
  EXPECT_EQ(request.formValue("version"), "28");
  EXPECT_EQ(request.formValue("desc"), "app crash message");
  EXPECT_EQ(request.formValue("ver"), std::nullopt) << "the request hook leaves a request with its own body alone";
  EXPECT_EQ(request.formValue("custlev"), std::nullopt);
  const HttpStandin::Part* logdata = nullptr;
  for (const auto& part : request.parts) {
    if (part.name == "logdata") logdata = &part;
  }
  ASSERT_NE(logdata, nullptr);
  EXPECT_EQ(logdata->filename, "nvxcrash.log");
  EXPECT_EQ(logdata->content, log);
  EXPECT_EQ(read(file), "") << "a success without data empties the file";
}

TEST_F(UploadTest, LoginNameIsTheLastOneWhenNobodyIsLoggedIn) {
  User::currentUser().setLoginName("");
  platform::UserDefaults::standard().set(User::kLoginNameKey, "13900000000");
  manager->handleExceptionBeforeCrashOut(sample());
  upload();
  ASSERT_EQ(server.requestCount(), 1u);
  EXPECT_EQ(server.lastRequest()->formValue("loginName"), "13900000000");
}

TEST_F(UploadTest, NothingToSendSendsNothing) {
  manager->uploadExceptionFile();   // no file
  ASSERT_TRUE(writeAtomic(NVXExceptionManager::crashFilePath(), ""));
  manager->uploadExceptionFile();   // an empty one
  ASSERT_TRUE(platform::testing::settleIo());
  EXPECT_EQ(server.requestCount(), 0u);
}

TEST_F(UploadTest, AFailedUploadKeepsTheFile) {
  const platform::Path file = NVXExceptionManager::crashFilePath();
  manager->handleExceptionBeforeCrashOut(sample());
  const std::string log = read(file).value();

  answer(R"({"retStatus":{"retCode":"9999","errMsg":"系统繁忙"}})");
  upload();
  EXPECT_EQ(read(file), log);

  answer("<html>502 Bad Gateway</html>");
  upload();
  EXPECT_EQ(read(file), log);

  server.stop();   // nobody answers at all
  upload();
  EXPECT_EQ(read(file), log);
}

}  // namespace
}  // namespace nvx
