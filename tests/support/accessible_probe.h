// Reads windows as an accessibility client (a screen reader) does, through the objects they
// serve (AccessibleObjectFromWindow), from the window's own thread or from another.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <vector>

#include "win32/text.h"

namespace vemo::testing {

// COM on the calling thread for as long as it lives.
struct ComThread {
  HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ~ComThread() {
    if (SUCCEEDED(started)) CoUninitialize();
  }
};

// One object or simple element as a client reads it.
struct SeenObject {
  bool window = false;  // a child window's own object (not read further here)
  std::string name;
  long role = 0;
  long state = 0;
  RECT location{};
  bool hasParent = false;
};

inline VARIANT ChildVariant(long id) {
  VARIANT child;
  VariantInit(&child);
  child.vt = VT_I4;
  child.lVal = id;
  return child;
}

inline SeenObject ReadObject(IAccessible* object, long id) {
  SeenObject seen;
  VARIANT child = ChildVariant(id);
  BSTR name = nullptr;
  if (object->get_accName(child, &name) == S_OK && name) {
    seen.name = ToUtf8(name);
    SysFreeString(name);
  }
  VARIANT value;
  VariantInit(&value);
  if (SUCCEEDED(object->get_accRole(child, &value)) && value.vt == VT_I4) seen.role = value.lVal;
  VariantInit(&value);
  if (SUCCEEDED(object->get_accState(child, &value)) && value.vt == VT_I4) seen.state = value.lVal;
  long x = 0, y = 0, w = 0, h = 0;
  if (SUCCEEDED(object->accLocation(&x, &y, &w, &h, child)))
    seen.location = RECT{x, y, x + w, y + h};
  if (id == CHILDID_SELF) {
    IDispatch* parent = nullptr;
    seen.hasParent = object->get_accParent(&parent) == S_OK && parent;
    if (parent) parent->Release();
  }
  return seen;
}

// What a window serves for its client area: the object itself, then its children in order.
// Empty when the window serves nothing.
inline std::vector<SeenObject> ReadAccessible(HWND hwnd) {
  ComThread com;
  std::vector<SeenObject> seen;
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&object))) ||
      !object)
    return seen;
  seen.push_back(ReadObject(object, CHILDID_SELF));
  long count = 0, got = 0;
  object->get_accChildCount(&count);
  std::vector<VARIANT> children(count > 0 ? count : 0);
  if (count > 0 && SUCCEEDED(AccessibleChildren(object, 0, count, children.data(), &got))) {
    for (long i = 0; i < got; ++i) {
      if (children[i].vt == VT_DISPATCH) {
        SeenObject window;
        window.window = true;
        seen.push_back(window);
        children[i].pdispVal->Release();
      } else if (children[i].vt == VT_I4) {
        seen.push_back(ReadObject(object, children[i].lVal));
      }
    }
  }
  object->Release();
  return seen;
}

// The names of a window's simple elements (its drawn texts and pictures), in order.
inline std::vector<std::string> AccessibleTexts(HWND hwnd) {
  std::vector<std::string> texts;
  std::vector<SeenObject> seen = ReadAccessible(hwnd);
  for (size_t i = 1; i < seen.size(); ++i)
    if (!seen[i].window) texts.push_back(seen[i].name);
  return texts;
}

}  // namespace vemo::testing
