#pragma once
// The progress window of loading and saving, as the store sees it.
#include <QString>

class Progress {
 public:
  virtual ~Progress() = default;
  // Shows the window and lets it paint once.
  virtual void show(const QString& label) = 0;
  virtual void setLabel(const QString& text) = 0;
  virtual void setValue(int value) = 0;  // 0..100
  virtual void close() = 0;
};

// Keeps the last label and value; used where nothing is shown.
class SilentProgress : public Progress {
 public:
  void show(const QString& l) override { label = l; value = 0; shown = true; }
  void setLabel(const QString& t) override { label = t; }
  void setValue(int v) override { value = v; }
  void close() override { shown = false; }
  QString label;
  int value = 0;
  bool shown = false;
};
