// The Windows window driven as an operator drives it: the real
// Updater_TarnVel.exe started from a folder of its own, its controls read
// back (places, texts, presets, menu), Start pressed on product folders and
// the boxes answered, the folder chooser, the menu and the close box during a
// run, and screenshots of each in English and Russian.
#include <gtest/gtest.h>

#include <windows.h>
// windows.h first: commctrl.h builds on it.
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "driver/driver_fixture.h"
#include "frontends/win32/busy_animation.h"
#include "frontends/win32/control_ids.h"
#include "frontends/win32/message_box.h"
#include "frontends/win32/window_driver.h"
#include "i18n/ldm.h"
#include "support/sysroutines_test_service.h"
#include "sysroutines/lock_test.h"
#include "sysroutines/paths.h"
#include "sysroutines/run_lock.h"
#include "update/run_journal.h"

namespace tarnvel::testing {
namespace {

namespace fs = std::filesystem;
using namespace tarnvel::win32;
using namespace tarnvel::wintest;
using i18n::GetMessageText;

// The Unix path as Wine's drive Z: shows it.
std::string WinePath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::wstring W(const std::string& text) {
  return sys::Utf8ToWide(text);
}

// A text as a box or the status area shows it.
std::wstring Shown(const std::string& text) {
  return BoxText(text);
}

// Some pixel of Control on screen has Colour (text drawn in it): the
// status text's colour, which no other program can ask the window for.
bool ShowsColour(HWND control, COLORREF colour) {
  RECT r{};
  GetWindowRect(control, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, picture);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  bool found = false;
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  for (int i = 0; i < width * height && !found; ++i) {
    const std::uint32_t p = pixels[i];  // 0x00RRGGBB
    found = ((p >> 16) & 0xFF) == GetRValue(colour) && ((p >> 8) & 0xFF) == GetGValue(colour) &&
            (p & 0xFF) == GetBValue(colour);
  }
  SelectObject(memory, old);
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return found;
}
const COLORREF kMaroon = RGB(128, 0, 0);
const COLORREF kGreen = RGB(0, 128, 0);

struct Language {
  int column;
  const char* tag;
  const wchar_t* locale;
};
const Language kEnglish{3, "en", L"en_US.UTF-8"};
const Language kRussian{2, "ru", L"ru_RU.UTF-8"};

constexpr DWORD kStartMs = 30000;

// The window program started for one test. Wine takes a program's language
// from the Unix environment it starts in, not from the Windows environment
// block, so it is started through /bin/sh and /usr/bin/wine (Wine runs
// Linux programs too) and then found by its window.
class WindowProgram {
 public:
  WindowProgram(const std::string& exe, const std::string& folder, const wchar_t* locale) {
    const std::vector<HWND> before = Windows();
    // The locale and the path go in as "$1" and "$2", never into the script.
    std::wstring command =
        L"Z:\\bin\\sh -c \"LANG=\\\"$1\\\" LC_ALL=\\\"$1\\\" exec /usr/bin/wine \\\"$2\\\"\" sh " +
        std::wstring(locale) + L" \"" + W(UnixPath(exe)) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const std::wstring wideFolder = W(folder);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, wideFolder.c_str(),
                        &startup, &started)) {
      return;
    }
    if (started.hThread != nullptr) CloseHandle(started.hThread);
    if (started.hProcess != nullptr) CloseHandle(started.hProcess);
    WaitUntil(
        [&] {
          for (HWND window : Windows()) {
            if (std::find(before.begin(), before.end(), window) == before.end()) main_ = window;
          }
          return main_ != nullptr;
        },
        kStartMs);
    if (main_ == nullptr) return;
    GetWindowThreadProcessId(main_, &pid_);
    process_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, pid_);
  }
  ~WindowProgram() {
    if (process_ == nullptr) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_, 1);
      WaitForSingleObject(process_, 10000);
    }
    CloseHandle(process_);
  }
  WindowProgram(const WindowProgram&) = delete;
  WindowProgram& operator=(const WindowProgram&) = delete;

  HWND Main() const { return main_; }
  DWORD Pid() const { return pid_; }
  std::optional<DWORD> WaitForExit(DWORD ms) const {
    DWORD code = 0;
    if (process_ == nullptr || WaitForSingleObject(process_, ms) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process_, &code)) {
      return std::nullopt;
    }
    return code;
  }

 private:
  static BOOL CALLBACK CollectMainWindow(HWND window, LPARAM list) {
    if (ClassOf(window) == kMainWindowClass) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
  }
  // The main windows of every updater now running (hidden until start-up
  // has shown it).
  static std::vector<HWND> Windows() {
    std::vector<HWND> found;
    EnumWindows(&CollectMainWindow, reinterpret_cast<LPARAM>(&found));
    return found;
  }
  static std::string UnixPath(const std::string& winePath) {
    std::string path = winePath.substr(2);  // all test folders are on Z:, Wine's drive for "/"
    for (char& c : path) {
      if (c == '\\') c = '/';
    }
    return path;
  }

  HWND main_ = nullptr;
  DWORD pid_ = 0;
  HANDLE process_ = nullptr;
};
constexpr DWORD kRunMs = 180000;

// What an operator saw in one box.
struct SeenBox {
  std::wstring caption;
  std::wstring text;
};

