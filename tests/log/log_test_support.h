// Shared set-up of the log tests: a clean configuration and log state.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "frame/config.h"
#include "frame/module.h"
#include "log/log_file.h"
#include "support/test_support.h"

namespace log_testing {

namespace fs = std::filesystem;

// The end marker after the last entry of a ring log.
inline const std::string kMarker = "*++++++++++++++++++++++++End of Log++++++++++++++++++++++++*\r\n";

class LogTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override {
    fs::remove(ConfigFile());
    Reset();
  }

  static fs::path ConfigFile() { return fs::path(frame::GetConfigFilePathA()); }

  // cv.ver with these lines under [VERSION]; the next read sees them.
  void Configure(const std::string& lines) {
    testing_support::WriteTextFile(ConfigFile(), "[VERSION]\r\n" + lines);
    Reset();
  }

  std::string LogFile(const std::string& name) const { return (dir_ / name).string(); }

  static void Reset() {
    frame::ForgetConfigForTesting();
    logging::ForgetLogStateForTesting();
  }

  testing_support::TempDir dir_;
};

}  // namespace log_testing
