#include "platform/ListView.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QHash>
#include <QContextMenuEvent>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <algorithm>
#include <functional>
#include <numeric>
#include <unordered_map>

#include "platform/Numbers.h"
#include "platform/TextOrder.h"

namespace {
constexpr int kTwipsPerPixel = 15;
}

// The rows of a list: each row is either a row of texts held here or a row
// of the source, plus, only where code set one, its look and tick. Sorting
// and moving reorder the row entries, which are small.
class ListViewModel : public QAbstractTableModel {
 public:
  struct RowState {
    QColor fore;
    std::vector<std::pair<int, QColor>> cellFore;  // colours set on single cells (invalid = the row's)
    QColor back;
    bool bold = false;
    bool checked = false;
  };
  // ref >= 0: that row of the source; ref < 0: held texts number -ref - 1.
  // state: 0 = the default look, else states_[state].
  struct Row {
    int32_t ref = 0;
    uint32_t state = 0;
  };

  explicit ListViewModel(QObject* parent) : QAbstractTableModel(parent) {}

  // Called when the view (the user) changed a tick.
  std::function<void(int row, bool checked)> onUserCheck;

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(captions_.size());
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    const int r = index.row();
    const int c = index.column();
    if (r < 0 || r >= rowCount() || c < 0 || c >= columnCount()) return {};
    switch (role) {
      case Qt::DisplayRole:
      case Qt::ToolTipRole:
        return textAt(r, c);
      case Qt::CheckStateRole:
        if (checkable_ && c == 0) return stateOf(r).checked ? Qt::Checked : Qt::Unchecked;
        return {};
      case Qt::ForegroundRole: {
        const QColor k = colorAt(r, c);
        if (k.isValid()) return QBrush(k);
        return {};
      }
      case Qt::BackgroundRole:
        if (stateOf(r).back.isValid()) return QBrush(stateOf(r).back);
        return {};
      case Qt::FontRole:
        if (stateOf(r).bold) {
          QFont f;  // only the weight is set; the rest comes from the view
          f.setBold(true);
          return f;
        }
        return {};
      case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignment(c));
      default:
        return {};
    }
  }

  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (role != Qt::CheckStateRole || !checkable_ || !index.isValid() || index.column() != 0) return false;
    const int r = index.row();
    if (r < 0 || r >= rowCount()) return false;
    const bool on = value.toInt() == Qt::Checked;
    if (stateOf(r).checked == on) return true;
    state(r).checked = on;
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    if (onUserCheck) onUserCheck(r, on);
    return true;
  }

  Qt::ItemFlags flags(const QModelIndex& index) const override {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (checkable_ && index.column() == 0) f |= Qt::ItemIsUserCheckable;
    return f;
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) return captions_[section];
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(alignment(section));
    return {};
  }

  Qt::Alignment alignment(int column) const {
    Qt::Alignment a = Qt::AlignLeft;
    if (column >= 0 && column < static_cast<int>(alignments_.size())) a = alignments_[column];
    return a | Qt::AlignVCenter;
  }

  // ---- used by ListView ----
  void setColumns(const QStringList& captions) {
    beginResetModel();
    captions_ = captions;
    alignments_.assign(captions.size(), Qt::AlignLeft);
    resetRows();
    endResetModel();
  }
  const QStringList& captions() const { return captions_; }
  void setCaption(int column, const QString& caption) {
    if (column < 0 || column >= columnCount()) return;
    captions_[column] = caption;
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
  }
  void setAlignment(int column, Qt::Alignment a) {
    if (column < 0 || column >= columnCount()) return;
    alignments_[column] = a & Qt::AlignHorizontal_Mask;
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
    if (!rows_.empty()) Q_EMIT dataChanged(index(0, column), index(rowCount() - 1, column), {Qt::TextAlignmentRole});
  }

  void setRows(std::vector<QStringList> rows) {
    beginResetModel();
    resetRows();
    held_ = std::move(rows);
    rows_.resize(held_.size());
    for (size_t i = 0; i < rows_.size(); ++i) rows_[i].ref = -static_cast<int32_t>(i) - 1;
    endResetModel();
  }
  void setSource(std::shared_ptr<const ListRowSource> source) {
    beginResetModel();
    resetRows();
    source_ = std::move(source);
    const int n = source_ ? std::max(0, source_->rowCount()) : 0;
    rows_.resize(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) rows_[static_cast<size_t>(i)].ref = i;
    endResetModel();
  }
  const ListRowSource* source() const { return source_.get(); }
  void clearRows() { setRows({}); }

  int insertRow(int row, const QStringList& cells) {
    row = std::clamp(row, 0, rowCount());
    beginInsertRows({}, row, row);
    held_.push_back(cells);
    rows_.insert(rows_.begin() + row, Row{-static_cast<int32_t>(held_.size()), 0});
    endInsertRows();
    return row;
  }
  void removeRow(int row) {
    if (!validRow(row)) return;
    beginRemoveRows({}, row, row);
    const Row gone = rows_[static_cast<size_t>(row)];
    if (gone.ref < 0) held_[static_cast<size_t>(-gone.ref - 1)] = QStringList();
    if (gone.state) states_[gone.state] = RowState{};
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
  }
  void moveRow(int from, int to) {
    if (!validRow(from) || !validRow(to) || from == to) return;
    // Qt counts the destination before the move: moving down lands before to + 1.
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    const Row moved = rows_[static_cast<size_t>(from)];
    rows_.erase(rows_.begin() + from);
    rows_.insert(rows_.begin() + to, moved);
    endMoveRows();
  }

  bool validRow(int row) const { return row >= 0 && row < rowCount(); }
  int sourceRow(int row) const { return validRow(row) && rows_[static_cast<size_t>(row)].ref >= 0 ? rows_[static_cast<size_t>(row)].ref : -1; }

  QString textAt(int row, int column) const {
    const Row& e = rows_[static_cast<size_t>(row)];
    if (e.ref < 0) {
      const QStringList& cells = held_[static_cast<size_t>(-e.ref - 1)];
      return column < cells.size() ? cells[column] : QString();
    }
    if (!overrides_.empty()) {
      const auto it = overrides_.find(overrideKey(e.ref, column));
      if (it != overrides_.end()) return it->second;
    }
    return source_->text(e.ref, column);
  }
  // Every row comes from the source (none was added as texts).
  bool onlySourceRows() const { return source_ && held_.empty(); }
  // Code set a text of this column on some source row.
  bool hasTextsSet(int column) const {
    for (const auto& [key, text] : overrides_)
      if (static_cast<int>(key & 0xFFFF) == column) return true;
    return false;
  }
  // The source's own Index number of a row, when its Index text was not set by code; else -1.
  int sourceIndex(int row, int column) const {
    const Row& e = rows_[static_cast<size_t>(row)];
    if (e.ref < 0) return -1;
    if (!overrides_.empty() && overrides_.count(overrideKey(e.ref, column))) return -1;
    return source_->tableIndex(e.ref);
  }
  QStringList rowTexts(int row) const {
    QStringList out;
    const int n = columnCount();
    out.reserve(n);
    for (int c = 0; c < n; ++c) out.append(textAt(row, c));
    return out;
  }
  // Writes a text without telling the view.
  void putText(int row, int column, const QString& text) {
    const Row& e = rows_[static_cast<size_t>(row)];
    if (e.ref < 0) {
      QStringList& cells = held_[static_cast<size_t>(-e.ref - 1)];
      while (cells.size() <= column) cells.append(QString());
      cells[column] = text;
    } else {
      overrides_[overrideKey(e.ref, column)] = text;
    }
  }
  void setText(int row, int column, const QString& text) {
    if (!validRow(row) || column < 0 || column >= columnCount()) return;
    putText(row, column, text);
    const QModelIndex i = index(row, column);
    Q_EMIT dataChanged(i, i, {Qt::DisplayRole});
  }
  void setColumnTexts(int column, const std::vector<std::pair<int, QString>>& texts) {
    if (column < 0 || column >= columnCount()) return;
    int lo = rowCount(), hi = -1;
    for (const auto& [row, text] : texts) {
      if (!validRow(row)) continue;
      putText(row, column, text);
      lo = std::min(lo, row);
      hi = std::max(hi, row);
    }
    if (hi >= lo) Q_EMIT dataChanged(index(lo, column), index(hi, column), {Qt::DisplayRole});
  }

  QColor colorAt(int row, int column) const {
    const Row& e = rows_[static_cast<size_t>(row)];
    if (e.state) {
      const RowState& st = states_[e.state];
      for (const auto& [c, color] : st.cellFore)
        if (c == column) return color.isValid() ? color : st.fore;
      if (st.fore.isValid()) return st.fore;
    }
    if (e.ref >= 0) return source_->foreground(e.ref, column);
    return {};
  }
  const RowState& stateOf(int row) const { return states_[rows_[static_cast<size_t>(row)].state]; }
  RowState& state(int row) {
    Row& e = rows_[static_cast<size_t>(row)];
    if (e.state == 0) {
      e.state = static_cast<uint32_t>(states_.size());
      states_.emplace_back();
    }
    return states_[e.state];
  }
  void setCellColor(int row, int column, const QColor& fore) {
    auto& cells = state(row).cellFore;
    for (auto& entry : cells) {
      if (entry.first == column) {
        entry.second = fore;
        return;
      }
    }
    cells.emplace_back(column, fore);
  }
  void cellChanged(int row, int column, int role) {
    const QModelIndex i = index(row, column);
    Q_EMIT dataChanged(i, i, {role});
  }
  void rowChanged(int row, int role) {
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1), {role});
  }
  void rowsChanged(int first, int last, int role) {
    if (first <= last) Q_EMIT dataChanged(index(first, 0), index(last, columnCount() - 1), {role});
  }
  void setCheckable(bool on) {
    if (checkable_ == on) return;
    checkable_ = on;
    if (!rows_.empty()) Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
  }
  bool checkable() const { return checkable_; }

  // Puts the rows in the order given (order[i] = old number of the row that
  // becomes row i). Selection and current row follow their rows.
  void reorder(const std::vector<int>& order) {
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newOf(order.size());
    for (size_t i = 0; i < order.size(); ++i) newOf[order[i]] = static_cast<int>(i);
    std::vector<Row> rows(order.size());
    for (size_t i = 0; i < order.size(); ++i) rows[i] = rows_[order[i]];
    rows_ = std::move(rows);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& i : from) to.append(index(newOf[i.row()], i.column()));
    changePersistentIndexList(from, to);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
  }

 private:
  static uint64_t overrideKey(int32_t ref, int column) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(ref)) << 16) | static_cast<uint16_t>(column);
  }
  void resetRows() {
    rows_.clear();
    held_.clear();
    states_.assign(1, RowState{});
    overrides_.clear();
    source_.reset();
  }

  QStringList captions_;
  std::vector<Qt::Alignment> alignments_;
  std::vector<Row> rows_;
  std::vector<QStringList> held_;
  std::vector<RowState> states_ = std::vector<RowState>(1);  // [0]: the default look, never changed
  std::shared_ptr<const ListRowSource> source_;
  std::unordered_map<uint64_t, QString> overrides_;  // texts set by code on source rows
  bool checkable_ = false;
};

