// The skinned base window on real forms: image buttons against skin files in the current
// directory, the drag strip's hit test, and link labels running their commands.
#include <gtest/gtest.h>

#include "app/install_form.h"
#include "core/string_helpers.h"
#include "forms/layouts.h"
#include "skin/base_form.h"
#include "skin/link_group.h"
#include "tests/common/temp_dir.h"
#include "tests/win/robot.h"
#include "winlib/application/application.h"
#include "winlib/controls/image.h"
#include "winlib/controls/label.h"

namespace {

// A picture control of a class derived from TImage: never an image button.
class TFancyImage : public TImage {
 public:
  using TImage::TImage;
  const unsigned char* ClassName() const override {
    static const unsigned char name[] = "\x0bTFancyImage";
    return name;
  }
};

// Derived from TImage without a class name of its own: not an image button either.
class TPlainImage : public TImage {
 public:
  using TImage::TImage;
};

const Layout& SkinTestLayout() {
  static const Layout layout = {
      "SkinTestForm",
      {{"ClientWidth", "300"}, {"ClientHeight", "200"}},
      {{"btOK",
        "TImage",
        "",
        {{"Left", "10"},
         {"Top", "50"},
         {"Width", "40"},
         {"Height", "20"},
         {"AutoSize", "True"},
         {"OnClick", "CountClick"}}},
       {"btn1", "TImage", "", {{"Left", "60"}, {"Top", "50"}, {"Width", "40"}, {"Height", "20"}}},
       {"BtOK", "TImage", "", {{"Left", "110"}, {"Top", "50"}}},
       {"okbt", "TImage", "", {{"Left", "110"}, {"Top", "80"}}},
       {"xbt", "TImage", "", {{"Left", "110"}, {"Top", "110"}}},
       {"btFancy", "TFancyImage", "", {{"Left", "150"}, {"Top", "50"}}},
       {"btPlain", "TPlainImage", "", {{"Left", "150"}, {"Top", "80"}}},
       {"lkHome",
        "TLabel",
        "",
        {{"Left", "10"},
         {"Top", "150"},
         {"Width", "60"},
         {"Height", "16"},
         {"AutoSize", "False"},
         {"Caption", "home"},
         {"Font.Style", "[fsBold]"},
         {"OnMouseDown", "lkBaseMouseDown"},
         {"OnMouseMove", "lkBaseMouseMove"},
         {"OnMouseUp", "lkBaseMouseUp"}}},
       {"lkMail",
        "TLabel",
        "",
        {{"Left", "80"},
         {"Top", "150"},
         {"Width", "60"},
         {"Height", "16"},
         {"AutoSize", "False"},
         {"Caption", "mail"},
         {"OnMouseDown", "lkBaseMouseDown"},
         {"OnMouseMove", "lkBaseMouseMove"},
         {"OnMouseUp", "lkBaseMouseUp"}}}}};
  return layout;
}

class TSkinTestForm : public TBaseForm {
 public:
  explicit TSkinTestForm(TComponent* owner) : TBaseForm(owner, Class()) {}
  int clicks = 0;
  void CountClick(TObject*) { ++clicks; }
  TImage* Image(const char* name) { return dynamic_cast<TImage*>(FindComponent(name)); }
  TLabel* Label(const char* name) { return dynamic_cast<TLabel*>(FindComponent(name)); }

