#include "accessible.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "control.h"
#include "form.h"
#include "window_text.h"

namespace vemo::ui {
namespace {

// GUIDs of the annotation service, spelt out: the import library's definitions are not data.
const GUID kAccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
const GUID kAccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
const GUID kNameProperty = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

// COM on the user-interface thread, which serves every object: started by the first request.
void EnsureCom() {
  static const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  (void)started;
}

BSTR MakeBstr(const std::string& text) {
  std::wstring wide = ToWide(text);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

// A string property: S_FALSE and no string when it is empty.
HRESULT StringReply(const std::string& text, BSTR* out) {
  *out = text.empty() ? nullptr : MakeBstr(text);
  return text.empty() ? S_FALSE : S_OK;
}

VARIANT ChildId(long id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

// The client area of one of our windows. It holds only the window handle and finds the control
// again at every call, so a client that keeps it after the window has gone gets an error.
class AccessibleWindow final : public IAccessible {
 public:
  explicit AccessibleWindow(HWND hwnd) : hwnd_(hwnd) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch: clients call the methods directly.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    *parent = nullptr;
    if (!Self()) return E_FAIL;
    // The client area's parent is its window, which the system serves.
    HRESULT hr = AccessibleObjectFromWindow(hwnd_, OBJID_WINDOW, IID_IDispatch,
                                            reinterpret_cast<void**>(parent));
    return SUCCEEDED(hr) ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    WinControl* self = Self();
    if (!self) return E_FAIL;
    *count = static_cast<LONG>(Children(*self).size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** child) override {
    *child = nullptr;
    Control* c = nullptr;
    HRESULT hr = Resolve(id, c);
    if (hr != S_OK) return hr;
    // A child window is an object of its own (the system's, or ours); a drawn control is a
    // simple element of this one.
    auto* window = dynamic_cast<WinControl*>(c);
    if (!window || c == Self()) return id.lVal == CHILDID_SELF ? E_INVALIDARG : S_FALSE;
    return SUCCEEDED(AccessibleObjectFromWindow(window->Handle(), OBJID_WINDOW, IID_IDispatch,
                                                reinterpret_cast<void**>(child)))
               ? S_OK
               : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* name) override {
    *name = nullptr;
    Control* c = nullptr;
    HRESULT hr = Resolve(id, c);
    return hr != S_OK ? hr : StringReply(c->AccessibleName(), name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* value) override {
    *value = nullptr;
    Control* c = nullptr;
    HRESULT hr = Resolve(id, c);
    return hr != S_OK ? hr : StringReply(c->AccessibleValue(), value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* description) override {
    *description = nullptr;
    Control* c = nullptr;
    HRESULT hr = Resolve(id, c);
    if (hr != S_OK) return hr;
    // What a figure is (an empty panel's name already says it).
    const std::string& label = c->AccessibleLabel();
    return StringReply(label == c->AccessibleName() ? std::string() : label, description);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* role) override {
    VariantInit(role);
    Control* c = nullptr;
    HRESULT hr = Resolve(id, c);
    if (hr != S_OK) return hr;
    const bool ownWindow = c == Self() || !dynamic_cast<WinControl*>(c);
    *role = ChildId(ownWindow ? c->AccessibleRole() : ROLE_SYSTEM_WINDOW);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* state) override {
    VariantInit(state);
    Control* c = nullptr;
    HRESULT hr = Resolve(id, c);
    if (hr != S_OK) return hr;
    *state = ChildId(StateOf(*c));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR* help) override {
    *help = nullptr;
    Control* c = nullptr;
    HRESULT hr = Resolve(id, c);
    return hr != S_OK ? hr : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
    *file = nullptr;
    *topic = 0;
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR* shortcut) override {
    return get_accHelp(id, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* action) override {
    return get_accHelp(id, action);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    VariantInit(focus);
    WinControl* self = Self();
    if (!self) return E_FAIL;
    HWND focused = GetFocus();
    if (focused == hwnd_) {
      *focus = ChildId(CHILDID_SELF);
      return S_OK;
    }
    std::vector<Control*> kids = Children(*self);
    for (size_t i = 0; i < kids.size(); ++i) {
      auto* window = dynamic_cast<WinControl*>(kids[i]);
      if (window && (window->Handle() == focused || IsChild(window->Handle(), focused)))
        return ChildVariant(kids, i, focus);
    }
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    VariantInit(selection);
    return Self() ? S_FALSE : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT id) override {
    *left = *top = *width = *height = 0;
    Control* c = nullptr;
    HRESULT hr = Resolve(id, c);
    if (hr != S_OK) return hr;
    RECT r = ScreenRect(*c);
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    VariantInit(end);
    Control* c = nullptr;
    HRESULT hr = Resolve(start, c);
    if (hr != S_OK) return hr;
    std::vector<Control*> kids = Children(*Self());
    const bool fromSelf = start.lVal == CHILDID_SELF;
    const long n = static_cast<long>(kids.size());
    long to = -1;  // index into kids
    switch (direction) {
      case NAVDIR_FIRSTCHILD: to = fromSelf ? 0 : -1; break;
      case NAVDIR_LASTCHILD: to = fromSelf ? n - 1 : -1; break;
      case NAVDIR_NEXT: to = fromSelf ? -1 : start.lVal; break;
      case NAVDIR_PREVIOUS: to = fromSelf ? -1 : start.lVal - 2; break;
      default: return fromSelf ? S_FALSE : DISP_E_MEMBERNOTFOUND;
    }
    if (to < 0 || to >= n) return S_FALSE;
    return ChildVariant(kids, static_cast<size_t>(to), end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* at) override {
    VariantInit(at);
    WinControl* self = Self();
    if (!self) return E_FAIL;
    POINT p{x, y};
    RECT client = ScreenRect(*self);
    if (!PtInRect(&client, p)) return S_FALSE;
    // Child windows lie above the drawn controls; they come last in the list.
    std::vector<Control*> kids = Children(*self);
    for (size_t i = kids.size(); i-- > 0;) {
      RECT r = ScreenRect(*kids[i]);
      if (!(StateOf(*kids[i]) & STATE_SYSTEM_INVISIBLE) && PtInRect(&r, p))
        return ChildVariant(kids, i, at);
    }
    *at = ChildId(CHILDID_SELF);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }

 private:
  WinControl* Self() const { return IsWindow(hwnd_) ? WinControl::FromHandle(hwnd_) : nullptr; }

  // The drawn controls placed on this window that have something to say, top to bottom and
  // left to right, then the child windows in creation order.
  static std::vector<Control*> Children(const WinControl& self) {
    std::vector<Control*> kids;
    if (Form* form = self.OwnerForm())
      for (GraphicControl* g : form->Graphics())
        if (g->Parent() == &self && g->Visible() && !g->AccessibleName().empty()) kids.push_back(g);
    std::stable_sort(kids.begin(), kids.end(), [](Control* a, Control* b) {
      return a->Top() != b->Top() ? a->Top() < b->Top() : a->Left() < b->Left();
    });
    kids.insert(kids.end(), self.Children().begin(), self.Children().end());
    return kids;
  }

  // The control that an id names: the window's own for CHILDID_SELF, else a child (1-based).
  HRESULT Resolve(const VARIANT& id, Control*& out) const {
    WinControl* self = Self();
    if (!self) return E_FAIL;
    if (id.vt != VT_I4) return E_INVALIDARG;
    if (id.lVal == CHILDID_SELF) {
      out = self;
      return S_OK;
    }
    std::vector<Control*> kids = Children(*self);
    if (id.lVal < 1 || id.lVal > static_cast<long>(kids.size())) return E_INVALIDARG;
    out = kids[id.lVal - 1];
    return S_OK;
  }

  // A child as navigation and hit tests return it: a window as its object, else its id.
  static HRESULT ChildVariant(const std::vector<Control*>& kids, size_t index, VARIANT* out) {
    if (auto* window = dynamic_cast<WinControl*>(kids[index])) {
      IDispatch* object = nullptr;
      if (SUCCEEDED(AccessibleObjectFromWindow(window->Handle(), OBJID_WINDOW, IID_IDispatch,
                                               reinterpret_cast<void**>(&object)))) {
        out->vt = VT_DISPATCH;
        out->pdispVal = object;
        return S_OK;
      }
    }
    *out = ChildId(static_cast<long>(index) + 1);
    return S_OK;
  }

  // Where a control is on the screen: a window's client area for its own object, a child
  // window's frame, a drawn control's part of its form.
  RECT ScreenRect(const Control& c) const {
    RECT r{};
    if (&c == Self()) {
      GetClientRect(hwnd_, &r);
      MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    } else if (auto* window = dynamic_cast<const WinControl*>(&c)) {
      GetWindowRect(window->Handle(), &r);
    } else if (c.OwnerForm()) {
      r = static_cast<const GraphicControl&>(c).DrawnRect();
      MapWindowPoints(c.OwnerForm()->Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
  }

  long StateOf(const Control& c) const {
    long state = 0;
    bool visible, enabled;
    if (auto* window = dynamic_cast<const WinControl*>(&c)) {
      visible = IsWindowVisible(window->Handle());
      enabled = IsWindowEnabled(window->Handle());
      if (GetFocus() == window->Handle()) state |= STATE_SYSTEM_FOCUSED;
      if (dynamic_cast<const Form*>(&c) || window->TabStop()) state |= STATE_SYSTEM_FOCUSABLE;
    } else {
      visible = c.Visible() && c.OwnerForm() && IsWindowVisible(c.OwnerForm()->Handle());
      enabled = c.Enabled();
    }
    if (!visible) state |= STATE_SYSTEM_INVISIBLE;
    if (!enabled) state |= STATE_SYSTEM_UNAVAILABLE;
    if (c.AccessibleRole() == ROLE_SYSTEM_STATICTEXT || c.AccessibleRole() == ROLE_SYSTEM_TEXT)
      state |= STATE_SYSTEM_READONLY;
    return state;
  }

  HWND hwnd_;
  std::atomic<ULONG> refs_{1};
};

}  // namespace

LRESULT AnswerGetObject(HWND hwnd, WPARAM wparam, LPARAM lparam) {
  if (static_cast<LONG>(lparam) != OBJID_CLIENT) return 0;
  EnsureCom();
  auto* object = new AccessibleWindow(hwnd);
  LRESULT result = LresultFromObject(__uuidof(IAccessible), wparam, object);
  object->Release();
  return result < 0 ? 0 : result;
}

void NotifyNameChange(HWND hwnd) {
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd, OBJID_CLIENT, CHILDID_SELF);
}

bool AnnotateName(HWND hwnd, const std::string& name) {
  EnsureCom();
  static IAccPropServices* services = [] {
    IAccPropServices* created = nullptr;
    CoCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                     kAccPropServicesInterface, reinterpret_cast<void**>(&created));
    return created;
  }();
  if (!services) return false;
  std::wstring wide = ToWide(name);
  return SUCCEEDED(
      services->SetHwndPropStr(hwnd, OBJID_CLIENT, CHILDID_SELF, kNameProperty, wide.c_str()));
}

}  // namespace vemo::ui
