#pragma once

#include "tools/writers/slide_content.h"

class QPainter;

// Page size of a generated slide deck, in points.
inline constexpr double slidePageWidth = 1024;
inline constexpr double slidePageHeight = 768;

// Draws one slide onto a page of slidePageWidth × slidePageHeight device units
// (one unit per point, origin top-left): background, accent bar, title,
// optional subtitle, bullets with their dots, and "position / count".
void paintSlide(QPainter& painter, const SlideContent& slide, qsizetype position, qsizetype count);
