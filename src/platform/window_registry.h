#pragma once

#include <QPointer>
#include <QWidget>
#include <map>
#include <typeindex>

namespace quarn {

// One live instance per window class, as the windows of the program expect: loading a
// window that is open gives the open one, and code that writes into another window looks
// it up and does nothing when it is closed, never creating it.
//
// Windows loaded here are deleted when they close, so a closed window is simply gone; an
// opener waiting for it comes back when the deletion runs in the event loop.
class WindowRegistry {
 public:
  // The open window of class W, or nullptr.
  template <class W>
  W* Find() const {
    auto it = windows_.find(std::type_index(typeid(W)));
    if (it == windows_.end() || !IsOpen(it->second)) return nullptr;
    return static_cast<W*>(it->second.data());
  }

  // The open window that derives from Link (an interface a window of another folder
  // implements), or nullptr.
  template <class Link>
  Link* FindAs() const {
    for (const auto& [type, window] : windows_) {
      if (!IsOpen(window)) continue;
      if (auto* link = dynamic_cast<Link*>(window.data())) return link;
    }
    return nullptr;
  }
  // The open window of class W, or a new one made by `make()` (which returns W*).
  template <class W, class Make>
  W* Load(Make make) {
    if (W* open = Find<W>()) return open;
    W* w = make();
    w->setAttribute(Qt::WA_DeleteOnClose);
    windows_[std::type_index(typeid(W))] = w;
    return w;
  }

  // Closes the open window of class W, if any (it is deleted).
  template <class W>
  void Unload() {
    if (W* open = Find<W>()) open->close();
  }

  // The opener is hidden while the child is open and shown again, in front, however the
  // child closes (its own button, the frame, the program's code).
  static void HideOpenerWhileOpen(QWidget* child, QWidget* opener);
  // The same with the opener disabled instead of hidden (inside the frame, its sub-window
  // with it).
  static void DisableOpenerWhileOpen(QWidget* child, QWidget* opener);

 private:
  // A window that has closed waits for its deletion without the attribute, which Qt takes
  // off as it schedules the deletion: it is no longer open.
  static bool IsOpen(const QPointer<QWidget>& window) {
    return !window.isNull() && window->testAttribute(Qt::WA_DeleteOnClose);
  }

  std::map<std::type_index, QPointer<QWidget>> windows_;
};

// The registry of the running program.
WindowRegistry& AppWindows();

}  // namespace quarn
