#include "app/ui/NVXAction.h"

#include "core/models/ServiceGroupEntity.h"
#include "core/shell/AppServices.h"
#include "net/MainApiRequest.h"
#include "platform/device/UrlOpener.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/AlertView.h"

namespace nvx {

namespace ui = platform::ui;

// The shared instance lives in the process registry (made once under its lock).
struct NVXAction::Holder {
  std::shared_ptr<NVXAction> action{new NVXAction()};
};

std::shared_ptr<NVXAction> NVXAction::sharedAction() { return platform::Process::current().shared<Holder>().action; }

void NVXAction::phoneCall(const std::string& number) {
  const std::string url = "tel:" + number;
  if (platform::UrlOpener::shared().open(url)) return;
  ui::AlertView::create("", platform::Strings::localized("NoPhone"), platform::Strings::localized("Know"))->show();
}

void NVXAction::showPhoneSheetInView(ui::View& view, const std::string& phone) {
  auto sheet = ui::ActionSheet::create(phone, platform::Strings::localized("Cancel"), platform::Strings::localized("Call"));
  sheet->setDelegate(weak_from_this());
  sheet->showIn(view);
}

void NVXAction::showPhoneSheetWithPhone(const std::string& phone) {
  auto nav = AppServices::current().navigationController();
  if (!nav) {
    platform::log::warning("NVXAction", "no navigation controller to show the call sheet in");
    return;
  }
  showPhoneSheetInView(*nav->view(), phone);
}

void NVXAction::actionSheetDidDismissWithButtonIndex(ui::ActionSheet& sheet, int index) {
  if (index == 0) phoneCall(sheet.title());
}

void NVXAction::updateUIServiceGroup(std::function<void(bool stored)> completion) {
  MainApiRequest::get("getServiceGroup", Identity::Plain)
      .entity(EntityClass::of<ServiceGroupEntity>())
      .start({[completion = std::move(completion)](ServerReply reply) {
                const platform::Json* data = reply.data();
                const bool isList = data && data->is_array();
                if (isList) ServiceGroupEntity::store(reply.result.list<ServiceGroupEntity>());
                if (completion) completion(isList);
              },
              "getServiceGroup"});
}

void NVXAction::updateMainTheme() { AppServices::current().updateMainTheme(); }

}  // namespace nvx
