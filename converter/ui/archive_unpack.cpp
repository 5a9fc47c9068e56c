// The built-in unpacking of downloaded data: every zip archive in a folder and its
// subfolders is extracted in place, with a progress window and a report at the end.
#include <QApplication>
#include <QProgressDialog>

#include "converter/settings/sheet_labels.h"
#include "converter/ui/form_widgets.h"
#include "converter/ui/main_window.h"
#include "converter/ui/window_host.h"
#include "platform/dir_list.h"
#include "platform/zip_archive.h"

namespace ui {

namespace fs = std::filesystem;

void MainWindow::unpackArchives(const QString& folderText) {
  const fs::path folder = settings::utf8Path(s8(folderText));
  std::error_code error;
  if (folderText.isEmpty() || !fs::is_directory(folder, error)) {
    host_.message("警告", "フォルダがありません: " + s8(folderText));
    return;
  }
  const auto archives = platform::listFiles(folder, "*.zip", true);
  if (archives.empty()) {
    host_.message("データの解凍", "zipファイルがありません: " + settings::pathText(folder));
    return;
  }
  QProgressDialog progress(QStringLiteral("解凍しています"), QStringLiteral("中　断"), 0, int(archives.size()), this);
  progress.setWindowTitle(QStringLiteral("データの解凍"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(300);

  std::size_t files = 0, archivesDone = 0;
  std::string damaged;
  bool stopped = false;
  for (std::size_t i = 0; i < archives.size() && !stopped; ++i) {
    const fs::path& archive = archives[i];
    progress.setLabelText(q(settings::pathText(archive.filename())));
    progress.setValue(int(i));
    const auto result = platform::extractArchive(archive, archive.parent_path(), [&](std::size_t, std::size_t) {
      QApplication::processEvents();
      return !progress.wasCanceled();
    });
    files += result.extracted.size();
    if (result.damaged.empty()) ++archivesDone;
    for (const auto& problem : result.damaged)
      damaged += settings::pathText(problem.path) + ": " + problem.what + "\r\n";
    stopped = result.stopped || progress.wasCanceled();
  }
  progress.setValue(int(archives.size()));

  std::string report = std::to_string(archivesDone) + " / " + std::to_string(archives.size()) +
                       " 個のzipファイルから " + std::to_string(files) + " 個のファイルを展開しました。\r\n" +
                       settings::pathText(folder);
  if (stopped) report += "\r\n中断しました。";
  if (!damaged.empty()) report += "\r\n\r\n展開できなかったもの:\r\n" + damaged;
  host_.message("データの解凍", report);
}

}  // namespace ui