// A box stands in the middle of the window (within a few pixels of
// rounding), not over its title and menu.
bool CentredOver(HWND box, HWND window) {
  RECT b{}, w{};
  if (!GetWindowRect(box, &b) || !GetWindowRect(window, &w)) return false;
  const auto within = [](LONG a, LONG c) { return a - c <= 2 && c - a <= 2; };
  return within(b.left + b.right, w.left + w.right) && within(b.top + b.bottom, w.top + w.bottom);
}

class Win32Window : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetEnvironmentVariableW(L"TARNVEL_WINDOW_DISPLAY", nullptr, 0) == 0 &&
        GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) == 0) {
      GTEST_SKIP() << "no display: run under scripts/test.sh, which prepares one";
    }
    fs::create_directories(sys::PathFromUtf8(Shots()));
  }
  void TearDown() override { i18n::LDM().Sild.SetActiveLanguage(kEnglish.column); }

  static std::string Shots() { return WinePath(TARNVEL_SCREENSHOTS); }

  /// Copies the program into its own folder under Name and starts it in
  /// Language; returns once its window is up.
  void Start(const Language& language, const std::string& name = "Updater_TarnVel.exe") {
    i18n::LDM().Sild.SetActiveLanguage(language.column);
    const std::string exe = exeDir_ / name;
    if (!fs::exists(sys::PathFromUtf8(exe))) {
      ASSERT_TRUE(CopyFileW(W(WinePath(TARNVEL_WINDOW_PROGRAM)).c_str(), W(exe).c_str(), TRUE));
    }
    program_.reset();
    program_ = std::make_unique<WindowProgram>(exe, exeDir_.str(), language.locale);
    main_ = program_->Main();
    ASSERT_NE(main_, nullptr) << "the window did not appear";
    ASSERT_TRUE(
        WaitUntil([this] { return IsWindowVisible(main_) && FocusedControl(main_) != nullptr; }, kStartMs));
  }

  HWND Control(int id) const { return ChildById(main_, id); }
  std::wstring Text(int id) const { return TextOf(Control(id)); }

  void Shot(const std::string& name) const {
    EXPECT_TRUE(Screenshot(W(Shots() + "\\" + name + ".png"))) << name;
  }

  void TypeFolder(const std::string& folder) const {
    const std::wstring text = W(folder);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(Control(kIdEProgramLocation), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 5000, &ignored);
  }

  /// The window is idle with a result on show, or gone.
  bool Finished() const {
    if (!IsWindow(main_)) return true;
    return IsWindowVisible(Control(kIdImage1)) && IsWindowEnabled(Control(kIdOKBtn)) &&
           WaitForDialog(program_->Pid(), 0) == nullptr;
  }

  /// Presses Start on Folder and answers every box with Answer(box, index)
  /// until the run has ended; the boxes seen are in boxes_.
  void Run(const std::string& folder, const std::function<void(HWND, std::size_t)>& answer) {
    TypeFolder(folder);
    ASSERT_TRUE(Click(Control(kIdOKBtn)));
    // Start hides the result of the run before; wait until it has.
    WaitUntil([this] { return !IsWindowEnabled(Control(kIdOKBtn)) || Finished(); }, 5000);
    HWND last = nullptr;
    // The result shows a moment before the failure's box opens: a run has
    // ended when the window stayed idle with no box for a while.
    ULONGLONG idleSince = 0;
    const bool ended = WaitUntil(
        [&] {
          HWND box = WaitForDialog(program_->Pid(), 0);
          if (box != nullptr && box != last && IsWindowVisible(box)) {
            idleSince = 0;
            // A box is answered once; it may take a moment to go away.
            if (!WaitUntil([box] { return FocusedControl(box) != nullptr; }, 5000)) return false;
            last = box;
            boxes_.push_back({TextOf(box), DialogText(box)});
            answer(box, boxes_.size() - 1);
            return false;
          }
          if (box != nullptr || !Finished()) {
            idleSince = 0;
            return false;
          }
          if (idleSince == 0) idleSince = GetTickCount64();
          return GetTickCount64() - idleSince >= 500;
        },
        kRunMs);
    std::wstring seen;
    for (const SeenBox& box : boxes_) seen += L"\n[" + box.caption + L"] " + box.text;
    ASSERT_TRUE(ended) << "the run did not end; boxes:" << sys::WideToUtf8(seen);
  }

  /// Chooses a command of the Operations menu and answers the box it shows
  /// with its first button; the box as seen.
  SeenBox Command(int command) {
    EXPECT_TRUE(PostMessageW(main_, WM_COMMAND, MAKEWPARAM(command, 0), 0));
    HWND box = WaitForDialog(program_->Pid(), kRunMs);
    if (box == nullptr) return {L"(no box)", L""};
    WaitUntil([box] { return FocusedControl(box) != nullptr; }, 5000);
    SeenBox seen{TextOf(box), DialogText(box)};
    PressFirst(box);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 10000));
    return seen;
  }

  /// Answers with the box's first button (Yes in a question, OK otherwise).
  static void PressFirst(HWND box) {
    HWND yes = ChildById(box, 100);
    ASSERT_TRUE(Click(yes != nullptr ? yes : ChildById(box, IDCANCEL)));
  }

  std::string LogFileText() const {
    std::string all;
    const fs::path logs = exeDir_.path() / "Logs";
    if (!fs::exists(logs)) return all;
    for (const auto& entry : fs::directory_iterator(logs)) all += ReadFile(entry.path());
    return all;
  }

  /// Exit closes the window and ends the program.
  void PressExit() {
    ASSERT_TRUE(Click(Control(kIdCancelBtn)));
    const std::optional<DWORD> code = program_->WaitForExit(kStartMs);
    ASSERT_TRUE(code.has_value()) << "the program did not end";
    EXPECT_EQ(*code, 0u);
  }

  TempDir exeDir_{"win32window"};
  TempDir products_{"win32products"};
  std::unique_ptr<WindowProgram> program_;
  HWND main_ = nullptr;
  std::vector<SeenBox> boxes_;
};

