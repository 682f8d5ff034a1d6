#pragma once

class QMdiArea;

namespace verdo {

// Lines the minimized child windows up along the bottom of the area, left to right,
// starting a new row above when one is full.
void ArrangeMinimized(QMdiArea& area);

}  // namespace verdo
