// The client object that screen readers get of one of our windows, read in this process over a
// small window of its own: hit tests and places in physical pixels (a stand-in scales the
// program as Windows does), navigation at both ends, bad ids, the states while a box disables
// the window, the default and cancel controls, and a window that has gone.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <memory>

#include "tests/win/accessible_reader.h"
#include "tests/win/bare_window.h"
#include "tests/win/robot.h"
#include "winlib/accessibility/oleacc.h"
#include "winlib/controls/image.h"
#include "winlib/controls/label.h"
#include "winlib/controls/list_box.h"
#include "winlib/system/physical_points.h"

namespace {

// Windows' scaling as the stand-in has it: physical = logical * 3 / 2, for the top-level
// window only (a child's own scaling covers only part of it).
HWND scaledWindow = nullptr;
BOOL WINAPI ToPhysical(HWND window, POINT* p) {
  if (window != scaledWindow) return FALSE;
  *p = POINT{p->x * 3 / 2, p->y * 3 / 2};
  return TRUE;
}
BOOL WINAPI ToLogical(HWND window, POINT* p) {
  if (window != scaledWindow) return FALSE;
  *p = POINT{p->x * 2 / 3, p->y * 2 / 3};
  return TRUE;
}

VARIANT Id(long id) {
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

class TTestWindow : public TBareWindow {
 public:
  TTestWindow() : TBareWindow(200, 100) {}
  TControl* DefaultControl() const override { return defaultControl; }
  TControl* CancelControl() const override { return cancelControl; }
  TControl* defaultControl = nullptr;
  TControl* cancelControl = nullptr;
};

class AccessibleClient : public ::testing::Test {
 protected:
  void SetUp() override {
    // In reading order: the button, the link, the list's label, the list, the text.
    press = Add<TImage>(10, 10, 40, 20);
    press->SetHint("按钮");
    press->OnClick = [this](TObject*) { ++clicks; };
    TLabel* link = Add<TLabel>(60, 10, 40, 20);
    link->SetCaption("链接");
    link->OnClick = [](TObject*) {};
    TLabel* label = Add<TLabel>(10, 40, 40, 12);
    label->SetCaption("书本");
    label->SetProperty("FocusControl", "List");
    list = Add<TListBox>(60, 40, 100, 30);
    list->SetName("List");
    text = Add<TLabel>(10, 80, 40, 12);
    text->SetCaption("文字");
    window.defaultControl = press;
    window.cancelControl = link;
    ShowWindow(window.Handle(), SW_SHOWNA);
    scaledWindow = window.Handle();
    reader = std::make_unique<AccessibleReader>(window.Handle());
    ASSERT_TRUE(reader->Found());
  }
  // A control of the window's own, placed on it.
  template <class T>
  T* Add(int left, int top, int width, int height) {
    T* control = new T(&window);
    control->SetParent(&window);
    control->SetBounds(left, top, width, height);
    return control;
  }
  IAccessible& Object() { return *reader->Object(); }
  // The point of the window's client area in physical pixels.
  POINT Physical(int x, int y) {
    POINT p = {x, y};
    ClientToScreen(window.Handle(), &p);
    return POINT{p.x * 3 / 2, p.y * 3 / 2};
  }

  const ScopedCom com;
  const PointConversionsOverride scaling{PointConversions{ToPhysical, ToLogical}};
  TTestWindow window;  // owns its controls
  TImage* press = nullptr;
  TLabel* text = nullptr;
  TListBox* list = nullptr;
  std::unique_ptr<AccessibleReader> reader;
  int clicks = 0;
};

}  // namespace

TEST_F(AccessibleClient, PlacesAndHitTestsAreInThePhysicalPixelsOfTheScreen) {
  const struct {
    POINT at;
    VARTYPE vt;
    long id;  // for VT_I4
  } rows[] = {
      {Physical(15, 15), VT_I4, 1},              // the button
      {Physical(70, 45), VT_DISPATCH, 0},        // the list, by its window's object
      {Physical(150, 90), VT_I4, CHILDID_SELF},  // the client area, no control
      {Physical(-5, 5), VT_EMPTY, 0},            // outside the window
  };
  for (const auto& row : rows) {
    VARIANT hit;
    const HRESULT result = Object().accHitTest(row.at.x, row.at.y, &hit);
    EXPECT_EQ(result, row.vt == VT_EMPTY ? S_FALSE : S_OK) << row.at.x << "," << row.at.y;
    EXPECT_EQ(hit.vt, row.vt) << row.at.x << "," << row.at.y;
    if (hit.vt == VT_I4) {
      EXPECT_EQ(hit.lVal, row.id) << row.at.x << "," << row.at.y;
    }
    if (hit.vt == VT_DISPATCH) hit.pdispVal->Release();
  }
  for (TControl* control : {static_cast<TControl*>(press), static_cast<TControl*>(text)}) {
    const RECT bounds = control->BoundsRect();
    const POINT from = Physical(bounds.left, bounds.top);
    const POINT to = Physical(bounds.right, bounds.bottom);
    const AccessibleElement read = reader->Child(control == press ? 1 : 5);
    EXPECT_EQ(read.location.left, from.x);
    EXPECT_EQ(read.location.top, from.y);
    EXPECT_EQ(read.location.right, to.x);
    EXPECT_EQ(read.location.bottom, to.y);
  }
}

TEST_F(AccessibleClient, NavigationStopsAtBothEndsAndBadIdsAreRefused) {
  const struct {
    long direction, from;
    HRESULT result;
    long to;  // 0: nothing
  } rows[] = {
      {NAVDIR_FIRSTCHILD, CHILDID_SELF, S_OK, 1},
      {NAVDIR_LASTCHILD, CHILDID_SELF, S_OK, 5},
      {NAVDIR_NEXT, 1, S_OK, 2},
      {NAVDIR_PREVIOUS, 2, S_OK, 1},
      {NAVDIR_NEXT, 5, S_FALSE, 0},
      {NAVDIR_PREVIOUS, 1, S_FALSE, 0},
      {NAVDIR_NEXT, 6, E_INVALIDARG, 0},
      {NAVDIR_NEXT, -3, E_INVALIDARG, 0},
  };
  for (const auto& row : rows) {
    VARIANT end;
    EXPECT_EQ(Object().accNavigate(row.direction, Id(row.from), &end), row.result)
        << row.direction << " from " << row.from;
    if (row.to != 0) {
      EXPECT_EQ(end.lVal, row.to) << row.direction << " from " << row.from;
    }
  }
  // The list comes as its window's own object.
  VARIANT end;
  ASSERT_EQ(Object().accNavigate(NAVDIR_NEXT, Id(3), &end), S_OK);
  EXPECT_EQ(end.vt, VT_DISPATCH);
  end.pdispVal->Release();

  VARIANT empty, text;
  empty.vt = VT_EMPTY;
  text.vt = VT_BSTR;
  text.bstrVal = nullptr;
  VARIANT role;
  EXPECT_EQ(Object().get_accRole(empty, &role), S_OK) << "VT_EMPTY is the object itself";
  EXPECT_EQ(role.lVal, ROLE_SYSTEM_CLIENT);
  EXPECT_EQ(Object().get_accRole(text, &role), E_INVALIDARG);
  EXPECT_EQ(Object().get_accRole(Id(6), &role), E_INVALIDARG);
}

TEST_F(AccessibleClient, TheDefaultAndCancelControlsSayTheirKeys) {
  const struct {
    long id;
    const wchar_t* keys;  // null: none
    bool isDefault;
  } rows[] = {{1, L"Enter", true}, {2, L"Esc", false}, {5, nullptr, false}};
  for (const auto& row : rows) {
    BSTR keys = nullptr;
    EXPECT_EQ(Object().get_accKeyboardShortcut(Id(row.id), &keys),
              row.keys != nullptr ? S_OK : DISP_E_MEMBERNOTFOUND)
        << row.id;
    if (row.keys != nullptr) {
      EXPECT_STREQ(keys, row.keys);
    }
    SysFreeString(keys);
    EXPECT_EQ((reader->Child(row.id).state & STATE_SYSTEM_DEFAULT) != 0, row.isDefault) << row.id;
  }
  EXPECT_NE(reader->Self().state & STATE_SYSTEM_FOCUSABLE, 0) << "a top-level window";
}

TEST_F(AccessibleClient, NothingIsPressedWhileABoxDisablesTheWindow) {
  // The box's EnableWindow leaves the controls' own flags alone.
  EnableWindow(window.Handle(), FALSE);
  EXPECT_NE(reader->Child(1).state & STATE_SYSTEM_UNAVAILABLE, 0);
  EXPECT_EQ(reader->Child(1).state & STATE_SYSTEM_FOCUSABLE, 0);
  EXPECT_EQ(Object().accDoDefaultAction(Id(1)), DISP_E_MEMBERNOTFOUND);
  EnableWindow(window.Handle(), TRUE);
  EXPECT_EQ(reader->Child(1).state & STATE_SYSTEM_UNAVAILABLE, 0);

  // A press posted before the box opened is not made when it arrives behind the box.
  ASSERT_EQ(Object().accDoDefaultAction(Id(1)), S_OK);
  EnableWindow(window.Handle(), FALSE);
  PumpMessages(100);
  EXPECT_EQ(clicks, 0);
  EnableWindow(window.Handle(), TRUE);
  ASSERT_EQ(Object().accDoDefaultAction(Id(1)), S_OK);
  PumpMessages(100);
  EXPECT_EQ(clicks, 1);
}

TEST_F(AccessibleClient, AWindowThatHasGoneSaysSo) {
  const HWND gone = window.Handle();
  DestroyWindow(gone);
  ASSERT_FALSE(IsWindow(gone));
  long count = -1;
  VARIANT role;
  BSTR name = nullptr;
  EXPECT_EQ(Object().get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(Object().get_accRole(Id(1), &role), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(Object().get_accName(Id(CHILDID_SELF), &name), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(name, nullptr);
}

namespace {

// Dynamic Annotation's service as a stand-in: records what it is asked.
class RecordingPropServices final : public IAccPropServices {
 public:
  struct Call {
    HWND window;
    DWORD object;
    std::wstring name;  // empty: cleared
  };
  std::vector<Call> calls;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }  // lives on the stack
  HRESULT STDMETHODCALLTYPE SetHwndPropStr(HWND window, DWORD object, DWORD child,
                                           MSAAPROPID property, LPCWSTR text) override {
    const bool isName = IsEqualGUID(property, kName);
    if (child == CHILDID_SELF && isName) calls.push_back({window, object, text});
    return isName ? S_OK : E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE ClearHwndProps(HWND window, DWORD object, DWORD, const MSAAPROPID*,
                                           int) override {
    calls.push_back({window, object, L""});
    return S_OK;
  }
#define NOT_HERE(...)                              \
  HRESULT STDMETHODCALLTYPE __VA_ARGS__ override { \
    return E_NOTIMPL;                              \
  }
  NOT_HERE(SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT))
  NOT_HERE(SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope))
  NOT_HERE(ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int))
  NOT_HERE(SetHwndProp(HWND, DWORD, DWORD, MSAAPROPID, VARIANT))
  NOT_HERE(SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                             AnnoScope))
  NOT_HERE(ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*))
  NOT_HERE(DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*))
  NOT_HERE(SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT))
  NOT_HERE(SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR))
  NOT_HERE(SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope))
  NOT_HERE(ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int))
  NOT_HERE(ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*))
  NOT_HERE(DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*))