// Places of the window model, in pixels inside the parent.
struct Place {
  int id;
  int parent;  // 0: the window
  int x, y, width, height;
};
const Place kPlaces[] = {
    {kIdGbConnection, 0, 0, 0, 476, 161},
    {kIdEProgramLocation, kIdGbConnection, 8, 32, 430, 21},
    {kIdBbProgramLocation, kIdGbConnection, 443, 30, 24, 24},
    {kIdEAdmnPassword, kIdGbConnection, 8, 73, 177, 21},
    {kIdEPassword, kIdGbConnection, 8, 127, 177, 21},
    {kIdGbLog, 0, 0, 161, 476, 264},
    {kIdMLog, kIdGbLog, 2, 15, 472, 247},
    {kIdBevel1, 0, 0, 425, 476, 6},
    {kIdPBtn, 0, 0, 431, 476, 42},
    {kIdImage1, kIdPBtn, 0, 0, 49, 42},
    {kIdAProgress, kIdPBtn, 0, 0, 41, 41},
    {kIdMCaptions, kIdPBtn, 49, 5, 280, 32},
    {kIdOKBtn, kIdPBtn, 332, 8, 68, 25},
    {kIdCancelBtn, kIdPBtn, 404, 8, 68, 25},
};
// Labels: only their top-left corner is given.
const Place kLabels[] = {
    {kIdLProgramLocation, kIdGbConnection, 8, 17, 0, 0},
    {kIdLAdmnPassword, kIdGbConnection, 8, 58, 0, 0},
    {kIdLPassword, kIdGbConnection, 8, 99, 0, 0},
    {kIdLabel1, kIdGbConnection, 8, 111, 0, 0},
};

struct WindowTexts {
  const Language* language;
  const wchar_t* connection;
  const wchar_t* log;
  const wchar_t* location;
  const wchar_t* start;
  const wchar_t* exit;
};
const WindowTexts kTexts[] = {
    {&kEnglish, L"Connection", L"The operation log", L"Path to the update program:", L"&Start", L"Exit"},
    {&kRussian, L" Подключение  ", L" Лог работы ", L"Путь к обновляемой программе:", L"&Старт", L"Выход"},
};

