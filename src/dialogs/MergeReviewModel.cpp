#include "dialogs/MergeReviewModel.h"

#include "dialogs/SpouseDialog.h"
#include "document/DateWords.h"
#include "document/GenealogyDocument.h"
#include "platform/Today.h"

#include <QColor>

#include <algorithm>

namespace {

// Past this many rows at once a list repaints or refills as a whole: the
// views only ever paint what is visible, and one signal beats thousands.
constexpr std::size_t kRowByRow = 64;

const QColor kConflictText{176, 0, 0};
const QColor kResolvedText{0, 120, 0};

QString Str(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

MergeReview::MergeReview(MergePlan& plan, const COperationClanbook& book, QObject* parent)
    : QObject(parent), m_plan(plan), m_book(book) {
  Count();
}

void MergeReview::Count() {
  m_applying = m_conflicts = 0;
  for (const MergeRow& r : m_plan.Rows()) {
    m_applying += r.applies;
    m_conflicts += r.conflict != MergeConflict::None;
  }
}

bool MergeReview::SetChoice(std::uint32_t row, MergeSide side) {
  if (row >= m_plan.RowCount() || m_plan.Row(row).kind != MergeRowKind::Change) return false;
  if (m_plan.Row(row).choice == side) return true;
  m_plan.SetChoice(row, side);
  Recheck({row}, false);
  return true;
}

bool MergeReview::Rename(std::uint32_t row, const QString& name) {
  if (row >= m_plan.RowCount() || m_plan.Row(row).kind != MergeRowKind::Add) return false;
  std::u16string text = name.toStdU16String();
  // Renaming to the same name would still count as a rename and give up the
  // row's claim to the name before rows not renamed.
  if (text == m_plan.Name(row)) return true;
  m_plan.Rename(row, std::move(text));
  Recheck({row}, false);
  emit nameChanged(row);
  return true;
}

void MergeReview::SetAllChoices(MergeSide side) {
  for (std::size_t i = 0; i < m_plan.RowCount(); ++i)
    if (m_plan.Row(i).kind == MergeRowKind::Change) m_plan.SetChoice(i, side);
  Recheck({}, true);
}

void MergeReview::Recheck(std::vector<std::uint32_t> touched, bool all) {
  std::vector<std::uint32_t> rows = m_plan.Recheck();
  rows.insert(rows.end(), touched.begin(), touched.end());
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  Count();
  emit changed(rows, all);
}

QString MergeReview::Reason(std::uint32_t row) const {
  const MergeRow& r = m_plan.Row(row);
  const MemberNode* member = r.branch ? r.branch : r.book;
  switch (r.conflict) {
    case MergeConflict::None:
      return {};
    case MergeConflict::NameInBook: {
      // Where the namesake stands tells the user which of the two to rename.
      MemberNode* namesake = m_book.FindByName(m_plan.Name(row));
      if (namesake && namesake->parent)
        return tr("家谱中已有同名成员（%1之子）").arg(Str(namesake->parent->name));
      return tr("家谱中已有同名成员（始祖）");
    }
    case MergeConflict::NameInBranch:
      return tr("支谱中另一位新增成员已用此名");
    case MergeConflict::NameNotStorable:
      return tr("姓名无法存入家谱：为空、为“end”、含空格或多于 %1 个字符").arg(kMaxTextLength);
    case MergeConflict::AddressNotStorable:
      return tr("地址无法存入家谱：含空格或多于 %1 个字符").arg(kMaxTextLength);
    case MergeConflict::BadBirthDate:
      return tr("出生日期 %1 不是有效的日期")
          .arg(DateText(member->birthYear, member->birthMonth, member->birthDay));
    case MergeConflict::BadDeathDate:
      return tr("去世日期 %1 无效或早于出生日期")
          .arg(DateText(member->deathYear, member->deathMonth, member->deathDay));
    case MergeConflict::BornNotAfterFather: {
      const MemberNode* father =
          r.kind == MergeRowKind::Change ? r.book->parent : (r.book ? r.book : r.branch->parent);
      return tr("出生日期不晚于父亲%1").arg(father ? Str(father->name) : QString());
    }
    case MergeConflict::ChildNotAfter:
      return tr("出生日期不早于子女（子女保留家谱中的日期）");
  }
  return {};
}

QString MergeReview::Outcome(std::uint32_t row) const {
  const MergeRow& r = m_plan.Row(row);
  switch (r.kind) {
    case MergeRowKind::Add:
      if (r.applies) return r.members > 1 ? tr("连同后代共 %1 人并入").arg(r.members) : tr("并入");
      if (r.conflict != MergeConflict::None)
        return r.members > 1 ? tr("连同后代共 %1 人不并入").arg(r.members) : tr("不并入");
      return tr("随上辈不并入");
    case MergeRowKind::Change:
      return r.applies ? tr("取支谱的数据") : tr("保留家谱的数据");
    case MergeRowKind::BookOnly:
      return tr("保留");
  }
  return {};
}

MergeReviewModel::MergeReviewModel(MergeReview& review, Section section, QObject* parent)
    : QAbstractTableModel(parent), m_review(review), m_section(section) {
  const MergePlan& plan = review.Plan();
  for (std::size_t i = 0; i < plan.RowCount(); ++i)
    if (Lists(plan.Row(i))) m_rows.push_back(static_cast<std::uint32_t>(i));
  connect(&review, &MergeReview::changed, this, &MergeReviewModel::OnChanged);
  connect(&review, &MergeReview::nameChanged, this, &MergeReviewModel::OnNameChanged);
}

bool MergeReviewModel::Lists(const MergeRow& row) const {
  switch (m_section) {
    case Section::Added:
      return row.kind == MergeRowKind::Add;
    case Section::Changed:
      return row.kind == MergeRowKind::Change;
    case Section::BookOnly:
      return row.kind == MergeRowKind::BookOnly;
    case Section::Conflicts:
      return row.conflict != MergeConflict::None;
  }
  return false;
}

std::uint32_t MergeReviewModel::PlanRow(int row) const {
  return row >= 0 && row < static_cast<int>(m_rows.size()) ? m_rows[row] : kNoRow;
}

int MergeReviewModel::RowOf(std::uint32_t planRow) const {
  const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), planRow);
  return it != m_rows.end() && *it == planRow ? static_cast<int>(it - m_rows.begin()) : -1;
}

