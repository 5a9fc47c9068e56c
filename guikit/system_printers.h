#pragma once
// The system's printers (CUPS through Qt) beside the built-in printer of the catalogue.
#include "platform/printer_catalogue.h"

namespace guikit {

void addSystemPrinters(platform::PrinterCatalogue& catalogue);

}  // namespace guikit
