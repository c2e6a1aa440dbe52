#pragma once
// Base classes of the component layer: TObject (class names), TComponent (owner, name, tag, owned
// components, component state, notifications) and the string lists that controls expose.
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace gui {

class TObject {
 public:
  virtual ~TObject() = default;
  // The class name of the component class library ("TMemo", "TSpeedButton", "TForm1", ...).
  virtual const char* ClassName() const { return "TObject"; }
};

#define GUI_CLASS_NAME(name) \
  const char* ClassName() const override { return name; }

using TNotifyEvent = std::function<void(TObject* Sender)>;

// Component state flags (a set).
using TComponentState = uint32_t;
inline constexpr TComponentState csLoading = 0x01;
inline constexpr TComponentState csReading = 0x02;
inline constexpr TComponentState csWriting = 0x04;
inline constexpr TComponentState csDestroying = 0x08;
inline constexpr TComponentState csDesigning = 0x10;
inline constexpr TComponentState csFreeNotification = 0x40;

enum class TOperation { opInsert, opRemove };

// Raised for misuse of components (duplicate names, invalid operations).
class EComponentError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
class EInvalidOperation : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};
// The silent abort: stops an operation without a message box (its message says why, for whoever catches it).
class EAbort : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A component: owned by another component (or by nobody), freed with its owner; knows the components it
// owns in creation order; tells its owner's tree and its free-notification subscribers when components come
// and go.
class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  GUI_CLASS_NAME("TComponent")

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  // Names are unique (case-insensitively) among the components of one owner; a clash raises EComponentError.
  virtual void SetName(const std::string& name);
  intptr_t Tag() const { return tag_; }
  void SetTag(intptr_t tag) { tag_ = tag; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }
  // The owned component of that name (case-insensitive), or nullptr.
  TComponent* FindComponent(const std::string& name) const;
  template <class T>
  T* Find(const std::string& name) const {
    return dynamic_cast<T*>(FindComponent(name));
  }

  TComponentState ComponentState() const { return state_; }
  bool IsLoading() const { return (state_ & csLoading) != 0; }
  bool IsDestroying() const { return (state_ & csDestroying) != 0; }

  // Asks to be told (Notification with opRemove) when `c` is freed; both directions are kept.
  void FreeNotification(TComponent* c);
  void RemoveFreeNotification(TComponent* c);

  void InsertComponent(TComponent* c);
  void RemoveComponent(TComponent* c);

  // Streaming brackets: BeginLoading marks this component and everything it owns as loading; EndLoading
  // calls Loaded on every owned component (in creation order) and then on this one.
  void BeginLoading();
  void EndLoading();
  // Marks this component and everything it owns as being destroyed.
  void Destroying();
  // Called by Free while the object is still whole (forms fire OnDestroy here).
  virtual void BeforeDestruction() { Destroying(); }

 protected:
  // Called when `AComponent` was inserted into or is being removed from this component's tree, or when a
  // component this one asked to be told about is freed. Passed on to every owned component.
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  virtual void Loaded();
  void SetComponentState(TComponentState s) { state_ = s; }

 private:
  void NotifyTree(TComponent* AComponent, TOperation Operation);
  TComponent* owner_ = nullptr;
  std::string name_;
  intptr_t tag_ = 0;
  TComponentState state_ = 0;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
};

// Frees a component the way the class library does: BeforeDestruction (which marks it as being destroyed)
// runs while the object is whole, then it is deleted.
void Free(TComponent* c);

bool SameText(const std::string& a, const std::string& b);

// An ordered list of strings, each with an optional object pointer; OnChange tells the control that shows it.
class TStrings {
 public:
  struct Item {
    std::string text;
    TObject* object = nullptr;
  };
  virtual ~TStrings() = default;

  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& Strings(int i) const { return items_.at(static_cast<size_t>(i)).text; }
  const std::string& operator[](int i) const { return Strings(i); }
  TObject* Objects(int i) const { return items_.at(static_cast<size_t>(i)).object; }
  void SetString(int i, const std::string& s);
  void SetObject(int i, TObject* o);
  int Add(const std::string& s) { return AddObject(s, nullptr); }
  int AddObject(const std::string& s, TObject* o);
  void Insert(int i, const std::string& s);
  void Delete(int i);
  void Clear();
  int IndexOf(const std::string& s) const;
  int IndexOfObject(const TObject* o) const;
  // The lines joined, each followed by CR LF.
  std::string Text() const;
  // Splits at CR LF, CR or LF; a last line without a line end is kept.
  void SetText(const std::string& text);
  void Assign(const TStrings& other);

  std::function<void()> OnChange;

 protected:
  virtual void Changed();
  std::vector<Item> items_;
};

using TStringList = TStrings;

}  // namespace gui