TEST_F(Win32Window, IdleWindowAsTheOperatorSeesIt) {
  for (const WindowTexts& texts : kTexts) {
    const Language& language = *texts.language;
    SCOPED_TRACE(language.tag);
    Start(language);

    // Fixed single border, only the close box, client area 476 x 473, centred.
    const LONG style = GetWindowLongW(main_, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    const SIZE client = ClientSize(main_);
    EXPECT_EQ(client.cx, 476);
    EXPECT_EQ(client.cy, 473);
    RECT work{}, frame{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(main_, &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, (work.top + work.bottom) / 2, 1);
    EXPECT_EQ(TextOf(main_), L"Updater_TarnVel");

    for (const Place& place : kPlaces) {
      SCOPED_TRACE(place.id);
      HWND control = Control(place.id);
      ASSERT_NE(control, nullptr);
      EXPECT_EQ(GetParent(control), place.parent == 0 ? main_ : Control(place.parent));
      const RECT r = WindowRectInParentClient(control);
      EXPECT_EQ(r.left, place.x);
      EXPECT_EQ(r.top, place.y);
      EXPECT_EQ(r.right - r.left, place.width);
      EXPECT_EQ(r.bottom - r.top, place.height);
    }
    for (const Place& place : kLabels) {
      SCOPED_TRACE(place.id);
      HWND label = Control(place.id);
      ASSERT_NE(label, nullptr);
      EXPECT_EQ(GetParent(label), Control(place.parent));
      const RECT r = WindowRectInParentClient(label);
      EXPECT_EQ(r.left, place.x);
      EXPECT_EQ(r.top, place.y);
      EXPECT_GT(r.right - r.left, 0) << "a label as wide as its text";
    }

    // Texts in the system's language, presets, states.
    EXPECT_EQ(Text(kIdGbConnection), texts.connection);
    EXPECT_EQ(Text(kIdGbLog), texts.log);
    EXPECT_EQ(Text(kIdLProgramLocation), texts.location);
    EXPECT_EQ(Text(kIdOKBtn), texts.start);
    EXPECT_EQ(Text(kIdCancelBtn), texts.exit);
    EXPECT_EQ(Text(kIdEProgramLocation), L"C:\\ZEK\\TarnVel");
    for (const auto& [id, length] : {std::pair{kIdEPassword, 10}, std::pair{kIdEAdmnPassword, 1}}) {
      HWND box = Control(id);
      EXPECT_TRUE(GetWindowLongW(box, GWL_STYLE) & ES_PASSWORD);
      EXPECT_EQ(SendMessageW(box, EM_GETPASSWORDCHAR, 0, 0), L'*');
      // The text of a password box is not handed to other programs.
      EXPECT_EQ(SendMessageW(box, EM_LINELENGTH, 0, 0), length);
    }
    EXPECT_TRUE(GetWindowLongW(Control(kIdMLog), GWL_STYLE) & ES_READONLY);
    EXPECT_FALSE(GetWindowLongW(Control(kIdMLog), GWL_STYLE) & ES_WANTRETURN);
    EXPECT_TRUE((GetWindowLongW(Control(kIdMLog), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) ==
                (WS_HSCROLL | WS_VSCROLL));
    EXPECT_TRUE(GetWindowLongW(Control(kIdMCaptions), GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(Text(kIdMCaptions), L"");
    EXPECT_FALSE(IsWindowVisible(Control(kIdImage1)));
    EXPECT_FALSE(IsWindowVisible(Control(kIdAProgress)));
    EXPECT_EQ(FocusedControl(main_), Control(kIdOKBtn));

    // The menu lives in the program's memory, out of this process's reach
    // under Wine: its texts are checked inside the test program.
    EXPECT_NE(GetMenu(main_), nullptr);
    Shot(std::string(language.tag) + "-idle");
    PressExit();
  }
}

TEST_F(Win32Window, CaptionIsTheExecutableNameAndTheLibrariesAreWrittenOnce) {
  Start(kEnglish, "Upd.exe");
  EXPECT_EQ(TextOf(main_), L"Upd");
  PressExit();
  const fs::path script = exeDir_.path() / "IBEScript.dll";
  ASSERT_TRUE(fs::exists(script));
  // The Windows build carries no client library (none is packaged): it
  // writes none, which would hide the installed one.
  EXPECT_FALSE(fs::exists(exeDir_.path() / "fbclient.dll"));
  ASSERT_TRUE(fs::exists(exeDir_.path() / "Logs"));
  EXPECT_FALSE(fs::is_empty(exeDir_.path() / "Logs"));

  // A second start leaves a library that is there alone, whatever it holds.
  WriteFile(script, "the operator's own copy");
  Start(kEnglish, "Upd.exe");
  PressExit();
  EXPECT_EQ(ReadFile(script), "the operator's own copy");
}

TEST_F(Win32Window, ClientRunSucceedsInBothLanguages) {
  for (const Language* language : {&kEnglish, &kRussian}) {
    SCOPED_TRACE(language->tag);
    boxes_.clear();
    const std::string product = products_ / (std::string(language->tag) + "-client");
    LayOutClientProduct(product);
    Start(*language);
    bool busySeen = false;
    bool animationMoved = false;
    Run(product, [&](HWND box, std::size_t index) {
      if (index == 0) {
        // The run in progress: the animation runs, the panels are grey.
        busySeen = IsWindowVisible(Control(kIdAProgress)) && !IsWindowEnabled(Control(kIdOKBtn)) &&
                   !IsWindowEnabled(Control(kIdEProgramLocation)) &&
                   Text(kIdMCaptions) == Shown(GetMessageText("uMain_OkBtn_2")) &&
                   ShowsColour(Control(kIdMCaptions), kMaroon);
        Shot(std::string(language->tag) + "-run-in-progress");
        // The animation goes on while the question waits.
        const int frame = BusyAnimationFrame(Control(kIdAProgress));
        animationMoved =
            WaitUntil([&] { return BusyAnimationFrame(Control(kIdAProgress)) != frame; }, 3000);
      }
      PressFirst(box);
    });
    EXPECT_TRUE(busySeen);
    EXPECT_TRUE(animationMoved) << "the busy animation stood still";
    EXPECT_EQ(Text(kIdMCaptions), Shown(GetMessageText("uMain_Finished_1")));
    EXPECT_TRUE(WaitUntil([&] { return ShowsColour(Control(kIdMCaptions), kGreen); }, 5000)) << "green";
    EXPECT_FALSE(ShowsColour(Control(kIdMCaptions), kMaroon));
    EXPECT_FALSE(IsWindowVisible(Control(kIdAProgress)));
    EXPECT_TRUE(IsWindowEnabled(Control(kIdEProgramLocation)));
    EXPECT_NE(Text(kIdMLog).find(W(GetMessageText("uMain_Finished_2"))), std::wstring::npos);
    EXPECT_NE(LogFileText().find(GetMessageText("uMain_Finished_2") + "\r\n"), std::string::npos);
    EXPECT_TRUE(ReadFile(sys::PathFromUtf8(Child(Child(product, "Program"), "TarnVel.exe"))) ==
                NewClientBytes())
        << "not the new client";
    // One confirmation, no error box.
    ASSERT_EQ(boxes_.size(), 1u);
    Shot(std::string(language->tag) + "-success");
    PressExit();
  }
}

// An update killed between the lock test's two renames left the product
// under the lock-test name and an unfinished journal: the window offers the
// recovery as soon as it is up, and Yes runs the real recovery.
TEST_F(Win32Window, AKilledRunIsOfferedForRecoveryAtStartAndRecovered) {
  for (const Language* language : {&kEnglish, &kRussian}) {
    SCOPED_TRACE(language->tag);
    i18n::LDM().Sild.SetActiveLanguage(language->column);
    const std::string product = products_ / (std::string(language->tag) + "-killed");
    LayOutClientProduct(product);
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
    ASSERT_TRUE(MoveFileW(W(product).c_str(), W(renamed).c_str()));

    const std::string exe = exeDir_ / "Updater_TarnVel.exe";
    if (!fs::exists(sys::PathFromUtf8(exe))) {
      ASSERT_TRUE(CopyFileW(W(WinePath(TARNVEL_WINDOW_PROGRAM)).c_str(), W(exe).c_str(), TRUE));
    }
    program_.reset();
    program_ = std::make_unique<WindowProgram>(exe, exeDir_.str(), language->locale);
    main_ = program_->Main();
    ASSERT_NE(main_, nullptr) << "the window did not appear";
    HWND box = WaitForDialog(program_->Pid(), kStartMs);
    ASSERT_NE(box, nullptr) << "no recovery question";
    WaitUntil([box] { return FocusedControl(box) != nullptr; }, 5000);
    const std::wstring question = DialogText(box);
    EXPECT_NE(question.find(W(product)), std::wstring::npos) << sys::WideToUtf8(question);
    std::wstring offer = Shown(GetMessageText("uMain_Recover_1", ""));
    offer.erase(0, offer.find_first_not_of(L"\r\n"));
    EXPECT_NE(question.find(offer.substr(0, 30)), std::wstring::npos) << sys::WideToUtf8(question);
    Shot(std::string(language->tag) + "-recovery-question");
    PressFirst(box);

    const std::wstring recovered = W(GetMessageText("uUpdate_Recover_5"));
    EXPECT_TRUE(WaitUntil(
        [&] {
          return Text(kIdMLog).find(recovered) != std::wstring::npos && IsWindowEnabled(Control(kIdOKBtn)) &&
                 WaitForDialog(program_->Pid(), 0) == nullptr;
        },
        kRunMs))
        << sys::WideToUtf8(Text(kIdMLog));
    Shot(std::string(language->tag) + "-recovered");
    EXPECT_TRUE(fs::exists(sys::PathFromUtf8(Child(Child(product, "Program"), "TarnVel.exe"))));
    EXPECT_FALSE(fs::exists(sys::PathFromUtf8(renamed)));
    EXPECT_FALSE(ReadUnfinishedJournal(sys::MachineStateFolder()));
    PressExit();
  }
}

TEST_F(Win32Window, EscAtTheConfirmationInterruptsTheRunAndChangesNothing) {
  const std::string product = products_ / "declined";
  LayOutClientProduct(product);
  const auto before = TreeContents(product);
  Start(kEnglish);
  Run(product, [](HWND box, std::size_t) { PressKey(FocusedControl(box), VK_ESCAPE); });
  ASSERT_EQ(boxes_.size(), 1u);  // no error box after a refusal
  EXPECT_EQ(Text(kIdMCaptions), Shown(GetMessageText("uMain_Finished_4")));
  EXPECT_EQ(TreeContents(product), before);
  EXPECT_EQ(WorkingFolder(product), "");
  PressExit();
}

// Runs the console program to its end; its exit code and what it wrote to
// standard error.
std::pair<DWORD, std::string> RunConsole(const std::wstring& arguments, const std::string& folder) {
  const std::wstring errorFile = W(folder + "\\console-stderr.txt");
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE error = CreateFileW(errorFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (error == INVALID_HANDLE_VALUE) return {~0u, "standard error file not made"};
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = error;
  startup.hStdError = error;
  std::wstring command = L"\"" + W(WinePath(TARNVEL_CONSOLE_PROGRAM)) + L"\" " + arguments;
  PROCESS_INFORMATION started{};
  const BOOL ok = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                 nullptr, &startup, &started);
  CloseHandle(error);
  if (!ok) return {~0u, "not started"};
  DWORD code = ~0u;
  if (WaitForSingleObject(started.hProcess, kRunMs) == WAIT_OBJECT_0) GetExitCodeProcess(started.hProcess, &code);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return {code, ReadFile(sys::PathFromUtf8(folder + "\\console-stderr.txt"))};
}

// One updater at a time on a machine: a console update started while the
// window's run waits at its confirmation is refused, names the window as the
// holder and touches nothing; the window's run goes on undisturbed.
TEST_F(Win32Window, AConsoleStartedDuringAWindowRunIsRefusedAndNamesTheWindow) {
  const std::string product = products_ / "held by the window";
  LayOutClientProduct(product);
  const auto before = TreeContents(product);
  Start(kEnglish);
  std::pair<DWORD, std::string> console;
  Run(product, [&](HWND box, std::size_t index) {
    if (index == 0) {
      console = RunConsole(L"update --folder \"" + W(product) + L"\" --yes", products_.str());
      EXPECT_TRUE(TreeContents(product) == before) << "the refused console changed the product";
    }
    PressFirst(box);
  });
  EXPECT_EQ(console.first, 5u) << console.second;
  EXPECT_NE(console.second.find("Updater_TarnVel (PID " + std::to_string(program_->Pid()) + "), command update"),
            std::string::npos)
      << console.second;
  // The window's run was not disturbed by the refusal: it replaced the client.
  EXPECT_EQ(Text(kIdMCaptions), Shown(GetMessageText("uMain_Finished_1")));
  EXPECT_TRUE(ReadFile(sys::PathFromUtf8(Child(Child(product, "Program"), "TarnVel.exe"))) == NewClientBytes());
  PressExit();
}

TEST_F(Win32Window, FailedRunShowsItsErrorAndTheInterruptedDisplay) {
  for (const Language* language : {&kEnglish, &kRussian}) {
    SCOPED_TRACE(language->tag);
    boxes_.clear();
    Start(*language);
    bool centred = false;
    Run(products_ / "no such product", [&](HWND box, std::size_t) {
      centred = CentredOver(box, main_);
      Shot(std::string(language->tag) + "-error-box");
      PressFirst(box);
    });
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_TRUE(centred) << "the error box is not centred on the window";
    EXPECT_EQ(boxes_[0].caption, L"Updater_TarnVel");
    EXPECT_EQ(Text(kIdMCaptions), Shown(GetMessageText("uMain_Finished_4")));
    EXPECT_TRUE(WaitUntil([&] { return ShowsColour(Control(kIdMCaptions), kMaroon); }, 5000)) << "maroon";
    EXPECT_TRUE(IsWindowVisible(Control(kIdImage1)));
    // The box's text is the failure logged on screen and in the file.
    std::wstring first = boxes_[0].text.substr(0, boxes_[0].text.find(L'\r'));
    EXPECT_FALSE(first.empty());
    EXPECT_NE(Text(kIdMLog).find(first), std::wstring::npos) << first.c_str();
    EXPECT_NE(LogFileText().find(sys::WideToUtf8(first)), std::string::npos);
    Shot(std::string(language->tag) + "-failure");
    PressExit();
  }
}

// The operator's old client still runs and holds its executable (reading
// allowed, so the backup can copy it): the replacement fails, the error is
// shown, the operator closes the client, and the rollback restores the folder.
TEST_F(Win32Window, ReplacementThatFailsIsRolledBack) {
  for (const Language* language : {&kEnglish, &kRussian}) {
    SCOPED_TRACE(language->tag);
    boxes_.clear();
    const std::string product = products_ / (std::string(language->tag) + "-rollback");
    LayOutClientProduct(product);
    const auto before = TreeContents(product);
    HANDLE held = CreateFileW(W(Child(Child(product, "Program"), "TarnVel.exe")).c_str(), GENERIC_READ,
                              FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Start(*language);
    Run(product, [&](HWND box, std::size_t index) {
      if (index == 1) {
        Shot(std::string(language->tag) + "-rollback-error-box");
        CloseHandle(held);
        held = INVALID_HANDLE_VALUE;
      }
      PressFirst(box);
    });
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    // The confirmation and the replacement's error; the rollback's own end
    // shows no box.
    ASSERT_EQ(boxes_.size(), 2u);
    EXPECT_NE(boxes_[1].text.find(W(Child(Child(product, "Program"), "TarnVel.exe"))), std::wstring::npos)
        << boxes_[1].text.c_str();
    EXPECT_EQ(Text(kIdMCaptions), Shown(GetMessageText("uMain_Finished_3")));
    // Both lines in view: none wraps out of the two-line status box.
    EXPECT_EQ(SendMessageW(Control(kIdMCaptions), EM_GETLINECOUNT, 0, 0), 2);
    auto after = TreeContents(product);
    std::erase_if(after, [](const auto& file) { return file.first.rfind("Tmp$", 0) == 0; });
    EXPECT_EQ(after, before);
    Shot(std::string(language->tag) + "-rollback");
    PressExit();
  }
}

// The folder button opens the shell's browser on the typed folder; OK
// returns the selected folder, Cancel keeps the text.
TEST_F(Win32Window, FolderChooserOpensOnTheTypedFolderAndKeepsTheTextOnCancel) {
  const std::string parent = products_ / "chooser";
  const std::string chosen = Child(parent, "Chosen");
  fs::create_directories(sys::PathFromUtf8(chosen));
  // Wine's browser does not open a folder of the path that changed a moment
  // ago (a new folder, or one given a new entry, as the test's own folders
  // and a busy /tmp are): nothing is selected. An access time later than
  // the last change makes every folder on the path one it opens.
  for (fs::path folder = sys::PathFromUtf8(chosen);; folder = folder.parent_path()) {
    HANDLE handle = CreateFileW(folder.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      FILETIME now{};
      GetSystemTimeAsFileTime(&now);
      ULARGE_INTEGER later{{now.dwLowDateTime, now.dwHighDateTime}};
      later.QuadPart += 36000000000ULL;  // one hour
      const FILETIME access{later.LowPart, later.HighPart};
      SetFileTime(handle, nullptr, &access, nullptr);
      CloseHandle(handle);
    }
    if (folder == folder.root_path() || folder.parent_path() == folder) break;
  }
  Start(kEnglish);

  // Opened on Chosen: its parent selected instead and confirmed.
  TypeFolder(chosen);
  ASSERT_TRUE(Click(Control(kIdBbProgramLocation)));
  HWND browser = WaitForDialog(program_->Pid(), kStartMs);
  ASSERT_NE(browser, nullptr);
  EXPECT_FALSE(IsWindowEnabled(main_)) << "the window waits for the browser";
  EXPECT_NE(ChildByText(browser, L"", W(GetMessageText("uMain_ProgramLocation_1"))), nullptr);
  HWND tree = nullptr;
  const bool preselected = WaitUntil(
      [&] {
        tree = ChildById(browser, 14145);  // the browser's folder tree
        return tree != nullptr && SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) != 0;
      },
      10000);
  if (!preselected) Shot("en-folder-chooser-nothing-selected");
  ASSERT_TRUE(preselected);
  Shot("en-folder-chooser");
  const LPARAM selected = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
  const LPARAM up = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_PARENT, selected);
  ASSERT_NE(up, 0);
  SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, up);
  ASSERT_TRUE(Click(ChildById(browser, IDOK)));
  ASSERT_TRUE(WaitUntil([&] { return Text(kIdEProgramLocation) == W(parent); }, 10000))
      << Text(kIdEProgramLocation).c_str();
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main_) != FALSE; }, 5000));

  // A folder that does not exist: no preselection; Cancel keeps the text.
  const std::string typed = Child(parent, "not there");
  TypeFolder(typed);
  ASSERT_TRUE(Click(Control(kIdBbProgramLocation)));
  browser = WaitForDialog(program_->Pid(), kStartMs);
  ASSERT_NE(browser, nullptr);
  ASSERT_TRUE(Click(ChildById(browser, IDCANCEL)));
  ASSERT_TRUE(WaitUntil([&] { return WaitForDialog(program_->Pid(), 0) == nullptr; }, 10000));
  EXPECT_EQ(Text(kIdEProgramLocation), W(typed));
  PressExit();
}

