#pragma once

// Twips (1/1440 inch), the unit of stored widths and window positions, and
// pixels at `dpi` dots per inch.
int twipsToPixels(double twips, double dpi);
double pixelsToTwips(int pixels, double dpi);