ListView::ListView(QWidget* parent) : QTreeView(parent), model_(new ListViewModel(this)) {
  setModel(model_);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setExpandsOnDoubleClick(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSortingEnabled(false);
  setTextElideMode(Qt::ElideRight);
  header()->setStretchLastSection(false);
  header()->setSectionsMovable(false);
  header()->setSectionResizeMode(QHeaderView::Interactive);
  header()->setSectionsClickable(true);
  header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  model_->onUserCheck = [this](int row, bool checked) { Q_EMIT itemCheckChanged(row, checked, true); };
  connect(header(), &QHeaderView::sectionClicked, this, [this](int column) {
    if (sortOnHeaderClick_) {
      const Qt::SortOrder order = (column == sortColumn_ && sortOrder_ == Qt::AscendingOrder)
                                      ? Qt::DescendingOrder
                                      : Qt::AscendingOrder;
      sortRows(column, order);
    }
    Q_EMIT headerClicked(column);
  });
  connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
    if (index.isValid()) Q_EMIT rowActivated(index.row());
  });
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current, const QModelIndex&) {
            Q_EMIT currentRowChanged(current.isValid() ? current.row() : -1);
          });
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection&, const QItemSelection&) { Q_EMIT rowsSelectionChanged(); });
}

ListView::~ListView() = default;