// A Firebird service that discovery cannot use: start-up shows the failure
// with the advice to reboot, and the window comes up all the same.
TEST_F(Win32Window, DiscoveryFailureIsShownAndTheWindowStillComesUp) {
  // The product's own service, but not the product's server program.
  RegisteredTestService service("NorvaskFireXBirdServer");
  ASSERT_TRUE(CopyFileW(W(WinePath(TARNVEL_WINDOW_PROGRAM)).c_str(),
                        W(exeDir_ / "Updater_TarnVel.exe").c_str(), TRUE));
  program_ = std::make_unique<WindowProgram>(exeDir_ / "Updater_TarnVel.exe", exeDir_.str(), kEnglish.locale);
  main_ = program_->Main();
  ASSERT_NE(main_, nullptr);
  HWND box = WaitForDialog(program_->Pid(), kStartMs);
  ASSERT_NE(box, nullptr);
  WaitUntil([box] { return FocusedControl(box) != nullptr; }, 5000);
  EXPECT_EQ(TextOf(box), L"Updater_TarnVel");
  EXPECT_NE(DialogText(box).find(L"FireBird server type could not be determined."), std::wstring::npos);
  EXPECT_NE(DialogText(box).find(Shown(GetMessageText("uMain_FormCreate_2")).substr(0, 40)),
            std::wstring::npos)
      << sys::WideToUtf8(DialogText(box));
  Shot("en-discovery-failure");
  PressFirst(box);
  ASSERT_TRUE(WaitUntil([this] { return IsWindowVisible(main_) != FALSE; }, kStartMs));
  EXPECT_TRUE(IsWindowEnabled(Control(kIdOKBtn)));
  EXPECT_NE(LogFileText().find("FireBird server type could not be determined."), std::string::npos);
  PressExit();
}