 private:
  static const FormClass& Class() {
    static const MethodTable<TSkinTestForm> methods = [] {
      MethodTable<TSkinTestForm> t(&TBaseForm::PublishedMethods());
      t.Publish("CountClick", &TSkinTestForm::CountClick);
      return t;
    }();
    static const FormClass formClass = {reinterpret_cast<const unsigned char*>("\x0dTSkinTestForm"),
                                        {&BaseFormLayout(), &SkinTestLayout()},
                                        &methods};
    return formClass;
  }
};

// Each test runs in a fresh current directory holding the skin folders it lays out.
class Skin : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterLayoutClass("TFancyImage",
                        [](TComponent* o) -> TControl* { return new TFancyImage(o); });
    RegisterLayoutClass("TPlainImage",
                        [](TComponent* o) -> TControl* { return new TPlainImage(o); });
    ASSERT_TRUE(current.Changed());
    app.SetTitle("Skin test");
  }

  // Copies a picture of the test data into the current directory under a new name.
  void PutSkin(const std::string& data, const std::string& target) {
    const std::string folder = target.substr(0, target.find('\\'));
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(
        CopyFileA((ProgramFolder() + "data\\" + data).c_str(), (dir / target).c_str(), FALSE))
        << data;
  }

  TSkinTestForm* NewForm() {
    TSkinTestForm* form = nullptr;
    app.CreateForm(form);
    return form;
  }

  TempDir dir;
  ScopedCurrentDirectory current{dir.Path()};
  TApplication app;
};

int PictureWidth(TImage* image) {
  return image->Picture().Width();
}

}  // namespace

TEST_F(Skin, OnlyImagesNamedBtAtTheirStartAreButtonsAndTheBaseImageComesFirst) {
  TSkinTestForm* form = NewForm();
  CButtonGroup& group = form->ButtonGroup();
  std::vector<std::string> names;
  for (int i = 0; i < group.ButtonCount(); ++i) names.push_back(group.Button(i)->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"btBase", "btOK", "btn1"}));
  EXPECT_EQ(ShortStringToString(form->Image("btPlain")->ClassName()), "TImage");
  EXPECT_EQ(form->SkinFolder(), "SkinTestForm");
  EXPECT_EQ(group.FormFolder(), "SkinTestForm\\");
  EXPECT_EQ(group.CommonFolder(), "common\\");
  EXPECT_FALSE(form->btBase->Visible());

  // A picture created later is not registered.
  TImage* late = new TImage(form);
  late->SetName("btLate");
  EXPECT_EQ(group.IndexOfButton(late), -1);

  // The import window's buttons, in their order, and its folders.
  TInstallForm* install = nullptr;
  app.CreateForm(install);
  CButtonGroup& installGroup = install->ButtonGroup();
  names.clear();
  for (int i = 0; i < installGroup.ButtonCount(); ++i) {
    names.push_back(installGroup.Button(i)->Name());
  }
  EXPECT_EQ(names, (std::vector<std::string>{"btBase", "btDlgClose", "btInstall", "btContinue"}));
  EXPECT_EQ(installGroup.FormFolder(), "InstallForm\\");
}

TEST_F(Skin, WithoutSkinFoldersAPressNudgesTheButtonAndTheReleaseBringsItHome) {
  TSkinTestForm* form = NewForm();
  TImage* ok = form->Image("btOK");
  const HWND window = form->Handle();
  SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(15, 55));
  EXPECT_EQ(form->ButtonGroup().Hovered(), ok);
  EXPECT_TRUE(ok->Picture().Empty());
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 55));
  EXPECT_EQ(ok->Left(), 11);
  EXPECT_EQ(ok->Top(), 51);
  SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(15, 55));
  EXPECT_EQ(ok->Left(), 10);
  EXPECT_EQ(ok->Top(), 50);
  EXPECT_EQ(form->clicks, 1);  // the layout's click binding stays
  EXPECT_EQ(form->ButtonGroup().Hovered(), ok);

  // Moved by program code, it returns to where it was registered on the next release.
  ok->SetLeft(30);
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(35, 55));
  SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(200, 190));  // released outside
  EXPECT_EQ(ok->Left(), 10);
  EXPECT_EQ(form->clicks, 1);
}