bool MergeReviewModel::Holds(const QModelIndex& index) const {
  return index.isValid() && index.model() == this && !index.parent().isValid() &&
         index.row() < rowCount() && index.column() < columnCount();
}

bool MergeReviewModel::CanRename(int row) const {
  const std::uint32_t planRow = PlanRow(row);
  return planRow != kNoRow && m_review.Plan().Row(planRow).kind == MergeRowKind::Add &&
         (m_section == Section::Added || m_section == Section::Conflicts);
}

int MergeReviewModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int MergeReviewModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  switch (m_section) {
    case Section::Added:
      return kAddColumns;
    case Section::Changed:
      return kChangeColumns;
    case Section::BookOnly:
      return kBookColumns;
    case Section::Conflicts:
      return kConflictColumns;
  }
  return 0;
}

QString MergeReviewModel::FatherName(const MergeRow& r) const {
  if (r.kind == MergeRowKind::BookOnly)
    return r.book->parent ? Str(r.book->parent->name) : QString();
  if (r.book) return Str(r.book->name);
  // A father brought in with the branch may have been renamed in the review.
  const MergePlan& plan = m_review.Plan();
  if (r.up != kNoRow && plan.Row(r.up).branch == r.branch->parent) return Str(plan.Name(r.up));
  return Str(r.branch->parent->name);
}

namespace {

QString Married(const MemberNode& m) {
  return m.married ? MergeReview::tr("已婚") : MergeReview::tr("未婚");
}

QString Death(const MemberNode& m) {
  return m.alive ? MergeReview::tr("健在")
                 : MergeReview::tr("%1 去世").arg(ShownDate(m.deathYear, m.deathMonth, m.deathDay));
}

QString Address(const MemberNode& m) {
  return m.address.empty() ? MergeReview::tr("（无）") : QString::fromStdU16String(m.address);
}

QString Birth(const MemberNode& m) {
  return ShownDate(m.birthYear, m.birthMonth, m.birthDay);
}

// The record's fields in which the two sides differ, each with its value on
// one side, short: the review is a table, the member window shows the whole.
QString RecordText(const MergeRow& r, const MemberNode& m) {
  if (!(r.fields & kMergeRecord)) return {};
  const MemberRecord& record = m.extra.Record();
  QStringList parts;
  for (const RecordField field :
       DifferingRecordFields(r.book->extra.Record(), r.branch->extra.Record())) {
    QString value;
    if (IsMemberTextField(field)) {
      value = QString::fromStdU16String(record.Text(field));
      constexpr int kShown = 12;
      if (value.size() > kShown)
        value = MergeReview::tr("%1…（共 %2 字）").arg(value.left(kShown)).arg(value.size());
    } else if (field == RecordField::kSex) {
      value = record.sex == Sex::kFemale ? MergeReview::tr("女") : MergeReview::tr("男");
    } else if (field == RecordField::kSpouses) {
      QStringList wives;
      for (const Spouse& wife : record.spouses) {
        const QString clan = spouse_text::Clan(wife);
        wives << (clan.isEmpty() ? MergeReview::tr("（无）") : clan);
      }
      value = wives.join(MergeReview::tr("、"));
    } else if (field == RecordField::kMother) {
      value = record.mother < 0 ? QString() : QString::number(record.mother + 1);
    } else if (field == RecordField::kSources) {
      value = QString::number(record.sources.size());
    } else if (field == RecordField::kPhotos) {
      value = QString::number(record.photos.size());
    }
    if (value.isEmpty()) value = MergeReview::tr("（无）");
    parts << MergeReview::tr("%1：%2").arg(GenealogyDocument::FieldName(field), value);
  }
  return parts.join(MergeReview::tr("；"));
}

// A field's value on one side, shown only where the two sides differ.
QString Field(const MergeRow& r, unsigned field, const MemberNode& m) {
  if (!(r.fields & field)) return {};
  switch (field) {
    case kMergeBirth:
      return Birth(m);
    case kMergeMarried:
      return Married(m);
    case kMergeAddress:
      return Address(m);
    case kMergeDeath:
      return Death(m);
  }
  return {};
}

}  // namespace