// The Operations commands on a product without its SERVER part and with no
// Firebird service found: each says why it cannot work, and the window is
// idle again afterwards.
TEST_F(Win32Window, OperationsMenuWithoutAServer) {
  const std::string product = products_ / "client only";
  LayOutClientProduct(product);
  Start(kEnglish);
  TypeFolder(product);
  for (int command : {kCmdOnline, kCmdShutdown}) {
    SCOPED_TRACE(command);
    const SeenBox box = Command(command);
    EXPECT_NE(box.text.find(L"there is no SERVER part"), std::wstring::npos) << sys::WideToUtf8(box.text);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Control(kIdOKBtn)) != FALSE; }, 5000));
  }
  for (int command : {kCmdStopService, kCmdStartService}) {
    SCOPED_TRACE(command);
    const SeenBox box = Command(command);
    EXPECT_EQ(box.caption, L"Updater_TarnVel");  // the error box
    EXPECT_NE(box.text.find(L"Unable to st"), std::wstring::npos) << sys::WideToUtf8(box.text);
  }
  Shot("en-operations-no-server");
  EXPECT_EQ(TreeContents(product).size(), 3u);
  PressExit();
}

// Check from the menu before a maintenance window: a box names what blocks
// (here the folder an interrupted update left), the log has every finding,
// and the product is as it was.
TEST_F(Win32Window, ACheckFromTheMenuNamesWhatBlocksAndChangesNothing) {
  const std::string product = products_ / "checked";
  LayOutClientProduct(product);
  ASSERT_TRUE(CreateDirectoryW(W(product + "_").c_str(), nullptr));
  const auto before = TreeContents(product);
  for (const Language* language : {&kEnglish, &kRussian}) {
    SCOPED_TRACE(language->tag);
    Start(*language);
    TypeFolder(product);
    ASSERT_TRUE(PostMessageW(main_, WM_COMMAND, MAKEWPARAM(kCmdCheck, 0), 0));
    HWND box = WaitForDialog(program_->Pid(), kRunMs);
    ASSERT_NE(box, nullptr) << "no box after the check";
    WaitUntil([box] { return FocusedControl(box) != nullptr; }, 5000);
    EXPECT_TRUE(CentredOver(box, main_));
    Shot(std::string(language->tag) + "-check-box");
    const std::wstring text = DialogText(box);
    i18n::LDM().Sild.SetActiveLanguage(language->column);
    EXPECT_NE(text.find(W(GetMessageText("uUpdate_PreflightCheck_24", product + "_"))), std::wstring::npos)
        << sys::WideToUtf8(text);
    PressFirst(box);
    ASSERT_TRUE(WaitUntil([this] { return IsWindowEnabled(Control(kIdOKBtn)) != FALSE; }, 10000));
    Shot(std::string(language->tag) + "-check-log");
    EXPECT_NE(LogFileText().find(GetMessageText("uUpdate_PreflightCheck_1", product)), std::string::npos);
    PressExit();
  }
  EXPECT_EQ(TreeContents(product), before);
  EXPECT_TRUE(fs::is_directory(sys::PathFromUtf8(product + "_")));
}

