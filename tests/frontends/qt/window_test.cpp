// The Linux window driven as an operator drives it: the idle window and its
// geometry, the message boxes, the folder chooser, update runs through the
// real engine (a client run, a failed run, a whole SERVER run against the real
// Firebird server), and screenshots of each in English and Russian.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QDateTime>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "frontends/qt/message_box.h"
#include "frontends/qt/operator_script.h"
#include "i18n/ldm.h"
#include "support/temp_dir.h"
#include "update/run_journal.h"
#include "sysroutines/executable.h"
#include "sysroutines/lock_test.h"
#include "sysroutines/paths.h"
#include "sysroutines/run_lock.h"
#include "sysroutines/registry.h"
#include "sysroutines/service_manager.h"

namespace tarnvel::testing {
namespace {

namespace fs = std::filesystem;
using i18n::GetMessageText;

// The window tests need an application object; Qt's offscreen platform
// unless a display was chosen.
class QtApplication : public ::testing::Environment {
 public:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "test_qt_window";
    static char* argv[] = {name, nullptr};
    app_ = new QApplication(argc, argv);
    qt::UseAsteriskPasswords();
  }
  void TearDown() override { delete app_; }

 private:
  QApplication* app_ = nullptr;
};
const ::testing::Environment* const kApplication = ::testing::AddGlobalTestEnvironment(new QtApplication);

// Texts as a text box shows them: line breaks as LF.
std::string Shown(const std::string& text) {
  return qt::BoxText(text).toStdString();
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

int Shell(const std::string& command) {
  return std::system(command.c_str());
}

std::string Quoted(const std::string& text) {
  return "'" + text + "'";
}

// The shared server answers on localhost/3051; waits up to 90 s for it (it
// may be coming back from another program's stop).
bool ServerAnswers() {
  for (int tries = 0; tries < 360; ++tries) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(3051);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool connected = fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0) close(fd);
    if (connected) return true;
    usleep(250000);
  }
  return false;
}

struct Language {
  int column;
  const char* tag;
};
const Language kEnglish{3, "en"};
const Language kRussian{2, "ru"};

class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    i18n::LDM().Sild.SetActiveLanguage(kEnglish.column);
    env_.executablePath = exeDir_ / "Updater_TarnVel";
    // No Firebird server installed here unless a test registers one.
    env_.discoverServer = [](firebird::TFBServParams& params) { params = {}; };
  }
  void TearDown() override { i18n::LDM().Sild.SetActiveLanguage(kEnglish.column); }

  void UseLanguage(const Language& language) { i18n::LDM().Sild.SetActiveLanguage(language.column); }

  /// A product laid out by make-product.sh under the server-reachable folder.
  std::string MakeProduct(const std::string& name, const std::string& options) {
    const std::string folder = std::string(TARNVEL_WINDOW_PRODUCTS) + "/" + name;
    fs::create_directories(TARNVEL_WINDOW_PRODUCTS);
    fs::permissions(TARNVEL_WINDOW_PRODUCTS, fs::perms::all);
    const std::string command = "bash " +
                                Quoted(std::string(TARNVEL_SOURCE_DIR) + "/scripts/make-product.sh") + " " +
                                Quoted(folder) + " " + options + " >/dev/null";
    EXPECT_EQ(Shell(command), 0) << command;
    return folder;
  }

  std::string LogText() const {
    std::string all;
    if (!fs::exists(exeDir_.path() / "Logs")) return all;
    for (const auto& entry : fs::directory_iterator(exeDir_.path() / "Logs")) all += ReadAll(entry.path());
    return all;
  }

  /// Steps of one update run: type the folder, press Start, answer every box
  /// (Yes to questions, OK to the rest) until the window is idle again with
  /// its result on show. Screenshots of the run in progress at its first box.
  void RunSteps(OperatorScript& op, const std::string& folder, const std::string& shotPrefix) {
    op.Then("type the folder and press Start", [&op, folder] {
      if (!op.Shown()) return false;
      op.Find<QLineEdit>("eProgramLocation")->setText(QString::fromStdString(folder));
      OperatorScript::Press(op.Find<QPushButton>("OKBtn"));
      return true;
    });
    // A run can end between two looks at the window: its end is the result
    // picture on show (hidden from Start on) with the window idle.
    op.Then("answer the boxes until the run ends", [this, &op, shotPrefix] {
      if (QMessageBox* box = OperatorScript::Box()) {
        if (box->property("answered").toBool()) return false;
        box->setProperty("answered", true);
        boxes_.push_back({box->icon(), box->text().toStdString()});
        if (boxes_.size() == 1 && op.Busy()) {
          OperatorScript::Shot(op.Window(), shotPrefix + "-run-in-progress");
          OperatorScript::Shot(box, shotPrefix + "-first-box");
        }
        if (box->icon() == QMessageBox::Critical) OperatorScript::Shot(box, shotPrefix + "-error-box");
        QAbstractButton* yes = OperatorScript::BoxButton(box, "Yes");
        OperatorScript::Press(yes ? yes : OperatorScript::BoxButton(box, "OK"));
        return false;
      }
      return !op.Busy() && op.Find<QLabel>("Image1")->isVisible();
    });
  }

  void ExitSteps(OperatorScript& op, const std::string& finalShot) {
    op.Then("look at the result and press Exit", [&op, finalShot] {
      if (OperatorScript::Box()) return false;
      OperatorScript::Shot(op.Window(), finalShot);
      OperatorScript::Press(op.Find<QPushButton>("CancelBtn"));
      return true;
    });
  }

  struct SeenBox {
    QMessageBox::Icon icon;
    std::string text;
  };

  TempDir exeDir_{"window"};
  FormEnvironment env_;
  std::vector<SeenBox> boxes_;
};

