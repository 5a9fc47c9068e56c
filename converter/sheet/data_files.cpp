#include "converter/sheet/data_files.h"

#include "converter/settings/sheet_labels.h"
#include "platform/dir_list.h"

namespace sheet {

std::vector<std::filesystem::path> listDataFiles(RunContext& ctx, const std::filesystem::path& folder,
                                                 std::string_view pattern) {
  const bool subfolders = ctx.settings.processSubfolders;
  const std::string key = folder.string() + '\n' + std::string(pattern) + (subfolders ? "\n1" : "\n0");
  if (const auto listed = ctx.listedFiles.find(key); listed != ctx.listedFiles.end()) return listed->second;
  std::vector<platform::ArchiveProblem> problems;
  auto files = platform::listDataFiles(folder, pattern, subfolders, problems);
  // Said once: a later listing of the same folder comes from the run's note.
  for (const auto& p : problems) ctx.reportOnce("ZIPファイルを読めません " + settings::pathText(p.path) + " " + p.what);
  ctx.listedFiles.emplace(key, files);
  return files;
}

}  // namespace sheet
