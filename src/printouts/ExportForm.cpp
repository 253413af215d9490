#include "printouts/ExportForm.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <memory>

#include "platform/ListView.h"
#include "platform/Numbers.h"
#include "platform/Prompt.h"
#include "printouts/PrintoutOutput.h"

std::function<void(ExportForm&)> ExportForm::showHook;

namespace {
const QString kSelectAll = QStringLiteral("全選");
const QString kSelectNone = QStringLiteral("取消全部");
}  // namespace

ExportForm::ExportForm(Database& db, Prompt& prompt, QWidget* parent) : QDialog(parent), db_(db), prompt_(prompt) {
  setWindowTitle(QStringLiteral("匯出到記事本"));
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

  fieldList = new ListView(this);
  fieldList->setColumns({QStringLiteral("欄位")});
  fieldList->header()->hide();
  fieldList->header()->setStretchLastSection(true);
  fieldList->setCheckable(true);
  fieldList->setMultiSelect(false);
  fieldList->setRootIsDecorated(false);

  commaOption = new QRadioButton(QStringLiteral("逗點 (,)"), this);
  tabOption = new QRadioButton(QStringLiteral("Tab (09h)"), this);
  commaOption->setChecked(true);
  moveUpButton = new QPushButton(QStringLiteral("↑"), this);
  moveDownButton = new QPushButton(QStringLiteral("↓"), this);
  selectAllButton = new QPushButton(kSelectAll, this);
  exportButton = new QPushButton(QStringLiteral("匯出"), this);
  cancelButton = new QPushButton(QStringLiteral("取消"), this);
  for (QPushButton* b : {exportButton, cancelButton, selectAllButton, moveUpButton, moveDownButton})
    b->setAutoDefault(false);
  moveUpButton->setFixedWidth(40);
  moveDownButton->setFixedWidth(40);

  auto* middle = new QHBoxLayout;
  middle->addWidget(commaOption);
  middle->addWidget(tabOption);
  middle->addStretch(1);
  middle->addWidget(moveUpButton);
  middle->addWidget(moveDownButton);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(selectAllButton);
  bottom->addStretch(1);
  bottom->addWidget(exportButton);
  bottom->addWidget(cancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fieldList, 1);
  layout->addLayout(middle);
  layout->addLayout(bottom);
  resize(330, 460);
  // A list that takes the focus on opening marks its first row as current,
  // which looks highlighted although the arrows have nothing to move.
  exportButton->setFocus();

  connect(exportButton, &QPushButton::clicked, this, [this] { onExport(); });
  connect(cancelButton, &QPushButton::clicked, this, [this] { onCancel(); });
  connect(selectAllButton, &QPushButton::clicked, this, [this] { onSelectAll(); });
  connect(moveUpButton, &QPushButton::clicked, this, [this] { onMoveUp(); });
  connect(moveDownButton, &QPushButton::clicked, this, [this] { onMoveDown(); });
  connect(fieldList, &ListView::itemCheckChanged, this, [this](int row, bool, bool) { onFieldTicked(row); });
}

ExportForm::~ExportForm() = default;

std::vector<ExportOffer> ExportForm::listOffers(const ListView& list, const std::vector<int>& columns) {
  std::vector<ExportOffer> offers;
  int code = 0;
  for (int c : columns) offers.push_back({list.columnCaption(c), code++});
  return offers;
}

ExportText::Source ExportForm::sourceOf(const ListView& list) {
  ExportText::Source src;
  src.rowCount = list.rowCount();
  auto selected = std::make_shared<std::vector<bool>>(static_cast<size_t>(src.rowCount), false);
  for (int r : list.selectedRows())
    if (r >= 0 && r < src.rowCount) (*selected)[static_cast<size_t>(r)] = true;
  src.selected = [selected](int r) {
    return r >= 0 && static_cast<size_t>(r) < selected->size() && (*selected)[static_cast<size_t>(r)];
  };
  src.text = [list = &list](int r, int c) { return list->text(r, c); };
  return src;
}

