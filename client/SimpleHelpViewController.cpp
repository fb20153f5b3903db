#include "client/SimpleHelpViewController.h"

#include "client/WizardView.h"

namespace nvx {

void SimpleHelpViewController::viewDidLoad() {
  platform::ui::ViewController::viewDidLoad();
  WizardView::initWithPages({"help_1.jpg", "help_2.jpg"})->show();
}

}  // namespace nvx
