#include "ui/main/commands.h"

#include "engine/run_state.h"
#include "ui/main/settings_texts.h"
#include "ui/toolkit/application.h"
#include "ui/windows/forms.h"

namespace vemo::mainwin {
namespace {

// The platform's message box flags and answers.
const unsigned kQuestionYesNo = 36;  // question icon, Yes and No, Yes the default
const unsigned kExclamationOk = 48;
const int kYes = 6;

void SetLanguage(int language, ui::MenuItem& item) {
  SharedRunState().language = language;
  item.SetChecked(true);  // the radio group unchecks the other item
}

}  // namespace

void Mirror(const ui::CheckBox& box, ui::MenuItem& item) { item.SetChecked(box.Checked()); }

void ToggleFromMenu(ui::CheckBox& box, ui::MenuItem& item) {
  box.SetChecked(!box.Checked());
  Mirror(box, item);
}

void AskExit() {
  if (ui::App().MessageBox(kExitQuestion, kExitQuestion, kQuestionYesNo) == kYes) Form1->Close();
}

void ShowHelp() { ui::App().MessageBox(kHelpMessage, kHelpCaption, kExclamationOk); }

void BindCommandHandlers() {
  auto& form = *Form1;
  form.CheckBox2.OnClick = [&form] { Mirror(form.CheckBox2, form.RecursiveR1); };
  form.CheckBox3.OnClick = [&form] { Mirror(form.CheckBox3, form.IgnoreNoFileN1); };
  form.CheckBox1.OnClick = [&form] { Mirror(form.CheckBox1, form.IgnoreCasesOfFilenameC1); };
  form.RecursiveR1.OnClick = [&form] { ToggleFromMenu(form.CheckBox2, form.RecursiveR1); };
  form.IgnoreNoFileN1.OnClick = [&form] { ToggleFromMenu(form.CheckBox3, form.IgnoreNoFileN1); };
  form.IgnoreCasesOfFilenameC1.OnClick = [&form] {
    ToggleFromMenu(form.CheckBox1, form.IgnoreCasesOfFilenameC1);
  };
  form.AnimationA1.OnClick = [&form] { form.AnimationA1.SetChecked(!form.AnimationA1.Checked()); };
  form.English.OnClick = [&form] { SetLanguage(0, form.English); };
  form.Japanese.OnClick = [&form] { SetLanguage(1, form.Japanese); };

  form.Button1.OnClick = [] { AskExit(); };
  form.ExitX1.OnClick = [&form] { form.Button1.Click(); };
  form.Button4.OnClick = [] {
    Form2->Memo1.SetVisible(true);
    Form2->ShowModal();
  };
  form.ErrorInfoE1.OnClick = [&form] { form.Button4.Click(); };
  form.AboutA1.OnClick = [] { About->ShowModal(); };
  form.HelphH1.OnClick = [] { ShowHelp(); };
  // Compare does what Start does; the run's own binder may have set it already.
  if (!form.CompareC1.OnClick) form.CompareC1.OnClick = [&form] { form.Button2.Click(); };
}

}  // namespace vemo::mainwin
