#pragma once
// Small window adjustments every window uses: drop-down list height, and
// remembering window size, state and list column widths in the settings
// store. Sizes are kept in twips (15 twips per pixel) under the window's
// own section: "Width", "Height", "WinState" ("0" normal, "2" maximised)
// and "LW" & column number (1-based).
#include <QSize>
#include <QString>
#include <utility>
#include <vector>

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
// stores whenNotNormal (twips) if given, else its normal size. A window only
// shrunk to fit the screen stores the size it asked for.
void saveSize(const QWidget* window, const QString& section, const QSize& whenNotNormal = {});

// Reads "WinState" (defaultState when missing; a stored 1, minimised, counts
// as 0), gives the window that state and returns it. Call before show().
int restoreState(QWidget* window, const QString& section, int defaultState = 0);
// Stores "WinState" ("0" or "2") unless the window is minimised.
void saveState(const QWidget* window, const QString& section);

// For column i = 1..columns (all columns when columns < 0): reads "LW" & i
// with the current width as default and applies a value greater than 0.
void restoreColumnWidths(ListView* list, const QString& section, int columns = -1);
// Texts a column's default width shows whole: a date and an amount of ten
// digits.
inline const QString kDateSample = QStringLiteral("0000/00/00");
inline const QString kAmountSample = QStringLiteral("0000000000");
// Widens each (column, sample) column that is too narrow to show its sample
// whole in the list's present font; it never narrows one nor shows a hidden
// one. For the designed widths: after the font size, before
// restoreColumnWidths, so stored widths still win.
void fitColumnsTo(ListView* list, const std::vector<std::pair<int, QString>>& samples);

// Stores every column's width as "LW" & i (0 for a hidden column).
void saveColumnWidths(const ListView* list, const QString& section, int columns = -1);

// The list font size of the settings: applied to the list and, when given,
// the status bar, only when it is 9 to 24.
void applyFontSize(ListView* list, QWidget* statusBar, int fontSize);

// A picture file shown at its own size in a scrolling window (modal).
void showPictureWindow(QWidget* parent, const QString& path, const QString& title);

}  // namespace WindowTweaks
