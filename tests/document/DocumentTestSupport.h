// A small clan in a document, edits named by the members they touch, and the
// genealogy written out as text, so that states before and after an edit, an
// undo or a redo can be compared whole.
#pragma once

#include "document/GenealogyDocument.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

inline MemberNode* FindIn(const GenealogyDocument& document, const QString& name) {
  MemberNode* found = document.Genealogy().FindByName(document.Root(), name.toStdU16String());
  return found;
}

inline MemberData Born(const QString& name, int year, int month = 1, int day = 1) {
  MemberData data;
  data.name = name.toStdU16String();
  data.birthYear = year;
  data.birthMonth = month;
  data.birthDay = day;
  return data;
}

// 祖 1900 ─ 甲 1920 ─ 丙 1950 ─ 戊 1975
//                  └ 丁 1955
//         ├ 乙 1925 ─ 己 1952
//         └ 庚 1930
// put in place as an opened file is: nothing to undo, nothing modified.
inline void FillClan(GenealogyDocument& document) {
  COperationClanbook& tree = document.Genealogy();
  tree.Reset();
  struct Entry {
    const char16_t* name;
    const char16_t* father;
    int year;
  };
  const Entry entries[] = {{u"祖", nullptr, 1900}, {u"甲", u"祖", 1920}, {u"乙", u"祖", 1925},
                           {u"庚", u"祖", 1930},   {u"丙", u"甲", 1950}, {u"丁", u"甲", 1955},
                           {u"己", u"乙", 1952},   {u"戊", u"丙", 1975}};
  for (const Entry& entry : entries) {
    auto* member = new MemberNode;
    static_cast<MemberData&>(*member) = Born(QString::fromUtf16(entry.name), entry.year);
    tree.InsertMember(entry.father ? FindIn(document, QString::fromUtf16(entry.father)) : nullptr,
                      member);
  }
  document.NotifyReset();
  document.SetModified(false);
}

// Every member in pre-order, indented by generation, with all its data; then
// what a search by name finds for each name the clan ever had, so that the
// name index is compared too.
inline QStringList StateOf(const GenealogyDocument& document, const QStringList& names) {
  QStringList lines;
  const COperationClanbook& tree = document.Genealogy();
  tree.VisitPreOrder(lines, tree.Root(), [&tree](QStringList& out, MemberNode* m) {
    out << QStringLiteral("%1%2 %3-%4-%5 %6 %7 %8 %9-%10-%11")
               .arg(QString(2 * tree.GetGeneration(m) - 2, u' '),
                    QString::fromStdU16String(m->name))
               .arg(m->birthYear)
               .arg(m->birthMonth)
               .arg(m->birthDay)
               .arg(m->married)
               .arg(QString::fromStdU16String(m->address))
               .arg(m->alive)
               .arg(m->deathYear)
               .arg(m->deathMonth)
               .arg(m->deathDay);
  });
  for (const QString& name : names) {
    const MemberNode* found = FindIn(document, name);
    lines << QStringLiteral("%1 -> %2")
                 .arg(name,
                      found ? QString::number(tree.GetGeneration(found)) : QStringLiteral("none"));
  }
  return lines;
}

// One edit of a sequence, naming the members by name.
struct Edit {
  std::function<void(GenealogyDocument&)> apply;
};

inline Edit AddChild(const QString& father, const QString& name, int year) {
  return {[=](GenealogyDocument& d) { d.AddMember(FindIn(d, father), Born(name, year)); }};
}
inline Edit AddRoot(const QString& name, int year) {
  return {[=](GenealogyDocument& d) { d.AddMember(nullptr, Born(name, year)); }};
}
inline Edit Delete(const QString& name) {
  return {[=](GenealogyDocument& d) { d.DeleteMember(FindIn(d, name)); }};
}
// Gives the member a new name (empty: keeps it), an address and a death date.
inline Edit Change(const QString& name, const QString& newName) {
  return {[=](GenealogyDocument& d) {
    MemberNode* member = FindIn(d, name);
    MemberData data = *member;
    if (!newName.isEmpty()) data.name = newName.toStdU16String();
    data.address = u"洛阳";
    data.married = 1;
    data.alive = 0;
    data.deathYear = 1999;
    data.deathMonth = 9;
    data.deathDay = 9;
    d.ChangeMember(member, data);
  }};
}

// Sequences of edits every undo test runs through.
struct EditSequence {
  const char* label;
  std::vector<Edit> edits;
};

inline const QStringList kClanNames = {
    QStringLiteral("祖"),  QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("庚"),
    QStringLiteral("丙"),  QStringLiteral("丁"), QStringLiteral("己"), QStringLiteral("戊"),
    QStringLiteral("辛"),  QStringLiteral("壬"), QStringLiteral("癸"), QStringLiteral("始"),
    QStringLiteral("乙二")};

inline std::vector<EditSequence> EditSequences() {
  return {
      {"child born before his brothers, between, after",
       {AddChild("甲", "辛", 1945), AddChild("甲", "癸", 1952), AddChild("祖", "壬", 1940)}},
      {"grandchild under a new child", {AddChild("庚", "辛", 1960), AddChild("辛", "壬", 1980)}},
      {"new root above the old one", {AddRoot("始", 1880), AddChild("始", "辛", 1905)}},
      {"change data, then rename", {Change("丙", ""), Change("乙", "乙二")}},
      {"rename to a name just freed", {Delete("丁"), Change("戊", "丁")}},
      {"delete a leaf, a middle family, an eldest family",
       {Delete("丁"), Delete("乙"), Delete("甲")}},
      {"delete the root, then start a new one", {Delete("祖"), AddRoot("始", 1880)}},
      {"a second bearer of a name, then the first leaves",
       {AddChild("乙", "甲", 1960), Delete("甲"), Delete("乙")}},
      {"delete a family and add where it was", {Delete("乙"), AddChild("祖", "辛", 1925)}},
  };
}
