// The first-run guide: full-screen pictures laid over the home screen until the user taps the
// start button on the last page. While it is up the application delegate's isShowWizard is set
// (the client stays upright), and the short version is stored under "start_help_page" when it is
// shown and again when it is left, so an interrupted guide is not shown again for that version.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Button.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/View.h"

namespace nvx {

class WizardView : public platform::ui::View {
 public:
  // A guide of the pictures of these names, not shown yet.
  static std::shared_ptr<WizardView> initWithPages(std::vector<std::string> pages);
  explicit WizardView(std::vector<std::string> pages);

  // Lays the guide over the key window (or the application's first window). A guide without
  // pages leaves again at once.
  void show();
  // The start button: stores the short version, takes the guide away, clears isShowWizard.
  void beginNuvexa();
  // The follow button: opens the service's microblog page in the system browser, then leaves
  // as the start button does.
  void handleNuvexaGovWeibo();
  // A swipe came to rest: the page whose left edge is within 20 points of the offset.
  void scrollViewDidEndDecelerating();

  static constexpr const char* kMicroblogAddress = "https://nuvexa.example/microblog";

  const std::vector<std::string>& helpInfoImages() const { return helpInfoImages_; }
  const std::shared_ptr<platform::ui::ScrollView>& scrollView() const { return scrollView_; }
  const std::shared_ptr<platform::ui::Button>& startButton() const { return startButton_; }
  const std::shared_ptr<platform::ui::Button>& followButton() const { return followButton_; }
  const std::shared_ptr<platform::ui::PageControl>& pageControl() const { return pageControl_; }
  int currentPage() const { return currentPage_; }

  std::string kind() const override { return "WizardView"; }

 private:
  std::vector<std::string> helpInfoImages_;
  std::shared_ptr<platform::ui::ScrollView> scrollView_;
  std::shared_ptr<platform::ui::Button> startButton_;
  std::shared_ptr<platform::ui::Button> followButton_;
  std::shared_ptr<platform::ui::PageControl> pageControl_;
  int currentPage_ = 0;
};

}  // namespace nvx
