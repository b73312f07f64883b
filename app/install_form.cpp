#include "app/install_form.h"

#include "app/book_table.h"
#include "app/messages.h"
#include "desktop/settings.h"
#include "desktop/shell.h"
#include "forms/layouts.h"
#include "winlib/bevel.h"
#include "winlib/file_tests.h"
#include "winlib/image.h"
#include "winlib/label.h"
#include "winlib/list_box.h"
#include "winlib/panel.h"

TInstallForm* InstallForm = nullptr;

namespace {

const MethodTable<TInstallForm>& InstallFormMethods() {
  static const MethodTable<TInstallForm> table = [] {
    MethodTable<TInstallForm> t;
    TBaseForm::PublishBaseMethods(t);
    t.Publish("btDlgCloseClick", &TInstallForm::btDlgCloseClick)
        .Publish("btContinueClick", &TInstallForm::btContinueClick)
        .Publish("btInstallClick", &TInstallForm::btInstallClick)
        .Publish("Label2Click", &TInstallForm::Label2Click);
    return t;
  }();
  return table;
}

const FormClass& InstallFormClass() {
  static const FormClass formClass = {reinterpret_cast<const unsigned char*>("\x0cTInstallForm"),
                                      {&BaseFormLayout(), &InstallFormLayout()},
                                      &InstallFormMethods()};
  return formClass;
}

template <class T>
T* Control(TComponent& form, const char* name) {
  return dynamic_cast<T*>(form.FindComponent(name));
}

}  // namespace

TInstallForm::TInstallForm(TComponent* owner) : TBaseForm(owner, InstallFormClass()) {
  FindControls();
  // Enter imports and Esc leaves, as clicks on the two buttons do; the picture buttons
  // themselves take no focus.
  SetDefaultControl(btInstall);
  SetCancelControl(btContinue);
  DetectBooks();
}

TInstallForm::~TInstallForm() = default;

void TInstallForm::FindControls() {
  ImageBackground = Control<TImage>(*this, "ImageBackground");
  Label4 = Control<TLabel>(*this, "Label4");
  Bevel2 = Control<TBevel>(*this, "Bevel2");
  Label5 = Control<TLabel>(*this, "Label5");
  Bevel3 = Control<TBevel>(*this, "Bevel3");
  btDlgClose = Control<TImage>(*this, "btDlgClose");
  btInstall = Control<TImage>(*this, "btInstall");
  btContinue = Control<TImage>(*this, "btContinue");
  Label1 = Control<TLabel>(*this, "Label1");
  Label2 = Control<TLabel>(*this, "Label2");
  Panel2 = Control<TPanel>(*this, "Panel2");
  Image4 = Control<TImage>(*this, "Image4");
  Label7 = Control<TLabel>(*this, "Label7");
  lsVolume = Control<TListBox>(*this, "lsVolume");
}

// A book counts as installed when its course folder is registered, or when its lesson list
// lies below "BOOKS" in the current directory, in the long-named or the short-named folder.
void TInstallForm::DetectBooks() {
  for (const Book& book : kBooks) {
    const std::string courseFolder = ReadVBSetting(book.settingsKey, "Options", "Installation", "");
    const bool installed = !courseFolder.empty() ||
                           FileExists(std::string("BOOKS\\") + book.listEntry + "\\lesson.txt") ||
                           FileExists(std::string("BOOKS\\") + book.shortName + "\\lesson.txt");
    if (installed) lsVolume->Items().Add(book.listEntry);
  }
  if (lsVolume->Items().Count() > 0) lsVolume->SetItemIndex(0);
}

void TInstallForm::btDlgCloseClick(TObject*) {
  Close();
}

void TInstallForm::btContinueClick(TObject*) {
  Close();
}

void TInstallForm::Label2Click(TObject*) {
  OpenWebAddress(kDownloadPage);
}
