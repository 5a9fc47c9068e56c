#pragma once
// The index drawing of a run of several sheets: mapName + "#index.dxf" beside the sheets,
// a release-12 file with the administrative outlines of the data folder, the frame of
// every sheet and a label per sheet linked to the sheet's file.
#include <filesystem>
#include <string>

#include "converter/sheet/run_context.h"
#include "dxfio/file_sink.h"

namespace decor {

// `title` opens the file as it opens every sheet. Problems go to the run's report; a file
// that cannot be created is told to the user and leaves the run's outcome as it is.
void writeIndexDrawing(sheet::RunContext& ctx, const std::string& title);
// The same drawing into `file` instead of the run's index file name.
void writeIndexDrawing(sheet::RunContext& ctx, const std::string& title, const std::filesystem::path& file);
// The drawing made ahead, while sheets are still being drawn: complete under its partial
// name and handed over in `to`, to take its name once the sheets are done. False, and no
// file left, when it could not be made whole (the run then writes it in turn, and says why).
bool drawIndexAhead(sheet::RunContext& ctx, const std::string& title, dxfio::FileSink::Handover& to);

}  // namespace decor
