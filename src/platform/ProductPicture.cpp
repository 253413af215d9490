#include "platform/ProductPicture.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <cmath>

namespace {
QSize toTwips(const QSize& px) { return px * ProductPicture::kTwipsPerPixel; }
int toPixels(int twips) { return static_cast<int>(std::lround(static_cast<double>(twips) / ProductPicture::kTwipsPerPixel)); }
QSize toPixels(const QSize& twips) { return {toPixels(twips.width()), toPixels(twips.height())}; }
}  // namespace

PictureFit FitProductPicture(const QSize& picture, const QSize& box, const QSize& frame) {
  PictureFit fit;
  fit.box = box;
  fit.frame = frame;
  if (picture.width() <= 0 || picture.height() <= 0) return fit;
  fit.drawn = true;
  if (picture.width() > picture.height()) {
    // Landscape: the whole width, the height to scale.
    const int h = static_cast<int>(std::lround(static_cast<float>(box.width()) * static_cast<float>(picture.height()) /
                                               static_cast<float>(picture.width())));
    fit.target = QRect(0, 0, box.width(), h);
    fit.box.setHeight(h);
    fit.frame.setHeight(h + 16);
  } else {
    const int w = static_cast<int>(std::lround(static_cast<float>(box.height()) * static_cast<float>(picture.width()) /
                                               static_cast<float>(picture.height())));
    fit.target = QRect(0, 0, w, box.height());
    fit.box.setWidth(w);
    fit.frame.setWidth(w + 16);
  }
  return fit;
}

ProductPicture::ProductPicture(QLabel* picture1, QWidget* shape1) : picture1_(picture1), shape1_(shape1) {}

PictureFit ProductPicture::ShowProductPicture(const QString& path) {
  QImage loaded;
  if (!path.isEmpty() && loaded.load(path)) picture2_ = loaded;
  const QSize frame = shape1_ ? shape1_->size() : QSize();
  const PictureFit fit = FitProductPicture(toTwips(picture2_.size()), toTwips(picture1_->size()), toTwips(frame));
  if (!fit.drawn) return fit;
  const QSize box = toPixels(fit.box);
  const QRect target(toPixels(fit.target.x()), toPixels(fit.target.y()), toPixels(fit.target.width()),
                     toPixels(fit.target.height()));
  QPixmap canvas(box.expandedTo(QSize(1, 1)));
  canvas.fill(picture1_->palette().color(picture1_->backgroundRole()));
  {
    QPainter p(&canvas);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(target, picture2_);
  }
  picture1_->setFixedSize(box);
  picture1_->setPixmap(canvas);
  if (shape1_) shape1_->setFixedSize(toPixels(fit.frame));
  return fit;
}
