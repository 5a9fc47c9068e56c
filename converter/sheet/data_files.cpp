#include "converter/sheet/data_files.h"

#include "converter/settings/sheet_labels.h"
#include "platform/dir_list.h"

namespace sheet {

std::vector<std::filesystem::path> listDataFiles(RunContext& ctx, const std::filesystem::path& folder,
                                                 std::string_view pattern) {
  std::vector<platform::ArchiveProblem> problems;
  auto files = platform::listDataFiles(folder, pattern, ctx.settings.processSubfolders, problems);
  for (const auto& p : problems) ctx.reportOnce("ZIPファイルを読めません " + settings::pathText(p.path) + " " + p.what);
  return files;
}

}  // namespace sheet
