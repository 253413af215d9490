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

  List1 = new ListView(this);
  List1->setColumns({QStringLiteral("欄位")});
  List1->header()->hide();
  List1->header()->setStretchLastSection(true);
  List1->setCheckable(true);
  List1->setMultiSelect(false);
  List1->setRootIsDecorated(false);

  Option1 = new QRadioButton(QStringLiteral("逗點 (,)"), this);
  Option2 = new QRadioButton(QStringLiteral("Tab (09h)"), this);
  Option1->setChecked(true);
  Command4 = new QPushButton(QStringLiteral("↑"), this);
  Command5 = new QPushButton(QStringLiteral("↓"), this);
  Command3 = new QPushButton(kSelectAll, this);
  Command1 = new QPushButton(QStringLiteral("匯出"), this);
  Command2 = new QPushButton(QStringLiteral("取消"), this);
  for (QPushButton* b : {Command1, Command2, Command3, Command4, Command5}) b->setAutoDefault(false);
  Command4->setFixedWidth(40);
  Command5->setFixedWidth(40);

  auto* middle = new QHBoxLayout;
  middle->addWidget(Option1);
  middle->addWidget(Option2);
  middle->addStretch(1);
  middle->addWidget(Command4);
  middle->addWidget(Command5);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(Command3);
  bottom->addStretch(1);
  bottom->addWidget(Command1);
  bottom->addWidget(Command2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(List1, 1);
  layout->addLayout(middle);
  layout->addLayout(bottom);
  resize(330, 460);
  // A list that takes the focus on opening marks its first row as current,
  // which looks highlighted although the arrows have nothing to move.
  Command1->setFocus();

  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
  connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
  connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
  connect(List1, &ListView::itemCheckChanged, this, [this](int row, bool, bool) { List1_ItemCheck(row); });
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
  List1->clearSelection();
  List1->setCurrentRow(-1);
}

void ExportForm::setFields(const std::vector<ExportText::Field>& fields) {
  std::vector<QStringList> rows;
  rows.reserve(fields.size());
  List2.clear();
  for (const ExportText::Field& f : fields) {
    rows.push_back({f.caption});
    List2 << QString::number(f.code);
  }
  List1->setRows(std::move(rows));
  const bool was = ruling_;
  ruling_ = true;
  for (size_t i = 0; i < fields.size(); ++i) List1->setChecked(static_cast<int>(i), fields[i].ticked);
  ruling_ = was;
}

std::vector<ExportText::Field> ExportForm::fields() const {
  std::vector<ExportText::Field> out;
  for (int r = 0; r < List1->rowCount(); ++r)
    out.push_back({List1->text(r, 0), static_cast<int>(Num::leading(List2.value(r))), List1->isChecked(r)});
  return out;
}

int ExportForm::highlightedRow() const {
  const int r = List1->currentRow();
  return r >= 0 && List1->isSelected(r) ? r : -1;
}

void ExportForm::List1_ItemCheck(int row) {
  if (ex != 1 || ruling_) return;
  std::vector<ExportText::Field> f = fields();
  const std::vector<int> changed = ExportText::applyLineRule(f, row);
  ruling_ = true;
  for (int r : changed) List1->setChecked(r, f[static_cast<size_t>(r)].ticked);
  ruling_ = false;
}

void ExportForm::Command3_Click() {
  const bool tick = Command3->text() == kSelectAll;
  for (int r = 0; r < List1->rowCount(); ++r) List1->setChecked(r, tick);
  List1->clearSelection();
  List1->setCurrentRow(-1);
  Command3->setText(tick ? kSelectNone : kSelectAll);
}

void ExportForm::moveHighlighted(int step) {
  const int row = highlightedRow();
  if (row < 0) return;
  std::vector<ExportText::Field> f = fields();
  const int to = ExportText::move(f, row, step);
  if (to < 0) return;
  setFields(f);
  List1->setCurrentRow(to);
}

void ExportForm::Command4_Click() { moveHighlighted(-1); }
void ExportForm::Command5_Click() { moveHighlighted(1); }

void ExportForm::Command2_Click() { reject(); }

void ExportForm::Command1_Click() {
  PrintoutOutput::checkTempFolder(db_, prompt_, this);
  const QChar sep = Option1->isChecked() ? QChar(u',') : QChar(u'\t');
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