// ---- columns ----

void ListView::setColumns(const QStringList& captions) {
  model_->setColumns(captions);
  sortColumn_ = -1;
  sortOrder_ = Qt::AscendingOrder;
  if (indexColumn_ >= captions.size()) indexColumn_ = -1;
  for (int c = 0; c < captions.size(); ++c) {
    setColumnHidden(c, c == indexColumn_);
    header()->setSectionResizeMode(c, QHeaderView::Interactive);
  }
}

int ListView::columnCount() const { return model_->columnCount(); }

QString ListView::columnCaption(int column) const {
  return column >= 0 && column < columnCount() ? model_->captions()[column] : QString();
}

void ListView::setColumnCaption(int column, const QString& caption) { model_->setCaption(column, caption); }

void ListView::setColumnWidthTwips(int column, int twips) {
  if (column < 0 || column >= columnCount()) return;
  if (twips <= 0) {
    setColumnHidden(column, true);
    return;
  }
  setColumnWidth(column, std::max(1, (twips + kTwipsPerPixel / 2) / kTwipsPerPixel));
  if (column != indexColumn_) setColumnHidden(column, false);
}

int ListView::twipsToShow(const QString& text) const {
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  option.features |= QStyleOptionViewItem::HasDisplay;
  option.text = text;
  const int pixels = style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).width();
  return pixels * kTwipsPerPixel;
}

