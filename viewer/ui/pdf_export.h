#pragma once
// Vector PDF of a tab: a layout on its paper at its plot scale, so that the printed page
// measures true; the model tab fitted to the model layout's paper. Drawn by the views of
// viewer/draw through a QPainter backend: lines and fills as paths, texts as text, each TEXT
// where its alignment puts it (the screen draws them all from their first points).
#include <string>

#include "viewer/dxf/drawing.h"

namespace viewer {

// Writes tab `tab` of a loaded drawing to `outPath`. Needs a QGuiApplication (any
// platform, "offscreen" included). False with the reason in `error`; the drawing's views
// are left as they were.
bool writePdf(Drawing& drawing, int tab, const std::string& outPath, std::string& error);

// The command line's export: loads `dxfPath` and writes the PDF, with its own application
// object on the offscreen platform when there is none yet.
bool exportPdf(const std::string& dxfPath, const std::string& outPath, int tab, std::string& error);

}  // namespace viewer
