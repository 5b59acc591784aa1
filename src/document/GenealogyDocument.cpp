#include "document/GenealogyDocument.h"

#include <QFile>
#include <QUndoCommand>

#include <cassert>
#include <filesystem>
#include <new>

namespace {

std::filesystem::path ToPath(const QString& fileName) {
  return std::filesystem::path(QFile::encodeName(fileName).toStdString());
}

QString NameOf(const MemberData& data) {
  return QString::fromStdU16String(data.name);
}

}  // namespace

// Adding a member: the member leaves the tree again on undo, and belongs to the
// command while it is out.
class GenealogyDocument::AddCommand : public QUndoCommand {
public:
  AddCommand(GenealogyDocument& document, MemberNode* father, MemberNode* member)
      : m_document(document), m_father(father), m_member(member) {
    setText(father ? GenealogyDocument::tr("增加孩子 %1").arg(NameOf(*member))
                   : GenealogyDocument::tr("设为根结点 %1").arg(NameOf(*member)));
  }
  ~AddCommand() override {
    if (m_owned) COperationClanbook::ReleaseSubtree(m_member);
  }
  void redo() override {
    if (m_father)
      m_document.InsertChild(m_father, m_member);
    else
      m_document.InsertRootAbove(m_member);
    m_owned = false;
    emit m_document.memberConcerned(m_member);
  }
  void undo() override {
    // Undone in the order done, the member has no children of its own here.
    assert(!m_father ? !m_member->parent : m_member->parent == m_father);
    MemberNode* shown = m_father ? m_father : m_member->firstChild;
    if (!m_father && m_member->firstChild)
      m_document.TakeRootAbove(m_member);
    else
      m_document.Take(m_member);
    m_owned = true;
    emit m_document.memberConcerned(shown);
  }

private:
  GenealogyDocument& m_document;
  MemberNode* const m_father;
  MemberNode* const m_member;
  bool m_owned = true;
};

class GenealogyDocument::ChangeCommand : public QUndoCommand {
public:
  ChangeCommand(GenealogyDocument& document, MemberNode* member, const MemberData& data)
      : m_document(document), m_member(member), m_before(*member), m_after(data) {
    setText(
        m_before.name == m_after.name
            ? GenealogyDocument::tr("更改资料 %1").arg(NameOf(m_before))
            : GenealogyDocument::tr("更改姓名 %1 为 %2").arg(NameOf(m_before), NameOf(m_after)));
  }
  void redo() override { Apply(m_after); }
  void undo() override { Apply(m_before); }

private:
  void Apply(const MemberData& data) {
    m_document.SetData(m_member, data);
    emit m_document.memberConcerned(m_member);
  }

  GenealogyDocument& m_document;
  MemberNode* const m_member;
  const MemberData m_before;
  const MemberData m_after;
};

// Deleting a member with its descendants: they are taken out, not released, so
// that undo puts them back at the same place; the command releases them only
// if it is dropped while they are out.
class GenealogyDocument::DeleteCommand : public QUndoCommand {
public:
  DeleteCommand(GenealogyDocument& document, MemberNode* member)
      : m_document(document), m_member(member) {
    setText(GenealogyDocument::tr("删除 %1").arg(NameOf(*member)));
  }
  ~DeleteCommand() override {
    if (m_owned) COperationClanbook::ReleaseSubtree(m_member);
  }
  void redo() override {
    m_place = m_document.Take(m_member);
    m_owned = true;
    emit m_document.memberConcerned(m_place.parent);
  }
  void undo() override {
    m_document.Restore(m_member, m_place);
    m_owned = false;
    emit m_document.memberConcerned(m_member);
  }

private:
  GenealogyDocument& m_document;
  MemberNode* const m_member;
  COperationClanbook::SubtreePlace m_place;
  bool m_owned = false;
};

GenealogyDocument::GenealogyDocument(QObject* parent) : QObject(parent) {
  m_undoStack.setUndoLimit(0);  // as deep as memory allows
  connect(&m_undoStack, &QUndoStack::cleanChanged, this, [this] { UpdateModified(); });
}

GenealogyDocument::~GenealogyDocument() {
  // The commands release what they hold before the tree goes.
  m_undoStack.blockSignals(true);
  m_undoStack.clear();
}

bool GenealogyDocument::IsModified() const {
  return m_forcedModified || !m_undoStack.isClean();
}

void GenealogyDocument::SetModified(bool modified) {
  m_forcedModified = modified;
  if (!modified) m_undoStack.setClean();
  UpdateModified();
}

void GenealogyDocument::UpdateModified() {
  const bool modified = IsModified();
  if (modified == m_lastModified) return;
  m_lastModified = modified;
  emit modifiedChanged(modified);
}

void GenealogyDocument::StartOver() {
  m_undoStack.clear();
  m_undoStack.setClean();
}