int ListView::columnWidthTwips(int column) const {
  if (column < 0 || column >= columnCount() || isColumnHidden(column)) return 0;
  return columnWidth(column) * kTwipsPerPixel;
}

void ListView::setColumnAlignment(int column, Qt::Alignment alignment) { model_->setAlignment(column, alignment); }

void ListView::setIndexColumn(int column) {
  if (column >= columnCount()) column = -1;
  indexColumn_ = column;
  if (column >= 0) setColumnHidden(column, true);
}

int ListView::indexColumn() const { return indexColumn_; }

// ---- rows ----

void ListView::clear() { model_->clearRows(); }

void ListView::setRows(std::vector<QStringList> rows) { model_->setRows(std::move(rows)); }

int ListView::addRow(const QStringList& cells) { return model_->insertRow(model_->rowCount(), cells); }

void ListView::insertRow(int row, const QStringList& cells) { model_->insertRow(row, cells); }

void ListView::removeRow(int row) { model_->removeRow(row); }

void ListView::moveRow(int from, int to) { model_->moveRow(from, to); }

int ListView::rowCount() const { return model_->rowCount(); }

QString ListView::text(int row, int column) const {
  if (!model_->validRow(row) || column < 0 || column >= columnCount()) return {};
  return model_->textAt(row, column);
}

void ListView::setText(int row, int column, const QString& text) { model_->setText(row, column, text); }

void ListView::setColumnTexts(int column, const std::vector<std::pair<int, QString>>& rowTexts) {
  model_->setColumnTexts(column, rowTexts);
}

QStringList ListView::rowTexts(int row) const { return model_->validRow(row) ? model_->rowTexts(row) : QStringList(); }

