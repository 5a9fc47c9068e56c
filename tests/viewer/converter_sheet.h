#pragma once
// A sheet as the converter writes it (the 2004 flavour, the settings of the settings
// tests' valid area), with what `draw` adds between the blocks and the border; the run
// values of the sheet go to `valuesOut` when given.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "converter/geo/plane_coordinates.h"
#include "converter/settings/check_settings.h"
#include "converter/sheet/sheet_document.h"
#include "platform/printer_catalogue.h"
#include "tests/common/temp_folder.h"
#include "tests/settings/fixture.h"

inline void writeConverterSheet(TempFolder& temp, const std::filesystem::path& file,
                                const std::function<void(sheet::SheetDocument&)>& draw = {},
                                settings::RunValues* valuesOut = nullptr) {
  auto s = validSettings(temp);
  s.fileFormat = 0;  // "DXF 2004 TrueColor"
  s.applyFileFormatRules();
  platform::PrinterCatalogue printers;
  geo::PlaneCoordinates coords;
  settings::RunValues values;
  ASSERT_EQ(settings::checkSettings(s, printers, coords, values), "");
  if (valuesOut) *valuesOut = values;
  sheet::SheetDocument doc(s, values, sheet::SheetContext{});
  ASSERT_EQ(doc.begin(file), sheet::SheetDocument::BeginResult::Ok);
  ASSERT_TRUE(doc.writeBlocks());
  if (draw) draw(doc);
  doc.writeBorderAndViewports();
  ASSERT_TRUE(doc.finish()) << doc.error();
}
