#pragma once
// Small window adjustments every window uses: drop-down list height, and
// remembering window size, state and list column widths in the settings
// store. Sizes are kept in twips (15 twips per pixel) under the window's
// own section: "Width", "Height", "WinState" ("0" normal, "2" maximised)
// and "LW" & column number (1-based).
#include <QSize>
#include <QString>

class QComboBox;
class QWidget;
class ListView;

namespace WindowTweaks {

constexpr int kTwipsPerPixel = 15;
int pixelsFromTwips(int twips);
int twipsFromPixels(int pixels);

// Lets the box's drop-down list open about this many pixels high.
void setDropDownHeight(QComboBox* box, int pixels = 300);

// Takes "Width" and "Height" (each used when greater than 0).
void restoreSize(QWidget* window, const QString& section);
// Stores "Width" and "Height". When the window is maximised or minimised it
// stores whenNotNormal (twips) if given, else its normal size.
void saveSize(const QWidget* window, const QString& section, const QSize& whenNotNormal = {});

// Reads "WinState" (defaultState when missing; a stored 1, minimised, counts
// as 0), gives the window that state and returns it. Call before show().
int restoreState(QWidget* window, const QString& section, int defaultState = 0);
// Stores "WinState" ("0" or "2") unless the window is minimised.
void saveState(const QWidget* window, const QString& section);

// For column i = 1..columns (all columns when columns < 0): reads "LW" & i
// with the current width as default and applies a value greater than 0.
void restoreColumnWidths(ListView* list, const QString& section, int columns = -1);
// Stores every column's width as "LW" & i (0 for a hidden column).
void saveColumnWidths(const ListView* list, const QString& section, int columns = -1);

}  // namespace WindowTweaks