void ListView::setRowSource(std::shared_ptr<const ListRowSource> source) { model_->setSource(std::move(source)); }

const ListRowSource* ListView::rowSource() const { return model_->source(); }

int ListView::sourceRow(int row) const { return model_->sourceRow(row); }

int ListView::tableIndex(int row) const {
  if (indexColumn_ < 0 || !model_->validRow(row)) return 0;
  const int known = model_->sourceIndex(row, indexColumn_);
  if (known >= 0) return known;
  return static_cast<int>(Num::leading(text(row, indexColumn_)));
}

// ---- appearance ----

void ListView::setRowColor(int row, const QColor& fore) {
  if (!model_->validRow(row)) return;
  model_->state(row).fore = fore;
  model_->rowChanged(row, Qt::ForegroundRole);
}

void ListView::setRowColors(const std::vector<int>& rows, const QColor& fore) {
  int lo = rowCount(), hi = -1;
  for (int row : rows) {
    if (!model_->validRow(row)) continue;
    model_->state(row).fore = fore;
    lo = std::min(lo, row);
    hi = std::max(hi, row);
  }
  model_->rowsChanged(lo, hi, Qt::ForegroundRole);
}

void ListView::setCellColor(int row, int column, const QColor& fore) {
  if (!model_->validRow(row)) return;
  model_->setCellColor(row, column, fore);
  model_->cellChanged(row, column, Qt::ForegroundRole);
}

void ListView::setCellColors(const std::vector<int>& rows, int column, const QColor& fore) {
  int lo = rowCount(), hi = -1;
  for (int row : rows) {
    if (!model_->validRow(row)) continue;
    model_->setCellColor(row, column, fore);
    lo = std::min(lo, row);
    hi = std::max(hi, row);
  }
  model_->rowsChanged(lo, hi, Qt::ForegroundRole);
}

QColor ListView::cellColor(int row, int column) const {
  if (!model_->validRow(row)) return {};
  return model_->colorAt(row, column);
}

QColor ListView::rowColor(int row) const { return model_->validRow(row) ? model_->stateOf(row).fore : QColor(); }

void ListView::setRowBackground(int row, const QColor& back) {
  if (!model_->validRow(row)) return;
  model_->state(row).back = back;
  model_->rowChanged(row, Qt::BackgroundRole);
}

QColor ListView::rowBackground(int row) const { return model_->validRow(row) ? model_->stateOf(row).back : QColor(); }

void ListView::setRowBold(int row, bool bold) {
  if (!model_->validRow(row)) return;
  model_->state(row).bold = bold;
  model_->rowChanged(row, Qt::FontRole);
}

bool ListView::isRowBold(int row) const { return model_->validRow(row) && model_->stateOf(row).bold; }

void ListView::setFontPointSize(int size) {
  if (size < 9 || size > 24) return;
  QFont f = font();
  f.setPointSize(size);
  setFont(f);
}

void ListView::setFlatHeader(bool flat) { header()->setSectionsClickable(!flat); }

void ListView::setGridLines(bool on) {
  if (gridLines_ == on) return;
  gridLines_ = on;
  viewport()->update();
}

void ListView::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QTreeView::drawRow(painter, option, index);
  if (!gridLines_) return;
  painter->save();
  painter->setPen(palette().color(QPalette::Midlight));
  const QRect r = option.rect;
  painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
  for (int v = 0; v < header()->count(); ++v) {
    const int c = header()->logicalIndex(v);
    if (header()->isSectionHidden(c)) continue;
    const int x = header()->sectionViewportPosition(c) + header()->sectionSize(c) - 1;
    painter->drawLine(x, r.top(), x, r.bottom());
  }
  painter->restore();
}

// ---- tick boxes ----

void ListView::setCheckable(bool on) { model_->setCheckable(on); }

bool ListView::isCheckable() const { return model_->checkable(); }

bool ListView::isChecked(int row) const { return model_->validRow(row) && model_->stateOf(row).checked; }

