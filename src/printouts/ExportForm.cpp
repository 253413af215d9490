#include "printouts/ExportForm.h"

#include "platform/ListView.h"

ExportForm::ExportForm(Database& db, Prompt& prompt, QWidget* parent) : QDialog(parent), db_(db), prompt_(prompt) {}

ExportForm::~ExportForm() = default;

std::vector<ExportOffer> ExportForm::listOffers(const ListView& list, const std::vector<int>& columns) {
  std::vector<ExportOffer> offers;
  int code = 0;
  for (int c : columns) offers.push_back({list.columnCaption(c), code++});
  return offers;
}

void ExportForm::run(Database& db, Prompt& prompt, QWidget* parent, int ex, const QString& section,
                     const ListView& source, const std::vector<ExportOffer>& offers) {
  // The chooser itself lands with the printouts.
  (void)db, (void)prompt, (void)parent, (void)ex, (void)section, (void)source, (void)offers;
}
