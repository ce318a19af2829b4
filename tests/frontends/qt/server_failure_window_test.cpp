// A failure of the real Firebird server as the operator meets it in the
// window: a wrong SYSDBA password typed before Start. The error box says in
// the window's language what is wrong, on its first line, and then the
// server's own text. Screenshots in English and Russian.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstdlib>
#include <filesystem>

#include "frontends/qt/message_box.h"
#include "frontends/qt/operator_script.h"
#include "i18n/ldm.h"
#include "support/local_port.h"
#include "support/temp_dir.h"

namespace tarnvel::testing {
namespace {

namespace fs = std::filesystem;

std::string Shown(const std::string& text) {
  return qt::BoxText(text).toStdString();
}

// The shared server: another program may be stopping it for a moment.
bool ServerAnswers() {
  for (int tries = 0; tries < 360 && !LocalPortAnswers(3051); ++tries) usleep(250000);
  return LocalPortAnswers(3051);
}

TEST(ServerFailureWindow, AWrongPasswordIsNamedFirstInTheErrorBox) {
  if (!fs::exists("/etc/init.d/firebird3.0")) GTEST_SKIP() << "firebird3.0-server is not installed";
  // Others stop and start the shared server only while holding this lock: the
  // server must answer for the password to be refused.
  const int lock = open("/tmp/tarnvel-firebird.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  ASSERT_GE(lock, 0);
  ASSERT_EQ(flock(lock, LOCK_EX), 0);
  struct Unlock {
    int fd;
    ~Unlock() { close(fd); }
  } unlock{lock};
  ASSERT_TRUE(ServerAnswers()) << "the Firebird server does not answer on port 3051";
  const std::string product = std::string(TARNVEL_WINDOW_PRODUCTS) + "/wrong-password";
  fs::create_directories(TARNVEL_WINDOW_PRODUCTS);
  fs::permissions(TARNVEL_WINDOW_PRODUCTS, fs::perms::all);
  const std::string make =
      "bash '" + std::string(TARNVEL_SOURCE_DIR) + "/scripts/make-product.sh' '" + product + "' >/dev/null";
  ASSERT_EQ(std::system(make.c_str()), 0) << make;

  const struct {
    int column;
    const char* tag;
    std::string cause;  // the first line of the box, in the window's language
  } languages[] = {
      {3, "en",
       "The Firebird server refused the user name or the password: check the SYSDBA password, then repeat."},
      {2, "ru", "Сервер Firebird отклонил имя пользователя или пароль: проверьте пароль SYSDBA и повторите."},
  };
  for (const auto& language : languages) {
    SCOPED_TRACE(language.tag);
    i18n::LDM().Sild.SetActiveLanguage(language.column);
    TempDir exeDir("wrong-password-window");
    FormEnvironment env;
    env.executablePath = exeDir / "Updater_TarnVel";
    env.discoverServer = [](firebird::TFBServParams& params) {
      params = {"", "SUPER", "localhost/3051:", "firebird", "NorvaskFireXBirdServer"};
    };
    OperatorScript op;
    std::string error;
    op.Then("type the folder and a wrong SYSDBA password, press Start", [&] {
      if (!op.Shown()) return false;
      op.Find<QLineEdit>("eProgramLocation")->setText(QString::fromStdString(product));
      op.Find<QLineEdit>("ePassword")->setText(QStringLiteral("wrong"));
      OperatorScript::Press(op.Find<QPushButton>("OKBtn"));
      return true;
    });
    op.Then("confirm the parts, then read the error box", [&] {
      if (QMessageBox* box = OperatorScript::Box()) {
        if (box->property("answered").toBool()) return false;
        box->setProperty("answered", true);
        if (box->icon() == QMessageBox::Critical) {
          error = box->text().toStdString();
          OperatorScript::Shot(box, std::string(language.tag) + "-wrong-password-box");
        }
        QAbstractButton* yes = OperatorScript::BoxButton(box, "Yes");
        OperatorScript::Press(yes ? yes : OperatorScript::BoxButton(box, "OK"));
        return false;
      }
      return !op.Busy() && op.Find<QLabel>("Image1")->isVisible();
    });
    op.Then("look at the window and press Exit", [&] {
      if (OperatorScript::Box()) return false;
      OperatorScript::Shot(op.Window(), std::string(language.tag) + "-wrong-password");
      OperatorScript::Press(op.Find<QPushButton>("CancelBtn"));
      return true;
    });
    op.Play(env);
    const std::string head =
        Shown(language.cause + "\r\nISC ERROR CODE:335544472\r\n\r\nISC ERROR MESSAGE:\r\n" +
              "Your user name and password are not defined.");
    EXPECT_EQ(error.substr(0, head.size()), head) << error;
  }
  i18n::LDM().Sild.SetActiveLanguage(3);
  std::error_code ignored;
  fs::remove_all(product, ignored);
}

}  // namespace
}  // namespace tarnvel::testing
