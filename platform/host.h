#pragma once
// What the converter asks of its surroundings: message boxes, questions, the clipboard
// and letting pending events run. The GUI shows Qt dialogs, the CLI prints and answers
// from its flags, tests record.
#include <string>

namespace platform {

enum class Buttons { Ok, OkCancel, YesNo };

class Host {
 public:
  virtual ~Host() = default;
  virtual void message(const std::string& caption, const std::string& text) = 0;
  // True for OK / Yes.
  virtual bool ask(const std::string& caption, const std::string& text, Buttons buttons) = 0;
  virtual void setClipboard(const std::string& text) = 0;
  virtual void pump() {}
  // True once the user asked to stop (abort button, interrupt); read after pump().
  virtual bool abortRequested() const { return false; }
};

}  // namespace platform