void ListView::setChecked(int row, bool checked) {
  if (!model_->validRow(row) || model_->stateOf(row).checked == checked) return;
  model_->state(row).checked = checked;
  const QModelIndex i = model_->index(row, 0);
  Q_EMIT model_->dataChanged(i, i, {Qt::CheckStateRole});
  Q_EMIT itemCheckChanged(row, checked, false);
}

// ---- selection ----

void ListView::setMultiSelect(bool on) {
  setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

int ListView::currentRow() const {
  const QModelIndex i = currentIndex();
  return i.isValid() ? i.row() : -1;
}

void ListView::setCurrentRow(int row) {
  if (!model_->validRow(row)) {
    selectionModel()->clearCurrentIndex();
    return;
  }
  const QModelIndex i = model_->index(row, 0);
  selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  scrollTo(i);
}

std::vector<int> ListView::selectedRows() const {
  std::vector<int> out;
  const QItemSelection sel = selectionModel()->selection();
  for (const QItemSelectionRange& range : sel)
    for (int r = range.top(); r <= range.bottom(); ++r) out.push_back(r);
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

bool ListView::isSelected(int row) const {
  if (!model_->validRow(row)) return false;
  const QItemSelection sel = selectionModel()->selection();
  for (const QItemSelectionRange& range : sel)
    if (row >= range.top() && row <= range.bottom()) return true;
  return false;
}

void ListView::setSelected(int row, bool selected) {
  if (!model_->validRow(row)) return;
  QItemSelectionModel::SelectionFlags how = QItemSelectionModel::Deselect;
  if (selected)
    how = selectionMode() == QAbstractItemView::SingleSelection ? QItemSelectionModel::ClearAndSelect
                                                                : QItemSelectionModel::Select;
  selectionModel()->select(model_->index(row, 0), how | QItemSelectionModel::Rows);
}

void ListView::selectAll() {
  if (model_->rowCount() == 0 || columnCount() == 0) return;
  if (selectionMode() == QAbstractItemView::SingleSelection) return;
  selectionModel()->select(QItemSelection(model_->index(0, 0), model_->index(rowCount() - 1, columnCount() - 1)),
                           QItemSelectionModel::ClearAndSelect);
}

void ListView::clearSelection() { selectionModel()->clearSelection(); }

// ---- sorting ----

void ListView::setColumnSortMode(int column, SortMode mode) {
  if (column < 0) return;
  if (column >= static_cast<int>(sortModes_.size())) sortModes_.resize(column + 1, SortMode::Text);
  sortModes_[column] = mode;
}

ListView::SortMode ListView::columnSortMode(int column) const {
  return column >= 0 && column < static_cast<int>(sortModes_.size()) ? sortModes_[column] : SortMode::Text;
}

namespace {

// Ranks of texts in a sort mode: equal ranks for texts that sort alike.
std::vector<int> rankTexts(const std::vector<QStringView>& texts, ListView::SortMode mode, int* levels) {
  const size_t n = texts.size();
  if (mode == ListView::SortMode::Text) return TextOrder::ranks(texts, levels);
  std::vector<double> keys(n);
  for (size_t i = 0; i < n; ++i) {
    if (mode == ListView::SortMode::Number) {
      keys[i] = Num::leading(texts[i].toString());
    } else {
      const QDate d = DateText::parse(texts[i].toString());
      // Texts that are no date come before every date.
      keys[i] = d.isValid() ? static_cast<double>(d.toJulianDay()) : -std::numeric_limits<double>::infinity();
    }
  }
  std::vector<int> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[a] < keys[b]; });
  std::vector<int> rank(n, 0);
  int r = 0;
  for (size_t i = 0; i < n; ++i) {
    if (i > 0 && keys[order[i - 1]] != keys[order[i]]) ++r;
    rank[order[i]] = r;
  }
  *levels = n ? r + 1 : 0;
  return rank;
}

}  // namespace

