#pragma once
// What the windows ask of the desktop: message boxes with the program's captions and
// button sets, the clipboard, opening a document and starting a program. Tests replace
// it to record and answer.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/host.h"

class QWidget;

namespace ui {

class WindowHost : public platform::Host {
 public:
  // Opens the file with the program the desktop associates with it.
  virtual void openDocument(const std::filesystem::path& file) = 0;
  // Opens a web address with the desktop's browser.
  virtual void openAddress(const std::string& address) = 0;
  // Starts a program detached; false when it could not be started.
  virtual bool startProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                            const std::filesystem::path& workingFolder) = 0;
};

class DesktopHost : public WindowHost {
 public:
  // Message boxes are centred on `parent` (may be null).
  explicit DesktopHost(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }
  void message(const std::string& caption, const std::string& text) override;
  bool ask(const std::string& caption, const std::string& text, platform::Buttons buttons) override;
  void setClipboard(const std::string& text) override;
  void openDocument(const std::filesystem::path& file) override;
  void openAddress(const std::string& address) override;
  bool startProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                    const std::filesystem::path& workingFolder) override;

 private:
  QWidget* parent_;
};

// The messages of the converter end lines with CR LF; Qt wants LF.
std::string displayText(const std::string& text);

}  // namespace ui
