#pragma once
// The product dialog's picture: the picture file drawn into the visible box
// with its aspect kept, the box and the frame around it sized to the picture.
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

class QLabel;
class QWidget;

// Fitting a product picture into the product dialog's picture box. Sizes are
// in the dialog's units (twips). A landscape picture fills the box's width,
// any other its height; the box shrinks or grows in the other direction to
// the picture, and the frame around it follows with 16 units to spare.
struct PictureFit {
  bool drawn = false;  // false: nothing to draw (an empty picture); box and frame unchanged
  QRect target;        // where the picture is drawn inside the box
  QSize box;           // the box's size afterwards
  QSize frame;         // the frame's size afterwards
};
PictureFit FitProductPicture(const QSize& picture, const QSize& box, const QSize& frame);

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