TEST_F(Window, IdleWindowAsTheOperatorSeesIt) {
  for (const Language& language : {kEnglish, kRussian}) {
    SCOPED_TRACE(language.tag);
    UseLanguage(language);
    OperatorScript op;
    op.Then("look at the idle window", [&] {
      if (!op.Shown()) return false;
      qt::MainWindow* w = op.Window();
      EXPECT_EQ(w->windowTitle().toStdString(), "Updater_TarnVel");
      EXPECT_EQ(w->centralWidget()->size(), QSize(476, 473));
      EXPECT_EQ(w->minimumSize(), w->maximumSize());  // not resizable
      EXPECT_FALSE(w->windowFlags() & Qt::WindowMinimizeButtonHint);
      EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
      EXPECT_TRUE(w->windowFlags() & Qt::WindowCloseButtonHint);

      struct Place {
        const char* name;
        QRect rect;
      };
      const Place places[] = {
          {"gbConnection", {0, 0, 476, 161}},
          {"eProgramLocation", {8, 32, 430, 21}},
          {"bbProgramLocation", {443, 30, 24, 24}},
          {"eAdmnPassword", {8, 73, 177, 21}},
          {"ePassword", {8, 127, 177, 21}},
          {"gbLog", {0, 161, 476, 264}},
          {"mLog", {2, 15, 472, 247}},
          {"Bevel1", {0, 425, 476, 6}},
          {"pBtn", {0, 431, 476, 42}},
          {"Image1", {0, 0, 49, 42}},
          {"aProgress", {0, 0, 41, 41}},
          {"mCaptions", {49, 5, 280, 32}},
          {"OKBtn", {332, 8, 68, 25}},
          {"CancelBtn", {404, 8, 68, 25}},
      };
      for (const Place& place : places) {
        const QWidget* control = op.Find<QWidget>(place.name);
        if (control == nullptr) {
          ADD_FAILURE() << "no control " << place.name;
          continue;
        }
        EXPECT_EQ(control->geometry(), place.rect) << place.name;
      }
      for (const char* name : {"lProgramLocation", "lAdmnPassword", "lPassword", "Label1"}) {
        EXPECT_FALSE(op.Find<QLabel>(name)->text().isEmpty()) << name;
        EXPECT_FALSE(op.Find<QLabel>(name)->font().bold()) << name;
      }
      EXPECT_EQ(op.Find<QLabel>("lProgramLocation")->pos(), QPoint(8, 17));
      EXPECT_EQ(op.Find<QLabel>("lAdmnPassword")->pos(), QPoint(8, 58));
      EXPECT_EQ(op.Find<QLabel>("lPassword")->pos(), QPoint(8, 99));
      EXPECT_EQ(op.Find<QLabel>("Label1")->pos(), QPoint(8, 111));
      EXPECT_TRUE(op.Find<QGroupBox>("gbConnection")->font().bold());
      EXPECT_TRUE(op.Find<QGroupBox>("gbLog")->font().bold());

      // Presets: the product folder, ten and one masked characters.
      auto* folder = op.Find<QLineEdit>("eProgramLocation");
      auto* sysdba = op.Find<QLineEdit>("ePassword");
      auto* admn = op.Find<QLineEdit>("eAdmnPassword");
      EXPECT_EQ(folder->text().toStdString(), "/opt/ZEK/TarnVel");
      EXPECT_EQ(sysdba->displayText().toStdString(), "**********");
      EXPECT_EQ(admn->displayText().toStdString(), "*");
      EXPECT_EQ(sysdba->text().toStdString(), "kelpdromux");

      // Read-only texts, scroll bars, the status font and colour.
      auto* log = op.Find<QPlainTextEdit>("mLog");
      auto* status = op.Find<QPlainTextEdit>("mCaptions");
      EXPECT_TRUE(log->isReadOnly());
      EXPECT_TRUE(status->isReadOnly());
      EXPECT_EQ(log->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
      EXPECT_EQ(log->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
      EXPECT_TRUE(status->font().bold());
      EXPECT_TRUE(QFontInfo(status->font()).fixedPitch());
      EXPECT_EQ(status->palette().color(QPalette::Text), QColor(128, 0, 0));
      EXPECT_FALSE(op.Find<QLabel>("Image1")->isVisible());
      EXPECT_FALSE(op.Find<QWidget>("aProgress")->isVisible());

      // Texts in the active language, hints in the design text.
      const bool russian = language.column == kRussian.column;
      EXPECT_EQ(op.Find<QPushButton>("OKBtn")->text().toStdString(), russian ? "&Старт" : "&Start");
      EXPECT_EQ(op.Find<QPushButton>("CancelBtn")->text().toStdString(), russian ? "Выход" : "Exit");
      EXPECT_EQ(op.Find<QPushButton>("OKBtn")->toolTip().toStdString(), "Запустить обновление");
      EXPECT_EQ(op.Find<QPushButton>("CancelBtn")->toolTip().toStdString(), "Выход из программы");

      // One menu with its five commands.
      const QList<QAction*> menus = w->menuBar()->actions();
      EXPECT_EQ(menus.size(), 1);
      auto* operations = w->findChild<QMenu*>(QStringLiteral("mmOperations"));
      EXPECT_NE(operations, nullptr);
      if (operations == nullptr) return true;
      EXPECT_EQ(operations->title().toStdString(), russian ? "Сервис" : "Service");
      EXPECT_EQ(operations->actions().size(), 5);
      EXPECT_EQ(w->menuBar()->palette().color(QPalette::Window),
                QApplication::palette().color(QPalette::Button));

      // Painted colours: input fields and the log white like any input
      // field, the status area and the drop-down in the button face, the
      // labels of a disabled connection box grey like its other texts.
      const QColor face = QApplication::palette().color(QPalette::Button);
      const QColor input = QApplication::palette().color(QPalette::Base);
      EXPECT_NE(face, input);
      const auto pixel = [](QWidget* widget, int x, int y) {
        const QImage image = widget->grab().toImage();
        return image.pixelColor(x < 0 ? image.width() + x : x, y < 0 ? image.height() + y : y);
      };
      for (const char* name : {"eProgramLocation", "eAdmnPassword", "ePassword"})
        EXPECT_EQ(pixel(op.Find<QWidget>(name), -6, 10), input) << name;
      EXPECT_EQ(pixel(log->viewport(), 40, -6), input) << "mLog";
      EXPECT_EQ(pixel(status->viewport(), 200, -4), face) << "mCaptions";
      operations->popup(w->mapToGlobal(QPoint(0, 20)));
      EXPECT_EQ(pixel(operations, operations->width() / 2, -4), face) << "the drop-down";
      OperatorScript::Shot(operations, std::string(language.tag) + "-menu");
      operations->hide();
      const auto darkest = [](QWidget* widget) {
        const QImage image = widget->grab().toImage();
        int least = 255;
        for (int y = 0; y < image.height(); ++y)
          for (int x = 0; x < image.width(); ++x) least = std::min(least, qGray(image.pixel(x, y)));
        return least;
      };
      auto* connection = op.Find<QGroupBox>("gbConnection");
      EXPECT_LT(darkest(op.Find<QLabel>("lProgramLocation")), 60) << "enabled labels are black";
      connection->setEnabled(false);
      for (const char* name : {"lProgramLocation", "lAdmnPassword", "lPassword", "Label1"})
        EXPECT_GT(darkest(op.Find<QLabel>(name)), 90) << name << " stays black in a disabled box";
      connection->setEnabled(true);

      // Tab order: Start, Exit, status, folder, folder button, ADMN, SYSDBA, log.
      std::vector<std::string> order;
      QWidget* at = op.Find<QWidget>("OKBtn");
      for (int i = 0; i < 8; ++i, at = at->nextInFocusChain()) {
        while (at->focusPolicy() == Qt::NoFocus) at = at->nextInFocusChain();
        order.push_back(at->objectName().toStdString());
      }
      EXPECT_EQ(order, (std::vector<std::string>{"OKBtn", "CancelBtn", "mCaptions", "eProgramLocation",
                                                 "bbProgramLocation", "eAdmnPassword", "ePassword", "mLog"}));

      OperatorScript::Shot(w, std::string(language.tag) + "-idle");
      OperatorScript::Press(op.Find<QPushButton>("CancelBtn"));
      return true;
    });
    op.Play(env_);
  }
}

TEST_F(Window, ClientRunSucceedsInBothLanguages) {
  for (const Language& language : {kEnglish, kRussian}) {
    SCOPED_TRACE(language.tag);
    UseLanguage(language);
    boxes_.clear();
    const std::string product = MakeProduct(std::string(language.tag) + "-client", "--client-only");
    const std::string before = ReadAll(fs::path(product) / "Program" / "TarnVel.exe");
    OperatorScript op;
    RunSteps(op, product, std::string(language.tag));
    op.Then("check the success display", [&] {
      EXPECT_EQ(op.StatusText(), Shown(GetMessageText("uMain_Finished_1")));
      EXPECT_EQ(op.Find<QPlainTextEdit>("mCaptions")->palette().color(QPalette::Text), QColor(0, 128, 0));
      EXPECT_FALSE(op.Find<QLabel>("Image1")->pixmap().isNull());
      EXPECT_FALSE(op.Find<QWidget>("aProgress")->isVisible());
      EXPECT_TRUE(op.Find<QWidget>("pBtn")->isEnabled());
      const std::string log = op.Find<QPlainTextEdit>("mLog")->toPlainText().toStdString();
      EXPECT_NE(log.find(GetMessageText("uMain_Finished_2")), std::string::npos);
      return true;
    });
    ExitSteps(op, std::string(language.tag) + "-success");
    op.Play(env_);
    for (const SeenBox& box : boxes_) EXPECT_NE(box.icon, QMessageBox::Critical) << box.text;
    EXPECT_NE(ReadAll(fs::path(product) / "Program" / "TarnVel.exe"), before);  // replaced
    EXPECT_NE(LogText().find(GetMessageText("uMain_Finished_2") + "\r\n"), std::string::npos);
  }
}

TEST_F(Window, FailedRunShowsItsErrorAndTheInterruptedDisplay) {
  for (const Language& language : {kEnglish, kRussian}) {
    SCOPED_TRACE(language.tag);
    UseLanguage(language);
    boxes_.clear();
    OperatorScript op;
    RunSteps(op, std::string(TARNVEL_WINDOW_PRODUCTS) + "/no such product",
             std::string(language.tag) + "-failure");
    op.Then("check the failure display", [&] {
      EXPECT_EQ(op.StatusText(), Shown(GetMessageText("uMain_Finished_4")));
      EXPECT_EQ(op.Find<QPlainTextEdit>("mCaptions")->palette().color(QPalette::Text), QColor(128, 0, 0));
      EXPECT_TRUE(op.Find<QLabel>("Image1")->isVisible());
      return true;
    });
    ExitSteps(op, std::string(language.tag) + "-failure");
    op.Play(env_);
    ASSERT_FALSE(boxes_.empty());
    const SeenBox& error = boxes_.back();
    EXPECT_EQ(error.icon, QMessageBox::Critical);
    // The failure's text is in the log file as well.
    std::string text = error.text;
    if (!text.empty() && text.back() == '.') text.pop_back();
    EXPECT_NE(Shown(LogText()).find(text.substr(0, 20)), std::string::npos) << error.text;
  }
}

// The rollback display. A real rollback needs a fault injected into the
// middle of a run, which the driver's own tests do; the window only shows
// what the run leaves: the flag set and an empty failure.
TEST_F(Window, RolledBackRunShowsTheRollbackDisplayWithoutABox) {
  for (const Language& language : {kEnglish, kRussian}) {
    SCOPED_TRACE(language.tag);
    UseLanguage(language);
    boxes_.clear();
    env_.engine.updateProgramm = [](IUpdateHost& host, const UpdateSettings&, const std::string&,
                                    const std::string&, const std::string&, const std::string&) {
      host.SetRolledBack(false);
      host.SaveExceptionToLog("The replacement failed; the program folders are restored.");
      host.SetRolledBack(true);
      throw std::runtime_error("");
    };
    OperatorScript op;
    RunSteps(op, "/opt/ZEK/TarnVel", std::string(language.tag) + "-rollback");
    op.Then("check the rollback display", [&] {
      EXPECT_EQ(op.StatusText(), Shown(GetMessageText("uMain_Finished_3")));
      return true;
    });
    ExitSteps(op, std::string(language.tag) + "-rollback");
    op.Play(env_);
    EXPECT_TRUE(boxes_.empty());
  }
}

// An update killed between the lock test's two renames left the product
// under the lock-test name and an unfinished journal: the window offers the
// recovery as soon as it is shown, and Yes runs the real recovery.
TEST_F(Window, AKilledRunIsOfferedForRecoveryAtStartAndRecovered) {
  for (const Language& language : {kEnglish, kRussian}) {
    SCOPED_TRACE(language.tag);
    UseLanguage(language);
    boxes_.clear();
    const std::string product = MakeProduct(std::string(language.tag) + "-killed", "--client-only");
    const std::string renamed = sys::LockTestName(product);
    {
      RunJournal journal(sys::MachineStateFolder(), {{"command", "update"},
                                                     {"pid", "4242"},
                                                     {"folder", product},
                                                     {"client", "TarnVel.exe"},
                                                     {"clientFound", "yes"},
                                                     {"serverFound", "no"}});
      ASSERT_TRUE(journal.Record(journal::kFolderRename, {{"to", renamed}}));
    }  // killed: the journal stays unfinished
    fs::rename(product, renamed);

    OperatorScript op;
    op.Then("read the recovery question and answer Yes", [&] {
      QMessageBox* box = OperatorScript::Box();
      if (box == nullptr || !op.Shown()) return false;
      box->setProperty("answered", true);
      boxes_.push_back({box->icon(), box->text().toStdString()});
      OperatorScript::Shot(op.Window(), std::string(language.tag) + "-recovery-offered");
      OperatorScript::Shot(box, std::string(language.tag) + "-recovery-question");
      OperatorScript::Press(OperatorScript::BoxButton(box, "Yes"));
      return true;
    });
    op.Then("wait for the recovery to end", [&] {
      if (QMessageBox* box = OperatorScript::Box()) {
        if (box->property("answered").toBool()) return false;
        box->setProperty("answered", true);
        boxes_.push_back({box->icon(), box->text().toStdString()});
        OperatorScript::Press(OperatorScript::BoxButton(box, "OK"));
        return false;
      }
      // The Yes is pressed after the step above returned: the recovery has
      // ended when its last entry is in the log and the window is idle.
      const std::string log = op.Find<QPlainTextEdit>("mLog")->toPlainText().toStdString();
      return !op.Busy() && log.find(Shown(GetMessageText("uUpdate_Recover_5"))) != std::string::npos;
    });
    op.Then("look at the result and press Exit", [&] {
      OperatorScript::Shot(op.Window(), std::string(language.tag) + "-recovered");
      OperatorScript::Press(op.Find<QPushButton>("CancelBtn"));
      return true;
    });
    op.Play(env_);

    ASSERT_FALSE(boxes_.empty());
    EXPECT_EQ(boxes_[0].icon, QMessageBox::Question);
    // The question after the description of what the killed run left.
    std::string question = Shown(GetMessageText("uMain_Recover_1", ""));
    question.erase(0, question.find_first_not_of('\n'));
    EXPECT_NE(boxes_[0].text.find(question), std::string::npos) << boxes_[0].text;
    EXPECT_NE(boxes_[0].text.find(product), std::string::npos) << boxes_[0].text;
    for (std::size_t i = 1; i < boxes_.size(); ++i) EXPECT_NE(boxes_[i].icon, QMessageBox::Critical) << boxes_[i].text;
    EXPECT_TRUE(fs::exists(fs::path(product) / "Program" / "TarnVel.exe"));
    EXPECT_FALSE(fs::exists(renamed));
    EXPECT_FALSE(ReadUnfinishedJournal(sys::MachineStateFolder()));
  }
}

// A command of the menu during a long copy: refused by a notice, and the
// copy's progress goes on moving under it. The engine is scripted: a real
// copy ends too fast for two looks a second apart.
TEST_F(Window, ARefusalDuringACopyLeavesItsProgressMoving) {
  for (const Language& language : {kEnglish, kRussian}) {
    SCOPED_TRACE(language.tag);
    UseLanguage(language);
    boxes_.clear();
    env_.engine.updateProgramm = [](IUpdateHost& host, const UpdateSettings&, const std::string&,
                                    const std::string&, const std::string&, const std::string&) {
      constexpr std::uint64_t kTotal = 1500ull << 20;
      for (std::uint64_t done = 0; done <= kTotal; done += 10ull << 20) {
        host.ShowCopyProgress({"Program", "Tmp$1/Old/Program", done, kTotal});
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
      }
    };
    OperatorScript op;
    std::vector<std::string> looks;
    qint64 firstLook = 0;
    op.Then("press Start", [&] {
      if (!op.Shown()) return false;
      OperatorScript::Press(op.Find<QPushButton>("OKBtn"));
      return true;
    });
    op.Then("choose a menu command once the copy is under way", [&] {
      if (op.StatusText().find('%') == std::string::npos) return false;
      OperatorScript::Trigger(op.Window()->findChild<QAction*>(QStringLiteral("mmOperations_Shutdown")));
      return true;
    });
    op.Then("look twice, a second apart", [&] {
      if (OperatorScript::Box() != nullptr) {
        ADD_FAILURE() << "a box opened: " << OperatorScript::Box()->text().toStdString();
        OperatorScript::Box()->reject();
        return false;
      }
      const qint64 now = QDateTime::currentMSecsSinceEpoch();
      if (looks.empty() || now - firstLook >= 1000) {
        if (looks.empty()) firstLook = now;
        looks.push_back(op.StatusText());
        OperatorScript::Shot(op.Window(), std::string(language.tag) + "-refusal-" + std::to_string(looks.size()));
      }
      return looks.size() == 2;
    });
    op.Then("wait for the end", [&] { return !op.Busy() && op.Find<QLabel>("Image1")->isVisible(); });
    ExitSteps(op, std::string(language.tag) + "-refusal-end");
    op.Play(env_);
    ASSERT_EQ(looks.size(), 2u);
    const std::string notice = Shown(GetMessageText("uMain_RefuseWhileBusy_1"));
    for (const std::string& look : looks) EXPECT_EQ(look.rfind(notice + "\n", 0), 0u) << look;
    EXPECT_NE(looks[0], looks[1]) << "the progress stood still under the notice";
    EXPECT_TRUE(boxes_.empty());
  }
}

// The display of a rollback that could not put everything back: the status
// says so and names the backup, and the error box lists what is left. The
// engine is scripted; the driver's failure-path tests make the real one.
TEST_F(Window, ARollbackThatDidNotCompleteIsShownAsSuch) {
  for (const Language& language : {kEnglish, kRussian}) {
    SCOPED_TRACE(language.tag);
    UseLanguage(language);
    boxes_.clear();
    env_.engine.updateProgramm = [](IUpdateHost& host, const UpdateSettings&, const std::string&,
                                    const std::string&, const std::string&, const std::string&) {
      host.SetRolledBack(true);
      throw std::runtime_error(GetMessageText("uUpdate_UpdateProgramm_47") + "\r\n" +
                               GetMessageText("uUpdate_RestoreFilesFromBackup_1", "/opt/ZEK/TarnVel/Program/TarnVel.exe") +
                               "\r" + GetMessageText("uUpdate_UpdateProgramm_54", "/opt/ZEK/TarnVel/Tmp$111226040000/Old/"));
    };
    OperatorScript op;
    RunSteps(op, "/opt/ZEK/TarnVel", std::string(language.tag) + "-failed-rollback");
    op.Then("check the failed rollback's display", [&] {
      EXPECT_EQ(op.StatusText(), Shown(GetMessageText("uMain_Finished_5")));
      return true;
    });
    ExitSteps(op, std::string(language.tag) + "-failed-rollback");
    op.Play(env_);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].icon, QMessageBox::Critical);
    EXPECT_NE(boxes_[0].text.find("/opt/ZEK/TarnVel/Tmp$111226040000/Old/"), std::string::npos) << boxes_[0].text;
  }
}

