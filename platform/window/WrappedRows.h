#pragma once

class QTreeView;

// Lets the texts of `list` wrap at their column's width instead of ending in "…": a row is as
// tall as its most wrapped text, and the rows follow every change of a column's width (the
// window resized, the language changed).
void WrapRows(QTreeView* list);
