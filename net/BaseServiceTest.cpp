#include "net/BaseService.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "core/session/ClientSettings.h"
#include "net/testing/Md5TestSupport.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Sandbox.h"
#include "platform/testing/Testing.h"

namespace nvx {
namespace {

// The salt the servers check the vercode with.
constexpr std::string_view kServerSalt = "lkjhgq@rotorTablet@zx61917%%%%p617617[]QRT";

using testing::md5Hex;

bool inAlphabet(std::string_view uid) {
  return uid.find_first_not_of(BaseService::kUidAlphabet) == std::string_view::npos;
}

TEST(BaseServiceTest, TheBundledSaltIsTheOneTheServersCheck) {
  EXPECT_EQ(ClientSettings::current().vercodeSalt(), kServerSalt);
}

TEST(BaseServiceTest, UidIsSixteenAlphabetCharactersAndVercodeItsSaltedMd5) {
  const std::string uid = BaseService::uid();
  EXPECT_EQ(uid.size(), 16u);
  EXPECT_TRUE(inAlphabet(uid)) << uid;
  EXPECT_EQ(BaseService::kUidAlphabet.size(), 62u);

  const std::string vercode = BaseService::vercode();
  EXPECT_EQ(vercode.size(), 32u);
  EXPECT_EQ(vercode.find_first_not_of("0123456789abcdef"), std::string::npos) << vercode;
  EXPECT_EQ(vercode, md5Hex(uid + std::string(kServerSalt)));
  EXPECT_EQ(BaseService::safyVerification(), "uid=" + uid + "&vercode=" + vercode);
}

TEST(BaseServiceTest, ThePairStaysForTheRunAndANewRunMakesANewOne) {
  const std::string first = BaseService::safyVerification();
  EXPECT_EQ(BaseService::safyVerification(), first);
  const std::string uid = BaseService::uid();

  platform::testing::restart();
  EXPECT_NE(BaseService::uid(), uid);
  EXPECT_NE(BaseService::safyVerification(), first);
  EXPECT_EQ(BaseService::vercode(), md5Hex(BaseService::uid() + std::string(kServerSalt)));
}

TEST(BaseServiceTest, ThreadsAskingAtOnceShareOneIdentity) {
  std::string fromThread;
  std::thread t([&] { fromThread = BaseService::uid(); });
  std::string fromMain = BaseService::uid();
  t.join();
  EXPECT_EQ(fromThread, fromMain);
}

TEST(BaseServiceTest, GenerateUidDrawsTheWholeAlphabet) {
  BaseService& service = BaseService::sharedBaseService();
  service.generateUID(0);
  EXPECT_EQ(BaseService::uid(), "");
  service.generateUID(4000);
  const std::string uid = BaseService::uid();
  ASSERT_EQ(uid.size(), 4000u);
  EXPECT_TRUE(inAlphabet(uid));
  EXPECT_EQ(std::set<char>(uid.begin(), uid.end()).size(), 62u);
  service.generateVercode();
  EXPECT_EQ(BaseService::vercode(), md5Hex(uid + std::string(kServerSalt)));
}

TEST(BaseServiceTest, WithoutASaltTheVercodeIsEmptyAndTheFaultLogged) {
  const platform::Path emptyBundle = platform::Sandbox::makeTempRoot("nvx-nobundle");
  platform::Sandbox::setBundle(emptyBundle);
  platform::log::Capture log;
  EXPECT_EQ(BaseService::uid().size(), 16u);
  EXPECT_EQ(BaseService::vercode(), "");
  EXPECT_TRUE(log.contains("no vercode salt"));
  platform::fs::removeTree(emptyBundle);
}

}  // namespace
}  // namespace nvx
