#include "app/ui/BankLogoUtil.h"

#include <map>
#include <utility>

#include "net/ServerConfig.h"

namespace nvx {

namespace {

// Later rows replace earlier ones: the three banks with two pictures end on the "yinhang" one.
const std::pair<const char*, const char*> kLogos[] = {
    {"上海银行", "shanghaiyinxing.png"},
    {"东亚银行", "dongyayinxing.png"},
    {"东莞银行", "dongwanyinxing.png"},
    {"中信银行", "zhongxinyinxing.png"},
    {"中国光大银行", "zhongguoguangdayinxing.png"},
    {"光大银行", "zhongguoguangdayinxing.png"},
    {"中国农业银行", "zhongguonongyeyinxing.png"},
    {"农业银行", "zhongguonongyeyinxing.png"},
    {"中国工商银行", "zhongguogongshangyinxing.png"},
    {"工商银行", "gongshangyinxing.png"},
    {"中国建设银行", "zhongguojiansheyinxing.png"},
    {"建设银行", "zhongguojiansheyinxing.png"},
    {"中国民生银行", "zhongguominshengyinxing.png"},
    {"民生银行", "zhongguominshengyinxing.png"},
    {"中国邮政储蓄银行", "zhongguoyouzhengchuxuyinxing.png"},
    {"邮政储蓄银行", "zhongguoyouzhengchuxuyinxing.png"},
    {"中国银行", "zhongguoyinxing.png"},
    {"交通银行", "jiaotongyinxing.png"},
    {"兴业银行", "xingyeyinxing.png"},
    {"包头商业银行", "baotoushangyeyinxing.png"},
    {"北京银行", "beijingyinxing.png"},
    {"华夏银行", "huaxiayinxing.png"},
    {"南京银行", "nanjingyinxing.png"},
    {"南昌银行", "nanchangyinxing.png"},
    {"大连银行", "dalianyinxing.png"},
    {"宁波银行", "ningboyinxing.png"},
    {"平安银行", "pinganyinxing.png"},
    {"广发银行", "guangfayinxing.png"},
    {"广州银行", "guangzhouyinxing.png"},
    {"成都农商银行", "chengdongnongshangyinxing.png"},
    {"招商银行", "zhaoshangyinxing.png"},
    {"江苏银行", "jiangsuyinxing.png"},
    {"泉州银行", "quanzhouyinxing.png"},
    {"浦东发展银行", "pudongfazhanyinxing.png"},
    {"浦发银行", "pufayinhang.png"},
    {"深圳发展银行", "shenzhenfazhanyinxing.png"},
    {"温州银行", "wenzhouyinxing.png"},
    {"绵阳市商业银行", "mianyangshishangyeyinxing.png"},
    {"花期银行", "huaqiyinxing.png"},
    {"重庆银行", "zhongqingyinxing.png"},
    {"长沙银行", "changshayinxing.png"},
    {"北京农商银行", "beijingnongshangyinhang.png"},
    {"德阳银行", "deyangyinhang.png"},
    {"台州银行", "taizhouyinhang.png"},
    {"平安银行", "pinganyinhang.png"},
    {"广发银行", "guangfayinhang.png"},
    {"深圳发展银行", "shenzhenfazhanyinhang.png"},
};

// "https://host:port/path" -> "host:port".
std::string hostOf(std::string_view url) {
  size_t start = url.find("://");
  start = start == std::string_view::npos ? 0 : start + 3;
  size_t end = url.find_first_of("/?#", start);
  std::string_view authority = url.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
  if (size_t at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
  return std::string(authority);
}

}  // namespace

std::optional<std::string> BankLogoUtil::getImageName(std::optional<std::string_view> bankName) {
  if (!bankName) return std::string();
  std::map<std::string_view, std::string_view> table;
  for (const auto& [name, picture] : kLogos) table[name] = picture;
  auto it = table.find(*bankName);
  if (it == table.end()) return std::nullopt;
  return std::string(it->second);
}

std::string BankLogoUtil::bankImageUrlWithbankCode(std::string_view bankCode) {
  return "https://" + hostOf(ServerConfig::current().mainApiBase()) + "/images/bank/" + std::string(bankCode) + ".png";
}

}  // namespace nvx