TEST_F(Skin, StatesLoadTheirPicturesAndTheHoverStaysAfterRelease) {
  PutSkin("normal13.bmp", "SkinTestForm\\btOK.bmp");
  PutSkin("a11.gif", "SkinTestForm\\btOK-a.gif");
  PutSkin("p12.jpg", "SkinTestForm\\btOK-p.jpg");
  PutSkin("d14.bmp", "common\\btOK-d.bmp");
  TSkinTestForm* form = NewForm();
  TImage* ok = form->Image("btOK");
  CButtonGroup& group = form->ButtonGroup();
  group.ButtonMouseMove(ok);
  EXPECT_EQ(PictureWidth(ok), 11);
  EXPECT_EQ(ok->Width(), 11);  // AutoSize follows the picture
  group.ButtonMouseMove(ok);
  group.ButtonMouseDown(ok);
  EXPECT_EQ(PictureWidth(ok), 12);
  EXPECT_EQ(ok->Left(), 10);  // a pressed picture means no nudge
  group.ButtonMouseUp(ok);
  EXPECT_EQ(PictureWidth(ok), 13);
  EXPECT_EQ(group.Hovered(), ok);
  group.ButtonMouseMove(ok);  // still hovered: nothing changes
  EXPECT_EQ(PictureWidth(ok), 13);

  // Leaving while disabled shows the disabled picture.
  ok->SetEnabled(false);
  group.RestoreHovered();
  EXPECT_EQ(PictureWidth(ok), 14);
  EXPECT_EQ(group.Hovered(), nullptr);
  // Entering another button ends the hover of the first.
  ok->SetEnabled(true);
  group.ButtonMouseMove(ok);
  group.ButtonMouseMove(form->Image("btn1"));
  EXPECT_EQ(PictureWidth(ok), 13);
  EXPECT_EQ(group.Hovered(), form->Image("btn1"));
}

TEST_F(Skin, MissingNormalPicturesKeepTheLastOne) {
  PutSkin("p12.jpg", "common\\btOK-p.jpg");
  PutSkin("a11.gif", "common\\btn1-a.gif");
  TSkinTestForm* form = NewForm();
  CButtonGroup& group = form->ButtonGroup();
  TImage* ok = form->Image("btOK");
  group.ButtonMouseDown(ok);
  group.ButtonMouseUp(ok);
  EXPECT_EQ(PictureWidth(ok), 12);
  TImage* one = form->Image("btn1");
  group.ButtonMouseMove(one);
  group.RestoreHovered();
  EXPECT_EQ(PictureWidth(one), 11);
}

TEST_F(Skin, FormFolderWinsOverCommonAndGifOverBmp) {
  PutSkin("c21.bmp", "common\\btOK-p.gif");
  PutSkin("normal13.bmp", "SkinTestForm\\btOK-p.bmp");
  TSkinTestForm* form = NewForm();
  EXPECT_EQ(form->ButtonGroup().FindSkinImage("btOK-p"), "SkinTestForm\\btOK-p.bmp");
  PutSkin("g15.gif", "SkinTestForm\\btOK-p.gif");
  EXPECT_EQ(form->ButtonGroup().FindSkinImage("btOK-p"), "SkinTestForm\\btOK-p.gif");
  PutSkin("p12.jpg", "common\\btOK-a.jpg");
  PutSkin("c21.bmp", "common\\btOK-a.bmp");
  EXPECT_EQ(form->ButtonGroup().FindSkinImage("btOK-a"), "common\\btOK-a.jpg");
  EXPECT_EQ(form->ButtonGroup().FindSkinImage("btOK-d"), "");
  // Nothing is cached: a picture removed is no longer found.
  DeleteFileA("common\\btOK-a.jpg");
  EXPECT_EQ(form->ButtonGroup().FindSkinImage("btOK-a"), "common\\btOK-a.bmp");
}

