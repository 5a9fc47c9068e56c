#include "converter/ui/run_window.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "converter/ui/window_host.h"

namespace ui {

namespace {

using sheet::ProgressLine;

// Label index of each line but the caption.
int labelIndex(ProgressLine which) {
  switch (which) {
    case ProgressLine::TotalCaption: return 0;
    case ProgressLine::Total: return 1;
    case ProgressLine::Counter: return 2;
    case ProgressLine::Phase: return 3;
    case ProgressLine::Detail: return 4;
    case ProgressLine::Spare: return 5;
    case ProgressLine::File: return 6;
    case ProgressLine::Caption: break;
  }
  return -1;
}

}  // namespace

RunWindow::RunWindow(WindowHost& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
  setObjectName("RunWindow");
  setWindowModality(Qt::ApplicationModal);
  setFixedSize(790, 142);
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(16, 10, 16, 10);
  grid->setHorizontalSpacing(16);
  grid->setVerticalSpacing(2);
  static const char* names[] = {"totalCaptionLabel", "totalLabel", "counterLabel", "phaseLabel",
                                "detailLabel",       "spareLabel", "fileLabel"};
  for (int i = 0; i < 7; ++i) {
    lines_[i] = new QLabel(this);
    lines_[i]->setObjectName(names[i]);
    lines_[i]->setTextFormat(Qt::PlainText);
    lines_[i]->setMinimumWidth(0);
    lines_[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  }
  // Totals on the left (caption over total over counter), what is being done on the right.
  grid->addWidget(lines_[0], 0, 0);
  grid->addWidget(lines_[1], 1, 0);
  grid->addWidget(lines_[2], 2, 0);
  grid->addWidget(lines_[3], 0, 1);
  grid->addWidget(lines_[4], 1, 1);
  grid->addWidget(lines_[5], 2, 1);
  grid->addWidget(lines_[6], 3, 0, 1, 2);
  abort_ = new QPushButton(QStringLiteral("中　断"), this);
  abort_->setObjectName("abortButton");
  abort_->setMinimumWidth(110);
  grid->addWidget(abort_, 0, 2, 3, 1, Qt::AlignVCenter);
  grid->setColumnStretch(0, 2);
  grid->setColumnStretch(1, 5);
  connect(abort_, &QPushButton::clicked, this, [this] { aborted_ = true; });
}

void RunWindow::reset() {
  hide();
  aborted_ = false;
  setWindowTitle(QString());
  for (auto* label : lines_) label->clear();
}

QLabel* RunWindow::line(ProgressLine which) const {
  const int i = labelIndex(which);
  return i < 0 ? nullptr : lines_[i];
}

void RunWindow::appear() {
  if (isVisible()) return;
  if (parentWidget()) {
    const QRect frame = parentWidget()->frameGeometry();
    move(frame.center() - rect().center());
  }
  show();
  raise();
}

void RunWindow::progress(ProgressLine which, const std::string& text) {
  if (which == ProgressLine::Caption) {
    // The first thing a run says: the window opens with its start time.
    setWindowTitle(QString::fromStdString(text));
    appear();
    return;
  }
  if (QLabel* label = line(which)) label->setText(QString::fromStdString(text));
}

void RunWindow::pump() { QApplication::processEvents(QEventLoop::AllEvents); }

void RunWindow::message(const std::string& caption, const std::string& text) { dialogs_.message(caption, text); }

bool RunWindow::ask(const std::string& caption, const std::string& text, platform::Buttons buttons) {
  return dialogs_.ask(caption, text, buttons);
}

void RunWindow::setClipboard(const std::string& text) { dialogs_.setClipboard(text); }

void RunWindow::reject() { aborted_ = true; }

// A line about how the run goes shows on the spare line.
void RunWindow::notice(const std::string& text) { progress(sheet::ProgressLine::Spare, text); }

}  // namespace ui
