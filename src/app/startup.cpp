#include "app/startup.h"

#include "app/profile.h"
#include "i18n/ldm.h"

namespace tarnvel {
namespace {

DialogRequest Box(DialogType type, const std::string& caption, const std::string& text) {
  DialogRequest box;
  box.type = type;
  box.caption = caption;
  box.text = text;
  box.buttons = {DialogButton::Ok};
  return box;
}

}  // namespace

int RunStartup(IFrontEnd& frontEnd, FormEnvironment environment) {
  const std::string title = "Updater_TarnVel";
  frontEnd.SetApplicationTitle(title);

  i18n::CatalogueTable sillTable;
  try {
    i18n::TLDM& ldm = i18n::LDM();
    const std::string report = ldm.CheckEmptyTexts(ldm.Sil);
    if (!report.empty()) frontEnd.ShowBox(Box(DialogType::Warning, ldm.DialogCaption("Warning"), report));
    sillTable = i18n::EmbeddedSillTable();
  } catch (const std::exception& failure) {
    // Without its catalogue the program cannot speak to the operator.
    frontEnd.ShowBox(Box(DialogType::Error, title, failure.what()));
    return 0;
  }

  IMainView& view = frontEnd.CreateMainWindow();
  TfrmMain form(view, std::move(sillTable), std::move(environment));
  if (!form.LinkReport().empty()) {
    MessageDlg(form, form.LinkReport(), DialogType::Warning, {DialogButton::Ok}, DialogButton::Ok);
  }
  form.Dispatch(&TfrmMain::FormCreate);

  form.profile = TarnVelProfile();
  const InputPresets presets = TarnVelPresets();
  view.SetPassword(presets.Password);
  view.SetAdmnPassword(presets.AdmnPassword);
  view.SetProgramLocation(presets.ProgramLocation);

  frontEnd.RunMessageLoop(form);
  return 0;
}

}  // namespace tarnvel