TEST_F(Skin, UndecodableSkinPictureReachesTheExceptionDisplay) {
  CreateDirectoryA("common", nullptr);
  ASSERT_TRUE(WriteFileBytes(dir / "common\\btOK-a.gif", "GIF89a broken"));
  TSkinTestForm* form = NewForm();
  MessageBoxWatcher watcher(L"Skin test");
  SendMessageA(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(15, 55));
  const MessageBoxSeen seen = watcher.Result();
  EXPECT_TRUE(seen.found);
  EXPECT_TRUE(seen.hasIcon);
  EXPECT_NE(seen.text.find(L"btOK-a.gif"), std::wstring::npos) << Narrow(seen.text);
  // The hovered button was set before the load failed, and stays set.
  EXPECT_EQ(form->ButtonGroup().Hovered(), form->Image("btOK"));
}

TEST_F(Skin, HitTestAnswersCaptionInTheTopStrip) {
  TInstallForm* form = nullptr;
  app.CreateForm(form);
  const HWND window = form->Handle();
  auto hit = [&](int x, int y) {
    return SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x & 0xFFFF, y & 0xFFFF));
  };
  form->SetBounds(100, 100, form->Width(), form->Height());
  EXPECT_EQ(hit(110, 110), HTCAPTION);
  EXPECT_EQ(hit(615, 110), HTCLIENT);
  EXPECT_EQ(hit(591, 110), HTCAPTION);
  EXPECT_EQ(hit(592, 110), HTCLIENT);
  EXPECT_EQ(hit(110, 136), HTCAPTION);
  EXPECT_EQ(hit(110, 137), HTCLIENT);
  // Left of and above the primary monitor.
  form->SetBounds(-600, -300, form->Width(), form->Height());
  EXPECT_EQ(hit(-590, -290), HTCAPTION);
  EXPECT_EQ(hit(-590, -263), HTCLIENT);

  form->SetBounds(0, 0, 800, 400);
  EXPECT_EQ(hit(640, 36), HTCAPTION);
  EXPECT_EQ(hit(641, 36), HTCLIENT);
  EXPECT_EQ(hit(0, 37), HTCLIENT);
  EXPECT_EQ(hit(780, 10), HTCLIENT);
  form->SetBounds(0, 0, 800, 300);  // too low for the large rule
  EXPECT_EQ(hit(700, 10), HTCAPTION);
  EXPECT_EQ(hit(780, 10), HTCLIENT);
}

TEST_F(Skin, DraggingTheTopStripMovesTheWindow) {
  TInstallForm* form = nullptr;
  app.CreateForm(form);
  form->Show();
  PumpMessages(300);
  RECT before;
  GetWindowRect(form->Handle(), &before);
  DragClientPoint(form->Handle(), 300, 15, 380, 75);
  PumpMessages(300);
  RECT after;
  GetWindowRect(form->Handle(), &after);
  EXPECT_EQ(after.left - before.left, 80);
  EXPECT_EQ(after.top - before.top, 60);
  EXPECT_EQ(form->Left(), after.left);
  // Below the strip the same drag moves nothing.
  DragClientPoint(form->Handle(), 300, 260, 380, 300);
  PumpMessages(300);
  RECT still;
  GetWindowRect(form->Handle(), &still);
  EXPECT_EQ(still.left, after.left);
}

