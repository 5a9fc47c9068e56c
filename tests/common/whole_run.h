#pragma once
// A whole conversion run of a test's settings, as the start command runs it after the
// start checks, with the test's own host.
#include <string>

#include "converter/geo/plane_coordinates.h"
#include "converter/run/conversion_run.h"
#include "converter/settings/check_settings.h"
#include "converter/settings/drawing_settings.h"
#include "converter/settings/run_values.h"
#include "converter/sheet/run_context.h"
#include "platform/printer_catalogue.h"

struct WholeRun {
  std::string report;  // of the start checks; the run starts only without one
  run::RunResult result = run::RunResult::Failed;
  std::string anomalies;
};

inline WholeRun runConversion(settings::DrawingSettings& s, sheet::RunHost& host, int jobs = 1) {
  WholeRun r;
  platform::PrinterCatalogue printers;
  geo::PlaneCoordinates coords;
  settings::RunValues values;
  r.report = settings::checkSettings(s, printers, coords, values);
  if (!r.report.empty()) return r;
  sheet::RunContext context(s, values, coords, host);
  run::RunOptions options;
  options.title = "Terralinea 0.1.0";
  options.jobs = jobs;
  r.result = run::ConversionRun(context, options).execute();
  r.anomalies = context.anomalyMessage;
  return r;
}
