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
