#pragma once
// The input files of a data folder as every producer lists them: files and the members of
// the zip archives below the folder, an archive that cannot be read reported once. Each
// folder and pattern is listed once a run (RunContext::listedFiles).
#include <filesystem>
#include <string_view>
#include <vector>

#include "converter/sheet/run_context.h"

namespace sheet {

std::vector<std::filesystem::path> listDataFiles(RunContext& ctx, const std::filesystem::path& folder,
                                                 std::string_view pattern);

}  // namespace sheet
