// Test-only: a web engine that answers from a script instead of the network. Pages and failures
// are set per address; an address that is not scripted fails with CannotConnect. Answers come on
// a later pass of the main run loop, or, for a held address, only when the test releases it.
#pragma once
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/RunLoop.h"
#include "platform/ui/WebEngine.h"

namespace platform::ui {

class ScriptedWebEngine : public WebEngine {
 public:
  void setPage(std::string url, std::string html, int statusCode = 200) {
    answers_[std::move(url)] = WebResponse{std::nullopt, statusCode, std::move(html)};
  }
  void setFailure(std::string url, WebErrorCode code) {
    answers_[url] = WebResponse{WebError{code, "scripted failure", url}, 0, {}};
  }
  // Loads of the address wait until release().
  void hold(std::string url) { held_.push_back(std::move(url)); }
  // Answers the waiting loads of the address (on the next pass of the run loop) and stops
  // holding it.
  void release(const std::string& url) {
    std::erase(held_, url);
    auto waiting = std::move(waiting_);
    waiting_.clear();
    for (auto& w : waiting) {
      if (w.url == url) {
        answerLater(w.url, w.state);
      } else {
        waiting_.push_back(std::move(w));
      }
    }
  }

  // Every address asked for, oldest first.
  const std::vector<std::string>& requested() const { return requested_; }
  // Loads started and neither answered nor cancelled.
  size_t openLoads() const {
    size_t n = 0;
    for (const auto& s : states_) {
      if (auto state = s.lock(); state && state->done) ++n;
    }
    return n;
  }

  Cancel load(const WebRequest& request, Completion done) override {
    requested_.push_back(request.url);
    auto state = std::make_shared<State>();
    state->done = std::move(done);
    states_.push_back(state);
    if (std::find(held_.begin(), held_.end(), request.url) != held_.end()) {
      waiting_.push_back(Waiting{request.url, state});
    } else {
      answerLater(request.url, state);
    }
    return [state] { state->done = nullptr; };
  }

 private:
  struct State {
    Completion done;
  };
  struct Waiting {
    std::string url;
    std::shared_ptr<State> state;
  };

  void answerLater(const std::string& url, const std::shared_ptr<State>& state) {
    WebResponse response{WebError{WebErrorCode::CannotConnect, "no scripted page", url}, 0, {}};
    if (auto it = answers_.find(url); it != answers_.end()) response = it->second;
    dispatchMain([state, response] {
      auto done = std::move(state->done);
      state->done = nullptr;
      if (done) done(response);
    });
  }

  std::map<std::string, WebResponse> answers_;
  std::vector<std::string> held_;
  std::vector<Waiting> waiting_;
  std::vector<std::string> requested_;
  std::vector<std::weak_ptr<State>> states_;
};

}  // namespace platform::ui
