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

TEST(FitProductPicture, AspectKeptAndFrameFollows) {
  struct Case {
    QSize picture;
    QSize box, frame;
    QRect target;
    QSize boxAfter, frameAfter;
  };
  const Case cases[] = {
      // twice as wide as high: the full width
      {{200, 100}, {2400, 1800}, {2416, 1816}, {0, 0, 2400, 1200}, {2400, 1200}, {2416, 1216}},
      // twice as high as wide: the full height
      {{100, 200}, {2400, 1800}, {2416, 1816}, {0, 0, 900, 1800}, {900, 1800}, {916, 1816}},
      // square counts as portrait
      {{50, 50}, {2400, 1800}, {2416, 1816}, {0, 0, 1800, 1800}, {1800, 1800}, {1816, 1816}},
      // a very wide picture in a box the fit had already shrunk grows it back in the other direction
      {{30, 10}, {900, 1800}, {916, 1816}, {0, 0, 900, 300}, {900, 300}, {916, 316}},
  };
  for (const Case& c : cases) {
    const PictureFit fit = FitProductPicture(c.picture, c.box, c.frame);
    EXPECT_TRUE(fit.drawn);
    EXPECT_EQ(fit.target, c.target);
    EXPECT_EQ(fit.box, c.boxAfter);
    EXPECT_EQ(fit.frame, c.frameAfter);
  }
  const PictureFit none = FitProductPicture(QSize(), QSize(2400, 1800), QSize(2416, 1816));
  EXPECT_FALSE(none.drawn);
  EXPECT_EQ(none.box, QSize(2400, 1800));
  EXPECT_EQ(none.frame, QSize(2416, 1816));
}
