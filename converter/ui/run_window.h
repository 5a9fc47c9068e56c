#pragma once
// The progress window of a run and its host: seven lines and the abort button. The run
// works on the user-interface thread; the window shows itself (modal) when the run
// begins and lets events run at every pump, so that the abort button is heard.
#include <QDialog>
#include <array>

#include "converter/sheet/run_host.h"

class QLabel;
class QPushButton;

namespace ui {

class WindowHost;

class RunWindow : public QDialog, public sheet::RunHost {
  Q_OBJECT

 public:
  // Messages and questions of the run go to `dialogs`.
  RunWindow(WindowHost& dialogs, QWidget* parent = nullptr);

  // Ready for the next run: lines empty, abort not pressed, hidden.
  void reset();
  // The line's label; the caption is the window title.
  QLabel* line(sheet::ProgressLine which) const;
  QPushButton* abortButton() const { return abort_; }
  // Ends the run at its next check, as the abort button does.
  void requestAbort() { aborted_ = true; }

  void progress(sheet::ProgressLine which, const std::string& text) override;
  void pump() override;
  void notice(const std::string& text) override;
  bool abortRequested() const override { return aborted_; }
  void message(const std::string& caption, const std::string& text) override;
  bool ask(const std::string& caption, const std::string& text, platform::Buttons buttons) override;
  void setClipboard(const std::string& text) override;

 protected:
  // Closing the window while the run works is asking it to stop.
  void reject() override;

 private:
  void appear();

  WindowHost& dialogs_;
  std::array<QLabel*, 7> lines_{};
  QPushButton* abort_;
  bool aborted_ = false;
};

}  // namespace ui
