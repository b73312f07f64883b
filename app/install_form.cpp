#include "app/install_form.h"

#include "app/book_folders.h"
#include "app/book_table.h"
#include "app/import_run.h"
#include "app/messages.h"
#include "desktop/shell.h"
#include "forms/layouts.h"
#include "winlib/application/application.h"
#include "winlib/controls/bevel.h"
#include "winlib/controls/image.h"
#include "winlib/controls/label.h"
#include "winlib/controls/list_box.h"
#include "winlib/controls/panel.h"
#include "winlib/system/startup_trace.h"

TInstallForm* InstallForm = nullptr;

namespace {

const MethodTable<TInstallForm>& InstallFormMethods() {
  static const MethodTable<TInstallForm> table = [] {
    MethodTable<TInstallForm> t(&TBaseForm::PublishedMethods());
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
  btDlgClose->SetAccessibleName(kCloseButtonName);
  StartupMark("controls found");
  DetectBooks();
  StartupMark("books detected");
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

void TInstallForm::DetectBooks() {
  for (const Book& book : kBooks) {
    if (BookInstalled(book)) lsVolume->Items().Add(book.listEntry);
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

void TInstallForm::btInstallClick(TObject*) {
  const int index = lsVolume->ItemIndex();
  const ImportOutcome outcome = ImportBook(
      lsVolume->Items().Count(), index >= 0 ? lsVolume->Items().Strings(index) : std::string());
  switch (outcome.status) {
    case ImportStatus::kNoStudyProgram:
      ShowMessage(kMessageNoOrvel);
      break;
    case ImportStatus::kNoBooks:
      ShowMessage(kMessageNoBooks);
      break;
    case ImportStatus::kNoSelection:
      ShowMessage(kMessageNoSelection);
      break;
    case ImportStatus::kImported:
      ShowMessage(ImportSucceededMessage(outcome.listEntry));
      break;
    case ImportStatus::kFailed:
      // The user learns that it failed; what failed, and with which file, goes to the debugger.
      OutputDebugStringA((std::string("Import failed: ") +
                          ConvertStatusText(outcome.conversion.status) + ": " +
                          outcome.conversion.file + "\n")
                             .c_str());
      ShowMessage(ImportFailedMessage(outcome.listEntry));
      break;
  }
}