// During a run the menu stays open to the operator: its commands are refused
// with a word, and the close box asks whether to close once the run is over.
// The menu and the close box during a run ask nothing: the refusal and the
// recorded close request are notices in the status area, the run's own box
// stays the only one, and the window closes once the run is over.
TEST_F(Win32Window, MenuAndCloseBoxDuringARun) {
  const std::string product = products_ / "busy";
  LayOutClientProduct(product);
  Start(kEnglish);
  const auto statusStartsWith = [&](const std::string& id) {
    return WaitUntil([&] { return Text(kIdMCaptions).rfind(Shown(GetMessageText(id)), 0) == 0; }, 5000);
  };
  bool refused = false, closeRecorded = false;
  Run(product, [&](HWND box, std::size_t index) {
    if (index == 0) {  // the confirmation: the operator tries the menu, then the close box
      PostMessageW(main_, WM_COMMAND, MAKEWPARAM(kCmdOnline, 0), 0);
      refused = statusStartsWith("uMain_RefuseWhileBusy_1");
      Shot("en-refusal-during-a-run");
      PostMessageW(main_, WM_CLOSE, 0, 0);
      closeRecorded = statusStartsWith("uMain_FormCloseQuery_1");
      Shot("en-close-during-a-run");
      EXPECT_EQ(WaitForDialog(program_->Pid(), 0), box) << "another box opened";
    }
    PressKey(FocusedControl(box), VK_ESCAPE);  // No: the run ends
  });
  EXPECT_TRUE(refused) << "no refusal notice";
  EXPECT_TRUE(closeRecorded) << "no close notice";
  ASSERT_EQ(boxes_.size(), 1u);
  const std::optional<DWORD> code = program_->WaitForExit(kStartMs);
  ASSERT_TRUE(code.has_value()) << "the window did not close after the run";
  EXPECT_EQ(*code, 0u);
}

