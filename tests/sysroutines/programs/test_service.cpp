// A Windows service of our own for the service tests under Wine. It runs
// until it is asked to stop. Started with the argument "slow-stop" it takes
// three seconds to stop and reports a pending stop meanwhile, without ever
// moving its checkpoint.
#include <windows.h>

#include <cstring>

namespace {

SERVICE_STATUS_HANDLE statusHandle = nullptr;
HANDLE stopRequested = nullptr;
bool slowStop = false;

void Report(DWORD state, DWORD waitHint) {
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  status.dwWaitHint = waitHint;
  SetServiceStatus(statusHandle, &status);
}

DWORD WINAPI Handler(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP) {
    Report(SERVICE_STOP_PENDING, slowStop ? 100 : 0);
    SetEvent(stopRequested);
  }
  return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, LPWSTR*) {
  statusHandle = RegisterServiceCtrlHandlerExW(L"", Handler, nullptr);
  if (!statusHandle) return;
  stopRequested = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  Report(SERVICE_RUNNING, 0);
  WaitForSingleObject(stopRequested, INFINITE);
  if (slowStop) Sleep(3000);
  Report(SERVICE_STOPPED, 0);
}

}  // namespace

int main(int argc, char** argv) {
  slowStop = argc > 1 && std::strcmp(argv[1], "slow-stop") == 0;
  SERVICE_TABLE_ENTRYW table[] = {{const_cast<LPWSTR>(L""), ServiceMain}, {nullptr, nullptr}};
  return StartServiceCtrlDispatcherW(table) ? 0 : 1;
}