QString MergeReviewModel::Text(const MergeRow& r, std::uint32_t planRow, int column) const {
  const MergePlan& plan = m_review.Plan();
  switch (m_section) {
    case Section::Added:
      switch (column) {
        case kAddName:
          return Str(plan.Name(planRow));
        case kAddFather:
          return FatherName(r);
        case kAddBirth:
          return Birth(*r.branch);
        case kAddMembers:
          return QString::number(r.members);
        case kAddOutcome:
          return r.conflict == MergeConflict::None
                     ? m_review.Outcome(planRow)
                     : MergeReview::tr("%1：%2").arg(m_review.Outcome(planRow),
                                                     m_review.Reason(planRow));
      }
      break;
    case Section::Changed:
      switch (column) {
        case kChangeName:
          return Str(plan.Name(planRow));
        case kChangeBirthBook:
          return Field(r, kMergeBirth, *r.book);
        case kChangeBirthBranch:
          return Field(r, kMergeBirth, *r.branch);
        case kChangeMarriedBook:
          return Field(r, kMergeMarried, *r.book);
        case kChangeMarriedBranch:
          return Field(r, kMergeMarried, *r.branch);
        case kChangeAddressBook:
          return Field(r, kMergeAddress, *r.book);
        case kChangeAddressBranch:
          return Field(r, kMergeAddress, *r.branch);
        case kChangeDeathBook:
          return Field(r, kMergeDeath, *r.book);
        case kChangeDeathBranch:
          return Field(r, kMergeDeath, *r.branch);
        case kChangeRecordBook:
          return RecordText(r, *r.book);
        case kChangeRecordBranch:
          return RecordText(r, *r.branch);
        case kChangeChoice:
          return r.choice == MergeSide::Branch ? MergeReview::tr("取支谱")
                                               : MergeReview::tr("取家谱");
        case kChangeOutcome:
          return r.conflict == MergeConflict::None
                     ? m_review.Outcome(planRow)
                     : MergeReview::tr("%1：%2").arg(m_review.Outcome(planRow),
                                                     m_review.Reason(planRow));
      }
      break;
    case Section::BookOnly:
      switch (column) {
        case kBookName:
          return Str(r.book->name);
        case kBookFather:
          return FatherName(r);
        case kBookBirth:
          return Birth(*r.book);
        case kBookMembers:
          return QString::number(r.members);
      }
      break;
    case Section::Conflicts:
      switch (column) {
        case kConflictName:
          return Str(plan.Name(planRow));
        case kConflictKind:
          return r.kind == MergeRowKind::Add ? MergeReview::tr("新增") : MergeReview::tr("不同");
        case kConflictReason:
          return r.conflict == MergeConflict::None ? MergeReview::tr("已解决")
                                                   : m_review.Reason(planRow);
        case kConflictOutcome:
          return m_review.Outcome(planRow);
      }
      break;
  }
  return {};
}