TEST_F(Skin, LinkLabelsUnderlineUnderThePointerAndRunTheirCommands) {
  // The recorder stands for a program and for "mailto.exe", here and one folder up.
  const std::string recorder = ProgramFolder() + "recorder.exe";
  ASSERT_TRUE(MakeDir(dir / "work"));
  ASSERT_TRUE(CopyFileA(recorder.c_str(), (dir / "work\\mailto.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(recorder.c_str(), (dir / "mailto.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(recorder.c_str(), (dir / "prog.exe").c_str(), FALSE));
  TSkinTestForm* form = NewForm();
  TLabel* home = form->Label("lkHome");
  TLabel* mail = form->Label("lkMail");
  const HWND window = form->Handle();
  // Without a link group the link labels do nothing.
  SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(15, 155));
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 155));
  SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(15, 155));
  EXPECT_EQ(home->Font().Style(), fsBold);
  CLinkGroup links;
  form->SetLinkGroup(&links);

  SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(15, 155));
  EXPECT_EQ(home->Font().Style(), fsUnderline);  // the bold of the layout is gone
  SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(85, 155));
  EXPECT_EQ(home->Font().Style(), 0u);
  EXPECT_EQ(mail->Font().Style(), fsUnderline);

  mail->SetHelpKeyword("mail-zembra@example.org");
  SetCurrentDirectoryA((dir / "work").c_str());
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(85, 155));
  EXPECT_EQ(mail->Font().Style(), 0u);
  SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(85, 155));
  SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(86, 155));
  EXPECT_EQ(mail->Font().Style(), 0u);  // stays plain while the pointer rests on it
  // Once the first mail program has ended, it can go.
  for (int i = 0; i < 250 && ReadWholeFile(dir / "work\\mailto.exe.log").empty(); ++i) Sleep(20);
  for (int i = 0; i < 100 && !DeleteFileA((dir / "work\\mailto.exe").c_str()); ++i) Sleep(50);
  ASSERT_FALSE(PathExists(dir / "work\\mailto.exe"));
  links.LinkMouseDown(mail);  // no "mailto.exe" here: the one a folder up
  home->SetHelpKeyword("exe-" + dir.Path() + "prog.exe web-x 1");
  links.LinkMouseDown(home);
  home->SetHelpKeyword("Exe-" + dir.Path() + "prog.exe 2");
  links.LinkMouseDown(home);

  // A web command starts the registered browser (the recorder, through a private
  // HKEY_CLASSES_ROOT) with the address.
  ASSERT_TRUE(CopyFileA(recorder.c_str(), (dir / "browser.exe").c_str(), FALSE));
  const std::string classes = "Software\\ZembraTest\\LinkClasses";
  SetRegString(classes + "\\http\\shell\\open\\command", "",
               "\"" + dir.Path() + "browser.exe\" \"%1\"");
  {
    const ScopedClassesRoot privateClasses(classes);
    home->SetHelpKeyword("web-http://example.org/zembra");
    links.LinkMouseDown(home);
  }
  DeleteRegTree(HKEY_CURRENT_USER, "Software\\ZembraTest\\LinkClasses");

  SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(15, 155));
  SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(250, 10));  // the bare window
  EXPECT_EQ(home->Font().Style(), 0u);
  EXPECT_EQ(links.HoveredLink(), nullptr);

  // Each started program writes its one line; all are awaited, whole.
  WaitUntil(
      [&] {
        for (const char* log :
             {"work\\mailto.exe.log", "mailto.exe.log", "prog.exe.log", "browser.exe.log"}) {
          const std::string text = ReadWholeFile(dir / log);
          if (text.empty() || text.back() != '\n') return false;
        }
        return true;
      },
      5000);
  EXPECT_EQ(ReadWholeFile(dir / "work\\mailto.exe.log"), "mailto.exe zembra@example.org\n");
  EXPECT_EQ(ReadWholeFile(dir / "mailto.exe.log"), "..\\mailto.exe zembra@example.org\n");
  EXPECT_EQ(ReadWholeFile(dir / "prog.exe.log"), dir.Path() + "prog.exe web-x 1\n");
  EXPECT_EQ(ReadWholeFile(dir / "browser.exe.log"),
            "\"" + dir.Path() + "browser.exe\" http://example.org/zembra\n");
}

TEST_F(Skin, ClosingAWindowThatIsNotTheMainOneDestroysIt) {
  TSkinTestForm* main = NewForm();
  TSkinTestForm* second = NewForm();
  ASSERT_EQ(app.MainForm(), main);
  const HWND window = second->Handle();
  second->Close();  // the base window's close handler frees it
  app.ProcessMessages();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(app.ComponentCount(), 1);
  EXPECT_FALSE(app.Terminated());
}