TEST_F(Window, MessageBoxesAnswerEnterWithTheFocusedButtonAndEscWithNo) {
  struct Case {
    const char* what;
    DialogButton focused;
    int key;
    DialogButton expected;
  };
  const Case cases[] = {
      {"Enter on No", DialogButton::No, Qt::Key_Return, DialogButton::No},
      {"Enter on Yes", DialogButton::Yes, Qt::Key_Return, DialogButton::Yes},
      {"Esc with Yes focused", DialogButton::Yes, Qt::Key_Escape, DialogButton::No},
      {"Esc with No focused", DialogButton::No, Qt::Key_Escape, DialogButton::No},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DialogRequest request;
    request.type = DialogType::Confirmation;
    request.caption = "Confirm";
    request.text = "First line\r\nsecond line";
    request.buttons = {DialogButton::Yes, DialogButton::No};
    request.defaultButton = c.focused;
    request.escapeButton = DialogButton::No;
    std::string focusedName, text, yesLabel;
    QTimer::singleShot(50, [&] {
      QMessageBox* box = OperatorScript::Box();
      ASSERT_NE(box, nullptr);
      text = box->text().toStdString();
      focusedName =
          QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : "";
      yesLabel = OperatorScript::BoxButton(box, "Yes")->text().toStdString();
      QTest::keyClick(box, static_cast<Qt::Key>(c.key));
    });
    EXPECT_EQ(qt::ShowMessageBox(nullptr, request), c.expected);
    EXPECT_EQ(text, "First line\nsecond line");
    EXPECT_EQ(focusedName, c.focused == DialogButton::Yes ? "Yes" : "No");
    EXPECT_EQ(yesLabel, "&Yes");
  }
}

