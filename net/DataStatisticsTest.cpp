#include "net/DataStatistics.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

#include "core/session/ClientSettings.h"
#include "core/session/NVXConfig.h"
#include "core/text/UrlEscaping.h"
#include "core/session/User.h"
#include "net/BaseService.h"
#include "net/testing/MainApiTestFixture.h"
#include "net/RecordFiles.h"
#include "net/testing/Md5TestSupport.h"
#include "net/ServerConfig.h"
#include "net/StatisticsServerConfig.h"
#include "platform/device/Device.h"
#include "platform/device/Reachability.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/testing/Settle.h"
#include "platform/testing/Testing.h"
#include "standin/ProbeStandin.h"
#include "standin/StatisticsStandin.h"
#include "standin/TestCertificates.h"

namespace nvx {
namespace {

using testing::md5Hex;

DataStatistics& stats() { return DataStatistics::sharedDataStatistics(); }

TEST(DataStatisticsTest, DeviceIdIsTheMd5OfTheUpperCaseHardwareAddress) {
  struct Case {
    std::string hwAddr;
    std::string hashed;
  } cases[] = {
      {"02:00:00:00:00:01", "02:00:00:00:00:01"},
      {"a4:5e:60:d1:22:0f", "A4:5E:60:D1:22:0F"},
      {"A4-5E-60-D1-22-0F", "A4:5E:60:D1:22:0F"},
      {"a45e60d1220f", "A4:5E:60:D1:22:0F"},
      // Unreadable addresses still give an id, never an empty one.
      {"", "00:00:00:00:00:00"},
      {"not an address", "00:00:00:00:00:00"},
      {"a4:5e:60:d1:22", "00:00:00:00:00:00"},
      {"a4:5e:60:d1:22:0f:99", "00:00:00:00:00:00"},
  };
  for (const auto& c : cases) {
    platform::Device::info().wifiHwAddr = c.hwAddr;
    const std::string id = stats().deviceId();
    EXPECT_EQ(id, md5Hex(c.hashed)) << c.hwAddr;
    EXPECT_EQ(id.size(), 32u);
  }
}

TEST(DataStatisticsTest, ModelNamesAndScreen) {
  struct Case {
    std::string machine, ua;
  } cases[] = {{"iPhone5,2", "iPhone5-2"}, {"iPad3,4", "iPad3-4"}, {"x86_64", "x86_64"}, {"a,b,c", "a-b-c"}};
  for (const auto& c : cases) {
    platform::Device::info().machine = c.machine;
    EXPECT_EQ(stats().UA(), c.ua);
    EXPECT_EQ(stats().getDeviceVersion(), c.machine);
  }
  EXPECT_EQ(stats().resolution(), "320*568");
  platform::Device::screen().bounds = {375.4, 667.0};
  EXPECT_EQ(stats().resolution(), "375*667");
  platform::Device::info().systemVersion = "7.0.4";
  EXPECT_EQ(stats().iosVersion(), "7.0.4");
  EXPECT_EQ(stats().phoneNumber(), "");
  EXPECT_EQ(stats().appVersion(), "3.1.5.0");
}

TEST(DataStatisticsTest, LanguagePrefersTheStoredListThenTheDevice) {
  EXPECT_EQ(stats().language(), "zh-Hans");
  platform::UserDefaults::standard().set("AppleLanguages", platform::Json::array({"en", "zh-Hans"}));
  EXPECT_EQ(stats().language(), "en");
  platform::UserDefaults::standard().remove("AppleLanguages");
  platform::Device::info().languages.clear();
  EXPECT_EQ(stats().language(), std::nullopt);
}

TEST(DataStatisticsTest, CarrierLetterAndCodes) {
  EXPECT_EQ(stats().carrierName(), "") << "no SIM";
  EXPECT_EQ(stats().mobileCountryCode(), std::nullopt);
  EXPECT_EQ(stats().IMSISubFive(), std::nullopt);
  struct Case {
    std::string name, letter;
  } cases[] = {{"中国联通", "l"}, {"中国移动", "y"}, {"中国电信", "d"}, {"Other Mobile", ""}, {"", ""}};
  for (const auto& c : cases) {
    platform::Device::info().carrier = platform::Carrier{c.name, "460", "01"};
    EXPECT_EQ(stats().carrierName(), c.letter) << c.name;
    EXPECT_EQ(stats().mobileNetworkName(), c.name);
  }
  EXPECT_EQ(stats().mobileCountryCode(), "460");
  EXPECT_EQ(stats().mobileNetworkCode(), "01");
  EXPECT_EQ(stats().IMSISubFive(), "46001");
}

TEST(DataStatisticsTest, ReaderValuesAreReadAfreshOnEveryCall) {
  EXPECT_EQ(stats().psamId(), "");
  EXPECT_EQ(stats().unitId(), std::nullopt) << "no reader model chosen yet";
  User::currentUser().setPsamId("0123456789abcdef");
  platform::UserDefaults::standard().set(DataStatistics::kUnitIdKey, "0001");
  EXPECT_EQ(stats().psamId(), "0123456789ABCDEF");
  EXPECT_EQ(stats().unitId(), "0001");
}

TEST(DataStatisticsTest, NetworkStatusOfThePublicHost) {
  EXPECT_EQ(stats().netWorkStatus(), "2");
  EXPECT_FALSE(stats().isNotReachableNetWork());
  platform::Reachability::setNetworkStatus(platform::NetworkStatus::ReachableViaWWAN);
  EXPECT_EQ(stats().netWorkStatus(), "1");
  platform::Reachability::setHostStatus(DataStatistics::kReachabilityHost,
                                        platform::NetworkStatus::NotReachable);
  EXPECT_EQ(stats().netWorkStatus(), "-1");
  EXPECT_TRUE(stats().isNotReachableNetWork());
}

// ---------------------------------------------------------------------------------------------
// Records and files

// Lets the recorder's own threads (the network record, uploads) finish their step.
void settle() {
  platform::RunLoop::main().runUntil([] { return true; }, platform::Duration::zero());
}

std::string fileText(std::string_view name) {
  return platform::fs::read(platform::Sandbox::caches() / std::string(name)).value_or("<missing>");
}

void putFile(std::string_view name, std::string_view text) {
  ASSERT_TRUE(platform::fs::writeAtomic(platform::Sandbox::caches() / std::string(name), text));
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at <= text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

std::string lastLine(std::string_view name) { return linesOf(fileText(name)).back(); }

constexpr const char* kLogin = "13800000000";
constexpr const char* kToken = "token-7";
constexpr const char* kReader = "0123456789ABCDEF";
constexpr const char* kVersion = "3.1.5.0";

// A device with a SIM, a chosen reader model and a logged-in user; the recorder made and its
// network record written.
class StatisticsRecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::Device::info().wifiHwAddr = "a4:5e:60:d1:22:0f";
    platform::Device::info().carrier = platform::Carrier{"中国移动", "460", "00"};
    platform::UserDefaults::standard().set(DataStatistics::kUnitIdKey, "0001");
    User& user = User::currentUser();
    user.setLoginName(kLogin);
    user.setUserToken(kToken);
    user.setUserId("u42");
    user.setPsamId(kReader);
    time = stats().currentRecordTime();
    settle();  // the network record of the recorder's creation
    id = stats().deviceId();
    ASSERT_EQ(time.size(), 19u);
    ASSERT_EQ(stats().appVersion(), kVersion);
  }

