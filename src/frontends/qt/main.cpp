// Updater_TarnVel on Linux: the window.
#include <QApplication>

#include "app/startup.h"
#include "frontends/qt/front_end.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  tarnvel::qt::UseAsteriskPasswords();
  tarnvel::qt::FrontEnd frontEnd;
  return tarnvel::RunStartup(frontEnd);
}
