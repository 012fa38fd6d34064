#pragma once
// Libraries that only some windows need, started by the first window that needs them rather
// than at start-up: the resident icon alone stays quick to start and small.
namespace trovell {

// The common controls (tree, toolbar, list view, tooltips); once per process.
void EnsureCommonControls();
// OLE on the calling (window) thread, for drag and drop;
// undone when the process ends. False when this thread's apartment is of another kind.
bool EnsureOle();

}  // namespace trovell