  // code,time,device id, then the rest.
  std::string rec(std::string_view code, std::string_view rest) const {
    return std::string(code) + "," + time + "," + id + "," + std::string(rest);
  }

  std::string time;
  std::string id;
};

TEST_F(StatisticsRecordTest, EveryRecordLayout) {
  struct Case {
    const char* name;
    std::function<void()> write;
    std::string_view file;
    std::string expected;
  };
  const std::string L = kLogin;
  const std::vector<Case> cases = {
      {"step with sub-step", [] { stats().stepRecord("B00001,2"); }, DataStatistics::kTempFile,
       rec("0011", ",," + L + ",B00001,IOS00,2,3.1.5.0")},
      {"step alone", [] { stats().stepRecord("M50001_1"); }, DataStatistics::kTempFile,
       rec("0011", ",," + L + ",M50001_1,IOS00,,3.1.5.0")},
      {"swipe success: a blank before the version", [] { stats().swiperCompletion(); }, DataStatistics::kTempFile,
       rec("0007", ",," + L + ",0001,IOS00, 3.1.5.0")},
      {"swipe failure: no blank", [] { stats().swiperFailed(); }, DataStatistics::kTempFile,
       rec("0008", ",," + L + ",0001,IOS00,3.1.5.0")},
      {"reader with KSN", [] { stats().swipeHardWareRecord("FFFF9876543210E00001"); }, DataStatistics::kTempFile,
       rec("0006", ",," + L + ",iPhone5-2,0001,0123456789ABCDEF,IOS00,0")},
      {"reader without KSN", [] { stats().swipeHardWareRecord(std::nullopt); }, DataStatistics::kTempFile,
       rec("0006", ",," + L + ",iPhone5-2,0001,0123456789ABCDEF,IOS00,1")},
      {"advert", [] { stats().advertisementRecord("AD7"); }, DataStatistics::kTempFile,
       rec("0012", ",," + L + ",AD7,IOS00")},
      {"mall theme", [] { stats().mallOpenRecord("T1", "P9"); }, DataStatistics::kTempFile,
       rec("0018", ",,iPhone5-2,IOS00," + L + ",T1,P9")},
      {"mall item", [] { stats().mallOpenRecord("I1", "P9", "B00015_2", "3"); }, DataStatistics::kTempFile,
       rec("0018", ",,iPhone5-2,IOS00," + L + ",I1,P9,B00015_2,3")},
      {"mall item, empty count", [] { stats().mallOpenRecord("I1", "P9", "B00015_2", ""); },
       DataStatistics::kTempFile, rec("0018", ",,iPhone5-2,IOS00," + L + ",I1,P9,B00015_2,0")},
      {"mall item, no count", [] { stats().mallOpenRecord("I1", "P9", "B00015_2", std::nullopt); },
       DataStatistics::kTempFile, rec("0018", ",,iPhone5-2,IOS00," + L + ",I1,P9,B00015_2,0")},
      {"cold start", [] { stats().reOpenRecord(false); }, DataStatistics::kTempFile,
       rec("0019", ",,iPhone5-2,IOS00," + L + ",0,3.1.5.0")},
      {"active again", [] { stats().reOpenRecord(true); }, DataStatistics::kTempFile,
       rec("0019", ",,iPhone5-2,IOS00," + L + ",1,3.1.5.0")},
      {"reader open failure", [] { stats().swiperOpenFail(true); }, DataStatistics::kTempFile,
       rec("0021", ",,iPhone5-2,320*568,IOS00," + L + ",3.1.5.0,0001,0123456789ABCDEF,1")},
      {"upload failure: no empty field after the phone", [] { stats().uploadFailed("msg"); },
       DataStatistics::kTempFile, rec("9999", ",iPhone5-2,6.1,y,3.1.5.0,1,msg,IOS00,u42")},
      {"registration", [] { (void)stats().registerSuccessRecord("13900000000"); }, DataStatistics::kTempRegFile,
       rec("0014", ",,IOS00,13900000000,iPhone,,y,2,3.1.5.0")},
      {"a per cent sign is stored as it stands", [] { stats().advertisementRecord("50%off%@%d"); },
       DataStatistics::kTempFile, rec("0012", ",," + L + ",50%off%@%d,IOS00")},
  };
  for (const auto& c : cases) {
    c.write();
    EXPECT_EQ(lastLine(c.file), c.expected) << c.name;
  }
  // The recorder's creation wrote the network record first.
  EXPECT_EQ(linesOf(fileText(DataStatistics::kTempFile)).front(), rec("0013", ",,,2,IOS00"));
}

TEST_F(StatisticsRecordTest, AbsentValuesAreWrittenNullAndAbsentArgumentsWriteNothing) {
  User::currentUser().setLoginName("");
  User::currentUser().setUserToken("");
  User::currentUser().setUserId("");
  platform::UserDefaults::standard().remove(DataStatistics::kUnitIdKey);
  platform::Device::info().carrier.reset();  // without a SIM the carrier letter is empty
  const std::string before = fileText(DataStatistics::kTempFile);
  stats().stepRecord(std::nullopt);
  stats().advertisementRecord(std::nullopt);
  EXPECT_EQ(fileText(DataStatistics::kTempFile), before);

  stats().swiperCompletion();
  EXPECT_EQ(lastLine(DataStatistics::kTempFile), rec("0007", ",,(null),(null),IOS00, 3.1.5.0"));
  stats().uploadFailed(std::nullopt);
  EXPECT_EQ(lastLine(DataStatistics::kTempFile), rec("9999", ",iPhone5-2,6.1,,3.1.5.0,1,(null),IOS00,(null)"));
  stats().mallOpenRecord(std::nullopt, std::nullopt);
  EXPECT_EQ(lastLine(DataStatistics::kTempFile), rec("0018", ",,iPhone5-2,IOS00,(null),(null),(null)"));
  // The stored last login name stands in for the session's.
  platform::UserDefaults::standard().set(User::kLoginNameKey, "13700000000");
  stats().swiperFailed();
  EXPECT_EQ(lastLine(DataStatistics::kTempFile), rec("0008", ",,13700000000,(null),IOS00,3.1.5.0"));
}

TEST_F(StatisticsRecordTest, ValuesCannotBreakOrForgeARecord) {
  const size_t before = linesOf(fileText(DataStatistics::kTempFile)).size();
  stats().stepRecord("B00001,2\r\n0011,forged");
  stats().advertisementRecord("AD\n9999,2014-01-01 00:00:00,x");
  stats().uploadFailed("bad,\r\nnews");
  stats().mallOpenRecord("T1\r", "P,9");
  const auto lines = linesOf(fileText(DataStatistics::kTempFile));
  ASSERT_EQ(lines.size(), before + 4);
  EXPECT_EQ(lines[before], rec("0011", ",," + std::string(kLogin) + ",B00001,IOS00,2  0011,3.1.5.0"));
  EXPECT_EQ(lines[before + 1], rec("0012", ",," + std::string(kLogin) + ",AD 9999 2014-01-01 00:00:00 x,IOS00"));
  EXPECT_EQ(lines[before + 2], rec("9999", ",iPhone5-2,6.1,y,3.1.5.0,1,bad   news,IOS00,u42"));
  EXPECT_EQ(lines[before + 3], rec("0018", ",,iPhone5-2,IOS00," + std::string(kLogin) + ",T1 ,P 9"));
}

TEST_F(StatisticsRecordTest, CardDataAndKeysNeverReachARecord) {
  User::currentUser().setPsamPIK(platform::Json{{kReader, "0123456789ABCDEFFEDCBA9876543210"}});
  stats().swipeHardWareRecord("FFFF9876543210E00001");
  stats().stepRecord("B00015_2,4111111111111111");
  stats().uploadFailed("track ;4111111111111111=25121010000000000000? refused");
  stats().uploadFailed("%B4111111111111111^DOE/JOHN^2512101000000000? unreadable");
  stats().advertisementRecord("20140101123457");  // a long id that is no card number stays

  const std::string text = fileText(DataStatistics::kTempFile);
  for (const char* secret : {"4111111111111111", "FFFF9876543210E00001", "0123456789ABCDEFFEDCBA9876543210",
                             "25121010000000000000", "2512101", "DOE/JOHN"}) {
    EXPECT_EQ(text.find(secret), std::string::npos) << secret;
  }
  EXPECT_NE(text.find(",B00015_2,IOS00,****************,"), std::string::npos);
  EXPECT_NE(text.find("20140101123457"), std::string::npos);
}

TEST_F(StatisticsRecordTest, AppendsTrimTheFileAndWriteItPrivately) {
  stats().clearFileData("f.txt");
  EXPECT_EQ(fileText("f.txt"), "");
  stats().writeFile("a,1", "f.txt");
  stats().writeFile("b,%@%d", "f.txt");
  EXPECT_EQ(fileText("f.txt"), "a,1\nb,%@%d");
  putFile("f.txt", "  \n a,1\r\n\n\t");
  stats().writeFile("b", "f.txt");
  EXPECT_EQ(fileText("f.txt"), "a,1\nb");
  stats().writeFile("c", "missing.txt");
  EXPECT_EQ(fileText("missing.txt"), "c");
  const auto mode = std::filesystem::status(platform::Sandbox::caches() / "f.txt").permissions();
  EXPECT_EQ(mode & std::filesystem::perms::all, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(StatisticsRecordTest, HeaderBlock) {
  const std::string L = kLogin;
  const std::string header = rec("0001", ",,iPhone5-2,320*568,IOS00," + L) + "\n" + rec("0002", ",,6.1,IOS00," + L) +
                             "\n" + rec("0003", ",,y,IOS00," + L) + "\n" + rec("0004", ",,zh-Hans,IOS00," + L) +
                             "\n" + rec("0005", ",,3.1.5.0,IOS00," + L) + "\n" + rec("0009", ",,IOS00," + L) + "\n";
  stats().print("h.txt");
  EXPECT_EQ(fileText("h.txt"), header) << "the header ends with a line end";
  EXPECT_FALSE(stats().isExistsRecordsInFile("h.txt")) << "six device ids: the header alone";
  stats().writeFile("x", "h.txt");
  EXPECT_EQ(fileText("h.txt"), header + "x") << "the next append trims it";
  stats().writeFile(rec("0012", ",,L,AD,IOS00"), "h.txt");
  EXPECT_TRUE(stats().isExistsRecordsInFile("h.txt"));

  // Only a file without the device id gets a new header.
  stats().prePrintIfNeed("h.txt");
  EXPECT_EQ(fileText("h.txt").substr(0, header.size()), header);
  EXPECT_GT(fileText("h.txt").size(), header.size());
  putFile("h.txt", "0012,other device");
  stats().prePrintIfNeed("h.txt");
  EXPECT_EQ(fileText("h.txt"), header);
}

TEST_F(StatisticsRecordTest, PreparingTheUploadFile) {
  // First time: a new upload file with the header only; the records wait.
  stats().stepRecord("B00001_1");
  const std::string temp = fileText(DataStatistics::kTempFile);
  stats().createFile();
  EXPECT_EQ(linesOf(fileText(DataStatistics::kUploadFile)).size(), 7u);  // six records and the end
  EXPECT_FALSE(stats().isExistsRecords());
  EXPECT_EQ(fileText(DataStatistics::kTempFile), temp);

  // Then the three temporary files are merged, in their order, and emptied.
  const std::string header = fileText(DataStatistics::kUploadFile);
  const std::string registration = stats().registerSuccessRecord("13900000000");
  putFile(DataStatistics::kTempPushFile, rec("0017", "m1,,IOS00,1"));
  stats().createFile();
  EXPECT_EQ(fileText(DataStatistics::kUploadFile), header + temp + "\n" + registration + "\n" + rec("0017", "m1,,IOS00,1"));
  EXPECT_TRUE(stats().isExistsRecords());
  for (auto name : {DataStatistics::kTempFile, DataStatistics::kTempRegFile, DataStatistics::kTempPushFile}) {
    EXPECT_EQ(fileText(name), "") << name;
  }
}

TEST_F(StatisticsRecordTest, ADamagedHeaderIsRebuiltAndTheRecordsBelowItKept) {
  stats().print(DataStatistics::kUploadFile);
  auto lines = linesOf(fileText(DataStatistics::kUploadFile));
  const std::string header = fileText(DataStatistics::kUploadFile);
  // The header lost its 0003 record; two records were below it.
  std::string damaged;
  for (size_t i = 0; i < 6; ++i) {
    if (i != 2) damaged += lines[i] + "\n";
  }
  damaged += rec("0012", ",,L,AD1,IOS00") + "\n" + rec("0012", ",,L,AD2,IOS00");
  putFile(DataStatistics::kUploadFile, damaged);
  putFile(DataStatistics::kTempFile, rec("0012", ",,L,AD3,IOS00"));
  stats().createFile();
  EXPECT_EQ(fileText(DataStatistics::kUploadFile), header + rec("0012", ",,L,AD1,IOS00") + "\n" +
                                                      rec("0012", ",,L,AD2,IOS00") + "\n" +
                                                      rec("0012", ",,L,AD3,IOS00"));
  // The header alone, short of a record.
  damaged.erase(damaged.find("0012,"));
  putFile(DataStatistics::kUploadFile, damaged);
  putFile(DataStatistics::kTempFile, "");
  stats().createFile();
  EXPECT_EQ(fileText(DataStatistics::kUploadFile), header);
  // Records without any header above them (as many device ids as a header has) get one too.
  std::string headless;
  for (int i = 0; i < 7; ++i) headless += rec("0012", ",,L,AD" + std::to_string(i) + ",IOS00") + "\n";
  headless.pop_back();
  putFile(DataStatistics::kUploadFile, headless);
  stats().createFile();
  EXPECT_EQ(fileText(DataStatistics::kUploadFile), header + headless);
  // An empty upload file gets the header before the merge.
  putFile(DataStatistics::kUploadFile, "");
  putFile(DataStatistics::kTempFile, rec("0012", ",,L,AD4,IOS00"));
  stats().createFile();
  EXPECT_EQ(fileText(DataStatistics::kUploadFile), header + rec("0012", ",,L,AD4,IOS00"));
}

// Records of about 100 KB fill a file past its cap in a few dozen appends.
std::string bigAdvert(int n) { return "AD" + std::to_string(n) + "-" + std::string(100000, 'x'); }

// The numbers of the big adverts in the lines, in order, and the 9999 lines.
struct BigAdverts {
  std::vector<int> numbers;
  std::vector<std::string> dropRecords;
};
BigAdverts bigAdvertsIn(const std::vector<std::string>& lines) {
  BigAdverts found;
  for (const auto& line : lines) {
    const size_t at = line.find(",AD");
    if (line.rfind("0012,", 0) == 0 && at != std::string::npos) {
      found.numbers.push_back(std::atoi(line.c_str() + at + 3));
    } else if (line.rfind("9999,", 0) == 0) {
      found.dropRecords.push_back(line);
    }
  }
  return found;
}

std::string dropRecordMessage(size_t dropped) {
  return "统计记录已满，丢弃最早的记录" + std::to_string(dropped) + "条";
}

TEST_F(StatisticsRecordTest, AFullFileDropsItsOldestRecordsAndCountsThem) {
  const int count = static_cast<int>(DataStatistics::kFileCapBytes / 100000) + 5;
  for (int n = 0; n < count; ++n) stats().advertisementRecord(bigAdvert(n));

  const std::string text = fileText(DataStatistics::kTempFile);
  EXPECT_LE(text.size(), DataStatistics::kFileCapBytes);
  const auto lines = linesOf(text);
  const BigAdverts found = bigAdvertsIn(lines);
  ASSERT_FALSE(found.numbers.empty());
  EXPECT_EQ(found.numbers.back(), count - 1) << "the newest record stays";
  for (size_t i = 1; i < found.numbers.size(); ++i) {
    EXPECT_EQ(found.numbers[i], found.numbers[i - 1] + 1) << "only the oldest go";
  }
  // The network record and the adverts before the first one kept were dropped, and counted.
  const size_t dropped = 1 + static_cast<size_t>(found.numbers.front());
  ASSERT_EQ(found.dropRecords.size(), 1u);
  EXPECT_EQ(found.dropRecords[0], rec("9999", ",iPhone5-2,6.1,y,3.1.5.0,1," + dropRecordMessage(dropped) + ",IOS00,(null)"));
  EXPECT_NE(text.find(rec("0012", ",," + std::string(kLogin) + "," + bigAdvert(count - 1) + ",IOS00")), std::string::npos);
}

TEST_F(StatisticsRecordTest, AFullUploadFileKeepsItsHeader) {
  stats().createFile();
  const std::string header = fileText(DataStatistics::kUploadFile);
  // Two merges of records that each fit in a temporary file overfill the upload file.
  const int perMerge = static_cast<int>(DataStatistics::kFileKeepBytes / 100000);
  int n = 0;
  for (int merge = 0; merge < 2; ++merge) {
    for (int i = 0; i < perMerge; ++i) stats().advertisementRecord(bigAdvert(n++));
    stats().createFile();
  }
  const std::string text = fileText(DataStatistics::kUploadFile);
  EXPECT_LE(text.size(), DataStatistics::kFileCapBytes);
  EXPECT_EQ(text.substr(0, header.size()), header);
  const auto lines = linesOf(text);
  const BigAdverts found = bigAdvertsIn(lines);
  ASSERT_FALSE(found.numbers.empty());
  ASSERT_EQ(found.dropRecords.size(), 1u);
  EXPECT_EQ(lines.back(), found.dropRecords[0]) << "the count follows the records of the merge";
  EXPECT_EQ(found.numbers.back(), n - 1);
  EXPECT_NE(found.dropRecords[0].find("," + dropRecordMessage(1 + static_cast<size_t>(found.numbers.front())) + ","),
            std::string::npos)
      << found.dropRecords[0];
}

// The process ended inside an append: the next run drops the cut-off record before anything
// reads the file, and its records follow the last whole one.
TEST_F(StatisticsRecordTest, ARecordCutOffByTheEndOfARunIsDroppedAtTheNextStart) {
  stats().advertisementRecord("AD1");
  const std::string whole = fileText(DataStatistics::kTempFile);
  ASSERT_TRUE(platform::fs::writeAtomic(platform::Sandbox::caches() / std::string(RecordFiles::kAppendMarker),
                                        std::to_string(whole.size()) + " " + std::string(DataStatistics::kTempFile)));
  ASSERT_TRUE(platform::fs::append(platform::Sandbox::caches() / std::string(DataStatistics::kTempFile),
                                   "\n0012,2014-05-06 10:1"));
  platform::testing::restart();
  stats();
  settle();  // the network record of the recorder's creation comes first
  stats().advertisementRecord("AD2");
  const auto lines = linesOf(fileText(DataStatistics::kTempFile));
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(fileText(DataStatistics::kTempFile).substr(0, whole.size() + 1), whole + "\n");
  for (const auto& line : lines) EXPECT_NE(line.find(",IOS00"), std::string::npos) << "a cut record: " << line;
  EXPECT_NE(lines.back().find(",AD2,"), std::string::npos);
}

// ---------------------------------------------------------------------------------------------
// Upload and immediate posts against the statistics stand-in

class StatisticsUploadTest : public StatisticsRecordTest {
 protected:
  void SetUp() override {
    StatisticsRecordTest::SetUp();
    services = std::make_shared<testing::AppWindowServices>();
    AppServices::install(services);
    NVXConfig::sharedConfig().setIsNetValid(true);
    startServer(true);
  }
  void TearDown() override {
    if (server) server->stop();
    AppServices::install(nullptr);
  }

  void startServer(bool https) {
    if (server) server->stop();
    auto settings = standin::StatisticsStandin::Settings::fromProjectFiles();
    ASSERT_TRUE(settings.isOk()) << settings.error();
    if (https) {
      // A new file name for each set: the HTTP client may keep a CA file it has read.
      auto certs = standin::TestCertificates::create(platform::Sandbox::tmp() / "tls",
                                                     "statistics-" + std::to_string(++certificateSets));
      ASSERT_TRUE(certs.isOk()) << certs.error();
      ServerConfig::current().setCaFile(certs.value().caCertFile.string());
      settings->tls = certs.value();
    }
    server = std::make_unique<standin::StatisticsStandin>(settings.value());
    ASSERT_TRUE(server->start().isOk());
    StatisticsServerConfig::current().setStatisticsBase(server->statisticsBaseAddress());
  }

  static bool await(const std::function<bool()>& pred) {
    return platform::RunLoop::main().drainIoUntil(pred, std::chrono::seconds(10));
  }
  // Runs an upload to its end; true when it reached the server.
  bool upload() {
    const size_t before = server->uploads().size();
    stats().uploadFile();
    settle();
    if (!stats().isUploading()) return server->uploads().size() > before;
    EXPECT_TRUE(await([] { return !stats().isUploading(); }));
    return server->uploads().size() > before;
  }
  // The first upload after installation only writes the header.
  void install() {
    ASSERT_FALSE(upload());
    ASSERT_EQ(linesOf(fileText(DataStatistics::kUploadFile)).size(), 7u);
  }

  std::shared_ptr<testing::AppWindowServices> services;
  std::unique_ptr<standin::StatisticsStandin> server;
  int certificateSets = 0;
};

TEST_F(StatisticsUploadTest, TheFirstUploadOnlyWritesTheHeaderAndTheNextSendsTheRecords) {
  stats().stepRecord("B00001_1");
  const std::string temp = fileText(DataStatistics::kTempFile);
  install();
  EXPECT_EQ(server->uploads().size(), 0u);
  EXPECT_EQ(fileText(DataStatistics::kTempFile), temp);

  const std::string header = fileText(DataStatistics::kUploadFile);
  ASSERT_TRUE(upload());
  const auto sent = server->uploads().back();
  EXPECT_EQ(sent.logdata, header + temp);
  EXPECT_EQ(sent.retCode, "0000");
  EXPECT_TRUE(sent.identityOk);
  EXPECT_TRUE(sent.https);
  EXPECT_EQ(sent.imei, id);
  EXPECT_EQ(sent.ver, "28");
  EXPECT_EQ(sent.userToken, kToken) << "over HTTPS the token goes with the upload";
  const auto request = server->http().lastRequest();
  ASSERT_TRUE(request);
  EXPECT_EQ(request->path, "/mobilestatics/iphone/uploadCsvFile.json");
  EXPECT_EQ(request->query, std::string("userToken=") + kToken + "&uid=" + BaseService::uid() +
                                "&vercode=" + BaseService::vercode());
  EXPECT_EQ(request->method, "POST");
  EXPECT_FALSE(request->formValue("mac")) << "the request hook leaves the upload alone";
  EXPECT_FALSE(request->formValue("custlev"));

  // Success empties the upload file; the next upload starts with a new header.
  EXPECT_EQ(fileText(DataStatistics::kUploadFile), "");
  EXPECT_FALSE(stats().isUploading());
  stats().advertisementRecord("AD1");
  ASSERT_TRUE(upload());
  EXPECT_EQ(server->uploads().back().logdata, header + rec("0012", ",," + std::string(kLogin) + ",AD1,IOS00"));
}

TEST_F(StatisticsUploadTest, NothingIsSentWithoutNetworkWhilePausedOrWithoutRecords) {
  install();
  ASSERT_TRUE(upload());  // the network record
  EXPECT_FALSE(upload()) << "the new header alone is not sent";
  EXPECT_EQ(linesOf(fileText(DataStatistics::kUploadFile)).size(), 7u);

  stats().stepRecord("B00001_1");
  NVXConfig::sharedConfig().setIsNetValid(false);
  EXPECT_FALSE(upload());
  NVXConfig::sharedConfig().setIsNetValid(true);
  stats().setIsPauseUpload(true);
  EXPECT_FALSE(upload());
  EXPECT_NE(fileText(DataStatistics::kTempFile), "") << "the records wait";
  stats().setIsPauseUpload(false);
  EXPECT_TRUE(upload());
  EXPECT_EQ(fileText(DataStatistics::kTempFile), "");
}

TEST_F(StatisticsUploadTest, FailuresKeepTheRecordsAndWrite9999) {
  install();
  stats().stepRecord("B00001_1");
  server->script("uploadCsvFile", standin::StatisticsStandin::Scripted::error("3001", "服务器忙"));
  ASSERT_TRUE(upload());
  const std::string kept = fileText(DataStatistics::kUploadFile);
  EXPECT_NE(kept.find("B00001_1"), std::string::npos);
  EXPECT_EQ(lastLine(DataStatistics::kTempFile), rec("9999", ",iPhone5-2,6.1,y,3.1.5.0,1,服务器忙,IOS00,u42"));

  // A reply that is not the envelope: nothing written, the records stay.
  server->script("uploadCsvFile", standin::StatisticsStandin::Scripted::body("<html>busy</html>"));
  ASSERT_TRUE(upload());
  EXPECT_EQ(fileText(DataStatistics::kTempFile), "");  // merged into the upload file, which stays
  const std::string kept2 = fileText(DataStatistics::kUploadFile);
  EXPECT_EQ(kept2.substr(0, kept.size()), kept);

  // No reply at all.
  server->stop();
  stats().uploadFile();
  settle();
  EXPECT_TRUE(await([] { return !stats().isUploading(); }));
  EXPECT_EQ(lastLine(DataStatistics::kTempFile).substr(0, 4), "9999");
  EXPECT_NE(lastLine(DataStatistics::kTempFile).find(",1,客户端未联网或客户端网络较差,IOS00,"), std::string::npos);

  // Once the server accepts the file, every record has reached it exactly once.
  startServer(true);
  ASSERT_TRUE(upload());
  const std::string all = server->uploads().back().logdata;
  EXPECT_NE(all.find("B00001_1"), std::string::npos);
  EXPECT_NE(all.find("服务器忙"), std::string::npos);
  EXPECT_NE(all.find("客户端未联网或客户端网络较差"), std::string::npos);
  EXPECT_EQ(fileText(DataStatistics::kUploadFile), "");
}

TEST_F(StatisticsUploadTest, RecordsWrittenDuringAnUploadAreNotLost) {
  install();
  stats().advertisementRecord("AD1");
  server->holdUploads();
  stats().uploadFile();
  ASSERT_TRUE(await([&] { return server->uploads().size() == 1; }));
  EXPECT_TRUE(stats().isUploading());

  // Later uploads do not touch the file being sent.
  const std::string inFlight = fileText(DataStatistics::kUploadFile);
  stats().advertisementRecord("AD2");
  (void)stats().registerSuccessRecord("13900000000");
  stats().uploadFile();
  settle();
  stats().createFile();
  stats().dataIntegration();
  EXPECT_EQ(fileText(DataStatistics::kUploadFile), inFlight);

  server->release();
  ASSERT_TRUE(await([] { return !stats().isUploading(); }));
  EXPECT_EQ(fileText(DataStatistics::kUploadFile), "");
  EXPECT_NE(fileText(DataStatistics::kTempFile).find(",AD2,"), std::string::npos);
  EXPECT_NE(fileText(DataStatistics::kTempRegFile).find("0014,"), std::string::npos);

  ASSERT_TRUE(upload());
  std::map<std::string, int> seen;
  for (const auto& line : server->acceptedRecords()) ++seen[line];
  EXPECT_EQ(seen[rec("0012", ",," + std::string(kLogin) + ",AD1,IOS00")], 1);
  EXPECT_EQ(seen[rec("0012", ",," + std::string(kLogin) + ",AD2,IOS00")], 1);
  size_t registrations = 0;
  for (const auto& [line, count] : seen) registrations += line.rfind("0014,", 0) == 0 ? count : 0;
  EXPECT_EQ(registrations, 1u);
}

TEST_F(StatisticsUploadTest, CancellingAnUploadClearsTheFlagAndKeepsTheRecords) {
  install();
  stats().advertisementRecord("AD1");
  server->holdUploads();
  stats().uploadFile();
  ASSERT_TRUE(await([&] { return server->uploads().size() == 1; }));
  ASSERT_TRUE(stats().isUploading());
  stats().cancelUploadFile();
  EXPECT_FALSE(stats().isUploading());
  server->release();
  ASSERT_TRUE(platform::testing::settleIo());
  EXPECT_EQ(fileText(DataStatistics::kTempFile).find("9999"), std::string::npos) << "a cancel is no failure";
  EXPECT_NE(fileText(DataStatistics::kUploadFile).find(",AD1,"), std::string::npos);

  stats().cancelUploadFile();  // nothing under way: nothing happens
  ASSERT_TRUE(upload());
  EXPECT_NE(server->uploads().back().logdata.find(",AD1,"), std::string::npos);
  EXPECT_EQ(fileText(DataStatistics::kUploadFile), "");
}

TEST_F(StatisticsUploadTest, TheUserTokenNeverGoesOverPlainHttp) {
  EXPECT_EQ(std::string(StatisticsServerConfig::kDefaultStatisticsApi).rfind("https://", 0), 0u);
  EXPECT_EQ(std::string(StatisticsServerConfig::kDefaultProbeApi).rfind("https://", 0), 0u);
  startServer(false);
  install();
  stats().advertisementRecord("AD1");
  ASSERT_TRUE(upload());
  EXPECT_FALSE(server->uploads().back().https);
  EXPECT_EQ(server->uploads().back().userToken, "(null)");
  EXPECT_EQ(server->uploads().back().retCode, "0000");

  // Without a logged-in user the token is "(null)" over HTTPS too.
  startServer(true);
  User::currentUser().setUserToken("");
  stats().advertisementRecord("AD2");
  ASSERT_TRUE(upload());
  EXPECT_EQ(server->uploads().back().userToken, "(null)");
}

TEST_F(StatisticsUploadTest, ActivationIsPostedAtOnce) {
  stats().clientActive();
  ASSERT_TRUE(await([] { return platform::UserDefaults::standard().string(DataStatistics::kInstalledKey).has_value(); }));
  EXPECT_EQ(platform::UserDefaults::standard().string(DataStatistics::kInstalledKey), "1");
  ASSERT_EQ(server->infos().size(), 1u);
  EXPECT_EQ(server->infos()[0].infoStr, rec("0010", ",,IOS00," + std::string(kLogin) + ",3.1.5.0"));
  EXPECT_EQ(server->infos()[0].imei, id);
  EXPECT_TRUE(server->infos()[0].identityOk);
  EXPECT_EQ(fileText(DataStatistics::kTempFile).find("0010,"), std::string::npos);

  // Refused: the record waits in the Temp file, and the client is not marked installed.
  platform::UserDefaults::standard().remove(DataStatistics::kInstalledKey);
  server->script("insertStaticesInfo", standin::StatisticsStandin::Scripted::error("3001", "忙"));
  stats().clientActive();
  ASSERT_TRUE(await([] { return lastLine(DataStatistics::kTempFile).rfind("0010,", 0) == 0; }));
  EXPECT_EQ(lastLine(DataStatistics::kTempFile), rec("0010", ",,IOS00," + std::string(kLogin) + ",3.1.5.0"));
  EXPECT_FALSE(platform::UserDefaults::standard().contains(DataStatistics::kInstalledKey));
}

TEST_F(StatisticsUploadTest, PushRecordsArePostedAndOnlyDeliveredOnesLeaveThePushFile) {
  server->script("insertStaticesInfo", standin::StatisticsStandin::Scripted::error("3001", "忙"));
  stats().notificationRecord(true, "m1");
  ASSERT_TRUE(await([&] { return server->infos().size() == 1; }));
  ASSERT_TRUE(platform::testing::settleIo());
  EXPECT_EQ(fileText(DataStatistics::kTempPushFile), rec("0017", "m1,,IOS00,1"));

  server->clearScript("insertStaticesInfo");
  stats().notificationRecord(false, "m2");
  ASSERT_TRUE(await([] { return fileText(DataStatistics::kTempPushFile).find("m2") == std::string::npos; }));
  EXPECT_EQ(server->infos().back().infoStr, rec("0017", "m2,,IOS00,0"));
  EXPECT_EQ(fileText(DataStatistics::kTempPushFile), rec("0017", "m1,,IOS00,1")) << "m1 waits for the upload";
}

TEST_F(StatisticsUploadTest, RegistrationRecordIsReturnedAndClearedByTheCaller) {
  const std::string record = stats().registerSuccessRecord("13900000000");
  EXPECT_EQ(record, rec("0014", ",,IOS00,13900000000,iPhone,,y,2,3.1.5.0"));
  EXPECT_EQ(fileText(DataStatistics::kTempRegFile), record);
  stats().clearRegisterFileData();
  EXPECT_EQ(fileText(DataStatistics::kTempRegFile), "");
}

// ---------------------------------------------------------------------------------------------
// Probe

TEST_F(StatisticsRecordTest, ProbeProfile) {
  EXPECT_EQ(ClientSettings::current().probeKey(), standin::ProbeStandin::kProbeKey);
  struct Case {
    const char* name;
    std::function<void()> arrange;
    platform::Json expected;  // the keys that differ from the first case
  };
  const platform::Json base = {{"ver", "28"},         {"logged", "true"},
                               {"os", "ios"},         {"sysver", "6.1"},
                               {"channel", "IOS00"},  {"qtype", "0001"},
                               {"psam", kReader},     {"mobmodel", "iPhone5-2,y,320*568"},
                               {"lang", "zh"},        {"net", "wifi"},
                               {"mobile", kLogin},    {"busid", "M50010_1"},
                               {"imei", id}};
  const std::vector<Case> cases = {
      {"logged in, reader, Wi-Fi", [] {}, {}},
      {"mobile data, English", [] {
         platform::Reachability::setNetworkStatus(platform::NetworkStatus::ReachableViaWWAN);
         platform::UserDefaults::standard().set("AppleLanguages", platform::Json::array({"en"}));
       },
       {{"net", "wap"}, {"lang", "en"}}},
      {"no network, no language", [] {
         platform::Reachability::setNetworkStatus(platform::NetworkStatus::NotReachable);
         platform::UserDefaults::standard().remove("AppleLanguages");
         platform::Device::info().languages.clear();
       },
       {{"net", ""}, {"lang", "zh"}}},
      {"no reader model: no reader either", [] { platform::UserDefaults::standard().remove(DataStatistics::kUnitIdKey); },
       {{"qtype", ""}, {"psam", ""}}},
      {"logged out, no SIM", [] {
         platform::UserDefaults::standard().set(DataStatistics::kUnitIdKey, "0001");
         User::currentUser().setPsamId("");
         User::currentUser().setUserToken("");
         platform::Device::info().carrier.reset();
       },
       {{"qtype", ""}, {"psam", ""}, {"logged", "false"}, {"mobmodel", "iPhone5-2,,320*568"}}},
  };
  platform::Json expected = base;
  for (const auto& c : cases) {
    c.arrange();
    for (auto it = c.expected.begin(); it != c.expected.end(); ++it) expected[it.key()] = it.value();
    auto profile = platform::json::parse(DataStatistics::probeProfileJson("M50010_1"));
    ASSERT_TRUE(profile) << c.name;
    EXPECT_EQ(*profile, expected) << c.name;
    // Escaped Base64 of the Triple-DES text, deciphered here with OpenSSL.
    const std::string text = DataStatistics::probeText("M50010_1");
    EXPECT_EQ(text.find_first_of("+/="), std::string::npos) << text;
    auto base64 = text::originalURLString(text);
    ASSERT_TRUE(base64);
    EXPECT_EQ(standin::ProbeStandin::decrypt(*base64, standin::ProbeStandin::kProbeKey),
              DataStatistics::probeProfileJson("M50010_1"));
  }
}

TEST_F(StatisticsUploadTest, ProbeReachesTheProbeServer) {
  auto certs = standin::TestCertificates::create(platform::Sandbox::tmp() / "tls-probe", "probe");
  ASSERT_TRUE(certs.isOk());
  ServerConfig::current().setCaFile(certs.value().caCertFile.string());
  standin::ProbeStandin probeServer(standin::ProbeStandin::Settings{std::string(standin::ProbeStandin::kProbeKey),
                                                                    certs.value()});
  ASSERT_TRUE(probeServer.start().isOk());
  StatisticsServerConfig::current().setProbeBase(probeServer.probeAddress());
  DataStatistics::probe("M50010_1");
  ASSERT_TRUE(await([&] { return probeServer.probes().size() == 1; }));
  const auto probe = probeServer.probes().front();
  EXPECT_TRUE(probe.https);
  ASSERT_TRUE(probe.profile) << probe.error;
  EXPECT_EQ((*probe.profile)["busid"], "M50010_1");
  EXPECT_EQ((*probe.profile)["imei"], id);
  EXPECT_EQ((*probe.profile)["mobile"], kLogin);
  EXPECT_EQ(probe.profile->size(), 13u);
  probeServer.stop();
}

}  // namespace
}  // namespace nvx
