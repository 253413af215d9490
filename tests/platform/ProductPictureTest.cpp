// The product dialog's picture drawn into its box.
#include <QImage>
#include <QLabel>
#include <QWidget>
#include <gtest/gtest.h>

#include "TestDir.h"
#include "platform/ProductPicture.h"

namespace {
QString savePicture(const TestDir& dir, const QString& name, QSize size) {
  QImage img(size, QImage::Format_RGB32);
  img.fill(Qt::red);
  const QString path = dir.file(name);
  img.save(path, "PNG");
  return path;
}
}  // namespace

TEST(ProductPicture, FitsTheBoxAndKeepsTheLastPicture) {
  TestDir dir;
  QWidget dialog;
  QWidget shape1(&dialog);
  QLabel picture1(&dialog);
  shape1.resize(162, 122);
  picture1.resize(160, 120);  // 2400 x 1800 twips
  ProductPicture p(&picture1, &shape1);

  const PictureFit wide = p.ShowProductPicture(savePicture(dir, QStringLiteral("寬.png"), {200, 100}));
  EXPECT_EQ(wide.box, QSize(2400, 1200));
  EXPECT_EQ(picture1.size(), QSize(160, 80));
  EXPECT_EQ(shape1.size(), QSize(162, 81));  // 1216 twips
  ASSERT_FALSE(picture1.pixmap().isNull());
  EXPECT_EQ(picture1.pixmap().size(), QSize(160, 80));
  EXPECT_EQ(picture1.pixmap().toImage().pixelColor(80, 40), QColor(Qt::red));

  // A path that does not load keeps the picture held before and fits it again.
  const PictureFit again = p.ShowProductPicture(dir.file(QStringLiteral("missing.png")));
  EXPECT_TRUE(again.drawn);
  EXPECT_EQ(p.picture2().size(), QSize(200, 100));
  EXPECT_EQ(picture1.size(), QSize(160, 80));

  // A fresh dialog with nothing loaded draws nothing.
  QLabel empty(&dialog);
  empty.resize(160, 120);
  ProductPicture none(&empty, nullptr);
  EXPECT_FALSE(none.ShowProductPicture(QString()).drawn);
  EXPECT_EQ(empty.size(), QSize(160, 120));
}