#undef NOT_HERE

 private:
  static constexpr GUID kName = {
      0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
  ULONG references_ = 1;
};

}  // namespace

TEST_F(AccessibleClient, TheListIsNamedByAnnotationAndElseByAnObjectOfItsOwn) {
  // Wine has no annotation: the list's client object is ours, by the label's name.
  const AccessibleReader named(list->Handle());
  ASSERT_TRUE(named.Found());
  EXPECT_EQ(named.Self().name, L"书本");
  IUnknown* viaAccessible = nullptr;
  IUnknown* viaDispatch = nullptr;
  IDispatch* dispatch = nullptr;
  IUnknown* service = nullptr;
  ASSERT_EQ(named.Object()->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)),
            S_OK);
  named.Object()->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&viaAccessible));
  dispatch->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&viaDispatch));
  EXPECT_EQ(viaAccessible, viaDispatch) << "one object, one identity";
  EXPECT_EQ(
      named.Object()->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(&service)),
      E_NOINTERFACE)
      << "not oleacc's own proxy";
  VARIANT result;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  ASSERT_EQ(dispatch->Invoke(DISPID_ACC_NAME, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result,
                             nullptr, nullptr),
            S_OK);
  EXPECT_STREQ(result.bstrVal, L"书本");
  VariantClear(&result);
  for (IUnknown* reference : {static_cast<IUnknown*>(dispatch), viaAccessible, viaDispatch}) {
    reference->Release();
  }

  // With annotation, both of the system's objects of the list go by the name, at the first
  // request, and lose it before the list goes.
  RecordingPropServices services;
  const PropServicesOverride annotation(&services);
  TListBox* annotated = Add<TListBox>(60, 40, 100, 30);
  annotated->SetName("List");
  const HWND handle = annotated->Handle();
  EXPECT_EQ(SendMessageW(handle, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)), 0);
  SendMessageW(handle, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
  ASSERT_EQ(services.calls.size(), 2u) << "annotated once";
  annotated->SetParent(nullptr);  // its window goes
  ASSERT_EQ(services.calls.size(), 4u);
  const DWORD client = static_cast<DWORD>(OBJID_CLIENT), frame = static_cast<DWORD>(OBJID_WINDOW);
  const RecordingPropServices::Call expected[] = {{handle, client, L"书本"},
                                                  {handle, frame, L"书本"},
                                                  {handle, client, L""},
                                                  {handle, frame, L""}};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(services.calls[i].window, expected[i].window) << i;
    EXPECT_EQ(services.calls[i].object, expected[i].object) << i;
    EXPECT_EQ(services.calls[i].name, expected[i].name) << i;
  }
}