void ListView::sortRows(int column, Qt::SortOrder order) {
  if (column < 0 || column >= columnCount()) return;
  sortColumn_ = column;
  sortOrder_ = order;
  const int n = rowCount();
  if (n < 2) return;
  const bool down = order == Qt::DescendingOrder;
  const SortMode mode = columnSortMode(column);
  // One rank per row, then row numbers ordered by rank. Rows all from a
  // source that can name each row's text are ranked by the distinct texts;
  // otherwise each row's text is read once.
  std::vector<int> textOf;
  std::vector<QStringView> texts;
  std::vector<QString> held;
  const ListRowSource* src = model_->source();
  const bool fromSource = src && model_->onlySourceRows() && !model_->hasTextsSet(column);
  int levels = 0;
  if (fromSource && mode == SortMode::Text && src->sortRanks(column, textOf, levels)) {
    std::vector<int> rankOfRow(static_cast<size_t>(n));
    for (int r = 0; r < n; ++r) rankOfRow[static_cast<size_t>(r)] = textOf[static_cast<size_t>(model_->sourceRow(r))];
    const std::vector<int> perm = TextOrder::byRank(rankOfRow, levels, down);
    if (!std::is_sorted(perm.begin(), perm.end())) model_->reorder(perm);
    return;
  }
  if (!(fromSource && src->sortTexts(column, textOf, texts))) {
    held.resize(static_cast<size_t>(n));
    textOf.resize(static_cast<size_t>(n));
    texts.clear();
    if (mode == SortMode::Text) {
      for (int r = 0; r < n; ++r) held[static_cast<size_t>(r)] = model_->textAt(r, column);
      texts.assign(held.begin(), held.end());
      std::iota(textOf.begin(), textOf.end(), 0);
    } else {
      // Dates and numbers repeat: each distinct text is read once.
      QHash<QString, int> slot;
      for (int r = 0; r < n; ++r) {
        const QString t = model_->textAt(r, column);
        auto it = slot.constFind(t);
        if (it == slot.constEnd()) {
          held[slot.size()] = t;
          it = slot.insert(t, static_cast<int>(slot.size()));
        }
        textOf[static_cast<size_t>(r)] = *it;
      }
      held.resize(static_cast<size_t>(slot.size()));
      texts.assign(held.begin(), held.end());
    }
  } else {
    // textOf is by source row; turn it into list rows.
    std::vector<int> bySource = std::move(textOf);
    textOf.resize(static_cast<size_t>(n));
    for (int r = 0; r < n; ++r) textOf[static_cast<size_t>(r)] = bySource[static_cast<size_t>(model_->sourceRow(r))];
  }
  const std::vector<int> rank = rankTexts(texts, mode, &levels);
  std::vector<int> rankOfRow(static_cast<size_t>(n));
  for (int r = 0; r < n; ++r) rankOfRow[static_cast<size_t>(r)] = rank[static_cast<size_t>(textOf[static_cast<size_t>(r)])];
  const std::vector<int> perm = TextOrder::byRank(rankOfRow, levels, down);
  if (!std::is_sorted(perm.begin(), perm.end())) model_->reorder(perm);
}

int ListView::sortColumn() const { return sortColumn_; }

Qt::SortOrder ListView::sortOrder() const { return sortOrder_; }

void ListView::setSortOnHeaderClick(bool on) { sortOnHeaderClick_ = on; }

// ---- events ----

void ListView::keyPressEvent(QKeyEvent* event) {
  Q_EMIT keyPressed(event->key(), event->modifiers());
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
    Q_EMIT rowActivated(currentRow());
    event->accept();
    return;
  }
  // Space ticks the focused row whichever column has the focus.
  if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && isCheckable() && currentRow() >= 0) {
    const int row = currentRow();
    model_->setData(model_->index(row, 0), isChecked(row) ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    event->accept();
    return;
  }
  QTreeView::keyPressEvent(event);
}

void ListView::contextMenuEvent(QContextMenuEvent* event) {
  Q_EMIT contextMenuAt(event->globalPos());
  event->accept();
}
