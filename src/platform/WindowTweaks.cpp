#include "platform/WindowTweaks.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>

#include "platform/ListView.h"
#include "platform/SettingsStore.h"
#include "platform/WindowPlacement.h"

namespace WindowTweaks {

int pixelsFromTwips(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }
int twipsFromPixels(int pixels) { return pixels * kTwipsPerPixel; }

void setDropDownHeight(QComboBox* box, int pixels) {
  if (!box) return;
  int row = QFontMetrics(box->font()).height() + 4;
  if (box->view() && box->count() > 0) row = std::max(row, box->view()->sizeHintForRow(0));
  box->setMaxVisibleItems(std::max(1, pixels / std::max(1, row)));
}

void restoreSize(QWidget* window, const QString& section) {
  if (!window) return;
  const int w = static_cast<int>(SettingsStore::getNumber(section, QStringLiteral("Width"), 0));
  const int h = static_cast<int>(SettingsStore::getNumber(section, QStringLiteral("Height"), 0));
  QSize size = window->size();
  if (w > 0) size.setWidth(pixelsFromTwips(w));
  if (h > 0) size.setHeight(pixelsFromTwips(h));
  window->resize(size);
}

void saveSize(const QWidget* window, const QString& section, const QSize& whenNotNormal) {
  if (!window) return;
  const bool notNormal = window->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen);
  QSize twips = whenNotNormal;
  if (!notNormal || !whenNotNormal.isValid()) {
    const QSize normal =
        notNormal && window->normalGeometry().isValid() ? window->normalGeometry().size() : window->size();
    const QSize size = WindowPlacement::sizeToStore(window, normal);
    twips = QSize(twipsFromPixels(size.width()), twipsFromPixels(size.height()));
  }
  SettingsStore::setNumber(section, QStringLiteral("Width"), twips.width());
  SettingsStore::setNumber(section, QStringLiteral("Height"), twips.height());
}

int restoreState(QWidget* window, const QString& section, int defaultState) {
  int state = static_cast<int>(SettingsStore::getNumber(section, QStringLiteral("WinState"), defaultState));
  if (state != 2) state = 0;
  if (window) {
    if (state == 2)
      window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
    else
      window->setWindowState(window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
  }
  return state;
}

void saveState(const QWidget* window, const QString& section) {
  if (!window || (window->windowState() & Qt::WindowMinimized)) return;
  SettingsStore::set(section, QStringLiteral("WinState"),
                     (window->windowState() & Qt::WindowMaximized) ? QStringLiteral("2") : QStringLiteral("0"));
}

void restoreColumnWidths(ListView* list, const QString& section, int columns) {
  if (!list) return;
  const int n = columns < 0 ? list->columnCount() : std::min(columns, list->columnCount());
  for (int c = 0; c < n; ++c) {
    const int twips = static_cast<int>(
        SettingsStore::getNumber(section, QStringLiteral("LW") + QString::number(c + 1), list->columnWidthTwips(c)));
    if (twips > 0) list->setColumnWidthTwips(c, twips);
  }
}

void fitColumnsTo(ListView* list, const std::vector<std::pair<int, QString>>& samples) {
  if (!list) return;
  for (const auto& [column, sample] : samples) {
    const int now = list->columnWidthTwips(column);
    if (now == 0) continue;  // hidden, or no such column
    const int needed = list->twipsToShow(sample);
    if (needed > now) list->setColumnWidthTwips(column, needed);
  }
}

void saveColumnWidths(const ListView* list, const QString& section, int columns) {
  if (!list) return;
  const int n = columns < 0 ? list->columnCount() : std::min(columns, list->columnCount());
  for (int c = 0; c < n; ++c)
    SettingsStore::setNumber(section, QStringLiteral("LW") + QString::number(c + 1), list->columnWidthTwips(c));
}

void applyFontSize(ListView* list, QWidget* statusBar, int fontSize) {
  if (fontSize < 9 || fontSize > 24) return;
  if (list) list->setFontPointSize(fontSize);
  if (statusBar) {
    QFont f = statusBar->font();
    f.setPointSize(fontSize);
    statusBar->setFont(f);
  }
}

void showPictureWindow(QWidget* parent, const QString& path, const QString& title) {
  QDialog viewer(parent);
  viewer.setWindowTitle(title);
  auto* layout = new QVBoxLayout(&viewer);
  auto* area = new QScrollArea(&viewer);
  auto* picture = new QLabel(area);
  picture->setPixmap(QPixmap(path));
  area->setWidget(picture);
  layout->addWidget(area);
  viewer.resize(640, 480);
  viewer.exec();
}

}  // namespace WindowTweaks