#ifdef TARNVEL_WINDOW_SERVER_PRODUCTS

// A whole update of a product with both parts through the window. Its
// database calls reach the real Firebird server through the test-only client
// bridge beside the program; the product's own Firebird service, which
// discovery finds in the registry and the run stops and starts, is a test
// service of ours under the server's executable name (a Windows program
// cannot stop the Linux server).
TEST_F(Win32Window, ServerRunThroughTheWindow) {
  ASSERT_TRUE(
      CopyFileW(W(WinePath(TARNVEL_FBCLIENT_BRIDGE)).c_str(), W(exeDir_ / "fbclient.dll").c_str(), TRUE));
  const std::string bin = exeDir_ / "Firebird\\bin";
  fs::create_directories(sys::PathFromUtf8(bin));
  const std::string server = bin + "\\FBSRVTRVL.EXE";
  ASSERT_TRUE(CopyFileW(W(WinePath(TARNVEL_TEST_SERVICE)).c_str(), W(server).c_str(), TRUE));
  RegisteredTestService service("NorvaskFireXBirdServer", "-s -p 3051", server);

  const std::string root = WinePath(TARNVEL_WINDOW_SERVER_PRODUCTS "/both/TarnVel");
  ASSERT_TRUE(DatabaseOnlineFor(root));
  Start(kEnglish);
  Run(root, [&](HWND box, std::size_t index) {
    if (index == 0) Shot("en-server-run-in-progress");
    PressFirst(box);
  });
  for (const SeenBox& box : boxes_) EXPECT_NE(box.caption, L"Updater_TarnVel") << sys::WideToUtf8(box.text);
  EXPECT_EQ(Text(kIdMCaptions), Shown(GetMessageText("uMain_Finished_1")));
  const std::wstring log = Text(kIdMLog);
  // Single-user mode, the service stopped and started, online again.
  for (const char* entry : {"19", "22", "27", "49"})
    EXPECT_NE(log.find(W(testing::Text(entry))), std::wstring::npos) << entry;
  EXPECT_TRUE(ReadFile(sys::PathFromUtf8(root + "\\Program\\TarnVel.exe")) == NewClientBytes())
      << "not the new client";
  EXPECT_TRUE(fs::exists(sys::PathFromUtf8(WorkingFolder(root) + "\\Old\\DB_Data\\TarnVel.fdb")));
  EXPECT_TRUE(DatabaseOnlineFor(root));
  Shot("en-server-success");

  // The service commands confirm their result in a box; the window stays
  // usable meanwhile (their 15 s pause lets messages through).
  TypeFolder(root);
  const SeenBox stopped = Command(kCmdStopService);
  EXPECT_EQ(stopped.text, L"FireBird Server service is stopped.");
  const SeenBox running = Command(kCmdStartService);
  EXPECT_EQ(running.text, L"FireBird server service is running.");
  // The database commands confirm in a box as well.
  EXPECT_EQ(Command(kCmdShutdown).text, Shown(GetMessageText("uUpdate_UpdateShutdown_4")));
  EXPECT_FALSE(DatabaseOnlineFor(root));
  EXPECT_EQ(Command(kCmdOnline).text, Shown(GetMessageText("uUpdate_UpdateOnLine_4")));
  EXPECT_TRUE(DatabaseOnlineFor(root));
  PressExit();
}
#endif

}  // namespace
}  // namespace tarnvel::testing
