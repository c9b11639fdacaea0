// Looking at rendered pixels: the colour near a point, and runs of colour along a row.
#pragma once

#include <QColor>
#include <QImage>

#include <vector>

namespace trazo::qt::testing {

// Whether any pixel within `reach` of (x, y) has exactly this colour.
bool colourNear(const QImage& image, double x, double y, QColor colour, int reach = 1);

// Along row y from x0 to x1: the lengths of alternating runs of `colour` and of anything
// else, starting with the first run of `colour` and ending with the last.
std::vector<int> runsAlongRow(const QImage& image, int y, int x0, int x1, QColor colour);

// Pixels not of the background colour outside the rectangle [left, right] x [top, bottom].
int inkOutside(const QImage& image, int left, int top, int right, int bottom, QColor background);

}  // namespace trazo::qt::testing