void ExportForm::run(Database& db, Prompt& prompt, QWidget* parent, int ex, const QString& section,
                     const ListView& source, const std::vector<ExportOffer>& offers) {
  ExportForm form(db, prompt, parent);
  form.setSource(&source);
  form.fill(section, offers);
  form.ex = static_cast<qint16>(ex);  // after the restore, so the saved ticks stand as saved
  if (showHook)
    showHook(form);
  else
    form.exec();
}

void ExportForm::fill(const QString& section, const std::vector<ExportOffer>& offers) {
  section_ = section;
  setFields(ExportText::restoreChoice(section, offers));
  fieldList->clearSelection();
  fieldList->setCurrentRow(-1);
}

void ExportForm::setFields(const std::vector<ExportText::Field>& fields) {
  std::vector<QStringList> rows;
  rows.reserve(fields.size());
  fieldCodes.clear();
  for (const ExportText::Field& f : fields) {
    rows.push_back({f.caption});
    fieldCodes << QString::number(f.code);
  }
  fieldList->setRows(std::move(rows));
  const bool was = ruling_;
  ruling_ = true;
  for (size_t i = 0; i < fields.size(); ++i) fieldList->setChecked(static_cast<int>(i), fields[i].ticked);
  ruling_ = was;
}

std::vector<ExportText::Field> ExportForm::fields() const {
  std::vector<ExportText::Field> out;
  for (int r = 0; r < fieldList->rowCount(); ++r)
    out.push_back(
        {fieldList->text(r, 0), static_cast<int>(Num::leading(fieldCodes.value(r))), fieldList->isChecked(r)});
  return out;
}

int ExportForm::highlightedRow() const {
  const int r = fieldList->currentRow();
  return r >= 0 && fieldList->isSelected(r) ? r : -1;
}

void ExportForm::onFieldTicked(int row) {
  if (ex != 1 || ruling_) return;
  std::vector<ExportText::Field> f = fields();
  const std::vector<int> changed = ExportText::applyLineRule(f, row);
  ruling_ = true;
  for (int r : changed) fieldList->setChecked(r, f[static_cast<size_t>(r)].ticked);
  ruling_ = false;
}

void ExportForm::onSelectAll() {
  const bool tick = selectAllButton->text() == kSelectAll;
  for (int r = 0; r < fieldList->rowCount(); ++r) fieldList->setChecked(r, tick);
  fieldList->clearSelection();
  fieldList->setCurrentRow(-1);
  selectAllButton->setText(tick ? kSelectNone : kSelectAll);
}

void ExportForm::moveHighlighted(int step) {
  const int row = highlightedRow();
  if (row < 0) return;
  std::vector<ExportText::Field> f = fields();
  const int to = ExportText::move(f, row, step);
  if (to < 0) return;
  setFields(f);
  fieldList->setCurrentRow(to);
}

void ExportForm::onMoveUp() { moveHighlighted(-1); }
void ExportForm::onMoveDown() { moveHighlighted(1); }

void ExportForm::onCancel() { reject(); }

void ExportForm::onExport() {
  PrintoutOutput::checkTempFolder(db_, prompt_, this);
  const QChar sep = commaOption->isChecked() ? QChar(u',') : QChar(u'\t');
  const std::vector<ExportText::Field> f = fields();
  if (std::none_of(f.begin(), f.end(), [](const ExportText::Field& x) { return x.ticked; })) {
    prompt_.message(NoFieldText, Prompt::Icon::Information);
    return;
  }
  const std::optional<QString> text =
      ExportText::text(db_, ex, source_ ? sourceOf(*source_) : ExportText::Source{}, f, sep);
  if (!text) {
    prompt_.error();
    return;
  }
  if (!PrintoutOutput::deliverText(db_, prompt_, this, *text)) return;
  ExportText::saveChoice(section_, f);
  accept();
}
