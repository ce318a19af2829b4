#pragma once
// Update runs against the real Firebird server of this machine. The product
// is laid out by scripts/make-product.sh with a database made by the server;
// the server's service is the product's own name, NorvaskFireXBirdServer, a
// script in a test service folder that hands every action to the system's
// /etc/init.d/firebird3.0 (and can be told to refuse a start).

#include <gtest/gtest.h>

#include <string>

#include "driver/driver_fixture.h"

namespace tarnvel::testing {

class ServerRun : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  /// Lays out the product again with make-product.sh options.
  void MakeProduct(const std::string& options);
  /// Lays the product out on a fresh ext4 volume of SizeMb megabytes of its
  /// own (an image file through a loop device, unmounted at the end); skips
  /// the test without root.
  void MoveProductToVolume(int sizeMb, const std::string& productOptions);

  /// Runs the update; returns the failure text, "(no failure)" or "(silent abort)".
  std::string Run(const std::string& sysdbaPassword = "kelpdromux");

  /// The server answers on localhost/3051 (waits up to a minute when Wait).
  static bool ServerAnswers(bool wait = false);
  /// Empty when User can attach to the product's database, else the refusal.
  std::string AttachAs(const std::string& user, const std::string& password) const;
  /// The database is online: a normal user may attach.
  bool DatabaseOnline() const { return AttachAs("CLERK1", "clerk1pw").empty(); }
  /// Actions asked of the service script, without status queries.
  std::string ServiceActions() const;
  /// Makes the next service starts fail (the server stays down).
  void RefuseServiceStart(bool refuse);
  /// Stops the real server behind the service's back.
  static void StopServer();

  std::string Database() const { return "localhost/3051:" + Child(Child(root_, "DB_Data"), "TarnVel.fdb"); }

  TempDir serviceDir_{"service"};
  std::string mountPoint_;
  bool mounted_ = false;
  std::string productsDir_;
  std::string root_;
  ScriptedHost host_;
  UpdateSettings settings_;
};

/// The server record discovery gives for the product's own SuperServer.
firebird::TFBServParams OwnSuperServer();

}  // namespace tarnvel::testing
