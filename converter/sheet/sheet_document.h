#pragma once
// The DXF document of one sheet: comment lines, HEADER, CLASSES, TABLES with the layer
// set of the run, BLOCKS with the symbol library, then the producers' entities, the
// border and the two paper-space viewports, OBJECTS with both layouts, and the patched
// handle seed.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "converter/geo/colour_legend.h"
#include "converter/settings/drawing_settings.h"
#include "converter/settings/run_values.h"
#include "converter/sheet/entity_writer.h"
#include "dxfio/dxf_writer.h"
#include "dxfio/file_sink.h"

namespace sheet {

// What a sheet needs beyond the settings and run values.
struct SheetContext {
  int row = 0, column = 0;
  geo::SheetLegend legend{1, 0, 0};  // metres
  std::string title = "Terralinea";  // program name and version, e.g. "Terralinea 0.1"
};

class SheetDocument {
 public:
  SheetDocument(const settings::DrawingSettings& settings, const settings::RunValues& values, SheetContext context);

  enum class BeginResult { Ok, CannotCreate, WriteFailed, PaletteStop };
  // Opens the file and writes the comment lines, HEADER, CLASSES and TABLES.
  // PaletteStop: the LAYER table met a colour the 255-colour flavour cannot hold; the
  // file has been closed.
  BeginResult begin(const std::filesystem::path& file);
  // BLOCKS with the symbol library, and the start of the ENTITIES section.
  bool writeBlocks();

  // The writer of the producers' entities, between writeBlocks and finish.
  EntityWriter& entities() { return entities_; }
  dxfio::DxfWriter& writer() { return writer_; }
  // Closes the file early (a run stopped after the tables).
  void abandon() { sink_.close(); }

  // The sheet border and the two viewports, between the true-north arrows and the
  // decorations on the paper.
  void writeBorderAndViewports();
  // ENDSEC, OBJECTS, EOF, close and handle-seed patch, then the file under its real name
  // or, with `later`, handed over complete for the caller to commit. False when writing or
  // patching failed (see error()).
  bool finish(dxfio::FileSink::Handover* later = nullptr);
  const std::string& error() const { return error_; }
  bool writeFailed() const { return sink_.failed(); }
  int errorNumber() const { return sink_.errorNumber(); }

  // Plane rectangle of this sheet.
  settings::RunValues::Rect rect() const { return values_.sheetRect(context_.row, context_.column); }
  double legendGridUnit() const { return values_.pageWidthMm / 290 * values_.unitsPerPaperMillimetre; }

 private:
  void header();
  void classes();
  void tables(bool* stopRun);
  void viewportTable();
  void lineTypeTable();
  void layerTable(bool* stopRun);
  void styleTable();
  void blocks();
  void border();
  void viewports();
  void objects();
  void layout(bool paper);

  const settings::DrawingSettings& s_;
  const settings::RunValues& values_;
  SheetContext context_;
  dxfio::FileSink sink_;
  dxfio::DxfWriter writer_{sink_, kFirstProducerHandle};
  EntityWriter entities_;
  std::filesystem::path file_;
  std::string error_;
};

}  // namespace sheet
