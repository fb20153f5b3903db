// A deferred call: a target (not owned) and one of its operations, performed later. Performing
// does nothing when the target is gone, when there is no operation, or when the operation is
// not one of the target's (another class, or arguments it cannot take).
#pragma once
#include <any>
#include <functional>
#include <memory>
#include <typeindex>
#include <typeinfo>
#include <type_traits>
#include <vector>

namespace nvx {

class CMExecutor {
 public:
  using Arguments = std::vector<std::any>;

  // A target known weakly, with the class it was given as.
  class Target {
   public:
    Target() = default;   // no target
    template <class T>
    Target(const std::shared_ptr<T>& object) : object_(object), type_(typeid(T)) {}   // NOLINT: implicit
    template <class T>
    Target(const std::weak_ptr<T>& object) : object_(object), type_(typeid(T)) {}     // NOLINT: implicit

    std::shared_ptr<void> lock() const { return object_.lock(); }
    bool expired() const { return object_.expired(); }
    std::type_index type() const { return type_; }

   private:
    std::weak_ptr<void> object_;
    std::type_index type_ = typeid(void);
  };

  // An operation of one class: a member function taking nothing, one argument, or the whole
  // argument list.
  class Action {
   public:
    Action() = default;   // no operation
    template <class T>
    Action(void (T::*op)()) : owner_(typeid(T)) {   // NOLINT: implicit
      call_ = [op](void* target, const Arguments&) {
        (static_cast<T*>(target)->*op)();
        return true;
      };
    }
    template <class T, class A>
    Action(void (T::*op)(A)) : owner_(typeid(T)) {   // NOLINT: implicit
      using Value = std::remove_cvref_t<A>;
      call_ = [op](void* target, const Arguments& args) {
        if constexpr (std::is_same_v<Value, Arguments>) {
          (static_cast<T*>(target)->*op)(args);
          return true;
        } else {
          if (args.size() != 1) return false;
          const Value* value = std::any_cast<Value>(&args[0]);
          if (!value) return false;
          (static_cast<T*>(target)->*op)(*value);
          return true;
        }
      };
    }
    // Any callable taking the target (T&) and the arguments.
    template <class T>
    static Action of(std::function<void(T&, const Arguments&)> fn) {
      Action a;
      a.owner_ = typeid(T);
      if (fn) {
        a.call_ = [fn = std::move(fn)](void* target, const Arguments& args) {
          fn(*static_cast<T*>(target), args);
          return true;
        };
      }
      return a;
    }

    explicit operator bool() const { return static_cast<bool>(call_); }
    // The operation belongs to targets given as that class.
    bool isOperationOf(std::type_index type) const { return call_ && owner_ == type; }

   private:
    friend class CMExecutor;
    std::type_index owner_ = typeid(void);
    std::function<bool(void*, const Arguments&)> call_;
  };

  CMExecutor(Target target, Action action) : performer_(std::move(target)), action_(std::move(action)) {}
  ~CMExecutor();
  static std::shared_ptr<CMExecutor> initWithTarget(Target target, Action action);

  // Whether a perform now would call the operation: the target is alive and has it.
  bool canPerform() const;
  // Each calls the operation when the target has it (with no argument, one, or the list); true
  // when it was called.
  bool perform();
  bool performWithObject(std::any object);
  bool performWithObjects(Arguments objects);

  const Target& performer() const { return performer_; }
  void setPerformer(Target target) { performer_ = std::move(target); }
  const Action& action() const { return action_; }
  void setAction(Action action) { action_ = std::move(action); }

 private:
  bool call(const Arguments& args);

  Target performer_;
  Action action_;
};

}  // namespace nvx
