#pragma once
// A headless host: run-log entries and message boxes go to standard output.
// Until the unattended front end arrives every question takes its default.

#include <memory>

#include "app/run_log.h"
#include "update/host.h"

namespace tarnvel {

class ConsoleHost : public IUpdateHost {
 public:
  explicit ConsoleHost(std::unique_ptr<RunLog> log) : log_(std::move(log)) {}

  void SaveExceptionToLog(const std::string& text) override;
  void ProcessMessages() override {}
  DialogButton ShowDialog(const DialogRequest& request) override;
  void SetStatusCaption(const std::string& text) override;
  void SetRolledBack(bool rolledBack) override { rolledBack_ = rolledBack; }
  bool RolledBack() const override { return rolledBack_; }

 private:
  std::unique_ptr<RunLog> log_;
  bool rolledBack_ = false;
};

}  // namespace tarnvel