// The check from the menu, as an operator would use it before a maintenance
// window: the findings in the log, a box that names what blocks, and the
// product as it was.
TEST_F(Window, ACheckFromTheMenuNamesWhatBlocksAndChangesNothing) {
  for (const Language& language : {kEnglish, kRussian}) {
    SCOPED_TRACE(language.tag);
    UseLanguage(language);
    boxes_.clear();
    TempDir products("window-check");
    const std::string product = products / "TarnVel";
    fs::create_directories(fs::path(product) / "Program");
    WriteFile(fs::path(product) / "Program" / "TarnVel.exe", "the installed client");
    fs::create_directories(product + "_");  // left by an interrupted update

    OperatorScript op;
    op.Then("type the folder and choose Check", [&] {
      if (!op.Shown()) return false;
      op.Find<QLineEdit>("eProgramLocation")->setText(QString::fromStdString(product));
      OperatorScript::Trigger(op.Window()->findChild<QAction*>(QStringLiteral("mmOperations_Check")));
      return true;
    });
    op.Then("read the box and press OK", [&] {
      QMessageBox* box = OperatorScript::Box();
      if (box == nullptr) return false;
      boxes_.push_back({box->icon(), box->text().toStdString()});
      OperatorScript::Shot(box, std::string(language.tag) + "-check-box");
      OperatorScript::Press(OperatorScript::BoxButton(box, "OK"));
      return true;
    });
    op.Then("look at the log", [&] {
      if (OperatorScript::Box() || op.Busy()) return false;
      OperatorScript::Shot(op.Window(), std::string(language.tag) + "-check-log");
      OperatorScript::Press(op.Find<QPushButton>("CancelBtn"));
      return true;
    });
    op.Play(env_);

    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].icon, QMessageBox::Warning);
    const std::string leftover = GetMessageText("uUpdate_PreflightCheck_24", product + "_");
    EXPECT_NE(boxes_[0].text.find(leftover), std::string::npos) << boxes_[0].text;
    EXPECT_EQ(boxes_[0].text.rfind(GetMessageText("uUpdate_PreflightCheck_33", "1"), 0), 0u) << boxes_[0].text;
    const std::string log = LogText();
    EXPECT_NE(log.find(GetMessageText("uUpdate_PreflightCheck_1", product)), std::string::npos) << log;
    EXPECT_NE(log.find(GetMessageText("uUpdate_PreflightCheck_27").substr(0, 20)), std::string::npos) << log;
    EXPECT_EQ(ReadAll(fs::path(product) / "Program" / "TarnVel.exe"), "the installed client");
    EXPECT_TRUE(fs::is_directory(product + "_"));
    EXPECT_EQ(std::distance(fs::directory_iterator(product), fs::directory_iterator()), 1);
  }
}

