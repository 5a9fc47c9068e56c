#include "converter/ui/window_host.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QUrl>

#include "converter/settings/sheet_labels.h"

namespace ui {

namespace {

QString qtext(const std::string& text) { return QString::fromStdString(text); }

QString pathQ(const std::filesystem::path& path) { return qtext(settings::pathText(path)); }

}  // namespace

std::string displayText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

void DesktopHost::message(const std::string& caption, const std::string& text) {
  QMessageBox box(QMessageBox::Warning, qtext(caption), qtext(displayText(text)), QMessageBox::NoButton, parent_);
  box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.exec();
}

bool DesktopHost::ask(const std::string& caption, const std::string& text, platform::Buttons buttons) {
  QMessageBox box(QMessageBox::Question, qtext(caption), qtext(displayText(text)), QMessageBox::NoButton, parent_);
  // Japanese button texts whatever translations the system has.
  QPushButton* yes = nullptr;
  switch (buttons) {
    case platform::Buttons::Ok:
      box.setIcon(QMessageBox::Information);
      yes = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
      break;
    case platform::Buttons::OkCancel:
      box.setIcon(QMessageBox::Warning);
      yes = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
      box.setEscapeButton(box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole));
      break;
    case platform::Buttons::YesNo:
      yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
      box.setEscapeButton(box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole));
      break;
  }
  box.setDefaultButton(yes);
  box.exec();
  return box.clickedButton() == yes;
}

void DesktopHost::setClipboard(const std::string& text) { QApplication::clipboard()->setText(qtext(text)); }

void DesktopHost::openDocument(const std::filesystem::path& file) {
  // A desktop without a handler for the file simply does nothing, as the shell would.
  QDesktopServices::openUrl(QUrl::fromLocalFile(pathQ(file)));
}

void DesktopHost::openAddress(const std::string& address) { QDesktopServices::openUrl(QUrl(qtext(address))); }

bool DesktopHost::startProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                               const std::filesystem::path& workingFolder) {
  QStringList args;
  for (const auto& a : arguments) args << qtext(a);
  return QProcess::startDetached(pathQ(program), args, pathQ(workingFolder));
}

}  // namespace ui
