// Parts of the Windows window tested inside the test program: the message
// boxes (answered from a second thread as an operator would), box texts and
// the result pictures.
#include <gtest/gtest.h>

#include <thread>

#include "app/main_form.h"
#include "frontends/win32/control_ids.h"
#include "frontends/win32/gdi_objects.h"
#include "frontends/win32/main_window.h"
#include "frontends/win32/message_box.h"
#include "frontends/win32/window_driver.h"
#include "i18n/ldm.h"
#include "sysroutines/resources.h"

namespace tarnvel::win32 {
namespace {

using namespace tarnvel::wintest;

bool DisplayPrepared() {
  return GetEnvironmentVariableW(L"TARNVEL_WINDOW_DISPLAY", nullptr, 0) > 0 ||
         GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) > 0;
}

TEST(BoxText, LineBreaksBecomeCrLf) {
  const struct {
    const char* in;
    const wchar_t* out;
  } cases[] = {
      {"", L""},
      {"one line", L"one line"},
      {"a\rb", L"a\r\nb"},  // the catalogue's lone CR
      {"a\r\nb", L"a\r\nb"},
      {"a\nb", L"a\r\nb"},
      {"a\r\rb\r\n", L"a\r\n\r\nb\r\n"},
      {"\xD0\x9B\xD0\xBE\xD0\xB3\r", L"\x041B\x043E\x0433\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(BoxText(c.in), c.out) << c.in;
}

TEST(ResultPictures, TheCarriedBitmapsLoadAndBrokenOnesDoNot) {
  if (!DisplayPrepared()) GTEST_SKIP() << "no display";
  for (const char* name : {"SUCCESS", "ERRORS"}) {
    const std::optional<std::string_view> bytes = sys::FindEmbeddedResource("IMAGES", name);
    ASSERT_TRUE(bytes) << name;
    const Bitmap picture = BitmapFromFile(*bytes);
    ASSERT_TRUE(picture) << name;
    BITMAP info{};
    ASSERT_NE(GetObjectW(picture.Get(), sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 41);
    EXPECT_EQ(info.bmHeight, 41);
    // Cut short, or not a bitmap at all: nothing to show, and no crash.
    for (std::size_t size : {std::size_t{0}, std::size_t{2}, std::size_t{60}, bytes->size() - 1}) {
      EXPECT_FALSE(BitmapFromFile(bytes->substr(0, size))) << name << " cut to " << size;
    }
    std::string wrongMagic(*bytes);
    wrongMagic[0] = 'X';
    EXPECT_FALSE(BitmapFromFile(wrongMagic));
  }
}

// One box shown on this thread and answered from another one.
struct Seen {
  std::wstring caption, text, focusedLabel, yesLabel;
  int focusedId = 0;
};

DialogButton ShowAndAnswer(const DialogRequest& request, UINT key, Seen& seen) {
  std::thread operatorHand([&] {
    HWND box = WaitForDialog(GetCurrentProcessId(), 10000);
    if (box == nullptr) return;
    WaitUntil([&] { return FocusedControl(box) != nullptr; }, 5000);
    seen.caption = TextOf(box);
    seen.text = DialogText(box);
    HWND focused = FocusedControl(box);
    seen.focusedId = GetDlgCtrlID(focused);
    seen.focusedLabel = TextOf(focused);
    if (HWND yes = ChildById(box, 100)) seen.yesLabel = TextOf(yes);
    PressKey(focused, key);
  });
  const DialogButton answer = ShowMessageBox(nullptr, request);
  operatorHand.join();
  return answer;
}

TEST(MessageBoxes, EnterAnswersTheFocusedButtonEscAnswersNo) {
  if (!DisplayPrepared()) GTEST_SKIP() << "no display";
  const struct {
    const char* what;
    DialogButton focused;
    UINT key;
    DialogButton expected;
  } cases[] = {
      {"Enter on No", DialogButton::No, VK_RETURN, DialogButton::No},
      {"Enter on Yes", DialogButton::Yes, VK_RETURN, DialogButton::Yes},
      {"Esc with Yes focused", DialogButton::Yes, VK_ESCAPE, DialogButton::No},
      {"Esc with No focused", DialogButton::No, VK_ESCAPE, DialogButton::No},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DialogRequest request;
    request.type = DialogType::Confirmation;
    request.caption = "Confirm";
    request.text = "First line\rsecond line";
    request.buttons = {DialogButton::Yes, DialogButton::No};
    request.defaultButton = c.focused;
    request.escapeButton = DialogButton::No;
    Seen seen;
    EXPECT_EQ(ShowAndAnswer(request, c.key, seen), c.expected);
    EXPECT_EQ(seen.caption, L"Confirm");
    EXPECT_NE(seen.text.find(L"First line\r\nsecond line"), std::wstring::npos) << seen.text.c_str();
    EXPECT_EQ(seen.focusedLabel, c.focused == DialogButton::Yes ? L"&Yes" : L"&No");
    EXPECT_EQ(seen.yesLabel, L"&Yes");
  }
}

TEST(MessageBoxes, AnErrorBoxHasOneButtonThatEnterAndEscBothAnswer) {
  if (!DisplayPrepared()) GTEST_SKIP() << "no display";
  for (UINT key : {static_cast<UINT>(VK_RETURN), static_cast<UINT>(VK_ESCAPE)}) {
    DialogRequest request;
    request.type = DialogType::Error;
    request.caption = "Updater_TarnVel";
    request.text = "The copy failed.";
    request.buttons = {DialogButton::Ok};
    request.defaultButton = DialogButton::Ok;
    request.escapeButton = DialogButton::Ok;
    Seen seen;
    EXPECT_EQ(ShowAndAnswer(request, key, seen), DialogButton::Ok);
    EXPECT_EQ(seen.focusedLabel, L"OK");
    EXPECT_NE(seen.text.find(L"The copy failed."), std::wstring::npos);
  }
}

std::wstring MenuText(HMENU menu, UINT position) {
  wchar_t text[256] = {};
  GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
  return text;
}

COLORREF BrushColour(HBRUSH brush) {
  LOGBRUSH info{};
  GetObjectW(brush, sizeof info, &info);
  return info.lbColor;
}

// The menu lives in the program's own memory (under Wine another process
// cannot read it), so its texts and its colour are checked on a window made
// here, with the texts the window's logic puts in.
TEST(MainWindowMenu, TextsInTheActiveLanguageAndTheButtonFaceBrush) {
  if (!DisplayPrepared()) GTEST_SKIP() << "no display";
  const struct {
    int column;
    const wchar_t* menu;
    const wchar_t* items[4];
  } languages[] = {
      {3,
       L"Service",
       {L"Switch database to multi-user mode (Online)", L"Switch database to single-user mode (Shutdown)",
        L"Start the service of the Firebird-server", L"Stop the service of the Firebird-server"}},
      {2,
       L"Сервис",
       {L"Перевести базу данных в многопользовательский режим (Online)",
        L"Перевести базу данных в однопользовательский режим (Shutdown)",
        L"Запустить службу Firebird-сервера", L"Остановить службу Firebird-сервера"}},
  };
  for (const auto& language : languages) {
    SCOPED_TRACE(language.column);
    i18n::LDM().Sild.SetActiveLanguage(language.column);
    MainWindow window(GetModuleHandleW(nullptr));
    TfrmMain form(window, i18n::EmbeddedSillTable());
    HMENU bar = GetMenu(window.Handle());
    ASSERT_EQ(GetMenuItemCount(bar), 1);  // the Operations menu is the only one
    EXPECT_EQ(MenuText(bar, 0), language.menu);
    HMENU operations = GetSubMenu(bar, 0);
    ASSERT_EQ(GetMenuItemCount(operations), 4);
    const UINT commands[] = {kCmdOnline, kCmdShutdown, kCmdStartService, kCmdStopService};
    for (UINT i = 0; i < 4; ++i) {
      EXPECT_EQ(MenuText(operations, i), language.items[i]);
      EXPECT_EQ(GetMenuItemID(operations, static_cast<int>(i)), commands[i]);
    }

    // Show paints the bar and its drop-down menu in the button face. Wine
    // keeps the brush but draws the bar white all the same, so the brush is
    // what can be checked here.
    form.FormShow();
    for (HMENU menu : {bar, operations}) {
      MENUINFO info{};
      info.cbSize = sizeof info;
      info.fMask = MIM_BACKGROUND;
      ASSERT_TRUE(GetMenuInfo(menu, &info));
      ASSERT_NE(info.hbrBack, nullptr);
      EXPECT_EQ(BrushColour(info.hbrBack), GetSysColor(COLOR_BTNFACE));
    }
  }
  i18n::LDM().Sild.SetActiveLanguage(3);
}

}  // namespace
}  // namespace tarnvel::win32
