#pragma once
// A run host that shows nothing and answers every question No.
#include <string>

#include "converter/sheet/run_host.h"

class NullHost : public sheet::RunHost {
 public:
  void message(const std::string&, const std::string&) override {}
  bool ask(const std::string&, const std::string&, platform::Buttons) override { return false; }
  void setClipboard(const std::string&) override {}
};