TEST_F(Window, FolderChooserOpensOnTheTypedFolderAndKeepsTheTextOnCancel) {
  TempDir product("chooser");
  fs::create_directories(product.path() / "Chosen");
  struct Case {
    std::string typed;
    bool confirm;
    std::string expectedStart;  // empty: no preselection
    std::string expectedBox;
  };
  const Case cases[] = {
      {product.str(), true, product.str(), product / "Chosen"},
      {product / "missing", false, "", product / "missing"},
      {product.str(), false, product.str(), product.str()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    OperatorScript op;
    std::string openedOn, title;
    op.Then("type a folder and press the folder button", [&] {
      if (!op.Shown()) return false;
      op.Find<QLineEdit>("eProgramLocation")->setText(QString::fromStdString(c.typed));
      OperatorScript::Press(op.Find<QPushButton>("bbProgramLocation"));
      return true;
    });
    op.Then("choose or cancel in the chooser", [&] {
      auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (chooser == nullptr) return false;
      title = chooser->windowTitle().toStdString();
      openedOn = chooser->directory().absolutePath().toStdString();
      if (c.confirm) {
        // The folder typed into the chooser's name box, then Choose.
        auto* name = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        EXPECT_NE(name, nullptr);
        if (name != nullptr) name->setText(QString::fromStdString(product / "Chosen"));
      } else {
        QMetaObject::invokeMethod(chooser, "reject", Qt::QueuedConnection);
      }
      return true;
    });
    op.Then("press Choose once the chooser holds the typed folder", [&] {
      if (!c.confirm) return true;
      auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (chooser == nullptr) return false;
      // The chooser takes a typed name in after its own events: Choose before
      // that would accept the folder it was opened on.
      const QStringList selected = chooser->selectedFiles();
      if (selected.isEmpty() || selected.front().toStdString() != product / "Chosen") return false;
      QMetaObject::invokeMethod(chooser, "accept", Qt::QueuedConnection);
      return true;
    });
    op.Then("read the folder box and press Exit", [&] {
      if (QApplication::activeModalWidget()) return false;
      EXPECT_EQ(op.Find<QLineEdit>("eProgramLocation")->text().toStdString(), c.expectedBox);
      OperatorScript::Press(op.Find<QPushButton>("CancelBtn"));
      return true;
    });
    op.Play(env_);
    EXPECT_EQ(title, GetMessageText("uMain_ProgramLocation_1"));
    if (!c.expectedStart.empty()) EXPECT_EQ(openedOn, c.expectedStart);
  }
}

// A whole SERVER run through the window against the real server: the
// product's service is a script handing every action to the system's
// Firebird service, discovery reads a registry file naming it. While the run
// waits for the stopped server the operator tries an Operations command
// (refused) and closing the window (asked, answered No).
TEST_F(Window, ServerRunThroughTheWindow) {
  if (!fs::exists("/etc/init.d/firebird3.0")) GTEST_SKIP() << "firebird3.0-server is not installed";
  // Other programs on this machine share the server: they stop and start it
  // only while holding this lock.
  const int lock = open("/tmp/tarnvel-firebird.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  ASSERT_GE(lock, 0);
  ASSERT_EQ(flock(lock, LOCK_EX), 0);
  struct Unlock {
    int fd;
    ~Unlock() { close(fd); }
  } unlock{lock};
  ASSERT_TRUE(ServerAnswers()) << "the Firebird server does not answer on port 3051";
  const std::string product = MakeProduct("en-server", "");

  TempDir serviceDir("window-service");
  const fs::path script = serviceDir.path() / "NorvaskFireXBirdServer";
  WriteFile(script, "#!/bin/sh\nexec /etc/init.d/firebird3.0 \"$@\" >/dev/null 2>&1\n");
  fs::permissions(script, fs::perms::owner_all);
  fs::create_directories(serviceDir.path() / "Firebird" / "bin");
  const fs::path registry = serviceDir.path() / "registry.reg";
  WriteFile(registry,
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\NorvaskFireXBirdServer]\r\n"
            "\"ImagePath\"=\"" +
                (serviceDir / "Firebird") + "/bin/fbsrvtrvl -s -p 3051\"\r\n");
  setenv(sys::kServiceFolderVariable, serviceDir.str().c_str(), 1);
  setenv(sys::kRegistryFileVariable, registry.c_str(), 1);
  env_ = FormEnvironment();  // the real discovery
  env_.executablePath = exeDir_ / "Updater_TarnVel";

  OperatorScript op;
  bool refused = false, askedToClose = false, triedMenu = false, triedClose = false;
  std::string serviceName;
  op.Then("type the folder and press Start", [&] {
    if (!op.Shown()) return false;
    op.Find<QLineEdit>("eProgramLocation")->setText(QString::fromStdString(product));
    OperatorScript::Press(op.Find<QPushButton>("OKBtn"));
    return true;
  });
  op.Then("answer the boxes, try the menu and the close box during the run", [&] {
    if (QMessageBox* box = OperatorScript::Box()) {
      if (box->property("answered").toBool()) return false;
      box->setProperty("answered", true);
      const std::string text = box->text().toStdString();
      boxes_.push_back({box->icon(), text});
      if (boxes_.size() == 1) OperatorScript::Shot(box, "en-server-first-box");
      QAbstractButton* yes = OperatorScript::BoxButton(box, "Yes");
      OperatorScript::Press(yes ? yes : OperatorScript::BoxButton(box, "OK"));
      return false;
    }
    // The refusal and the close request are notices in the status area:
    // nothing to answer, the run goes on.
    const std::string status = op.StatusText();
    if (triedMenu && status.rfind(Shown(GetMessageText("uMain_RefuseWhileBusy_1")), 0) == 0) refused = true;
    if (triedClose && status.rfind(Shown(GetMessageText("uMain_FormCloseQuery_2")), 0) == 0) askedToClose = true;
    if (op.Busy() && !triedMenu) {
      triedMenu = true;
      OperatorScript::Shot(op.Window(), "en-server-run-in-progress");
      OperatorScript::Trigger(op.Window()->findChild<QAction*>(QStringLiteral("mmOperations_Online")));
      return false;
    }
    if (op.Busy() && refused && !triedClose) {
      triedClose = true;
      // Asked to close, then taken back: the window stays.
      QTimer::singleShot(0, op.Window(), [&op] {
        op.Window()->close();
        op.Window()->close();
      });
      return false;
    }
    return !op.Busy() && op.Find<QLabel>("Image1")->isVisible();
  });
  op.Then("check the success display", [&] {
    EXPECT_TRUE(op.Window()->isVisible());  // the close request was taken back
    EXPECT_EQ(op.StatusText(), Shown(GetMessageText("uMain_Finished_1")));
    return true;
  });
  ExitSteps(op, "en-server-success");
  op.Play(env_);
  unsetenv(sys::kServiceFolderVariable);
  unsetenv(sys::kRegistryFileVariable);

  EXPECT_TRUE(refused);
  EXPECT_TRUE(askedToClose);
  for (const SeenBox& box : boxes_) EXPECT_NE(box.icon, QMessageBox::Critical) << box.text;
  const std::string log = LogText();
  EXPECT_NE(log.find(GetMessageText("uMain_Finished_2") + "\r\n"), std::string::npos);
  EXPECT_EQ(log.find(Shown(GetMessageText("uMain_RefuseWhileBusy_1"))), std::string::npos);
  std::error_code ignored;
  fs::remove_all(fs::path(product), ignored);
}

// The window's caption is the executable's own name: this test program, copied
// as "Upd", starts the window and reads its caption (the child half below).
TEST_F(Window, CaptionIsTheNameOfTheExecutable) {
  const fs::path copy = exeDir_.path() / "Upd";
  fs::copy_file(sys::ExecutablePath(), copy);
  const std::string command = "TARNVEL_WINDOW_CHILD=1 QT_QPA_PLATFORM=offscreen " + Quoted(copy.string()) +
                              " --gtest_filter=WindowChild.ShowsItsExecutableName >" +
                              Quoted((exeDir_ / "child.txt")) + " 2>&1";
  EXPECT_EQ(Shell(command), 0) << ReadAll(exeDir_.path() / "child.txt");
  EXPECT_NE(ReadAll(exeDir_.path() / "child.txt").find("[  PASSED  ] 1 test"), std::string::npos);
  EXPECT_TRUE(fs::exists(exeDir_.path() / "libfbclient.so.2"));
  EXPECT_TRUE(fs::exists(exeDir_.path() / "IBEScript.dll"));
}

TEST(WindowChild, ShowsItsExecutableName) {
  if (std::getenv("TARNVEL_WINDOW_CHILD") == nullptr) GTEST_SKIP() << "runs as the child of the caption test";
  OperatorScript op;
  op.Then("read the caption", [&] {
    if (!op.Shown()) return false;
    EXPECT_EQ(op.Window()->windowTitle().toStdString(), "Upd");
    OperatorScript::Press(op.Find<QPushButton>("CancelBtn"));
    return true;
  });
  op.Play(FormEnvironment());
}

}  // namespace
}  // namespace tarnvel::testing
