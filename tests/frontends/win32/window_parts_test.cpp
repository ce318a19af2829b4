// Parts of the Windows window tested inside the test program: the message
// boxes (answered from a second thread as an operator would), box texts, the
// result pictures, the menu, fonts and hints of a window made here, and the
// resources the program carries.
#include <gtest/gtest.h>

#include <windows.h>
// windows.h first: commctrl.h builds on it.
#include <commctrl.h>

#include <thread>

#include "app/main_form.h"
#include "frontends/win32/control_ids.h"
#include "frontends/win32/gdi_objects.h"
#include "frontends/win32/main_window.h"
#include "frontends/win32/message_box.h"
#include "frontends/win32/window_driver.h"
#include "i18n/ldm.h"
#include "sysroutines/paths.h"
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

HWND FindControl(HWND window, int id) {
  return ChildById(window, id);
}

BOOL CALLBACK FindTooltip(HWND candidate, LPARAM found) {
  if (ClassOf(candidate) == TOOLTIPS_CLASSW) *reinterpret_cast<HWND*>(found) = candidate;
  return TRUE;
}

// The hint the window's tooltip shows for Control.
std::wstring HintOf(HWND window, HWND control) {
  HWND tooltip = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &FindTooltip, reinterpret_cast<LPARAM>(&tooltip));
  if (tooltip == nullptr) return L"(no tooltip)";
  wchar_t text[256] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = text;
  SendMessageW(tooltip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
  return text;
}

// The menu lives in the program's own memory (under Wine another process
// cannot read it), so its texts and its colour are checked on a window made
// here, with the texts the window's logic puts in.
TEST(MainWindowMenu, TextsFontsHintsAndTheButtonFaceBrush) {
  if (!DisplayPrepared()) GTEST_SKIP() << "no display";
  const struct {
    int column;
    const wchar_t* menu;
    const wchar_t* items[5];
  } languages[] = {
      {3,
       L"Service",
       {L"Switch database to multi-user mode (Online)", L"Switch database to single-user mode (Shutdown)",
        L"Start the service of the Firebird-server", L"Stop the service of the Firebird-server", L"Check"}},
      {2,
       L"Сервис",
       {L"Перевести базу данных в многопользовательский режим (Online)",
        L"Перевести базу данных в однопользовательский режим (Shutdown)",
        L"Запустить службу Firebird-сервера", L"Остановить службу Firebird-сервера",
        L"Проверить перед обновлением"}},
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
    ASSERT_EQ(GetMenuItemCount(operations), 5);
    const UINT commands[] = {kCmdOnline, kCmdShutdown, kCmdStartService, kCmdStopService, kCmdCheck};
    for (UINT i = 0; i < 5; ++i) {
      EXPECT_EQ(MenuText(operations, i), language.items[i]);
      EXPECT_EQ(GetMenuItemID(operations, static_cast<int>(i)), commands[i]);
    }

    // The window's fonts: Microsoft Sans Serif 8 points, bold captions of
    // the two boxes, the Cyrillic character set for the Russian column.
    const BYTE charset = language.column == 2 ? RUSSIAN_CHARSET : ANSI_CHARSET;
    for (int id : {kIdLProgramLocation, kIdEProgramLocation, kIdGbConnection, kIdGbLog, kIdMLog, kIdOKBtn}) {
      LOGFONTW font{};
      HWND control = FindControl(window.Handle(), id);
      ASSERT_NE(
          GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font), 0)
          << id;
      EXPECT_STREQ(font.lfFaceName, L"Microsoft Sans Serif") << id;
      EXPECT_EQ(font.lfHeight, -11) << id;
      EXPECT_EQ(font.lfCharSet, charset) << id;
      EXPECT_EQ(font.lfWeight, id == kIdGbConnection || id == kIdGbLog ? FW_BOLD : FW_NORMAL) << id;
    }
    // The status text: bold and fixed-pitch.
    LOGFONTW status{};
    GetObjectW(
        reinterpret_cast<HFONT>(SendMessageW(FindControl(window.Handle(), kIdMCaptions), WM_GETFONT, 0, 0)),
        sizeof status, &status);
    EXPECT_EQ(status.lfWeight, FW_BOLD);
    EXPECT_EQ(status.lfPitchAndFamily & 3, FIXED_PITCH);

    // The hints of Start and Exit read the same in every language.
    EXPECT_EQ(HintOf(window.Handle(), FindControl(window.Handle(), kIdOKBtn)), L"Запустить обновление");
    EXPECT_EQ(HintOf(window.Handle(), FindControl(window.Handle(), kIdCancelBtn)), L"Выход из программы");

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

// What the program carries besides its code.
TEST(ProgramResources, PicturesLibrariesPayloadCataloguesManifestAndVersion) {
  std::wstring path = sys::Utf8ToWide("Z:" TARNVEL_WINDOW_PROGRAM);
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  HMODULE program =
      LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(program, nullptr) << GetLastError();
  for (const auto& [type, name] :
       {std::pair{L"IMAGES", L"SUCCESS"}, std::pair{L"IMAGES", L"ERRORS"}, std::pair{L"DLL", L"IBESCRIPT"},
        std::pair{L"EXEFILE", L"FILES"}, std::pair{L"CATALOGUE", L"SIL"}, std::pair{L"CATALOGUE", L"SILL"}}) {
    EXPECT_NE(FindResourceW(program, name, type), nullptr)
        << sys::WideToUtf8(type) << "/" << sys::WideToUtf8(name);
  }
  // No client library in a default build: written beside the program it
  // would hide the installed server's own.
  EXPECT_EQ(FindResourceW(program, L"FBCLIENT", L"DLL"), nullptr);
  EXPECT_NE(FindResourceW(program, MAKEINTRESOURCEW(1), RT_VERSION), nullptr);
  HRSRC manifest = FindResourceW(program, MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_NE(manifest, nullptr);
  const auto* bytes = static_cast<const char*>(LockResource(LoadResource(program, manifest)));
  const std::string text(bytes, SizeofResource(program, manifest));
  // The elevation it asks for is read by the console tests, beside the console program's.
  for (const char* needed : {"Microsoft.Windows.Common-Controls", "6.0.0.0", "dpiAware"})
    EXPECT_NE(text.find(needed), std::string::npos) << needed;
  FreeLibrary(program);
}

}  // namespace
}  // namespace tarnvel::win32
