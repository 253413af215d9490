#pragma once
// The product dialog's picture: the picture file drawn into the visible box
// with its aspect kept, the box and the frame around it sized to the picture.
#include <QImage>
#include <QString>

#include "store/SharedRoutines.h"

class QLabel;
class QWidget;

class ProductPicture {
 public:
  // picture1: the visible box; its size when a picture is shown is the box the
  // picture is fitted into. shape1: the frame drawn around it (may be null).
  ProductPicture(QLabel* picture1, QWidget* shape1);

  // Loads the file and draws it. A path that does not load keeps the picture
  // held before, and that one is fitted and drawn again (nothing when none
  // was ever loaded). Returns the fit, in twips.
  PictureFit ShowProductPicture(const QString& path);

  // The picture last loaded (the hidden source box).
  const QImage& picture2() const { return picture2_; }
  // Forgets the picture held.
  void clear() { picture2_ = QImage(); }

  static constexpr int kTwipsPerPixel = 15;

 private:
  QLabel* picture1_;
  QWidget* shape1_;
  QImage picture2_;
};