int GenealogyDocument::Load(const QString& fileName) {
  COperationClanbook loaded;
  const int result = loaded.Load(ToPath(fileName));
  if (result != kFileOk) return result;
  emit membersAboutToBeReleased();
  emit aboutToReset();
  m_genealogy.Swap(loaded);
  StartOver();
  m_fileName = fileName;
  m_forcedModified = false;
  emit reset();
  UpdateModified();
  // The old genealogy goes here, once the views have let go of it.
  return result;
}

int GenealogyDocument::Save(const QString& fileName) {
  const int result = m_genealogy.Save(ToPath(fileName));
  if (result == kFileOk) SetModified(false);
  return result;
}

void GenealogyDocument::New() {
  emit membersAboutToBeReleased();
  emit aboutToReset();
  StartOver();
  m_genealogy.Reset();
  m_fileName.clear();
  m_forcedModified = false;
  emit reset();
  UpdateModified();
}

void GenealogyDocument::NotifyReset() {
  // Whatever was unsaved stays unsaved, though it can no longer be undone.
  const bool modified = IsModified();
  emit aboutToReset();
  StartOver();
  m_forcedModified = modified;
  emit reset();
  UpdateModified();
}

void GenealogyDocument::Replace(COperationClanbook&& genealogy) {
  COperationClanbook old;
  old.Swap(genealogy);
  emit membersAboutToBeReleased();
  emit aboutToReset();
  m_genealogy.Swap(old);
  StartOver();
  m_fileName.clear();
  m_forcedModified = true;
  emit reset();
  UpdateModified();
  // The old genealogy goes here, once the views have let go of it.
}

bool GenealogyDocument::AddMember(MemberNode* father, const MemberData& data) {
  auto* member = new (std::nothrow) MemberNode;
  if (!member) return false;
  static_cast<MemberData&>(*member) = data;
  m_undoStack.push(new AddCommand(*this, father, member));
  return true;
}

void GenealogyDocument::ChangeMember(MemberNode* member, const MemberData& data) {
  m_undoStack.push(new ChangeCommand(*this, member, data));
}

void GenealogyDocument::DeleteMember(MemberNode* member) {
  m_undoStack.push(new DeleteCommand(*this, member));
}

int GenealogyDocument::BirthOrderRow(const MemberNode* father, const MemberData& data) {
  // Where InsertMember puts it: before the first child not born earlier.
  int row = 0;
  for (const MemberNode* child = father->firstChild; child; child = child->nextSibling, ++row) {
    if (COperationClanbook::CompareDates(child->birthYear, child->birthMonth, child->birthDay,
                                         data.birthYear, data.birthMonth, data.birthDay) >= 0)
      break;
  }
  return row;
}

void GenealogyDocument::InsertChild(MemberNode* father, MemberNode* member) {
  const int row = BirthOrderRow(father, *member);
  emit memberAboutToBeAdded(father, row);
  m_genealogy.InsertMember(father, member);
  assert(m_genealogy.GetSiblingPosition(member) == row + 1);
  emit memberAdded(member);
}

void GenealogyDocument::InsertRootAbove(MemberNode* member) {
  if (!m_genealogy.GetRootLink()) {
    emit memberAboutToBeAdded(nullptr, 0);
    m_genealogy.InsertMember(nullptr, member);
    emit memberAdded(member);
    return;
  }
  emit rootAboutToBeReplaced();
  m_genealogy.InsertMember(nullptr, member);
  emit rootReplaced(nullptr);
}

void GenealogyDocument::TakeRootAbove(MemberNode* root) {
  assert(root == m_genealogy.GetRootLink());
  emit rootAboutToBeReplaced();
  m_genealogy.TakeRootAbove();
  emit rootReplaced(root);
}

COperationClanbook::SubtreePlace GenealogyDocument::Take(MemberNode* member) {
  emit memberAboutToBeRemoved(member);
  const COperationClanbook::SubtreePlace place = m_genealogy.TakeSubtree(member);
  emit memberRemoved(member);
  return place;
}

void GenealogyDocument::Restore(MemberNode* member, const COperationClanbook::SubtreePlace& place) {
  const int row = place.elder ? m_genealogy.GetSiblingPosition(place.elder) : 0;
  emit memberAboutToBeAdded(place.parent, row);
  m_genealogy.RestoreSubtree(member, place);
  emit memberAdded(member);
}

void GenealogyDocument::SetData(MemberNode* member, const MemberData& data) {
  const bool renamed = member->name != data.name;
  // The name goes through the index; then every field, the death date even
  // of a living member included, becomes exactly what it was or will be.
  MemberNode record;
  static_cast<MemberData&>(record) = data;
  m_genealogy.UpdateMemberData(member, record);
  static_cast<MemberData&>(*member) = data;
  emit memberChanged(member, renamed);
}
