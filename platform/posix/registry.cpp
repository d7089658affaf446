// The registry seam on Linux: an in-memory store of key paths per view, matched without regard to
// letter case as the registry matches them.
#include <algorithm>
#include <mutex>
#include <set>

#include "platform/posix/registry_store.h"

namespace platform {
namespace {

struct Store {
  std::mutex lock;
  std::set<std::u16string> keys64;
  std::set<std::u16string> keys32;
};

Store& TheStore() {
  static Store store;
  return store;
}

std::set<std::u16string>& KeysOf(Store& store, RegistryView view) {
  return view == RegistryView::Bits64 ? store.keys64 : store.keys32;
}

// Letter case does not distinguish keys; ASCII folding covers the key names products use.
std::u16string Folded(std::u16string path) {
  std::transform(path.begin(), path.end(), path.begin(),
                 [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; });
  return path;
}

}  // namespace

namespace posix {

void AddLocalMachineKey(const std::u16string& path, RegistryView view) {
  Store& store = TheStore();
  std::lock_guard guard(store.lock);
  std::u16string key = Folded(path);
  // Creating a key creates its parents, so each of them exists too.
  for (size_t end = key.find(u'\\'); end != std::u16string::npos; end = key.find(u'\\', end + 1))
    KeysOf(store, view).insert(key.substr(0, end));
  KeysOf(store, view).insert(key);
}

void ClearLocalMachineKeys() {
  Store& store = TheStore();
  std::lock_guard guard(store.lock);
  store.keys64.clear();
  store.keys32.clear();
}

}  // namespace posix

bool LocalMachineKeyExists(const std::u16string& path, RegistryView view) {
  if (path.empty()) return true;  // the hive itself
  Store& store = TheStore();
  std::lock_guard guard(store.lock);
  return KeysOf(store, view).contains(Folded(path));
}

}  // namespace platform
