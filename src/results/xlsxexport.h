#pragma once
// The graph as a spreadsheet: the object and captions, the X/Y table of the collected points
// and a native scatter chart with lines and markers.

#include <QString>

#include "results/plotter.h"

namespace results {

struct GraphExport {
    QString objectName;
    QString yCaption, xCaption;
    GraphData data;
};

bool ExportGraphXlsx(const QString& path, const GraphExport& graph, QString* error = nullptr);

// A file name made of the Y caption: characters a file name cannot hold are dropped.
QString GraphFileName(const QString& yCaption, const QString& extension);

}  // namespace results
