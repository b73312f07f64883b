// The import window: lists the installed books and imports the chosen one.
#pragma once

#include "skin/base_form.h"

class TBevel;
class TImage;
class TLabel;
class TListBox;
class TPanel;

class TInstallForm : public TBaseForm {
 public:
  explicit TInstallForm(TComponent* owner);
  ~TInstallForm() override;

  // The controls of the layout, found by name once it is applied.
  TImage* ImageBackground = nullptr;
  TLabel* Label4 = nullptr;
  TBevel* Bevel2 = nullptr;
  TLabel* Label5 = nullptr;
  TBevel* Bevel3 = nullptr;
  TImage* btDlgClose = nullptr;
  TImage* btInstall = nullptr;
  TImage* btContinue = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;
  TPanel* Panel2 = nullptr;
  TImage* Image4 = nullptr;
  TLabel* Label7 = nullptr;
  TListBox* lsVolume = nullptr;

  void btDlgCloseClick(TObject* sender);
  void btContinueClick(TObject* sender);
  void Label2Click(TObject* sender);
  // The import run, reported in its message box.
  void btInstallClick(TObject* sender);

 private:
  void FindControls();
  void DetectBooks();
};

// The one import window of the program.
extern TInstallForm* InstallForm;
