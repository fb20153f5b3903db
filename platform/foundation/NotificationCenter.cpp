#include "platform/foundation/NotificationCenter.h"

#include <atomic>

#include "platform/foundation/Process.h"

namespace platform {

namespace {
struct Observer {
  uint64_t id = 0;
  std::string name;
  const void* sender = nullptr;
  NotificationCenter::Callback callback;
  std::atomic<bool> active{true};
};
}  // namespace

struct NotificationCenter::State {
  std::mutex mutex;
  uint64_t nextId = 1;
  std::vector<std::shared_ptr<Observer>> observers;

  void remove(uint64_t id) {
    std::shared_ptr<Observer> gone;   // released after the lock: its callback may own anything
    std::lock_guard<std::mutex> lock(mutex);
    for (auto it = observers.begin(); it != observers.end(); ++it) {
      if ((*it)->id == id) {
        (*it)->active.store(false);
        gone = std::move(*it);
        observers.erase(it);
        break;
      }
    }
  }
  bool contains(uint64_t id) {
    std::lock_guard<std::mutex> lock(mutex);
    return std::any_of(observers.begin(), observers.end(),
                       [id](const auto& o) { return o->id == id; });
  }
};

NotificationCenter::Observation::Observation(Observation&& other) noexcept
    : state_(std::move(other.state_)), id_(std::exchange(other.id_, 0)) {}

NotificationCenter::Observation& NotificationCenter::Observation::operator=(Observation&& other) noexcept {
  if (this != &other) {
    cancel();
    state_ = std::move(other.state_);
    id_ = std::exchange(other.id_, 0);
  }
  return *this;
}

NotificationCenter::Observation::~Observation() { cancel(); }

void NotificationCenter::Observation::cancel() {
  if (auto state = state_.lock(); state && id_ != 0) state->remove(id_);
  state_.reset();
  id_ = 0;
}

bool NotificationCenter::Observation::active() const {
  auto state = state_.lock();
  return state && id_ != 0 && state->contains(id_);
}

NotificationCenter::NotificationCenter() : state_(std::make_shared<State>()) {}

NotificationCenter& NotificationCenter::shared() {
  return Process::current().shared<NotificationCenter>();
}

NotificationCenter::Observation NotificationCenter::observe(std::string name, const void* sender,
                                                            Callback callback) {
  auto observer = std::make_shared<Observer>();
  observer->name = std::move(name);
  observer->sender = sender;
  observer->callback = std::move(callback);
  std::lock_guard<std::mutex> lock(state_->mutex);
  observer->id = state_->nextId++;
  state_->observers.push_back(observer);
  return Observation(state_, observer->id);
}

void NotificationCenter::post(std::string_view name, const void* sender, Json userInfo) {
  post(Notification{std::string(name), sender, std::move(userInfo)});
}

void NotificationCenter::post(const Notification& note) {
  std::vector<std::shared_ptr<Observer>> targets;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    for (const auto& o : state_->observers) {
      if (o->name == note.name && (o->sender == nullptr || o->sender == note.sender)) {
        targets.push_back(o);
      }
    }
  }
  for (const auto& o : targets) {
    if (o->active.load() && o->callback) o->callback(note);
  }
}

}  // namespace platform
