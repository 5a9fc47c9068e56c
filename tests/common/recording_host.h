#pragma once
// A host that records what the converter shows and answers questions as told.
#include <string>
#include <vector>

#include "converter/sheet/run_host.h"

class RecordingHost : public sheet::RunHost {
 public:
  struct Shown {
    std::string caption, text;
    bool question;
  };
  explicit RecordingHost(bool answer = true) : answer_(answer) {}
  void message(const std::string& caption, const std::string& text) override {
    shown.push_back({caption, text, false});
  }
  bool ask(const std::string& caption, const std::string& text, platform::Buttons) override {
    shown.push_back({caption, text, true});
    return answer_;
  }
  void setClipboard(const std::string& text) override { clipboard = text; }
  void pump() override { ++pumps; }

  std::vector<Shown> shown;
  std::string clipboard;
  int pumps = 0;

 private:
  bool answer_;
};