QVariant MergeReviewModel::data(const QModelIndex& index, int role) const {
  if (!Holds(index)) return {};
  const std::uint32_t planRow = m_rows[index.row()];
  const MergeRow& r = m_review.Plan().Row(planRow);
  const bool choice = m_section == Section::Changed && index.column() == kChangeChoice;
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      return Text(r, planRow, index.column());
    case Qt::EditRole:
      return CanRename(index.row()) && (index.column() == kAddName) ? Text(r, planRow, 0)
                                                                    : QVariant();
    case Qt::CheckStateRole:
      if (choice) return r.choice == MergeSide::Branch ? Qt::Checked : Qt::Unchecked;
      return {};
    case Qt::ForegroundRole:
      if (r.conflict != MergeConflict::None) return kConflictText;
      if (m_section == Section::Conflicts) return kResolvedText;
      return {};
  }
  return {};
}

bool MergeReviewModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!Holds(index)) return false;
  const std::uint32_t planRow = m_rows[index.row()];
  if (role == Qt::EditRole && index.column() == kAddName && CanRename(index.row()))
    return m_review.Rename(planRow, value.toString());
  if (role == Qt::CheckStateRole && m_section == Section::Changed &&
      index.column() == kChangeChoice) {
    const bool branch = value.value<Qt::CheckState>() == Qt::Checked;
    return m_review.SetChoice(planRow, branch ? MergeSide::Branch : MergeSide::Book);
  }
  return false;
}

Qt::ItemFlags MergeReviewModel::flags(const QModelIndex& index) const {
  if (!Holds(index)) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == kAddName && CanRename(index.row())) flags |= Qt::ItemIsEditable;
  if (m_section == Section::Changed && index.column() == kChangeChoice)
    flags |= Qt::ItemIsUserCheckable;
  return flags;
}

QVariant MergeReviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= columnCount())
    return QAbstractTableModel::headerData(section, orientation, role);
  switch (m_section) {
    case Section::Added: {
      const QString headers[kAddColumns] = {tr("姓名"), tr("父亲"), tr("出生日期"),
                                            tr("人数（含后代）"), tr("结果")};
      return headers[section];
    }
    case Section::Changed: {
      const QString headers[kChangeColumns] = {tr("姓名"),
                                               tr("采用"),
                                               tr("出生日期（家谱）"),
                                               tr("出生日期（支谱）"),
                                               tr("婚否（家谱）"),
                                               tr("婚否（支谱）"),
                                               tr("地址（家谱）"),
                                               tr("地址（支谱）"),
                                               tr("健在否（家谱）"),
                                               tr("健在否（支谱）"),
                                               tr("资料（家谱）"),
                                               tr("资料（支谱）"),
                                               tr("结果")};
      return headers[section];
    }
    case Section::BookOnly: {
      const QString headers[kBookColumns] = {tr("姓名"), tr("父亲"), tr("出生日期"),
                                             tr("人数（含后代）")};
      return headers[section];
    }
    case Section::Conflicts: {
      const QString headers[kConflictColumns] = {tr("姓名"), tr("类别"), tr("原因"), tr("结果")};
      return headers[section];
    }
  }
  return {};
}

void MergeReviewModel::OnChanged(const std::vector<std::uint32_t>& rows, bool all) {
  if (m_section == Section::Conflicts) {
    // A row that falls into conflict joins the list; a resolved one stays,
    // shown as resolved, so the user sees what his rename or choice did.
    const MergePlan& plan = m_review.Plan();
    std::vector<std::uint32_t> joining;
    for (std::uint32_t row : rows)
      if (plan.Row(row).conflict != MergeConflict::None && RowOf(row) < 0) joining.push_back(row);
    if (joining.size() > kRowByRow) {
      beginResetModel();
      std::vector<std::uint32_t> merged;
      merged.reserve(m_rows.size() + joining.size());
      std::merge(m_rows.begin(), m_rows.end(), joining.begin(), joining.end(),
                 std::back_inserter(merged));
      m_rows = std::move(merged);
      endResetModel();
      return;
    }
    for (std::uint32_t row : joining) {
      const auto at = std::lower_bound(m_rows.begin(), m_rows.end(), row);
      const int position = static_cast<int>(at - m_rows.begin());
      beginInsertRows({}, position, position);
      m_rows.insert(at, row);
      endInsertRows();
    }
  }
  if (m_rows.empty()) return;
  if (all || rows.size() > kRowByRow) {
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    return;
  }
  for (std::uint32_t row : rows)
    if (const int at = RowOf(row); at >= 0)
      emit dataChanged(index(at, 0), index(at, columnCount() - 1));
}

void MergeReviewModel::OnNameChanged(std::uint32_t planRow) {
  // The members below a renamed one show his new name as their father's.
  if (m_section == Section::Added && !m_rows.empty() && planRow != kNoRow)
    emit dataChanged(index(0, kAddFather), index(rowCount() - 1, kAddFather));
}
