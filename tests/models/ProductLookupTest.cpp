#include <gtest/gtest.h>

#include "models/ProductLookup.h"
#include "store/Database.h"

TEST(ProductLookup, PicturePathTokenStandsOnlyForTheDatabaseFolder) {
  Database db;
  db.DataBasePath = "/data/店/";
  const struct {
    const char* path;
    const char* stored;
  } cases[] = {
      {"/data/店/圖/a.jpg", "<DataBasePath>圖/a.jpg"},
      {"/home/u/a.jpg", "/home/u/a.jpg"},
      // The folder's text further on is not the folder.
      {"/mnt/copy/data/店/a.jpg", "/mnt/copy/data/店/a.jpg"},
      {"/data/店/old/data/店/a.jpg", "<DataBasePath>old/data/店/a.jpg"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProductLookup::picturePathForStorage(db, c.path), c.stored) << c.path;
    EXPECT_EQ(ProductLookup::picturePathFromStorage(db, c.stored), c.path) << c.path;
  }
  // A path stored on Windows reads with "/"; another folder takes the token's place.
  db.DataBasePath = "/moved/";
  EXPECT_EQ(ProductLookup::picturePathFromStorage(db, "<DataBasePath>圖\\a.jpg"), "/moved/圖/a.jpg");
  db.DataBasePath.clear();
  EXPECT_EQ(ProductLookup::picturePathForStorage(db, "/data/店/a.jpg"), "/data/店/a.jpg");
}
